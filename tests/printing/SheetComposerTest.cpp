// The pre-compartment sheet composed from small project tables: areas and stock in their
// printed forms, the totals row with and without a condition, a compartment without
// records, a sheet over two pages, the compartments of "печат на всички", and the
// sub-compartment list of a compartment range.
#include "description/DescriptionFixture.h"

#include "printing/DescriptionRange.h"
#include "printing/SheetComposer.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class Sheet : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    std::optional<PrintedSheet> compose(int otd, const QString &condition = {})
    {
        shown.clear();
        std::optional<PrintedSheet> s = composeSheet(state, otd, condition, [&](const UserMessage &m) { shown << m.text; });
        EXPECT_FALSE(state.projectTable.active());
        EXPECT_FALSE(state.projectTable.filtered());
        return s;
    }
    static ProjectRow sub(int otd, const char *pod, double area, long long v1, long long v2 = 0)
    {
        ProjectRow r(otd, pod);
        r.real("PL", area).text("VID_PODOTD", "насаждение").num("V1", v1).num("V5", v2);
        return r;
    }
    QStringList shown;
};

} // namespace

TEST_F(Sheet, AreasStockAndTotals)
{
    project({sub(3, "а", 2.5, 100, 23), sub(3, "б", 4, 0), sub(4, "а", 1, 5)});
    std::optional<PrintedSheet> s = compose(3);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title, "Dendrix - ДГС Тест 2020 [3]");
    EXPECT_EQ(s->dl, "ДГС Тест,    отдел 3");
    ASSERT_EQ(s->rows.size(), 4);
    EXPECT_EQ(s->rows[0], (SheetRow{"а", "насаждение", "2.5", "123"}));
    EXPECT_EQ(s->rows[1], (SheetRow{"б", "насаждение", "4.0", "-"}));
    EXPECT_EQ(s->rows[2], SheetRow());
    EXPECT_EQ(s->rows[3], (SheetRow{"-", "ВСИЧКО В ОТДЕЛА", "6.5", "123"}));

    // With a condition (its double quotes read as single ones) the totals differ.
    s = compose(3, QStringLiteral("PODOTD=\"б\""));
    ASSERT_TRUE(s);
    ASSERT_EQ(s->rows.size(), 3);
    EXPECT_EQ(s->rows[2], (SheetRow{"-", "ВСИЧКО В ОТДЕЛА", "4.0", "0"}));
    s = compose(3);
    EXPECT_EQ(s->rows.last().zapas, "123");

    project({sub(5, "а", 1.25, 0)});
    s = compose(5);
    EXPECT_EQ(s->rows.last(), (SheetRow{"-", "ВСИЧКО В ОТДЕЛА", "1.3", "-"})); // no stock at all
}

TEST_F(Sheet, MissingCompartmentAndBadCondition)
{
    project({sub(3, "а", 2.5, 100)});
    EXPECT_FALSE(compose(7));
    EXPECT_EQ(shown, QStringList({"Избрания отдел несъществува."}));
    EXPECT_FALSE(compose(3, QStringLiteral("NOSUCHFIELD=((")));
    EXPECT_EQ(shown, QStringList({"Грешка в критерийте. Опитайте отново."}));
}

TEST_F(Sheet, FortySubCompartmentsRunOverTwoPagesWithTheTitleOnTheFirst)
{
    std::vector<ProjectRow> rows;
    for (int i = 0; i < 40; ++i) rows.push_back(sub(1, QString::number(i).toUtf8().constData(), 1, 10));
    project(rows);
    std::optional<PrintedSheet> s = compose(1);
    ASSERT_TRUE(s);
    ASSERT_EQ(s->rows.size(), 42);
    const Report r = sheetReport(*s, PageSettings());
    ASSERT_EQ(r.pageCount(), 2);
    EXPECT_TRUE(r.pages[0].find("title"));
    EXPECT_FALSE(r.pages[1].find("title"));
    EXPECT_TRUE(r.pages[1].find("POD"));
    EXPECT_DOUBLE_EQ(r.pages[1].find("POD")->mm.top(), 0.9); // rows begin at the top of the next page
    // Nothing stands below the printable area.
    for (const ReportPage &p : r.pages)
        for (const ReportItem &i : p.items) EXPECT_LE(i.mm.bottom(), r.frame().heightMm() + 1e-9) << i.name.toStdString();
}

TEST_F(Sheet, CompartmentsOfPrintAllAndTheRangeList)
{
    project({sub(1, "а", 1, 0), sub(1, "б", 1, 0), sub(2, "а", 1, 0), sub(1, "в", 1, 0), sub(4, "а", 1, 0)});
    EXPECT_EQ(sheetCompartments(state), QVector<int>({1, 2, 1, 4})); // taken again when apart
    EXPECT_EQ(printAllSheetsQuestion(120), "Сигурни ли сте, че желаете да отпечатите 120 броя предотделни листа?");

    std::optional<QVector<RangeEntry>> range = resolveRange(state, 1, 2, [&](const UserMessage &m) { shown << m.text; });
    ASSERT_TRUE(range);
    EXPECT_EQ(*range, (QVector<RangeEntry>{{1, "а"}, {1, "б"}, {2, "а"}, {1, "в"}}));
    EXPECT_FALSE(state.projectTable.filtered());
    EXPECT_FALSE(resolveRange(state, 2, 1, [&](const UserMessage &m) { shown << m.text; }));
    EXPECT_FALSE(resolveRange(state, 1, 3, [&](const UserMessage &m) { shown << m.text; }));
    EXPECT_EQ(shown, QStringList({"Избрания интевал от-до е грешен.", "Избрали сте несъществуващ подотдел (3)."}));
}
