// The pre-compartment sheet: its rows from the compartment's records and its pages.
#include "printing/SheetComposer.h"

#include "core/NumberFormat.h"
#include "core/QtText.h"
#include "description/DescriptionHeader.h"
#include "description/ProjectRecord.h"
#include "engine/common/Value.h"
#include "engine/sql/Table.h"

#include <cmath>
#include <limits>

namespace dx {
namespace {

constexpr double kTitleBand = 33.1;
constexpr double kDetailBand = 6.3;

// An area in its default text form (the user's decimal separator), with ".0" when it
// has no fraction: that point is always a point.
QString areaText(double area)
{
    QString t = localisedNumber(QString::number(area, 'g', 15), QLocale());
    if (std::isfinite(area) && area == std::trunc(area) && !t.contains(QLatin1Char('e'))) t += QStringLiteral(".0");
    return t;
}

QString stockText(long long v) { return v < 1 ? QStringLiteral("-") : QString::number(v); }

long long addStock(long long a, long long b)
{
    constexpr long long hi = std::numeric_limits<long long>::max(), lo = std::numeric_limits<long long>::min();
    if (b > 0 && a > hi - b) return hi;
    if (b < 0 && a < lo - b) return lo;
    return a + b;
}

UserMessage criteriaError()
{
    return {QStringLiteral("Внимание!"), QStringLiteral("Грешка в критерийте. Опитайте отново."), UserMessage::Icon::Warning, {}};
}

ReportItem textItem(const QString &name, const QString &text, double left, double top, double width, const ReportFont &font,
                    int align = Qt::AlignLeft | Qt::AlignVCenter)
{
    ReportItem i;
    i.name = name;
    i.text = text;
    i.mm = QRectF(left, top, width, 4.4);
    i.align = align;
    i.font = font;
    i.shrink = true;
    return i;
}

} // namespace

std::optional<PrintedSheet> composeSheet(AppState &state, int otd, const QString &condition,
                                         const std::function<void(const UserMessage &)> &report)
{
    Table &t = state.projectTable;
    struct Release {
        Table &t;
        ~Release()
        {
            t.close();
            t.setFiltered(false);
        }
    } release{t};
    QString filter = QStringLiteral("OTD=%1").arg(otd);
    if (!condition.trimmed().isEmpty()) filter += QStringLiteral(" and ") + QString(condition).replace(QLatin1Char('"'), QLatin1Char('\''));
    try {
        t.setFilter(filter.toStdString());
        if (!t.filtered()) t.setFiltered(true);
        if (!t.active()) t.open();
        t.first();
    } catch (const std::exception &) {
        if (report) report(criteriaError());
        return std::nullopt;
    }
    if (t.isEmpty()) {
        if (report)
            report({QStringLiteral("Внимание!"), QStringLiteral("Избрания отдел несъществува."), UserMessage::Icon::Warning, {}});
        return std::nullopt;
    }
    PrintedSheet sheet;
    sheet.title = QStringLiteral("Dendrix - %1 %2 [%3]").arg(state.title, state.year).arg(otd);
    sheet.dl = state.title + QStringLiteral(",    ") + QStringLiteral("отдел ") + QString::number(otd);
    double totalArea = 0;
    long long totalStock = 0;
    for (t.first(); !t.eof(); t.next()) {
        SheetRow r;
        r.pod = recordText(t, QStringLiteral("PODOTD"));
        r.vp = recordText(t, QStringLiteral("VID_PODOTD"));
        const double area = recordReal(t, QStringLiteral("PL"));
        r.area = areaText(area);
        long long stock = 0;
        for (int j = 1; j <= kCompositionSlots; ++j) stock = addStock(stock, recordInt(t, slotField("V%d", j)));
        r.zapas = stockText(stock);
        totalArea += area;
        totalStock = addStock(totalStock, stock);
        sheet.rows.push_back(r);
    }
    sheet.rows.push_back(SheetRow());
    SheetRow totals{QStringLiteral("-"), QStringLiteral("ВСИЧКО В ОТДЕЛА"), formatFixed(totalArea, 1), stockText(totalStock)};
    if (!condition.trimmed().isEmpty()) {
        totals.area = areaText(totalArea);
        totals.zapas = QString::number(totalStock);
    }
    sheet.rows.push_back(totals);
    return sheet;
}

Report sheetReport(const PrintedSheet &sheet, const PageSettings &page)
{
    const PageFrame frame = pageFrame(page);
    Band title;
    title.heightMm = kTitleBand;
    ReportFont bold;
    bold.pointSize = 12;
    bold.bold = true;
    title.items.push_back(textItem(QStringLiteral("title"), QStringLiteral("ПРЕДОТДЕЛЕН  ЛИСТ"), 61.4, 0.3, 80, bold,
                                   Qt::AlignLeft | Qt::AlignTop));
    title.items.back().mm.setHeight(6.0);
    title.items.push_back(textItem(QStringLiteral("QRL_DL"), sheet.dl, 6.3, 10.6, 150, frame.font));
    const struct {
        const char *text;
        double left, width;
    } headings[] = {{"Подотдел", 6.3, 25}, {"Вид на подотдела", 31.8, 80}, {"Площ", 125.4, 20}, {"Запас", 149.2, 20}};
    for (const auto &h : headings)
        title.items.push_back(textItem(QStringLiteral("heading"), QString::fromUtf8(h.text), h.left, 19.1, h.width, frame.font));
    title.items.push_back(textItem(QStringLiteral("heading"), QStringLiteral("ха"), 131.0, 23.3, 10, frame.font));
    title.items.push_back(textItem(QStringLiteral("heading"), QStringLiteral("куб.м"), 150.0, 23.3, 12, frame.font));

    QList<Band> details;
    for (const SheetRow &r : sheet.rows) {
        Band d;
        d.heightMm = kDetailBand;
        d.items.push_back(textItem(QStringLiteral("POD"), r.pod, 6.3, 0.9, 15.6, frame.font));
        d.items.push_back(textItem(QStringLiteral("VP"), r.vp, 31.8, 0.9, 80.7, frame.font));
        d.items.push_back(textItem(QStringLiteral("AREA"), r.area, 116.4, 0.9, 19.3, frame.font, Qt::AlignRight | Qt::AlignVCenter));
        d.items.push_back(textItem(QStringLiteral("ZAPAS"), r.zapas, 139.7, 0.9, 19.3, frame.font, Qt::AlignRight | Qt::AlignVCenter));
        details.push_back(d);
    }
    Report report = layOutBands(frame, title, details, Band(), true);
    report.title = sheet.title;
    return report;
}

QVector<int> sheetCompartments(AppState &state)
{
    Table &t = state.projectTable;
    t.close();
    t.setFiltered(false);
    t.open();
    QVector<int> out;
    bool first = true;
    long long previous = 0;
    for (t.first(); !t.eof(); t.next()) {
        const long long otd = recordInt(t, QStringLiteral("OTD"));
        if (first || otd != previous) out.push_back(int(otd));
        first = false;
        previous = otd;
    }
    t.close();
    return out;
}

QString printAllSheetsQuestion(int count)
{
    return QStringLiteral("Сигурни ли сте, че желаете да отпечатите %1 броя предотделни листа?").arg(count);
}

} // namespace dx
