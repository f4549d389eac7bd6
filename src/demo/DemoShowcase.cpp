// The showcase compartments 2 to 5 of every demo project: fixed sub-compartments that
// hold the values the description, the sieves, the lists and the forest fund reports
// must handle (empty slots between filled ones, layer words, carried heights, repeated
// ages, damage codes of every form, zero area, unknown land areas, every kind of
// sub-compartment and forest, ...). Compartment 1 stays an ordinary one.
#include "demo/DemoProject.h"

#include <initializer_list>

namespace dx::demo {
namespace {

struct SlotSpec {
    const char *dv;
    const char *et;
    int uch, pr, a;
    double pyln;
    int h, b, d, vha;
    const char *povr = "-";
};

class Showcase {
public:
    Showcase(RecordMaker &maker, int compartments) : m_(maker), compartments_(compartments) {}

    CompartmentSite site(int otd, const char *ownership, bool economic)
    {
        CompartmentSite s = m_.compartment(otd, compartments_);
        s.nzn2 = ownership;
        s.nzn1 = economic ? "дървопроизв.и средообр" : "водоохранни";
        if (s.subBelt == "-") s.subBelt = m_.plan().subBelts.front();
        return s;
    }

    Record stand(const CompartmentSite &site, const char *name, double pl, const char *vidGori,
                 const char *vidPodotd, const char *stopKlas, std::initializer_list<SlotSpec> slots)
    {
        Record r = m_.base(site, name, pl);
        m_.fillSoil(r, site);
        r.vidGori = vidGori;
        r.vidPodotd = vidPodotd;
        r.stopKlas = stopKlas;
        r.stroej = "едноетажно";
        r.systoianie = "добро";
        for (const SlotSpec &s : slots) {
            size_t j = m_.addSlot(r, s.dv, s.et, s.uch, s.pr, s.a, s.pyln, s.h, s.b, s.d, s.vha);
            r.standSlots[j].povr = s.povr;
        }
        return r;
    }

    Record plain(const CompartmentSite &site, const char *name)
    {
        return m_.randomRecord(site, name, false);
    }

    Record nonWood(const CompartmentSite &site, const char *name, const char *kind, double pl)
    {
        Record r = m_.randomRecord(site, name, true);
        r.vidPodotd = kind;
        r.pl = pl;
        return r;
    }

    RecordMaker &maker() { return m_; }

private:
    RecordMaker &m_;
    int compartments_;
};

// Moves slot `from` to `to`, leaving an empty slot behind.
void moveSlot(Record &r, size_t from, size_t to)
{
    r.standSlots[to] = r.standSlots[from];
    r.standSlots[from] = StandSlot{};
}

void compartment2(Showcase &sc, std::vector<Record> &out, std::vector<Record> &late)
{
    CompartmentSite site = sc.site(2, "държавна", true);
    // Beech with oak of the same age, the oak measured only through the beech; a
    // second storey of walnut (no branch-wood row) whose stock adds up to 50; layer words.
    Record a = sc.stand(site, "а", 5.0, "широкол. високостъбл.", "семенно насаждение", "буково",
                        {{"бк", "1", 7, 1, 60, 7, 22, 2, 26, 160},
                         {"здб", "1", 3, 1, 60, 7, 0, 2, 0, 70, "л2к"},
                         {"орх", "2", 10, 2, 30, 3, 12, 3, 14, 10},
                         {"лщ", "подл", 0, 3, 0, 0, 2, 0, 0, 0},
                         {"бк", "подр", 10, 1, 8, 0, 1, 0, 0, 0}});
    moveSlot(a, 4, 5);
    moveSlot(a, 3, 4);
    moveSlot(a, 2, 3); // slot 3 stays empty between filled slots
    a.stroej = "двуетажно";
    sc.maker().planCutting(a, "прореждане", 15);
    // Spruce over walnut whose storey stock is 51; an old pine above the stand.
    Record b = sc.stand(site, "б", 3.0, "иглолистни", "семенно насаждение", "смърчово",
                        {{"смр", "1", 10, 1, 95, 7, 27, 2, 38, 300},
                         {"орх", "2", 10, 2, 35, 3, 13, 3, 15, 17},
                         {"бб", "надл", 10, 1, 170, 1, 30, 2, 60, 8}});
    b.stroej = "двуетажно";
    sc.maker().planCutting(b, "групово-постепенна сеч", 25, "санитарна сеч");
    // Pine of 18 m: stock 123 with 9 % branch wood.
    Record c = sc.stand(site, "в", 1.5, "иглолистни", "семенно насаждение", "бялборово",
                        {{"бб", "1", 10, 1, 90, 6, 18, 3, 29, 82}});
    Record g = sc.plain(site, "г");
    Record meadow = sc.nonWood(site, "1", "поляна", 0.8);
    Record d = sc.plain(site, "д");
    Record clearing = sc.nonWood(site, "2", "просека", 0.0);
    Record rocks = sc.nonWood(site, "3", "скали и сипеи", 1.1);
    // Table order as the inventory team entered it: "в" before "а".
    for (Record *r : {&c, &a, &b, &g, &meadow, &d, &clearing}) out.push_back(std::move(*r));
    late.push_back(std::move(rocks)); // added after the whole table was entered
}

void compartment3(Showcase &sc, std::vector<Record> &out)
{
    CompartmentSite site = sc.site(3, "общинска", false);
    RecordMaker &m = sc.maker();
    // Unforestable land of a reconstruction unit: no species, no target composition.
    Record a = m.base(site, "а", 2.4);
    m.fillSoil(a, site);
    a.vidGori = "реконструкция";
    a.vidPodotd = "нелесопригодна площ";
    a.stopKlas = "нелесопригодни площи";
    a.mestorast = "0";
    a.neles = 100;
    // Clearing to be planted: a gap and a species without share in the target composition.
    Record b = m.base(site, "б", 2.5);
    m.fillSoil(b, site);
    b.vidGori = "иглолистни";
    b.vidPodotd = "сечище";
    b.stopKlas = "смърчово";
    b.nasZales = "залесяване";
    b.pp1 = "ръчни тераски";
    b.plpp1 = 2.0;
    b.pp2 = "площадки";
    b.plpp2 = 0.5;
    b.smesvane = "групово";
    b.shemaZal = "2x1";
    b.obs[0] = {"смр", 6, 2, 1.5};
    b.obs[2] = {"бк", 0, 0, 0.6};
    b.obs[3] = {"ела", 4, 2, 1.0};
    // Short position form, no soil preparation but a straightness.
    Record c = sc.stand(site, "в", 3.2, "широкол. високостъбл.", "семенно насаждение", "буково",
                        {{"бк", "1", 10, 1, 75, 8, 24, 2, 30, 230}});
    c.oblast = "-";
    c.podpoias = "-";
    c.pp1 = "-";
    c.pravostybl = "добра";
    // No soil type although the other soil fields are filled; a site type without wording.
    Record d = sc.stand(site, "г", 1.8, "широкол. високостъбл.", "семенно насаждение", "горуново",
                        {{"здб", "1", 8, 1, 70, 6, 17, 3, 23, 120}, {"цр", "1", 2, 1, 70, 6, 18, 3, 24, 30}});
    d.pochva = "-";
    d.mestorast = "Д3";
    // Kinds of cutting with "-", empty and "0" between them.
    Record e = sc.stand(site, "д", 4.0, "иглолистни", "семенно насаждение", "бялборово",
                        {{"бб", "1", 8, 1, 45, 7, 17, 2, 22, 150}, {"смр", "1", 2, 1, 45, 7, 15, 2, 19, 35}});
    m.planCutting(e, "прореждане", 15);
    e.sech = {"прореждане", "-", "санитарна сеч", "", "0", "-", "-", "-", "-"};
    // Use entered although the cutting percentage is 0.
    Record f = sc.stand(site, "е", 2.2, "иглолистни", "семенно насаждение", "смърчово",
                        {{"смр", "1", 10, 1, 85, 7, 26, 2, 35, 280}});
    f.sech[0] = "санитарна сеч";
    for (auto &s : f.standSlots)
        if (s.filled()) s.polzv = s.v / 5;
    // Damage codes of every form, one storey of seven species of one age.
    Record g = sc.stand(site, "ж", 6.5, "широкол. високостъбл.", "семенно насаждение", "буково",
                        {{"бк", "1", 3, 1, 80, 7, 25, 2, 31, 85, "213"},
                         {"здб", "1", 2, 1, 80, 7, 21, 3, 28, 55, "10"},
                         {"гбр", "1", 1, 1, 80, 7, 19, 3, 24, 25, "1к"},
                         {"яв", "1", 1, 1, 80, 7, 22, 2, 27, 28, "000"},
                         {"лп", "1", 1, 1, 80, 7, 20, 3, 26, 26, "л2ф"},
                         {"цр", "1", 1, 1, 80, 7, 20, 3, 27, 27, "с3гв"},
                         {"кл", "1", 1, 1, 80, 7, 14, 4, 18, 15, "н10кд"}});
    m.planCutting(g, "санитарна сеч", 10);
    Record h = sc.plain(site, "з");
    h.zeml = m.plan().missingLandArea; // no row in the land-area table
    Record i = sc.plain(site, "и");
    i.zeml = 0; // not entered
    for (Record *r : {&a, &b, &c, &d, &e, &f, &g, &h, &i}) out.push_back(std::move(*r));
}

void compartment4(Showcase &sc, std::vector<Record> &out)
{
    CompartmentSite site = sc.site(4, "частна", true);
    RecordMaker &m = sc.maker();
    std::vector<Record> rs;
    // Density missing on the first slot, given on the second.
    rs.push_back(sc.stand(site, "а", 2.7, "иглолистни", "семенно насаждение", "бялборово",
                          {{"бб", "1", 6, 1, 65, 0, 21, 2, 27, 150}, {"смр", "1", 4, 1, 65, 5, 20, 2, 25, 90}}));
    // Density entered as 11 by mistake.
    rs.push_back(sc.stand(site, "б", 1.9, "иглолистни", "семенно насаждение", "смърчово",
                          {{"смр", "1", 10, 1, 70, 11, 23, 2, 29, 320}}));
    // A planted culture in a coppice stand for conversion.
    rs.push_back(sc.stand(site, "в", 2.1, "превръщане", "склопена култура", "издънково за превръщане",
                          {{"здб", "1", 10, 2, 18, 7, 8, 3, 11, 40}}));
    // Oak of 20 years with share 5 in 2.0 ha.
    rs.push_back(sc.stand(site, "г", 2.0, "широкол. високостъбл.", "семенно насаждение", "горуново",
                          {{"здб", "1", 5, 1, 20, 8, 9, 2, 10, 30}, {"цр", "1", 5, 1, 20, 8, 10, 2, 11, 32}}));
    // Reconstruction of coppice oak with planted black pine.
    rs.push_back(sc.stand(site, "д", 3.4, "реконструкция", "издънково насаждение", "за реконструкция",
                          {{"здб", "1", 5, 3, 20, 5, 7, 4, 9, 20}, {"чб", "1", 5, 2, 20, 5, 8, 3, 10, 25}}));
    m.planCutting(rs.back(), "реконструкционна сеч", 50);
    // Old-growth beech and fir of 170 years, taller than 30 m.
    rs.push_back(sc.stand(site, "е", 4.2, "широкол. високостъбл.", "семенно насаждение", "буково",
                          {{"бк", "1", 7, 1, 170, 6, 33, 1, 64, 380}, {"ела", "1", 3, 1, 170, 6, 35, 1, 70, 170}}));
    rs.back().nzn[0] = "защитени територии";
    rs.back().nzn[2] = "вековна гора";
    // Cornel only in the second storey.
    rs.push_back(sc.stand(site, "ж", 3.0, "широкол. високостъбл.", "семенно насаждение", "буково",
                          {{"бк", "1", 10, 1, 90, 7, 26, 2, 34, 290}, {"дрн", "2", 10, 3, 25, 2, 5, 4, 6, 4}}));
    rs.back().stroej = "двуетажно";
    // First-storey shares adding up to 12.
    rs.push_back(sc.stand(site, "з", 1.4, "иглолистни", "семенно насаждение", "бялборово",
                          {{"бб", "1", 6, 1, 55, 7, 19, 2, 24, 120}, {"смр", "1", 6, 1, 55, 7, 18, 2, 22, 110}}));
    // Branch wood: a species without row, beech of unknown origin, borrowed rows.
    rs.push_back(sc.stand(site, "и", 2.6, "широкол. високостъбл.", "семенно насаждение", "буково",
                          {{"глд", "1", 4, 1, 50, 6, 15, 3, 19, 60},
                           {"бк", "1", 3, 0, 50, 6, 16, 3, 20, 50},
                           {"ела", "1", 2, 1, 50, 6, 17, 3, 21, 35},
                           {"чб", "1", 1, 2, 50, 6, 16, 3, 20, 15}}));
    m.planCutting(rs.back(), "прореждане", 20);
    // Root-sucker acacia of 2 m.
    rs.push_back(sc.stand(site, "к", 1.2, "реконструкция", "издънково насаждение", "за реконструкция",
                          {{"ак", "1", 10, 4, 8, 6, 2, 3, 0, 6}}));
    for (auto &r : rs) out.push_back(std::move(r));
}

void compartment5(Showcase &sc, std::vector<Record> &out)
{
    CompartmentSite site = sc.site(5, "на юридически лица", true);
    RecordMaker &m = sc.maker();
    const ProjectSpec &plan = m.plan();
    std::vector<Record> rs;
    rs.push_back(sc.plain(site, "а"));
    rs.back().nadmVis = 0; // altitude not entered
    rs.back().naklon = 4;
    rs.back().izlojenie = "равно";
    rs.push_back(sc.stand(site, "б", 2.3, "широкол. високостъбл.", "семенно насаждение", "буково",
                          {{"бк", "1", 9, 1, 105, 7, 27, 2, 38, 270}, {"гбр", "1", 1, 1, 105, 7, 20, 3, 27, 30}}));
    m.planCutting(rs.back(), "неравномерно-постепенна сеч", 25);
    rs.back().nzn[1] = "религиозна";
    rs.back().naklon = 5;
    if (plan.duplicatePair) rs.push_back(rs.back()); // the same sub-compartment entered twice
    // Eroded bare land to be terraced and planted.
    Record g = m.base(site, "в", 3.6);
    m.fillSoil(g, site);
    g.vidGori = "иглолистни";
    g.vidPodotd = "голина";
    g.stopKlas = "черборово";
    g.eroSt = "ерозия II ст";
    g.vidEro1 = "2струйчеста ерозия";
    g.vidEro2 = "1площна ерозия";
    g.naklon = 30;
    g.nasZales = "залесяване";
    g.pp1 = "машинни тераси";
    g.plpp1 = 3.6;
    g.smesvane = "редово";
    g.shemaZal = "2.5x1";
    m.planAfforestation(g, {{"чб", 7}, {"ак", 3}}, 3, true);
    rs.push_back(std::move(g));
    // Every further designation, with "0" and "-" between them.
    rs.push_back(sc.plain(site, "г"));
    rs.back().nzn = {"дървопроизв.и средообр", "на юридически лица", "Натура 2000 - птици", "0",
                     "водоохранна зона", "-", "вековна гора"};
    rs.back().naklon = 31;
    rs.push_back(sc.stand(site, "д", 1.6, "иглолистни", "изредена култура", "черборово",
                          {{"чб", "1", 10, 2, 25, 3, 9, 3, 12, 35}}));
    rs.push_back(sc.stand(site, "е", 2.9, "иглолистни", "несклопена култура", "черборово",
                          {{"чб", "1", 7, 2, 5, 0, 2, 3, 0, 0}, {"бб", "1", 3, 2, 5, 0, 1, 3, 0, 0}}));
    rs.back().nasZales = "попълване";
    rs.back().pp1 = "ямки";
    rs.back().plpp1 = 0.9;
    Record fire = m.randomRecord(site, "ж", false);
    fire.vidPodotd = "пожарище";
    fire.standSlots = {};
    fire.sech.fill(plan.noValue);
    fire.sechPer = 0;
    fire.godSech = 0;
    fire.nasZales = "създаване на култури";
    m.planAfforestation(fire, {{"чб", 10}}, 3, true);
    rs.push_back(std::move(fire));
    rs.push_back(sc.stand(site, "з", 2.4, "нискостъблени", "издънково насаждение", "нискостъблено",
                          {{"кгбр", "1", 8, 3, 35, 8, 6, 4, 8, 45}, {"мжд", "1", 2, 3, 35, 8, 6, 4, 8, 10}}));
    m.planCutting(rs.back(), "гола сеч", 100);
    if (plan.stands.dwarfPine > 0)
        rs.push_back(sc.stand(site, "и", 7.5, "иглолистни", "клек", "клек", {{"клк", "1", 10, 1, 80, 9, 2, 3, 0, 0}}));
    if (plan.stands.poplar > 0) {
        rs.push_back(sc.stand(site, "к", 5.2, "тополови", "склопена култура", "тополово",
                              {{"тп", "1", 10, 2, 18, 8, 22, 1, 28, 210}}));
        rs.back().shema = "6x6";
    }
    for (auto &r : rs) { // one shaded and one sunny exposure in any project
        if (r.podotd == "д") r.izlojenie = "западно";
        if (r.podotd == "е") r.izlojenie = "северно";
    }
    if (plan.lowland) { // the lowest bands of the altitude tables
        int altitude[] = {50, 51, 100};
        for (size_t i = 0; i < rs.size() && i < 3; ++i) rs[i + 1].nadmVis = altitude[i];
    }
    for (auto &r : rs) out.push_back(std::move(r));
}

} // namespace

void addShowcase(RecordMaker &maker, std::vector<Record> &out, std::vector<Record> &late, int compartmentCount)
{
    Showcase sc(maker, compartmentCount);
    compartment2(sc, out, late);
    compartment3(sc, out);
    compartment4(sc, out);
    compartment5(sc, out);
}

} // namespace dx::demo
