// Local SQL and table objects over real files written by the dBase writer.
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace dx;

namespace {


Row rec(int otd, const std::string &pod, double pl, int nadm, const std::string &sech)
{
    return {Value::fromInt(otd), Value::fromText(pod), Value::fromReal(pl), Value::fromInt(nadm), Value::fromText(sech)};
}

// A small project table: compartment 2 is stored before compartment 1, and the
// sub-compartments of compartment 1 are not in alphabetical order.
class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir.file("database"));
        path = dir.file("database/Proj.dbf");
        dbf::create(path,
                    {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                     makeField("PL", FieldType::Real, 8, 2), makeField("NADM_VIS", FieldType::Integer, 5),
                     makeField("SECH1", FieldType::Text, 20)},
                    {rec(2, "а", 1.25, 850, "гола сеч"), rec(1, "в", 2.5, 900, ""), rec(1, "а", 0.3, 850, "-"),
                     rec(1, "б", 4.0, 1200, "санитарна")});
    }
    dxtest::TempDir dir;
    std::string path;
};

std::vector<std::string> column(const QueryResult &r, size_t c)
{
    std::vector<std::string> out;
    for (const auto &row : r.rows) out.push_back(row[c].toText());
    return out;
}

} // namespace

TEST_F(DatabaseTest, RowsComeInRecordOrderWithoutOrderBy)
{
    Database db(dir.path());
    auto r = db.execute("select OTD,PODOTD from \"database\\Proj.dbf\" where OTD=1");
    EXPECT_EQ(column(r, 1), (std::vector<std::string>{"в", "а", "б"}));
    auto d = db.execute("select distinct OTD from \"database\\Proj.dbf\" order by OTD ASC");
    EXPECT_EQ(column(d, 0), (std::vector<std::string>{"1", "2"}));
    auto desc = db.execute("select OTD, PODOTD from \"database\\Proj.dbf\" order by OTD DESC, PODOTD");
    EXPECT_EQ(column(desc, 1), (std::vector<std::string>{"а", "а", "б", "в"}));
}

TEST_F(DatabaseTest, PathsAndFieldNamesIgnoreLetterCase)
{
    Database db(dir.path());
    auto r = db.execute("select otd, Podotd from \"DATABASE\\PROJ.DBF\" where pOdOtD=\"б\"");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0].toText(), "1");
    // A path with forward slashes and no extension finds the same table.
    EXPECT_EQ(db.execute("select * from \"database/proj\"").rows.size(), 4u);
}

TEST_F(DatabaseTest, ATableUnderAnotherExtensionIsKnownByItsFirstByte)
{
    namespace fs = std::filesystem;
    fs::copy_file(dir.file("database/Proj.dbf"), dir.file("database/copy.tab"));
    Database db(dir.path());
    EXPECT_EQ(db.execute("select PODOTD from \"database\\copy.tab\" where OTD=1").rows.size(), 3u);
    // An empty file and a folder under such a name are no tables, and say so.
    std::ofstream(dir.file("database/empty.tab")).close();
    EXPECT_THROW(db.execute("select * from \"database\\empty.tab\""), EngineError);
    fs::create_directory(dir.file("database/folder.tab"));
    try {
        db.execute("select * from \"database\\folder.tab\"");
        ADD_FAILURE() << "a folder was read as a table";
    } catch (const EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("folder"), std::string::npos) << e.what();
    }
}

TEST_F(DatabaseTest, QuotedNumbersCompareWithNumberColumns)
{
    Database db(dir.path());
    auto r = db.execute("select PODOTD from \"database\\Proj.dbf\" where NADM_VIS=\"850\"");
    EXPECT_EQ(column(r, 0), (std::vector<std::string>{"а", "а"}));
    auto ge = db.execute("select PODOTD from \"database\\Proj.dbf\" where (NADM_VIS>=\"900\" and OTD=1) or PL<=0.3");
    EXPECT_EQ(column(ge, 0), (std::vector<std::string>{"в", "а", "б"}));
}

TEST_F(DatabaseTest, EmptyTextConstantMatchesBlankFields)
{
    Database db(dir.path());
    auto r = db.execute("select PODOTD from \"database\\Proj.dbf\" where SECH1=\"\"");
    EXPECT_EQ(column(r, 0), (std::vector<std::string>{"в"}));
    auto n = db.execute("select PODOTD from \"database\\Proj.dbf\" where SECH1<>\"\" and SECH1<>\"-\"");
    EXPECT_EQ(n.rows.size(), 2u);
}

TEST_F(DatabaseTest, SumsWithAndWithoutAs)
{
    Database db(dir.path());
    auto r = db.execute("select OTD, SUM(PL) AREA from \"database\\Proj.dbf\" group by OTD order by AREA desc");
    ASSERT_EQ(r.columns, (std::vector<std::string>{"OTD", "AREA"}));
    EXPECT_EQ(r.rows[0][0].toText(), "1");
    EXPECT_NEAR(r.rows[0][1].toReal(), 6.8, 1e-9);
    auto s = db.execute("select SUM(PL) AS P from \"database\\Proj.dbf\"");
    EXPECT_NEAR(s.rows[0][0].toReal(), 8.05, 1e-9);
}

TEST_F(DatabaseTest, JoinOfTwoTablesWithAliases)
{
    dbf::create(dir.file("zem.dbf"), {makeField("NOMER", FieldType::Integer, 6), makeField("ZEMNAME", FieldType::Text, 30)},
                {{Value::fromInt(850), Value::fromText("Банско")}, {Value::fromInt(900), Value::fromText("Разлог")}});
    Database db(dir.path());
    auto r = db.execute("SELECT t2.ZEMNAME, SUM(t1.PL) AS P from \"database\\Proj.dbf\" t1, \"zem.dbf\" t2 "
                        "where (t1.NADM_VIS = t2.nomer) GROUP BY T2.ZEMNAME order BY P desc");
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0][0].toText(), "Разлог");
    EXPECT_EQ(r.rows[1][0].toText(), "Банско");
    EXPECT_NEAR(r.rows[1][1].toReal(), 1.55, 1e-9);
}

TEST_F(DatabaseTest, FailuresNameTheFileOrTheColumn)
{
    Database db(dir.path());
    try {
        db.execute("select * from \"database\\Missing.dbf\"");
        FAIL() << "no error for a missing table";
    } catch (const EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("Missing.dbf"), std::string::npos) << e.what();
    }
    try {
        db.execute("select NOSUCH from \"database\\Proj.dbf\"");
        FAIL() << "no error for an unknown column";
    } catch (const EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("NOSUCH"), std::string::npos) << e.what();
    }
    // A file that is not a table: some kilobytes of program text.
    std::ofstream(dir.file("junk.dbf")) << "// Not a table.\n" << std::string(4000, 'x') << '\n';
    EXPECT_THROW(db.execute("select * from \"junk.dbf\""), EngineError);
}

TEST_F(DatabaseTest, StatementWithANulIsRefusedNotCutShort)
{
    // SQLite would stop reading at the NUL and run the statement without its condition.
    Database db(dir.path());
    const std::string statement = std::string("select OTD from \"database\\Proj.dbf\"") + '\0' + " where OTD=2";
    try {
        const QueryResult r = db.execute(statement);
        FAIL() << "ran as " << r.rows.size() << " rows";
    } catch (const EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("NUL"), std::string::npos) << e.what();
    }
}

TEST_F(DatabaseTest, StatementsSeeChangesWrittenSinceTheLastOne)
{
    Database db(dir.path());
    EXPECT_EQ(db.execute("select * from \"database\\Proj.dbf\"").rows.size(), 4u);
    {
        auto w = db.writer("database\\Proj.dbf");
        w->append(rec(3, "а", 1, 1, ""));
        w->remove(0);
    }
    auto r = db.execute("select OTD from \"database\\Proj.dbf\"");
    EXPECT_EQ(column(r, 0), (std::vector<std::string>{"1", "1", "1", "3"}));
}

TEST_F(DatabaseTest, TableObjectFiltersOnOneSubCompartment)
{
    Database db(dir.path());
    Table t(db);
    t.setPath(db.resolve("database\\Proj.dbf"));
    t.open();
    EXPECT_EQ(t.recordCount(), 4u);
    t.setFilter("OTD=1 and PODOTD='а'");
    t.setFiltered(true);
    ASSERT_EQ(t.recordCount(), 1u);
    EXPECT_DOUBLE_EQ(t.asReal("pl"), 0.3);
    // A Latin "a" looks the same but is another letter.
    t.setFilter("OTD=1 and PODOTD='a'");
    EXPECT_EQ(t.recordCount(), 0u);
    EXPECT_TRUE(t.eof());
    t.setFilter("(OTD=1 or OTD=2) and not (PODOTD='в')");
    EXPECT_EQ(t.recordCount(), 3u);
    t.setFilter("NADM_VIS='850'"); // a quoted number against a number field
    EXPECT_EQ(t.recordCount(), 2u);
    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 4u);
    EXPECT_THROW(t.setFilter("NOSUCH=1"), EngineError);
    EXPECT_THROW(t.setFilter("OTD=1 and"), EngineError);
}

TEST_F(DatabaseTest, TableObjectWalksAndBookmarks)
{
    Database db(dir.path());
    Table t(db);
    t.setPath(path);
    t.open();
    std::vector<std::string> seen;
    for (t.first(); !t.eof(); t.next()) seen.push_back(t.asText("PODOTD"));
    EXPECT_EQ(seen, (std::vector<std::string>{"а", "в", "а", "б"}));
    t.first();
    t.next();
    auto mark = t.bookmark();
    t.last();
    EXPECT_EQ(t.asText("PODOTD"), "б");
    ASSERT_TRUE(t.gotoBookmark(mark));
    EXPECT_EQ(t.asText("PODOTD"), "в");
    EXPECT_THROW(t.value("NOSUCH"), EngineError);
}

TEST_F(DatabaseTest, BookmarksUnderAFilterFindOnlyVisibleRecords)
{
    Database db(dir.path());
    Table t(db);
    t.setPath(path);
    t.open();
    std::vector<Table::Bookmark> marks;
    for (t.first(); !t.eof(); t.next()) marks.push_back(t.bookmark());
    ASSERT_EQ(marks.size(), 4u);
    t.setFilter("OTD=1");
    t.setFiltered(true);
    ASSERT_EQ(t.recordCount(), 3u);
    // Backwards, so every jump goes to an earlier record than the current one.
    for (size_t i = marks.size(); i-- > 1;) {
        ASSERT_TRUE(t.gotoBookmark(marks[i])) << i;
        EXPECT_EQ(t.bookmark(), marks[i]);
        EXPECT_FALSE(t.eof());
    }
    EXPECT_EQ(t.asText("PODOTD"), "в");
    // Compartment 2's record is filtered out, one past the last record never existed:
    // the current record stays where it was.
    EXPECT_FALSE(t.gotoBookmark(marks[0]));
    EXPECT_FALSE(t.gotoBookmark(marks.back() + 1));
    EXPECT_EQ(t.bookmark(), marks[1]);
    t.last();
    EXPECT_EQ(t.asText("PODOTD"), "б");
}

TEST_F(DatabaseTest, TableObjectEditsReachTheFile)
{
    Database db(dir.path());
    Table t(db);
    t.setPath(path);
    t.open();
    t.setFilter("OTD=1 and PODOTD='б'");
    t.setFiltered(true);
    t.edit();
    t.setValue("SECH1", Value::fromText("прореждане"));
    t.post();
    EXPECT_EQ(t.asText("SECH1"), "прореждане");
    t.append();
    t.setValue("OTD", Value::fromInt(1));
    t.setValue("PODOTD", Value::fromText("б"));
    t.post();
    EXPECT_EQ(t.recordCount(), 2u);

    // Another session reading the file sees both changes.
    Database other(dir.path());
    auto r = other.execute("select SECH1 from \"database\\Proj.dbf\" where PODOTD=\"б\"");
    EXPECT_EQ(column(r, 0), (std::vector<std::string>{"прореждане", ""}));

    t.first();
    t.remove();
    EXPECT_EQ(t.recordCount(), 1u);
    EXPECT_EQ(other.execute("select * from \"database\\Proj.dbf\"").rows.size(), 4u);
    // Posting a new record with nothing typed writes nothing.
    t.append();
    t.post();
    EXPECT_EQ(other.execute("select * from \"database\\Proj.dbf\"").rows.size(), 4u);
}

TEST_F(DatabaseTest, QueryObjectWalksCountsAndRewinds)
{
    Database db(dir.path());
    Query q(db);
    q.setSql("select OTD,PODOTD from \"database\\Proj.dbf\"\nwhere OTD=1");
    q.open();
    EXPECT_EQ(q.recordCount(), 3u);
    std::vector<std::string> seen;
    for (; !q.eof(); q.next()) seen.push_back(q.asText("podotd"));
    EXPECT_EQ(seen, (std::vector<std::string>{"в", "а", "б"}));
    EXPECT_THROW(q.value(0), EngineError); // past the last row
    q.first();
    EXPECT_EQ(q.value("OTD").toInt(), 1);
    EXPECT_THROW(q.value("NOSUCH"), EngineError);
    q.close();
    EXPECT_FALSE(q.active());
    EXPECT_TRUE(q.eof());

    Query bad(db);
    bad.setSql("select OTD from \"database\\Proj.dbf\" where NOSUCH=1");
    EXPECT_THROW(bad.open(), EngineError);
    EXPECT_FALSE(bad.active());
}
