// Every statement the program issues, in the legacy dialect, runs on each demo project
// (encrypted Paradox, plain Paradox and dBase) and gives sensible rows.
#include "core/DataPassword.h"
#include "demo/DemoData.h"
#include "engine/common/EngineError.h"
#include "engine/sql/Database.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace dx;

namespace {

// {P} project table, {N} nomenclature, {Z} land-area table.
const char *kStatements[] = {
    "select distinct OTD from \"{P}\" order by OTD ASC",
    "select OTD,PODOTD from \"{P}\" where OTD=1",
    "select distinct OTD from \"{P}\"",
    "select * from \"{P}\"",
    "select SUM(PL) AREA from \"{P}\"",
    "select distinct NZN2 from \"{P}\" where NZN2<>\"\"",
    "select SUM(PL) AREA from \"{P}\" where NZN2=\"държавна\"",
    "select PRINT from \"{N}\" where TYPE=\"dv\" and CODE>0",
    "SELECT * FROM \"{N}\" WHERE TYPE=\"pov\" and IN2=\"a\"",
    "SELECT t2.ZEMNAME, SUM(t1.PL) AS P from \"{P}\" t1, \"{Z}\" t2 \nwhere (t1.zeml = t2.nomer) GROUP BY T2.ZEMNAME order BY P desc",
    "SELECT DISTINCT zeml FROM \"{P}\" WHERE zeml<>0",
    "SELECT otd,podotd,zeml FROM \"{P}\" WHERE zeml=0",
    "select distinct STOP_KLAS from \"{P}\"",
    "select distinct NZN5 from \"{P}\"",
    "select distinct DV7 from \"{P}\"",
    "select OTD,PODOTD,PL from \"{P}\" where  (GSU=1) and (VID_GORI=\"иглолистни\") and "
    "((A1>=20 and A1<=40) or (A2>=20 and A2<=40) or (A3>=20 and A3<=40)) and  (PL<=5)  and SECH1=\"гола сеч\"",
    "select OTD,PODOTD,PL,NADM_VIS from \"{P}\" where NADM_VIS=\"850\" or (NAKLON>=\"10\" and NAKLON<=\"20\")",
    "select distinct SECH3 from \"{P}\" where SECH3 <> \"-\"",
    "select otd,podotd,pl from \"{P}\" where (OBS_DV1=\"бб\" or OBS_DV2=\"бб\")",
    "SELECT OTD,sum(PL) P from \"{P}\" group by OTD",
    "SELECT sum(PL) P from \"{P}\"",
    "SELECT sum(PL) P from \"{P}\" where OTD=1",
    "SELECT PODOTD,VID_PODOTD,PL from \"{P}\" where OTD=1",
    "SELECT VID_GORI,sum(PL) P from \"{P}\" group by VID_GORI order by P desc",
    "select distinct POCHVA from \"{P}\" where POCHVA<>\"-\"",
    "select distinct MESTORAST from \"{P}\" where MESTORAST<>\"0\"",
    "select distinct GOD_SECH from \"{P}\" where GOD_SECH <> 0",
    "SELECT OTD,PODOTD,PL,GOD_SECH,SECH1,SECH2,SECH3,SECH4,SECH5,SECH6,SECH7,SECH8,SECH9 from \"{P}\" where SECH1<>\"-\" and ZEML=\"1\"",
    "SELECT distinct NZN2 from \"{P}\"",
    "SELECT DISTINCT VID_PODOTD FROM \"{P}\" WHERE VID_PODOTD<>\"голина\" AND VID_PODOTD<>\"пожарище\" AND "
    "VID_PODOTD<>\"семенно насаждение\" and VID_PODOTD<>\"клек\" WHERE_OWN",
    "SELECT TYPE,PRINT,N3,N6 FROM \"{N}\" WHERE TYPE=\"dv\" and N3=2 and N6<>1 and N6<>2 and N6<>3 and N6<>4 and N6<>14",
    "SELECT * FROM \"{P}\" WHERE VID_GORI=\"реконструкция\" and VID_PODOTD<>\"нелесопригодна площ\" and NZN2=\"държавна\" and NZN1=\"дървопроизв.и средообр\"",
    "SELECT * FROM \"{P}\" WHERE NZN1<>\"дървопроизв.и средообр\"",
    "SELECT * from \"{P}\" ORDER BY PL DESC",
};

std::string fill(std::string s, const std::string &p, const std::string &n, const std::string &z)
{
    s = std::regex_replace(s, std::regex(" WHERE_OWN"), " and NZN2=\"държавна\"");
    s = std::regex_replace(s, std::regex("\\{P\\}"), p);
    s = std::regex_replace(s, std::regex("\\{N\\}"), n);
    s = std::regex_replace(s, std::regex("\\{Z\\}"), z);
    return s;
}

class LegacyStatements : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new dxtest::TempDir();
        DemoOptions o;
        o.records = 300;
        createDemoInstallation(dir->path(), o);
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    // Project tables as the data names them (Windows separators, relative).
    static std::vector<std::pair<std::string, std::string>> projects()
    {
        std::vector<std::pair<std::string, std::string>> out;
        std::vector<std::string> tables, zems;
        for (auto &e : std::filesystem::directory_iterator(dir->file("database")))
            tables.push_back("database\\" + e.path().filename().string());
        for (auto &e : std::filesystem::directory_iterator(dir->file("zemnom")))
            zems.push_back("zemnom\\" + e.path().filename().string());
        std::sort(tables.begin(), tables.end());
        for (const auto &t : tables) out.push_back({t, zems.empty() ? "" : zems.front()});
        return out;
    }
    static dxtest::TempDir *dir;
};

dxtest::TempDir *LegacyStatements::dir = nullptr;

} // namespace

TEST_F(LegacyStatements, EveryStatementRunsOnEveryProjectTable)
{
    auto list = projects();
    ASSERT_GE(list.size(), 3u);
    for (const auto &[table, zem] : list) {
        Database db(dir->path());
        db.addPassword(dataPassword());
        for (const char *tmpl : kStatements) {
            std::string stmt = fill(tmpl, table, "names.dbf", zem);
            try {
                db.execute(stmt);
            } catch (const EngineError &e) {
                ADD_FAILURE() << table << ": " << stmt << "\n  " << e.what();
            }
        }
        // The start-up statements give what navigation relies on.
        auto otd = db.execute(fill("select distinct OTD from \"{P}\" order by OTD ASC", table, "", ""));
        ASSERT_FALSE(otd.rows.empty()) << table;
        EXPECT_EQ(otd.rows.front()[0].toInt(), 1) << table;
        for (size_t i = 1; i < otd.rows.size(); ++i) EXPECT_LT(otd.rows[i - 1][0].toInt(), otd.rows[i][0].toInt());
        auto all = db.execute(fill("select * from \"{P}\"", table, "", ""));
        EXPECT_EQ(all.columns.size(), 221u) << table;
        auto sum = db.execute(fill("select SUM(PL) AREA from \"{P}\"", table, "", ""));
        EXPECT_GT(sum.rows[0][sum.columnIndex("Area")].toReal(), 0.0);
    }
}

TEST_F(LegacyStatements, ProtectedTableNeedsTheDataPassword)
{
    int refused = 0;
    for (const auto &[table, zem] : projects()) {
        Database db(dir->path());
        try {
            db.execute(fill("select distinct OTD from \"{P}\"", table, "", ""));
        } catch (const PasswordError &) {
            ++refused;
        }
    }
    EXPECT_GE(refused, 1) << "no demo project table is protected";
}
