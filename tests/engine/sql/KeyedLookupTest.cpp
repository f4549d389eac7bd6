// Lookups by key: a table object's filter on "field = constant" goes through the
// table's key index instead of trying every row. Whatever the constant (a quoted number,
// a fraction, a text against a number field, an empty text, a null cell), the rows
// found, and their order, are those a scan of every row finds.
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

class KeyedLookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("keys.dbf");
        std::vector<Row> rows;
        const char *subs[] = {"а", "б", "", "а", "в"};
        for (int i = 0; i < 60; ++i) {
            // Every seventh compartment number left empty; areas with a fraction and whole.
            Value otd = i % 7 == 6 ? Value::null() : Value::fromInt(i % 5);
            rows.push_back({otd, Value::fromText(subs[i % 5 == 0 ? (i / 5) % 5 : i % 5]),
                            Value::fromReal(i % 3 == 0 ? 2.5 : double(i % 4))});
        }
        dbf::create(path,
                    {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                     makeField("PL", FieldType::Real, 8, 2)},
                    rows);
    }

    // The record positions a table object shows under `expression`.
    std::vector<size_t> shown(const std::string &expression)
    {
        Table t(db);
        t.setPath(path);
        t.open();
        t.setFilter(expression);
        t.setFiltered(true);
        std::vector<size_t> out;
        for (t.first(); !t.eof(); t.next()) out.push_back(t.bookmark());
        return out;
    }

    dxtest::TempDir dir;
    std::string path;
    Database db{"."};
};

} // namespace

TEST_F(KeyedLookupTest, KeyedFiltersFindWhatAScanOfEveryRowFinds)
{
    TableFilePtr table = db.table(path);
    const std::vector<std::string> keyed = {
        "OTD=3", "OTD='3'", "OTD=3.0", "3=OTD", "OTD=3.5", "OTD='x'", "OTD=-2", "PODOTD='а'", "PODOTD=''",
        "PODOTD='а' and OTD=1", "OTD=1 and PODOTD='б' and PL>1", "PL=2.5", "PL=3", "OTD=4 or OTD=1" /* scanned */,
        "OTD=0", "PODOTD=1" /* a bare number against text: scanned */};
    size_t found = 0;
    for (const std::string &e : keyed) {
        // "not not" keeps the meaning but hides the key from the index: every row is tried.
        EXPECT_EQ(shown(e), shown("not not (" + e + ")")) << e;
        found += shown(e).size();
    }
    EXPECT_GT(found, 60u); // the expressions do find rows, not only none on both sides

    // The index is what answers the key terms (the scan above is the reference).
    EXPECT_NE(Filter::compile("OTD=1 and PODOTD='б'", *table).candidates(*table), nullptr);
    EXPECT_NE(Filter::compile("PODOTD=''", *table).candidates(*table), nullptr);
    EXPECT_EQ(Filter::compile("OTD=1 or PODOTD='б'", *table).candidates(*table), nullptr);
    EXPECT_EQ(Filter::compile("PODOTD=1", *table).candidates(*table), nullptr);
    const auto *none = Filter::compile("OTD=2.5", *table).candidates(*table);
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->empty());
}

TEST_F(KeyedLookupTest, DecodedColumnsReadAsTheRecordsDo)
{
    TableFilePtr table = db.table(path);
    for (size_t f = 0; f < table->fields().size(); ++f)
        for (size_t r = 0; r < table->rowCount(); ++r) {
            const Value a = table->value(r, f), b = table->cell(r, f);
            EXPECT_EQ(a.kind, b.kind) << r << "/" << f;
            EXPECT_EQ(a.toText(), b.toText()) << r << "/" << f;
        }
    // An edited record is seen at once: the changed snapshot decodes its own columns.
    Table t(db);
    t.setPath(path);
    t.open();
    t.setFilter("OTD=4 and PODOTD='в'");
    t.setFiltered(true);
    ASSERT_GT(t.recordCount(), 0u);
    const size_t before = t.recordCount();
    t.edit();
    t.setValue("PODOTD", Value::fromText("ю"));
    t.post();
    t.setFilter("OTD=4 and PODOTD='ю'");
    EXPECT_EQ(t.recordCount(), 1u);
    t.setFilter("OTD=4 and PODOTD='в'");
    EXPECT_EQ(t.recordCount(), before - 1);
}
