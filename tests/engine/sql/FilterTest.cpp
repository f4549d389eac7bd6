// Filter expressions over a small dBase table: and/or/not chains evaluate term by term,
// and expressions of any length or nesting either compile or fail with a clear error
// (never by running out of stack).
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Filter.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dx;

namespace {

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<FieldDef> fields = {{"OTD", FieldType::Integer, 4, 0, 'N'},
                                        {"PODOTD", FieldType::Text, 2, 0, 'C'}};
        std::vector<Row> rows;
        for (int i = 1; i <= 6; ++i)
            rows.push_back({Value::fromInt(i), Value::fromText(i % 2 ? "а" : "б")});
        dbf::create(dir.file("f.dbf"), fields, rows);
        table = dbf::read(dir.file("f.dbf"));
    }

    // Numbers (OTD) of the rows the expression matches.
    std::vector<int64_t> matching(const std::string &expression) const
    {
        Filter f = Filter::compile(expression, *table);
        std::vector<int64_t> out;
        for (size_t r = 0; r < table->rowCount(); ++r)
            if (f.matches(*table, r)) out.push_back(table->value(r, 0).i);
        return out;
    }

    dxtest::TempDir dir;
    TableFilePtr table;
};

} // namespace

TEST_F(FilterTest, ChainsOfAndOrNotFollowPrecedence)
{
    EXPECT_EQ(matching("OTD=1 or OTD=4 or OTD=6"), (std::vector<int64_t>{1, 4, 6}));
    EXPECT_EQ(matching("OTD>1 and OTD<6 and PODOTD='а'"), (std::vector<int64_t>{3, 5}));
    EXPECT_EQ(matching("OTD=1 or OTD>2 and PODOTD='б'"), (std::vector<int64_t>{1, 4, 6}));
    EXPECT_EQ(matching("(OTD=1 or OTD>2) and PODOTD='б'"), (std::vector<int64_t>{4, 6}));
    EXPECT_EQ(matching("not not OTD=2"), (std::vector<int64_t>{2}));
    EXPECT_EQ(matching("not (OTD<=2 or OTD>=5) and not PODOTD='а'"), (std::vector<int64_t>{4}));
}

TEST_F(FilterTest, LongOrChainOfThousandsOfTermsEvaluates)
{
    // A sieve over many compartments makes one long "or" chain.
    std::string e = "OTD=5";
    for (int i = 100; i < 200000; ++i) e += " or OTD=" + std::to_string(i);
    e += " or OTD=2";
    EXPECT_EQ(matching(e), (std::vector<int64_t>{2, 5}));
    std::string a = "OTD>0";
    for (int i = 0; i < 200000; ++i) a += " and OTD<>4";
    EXPECT_EQ(matching(a), (std::vector<int64_t>{1, 2, 3, 5, 6}));
}

TEST_F(FilterTest, DeepNestingIsAnErrorNotACrash)
{
    EXPECT_EQ(matching(std::string(150, '(') + "OTD=3" + std::string(150, ')')), (std::vector<int64_t>{3}));
    std::string parens = std::string(100000, '(') + "OTD=1" + std::string(100000, ')');
    EXPECT_THROW(Filter::compile(parens, *table), EngineError);
    std::string nots;
    for (int i = 0; i < 100000; ++i) nots += "not ";
    EXPECT_THROW(Filter::compile(nots + "OTD=1", *table), EngineError);
}

TEST_F(FilterTest, QuotedTextsDoubleTheirQuotes)
{
    // Two quotes inside a text stand for one and do not end it.
    EXPECT_EQ(matching("PODOTD='а''' or OTD=2"), (std::vector<int64_t>{2}));
    EXPECT_EQ(matching("PODOTD='''' or OTD=3"), (std::vector<int64_t>{3}));
    EXPECT_EQ(matching("PODOTD='' or OTD=4"), (std::vector<int64_t>{4}));
    EXPECT_EQ(matching("PODOTD='б' and OTD<'5'"), (std::vector<int64_t>{2, 4}));
    for (const std::string e : {"PODOTD='а", "PODOTD='а''", "PODOTD='"}) {
        SCOPED_TRACE(e);
        try {
            Filter::compile(e, *table);
            ADD_FAILURE() << "compiled";
        } catch (const EngineError &err) {
            EXPECT_EQ(err.subject(), e);
            EXPECT_EQ(err.reason(), "a quoted text in the filter is not closed");
        }
    }
}
