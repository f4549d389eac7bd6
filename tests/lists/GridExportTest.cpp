// Lists saved as spreadsheets and rich-text documents: file names, title rows, numbers kept
// as numbers only when they come back exactly, the written files read back (the .xlsx
// parts with unzip, both files through LibreOffice when it is installed) and failures.
#include "core/SafeFileWrite.h"
#include "lists/GridColumnLayout.h"
#include "lists/NumberTexts.h"
#include "lists/RtfWriter.h"
#include "lists/SpreadsheetWriter.h"


#include "TestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace dx;

namespace {

// A sieve-like result: a one-line title, two columns under one upper line, a column under
// an upper line of its own, and texts that must be written as the grid shows them.
void fillSample(DataGridModel &grid)
{
    grid.setColumns({{QStringLiteral("отдел"), {}, Qt::AlignHCenter},
                     {QStringLiteral("запас|общо"), QStringLiteral("0.00"), Qt::AlignRight},
                     {QStringLiteral("запас|иглолистни"), QStringLiteral("0.0"), Qt::AlignRight},
                     {QStringLiteral("бележка|текст")},
                     {QStringLiteral("код")}});
    grid.setRows({{12, 12.5, 3.25, QStringLiteral("Бор {стар} \\ 50%"), QStringLiteral("007")},
                  {13, 1234.0, QVariant(), QStringLiteral("Дъб"), QStringLiteral("-0")},
                  {14, 0.3, 0.05, QString(), QStringLiteral("1,234")}});
}

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// One part of a zip file, through the unzip tool; empty when it is not there.
QByteArray zipPart(const QString &zip, const QString &part)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, part});
    unzip.waitForFinished(30000);
    return unzip.readAllStandardOutput();
}

bool haveProgram(const char *name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

QString script()
{
    return QStringLiteral(DX_TESTS_DIR "/scripts/check_list_files_with_libreoffice.sh");
}

} // namespace

TEST(GridExport, ExtensionsAreAppendedUnlessExactlyThere)
{
    EXPECT_EQ(xlsxFileName("list.xlsx"), "list.xlsx");
    EXPECT_EQ(xlsxFileName("list.XLSX"), "list.XLSX.xlsx");  // the check is case-sensitive
    EXPECT_EQ(xlsxFileName("list.xls"), "list.xls.xlsx");
    EXPECT_EQ(xlsxFileName("list"), "list.xlsx");
    EXPECT_EQ(xlsxFileName("/tmp/a.xlsx/list"), "/tmp/a.xlsx/list.xlsx");
    EXPECT_EQ(xlsxFileName(QStringLiteral("списък.xlsx ")), QStringLiteral("списък.xlsx .xlsx"));
    EXPECT_EQ(rtfFileName("list.RTF"), "list.RTF.rtf");
    EXPECT_EQ(rtfFileName("list.rtf"), "list.rtf");
}

TEST(GridExport, PlainNumbersAreThoseShownBackExactly)
{
    const QLocale c = QLocale::c();
    const QLocale bg(QLocale::Bulgarian, QLocale::Bulgaria);
    const QLocale de(QLocale::German, QLocale::Germany);

    auto n = plainNumber("12.50", c);
    ASSERT_TRUE(n);
    EXPECT_DOUBLE_EQ(n->value, 12.5);
    EXPECT_EQ(n->decimals, 2);
    n = plainNumber("-3", c);
    ASSERT_TRUE(n);
    EXPECT_DOUBLE_EQ(n->value, -3);
    n = plainNumber(".5", c);  // the "#.0" pattern writes no digit before the point
    ASSERT_TRUE(n);
    EXPECT_FALSE(n->integerPart);
    n = plainNumber("12,5", bg);  // the locale's own form
    ASSERT_TRUE(n);
    EXPECT_DOUBLE_EQ(n->value, 12.5);
    EXPECT_TRUE(plainNumber("12.5", bg));  // and the C form besides
    n = plainNumber("1,5", de);
    ASSERT_TRUE(n);
    EXPECT_DOUBLE_EQ(n->value, 1.5);

    // Texts a spreadsheet would not show back as they stand stay texts.
    EXPECT_FALSE(plainNumber("1,234", c));   // grouped thousands, not a decimal comma
    EXPECT_FALSE(plainNumber("1.234", de));  // the German group separator
    EXPECT_FALSE(plainNumber("007", c));
    EXPECT_FALSE(plainNumber("-0", c));
    EXPECT_FALSE(plainNumber("-0.0", c));
    EXPECT_FALSE(plainNumber("12.", c));
    EXPECT_FALSE(plainNumber(" 12", c));
    EXPECT_FALSE(plainNumber("1e5", c));
    EXPECT_FALSE(plainNumber("+5", c));
    EXPECT_FALSE(plainNumber("1.2.3", c));
    EXPECT_FALSE(plainNumber("1234567890123456", c));  // beyond a double's exact digits
    EXPECT_TRUE(plainNumber("123456789012345", c));
    EXPECT_FALSE(plainNumber("", c));
    EXPECT_FALSE(plainNumber("-", c));
}

TEST(GridExport, TitleLayoutGroupsNeighboursSharingAnUpperLine)
{
    DataGridModel grid;
    fillSample(grid);
    GridTitleLayout layout = gridTitleLayout(grid, {0, 1, 2, 3, 4});
    ASSERT_TRUE(layout.twoLines);
    EXPECT_EQ(layout.lower, QStringList({QStringLiteral("отдел"), QStringLiteral("общо"),
                                         QStringLiteral("иглолистни"), QStringLiteral("текст"),
                                         QStringLiteral("код")}));
    ASSERT_EQ(layout.upper.size(), 4);
    EXPECT_EQ(layout.upper[0].text, "");
    EXPECT_EQ(layout.upper[1].text, QStringLiteral("запас"));
    EXPECT_EQ(layout.upper[1].first, 1);
    EXPECT_EQ(layout.upper[1].last, 2);
    EXPECT_EQ(layout.upper[2].first, 3);
    EXPECT_EQ(layout.upper[3].first, 4);

    // Columns walked apart do not share their upper line.
    layout = gridTitleLayout(grid, {1, 0, 2});
    ASSERT_EQ(layout.upper.size(), 3);
    EXPECT_EQ(layout.upper[2].text, QStringLiteral("запас"));
    EXPECT_FALSE(gridTitleLayout(grid, {0, 4}).twoLines);
}

TEST(GridExport, XlsxHoldsTitlesNumbersAndTexts)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillSample(grid);
    const QString path = qs(dir.file("списък.xlsx"));
    SaveGridXlsx(grid, std::nullopt, path, QStringLiteral("Сито [работно]"));

    const QByteArray bytes = readAll(path);
    ASSERT_TRUE(bytes.startsWith("PK\x03\x04"));
    EXPECT_TRUE(bytes.contains("xl/worksheets/sheet1.xml"));
    EXPECT_EQ(QDir(qs(dir.path())).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no scratch file left

    if (!haveProgram("unzip"))
        GTEST_SKIP() << "unzip is not installed: the parts of the workbook were not read";
    const QString strings = QString::fromUtf8(zipPart(path, "xl/sharedStrings.xml"));
    const QString sheet = QString::fromUtf8(zipPart(path, "xl/worksheets/sheet1.xml"));
    const QString styles = QString::fromUtf8(zipPart(path, "xl/styles.xml"));
    const QString book = QString::fromUtf8(zipPart(path, "xl/workbook.xml"));
    for (const char *text : {"отдел", "запас", "общо", "иглолистни", "бележка", "текст", "Бор {стар} \\ 50%",
                             "007", "-0", "1,234"})
        EXPECT_TRUE(strings.contains(QString::fromUtf8(text))) << text;
    EXPECT_FALSE(strings.contains(QStringLiteral(">12.50<")));
    // Two title rows: the upper line over its two columns, one-line titles over both rows.
    EXPECT_TRUE(sheet.contains(QStringLiteral("<mergeCell ref=\"B1:C1\"/>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<mergeCell ref=\"A1:A2\"/>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<mergeCell ref=\"E1:E2\"/>")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("ref=\"D1:D2\"")));  // D has an upper line of its own
    // The rows start on the third row, numbers stored as numbers.
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>12.5</v>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>1234</v>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>3.3</v>")));  // 3.25 as the grid shows it
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"B3\"")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("<c r=\"D5\"")));  // an empty text writes no cell
    EXPECT_TRUE(sheet.contains(QStringLiteral("<pane ySplit=\"2\"")));
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"0.00\"")));
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"0.0\"")));
    EXPECT_TRUE(book.contains(QStringLiteral("name=\"Сито работно\"")));  // brackets cannot name a sheet
}

TEST(GridExport, XlsxOfOneLineTitlesHasOneTitleRow)
{
    dxtest::TempDir dir;
    DataGridModel grid({{QStringLiteral("отдел")}, {QStringLiteral("площ"), QStringLiteral("0.0")}});
    grid.setLocale(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    grid.appendRow({7, 2.25});
    const QString path = qs(dir.file("a.xlsx"));
    SaveGridXlsx(grid, QList<int>{1}, path);
    if (!haveProgram("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    const QString sheet = QString::fromUtf8(zipPart(path, "xl/worksheets/sheet1.xml"));
    EXPECT_FALSE(sheet.contains(QStringLiteral("mergeCell")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>2.3</v>")));  // "2,3" as the grid shows it, a number
    EXPECT_FALSE(sheet.contains(QStringLiteral("<c r=\"B")));   // only the walked column
    EXPECT_TRUE(sheet.contains(QStringLiteral("<pane ySplit=\"1\"")));
}

TEST(GridExport, RtfHoldsAnEscapedTableWithTitleRows)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillSample(grid);
    const QString path = qs(dir.file("list.rtf"));
    SaveGridRtf(grid, std::nullopt, path, QStringLiteral("Сито"));
    const QByteArray rtf = readAll(path);

    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
    for (char c : rtf)
        ASSERT_TRUE(uchar(c) < 0x80) << "the document must be plain ASCII";
    EXPECT_TRUE(rtf.contains("\\u1086?\\u1090?\\u1076?\\u1077?\\u1083?"));  // "отдел"
    EXPECT_TRUE(rtf.contains("\\{\\u1089?\\u1090?\\u1072?\\u1088?\\} \\\\ 50%"));  // {стар} \ 50%
    EXPECT_TRUE(rtf.contains("{\\info{\\title \\u1057?\\u1080?\\u1090?\\u1086?}}"));
    EXPECT_EQ(rtf.count("\\trhdr"), 2);      // two title rows, repeated on every page
    EXPECT_EQ(rtf.count("\\row"), 2 + 3);
    EXPECT_EQ(rtf.count("\\clvmgf"), 2);     // "отдел" and "код" take both title rows
    EXPECT_EQ(rtf.count("\\clvmrg"), 2);
    // The upper row has four cells (the "запас" cell spans two columns), the others five.
    const QByteArray firstRow = rtf.mid(rtf.indexOf("\\trowd"), rtf.indexOf("\\row") - rtf.indexOf("\\trowd"));
    EXPECT_EQ(firstRow.count("\\cellx"), 4);
    EXPECT_EQ(rtf.count("\\cellx"), 4 + 5 + 3 * 5);
    EXPECT_TRUE(rtf.contains("\\qr 12.50\\cell"));
    EXPECT_FALSE(rtf.contains("\\landscape"));  // a narrow table stays on a portrait page

    // No columns shown: a document without a table (a row without cells is no RTF).
    SaveGridRtf(grid, QList<int>{}, path);
    const QByteArray empty = readAll(path);
    EXPECT_TRUE(empty.startsWith("{\\rtf1"));
    EXPECT_FALSE(empty.contains("\\trowd"));
}

TEST(GridExport, WideRtfTableTurnsThePageAndFitsIt)
{
    dxtest::TempDir dir;
    QList<GridColumn> columns;
    DataGridModel::Row row;
    for (int i = 0; i < 30; ++i) {
        columns.append(GridColumn(QStringLiteral("колона %1").arg(i)));
        row.append(QStringLiteral("дълъг текст на клетка %1").arg(i));
    }
    DataGridModel grid(columns);
    grid.appendRow(row);
    const QString path = qs(dir.file("wide.rtf"));
    SaveGridRtf(grid, std::nullopt, path);
    const QByteArray rtf = readAll(path);
    EXPECT_TRUE(rtf.contains("\\landscape"));
    EXPECT_TRUE(rtf.contains("\\paperw16838\\paperh11906"));
    // The last cell edge stays inside the landscape page's text width.
    const qsizetype last = rtf.lastIndexOf("\\cellx");
    const int edge = rtf.mid(last + 6, rtf.indexOf('\\', last + 1) - last - 6).toInt();
    EXPECT_GT(edge, 15000);
    EXPECT_LE(edge, 16838 - 2 * 720);
}

TEST(GridExport, FailuresNameTheFileAndKeepTheOldOne)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillSample(grid);
    const QString missingFolder = qs(dir.file("no/such/folder/list.xlsx"));
    try {
        SaveGridXlsx(grid, std::nullopt, missingFolder);
        FAIL() << "no error for a missing folder";
    } catch (const FileWriteError &e) {
        EXPECT_EQ(e.path(), missingFolder);
        EXPECT_FALSE(e.reason().isEmpty());
    }
    EXPECT_THROW(SaveGridRtf(grid, std::nullopt, qs(dir.file("no/list.rtf"))), FileWriteError);
    EXPECT_THROW(SaveGridRtf(grid, std::nullopt, qs(dir.path())), FileWriteError);  // a folder
    EXPECT_THROW(SaveGridXlsx(grid, std::nullopt, qs(dir.path())), FileWriteError);

    // A failed save leaves the file that was there; a good one replaces it whole.
    const QString path = qs(dir.file("old.xlsx"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(200000, 'x'));
    }
    QList<int> tooMany;
    for (int c = 0; c < 16385; ++c)
        tooMany.append(0);
    EXPECT_THROW(SaveGridXlsx(grid, tooMany, path), FileWriteError);
    EXPECT_EQ(QFileInfo(path).size(), 200000);
    SaveGridXlsx(grid, std::nullopt, path);
    const QByteArray now = readAll(path);
    EXPECT_TRUE(now.startsWith("PK"));
    EXPECT_FALSE(now.contains("xxxxxxxx"));
    EXPECT_EQ(QDir(qs(dir.path())).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(GridExport, LibreOfficeReadsBothFiles)
{
    if (!haveProgram("soffice"))
        GTEST_SKIP() << "LibreOffice is not installed";
    dxtest::TempDir dir;
    DataGridModel grid;
    fillSample(grid);
    const QString xlsx = qs(dir.file("list.xlsx"));
    const QString rtf = qs(dir.file("list.rtf"));
    SaveGridXlsx(grid, std::nullopt, xlsx, QStringLiteral("Сито"));
    SaveGridRtf(grid, std::nullopt, rtf);

    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(QStringLiteral("bash"), {script(), xlsx, rtf, QStringLiteral("--"), QStringLiteral("отдел"),
                                         QStringLiteral("иглолистни"), QStringLiteral("Бор {стар} \\ 50%"),
                                         QStringLiteral("12.50"), QStringLiteral("1234.00"), QStringLiteral("007"),
                                         QStringLiteral("1,234"), QStringLiteral("Дъб")});
    ASSERT_TRUE(check.waitForFinished(600000));
    if (check.exitCode() == 77)
        GTEST_SKIP() << "LibreOffice is not installed";
    EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
}
