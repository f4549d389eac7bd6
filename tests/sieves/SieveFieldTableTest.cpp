// The field table and the stored choice of the result's columns.
#include "core/ProfileFile.h"
#include "sieves/SieveFieldTable.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace dx;

TEST(SieveFieldTable, EntriesPairNamesWithCaptions)
{
    const std::vector<SieveField> &t = sieveFieldTable();
    ASSERT_EQ(t.size(), 57u);
    const std::pair<int, const char *> spots[][2] = {
        {{0, "OTD"}, {0, "отдел"}},        {{7, "STOP_KLAS"}, {7, "стоп.клас"}}, {{14, "NZN7"}, {14, "предн7"}},
        {{32, "ERO_ST"}, {32, "ерозия степен"}}, {{38, "SECH_PER"}, {38, "% на сечта"}}, {{47, "SECH9"}, {47, "сеч9"}},
        {{48, "NAS_ZALES"}, {48, "нас.на залес"}}, {{56, "PASHA"}, {56, "паша"}}};
    for (const auto &s : spots) {
        EXPECT_EQ(t[size_t(s[0].first)].name, QString::fromUtf8(s[0].second));
        EXPECT_EQ(t[size_t(s[1].first)].caption, QString::fromUtf8(s[1].second));
    }
    EXPECT_EQ(sieveFieldCaption(QStringLiteral("PL")), QStringLiteral("площ"));
    EXPECT_TRUE(sieveFieldCaption(QStringLiteral("pl")).isEmpty()); // exact, case-sensitive
    EXPECT_EQ(sieveColumnList({21, 0, 5, 1, 2}), QStringLiteral("OTD,PODOTD,PL,VID_GORI,MESTORAST"));
}

TEST(SieveFieldTable, StoredChoiceWithBadItems)
{
    EXPECT_EQ(parseSieveFields(QStringLiteral("0,1,2,5,21")), QList<int>({0, 1, 2, 5, 21}));
    EXPECT_EQ(parseSieveFields(QString()), QList<int>({0, 1, 2}));
    EXPECT_EQ(parseSieveFields(QStringLiteral("7")), QList<int>({0, 1, 2, 7})); // the fixed three always
    QStringList rejected;
    EXPECT_EQ(parseSieveFields(QStringLiteral("21, 5 ,57,-1,abc,,99999999999,56,5,1.5"), &rejected),
              QList<int>({0, 1, 2, 5, 21, 56}));
    EXPECT_EQ(rejected, QStringList({"57", "-1", "abc", "", "99999999999", "1.5"}));
    EXPECT_EQ(formatSieveFields({21, 0, 5, 5}), QStringLiteral("0,5,21"));
}

TEST(SieveFieldTable, ColumnChoiceWindow)
{
    dxtest::TempDir dir;
    const QString ini = QString::fromStdString(dir.file("Dendrix.ini"));
    SieveColumnChoice choice;
    EXPECT_TRUE(choice.load(ini).isEmpty()); // no file: the default
    EXPECT_EQ(choice.choice(), QList<int>({0, 1, 2}));

    choice.setTicked(2, false); // PL cannot be unticked
    EXPECT_TRUE(choice.isTicked(2));
    choice.tickAll();
    EXPECT_EQ(choice.selectedText(), QStringLiteral("Избрани: 57"));
    choice.clearAll();
    EXPECT_EQ(choice.selectedText(), QStringLiteral("Избрани: 3"));
    EXPECT_EQ(choice.totalText(), QStringLiteral("Общо: 57"));

    choice.setTicked(30, true);
    choice.setTicked(4, true);
    choice.save(ini);
    EXPECT_EQ(ProfileFile::load(ini).readString("сито работно", "fields"), QStringLiteral("0,1,2,4,30"));
    // "Отказ" brings back exactly what was stored.
    choice.setTicked(9, true);
    choice.setTicked(4, false);
    choice.load(ini);
    EXPECT_EQ(choice.choice(), QList<int>({0, 1, 2, 4, 30}));

    writeProfileString(ini, "сито работно", "fields", "3,всички,80");
    EXPECT_EQ(choice.load(ini), QStringList({"всички", "80"}));
    EXPECT_EQ(choice.choice(), QList<int>({0, 1, 2, 3}));
    // A settings file that cannot be read gives the default.
    std::ofstream(dir.file("Dendrix.ini"), std::ios::binary | std::ios::trunc) << "[сито работно]\nfields=5\n";
    choice.load(ini);
    EXPECT_EQ(choice.choice(), QList<int>({0, 1, 2}));
}
