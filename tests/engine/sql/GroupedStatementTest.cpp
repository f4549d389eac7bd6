// Statements grouped by one text column take the rows already grouped from the column's
// key index instead of having SQLite sort them: the groups, their order (ties of an
// ORDER BY on a sum included), every sum to the last bit and the value a bare column
// takes from its group are those of a statement that has to sort.
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Database.h"

#include "ResultLines.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace dx;

TEST(GroupedStatement, GroupsSumsAndTheirOrderAreThoseOfASortedGrouping)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("groups.dbf");
    std::vector<Row> rows;
    // Empty and null kinds, letter case, a prefix of another kind; areas whose sums
    // depend on the order they are added in, and groups whose sums tie.
    const char *kinds[] = {"сечище", "", "Сечище", "сечищ", "голина", "поляна", "клек"};
    for (int i = 0; i < 700; ++i) {
        const int k = (i * 5) % 7;
        Value kind = i % 10 == 9 ? Value::null() : Value::fromText(kinds[k]);
        const double pl = k >= 4 ? 1.0 : 0.1 * (i % 13) + 1e-9 * i;
        rows.push_back({kind, Value::fromReal(pl), Value::fromInt(i)});
    }
    dbf::create(path,
                {makeField("VID", FieldType::Text, 20), makeField("PL", FieldType::Real, 19, 10),
                 makeField("N", FieldType::Integer, 6)},
                rows);
    Database db(dir.path());
    const std::vector<std::string> statements = {
        "select VID, sum(PL) P, count(*), max(N), N from \"groups.dbf\" group by # order by P desc",
        "select VID, sum(PL) from \"groups.dbf\" group by #",
        "select VID, sum(PL) P from \"groups.dbf\" group by # order by VID desc",
        "select VID, total(PL), min(N) from \"groups.dbf\" where N > 300 group by # order by 2",
        "select count(*), VID from \"groups.dbf\" group by # having count(*) > 1 order by 1, 2 desc"};
    for (std::string s : statements) {
        SCOPED_TRACE(s);
        const size_t at = s.find('#');
        std::string sorted = s;
        sorted.replace(at, 1, "VID||''"); // an expression: SQLite sorts the rows itself
        s.replace(at, 1, "VID");
        const QueryResult grouped = db.execute(s);
        EXPECT_EQ(dxtest::resultLines(grouped), dxtest::resultLines(db.execute(sorted)));
        EXPECT_GE(grouped.rows.size(), 5u);
    }
    // The grouping needs no sort of its own.
    const QueryResult plan = db.execute("explain query plan select VID, sum(PL) P from \"groups.dbf\" group by VID");
    for (const Row &r : plan.rows) EXPECT_EQ(r.back().toText().find("GROUP BY"), std::string::npos) << r.back().toText();
}
