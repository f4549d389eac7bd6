// The description composer: the record's texts for every region of the printed page and
// the composition table with branch wood rounded per storey.
#include "printing/DescriptionComposer.h"

#include "core/QtText.h"
#include "description/DamageDecoding.h"
#include "description/DescriptionHeader.h"
#include "description/Nomenclature.h"
#include "description/ProjectRecord.h"
#include "engine/sql/Table.h"

#include <algorithm>
#include <limits>

namespace dx {
namespace {

using Volume = long long;
constexpr Volume kMaxVolume = std::numeric_limits<Volume>::max();

const QString kNone = QStringLiteral("- ");

QString withBlank(const QString &text) { return text + QLatin1Char(' '); }
QString volumeText(Volume v) { return v > 0 ? withBlank(QString::number(v)) : kNone; }

Volume add(Volume a, Volume b)
{
    if (b > 0 && a > kMaxVolume - b) return kMaxVolume;
    return a + b;
}

// The integer part of v × p / 100, without the product leaving the range.
Volume branchPart(Volume v, int p)
{
    const __int128 k = (__int128(v) * p) / 100;
    if (k > kMaxVolume) return kMaxVolume;
    if (k < -kMaxVolume) return -kMaxVolume;
    return Volume(k);
}

class Reader {
public:
    explicit Reader(const Table &t) : t_(t) {}
    QString operator()(const char *name) const { return recordText(t_, QString::fromLatin1(name)); }
    QString slot(const char *pattern, int j) const { return recordText(t_, slotField(pattern, j)); }
    qint64 num(const char *name) const { return recordInt(t_, QString::fromLatin1(name)); }
    qint64 num(const char *pattern, int j) const { return recordInt(t_, slotField(pattern, j)); }
    double real(const char *name) const { return recordReal(t_, QString::fromLatin1(name)); }
    double real(const char *pattern, int j) const { return recordReal(t_, slotField(pattern, j)); }

private:
    const Table &t_;
};

bool present(const QString &v) { return !isNoValueOrZero(v); }

QString designations(const Reader &f)
{
    QString out = f("NZN1");
    for (int j = 3; j <= 7; ++j) {
        const QString v = f.slot("NZN%d", j);
        if (present(v)) out += QStringLiteral(", ") + v;
    }
    return out;
}

QString standForm(const Reader &f)
{
    QString line = present(f("SHEMA")) ? f("SHEMA") : QString();
    const std::pair<const char *, const char *> parts[] = {{"STROEJ", " строеж"}, {"SYSTOIANIE", " състояние"}};
    for (const auto &[field, suffix] : parts) {
        const QString v = f(field);
        if (!present(v)) continue;
        const QString part = v + QString::fromUtf8(suffix);
        line = line.isEmpty() ? part : line + QStringLiteral(", ") + part;
    }
    const QString straight = f("PRAVOSTYBL");
    if (present(straight))
        line = line.isEmpty() ? QStringLiteral("правостъбленост ") + straight
                              : line + QStringLiteral(", правостъбленост ") + straight;
    return line.isEmpty() ? QStringLiteral("-") : line;
}

QString position(const Reader &f)
{
    const QString slope = QStringLiteral(", наклон ") + f("NAKLON") + QStringLiteral(" градуса");
    const QString oblast = f("OBLAST");
    // The short line's "m" is a Latin letter, the long line's "м" a Cyrillic one.
    if (oblast.size() < 2) return f("NADM_VIS") + QStringLiteral("m н.в.") + slope;
    QString out = oblast + QStringLiteral(", ") + f("NADM_VIS") + QStringLiteral("м н.в., ") + f("IZLOJENIE") +
                  QStringLiteral(", ") + f("RELEF") + slope;
    if (!isNoValue(f("PODPOIAS"))) out += QStringLiteral(", ") + f("PODPOIAS");
    return out;
}

QString soil(const Reader &f)
{
    QString out;
    const QString pochva = f("POCHVA");
    if (pochva.size() > 1) {
        out = pochva;
        for (const char *name : {"MEH_SYST", "KAMENL", "PLYTNOST", "DYLBOCHINA", "VLAJNOST"})
            if (!isNoValue(f(name))) out += QStringLiteral(", ") + f(name);
        if (!isNoValue(f("ERO_ST"))) out += QStringLiteral(", ") + f("ERO_ST") + QStringLiteral(", ") + f("VID_ERO1");
        if (!isNoValue(f("OSN_SKALA"))) out += QStringLiteral(", върху ") + f("OSN_SKALA");
        if (!isNoValue(f("BOGATSTVO"))) out += QStringLiteral(", ") + f("BOGATSTVO");
    }
    const QString neles = f("NELES");
    if (neles.trimmed() != QLatin1String("0")) {
        const QString part = QStringLiteral("нелесопригодност ") + neles + QLatin1Char('%');
        out = out.isEmpty() ? part : out + QStringLiteral(", ") + part;
    }
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

QString cuttings(const Reader &f)
{
    QStringList kinds;
    for (int i = 1; i <= 9; ++i)
        if (!isNoCuttingKind(f.slot("SECH%d", i))) kinds << f.slot("SECH%d", i);
    QString line = kinds.join(QStringLiteral(", "));
    const qint64 year = f.num("GOD_SECH");
    if (year > 0) line += QStringLiteral(" на %1-тата година").arg(year);
    return line;
}

QString soilPreparation(const Reader &f)
{
    if (!present(f("PP1"))) return {}; // a second preparation without a first is not printed
    QString out = f("PP1") + QLatin1Char(' ') + f("PLPP1") + QStringLiteral(" xa");
    if (present(f("PP2"))) out += QStringLiteral(", ") + f("PP2") + QLatin1Char(' ') + f("PLPP2") + QStringLiteral(" xa");
    return out;
}

QString afforestation(const Reader &f)
{
    QString line;
    for (int k = 1; k <= kFutureSlots; ++k) {
        const QString dv = f.slot("OBS_DV%d", k);
        if (f.real("OBS_ZALES%d", k) <= 0 || f.num("OBS_UCH%d", k) <= 0 || isNoValue(dv)) continue;
        if (!line.isEmpty()) line += QStringLiteral(", ");
        line += dv + QLatin1Char(' ') + f.slot("OBS_ZALES%d", k) + QStringLiteral(" xa");
    }
    if (!line.isEmpty() && present(f("SHEMA_ZAL"))) line += QStringLiteral(", схема ") + f("SHEMA_ZAL");
    return line;
}

QString landArea(AppState &state, const Reader &f)
{
    const QString number = f("ZEML");
    QString name = number;
    if (state.landArea.active()) {
        const qint64 n = f.num("ZEML");
        name = landAreaName(state.landArea, int(std::clamp<qint64>(n, std::numeric_limits<int>::min(),
                                                                   std::numeric_limits<int>::max())));
        if (name == QString::number(n)) name = number; // no match: the number as stored
        state.landArea.setFiltered(false);
    }
    return QStringLiteral("землище: %1").arg(name);
}

QString originWord(qint64 pr)
{
    switch (pr) {
    case 1: return QStringLiteral("сем");
    case 2: return QStringLiteral("изк");
    case 3: return QStringLiteral("изд");
    case 4: return QStringLiteral("отр");
    default: return {};
    }
}

// The composition table: one row per filled slot, then the totals row.
class RowsBuilder {
public:
    RowsBuilder(AppState &state, const Reader &f) : state_(state), f_(f) {}

    QVector<CompositionRow> build()
    {
        cutting_ = f_.num("SECH_PER");
        for (int j = 1; j <= kCompositionSlots; ++j) {
            const QString dv = f_.slot("DV%d", j);
            if (isEmptySlot(dv)) continue;
            slotRow(j, dv);
            if (shareSum_ == 10) closeStorey();
        }
        // Second pass: the volumes with branches rounded by their storey's rule.
        Volume stockTotal = 0, useTotal = 0;
        QVector<CompositionRow> out;
        for (Pending &p : rows_) {
            const bool fives = p.storey < int(stockFives_.size()) && stockFives_[size_t(p.storey)];
            const bool useFives = p.storey < int(useFives_.size()) && useFives_[size_t(p.storey)];
            if (p.stock) {
                const Volume v = fives ? roundToFive(*p.stock) : roundToTen(*p.stock);
                stockTotal = add(stockTotal, v);
                p.row.vkloni = withBlank(QString::number(v));
            }
            if (p.use) {
                const Volume v = useFives ? roundToFive(*p.use) : roundToTen(*p.use);
                useTotal = add(useTotal, v);
                p.row.pkloni = withBlank(QString::number(v));
            }
            out.push_back(p.row);
        }
        out.push_back(totals(stockTotal, useTotal));
        return out;
    }

private:
    struct Pending {
        CompositionRow row;
        int storey = 0;
        std::optional<Volume> stock, use;
    };

    int percent(const QString &dv) const
    {
        const int h = int(std::clamp<qint64>(height_, 0, std::numeric_limits<int>::max()));
        return branchWoodPercent(state_.branchWood, dv, origin_, h);
    }

    void slotRow(int j, const QString &dv)
    {
        Pending p;
        p.storey = storey_;
        CompositionRow &r = p.row;
        r.dv = dv;
        const qint64 share = f_.num("UCH%d", j);
        r.u = share > 0 ? f_.slot("UCH%d", j) : QStringLiteral("-");
        shareSum_ += share;
        // Further species of the first storey without measurements of their own show
        // the diameter and height measured before them.
        const bool carried = share > 0 && f_.slot("ET%d", j).trimmed() == QLatin1String("1");

        if (f_.slot("D%d", j).trimmed() != QLatin1String("0")) {
            r.d = withBlank(f_.slot("D%d", j));
            diameter_ = f_.num("D%d", j);
        } else {
            r.d = carried && diameter_ > 0 ? withBlank(QString::number(diameter_)) : kNone;
        }

        const qint64 pr = f_.num("PR%d", j);
        r.pr = originWord(pr);
        if (r.pr.isEmpty()) r.pr = QStringLiteral("-");
        else origin_ = int(pr);

        // No age, or the age of the row that printed one above: "- ".
        const qint64 age = f_.num("A%d", j);
        if (age <= 0 || age == age_) {
            r.a = kNone;
        } else {
            r.a = withBlank(f_.slot("A%d", j));
            age_ = age;
        }

        const double density = f_.real("PYLN%d", j);
        r.pyl = density > 0 ? withBlank(formatFixed(density / 10, 1)) : kNone;

        const qint64 h = f_.num("H%d", j);
        if (h > 0) {
            r.h = withBlank(f_.slot("H%d", j));
            height_ = h;
        } else {
            r.h = carried && height_ > 0 ? withBlank(QString::number(height_)) : kNone;
        }

        r.b = f_.num("B%d", j) > 0 ? withBlank(f_.slot("B%d", j)) : kNone;

        const qint64 vha = f_.num("VHA%d", j);
        r.v1 = vha > 0 ? withBlank(f_.slot("VHA%d", j)) : kNone;
        if (vha > 0) vhaTotal_ = add(vhaTotal_, vha);

        const qint64 v = f_.num("V%d", j);
        r.v = v > 0 ? withBlank(f_.slot("V%d", j)) : kNone;
        r.vkloni = kNone;
        if (v > 0) {
            vTotal_ = add(vTotal_, v);
            // At least one cubic metre of branch wood, even for a species without a percentage.
            p.stock = add(v, std::max<Volume>(1, branchPart(v, percent(dv))));
            r.vkloni = withBlank(QString::number(*p.stock));
            storeyStock_ = add(storeyStock_, *p.stock);
        }

        const qint64 use = f_.num("POLZV%d", j);
        r.polz2 = use > 0 ? withBlank(f_.slot("POLZV%d", j)) : kNone;
        r.polz1 = kNone;
        r.pkloni = kNone;
        if (use > 0) useTotal_ = add(useTotal_, use);
        if (use > 0 && cutting_ > 0) {
            p.use = add(use, branchPart(use, percent(dv)));
            r.pkloni = withBlank(QString::number(*p.use));
            storeyUse_ = add(storeyUse_, *p.use);
        }

        const QString povr = f_.slot("POVR%d", j);
        r.povr = isNoValueOrZero(povr) ? QStringLiteral("-") : povr;
        rows_.push_back(p);
    }

    void closeStorey()
    {
        stockFives_.resize(size_t(storey_) + 1, false);
        useFives_.resize(size_t(storey_) + 1, false);
        stockFives_[size_t(storey_)] = storeyStock_ <= 50;
        useFives_[size_t(storey_)] = storeyUse_ <= 50;
        ++storey_;
        shareSum_ = storeyStock_ = storeyUse_ = 0;
    }

    CompositionRow totals(Volume stockWithBranches, Volume useWithBranches) const
    {
        CompositionRow r;
        r.totals = true;
        r.dv = QStringLiteral(" всичко");
        if (vhaTotal_ > 0 || vTotal_ > 0 || useTotal_ > 0) {
            r.v1 = volumeText(vhaTotal_);
            // The stock is cut down to tens from 51 m³ on.
            r.v = volumeText(vTotal_ > 50 ? vTotal_ - vTotal_ % 10 : vTotal_);
            r.polz1 = volumeText(cutting_);
            r.polz2 = volumeText(useTotal_);
            r.vkloni = volumeText(stockWithBranches);
            r.pkloni = volumeText(useWithBranches);
        } else {
            r.v1 = r.v = r.polz1 = r.polz2 = r.vkloni = r.pkloni = kNone;
        }
        return r;
    }

    AppState &state_;
    const Reader &f_;
    QVector<Pending> rows_;
    qint64 cutting_ = 0, diameter_ = 0, height_ = 0, age_ = 0, shareSum_ = 0;
    int origin_ = 0, storey_ = 1;
    Volume storeyStock_ = 0, storeyUse_ = 0, vhaTotal_ = 0, vTotal_ = 0, useTotal_ = 0;
    std::vector<bool> stockFives_, useFives_;
};

QStringList damageLines(AppState &state, const QVector<CompositionRow> &rows,
                        const std::function<void(const UserMessage &)> &report)
{
    QStringList lines;
    for (const CompositionRow &r : rows) {
        if (r.totals || r.povr.trimmed().isEmpty() || isNoValue(r.povr)) continue;
        const QString line = r.povr + QStringLiteral(" = ") + decodeDamage(state, r.povr, report);
        if (!lines.contains(line)) lines << line;
    }
    return lines;
}

} // namespace

UserMessage missingSubCompartmentMessage()
{
    return {QStringLiteral("Внимание!"),
            QStringLiteral("Избрали сте несъществуващ подотдел. Проверете за наличието латински букви в името на "
                           "подотдела."),
            UserMessage::Icon::Warning,
            {}};
}

std::optional<PrintedDescription> composeDescription(AppState &state, int otd, const QString &podotd,
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
    if (!selectSubCompartment(t, otd, podotd)) {
        if (report) report(missingSubCompartmentMessage());
        return std::nullopt;
    }
    const Reader f(t);
    PrintedDescription d;
    d.title = QStringLiteral("Dendrix - %1 %2 [%3:%4]").arg(state.title, state.year).arg(otd).arg(podotd);
    d.podotd = QString::number(otd) + QStringLiteral("     ") + podotd;
    d.dlGtu = state.title + QLatin1Char(' ') + state.year + QStringLiteral(", ") + f("GSU") + QStringLiteral(" гсу");
    d.vidPod = f("VID_PODOTD");
    d.area = formatFixed(f.real("PL"), 1) + QStringLiteral(" xa");
    d.sk = f("STOP_KLAS");
    d.vg = f("VID_GORI");
    d.sob = f("NZN2");
    d.funk = designations(f);
    d.zem = landArea(state, f);
    d.shema = standForm(f);
    d.polojenie = position(f);
    d.soil = soil(f);
    d.tm = siteTypeText(f("MESTORAST"));
    d.obs = futureComposition(f);
    d.vs = cuttings(f);
    d.rows = RowsBuilder(state, f).build();
    d.nas = present(f("NAS_ZALES")) ? f("NAS_ZALES") : QString();
    d.pp = soilPreparation(f);
    d.zal = afforestation(f);
    d.damages = damageLines(state, d.rows, report);
    return d;
}

bool DescriptionComposer::compose(int otd, const QString &podotd, const std::function<void(const UserMessage &)> &report)
{
    std::optional<PrintedDescription> d = composeDescription(state_, otd, podotd, report);
    composed_ = d.has_value();
    if (!composed_) return false;
    description_ = std::move(*d);
    hasDescription_ = true;
    rebuild();
    return true;
}

void DescriptionComposer::setWithBranches(bool on)
{
    layout_.withBranches = on;
    rebuild();
}

void DescriptionComposer::setFooterLineWidth(int width)
{
    layout_.footerLineWidth = width;
    rebuild();
}

void DescriptionComposer::rebuild()
{
    if (!hasDescription_) return;
    report_ = descriptionReport(description_, state_.settings.description, layout_, state_.contactLine);
}

} // namespace dx
