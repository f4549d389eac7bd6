// dendrix-cli sql: TAB-separated output, numbers in the engine's text form, exit status 1
// with a message on stderr for a failing statement.
#include "demo/DemoData.h"
#include "engine/common/FileIO.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using dxtest::CliRun;

CliRun cli(const std::string &args)
{
    return dxtest::runCli(args);
}

} // namespace

TEST(CliSql, PrintsColumnsAndRowsOfEachDemoProject)
{
    dxtest::TempDir dir;
    dx::DemoOptions o;
    o.records = 200;
    dx::createDemoInstallation(dir.path(), o);
    for (const char *table : {"database\\\\BANSKO.DB", "database\\\\Belovo.db", "database\\\\elena.dbf"}) {
        CliRun r = cli("-C " + dir.path() + " sql 'select distinct OTD from \"" + table + "\" order by OTD ASC'");
        ASSERT_EQ(r.status, 0) << table;
        EXPECT_EQ(r.out.substr(0, 8), "OTD\n1\n2\n") << table;
    }
    CliRun sum = cli("-C " + dir.path() + " sql 'select OTD, SUM(PL) AREA, PODOTD from \"database/elena.dbf\" "
                                       "where OTD=2 and PODOTD=\"а\" group by OTD, PODOTD'");
    ASSERT_EQ(sum.status, 0);
    // Header, then one row: integer, shortest real, text as stored.
    size_t nl = sum.out.find('\n');
    EXPECT_EQ(sum.out.substr(0, nl), "OTD\tAREA\tPODOTD");
    std::string row = sum.out.substr(nl + 1);
    EXPECT_EQ(row.substr(0, 2), "2\t");
    EXPECT_EQ(row.substr(row.size() - 4), "\tа\n");
    EXPECT_EQ(row.find(".000"), std::string::npos) << row;
}

TEST(CliSql, FailingStatementExitsWithOne)
{
    dxtest::TempDir dir;
    CliRun missing = cli("-C " + dir.path() + " sql 'select * from \"database\\\\none.db\"'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    CliRun syntax = cli("-C " + dir.path() + " sql 'selec nothing'");
    EXPECT_EQ(syntax.status, 1);
    EXPECT_EQ(cli("sql").status, 2);
}

TEST(CliSql, RowsOfADamagedTableComeWithAWarningAndExitOne)
{
    dxtest::TempDir dir;
    dx::DemoOptions o;
    o.records = 200;
    dx::createDemoInstallation(dir.path(), o);
    const std::string table = dir.path() + "/database/elena.dbf";
    const std::string whole = dx::io::readFile(table);
    CliRun before = cli("-C " + dir.path() + " sql 'select count(*) N from \"database/elena.dbf\"'");
    ASSERT_EQ(before.status, 0);
    // Cut the file in the middle of its records: the header still counts them all.
    dx::io::writeFileAtomic(table, whole.substr(0, whole.size() / 2));
    const std::string count = std::string(DX_CLI_PATH) + " -C " + dir.path() +
                              " sql 'select count(*) N from \"database/elena.dbf\"'";
    CliRun cut = dxtest::runShell(count + " 2>/dev/null");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out.substr(0, 2), "N\n");
    EXPECT_NE(cut.out, before.out); // the rows that could be read, still printed
    CliRun said = dxtest::runShell(count + " 2>&1 >/dev/null");
    EXPECT_NE(said.out.find("damaged table, rows missing: "), std::string::npos) << said.out;
    EXPECT_NE(said.out.find("elena.dbf: the header counts"), std::string::npos) << said.out;
}

TEST(CliSql, ComputedRealsShowFifteenSignificantDigits)
{
    dxtest::TempDir dir;
    CliRun r = cli("-C " + dir.path() + " sql 'select 0.1+0.2 X, 12.0 Y, 1.0/3 Z, -2.5 W, 7 N'");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "X\tY\tZ\tW\tN\n0.3\t12\t0.333333333333333\t-2.5\t7\n");
}

// Rows go out as SQLite makes them: a result far larger than the memory the process may
// take still comes out whole, to its last row.
TEST(CliSql, AResultLargerThanTheMemoryAllowedStreamsToTheEnd)
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's shadow memory alone is far larger than the address space allowed.
    GTEST_SKIP() << "not under AddressSanitizer";
#endif
    dxtest::TempDir dir;
    const std::string statement = "with recursive c(x) as (select 1 union all select x+1 from c where x<600000) "
                                  "select x, x*0.1 R, \"padding text of the row\" T from c";
    CliRun r = dxtest::runShell("ulimit -v 150000; " + std::string(DX_CLI_PATH) + " -C " + dir.path() + " sql '" +
                                statement + "' | tail -n 2");
    EXPECT_EQ(r.out, "599999\t59999.9\tpadding text of the row\n600000\t60000\tpadding text of the row\n");
}
