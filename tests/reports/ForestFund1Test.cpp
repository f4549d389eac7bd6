// Forest fund report 1 on small project tables, each sum worked out by hand here.
#include "reports/ForestFund1.h"

#include "ForestFundFixture.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ForestFundFixture;
using dxtest::ProjectRow;

namespace {

class ForestFund1 : public ::testing::Test, public ForestFundFixture {
protected:
    // The grid's shown rows, each as "label|c1|c2|c3|c4|c5|all".
    QStringList build(const OwnershipChoice &choice = {})
    {
        const OwnershipFilter filter = buildOwnershipFilter(choice, state.title, state.year);
        report = BuildGF1(state.db, state.projectTablePath, filter);
        model = makeGF1Model();
        fillGF1Model(*model, report);
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c) cells << gridCellText(*model, r, c);
            out << cells.join('|');
        }
        return out;
    }
    // A slot with only its density set.
    static ProjectRow &density(ProjectRow &r, int slot, double pyln)
    {
        return r.real(QStringLiteral("PYLN%1").arg(slot), pyln);
    }

    GF1Report report;
    std::unique_ptr<ForestFundModel> model;
};

} // namespace

TEST_F(ForestFund1, RowsColumnsAndTotalsOfTheEdgeCases)
{
    ProjectRow a = stand(1, "а", "иглолистни", "семенно насаждение", 2.5);
    density(a, 1, 0);
    density(a, 2, 5); // the first positive density is the second slot's: row 1
    ProjectRow b = stand(1, "б", "иглолистни", "семенно насаждение", 1.2);
    density(b, 1, 11); // above 10: no row
    density(b, 2, 5);
    ProjectRow c = stand(1, "в", "иглолистни", "семенно насаждение", 0.8);
    density(c, 1, 2); // row 4
    ProjectRow d = stand(1, "г", "превръщане", "склопена култура", 3.0);
    density(d, 1, 7); // pass 1 row 1 and pass 2 row 2, conversion column
    ProjectRow e = stand(1, "д", "реконструкция", "нелесопригодна площ", 4.0);
    density(e, 1, 6); // not a natural stand of reconstruction; an other kind in pass 2
    ProjectRow f = stand(2, "а", "тополови", "издънково насаждение", 1.5);
    density(f, 1, 8);
    ProjectRow g = stand(2, "б", "широкол. високостъбл.", "сечище", 0.7);
    ProjectRow h = stand(2, "в", "иглолистни", "клек", 2.0);
    ProjectRow i = stand(2, "г", "-", "поляна", 5.0); // listed, but of no kind of forest
    ProjectRow j = stand(2, "д", "иглолистни", "несклопена култура", 1.1);
    ProjectRow k = stand(2, "е", "нискостъблени", "семенно насаждение", 0.6); // no positive density
    makeProject({a, b, c, d, e, f, g, h, i, j, k});

    EXPECT_EQ(report.otherKinds, QStringList()) << "before the build";
    const QStringList rows = build();
    EXPECT_EQ(report.otherKinds, (QStringList{"нелесопригодна площ", "поляна"}));
    const QStringList want = {
        "естествен призход 0.4-1.0|2.5|1.5||3.0||7.0",
        "склопени култури||||3.0||3.0",
        "несклопени култури|1.1|||||1.1",
        "естествен призход 0.1-0.3|0.8|||||0.8",
        "изредени култури||||||",
        "всичко насаждения|4.4|1.5|0.0|6.0|0.0|11.9",
        "||||||",
        "клек|2.0|||||2.0",
        "всичко залесена площ|6.4|1.5|0.0|6.0|0.0|13.9",
        "||||||",
        "сечище||0.7||||0.7",
        "пожарище||||||",
        "голина||||||",
        "всичко незал. дървопр.|0.0|0.7|0.0|0.0|0.0|0.7",
        "||||||",
        "нелесопригодна площ|||4.0|||4.0",
        "поляна||||||",
        "всичко недървопр. площ|0.0|0.0|4.0|0.0|0.0|4.0",
        "||||||",
        "всичко устроена площ|6.4|2.2|4.0|6.0|0.0|18.6",
        "||||||",
        "в тч дървопр.площ|6.4|2.2|0.0|6.0|0.0|14.6",
    };
    EXPECT_EQ(rows, want);
    // Total rows are bold; the all column is bold everywhere; other rows are not.
    EXPECT_TRUE(model->isBold(5, 1));
    EXPECT_TRUE(model->isBold(21, 3));
    EXPECT_FALSE(model->isBold(0, 1));
    EXPECT_TRUE(model->isBold(0, 6));
    // A zero is stored as null, not as 0.
    EXPECT_TRUE(model->value(5, 3).isNull());
}

TEST_F(ForestFund1, WithoutOtherKindsTheLastRowsAre13To15)
{
    ProjectRow a = stand(1, "а", "иглолистни", "семенно насаждение", 1.0);
    density(a, 1, 4);
    makeProject({a, stand(1, "б", "иглолистни", "голина", 0.5)});
    const QStringList rows = build();
    ASSERT_EQ(rows.size(), 12 + 3 + 5); // 15 rows and five empty rows after the totals
    EXPECT_EQ(rows[15], "всичко недървопр. площ|0.0|0.0|0.0|0.0|0.0|");
    EXPECT_TRUE(model->isTotalRow(15));
    EXPECT_EQ(rows[17], "всичко устроена площ|1.5|0.0|0.0|0.0|0.0|1.5");
    EXPECT_EQ(rows[19], "в тч дървопр.площ|1.5|0.0|0.0|0.0|0.0|1.5");
}

TEST_F(ForestFund1, OwnershipAndPurposeSelectRecords)
{
    ProjectRow a = stand(1, "а", "иглолистни", "семенно насаждение", 1.0, "частна", "водоохранни");
    ProjectRow b = stand(1, "б", "иглолистни", "семенно насаждение", 2.0, "частна");
    ProjectRow c = stand(1, "в", "иглолистни", "семенно насаждение", 4.0, "държавна", "водоохранни");
    ProjectRow d = stand(1, "г", "иглолистни", "семенно насаждение", 8.0, "O'Ray\"; drop table x", "водоохранни");
    ProjectRow e = stand(1, "д", "иглолистни", "поляна", 16.0, "частна", "водоохранни");
    ProjectRow f = stand(1, "е", "иглолистни", "ливада", 32.0, "държавна", "водоохранни");
    for (ProjectRow *r : {&a, &b, &c, &d}) density(*r, 1, 5);
    makeProject({a, b, c, d, e, f});

    OwnershipChoice privateSpecial;
    privateSpecial.byKind = true;
    privateSpecial.kind = "частна";
    privateSpecial.purpose = Purpose::Special;
    // The kind condition first, then the special-purpose condition.
    EXPECT_EQ(gf1OwnershipCondition(buildOwnershipFilter(privateSpecial, "X", "1")),
              "NZN2='частна' and NZN1<>'дървопроизв.и средообр'");
    EXPECT_EQ(gf1OwnershipCondition(buildOwnershipFilter({}, "X", "1")), "");
    QStringList rows = build(privateSpecial);
    EXPECT_EQ(rows[0], "естествен призход 0.4-1.0|1.0|||||1.0");
    // Only the kind of the chosen ownership is listed ("ливада" is of another owner).
    EXPECT_EQ(report.otherKinds, QStringList{"поляна"});
    EXPECT_EQ(rows[15], "поляна|16.0|||||16.0");

    OwnershipChoice economic;
    economic.purpose = Purpose::Economic;
    rows = build(economic);
    EXPECT_EQ(rows[0], "естествен призход 0.4-1.0|2.0|||||2.0");
    EXPECT_TRUE(report.otherKinds.isEmpty());

    // A kind with quotes and statement words is one constant: exactly that record.
    OwnershipChoice odd;
    odd.byKind = true;
    odd.kind = "O'Ray\"; drop table x";
    rows = build(odd);
    EXPECT_EQ(rows[0], "естествен призход 0.4-1.0|8.0|||||8.0");
    odd.kind = "O'Ray";
    rows = build(odd);
    EXPECT_EQ(rows[0], "естествен призход 0.4-1.0||||||");
    EXPECT_EQ(rows.size(), 20);
}

TEST_F(ForestFund1, EditedCellsStayAsEdited)
{
    ProjectRow a = stand(1, "а", "иглолистни", "семенно насаждение", 1.0);
    density(a, 1, 4);
    makeProject({a});
    build();
    ASSERT_TRUE(model->setData(model->index(0, 1), "2.25"));
    EXPECT_EQ(gridCellText(*model, 0, 1), "2.3");
    // Totals are not recomputed.
    EXPECT_EQ(gridCellText(*model, 5, 1), "1.0");
    ASSERT_TRUE(model->setData(model->index(5, 2), "x"));
    EXPECT_EQ(gridCellText(*model, 5, 2), "x");
    ASSERT_TRUE(model->setData(model->index(0, 1), ""));
    EXPECT_EQ(gridCellText(*model, 0, 1), "");
    EXPECT_TRUE(model->flags(model->index(3, 4)).testFlag(Qt::ItemIsEditable));
}

TEST_F(ForestFund1, CopyHeading)
{
    OwnershipChoice c;
    c.byKind = true;
    c.kind = "общинска";
    c.purpose = Purpose::Economic;
    EXPECT_EQ(gf1CopyHeading(buildOwnershipFilter(c, "ДГС Бор", "2019")),
              "ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите\r\rДГС Бор 2019г.\r"
              "собственост: общинска, предназначение: стопанско\r\rвид на земите\tиглолистни\tширок. високост.\t"
              "реконструк.\tизд. за превр.\tнискостъблени\tвсичко\r\tхектари\r");
}
