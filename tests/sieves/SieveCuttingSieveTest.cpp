// The cuttings sieve over small project tables: the lists of the nine positions, the
// conditions, heading, status and copied text worked out by hand, a quote in a typed
// type, an empty result, a search with nothing chosen and the reload on show; and the
// print choice's compartments and sheet runs.
#include "SieveFixture.h"

#include "core/GridModel.h"
#include "printing/RecordingSink.h"
#include "sieves/SieveCuttingSieve.h"
#include "sieves/SievePrintChoice.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class CuttingSieveTest : public ::testing::Test, public dxtest::SieveFixture {
protected:
    void SetUp() override
    {
        makeProject({ProjectRow(1, "а").real("PL", 1.25).text("SECH1", "ГС").text("SECH3", "ЗС"),
                     ProjectRow(1, "б").real("PL", 2.5).text("SECH1", "ПБ").text("SECH2", "ГС").text("SECH3", "ЗС"),
                     ProjectRow(2, "а").real("PL", 0.4).text("SECH1", "ГС").text("SECH2", "ОС").text("SECH3", "-"),
                     ProjectRow(3, "в").real("PL", 7).text("SECH1", "a\"b").text("SECH9", "-")});
        state.title = QStringLiteral("ДГС Тест");
        state.year = QStringLiteral("2020");
    }
    // Cells of the result as "1а 1б".
    QString found(const CuttingSieve &s) const
    {
        QStringList out;
        for (const auto &row : s.result().rows) out << row[0].toString() + row[1].toString();
        return out.join(QLatin1Char(' '));
    }
    CuttingSieve sieve;
};

} // namespace

TEST_F(CuttingSieveTest, ListsHoldEachPositionsTypesAndLeaveEmptyPositionsDisabled)
{
    sieve.show(state);
    const CuttingTypeLists &l = sieve.lists();
    EXPECT_EQ(l.lists[0], QStringList({"ГС", "ПБ", "a\"b"}));
    EXPECT_EQ(l.lists[1], QStringList({"ГС", "ОС"}));
    EXPECT_EQ(l.lists[2], QStringList({"ЗС"})); // "-" is no type
    for (int n : {1, 2, 3}) EXPECT_TRUE(l.enabled[size_t(n - 1)]) << n;
    // Position 9 holds only "-", the others nothing: disabled, with empty lists.
    for (int n = 4; n <= 9; ++n) {
        EXPECT_FALSE(l.enabled[size_t(n - 1)]) << n;
        EXPECT_TRUE(l.lists[size_t(n - 1)].isEmpty()) << n;
    }
}

TEST_F(CuttingSieveTest, OnePositionGivesItsConditionHeadingAndStatus)
{
    sieve.show(state);
    sieve.setType(3, QStringLiteral("ЗС"));
    ASSERT_EQ(sieve.search(state), CuttingSieve::Outcome::Rows);
    EXPECT_TRUE(sieve.statement().endsWith(QStringLiteral("\" where SECH3=\"ЗС\""))) << sieve.statement().toStdString();
    EXPECT_EQ(found(sieve), QStringLiteral("1а 1б"));
    EXPECT_EQ(sieve.status(), QStringLiteral("подотдели: 2, площ: 3.75 ха"));
    EXPECT_EQ(sieve.heading(), QStringLiteral("Сито за сечите - ДГС Тест 2020\r\n\r\nвид сеч: ЗС\r\nподотдели: 2, площ: 3.75 ха"));
    EXPECT_TRUE(sieve.resultCommandsEnabled());

    DataGridModel model;
    fillCuttingSieveModel(model, sieve.result());
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("площ (ха)"));
    EXPECT_EQ(model.data(model.index(0, 2), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
    EXPECT_EQ(cuttingSieveColumnWidth(1), 60);
}

TEST_F(CuttingSieveTest, TwoPositionsJoinTheirTypesInTheHeadingAndTheCopy)
{
    sieve.show(state);
    sieve.setType(2, QStringLiteral("ГС"));
    sieve.setType(1, QStringLiteral("ПБ"));
    ASSERT_EQ(sieve.search(state), CuttingSieve::Outcome::Rows);
    EXPECT_TRUE(sieve.statement().endsWith(QStringLiteral(" where SECH1=\"ПБ\" and SECH2=\"ГС\"")));
    EXPECT_EQ(found(sieve), QStringLiteral("1б"));

    DataGridModel model;
    fillCuttingSieveModel(model, sieve.result());
    const QString copied = cuttingSieveCopyText(model, {0, 1, 2}, sieve.types(), state.title, state.year, sieve.status(),
                                                QStringLiteral("контакт"));
    EXPECT_EQ(copied, QStringLiteral("Сито за сечите - ДГС Тест 2020\r\n\r\nвид сеч: ПБ ,ГС\r\n\r\nотдел\tподотдел\tплощ\r\n\r"
                                     "1\tб\t2.5\r"
                                     "\r\nОБЩО: подотдели: 1, площ: 2.50 ха\r\n\r\nконтакт"));
}

TEST_F(CuttingSieveTest, TypedQuoteIsMatchedAsItStandsAndAnEmptyResultHasNoStatusLine)
{
    sieve.show(state);
    sieve.setType(1, QStringLiteral("a\"b"));
    ASSERT_EQ(sieve.search(state), CuttingSieve::Outcome::Rows);
    EXPECT_EQ(found(sieve), QStringLiteral("3в"));
    EXPECT_TRUE(sieve.statement().endsWith(QStringLiteral("SECH1=\"a\"\"b\"")));

    sieve.setType(1, QStringLiteral("x\" or 1=1 or SECH1=\""));
    ASSERT_EQ(sieve.search(state), CuttingSieve::Outcome::NoRows);
    EXPECT_EQ(sieve.result().rowCount(), 0);
    EXPECT_TRUE(sieve.resultOpen());
    EXPECT_FALSE(sieve.resultCommandsEnabled());
    EXPECT_EQ(sieve.status(), QStringLiteral("подотдели: 0, площ: 0 ха"));
    EXPECT_EQ(sieve.heading(), QStringLiteral("Сито за сечите - ДГС Тест 2020\r\n\r\nвид сеч: x\" or 1=1 or SECH1=\""));
}

TEST_F(CuttingSieveTest, NothingChosenChangesNothingAndShowEmptiesTheChoice)
{
    sieve.show(state);
    sieve.setType(1, QStringLiteral("ГС"));
    EXPECT_TRUE(sieve.searchEnabled());
    ASSERT_EQ(sieve.search(state), CuttingSieve::Outcome::Rows);
    const QString heading = sieve.heading();
    sieve.setType(1, QString());
    EXPECT_FALSE(sieve.searchEnabled());
    EXPECT_EQ(sieve.search(state), CuttingSieve::Outcome::NothingChosen);
    EXPECT_EQ(found(sieve), QStringLiteral("1а 2а"));
    EXPECT_EQ(sieve.heading(), heading);

    // Clearing empties the choice and the result but not the search command's state.
    sieve.setType(2, QStringLiteral("ОС"));
    sieve.clear();
    EXPECT_TRUE(sieve.searchEnabled());
    EXPECT_TRUE(sieve.types()[1].isEmpty());
    EXPECT_FALSE(sieve.resultOpen());
    EXPECT_TRUE(sieve.status().isEmpty());

    sieve.setType(2, QStringLiteral("ОС"));
    ASSERT_EQ(sieve.search(state), CuttingSieve::Outcome::Rows);
    sieve.show(state);
    EXPECT_EQ(sieve.types(), CuttingSlots());
    EXPECT_FALSE(sieve.resultOpen());
    EXPECT_FALSE(sieve.resultCommandsEnabled());
}

TEST_F(CuttingSieveTest, FailedStatementClosesTheResultWithTheEnginesMessage)
{
    sieve.show(state);
    sieve.setType(1, QStringLiteral("ГС"));
    ASSERT_EQ(sieve.search(state), CuttingSieve::Outcome::Rows);
    state.projectTablePath = QString::fromStdString(dir.file("missing.db"));
    EXPECT_EQ(sieve.search(state), CuttingSieve::Outcome::Failed);
    EXPECT_FALSE(sieve.resultOpen());
    EXPECT_EQ(sieve.result().rowCount(), 0);
    EXPECT_FALSE(sieve.failure().text.isEmpty());
}

// --- the print choice --------------------------------------------------------------------

TEST(SievePrintChoice, CompartmentsAreTakenWhereTheNumberChanges)
{
    using P = QList<QPair<QString, QString>>;
    EXPECT_EQ(sheetCompartmentsOf(P{{"1", "а"}, {"1", "б"}, {"2", "а"}, {"1", "в"}}), QVector<int>({1, 2, 1}));
    EXPECT_EQ(sheetCompartmentsOf(P{}), QVector<int>());
    // The first row is compared with 0: a compartment 0 at the head is never taken.
    EXPECT_EQ(sheetCompartmentsOf(P{{"0", "а"}, {"0", "б"}, {"3", "а"}, {"0", "в"}}), QVector<int>({3, 0}));

    P many;
    for (int i = 1; i <= kMaxSheetCompartments + 1; ++i) many.append({QString::number(i), QStringLiteral("а")});
    bool cut = false;
    const QVector<int> taken = sheetCompartmentsOf(many, &cut);
    EXPECT_TRUE(cut);
    ASSERT_EQ(taken.size(), kMaxSheetCompartments);
    EXPECT_EQ(taken.last(), kMaxSheetCompartments);
    many.removeLast();
    EXPECT_EQ(sheetCompartmentsOf(many, &cut).size(), kMaxSheetCompartments);
    EXPECT_FALSE(cut);

    EXPECT_EQ(descriptionsPrintQuestion(1).text, QStringLiteral("Действително ли желаете да отпечатите 1 брой таксационни описания?"));
    EXPECT_EQ(descriptionsPrintQuestion(2).text, QStringLiteral("Действително ли желаете да отпечатите 2 броя таксационни описания?"));
    EXPECT_EQ(sheetsPrintQuestion(0).text, QStringLiteral("Сигурни ли сте, че желаете да отпечатите 0 броя предотделни листа?"));
    EXPECT_EQ(sheetsPrintQuestion(0).caption, QStringLiteral("Печат описания"));
}

namespace {

// Every text each sheet put on its pages.
class TextSink : public PageSink {
public:
    void beginJob(const QString &) override { sheets << QString(); }
    bool addReport(const Report &r) override
    {
        for (const ReportPage &p : r.pages)
            for (const ReportItem &i : p.items) sheets.last() += i.text + QLatin1Char('|');
        return true;
    }
    bool endJob() override { return true; }
    QStringList sheets;
};

} // namespace

TEST_F(CuttingSieveTest, SheetsListEverySubCompartmentOrOnlyTheSelectedOnes)
{
    TextSink all, chosen;
    QList<int> progress;
    SheetRunOptions o;
    o.progress = [&](int done) { progress << done; };
    const QVector<int> compartments = {1, 2, 1};
    SheetRunResult r = printSieveSheets(state, compartments, all, o);
    EXPECT_EQ(r.printed, 3);
    EXPECT_EQ(progress, QList<int>({1, 2, 3}));
    ASSERT_EQ(all.sheets.size(), 3);
    EXPECT_TRUE(all.sheets[0].contains(QStringLiteral("|б|")));
    EXPECT_TRUE(all.sheets[0].contains(QStringLiteral("3.8"))); // 1.25 + 2.5 in the totals

    // Only the selection's sub-compartments: 1б alone; compartment 2 has none left.
    QStringList shown;
    o.selection = QStringLiteral("SECH1=\"ПБ\"");
    o.report = [&](const UserMessage &m) { shown << m.text; };
    r = printSieveSheets(state, compartments, chosen, o);
    EXPECT_EQ(r.done, 3);
    EXPECT_EQ(r.printed, 2);
    ASSERT_EQ(chosen.sheets.size(), 2);
    EXPECT_TRUE(chosen.sheets[0].contains(QStringLiteral("|б|")));
    EXPECT_FALSE(chosen.sheets[0].contains(QStringLiteral("|а|")));
    EXPECT_EQ(shown.size(), 1);

    // The stop flag ends the run before the next compartment.
    bool stop = false;
    dxtest::RecordingSink recording;
    recording.onPage = [&] { stop = true; };
    o.selection.clear();
    o.stop = &stop;
    r = printSieveSheets(state, compartments, recording, o);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(recording.pageCount(), 1);
}
