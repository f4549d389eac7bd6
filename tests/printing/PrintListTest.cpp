// Printing from a list file: reading the list (separator, blank lines, repeats, a bad
// line, another separator, a long file), the stretch with swapping, pairing backs within
// a compartment, and the two-sided run with its no-back message.
#include "description/DescriptionFixture.h"
#include "printing/RecordingSink.h"

#include "printing/PrintList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;
using dxtest::RecordingSink;

namespace {

QStringList pairs(const QVector<RangeEntry> &entries)
{
    QStringList out;
    for (const RangeEntry &e : entries) out << QStringLiteral("%1:%2").arg(e.otd).arg(e.podotd);
    return out;
}

struct Said {
    QStringList texts;
    std::function<void(const UserMessage &)> fn() { return [this](const UserMessage &m) { texts << m.text; }; }
};

} // namespace

TEST(PrintListFile, SplitsAtTheFirstSeparatorAndPassesOverBlankLines)
{
    Said said;
    const PrintListFile list =
        parsePrintList("12;б\r\n\r\n  \n3;  а-1;x\n7;дълъгподотдел\n", QLatin1Char(';'), "l.txt", said.fn());
    EXPECT_EQ(pairs(list.entries), QStringList({"12:б", "3:а-1;x", "7:дълъгпод"}));
    EXPECT_TRUE(list.complete);
    EXPECT_TRUE(said.texts.isEmpty());
}

TEST(PrintListFile, AnotherSeparatorStopsAtTheFirstLineAndKeepsWhatWasRead)
{
    Said said;
    PrintListFile list = parsePrintList("12 б\n13 в\n", QLatin1Char(';'), "l.txt", said.fn());
    EXPECT_TRUE(list.entries.isEmpty());
    EXPECT_FALSE(list.complete);
    ASSERT_EQ(said.texts.size(), 1);
    EXPECT_EQ(said.texts[0], "'12 б' is not a valid integer value");

    said.texts.clear();
    list = parsePrintList("1;а\nx;б\n2;в\n", QLatin1Char(';'), "l.txt", said.fn());
    EXPECT_EQ(pairs(list.entries), QStringList({"1:а"}));
    EXPECT_FALSE(list.complete);
}

TEST(PrintListFile, RepeatedEntriesAreListedOnceWithOneMessage)
{
    Said said;
    const PrintListFile list = parsePrintList("1;а\n2;а\n1;а\n1; а\n1;б\n", QLatin1Char(';'), "l.txt", said.fn());
    EXPECT_EQ(pairs(list.entries), QStringList({"1:а", "2:а", "1:б"}));
    ASSERT_EQ(said.texts.size(), 1);
    EXPECT_TRUE(said.texts[0].contains("1:а (ред 3)"));
    EXPECT_TRUE(said.texts[0].contains("1:а (ред 4)"));
}

// What the messages name is the file's own text, even where it holds the marks that
// number the parts of a message.
TEST(PrintListFile, RepeatsAndTheBadLineAreNamedAsTheyStand)
{
    Said said;
    QStringList details;
    auto report = [&](const UserMessage &m) {
        said.texts << m.text;
        details << m.detail;
    };
    const PrintListFile list = parsePrintList("1;%3\n1;%3\n2;%1x\n2;%1x\n%2;а\n", QLatin1Char(';'), "sp%2.txt", report);
    EXPECT_EQ(pairs(list.entries), QStringList({"1:%3", "2:%1x"}));
    EXPECT_FALSE(list.complete);
    ASSERT_EQ(said.texts.size(), 2);
    EXPECT_EQ(details[0], "sp%2.txt, ред 5");
    EXPECT_EQ(said.texts[1].split("\r\n").mid(1), QStringList({"1:%3 (ред 2)", "2:%1x (ред 4)"}));
}

// A sub-compartment is whole characters up to 8 and ends at a control character; a
// carriage return alone ends a line too, as in files from old Macintosh editors.
TEST(PrintListFile, SubCompartmentsStopAtControlCharactersAndKeepWholeCharacters)
{
    Said said;
    const PrintListFile list = parsePrintList(QStringLiteral("1;абвгдеж\U0001F332\n2;а\tб\n3;в\x01г\n4;а\r5;б\r\n6;\x7f\n"),
                                              QLatin1Char(';'), "l.txt", said.fn());
    EXPECT_EQ(pairs(list.entries), QStringList({"1:абвгдеж", "2:а", "3:в", "4:а", "5:б", "6:"}));
    EXPECT_TRUE(list.complete);
    EXPECT_TRUE(said.texts.isEmpty());
    // The tab as the separator still splits.
    EXPECT_EQ(pairs(parsePrintList("7\t\tж\n", QLatin1Char('\t'), "l.txt", said.fn()).entries), QStringList({"7:ж"}));
}

TEST(PrintListFile, LoadsCodePage1251AndUtf8FilesAndLongOnes)
{
    QTemporaryDir dir;
    const QString cp = dir.filePath("cp.txt"), u8 = dir.filePath("u8.txt"), big = dir.filePath("big.txt");
    {
        QFile f(cp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("12;\xE1\r\n5;\xE0\r\n"); // б, а in code page 1251
    }
    {
        QFile f(u8);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("12;б\n");
    }
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 100000; ++i) f.write(QStringLiteral("%1;а%2\n").arg(1 + i / 50).arg(i % 50).toUtf8());
    }
    Said said;
    EXPECT_EQ(pairs(loadPrintList(cp, ";", said.fn())->entries), QStringList({"12:б", "5:а"}));
    EXPECT_EQ(pairs(loadPrintList(u8, ";", said.fn())->entries), QStringList({"12:б"}));
    const std::optional<PrintListFile> many = loadPrintList(big, ";", said.fn());
    ASSERT_EQ(many->entries.size(), 100000);
    EXPECT_EQ(many->entries.last(), (RangeEntry{2000, "а49"}));
    EXPECT_TRUE(said.texts.isEmpty());

    EXPECT_FALSE(loadPrintList(cp, "", said.fn()));
    EXPECT_EQ(said.texts, QStringList({"Не е въведен разделител!"}));
    said.texts.clear();
    const std::optional<PrintListFile> none = loadPrintList(dir.filePath("missing.txt"), ";", said.fn());
    EXPECT_TRUE(none->entries.isEmpty());
    EXPECT_FALSE(none->complete);
    ASSERT_EQ(said.texts.size(), 1);
    EXPECT_TRUE(said.texts[0].contains("missing.txt"));
}

TEST(PrintListStretch, SwapsAndChecksBothEnds)
{
    Said said;
    std::optional<Stretch> s = selectStretch(30, 5, 3, said.fn());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->from, 3);
    EXPECT_EQ(s->to, 5);
    EXPECT_EQ(s->count(), 3);
    EXPECT_EQ(selectStretch(30, 30, 30, said.fn())->count(), 1);
    EXPECT_TRUE(said.texts.isEmpty());
    EXPECT_FALSE(selectStretch(30, 1, 40, said.fn()));
    EXPECT_FALSE(selectStretch(30, 40, 1, said.fn()));
    EXPECT_FALSE(selectStretch(30, 0, 3, said.fn()));
    EXPECT_FALSE(selectStretch(0, 1, 1, said.fn()));
    EXPECT_EQ(said.texts, QStringList(4, "Въвели сте грешен диапазон от-до!"));
}

TEST(PrintListBacks, PairsOneTwoThreeFourWithinTheCompartment)
{
    const QStringList c = {"а", "б", "в", "г", "д"};
    auto back = [&](const char *p) {
        const BackPage b = backPageIn(c, p);
        return b.kind == BackPage::Kind::Partner ? b.podotd : b.kind == BackPage::Kind::NoBack ? "none" : "-1";
    };
    EXPECT_EQ(back("а"), "б");
    EXPECT_EQ(back("б"), "а");
    EXPECT_EQ(back("г"), "в");
    EXPECT_EQ(back("д"), "none");
    EXPECT_EQ(back("я"), "-1");
    EXPECT_EQ(backPageIn({"а", "б"}, "б").podotd, "а");
    EXPECT_EQ(backPageIn({"а"}, "а").kind, BackPage::Kind::NoBack);
}

namespace {

class PrintListRun : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    void SetUp() override
    {
        project({ProjectRow(1, "а"), ProjectRow(1, "б"), ProjectRow(1, "в"), ProjectRow(1, "г"), ProjectRow(1, "д"),
                 ProjectRow(2, "а"), ProjectRow(2, "б")});
    }
};

} // namespace

TEST_F(PrintListRun, FrontsFromTheListBacksByPairing)
{
    EXPECT_EQ(GetBackPagePodotdel(state, 1, "б").podotd, "а");
    EXPECT_EQ(GetBackPagePodotdel(state, 2, "а").podotd, "б");
    EXPECT_EQ(GetBackPagePodotdel(state, 1, "д").kind, BackPage::Kind::NoBack);
    EXPECT_EQ(GetBackPagePodotdel(state, 3, "а").kind, BackPage::Kind::NotFound);

    DescriptionComposer composer(state);
    RecordingSink sink;
    Said warned, noBack;
    QList<int> asked, progress;
    PrintRunOptions o;
    o.report = warned.fn();
    o.progress = [&](int done) { progress << done; };
    const QVector<RangeEntry> list = {{1, "б"}, {1, "д"}, {9, "а"}, {2, "а"}};
    const PrintRunResult r = printListTwoSided(
        state, composer, list, sink, o,
        [&](int n) {
            asked << n;
            return true;
        },
        noBack.fn());
    EXPECT_EQ(sink.shape(dxtest::bracketed), QStringList({"1:б", "1:д", "2:а", "1:а", "2:б"}));
    EXPECT_EQ(asked, QList<int>({4}));
    EXPECT_EQ(noBack.texts,
              QStringList({"Подотдел 1:д няма гръб. Извадете листа от принтера и натиснете ОК за да продължите."}));
    EXPECT_EQ(warned.texts.size(), 1); // the front of 9:а; its back is passed over in silence
    EXPECT_EQ(progress, QList<int>({1, 2, 3, 1, 2}));
    EXPECT_EQ(r.descriptions, 5);
}

TEST_F(PrintListRun, NoToTheBackQuestionPrintsOnlyTheFronts)
{
    DescriptionComposer composer(state);
    RecordingSink sink;
    const PrintRunResult r = printListTwoSided(state, composer, {{1, "а"}, {2, "б"}}, sink, {},
                                               [](int) { return false; }, {});
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(sink.shape(dxtest::bracketed), QStringList({"1:а", "2:б"}));
}

TEST_F(PrintListRun, JobsCarryTheCopiesAndALostJobEndsTheRun)
{
    state.settings.description.copies = 4;
    DescriptionComposer composer(state);
    RecordingSink sink;
    PrintRunResult r = printListTwoSided(state, composer, {{1, "а"}, {2, "б"}}, sink, {}, [](int) { return true; }, {});
    EXPECT_EQ(sink.shape(dxtest::bracketed), QStringList({"1:а", "2:б", "1:б", "2:а"}));
    for (const RecordingSink::Job &j : sink.jobs) EXPECT_EQ(j.copies, 4);

    // The printer vanishes during the first back: the run ends, the back is not counted.
    RecordingSink lost;
    lost.loseJob = 2;
    r = printListTwoSided(state, composer, {{1, "а"}, {2, "б"}}, lost, {}, [](int) { return true; }, {});
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.descriptions, 2);
    EXPECT_EQ(lost.shape(dxtest::bracketed), QStringList({"1:а", "2:б", "1:б"}));
}
