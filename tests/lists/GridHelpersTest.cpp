// Grid texts for the clipboard and text files, the number patterns of the grid model and
// the two small helpers of the aligned tables.
#include "core/GridModel.h"
#include "core/NumberFormat.h"
#include "core/SafeFileWrite.h"
#include "lists/GridTextLayout.h"
#include "lists/NumberTexts.h"


#include "TestUtil.h"

#include <QFile>
#include <QStandardItemModel>

#include <gtest/gtest.h>

using namespace dx;

namespace {

// Three columns: a name, an area shown to one decimal, a count.
void fillSample(DataGridModel &grid)
{
    grid.setColumns({{QStringLiteral("Отдел"), {}, Qt::AlignLeft, 8},
                     {QStringLiteral("хектари|площ"), QStringLiteral("0.0"), Qt::AlignRight, 8},
                     {QStringLiteral("Брой"), {}, Qt::AlignRight, 4}});
    grid.setRows({{QStringLiteral("12а"), 12.0, 3},
                  {QStringLiteral("Бор"), QVariant(), 7},
                  {QVariant(), 0.25, QVariant()}});
}

QByteArray readAll(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

TEST(GridHelpers, PadRightAppendsFillButNeverCuts)
{
    EXPECT_EQ(PadRight("ab", 5, "*"), "ab***");
    EXPECT_EQ(PadRight(QStringLiteral("Бор"), 5, " "), QStringLiteral("Бор  "));  // characters, not bytes
    EXPECT_EQ(PadRight("abc", 3, "*"), "abc");
    EXPECT_EQ(PadRight("abcdef", 3, "*"), "abcdef");
    EXPECT_EQ(PadRight("a", 3, "xy"), "axyxy");   // the fill is appended (width - length) times
    EXPECT_EQ(PadRight("", 2, "0"), "00");
}

TEST(GridHelpers, RoundToTenthTiesToEvenOnTheStoredValue)
{
    EXPECT_DOUBLE_EQ(RoundToTenth(12.25), 12.2);   // an exact tie goes to the even tenth
    EXPECT_DOUBLE_EQ(RoundToTenth(12.75), 12.8);
    EXPECT_DOUBLE_EQ(RoundToTenth(12.35), 12.3);   // stored slightly below 12.35
    EXPECT_DOUBLE_EQ(RoundToTenth(12.34), 12.3);
    EXPECT_DOUBLE_EQ(RoundToTenth(12.36), 12.4);
    EXPECT_DOUBLE_EQ(RoundToTenth(12.97), 13.0);   // carries into the integer part
    EXPECT_DOUBLE_EQ(RoundToTenth(12.0), 12.0);
    EXPECT_DOUBLE_EQ(RoundToTenth(0.0), 0.0);
    EXPECT_DOUBLE_EQ(RoundToTenth(250.0), 250.0);
}

TEST(GridHelpers, NumberPatterns)
{
    EXPECT_EQ(formatNumber(12, "0.0"), "12.0");
    EXPECT_EQ(formatNumber(0.5, "#.0"), ".5");
    EXPECT_EQ(formatNumber(0.5, "#0.0"), "0.5");
    EXPECT_EQ(formatNumber(3.14159, "0.00"), "3.14");
    EXPECT_EQ(formatNumber(2.5, "0"), "3");          // an exact tie away from zero
    EXPECT_EQ(formatNumber(2.25, "0.0"), "2.3");
    EXPECT_EQ(formatNumber(1234567.89, "#,##0.0"), "1,234,567.9");
    EXPECT_EQ(formatNumber(999.96, "#,##0.0"), "1,000.0");
    EXPECT_EQ(formatNumber(12.5, "0.##"), "12.5");
    EXPECT_EQ(formatNumber(12, "0.##"), "12");
    EXPECT_EQ(formatNumber(0, "#.##"), "");
    EXPECT_EQ(formatNumber(-12.34, "0.0"), "-12.3");
    EXPECT_EQ(formatNumber(-0.04, "0.0"), "0.0");     // no minus on a zero
    EXPECT_EQ(formatNumber(7, "000"), "007");
    EXPECT_EQ(formatNumber(45.678, "0.0 ха"), "45.7 ха");
    EXPECT_EQ(formatNumber(45.678, "\"до \"0"), "до 46");
    EXPECT_EQ(formatNumber(1234.5, "#,##0.0", QLocale(QLocale::German)), "1.234,5");
}

TEST(GridHelpers, ModelShowsFormattedTextsAndKeepsValues)
{
    DataGridModel grid;
    fillSample(grid);
    ASSERT_EQ(grid.rowCount(), 3);
    ASSERT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.data(grid.index(0, 1)).toString(), "12.0");
    EXPECT_EQ(grid.data(grid.index(0, 1), Qt::EditRole).toDouble(), 12.0);
    EXPECT_EQ(grid.data(grid.index(2, 1)).toString(), "0.3");
    EXPECT_EQ(grid.data(grid.index(1, 1)).toString(), "");
    EXPECT_EQ(grid.headerData(1, Qt::Horizontal).toString(), QStringLiteral("хектари|площ"));
    EXPECT_EQ(grid.data(grid.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight));

    // Without a pattern: integers as integers, reals in their shortest form.
    DataGridModel plain({{"a"}, {"b"}, {"c"}});
    plain.setRows({{12.0, 12.5, qlonglong(123456789012)}, {true}});
    EXPECT_EQ(plain.displayText(0, 0), "12");
    EXPECT_EQ(plain.displayText(0, 1), "12.5");
    EXPECT_EQ(plain.displayText(0, 2), "123456789012");
    EXPECT_EQ(plain.displayText(1, 2), "");          // a short row reads as nulls
    EXPECT_FALSE(plain.value(1, 2).isValid());

    plain.setLocale(QLocale(QLocale::German));
    EXPECT_EQ(plain.displayText(0, 1), "12,5");
}

TEST(GridHelpers, ClipboardTextOfOneGrid)
{
    DataGridModel grid;
    fillSample(grid);
    const QString body = QStringLiteral("Отдел\tхектари|площ\tБрой\r"
                                        "12а\t12.0\t3\r"
                                        "Бор\t\t7\r"
                                        "\t0.3\t\r");
    EXPECT_EQ(CopyGridText(grid, true, {}), body);    // an empty heading adds nothing
    EXPECT_EQ(CopyGridText(grid, true, QStringLiteral("Списък")), QStringLiteral("Списък\r") + body);
    EXPECT_EQ(CopyGridText(grid, false, {}), body.mid(body.indexOf('\r') + 1));
    EXPECT_FALSE(CopyGridText(grid, true, "x").contains('\n'));

    // The columns a view shows, in its order.
    EXPECT_EQ(CopyGridText(grid, false, {}, QList<int>{2, 0}), QStringLiteral("3\t12а\r7\tБор\r\t\r"));
    EXPECT_EQ(gridRowText(grid, 1, ";"), QStringLiteral("Бор;;7"));
}

TEST(GridHelpers, EmptyGridGivesHeadingAndTitlesOnly)
{
    DataGridModel grid({{"A"}, {"B"}});
    EXPECT_EQ(CopyGridText(grid, true, "H"), "H\rA\tB\r");
    EXPECT_EQ(CopyGridText(grid, false, "H"), "H\r");
    EXPECT_EQ(CopyPlainGridText(grid, "<", ">", true), "<A\tB\r>");
    EXPECT_EQ(CopyPlainGridText(grid, "<", ">", false), "<>");
}

TEST(GridHelpers, PlainAndTwoGridTexts)
{
    DataGridModel first({{"A"}, {"B"}});
    first.setRows({{1, 2}});
    QStandardItemModel second(1, 1);
    second.setHorizontalHeaderLabels({"C"});
    second.setItem(0, 0, new QStandardItem("x"));

    EXPECT_EQ(CopyPlainGridText(first, "pre", "post", true), "preA\tB\r1\t2\rpost");
    // The heading of the second grid is passed before the heading of the first.
    EXPECT_EQ(CopyTwoGridsText(first, second, true, "второ", "първо"),
              QStringLiteral("първоA\tB\r1\t2\r\rвтороC\rx\r"));
    EXPECT_EQ(CopyTwoGridsText(first, second, false, "2", "1"), "11\t2\r\r2x\r");
}

TEST(GridHelpers, TextFileInCodePage1251WithCrLf)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("list.txt");
    {   // an older, longer file is replaced, not patched
        QFile old(QString::fromStdString(path));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'z'));
    }
    DataGridModel grid({{QStringLiteral("Вид")}, {"ha", "0.0"}});
    grid.setRows({{QStringLiteral("Бор"), 1.25}, {QVariant(), 3}});
    SaveGridText(grid, true, ";", QString::fromStdString(path));
    EXPECT_EQ(readAll(path), QByteArray("\xC2\xE8\xE4;ha\r\n"
                                        "\xC1\xEE\xF0;1.3\r\n"
                                        ";3.0\r\n"));

    SaveGridText(grid, false, "\t", QString::fromStdString(path), QList<int>{1});
    EXPECT_EQ(readAll(path), QByteArray("1.3\r\n3.0\r\n"));

    grid.clearRows();
    SaveGridText(grid, true, " | ", QString::fromStdString(path));
    EXPECT_EQ(readAll(path), QByteArray("\xC2\xE8\xE4 | ha\r\n"));
}

TEST(GridHelpers, UnwritableFileIsReportedWithItsName)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillSample(grid);
    const QString missing = QString::fromStdString(dir.file("no-such-folder/list.txt"));
    try {
        SaveGridText(grid, true, ";", missing);
        FAIL() << "writing into a missing folder succeeded";
    } catch (const FileWriteError &e) {
        EXPECT_EQ(e.path(), missing);
        EXPECT_FALSE(e.reason().isEmpty());
        EXPECT_NE(std::string(e.what()).find("list.txt"), std::string::npos);
    }
    // A folder in place of the file.
    EXPECT_THROW(SaveGridText(grid, true, ";", QString::fromStdString(dir.path())), FileWriteError);
}
