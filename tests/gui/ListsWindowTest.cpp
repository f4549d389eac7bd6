// The Lists window driven through its menus and grid on the demo: the area lists, the
// compartment detail, the attribute choice, the tables menu, copy, the saved files and
// the chart, and the CLI's lists against the grid cell for cell.
#include "GuiFixtures.h"

#include "engine/dbf/DbfFile.h"
#include "lists/TFormSpisatzi.h"
#include "lists/TFormSpisatziQuery.h"
#include "lists/TFormSpisatziSubInfo.h"

#include <QAction>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <sstream>

namespace {

using namespace dx;

QAction *mainItem(dxtest::Windows &w, const QString &text)
{
    for (QAction *a : w.main->menuBar()->findChildren<QAction *>())
        if (a->text() == text && !a->menu()) return a;
    return nullptr;
}

QStringList gridLines(const QTableView *grid)
{
    const QAbstractItemModel *m = grid->model();
    QStringList out;
    QStringList titles;
    for (int c = 0; c < m->columnCount(); ++c) titles << m->headerData(c, Qt::Horizontal).toString();
    out << titles.join('\t');
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c) cells << m->index(r, c).data().toString();
        out << cells.join('\t');
    }
    return out;
}

QStringList cliLines(const std::string &dir, const std::string &args)
{
    const dxtest::CliRun run = dxtest::runCli("-C '" + dir + "' areas " + args);
    EXPECT_EQ(run.status, 0) << args;
    QStringList lines = QString::fromStdString(run.out).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

class ListsWindowTest : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo(400);
        lists = w->list->context.windows().get<TFormSpisatzi>();
        ASSERT_NE(lists, nullptr);
    }
    TFormSpisatzi *lists = nullptr;
};

TEST_F(ListsWindowTest, AreasByCompartmentAndTheDetailBesideIt)
{
    mainItem(*w, "Площи по отдели")->trigger();
    ASSERT_TRUE(lists->isVisible());
    EXPECT_EQ(lists->listMode(), 1);
    EXPECT_TRUE(lists->windowTitle().startsWith("Oтдели - "));
    EXPECT_EQ(lists->windowTitle(), QString("Oтдели - %1 броя").arg(lists->model()->rowCount()));
    EXPECT_TRUE(lists->statusPanel(1)->text().startsWith("Обща площ: "));
    EXPECT_EQ(lists->model()->headerData(1, Qt::Horizontal).toString(), "Площ (ха)");

    // A double click on the third compartment lists its sub-compartments beside.
    QTableView *grid = lists->grid();
    grid->setCurrentIndex(lists->model()->index(2, 0));
    const QString otd = lists->model()->index(2, 0).data().toString();
    const QString area = lists->model()->index(2, 1).data().toString();
    emit grid->doubleClicked(lists->model()->index(2, 0));
    auto *detail = w->list->context.windows().get<TFormSpisatziSubInfo>();
    ASSERT_TRUE(detail->isVisible());
    EXPECT_EQ(detail->windowTitle(), "Oтдел No." + otd);
    double sum = 0;
    for (int r = 0; r < detail->model()->rowCount(); ++r) sum += detail->model()->value(r, 2).toDouble();
    EXPECT_NEAR(sum, area.toDouble(), 1e-9);
    EXPECT_TRUE(detail->status()->text().endsWith(QString("брой подотдели: %1").arg(detail->model()->rowCount())));
    EXPECT_EQ(detail->frameGeometry().left(), lists->frameGeometry().left() + lists->frameGeometry().width());

    // "Изход" closes both.
    lists->command(TFormSpisatzi::Command::Exit)->trigger();
    EXPECT_FALSE(lists->isVisible());
    EXPECT_FALSE(detail->isVisible());
}

TEST_F(ListsWindowTest, SpeciesAndAttributeListsIgnoreDoubleClicksAndMatchTheCli)
{
    mainItem(*w, "Площи по дървесни видове")->trigger();
    ASSERT_TRUE(lists->isVisible());
    EXPECT_EQ(lists->listMode(), 2);
    EXPECT_EQ(gridLines(lists->grid()), cliLines(dir.path(), "species"));
    EXPECT_FALSE(w->list->find("TFormSitoRabotnoWait")->isVisible());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.file("$2tmp.dbf"))));
    emit lists->grid()->doubleClicked(lists->model()->index(0, 0));
    EXPECT_FALSE(w->list->find("TFormSpisatziSubInfo")->isVisible());

    // "Площи по ...": pick the attribute in the combo box and press "Ок".
    mainItem(*w, "Площи по ...")->trigger();
    auto *query = w->list->context.windows().get<TFormSpisatziQuery>();
    ASSERT_TRUE(query->isVisible());
    EXPECT_EQ(query->choice()->count(), 21);
    EXPECT_EQ(query->choice()->currentIndex(), 0);
    query->choice()->setCurrentIndex(6);
    QTest::mouseClick(query->okButton(), Qt::LeftButton);
    EXPECT_FALSE(query->isVisible());
    EXPECT_EQ(lists->windowTitle(), "Площи по Изложение");
    EXPECT_EQ(lists->listMode(), 0);
    EXPECT_EQ(lists->statusPanel(1)->text(), QString("записи: %1").arg(lists->model()->rowCount()));
    EXPECT_EQ(gridLines(lists->grid()), cliLines(dir.path(), "attribute 7"));

    // "Землища" with the land-area table open: the names of the land areas.
    mainItem(*w, "Площи по ...")->trigger();
    query->choice()->setCurrentIndex(19);
    QTest::mouseClick(query->okButton(), Qt::LeftButton);
    EXPECT_EQ(lists->windowTitle(), "Площи по Землища");
    EXPECT_EQ(lists->model()->headerData(0, Qt::Horizontal).toString(), "Землище");
    EXPECT_EQ(lists->model()->index(0, 0).data().toString().toInt(), 0) << "a land-area number instead of its name";
    EXPECT_EQ(gridLines(lists->grid()), cliLines(dir.path(), "attribute 20"));

    mainItem(*w, "Площи по отдели")->trigger();
    EXPECT_EQ(gridLines(lists->grid()), cliLines(dir.path(), "compartments"));
}

TEST_F(ListsWindowTest, TablesMenuShowsHandedContentAndAProjectSwitchEmptiesIt)
{
    ListContent table;
    table.heading = "Таблица 1\r\n";
    table.columns = {GridColumn("Вид"), GridColumn("площ|ха", "0.0"), GridColumn("площ|%", "0.0")};
    table.rows = {{"Бк", 12.0, 60.0}, {"Смр", 8.25, QVariant()}};
    int loads = 0;
    lists->addTableMenuEntry("Таблица 1", [&] { ++loads; return table; });
    lists->addTableMenuEntry("Таблица 1", [&] { ++loads; return table; });
    lists->addTableMenuEntry("Таблица 2", []() -> ListContent { throw std::runtime_error("Tables/t2.dbf: повреден файл"); });
    ASSERT_EQ(lists->tableMenu()->actions().size(), 2);
    lists->tableMenu()->actions()[0]->trigger();
    EXPECT_EQ(loads, 1);
    ASSERT_TRUE(lists->isVisible());
    EXPECT_EQ(lists->listMode(), 0);
    EXPECT_EQ(gridLines(lists->grid()), QStringList({"Вид\tплощ|ха\tплощ|%", "Бк\t12.0\t60.0", "Смр\t8.3\t"}));
    EXPECT_FALSE(lists->command(TFormSpisatzi::Command::ShowChart)->isEnabled());

    // Copy: the table's heading, the titles and the rows, CR between the rows.
    lists->grid()->setCurrentIndex(lists->model()->index(1, 0));
    lists->command(TFormSpisatzi::Command::Copy)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "Таблица 1\r\n\rВид\tплощ|ха\tплощ|%\rБк\t12.0\t60.0\rСмр\t8.3\t\r");
    EXPECT_EQ(lists->grid()->currentIndex().row(), 1);

    // A load that fails becomes a message and leaves the grid as it was.
    w->messages.clear();
    lists->tableMenu()->actions()[1]->trigger();
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].contains("Tables/t2.dbf: повреден файл"));
    EXPECT_EQ(lists->model()->rowCount(), 2);

    // The project switch empties the menu.
    emit w->main->builtTablesCleared();
    EXPECT_TRUE(lists->tableMenu()->actions().isEmpty());
}

TEST_F(ListsWindowTest, SavedFilesHoldTheGrid)
{
    mainItem(*w, "Площи по дървесни видове")->trigger();
    const QString first = lists->model()->index(0, 0).data().toString();
    const QString firstArea = lists->model()->index(0, 1).data().toString();
    const int rows = lists->model()->rowCount();

    // "Запиши като..": the save dialog with the text filter and a two-letter name.
    QTimer::singleShot(0, [&] {
        auto *dialog = lists->findChild<QFileDialog *>("SaveDialog1");
        ASSERT_NE(dialog, nullptr);
        dialog->selectNameFilter("Текст формат (Табулатор разделител) (*.txt)");
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(QString::fromStdString(dir.file("ab")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    lists->command(TFormSpisatzi::Command::Save)->trigger();
    QFile text(QString::fromStdString(dir.file("ab.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QByteArray bytes = text.readAll();
    EXPECT_TRUE(bytes.startsWith("\xc4\xfa\xf0\xe2\xe5\xf1\xe5\xed \xe2\xe8\xe4\t")); // "Дървесен вид" in cp1251
    EXPECT_EQ(bytes.count("\r\n"), rows + 1);

    ASSERT_TRUE(lists->saveAs(QString::fromStdString(dir.file("species")), 3));
    EXPECT_EQ(lists->statusPanel(2)->text(), QString::number(rows));
    EXPECT_EQ(lists->statusPanel(4)->text(), "Файлът " + QString::fromStdString(dir.file("species")) + ".dbf e запазен успешно.");
    const TableFilePtr t = dbf::read(dir.file("species.dbf"));
    ASSERT_EQ(int(t->rowCount()), rows);
    EXPECT_EQ(t->fields()[0].name, "TXT");
    EXPECT_EQ(t->fields()[1].name, "AREA");
    EXPECT_EQ(QString::fromStdString(t->value(0, 0).toText()), first);
    EXPECT_EQ(QString::fromStdString(t->value(0, 1).toText()), firstArea);

    ASSERT_TRUE(lists->saveAs(QString::fromStdString(dir.file("species")), 0));
    ASSERT_TRUE(lists->saveAs(QString::fromStdString(dir.file("species")), 1));
    const dxtest::CliRun office = dxtest::runShell(
        std::string(DX_TESTS_DIR "/scripts/check_list_files_with_libreoffice.sh '") + dir.file("species.xlsx") + "' '" +
        dir.file("species.rtf") + "' -- 'Дървесен вид' '" + first.toStdString() + "' '" + firstArea.toStdString() + "'");
    if (office.status != 77 * 256 && office.status != 77) {
        EXPECT_EQ(office.status, 0) << office.out;
    }

    // A folder where the file should be: a message, nothing else.
    w->messages.clear();
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(dir.file("taken.txt"))));
    EXPECT_FALSE(lists->saveAs(QString::fromStdString(dir.file("taken.txt")), 2));
    EXPECT_EQ(w->messages.size(), 1);
}

TEST_F(ListsWindowTest, ChartViewOfTheAreaLists)
{
    mainItem(*w, "Площи по дървесни видове")->trigger();
    QAction *show = lists->command(TFormSpisatzi::Command::ShowChart);
    ASSERT_TRUE(show->isEnabled());
    show->trigger();
    EXPECT_TRUE(lists->chartShown());
    ASSERT_NE(lists->chartView()->chart(), nullptr);
    EXPECT_EQ(lists->chartView()->chart()->series().size(), 1);
    const AreaChartData data = lists->chartData();
    EXPECT_EQ(data.labels.first(), lists->model()->index(0, 0).data().toString());
    ASSERT_TRUE(lists->saveChart(QString::fromStdString(dir.file("c.png"))));
    ASSERT_TRUE(lists->saveChart(QString::fromStdString(dir.file("c.svg"))));
    QImage png(QString::fromStdString(dir.file("c.png")));
    EXPECT_FALSE(png.isNull());
    QFile svg(QString::fromStdString(dir.file("c.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray svgText = svg.readAll();
    EXPECT_TRUE(svgText.contains("<svg"));
    lists->command(TFormSpisatzi::Command::CopyChart)->trigger();
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());

    // A table shown from the menu has no chart: the view returns to the grid.
    ListContent table;
    table.columns = {GridColumn("a"), GridColumn("b")};
    lists->showList(table);
    EXPECT_FALSE(lists->chartShown());
    EXPECT_FALSE(show->isEnabled());
}

} // namespace
