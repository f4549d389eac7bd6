// The working sieve's criteria table and the loading of its pick lists.
#include "sieves/SieveCriteria.h"

#include "core/AppState.h"
#include "core/QtText.h"
#include "core/Quoting.h"
#include "description/ProjectRecord.h"
#include "engine/common/EngineError.h"
#include "sieves/SieveCutting.h"

#include <algorithm>

namespace dx {

namespace {

const QColor kGreen(0, 128, 0);
const QColor kMaroon(128, 0, 0);

QStringList numbered(const char *pattern, int first, int last)
{
    QStringList out;
    for (int i = first; i <= last; ++i) out << slotField(pattern, i);
    return out;
}

struct CriterionRow {
    CriterionId id;
    const char *label, *control;
    CriterionKind kind;
    QStringList fields;
    RangeMode mode;
    PickListSource source;
    int gauge;
    const char *first;
    const char *later; // nullptr: " ," + first
};

std::array<SieveCriterion, kCriterionCount> buildTable()
{
    using K = CriterionKind;
    using S = PickListSource;
    using M = RangeMode;
    using I = CriterionId;
    const QStringList cutting = numbered("SECH%d", 1, kCuttingSlots);
    const CriterionRow rows[kCriterionCount] = {
        {I::StopKlas, "стопански клас", "ComboBoxSK", K::Text, {"STOP_KLAS"}, M::None, S::Distinct, 1, "стопански клас: %s", nullptr},
        {I::Nzn1, "водещо предн.", "ComboBoxNZN1", K::Text, {"NZN1"}, M::None, S::Distinct, 2, "водещо предназначение: %s", nullptr},
        {I::Nzn3, "неводещо предн.", "ComboBoxNZN3", K::Text, numbered("NZN%d", 3, 7), M::None, S::Purposes, 3, "неводещо предназначение: %s)", nullptr},
        {I::Nzn2, "собственост", "ComboBoxNZN2", K::Text, {"NZN2"}, M::None, S::Distinct, 4, "собственост: %s", nullptr},
        {I::VidGori, "вид гори", "ComboBoxVID_GORI", K::Text, {"VID_GORI"}, M::None, S::Distinct, 5, "вид гори: %s", nullptr},
        {I::Mestorast, "месторастене", "ComboBoxMESTORAST", K::Text, {"MESTORAST"}, M::None, S::Distinct, 6, "месторастене: %s", nullptr},
        {I::Gsu, "гсу", "ComboBoxGSU", K::Number, {"GSU"}, M::None, S::Distinct, 7, "гсу: %s", nullptr},
        {I::Zeml, "землище", "ComboBoxZEML", K::LandArea, {"ZEML"}, M::None, S::LandAreas, 8, "землище: %s", nullptr},
        {I::VidPodotd, "вид подотдел", "ComboBoxVID_PODOTD", K::Text, {"VID_PODOTD"}, M::None, S::Distinct, 9, "вид подотдел: %s", nullptr},
        {I::Bon, "бонитет", "EditBON", K::Range, numbered("B%d", 1, 11), M::SiteClass, S::None, 0, "бонитет: %s)", nullptr},
        {I::Pl, "площ (xa)", "EditPL", K::Range, {"PL"}, M::Area, S::None, 0, "max.площ: %s", nullptr},
        {I::Zapas, "запас (м.куб)", "EditZAPAS", K::Range, numbered("V%d", 1, 11), M::Stock, S::None, 0, "max.запас: %s)", nullptr},
        {I::Dv1, "преобл. дървесен вид", "ComboBoxDV1", K::Text, {"DV1"}, M::None, S::PredominantSpecies, 14, "преобл. дърв. вид: %s", nullptr},
        {I::Bon1, "преобл. бонитет", "EditBON1", K::Range, {"B1"}, M::PredominantSiteClass, S::None, 0, "преобл. бонитет: %s", nullptr},
        {I::Puln, "пълнота", "EditPULN", K::Range, numbered("PYLN%d", 1, 11), M::Fullness, S::None, 0, "пълнота: %s", nullptr},
        {I::Age, "възраст", "EditAge", K::Range, numbered("A%d", 1, 11), M::Age, S::None, 0, "възраст: %s", nullptr},
        {I::Dv2, "дървесен вид", "ComboBoxDV2", K::Text, numbered("DV%d", 2, 11), M::None, S::Species, 15, "непреобл. дърв. вид: %s)", nullptr},
        {I::Cutting, "вид сеч", "EditVS", K::Cutting, cutting, M::None, S::None, 0, " ,вид сеч: %s", " ,вид сеч: %s"},
        {I::Systoianie, "състояние", "ComboBoxSYSTOIANIE", K::Text, {"SYSTOIANIE"}, M::None, S::Distinct, 18, "състояние: %s", nullptr},
        {I::Stroej, "строеж", "ComboBoxSTROEJ", K::Text, {"STROEJ"}, M::None, S::Distinct, 19, "строеж: %s", nullptr},
        {I::Neles, "нелесопригодност", "ComboBoxNELES", K::Number, {"NELES"}, M::None, S::Distinct, 20, "нелесопригодност: %s", nullptr},
        {I::NadmVis, "надморска височина", "ComboBoxNADM_VIS", K::Number, {"NADM_VIS"}, M::None, S::Distinct, 21, "надморска височина: %s", nullptr},
        {I::Izlojenie, "изложение", "ComboBoxIZLOJENIE", K::Text, {"IZLOJENIE"}, M::None, S::Distinct, 22, "изложение: %s", nullptr},
        {I::Naklon, "наклон", "ComboBoxNAKLON", K::Number, {"NAKLON"}, M::None, S::Distinct, 23, "наклон: %s", nullptr},
        {I::Relef, "релеф", "ComboBoxRELEF", K::Text, {"RELEF"}, M::None, S::Distinct, 24, "релеф: %s", nullptr},
        {I::Pochva, "почва", "ComboBoxPOCHVA", K::Text, {"POCHVA"}, M::None, S::Distinct, 25, "почва: %s", nullptr},
        {I::OsnSkala, "основна скала", "ComboBoxOSN_SKALA", K::Text, {"OSN_SKALA"}, M::None, S::Distinct, 26, "основна скала: %s", nullptr},
        {I::Oblast, "област", "ComboBoxOBLAST", K::Text, {"OBLAST"}, M::None, S::Distinct, 27, "област: %s", nullptr},
        // The closing quote of the first form is the window's own text.
        {I::Bogatstvo, "богатсво", "ComboBoxBOGATSTVO", K::Text, {"BOGATSTVO"}, M::None, S::Distinct, 28, "богатство: %s\"", " ,богатство: %s"},
        {I::Vlajnost, "влага", "ComboBoxVLAJNOST", K::Text, {"VLAJNOST"}, M::None, S::Distinct, 29, "влажност: %s", nullptr},
        {I::MehSyst, "механичен състав", "ComboBoxMEH_SYST", K::Text, {"MEH_SYST"}, M::None, S::Distinct, 30, "механичен състав: %s", nullptr},
        {I::Dylbochina, "дълбочина", "ComboBoxDYLBOCHINA", K::Text, {"DYLBOCHINA"}, M::None, S::Distinct, 31, "дълбочина: %s", nullptr},
        {I::Plytnost, "плътност", "ComboBoxPLYTNOST", K::Text, {"PLYTNOST"}, M::None, S::Distinct, 32, "плътност: %s", nullptr},
        {I::Kamenl, "каменливост", "ComboBoxKAMENL", K::Text, {"KAMENL"}, M::None, S::Distinct, 33, "каменливост: %s", nullptr},
        {I::Podpoias, "подпояс", "ComboBoxPODPOIAS", K::Text, {"PODPOIAS"}, M::None, S::Distinct, 34, "подпояс: %s", nullptr},
        {I::Pasha, "паша", "ComboBoxPASHA", K::Text, {"PASHA"}, M::None, S::Distinct, 35, "паша: %s", nullptr},
    };
    std::array<SieveCriterion, kCriterionCount> table{};
    for (int i = 0; i < kCriterionCount; ++i) {
        const CriterionRow &r = rows[i];
        const QString first = QString::fromUtf8(r.first);
        table[size_t(i)] = SieveCriterion{r.id, QString::fromUtf8(r.label), QString::fromUtf8(r.control),
                                          i < 18 ? kGreen : kMaroon, r.kind, r.fields, r.mode, r.source, r.gauge,
                                          first, r.later ? QString::fromUtf8(r.later) : QStringLiteral(" ,") + first};
    }
    return table;
}

} // namespace

const std::array<SieveCriterion, kCriterionCount> &sieveCriteria()
{
    static const std::array<SieveCriterion, kCriterionCount> table = buildTable();
    return table;
}

const SieveCriterion &sieveCriterion(CriterionId id)
{
    return sieveCriteria()[size_t(id)];
}

CriterionId rangeCriterion(RangeMode mode)
{
    for (const SieveCriterion &c : sieveCriteria())
        if (c.kind == CriterionKind::Range && c.rangeMode == mode) return c.id;
    return CriterionId::Age;
}

// --- what the user set ---------------------------------------------------------------

QString SieveCriteria::text(CriterionId id) const
{
    if (id == CriterionId::Cutting) return cuttingText(cuttingSlots);
    return texts[size_t(id)];
}

bool SieveCriteria::anySet() const
{
    for (const SieveCriterion &c : sieveCriteria())
        if (isSet(c.id)) return true;
    return false;
}

void SieveCriteria::clear()
{
    for (QString &t : texts) t.clear();
    for (QString &s : cuttingSlots) s.clear();
}

void SieveCriteria::clearLoaded()
{
    for (const SieveCriterion &c : sieveCriteria())
        if (c.listSource != PickListSource::None) texts[size_t(c.id)].clear();
    texts[size_t(CriterionId::Pl)].clear();
    texts[size_t(CriterionId::Zapas)].clear();
}

// --- pick lists ------------------------------------------------------------------------

QStringList pickListStatements(CriterionId id, const QString &tablePath)
{
    const SieveCriterion &c = sieveCriterion(id);
    if (c.listSource == PickListSource::None) return {};
    QStringList out;
    for (const QString &f : c.fields)
        out << QStringLiteral("select distinct %1 from ").arg(f) + sqlQuoted(tablePath);
    return out;
}

namespace {

bool skipped(const QString &value)
{
    return value == QLatin1String("-") || value == QLatin1String("0");
}

bool alphabetical(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// Appends the statement's values read as text, "-" and "0" skipped.
void query(AppState &state, const QString &statement, QStringList &errors,
           const std::function<void(const QString &)> &take)
{
    try {
        const QueryResult r = state.db.execute(ss(statement));
        for (const dx::Row &row : r.rows) {
            const QString v = row.empty() ? QString() : qs(row[0].toText());
            if (!skipped(v)) take(v);
        }
    } catch (const EngineError &e) {
        errors << statement + QStringLiteral(": ") + qs(e.reason());
    }
}

// The land-area table's names in table order, its filter switched off; false when the
// table is not open.
bool landAreaNames(AppState &state, QStringList &list, QStringList &errors)
{
    Table &zem = state.landArea;
    if (!zem.active()) return false;
    try {
        zem.setFiltered(false);
        for (zem.first(); !zem.eof(); zem.next()) list << qs(zem.asText("ZEMNAME"));
        zem.first();
    } catch (const EngineError &e) {
        errors << qs(zem.path()) + QStringLiteral(": ") + qs(e.reason());
    }
    return true;
}

} // namespace

QStringList loadPickList(AppState &state, CriterionId id, QStringList *errors)
{
    QStringList list, failed;
    const SieveCriterion &c = sieveCriterion(id);
    QStringList statements = pickListStatements(id, state.projectTablePath);
    auto append = [&](const QString &v) { list << v; };
    auto appendNew = [&](const QString &v) {
        if (!list.contains(v)) list << v;
    };
    switch (c.listSource) {
    case PickListSource::None:
        break;
    case PickListSource::LandAreas:
        if (!landAreaNames(state, list, failed)) query(state, statements.value(0), failed, append);
        break;
    case PickListSource::PredominantSpecies:
        query(state, statements.value(0), failed, append);
        std::stable_sort(list.begin(), list.end(), alphabetical);
        break;
    case PickListSource::Species: // the predominant species' values first
        statements = pickListStatements(CriterionId::Dv1, state.projectTablePath) + statements;
        for (const QString &s : statements) query(state, s, failed, appendNew);
        std::stable_sort(list.begin(), list.end(), alphabetical);
        break;
    default:
        for (const QString &s : statements) query(state, s, failed, append);
        break;
    }
    if (errors) *errors += failed;
    return list;
}

SievePickLists LoadCombo(AppState &state, const SieveProgress &progress)
{
    SievePickLists out;
    auto step = [&](int n) {
        if (progress) progress(n, kLoadComboSteps);
    };
    for (const SieveCriterion &c : sieveCriteria()) {
        if (c.id == CriterionId::Dv1) step(13); // the area and stock fields were emptied
        out.lists[size_t(c.id)] = loadPickList(state, c.id, &out.errors);
        if (c.gaugeStep > 0) step(c.gaugeStep);
        if (c.id == CriterionId::Dv2) {
            step(16);
            step(17);
        }
    }
    return out;
}

} // namespace dx
