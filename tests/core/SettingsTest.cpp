// The settings file: defaults for whatever is missing, the flag and integer rules, and
// writers that change only their own keys.

// The demo headers come before any Qt header: a demo record has a member named `slots`,
// which Qt defines as a macro.
#include "demo/DemoSettings.h"

#include "core/Settings.h"

#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

using namespace dx;

namespace {

QString settingsIn(const dxtest::TempDir &dir, const std::string &utf8)
{
    io::writeFileAtomic(dir.file("Dendrix.ini"), cp::utf8ToCp1251(utf8));
    return QString::fromStdString(dir.file("Dendrix.ini"));
}

} // namespace

TEST(Settings, OnlyTheProjectSectionGivesEveryDefault)
{
    dxtest::TempDir dir;
    ProfileFile file = ProfileFile::load(settingsIn(dir, "[Dendrix]\r\nbgname=ДГС Банско\r\nyaer=2019\r\nzemnom=\r\n"));
    AppSettings s = readStartupSettings(file);
    EXPECT_EQ(s.project, (ProjectIdentity{"ДГС Банско", "2019", "-1", ""}));
    EXPECT_FALSE(s.saveLastOpen);
    EXPECT_EQ(s.rangePrint, RangePrintChoices{});
    const PageSettings defaults{20, 10, 10, 10, 1, "Arial", 9};
    EXPECT_EQ(s.description, defaults);
    EXPECT_EQ(s.sheet, defaults);
    EXPECT_EQ(readExportChoices(file), (std::array<bool, 16>{}));
    EXPECT_EQ(readSieveFields(file), "0,1,2");
}

TEST(Settings, FlagsAreOnOnlyAtOneAndBadNumbersTakeDefaults)
{
    dxtest::TempDir dir;
    QString path = settingsIn(dir, "[ПОТОЧЕН ПЕЧАТ]\r\nвсички= 1 \r\nпредотделен=2\r\nклони=да\r\nДвустранно=01\r\n"
                                   "[таксационно описание]\r\nLeft=двадесет\r\nTop=15\r\nCopyes=-3\r\n"
                                   "Font= Times New Roman \r\nFontSize=9.5\r\n");
    AppSettings s = readStartupSettings(ProfileFile::load(path));
    EXPECT_EQ(s.rangePrint, (RangePrintChoices{true, false, false, true, false, "", ""}));
    EXPECT_EQ(s.description, (PageSettings{20, 10, 15, 10, -3, "Times New Roman", 9}));
}

TEST(Settings, WrittenChoicesReadBack)
{
    dxtest::TempDir dir;
    QString path = settingsIn(dir, "[Dendrix]\r\nbgname=x\r\n");
    const ProjectIdentity project{"ДГС Белово", "2016", "database\\Belovo.db", ""};
    const RangePrintChoices range{true, false, true, false, true, "3", "17"};
    const PageSettings sheet{15, 11, 12, 13, 2, "Courier New", 11};
    std::array<bool, 16> parts{};
    parts[0] = parts[9] = parts[15] = true;
    writeSaveLastOpen(path, true);
    writeProjectIdentity(path, project);
    writeRangePrintChoices(path, range);
    writePageSettings(path, ini::kSheetPage, sheet);
    writeExportChoices(path, parts);
    writeSieveFields(path, "0,1,2,5");

    const std::string bytes = io::readFile(dir.file("Dendrix.ini"));
    EXPECT_NE(bytes.find("[System]\r\nSaveLastOpen=1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find(cp::utf8ToCp1251("[предотделен лист]\r\nLeft=15\r\n")), std::string::npos);

    ProfileFile file = ProfileFile::load(path);
    AppSettings s = readStartupSettings(file);
    EXPECT_TRUE(s.saveLastOpen);
    EXPECT_EQ(s.project, project);
    EXPECT_EQ(s.rangePrint, range);
    EXPECT_EQ(s.sheet, sheet);
    EXPECT_EQ(s.description, PageSettings{});
    EXPECT_EQ(readExportChoices(file), parts);
    EXPECT_EQ(readSieveFields(file), "0,1,2,5");

    writeSaveLastOpen(path, false);
    EXPECT_FALSE(readStartupSettings(ProfileFile::load(path)).saveLastOpen);
}

TEST(Settings, BranchesWriteTouchesOnlyItsLine)
{
    dxtest::TempDir dir;
    demo::writeSettings(dir.file("Dendrix.ini"), demo::demoProjects(50).front());
    const QString path = QString::fromStdString(dir.file("Dendrix.ini"));
    const std::string before = io::readFile(dir.file("Dendrix.ini"));
    AppSettings s = readStartupSettings(ProfileFile::load(path));
    EXPECT_TRUE(s.rangePrint.branches);
    EXPECT_EQ(s.sheet.font, "Times New Roman");

    writeBranches(path, false);
    std::string expected = before;
    const std::string line = cp::utf8ToCp1251("клони=1");
    expected.replace(expected.find(line), line.size(), cp::utf8ToCp1251("клони=0"));
    EXPECT_EQ(io::readFile(dir.file("Dendrix.ini")), expected);
}
