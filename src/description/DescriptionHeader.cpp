// The header boxes of the description view: which fields each box shows, in which
// order, with which separators and units, and when a part is left out.
#include "description/DescriptionHeader.h"

#include "core/QtText.h"
#include "description/Nomenclature.h"
#include "description/ProjectRecord.h"
#include "engine/sql/Table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace dx {
namespace {

// The mark a missing field reads as: "0" for numbers, "-" for texts and unknown names.
QString missingFieldText(const QString &field)
{
    int i = projectFieldIndex(field);
    if (i >= 0 && projectRecordFields()[size_t(i)].type != ProjectFieldType::Text) return QStringLiteral("0");
    return QStringLiteral("-");
}

// The field's value, or nothing when the table lacks the field.
std::optional<Value> fieldValue(const Table &t, const std::string &field)
{
    const int i = t.fieldIndex(field);
    if (i < 0) return std::nullopt;
    return t.value(size_t(i)); // one look-up of the name, not two
}

// slotField's name in bytes: the repeated fields of a description are read by the
// hundred, so their names skip the text conversions.
std::string slotName(const char *pattern, int slot)
{
    std::string out;
    const std::string number = std::to_string(slot);
    for (const char *p = pattern;;) {
        const char *mark = std::strstr(p, "%d");
        if (!mark) return out += p;
        out.append(p, size_t(mark - p)).append(number);
        p = mark + 2;
    }
}

QString rightTrimmed(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace()) --n;
    s.truncate(n);
    return s;
}

// Reads the named fields of the current record as texts.
class Fields {
public:
    explicit Fields(const Table &t) : t_(t) {}
    QString operator()(const char *name) const { return recordText(t_, QString::fromLatin1(name)); }
    QString slot(const char *pattern, int n) const { return recordText(t_, pattern, n); }

private:
    const Table &t_;
};

// ", " + value when the value is present (not one of the no-value marks).
void appendPresent(QString &out, const QString &value, bool zeroIsAbsent)
{
    if (zeroIsAbsent ? isNoValueOrZero(value) : isNoValue(value)) return;
    out += QStringLiteral(", ") + value;
}

QString designations(const Fields &f)
{
    QString out = f("NZN1");
    for (int i = 3; i <= 7; ++i) appendPresent(out, f.slot("NZN%d", i), true);
    return out;
}

QString soilText(const Fields &f)
{
    const QString pochva = f("POCHVA");
    if (pochva.size() <= 1) return {};
    QString out = pochva;
    for (const char *name : {"MEH_SYST", "KAMENL", "PLYTNOST", "DYLBOCHINA", "VLAJNOST"})
        appendPresent(out, f(name), false);
    const QString erosion = f("ERO_ST");
    if (!isNoValue(erosion)) out += QStringLiteral(", ") + erosion + QStringLiteral(", ") + f("VID_ERO1");
    const QString rock = f("OSN_SKALA");
    if (!isNoValue(rock)) out += QStringLiteral(", върху ") + rock;
    appendPresent(out, f("BOGATSTVO"), false);
    const QString neles = f("NELES");
    if (neles.trimmed() != QLatin1String("0")) out += QStringLiteral(", нелесопригодност ") + neles + QLatin1Char('%');
    return out;
}

// The kinds of cutting joined by ", ", and how many there are.
QString cuttingKinds(const Fields &f, int &count)
{
    QStringList kinds;
    for (int i = 1; i <= 9; ++i) {
        const QString kind = f.slot("SECH%d", i);
        if (!isNoCuttingKind(kind)) kinds << kind;
    }
    count = int(kinds.size());
    return kinds.join(QStringLiteral(", "));
}

QString soilPreparation(const Fields &f)
{
    QString out;
    const QString pp1 = f("PP1");
    if (!isNoValueOrZero(pp1)) {
        // " xa" is written in Latin letters, unlike the area box's " ха".
        out = pp1 + QLatin1Char(' ') + f("PLPP1") + QStringLiteral(" xa");
        const QString pp2 = f("PP2");
        if (!isNoValueOrZero(pp2)) out += QStringLiteral(", ") + pp2 + QLatin1Char(' ') + f("PLPP2") + QStringLiteral(" xa");
        const QString scheme = f("SHEMA_ZAL");
        if (!isNoValueOrZero(scheme)) out += QStringLiteral(", схема ") + scheme;
    }
    const QString straightness = f("PRAVOSTYBL");
    if (!isNoValueOrZero(straightness))
        out += (out.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("правостъбленост ") + straightness;
    return out;
}

QString fieldText(const Table &t, const std::string &field)
{
    const int i = t.fieldIndex(field);
    if (i < 0) return missingFieldText(qs(field));
    const Value v = t.value(size_t(i));
    // A numeric field left blank holds no number: it reads as the numeric mark "0".
    const FieldType type = t.fields()[size_t(i)].type;
    if (v.isNull() && (type == FieldType::Integer || type == FieldType::Real)) return QStringLiteral("0");
    return rightTrimmed(qs(v.toText()));
}

qint64 intOf(const std::optional<Value> &v)
{
    if (!v) return 0;
    if (v->kind != Value::Real) {
        bool ok = false;
        qint64 n = v->toInt(&ok);
        if (ok) return n;
        // A number text with a fraction or an exponent is read like a real.
    }
    bool ok = false;
    double d = v->toReal(&ok);
    if (!ok || std::isnan(d)) return 0;
    constexpr double kLimit = 9.2e18; // just inside the 64-bit range
    if (d >= kLimit) return std::numeric_limits<qint64>::max();
    if (d <= -kLimit) return std::numeric_limits<qint64>::min();
    return qint64(std::trunc(d));
}

double realOf(const std::optional<Value> &v)
{
    if (!v) return 0;
    bool ok = false;
    double d = v->toReal(&ok);
    return ok && !std::isnan(d) ? d : 0;
}

} // namespace

QString recordText(const Table &t, const QString &field) { return fieldText(t, ss(field)); }
QString recordText(const Table &t, const char *pattern, int slot) { return fieldText(t, slotName(pattern, slot)); }
qint64 recordInt(const Table &t, const QString &field) { return intOf(fieldValue(t, ss(field))); }
qint64 recordInt(const Table &t, const char *pattern, int slot) { return intOf(fieldValue(t, slotName(pattern, slot))); }
double recordReal(const Table &t, const QString &field) { return realOf(fieldValue(t, ss(field))); }
double recordReal(const Table &t, const char *pattern, int slot) { return realOf(fieldValue(t, slotName(pattern, slot))); }

QString positionText(const QString &oblast, const QString &nadmVis, const QString &izlojenie,
                     const QString &relef, const QString &naklon, const QString &podpoias)
{
    // "m н.в." begins with a Latin m.
    const QString altitude = nadmVis + QStringLiteral("m н.в.");
    const QString slope = QStringLiteral(", наклон ") + naklon + QStringLiteral(" градуса");
    if (oblast.size() < 2) return altitude + slope;
    QString out = oblast + QStringLiteral(", ") + altitude + QStringLiteral(", ") + izlojenie + QStringLiteral(", ") +
                  relef + slope;
    if (!isNoValue(podpoias)) out += QStringLiteral(", ") + podpoias;
    return out;
}

QString siteTypeText(const QString &mestorast)
{
    if (isNoValueOrZero(mestorast)) return {};
    // The code word comes first in the field and last on the screen.
    const qsizetype blank = mestorast.indexOf(QLatin1Char(' '));
    const QString code = blank < 0 ? mestorast : mestorast.left(blank);
    QString rest = blank < 0 ? QString() : mestorast.mid(blank + 1);
    qsizetype lead = 0;
    while (lead < rest.size() && rest.at(lead).isSpace()) ++lead;
    rest.remove(0, lead);
    return QStringLiteral("%1    (%2)").arg(rest, code);
}

DescriptionHeader composeHeader(const Table &record, Table &landArea)
{
    const Fields f(record);
    DescriptionHeader h;
    h.area = f("PL") + QStringLiteral(" ха");
    h.gtu = f("GSU");
    h.zem = landAreaName(landArea, int(std::clamp<qint64>(recordInt(record, QStringLiteral("ZEML")),
                                                           std::numeric_limits<int>::min(),
                                                           std::numeric_limits<int>::max())));
    h.vp = f("VID_PODOTD");
    h.sk = f("STOP_KLAS");
    h.sb = f("NZN2");
    h.vg = f("VID_GORI");
    h.fun = designations(f);
    h.pol = positionText(f("OBLAST"), f("NADM_VIS"), f("IZLOJENIE"), f("RELEF"), f("NAKLON"), f("PODPOIAS"));
    h.soil = soilText(f);
    h.mest = siteTypeText(f("MESTORAST"));
    h.sech = cuttingKinds(f, h.cuttingKinds);
    const QString guideline = f("NAS_ZALES");
    h.nasZal = isNoValueOrZero(guideline) ? QString() : guideline;
    h.pp = soilPreparation(f);
    return h;
}

ViewTaxResult ViewTax(AppState &state, int otd, const QString &podotd)
{
    ViewTaxResult result;
    if (!selectSubCompartment(state.projectTable, otd, podotd)) return result;
    state.currentOtd = otd;
    state.currentPodotd = podotd;
    state.hasCurrent = true;
    result.shown = true;
    result.caption = state.caption() + QStringLiteral(" [%1:%2]").arg(otd).arg(podotd);
    result.header = composeHeader(state.projectTable, state.landArea);
    state.cuttingKinds = result.header.cuttingKinds;
    return result;
}

} // namespace dx
