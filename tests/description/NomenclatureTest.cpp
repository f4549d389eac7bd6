// Reference-table lookups over small tables built for each case.
#include "description/Nomenclature.h"
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

using namespace dx;

namespace {

Value t(const char *s) { return Value::fromText(s); }
Value n(int v) { return Value::fromInt(v); }

std::vector<FieldDef> branchFields(int lastHeight)
{
    std::vector<FieldDef> f = {makeField("NAME", FieldType::Text, 10), makeField("PR", FieldType::Text, 4),
                               makeField("LINK", FieldType::Text, 6), makeField("SHORT", FieldType::Text, 6),
                               makeField("COUNT", FieldType::Integer, 4)};
    for (int h = 3; h <= lastHeight; ++h) f.push_back(makeField("H" + std::to_string(h), FieldType::Integer, 4));
    return f;
}

// A branch-wood row whose column Hh holds base + h (0 everywhere for base 0), so a
// result names both the row and the height column it came from.
Row branch(const char *name, const char *pr, const char *link, const char *shortName, int count, int base,
           int lastHeight = 30)
{
    Row r = {t(name), t(pr), t(link), t(shortName), n(count)};
    for (int h = 3; h <= lastHeight; ++h) r.push_back(n(base ? base + h : 0));
    return r;
}

class BranchWood : public ::testing::Test {
protected:
    void SetUp() override
    {
        dbf::create(dir.file("kloni.dbf"), branchFields(30),
                    {
                        branch("бб", "1234", "", "бор", 1, 100),
                        branch("чб", "", "бор", "", 0, 0),   // borrows by SHORT
                        branch("ела", "", "7", "", 0, 0),    // borrows by COUNT
                        branch("смр", "12", "", "", 7, 200), // empty SHORT: an empty LINK must not find it
                        branch("смр", "34", "", "смр2", 7, 300),
                        branch("бк", "12", "", "бк", 3, 400),
                        branch("бк", "34", "", "бки", 4, 500),
                        branch("ибк", "", "бк", "", 0, 0),   // borrows one row
                        branch("пуст", "", "", "", 0, 0),    // borrows nothing
                        branch("дб", "", "9", "", 0, 0),     // borrows a COUNT no row has
                        branch("x'y", "1234", "", "", 11, 600),
                    });
        kloni.setPath(dir.file("kloni.dbf"));
        kloni.open();
    }
    dxtest::TempDir dir;
    Database db{"."};
    Table kloni{db};
};

} // namespace

TEST_F(BranchWood, HeightIsClampedToTheTableColumns)
{
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 1, 1), 103);
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 1, 2), 103);
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 1, 17), 117);
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 1, 31), 130);
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 1, 250), 130);
}

TEST_F(BranchWood, SeveralRowsAreChosenByTheOriginDigit)
{
    EXPECT_EQ(branchWoodPercent(kloni, "бк", 1, 10), 410);
    EXPECT_EQ(branchWoodPercent(kloni, "бк", 3, 10), 510);
    EXPECT_EQ(branchWoodPercent(kloni, "бк", 0, 10), 0);  // no origin recorded
    EXPECT_EQ(branchWoodPercent(kloni, "бк", 12, 10), 0); // not one digit
    // Exactly one row counts whatever the origin.
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 0, 10), 110);
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 9, 10), 110);
}

TEST_F(BranchWood, BorrowingRowsFollowTheirLink)
{
    // A whole number names the rows of that COUNT, then the origin chooses.
    EXPECT_EQ(branchWoodPercent(kloni, "ела", 1, 20), 220);
    EXPECT_EQ(branchWoodPercent(kloni, "ела", 4, 20), 320);
    EXPECT_EQ(branchWoodPercent(kloni, "ела", 0, 20), 0);
    EXPECT_EQ(kloni.filter(), "COUNT='7'");
    // A text names the rows of that SHORT; a single row counts for any origin.
    EXPECT_EQ(branchWoodPercent(kloni, "чб", 3, 12), 112);
    EXPECT_EQ(kloni.filter(), "SHORT='бор'");
    EXPECT_EQ(branchWoodPercent(kloni, "ибк", 4, 12), 412);
    // A number no row has, and an empty LINK, give nothing.
    EXPECT_EQ(branchWoodPercent(kloni, "дб", 1, 12), 0);
    EXPECT_EQ(branchWoodPercent(kloni, "пуст", 1, 12), 0);
}

TEST_F(BranchWood, UnknownSpeciesQuotesAndUnusableTablesGiveZero)
{
    EXPECT_EQ(branchWoodPercent(kloni, "зз", 1, 12), 0);
    EXPECT_EQ(kloni.filter(), "NAME='зз'");
    EXPECT_EQ(branchWoodPercent(kloni, "", 1, 12), 0);
    EXPECT_EQ(branchWoodPercent(kloni, "x'y", 1, 12), 612);
    EXPECT_EQ(branchWoodPercent(kloni, "' or NAME<>'", 1, 12), 0);
    // The table is still usable after a failed lookup.
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 1, 12), 112);

    kloni.close();
    EXPECT_EQ(branchWoodPercent(kloni, "бб", 1, 12), 0);

    // A table with fewer height columns than asked for.
    dbf::create(dir.file("short.dbf"), branchFields(10), {branch("бб", "1234", "", "", 1, 100, 10)});
    Table shortTable(db);
    shortTable.setPath(dir.file("short.dbf"));
    shortTable.open();
    EXPECT_EQ(branchWoodPercent(shortTable, "бб", 1, 5), 105);
    EXPECT_EQ(branchWoodPercent(shortTable, "бб", 1, 20), 0);

    // A table without the branch-wood columns at all.
    dbf::create(dir.file("other.dbf"), {makeField("DV", FieldType::Text, 6)}, {{t("бб")}});
    Table other(db);
    other.setPath(dir.file("other.dbf"));
    other.open();
    EXPECT_EQ(branchWoodPercent(other, "бб", 1, 12), 0);
}

TEST(SiteClass, ValueBySpeciesAndClass)
{
    dxtest::TempDir dir;
    std::vector<FieldDef> f = {makeField("DV", FieldType::Text, 6)};
    for (const char *b : {"B1", "B2", "B3", "B4", "B5"}) f.push_back(makeField(b, FieldType::Real, 5, 1));
    auto row = [](const char *dv, double first) {
        Row r = {t(dv)};
        for (int c = 0; c < 5; ++c) r.push_back(Value::fromReal(first - c));
        return r;
    };
    dbf::create(dir.file("bon.dbf"), f, {row("бк", 8.5), row("бб", 9.5)});
    Database db(".");
    Table bon(db);
    bon.setPath(dir.file("bon.dbf"));
    bon.open(); // filtering off: the first row is another species
    EXPECT_DOUBLE_EQ(siteClassValue(bon, "бб", 2), 8.5);
    EXPECT_DOUBLE_EQ(siteClassValue(bon, "бб", 5), 5.5);
    EXPECT_DOUBLE_EQ(siteClassValue(bon, "бк", 1), 8.5);
    EXPECT_EQ(bon.filter(), "DV='бк'");
    EXPECT_DOUBLE_EQ(siteClassValue(bon, "зз", 1), 0);
    EXPECT_DOUBLE_EQ(siteClassValue(bon, "бб", 0), 0);
    EXPECT_DOUBLE_EQ(siteClassValue(bon, "бб", 6), 0);
}

class LandAreas : public ::testing::Test {
protected:
    void SetUp() override
    {
        dbf::create(dir.file("zem.dbf"), {makeField("NOMER", FieldType::Integer, 6), makeField("ZEMNAME", FieldType::Text, 40)},
                    {{n(3), t("Банско")}, {n(1), t("Д'Арт")}, {n(12), t("Разлог")}});
        zem.setPath(dir.file("zem.dbf"));
    }
    dxtest::TempDir dir;
    Database db{"."};
    Table zem{db};
};

TEST_F(LandAreas, NamesAndNumbersBothWays)
{
    zem.open();
    EXPECT_EQ(landAreaName(zem, 12), "Разлог");
    EXPECT_EQ(landAreaName(zem, 1), "Д'Арт");
    EXPECT_EQ(zem.filter(), "NOMER=1");
    EXPECT_EQ(landAreaName(zem, 5), "5"); // no row: the number itself
    EXPECT_EQ(landAreaName(zem, -2), "-2");
    EXPECT_EQ(landAreaNumber(zem, "Банско"), 3);
    EXPECT_EQ(landAreaNumber(zem, "Д'Арт"), 1);
    EXPECT_EQ(zem.filter(), "ZEMNAME='Д''Арт'");
    EXPECT_EQ(landAreaNumber(zem, "Добринище"), -1);
    EXPECT_EQ(landAreaNumber(zem, "' or ZEMNAME<>'"), -1);
}

TEST_F(LandAreas, ClosedTableFallsBack)
{
    EXPECT_EQ(landAreaName(zem, 12), "12");
    EXPECT_EQ(landAreaNumber(zem, "Разлог"), -1);
    EXPECT_FALSE(zem.active());
}

TEST_F(LandAreas, AreaByLandAreaSumsThroughTheJoin)
{
    std::string proj = dir.file("proj.dbf");
    auto rec = [](int otd, const char *pod, double pl, int zeml) {
        return Row{n(otd), t(pod), Value::fromReal(pl), n(zeml)};
    };
    dbf::create(proj,
                {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                 makeField("PL", FieldType::Real, 7, 1), makeField("ZEML", FieldType::Integer, 6)},
                {rec(1, "а", 2.5, 3), rec(1, "б", 1.0, 12), rec(2, "а", 4.0, 12), rec(2, "б", 9.9, 99),
                 rec(3, "а", 0.5, 3)});
    QString s = areaByLandAreaStatement("database\\P.DB", "zemnom\\Z.DBF");
    EXPECT_EQ(s, "SELECT t2.ZEMNAME, SUM(t1.PL) AS P from \"database\\P.DB\" t1, \"zemnom\\Z.DBF\" t2 "
                 "where (t1.zeml = t2.nomer) GROUP BY T2.ZEMNAME order BY P desc");
    auto r = db.execute(areaByLandAreaStatement(QString::fromStdString(proj), QString::fromStdString(dir.file("zem.dbf")))
                            .toStdString());
    ASSERT_EQ(r.rows.size(), 2u);
    int name = r.columnIndex("ZEMNAME"), area = r.columnIndex("P");
    ASSERT_GE(name, 0);
    ASSERT_GE(area, 0);
    EXPECT_EQ(r.rows[0][name].toText(), "Разлог");
    EXPECT_DOUBLE_EQ(r.rows[0][area].toReal(), 5.0);
    EXPECT_EQ(r.rows[1][name].toText(), "Банско");
    EXPECT_DOUBLE_EQ(r.rows[1][area].toReal(), 3.0);
}

class NamesTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("names.dbf");
        auto row = [](const char *type, int code, const char *print, const char *in2 = "") {
            return Row{t(type), n(code), t(print), t(in2)};
        };
        dbf::create(path,
                    {makeField("TYPE", FieldType::Text, 4), makeField("CODE", FieldType::Integer, 4),
                     makeField("PRINT", FieldType::Text, 40), makeField("IN2", FieldType::Text, 2)},
                    {row("vs", 5, "гола сеч"), row("dv", 1, "бб"), row("vs", 0, "без сеч"), row("vs", 2, "санитарна сеч"),
                     row("pov", 3, "гъбни", "г"), row("vs", -1, "отменена"), row("dv", 2, "бк"), row("dv", 0, "неизв"),
                     row("pov", 4, "пожар", "п"), row("pov", 5, "второ п", "п"), row("pov", 0, "стара", "с")});
    }
    dxtest::TempDir dir;
    std::string path;
    Database db{"."};
};

TEST_F(NamesTable, PickListsHoldPositiveCodesInTableOrder)
{
    Table names(db);
    names.setPath(path);
    EXPECT_THROW(pickList(names, "vs"), EngineError);
    names.open();
    EXPECT_EQ(pickList(names, "vs"), (QStringList{"гола сеч", "санитарна сеч"}));
    EXPECT_FALSE(names.filtered());
    EXPECT_EQ(names.filter(), "TYPE='vs' and CODE>0");
    EXPECT_EQ(names.recordCount(), 11u);
    EXPECT_TRUE(pickList(names, "ns").isEmpty());
    EXPECT_TRUE(pickList(names, "v's").isEmpty());

    EXPECT_EQ(speciesList(db, QString::fromStdString(path)), (QStringList{"бб", "бк"}));
    EXPECT_THROW(speciesList(db, QString::fromStdString(dir.file("none.dbf"))), EngineError);
}

TEST_F(NamesTable, DamageWordingFoundUnknownOrFailed)
{
    QString p = QString::fromStdString(path);
    DamageWording w = damageWording(db, p, "п");
    EXPECT_FALSE(w.failed);
    EXPECT_TRUE(w.found);
    EXPECT_EQ(w.wording, "пожар"); // the first of two rows
    EXPECT_EQ(damageWording(db, p, "г").wording, "гъбни");

    for (const char *unknown : {"ф", "\"", "\" or \"\"=\"", ""}) {
        w = damageWording(db, p, unknown);
        EXPECT_FALSE(w.failed) << unknown;
        EXPECT_FALSE(w.found) << unknown;
        EXPECT_TRUE(w.wording.isEmpty());
    }
    // The damage statement asks for the letter only, whatever the code.
    EXPECT_EQ(damageWording(db, p, "с").wording, "стара");

    QString missing = QString::fromStdString(dir.file("missing.dbf"));
    w = damageWording(db, missing, "п");
    EXPECT_TRUE(w.failed);
    EXPECT_FALSE(w.found);
    EXPECT_FALSE(w.error.isEmpty());
    EXPECT_EQ(damageLookupFailedText("C:\\DX\\names.dbf"),
              "Не може да бъде отворен номенклатурен файл C:\\DX\\names.dbf. рестартирайте компютъра и опитаите отново");
    EXPECT_STREQ(kDamageLookupFailedCaption, "Error opening file - повреди");
}
