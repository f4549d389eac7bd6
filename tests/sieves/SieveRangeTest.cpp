// Range criteria: their texts read back, their clauses, and the range window's choices,
// pre-fill and buttons.
#include "sieves/SieveRange.h"

#include <gtest/gtest.h>

using namespace dx;
using Field = RangeWindow::Field;

TEST(SieveRange, ClausesOfTheModes)
{
    EXPECT_EQ(rangeClause(RangeMode::Age, {RangeKind::Between, "20", "40"}),
              QStringLiteral("((A1>=20 and A1<=40) or (A2>=20 and A2<=40) or (A3>=20 and A3<=40) or (A4>=20 and A4<=40) "
                             "or (A5>=20 and A5<=40) or (A6>=20 and A6<=40) or (A7>=20 and A7<=40) or (A8>=20 and "
                             "A8<=40) or (A9>=20 and A9<=40) or (A10>=20 and A10<=40) or (A11>=20 and A11<=40))"));
    EXPECT_TRUE(rangeClause(RangeMode::Fullness, {RangeKind::UpTo, "7", {}}).startsWith(QStringLiteral("((PYLN1<=7) or (PYLN2<=7)")));
    EXPECT_TRUE(rangeClause(RangeMode::Stock, {RangeKind::Over, "300", {}}).endsWith(QStringLiteral(" or (V11>=300))")));
    EXPECT_TRUE(rangeClause(RangeMode::SiteClass, {RangeKind::Equal, "2", {}}).startsWith(QStringLiteral("((B1=2) or (B2=2)")));
    EXPECT_EQ(rangeClause(RangeMode::Area, {RangeKind::UpTo, "5", {}}), QStringLiteral(" (PL<=5) "));
    EXPECT_EQ(rangeClause(RangeMode::PredominantSiteClass, {RangeKind::Between, "1", "3"}),
              QStringLiteral(" (B1>=1 and B1<=3) "));
    EXPECT_EQ(rangeClause(RangeMode::Area, {RangeKind::Equal, "4", {}}), QStringLiteral(" (PL=4) "));
    EXPECT_EQ(rangeClause(RangeMode::Area, {RangeKind::Over, "4", {}}), QStringLiteral(" (PL>=4) "));
}

TEST(SieveRange, TextsReadBack)
{
    const auto parse = [](const char *t) { return parseRangeText(QString::fromUtf8(t)); };
    EXPECT_EQ(parse("от 20 до 40"), (RangeValue{RangeKind::Between, "20", "40"}));
    EXPECT_EQ(parse("от 40 до 20"), (RangeValue{RangeKind::Between, "20", "40"}));
    EXPECT_EQ(parse("от 100 до 99"), (RangeValue{RangeKind::Between, "99", "100"})); // as numbers, not texts
    EXPECT_EQ(parse("до 40"), (RangeValue{RangeKind::UpTo, "40", ""}));
    EXPECT_EQ(parse("над 7"), (RangeValue{RangeKind::Over, "7", ""}));
    EXPECT_EQ(parse("равно на 3"), (RangeValue{RangeKind::Equal, "3", ""}));
    EXPECT_EQ(normalisedRangeText(QStringLiteral("от 40 до 20")), QStringLiteral("от 20 до 40"));
    for (const char *other : {"", " ", "между 1 и 2", "от 20", "от 20 до", "от x до 40", "от 20 и 40", "до 40;drop",
                              "до 4 0", "равно 40", "над -1", "над 1.5", "до 1234567890", "ОТ 1 ДО 2", "до ٣"})
        EXPECT_FALSE(parse(other)) << other;
}

TEST(SieveRange, WindowPrefillFromTheField)
{
    RangeWindow w;
    w.open(RangeMode::Age, QStringLiteral("от 20 до 40"));
    EXPECT_EQ(w.caption(), QStringLiteral("Сито работно - избор Възраст"));
    EXPECT_EQ(w.ticked(), RangeKind::Between);
    EXPECT_EQ(w.value(Field::From), QStringLiteral("20"));
    EXPECT_EQ(w.value(Field::To), QStringLiteral("40"));
    EXPECT_TRUE(w.isEnabled(Field::To));
    EXPECT_FALSE(w.isEnabled(Field::UpTo));

    w.open(RangeMode::Area, QStringLiteral("равно на 5"));
    EXPECT_EQ(w.caption(), QStringLiteral("Сито работно - избор Площ"));
    EXPECT_EQ(w.ticked(), RangeKind::Equal);
    EXPECT_EQ(w.value(Field::Equal), QStringLiteral("5"));
    EXPECT_TRUE(w.value(Field::From).isEmpty());
    EXPECT_EQ(w.focusField(), Field::Equal);

    // An empty or unknown text keeps the choice and empties the fields; a value that is no
    // number is not taken over.
    w.open(RangeMode::Stock, QString());
    EXPECT_EQ(w.ticked(), RangeKind::Equal);
    EXPECT_TRUE(w.value(Field::Equal).isEmpty());
    w.open(RangeMode::Stock, QStringLiteral("между 1 и 2"));
    EXPECT_EQ(w.ticked(), RangeKind::Equal);
    w.open(RangeMode::Stock, QStringLiteral("над x1"));
    EXPECT_EQ(w.ticked(), RangeKind::Over);
    EXPECT_TRUE(w.value(Field::Over).isEmpty());
}

TEST(SieveRange, WindowButtons)
{
    RangeWindow w;
    w.open(RangeMode::Age, QString());
    w.setValue(Field::From, QStringLiteral("40"));
    w.setValue(Field::To, QStringLiteral("20"));
    RangeWindow::Outcome o = w.ok();
    EXPECT_TRUE(o.closes);
    EXPECT_EQ(o.fieldText, QStringLiteral("от 20 до 40"));

    w.setValue(Field::To, QString());
    o = w.ok();
    EXPECT_FALSE(o.closes);
    EXPECT_FALSE(o.fieldText);
    ASSERT_TRUE(o.message);
    EXPECT_EQ(o.message->caption, QStringLiteral("Внимание!"));
    EXPECT_EQ(o.message->text, QStringLiteral("Не са въведени стойности за критерия \"ОТ-ДО\"."));

    // The "e" and the last "a" of these three messages are Latin letters.
    const std::pair<RangeKind, const char *> single[] = {
        {RangeKind::UpTo, "Не e въведенa стойност за критерии \"ДО\"."},
        {RangeKind::Over, "Не e въведенa стойност за критерии \"НАД\"."},
        {RangeKind::Equal, "Не e въведенa стойност за критерии \"РАВНО\"."}};
    for (const auto &[kind, text] : single) {
        w.tick(kind);
        o = w.ok();
        ASSERT_TRUE(o.message);
        EXPECT_EQ(o.message->text, QString::fromUtf8(text));
        EXPECT_EQ(o.message->text.count(QChar(u'e')), 1);
        EXPECT_EQ(o.message->text.count(QChar(u'a')), 1);
    }
    w.tick(RangeKind::Over);
    w.setValue(Field::Over, QStringLiteral("15"));
    EXPECT_EQ(w.ok().fieldText, QStringLiteral("над 15"));

    o = w.clear();
    EXPECT_TRUE(o.closes);
    EXPECT_EQ(o.fieldText, QString());
    EXPECT_EQ(w.ticked(), RangeKind::Between);
    EXPECT_TRUE(w.value(Field::Over).isEmpty());
    EXPECT_FALSE(w.cancel().fieldText);

    EXPECT_TRUE(rangeKeyAccepted(QChar(u'7')));
    EXPECT_TRUE(rangeKeyAccepted(QChar(u'\b')));
    EXPECT_FALSE(rangeKeyAccepted(QChar(u'-')));
    EXPECT_FALSE(rangeKeyAccepted(QChar(u'.')));
    EXPECT_EQ(rangeWindowPosition(QPoint(100, 50), QRect(10, 20, 80, 21)), QPoint(115, 161));
}
