// The current and the future composition over small project tables: carried heights
// and diameters, repeated ages, branch wood and the per-storey rounding, the totals
// row, volumes far beyond the usual, and the rounding rules themselves.
#include "DescriptionFixture.h"

#include "description/CurrentComposition.h"
#include "description/FutureComposition.h"

#include <gtest/gtest.h>

#include <climits>

using namespace dx;
using dxtest::ProjectRow;
using Rows = QVector<CompositionRow>;

namespace {

class Composition : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    Rows compose(const ProjectRow &row)
    {
        project({row});
        std::optional<Rows> rows = ViewSS(state, 1, QStringLiteral("а"));
        EXPECT_TRUE(rows.has_value());
        EXPECT_FALSE(state.projectTable.active()); // closed when done
        return rows.value_or(Rows{});
    }
};

QStringList column(const Rows &rows, QString CompositionRow::*cell)
{
    QStringList out;
    for (const CompositionRow &r : rows) out << r.*cell;
    return out;
}

} // namespace

TEST(Rounding, FivesAndTens)
{
    for (auto [in, out] : {std::pair{3, 5}, {0, 5}, {7, 10}, {11, 10}, {12, 10}, {13, 15}, {16, 15}, {17, 15},
                           {18, 20}, {25, 25}, {134, 135}, {INT_MAX, 2147483645}})
        EXPECT_EQ(roundToFive(in), out) << in;
    for (auto [in, out] : {std::pair{14, 10}, {15, 20}, {20, 20}, {134, 130}, {-15, -20}, {INT_MAX, 2147483640}})
        EXPECT_EQ(roundToTen(in), out) << in;
    EXPECT_EQ(roundToTen(LLONG_MAX), 9223372036854775800LL); // no next ten in the range
    EXPECT_EQ(roundToTen(LLONG_MIN), -9223372036854775800LL);
}

TEST_F(Composition, FirstStoreyCarriesHeightAndDiameterAndAgesAreShownOnce)
{
    ProjectRow r(1, "а");
    r.slot(1, "бк", "1", 7, 1, 60, 7, 22, 2, 26, 160, 800, 0);
    r.slot(2, "бк", "1", 3, 1, 60, 7, 0, 2, 0, 70, 350, 0);  // measured only through the first
    r.slot(4, "орх", "2", 10, 2, 30, 3, 0, 3, 0, 10, 50, 0); // after an empty slot; second storey
    r.slot(5, "лщ", "подл", 0, 3, 0, 0, 0, 0, 0, 0, 0, 0);
    r.slot(6, "бк", "1", 0, 1, 8, 0, 0, 0, 0, 0, 0, 0); // first storey without share
    Rows rows = compose(r);
    EXPECT_EQ(column(rows, &CompositionRow::dv), QStringList({"бк", "бк", "орх", "лщ", "бк", "всичко"}));
    EXPECT_EQ(column(rows, &CompositionRow::et), QStringList({"", "", "", "подл", "", ""}));
    EXPECT_EQ(column(rows, &CompositionRow::h), QStringList({"22", "22", "-", "-", "-", ""}));
    EXPECT_EQ(column(rows, &CompositionRow::d), QStringList({"26", "26", "-", "-", "-", ""}));
    EXPECT_EQ(column(rows, &CompositionRow::a), QStringList({"60", "-", "30", "0", "8", ""}));
    EXPECT_EQ(column(rows, &CompositionRow::u), QStringList({"7", "3", "10", "-", "-", ""}));
    EXPECT_EQ(column(rows, &CompositionRow::pyl), QStringList({"0.7 ", "0.7 ", "0.3 ", "-", "-", ""}));
    EXPECT_TRUE(rows.back().totals);
}

TEST_F(Composition, StoreysOfAtMostFiftyAreRoundedToFivesOthersToTens)
{
    ProjectRow r(1, "а");
    r.num("SECH_PER", 10);
    // "орх" has no branch wood: the stock with branches is the stock itself.
    r.slot(1, "орх", "1", 6, 1, 50, 7, 20, 2, 20, 10, 23, 0);
    r.slot(2, "орх", "1", 4, 1, 50, 7, 20, 2, 20, 10, 27, 0); // storey of 50
    r.slot(3, "орх", "2", 6, 1, 30, 5, 10, 3, 10, 10, 24, 0);
    r.slot(4, "орх", "2", 4, 1, 30, 5, 10, 3, 10, 10, 27, 0); // storey of 51
    // 9 %: stock 123 + 11 = 134 (tens), use 12 + 1 = 13 alone in the storey's use (fives).
    r.slot(5, "бб", "надл", 10, 1, 120, 2, 18, 2, 30, 40, 123, 12);
    // Shares that never reach 10 leave the storey to tens.
    r.slot(6, "орх", "подр", 6, 1, 8, 0, 1, 0, 0, 5, 33, 0);
    r.slot(7, "орх", "подр", 6, 1, 8, 0, 1, 0, 0, 5, 12, 0);
    Rows rows = compose(r);
    EXPECT_EQ(column(rows, &CompositionRow::vkloni), QStringList({"25", "25", "20", "30", "130", "30", "10", "270"}));
    EXPECT_EQ(column(rows, &CompositionRow::pkloni), QStringList({"-", "-", "-", "-", "15", "-", "-", "15"}));
    const CompositionRow &t = rows.back();
    EXPECT_EQ(QStringList({t.v1, t.v, t.polz1, t.polz2, t.u, t.povr}), QStringList({"90", "269", "10", "12", "", ""}));
}

TEST_F(Composition, OriginCodeStaysForRowsWithoutOrigin)
{
    ProjectRow r(1, "а");
    r.num("SECH_PER", 20);
    r.slot(1, "бк", "1", 5, 3, 40, 7, 20, 3, 20, 50, 100, 20);  // coppice: 20 %
    r.slot(2, "бк", "1", 5, 0, 40, 7, 20, 3, 20, 50, 100, 20);  // no origin: still coppice
    r.slot(3, "бк", "2", 10, 1, 40, 7, 20, 3, 20, 50, 100, 20); // seed: 10 %
    Rows rows = compose(r);
    EXPECT_EQ(column(rows, &CompositionRow::pr), QStringList({"изд", "-", "сем", ""}));
    EXPECT_EQ(column(rows, &CompositionRow::vkloni), QStringList({"120", "120", "110", "350"}));
    EXPECT_EQ(column(rows, &CompositionRow::pkloni), QStringList({"25", "25", "20", "70"})); // 48 and 22: fives
}

TEST_F(Composition, EmptyRecordsUseWithoutCuttingAndNegativeValues)
{
    Rows rows = compose(ProjectRow(1, "а").num("SECH_PER", 30));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(QStringList({rows[0].v1, rows[0].v, rows[0].polz1, rows[0].polz2, rows[0].vkloni, rows[0].pkloni}),
              QStringList({"-", "-", "-", "-", "", ""}));

    ProjectRow r(1, "а");
    r.slot(1, "бб", "1", 10, 1, 80, 7, 25, 2, 30, 200, 400, 80); // use, but no cutting percentage
    rows = compose(r);
    EXPECT_EQ(QStringList({rows[0].polz2, rows[0].pkloni, rows[1].polz1, rows[1].polz2, rows[1].pkloni}),
              QStringList({"80", "-", "-", "80", "-"}));
    EXPECT_EQ(rows[1].vkloni, "440"); // 400 + 36, tens

    r = ProjectRow(1, "а");
    r.slot(1, "орх", "1", 5, 1, 40, 2.5, 20, 2, 20, -10, -5, -3).text("POVR1", "л2к"); // 0.25: a tie, away from zero
    r.slot(2, "орх", "1", 5, 1, 40, 0, -4, -1, -2, 10, 20, 0).text("POVR2", "0");
    rows = compose(r);
    EXPECT_EQ(QStringList({rows[0].pyl, rows[0].povr, rows[0].v1, rows[0].v, rows[0].vkloni, rows[0].polz2}),
              QStringList({"0.3 ", "л2к", "-", "-", "-", "-"}));
    EXPECT_EQ(QStringList({rows[1].pyl, rows[1].povr, rows[1].h, rows[1].b, rows[1].d}),
              QStringList({"-", "-", "20", "-", "-2"}));
    EXPECT_EQ(QStringList({rows[2].v1, rows[2].v, rows[2].polz2}), QStringList({"10", "20", "-"}));
}

TEST_F(Composition, HugeVolumesKeepExactIntegerArithmeticAndTotalsDoNotWrap)
{
    ProjectRow r(1, "а");
    r.num("SECH_PER", 30);
    r.slot(1, "пр", "1", 5, 1, 90, 7, 30, 1, 60, 400000000, 2000000000, 2000000000); // 30 %
    r.slot(2, "бб", "1", 5, 1, 90, 7, 30, 1, 60, 1, 999999999999999999LL, 0);       // 9 %
    Rows rows = compose(r);
    EXPECT_EQ(rows[0].vkloni, "2600000000");
    EXPECT_EQ(rows[0].pkloni, "2600000000");
    // 999999999999999999 × 9 / 100 = 89999999999999999.91: + 89999999999999999, then tens.
    EXPECT_EQ(rows[1].vkloni, "1090000000000000000");
    EXPECT_EQ(rows[2].v, "1000000001999999999");

    r = ProjectRow(1, "а");
    for (int j = 1; j <= 11; ++j) r.slot(j, "бб", "1", 1, 1, 90, 7, 30, 1, 60, 1, 999999999999999999LL, 0);
    rows = compose(r);
    EXPECT_EQ(rows.back().v, QString::number(LLONG_MAX));
    EXPECT_EQ(rows.back().vkloni, QString::number(LLONG_MAX));
}

TEST_F(Composition, PairsThatNameNoSingleRecordLeaveTheTableOpen)
{
    project({ProjectRow(1, "а"), ProjectRow(1, "б"), ProjectRow(1, "б")});
    EXPECT_FALSE(ViewSS(state, 1, QStringLiteral("б")).has_value());
    EXPECT_FALSE(ViewSS(state, 1, QStringLiteral("a")).has_value()); // Latin a
    EXPECT_FALSE(ViewBS(state, 1, QStringLiteral("б")).has_value());
    EXPECT_TRUE(state.projectTable.active());
    EXPECT_TRUE(ViewBS(state, 1, QStringLiteral("а")).has_value());
    EXPECT_FALSE(state.projectTable.active());
}

TEST_F(Composition, GridModelAndFutureRows)
{
    ProjectRow r(1, "а");
    r.slot(1, "бб", "подр", 10, 1, 8, 0, 1, 0, 0, 0, 0, 0);
    r.text("OBS_DV1", "смр").num("OBS_UCH1", 6).num("OBS_B1", 2).real("OBS_ZALES1", 1.25);
    r.text("OBS_DV3", "бк").real("OBS_ZALES3", 0.6);
    r.text("OBS_DV5", "ела").num("OBS_UCH5", 4).num("OBS_B5", 3);
    DataGridModel model(compositionColumns());
    model.setRows(compositionGridRows(compose(r)));
    EXPECT_EQ(model.columnCount(), 16);
    EXPECT_EQ(QStringList({model.displayText(0, 0), model.displayText(0, 1), model.displayText(1, 1)}),
              QStringList({"подр", "бб", "всичко"}));
    EXPECT_EQ(model.column(10).title, "Запас - куб.м|на 1 ха");

    project({r, ProjectRow(1, "б")});
    std::optional<QVector<FutureRow>> rows = ViewBS(state, 1, QStringLiteral("а"));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 3);
    EXPECT_EQ(futureCells((*rows)[0]), QStringList({"смр", "6", "2", "1.3"})); // a tie, away from zero
    EXPECT_EQ(futureCells((*rows)[1]), QStringList({"бк", "-", "-", "0.6"}));
    EXPECT_EQ(futureCells((*rows)[2]), QStringList({"ела", "4", "3", "-"}));
    EXPECT_TRUE(ViewBS(state, 1, QStringLiteral("б"))->isEmpty());
}
