// The export runs over a range or a list: the pieces in order (each compartment's sheet
// first, or the sheets only), the questions and progress texts, appending only new bytes
// to a file that holds text already, the stop flag, a write that fails half-way leaving
// the file as it was, and the list file's lines.
#include "description/DescriptionFixture.h"

#include "engine/common/Codepage.h"
#include "engine/common/Platform.h"
#include "export/ExportFile.h"
#include "export/ExportRun.h"

#include <QFile>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <cerrno>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class ExportRunTest : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    void SetUp() override
    {
        // Compartment 1 with four sub-compartments, 2 with three, 3 with one.
        project({ProjectRow(1, "а"), ProjectRow(1, "б"), ProjectRow(1, "в"), ProjectRow(1, "г"), ProjectRow(2, "а"),
                 ProjectRow(2, "б"), ProjectRow(2, "в"), ProjectRow(3, "а")});
    }
    void TearDown() override { platform::faults::disarm(); }
    QString out(const char *name = "out.txt") const { return QString::fromStdString(dir.file(name)); }
    static QByteArray bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    static QString text(const QString &path) { return QString::fromStdString(cp::cp1251ToUtf8(bytes(path).toStdString())); }
    // The pieces of an export file in order: "sheet N" or "N:POD".
    static QStringList pieces(const QString &path)
    {
        QStringList outList;
        const QStringList lines = text(path).split(QStringLiteral("\r\n"));
        for (const QString &l : lines) {
            if (l.startsWith(QStringLiteral("подотдел: ")))
                outList << l.mid(10).section(QLatin1Char(' '), 0, 0) + QLatin1Char(':') + l.mid(10).section(QLatin1Char(' '), 1, 1);
            else if (l.contains(QStringLiteral(",     отдел ")))
                outList << QStringLiteral("sheet ") + l.section(QStringLiteral("отдел "), 1);
            else if (l.startsWith(QStringLiteral("подотдел ")) && l.contains(QStringLiteral("липсва")))
                outList << QStringLiteral("missing ") + l.section(QLatin1Char(' '), 1, 1);
        }
        return outList;
    }
    QVector<RangeEntry> range(int from, int to) { return resolveRange(state, from, to, {}).value_or(QVector<RangeEntry>()); }
    QStringList shown;
};

} // namespace

TEST_F(ExportRunTest, RangeWithSheetsAsksForEveryPieceAndWritesThemInOrder)
{
    ExportOptions o;
    o.sheets = true;
    QList<int> progress;
    o.progress = [&](int done) { progress << done; };
    const QVector<RangeEntry> list = range(1, 2);
    ASSERT_EQ(list.size(), 7);
    const UserMessage q = exportQuestion(list, o);
    EXPECT_EQ(q.caption, QStringLiteral("Експорт описания - TXT"));
    EXPECT_EQ(q.text, QStringLiteral("Сигурни ли сте, че желаете да експортирате 9 броя таксационни описания?"));
    const ExportResult r = exportEntries(state, list, out(), o);
    EXPECT_EQ(r.descriptions, 7);
    EXPECT_EQ(r.sheets, 2);
    EXPECT_EQ(pieces(out()), QStringList({"sheet 1", "1:а", "1:б", "1:в", "1:г", "sheet 2", "2:а", "2:б", "2:в"}));
    EXPECT_EQ(progress, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(exportProgressLabel(o, 3, 9), QStringLiteral("Експортиране на  3 от 9 подотдела"));
    EXPECT_EQ(exportProgressTitle(3, 9), QStringLiteral("Експортиране... 33%"));
    EXPECT_EQ(exportProgressTitle(0, 9), QStringLiteral("Експортиране... 0%"));
    // Every piece ends in its trailer; code page 1251 bytes.
    EXPECT_TRUE(bytes(out()).endsWith("\r\n\r\n\r\n"));
    EXPECT_TRUE(bytes(out()).contains(QByteArray("\xef\xee\xe4\xee\xf2\xe4\xe5\xeb: ", 10))); // "подотдел: "
}

TEST_F(ExportRunTest, SheetsOnlyWritesOneSheetPerCompartmentAndNoDescription)
{
    ExportOptions o;
    o.sheetsOnly = true;
    const QVector<RangeEntry> list = range(1, 3);
    const UserMessage q = exportQuestion(list, o);
    EXPECT_EQ(q.caption, QStringLiteral("Експорт предотделни листове - TXT формат"));
    EXPECT_EQ(q.text, QStringLiteral("Сигурни ли сте, че желаете да експортирате 3 броя предотделни листове?"));
    EXPECT_EQ(exportProgressLabel(o, 0, 3, true), QStringLiteral("Експортиране на  0 от 3 предотделни листа"));
    EXPECT_EQ(exportProgressLabel(o, 1, 3), QStringLiteral("Експортиране на  1 от 3 описания"));
    exportEntries(state, list, out(), o);
    EXPECT_EQ(pieces(out()), QStringList({"sheet 1", "sheet 2", "sheet 3"}));
    o.format = ExportFormat::Word;
    EXPECT_EQ(exportQuestion(list, o).caption, QStringLiteral("Експорт предотделни листове - Word формат"));
}

TEST_F(ExportRunTest, AppendsToAFileThatHoldsTextAndPartialPartsAreFixedAtTheStart)
{
    const QByteArray before = "earlier text\r\n";
    {
        QFile f(out());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    ExportOptions o;
    o.partial = true; // no part ticked: the header line and the rule only
    exportEntries(state, range(3, 3), out(), o);
    const QByteArray all = bytes(out());
    EXPECT_TRUE(all.startsWith(before));
    const QStringList lines = text(out()).mid(before.size()).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("подотдел: 3 а")));
    EXPECT_EQ(lines[1], QString(103, QLatin1Char('_')));
    EXPECT_EQ(lines.mid(2), QStringList({"", "", "", ""}));
}

TEST_F(ExportRunTest, StopEndsTheRunBeforeTheNextEntryAndKeepsWhatWasWritten)
{
    bool stop = false;
    ExportOptions o;
    o.stop = &stop;
    o.progress = [&](int done) { stop = done == 2; };
    const ExportResult r = exportEntries(state, range(1, 2), out(), o);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(pieces(out()), QStringList({"1:а", "1:б"}));
}

TEST_F(ExportRunTest, AFailedWriteHalfWayLeavesTheFileAsItWas)
{
    const QByteArray before = "kept\r\n";
    {
        QFile f(out());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    ExportOptions o;
    o.report = [&](const UserMessage &m) { shown << m.text; };
    // The third piece's write fails (a full disk): the two before it are taken back.
    platform::faults::arm(platform::faults::Op::Write, 3, ENOSPC);
    ExportResult r = exportEntries(state, range(1, 2), out(), o);
    platform::faults::disarm();
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(bytes(out()), before);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(out())) << shown[0].toStdString();

    // A file the run made is gone again.
    platform::faults::arm(platform::faults::Op::Write, 2, ENOSPC);
    r = exportEntries(state, range(1, 1), out("new.txt"), o);
    platform::faults::disarm();
    EXPECT_TRUE(r.failed);
    EXPECT_FALSE(QFile::exists(out("new.txt")));

    // A folder that is not there.
    r = exportEntries(state, range(1, 1), QString::fromStdString(dir.file("none/out.txt")), o);
    EXPECT_TRUE(r.failed);
    EXPECT_TRUE(shown.last().contains(QStringLiteral("none/out.txt")));
}

TEST_F(ExportRunTest, AnOutputThatIsNoFileIsRefusedAndNothingIsWrittenThere)
{
    namespace fs = std::filesystem;
    // Links to devices (a write at an offset of a disk would overwrite it; /dev/null
    // would swallow the export and report success), a named pipe and a folder.
    fs::create_symlink("/dev/null", dir.file("null.txt"));
    fs::create_symlink("/dev/zero", dir.file("zero.txt"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder.txt"));
    const std::pair<const char *, QString> cases[] = {
        {"null.txt", QStringLiteral("на мястото на файла има устройство.")},
        {"zero.txt", QStringLiteral("на мястото на файла има устройство.")},
        {"pipe.txt", QStringLiteral("на мястото на файла има именуван канал.")},
        {"folder.txt", QStringLiteral("на мястото на файла има папка.")}};
    for (const auto &[name, reason] : cases) {
        QList<UserMessage> boxes;
        ExportOptions o;
        o.report = [&](const UserMessage &m) { boxes << m; };
        const ExportResult r = exportEntries(state, range(1, 1), out(name), o);
        EXPECT_TRUE(r.failed) << name;
        ASSERT_EQ(boxes.size(), 1) << name;
        EXPECT_TRUE((boxes[0].text + boxes[0].detail).contains(out(name))) << name;
        EXPECT_TRUE((boxes[0].text + boxes[0].detail).contains(reason)) << (boxes[0].text + "|" + boxes[0].detail).toStdString();
        QString error;
        EXPECT_FALSE(appendDescriptionText(out(name), QStringLiteral("x"), &error)) << name;
        EXPECT_TRUE(error.contains(reason)) << error.toStdString();
    }
    EXPECT_EQ(fs::status(dir.file("pipe.txt")).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_symlink(dir.file("null.txt")));
}

TEST_F(ExportRunTest, AppendWritesOnlyTheNewBytes)
{
    // A file the program may not rewrite but may append to: its other bytes stay put
    // (the same inode, not a replacement).
    ExportFile first(out());
    first.append(QStringLiteral("one"));
    QFile f(out());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray a = f.readAll();
    QString error;
    ASSERT_TRUE(appendDescriptionText(out(), QStringLiteral("two"), &error)) << error.toStdString();
    f.seek(0);
    const QByteArray both = f.readAll(); // read through the handle opened before the append
    EXPECT_EQ(both, a + "two\r\n\r\n\r\n");
}

TEST_F(ExportRunTest, ListFileLinesSplitAtTheFirstBlank)
{
    {
        QFile f(out("list.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // UTF-8, blank lines, extra blanks between the parts, a pair that names no record.
        f.write("2 б\r\n\r\n1    в\n  \n9 я\n");
    }
    std::optional<PrintListFile> list = loadExportList(out("list.txt"), [&](const UserMessage &m) { shown << m.text; });
    ASSERT_TRUE(list);
    EXPECT_EQ(list->entries, QVector<RangeEntry>({{2, "б"}, {1, "в"}, {9, "я"}}));
    ExportOptions o;
    const ExportResult r = exportEntries(state, list->entries, out(), o);
    EXPECT_EQ(r.descriptions, 3);
    EXPECT_EQ(pieces(out()), QStringList({"2:б", "1:в", "missing 9:я"}));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(ExportRunTest, LongListFileLoads)
{
    QByteArray data;
    for (int i = 0; i < 100000; ++i) data += QByteArray::number(1 + i % 3000) + " " + QByteArray::number(i / 3000) + "\n";
    QFile f(out("long.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    f.close();
    std::optional<PrintListFile> list = loadExportList(out("long.txt"), {});
    ASSERT_TRUE(list);
    EXPECT_EQ(list->entries.size(), 100000);
    EXPECT_EQ(list->entries.last(), (RangeEntry{1 + 99999 % 3000, QString::number(99999 / 3000)}));
}

TEST_F(ExportRunTest, APairThatNamesTwoRecordsIsMissingInARunAsInOneDescription)
{
    project({ProjectRow(1, "а"), ProjectRow(1, "б"), ProjectRow(1, "а")});
    ExportOptions o;
    exportEntries(state, range(1, 1), out(), o);
    EXPECT_EQ(pieces(out()), QStringList({"missing 1:а", "1:б", "missing 1:а"}));
    // The same as the single layout gives.
    EXPECT_FALSE(wholeDescriptionText(state, 1, QStringLiteral("а"), false, {}));
    o.partial = true;
    o.parts.fill(true);
    exportEntries(state, {{1, "б"}}, out("partial.txt"), o);
    EXPECT_EQ(text(out("partial.txt")),
              partialDescriptionText(state, 1, QStringLiteral("б"), o.parts, {}) + QStringLiteral("\r\n\r\n\r\n"));
}
