// Contents of names.dbf, kloni.dbf and bon.dbf of the demo installation.
#include "demo/DemoNomenclature.h"

#include "engine/dbf/DbfFile.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace dx::demo {
namespace {

const std::vector<SpeciesInfo> kSpecies = {
    // coniferous
    {"бб", "Бял бор", "бял бор", "Pinus sylvestris", 10, 1, 1},
    {"чб", "Черен бор", "черен бор", "Pinus nigra", 11, 1, 3},
    {"смр", "Смърч", "обикновен смърч", "Picea abies", 12, 1, 2},
    {"ела", "Ела", "обикновена ела", "Abies alba", 13, 1, 4},
    {"бм", "Бяла мура", "бяла мура", "Pinus peuce", 14, 1, 5},
    {"чм", "Черна мура", "черна мура", "Pinus heldreichii", 15, 1, 6},
    {"лцн", "Лиственица", "европейска лиственица", "Larix decidua", 16, 1, 7},
    {"дгл", "Зелена дуглазка", "зелена дуглазка", "Pseudotsuga menziesii", 17, 1, 8},
    {"клк", "Клек", "клек", "Pinus mugo", 18, 1, 0},
    {"хв", "Хвойна", "обикновена хвойна", "Juniperus communis", 19, 1, 0},
    // broadleaved, with their group of forest fund report 2
    {"бк", "Бук", "обикновен бук", "Fagus sylvatica", 30, 2, 1},
    {"ибк", "Източен бук", "източен бук", "Fagus orientalis", 31, 2, 1},
    {"здб", "Зимен дъб", "зимен дъб", "Quercus petraea", 32, 2, 2},
    {"лдб", "Летен дъб", "летен дъб", "Quercus robur", 33, 2, 2},
    {"блг", "Благун", "благун", "Quercus frainetto", 34, 2, 2},
    {"кдб", "Космат дъб", "космат дъб", "Quercus pubescens", 35, 2, 2},
    {"цр", "Цер", "цер", "Quercus cerris", 36, 2, 3},
    {"гбр", "Габър", "обикновен габър", "Carpinus betulus", 37, 2, 4},
    {"пбр", "Полски бряст", "полски бряст", "Ulmus minor", 38, 2, 5},
    {"пяс", "Полски ясен", "полски ясен", "Fraxinus angustifolia", 39, 2, 6},
    {"яс", "Планински ясен", "планински ясен", "Fraxinus excelsior", 40, 2, 6},
    {"лп", "Сребролистна липа", "сребролистна липа", "Tilia tomentosa", 41, 2, 7},
    {"тп", "Евроамериканска топола", "евроамериканска топола", "Populus x euramericana", 42, 2, 8},
    {"трп", "Трепетлика", "трепетлика", "Populus tremula", 43, 2, 9},
    {"яв", "Явор", "явор", "Acer pseudoplatanus", 44, 2, 10},
    {"брз", "Бяла бреза", "бяла бреза", "Betula pendula", 45, 2, 11},
    {"кст", "Кестен", "обикновен кестен", "Castanea sativa", 46, 2, 12},
    {"орх", "Орех", "обикновен орех", "Juglans regia", 47, 2, 13},
    {"кгбр", "Келяв габър", "келяв габър", "Carpinus orientalis", 48, 2, 14},
    {"мжд", "Мъждрян", "мъждрян", "Fraxinus ornus", 49, 2, 0},
    {"ак", "Бяла акация", "бяла акация", "Robinia pseudoacacia", 50, 2, 0},
    {"глд", "Гледичия", "гледичия", "Gleditsia triacanthos", 51, 2, 0},
    {"кл", "Полски клен", "полски клен", "Acer campestre", 52, 2, 0},
    {"чел", "Черна елша", "черна елша", "Alnus glutinosa", 53, 2, 0},
    {"вр", "Бяла върба", "бяла върба", "Salix alba", 54, 2, 0},
    {"дрн", "Дрян", "обикновен дрян", "Cornus mas", 55, 2, 0},
    {"лщ", "Леска", "обикновена леска", "Corylus avellana", 56, 2, 0},
    {"смк", "Смрадлика", "смрадлика", "Cotinus coggygria", 57, 2, 0},
};

const std::map<std::string, std::vector<CodeInfo>> kCodes = {
    {"vs", {{1, "прочистка"}, {2, "прореждане"}, {3, "санитарна сеч"}, {4, "осветление"},
            {5, "възобновителна сеч"}, {6, "групово-постепенна сеч"},
            {7, "краткосрочно-постепенна сеч"}, {8, "дългосрочно-постепенна сеч"},
            {9, "неравномерно-постепенна сеч"}, {10, "изборна сеч"}, {11, "гола сеч"},
            {12, "реконструкционна сеч"}, {13, "сеч за превръщане"}, {14, "принудителна сеч"}}},
    {"ns", {{1, "залесяване"}, {2, "попълване"}, {3, "подпомагане на възобновяването"},
            {4, "подсаждане под склоп"}, {5, "реконструкция"}, {6, "създаване на култури"}}},
    {"pcp", {{1, "площадки"}, {2, "ямки"}, {3, "ръчни тераски"}, {4, "ръчни тераси"},
             {5, "машинни тераси"}, {6, "ивици"}, {7, "плужни бразди"}, {8, "риголване"}}},
    {"sms", {{1, "чисто"}, {2, "редово"}, {3, "групово"}, {4, "ивично"}, {5, "кулисно"},
             {6, "шахматно"}}},
    {"pov", {{1, "ветровал и ветролом", "в"}, {2, "снеголом и снеговал", "с"}, {3, "пожар", "п"},
             {4, "насекомни вредители", "н"}, {5, "гъбни болести", "г"}, {6, "корояди", "к"},
             {7, "повреди от дивеч", "д"}, {8, "паша на добитък", "ж"}, {9, "имел", "и"},
             {10, "мразобой", "м"}, {11, "засушаване", "з"}, {12, "антропогенни повреди", "ч"},
             {13, "промишлени емисии", "х"}, {14, "рак по стъблото", "р"}, {15, "ледолом", "л"}}},
};

// Rows with CODE 0: headings and retired entries, which no list may offer.
struct RetiredRow {
    const char *type;
    const char *print;
    const char *in2;
};
const RetiredRow kRetired[] = {
    {"dv", "дървесни видове", ""}, {"dv", "дб", ""},           {"vs", "видове сечи", ""},
    {"vs", "котловинна сеч", ""},  {"ns", "насоки", ""},        {"pcp", "почвоподготовка", ""},
    {"sms", "смесване", ""},       {"pov", "повреди", ""},      {"pov", "суховършие", "у"},
};

const char *const kNoBranchWood[] = {"орх", "глд", "лщ", "смк", "хв", "клк"};

// Branch-wood percentage for heights 3..30: from `top` at 3 m falling by `fall`
// percentage points over the 27 metres up to 30 m (whole numbers, integer steps).
std::vector<int> branchPercents(int top, int fall)
{
    std::vector<int> out;
    for (int h = 3; h <= 30; ++h) out.push_back(top - (h - 3) * fall / 27);
    return out;
}

struct BranchRow {
    const char *name;
    const char *pr;
    const char *link;
    const char *shortName;
    int count;
    int top, fall;
};

// Pines share one row by its short name, fir borrows the spruce row by number, beech
// and oak have separate rows for seed (1, 2) and coppice (3, 4) origin.
const BranchRow kBranchRows[] = {
    {"бб", "1234", "", "бор", 1, 16, 13},   // 9 % at 18 m
    {"чб", "", "бор", "", 0, 0, 0},
    {"бм", "", "бор", "", 0, 0, 0},
    {"чм", "", "бор", "", 0, 0, 0},
    {"лцн", "", "бор", "", 0, 0, 0},
    {"смр", "1234", "", "смр", 2, 14, 8},
    {"ела", "", "2", "", 0, 0, 0},
    {"дгл", "", "2", "", 0, 0, 0},
    {"бк", "12", "", "бк", 3, 22, 10},
    {"бк", "34", "", "бки", 4, 27, 12},
    {"ибк", "", "бк", "", 0, 0, 0},
    {"здб", "12", "", "дб", 5, 24, 10},
    {"здб", "34", "", "дби", 5, 29, 12},
    {"лдб", "", "5", "", 0, 0, 0},
    {"блг", "", "5", "", 0, 0, 0},
    {"кдб", "", "5", "", 0, 0, 0},
    {"цр", "1234", "", "цр", 6, 25, 11},
    {"гбр", "1234", "", "гбр", 7, 28, 12},
    {"кгбр", "", "7", "", 0, 0, 0},
    {"ак", "1234", "", "ак", 8, 20, 8},
    {"тп", "1234", "", "тп", 10, 12, 6},
    {"дшл", "1234", "", "шл", 9, 24, 10},
    {"пбр", "", "шл", "", 0, 0, 0},
    {"пяс", "", "шл", "", 0, 0, 0},
    {"яс", "", "шл", "", 0, 0, 0},
    {"мжд", "", "9", "", 0, 0, 0},
    {"лп", "", "шл", "", 0, 0, 0},
    {"трп", "", "шл", "", 0, 0, 0},
    {"яв", "", "шл", "", 0, 0, 0},
    {"брз", "", "шл", "", 0, 0, 0},
    {"кст", "", "шл", "", 0, 0, 0},
    {"кл", "", "9", "", 0, 0, 0},
    {"чел", "", "шл", "", 0, 0, 0},
    {"вр", "", "шл", "", 0, 0, 0},
    {"дрн", "", "9", "", 0, 0, 0},
};


Value text(const char *s) { return Value::fromText(s); }

} // namespace

const std::vector<SpeciesInfo> &speciesList() { return kSpecies; }

const SpeciesInfo *findSpecies(const std::string &key)
{
    for (const auto &s : kSpecies)
        if (key == s.key) return &s;
    return nullptr;
}

std::string printName(const std::string &key)
{
    const SpeciesInfo *s = findSpecies(key);
    return s ? s->print : key;
}

const std::vector<CodeInfo> &codeList(const std::string &type)
{
    auto it = kCodes.find(type);
    if (it == kCodes.end()) throw std::logic_error("demo: no code list " + type);
    return it->second;
}

std::string codePrint(const std::string &type, int code)
{
    for (const auto &c : codeList(type))
        if (c.code == code) return c.print;
    throw std::logic_error("demo: no code " + std::to_string(code) + " in list " + type);
}

bool lacksBranchWood(const std::string &key)
{
    return std::any_of(std::begin(kNoBranchWood), std::end(kNoBranchWood),
                       [&](const char *s) { return key == s; });
}

void writeNomenclature(const std::string &path)
{
    std::vector<FieldDef> fields = {
        makeField("TYPE", FieldType::Text, 4),    makeField("CODE", FieldType::Integer, 4),
        makeField("PRINT", FieldType::Text, 40),  makeField("IN2", FieldType::Text, 2),
        makeField("N3", FieldType::Integer, 2),   makeField("N6", FieldType::Integer, 2),
        makeField("NAME", FieldType::Text, 40),   makeField("LATIN", FieldType::Text, 40),
    };
    std::vector<Row> rows;
    auto add = [&](const char *type, int code, const char *print, const char *in2, int n3, int n6,
                   const char *name, const char *latin) {
        rows.push_back({text(type), Value::fromInt(code), text(print), text(in2), Value::fromInt(n3),
                        Value::fromInt(n6), text(name), text(latin)});
    };
    // Each list opens with its CODE 0 heading, as the nomenclature editors keep them.
    for (const char *type : {"dv", "vs", "ns", "pcp", "sms", "pov"}) {
        for (const auto &r : kRetired)
            if (std::string(r.type) == type) add(r.type, 0, r.print, r.in2, 0, 0, "", "");
        if (std::string(type) == "dv") {
            for (const auto &s : kSpecies) add("dv", s.code, s.print, "", s.n3, s.n6, s.name, s.latin);
        } else {
            for (const auto &c : kCodes.at(type)) add(type, c.code, c.print, c.in2, 0, 0, c.print, "");
        }
    }
    dbf::create(path, fields, rows, 0xC9);
}

void writeBranchWood(const std::string &path)
{
    std::vector<FieldDef> fields = {
        makeField("NAME", FieldType::Text, kSpeciesWidth), makeField("PR", FieldType::Text, 4),
        makeField("LINK", FieldType::Text, 6),  makeField("SHORT", FieldType::Text, 6),
        makeField("COUNT", FieldType::Integer, 4),
    };
    for (int h = 3; h <= 30; ++h) {
        static const std::string prefix = "H";
        fields.push_back(makeField("", FieldType::Integer, 3));
        fields.back().name = prefix + std::to_string(h);
    }
    std::vector<Row> rows;
    for (const auto &b : kBranchRows) {
        Row r = {Value::fromText(printName(b.name)), text(b.pr), text(b.link), text(b.shortName), Value::fromInt(b.count)};
        bool own = b.pr[0] != '\0';
        std::vector<int> p = own ? branchPercents(b.top, b.fall) : std::vector<int>(28, 0);
        for (int v : p) r.push_back(Value::fromInt(v));
        rows.push_back(std::move(r));
    }
    dbf::create(path, fields, rows, 0xC9);
}

void writeSiteClasses(const std::string &path)
{
    std::vector<FieldDef> fields = {makeField("DV", FieldType::Text, kSpeciesWidth)};
    for (const char *n : {"B1", "B2", "B3", "B4", "B5"}) fields.push_back(makeField(n, FieldType::Real, 5, 1));
    // Conditional mean mature increment per hectare of site class I, in m3; the lower
    // classes are fixed fractions of it.
    const std::map<std::string, double> top = {
        {"бб", 8.4}, {"чб", 7.6}, {"смр", 10.2}, {"ела", 10.8}, {"бм", 7.0},  {"чм", 6.2},
        {"лцн", 8.8}, {"дгл", 13.5}, {"бк", 8.0},  {"ибк", 8.2}, {"здб", 6.0}, {"лдб", 6.4},
        {"блг", 5.2}, {"кдб", 3.4}, {"цр", 5.6},  {"гбр", 5.0}, {"пбр", 5.4}, {"пяс", 6.6},
        {"яс", 7.0}, {"лп", 6.0},   {"тп", 18.0}, {"трп", 6.8}, {"яв", 6.4},  {"брз", 5.8},
        {"кст", 6.6}, {"орх", 4.6}, {"кгбр", 2.2}, {"мжд", 2.4}, {"ак", 7.4},  {"глд", 4.0},
        {"кл", 3.6}, {"чел", 7.2},  {"вр", 9.0},
    };
    const double factor[5] = {1.0, 0.82, 0.65, 0.49, 0.34};
    std::vector<Row> rows;
    for (const auto &s : kSpecies) {
        auto it = top.find(s.key);
        if (it == top.end()) continue; // shrubs and dwarf pine have no increment
        Row r = {text(s.print)};
        for (double f : factor) r.push_back(Value::fromReal(double(long(it->second * f * 10 + 0.5)) / 10));
        rows.push_back(std::move(r));
    }
    dbf::create(path, fields, rows, 0xC9);
}

} // namespace dx::demo
