// Random but plausible sub-compartments of a demo project: stands grown from the kinds
// of stand of the forest unit, with heights, diameters and stocks that follow from age
// and site class, planned cuttings that suit the stand's age, and afforestation of the
// open land.
#include "demo/DemoProject.h"

#include "demo/DemoNomenclature.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace dx::demo {
namespace {

const char *const kEconomic = "дървопроизв.и средообр";

struct StandType {
    const char *vidGori;
    const char *stopKlas;
    std::vector<std::string> lead, companions, understorey, regeneration;
    int origin;             // 1 seed, 2 planted, 3 coppice
    int ageLow, ageHigh, rotation;
};

// In the order of the members of StandWeights.
const std::vector<StandType> kStandTypes = {
    {"иглолистни", "бялборово", {"бб"}, {"смр", "ела", "бк", "брз", "трп"}, {"смр", "ела", "бк"},
     {"смр", "бк"}, 1, 15, 140, 100},
    {"иглолистни", "смърчово", {"смр"}, {"ела", "бб", "бк", "бм"}, {"ела", "смр"}, {"смр", "ела"},
     1, 20, 160, 120},
    {"иглолистни", "елово", {"ела"}, {"смр", "бк", "бб", "яв"}, {"ела", "бк"}, {"ела", "бк"}, 1, 30,
     170, 120},
    {"иглолистни", "бялмурово", {"бм"}, {"смр", "бб", "чм"}, {"смр"}, {"бм", "смр"}, 1, 40, 200, 140},
    {"иглолистни", "черборово", {"чб"}, {"бб", "ак", "кгбр", "дгл", "лцн"}, {"кгбр", "мжд"}, {"чб"}, 2,
     8, 70, 90},
    {"широкол. високостъбл.", "буково", {"бк"}, {"ела", "гбр", "яв", "смр", "здб", "лп", "яс"},
     {"бк", "гбр", "ела"}, {"бк", "ела"}, 1, 20, 170, 110},
    {"широкол. високостъбл.", "горуново", {"здб", "блг", "лдб"}, {"цр", "гбр", "бк", "кл", "лп", "брз"},
     {"гбр", "лп", "кл"}, {"здб", "гбр"}, 1, 20, 150, 100},
    {"превръщане", "издънково за превръщане", {"цр", "здб", "блг"}, {"гбр", "кл", "мжд", "лп", "кгбр"},
     {"гбр", "кл"}, {"здб", "цр"}, 3, 15, 80, 50},
    {"реконструкция", "за реконструкция", {"ак", "кгбр", "кдб", "трп"}, {"мжд", "кл", "цр", "гбр"},
     {"кгбр"}, {"ак"}, 3, 10, 60, 40},
    {"нискостъблени", "нискостъблено", {"кгбр", "мжд"}, {"кдб", "кл", "смк"}, {}, {}, 3, 10, 50, 40},
    {"тополови", "тополово", {"тп"}, {"вр", "чел"}, {}, {}, 2, 4, 30, 25},
    {"иглолистни", "клек", {"клк"}, {}, {}, {}, 1, 40, 120, 0},
};

const std::vector<std::string> kSpecialDesignations = {"водоохранни", "противоерозионни", "рекреационни",
                                                       "семепроизводствени", "защитени територии"};
const std::vector<std::string> kOwnerships = {"държавна", "общинска", "частна", "на юридически лица",
                                              "религиозна"};
const std::vector<std::string> kFurtherDesignations = {
    "Натура 2000 - местообитания", "Натура 2000 - птици", "водоохранна зона",
    "санитарно-охранителна зона",  "противоерозионна",    "рекреационна",
    "семепроизводствен участък",   "защитна горска ивица", "вековна гора"};
const std::vector<std::string> kExposures = {"северно",      "североизточно", "източно", "югоизточно",
                                             "южно",         "югозападно",    "западно", "северозападно"};
const std::vector<std::string> kReliefs = {"долен склон", "среден склон", "горен склон", "било",
                                           "седловина",   "дол",          "тераса"};
const std::vector<std::string> kTrophic = {"А", "Б", "В", "Г"};
const std::vector<std::string> kTrophicWords = {"бедни", "средно богати", "богати", "много богати"};
const std::vector<std::string> kMoistureWords = {"сухи", "свежи", "влажни"};

std::string letterName(int index)
{
    static const std::vector<std::string> letters = {"а", "б", "в", "г", "д", "е", "ж", "з", "и",
                                                     "к", "л", "м", "н", "о", "п", "р", "с", "т",
                                                     "у", "ф", "х", "ц", "ч", "ш", "щ", "ю", "я"};
    int n = int(letters.size());
    return letters[size_t(index % n)] + (index >= n ? std::to_string(index / n) : std::string());
}

double tenths(double v) { return std::round(v * 10) / 10; }

template <class T>
const T &pickFrom(Random &rnd, const std::vector<T> &items) { return rnd.pick(items); }

} // namespace

int heightFor(int age, int siteClass, bool coppice)
{
    if (age <= 0) return 0;
    static const double top[5] = {34, 29, 24, 19, 14};
    double hmax = top[std::clamp(siteClass, 1, 5) - 1] * (coppice ? 0.8 : 1.0);
    double h = hmax * std::pow(1.0 - std::exp(-0.028 * age), 1.4);
    return std::max(1, int(std::lround(h)));
}

int diameterFor(int height, int age)
{
    if (age < 10) return 0; // young cultures have no measured diameter
    return std::max(2, int(std::lround(height * 1.05 + age * 0.13)));
}

CompartmentSite RecordMaker::compartment(int otd, int compartmentCount)
{
    CompartmentSite s;
    s.otd = otd;
    int units = plan_.records > 400 ? 3 : 2;
    s.gsu = std::clamp(1 + (otd - 1) * units / std::max(1, compartmentCount), 1, units);
    size_t land = size_t(std::clamp((otd - 1) * int(plan_.landAreas.size()) / std::max(1, compartmentCount),
                                    0, int(plan_.landAreas.size()) - 1));
    s.zeml = plan_.landAreas[land].nomer;
    s.altitude = rnd_.between(plan_.altitudeLow, std::max(plan_.altitudeLow, plan_.altitudeHigh - 150));
    s.nzn1 = rnd_.percent(78) ? kEconomic : pickFrom(rnd_, kSpecialDesignations);
    s.nzn2 = kOwnerships[rnd_.weighted(plan_.ownershipWeights)];
    s.oblast = plan_.oblast;
    s.subBelt = rnd_.percent(4) ? "-" : pickFrom(rnd_, plan_.subBelts);
    s.soil = pickFrom(rnd_, plan_.soils);
    s.rock = pickFrom(rnd_, plan_.rocks);
    s.exposure = pickFrom(rnd_, kExposures);
    return s;
}

Record RecordMaker::base(const CompartmentSite &site, const std::string &podotd, double pl)
{
    Record r;
    r.otd = site.otd;
    r.podotd = podotd;
    r.pl = pl;
    r.gsu = site.gsu;
    r.zeml = site.zeml;
    r.nzn[0] = site.nzn1;
    r.nzn[1] = site.nzn2;
    std::string zero = plan_.noValue == "0" ? "0" : "-";
    for (size_t i = 2; i < 7; ++i) r.nzn[i] = zero;
    if (rnd_.percent(35)) {
        r.nzn[2] = pickFrom(rnd_, kFurtherDesignations);
        if (rnd_.percent(25)) {
            r.nzn[3] = pickFrom(rnd_, kFurtherDesignations);
            if (r.nzn[3] == r.nzn[2]) r.nzn[3] = zero;
        }
    }
    for (auto &s : r.sech) s = plan_.noValue;
    fillSite(r, site);
    return r;
}

void RecordMaker::fillSite(Record &r, const CompartmentSite &site)
{
    r.oblast = site.oblast;
    r.podpoias = site.subBelt;
    r.nadmVis = std::clamp(site.altitude + rnd_.between(-60, 80), 20, 2900);
    // Mostly the compartment's exposure, sometimes the neighbouring one.
    size_t e = size_t(std::find(kExposures.begin(), kExposures.end(), site.exposure) - kExposures.begin());
    int turn = rnd_.between(0, 9);
    if (turn == 0) e = (e + 1) % kExposures.size();
    if (turn == 1) e = (e + kExposures.size() - 1) % kExposures.size();
    r.izlojenie = kExposures[e];
    r.relef = pickFrom(rnd_, kReliefs);
    r.naklon = r.relef == "било" || r.relef == "тераса" ? rnd_.between(0, 10) : rnd_.between(5, 38);
}

void RecordMaker::fillSoil(Record &r, const CompartmentSite &site)
{
    r.pochva = site.soil;
    r.mehSyst = pickFrom(rnd_, std::vector<std::string>{"песъчлива", "глинесто-песъчлива",
                                                        "песъкливо-глинеста", "леко песъкливо-глинеста"});
    r.kamenl = pickFrom(rnd_, std::vector<std::string>{"слабо каменлива", "средно каменлива",
                                                       "силно каменлива", "-"});
    r.plytnost = pickFrom(rnd_, std::vector<std::string>{"рохкава", "слабо уплътнена", "уплътнена"});
    r.dylbochina = pickFrom(rnd_, std::vector<std::string>{"плитка", "средно дълбока", "дълбока"});
    size_t moisture = rnd_.weighted({2, 7, 1});
    r.vlajnost = std::vector<std::string>{"суха", "свежа", "влажна"}[moisture];
    r.osnSkala = site.rock;
    size_t trophic = rnd_.weighted({1, 4, 4, 1});
    r.bogatstvo = std::vector<std::string>{"бедна", "средно богата", "богата", "богата"}[trophic];
    r.mestorast = kTrophic[trophic] + std::to_string(moisture + 1) + " " + kMoistureWords[moisture] + " " +
                  kTrophicWords[trophic] + " месторастения";
    if (rnd_.percent(8)) {
        static const std::vector<std::string> degrees = {"ерозия I ст", "ерозия II ст", "ерозия III ст"};
        static const std::vector<std::string> kinds = {"1площна ерозия", "2струйчеста ерозия",
                                                       "3браздова ерозия", "4ровинна ерозия"};
        r.eroSt = pickFrom(rnd_, degrees);
        r.vidEro1 = pickFrom(rnd_, kinds);
        if (rnd_.percent(30)) r.vidEro2 = pickFrom(rnd_, kinds);
    }
    if (rnd_.percent(8)) r.neles = 5 * rnd_.between(1, 4);
}

size_t RecordMaker::addSlot(Record &r, const std::string &dv, const std::string &et, int uch, int pr, int a,
                            double pyln, int h, int b, int d, int vha)
{
    for (size_t j = 0; j < r.standSlots.size(); ++j) {
        StandSlot &s = r.standSlots[j];
        if (s.filled()) continue;
        s.dv = dv;
        s.et = et;
        s.uch = uch;
        s.pr = pr;
        s.a = a;
        s.pyln = pyln;
        s.h = h;
        s.b = b;
        s.d = d;
        s.vha = vha;
        s.v = int(std::lround(vha * r.pl));
        s.polzv = s.v * r.sechPer / 100;
        return j;
    }
    throw std::logic_error("demo: more than 11 composition slots");
}

void RecordMaker::recomputeUse(Record &r)
{
    for (auto &s : r.standSlots) s.polzv = s.filled() ? s.v * r.sechPer / 100 : 0;
}

void RecordMaker::planCutting(Record &r, const std::string &kind, int percent, const std::string &second)
{
    for (auto &s : r.sech) s = plan_.noValue;
    r.sech[0] = kind;
    if (!second.empty()) r.sech[1] = second;
    r.sechPer = percent;
    r.godSech = std::stoi(plan_.year) + rnd_.between(1, 10);
    recomputeUse(r);
}

void RecordMaker::planAfforestation(Record &r, const std::vector<std::pair<std::string, int>> &species, int b,
                                    bool planted)
{
    r.obs = {};
    for (size_t k = 0; k < species.size() && k < r.obs.size(); ++k) {
        r.obs[k].dv = species[k].first;
        r.obs[k].uch = species[k].second;
        r.obs[k].b = b;
        r.obs[k].zales = planted ? tenths(r.pl * species[k].second / 10.0) : 0.0;
    }
}

std::string RecordMaker::damage()
{
    static const std::vector<std::string> firsts = {"л", "л", "л", "с", "с", "з", "н", "/"};
    static const std::vector<std::string> letters = {"в", "с", "п", "н", "г", "к", "д", "ж", "и", "м", "ч", "р"};
    int kind = rnd_.between(0, 99);
    if (kind < 20) // three degree digits: light, heavy, dying
        return std::to_string(rnd_.between(1, 5)) + std::to_string(rnd_.between(0, 3)) +
               std::to_string(rnd_.between(0, 2));
    std::string c = pickFrom(rnd_, firsts);
    if (c == "/") return c;
    c += std::to_string(rnd_.between(1, 9));
    if (kind < 85) c += pickFrom(rnd_, letters);
    if (kind >= 70) c += pickFrom(rnd_, letters);
    return c;
}

Record RecordMaker::randomRecord(const CompartmentSite &site, const std::string &podotd, bool nonWood)
{
    Record r = base(site, podotd, 0);
    if (nonWood) {
        nonWoodLand(r, site);
    } else if (rnd_.percent(6)) {
        openLand(r, site);
    } else if (rnd_.percent(3)) {
        r.pl = tenths(0.3 + rnd_.unit() * 4);
        r.vidGori = rnd_.percent(50) ? "реконструкция" : "иглолистни";
        r.vidPodotd = "нелесопригодна площ";
        r.stopKlas = "нелесопригодни площи";
        fillSoil(r, site);
        r.mestorast = plan_.noValue == "0" ? "0" : "-";
        r.neles = 100;
    } else {
        standRecord(r, site);
    }
    return r;
}

void RecordMaker::standRecord(Record &r, const CompartmentSite &site)
{
    const StandWeights &w = plan_.stands;
    const StandType &t = kStandTypes[rnd_.weighted({w.pine, w.spruce, w.fir, w.whitePine, w.blackPine, w.beech,
                                                    w.sessileOak, w.coppiceOak, w.reconstruction, w.lowStem,
                                                    w.poplar, w.dwarfPine})];
    r.pl = tenths(0.5 + std::pow(rnd_.unit(), 2) * 14.5);
    r.vidGori = t.vidGori;
    r.stopKlas = t.stopKlas;
    fillSoil(r, site);

    std::string lead = pickFrom(rnd_, t.lead);
    int origin = t.origin;
    if (origin == 1 && t.rotation > 0 && rnd_.percent(lead == "бк" ? 8 : 18)) origin = lead == "бк" ? 3 : 2;
    if (origin == 3 && (lead == "ак" || lead == "трп") && rnd_.percent(50)) origin = 4;
    bool coppice = origin >= 3;
    int age = rnd_.between(t.ageLow, t.ageHigh);
    if (origin == 2) age = rnd_.percent(20) ? rnd_.between(2, 7) : std::min(age, 60);
    int b = int(rnd_.weighted({10, 25, 35, 20, 10})) + 1;
    int density = int(rnd_.weighted({5, 10, 15, 25, 25, 15, 5})) + 3;

    bool dwarf = std::string(t.stopKlas) == "клек";
    if (dwarf) r.vidPodotd = "клек";
    else if (origin == 2 && age < 8) r.vidPodotd = "несклопена култура";
    else if (origin == 2 && density <= 3) r.vidPodotd = "изредена култура";
    else if (origin == 2) r.vidPodotd = "склопена култура";
    else if (coppice) r.vidPodotd = "издънково насаждение";
    else r.vidPodotd = "семенно насаждение";
    if (origin == 2) r.shema = pickFrom(rnd_, std::vector<std::string>{"2x1", "2.5x1", "2x1.5", "3x1"});

    // First storey: the leading species and up to three companions.
    int leadShare = t.companions.empty() || rnd_.percent(25) ? 10 : rnd_.between(5, 9);
    std::vector<std::pair<std::string, int>> storey = {{lead, leadShare}};
    int rest = 10 - leadShare;
    int companions = std::min(rest, rnd_.between(1, 3));
    std::vector<std::string> pool = t.companions;
    for (int c = 0; c < companions && !pool.empty(); ++c) {
        size_t i = size_t(rnd_.between(0, int(pool.size()) - 1));
        int share = c == companions - 1 ? rest : rnd_.between(1, rest - (companions - 1 - c));
        storey.push_back({pool[i], share});
        rest -= share;
        pool.erase(pool.begin() + long(i));
    }
    if (rest > 0) storey[0].second += rest;

    int hLead = heightFor(age, b, coppice);
    double stockPerHa = (age < 10 || dwarf) ? 0 : hLead * hLead * 0.5 * density / 10.0 * (coppice ? 0.7 : 1.0);
    bool densityOnFirstOnly = rnd_.percent(10);
    for (size_t i = 0; i < storey.size(); ++i) {
        int a = i == 0 || rnd_.percent(75) ? age : std::max(5, age + rnd_.between(-20, 20));
        int sb = std::clamp(b + (i == 0 ? 0 : rnd_.between(-1, 1)), 1, 5);
        int h = heightFor(a, sb, coppice);
        int d = diameterFor(h, a);
        if (i > 0 && rnd_.percent(8)) h = d = 0; // measured on the leading species only
        double pyln = i > 0 && densityOnFirstOnly ? 0 : density;
        int vha = int(std::lround(stockPerHa * storey[i].second / 10.0));
        size_t j = addSlot(r, storey[i].first, "1", storey[i].second, origin, a, pyln, h, sb, d, vha);
        if (rnd_.percent(12)) r.standSlots[j].povr = damage();
        else if (plan_.noValue == "0" && rnd_.percent(40)) r.standSlots[j].povr = "0";
    }
    // Second storey of shade-tolerant species under older stands.
    if (age >= 40 && !t.understorey.empty() && !dwarf && rnd_.percent(20)) {
        r.stroej = "двуетажно";
        int a2 = std::max(10, age * rnd_.between(30, 60) / 100);
        int count = rnd_.between(1, 2);
        int first = count == 1 ? 10 : rnd_.between(5, 8);
        double m2 = rnd_.between(5, 45);
        std::string s1 = pickFrom(rnd_, t.understorey), s2 = pickFrom(rnd_, t.understorey);
        for (int i = 0; i < count; ++i) {
            if (i == 1 && s2 == s1) s2 = s1 == "бк" ? "гбр" : "бк";
            int share = i == 0 ? first : 10 - first;
            int b2 = std::min(5, b + 1);
            int h2 = heightFor(a2, b2, false);
            addSlot(r, i == 0 ? s1 : s2, "2", share, 1, a2, rnd_.between(2, 4), h2, b2, diameterFor(h2, a2),
                    int(std::lround(m2 * share / 10)));
        }
    } else {
        r.stroej = age > 80 && rnd_.percent(20) ? "разновъзрастно" : "едноетажно";
    }
    if (age >= 50 && !dwarf && rnd_.percent(6)) {
        int a3 = age + rnd_.between(40, 80);
        int h3 = heightFor(a3, b, false);
        addSlot(r, lead, "надл", 10, origin == 2 ? 1 : origin, a3, 1, h3, b, diameterFor(h3, a3),
                rnd_.between(3, 15));
    }
    if (!t.regeneration.empty() && age >= 60 && rnd_.percent(12))
        addSlot(r, pickFrom(rnd_, t.regeneration), "подр", 10, 1, rnd_.between(3, 15), 0, rnd_.between(1, 3), 0,
                0, 0);
    if (!dwarf && rnd_.percent(6))
        addSlot(r, pickFrom(rnd_, std::vector<std::string>{"лщ", "смк", "кгбр", "кл"}), "подл", 0, 3, 0, 0,
                rnd_.between(1, 4), 0, 0, 0);

    r.systoianie = std::vector<std::string>{"добро", "задоволително", "лошо"}[rnd_.weighted({60, 30, 10})];
    if (std::string(t.vidGori) != "иглолистни")
        r.pravostybl = std::vector<std::string>{"добра", "средна", "лоша"}[rnd_.weighted({40, 45, 15})];
    else if (plan_.noValue == "0")
        r.pravostybl = "0";
    if (rnd_.percent(15)) r.pasha = rnd_.percent(60) ? "забранена" : "ограничена";

    // Planned cutting by age and kind of stand.
    bool special = r.nzn[0] != kEconomic;
    std::string sanitary = rnd_.percent(15) ? "санитарна сеч" : "";
    if (dwarf || (special && rnd_.percent(40))) {
        // no cutting
    } else if (std::string(t.stopKlas) == "нискостъблено") {
        if (age >= 30) planCutting(r, "гола сеч", 100);
    } else if (std::string(t.vidGori) == "реконструкция") {
        if (age >= 20) {
            planCutting(r, "реконструкционна сеч", rnd_.between(40, 60), sanitary);
            r.nasZales = "реконструкция";
            r.pp1 = "площадки";
            r.plpp1 = r.pl;
            r.smesvane = "групово";
            r.shemaZal = "2x2";
            planAfforestation(r, {{"чб", 6}, {"здб", 4}}, 3, true);
            return;
        }
    } else if (std::string(t.vidGori) == "превръщане") {
        if (age >= 30) planCutting(r, "сеч за превръщане", rnd_.between(20, 35), sanitary);
        else if (age >= 15) planCutting(r, "прореждане", rnd_.between(10, 20), sanitary);
    } else if (age < 10) {
        if (origin == 2 && age >= 5 && rnd_.percent(50)) planCutting(r, "осветление", 0);
    } else if (age < 20) {
        planCutting(r, "прочистка", rnd_.between(0, 5));
    } else if (age < t.rotation * 6 / 10) {
        planCutting(r, "прореждане", rnd_.between(10, 25), sanitary);
    } else if (age < t.rotation) {
        if (rnd_.percent(50)) planCutting(r, "прореждане", rnd_.between(10, 15), sanitary);
    } else {
        std::vector<std::string> kinds;
        if (lead == "бб" || lead == "чб") kinds = {"краткосрочно-постепенна сеч", "групово-постепенна сеч"};
        else if (lead == "здб" || lead == "блг" || lead == "лдб") kinds = {"дългосрочно-постепенна сеч", "групово-постепенна сеч"};
        else kinds = {"групово-постепенна сеч", "неравномерно-постепенна сеч", "изборна сеч"};
        planCutting(r, pickFrom(rnd_, kinds), rnd_.between(20, 35), sanitary);
    }
    if (r.vidPodotd == "несклопена култура" || r.vidPodotd == "изредена култура") {
        r.nasZales = "попълване";
        r.pp1 = "ямки";
        r.plpp1 = tenths(r.pl * 0.3);
    }
    // Target composition: the first storey, led by the leading species.
    std::vector<std::pair<std::string, int>> target(storey.begin(),
                                                    storey.begin() + long(std::min<size_t>(storey.size(), 5)));
    planAfforestation(r, target, std::max(1, b - (rnd_.percent(30) ? 1 : 0)), false);
}

void RecordMaker::openLand(Record &r, const CompartmentSite &site)
{
    r.pl = tenths(0.3 + rnd_.unit() * 5.7);
    r.vidPodotd = std::vector<std::string>{"сечище", "голина", "пожарище"}[rnd_.weighted({50, 35, 15})];
    bool conifer = plan_.stands.pine + plan_.stands.spruce > plan_.stands.beech ? rnd_.percent(70) : rnd_.percent(30);
    r.vidGori = conifer ? "иглолистни" : "широкол. високостъбл.";
    r.stopKlas = conifer ? "бялборово" : "буково";
    fillSoil(r, site);
    r.nasZales = r.vidPodotd == "пожарище" ? "създаване на култури" : "залесяване";
    if (r.naklon > 20) r.pp1 = rnd_.percent(70) ? "ръчни тераски" : "ръчни тераси";
    else if (r.naklon <= 8) r.pp1 = rnd_.percent(50) ? "плужни бразди" : "риголване";
    else r.pp1 = rnd_.percent(60) ? "площадки" : "ямки";
    r.plpp1 = r.pl;
    if (rnd_.percent(20)) {
        r.pp2 = "ямки";
        r.plpp2 = tenths(r.pl * 0.2);
        r.plpp1 = tenths(r.pl - r.plpp2);
    }
    r.smesvane = pickFrom(rnd_, std::vector<std::string>{"чисто", "редово", "групово", "ивично"});
    r.shemaZal = pickFrom(rnd_, std::vector<std::string>{"2x1", "2.5x1", "2x1.5", "3x1"});
    if (conifer)
        planAfforestation(r, rnd_.percent(50) ? std::vector<std::pair<std::string, int>>{{"бб", 6}, {"смр", 4}}
                                              : std::vector<std::pair<std::string, int>>{{"чб", 7}, {"бб", 3}},
                          rnd_.between(2, 3), true);
    else
        planAfforestation(r, {{"здб", 6}, {"лп", 2}, {"яв", 2}}, rnd_.between(2, 3), true);
}

void RecordMaker::nonWoodLand(Record &r, const CompartmentSite &site)
{
    static const std::vector<std::string> kinds = {"поляна", "просека", "горски разсадник", "скали и сипеи",
                                                   "дивечова нива", "ливада"};
    r.vidPodotd = kinds[rnd_.weighted({35, 15, 5, 15, 10, 20})];
    r.pl = tenths(0.1 + rnd_.unit() * 2.9);
    r.vidGori = rnd_.percent(40) ? "-" : (rnd_.percent(50) ? "иглолистни" : "широкол. високостъбл.");
    r.stopKlas = "недървопроизводителни площи";
    if (r.vidPodotd == "поляна" || r.vidPodotd == "ливада" || r.vidPodotd == "горски разсадник")
        fillSoil(r, site);
    r.mestorast = plan_.noValue == "0" ? "0" : "-";
    r.nzn[2] = r.nzn[3] = plan_.noValue == "0" ? "0" : "-";
}

void generateRecords(const ProjectSpec &plan, uint64_t seed, const std::function<void(Record &&)> &emit)
{
    Random rnd = Random::derived(seed, uint64_t(plan.id));
    RecordMaker maker(plan, rnd);
    int compartments = std::max(8, plan.records / 10);
    std::vector<Record> batch, late;
    int made = 0;
    auto flush = [&] {
        made += int(batch.size());
        for (auto &r : batch) emit(std::move(r));
        batch.clear();
    };
    int otd = 1;
    while (made + int(late.size()) < plan.records) {
        if (otd % 53 == 0) { // compartments given up or merged
            ++otd;
            continue;
        }
        if (otd == 2) {
            addShowcase(maker, batch, late, compartments);
            flush();
            otd = 7; // compartment 6 was merged into its neighbours
            continue;
        }
        CompartmentSite site = maker.compartment(otd, compartments);
        int remaining = plan.records - made - int(late.size());
        int n = std::min(remaining, rnd.between(otd == 1 ? 5 : 3, 16));
        int letters = 0, digits = 0;
        for (int i = 0; i < n; ++i) {
            bool nonWood = i > 0 && rnd.percent(6);
            std::string name = nonWood ? std::to_string(++digits) : letterName(letters++);
            batch.push_back(maker.randomRecord(site, name, nonWood));
        }
        // Sub-compartments added later by the inventory team stand out of order.
        if (otd % 11 == 0 && n >= 3) std::swap(batch[0], batch[2]);
        flush();
        ++otd;
    }
    for (auto &r : late) emit(std::move(r));
}

} // namespace dx::demo
