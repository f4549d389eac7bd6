// Range printing: the counts asked for, manual two-sided backs and faces with their
// prompts, duplex pairs as two-sided jobs, the stop flag, a Cancel and a failing printer.
#include "description/DescriptionFixture.h"
#include "printing/RecordingSink.h"

#include "printing/TwoSidedRun.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;
using dxtest::RecordingSink;

namespace {

// Compartment 1: а..д (5), compartment 2: а (1), compartment 3: а..г (4), then a record
// of compartment 1 out of its run.
class TwoSidedRun : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    void SetUp() override
    {
        std::vector<ProjectRow> rows;
        for (const char *p : {"а", "б", "в", "г", "д"}) rows.emplace_back(1, p);
        rows.emplace_back(2, "а");
        for (const char *p : {"а", "б", "в", "г"}) rows.emplace_back(3, p);
        rows.emplace_back(1, "е");
        project(rows);
    }
    QVector<RangeEntry> range(int from, int to) { return *resolveRange(state, from, to, {}); }
    QStringList shape(const RecordingSink &s) { return s.shape(dxtest::bracketed); }
    // The range `from`-`to` in one of the three ways: 0 one-sided, 1 duplex, 2 by hand
    // (every turn of the pages answered "Ok").
    PrintRunResult runInMode(int mode, DescriptionComposer &composer, int from, int to, RecordingSink &s,
                             const PrintRunOptions &o)
    {
        if (mode == 0) return printDescriptions(state, composer, range(from, to), s, o);
        if (mode == 1) return printDuplex(state, composer, range(from, to), s, o);
        return printManualTwoSided(state, composer, range(from, to), s, o, [](const UserMessage &) { return true; });
    }
};

} // namespace

TEST_F(TwoSidedRun, RangeMessagesNameTheFailingEnd)
{
    QStringList said;
    auto report = [&](const UserMessage &m) { said << m.caption + "|" + m.text; };
    EXPECT_FALSE(resolveRange(state, 3, 1, report));
    EXPECT_FALSE(resolveRange(state, 5, 9, report));
    EXPECT_FALSE(resolveRange(state, 1, 7, report));
    EXPECT_EQ(said, QStringList({"Внимание!|Избрания интевал от-до е грешен.",
                                 "Внимание!|Избрали сте несъществуващ подотдел (5).",
                                 "Внимание!|Избрали сте несъществуващ подотдел (7)."}));
    project({ProjectRow(1, "а"), ProjectRow(4, "а")});
    said.clear();
    // Both ends exist: the gap between them is not an error.
    EXPECT_EQ(resolveRange(state, 1, 4, report)->size(), 2);
    EXPECT_TRUE(said.isEmpty());
}

TEST_F(TwoSidedRun, CountsAskedForBeforePrinting)
{
    const QVector<RangeEntry> list = range(1, 3);
    EXPECT_EQ(list.size(), 11);
    // Compartment 1 runs twice in table order: four sheets one-sided, three compartments two-sided.
    EXPECT_EQ(compartmentRuns(list), 4);
    EXPECT_EQ(listCompartments(list), QVector<int>({1, 2, 3}));
    EXPECT_EQ(printDescriptionsQuestion(13), "Сигурни ли сте, че желаете да отпечатите 13 броя таксационни описания?");
    EXPECT_EQ(compartmentRuns({}), 0);
}

TEST_F(TwoSidedRun, ManualBacksThenFacesPerCompartment)
{
    DescriptionComposer composer(state);
    RecordingSink sink;
    QStringList prompts;
    PrintRunOptions o;
    o.sheets = true;
    QList<int> progress;
    o.progress = [&](int done) { progress << done; };
    const PrintRunResult r = printManualTwoSided(state, composer, range(1, 2), sink, o, [&](const UserMessage &m) {
        prompts << m.caption + "|" + m.text;
        return true;
    });
    // Compartment 1 with its out-of-run record has 6 rows: а б в г д е.
    EXPECT_EQ(shape(sink), QStringList({"1", "1:б", "1:г", "1:е", "1:а", "1:в", "1:д", "2", "2:а"}));
    EXPECT_EQ(prompts,
              QStringList({"Печат описания - двустранно, гръб [отдел 1]|Поставете 3 листа в принтера и натиснете бутона Ok.",
                           "Печат описания - двустранно, лице [отдел 1]|Обърнете последните 3 отпечатени листа, поставете ги "
                           "в принтера и натиснете бутона Ok.",
                           "Печат описания - двустранно, гръб [отдел 2]|Поставете 0 листа в принтера и натиснете бутона Ok.",
                           "Печат описания - двустранно, лице [отдел 2]|Обърнете последните 1 отпечатени листа, поставете ги "
                           "в принтера и натиснете бутона Ok."}));
    EXPECT_EQ(r.descriptions, 7);
    EXPECT_EQ(r.sheets, 2);
    EXPECT_EQ(progress.size(), 9);
    EXPECT_EQ(progress.back(), 9);
    for (const auto &job : sink.jobs) EXPECT_FALSE(job.twoSided);
}

TEST_F(TwoSidedRun, ManualFiveRowsAskTwoThenThree)
{
    project({ProjectRow(7, "а"), ProjectRow(7, "б"), ProjectRow(7, "в"), ProjectRow(7, "г"), ProjectRow(7, "д")});
    DescriptionComposer composer(state);
    RecordingSink sink;
    QStringList texts;
    printManualTwoSided(state, composer, range(7, 7), sink, {}, [&](const UserMessage &m) {
        texts << m.text.section(' ', 0, 2);
        return true;
    });
    EXPECT_EQ(shape(sink), QStringList({"7:б", "7:г", "7:а", "7:в", "7:д"}));
    EXPECT_EQ(texts, QStringList({"Поставете 2 листа", "Обърнете последните 3"}));
}

TEST_F(TwoSidedRun, ManualCancelEndsTheWholeRun)
{
    DescriptionComposer composer(state);
    for (int cancelAt : {0, 1, 2}) {
        RecordingSink sink;
        int asked = 0;
        const PrintRunResult r =
            printManualTwoSided(state, composer, range(1, 3), sink, {}, [&](const UserMessage &) { return asked++ != cancelAt; });
        EXPECT_TRUE(r.cancelled);
        EXPECT_EQ(asked, cancelAt + 1);
        const QStringList expected[] = {{}, {"1:б", "1:г", "1:е"}, {"1:б", "1:г", "1:е", "1:а", "1:в", "1:д"}};
        EXPECT_EQ(shape(sink), expected[cancelAt]) << cancelAt;
    }
}

TEST_F(TwoSidedRun, DuplexPairsWithinEachCompartment)
{
    DescriptionComposer composer(state);
    RecordingSink sink;
    PrintRunOptions o;
    o.sheets = true;
    QStringList where;
    o.printed = [&](int done, const RangeEntry &e) { where << QStringLiteral("%1 %2:%3").arg(done).arg(e.otd).arg(e.podotd); };
    const PrintRunResult r = printDuplex(state, composer, range(1, 3), sink, o);
    EXPECT_EQ(shape(sink), QStringList({"1", "*1:а|1:б", "*1:в|1:г", "*1:д|1:е", "2", "*2:а", "3", "*3:а|3:б", "*3:в|3:г"}));
    EXPECT_EQ(r.descriptions, 11);
    EXPECT_EQ(r.sheets, 3);
    EXPECT_EQ(where.first(), "1 1:");
    EXPECT_EQ(where.last(), "14 3:г");
}

TEST_F(TwoSidedRun, DuplexThreeRowsMakeATwoPageJobAndAOnePageJob)
{
    project({ProjectRow(4, "а"), ProjectRow(4, "б"), ProjectRow(4, "в")});
    DescriptionComposer composer(state);
    RecordingSink sink;
    printDuplex(state, composer, range(4, 4), sink, {});
    EXPECT_EQ(shape(sink), QStringList({"*4:а|4:б", "*4:в"}));
}

TEST_F(TwoSidedRun, StopFlagLeavesNoHalfPrintedPair)
{
    DescriptionComposer composer(state);
    RecordingSink sink;
    bool stop = false;
    PrintRunOptions o;
    o.stop = &stop;
    // Set while the first pair prints: the next row is not begun.
    sink.onPage = [&] { stop = sink.pageCount() == 2; };
    PrintRunResult r = printDuplex(state, composer, range(1, 3), sink, o);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(shape(sink), QStringList({"*1:а|1:б"}));

    RecordingSink manual;
    stop = false;
    manual.onPage = [&] { stop = manual.pageCount() == 1; };
    r = printManualTwoSided(state, composer, range(1, 3), manual, o, [](const UserMessage &) { return true; });
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(shape(manual), QStringList({"1:б"}));
}

TEST_F(TwoSidedRun, PrinterRefusingAPageEndsTheRunWithoutRepeats)
{
    DescriptionComposer composer(state);
    RecordingSink sink;
    sink.failAt = 3;
    PrintRunResult r = printDuplex(state, composer, range(1, 3), sink, {});
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.descriptions, 2);
    EXPECT_EQ(sink.pageCount(), 3);

    // A refused sheet ends the run before its compartment's descriptions.
    PrintRunOptions sheets;
    sheets.sheets = true;
    for (int mode = 0; mode < 3; ++mode) {
        RecordingSink s;
        s.failAt = 0;
        r = runInMode(mode, composer, 1, 3, s, sheets);
        EXPECT_TRUE(r.failed) << mode;
        EXPECT_EQ(r.sheets + r.descriptions, 0) << mode;
        EXPECT_EQ(s.jobs.size(), 1) << mode;
    }

    RecordingSink one;
    one.failAt = 1;
    r = printDescriptions(state, composer, range(1, 3), one, {});
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.descriptions, 1);
    EXPECT_EQ(shape(one), QStringList({"1:а", ""}));
}

TEST_F(TwoSidedRun, EveryJobAsksForTheCopiesOfItsReport)
{
    state.settings.description.copies = 3;
    state.settings.sheet.copies = 2;
    DescriptionComposer composer(state);
    PrintRunOptions sheets;
    sheets.sheets = true;
    for (int mode = 0; mode < 3; ++mode) {
        RecordingSink s;
        const PrintRunResult r = runInMode(mode, composer, 1, 2, s, sheets);
        ASSERT_FALSE(r.failed) << mode;
        ASSERT_GE(s.jobs.size(), 4) << mode;
        for (const RecordingSink::Job &j : s.jobs) {
            // A sheet's title names only its compartment: "[1]"; a description's "[1:а]".
            const bool sheet = !dxtest::bracketed(j.pages.first()).contains(QLatin1Char(':'));
            EXPECT_EQ(j.copies, sheet ? 2 : 3) << mode << " " << j.pages.join(' ').toStdString();
        }
    }
    // No copies asked for prints one; more than a hundred are a hundred.
    state.settings.description.copies = 0;
    state.settings.sheet.copies = 250;
    RecordingSink s;
    printDescriptions(state, composer, range(2, 2), s, sheets);
    EXPECT_EQ(s.jobs.size(), 2);
    EXPECT_EQ(s.jobs[0].copies, 100);
    EXPECT_EQ(s.jobs[1].copies, 1);
}

TEST_F(TwoSidedRun, JobThatNeverReachesThePrinterEndsTheRunUncounted)
{
    // The printer vanishes while the second job is painted: the job is lost, the run ends
    // there and nothing is printed again or counted as printed.
    DescriptionComposer composer(state);
    for (int mode = 0; mode < 3; ++mode) {
        RecordingSink s;
        s.loseJob = 1;
        QList<int> progress;
        PrintRunOptions o;
        o.progress = [&](int done) { progress << done; };
        const PrintRunResult r = runInMode(mode, composer, 1, 3, s, o);
        EXPECT_TRUE(r.failed) << mode;
        EXPECT_EQ(s.jobs.size(), 2) << mode;
        const int firstJob = int(s.jobs[0].pages.size());
        EXPECT_EQ(r.descriptions, firstJob) << mode;
        EXPECT_EQ(progress.isEmpty() ? 0 : progress.last(), firstJob) << mode;
        QStringList all = s.jobs[0].pages + s.jobs[1].pages;
        all.removeDuplicates();
        EXPECT_EQ(all.size(), s.pageCount()) << mode;
    }
    // A lost sheet ends the run before its compartment's descriptions.
    PrintRunOptions sheets;
    sheets.sheets = true;
    RecordingSink s;
    s.loseJob = 0;
    const PrintRunResult r = printDescriptions(state, composer, range(1, 3), s, sheets);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.sheets + r.descriptions, 0);
    EXPECT_EQ(s.jobs.size(), 1);
}
