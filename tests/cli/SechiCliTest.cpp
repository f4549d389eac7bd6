// dendrix-cli cuttings-list and measures-list on the demo: the form of the output, every
// cutting sub-compartment once and in table order, values that try to leave their
// quotes, and the usage errors.
#include "demo/DemoData.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class SechiCli : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new dxtest::TempDir;
        dx::DemoOptions o;
        o.records = 200;
        dx::createDemoInstallation(dir->path(), o);
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    static dxtest::CliRun run(const std::string &args) { return dxtest::runCli("-C '" + dir->path() + "' " + args); }
    static inline dxtest::TempDir *dir = nullptr;
};

TEST_F(SechiCli, CuttingsAreTheSubCompartmentsWithAFirstCutting)
{
    const dxtest::CliRun list = run("cuttings-list");
    ASSERT_EQ(list.status, 0);
    const std::vector<std::string> got = lines(list.out);
    ASSERT_GT(got.size(), 1u);
    EXPECT_EQ(got[0], "подотдел\tгодина\tвид сеч");
    // The same sub-compartments, in the same order, as local SQL finds them.
    const dxtest::CliRun sql =
        run("sql 'select OTD, PODOTD from \"database\\BANSKO.DB\" where SECH1<>\"-\"'");
    ASSERT_EQ(sql.status, 0);
    const std::vector<std::string> keys = lines(sql.out);
    ASSERT_EQ(keys.size(), got.size());
    for (size_t i = 1; i < got.size(); ++i) {
        std::string key = keys[i];
        key[key.find('\t')] = ':';
        EXPECT_EQ(got[i].substr(0, got[i].find('\t')), key) << i;
        EXPECT_EQ(got[i].find(", ,"), std::string::npos) << got[i];
        EXPECT_EQ(got[i].find("\t0\t"), std::string::npos) << got[i];
    }
}

TEST_F(SechiCli, QuotesAndStatementsInAValueMatchNothing)
{
    const std::string titles = "отдел\tподотдел\tплощ\tсхема\tд.вид 1  \tуч\tбo\tплощ\tд.вид 2  \tуч\tплощ\t"
                               "д.вид 3  \tуч\tплощ\tд.вид 4  \tуч\tплощ\tд.вид 5  \tуч\tплощ\n";
    for (const char *value : {"'x\" or \"1\"=\"1'", "'x\" or 1=1 --'", "'\"; drop table x; select \"'"}) {
        const dxtest::CliRun r = run(std::string("measures-list --attribute 3 --value ") + value);
        EXPECT_EQ(r.status, 0) << value;
        EXPECT_EQ(r.out, titles) << value;
    }
    const dxtest::CliRun r = run("cuttings-list --attribute 20 --value 'Разлог\" or \"1\"=\"1'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "подотдел\tгодина\tвид сеч\n");
}

TEST_F(SechiCli, UsageErrors)
{
    for (const char *args : {"cuttings-list --attribute 3", "measures-list --value ИДГ",
                             "cuttings-list --attribute 0 --value x", "cuttings-list --attribute 22 --value x",
                             "measures-list --attribute three --value x", "cuttings-list --all"}) {
        const dxtest::CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.out.empty()) << args;
    }
    const dxtest::CliRun missing = dxtest::runCli("-C '" + dir->path() + "/none' cuttings-list");
    EXPECT_EQ(missing.status, 1);
}

} // namespace
