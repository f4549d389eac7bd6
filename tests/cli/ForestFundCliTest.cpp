// dendrix-cli ogf1 and ogf2 on the demo: the output's form, cells checked against sums
// that local SQL makes independently, the ownership options and their bad input.
#include "demo/DemoData.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
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

std::vector<std::string> cells(const std::string &line)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        out.push_back(line.substr(start, tab - start));
    out.push_back(line.substr(start));
    return out;
}

class ForestFundCli : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new dxtest::TempDir;
        dx::DemoOptions o;
        o.records = 400;
        dx::createDemoInstallation(dir->path(), o);
    }
    static void TearDownTestSuite() { delete dir; }
    static dxtest::CliRun cli(const std::string &args) { return dxtest::runCli("-C '" + dir->path() + "' " + args); }
    // stdout and stderr together, and the status.
    static dxtest::CliRun both(const std::string &args)
    {
        return dxtest::runShell(std::string(DX_CLI_PATH) + " -C '" + dir->path() + "' " + args + " 2>&1");
    }
    // The one value of a sum over the default project, as "%.1f" would show it; "" for none.
    static std::string sqlSum(const std::string &where)
    {
        const dxtest::CliRun r = cli("sql 'select SUM(PL) S from \"database\\\\BANSKO.DB\" where " + where + "'");
        EXPECT_EQ(r.status, 0) << where;
        const auto l = lines(r.out);
        if (l.size() < 2 || l[1].empty()) return "";
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", std::stod(l[1]) + 1e-9);
        return buf;
    }
    // The cell of the row labelled `label` in column `column`.
    static std::string cell(const std::vector<std::string> &out, const std::string &label, size_t column)
    {
        for (const auto &l : out) {
            const auto c = cells(l);
            if (c[0] == label) return c.at(column);
        }
        ADD_FAILURE() << "no row " << label;
        return "?";
    }
    static dxtest::TempDir *dir;
};
dxtest::TempDir *ForestFundCli::dir = nullptr;

} // namespace

TEST_F(ForestFundCli, Report1CellsAgreeWithSumsOfLocalSql)
{
    const dxtest::CliRun r = cli("ogf1");
    ASSERT_EQ(r.status, 0);
    const auto out = lines(r.out);
    EXPECT_EQ(out[0], "вид на земите\tхектари|иглолистни\tхектари|шир.вис.\tхектари|реконструкция\t"
                      "хектари|превръщане\tхектари|нискостъблени\tхектари|всичко");
    for (const auto &l : out) EXPECT_EQ(cells(l).size(), 7u) << l;
    EXPECT_EQ(cells(out.back())[0], "в тч дървопр.площ");
    EXPECT_EQ(cell(out, "сечище", 1), sqlSum("VID_GORI=\"иглолистни\" and VID_PODOTD=\"сечище\""));
    EXPECT_EQ(cell(out, "склопени култури", 2),
              sqlSum("(VID_GORI=\"широкол. високостъбл.\" or VID_GORI=\"тополови\") and VID_PODOTD=\"склопена култура\""));
    EXPECT_EQ(cell(out, "нелесопригодна площ", 3),
              sqlSum("VID_GORI=\"реконструкция\" and VID_PODOTD=\"нелесопригодна площ\""));
    EXPECT_EQ(cell(out, "клек", 1), sqlSum("VID_GORI=\"иглолистни\" and VID_PODOTD=\"клек\""));

    const dxtest::CliRun own = cli("ogf1 --ownership общинска --purpose economic");
    ASSERT_EQ(own.status, 0);
    EXPECT_EQ(cell(lines(own.out), "сечище", 1),
              sqlSum("VID_GORI=\"иглолистни\" and VID_PODOTD=\"сечище\" and NZN2=\"общинска\" and "
                     "NZN1=\"дървопроизв.и средообр\""));
}

TEST_F(ForestFundCli, Report2PrintsBothTablesInTheirForms)
{
    const dxtest::CliRun r = cli("ogf2 --purpose special");
    ASSERT_EQ(r.status, 0);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 1 + 38 + 1 + 1 + 38u);
    EXPECT_EQ(out[39], "");
    EXPECT_EQ(out[40].rfind("Дървесни видове\tобщо\tхектари|класове на възраст|I|1-5\t", 0), 0u) << out[40];
    const std::regex upperNumber("[0-9]+\\.[0-9]"), lowerNumber("[0-9]+(\\.[0-9])?");
    for (size_t i = 1; i < 39; ++i) {
        const auto c = cells(out[i]);
        ASSERT_EQ(c.size(), 10u) << out[i];
        for (size_t k = 1; k < c.size(); ++k)
            EXPECT_TRUE(c[k].empty() || std::regex_match(c[k], upperNumber)) << out[i];
    }
    for (size_t i = 41; i < out.size(); ++i) {
        const auto c = cells(out[i]);
        ASSERT_EQ(c.size(), 15u) << out[i];
        // No display format: whole numbers without ".0", at most one decimal after rounding.
        for (size_t k = 1; k < c.size(); ++k)
            EXPECT_TRUE(c[k].empty() || (std::regex_match(c[k], lowerNumber) &&
                                         !(c[k].size() > 2 && c[k].compare(c[k].size() - 2, 2, ".0") == 0)))
                << out[i];
    }
    EXPECT_EQ(cells(out[1])[0], "I. ВСИЧКО ИГЛОЛИСТНИ");
    EXPECT_EQ(cells(out[38])[0], "ВСИЧКО ВИСОКОСТЪБЛЕНИ ГОРИ");
    // Both tables hold the same totals of all ages.
    EXPECT_EQ(cells(out[38])[1], cells(out[78])[1] + (cells(out[78])[1].find('.') == std::string::npos ? ".0" : ""));
}

TEST_F(ForestFundCli, OwnershipOptionsAndTheirBadInput)
{
    // A kind with quotes, semicolons and statement words is one constant: no record holds it.
    const dxtest::CliRun odd = cli("ogf1 --ownership \"x'\\\"; drop table a; --\"");
    ASSERT_EQ(odd.status, 0);
    const auto rows = lines(odd.out);
    ASSERT_EQ(rows.size(), 1 + 20u); // the fixed rows and their empty rows, no other kinds
    for (size_t i = 1; i < rows.size(); ++i) {
        const auto c = cells(rows[i]);
        for (size_t k = 1; k < c.size(); ++k) EXPECT_TRUE(c[k].empty() || c[k] == "0.0") << rows[i];
    }
    EXPECT_EQ(cli("ogf2 --ownership 'няма такава'").status, 0);

    EXPECT_EQ(cli("ogf1 --purpose commercial").status, 2);
    EXPECT_EQ(cli("ogf2 --purpose").status, 2);
    EXPECT_EQ(cli("ogf1 --owner държавна").status, 2);
    const dxtest::CliRun blank = both("ogf1 --ownership 'държавна '");
    EXPECT_EQ(blank.status, 2);
    EXPECT_NE(blank.out.find("ends with blanks"), std::string::npos) << blank.out;
    const dxtest::CliRun latin = both("ogf2 --ownership 'państwowa'");
    EXPECT_EQ(latin.status, 2);
    EXPECT_NE(latin.out.find("outside code page 1251"), std::string::npos) << latin.out;
    EXPECT_EQ(latin.out.find("I. ВСИЧКО"), std::string::npos);
}
