// The print loop over a list of sub-compartments: one job per sheet and per description
// in list order, a sheet whenever the compartment changes, a missing record skipped with
// its warning, and the stop flag tested before every entry.
#include "description/DescriptionFixture.h"

#include "printing/PrintRun.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class TitleSink : public PageSink {
public:
    void beginJob(const QString &title) override { jobs << title; }
    bool addReport(const Report &r) override
    {
        pages += r.pageCount();
        if (onReport) onReport();
        return true;
    }
    bool endJob() override { return true; }
    QStringList jobs;
    int pages = 0;
    std::function<void()> onReport;
};

class PrintRun : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    void SetUp() override
    {
        project({ProjectRow(1, "а"), ProjectRow(1, "б"), ProjectRow(2, "а"), ProjectRow(1, "в")});
    }
};

QString d(const char *pair) { return QStringLiteral("Dendrix - ДГС Тест 2020 [%1]").arg(QString::fromUtf8(pair)); }

} // namespace

TEST_F(PrintRun, SheetsBeforeEachCompartmentAndOneJobPerItem)
{
    std::optional<QVector<RangeEntry>> list = resolveRange(state, 1, 2, {});
    ASSERT_TRUE(list);
    list->insert(2, RangeEntry{1, "я"}); // no such record: warned and skipped
    DescriptionComposer composer(state);
    TitleSink sink;
    QStringList warnings;
    QList<int> progress;
    PrintRunOptions o;
    o.sheets = true;
    o.report = [&](const UserMessage &m) { warnings << m.text; };
    o.progress = [&](int done) { progress << done; };
    const PrintRunResult r = printDescriptions(state, composer, *list, sink, o);
    EXPECT_EQ(sink.jobs, QStringList({d("1"), d("1:а"), d("1:б"), d("2"), d("2:а"), d("1"), d("1:в")}));
    EXPECT_EQ(sink.pages, 7);
    EXPECT_EQ(r.descriptions, 4);
    EXPECT_EQ(r.sheets, 3);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(progress, QList<int>({1, 2, 3, 4, 5, 6, 7}));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith("Избрали сте несъществуващ подотдел."));
}

TEST_F(PrintRun, StopFlagIsTestedBeforeEveryEntry)
{
    const QVector<RangeEntry> list = *resolveRange(state, 1, 2, {});
    DescriptionComposer composer(state);
    TitleSink sink;
    bool stop = false;
    sink.onReport = [&] {
        if (sink.jobs.size() == 2) stop = true; // while the first entry's description prints
    };
    PrintRunOptions o;
    o.sheets = true;
    o.stop = &stop;
    const PrintRunResult r = printDescriptions(state, composer, list, sink, o);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(sink.jobs, QStringList({d("1"), d("1:а")}));
    // Set before the start: nothing at all.
    sink.jobs.clear();
    EXPECT_TRUE(printDescriptions(state, composer, list, sink, o).stopped);
    EXPECT_TRUE(sink.jobs.isEmpty());
}
