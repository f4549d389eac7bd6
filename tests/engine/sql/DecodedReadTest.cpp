// Reads from decoded columns: a filter pass that takes each field's column once, and a
// table object that reads an often-read field from its column, give exactly what
// decoding every cell gives, also after an edit has replaced the snapshot.
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Filter.h"
#include "engine/sql/Table.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dx;

namespace {

constexpr int kRows = 3000; // more reads of a field than a table object makes before decoding its column

class DecodedReadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("walk.dbf");
        std::vector<Row> rows;
        const char *subs[] = {"а", "б", "", "12", " 7 ", "иглолистни"};
        for (int i = 0; i < kRows; ++i) {
            Value otd = i % 11 == 10 ? Value::null() : Value::fromInt(i % 40);
            Value pl = i % 13 == 12 ? Value::null() : Value::fromReal(i % 9 == 0 ? 0.5 : double(i % 6) + 0.25);
            rows.push_back({otd, Value::fromText(subs[i % 6]), pl, Value::fromBool(i % 4 == 0)});
        }
        dbf::create(path,
                    {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 12),
                     makeField("PL", FieldType::Real, 8, 2), makeField("OK", FieldType::Logical, 1)},
                    rows);
    }

    // Each visible record's fields, read through the table object.
    static std::vector<std::string> walk(Table &t)
    {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next())
            out.push_back(std::to_string(t.bookmark()) + "|" + t.value("OTD").toText() + "|" + t.asText("PODOTD") + "|" +
                          t.value("PL").toText() + "|" + t.value("OK").toText());
        return out;
    }

    // The same, decoded cell by cell from a fresh read of the file, for the rows a scan
    // with matches() keeps.
    std::vector<std::string> expected(const std::string &expression)
    {
        Database fresh(".");
        TableFilePtr snap = fresh.table(path);
        Filter f = Filter::compile(expression, *snap);
        std::vector<std::string> out;
        for (size_t r = 0; r < snap->rowCount(); ++r)
            if (f.matches(*snap, r))
                out.push_back(std::to_string(r) + "|" + snap->value(r, 0).toText() + "|" + snap->value(r, 1).toText() +
                              "|" + snap->value(r, 2).toText() + "|" + snap->value(r, 3).toText());
        return out;
    }

    dxtest::TempDir dir;
    std::string path;
    Database db{"."};
};

} // namespace

// Text against text and against bare numbers (a text that is a number, blanks around
// it), numbers against quoted numbers, nulls on either side, logicals, not and or.
TEST_F(DecodedReadTest, AFilterPassFindsTheRowsAScanOfEveryCellFinds)
{
    TableFilePtr snap = db.table(path);
    for (const std::string e :
         {"", "PODOTD='иглолистни' and PL>1", "PODOTD=12", "PODOTD=7", "PODOTD>'а'", "PODOTD<>''", "PODOTD=''",
          "OTD='7'", "OTD<>3", "PL>=0.5 and PL<2", "not (PL>1) or OTD=0", "OK=1", "OK<>0 and PODOTD<'б'",
          "OTD>PL", "PODOTD=OTD", "OTD=PODOTD or PL<>PL", "(OTD<5 or OTD>35) and not PODOTD='а'"}) {
        SCOPED_TRACE(e);
        Filter f = Filter::compile(e, *snap);
        std::vector<size_t> scan;
        for (size_t r = 0; r < snap->rowCount(); ++r)
            if (f.matches(*snap, r)) scan.push_back(r);
        EXPECT_EQ(f.matchingRows(*snap), scan);
    }
}

// A walk reads the fields from their columns once they have been read often; an edit
// posted through the same table object is then read back, and the filter applies to the
// edited table, whether the edited row leaves the filter or stays in it.
TEST_F(DecodedReadTest, AWalkReadsWhatTheCellsHoldBeforeAndAfterAnEdit)
{
    const std::string e = "PODOTD='иглолистни' and PL>1";
    Table t(db);
    t.setPath(path);
    t.open();
    EXPECT_EQ(walk(t).size(), size_t(kRows));
    t.setFilter(e);
    t.setFiltered(true);
    for (int pass = 0; pass < 3; ++pass) ASSERT_EQ(walk(t), expected(e));
    ASSERT_GT(t.recordCount(), 10u);

    // The third visible record leaves the filter; the fifth stays with a new area.
    t.first();
    t.next();
    t.next();
    const size_t gone = t.bookmark();
    t.setValue("PL", Value::fromReal(0.75));
    t.post();
    t.first();
    for (int i = 0; i < 3; ++i) t.next();
    const size_t kept = t.bookmark();
    t.setValue("PL", Value::fromReal(9.5));
    t.setValue("OTD", Value::fromInt(77));
    t.post();

    const std::vector<std::string> after = walk(t);
    EXPECT_EQ(after, expected(e));
    bool sawKept = false;
    for (const std::string &line : after) {
        EXPECT_NE(line.substr(0, line.find('|')), std::to_string(gone));
        if (line == std::to_string(kept) + "|77|иглолистни|9.5|False" || line == std::to_string(kept) + "|77|иглолистни|9.5|True")
            sawKept = true;
    }
    EXPECT_TRUE(sawKept);
    t.setFiltered(false);
    EXPECT_EQ(walk(t), expected(""));
}
