// The text layouts of a description and of a pre-compartment sheet, and their writing.
#include "export/DescriptionText.h"

#include "core/QtText.h"
#include "export/ExportFile.h"
#include "core/SafeFileWrite.h"
#include "description/DamageDecoding.h"
#include "description/DescriptionHeader.h"
#include "description/Nomenclature.h"
#include "description/ProjectRecord.h"
#include "engine/common/Codepage.h"
#include "engine/sql/Table.h"

#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace dx {
namespace {

const QString kBreak = QStringLiteral("\r\n");
const QString kIndent = QString(15, QLatin1Char(' '));
const QString kRule = QString(103, QLatin1Char('_'));
constexpr int kGridLines = 26; // the variable part is filled up to this many lines before the grids

QString pad(const QString &text, int width) { return text.leftJustified(width, QLatin1Char(' '), false); }

// A sum of volumes that stops at the ends of the range, either way: a table made
// elsewhere may hold huge or negative volumes.
long long addVolume(long long a, long long b)
{
    constexpr long long hi = std::numeric_limits<long long>::max(), lo = std::numeric_limits<long long>::min();
    if (b > 0 && a > hi - b) return hi;
    if (b < 0 && a < lo - b) return lo;
    return a + b;
}

// A text from a table on one line: its control characters (line breaks, tabs) become
// blanks, so that only the layout breaks lines and the columns keep their widths.
QString oneLine(QString text)
{
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return text;
}

class Reader {
public:
    explicit Reader(const Table &t) : t_(t) {}
    QString operator()(const char *name) const { return oneLine(recordText(t_, QString::fromLatin1(name))); }
    QString slot(const char *pattern, int j) const { return oneLine(recordText(t_, pattern, j)); }
    qint64 num(const char *name) const { return recordInt(t_, QString::fromLatin1(name)); }
    qint64 num(const char *pattern, int j) const { return recordInt(t_, pattern, j); }
    double real(const char *name) const { return recordReal(t_, QString::fromLatin1(name)); }
    double real(const char *pattern, int j) const { return recordReal(t_, pattern, j); }

private:
    const Table &t_;
};

bool present(const QString &v) { return !isNoValueOrZero(v); }

// Appends `part` after ", " or alone.
void joinPart(QString &text, const QString &part) { text = text.isEmpty() ? part : text + QStringLiteral(", ") + part; }

class TextBuilder {
public:
    // A labelled line: preceded by an empty line.
    void labelled(const QString &line) { text_ += kBreak + line + kBreak; }
    void line(const QString &line) { text_ += line + kBreak; }
    void raw(const QString &text) { text_ += text; }
    const QString &text() const { return text_; }

private:
    QString text_;
};

QString headerLine(const AppState &state, int otd, const QString &podotd, const Reader &f)
{
    const QString left = QStringLiteral("подотдел: %1 %2  %3 %4, %5 гсу").arg(otd).arg(oneLine(podotd), state.title, state.year, f("GSU"));
    const QString right = f("VID_PODOTD") + QStringLiteral("  ") + formatFixed(f.real("PL"), 1) + QStringLiteral(" xa");
    return pad(left, 102 - int(right.size())) + right;
}

QString designations(const Reader &f)
{
    QString out = f("NZN1");
    for (int j = 3; j <= 7; ++j)
        if (present(f.slot("NZN%d", j))) out += QStringLiteral(", ") + f.slot("NZN%d", j);
    return out;
}

QString standForm(const Reader &f, bool withStraightness = true)
{
    QString line = present(f("SHEMA")) ? f("SHEMA") : QString();
    if (withStraightness && present(f("PRAVOSTYBL"))) joinPart(line, QStringLiteral("правостъбленост ") + f("PRAVOSTYBL"));
    if (present(f("STROEJ"))) joinPart(line, f("STROEJ") + QStringLiteral(" строеж"));
    if (present(f("SYSTOIANIE"))) joinPart(line, f("SYSTOIANIE") + QStringLiteral(" състояние"));
    return line;
}

// The position, and whether it runs onto a second line.
QString position(const Reader &f, bool *continued)
{
    *continued = false;
    if (f("OBLAST").size() <= 1) return {};
    QString out = f("OBLAST") + QStringLiteral(", ") + f("NADM_VIS") + QStringLiteral("m н.в.") + QStringLiteral(", ") +
                  f("IZLOJENIE") + QStringLiteral(", ") + f("RELEF") + QStringLiteral(", наклон ") + f("NAKLON") +
                  QStringLiteral(" градуса");
    if (!isNoValue(f("PODPOIAS"))) {
        out += QLatin1Char(',') + kBreak + kIndent + f("PODPOIAS");
        *continued = true;
    }
    return out;
}

QString soil(const Reader &f)
{
    QString out;
    if (f("POCHVA").size() > 1) {
        out = f("POCHVA");
        for (const char *name : {"MEH_SYST", "KAMENL", "PLYTNOST", "DYLBOCHINA", "VLAJNOST"}) out += QStringLiteral(", ") + f(name);
        if (!isNoValue(f("ERO_ST")))
            out += QLatin1Char(',') + kBreak + kIndent + f("ERO_ST") + QStringLiteral(", ") + f("VID_ERO1") +
                   QStringLiteral(", върху ") + f("OSN_SKALA") + QStringLiteral(", ") + f("BOGATSTVO");
        else
            out += QLatin1Char(',') + kBreak + kIndent + QStringLiteral("върху ") + f("OSN_SKALA") + QStringLiteral(", ") +
                   f("BOGATSTVO");
    }
    if (f("NELES").trimmed() != QLatin1String("0")) joinPart(out, QStringLiteral("нелесопригодност ") + f("NELES") + QLatin1Char('%'));
    return out;
}

QString futureComposition(const Reader &f)
{
    QString line;
    for (int k = 1; k <= kFutureSlots; ++k) {
        const QString dv = f.slot("OBS_DV%d", k);
        if (isNoValue(dv)) continue;
        if (!line.isEmpty()) line += QStringLiteral(", ");
        line += dv;
        if (f.num("OBS_UCH%d", k) > 0) line += QLatin1Char(' ') + f.slot("OBS_UCH%d", k);
    }
    if (f.num("OBS_B1") > 0 && !line.isEmpty()) line += QStringLiteral(",     ") + f("OBS_B1") + QStringLiteral(" бонитет");
    return line;
}

QString cuttings(const Reader &f, bool withYear = true)
{
    QStringList kinds;
    for (int i = 1; i <= 9; ++i)
        if (!isNoCuttingKind(f.slot("SECH%d", i))) kinds << f.slot("SECH%d", i);
    QString line = kinds.join(QStringLiteral(", "));
    if (withYear && f.num("GOD_SECH") > 0) line += QStringLiteral(" на %1-тата година").arg(f.num("GOD_SECH"));
    return line;
}

QString afforestation(const Reader &f)
{
    QString line;
    for (int k = 1; k <= kFutureSlots; ++k) {
        const QString dv = f.slot("OBS_DV%d", k);
        if (f.real("PLPP1") <= 0 || f.num("OBS_UCH%d", k) <= 0 || isNoValue(dv)) continue;
        joinPart(line, dv + QLatin1Char(' ') + f.slot("OBS_ZALES%d", k) + QStringLiteral(" xa"));
    }
    if (!line.isEmpty() && present(f("SHEMA_ZAL"))) line += QStringLiteral(", схема ") + f("SHEMA_ZAL");
    return line;
}

// The area to plant with a future species: the preparation's area, less the unforestable
// share, times the species' share; the fraction rounded to tenths, halves to even.
QString plantingArea(const Reader &f, int k)
{
    const double share = double(f.num("OBS_UCH%d", k)) / 10;
    const qint64 neles = f.num("NELES");
    const double area = neles < 1 ? f.real("PLPP1") * share : f.real("PLPP1") * double(neles) / 100 * share;
    const double whole = std::trunc(area);
    const double rounded = whole + std::nearbyint((area - whole) * 10) / 10;
    return QString::number(rounded, 'g', QLocale::FloatingPointShortest);
}

QString computedAfforestation(const Reader &f)
{
    QString line;
    for (int k = 1; k <= kFutureSlots; ++k) {
        const QString dv = f.slot("OBS_DV%d", k);
        if (f.real("PLPP1") <= 0 || f.num("OBS_UCH%d", k) <= 0 || isNoValue(dv)) continue;
        joinPart(line, dv + QLatin1Char(' ') + plantingArea(f, k) + QStringLiteral(" xa"));
    }
    if (!line.isEmpty() && present(f("SHEMA_ZAL"))) line += QStringLiteral(", схема ") + f("SHEMA_ZAL");
    if (f.num("GOD_SECH") > 0) line = QStringLiteral("на %1-тата година, ").arg(f.num("GOD_SECH")) + line;
    return line;
}

QString soilPreparation(const Reader &f)
{
    QString out;
    if (present(f("PP1"))) {
        out = f("PP1") + QLatin1Char(' ') + f("PLPP1") + QStringLiteral(" xa");
        if (present(f("PP2"))) out += QStringLiteral(", ") + f("PP2") + QLatin1Char(' ') + f("PLPP2") + QStringLiteral(" xa");
    }
    if (present(f("PRAVOSTYBL"))) joinPart(out, QStringLiteral("правостъбленост ") + f("PRAVOSTYBL"));
    return out;
}

QString originWord(qint64 pr)
{
    switch (pr) {
    case 1: return QStringLiteral("сем");
    case 2: return QStringLiteral("изк");
    case 3: return QStringLiteral("изд");
    case 4: return QStringLiteral("отр");
    default: return QStringLiteral("-");
    }
}

QString positive(const Reader &f, const char *pattern, int j)
{
    return f.num(pattern, j) > 0 ? f.slot(pattern, j) : QStringLiteral("-");
}

QString volumeText(long long v) { return v < 1 ? QStringLiteral("-") : QString::number(v); }

// The composition table's rows, totals and damages; the number of lines they take.
struct CompositionText {
    QString text;
    int lines = 0;
};

// `partial`: the totals' use share is the use's share of the stock, and the damages
// are written only when `damagesWanted`.
CompositionText composition(AppState &state, const Reader &f, const TextReport &report, bool partial = false,
                            bool damagesWanted = true)
{
    CompositionText out;
    QString &t = out.text;
    t += kRule + kBreak;
    t += QStringLiteral("                                   уч  пов   прои  възр  пълн  вис  бон  диам     запас        ползване") + kBreak;
    t += QStringLiteral("     сегашен състав                -   реди  зход  год   -     м    -    см    куб/ха  куб     %   куб ") + kBreak;
    t += kRule + kBreak + kBreak;
    long long vhaSum = 0, vSum = 0, useSum = 0;
    QStringList damages;
    for (int j = 1; j <= kCompositionSlots; ++j) {
        const QString dv = f.slot("DV%d", j);
        if (isNoValue(dv)) continue;
        const QString et = f.slot("ET%d", j).trimmed();
        const bool storey = et == QStringLiteral("надл") || et == QStringLiteral("подл") || et == QStringLiteral("подр");
        QString line = (storey ? et + QLatin1Char(' ') : QString(5, QLatin1Char(' '))) + pad(dv, 30);
        line += pad(f.num("UCH%d", j) > 0 ? f.slot("UCH%d", j) : QStringLiteral("-"), 4);
        const QString povr = f.slot("POVR%d", j);
        line += pad(present(povr) ? povr : QStringLiteral("-"), 6);
        if (present(povr) && !damages.contains(povr)) damages << povr;
        line += pad(originWord(f.num("PR%d", j)), 6);
        line += pad(present(f.slot("A%d", j)) ? f.slot("A%d", j) : QStringLiteral("-"), 6);
        const double density = f.real("PYLN%d", j);
        line += pad(density > 0 ? formatFixed(density / 10, 1) : QStringLiteral("-"), 6);
        line += pad(positive(f, "H%d", j), 5);
        line += pad(positive(f, "B%d", j), 5);
        line += pad(f.num("D%d", j) >= 1 ? f.slot("D%d", j) : QStringLiteral("-"), 6);
        line += pad(positive(f, "VHA%d", j), 8);
        line += pad(positive(f, "V%d", j), 8);
        line += QStringLiteral("-   ");
        line += pad(positive(f, "POLZV%d", j), 8);
        if (f.num("VHA%d", j) > 0) vhaSum = addVolume(vhaSum, f.num("VHA%d", j));
        if (f.num("V%d", j) > 0) vSum = addVolume(vSum, f.num("V%d", j));
        if (f.num("POLZV%d", j) > 0) useSum = addVolume(useSum, f.num("POLZV%d", j));
        t += line + kBreak;
        ++out.lines;
    }
    if (vhaSum > 0 || vSum > 0 || useSum > 0) {
        t += kRule + kBreak;
        QString useShare = volumeText(f.num("SECH_PER"));
        if (partial)
            useShare = useSum >= 1 && vSum >= 1
                           // formatted as a double: a share beyond any whole number type
                           // (a table made elsewhere) must not overflow the conversion
                           ? QString::number(std::nearbyint(double(useSum) / double(vSum) * 100), 'f', 0)
                           : QStringLiteral("-");
        t += pad(QStringLiteral("всичко"), 79) + pad(volumeText(vhaSum), 8) + pad(volumeText(vSum), 8) + pad(useShare, 4) +
             pad(volumeText(useSum), 8) + kBreak;
        out.lines += 1;
    } else {
        out.lines += 2;
    }
    if (!damages.isEmpty() && damagesWanted) {
        t += kBreak;
        for (int i = 0; i < damages.size(); ++i) {
            const QString &code = damages[i];
            t += (i == 0 ? QStringLiteral("повреди:       ") : kIndent) + pad(code, 4) + QStringLiteral(" = ") +
                 oneLine(decodeDamage(state, code, report)) + kBreak;
        }
        out.lines += int(damages.size());
    }
    return out;
}

QString recordGrids(int lines)
{
    QString t;
    for (int i = lines; i < kGridLines; ++i) t += kBreak;
    const QString cutRow = QStringLiteral("_ _ _ _ _    _ _ _ _   _ _ _ _  _ _ _ _  _ _ _ _  _ _ _ _  _ _ _ _  _ _ _ _  _ _ _   _ _ _ _  _ _ _ _ _");
    const QString plantRow = QStringLiteral("_ _ _ _ _    _ _ _ _   _ _ _ _ _   _ _ _ _   _ _ _ _   _ _ _ _   _ _ _ _   _ _ _ _   _ _ _ _  _ _ _ _ _");
    t += kBreak + QStringLiteral("вид сеч:     година    стояща   лежаща   едра     средна   дребна   е+с+д    дърва   вършина  забележка");
    for (int i = 0; i < 3; ++i) t += kBreak + cutRow;
    t += kBreak + QString(13, QLatin1Char(' ')) + QString(90, QLatin1Char('_'));
    t += kBreak + QStringLiteral("насоки:      година    д.вид       почвопод  схема     смесв     фиданки   семена    площ     забележка");
    for (int i = 0; i < 2; ++i) t += kBreak + plantRow;
    return t;
}

struct ReleaseTable {
    Table &t;
    ~ReleaseTable()
    {
        t.close();
        t.setFiltered(false);
    }
};

} // namespace

QString missingSubCompartmentText(int otd, const QString &podotd)
{
    return QStringLiteral("подотдел %1:%2 липсва в базата данни!").arg(otd).arg(podotd);
}

namespace {

QString wholeTextOf(AppState &state, const Table &table, int otd, const QString &podotd, bool recordGrids_,
                    const TextReport &report)
{
    const Reader f(table);
    TextBuilder b;
    b.line(headerLine(state, otd, podotd, f));
    b.line(kRule);
    b.labelled(QStringLiteral("ст.клас:       ") + f("STOP_KLAS"));
    b.labelled(QStringLiteral("вид гори:      ") + f("VID_GORI"));
    b.labelled(QStringLiteral("функция:       ") + designations(f));
    b.labelled(QStringLiteral("собственост:   ") + f("NZN2"));
    b.labelled(QStringLiteral("землище:       ") + f("ZEML"));
    const QString form = standForm(f);
    if (!form.isEmpty()) b.labelled(kIndent + form);
    bool continued = false;
    b.labelled(QStringLiteral("положение:     ") + position(f, &continued));
    b.labelled(QStringLiteral("почва:         ") + soil(f));
    const QString mestorast = f("MESTORAST");
    b.labelled(present(mestorast) ? QStringLiteral("тип мест.:     ") + siteTypeText(mestorast)
                                  : QStringLiteral("тип мест.:       "));
    b.labelled(QStringLiteral("о.б.с:         ") + futureComposition(f));
    b.raw(kBreak);
    const CompositionText table_ = composition(state, f, report);
    b.raw(table_.text);
    const QString cut = cuttings(f);
    b.labelled(cut.isEmpty() ? QStringLiteral("вид сеч:         ") : QStringLiteral("вид сеч:       ") + cut);
    b.labelled(QStringLiteral("залесяване:    ") + afforestation(f));
    b.labelled(present(f("NAS_ZALES")) ? QStringLiteral("по насоки:\t") + f("NAS_ZALES") : QStringLiteral("по насоки:     "));
    b.labelled(QStringLiteral("почвоподг:     ") + soilPreparation(f));
    if (recordGrids_) b.raw(recordGrids(table_.lines + (continued ? 1 : 0)));
    return b.text();
}

} // namespace

std::optional<QString> wholeDescriptionText(AppState &state, int otd, const QString &podotd, bool recordGrids_,
                                            const TextReport &report)
{
    Table &table = state.projectTable;
    ReleaseTable release{table};
    if (!selectSubCompartment(table, otd, podotd)) return std::nullopt;
    return wholeTextOf(state, table, otd, podotd, recordGrids_, report);
}

QString wholeDescriptionTextAt(AppState &state, const Table &table, bool recordGrids_, const TextReport &report)
{
    return wholeTextOf(state, table, int(recordInt(table, QStringLiteral("OTD"))), recordText(table, QStringLiteral("PODOTD")),
                       recordGrids_, report);
}

namespace {

// The land area by its name; the number as stored when it has no name or the names are not open.
QString landAreaText(AppState &state, const Reader &f)
{
    if (!state.landArea.active()) return f("ZEML");
    const qint64 n = f.num("ZEML");
    const QString name =
        landAreaName(state.landArea, int(std::clamp<qint64>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
    state.landArea.setFiltered(false);
    return name == QString::number(n) ? f("ZEML") : name;
}

QString partialTextOf(AppState &state, const Table &table, int otd, const QString &podotd, const DescriptionParts &parts,
                      bool copy, const TextReport &report)
{
    const Reader f(table);
    auto on = [&](int part) { return parts[size_t(part - 1)]; };
    TextBuilder b;
    b.line(headerLine(state, otd, podotd, f));
    b.line(kRule);
    if (on(1)) b.labelled(QStringLiteral("ст.клас:       ") + f("STOP_KLAS"));
    if (on(2)) b.labelled(QStringLiteral("вид гори:      ") + f("VID_GORI"));
    if (on(3)) b.labelled(QStringLiteral("функция:       ") + designations(f));
    if (on(4)) b.labelled(QStringLiteral("собственост:   ") + f("NZN2"));
    if (on(5)) b.labelled(QStringLiteral("землище:       ") + (copy ? landAreaText(state, f) : f("ZEML")));
    if (on(15)) {
        const QString form = standForm(f, false);
        if (!form.isEmpty()) b.labelled(kIndent + form);
    }
    bool continued = false;
    if (on(6)) b.labelled(QStringLiteral("положение:     ") + position(f, &continued));
    if (on(7)) b.labelled(QStringLiteral("почва:         ") + soil(f));
    if (on(8)) {
        const QString mestorast = f("MESTORAST");
        b.labelled(present(mestorast) ? QStringLiteral("тип мест.:     ") + siteTypeText(mestorast)
                                      : QStringLiteral("тип мест.:       "));
    }
    if (on(9)) {
        b.labelled(QStringLiteral("о.б.с:         ") + futureComposition(f));
        b.raw(kBreak);
    }
    // The damages are gathered while the table is written: without the table there are none.
    CompositionText table_;
    if (on(10)) {
        table_ = composition(state, f, report, true, on(16));
        b.raw(table_.text);
    }
    if (on(11)) {
        const QString cut = cuttings(f, false);
        b.labelled(cut.isEmpty() ? QStringLiteral("вид сеч:         ") : QStringLiteral("вид сеч:       ") + cut);
    }
    if (on(12)) b.labelled(QStringLiteral("залесяване:    ") + computedAfforestation(f));
    if (on(13))
        b.labelled(present(f("NAS_ZALES")) ? QStringLiteral("по насоки:\t") + f("NAS_ZALES") : QStringLiteral("по насоки:     "));
    if (on(14)) b.labelled(QStringLiteral("почвоподг:     ") + soilPreparation(f));
    if (copy) b.raw(recordGrids(table_.lines + (continued ? 1 : 0)));
    return b.text();
}

QString partialText(AppState &state, int otd, const QString &podotd, const DescriptionParts &parts, bool copy,
                    const TextReport &report)
{
    Table &table = state.projectTable;
    ReleaseTable release{table};
    if (!selectSubCompartment(table, otd, podotd)) return missingSubCompartmentText(otd, podotd);
    return partialTextOf(state, table, otd, podotd, parts, copy, report);
}

} // namespace

QString partialDescriptionText(AppState &state, int otd, const QString &podotd, const DescriptionParts &parts,
                               const TextReport &report)
{
    return partialText(state, otd, podotd, parts, false, report);
}

QString partialDescriptionTextAt(AppState &state, const Table &table, const DescriptionParts &parts,
                                 const TextReport &report)
{
    return partialTextOf(state, table, int(recordInt(table, QStringLiteral("OTD"))),
                         recordText(table, QStringLiteral("PODOTD")), parts, false, report);
}

QString currentSubCompartmentText(AppState &state, int otd, const QString &podotd, const TextReport &report)
{
    DescriptionParts all;
    all.fill(true);
    return partialText(state, otd, podotd, all, true, report);
}

std::optional<QString> sheetText(AppState &state, int otd, const TextReport &)
{
    Table &t = state.projectTable;
    ReleaseTable release{t};
    t.setFilter(QStringLiteral("OTD=%1").arg(otd).toStdString());
    if (!t.filtered()) t.setFiltered(true);
    if (!t.active()) t.open();
    t.first();
    if (t.isEmpty()) return std::nullopt;
    QString out = QString(33, QLatin1Char(' ')) + QStringLiteral("П Р Е Д О Т Д Е Л Е Н    Л И С Т") + kBreak + kBreak + kBreak + kBreak;
    out += QStringLiteral("%1 %2,     отдел %3").arg(state.title, state.year, QString::number(otd)) + kBreak + kBreak + kBreak;
    out += QStringLiteral("подотдел       вид на подотдела                                  площ           запас") + kBreak;
    out += QStringLiteral("                                                                  ха            куб.м") + kBreak + kBreak + kBreak;
    double totalArea = 0;
    long long totalStock = 0;
    for (t.first(); !t.eof(); t.next()) {
        const Reader f(t);
        long long stock = 0;
        for (int j = 1; j <= kCompositionSlots; ++j) stock = addVolume(stock, f.num("V%d", j));
        out += pad(f("PODOTD"), 15) + pad(f("VID_PODOTD"), 50) + pad(formatFixed(f.real("PL"), 1), 15) +
               pad(volumeText(stock), 15) + kBreak + kBreak;
        totalArea += f.real("PL");
        totalStock = addVolume(totalStock, stock);
    }
    out += kBreak + pad(QStringLiteral("-"), 15) + pad(QStringLiteral("ВСИЧКО В ОТДЕЛА"), 50) + pad(formatFixed(totalArea, 1), 15) +
           pad(QString::number(totalStock), 15);
    return out;
}

bool appendDescriptionText(const QString &path, const QString &text, QString *error)
{
    try {
        ExportFile file(path);
        file.append(text);
        file.finish();
    } catch (const FileWriteError &e) {
        if (error) *error = e.message();
        return false;
    }
    return true;
}

namespace {

bool writeText(const QString &path, const QString &text, const TextReport &report)
{
    QString error;
    if (appendDescriptionText(path, text, &error)) return true;
    if (report) report({plainCaption(), error, UserMessage::Icon::Error, {}});
    return false;
}

} // namespace

bool writeWholeDescription(AppState &state, int otd, const QString &podotd, bool reportMissing, bool recordGrids,
                           const QString &path, const TextReport &report)
{
    const std::optional<QString> text = wholeDescriptionText(state, otd, podotd, recordGrids, report);
    if (text) return writeText(path, *text, report);
    if (reportMissing) {
        if (report)
            report({QStringLiteral("Внимание!"),
                    QStringLiteral("Избрания подотдел %1:%2 липсва в базата данни!%3Проверете за наличие на латински букви.")
                        .arg(otd)
                        .arg(podotd, QStringLiteral("\n")),
                    UserMessage::Icon::Warning,
                    {}});
        return true;
    }
    return writeText(path, missingSubCompartmentText(otd, podotd), report);
}

bool writePartialDescription(AppState &state, int otd, const QString &podotd, const DescriptionParts &parts,
                             const QString &path, const TextReport &report)
{
    return writeText(path, partialDescriptionText(state, otd, podotd, parts, report), report);
}

bool writeSheet(AppState &state, int otd, bool reportMissing, const QString &path, const TextReport &report)
{
    const std::optional<QString> text = sheetText(state, otd, report);
    if (text) return writeText(path, *text, report);
    if (reportMissing && report)
        report({QStringLiteral("Внимание!"), QStringLiteral("Избрания отдел несъществува."), UserMessage::Icon::Warning, {}});
    return true;
}

} // namespace dx
