// The grid printer: pages and their footers, titles repeated on every page, the columns
// fitted to the page width, a view's visible columns in the order shown, the PDF file and
// the print preview. PDF texts are read with pdftotext when it is installed.
#include "core/SafeFileWrite.h"
#include "lists/GridPrintout.h"
#include "widgets/GuiGridPrinter.h"


#include "QtTestApp.h"
#include "TestUtil.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

using namespace dx;

namespace {


// `rows` rows under an ordinary title, two titles sharing an upper line and a last one.
void fillList(DataGridModel &grid, int rows)
{
    grid.setColumns({{QStringLiteral("отдел"), {}, Qt::AlignHCenter},
                     {QStringLiteral("подотдел"), {}, Qt::AlignHCenter},
                     {QStringLiteral("площ"), QStringLiteral("0.00"), Qt::AlignRight},
                     {QStringLiteral("запас|общо"), {}, Qt::AlignRight},
                     {QStringLiteral("запас|бял бор"), {}, Qt::AlignRight},
                     {QStringLiteral("бележка")}});
    for (int r = 0; r < rows; ++r)
        grid.appendRow({r + 1, QStringLiteral("а"), 1.25 * r, 100 + r, r, QStringLiteral("ред %1").arg(r + 1)});
}

QPageLayout a4(QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
}

bool havePdfToText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The PDF's pages as text (form feeds between pages).
QStringList pdfPages(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Page objects in a PDF as Qt writes it.
int pdfPageObjects(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

double sum(const QList<double> &values)
{
    double total = 0;
    for (double v : values)
        total += v;
    return total;
}

} // namespace

TEST(GridPrinter, PagesCarryHeaderTitlesAndPageNumbers)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillList(grid, 150);
    GridPrinter printer(grid);
    printer.setHeader(QStringLiteral("Сито работно - Проба 2024\n\nфилтър: стопански клас: X"));
    printer.setFooterLeft(QStringLiteral("Dendrix - поддръжка"));
    const int pages = printer.pageCount(a4(QPageLayout::Landscape));
    ASSERT_GE(pages, 3);
    EXPECT_GT(printer.pageCount(a4(QPageLayout::Portrait)), 0);
    EXPECT_LT(printer.pageCount(a4(QPageLayout::Portrait)), pages);  // a taller page holds more rows

    const QString pdf = QString::fromStdString(dir.file("list.pdf"));
    printer.printToPdf(pdf);
    EXPECT_EQ(pdfPageObjects(pdf), pages);
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed: page texts not read";
    const QStringList texts = pdfPages(pdf);
    ASSERT_EQ(texts.size(), pages);
    for (int p = 0; p < pages; ++p) {
        const QString &text = texts.at(p);
        EXPECT_TRUE(text.contains(QStringLiteral("стр. %1 от %2").arg(p + 1).arg(pages))) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("филтър: стопански клас: X"))) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("Dendrix - поддръжка"))) << p;
        for (const char *title : {"отдел", "подотдел", "запас", "бял бор", "бележка"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(title))) << p << " " << title;
    }
    // Every row is printed once, in order.
    const QString all = texts.join(QString());
    qsizetype at = 0;
    for (int r = 1; r <= 150; ++r) {
        const qsizetype found = all.indexOf(QStringLiteral("ред %1\n").arg(r), at);
        ASSERT_GE(found, 0) << r;
        at = found;
    }
    EXPECT_EQ(all.count(QStringLiteral("ред 75\n")), 1);
    EXPECT_TRUE(all.contains(QStringLiteral("186.25")));
}

TEST(GridPrinter, AnEmptyGridPrintsOnePageOfTitles)
{
    DataGridModel grid;
    fillList(grid, 0);
    GridPrinter printer(grid);
    EXPECT_EQ(printer.pageCount(a4(QPageLayout::Landscape)), 1);
    EXPECT_EQ(pageFooterText(printer.options().footerRight, 1, 1), QStringLiteral("стр. 1 от 1"));
}

TEST(GridPrinter, ColumnsAreFittedToThePageWidth)
{
    const QPageLayout page = a4(QPageLayout::Landscape);
    const double width = page.paintRect(QPageLayout::Point).width();

    // A narrow grid is widened to the page, or left as it is when asked.
    DataGridModel narrow;
    fillList(narrow, 5);
    GridPrintout stretched(narrow, {0, 1, 2});
    GridPrintout::Fit fit = stretched.fit(page);
    EXPECT_NEAR(sum(fit.widths), width, 0.01);
    EXPECT_EQ(fit.scale, 1);
    stretched.options().stretchToWidth = false;
    EXPECT_LT(sum(stretched.fit(page).widths), width / 2);

    // Long texts wrap first: the grid fills the page at full size.
    DataGridModel wrapped({{QStringLiteral("отдел")}, {QStringLiteral("описание")}});
    for (int r = 0; r < 4; ++r)
        wrapped.appendRow({r, QStringLiteral("дълго описание на подотдела ").repeated(20)});
    GridPrintout wraps(wrapped, {0, 1});
    fit = wraps.fit(page);
    EXPECT_EQ(fit.scale, 1);
    EXPECT_NEAR(sum(fit.widths), width, 0.01);

    // Too many columns even for their longest words: drawn smaller, exactly page wide.
    QList<GridColumn> columns;
    DataGridModel::Row row;
    QList<int> all;
    for (int c = 0; c < 60; ++c) {
        columns.append(GridColumn(QStringLiteral("колона|номер%1").arg(c)));
        row.append(QStringLiteral("непрекъснатдългтекст%1").arg(c));
        all.append(c);
    }
    DataGridModel wide(columns);
    wide.appendRow(row);
    GridPrintout scaled(wide, all);
    fit = scaled.fit(page);
    EXPECT_LT(fit.scale, 1);
    EXPECT_NEAR(sum(fit.widths) * fit.scale, width, 0.01);
    EXPECT_EQ(scaled.pageCount(page), 1);
}

TEST(GridPrinter, PrintsTheColumnsAViewShowsInItsOrder)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillList(grid, 3);
    QTableView view;
    view.setModel(&grid);
    view.horizontalHeader()->moveSection(5, 0);  // "бележка" first
    view.setColumnHidden(2, true);               // no "площ"
    GridPrinter printer(&view);
    printer.setHeader(QStringLiteral("Изглед"));
    const QString pdf = QString::fromStdString(dir.file("view.pdf"));
    printer.printToPdf(pdf);
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString text = pdfPages(pdf).value(0);
    EXPECT_FALSE(text.contains(QStringLiteral("площ")));
    EXPECT_FALSE(text.contains(QStringLiteral("1.25")));
    const qsizetype note = text.indexOf(QStringLiteral("бележка"));
    const qsizetype compartment = text.indexOf(QStringLiteral("отдел"));
    ASSERT_GE(note, 0);
    ASSERT_GE(compartment, 0);
    EXPECT_LT(note, compartment);
}

TEST(GridPrinter, ALongHeaderIsWrappedNotCut)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillList(grid, 2);
    GridPrinter printer(grid);
    QStringList words;
    for (int i = 0; i < 60; ++i)
        words << QStringLiteral("критерий%1").arg(i);
    printer.setHeader(words.join(QStringLiteral(" ,")));
    printer.setOrientation(QPageLayout::Portrait);
    const QString pdf = QString::fromStdString(dir.file("header.pdf"));
    printer.printToPdf(pdf);
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString text = pdfPages(pdf).value(0);
    for (const QString &word : words)
        EXPECT_TRUE(text.contains(word)) << word.toStdString();
    const qsizetype first = text.indexOf(words.first());
    const qsizetype last = text.indexOf(words.last());
    EXPECT_GT(text.mid(first, last - first).count(u'\n'), 1);  // over several lines
}

TEST(GridPrinter, PdfToAnUnwritablePlaceFails)
{
    dxtest::TempDir dir;
    DataGridModel grid;
    fillList(grid, 2);
    GridPrinter printer(grid);
    const QString path = QString::fromStdString(dir.file("none/list.pdf"));
    try {
        printer.printToPdf(path);
        FAIL() << "no error";
    } catch (const FileWriteError &e) {
        EXPECT_EQ(e.path(), path);
    }
}

TEST(GridPrinter, PreviewShowsThePagesInLandscape)
{
    DataGridModel grid;
    fillList(grid, 150);
    GridPrinter printer(grid);
    printer.setHeader(QStringLiteral("Преглед"));
    int shownPages = -1;
    int expectedPages = -2;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(w);
            if (!dialog)
                continue;
            auto *widget = dialog->findChild<QPrintPreviewWidget *>();
            if (widget) {
                widget->updatePreview();
                shownPages = widget->pageCount();
            }
            orientation = dialog->printer()->pageLayout().orientation();
            expectedPages = printer.pageCount(dialog->printer()->pageLayout());
            dialog->reject();
        }
    });
    printer.preview(nullptr);
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    EXPECT_GT(shownPages, 1);
    EXPECT_EQ(shownPages, expectedPages);
}
