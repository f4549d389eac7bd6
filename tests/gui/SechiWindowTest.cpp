// The window of the lists of cuttings and measures driven from the main menu on the demo:
// the attribute and value choice, both lists against dendrix-cli cell for cell, the
// copy on the clipboard, the saved spreadsheet and RTF files, the print preview's pages,
// and the switch between the two lists.
#include "GuiFixtures.h"

#include "lists/TFormSpisatziSechi.h"
#include "widgets/GuiGridPrinter.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace dx;

namespace {

class SechiWindow : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo(300);
        win = w->list->registry.get<TFormSpisatziSechi>();
        ASSERT_TRUE(win);
    }
    void menu(const char *item)
    {
        for (QAction *a : w->main->findChildren<QAction *>())
            if (a->text() == QString::fromUtf8(item)) a->trigger();
    }
    void windowMenu(const char *item)
    {
        for (QAction *a : win->findChildren<QAction *>())
            if (a->text() == QString::fromUtf8(item)) a->trigger();
    }
    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Picks a combo entry by the keyboard, as a user would.
    static void choose(QComboBox *combo, int index)
    {
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i) QTest::keyClick(combo, Qt::Key_Down);
        ASSERT_EQ(combo->currentIndex(), index);
    }
    QStringList cli(const std::string &args)
    {
        const dxtest::CliRun run = dxtest::runCli("-C '" + dir.path() + "' " + args);
        EXPECT_EQ(run.status, 0) << args;
        QStringList lines = QString::fromStdString(run.out).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    QStringList gridLines() const
    {
        const QAbstractItemModel &m = *win->grid()->model();
        QStringList out, titles;
        for (int c = 0; c < m.columnCount(); ++c) titles << m.headerData(c, Qt::Horizontal).toString();
        out << titles.join('\t');
        for (int r = 0; r < m.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m.columnCount(); ++c) cells << m.index(r, c).data().toString();
            out << cells.join('\t');
        }
        return out;
    }
    static QByteArray zipPart(const QString &zip, const QString &part)
    {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, part});
        unzip.waitForFinished(30000);
        return unzip.readAllStandardOutput();
    }
    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TFormSpisatziSechi *win = nullptr;
};

TEST_F(SechiWindow, ChooseListCopySaveSwitchAndPreview)
{
    menu("Списък на сечите");
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle(), "Списък на сечите");
    EXPECT_GE(win->minimumWidth(), 505);
    QComboBox *attribute = win->attributeCombo(), *value = win->valueCombo();
    ASSERT_EQ(attribute->count(), 22);
    EXPECT_EQ(attribute->itemText(0), "-- всички --");
    EXPECT_EQ(attribute->itemText(19), "Надморска височина");
    EXPECT_FALSE(value->isEnabled());
    EXPECT_FALSE(win->copyButton()->isEnabled());

    // The whole list, as dendrix-cli prints it.
    click(win->okButton());
    const QStringList all = cli("cuttings-list");
    ASSERT_GT(all.size(), 2);
    EXPECT_EQ(gridLines(), all);
    EXPECT_TRUE(win->copyButton()->isEnabled());
    const QString allStatus = win->statusText();
    EXPECT_TRUE(allStatus.startsWith(QString::number(all.size() - 1) + " подотдел")) << allStatus.toStdString();

    // "Стопански клас" and its second value.
    choose(attribute, 3);
    ASSERT_TRUE(value->isEnabled());
    ASSERT_GE(value->count(), 2);
    EXPECT_EQ(value->currentIndex(), 0);
    choose(value, 1);
    const QString chosen = value->currentText();
    click(win->okButton());
    const QStringList narrowed = cli("cuttings-list --attribute 3 --value '" + chosen.toStdString() + "'");
    EXPECT_EQ(gridLines(), narrowed);
    EXPECT_LT(narrowed.size(), all.size());
    EXPECT_EQ(win->listHeading(), "Списък на сечите\r\n" + w->main->state().title + " " + w->main->state().year +
                                      "\r\n\r\nСтопански клас: " + chosen + "\r\n\r\n");

    // Copy from the third row: the heading, the titles and the rows, each ended by a CR;
    // the list then stands on its first row.
    win->grid()->selectRow(2);
    click(win->copyButton());
    const QString copied = QGuiApplication::clipboard()->text();
    const QString heading = "Списък на сечите - " + w->main->state().title + " " + w->main->state().year +
                            "\r\n\r\nфилтър: Стопански клас = " + chosen + "\r\n" + win->statusText();
    EXPECT_EQ(copied, heading + "\r" + narrowed.join('\r') + "\r");
    EXPECT_EQ(win->grid()->currentIndex().row(), 0);

    // Save as a spreadsheet (the extension added) and as RTF.
    const QString xlsx = QString::fromStdString(dir.file("cuttings")) , rtf = QString::fromStdString(dir.file("cuttings.rtf"));
    win->setFileHook([&] { return std::optional<TFormSpisatziSechi::FileChoice>({xlsx, 0}); });
    windowMenu("Запиши резултата като...");
    const QByteArray strings = zipPart(xlsx + ".xlsx", "xl/sharedStrings.xml");
    EXPECT_TRUE(strings.contains("подотдел")) << strings.left(300).toStdString();
    EXPECT_TRUE(strings.contains(narrowed[1].section('\t', 0, 0).toUtf8()));
    win->setFileHook([&] { return std::optional<TFormSpisatziSechi::FileChoice>({rtf, 1}); });
    windowMenu("Запиши резултата като...");
    const QByteArray rtfText = fileBytes(rtf);
    EXPECT_TRUE(rtfText.startsWith("{\\rtf1")) << rtfText.left(40).toStdString();
    EXPECT_EQ(rtfText.count("\\row"), narrowed.size());  // the title row and every list row
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join('\n').toStdString();

    // The print preview gets the list heading and the contact line.
    int pages = 0;
    QString printedHeader, printedFooter;
    win->setPrintHook([&](GridPrinter &p) {
        printedHeader = p.options().header;
        printedFooter = p.options().footerLeft;
        pages = p.pageCount(p.options().pageLayout);
    });
    windowMenu("Изглед преди печат");
    EXPECT_EQ(printedHeader, win->listHeading());
    EXPECT_EQ(printedFooter, w->main->state().contactLine);
    EXPECT_GE(pages, 1);

    // The list of measures: the choice starts again, the cuttings go.
    menu("Списък на мероприятията");
    EXPECT_EQ(win->windowTitle(), "Списък на мероприятията");
    EXPECT_EQ(attribute->currentIndex(), 0);
    EXPECT_FALSE(value->isEnabled());
    EXPECT_EQ(win->grid()->model()->rowCount(), 0);
    EXPECT_FALSE(win->copyButton()->isEnabled());
    click(win->okButton());
    const QStringList measures = cli("measures-list");
    ASSERT_GT(measures.size(), 1);
    EXPECT_EQ(gridLines(), measures);
    const QAbstractItemModel &m = *win->grid()->model();
    EXPECT_TRUE(m.index(0, 4).data(Qt::BackgroundRole).isValid());   // species 1 shaded
    EXPECT_FALSE(m.index(0, 8).data(Qt::BackgroundRole).isValid());  // species 2 not
    EXPECT_TRUE(m.headerData(8, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m.headerData(5, Qt::Horizontal, Qt::FontRole).isValid());
    EXPECT_GE(win->grid()->columnWidth(4), 72);  // "д.вид 1  ": nine characters

    // Narrowed to one height, then back to every sub-compartment.
    choose(attribute, 19);
    ASSERT_GT(value->count(), 0);
    const QString height = value->itemText(0);
    click(win->okButton());
    EXPECT_EQ(gridLines(), cli("measures-list --attribute 19 --value " + height.toStdString()));
    // Most heights have no afforestation: "Копирай" goes with an empty list and comes back.
    bool seenEmpty = false, seenRows = false;
    for (int i = 0; i < std::min(value->count(), 12); ++i) {
        choose(value, i);
        click(win->okButton());
        const int rows = win->grid()->model()->rowCount();
        (rows > 0 ? seenRows : seenEmpty) = true;
        EXPECT_EQ(win->copyButton()->isEnabled(), rows > 0) << i;
        EXPECT_TRUE(win->statusText().startsWith(QString::number(rows) + " подотдел")) << i;
    }
    EXPECT_TRUE(seenEmpty && seenRows);
    choose(attribute, 0);
    EXPECT_FALSE(value->isEnabled());
    EXPECT_EQ(value->count(), 0);
    click(win->okButton());
    EXPECT_EQ(gridLines(), measures);
    windowMenu("Копирай");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
        "Списък на мероприятията - " + w->main->state().title + " " + w->main->state().year +
        "\r\n\r\nобщо за лесничейството\r\n" + win->statusText() + "\r" + measures[0] + "\r"));

    // Closing empties the grid.
    win->close();
    EXPECT_EQ(win->grid()->model()->rowCount(), 0);
}

} // namespace
