// dendrix-cli header, composition, future and damage over the demo installation's
// showcase sub-compartments, and the exit statuses of pairs that cannot be shown.
#include "demo/DemoData.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace {

class DescriptionCli : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new dxtest::TempDir;
        dx::createDemoInstallation(dir_->path(), {60, 7});
    }
    static void TearDownTestSuite() { delete dir_; }
    static dxtest::CliRun run(const std::string &args) { return dxtest::runCli("-C '" + dir_->path() + "' " + args); }
    static bool has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

    static dxtest::TempDir *dir_;
};

dxtest::TempDir *DescriptionCli::dir_ = nullptr;

} // namespace

TEST_F(DescriptionCli, HeaderBoxesInScreenOrder)
{
    dxtest::CliRun r = run("header 3 в");
    ASSERT_EQ(r.status, 0);
    std::string names;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) names += line.substr(0, line.find('\t')) + ",";
    EXPECT_EQ(names, "caption,EditArea,EditGTU,EditZEM,EditVP,EditSK,EditSB,EditVG,EditFUN,MemoPol,MemoSoil,"
                     "EditMest,EditSech,EditNasZal,EditPP,");
    EXPECT_TRUE(has(r.out, " [3:в]\nEditArea\t3.2 ха\n"));
    EXPECT_TRUE(has(r.out, "m н.в., наклон ")); // no region: the short position form
    EXPECT_TRUE(has(r.out, "\nEditPP\tправостъбленост добра\n"));
    EXPECT_TRUE(has(run("header 3 г").out, "\nMemoSoil\t\nEditMest\t    (Д3)\n"));
}

TEST_F(DescriptionCli, CompositionFutureAndDamage)
{
    dxtest::CliRun a = run("composition 2 а");
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.out.substr(0, a.out.find('\n')), "ET\tDV\tPOVR\tU\tPR\tPYL\tA\tD\tH\tB\tV1\tV\tVKLONI\tPOLZ1\tPOLZ2\tPKLONI");
    // The oak carries the beech's diameter and height, its age is the same; a cell's own
    // trailing blank stays.
    EXPECT_TRUE(has(a.out, "\n\tЗимен дъб\tл2к\t3\tсем\t0.7 \t-\t26\t22\t"));
    EXPECT_TRUE(has(a.out, "\n\tвсичко\t"));
    EXPECT_TRUE(has(run("composition 2 в").out, "\t123\t130\t")); // 123 + 11, tens
    // The same with the program directory given relative to the working directory.
    const std::filesystem::path dir(dir_->path());
    dxtest::CliRun rel = dxtest::runCli("-C '" + dir.filename().string() + "' composition 2 в", dir.parent_path().string());
    EXPECT_TRUE(has(rel.out, "\t123\t130\t"));

    dxtest::CliRun f = run("future 3 б");
    EXPECT_EQ(f.out, "DV\tUCH\tB\tA\nСмърч\t6\t2\t1.5\nБук\t-\t-\t0.6\nЕла\t4\t2\t1.0\n");

    EXPECT_EQ(run("damage н10кд").out, "загинали, 100%, корояди, освен това повреди от дивеч\n");
    EXPECT_EQ(run("damage л2ф").out, "леко повредени, 20%, неизвестна повреда (ф)\n");
}

TEST_F(DescriptionCli, PairsThatCannotBeShown)
{
    for (std::string command : {"header ", "composition ", "future "}) {
        for (const char *pair : {"2 я", "2 a", "99 а"}) { // no record; a Latin a; no compartment
            dxtest::CliRun r = run(command + pair);
            EXPECT_EQ(r.status, 1) << command << pair;
            EXPECT_EQ(r.out, "") << command << pair;
        }
        EXPECT_EQ(run(command + "x2 а").status, 2);
        EXPECT_EQ(run(command + "2").status, 2);
    }
}
