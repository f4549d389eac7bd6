// The main window keeps one current sub-compartment: the lists, the caption, every page
// and the measures' key name the same record whatever the user does, in whatever
// order. Each sequence here is one that once mixed two records or ended the program.
#include "GuiFixtures.h"

#include "core/QtText.h"
#include "description/CurrentComposition.h"
#include "description/FutureComposition.h"
#include "description/GuiMeasuresPage.h"
#include "description/Measures.h"
#include "description/MeasuresModel.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Table.h"
#include "core/GridModel.h"
#include "shell/Startup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <QSet>

#include <random>

namespace {

using dxtest::Windows;

class Current : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        // Enough records for compartments past 60, where a typed "6" could be completed.
        loadDemo(700);
        ASSERT_FALSE(HasFatalFailure());
        w->main->resize(1280, 800);
        // The offscreen platform activates no window by itself; focus moves only in an
        // active one.
        QApplication::setActiveWindow(w->main.get());
        ASSERT_EQ(QApplication::activeWindow(), w->main.get());
        ref.programDir = QString::fromStdString(dir.path());
        dx::loadQuietly(ref);
        otd = w->main->compartmentList();
        pod = w->main->subCompartmentList();
        compartments = w->main->state().lists.compartments;
        ASSERT_GE(compartments.size(), 8);
    }
    void TearDown() override { w.reset(); }

    QAction *action(const QString &hint)
    {
        for (QAction *a : w->main->findChild<QToolBar *>()->actions())
            if (a->statusTip() == hint) return a;
        ADD_FAILURE() << hint.toStdString();
        return nullptr;
    }
    dx::AppState &state() { return w->main->state(); }
    QString current() const
    {
        const dx::AppState &s = w->main->state();
        return QString::number(s.currentOtd) + ":" + s.currentPodotd;
    }
    QString caption() const { return w->main->windowTitle(); }
    QString captionPair() const
    {
        const QString c = caption();
        const qsizetype open = c.lastIndexOf('[');
        return open < 0 ? QString() : c.mid(open + 1, c.size() - open - 2);
    }
    QString lists() const { return otd->currentText() + ":" + pod->currentText(); }

    // Typing into a list as the user does: focus, select what is there, type.
    void type(QComboBox *combo, const QString &text)
    {
        combo->setFocus(Qt::MouseFocusReason);
        combo->lineEdit()->selectAll();
        if (text.isEmpty()) QTest::keyClick(combo, Qt::Key_Delete);
        // Key by key; the text, not the key code, is what a box inserts (Cyrillic too).
        for (QChar c : text) QTest::sendKeyEvent(QTest::Click, combo, Qt::Key_A, QString(c), Qt::NoModifier);
    }
    void enter(QComboBox *combo) { QTest::keyClick(combo, Qt::Key_Return); }
    void tabAway(QComboBox *combo) { QTest::keyClick(combo, Qt::Key_Tab); }
    void choose(QComboBox *combo, int index)
    {
        combo->setFocus(Qt::MouseFocusReason); // the drop-down is opened with a click
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    // The records of a sub-compartment as a second reader of the files sees them.
    QList<dx::DataGridModel::Row> expectedComposition(int o, const QString &p)
    {
        auto rows = dx::ViewSS(ref, o, p);
        return rows ? dx::compositionGridRows(*rows) : QList<dx::DataGridModel::Row>{};
    }
    QList<dx::DataGridModel::Row> expectedFuture(int o, const QString &p)
    {
        auto rows = dx::ViewBS(ref, o, p);
        return rows ? dx::futureGridRows(*rows) : QList<dx::DataGridModel::Row>{};
    }
    QString expectedArea(int o, const QString &p) { return dx::ViewTax(ref, o, p).header.area; }
    static QList<dx::DataGridModel::Row> gridRows(QTableView *grid)
    {
        return static_cast<dx::DataGridModel *>(grid->model())->rows();
    }
    // The keys of the measures rows in a file, in table order.
    QStringList keysIn(const char *file)
    {
        QStringList keys;
        dx::Database db;
        dx::Table t(db);
        t.setPath(dir.file(file));
        t.open();
        for (t.first(); !t.eof(); t.next()) keys << dx::qs(t.value("KEY").toText()).trimmed();
        return keys;
    }
    // Everything on screen names the current sub-compartment.
    void expectOneRecord(const std::string &where)
    {
        SCOPED_TRACE(where);
        const dx::AppState &s = w->main->state();
        ASSERT_TRUE(s.hasCurrent);
        EXPECT_EQ(captionPair(), current());
        EXPECT_EQ(w->main->headerBox("EditArea")->text(), expectedArea(s.currentOtd, s.currentPodotd));
        EXPECT_EQ(w->main->measuresKey(), current());
        const int front = w->main->pages()->currentIndex();
        EXPECT_TRUE(w->main->pageCurrent(front));
        if (front == 0) {
            EXPECT_EQ(gridRows(w->main->compositionGrid()), expectedComposition(s.currentOtd, s.currentPodotd));
        } else if (front == 1) {
            EXPECT_EQ(gridRows(w->main->futureGrid()), expectedFuture(s.currentOtd, s.currentPodotd));
        } else {
            dx::MeasuresModel *cuttings = w->main->measuresPage()->model(0);
            const int rows = cuttings->rowCount() - (cuttings->hasNewRow() ? 1 : 0);
            EXPECT_EQ(rows, keysIn("mervs.dbf").count(current()));
        }
    }
    // A compartment number that is not in the project but starts one that is (typing
    // it must not be completed to the longer one).
    QString prefixOfACompartment() const
    {
        for (const QString &c : compartments)
            for (int n = 1; n < c.size(); ++n)
                if (!compartments.contains(c.left(n))) return c.left(n);
        ADD_FAILURE() << "no compartment number starts with a number that is none";
        return QStringLiteral("9999");
    }

    dx::AppState ref;
    QComboBox *otd = nullptr;
    QComboBox *pod = nullptr;
    QStringList compartments;
};

} // namespace

TEST_F(Current, MeasuresTypedAfterATypedCompartmentGoUnderTheShownOne)
{
    // Measures page in front, "2" typed into the compartment box and Tab: the box now
    // names compartment 2, and so must the caption, the header and the measures.
    w->main->pages()->setCurrentIndex(2);
    type(otd, compartments[1]);
    tabAway(otd);
    EXPECT_EQ(QString::number(state().currentOtd), compartments[1]);
    EXPECT_EQ(lists(), current());
    expectOneRecord("after Tab");

    dx::MeasuresPage *page = w->main->measuresPage();
    QTest::mouseClick(page->cuttingsGrid()->viewport(), Qt::LeftButton);
    page->appendRow();
    dx::MeasuresModel *cuttings = page->model(0);
    ASSERT_TRUE(cuttings->setData(cuttings->index(cuttings->rowCount() - 1, 0), "прореждане"));
    QTest::keyClick(page->cuttingsGrid(), Qt::Key_Tab);
    EXPECT_EQ(keysIn("mervs.dbf"), QStringList({current()}));
    expectOneRecord("after the new row");
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();

    // A number without records changes nothing: the row goes under what is on screen.
    const QString shown = current();
    type(otd, "99999");
    tabAway(otd);
    EXPECT_EQ(current(), shown);
    EXPECT_EQ(otd->currentText(), "99999");
    page->appendRow();
    ASSERT_TRUE(cuttings->setData(cuttings->index(cuttings->rowCount() - 1, 0), "санитарна сеч"));
    EXPECT_EQ(keysIn("mervs.dbf"), QStringList({shown, shown}));
    expectOneRecord("after a number without records");
}

TEST_F(Current, LeavingTheCompartmentBoxShowsTheCompartment)
{
    // Typed and tabbed away, chosen from the drop-down and tabbed away, typed and
    // clicked elsewhere: each time the description follows at once, never a step late.
    for (int i : {3, 5, 7}) {
        type(otd, compartments[i]);
        tabAway(otd);
        EXPECT_EQ(captionPair().section(':', 0, 0), compartments[i]);
        EXPECT_EQ(lists(), current());
        expectOneRecord("typed and Tab");
    }
    choose(otd, int(compartments.size()) - 1);
    EXPECT_EQ(captionPair().section(':', 0, 0), compartments[7]); // a choice alone shows nothing yet
    tabAway(otd);
    EXPECT_EQ(captionPair(), compartments.last() + ":" + pod->itemText(0));
    // A sub-compartment the new compartment lacks gives way to its first one.
    type(pod, "я");
    type(otd, compartments[2]);
    QTest::mouseClick(w->main->compositionGrid()->viewport(), Qt::LeftButton);
    EXPECT_EQ(captionPair(), compartments[2] + ":" + pod->itemText(0));
    expectOneRecord("typed and clicked elsewhere");

    // A page brought to the front afterwards shows the same record, not the lists'.
    choose(otd, 4);
    w->main->pages()->setCurrentIndex(1);
    expectOneRecord("future composition after a pending choice");
    w->main->pages()->setCurrentIndex(2);
    expectOneRecord("measures after a pending choice");
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
}

TEST_F(Current, EditingAMeasureKeepsItsKeyWhateverTheListsHold)
{
    action("Следващ подотдел")->trigger();
    const QString shown = current();
    w->main->pages()->setCurrentIndex(2);
    dx::MeasuresPage *page = w->main->measuresPage();
    dx::MeasuresModel *cuttings = page->model(0);
    page->appendRow();
    ASSERT_TRUE(cuttings->setData(cuttings->index(0, 0), "прореждане"));
    // The lists move on without showing anything; then the existing row is edited.
    choose(otd, 2);
    ASSERT_NE(lists(), shown);
    const int year = 1; // "година"
    ASSERT_TRUE(cuttings->setData(cuttings->index(0, year), "2031"));
    EXPECT_EQ(keysIn("mervs.dbf"), QStringList({shown}));
    EXPECT_EQ(cuttings->rowCount(), 1);
    EXPECT_EQ(cuttings->data(cuttings->index(0, year)).toString(), "2031");
    const std::string listed = dxtest::runCli("-C '" + dir.path() + "' measures " + dx::ss(shown.section(':', 0, 0)) +
                                              " " + dx::ss(shown.section(':', 1))).out;
    EXPECT_NE(listed.find("\nпрореждане\t2031\t"), std::string::npos) << listed;
}

TEST_F(Current, ATypedNumberIsTakenAsTypedAndTheMovesStartFromIt)
{
    const QString prefix = prefixOfACompartment();
    const QString before = current();
    type(otd, prefix);
    enter(otd);
    EXPECT_EQ(current(), before); // no completion to a longer number
    EXPECT_EQ(otd->currentText(), prefix);

    type(otd, compartments[4]);
    enter(otd);
    EXPECT_EQ(captionPair().section(':', 0, 0), compartments[4]);
    action("Следващ отдел")->trigger();
    EXPECT_EQ(captionPair().section(':', 0, 0), compartments[5]);
    type(otd, compartments.last());
    enter(otd);
    action("Следващ отдел")->trigger();
    EXPECT_EQ(captionPair(), compartments[0] + ":" + pod->itemText(0)); // after the last, the first
    type(otd, compartments[3]);
    enter(otd);
    action("Предишен подотдел")->trigger();
    EXPECT_EQ(captionPair().section(':', 0, 0), compartments[2]);
    EXPECT_EQ(lists(), current());
}

TEST_F(Current, MovesHaveKeysThatWorkFromTheListsAndTheGrids)
{
    for (QWidget *focus : {static_cast<QWidget *>(otd), static_cast<QWidget *>(w->main->compositionGrid())}) {
        action("Предишен отдел")->trigger();
        action("Предишен отдел")->trigger(); // wherever it was, now on the first compartment's first
        const QString first = current();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Right, Qt::AltModifier);
        EXPECT_NE(current(), first);
        QTest::keyClick(focus, Qt::Key_Left, Qt::AltModifier);
        EXPECT_EQ(current(), first);
        QTest::keyClick(focus, Qt::Key_PageDown, Qt::AltModifier);
        EXPECT_EQ(QString::number(state().currentOtd), compartments[1]);
        QTest::keyClick(focus, Qt::Key_PageUp, Qt::AltModifier);
        EXPECT_EQ(current(), first);
        expectOneRecord("after the keys");
    }
    for (const QString hint : {"Предишен подотдел", "Следващ подотдел", "Предишен отдел", "Следващ отдел"}) {
        QAction *a = action(hint);
        EXPECT_FALSE(a->shortcut().isEmpty());
        EXPECT_TRUE(a->toolTip().contains(a->shortcut().toString(QKeySequence::NativeText))) << a->toolTip().toStdString();
    }
}

TEST_F(Current, AHintLeavesTheCountsInTheStatusBar)
{
    const QString counts = w->main->countsPanel()->text();
    ASSERT_FALSE(counts.isEmpty());
    w->main->statusBar()->showMessage(action("Следващ отдел")->statusTip());
    EXPECT_TRUE(w->main->countsPanel()->isVisible());
    EXPECT_EQ(w->main->countsPanel()->text(), counts);
    w->main->statusBar()->clearMessage();
    EXPECT_TRUE(w->main->companyPanel()->isVisible());
}

TEST_F(Current, AnExceptionInAnEventHandlerIsShownAndTheProgramGoesOn)
{
    struct Thrower : QObject {
        bool event(QEvent *e) override
        {
            if (e->type() == QEvent::User) throw std::runtime_error("boom in a handler");
            return QObject::event(e);
        }
    } handler;
    QEvent ev(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&handler, &ev));
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].startsWith("Dendrix|Действието не можа да бъде завършено"));
    action("Следващ подотдел")->trigger(); // the window works on
    expectOneRecord("after the failure");
}

TEST_F(Current, TheSieveHandOverShowsThePairAndRaisesTheMainWindow)
{
    w->main->goToSubCompartment(compartments[6], "а");
    EXPECT_EQ(captionPair(), compartments[6] + ":а");
    // A pair that is not there changes nothing, lists included.
    w->main->goToSubCompartment(compartments[2], "я");
    EXPECT_EQ(captionPair(), compartments[6] + ":а");
    EXPECT_EQ(lists(), current());
    expectOneRecord("after the hand-over");
}

// Every trigger, in random order, 2,000 times: after each step the caption, the header,
// the page in front and the measures' key name the same record, and after each step
// that shows something the lists name it too.
TEST_F(Current, ARandomWalkOverEveryTriggerNeverMixesTwoRecords)
{
    std::mt19937 rng(20261209);
    auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
    const QStringList hints = {"Предишен подотдел", "Предишен отдел", "Следващ отдел", "Следващ подотдел"};
    const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Right};
    dx::MeasuresPage *page = w->main->measuresPage();
    page->setConfirm([] { return true; });
    int expectedMessages = 0;
    QSet<QString> seen;
    for (int step = 0; step < 2000; ++step) {
        const int kind = pick(12);
        bool shows = true;
        switch (kind) {
        case 0: action(hints[pick(4)])->trigger(); break;
        case 1: {
            QWidget *focus = pick(2) ? static_cast<QWidget *>(otd) : w->main->compositionGrid();
            focus->setFocus();
            QTest::keyClick(focus, keys[pick(4)], Qt::AltModifier);
            break;
        }
        case 2: choose(otd, pick(int(compartments.size()))); shows = false; break;
        case 3:
            if (pod->count() > 0) choose(pod, pick(pod->count()));
            break;
        case 4: {
            const int r = pick(4);
            type(otd, r == 0 ? QStringLiteral("99999") : r == 1 ? QString() : compartments[pick(int(compartments.size()))]);
            enter(otd);
            shows = r >= 2;
            break;
        }
        case 5: {
            const bool missing = pick(4) == 0;
            type(otd, missing ? prefixOfACompartment() : compartments[pick(int(compartments.size()))]);
            tabAway(otd);
            shows = !missing;
            break;
        }
        case 6:
            type(pod, pick(3) ? pod->itemText(pick(std::max(1, pod->count()))) : QStringLiteral("a")); // Latin a
            enter(pod);
            shows = false;
            break;
        case 7: w->main->pages()->setCurrentIndex(pick(3)); shows = false; break;
        case 8: {
            w->main->pages()->setCurrentIndex(2);
            dx::MeasuresModel *m = page->model(0);
            if (m->rowCount() > 0 && pick(3) == 0) {
                page->cuttingsGrid()->setCurrentIndex(m->index(0, 0));
                page->setActiveGrid(1);
                page->deleteRow();
            } else {
                page->appendRow();
                m->setData(m->index(m->rowCount() - 1, 0), QStringLiteral("прореждане"));
                m->setData(m->index(m->rowCount() - 1, 1), QString::number(2020 + step % 10));
            }
            shows = false;
            break;
        }
        case 9: w->main->findChild<QToolButton *>("ShowSubCompartment")->click(); shows = false; break;
        case 10: w->main->goToSubCompartment(compartments[pick(int(compartments.size()))], pick(2) ? "а" : "я"); break;
        case 11:
            // Not a number: a message; then the user empties the box and Enter brings
            // the current compartment back.
            type(otd, QStringLiteral("x%1").arg(step));
            enter(otd);
            ++expectedMessages;
            type(otd, QString());
            enter(otd);
            EXPECT_EQ(otd->currentText(), QString::number(state().currentOtd));
            shows = false;
            break;
        }
        expectOneRecord("step " + std::to_string(step) + ", trigger " + std::to_string(kind));
        seen.insert(current());
        if (shows) {
            EXPECT_EQ(lists(), current()) << "step " << step << ", trigger " << kind;
        }
        ASSERT_EQ(w->messages.size(), expectedMessages) << "step " << step << ": " << w->messages.join("\n").toStdString();
        if (::testing::Test::HasFailure()) break;
    }
    // The walk went far and wrote measures.
    EXPECT_GT(seen.size(), 100);
    EXPECT_GT(expectedMessages, 50);
    ASSERT_GT(keysIn("mervs.dbf").size(), 20);
    // Every measures row in the file carries the key of a real sub-compartment.
    for (const QString &key : keysIn("mervs.dbf"))
        EXPECT_FALSE(expectedArea(key.section(':', 0, 0).toInt(), key.section(':', 1)).isEmpty()) << key.toStdString();
}

TEST_F(Current, OnASmallScreenNoHeaderTextIsLost)
{
    // At 1024 px every box stays in the window, and a text longer than its box can be
    // read whole: scrolled in the box or in its tip.
    w->main->resize(1024, 768);
    QCoreApplication::processEvents();
    int cut = 0;
    for (int step = 0; step < 40; ++step) {
        for (const char *name : {"EditArea", "EditGTU", "EditZEM", "EditVP", "EditSK", "EditSB", "EditVG", "EditFUN",
                                 "MemoPol", "MemoSoil", "EditMest", "EditSech", "EditNasZal", "EditPP"}) {
            QLineEdit *box = w->main->headerBox(name);
            const QRect inWindow(box->mapTo(w->main.get(), QPoint(0, 0)), box->size());
            EXPECT_TRUE(w->main->rect().contains(inWindow)) << name;
            if (box->fontMetrics().horizontalAdvance(box->text()) > box->contentsRect().width() - 8) {
                ++cut;
                EXPECT_EQ(box->toolTip(), box->text()) << name;
            }
        }
        action("Следващ подотдел")->trigger();
    }
    EXPECT_GT(cut, 0); // the demo has texts longer than their boxes at this width
}

TEST_F(Current, CopyPutsTheCurrentSubCompartmentOnTheClipboard)
{
    QApplication::clipboard()->clear();
    action("Следващ подотдел")->trigger();
    const QString first = current();
    action("Копирай текущия подотдел")->trigger();
    QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith("подотдел: " + first.section(':', 0, 0) + " " + first.section(':', 1) + "  "))
        << text.left(120).toStdString();
    EXPECT_TRUE(text.contains("\r\n\r\nземлище:       ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("_ _ _ _ _")); // the record grids close it
    EXPECT_EQ(current(), first);
    EXPECT_EQ(lists(), current());

    // Moving on and copying again gives the new record; the window still moves.
    action("Следващ подотдел")->trigger();
    EXPECT_NE(current(), first);
    action("Копирай текущия подотдел")->trigger();
    text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith("подотдел: " + current().section(':', 0, 0) + " " + current().section(':', 1) + "  "));
    action("Предишен подотдел")->trigger();
    EXPECT_EQ(current(), first);
    expectOneRecord("after copying");
}
