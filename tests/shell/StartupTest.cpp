// The loading sequence as `dendrix-cli startup` runs it: one broken installation per
// start-up failure, the messages in the order the user would see them, and the outcome
// (1: the program ends, 2: the sequence stops, 0: loaded).
#include "core/ProfileFile.h"
#include "demo/DemoData.h"
#include "engine/dbf/DbfFile.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Startup {
    int status = -1;
    std::vector<std::string> messages; // "CAPTION\tTEXT"
    std::string caption, compartments, subcompartments, counts;
};

Startup startup(const std::string &dir)
{
    dxtest::CliRun r = dxtest::runCli("-C '" + dir + "' startup");
    Startup s;
    s.status = r.status;
    std::istringstream in(r.out);
    std::string line;
    while (std::getline(in, line)) {
        auto tab = line.find('\t');
        std::string kind = line.substr(0, tab), rest = tab == std::string::npos ? "" : line.substr(tab + 1);
        if (kind == "message") s.messages.push_back(rest);
        else if (kind == "caption") s.caption = rest;
        else if (kind == "compartments") s.compartments = rest;
        else if (kind == "subcompartments") s.subcompartments = rest;
        else if (kind == "status") s.counts = rest;
    }
    return s;
}

class StartupCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dx::DemoOptions o;
        o.records = 60;
        dx::createDemoInstallation(dir.path(), o);
    }
    std::string file(const std::string &name) const { return dir.file(name); }
    void replaceWithGarbage(const std::string &name) const
    {
        std::ofstream(file(name), std::ios::binary | std::ios::trunc) << "this is not a table at all";
    }
    void setDatabase(const QString &value) const
    {
        dx::writeProfileString(QString::fromStdString(file("Dendrix.ini")), "Dendrix", "database", value);
    }
    dxtest::TempDir dir;
};

const std::string kMissingNames =
    "Липсващ файл!\tЛипсва номенклатурен файл NAMES.DBF! Възтановете файла и опитайте отново. ";

std::string missingFile(const std::string &path)
{
    return "Липсващ файл!\tЛипсва файл " + path + "! Възтановете файла и опитайте отново.";
}

std::string cannotOpenReference(const std::string &path)
{
    return "Номенклатурен файл\tФайл " + path + " неможе да бъде отворен! Рестартирайте програмата и опитайте отново.";
}

} // namespace

TEST_F(StartupCli, DemoInstallationLoadsWithoutMessages)
{
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(s.caption, "Dendrix 1.8  - ДГС Банско 2019");
    EXPECT_EQ(s.compartments.substr(0, 2), "1\t");
    EXPECT_FALSE(s.subcompartments.empty());
    EXPECT_EQ(s.subcompartments.substr(0, 2), "а"); // Cyrillic, in table order
    EXPECT_EQ(s.counts.rfind("отдели:", 0), 0u);
    EXPECT_NE(s.counts.find(", подотдели:60, площ:"), std::string::npos);
    EXPECT_EQ(s.counts.substr(s.counts.size() - 3), " xa");
}

TEST_F(StartupCli, NomenclatureMissingEndsTheProgramButTheRestStillLoads)
{
    fs::remove(file("names.dbf"));
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], kMissingNames);
    EXPECT_FALSE(s.counts.empty()); // ending takes effect only after the sequence
}

TEST_F(StartupCli, NomenclatureThatDoesNotOpenEndsTheProgram)
{
    replaceWithGarbage("names.dbf");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], "Dendrix\tCannot open table names.dbf!");
}

TEST_F(StartupCli, MissingSiteClassOrBranchWoodTableShowsBothBoxesThenEnds)
{
    for (const char *name : {"bon.dbf", "kloni.dbf"}) {
        SCOPED_TRACE(name);
        dxtest::TempDir other;
        dx::DemoOptions o;
        o.records = 60;
        dx::createDemoInstallation(other.path(), o);
        fs::remove(other.file(name));
        Startup s = startup(other.path());
        EXPECT_EQ(s.status, 1);
        ASSERT_EQ(s.messages.size(), 2u);
        EXPECT_EQ(s.messages[0], missingFile(other.file(name)));
        EXPECT_EQ(s.messages[1], cannotOpenReference(other.file(name)));
        EXPECT_TRUE(s.compartments.empty() || s.compartments == "0\t0\t0");
    }
}

TEST_F(StartupCli, SiteClassOrBranchWoodTableThatDoesNotOpenStopsTheSequence)
{
    replaceWithGarbage("kloni.dbf");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 2);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], cannotOpenReference(file("kloni.dbf")));
    EXPECT_EQ(s.caption, "Dendrix "); // the settings were never read
}

TEST_F(StartupCli, TablesFolderThatCannotBeCreatedStopsTheSequence)
{
    fs::remove_all(file("Tables"));
    std::ofstream(file("Tables")) << "a file where the folder should be";
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 2);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], "Dendrix\tНеможе да бъде създадена директория " + file("Tables") + ".");
}

TEST_F(StartupCli, TablesFolderIsCreatedWhenMissing)
{
    fs::remove_all(file("Tables"));
    EXPECT_EQ(startup(dir.path()).status, 0);
    EXPECT_TRUE(fs::is_directory(file("Tables")));
}

TEST_F(StartupCli, MissingSettingsFileStopsTheSequence)
{
    fs::remove(file("Dendrix.ini"));
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 2);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0],
              "Лиспващ файл\tЛипсва инициализиращ файл Dendrix.ini! Възтановете файла и опитайте отново. ");
}

TEST_F(StartupCli, MissingProjectTableEndsAfterEveryFollowingStepReports)
{
    setDatabase("database\\NOSUCH.DB");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    const std::string path = file("database/NOSUCH.DB");
    ASSERT_EQ(s.messages.size(), 3u);
    EXPECT_EQ(s.messages[0], missingFile(path));
    EXPECT_EQ(s.messages[1], "Dendrix\tCannot open table " + path + "!");
    EXPECT_EQ(s.messages[2], "Error\tГрешка в базата данни!");
}

TEST_F(StartupCli, SettingsWithoutDatabaseKeyLookForTheFileMinusOne)
{
    std::ofstream(file("Dendrix.ini"), std::ios::binary | std::ios::trunc) << "[Dendrix]\r\nbgname=X\r\n";
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    ASSERT_FALSE(s.messages.empty());
    EXPECT_EQ(s.messages[0], missingFile(file("-1")));
}

TEST_F(StartupCli, ProjectTableThatDoesNotOpenEndsTheProgram)
{
    replaceWithGarbage("database/BANSKO.DB");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    const std::string path = file("database/BANSKO.DB");
    ASSERT_EQ(s.messages.size(), 2u);
    EXPECT_EQ(s.messages[0], "Dendrix\tCannot open table " + path + "!");
    EXPECT_EQ(s.messages[1], "Error\tГрешка в базата данни!");
}

TEST_F(StartupCli, ProjectTableWithoutKeyFieldsIsADatabaseError)
{
    // A reference table is a valid table, but no project table.
    setDatabase("bon.dbf");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 2);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], "Error\tГрешка в базата данни!");
    EXPECT_TRUE(s.counts.empty());
}

TEST_F(StartupCli, EveryKindOfProjectTableLoads)
{
    for (const char *table : {"database\\Belovo.db", "database\\elena.dbf", "DATABASE\\bansko.db"}) {
        SCOPED_TRACE(table);
        setDatabase(table);
        Startup s = startup(dir.path());
        EXPECT_EQ(s.status, 0);
        EXPECT_TRUE(s.messages.empty());
        EXPECT_FALSE(s.subcompartments.empty());
    }
}

TEST_F(StartupCli, WorkingDirectoryIsTheProgramDirectory)
{
    dxtest::CliRun r = dxtest::runCli("startup", dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("message\t"), std::string::npos);
    dxtest::TempDir empty;
    dxtest::CliRun elsewhere = dxtest::runCli("startup", empty.path());
    EXPECT_EQ(elsewhere.status, 1); // nothing there: names.dbf is missing first
    EXPECT_EQ(elsewhere.out.rfind("message\t" + kMissingNames, 0), 0u);
}

TEST_F(StartupCli, NoCatalogueAndNoLandAreaFileAreNormal)
{
    fs::remove(file("project.conf"));
    dx::writeProfileString(QString::fromStdString(file("Dendrix.ini")), "Dendrix", "zemnom", "zemnom\\none.dbf");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(dxtest::runCli("-C '" + dir.path() + "' zemname 2676").out, "2676\n");
}

TEST_F(StartupCli, SettingsFileInUtf8IsRefusedWithAClearMessage)
{
    std::ofstream(file("Dendrix.ini"), std::ios::binary | std::ios::trunc)
        << "[Dendrix]\r\nbgname=ДГС Банско\r\nyaer=2019\r\ndatabase=database\\BANSKO.DB\r\n";
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 2);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_NE(s.messages[0].find("Dendrix.ini"), std::string::npos);
}

TEST_F(StartupCli, ProjectTableMissingDescriptionFieldsLoadsWithAWarning)
{
    using dx::FieldType;
    std::vector<dx::FieldDef> fields = {dx::makeField("OTD", FieldType::Integer, 4),
                                        dx::makeField("PODOTD", FieldType::Text, 3),
                                        dx::makeField("PL", FieldType::Real, 8, 2)};
    std::vector<dx::Row> rows = {{dx::Value::fromInt(7), dx::Value::fromText("б"), dx::Value::fromReal(2.5)},
                                 {dx::Value::fromInt(7), dx::Value::fromText("а"), dx::Value::fromReal(1.25)}};
    dx::dbf::create(file("database/small.dbf"), fields, rows);
    setDatabase("database\\small.dbf");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 0);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0].rfind("Dendrix\tВ таблицата " + file("database/small.dbf") + " липсват 218 полета: GSU, ZEML,", 0), 0u);
    EXPECT_EQ(s.compartments, "7\t7\t1");
    EXPECT_EQ(s.subcompartments, "б,а");
    EXPECT_EQ(s.counts, "отдели:1, подотдели:2, площ:3.8 xa"); // 3.75 rounds away from zero
}

TEST_F(StartupCli, EmptyProjectTableLoadsEmptyLists)
{
    dx::dbf::create(file("database/empty.dbf"),
                    {dx::makeField("OTD", dx::FieldType::Integer, 4), dx::makeField("PODOTD", dx::FieldType::Text, 3)});
    setDatabase("database\\empty.dbf");
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.compartments, "0\t0\t0");
    EXPECT_EQ(s.subcompartments, "");
}

namespace {

void cutToHalf(const std::string &path)
{
    const auto size = fs::file_size(path);
    fs::resize_file(path, size / 2);
}

std::string damaged(const std::string &path, const std::string &what)
{
    return "Повреден файл\tФайлът " + path + " е повреден: " + what + ". Прочетени са само здравите записи.";
}

} // namespace

TEST_F(StartupCli, ProjectTableCutShortIsReportedAndNeverPassesForWhole)
{
    setDatabase("database\\elena.dbf");
    const std::string path = file("database/elena.dbf");
    const std::string whole = startup(dir.path()).subcompartments;
    cutToHalf(path);
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    ASSERT_EQ(s.messages.size(), 1u);
    const std::string expected = damaged(path, "the header counts 60 records but the file holds only ");
    EXPECT_EQ(s.messages[0].rfind(expected.substr(0, expected.find(". Прочетени")), 0), 0u) << s.messages[0];
    // The records that could be read are still shown, in their order.
    EXPECT_EQ(s.subcompartments, whole);
    EXPECT_EQ(s.counts.find("подотдели:60,"), std::string::npos) << s.counts;
    EXPECT_NE(s.counts.find("подотдели:"), std::string::npos) << s.counts;
}

TEST_F(StartupCli, ParadoxProjectTableWithoutItsFirstBlockIsReported)
{
    const std::string path = file("database/BANSKO.DB");
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0x0E);
    f.write("\0\0", 2);
    f.close();
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], damaged(path, "the header counts 60 records but the block chain holds 0 (the chain is broken)"));
    EXPECT_EQ(s.subcompartments, "");
}

TEST_F(StartupCli, NomenclatureWithAFieldOfWidthZeroDoesNotOpen)
{
    const std::string path = file("names.dbf");
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(32 + 16); // the first field's width
    f.write("\0", 1);
    f.close();
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 1);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], "Dendrix\tCannot open table names.dbf!");
}

// Several programs starting together on an installation without "Tables": each one may
// find the folder made by another between its look and its own attempt.
TEST_F(StartupCli, ProgramsStartingTogetherAllCreateTheTablesFolder)
{
    int failed = 0, runs = 0;
    for (int round = 0; round < 25; ++round) {
        fs::remove_all(file("Tables"));
        std::string cmd = "cd '" + dir.path() + "' && for i in 1 2 3 4 5 6 7 8; do ( '" + std::string(DX_CLI_PATH) +
                          "' startup >/dev/null 2>&1; echo $? ) & done; wait";
        dxtest::CliRun r = dxtest::runShell(cmd);
        std::istringstream in(r.out);
        std::string status;
        while (std::getline(in, status)) {
            ++runs;
            if (status != "0") ++failed;
        }
    }
    EXPECT_EQ(runs, 200);
    EXPECT_EQ(failed, 0);
    EXPECT_TRUE(fs::is_directory(file("Tables")));
}

// ---- files that are not what they should be ---------------------------------------
// Each case runs under `timeout`: a start-up that waits on a named pipe never returns,
// and that is the fault these cases catch (status 124).

namespace {

// The start-up's output with its message details (stderr), as one text.
std::string startupWithDetails(const std::string &dir)
{
    return dxtest::runShell("timeout 30 " DX_CLI_PATH " -C '" + dir + "' startup 2>&1").out;
}

int startupStatus(const std::string &dir)
{
    return dxtest::runShell("timeout 30 " DX_CLI_PATH " -C '" + dir + "' startup >/dev/null 2>&1").status;
}

} // namespace

TEST_F(StartupCli, NamedPipesInPlaceOfSettingsOrCatalogueAreRefusedNotWaitedOn)
{
    fs::remove(file("Dendrix.ini"));
    ASSERT_EQ(mkfifo(file("Dendrix.ini").c_str(), 0600), 0);
    EXPECT_EQ(startupStatus(dir.path()), 2);
    const std::string settings = startupWithDetails(dir.path());
    EXPECT_NE(settings.find("Dendrix.ini не може да бъде прочетен: това е именуван канал"), std::string::npos)
        << settings;

    // A catalogue that is a pipe: the message names it, the project itself still loads.
    dxtest::TempDir other;
    dx::DemoOptions o;
    o.records = 60;
    dx::createDemoInstallation(other.path(), o);
    fs::remove(other.file("project.conf"));
    ASSERT_EQ(mkfifo(other.file("project.conf").c_str(), 0600), 0);
    EXPECT_EQ(startupStatus(other.path()), 0);
    const std::string catalogue = startupWithDetails(other.path());
    EXPECT_NE(catalogue.find("project.conf: this is a named pipe"), std::string::npos) << catalogue;
}

TEST_F(StartupCli, SettingsFileLargerThanAnyRealOneIsRefusedWithItsSize)
{
    // A valid settings file padded with a comment to two megabytes.
    std::string text = "[Dendrix]\r\nbgname=X\r\nyaer=2019\r\ndatabase=database\\BANSKO.DB\r\n;";
    text.append(dx::kMaxProfileFileSize, 'x');
    std::ofstream(file("Dendrix.ini"), std::ios::binary | std::ios::trunc) << text << "\r\n";
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 2);
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_NE(s.messages[0].find("Dendrix.ini"), std::string::npos) << s.messages[0];
    EXPECT_NE(s.messages[0].find(std::to_string(text.size() + 2) + " байта"), std::string::npos) << s.messages[0];
}

TEST_F(StartupCli, FolderWhereTheProjectTableShouldBeIsCalledAFolder)
{
    fs::remove(file("database/BANSKO.DB"));
    fs::create_directory(file("database/BANSKO.DB"));
    const std::string out = startupWithDetails(dir.path());
    EXPECT_NE(out.find("BANSKO.DB: this is a folder, not a file"), std::string::npos) << out;
    EXPECT_EQ(out.find("does not exist"), std::string::npos) << out;
}

TEST_F(StartupCli, SettingsWithoutDatabaseKeySayWhichKeyIsMissing)
{
    std::ofstream(file("Dendrix.ini"), std::ios::binary | std::ios::trunc) << "[Dendrix]\r\nbgname=X\r\n";
    const std::string out = startupWithDetails(dir.path());
    // Every box about the project table says why, instead of naming a file "-1".
    size_t n = 0;
    for (size_t at = 0; (at = out.find("липсва ключът „database“ в раздел [Dendrix]", at)) != std::string::npos; ++at)
        ++n;
    EXPECT_EQ(n, 3u) << out;
    EXPECT_EQ(out.find("-1: the table file does not exist"), std::string::npos) << out;
}

TEST_F(StartupCli, AbsoluteProjectTablePathIsTakenAsWritten)
{
    dxtest::TempDir elsewhere;
    fs::copy_file(file("database/BANSKO.DB"), elsewhere.file("X.DB"));
    fs::remove(file("database/BANSKO.DB"));
    setDatabase(QString::fromStdString(elsewhere.file("X.DB")));
    Startup s = startup(dir.path());
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(s.messages.empty()) << s.messages.front();
    EXPECT_EQ(s.counts.rfind("отдели:", 0), 0u) << s.counts;
    // The same with Windows separators, as a settings file copied from there holds it.
    setDatabase(QString::fromStdString(elsewhere.file("X.DB")).replace('/', '\\'));
    EXPECT_EQ(startup(dir.path()).status, 0);
}
