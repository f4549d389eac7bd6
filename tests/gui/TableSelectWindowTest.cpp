// The table selection window driven through its controls on a demo installation: rows
// picked with Ctrl and the mouse, "ОК" with nothing chosen, with a row that has no table,
// with two tables and with all of them; the hand-over to the Lists window, the built
// marks and the command line agreeing with the
// window cell for cell.
#include "GuiFixtures.h"

#include "lists/TFormTableSelect.h"
#include "widgets/WindowRegistry.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

namespace dx {
class TFormSpisatzi;
}

using namespace dx;

namespace {

class TableSelectWindow : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo(400);
        select = w->list->registry.get<TFormTableSelect>();
        ASSERT_NE(select, nullptr);
        lists = w->list->registry.widget<TFormSpisatzi>();
        connect();
    }
    void connect()
    {
        QObject::connect(select, &TFormTableSelect::tableBuilt, [this](const PhysGeoTable &t, bool first) {
            built << t.number;
            firsts << first;
            contents << t.content;
        });
    }
    // Opens the window as the main menu does.
    void open()
    {
        for (QAction *a : w->main->menuBar()->findChildren<QAction *>())
            if (a->text() == "Таблици физико-географска характеристика" && !a->menu()) a->trigger();
        ASSERT_TRUE(select->isVisible());
    }
    // A click on a row's name, with Ctrl to add it to the chosen ones.
    void pick(const QString &name, bool ctrl)
    {
        QTableWidget *l = select->list();
        for (int r = 0; r < l->rowCount(); ++r)
            if (l->item(r, 0)->text() == name) {
                const QRect cell = l->visualRect(l->model()->index(r, 0));
                QTest::mouseClick(l->viewport(), Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier,
                                  cell.center());
                return;
            }
        ADD_FAILURE() << "no row " << name.toStdString();
    }
    // The table as dendrix-cli prints it, and as the window built it in the same form.
    static std::string cliForm(const ListContent &c)
    {
        DataGridModel m(c.columns);
        m.setRows(c.rows);
        std::string out;
        for (int col = 0; col < m.columnCount(); ++col) out += (col ? "\t" : "") + c.columns[col].title.toStdString();
        out += '\n';
        for (int r = 0; r < m.rowCount(); ++r) {
            for (int col = 0; col < m.columnCount(); ++col) out += (col ? "\t" : "") + m.displayText(r, col).toStdString();
            out += '\n';
        }
        return out;
    }

    TFormTableSelect *select = nullptr;
    QWidget *lists = nullptr;
    QList<int> built;
    QList<bool> firsts;
    QList<ListContent> contents;
};

} // namespace

TEST_F(TableSelectWindow, NothingChosenThenTableElevenThenTablesTwoAndSix)
{
    open();
    EXPECT_EQ(select->windowTitle(), "Избор на таблици - физико-географска характеристика");
    EXPECT_EQ(select->list()->rowCount(), 12);
    EXPECT_EQ(select->list()->item(1, 0)->text(), "Таблица 1а");
    EXPECT_TRUE(select->statusPanel()->text().contains("собственост: всички видове"));

    // Nothing chosen: the message, and the window stays.
    QTest::mouseClick(select->okButton(), Qt::LeftButton);
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].startsWith("Избор на таблици|За да продължите трябва да изберете таблица"));
    w->messages.clear();
    EXPECT_TRUE(select->isVisible());

    // Only "Таблица 11": closes, builds nothing, shows the Lists window.
    lists->hide();
    pick("Таблица 11", false);
    QTest::mouseClick(select->okButton(), Qt::LeftButton);
    EXPECT_FALSE(select->isVisible());
    EXPECT_TRUE(lists->isVisible());
    EXPECT_TRUE(built.isEmpty());

    // Tables 2 and 6 together (Ctrl adds the second): both built in list order, 6 last.
    open();
    pick("Таблица 6", false);
    pick("Таблица 2", true);
    QTest::mouseClick(select->okButton(), Qt::LeftButton);
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join('\n').toStdString();
    EXPECT_EQ(built, (QList<int>{2, 6}));
    EXPECT_EQ(firsts, (QList<bool>{true, true}));
    EXPECT_EQ(select->lastBuilt().number, 6);
    EXPECT_EQ(select->lastBuilt().caption, "Таблица 6 - Площно разпределение на типовете и подтиповете горски почви");
    EXPECT_EQ(w->main->state().builtTables, (QSet<int>{2, 6}));
    const QString tables = w->main->state().path("Tables");
    for (const char *f : {"tab2.dbf", "tab2.txt", "tab6.dbf", "tab6.txt"})
        EXPECT_TRUE(QFile::exists(tables + "/" + f)) << f;
    // Shown again from its file: the same grid.
    const ListContent again = select->loader(2)();
    EXPECT_EQ(cliForm(again), cliForm(contents[0]));
    // A table never built: the menu's loader throws the message, LoadTable shows it.
    EXPECT_THROW(select->loader(7)(), PhysGeoError);
    EXPECT_TRUE(select->LoadTable(7).rows.isEmpty());
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].startsWith("Таблици|Таблица ")) << w->messages[0].toStdString();
    w->messages.clear();

    // Built again: no second menu item.
    open();
    pick("Таблица 2", false);
    QTest::mouseClick(select->okButton(), Qt::LeftButton);
    EXPECT_EQ(firsts.last(), false);

    // The marks are the state's: a project switch clears them, and the next build adds
    // its item again.
    w->main->state().builtTables.clear();
    open();
    pick("Таблица 2", false);
    QTest::mouseClick(select->okButton(), Qt::LeftButton);
    EXPECT_EQ(firsts.last(), true);
}

TEST_F(TableSelectWindow, EveryTableAgreesWithTheCommandLineCellForCell)
{
    open();
    pick("Таблица 1", false);
    for (const char *name : {"Таблица 1а", "Таблица 2", "Таблица 3", "Таблица 6", "Таблица 7", "Таблица 9",
                             "Таблица 10", "Таблица 12,13"})
        pick(name, true);
    QTest::mouseClick(select->okButton(), Qt::LeftButton);
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join('\n').toStdString();
    ASSERT_EQ(built, (QList<int>{1, 15, 2, 3, 6, 7, 9, 10, 12}));
    const std::map<int, std::string> names = {{1, "1"},  {15, "1а"}, {2, "2"},   {3, "3"},     {6, "6"},
                                              {7, "7"}, {9, "9"},   {10, "10"}, {12, "12-13"}};
    for (int i = 0; i < built.size(); ++i) {
        const dxtest::CliRun r = dxtest::runCli("-C '" + dir.path() + "' table " + names.at(built[i]));
        EXPECT_EQ(r.status, 0);
        EXPECT_GT(contents[i].rows.size(), 1);
        EXPECT_EQ(r.out, cliForm(contents[i])) << "table " << names.at(built[i]);
    }
}
