// The main window as the user drives it: the header boxes, the pages and their stale
// marks, the damage explanation, the lists' triggers and the toolbar moves.
#include "GuiFixtures.h"

#include "description/CurrentComposition.h"
#include "description/GuiMeasuresPage.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QToolBar>

namespace {

using dxtest::Windows;

class MainWindow : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo();
    }
    QAction *toolbarAction(const QString &hint)
    {
        for (QAction *a : w->main->findChild<QToolBar *>()->actions())
            if (a->statusTip() == hint) return a;
        return nullptr;
    }
    void press(QComboBox *combo, int key)
    {
        QKeyEvent ev(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(combo->lineEdit(), &ev);
    }
    QString shown() const { return w->main->state().lists.compartmentText + ":" + w->main->state().lists.subCompartmentText; }
    QString caption() const { return w->main->windowTitle(); }

};

} // namespace

TEST_F(MainWindow, FirstSubCompartmentIsShownWithHeaderAndComposition)
{
    EXPECT_TRUE(caption().endsWith(" [1:а]"));
    EXPECT_TRUE(w->main->headerBox("EditArea")->text().endsWith(" ха"));
    EXPECT_FALSE(w->main->headerBox("MemoPol")->text().isEmpty());
    QAbstractItemModel *m = w->main->compositionGrid()->model();
    ASSERT_GT(m->rowCount(), 0);
    EXPECT_EQ(m->data(m->index(m->rowCount() - 1, 1)).toString(), "всичко");
    EXPECT_EQ(m->headerData(10, Qt::Horizontal).toString(), "Запас - куб.м|на 1 ха");
    EXPECT_TRUE(w->main->pageCurrent(0));
    EXPECT_FALSE(w->main->pageCurrent(1));
    EXPECT_EQ(w->main->state().currentOtd, 1);
}

TEST_F(MainWindow, StalePageIsRefreshedOnceWhenBroughtToTheFront)
{
    toolbarAction("Следващ подотдел")->trigger();
    EXPECT_TRUE(caption().endsWith(" [1:б]"));
    EXPECT_FALSE(w->main->pageCurrent(1));
    w->main->pages()->setCurrentIndex(1);
    EXPECT_TRUE(w->main->pageCurrent(1));
    EXPECT_TRUE(w->main->pageCurrent(0)); // marks change only with the next description
    toolbarAction("Следващ подотдел")->trigger();
    EXPECT_TRUE(w->main->pageCurrent(1));
    EXPECT_FALSE(w->main->pageCurrent(0));
}

TEST_F(MainWindow, ClickOnADamageCodeExplainsItInTheStatusBar)
{
    QTableView *grid = w->main->compositionGrid();
    const int povr = int(dx::compositionColumnNames().indexOf("POVR"));
    // Walk the sub-compartments until one shows a damage code.
    int row = -1;
    for (int step = 0; step < 60 && row < 0; ++step) {
        QAbstractItemModel *m = grid->model();
        for (int r = 0; r + 1 < m->rowCount(); ++r)
            if (m->data(m->index(r, povr)).toString() != "-") row = r;
        if (row < 0) toolbarAction("Следващ подотдел")->trigger();
    }
    ASSERT_GE(row, 0);
    const QString code = grid->model()->data(grid->model()->index(row, povr)).toString();
    emit grid->clicked(grid->model()->index(row, povr));
    EXPECT_TRUE(w->main->companyPanel()->text().startsWith("повреда: " + code + " = "));
    emit grid->clicked(grid->model()->index(row, 1));
    EXPECT_EQ(w->main->companyPanel()->text(), "Тилмара ЕООД");
}

TEST_F(MainWindow, HeaderBoxesShowEachDescriptionFromItsStart)
{
    // A box whose text stays from one sub-compartment to the next is not set again; it
    // must still show the text from its start, with nothing left selected.
    const char *names[] = {"EditGTU", "EditZEM", "EditVP", "EditSK", "EditSB", "EditVG", "EditFUN", "EditMest"};
    QLineEdit *kept = nullptr;
    for (int step = 0; step < 80 && !kept; ++step) {
        QMap<QString, QString> before;
        for (const char *n : names) {
            QLineEdit *e = w->main->headerBox(n);
            before[n] = e->text();
            e->setCursorPosition(int(e->text().size()));
            if (e->text().size() > 1) e->setSelection(1, 1);
        }
        toolbarAction("Следващ подотдел")->trigger();
        for (const char *n : names) {
            QLineEdit *e = w->main->headerBox(n);
            EXPECT_EQ(e->cursorPosition(), 0) << n;
            EXPECT_FALSE(e->hasSelectedText()) << n;
            EXPECT_EQ(e->toolTip(), e->text()) << n;
            if (!kept && e->text() == before[n] && e->text().size() > 1) kept = e;
        }
    }
    ASSERT_NE(kept, nullptr) << "no box kept its text over a step";
    // Moving back and forth leaves the boxes as a fresh show of the pair would.
    toolbarAction("Предишен подотдел")->trigger();
    toolbarAction("Следващ подотдел")->trigger();
    const QString now = kept->text();
    kept->setCursorPosition(int(now.size()));
    w->main->goToSubCompartment(QString::number(w->main->state().currentOtd), w->main->state().currentPodotd);
    EXPECT_EQ(kept->text(), now);
    EXPECT_EQ(kept->cursorPosition(), 0);
}

TEST_F(MainWindow, ToolbarMovesWrapAtTheEnds)
{
    toolbarAction("Предишен отдел")->trigger();
    EXPECT_EQ(shown(), "1:а"); // the first compartment stays
    const QStringList &compartments = w->main->state().lists.compartments;
    w->main->compartmentList()->setEditText(compartments.last());
    press(w->main->compartmentList(), Qt::Key_Return);
    QComboBox *pod = w->main->subCompartmentList();
    ASSERT_GT(pod->count(), 0);
    w->main->goToSubCompartment(compartments.last(), pod->itemText(pod->count() - 1));
    EXPECT_TRUE(caption().endsWith("[" + compartments.last() + ":" + pod->itemText(pod->count() - 1) + "]"));
    toolbarAction("Следващ подотдел")->trigger();
    EXPECT_TRUE(caption().endsWith(" [1:а]"));
    EXPECT_EQ(w->main->compartmentList()->currentText(), "1");
}

TEST_F(MainWindow, TypedCompartmentTexts)
{
    QComboBox *otd = w->main->compartmentList();
    const QString before = caption();
    // An emptied text gets the current compartment back.
    otd->setEditText("");
    press(otd, Qt::Key_Return);
    EXPECT_EQ(otd->currentText(), "1");
    // A number without records shows nothing new and the typed text stays.
    otd->setEditText("99999");
    press(otd, Qt::Key_Return);
    EXPECT_EQ(caption(), before);
    EXPECT_EQ(otd->currentText(), "99999");
    EXPECT_TRUE(w->messages.isEmpty());
    // Not a number: a clear message, the window stays as it was.
    otd->setEditText("12а");
    press(otd, Qt::Key_Return);
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].contains("12а"));
    EXPECT_EQ(caption(), before);
    // Nothing was shown for the typed pairs, so the current one is still the first.
    otd->setEditText("");
    press(otd, Qt::Key_Return);
    EXPECT_EQ(otd->currentText(), "1");
}

TEST_F(MainWindow, LatinLetterSubCompartmentFindsNothing)
{
    const QString before = caption();
    QComboBox *pod = w->main->subCompartmentList();
    pod->setEditText("a"); // Latin a, not Cyrillic а
    press(pod, Qt::Key_Enter);
    EXPECT_EQ(caption(), before);
    EXPECT_TRUE(w->messages.isEmpty());
}

TEST_F(MainWindow, FailingCountsEmptyOnlyTheirPanel)
{
    EXPECT_FALSE(w->main->countsPanel()->text().isEmpty());
    w->main->state().projectTablePath += ".missing";
    w->main->InfoStatus();
    EXPECT_TRUE(w->main->countsPanel()->text().isEmpty());
    EXPECT_TRUE(w->messages.isEmpty());
}

TEST_F(MainWindow, ForestFundReportsShowTheNoticeFirst)
{
    QAction *ogf2 = nullptr;
    for (QAction *a : w->main->findChildren<QAction *>())
        if (a->text() == "ОГФ 2") ogf2 = a;
    ASSERT_NE(ogf2, nullptr);
    ogf2->trigger();
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].startsWith("Внимание!|Автора на програмата не гарантира 100% съвапдения"));
    QWidget *sob = w->list->find("TFormSob");
    EXPECT_EQ(sob->windowTitle(), "ОГФ 2 - Избор на собственост");
    EXPECT_TRUE(sob->isVisible());
}

TEST_F(MainWindow, HelpShowsTheProgramsOwnDocumentWithoutAChmFile)
{
    QAction *contents = nullptr;
    for (QAction *a : w->main->findChildren<QAction *>())
        if (a->text() == "Съдържание") contents = a;
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->shortcut(), QKeySequence(Qt::Key_F1));
    contents->trigger();
    QTextBrowser *browser = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowTitle() == "Dendrix - помощ") browser = top->findChild<QTextBrowser *>();
    ASSERT_NE(browser, nullptr);
    const QString text = browser->toPlainText();
    EXPECT_TRUE(text.contains("Следващ подотдел"));
    EXPECT_TRUE(text.contains("Сегашен състав"));
}

TEST_F(MainWindow, AboutShowsTheVersion)
{
    for (QAction *a : w->main->findChildren<QAction *>())
        if (a->text() == "За прогрмата") a->trigger();
    QWidget *about = w->list->find("TFormAbout");
    ASSERT_TRUE(about->isVisible());
    bool found = false;
    for (QLabel *l : about->findChildren<QLabel *>()) found = found || l->text() == "Version 1.8 ";
    EXPECT_TRUE(found);
}

TEST_F(MainWindow, MeasuresPageKeepsRowsPerSubCompartment)
{
    dx::MeasuresPage *page = w->main->measuresPage();
    int asked = 0;
    page->setConfirm([&] {
        ++asked;
        return true;
    });
    w->main->pages()->setCurrentIndex(2);
    EXPECT_EQ(page->activeGrid(), 1);
    QAbstractItemModel *cuttings = page->cuttingsGrid()->model();
    ASSERT_EQ(cuttings->rowCount(), 0);
    page->deleteRow(); // an empty grid: no question, nothing deleted
    EXPECT_EQ(asked, 0);

    page->appendRow();
    ASSERT_EQ(cuttings->rowCount(), 1);
    ASSERT_TRUE(cuttings->setData(cuttings->index(0, 0), "прореждане"));
    toolbarAction("Следващ подотдел")->trigger();
    EXPECT_EQ(cuttings->rowCount(), 0);
    toolbarAction("Предишен подотдел")->trigger();
    ASSERT_EQ(cuttings->rowCount(), 1);
    EXPECT_EQ(cuttings->data(cuttings->index(0, 0)).toString(), "прореждане");
    // Another program reading the file sees the row at once.
    const std::string listed = dxtest::runCli("-C '" + dir.path() + "' measures 1 а").out;
    EXPECT_EQ(listed.rfind("VIDSECH\tGODINA\t", 0), 0u);
    EXPECT_NE(listed.find("\nпрореждане\t"), std::string::npos) << listed;

    page->cuttingsGrid()->setCurrentIndex(cuttings->index(0, 0));
    page->deleteRow();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(cuttings->rowCount(), 0);
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
}

TEST_F(MainWindow, LeavingTheCompartmentListOrDoubleClickingShowsThePair)
{
    QComboBox *otd = w->main->compartmentList();
    QComboBox *pod = w->main->subCompartmentList();
    otd->setEditText("3");
    pod->setEditText("а");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(otd->lineEdit(), &leave);
    EXPECT_TRUE(caption().endsWith(" [3:а]")) << caption().toStdString();

    otd->setEditText("2");
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(pod->lineEdit(), &dbl);
    EXPECT_TRUE(caption().endsWith(" [2:а]")) << caption().toStdString();
}
