// Forest fund report 2 on a small project table and nomenclature, each sum worked out by
// hand here: storeys, coppice in section II, reconstruction, ages beyond the classes,
// rounding per group before the totals, species in a fixed set and a nomenclature set.
#include "reports/ForestFund2.h"

#include "ForestFundFixture.h"

#include <gtest/gtest.h>

#include <map>

using namespace dx;
using dxtest::ForestFundFixture;
using dxtest::ProjectRow;

namespace {

class ForestFund2 : public ::testing::Test, public ForestFundFixture {
protected:
    void SetUp() override
    {
        makeNomenclature({{"Бял бор", 1, 1}, {"Черен бор", 1, 0}, {"Клек", 1, 0}, {"Бук", 2, 1}, {"Зимен дъб", 2, 2},
                          {"Келяв габър", 2, 14}, {"Мъждрян", 2, 0}});
    }
    // One slot: species, storey, share, origin, age.
    static void slot(ProjectRow &r, int j, const char *dv, const char *et, int uch, int pr, int a)
    {
        r.slot(j, dv, et, uch, pr, a, 0, 0, 0, 0, 0, 0, 0);
    }
    QStringList build(const GF2AgeClasses &classes, const OwnershipChoice &choice = {})
    {
        QStringList errors;
        const auto groups = loadGF2Groups(state.db, state.nomenclaturePath(), &errors);
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        const GF2Table table = BuildGF2Table(state.db, state.projectTablePath, choice, groups, classes);
        EXPECT_TRUE(table.errors.isEmpty()) << table.errors.join('\n').toStdString();
        auto model = makeGF2Model(classes);
        fillGF2Model(*model, table);
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c) cells << gridCellText(*model, r, c);
            out << cells.join('|');
        }
        return out;
    }
    void makeStands()
    {
        ProjectRow r1 = stand(1, "а", "широкол. високостъбл.", "семенно насаждение", 2.0);
        slot(r1, 1, "Зимен дъб", "1", 5, 1, 20);  // 1.0: Дъб, upper I, lower IV
        slot(r1, 2, "Бук", "2", 10, 1, 50);       // second storey: nowhere
        slot(r1, 3, "Мъждрян", "1", 5, 1, 170);   // 1.0: other broadleaved, no upper class, lower XIII
        ProjectRow r2 = stand(1, "б", "реконструкция", "семенно насаждение", 4.0);
        slot(r2, 1, "Зимен дъб", "1", 5, 3, 30);  // coppice, 2.0 in section III: upper II, lower VI
        slot(r2, 2, "Бял бор", "1", 5, 1, 60);    // 2.0 in section I: upper III, lower XII
        ProjectRow r3 = stand(1, "в", "широкол. високостъбл.", "издънково насаждение", 1.0);
        slot(r3, 1, "Зимен дъб", "1", 10, 3, 40); // coppice outside reconstruction: nowhere
        ProjectRow r4 = stand(1, "г", "иглолистни", "семенно насаждение", 0.5);
        slot(r4, 1, "Черен бор", "1", 5, 1, 10);  // 0.25 in "Черен бор" and in the other coniferous
        slot(r4, 2, "Клек", "1", 5, 1, 10);       // 0.25 in the other coniferous
        ProjectRow r5 = stand(1, "д", "широкол. високостъбл.", "семенно насаждение", 0.5);
        slot(r5, 1, "Бук", "1", 5, 1, 100);       // 0.25 -> 0.2
        slot(r5, 2, "Зимен дъб", "1", 5, 1, 100); // Дъб 1.25 -> 1.2
        ProjectRow r6 = stand(1, "е", "широкол. високостъбл.", "семенно насаждение", 3.0);
        slot(r6, 1, "гола сеч", "1", 10, 1, 50);  // a cutting's name, not a species
        ProjectRow r7 = stand(1, "ж", "реконструкция", "нелесопригодна площ", 9.0);
        slot(r7, 1, "Бук", "1", 10, 1, 50);       // not for reconstruction: nowhere
        makeProject({r1, r2, r3, r4, r5, r6, r7});
    }
};

// "label|v|v|..." with `n` value cells, the given ones filled.
QString line(const char *label, int n, const std::map<int, const char *> &cells)
{
    QStringList out{QString::fromUtf8(label)};
    for (int i = 0; i < n; ++i) out << (cells.count(i) ? QString::fromUtf8(cells.at(i)) : QString());
    return out.join('|');
}

} // namespace

TEST_F(ForestFund2, UpperTableOf20YearClasses)
{
    makeStands();
    const QStringList rows = build(kGF2Upper);
    const int n = 9; // общо and eight classes
    const QStringList want = {
        line("I. ВСИЧКО ИГЛОЛИСТНИ", n, {{0, "2.7"}, {1, "0.7"}, {3, "2.0"}}),
        line("Бял бор", n, {{0, "2.0"}, {3, "2.0"}}),
        line("Смърч", n, {}),
        line("Черен бор", n, {{0, "0.2"}, {1, "0.2"}}),
        line("Ела", n, {}),
        line("Бяла мура", n, {}),
        line("Черна мура", n, {}),
        line("Лиственица", n, {}),
        line("Дугласка", n, {}),
        line("Други иглолистни", n, {{0, "0.5"}, {1, "0.5"}}),
        line("", n, {}),
        line("II. ВСИЧКО ШИРОКОЛИСТНИ", n, {{0, "2.4"}, {1, "1.0"}, {5, "0.4"}}),
        line("Бук", n, {{0, "0.2"}, {5, "0.2"}}),
        line("Дъб", n, {{0, "1.2"}, {1, "1.0"}, {5, "0.2"}}),
        line("Цер", n, {}),
        line("Габър", n, {}),
        line("Бряст", n, {}),
        line("Ясен", n, {}),
        line("Липа", n, {}),
        line("Топола", n, {}),
        line("Трепетлика", n, {}),
        line("Явор", n, {}),
        line("Бреза", n, {}),
        line("Кестен", n, {}),
        line("Орех", n, {}),
        line("Други шроколистни", n, {{0, "1.0"}}),
        line("", n, {}),
        line("III. ВСИЧКО ЗА РЕКОНСТРУКЦИЯ", n, {{0, "2.0"}, {2, "2.0"}}),
        line("Бук", n, {}),
        line("Дъб", n, {{0, "2.0"}, {2, "2.0"}}),
        line("Цер", n, {}),
        line("Габър", n, {}),
        line("Келав габър", n, {}),
        line("Други широколистни", n, {}),
        line("", n, {}),
        line("ВСИЧКО ШИРОКОЛ. ВИСОКОСТЪБЛЕНИ", n, {{0, "4.4"}, {1, "1.0"}, {2, "2.0"}, {5, "0.4"}}),
        line("", n, {}),
        line("ВСИЧКО ВИСОКОСТЪБЛЕНИ ГОРИ", n, {{0, "7.1"}, {1, "1.7"}, {2, "2.0"}, {3, "2.0"}, {5, "0.4"}}),
    };
    EXPECT_EQ(rows, want);
}

TEST_F(ForestFund2, LowerTableOf5YearClassesShowsNumbersAsTheyAre)
{
    makeStands();
    const QStringList rows = build(kGF2Lower);
    const int n = 14; // общо and thirteen classes
    ASSERT_EQ(rows.size(), 38);
    EXPECT_EQ(rows[0], line("I. ВСИЧКО ИГЛОЛИСТНИ", n, {{0, "2.7"}, {2, "0.7"}, {12, "2"}}));
    EXPECT_EQ(rows[9], line("Други иглолистни", n, {{0, "0.5"}, {2, "0.5"}}));
    EXPECT_EQ(rows[13], line("Дъб", n, {{0, "1.2"}, {4, "1"}, {13, "0.2"}}));
    EXPECT_EQ(rows[25], line("Други шроколистни", n, {{0, "1"}, {13, "1"}}));
    EXPECT_EQ(rows[29], line("Дъб", n, {{0, "2"}, {6, "2"}}));
    EXPECT_EQ(rows[37], line("ВСИЧКО ВИСОКОСТЪБЛЕНИ ГОРИ", n,
                             {{0, "7.1"}, {2, "0.7"}, {4, "1"}, {6, "2"}, {12, "2"}, {13, "1.4"}}));
}

TEST_F(ForestFund2, OwnershipConditionsSelectTheSections)
{
    ProjectRow a = stand(1, "а", "реконструкция", "семенно насаждение", 1.0, "O'Ray\";drop", "водоохранни");
    slot(a, 1, "Бук", "1", 10, 1, 30);
    ProjectRow b = stand(1, "б", "широкол. високостъбл.", "семенно насаждение", 2.0, "O'Ray\";drop");
    slot(b, 1, "Бук", "1", 10, 1, 30);
    ProjectRow c = stand(1, "в", "иглолистни", "семенно насаждение", 4.0, "държавна", "водоохранни");
    slot(c, 1, "Бял бор", "1", 10, 1, 30);
    makeProject({a, b, c});
    OwnershipChoice odd;
    odd.byKind = true;
    odd.kind = "O'Ray\";drop";
    odd.purpose = Purpose::Special;
    QStringList rows = build(kGF2Upper, odd);
    EXPECT_EQ(rows[0], line("I. ВСИЧКО ИГЛОЛИСТНИ", 9, {}));
    EXPECT_EQ(rows[11], line("II. ВСИЧКО ШИРОКОЛИСТНИ", 9, {}));
    EXPECT_EQ(rows[27], line("III. ВСИЧКО ЗА РЕКОНСТРУКЦИЯ", 9, {{0, "1.0"}, {2, "1.0"}}));
    OwnershipChoice economic;
    economic.purpose = Purpose::Economic;
    rows = build(kGF2Upper, economic);
    EXPECT_EQ(rows[0], line("I. ВСИЧКО ИГЛОЛИСТНИ", 9, {}));
    EXPECT_EQ(rows[11], line("II. ВСИЧКО ШИРОКОЛИСТНИ", 9, {{0, "2.0"}, {2, "2.0"}}));
    EXPECT_EQ(rows[27], line("III. ВСИЧКО ЗА РЕКОНСТРУКЦИЯ", 9, {}));
}

TEST_F(ForestFund2, AgeClassesAndHeadings)
{
    EXPECT_EQ(kGF2Upper.classOf(0), -1);
    EXPECT_EQ(kGF2Upper.classOf(20), 0);
    EXPECT_EQ(kGF2Upper.classOf(21), 1);
    EXPECT_EQ(kGF2Upper.classOf(160), 7);
    EXPECT_EQ(kGF2Upper.classOf(161), -1);
    EXPECT_EQ(kGF2Lower.classOf(60), 11);
    EXPECT_EQ(kGF2Lower.classOf(61), 12);
    EXPECT_EQ(makeGF2Model(kGF2Upper)->headerData(9, Qt::Horizontal).toString(),
              "хектари|класове на възраст|VIII|141-160");
    EXPECT_EQ(makeGF2Model(kGF2Lower)->headerData(14, Qt::Horizontal).toString(),
              "хектари|класове на възраст|XIII|над 60");
    EXPECT_EQ(gf2LowerHeading(), "\t\t\t\t\t\t\tхектари\r\t\t\t\t\t\t\tкласове на възраст\r"
                                 "дървесни видове\tобщо\tI\tII\tIII\tIV\tV\tVI\tVII\tVIII\tIX\tX\tXI\tXII\tXIII\r"
                                 "\t\t1-5\t6-10\t11-15\t16-20\t21-25\t26-30\t31-35\t36-40\t41-45\t46-50\t51-55\t56-60\t"
                                 "над 60\r");
    EXPECT_EQ(gf2UpperHeading(buildOwnershipFilter({}, "ДГС Бор", "2019")),
              "ОГФ 2 - Отчет за разпределение на залесената горска площ по дървесни видове и класове на възраст\r\r"
              "ДГС Бор 2019г.\rсобственост: всички видове, предназначение: стопанско+специално\r\r"
              "\t\t\t\t\tхектари\t\t\t\t\r\t\t\t\t\tкласове на възраст\t\t\t\t\r"
              "дървесни видове\tобщо\tI\tII\tIII\tIV\tV\tVI\tVII\tVIII\r"
              "\t\t1-20\t21-40\t41-60\t61-80\t81-100\t101-120\t121-140\t141-160\r");
}

TEST_F(ForestFund2, MissingNomenclatureIsReportedAndLeavesItsGroupsEmpty)
{
    makeStands();
    state.programDir = QString::fromStdString(dir.file("elsewhere"));
    QStringList errors;
    const auto groups = loadGF2Groups(state.db, state.nomenclaturePath(), &errors);
    EXPECT_EQ(errors.size(), 1 + 14 + 2);
    EXPECT_TRUE(groups[0][0].species.contains("Бял бор"));
    EXPECT_TRUE(groups[0][8].species.isEmpty());
}
