// The project selection, project information and database editor windows, driven
// through their controls on the demo installation.
#include "GuiFixtures.h"

#include "core/ProjectCatalogue.h"
#include "maintenance/Archive.h"
#include "maintenance/TFormEditDB.h"
#include "maintenance/TFormZemName.h"
#include "shell/TFormEditName.h"
#include "shell/TFormSelPrj.h"
#include "shell/TFormStatistics.h"
#include "widgets/TFormSitoRabotnoWait.h"

#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"

#include <QAction>
#include <QMenuBar>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QPlainTextEdit>
#include <QTest>

using namespace dx;

namespace {

class Maintenance : public dxtest::DemoWindowsTest {
protected:
    template <class W> W *window() { return w->list->registry.get<W>(); }
    QStringList asked;
    void answer(bool yes)
    {
        w->list->messages.setAskHook([this, yes](const UserMessage &m) {
            asked << m.caption + "|" + m.text;
            return yes;
        });
    }
    // The editor opened as the main window's menu opens it.
    TFormEditDB *openEditor()
    {
        auto *ed = window<TFormEditDB>();
        ed->setWindowTitle(QStringLiteral("Редакция база дании - %1 %2 [%3]")
                               .arg(w->main->state().title, w->main->state().year, w->main->state().projectTablePath));
        ed->show();
        return ed;
    }
};

// Typed key by key, Cyrillic included (QTest::keyClicks knows only Latin-1 keys).
void type(QWidget *w, const QString &text)
{
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_A, QString(c), Qt::NoModifier);
}

// The current cell's editor, opened as F2 opens it.
QLineEdit *openCell(QTableView *grid)
{
    grid->edit(grid->currentIndex());
    const auto edits = grid->viewport()->findChildren<QLineEdit *>();
    for (QLineEdit *e : edits)
        if (e->isVisible()) return e;
    return edits.isEmpty() ? nullptr : edits.last();
}

} // namespace

TEST_F(Maintenance, SelectionListSortsSearchesAndSwitchesWithoutRememberingTheProject)
{
    loadDemo();
    auto *sel = window<TFormSelPrj>();
    sel->show();
    // 14 projects: the tall window with the search box.
    EXPECT_TRUE(sel->searchShown());
    EXPECT_EQ(sel->height(), 400);
    EXPECT_EQ(sel->searchToggle()->text(), "Търсене <<");
    EXPECT_EQ(sel->countLabel()->text(), "Общ брой проекти: 14");
    EXPECT_EQ(sel->tintedColumn(), 2);
    QTest::mouseClick(sel->searchToggle(), Qt::LeftButton);
    EXPECT_FALSE(sel->searchShown());
    EXPECT_EQ(sel->height(), 300);
    QTest::mouseClick(sel->searchToggle(), Qt::LeftButton);

    // Title clicks: "РУГ" descending first, then "вид" (sharing the mark) ascending.
    sel->SortColumn(0);
    const auto &cat = w->main->state().catalogue;
    EXPECT_EQ(cat.first().direkcia, "РДГ София");
    EXPECT_EQ(sel->tintedColumn(), 0);
    EXPECT_EQ(sel->currentRow(), 0);
    sel->SortColumn(1);
    EXPECT_EQ(cat.first().vid, "ДГС");
    sel->SortColumn(2); // the name's own mark: descending
    EXPECT_EQ(cat.first().bgname, "Якоруда");
    sel->SortColumn(2);
    EXPECT_EQ(cat.first().bgname, "Банско");

    // Typing a name's first letters in any case: the next match, wrapping.
    type(sel->searchText(0), "бе");
    QTest::keyClick(sel->searchText(0), Qt::Key_Return);
    EXPECT_EQ(cat[sel->currentRow()].bgname, "Беглика");
    QTest::keyClick(sel->searchText(0), Qt::Key_Return);
    EXPECT_EQ(cat[sel->currentRow()].bgname, "Белово");
    QTest::keyClick(sel->searchText(0), Qt::Key_Return);
    EXPECT_EQ(cat[sel->currentRow()].bgname, "Беглика");
    // "?" is refused in the text; the year box is disabled until its choice is made.
    type(sel->searchText(0), "?");
    EXPECT_EQ(sel->searchText(0)->text(), "бе");
    EXPECT_FALSE(sel->searchText(1)->isEnabled());
    QTest::mouseClick(sel->searchChoice(1), Qt::LeftButton);
    EXPECT_TRUE(sel->searchText(1)->isEnabled());
    EXPECT_FALSE(sel->searchText(0)->isEnabled());
    type(sel->searchText(1), "1999");
    QTest::mouseClick(sel->searchButton(), Qt::LeftButton);
    EXPECT_EQ(w->messages.last(), "Търсене|Няма намерено съвпадение.");

    // "?" in the list: the project's information.
    QTest::mouseClick(sel->searchChoice(0), Qt::LeftButton);
    QTest::keyClick(sel->searchText(0), Qt::Key_Return); // Белово
    QTest::keyClick(sel->grid(), '?');
    ASSERT_TRUE(w->messages.last().startsWith("Project Info|ДГС Белово 2016г.\rРУГ РДГ Пазарджик\rDatabase: "));
    EXPECT_TRUE(w->messages.last().endsWith("\\zemnom\\belovo.dbf"));

    const std::string ini = dx::io::readFile(dir.file("Dendrix.ini"));
    sel->rememberBox()->setChecked(false);
    w->messages.clear();
    QTest::mouseClick(sel->okButton(), Qt::LeftButton);
    EXPECT_FALSE(sel->isVisible());
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    EXPECT_TRUE(w->main->windowTitle().startsWith("Dendrix 1.8  - ДГС Белово 2016"));
    EXPECT_TRUE(w->main->state().projectTablePath.endsWith("Belovo.db"));
    EXPECT_GT(w->main->compartmentList()->count(), 0);
    std::string expected = ini;
    expected.replace(expected.find("SaveLastOpen=1"), 14, "SaveLastOpen=0");
    EXPECT_EQ(dx::io::readFile(dir.file("Dendrix.ini")), expected);

    // A project whose table is missing: the message, the open project stays.
    sel->show();
    type(sel->searchText(0), "г"); // the text is now "бег"
    QTest::keyClick(sel->searchText(0), Qt::Key_Return);
    ASSERT_EQ(cat[sel->currentRow()].bgname, "Беглика");
    QTest::mouseClick(sel->okButton(), Qt::LeftButton);
    ASSERT_FALSE(w->messages.isEmpty());
    EXPECT_TRUE(w->messages.last().startsWith("Избор на проект|Липсва файл ")) << w->messages.last().toStdString();
    EXPECT_TRUE(w->main->state().projectTablePath.endsWith("Belovo.db"));
}

TEST_F(Maintenance, ProjectInformationShowsTheFiguresAndCopiesThem)
{
    loadDemo();
    auto *info = window<TFormStatistics>();
    info->show();
    EXPECT_EQ(info->heading()->text(), "ДГС Банско 2019г.");
    EXPECT_EQ(info->valueLabel(1)->text(), QString::number(60));
    EXPECT_TRUE(info->valueLabel(2)->text().endsWith(" xa"));
    EXPECT_GT(info->ownershipGrid()->model()->rowCount(), 0);
    EXPECT_FALSE(w->main->state().projectTable.filtered());
    QTest::mouseClick(info->copyButton(), Qt::LeftButton);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith("Статистика - ДГС Банско 2019г.\r\n\r\nОтдели:\t")) << text.toStdString();
    EXPECT_TRUE(text.contains("\r\nПлощ:\t" + info->valueLabel(2)->text() + "\r\n\r\n"));
    EXPECT_TRUE(text.endsWith(w->main->state().contactLine));
    QTest::mouseClick(info->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(info->isVisible());
}

TEST_F(Maintenance, EditorPostsAnEditThatTheMainWindowAndTheCliSee)
{
    loadDemo();
    answer(false); // no archive on opening
    auto *ed = openEditor();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith("Архивиране|Липсва архивно копие"));
    QTableView *grid = ed->grid();
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString().isEmpty(), false);
    EXPECT_EQ(ed->searchPosition().row, 0u);
    EXPECT_TRUE(ed->windowTitle().contains(" > Редакция база дании - ДГС Банско 2019 ["));

    const int pl = ed->editor().fieldIndex("PL");
    const int nzn2 = ed->editor().fieldIndex("NZN2");
    ASSERT_GE(pl, 0);
    const QString otd = ed->editor().text(0, 0), podotd = ed->editor().text(0, 1);
    // Type into the area cell, Tab away: posted.
    grid->setCurrentIndex(grid->model()->index(0, pl));
    QLineEdit *cell = openCell(grid);
    ASSERT_TRUE(cell);
    cell->selectAll();
    type(cell, "77.7");
    QTest::keyClick(cell, Qt::Key_Tab);
    EXPECT_EQ(ed->editor().text(0, size_t(pl)), "77.7");
    // A text too long for its field: refused, the grid shows the file.
    grid->setCurrentIndex(grid->model()->index(0, nzn2));
    cell = openCell(grid);
    ASSERT_TRUE(cell);
    type(cell, QString(300, QChar(u'я')));
    QTest::keyClick(cell, Qt::Key_Tab);
    ASSERT_FALSE(w->messages.isEmpty());
    EXPECT_TRUE(w->messages.last().contains("NZN2")) << w->messages.last().toStdString();
    EXPECT_NE(ed->editor().text(0, size_t(nzn2)).size(), 300);

    w->main->ViewTax(otd.toInt(), podotd);
    EXPECT_TRUE(w->main->headerBox("EditArea")->text().startsWith("77.7")) << w->main->headerBox("EditArea")->text().toStdString();
    auto run = dxtest::runCli("-C " + dir.path() + " sql 'select PL from \"database\\\\BANSKO.DB\" where OTD=" +
                              otd.toStdString() + " and PODOTD=\"" + podotd.toStdString() + "\"'");
    EXPECT_EQ(run.out, "PL\n77.7\n");

    // The jump box: a compartment alone, a pair, and no number.
    type(ed->jumpBox(), "2:а");
    QTest::keyClick(ed->jumpBox(), Qt::Key_Return);
    EXPECT_EQ(ed->editor().text(ed->searchPosition().row, 0), "2");
    EXPECT_TRUE(ed->windowTitle().startsWith("2:а > "));
    ed->jumpBox()->setText("x:а");
    QTest::keyClick(ed->jumpBox(), Qt::Key_Return);
    EXPECT_EQ(w->messages.last(), "Редакция база дании|Името на отдела трябва да бъде число");
}

TEST_F(Maintenance, SearchWindowFindsTheNextOccurrenceAndAsksToWrap)
{
    loadDemo();
    answer(false);
    auto *ed = openEditor();
    auto *search = window<TFormDBSearch>();
    ed->searchAction()->trigger();
    EXPECT_TRUE(search->isVisible());
    EXPECT_FALSE(search->findButton()->isEnabled());
    // From the last column of the first record the search goes on in the next records.
    const QString first = ed->editor().text(0, 1);
    ed->setSearchPosition({ed->editor().columnCount() - 1, 0});
    type(search->text(), first);
    EXPECT_TRUE(search->findButton()->isEnabled());
    QTest::mouseClick(search->findButton(), Qt::LeftButton);
    EXPECT_GT(ed->searchPosition().row, 0u);
    EXPECT_TRUE(ed->editor().text(ed->searchPosition().row, ed->searchPosition().column).toUpper().contains(first.toUpper()));
    // The column mode from the last record asks to start again; OK finds record 1.
    const size_t last = ed->editor().rowCount() - 1;
    ed->setSearchPosition({1, last});
    search->text()->setText(ed->editor().text(0, 1));
    QTest::mouseClick(search->mode(2), Qt::LeftButton);
    answer(true);
    QTest::mouseClick(search->findButton(), Qt::LeftButton);
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_TRUE(asked.last().startsWith("Търсене|Няма намерено съвапдение."));
    EXPECT_LT(ed->searchPosition().row, last);
    ed->hide();
    EXPECT_FALSE(search->isVisible());
}

TEST_F(Maintenance, ArchiveOnOpeningAndRestoreThroughTheRestoreWindow)
{
    loadDemo();
    const std::string table = dir.file("database/BANSKO.DB");
    const std::string archive = dir.file("database/BANSKO.drbackup");
    answer(false);
    auto *ed = openEditor();
    ed->restoreAction()->trigger();
    EXPECT_TRUE(w->messages.last().startsWith("Възтановяване на база данни|Няма архивно копие"));
    ed->hide();
    answer(true);
    w->messages.clear();
    // The question is asked on the first opening of a run only; the menu archives.
    ed->show();
    EXPECT_FALSE(dx::io::exists(archive));
    ed->archiveAction()->trigger();
    EXPECT_EQ(dx::io::readFile(archive), dx::io::readFile(table));
    auto *wait = w->list->registry.get<TFormSitoRabotnoWait>();
    EXPECT_EQ(wait->maximum(), int(dx::io::readFile(table).size() / 1024));
    EXPECT_EQ(wait->text(), "Зареждане на данните...");

    const std::string archived = dx::io::readFile(table);
    const int nzn2 = ed->editor().fieldIndex("NZN2");
    ASSERT_FALSE(ed->editor().setText(3, size_t(nzn2), "проба"));
    ASSERT_NE(dx::io::readFile(table), archived);
    ed->restoreAction()->trigger();
    auto *un = window<TFormEditDBUnArch>();
    ASSERT_TRUE(un->isVisible());
    EXPECT_EQ(un->file()->text(), "BANSKO.drbackup");
    EXPECT_EQ(un->project()->text(), "ДГС Банско 2019");
    QTest::mouseClick(un->restoreButton(), Qt::LeftButton);
    EXPECT_TRUE(asked.last().startsWith("Възтановяване на база данни|ВНИМАНИЕ!"));
    EXPECT_EQ(dx::io::readFile(table), archived);
    EXPECT_FALSE(un->isVisible());
    EXPECT_FALSE(ed->isVisible());
    EXPECT_GT(w->main->compartmentList()->count(), 0);
    EXPECT_NE(ed->editor().text(3, size_t(nzn2)), "проба");
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
}

TEST_F(Maintenance, LandAreaEditorCreatesAMissingTableAndTheTestReportsIntoTheStatusWindow)
{
    loadDemo();
    ASSERT_TRUE(w->main->switchToProject({"database\\elena.dbf", "ДГС Елена", "", "2014", false}));
    ASSERT_FALSE(w->main->state().landArea.active());
    // The demo's own "zemnom/elena.dbf" stands where the new table goes: asked, replaced.
    answer(true);
    auto *zem = window<TFormEditZemName>();
    zem->show();
    EXPECT_EQ(zem->windowTitle(), "Землища - ДГС Елена 2014г.");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith("Землища|Съществува файл ")) << asked[0].toStdString();
    EXPECT_TRUE(dx::io::exists(dir.file("zemnom/elena.dbf")));
    EXPECT_EQ(zem->countPanel()->text(), "брой землища:0");
    const auto &cat = w->main->state().catalogue;
    const int k = dx::findEntry(cat, "ДГС Елена", "2014");
    ASSERT_GE(k, 0);
    EXPECT_EQ(cat[k].zemnom, "Zemnom\\elena.dbf");
    const auto back = dx::readProjectCatalogue(QString::fromStdString(dir.file("project.conf")));
    EXPECT_EQ(back[dx::findEntry(back, "ДГС Елена", "2014")].zemnom, "Zemnom\\elena.dbf");

    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    zem->InsertRow();
    EXPECT_EQ(zem->countPanel()->text(), "брой землища:1") << w->messages.join("\n").toStdString();
    QTableView *grid = zem->grid();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QLineEdit *cell = openCell(grid);
    ASSERT_TRUE(cell);
    type(cell, "1");
    QTest::keyClick(cell, Qt::Key_Tab);
    EXPECT_EQ(zem->editor().text(0, 0), "1");

    auto *test = window<TFormTestZemName>();
    test->show();
    EXPECT_TRUE(test->testButton()->isEnabled());
    QTest::mouseClick(test->testButton(), Qt::LeftButton);
    auto *status = window<TFormStatus>();
    EXPECT_TRUE(status->isVisible());
    const QString text = status->memo()->toPlainText();
    EXPECT_TRUE(text.startsWith("Тест - Съответсвие имена на землища\n\nброй землища в лес.данни: ")) << text.toStdString();
    EXPECT_TRUE(text.contains("брой землища в ном.файл: 1\n"));
    EXPECT_TRUE(text.contains("липсват данн за землище No."));
}

namespace {

// A menu command of a window's menu bar, triggered as a click on it would.
void trigger(QWidget *window, const QString &menu, const QString &command)
{
    for (QAction *m : window->findChild<QMenuBar *>()->actions())
        if (m->text() == menu && m->menu())
            for (QAction *a : m->menu()->actions())
                if (a->text() == command) return a->trigger();
    ADD_FAILURE() << "no command " << command.toStdString();
}

// The land-area table file's names in file order, read as another program would.
std::vector<std::string> landAreaNames(const std::string &path)
{
    std::vector<std::string> names;
    auto t = dx::dbf::read(path);
    for (size_t r = 0; r < t->rowCount(); ++r) names.push_back(t->value(r, 1).toText());
    return names;
}

} // namespace

TEST_F(Maintenance, LandAreaEditorInsertsTheEmptyRowBeforeTheCurrentOne)
{
    loadDemo();
    auto *zem = window<TFormEditZemName>();
    zem->show();
    const std::string file = zem->editor().path();
    const std::vector<std::string> demo = {"Банско", "Добринище", "Кремен", "Места", "Обидим", "Филипово", "Гостун"};
    ASSERT_EQ(landAreaNames(file), demo);
    QTableView *grid = zem->grid();

    // In the middle: the third row current, the new row takes its place and the
    // name typed into it lands there in the file.
    grid->setCurrentIndex(grid->model()->index(2, 1));
    trigger(zem, "Таблица", "Вмъкни ред");
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    EXPECT_EQ(zem->countPanel()->text(), "брой землища:8");
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_EQ(grid->model()->index(2, 1).data().toString(), "");
    EXPECT_EQ(grid->model()->index(3, 1).data().toString(), "Кремен");
    QTest::keyClick(grid, Qt::Key_Right); // to the name
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 1));
    QLineEdit *cell = openCell(grid);
    ASSERT_TRUE(cell);
    type(cell, "Ново");
    QTest::keyClick(cell, Qt::Key_Tab);
    std::vector<std::string> expected = demo;
    expected.insert(expected.begin() + 2, "Ново");
    EXPECT_EQ(landAreaNames(file), expected);

    // At the top, twice: each new row goes before the first.
    grid->setCurrentIndex(grid->model()->index(0, 0));
    trigger(zem, "Таблица", "Вмъкни ред");
    trigger(zem, "Таблица", "Вмъкни ред");
    expected.insert(expected.begin(), 2, "");
    EXPECT_EQ(landAreaNames(file), expected);
    EXPECT_EQ(zem->countPanel()->text(), "брой землища:10");
    EXPECT_EQ(grid->model()->index(2, 1).data().toString(), "Банско");
    // The main window's land-area table reads the new file: the names keep their numbers.
    EXPECT_EQ(w->main->state().landArea.recordCount(), 10u);

    // Emptied row by row, then one row inserted into the empty table.
    while (grid->model()->rowCount() > 0) {
        grid->setCurrentIndex(grid->model()->index(0, 0));
        trigger(zem, "Таблица", "Изтрий ред");
    }
    EXPECT_EQ(zem->countPanel()->text(), "брой землища:0");
    EXPECT_TRUE(landAreaNames(file).empty());
    trigger(zem, "Таблица", "Вмъкни ред");
    EXPECT_EQ(zem->countPanel()->text(), "брой землища:1");
    EXPECT_EQ(landAreaNames(file), std::vector<std::string>{""});
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
}

TEST_F(Maintenance, LandAreaInsertIntoARecordAnotherProgramChangedIsRefused)
{
    // The row before which the new one goes was changed by another program since the
    // grid read it: nothing is inserted, the message says so, the grid shows the file.
    loadDemo();
    auto *zem = window<TFormEditZemName>();
    zem->show();
    const std::string file = zem->editor().path();
    dx::Database other;
    dx::TableEditor theirs(other);
    theirs.open(file);
    ASSERT_FALSE(theirs.setText(1, 1, "Добринище-2"));
    const std::string before = dx::io::readFile(file);
    zem->grid()->setCurrentIndex(zem->grid()->model()->index(1, 0));
    trigger(zem, "Таблица", "Вмъкни ред");
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].contains("променен от друга програма")) << w->messages[0].toStdString();
    EXPECT_EQ(dx::io::readFile(file), before);
    EXPECT_EQ(zem->countPanel()->text(), "брой землища:7");
    EXPECT_EQ(zem->grid()->model()->index(1, 1).data().toString(), "Добринище-2");
}

TEST_F(Maintenance, ProjectSettingsCheckTheYearWarnAndSaveTheCatalogueByDirectorate)
{
    loadDemo();
    auto *set = w->list->registry.get<TFormEditName>();
    set->show();
    EXPECT_EQ(set->kind()->text(), "ДГС");
    EXPECT_EQ(set->name()->text(), "Банско");
    EXPECT_EQ(set->year()->text(), "2019");
    EXPECT_EQ(set->directorate()->currentText(), "РДГ Благоевград");
    EXPECT_EQ(set->tableFile()->text(), "database\\BANSKO.DB");
    EXPECT_TRUE(set->activeBox()->isChecked());
    EXPECT_EQ(set->directorate()->itemText(0), "РДГ Благоевград"); // distinct directorates, sorted

    // Only digits reach the year box.
    set->year()->clear();
    type(set->year(), "21a0x0");
    EXPECT_EQ(set->year()->text(), "2100");
    QTest::mouseClick(set->saveButton(), Qt::LeftButton);
    EXPECT_EQ(w->messages.last(), "Настройки|Невалидна година.");
    EXPECT_TRUE(set->isVisible());

    const std::string before = dx::io::readFile(dir.file("project.conf"));
    set->year()->setText("2099");
    set->kind()->setText("Д");
    w->messages.clear();
    QTest::mouseClick(set->saveButton(), Qt::LeftButton);
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_EQ(w->messages[0], "Настройки|Проверете поле \"Вид\".");
    EXPECT_FALSE(set->isVisible());
    EXPECT_TRUE(w->main->windowTitle().startsWith("Dendrix 1.8  - Д Банско 2099")) << w->main->windowTitle().toStdString();
    const auto file = dx::readProjectCatalogue(QString::fromStdString(dir.file("project.conf")));
    ASSERT_EQ(file.size(), 14);
    for (int i = 1; i < file.size(); ++i) EXPECT_LE(file[i - 1].direkcia, file[i].direkcia);
    EXPECT_GE(dx::findEntry(file, "Д Банско", "2099"), 0);
    EXPECT_NE(dx::io::readFile(dir.file("project.conf")), before);
}
