// The ownership filter texts for each choice, and the quoting of the kind.
#include "core/OwnershipFilter.h"

#include <gtest/gtest.h>

using namespace dx;

namespace {

OwnershipChoice choice(bool byKind, const QString &kind, Purpose p)
{
    OwnershipChoice c;
    c.byKind = byKind;
    c.kind = kind;
    c.purpose = p;
    return c;
}

} // namespace

TEST(OwnershipFilter, TextsOfEachChoice)
{
    const OwnershipFilter all = buildOwnershipFilter(choice(false, "държавна", Purpose::General), "ДГС Бор", "2019");
    EXPECT_EQ(all.recordFilter, "");
    EXPECT_EQ(all.sqlFilter, "");
    EXPECT_EQ(all.description, " собственост: всички видове, предназначение: стопанско+специално");
    EXPECT_EQ(all.ownershipLine(), "собственост: всички видове, предназначение: стопанско+специално");
    EXPECT_EQ(all.projectHeading, "ДГС Бор 2019г.");

    const OwnershipFilter economic = buildOwnershipFilter(choice(false, "", Purpose::Economic), "X", "1");
    EXPECT_EQ(economic.recordFilter, " and NZN1='дървопроизв.и средообр'");
    EXPECT_EQ(economic.sqlFilter, " and NZN1=\"дървопроизв.и средообр\"");
    EXPECT_EQ(economic.description, " собственост: всички видове, предназначение: стопанско");

    // The kind condition comes first, the purpose condition after it.
    const OwnershipFilter special = buildOwnershipFilter(choice(true, "частна", Purpose::Special), "X", "1");
    EXPECT_EQ(special.recordFilter, " and NZN2='частна' and NZN1<>'дървопроизв.и средообр'");
    EXPECT_EQ(special.sqlFilter, " and NZN2=\"частна\" and NZN1<>\"дървопроизв.и средообр\"");
    EXPECT_EQ(special.description, " собственост: частна, предназначение: специално");
}

TEST(OwnershipFilter, KindIsAlwaysOneQuotedConstant)
{
    const OwnershipFilter f =
        buildOwnershipFilter(choice(true, "O'Neil\" or 1=1; drop table x", Purpose::General), "X", "1");
    EXPECT_EQ(f.recordFilter, " and NZN2='O''Neil\" or 1=1; drop table x'");
    EXPECT_EQ(f.sqlFilter, " and NZN2=\"O'Neil\"\" or 1=1; drop table x\"");
}

TEST(OwnershipFilter, ConditionsOfTheSecondReport)
{
    EXPECT_EQ(ownershipWhere(choice(false, "", Purpose::General)), "");
    EXPECT_EQ(ownershipWhere(choice(false, "", Purpose::Special)), " WHERE NZN1<>\"дървопроизв.и средообр\"");
    EXPECT_EQ(ownershipWhere(choice(true, "общинска", Purpose::Economic)),
              " WHERE NZN2=\"общинска\" and NZN1=\"дървопроизв.и средообр\"");
    EXPECT_EQ(ownershipAnd(choice(false, "", Purpose::General)), "");
    EXPECT_EQ(ownershipAnd(choice(true, "общинска", Purpose::Special)),
              " and NZN2=\"общинска\" and NZN1<>\"дървопроизв.и средообр\"");
}

TEST(OwnershipFilter, CommandLineWords)
{
    EXPECT_EQ(purposeFromName("general"), Purpose::General);
    EXPECT_EQ(purposeFromName("economic"), Purpose::Economic);
    EXPECT_EQ(purposeFromName("special"), Purpose::Special);
    EXPECT_FALSE(purposeFromName("Special"));
    EXPECT_FALSE(purposeFromName(""));
    EXPECT_TRUE(ownershipKindProblem("държавна").isEmpty());
    EXPECT_TRUE(ownershipKindProblem("a'b\";c").isEmpty());
    EXPECT_FALSE(ownershipKindProblem("държавна ").isEmpty());
    EXPECT_FALSE(ownershipKindProblem(QString::fromUtf8("państwowa")).isEmpty());
    EXPECT_FALSE(ownershipKindProblem("").isEmpty());
}
