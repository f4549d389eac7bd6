// The description report: where each region of the printed description stands, in
// millimetres from the top left corner of its band.
#include "printing/DescriptionComposer.h"

#include <QtGlobal>

namespace dx {
namespace {

constexpr double kHeaderBand = 91.0;
constexpr double kDetailBand = 4.4;
constexpr double kFooterBand = 110.2;
constexpr double kLabelHeight = 4.2;   // one line of the report font
constexpr double kContentLeft = 23.3;
constexpr double kTableRight = 169.3;

struct Place {
    const PageFrame &frame;
    QList<ReportItem> &items;

    ReportItem &text(const QString &name, const QString &text, double left, double top, double width, double height,
                     int align = Qt::AlignLeft | Qt::AlignTop)
    {
        ReportItem i;
        i.name = name;
        i.text = text;
        i.mm = QRectF(left, top, width, height);
        i.align = align;
        i.font = frame.font;
        items.push_back(i);
        return items.back();
    }
    // A label whose width is as long as the printable line allows.
    ReportItem &label(const QString &name, const QString &t, double left, double top)
    {
        return text(name, t, left, top, qMax(1.0, frame.widthMm() - left), kLabelHeight);
    }
    // A right-aligned label that ends at `right`.
    ReportItem &rightLabel(const QString &name, const QString &t, double from, double right, double top)
    {
        return text(name, t, from, top, right - from, kLabelHeight, Qt::AlignRight | Qt::AlignTop);
    }
    // A text of several lines in its box, drawn smaller when it does not fit.
    ReportItem &memo(const QString &name, const QString &t, double left, double top, double width, double height)
    {
        ReportItem &i = text(name, t, left, top, width, height);
        i.wrap = true;
        i.shrink = true;
        return i;
    }
    void line(double x1, double y1, double x2, double y2, double width)
    {
        ReportItem i;
        i.kind = ReportItem::Kind::Line;
        i.mm = QRectF(QPointF(x1, y1), QPointF(x2, y2));
        i.lineWidthMm = width;
        items.push_back(i);
    }
    void rect(double left, double top, double width, double height, double lineWidth)
    {
        ReportItem i;
        i.kind = ReportItem::Kind::Rect;
        i.mm = QRectF(left, top, width, height);
        i.lineWidthMm = lineWidth;
        items.push_back(i);
    }
};

ReportFont arial(double size, bool italic = false)
{
    ReportFont f;
    f.family = QStringLiteral("Arial");
    f.pointSize = size;
    f.italic = italic;
    return f;
}

// A column of the composition table: the field, its place, its alignment, its headings.
struct Column {
    QString field;
    double left, width;
    int align;
    QString first, second;  // the two heading lines (empty: under a group heading)
};

QList<Column> tableColumns(bool withBranches)
{
    const int l = Qt::AlignLeft | Qt::AlignVCenter, c = Qt::AlignHCenter | Qt::AlignVCenter,
              r = Qt::AlignRight | Qt::AlignVCenter;
    QList<Column> cols = {
        {QStringLiteral("ET"), 0.0, 1.8, l, {}, {}},
        {QStringLiteral("DV"), 1.4, 46.6, l, {}, {}},
        {QStringLiteral("U"), 48.0, 4.6, c, QStringLiteral("уч"), QStringLiteral("-")},
        {QStringLiteral("POVR"), 52.6, 8.6, c, QStringLiteral("пов"), QStringLiteral("реди")},
        {QStringLiteral("PR"), 61.2, 7.2, c, QStringLiteral("прои"), QStringLiteral("зход")},
        {QStringLiteral("A"), 68.4, 7.2, r, QStringLiteral("възр"), QStringLiteral("год")},
        {QStringLiteral("PYL"), 75.7, 6.5, r, QStringLiteral("пъл"), QStringLiteral("-")},
        {QStringLiteral("H"), 82.4, 7.6, r, QStringLiteral("вис"), QStringLiteral("м")},
        {QStringLiteral("B"), 90.0, 6.0, r, QStringLiteral("бон"), QStringLiteral("-")},
        {QStringLiteral("D"), 96.0, 7.2, r, QStringLiteral("диам"), QStringLiteral("cм")},
    };
    if (withBranches) {
        cols += {
            {QStringLiteral("V1"), 103.2, 12.0, r, {}, QStringLiteral("на 1 xa")},
            {QStringLiteral("V"), 115.0, 12.0, r, {}, QStringLiteral("без кл.")},
            {QStringLiteral("VKLONI"), 127.0, 12.0, r, {}, QStringLiteral("с клони")},
            {QStringLiteral("POLZ1"), 139.0, 6.5, r, {}, QStringLiteral("%")},
            {QStringLiteral("POLZ2"), 145.5, 12.0, r, {}, QStringLiteral("без кл.")},
            {QStringLiteral("PKLONI"), 157.3, 12.0, r, {}, QStringLiteral("с клони")},
        };
    } else {
        cols += {
            {QStringLiteral("V1"), 103.2, 17.8, r, {}, QStringLiteral("на 1 xa")},
            {QStringLiteral("V"), 121.0, 17.8, r, {}, QStringLiteral("без кл.")},
            {QStringLiteral("POLZ1"), 139.0, 15.0, r, {}, QStringLiteral("%")},
            {QStringLiteral("POLZ2"), 154.0, 15.0, r, {}, QStringLiteral("без кл.")},
        };
    }
    return cols;
}

QString cell(const CompositionRow &row, const QString &field)
{
    static const QStringList names = compositionColumnNames();
    const QStringList cells = compositionCells(row);
    const qsizetype i = names.indexOf(field);
    if (field == QLatin1String("ET")) return {}; // the row's left border only
    return i < 0 ? QString() : cells.at(i);
}

Band headerBand(const PrintedDescription &d, const PageFrame &frame, bool withBranches)
{
    Band band;
    band.heightMm = kHeaderBand;
    Place p{frame, band.items};
    p.label({}, QStringLiteral("подотдел:"), 0, 2.1);
    p.text(QStringLiteral("QRLPodotd"), d.podotd, kContentLeft, 2.1, 25.0, kLabelHeight);
    p.memo(QStringLiteral("QRLDL_GTU"), d.dlGtu, 48.7, 2.1, 55.3, 5.8);
    p.rightLabel(QStringLiteral("QRLVidPod"), d.vidPod, 104.5, 148.4, 2.1);
    p.rightLabel(QStringLiteral("QRLArea"), d.area, 148.6, 167.4, 2.1);
    p.line(0, 8.1, 167.9, 8.1, 0.2);
    p.line(0, 8.7, 167.9, 8.7, 0.2);
    const std::pair<const char *, double> captions[] = {{"ст. клас:", 10.6},   {"вид гори:", 16.9},
                                                        {"функция:", 23.3},    {"собственост:", 29.6},
                                                        {"положение:", 42.3},  {"почва:", 52.2},
                                                        {"тип мест:", 64.9},   {"о.б.с. :", 71.3}};
    for (const auto &[caption, top] : captions) p.text({}, QString::fromUtf8(caption), 0, top, kContentLeft, kLabelHeight);
    p.text(QStringLiteral("QRL_SK"), d.sk, kContentLeft, 10.6, 60.0, kLabelHeight);
    p.rightLabel(QStringLiteral("QRL_ZEM"), d.zem, 84.0, 167.7, 10.6);
    p.label(QStringLiteral("QRL_VG"), d.vg, kContentLeft, 16.9);
    p.label(QStringLiteral("QRL_FUNK"), d.funk, kContentLeft, 23.3);
    p.label(QStringLiteral("QRL_SOB"), d.sob, kContentLeft, 29.6);
    p.label(QStringLiteral("QRL_SHEMA"), d.shema, kContentLeft, 36.0);
    p.memo(QStringLiteral("QRM_POLOJENIE"), d.polojenie, kContentLeft, 42.3, 146.4, 8.6);
    p.memo(QStringLiteral("QRM_SOIL"), d.soil, kContentLeft, 52.2, 146.4, 11.5);
    p.label(QStringLiteral("QRL_TM"), d.tm, kContentLeft, 64.9);
    p.memo(QStringLiteral("QRM_OBS"), d.obs, kContentLeft, 71.3, 146.4, 8.8);

    // The composition table's two heading lines.
    const double top = 81.8, mid = 86.1, bottom = 90.3;
    auto heading = [&](const QString &t, double left, double y, double width, double height) {
        ReportItem &i = p.text(QStringLiteral("heading"), t, left, y, width, height, Qt::AlignCenter);
        i.font = arial(8);
        i.frame = true;
    };
    heading(QStringLiteral("сегашен състав"), 0.0, top, 47.6, bottom - top);
    for (const Column &c : tableColumns(withBranches)) {
        if (c.first.isEmpty() && c.second.isEmpty()) continue;
        if (!c.first.isEmpty()) {
            heading({}, c.left, top, c.width, bottom - top); // one cell over both lines
            ReportItem &a = p.text(QStringLiteral("heading"), c.first, c.left, top, c.width, mid - top, Qt::AlignCenter);
            a.font = arial(8);
            ReportItem &b = p.text(QStringLiteral("heading"), c.second, c.left, mid, c.width, bottom - mid, Qt::AlignCenter);
            b.font = arial(8);
        } else {
            heading(c.second, c.left, mid, c.width, bottom - mid);
        }
    }
    heading(QStringLiteral("запас - куб.м"), 103.2, top, 35.6, mid - top);
    heading(QStringLiteral("ползване - куб.м"), 139.0, top, 30.0, mid - top);
    return band;
}

Band detailBand(const CompositionRow &row, const PageFrame &frame, bool withBranches)
{
    Band band;
    band.heightMm = kDetailBand;
    Place p{frame, band.items};
    for (const Column &c : tableColumns(withBranches)) {
        if (c.field == QLatin1String("ET")) continue; // always empty: its left rule is the species cell's
        ReportItem &i = p.text(c.field, cell(row, c.field), c.left, 0, c.width, kDetailBand, c.align);
        i.frame = true;
        if (c.field == QLatin1String("DV")) {
            i.mm.setLeft(0.0);
            i.paddingMm = 1.9;
        }
    }
    return band;
}

Band footerBand(const PrintedDescription &d, const PageFrame &frame, int lineWidth, const QString &contactLine)
{
    Band band;
    band.heightMm = kFooterBand;
    Place p{frame, band.items};
    if (!d.damages.isEmpty()) p.text({}, QStringLiteral("повреди:"), 0, 2.3, kContentLeft, kLabelHeight);
    ReportItem &damages = p.memo(QStringLiteral("QRM_POVR"), d.damages.join(QLatin1Char('\n')), kContentLeft, 2.8, 146.4, 25.6);
    damages.font.pointSize = d.damages.size() < 7 ? 10 : 8;
    p.text({}, QStringLiteral("вид сеч:"), 0, 29.8, kContentLeft, kLabelHeight);
    p.memo(QStringLiteral("QRL_VS"), d.vs, kContentLeft, 29.8, 146.2, 7.8);
    p.text({}, QStringLiteral("залесяване:"), 0, 38.8, kContentLeft, kLabelHeight);
    p.memo(QStringLiteral("QRM_ZAL"), d.zal, kContentLeft, 38.8, 146.4, 8.8);
    p.text({}, QStringLiteral("по насоки:"), 0, 48.9, kContentLeft, kLabelHeight);
    p.label(QStringLiteral("QRL_NAS"), d.nas, kContentLeft, 48.9);
    p.text({}, QStringLiteral("почвоподг:"), 0, 54.3, kContentLeft, kLabelHeight);
    p.label(QStringLiteral("QRL_PP"), d.pp, kContentLeft, 54.7);

    // The two blank grids in which the field staff record what was done.
    const double w = lineWidth >= 4 ? 0.4 : 0.1;
    auto grid = [&](double top, double bottom, const QList<double> &rowTops, const QList<double> &rules,
                    const QList<std::pair<const char *, double>> &headings, double headingTop) {
        p.rect(0.4, top, 168.5, bottom - top, w);
        for (double y : rowTops) p.line(0.4, y, 168.9, y, w);
        for (double x : rules) p.line(x, top, x, bottom, w);
        for (qsizetype k = 0; k < headings.size(); ++k) {
            const double left = headings[k].second;
            const double right = k < rules.size() ? rules[k] : 168.9;
            ReportItem &i = p.text(QStringLiteral("grid heading"), QString::fromUtf8(headings[k].first), left,
                                   headingTop, right - left - 0.3, kLabelHeight);
            i.shrink = true;
        }
    };
    grid(60.5, 85.1, {65.4, 69.3, 73.2, 77.1, 81.0}, {16.8, 29.5, 43.6, 59.1, 71.8, 87.3, 102.8, 116.9, 131.1, 148.0},
         {{"вид сеч:", 1.8}, {"година", 18.2}, {"стояща", 31.0}, {"лежаща", 45.9}, {"едра", 61.7}, {"средна", 74.1},
          {"дребна", 88.9}, {"е+с+д", 105.8}, {"дърва", 119.9}, {"вършина", 133.3}, {"забележка", 150.3}},
         61.0);
    grid(88.0, 104.8, {93.0, 96.8, 100.7}, {16.8, 29.5, 43.6, 71.8, 87.3, 102.8, 116.9, 131.1, 148.0},
         {{"насоки:", 1.8}, {"година", 18.2}, {"д.вид", 32.6}, {"почвоподготовка", 45.2}, {"схема", 75.1},
          {"смесване", 88.2}, {"фиданки", 103.7}, {"семена", 118.5}, {"площ", 135.5}, {"забележка", 150.3}},
         88.5);
    ReportItem &contact = p.text(QStringLiteral("contact"), contactLine, 2.5, 105.8, 163.5, 3.5, Qt::AlignHCenter | Qt::AlignTop);
    contact.font.pointSize = 6;
    contact.font.italic = true;
    contact.shrink = true;
    return band;
}

} // namespace

Report descriptionReport(const PrintedDescription &d, const PageSettings &page, const DescriptionLayout &layout,
                         const QString &contactLine)
{
    const PageFrame frame = pageFrame(page);
    QList<Band> details;
    for (const CompositionRow &row : d.rows) details.push_back(detailBand(row, frame, layout.withBranches));
    Report report = layOutBands(frame, headerBand(d, frame, layout.withBranches), details,
                                footerBand(d, frame, layout.footerLineWidth, contactLine));
    report.title = d.title;
    return report;
}

} // namespace dx
