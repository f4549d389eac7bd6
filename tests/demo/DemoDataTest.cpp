// The demo installation: its file set and formats, determinism, the reference tables
// that the project data relies on, and the edge cases the projects promise to hold.
#include "DemoTestTables.h"
#include "TestUtil.h"

#include "demo/DemoData.h"
#include "engine/common/EngineError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>

using namespace dxtest;
namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 300;

struct Project {
    std::string tabl, zemnom, path;
    Loaded table;
    std::set<long long> landNumbers;
    bool hasLandTable = false;
};

class DemoInstallation : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        dx::createDemoInstallation(dir_->path(), {kRecords, 5});
        projects_ = new std::vector<Project>;
        for (const auto &line : readCatalogue(dir_->path())) {
            if (line.size() != 7) continue;
            std::string path = dx::io::resolve(dir_->path(), line[5]);
            if (!dx::io::exists(path)) continue;
            Project p{line[5], line[6], path, loadTable(path), {}, false};
            std::string land = line[6].empty() ? "" : dx::io::resolve(dir_->path(), line[6]);
            if (!land.empty() && dx::io::exists(land)) {
                Loaded z = loadTable(land);
                for (size_t r = 0; r < z.rows(); ++r) p.landNumbers.insert(z.num(r, "NOMER"));
                p.hasLandTable = true;
            }
            projects_->push_back(std::move(p));
        }
    }
    static void TearDownTestSuite()
    {
        delete projects_;
        delete dir_;
    }
    static const std::string &dir() { return dir_->path(); }
    static const std::vector<Project> &projects() { return *projects_; }
    static const Project &byTable(const std::string &tabl)
    {
        for (const auto &p : *projects_)
            if (p.tabl == tabl) return p;
        throw std::runtime_error("no project " + tabl);
    }

    static TempDir *dir_;
    static std::vector<Project> *projects_;
};

TempDir *DemoInstallation::dir_ = nullptr;
std::vector<Project> *DemoInstallation::projects_ = nullptr;

// Every record of every project table; `f(project, table, row)`.
template <class F>
void eachRecord(const std::vector<Project> &ps, F &&f)
{
    for (const auto &p : ps)
        for (size_t r = 0; r < p.table.rows(); ++r) f(p, p.table, r);
}

std::string slot(const char *stem, int j) { return stem + std::to_string(j); }

std::set<std::string> listPrints(const Loaded &names, const std::string &type, bool positive)
{
    std::set<std::string> out;
    for (size_t r = 0; r < names.rows(); ++r)
        if (names.text(r, "TYPE") == type && (names.num(r, "CODE") > 0) == positive) out.insert(names.text(r, "PRINT"));
    return out;
}

// The letters of a damage code (everything but digits, "/" and the "-" of no damage).
std::vector<std::string> damageLetters(const std::string &code)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < code.size();) {
        unsigned char c = static_cast<unsigned char>(code[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : 3;
        std::string ch = code.substr(i, len);
        if (!(len == 1 && (std::isdigit(c) || c == '/' || c == '-'))) out.push_back(ch);
        i += len;
    }
    return out;
}

std::vector<std::string> expectedFieldNames()
{
    std::vector<std::string> n = {"OTD",        "PODOTD",    "PL",       "GSU",       "ZEML",     "VID_GORI",
                                  "VID_PODOTD", "STOP_KLAS", "NZN1",     "NZN2",      "NZN3",     "NZN4",
                                  "NZN5",       "NZN6",      "NZN7",     "OBLAST",    "PODPOIAS", "NADM_VIS",
                                  "IZLOJENIE",  "RELEF",     "NAKLON",   "MESTORAST", "STROEJ",   "SYSTOIANIE",
                                  "PRAVOSTYBL", "SHEMA",     "POCHVA",   "MEH_SYST",  "KAMENL",   "PLYTNOST",
                                  "DYLBOCHINA", "VLAJNOST",  "ERO_ST",   "VID_ERO1",  "VID_ERO2", "OSN_SKALA",
                                  "NELES",      "BOGATSTVO", "SECH_PER"};
    for (int i = 1; i <= 9; ++i) n.push_back(slot("SECH", i));
    for (int j = 1; j <= 11; ++j)
        for (const char *s : {"DV", "ET", "UCH", "POVR", "PR", "A", "PYLN", "H", "B", "D", "VHA", "V", "POLZV"})
            n.push_back(slot(s, j));
    for (const char *s : {"NAS_ZALES", "PP1", "PLPP1", "PP2", "PLPP2", "SMESVANE", "SHEMA_ZAL", "TSEL"}) n.push_back(s);
    for (int k = 1; k <= 5; ++k)
        for (const char *s : {"OBS_DV", "OBS_UCH", "OBS_B", "OBS_ZALES"}) n.push_back(slot(s, k));
    n.push_back("GOD_SECH");
    n.push_back("PASHA");
    return n;
}

// ---------------------------------------------------------------------------------

TEST(DemoDeterminism, SameSeedGivesIdenticalFilesOtherSeedOtherData)
{
    TempDir a, b, c;
    dx::createDemoInstallation(a.path(), {120, 42});
    dx::createDemoInstallation(b.path(), {120, 42});
    dx::createDemoInstallation(c.path(), {120, 43});
    size_t files = 0;
    for (const auto &e : fs::recursive_directory_iterator(a.path())) {
        if (!e.is_regular_file()) continue;
        std::string rel = fs::relative(e.path(), a.path()).string();
        ASSERT_TRUE(fs::exists(fs::path(b.path()) / rel)) << rel;
        EXPECT_EQ(readFileBytes(e.path().string()), readFileBytes(b.file(rel))) << rel;
        ++files;
    }
    EXPECT_EQ(files, 11u);
    EXPECT_NE(readFileBytes(a.file("database/BANSKO.DB")), readFileBytes(c.file("database/BANSKO.DB")));
    EXPECT_EQ(readFileBytes(a.file("names.dbf")), readFileBytes(c.file("names.dbf")));
}

TEST(DemoOptionsCheck, RecordCountOutsideRangeIsRefused)
{
    TempDir d;
    EXPECT_THROW(dx::createDemoInstallation(d.path(), {dx::kMinRecords - 1, 1}), std::exception);
    EXPECT_FALSE(fs::exists(d.file("names.dbf")));
}

TEST_F(DemoInstallation, FileSetAndFolderNames)
{
    for (const char *f : {"names.dbf", "kloni.dbf", "bon.dbf", "Dendrix.ini", "project.conf"})
        EXPECT_TRUE(fs::is_regular_file(fs::path(dir()) / f)) << f;
    EXPECT_TRUE(fs::is_directory(fs::path(dir()) / "database"));
    EXPECT_TRUE(fs::is_directory(fs::path(dir()) / "zemnom"));
    ASSERT_EQ(projects().size(), 3u);
    // On disk the names differ from the catalogue at most in letter case, and at
    // least one of them does differ, so lookups must ignore case.
    bool caseDiffers = false;
    for (const auto &p : projects()) {
        for (const std::string &rel : {p.tabl, p.zemnom}) {
            std::string resolved = dx::io::resolve(dir(), rel);
            ASSERT_TRUE(dx::io::exists(resolved)) << rel;
            std::string onDisk = fs::relative(resolved, dir()).string();
            std::string wanted = rel;
            std::replace(wanted.begin(), wanted.end(), '\\', '/');
            EXPECT_EQ(dx::cp::foldCase(onDisk), dx::cp::foldCase(wanted));
            caseDiffers = caseDiffers || onDisk != wanted;
        }
        EXPECT_TRUE(p.hasLandTable) << p.tabl;
    }
    EXPECT_TRUE(caseDiffers);
}

TEST_F(DemoInstallation, SettingsFileIsCp1251WithCrLfAndNamesTheFirstProject)
{
    std::string raw = readFileBytes(dir() + "/Dendrix.ini");
    for (size_t i = 0; i < raw.size(); ++i)
        if (raw[i] == '\n') { ASSERT_TRUE(i > 0 && raw[i - 1] == '\r') << "bare LF at " << i; }
    std::string text = dx::cp::cp1251ToUtf8(raw);
    EXPECT_EQ(dx::cp::utf8ToCp1251(text), raw);
    EXPECT_NE(raw.find(dx::cp::utf8ToCp1251("[поточен печат]")), std::string::npos);
    for (const char *s : {"[Dendrix]\r\n", "[System]\r\n", "[поточен печат]\r\n", "[таксационно описание]\r\n",
                          "[предотделен лист]\r\n", "[export set]\r\n", "[сито работно]\r\n",
                          "\r\nbgname=ДГС Банско\r\n", "\r\ndatabase=database\\BANSKO.DB\r\n",
                          "\r\nzemnom=zemnom\\", "\r\nSaveLastOpen=1\r\n", "\r\nклони=", "\r\np16="})
        EXPECT_NE(text.find(s), std::string::npos) << s;
    auto lines = readCatalogue(dir());
    bool listed = std::any_of(lines.begin(), lines.end(), [](const auto &l) {
        return l.size() == 7 && l[5] == "database\\BANSKO.DB" && l[2] + " " + l[3] == "ДГС Банско";
    });
    EXPECT_TRUE(listed);
}

TEST_F(DemoInstallation, CatalogueHasSevenFieldLinesAndMissingProjects)
{
    std::string raw = readFileBytes(dir() + "/project.conf");
    EXPECT_NE(raw.find(dx::cp::utf8ToCp1251(";РДГ Благоевград;ДГС;Банско;")), std::string::npos);
    EXPECT_EQ(raw.back(), '\n');
    auto lines = readCatalogue(dir());
    ASSERT_GE(lines.size(), 12u);
    int emptyLand = 0, missing = 0;
    for (const auto &l : lines) {
        ASSERT_EQ(l.size(), 7u);
        EXPECT_TRUE(l[0] == "0" || l[0] == "1");
        EXPECT_EQ(l[5].rfind("database\\", 0), 0u) << l[5];
        if (l[6].empty()) ++emptyLand;
        else {
            EXPECT_EQ(l[6].rfind("zemnom\\", 0), 0u) << l[6];
        }
        if (!dx::io::exists(dx::io::resolve(dir(), l[5]))) ++missing;
    }
    EXPECT_GE(emptyLand, 1);
    EXPECT_EQ(missing, int(lines.size()) - 3);
}

TEST_F(DemoInstallation, ProjectTablesHaveTheFieldsInOrderWithTheirTypes)
{
    const std::vector<std::string> names = expectedFieldNames();
    ASSERT_EQ(names.size(), 221u);
    const std::set<std::string> reals = {"PL",         "PLPP1",      "PLPP2",      "OBS_ZALES1", "OBS_ZALES2",
                                         "OBS_ZALES3", "OBS_ZALES4", "OBS_ZALES5"};
    std::set<std::string> texts = {"PODOTD",     "VID_GORI", "VID_PODOTD", "STOP_KLAS", "OBLAST",    "PODPOIAS",
                                   "IZLOJENIE",  "RELEF",    "MESTORAST",  "STROEJ",    "SYSTOIANIE", "PRAVOSTYBL",
                                   "SHEMA",      "POCHVA",   "MEH_SYST",   "KAMENL",    "PLYTNOST",   "DYLBOCHINA",
                                   "VLAJNOST",   "ERO_ST",   "VID_ERO1",   "VID_ERO2",  "OSN_SKALA",  "BOGATSTVO",
                                   "NAS_ZALES",  "PP1",      "PP2",        "SMESVANE",  "SHEMA_ZAL",  "TSEL",
                                   "PASHA"};
    for (int i = 1; i <= 9; ++i) texts.insert(slot("SECH", i));
    for (int i = 1; i <= 7; ++i) texts.insert(slot("NZN", i));
    for (int j = 1; j <= 11; ++j)
        for (const char *s : {"DV", "ET", "POVR"}) texts.insert(slot(s, j));
    for (int k = 1; k <= 5; ++k) texts.insert(slot("OBS_DV", k));
    for (const auto &p : projects()) {
        const auto &fields = p.table.file->fields();
        ASSERT_EQ(fields.size(), 221u) << p.tabl;
        for (size_t i = 0; i < fields.size(); ++i) {
            EXPECT_TRUE(dx::sameFieldName(fields[i].name, names[i])) << p.tabl << ": " << fields[i].name;
            dx::FieldType want = texts.count(names[i])                                         ? dx::FieldType::Text
                                 : reals.count(names[i]) || names[i].rfind("PYLN", 0) == 0 ? dx::FieldType::Real
                                                                                           : dx::FieldType::Integer;
            EXPECT_EQ(int(fields[i].type), int(want)) << p.tabl << ": " << names[i];
        }
    }
}

TEST_F(DemoInstallation, OnlyTheDefaultProjectIsProtectedAndProjectsDifferInSize)
{
    const Project &bansko = byTable("database\\BANSKO.DB");
    EXPECT_THROW(dx::px::read(bansko.path), dx::PasswordError);
    EXPECT_NO_THROW(dx::px::read(byTable("database\\Belovo.db").path));
    EXPECT_EQ(bansko.table.rows(), size_t(kRecords));
    const Project &elena = byTable("database\\elena.dbf");
    EXPECT_LT(elena.table.rows(), bansko.table.rows());
    EXPECT_NE(elena.table.rows(), byTable("database\\Belovo.db").table.rows());
}

TEST_F(DemoInstallation, ReferenceTablesHoldEveryCodeTheProjectsUse)
{
    Loaded names = loadTable(dir() + "/names.dbf");
    std::set<std::string> species = listPrints(names, "dv", true);
    for (const char *type : {"dv", "vs", "ns", "pcp", "sms", "pov"}) {
        EXPECT_FALSE(listPrints(names, type, true).empty()) << type;
        EXPECT_FALSE(listPrints(names, type, false).empty()) << type << " has no CODE 0 row";
    }
    // Damage letters: one letter each, and "ф" deliberately unlisted.
    std::set<std::string> letters;
    for (size_t r = 0; r < names.rows(); ++r)
        if (names.text(r, "TYPE") == "pov" && names.num(r, "CODE") > 0) {
            EXPECT_EQ(dx::cp::utf8Length(names.text(r, "IN2")), 1u);
            letters.insert(names.text(r, "IN2"));
        }
    EXPECT_EQ(letters.count("ф"), 0u);
    // Species groups of forest fund report 2.
    std::map<std::string, std::pair<long long, long long>> groups;
    for (size_t r = 0; r < names.rows(); ++r)
        if (names.text(r, "TYPE") == "dv") groups[names.text(r, "PRINT")] = {names.num(r, "N3"), names.num(r, "N6")};
    // The named coniferous carry their own group, so that "Други иглолистни" (N6 0) holds
    // only the others.
    EXPECT_EQ(groups["Бял бор"], std::make_pair(1LL, 1LL));
    EXPECT_EQ(groups["Зелена дуглазка"], std::make_pair(1LL, 8LL));
    EXPECT_EQ(groups["Клек"], std::make_pair(1LL, 0LL));
    EXPECT_EQ(groups["Бук"], std::make_pair(2LL, 1LL));
    EXPECT_EQ(groups["Зимен дъб"], std::make_pair(2LL, 2LL));
    EXPECT_EQ(groups["Келяв габър"], std::make_pair(2LL, 14LL));
    EXPECT_EQ(groups["Бяла акация"], std::make_pair(2LL, 0LL));
    std::set<long long> broadGroups;
    for (const auto &g : groups)
        if (g.second.first == 2) broadGroups.insert(g.second.second);
    for (long long n = 0; n <= 14; ++n) EXPECT_TRUE(broadGroups.count(n)) << "group " << n;

    const std::set<std::string> cuts = listPrints(names, "vs", true), guides = listPrints(names, "ns", true),
                                preps = listPrints(names, "pcp", true), mixes = listPrints(names, "sms", true);
    int unknownDamage = 0;
    eachRecord(projects(), [&](const Project &p, const Loaded &t, size_t r) {
        for (int j = 1; j <= 11; ++j) {
            std::string dv = t.text(r, slot("DV", j));
            if (dv != "-") { EXPECT_TRUE(species.count(dv)) << p.tabl << " DV " << dv; }
            for (const auto &l : damageLetters(t.text(r, slot("POVR", j)))) {
                if (l == "ф") {
                    ++unknownDamage;
                } else {
                    EXPECT_TRUE(letters.count(l)) << p.tabl << " damage letter " << l;
                }
            }
        }
        for (int k = 1; k <= 5; ++k) {
            std::string dv = t.text(r, slot("OBS_DV", k));
            if (dv != "-") { EXPECT_TRUE(species.count(dv)) << p.tabl << " OBS_DV " << dv; }
        }
        for (int i = 1; i <= 9; ++i) {
            std::string s = t.text(r, slot("SECH", i));
            if (!s.empty() && s != "-" && s != "0") { EXPECT_TRUE(cuts.count(s)) << s; }
        }
        for (const char *f : {"PP1", "PP2"}) {
            std::string s = t.text(r, f);
            if (s != "-" && s != "0") { EXPECT_TRUE(preps.count(s)) << s; }
        }
        std::string g = t.text(r, "NAS_ZALES"), m = t.text(r, "SMESVANE");
        if (g != "-" && g != "0") { EXPECT_TRUE(guides.count(g)) << g; }
        if (m != "-" && m != "0") { EXPECT_TRUE(mixes.count(m)) << m; }
    });
    EXPECT_EQ(unknownDamage, 3) << "one unknown damage letter per project";
}

TEST_F(DemoInstallation, BranchWoodAndSiteClassTablesCoverTheLookupCases)
{
    Loaded kloni = loadTable(dir() + "/kloni.dbf");
    ASSERT_EQ(kloni.file->fields().size(), 5u + 28u);
    EXPECT_TRUE(dx::sameFieldName(kloni.file->fields().back().name, "H30"));
    std::map<std::string, std::vector<std::string>> origins;
    std::set<long long> counts;
    std::set<std::string> shorts;
    for (size_t r = 0; r < kloni.rows(); ++r) {
        origins[kloni.text(r, "NAME")].push_back(kloni.text(r, "PR"));
        if (!kloni.text(r, "PR").empty()) {
            counts.insert(kloni.num(r, "COUNT"));
            if (!kloni.text(r, "SHORT").empty()) shorts.insert(kloni.text(r, "SHORT"));
            for (int h = 3; h <= 30; ++h) {
                long long v = kloni.num(r, slot("H", h));
                EXPECT_TRUE(v > 0 && v < 40) << kloni.text(r, "NAME") << " H" << h;
            }
        }
    }
    EXPECT_EQ(origins["Бук"], (std::vector<std::string>{"12", "34"}));
    int byNumber = 0, byText = 0;
    for (size_t r = 0; r < kloni.rows(); ++r) {
        if (!kloni.text(r, "PR").empty()) continue;
        std::string link = kloni.text(r, "LINK");
        bool numeric = !link.empty() && std::all_of(link.begin(), link.end(), ::isdigit);
        if (numeric) {
            ++byNumber;
            EXPECT_TRUE(counts.count(std::stoll(link))) << link;
        } else {
            ++byText;
            EXPECT_TRUE(shorts.count(link)) << link;
        }
    }
    EXPECT_GT(byNumber, 0);
    EXPECT_GT(byText, 0);
    // Pine at 18 m carries 9 % of branch wood (stock 123 becomes 134).
    for (size_t r = 0; r < kloni.rows(); ++r)
        if (kloni.text(r, "NAME") == "Бял бор") { EXPECT_EQ(kloni.num(r, "H18"), 9); }
    // A species of the projects that has no branch-wood row.
    bool withoutRow = false;
    eachRecord(projects(), [&](const Project &, const Loaded &t, size_t r) {
        for (int j = 1; j <= 11; ++j)
            if (t.num(r, slot("V", j)) > 0 && !origins.count(t.text(r, slot("DV", j)))) withoutRow = true;
    });
    EXPECT_TRUE(withoutRow);

    Loaded bon = loadTable(dir() + "/bon.dbf");
    for (size_t r = 0; r < bon.rows(); ++r)
        for (int b = 1; b < 5; ++b) EXPECT_GT(bon.real(r, slot("B", b)), bon.real(r, slot("B", b + 1)));
}

TEST_F(DemoInstallation, StandsAreConsistent)
{
    // Stock of a slot is its stock per hectare times the area; use is the cutting
    // percentage of the stock. Each project has exactly one record entered against
    // that rule (use without a cutting percentage) and one whose first storey adds up
    // to more than 10.
    for (const auto &p : projects()) {
        int useWithoutPercent = 0, overfullStorey = 0;
        for (size_t r = 0; r < p.table.rows(); ++r) {
            const Loaded &t = p.table;
            double pl = t.real(r, "PL");
            long long per = t.num(r, "SECH_PER");
            long long first = 0, second = 0;
            bool stray = false;
            for (int j = 1; j <= 11; ++j) {
                if (t.text(r, slot("DV", j)) == "-") {
                    EXPECT_EQ(t.num(r, slot("V", j)), 0);
                    continue;
                }
                long long v = t.num(r, slot("V", j)), vha = t.num(r, slot("VHA", j));
                EXPECT_EQ(v, std::llround(vha * pl)) << p.tabl << " " << t.num(r, "OTD") << t.text(r, "PODOTD");
                if (per > 0) {
                    EXPECT_EQ(t.num(r, slot("POLZV", j)), v * per / 100);
                } else if (t.num(r, slot("POLZV", j)) > 0) {
                    stray = true;
                }
                EXPECT_GE(t.num(r, slot("A", j)), 0);
                std::string et = t.text(r, slot("ET", j));
                if (et == "1") first += t.num(r, slot("UCH", j));
                if (et == "2") second += t.num(r, slot("UCH", j));
            }
            useWithoutPercent += stray;
            if (first != 0 && first != 10) ++overfullStorey;
            EXPECT_TRUE(second == 0 || second == 10);
            EXPECT_GE(pl, 0.0);
        }
        EXPECT_EQ(useWithoutPercent, 1) << p.tabl;
        EXPECT_EQ(overfullStorey, 1) << p.tabl;
    }
}

TEST_F(DemoInstallation, CompartmentsHaveGapsAndTableOrderIsNotAlphabetical)
{
    for (const auto &p : projects()) {
        const Loaded &t = p.table;
        std::set<long long> otd;
        std::vector<std::string> second;
        std::set<std::pair<long long, std::string>> pairs;
        int duplicates = 0;
        long long duplicateOtd = 0;
        for (size_t r = 0; r < t.rows(); ++r) {
            otd.insert(t.num(r, "OTD"));
            if (t.num(r, "OTD") == 2) second.push_back(t.text(r, "PODOTD"));
            if (!pairs.insert({t.num(r, "OTD"), t.text(r, "PODOTD")}).second) {
                ++duplicates;
                duplicateOtd = t.num(r, "OTD");
            }
        }
        EXPECT_EQ(*otd.begin(), 1);
        EXPECT_TRUE(otd.count(5) && !otd.count(6) && otd.count(7)) << p.tabl;
        ASSERT_GE(second.size(), 3u);
        EXPECT_EQ(second[0], "в");
        EXPECT_EQ(second[1], "а");
        // A sub-compartment of compartment 2 entered after the whole table.
        EXPECT_EQ(t.num(t.rows() - 1, "OTD"), 2);
        EXPECT_EQ(t.text(t.rows() - 1, "PODOTD"), "3");
        bool dbase = p.tabl == "database\\elena.dbf";
        EXPECT_EQ(duplicates, dbase ? 1 : 0) << p.tabl;
        if (dbase) { EXPECT_NE(duplicateOtd, 1); }
    }
}

TEST_F(DemoInstallation, EveryKindTheReportsDistinguishIsPresent)
{
    std::set<std::string> forest, kinds, owners, designations, further;
    eachRecord(projects(), [&](const Project &, const Loaded &t, size_t r) {
        forest.insert(t.text(r, "VID_GORI"));
        kinds.insert(t.text(r, "VID_PODOTD"));
        owners.insert(t.text(r, "NZN2"));
        designations.insert(t.text(r, "NZN1"));
        for (int i = 3; i <= 7; ++i) further.insert(t.text(r, slot("NZN", i)));
    });
    for (const char *f : {"иглолистни", "широкол. високостъбл.", "реконструкция", "превръщане", "нискостъблени",
                          "тополови"})
        EXPECT_TRUE(forest.count(f)) << f;
    for (const char *k : {"семенно насаждение", "издънково насаждение", "склопена култура", "несклопена култура",
                          "изредена култура", "клек", "сечище", "пожарище", "голина", "нелесопригодна площ",
                          "поляна", "просека", "скали и сипеи"})
        EXPECT_TRUE(kinds.count(k)) << k;
    for (const char *o : {"държавна", "общинска", "частна", "на юридически лица", "религиозна"})
        EXPECT_TRUE(owners.count(o)) << o;
    EXPECT_TRUE(designations.count("дървопроизв.и средообр"));
    EXPECT_GE(designations.size(), 3u);
    EXPECT_TRUE(further.count("-") && further.count("0"));
    EXPECT_GE(further.size(), 5u);
}

// Finds a record of `p` for which `pred(t, r)` holds.
template <class F>
bool anyRecord(const Project &p, F &&pred)
{
    for (size_t r = 0; r < p.table.rows(); ++r)
        if (pred(p.table, r)) return true;
    return false;
}

TEST_F(DemoInstallation, DescriptionEdgeCasesArePresentInEveryProject)
{
    for (const auto &p : projects()) {
        SCOPED_TRACE(p.tabl);
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { // empty slot between filled ones
            for (int j = 2; j < 11; ++j)
                if (t.text(r, slot("DV", j)) == "-" && t.text(r, slot("DV", j - 1)) != "-" &&
                    t.text(r, slot("DV", j + 1)) != "-")
                    return true;
            return false;
        }));
        for (const char *layer : {"надл", "подл", "подр"})
            EXPECT_TRUE(anyRecord(p, [&](const Loaded &t, size_t r) {
                for (int j = 1; j <= 11; ++j)
                    if (t.text(r, slot("ET", j)) == layer) return true;
                return false;
            })) << layer;
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { // carried height and diameter, repeated age
            return t.text(r, "ET2") == "1" && t.num(r, "UCH2") > 0 && t.num(r, "D2") == 0 && t.num(r, "H2") == 0 &&
                   t.num(r, "D1") > 0 && t.num(r, "A1") == t.num(r, "A2");
        }));
        auto storeyStock = [](const Loaded &t, size_t r, const char *et) {
            long long v = 0;
            for (int j = 1; j <= 11; ++j)
                if (t.text(r, slot("ET", j)) == et) v += t.num(r, slot("V", j));
            return v;
        };
        EXPECT_TRUE(anyRecord(p, [&](const Loaded &t, size_t r) { return storeyStock(t, r, "2") == 50; }));
        EXPECT_TRUE(anyRecord(p, [&](const Loaded &t, size_t r) { return storeyStock(t, r, "2") == 51; }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "DV1") == "Бял бор" && t.num(r, "V1") == 123 && t.num(r, "H1") == 18;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { return t.real(r, "PL") == 0.0; }));
        EXPECT_TRUE(anyRecord(p, [&](const Loaded &t, size_t r) {
            long long z = t.num(r, "ZEML");
            return z > 0 && !p.landNumbers.count(z);
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { return t.num(r, "ZEML") == 0; }));
        std::set<std::string> damages;
        for (size_t r = 0; r < p.table.rows(); ++r)
            for (int j = 1; j <= 11; ++j) damages.insert(p.table.text(r, slot("POVR", j)));
        for (const char *d : {"213", "10", "1к", "000", "л2ф", "с3гв", "н10кд", "-"}) EXPECT_TRUE(damages.count(d)) << d;
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "SECH1") == "прореждане" && t.text(r, "SECH2") == "-" &&
                   t.text(r, "SECH3") == "санитарна сеч" && t.text(r, "SECH4").empty() && t.text(r, "SECH5") == "0";
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "OBLAST") == "-" && t.text(r, "PODPOIAS") == "-" && t.text(r, "PP1") == "-" &&
                   t.text(r, "PRAVOSTYBL") != "-" && t.text(r, "PRAVOSTYBL") != "0";
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "POCHVA") == "-" && t.text(r, "MEH_SYST") != "-" &&
                   t.text(r, "MESTORAST").find(' ') == std::string::npos && t.text(r, "MESTORAST").size() > 1;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "MESTORAST").find(' ') != std::string::npos;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "PP1") != "-" && t.text(r, "PP2") != "-" && t.text(r, "PP2") != "0" &&
                   t.text(r, "SHEMA_ZAL") != "-";
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { // future: gap and share 0 with an area
            return t.text(r, "OBS_DV2") == "-" && t.text(r, "OBS_DV3") != "-" && t.num(r, "OBS_UCH3") == 0 &&
                   t.real(r, "OBS_ZALES3") > 0;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            for (int k = 1; k <= 5; ++k)
                if (t.text(r, slot("OBS_DV", k)) != "-") return false;
            return true;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { // no filled slot at all
            for (int j = 1; j <= 11; ++j)
                if (t.text(r, slot("DV", j)) != "-") return false;
            return true;
        }));
    }
}

TEST_F(DemoInstallation, ReportAndListEdgeCasesArePresentInEveryProject)
{
    for (const auto &p : projects()) {
        SCOPED_TRACE(p.tabl);
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "VID_GORI") == "иглолистни" && t.text(r, "VID_PODOTD") == "семенно насаждение" &&
                   t.real(r, "PYLN1") == 0 && t.real(r, "PYLN2") == 5;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { return t.real(r, "PYLN1") >= 11; }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "VID_GORI") == "превръщане" && t.text(r, "VID_PODOTD") == "склопена култура";
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.real(r, "PL") == 2.0 && t.text(r, "DV1") == "Зимен дъб" && t.num(r, "A1") == 20 && t.num(r, "UCH1") == 5 &&
                   t.num(r, "PR1") == 1;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { // coppice oak and pine in reconstruction
            return t.text(r, "VID_GORI") == "реконструкция" && t.text(r, "DV1") == "Зимен дъб" && t.num(r, "PR1") == 3 &&
                   t.text(r, "DV2") == "Черен бор" && t.text(r, "ET2") == "1";
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "VID_GORI") == "реконструкция" && t.text(r, "VID_PODOTD") == "нелесопригодна площ";
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "ET1") == "1" && t.num(r, "A1") == 170 && t.num(r, "H2") > 30;
        }));
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) { return t.num(r, "UCH1") > 0 && t.num(r, "PR2") == 0 && t.text(r, "DV2") == "Бук"; }));
        bool secondStoreyOnly = false;
        for (const char *dv : {"Дрян"}) {
            bool inFirst = false, inSecond = false;
            for (size_t r = 0; r < p.table.rows(); ++r)
                for (int j = 1; j <= 11; ++j)
                    if (p.table.text(r, slot("DV", j)) == dv) (p.table.text(r, slot("ET", j)) == "1" ? inFirst : inSecond) = true;
            secondStoreyOnly = inSecond && !inFirst;
        }
        EXPECT_TRUE(secondStoreyOnly);
        EXPECT_TRUE(anyRecord(p, [](const Loaded &t, size_t r) {
            return t.text(r, "ERO_ST") == "ерозия II ст" && t.text(r, "VID_ERO1") == "2струйчеста ерозия" &&
                   t.text(r, "PP1") == "машинни тераси" && t.real(r, "OBS_ZALES1") > 0;
        }));
        std::set<long long> slopes, altitudes;
        std::set<std::string> exposures;
        for (size_t r = 0; r < p.table.rows(); ++r) {
            slopes.insert(p.table.num(r, "NAKLON"));
            altitudes.insert(p.table.num(r, "NADM_VIS"));
            exposures.insert(p.table.text(r, "IZLOJENIE"));
        }
        for (long long s : {4, 5, 30, 31}) EXPECT_TRUE(slopes.count(s)) << s;
        EXPECT_TRUE(altitudes.count(0));
        EXPECT_TRUE(exposures.count("равно") && exposures.count("западно") && exposures.count("северно"));
        if (p.tabl == "database\\elena.dbf") {
            for (long long a : {50, 51, 100}) EXPECT_TRUE(altitudes.count(a)) << a;
        }
    }
}

} // namespace
