// The forest fund reports driven from the main menu through the ownership choice window:
// the choice, the build, the report windows' grids against dendrix-cli cell for cell,
// edits, the copies, the printed form and the tables' mode.
#include "GuiFixtures.h"

#include "reports/TFormReportWindows.h"
#include "widgets/GuiGridPrinter.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace dx;

namespace {

class ForestFundWindows : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo(120);
        sob = w->list->registry.get<TFormSob>();
        gf1 = w->list->registry.get<TFormGF1>();
        gf2 = w->list->registry.get<TFormGF2>();
        ASSERT_TRUE(sob && gf1 && gf2);
    }
    // The main menu's item, answered notice and all.
    void openFromMenu(const char *item)
    {
        for (QAction *a : w->main->findChildren<QAction *>())
            if (a->text() == QString::fromUtf8(item)) a->trigger();
        ASSERT_EQ(w->messages.size(), 1);
        w->messages.clear();
        ASSERT_TRUE(sob->isVisible());
    }
    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    // What dendrix-cli prints for the arguments, as lines.
    QStringList cli(const std::string &args)
    {
        const dxtest::CliRun run = dxtest::runCli("-C '" + dir.path() + "' " + args);
        EXPECT_EQ(run.status, 0) << args;
        QStringList lines = QString::fromStdString(run.out).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    // The grid's titles line and rows as dendrix-cli writes them.
    static QStringList gridLines(QTableView *grid)
    {
        const QAbstractItemModel &m = *grid->model();
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
    // Types `text` into a cell through the grid's editor and commits it with Enter.
    static void editCell(QTableView *grid, int row, int column, const QString &text)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
        QTest::keyClick(grid, Qt::Key_F2);
        auto *editor = grid->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        editor->insert(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits the edit from the event loop.
        QCoreApplication::processEvents();
    }

    TFormSob *sob = nullptr;
    TFormGF1 *gf1 = nullptr;
    TFormGF2 *gf2 = nullptr;
};

} // namespace

TEST_F(ForestFundWindows, ChoiceWindowFillsItsKindsAndBuildsReport1)
{
    openFromMenu("ОГФ 1");
    EXPECT_EQ(sob->windowTitle(), "ОГФ 1 - Избор на собственост");
    EXPECT_EQ(sob->height(), TFormSob::kPlainHeight);
    EXPECT_TRUE(sob->allKinds()->isChecked());
    EXPECT_TRUE(sob->purpose(Purpose::General)->isChecked());
    // The distinct ownership kinds, sorted, the first selected; enabled only with "Вид собственост".
    QStringList kinds;
    for (int i = 0; i < sob->kinds()->count(); ++i) kinds << sob->kinds()->itemText(i);
    ASSERT_GE(kinds.size(), 2);
    QStringList sorted = kinds;
    sorted.sort();
    EXPECT_EQ(kinds, sorted);
    EXPECT_EQ(kinds.removeDuplicates(), 0);
    EXPECT_EQ(sob->kinds()->currentIndex(), 0);
    EXPECT_FALSE(sob->kinds()->isEnabled());
    click(sob->oneKind());
    EXPECT_TRUE(sob->kinds()->isEnabled());
    click(sob->allKinds());
    EXPECT_FALSE(sob->kinds()->isEnabled());
    click(sob->oneKind());
    sob->kinds()->setCurrentIndex(1);
    const QString kind = sob->kinds()->currentText();
    click(sob->purpose(Purpose::Special));
    click(sob->okButton());

    EXPECT_FALSE(sob->isVisible());
    EXPECT_EQ(sob->height(), TFormSob::kPlainHeight);
    EXPECT_TRUE(sob->okButton()->isEnabled());
    ASSERT_TRUE(gf1->isVisible());
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join('\n').toStdString();
    const OwnershipFilter &f = w->main->state().ownership.filter;
    EXPECT_EQ(f.recordFilter, " and NZN2='" + kind + "' and NZN1<>'дървопроизв.и средообр'");
    EXPECT_EQ(gf1->statusPanel(1)->text(), " собственост: " + kind + ", предназначение: специално");
    EXPECT_EQ(gf1->statusPanel(1)->width(), 6 * gf1->statusPanel(1)->text().size());
    EXPECT_EQ(gf1->statusPanel(0)->text(),
              " " + w->main->state().title + " " + w->main->state().year + "г.");
    EXPECT_EQ(gf1->grid()->currentIndex().row(), 0);

    // The window's grid and dendrix-cli agree, cell for cell.
    const QStringList shown = gridLines(gf1->grid());
    EXPECT_EQ(shown, cli("ogf1 --ownership '" + kind.toStdString() + "' --purpose special"));
}

TEST_F(ForestFundWindows, Report1AgreesWithTheCommandLineForAllKinds)
{
    openFromMenu("ОГФ 1");
    // The window grows to show the first progress group while the report is built.
    QList<int> heights;
    QObject::connect(sob->gauge(0), &QProgressBar::valueChanged, sob, [&] { heights << sob->height(); });
    click(sob->okButton());
    ASSERT_FALSE(heights.isEmpty());
    EXPECT_EQ(heights.first(), TFormSob::kOneGroupHeight);
    EXPECT_EQ(sob->height(), TFormSob::kPlainHeight);
    ASSERT_TRUE(gf1->isVisible());
    const QStringList shown = gridLines(gf1->grid());
    EXPECT_EQ(shown, cli("ogf1"));
    EXPECT_GT(shown.size(), 21);
    // A total row of the grid is bold and shows 0.0 where its sum is 0.
    const int total = int(shown.indexOf(QRegularExpression("^всичко недървопр. площ\t.*"))) - 1;
    ASSERT_GE(total, 0);
    EXPECT_TRUE(gf1->model()->index(total, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(gf1->model()->index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(gf1->model()->index(0, 6).data(Qt::FontRole).value<QFont>().bold());
}

TEST_F(ForestFundWindows, EditedCellsAreCopiedWithTheHeading)
{
    openFromMenu("ОГФ 1");
    click(sob->okButton());
    ASSERT_TRUE(gf1->isVisible());
    const QString totalBefore = gf1->model()->index(5, 1).data().toString();
    editCell(gf1->grid(), 0, 1, "123.4");
    EXPECT_EQ(gf1->model()->index(0, 1).data().toString(), "123.4");
    EXPECT_EQ(gf1->model()->index(5, 1).data().toString(), totalBefore);
    gf1->command(TFormGF1::Command::Copy)->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    const AppState &s = w->main->state();
    const QString heading = "ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите\r\r" + s.title +
                            " " + s.year + "г.\rсобственост: всички видове, предназначение: стопанско+специално\r\r"
                            "вид на земите\tиглолистни\tширок. високост.\tреконструк.\tизд. за превр.\tнискостъблени\t"
                            "всичко\r\tхектари\r\r";
    ASSERT_TRUE(text.startsWith(heading)) << text.left(400).toStdString();
    const QStringList lines = text.mid(heading.size()).split('\r');
    EXPECT_TRUE(lines[0].startsWith("естествен призход 0.4-1.0\t123.4\t"));
    EXPECT_EQ(lines.size(), gf1->model()->rowCount() + 1); // each row ended by a CR

    // Pasted into LibreOffice Calc (its text import with tab separators), every row
    // lands in cells of its own: read back as ";"-separated lines.
    if (QStandardPaths::findExecutable("soffice").isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    const QString pasted = QString::fromStdString(dir.file("ogf1.txt"));
    {
        QFile f(pasted);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    QProcess calc;
    calc.setWorkingDirectory(QString::fromStdString(dir.path()));
    calc.start("soffice", {"--headless", "--infilter=Text - txt - csv (StarCalc):9,34,76",
                           "--convert-to", "csv:Text - txt - csv (StarCalc):59,34,76", "--outdir",
                           QString::fromStdString(dir.path()), pasted});
    ASSERT_TRUE(calc.waitForFinished(300000));
    QFile csv(QString::fromStdString(dir.file("ogf1.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << calc.readAllStandardError().toStdString();
    const QStringList sheet = QString::fromUtf8(csv.readAll()).split('\n');
    auto rowStarting = [&](const QString &start) {
        for (const QString &l : sheet)
            if (l.startsWith(start)) return l;
        return QString();
    };
    EXPECT_TRUE(rowStarting("вид на земите;").startsWith("вид на земите;иглолистни;широк. високост.;"));
    const QStringList first = rowStarting("естествен призход 0.4-1.0;").split(';');
    ASSERT_EQ(first.size(), 7) << first.join('|').toStdString();
    EXPECT_EQ(first[1], "123.4");
    // Calc takes the cells as numbers (it shows 106.0 as 106); empty cells stay empty.
    for (int c = 2; c < 7; ++c) {
        const QString shown = gf1->model()->index(0, c).data().toString();
        if (shown.isEmpty()) {
            EXPECT_TRUE(first[c].isEmpty()) << c;
            continue;
        }
        bool isNumber = false;
        EXPECT_DOUBLE_EQ(first[c].toDouble(&isNumber), shown.toDouble()) << c;
        EXPECT_TRUE(isNumber) << first[c].toStdString();
    }
}

TEST_F(ForestFundWindows, PrintedFormPreviewsAtFullSizePrintsAndWritesAPdf)
{
    openFromMenu("ОГФ 1");
    click(sob->purpose(Purpose::Economic));
    click(sob->okButton());
    ASSERT_TRUE(gf1->isVisible());
    auto *form = w->list->registry.get<TFormGF1Print>();
    double zoom = 0;
    int previewPages = 0;
    form->setPreviewHook([&](GridPrinter &p, double z) {
        zoom = z;
        previewPages = p.pageCount(p.options().pageLayout);
        EXPECT_EQ(p.options().pageLayout.orientation(), QPageLayout::Portrait);
        EXPECT_EQ(p.options().pageLayout.pageSize().id(), QPageSize::A4);
    });
    bool printed = false;
    form->setPrintHook([&](GridPrinter &) { printed = true; });
    editCell(gf1->grid(), 0, 0, "правено на ръка");
    gf1->command(TFormGF1::Command::Preview)->trigger();
    EXPECT_EQ(zoom, 1.0);
    EXPECT_EQ(previewPages, 1);
    gf1->command(TFormGF1::Command::Print)->trigger();
    EXPECT_TRUE(printed);

    const QString pdf = QString::fromStdString(dir.file("ogf1.pdf"));
    form->printToPdf(pdf);
    ASSERT_TRUE(QFile::exists(pdf));
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains("ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите"));
    EXPECT_TRUE(text.contains("собственост: всички видове, предназначение: стопанско\n"));
    // The report's name is centred over the left-aligned project and ownership lines, and
    // set in a bold face.
    const QStringList lines = text.split('\n');
    auto indentOf = [&](const QString &start) {
        for (const QString &l : lines)
            if (l.trimmed().startsWith(start)) return int(l.size() - QString(l).remove(QRegularExpression("^ +")).size());
        return -1;
    };
    const int titleIndent = indentOf("ОГФ 1 - Отчет"), ownershipIndent = indentOf("собственост:");
    ASSERT_GE(titleIndent, 0);
    ASSERT_GE(ownershipIndent, 0);
    EXPECT_GT(titleIndent, ownershipIndent + 5);
    if (!QStandardPaths::findExecutable("pdffonts").isEmpty()) {
        QProcess fonts;
        fonts.start("pdffonts", {pdf});
        ASSERT_TRUE(fonts.waitForFinished(20000));
        EXPECT_TRUE(QString::fromUtf8(fonts.readAllStandardOutput()).contains("Bold"));
    }
    EXPECT_TRUE(text.contains("правено на ръка"));
    for (const char *title : {"вид на земите", "хектари", "иглолистни", "шир.висок", "реконстр.", "изд. за пр.",
                              "нискостъб.", "в тч дървопр.площ"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(title))) << title;
}

TEST_F(ForestFundWindows, Report2BuildsBothTablesThatAgreeWithTheCommandLine)
{
    openFromMenu("ОГФ 2");
    EXPECT_EQ(sob->windowTitle(), "ОГФ 2 - Избор на собственост");
    QList<int> heights;
    QObject::connect(sob->gauge(0), &QProgressBar::valueChanged, sob, [&] { heights << sob->height(); });
    click(sob->okButton());
    ASSERT_FALSE(heights.isEmpty());
    EXPECT_EQ(heights.first(), TFormSob::kTwoGroupsHeight);
    // The title row has the four levels of the class titles.
    const int line = gf2->upperGrid()->horizontalHeader()->fontMetrics().height() + 6;
    EXPECT_EQ(gf2->upperGrid()->horizontalHeader()->sizeHint().height(), 4 * line);
    ASSERT_TRUE(gf2->isVisible());
    EXPECT_EQ(gf2->sizeHint(), QSize(800, 600));
    EXPECT_FALSE(sob->isVisible());
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join('\n').toStdString();
    // After the lower table the first group's caption reads "Ok".
    EXPECT_EQ(sob->waitGroup(0)->title(), "Ok");
    EXPECT_EQ(sob->gauge(1)->value(), sob->gauge(1)->maximum());

    const QStringList upper = gridLines(gf2->upperGrid()), lower = gridLines(gf2->lowerGrid());
    EXPECT_EQ(upper + QStringList{QString()} + lower, cli("ogf2"));
    EXPECT_EQ(upper.size(), 1 + 38);
    EXPECT_EQ(lower.first().split('\t').size(), 2 + 13);

    // Resizing gives the upper grid half the height less 20 pixels.
    gf2->resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(gf2->upperGrid()->height(), 280);

    // The two-grid copy: upper heading, upper rows, a CR, lower heading, lower rows.
    editCell(gf2->lowerGrid(), 1, 1, "9.5");
    gf2->command(TFormGF2::Command::Copy)->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    const QString upperHeading = gf2UpperHeading(w->main->state().ownership.filter);
    ASSERT_TRUE(text.startsWith(upperHeading));
    const qsizetype lowerAt = text.indexOf("\r" + gf2LowerHeading());
    ASSERT_GT(lowerAt, 0);
    const QStringList upperRows = text.mid(upperHeading.size(), lowerAt - upperHeading.size()).split('\r');
    EXPECT_EQ(upperRows.size(), 38 + 1);
    EXPECT_EQ(upperRows[0], upper[1]);
    const QStringList lowerRows = text.mid(lowerAt + 1 + gf2LowerHeading().size()).split('\r');
    EXPECT_TRUE(lowerRows[1].startsWith(lower[2].section('\t', 0, 0) + "\t9.5\t"));
}

TEST_F(ForestFundWindows, TablesModeOnlyBuildsTheTexts)
{
    w->main->state().ownership.mode = OwnershipState::Tables;
    sob->show();
    click(sob->oneKind());
    const QString kind = sob->kinds()->currentText();
    click(sob->purpose(Purpose::Economic));
    click(sob->okButton());
    EXPECT_FALSE(sob->isVisible());
    EXPECT_FALSE(gf1->isVisible());
    EXPECT_FALSE(gf2->isVisible());
    const OwnershipState &o = w->main->state().ownership;
    EXPECT_EQ(o.filter.sqlFilter, " and NZN2=\"" + kind + "\" and NZN1=\"дървопроизв.и средообр\"");
    EXPECT_EQ(o.filter.description, " собственост: " + kind + ", предназначение: стопанско");
    // The choice persists to the next showing.
    sob->show();
    EXPECT_TRUE(sob->oneKind()->isChecked());
    EXPECT_TRUE(sob->purpose(Purpose::Economic)->isChecked());
    sob->exitButton()->click();
    EXPECT_FALSE(sob->isVisible());

    // Opened modally, as the table selection does: "Ok" accepts.
    QTimer::singleShot(0, sob, [this] {
        click(sob->allKinds());
        click(sob->purpose(Purpose::Special));
        click(sob->okButton());
    });
    EXPECT_EQ(sob->exec(), QDialog::Accepted);
    EXPECT_EQ(o.filter.sqlFilter, " and NZN1<>\"дървопроизв.и средообр\"");
    EXPECT_FALSE(gf1->isVisible());
}
