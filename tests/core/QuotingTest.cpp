// Constants spliced into filters and statements, and whole numbers read from typed texts.
#include "core/Quoting.h"

#include <gtest/gtest.h>

namespace {

TEST(Quoting, QuotesInsideAConstantAreDoubledSoItCannotEndEarly)
{
    EXPECT_EQ(dx::filterQuoted("а"), "'а'");
    EXPECT_EQ(dx::filterQuoted("it's' or 1=1 --"), "'it''s'' or 1=1 --'");
    EXPECT_EQ(dx::filterQuoted(""), "''");
    EXPECT_EQ(dx::sqlQuoted("database\\X.DB"), "\"database\\X.DB\"");
    EXPECT_EQ(dx::sqlQuoted("a\"b\" or \"1"), "\"a\"\"b\"\" or \"\"1\"");
    EXPECT_EQ(dx::sqlQuoted("it's"), "\"it's\"");
}

TEST(Quoting, WholeNumbersAreDigitsWithASignAndBlanksAround)
{
    EXPECT_EQ(dx::wholeNumber("12"), 12);
    EXPECT_EQ(dx::wholeNumber(" 12 "), 12);
    EXPECT_EQ(dx::wholeNumber("\t7\n"), 7);
    EXPECT_EQ(dx::wholeNumber("-5"), -5);
    EXPECT_EQ(dx::wholeNumber("+3"), 3);
    EXPECT_EQ(dx::wholeNumber("007"), 7);
    EXPECT_EQ(dx::wholeNumber("2147483647"), 2147483647);
    for (const char *bad : {"", " ", "1.5", "1,5", "12a", "a12", "1 2", "0x10", "1e3", "2147483648", "--1", "١٢"})
        EXPECT_FALSE(dx::wholeNumber(QString::fromUtf8(bad))) << bad;
}

} // namespace
