// Legacy statements become SQLite text with table files swapped for their tables and
// every double-quoted constant made a safe string literal.
#include "engine/sql/SqlTranslate.h"

#include "engine/common/EngineError.h"

#include <gtest/gtest.h>

#include <vector>

using dx::sql::translate;

namespace {

std::string tr(const std::string &s, std::vector<std::string> *tables = nullptr)
{
    return translate(s, [&](const std::string &file) {
        if (tables) tables->push_back(file);
        return std::string("T") + std::to_string(tables ? tables->size() : 0);
    });
}

} // namespace

TEST(SqlTranslate, TablesInFromListsAndJoinsBecomeTables)
{
    std::vector<std::string> tables;
    EXPECT_EQ(tr("select distinct OTD from \"C:\\x\\database\\A.DB\" order by OTD ASC", &tables),
              "select distinct OTD from T1 order by OTD ASC");
    EXPECT_EQ(tr("SELECT t2.ZEMNAME, SUM(t1.PL) AS P from \"a.db\" t1, \"zemnom\\z.dbf\" t2 "
                 "where (t1.zeml = t2.nomer) GROUP BY T2.ZEMNAME order BY P desc", &tables),
              "SELECT t2.ZEMNAME, SUM(t1.PL) AS P from T2 t1, T3 t2 "
              "where (t1.zeml = t2.nomer) GROUP BY T2.ZEMNAME order BY P desc");
    EXPECT_EQ(tables[1], "a.db");
    EXPECT_EQ(tables[2], "zemnom\\z.dbf");
    EXPECT_EQ(tr("select * from \"a.db\" as a join \"b.db\" b on a.X = b.X", &tables),
              "select * from T4 as a join T5 b on a.X = b.X");
}

TEST(SqlTranslate, DoubleQuotedConstantsBecomeEscapedLiterals)
{
    EXPECT_EQ(tr("select PRINT from \"n.dbf\" where TYPE=\"dv\" and CODE>0"),
              "select PRINT from T0 where TYPE='dv' and CODE>0");
    EXPECT_EQ(tr("select * from \"p.db\" where SECH1=\"\" or NADM_VIS=\"850\""),
              "select * from T0 where SECH1='' or NADM_VIS='850'");
    // A value with quotes and SQL in it stays one literal.
    std::string value = "x' or 1=1; drop table t; --\"";
    std::string stmt = "select * from \"p.db\" where PODOTD=" + dx::sql::quoteText(value);
    EXPECT_EQ(tr(stmt), "select * from T0 where PODOTD='x'' or 1=1; drop table t; --\"'");
    // Double quotes after WHERE never name a table, even when the text looks like one.
    std::vector<std::string> tables;
    tr("select * from \"p.db\" where X=\"q.db\"", &tables);
    EXPECT_EQ(tables.size(), 1u);
}

TEST(SqlTranslate, UnclosedQuoteIsAnError)
{
    EXPECT_THROW(tr("select * from \"p.db where X=1"), dx::EngineError);
    EXPECT_THROW(tr("select * from \"p.db\" where X='a"), dx::EngineError);
    const std::string doubled = "select * from \"p.db\" where X=\"a\"\"";
    try {
        tr(doubled);
        ADD_FAILURE() << "translated";
    } catch (const dx::EngineError &e) {
        EXPECT_EQ(e.subject(), doubled);
        EXPECT_EQ(e.reason(), "a quoted text is not closed");
    }
}

TEST(SqlTranslate, QuotesInsideQuotedTokensAreDoubled)
{
    std::vector<std::string> tables;
    // In a table name as in a constant, two quotes stand for one.
    EXPECT_EQ(tr("select \"a\"\"b\", 'c''d', \"\", '' from \"x\"\"y.db\"", &tables),
              "select 'a\"b', 'c''d', '', '' from T1");
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0], "x\"y.db");
    // A quote of the other kind is plain text inside a token.
    EXPECT_EQ(tr("select \"it's\", 'say \"hi\"'"), "select 'it''s', 'say \"hi\"'");
    EXPECT_EQ(tr("select " + dx::sql::quoteText("\"\"") + ", " + dx::sql::quoteText("")), "select '\"\"', ''");
}

TEST(SqlTranslate, SubqueryInFromKeepsTranslating)
{
    std::vector<std::string> tables;
    EXPECT_EQ(tr("select * from (select OTD from \"p.db\" where PODOTD=\"а\") x", &tables),
              "select * from (select OTD from T1 where PODOTD='а') x");
}
