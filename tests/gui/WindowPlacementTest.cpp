// Where the windows that stay above the main window open: the rule on its own over
// screens and main windows of several sizes, and the working sieve and the About window
// opened through the main window's menu.
#include "GuiFixtures.h"

#include "shell/TFormAbout.h"
#include "sieves/TFormSitoRabotno.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

using dx::TFormWindow;

namespace {

// The top part of the visible main window that must stay in sight.
QRect headerBand(const QRect &mainFrame, const QRect &available)
{
    const QRect main = mainFrame.intersected(available);
    return QRect(main.topLeft(), QSize(main.width(), int(main.height() * TFormWindow::kHeaderShare)));
}

} // namespace

TEST(OpeningFrame, BesideTheMainWindowWhereTheScreenHasRoomForAllOfIt)
{
    const QRect screen(0, 0, 1920, 1050);
    const QSize wanted(900, 520);
    // Room on the right: at the main window's top, at the size wanted.
    EXPECT_EQ(TFormWindow::openingFrame(QRect(0, 0, 1000, 700), screen, wanted), QRect(QPoint(1000, 0), wanted));
    // A main window lower down: the window keeps its top but stays on the screen.
    EXPECT_EQ(TFormWindow::openingFrame(QRect(0, 800, 1000, 250), screen, wanted), QRect(QPoint(1000, 530), wanted));
    // Too little on the right, room below.
    EXPECT_EQ(TFormWindow::openingFrame(QRect(100, 0, 1500, 500), screen, wanted), QRect(QPoint(100, 500), wanted));
    // The main window on the right half: on its left.
    EXPECT_EQ(TFormWindow::openingFrame(QRect(960, 0, 960, 1050), screen, wanted), QRect(QPoint(60, 0), wanted));
    // On a second screen, too narrow beside the main window: over its lower right part,
    // on that screen.
    const QRect second(1920, 0, 1280, 1024);
    EXPECT_EQ(TFormWindow::openingFrame(QRect(1920, 0, 800, 1024), second, wanted), QRect(QPoint(2300, 504), wanted));
}

TEST(OpeningFrame, OverAMaximisedMainWindowItLeavesTheHeaderInSightOnAnyScreen)
{
    struct Case {
        QRect screen;
        QRect main;
        QSize wanted;
    };
    const Case cases[] = {
        {{0, 0, 1280, 770}, {0, 0, 1280, 770}, {1000, 480}},    // 1280x800 with a panel, maximised
        {{0, 0, 1280, 800}, {0, 0, 1280, 800}, {1467, 520}},    // wider than the screen
        {{0, 30, 1920, 1050}, {0, 30, 1920, 1050}, {1000, 520}}, // a panel at the top
        {{0, 0, 800, 600}, {0, 0, 1280, 800}, {1000, 520}},      // main window larger than the screen
        {{0, 0, 800, 800}, {-200, 100, 1200, 900}, {700, 500}},  // main window partly off the screen
        {{0, 0, 1024, 768}, {10, 10, 900, 740}, {900, 400}},     // nearly maximised, the window fits
        {{0, 0, 640, 480}, {0, 0, 640, 480}, {2000, 2000}},      // a tiny screen
    };
    for (const Case &c : cases) {
        const QRect frame = TFormWindow::openingFrame(c.main, c.screen, c.wanted);
        SCOPED_TRACE(testing::Message() << "screen " << c.screen.width() << "x" << c.screen.height() << " main "
                                        << c.main.x() << "," << c.main.y() << " " << c.main.width() << "x"
                                        << c.main.height());
        EXPECT_TRUE(c.screen.contains(frame));
        EXPECT_FALSE(frame.intersects(headerBand(c.main, c.screen)));
        // No larger than wanted; as large as the room below the header allows.
        EXPECT_LE(frame.width(), c.wanted.width());
        EXPECT_LE(frame.height(), c.wanted.height());
        EXPECT_EQ(frame.width(), std::min(c.wanted.width(), c.screen.width()));
        const int room = c.screen.bottom() - headerBand(c.main, c.screen).bottom();
        EXPECT_NEAR(frame.height(), std::min(c.wanted.height(), room), 1);
        // In the lower right corner of the screen.
        EXPECT_EQ(frame.bottomRight(), c.screen.bottomRight());
    }
}

namespace {

// The program's windows on a demo installation, the main window set to a frame before the
// window under test is opened through the main window's menu.
class WindowPlacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        dxtest::demo(dir);
        w = std::make_unique<dxtest::Windows>(dir.path());
        w->showAndLoad();
        ASSERT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
        available = w->main->screen()->availableGeometry();
    }

    void openFromMenu(const QString &menu, const QString &entry)
    {
        for (QAction *m : w->main->menuBar()->actions()) {
            if (m->text() != menu || !m->menu()) continue;
            for (QAction *a : m->menu()->actions())
                if (a->text() == entry) return a->trigger();
        }
        FAIL() << "no menu entry " << entry.toStdString();
    }

    // The main window's description header, its page tabs, the grid titles and the first
    // row of the current composition, in screen coordinates.
    QList<QRect> mainHeaderParts() const
    {
        auto global = [](const QWidget *wd, const QRect &r) { return QRect(wd->mapToGlobal(r.topLeft()), r.size()); };
        QList<QRect> parts;
        parts << global(w->main->compartmentList(), w->main->compartmentList()->rect());
        parts << global(w->main->pages()->tabBar(), w->main->pages()->tabBar()->rect());
        QTableView *grid = w->main->compositionGrid();
        parts << global(grid->horizontalHeader(), grid->horizontalHeader()->rect());
        parts << global(grid->viewport(), grid->visualRect(grid->model()->index(0, 0)));
        return parts;
    }

    dxtest::TempDir dir;
    std::unique_ptr<dxtest::Windows> w;
    QRect available;
};

} // namespace

TEST_F(WindowPlacement, WorkingSieveOverA1280x800MainWindowLeavesItsHeaderAndFirstRowInSight)
{
    w->main->setGeometry(0, 0, 1280, 800);
    auto *sieve = qobject_cast<dx::TFormSitoRabotno *>(w->list->find("TFormSitoRabotno"));
    ASSERT_NE(sieve, nullptr);
    openFromMenu("Справки", "Сито работно");
    ASSERT_TRUE(sieve->isVisible());
    ASSERT_GT(w->main->compositionGrid()->model()->rowCount(), 0);

    const QRect frame = sieve->frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                           << frame.height();
    for (const QRect &part : mainHeaderParts()) EXPECT_FALSE(frame.intersects(part));
    EXPECT_FALSE(frame.intersects(headerBand(w->main->frameGeometry(), available)));

    // Sized to its contents as far as the screen allows: as wide as it asks or the whole
    // screen, as high as it asks or the room from the header band down.
    const QSize decoration = frame.size() - sieve->size();
    const QSize hint = sieve->sizeHint();
    EXPECT_EQ(sieve->width(), std::min(hint.width(), available.width() - decoration.width()));
    const int room = available.bottom() - headerBand(w->main->frameGeometry(), available).bottom();
    EXPECT_NEAR(frame.height(), std::min(hint.height() + decoration.height(), room), 1);
    EXPECT_EQ(sieve->minimumSize(), QSize(700, 500).boundedTo(sieve->size()));
    // Lower than its criteria: they scroll, none is cut off for good.
    auto *criteria = sieve->findChild<QScrollArea *>();
    ASSERT_NE(criteria, nullptr);
    if (sieve->height() < hint.height()) {
        EXPECT_GT(criteria->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(criteria->widget()->height(), criteria->widget()->sizeHint().height());
    }

    // The range window of a criterion low in the group opens under its field only as far
    // as the screen goes.
    auto *range = w->list->find("TFormSitoRabotnoAge");
    sieve->opener(dx::CriterionId::Age)->click();
    ASSERT_TRUE(range->isVisible());
    EXPECT_TRUE(available.contains(range->frameGeometry()));
    range->hide();

    // Closed and opened again, it stays where the user left it.
    sieve->move(frame.topLeft() - QPoint(10, 10));
    const QPoint moved = sieve->pos();
    sieve->hide();
    openFromMenu("Справки", "Сито работно");
    EXPECT_EQ(sieve->pos(), moved);
}

TEST_F(WindowPlacement, WorkingSieveOpensAtItsOwnSizeWhereTheScreenHasRoom)
{
    // The main window pushed up so that most of the screen is free below it.
    w->main->setGeometry(0, -400, 800, 480);
    auto *sieve = qobject_cast<dx::TFormSitoRabotno *>(w->list->find("TFormSitoRabotno"));
    openFromMenu("Справки", "Сито работно");
    const QRect frame = sieve->frameGeometry();
    EXPECT_TRUE(available.contains(frame));
    EXPECT_FALSE(frame.intersects(w->main->frameGeometry()));
    const QSize decoration = frame.size() - sieve->size();
    EXPECT_EQ(sieve->width(), std::min(sieve->sizeHint().width(), available.width() - decoration.width()));
    EXPECT_EQ(sieve->height(), std::max(sieve->sizeHint().height(), 500));
    EXPECT_EQ(sieve->minimumSize(), QSize(700, 500));
}

TEST_F(WindowPlacement, AboutWindowOpensBesideOrBelowTheHeaderAtItsOwnSize)
{
    w->main->setGeometry(0, 0, 1280, 800);
    openFromMenu("Помощ", "За прогрмата");
    QWidget *about = w->list->find("TFormAbout");
    ASSERT_TRUE(about->isVisible());
    const QRect frame = about->frameGeometry();
    EXPECT_TRUE(available.contains(frame));
    EXPECT_EQ(about->size(), about->sizeHint());
    for (const QRect &part : mainHeaderParts()) EXPECT_FALSE(frame.intersects(part));
}

TEST_F(WindowPlacement, CuttingSieveOverAMaximisedMainWindowShowsItsStatusAndScrollsItsTypes)
{
    // A main window over the lower part of the screen leaves the sieve, neither above nor
    // beside it, less room below its header than the nine type lists ask for (as a
    // maximised one on a 1024x768 screen does): the lists scroll, and the result grid
    // with its status line below stays whole inside the window.
    w->main->setGeometry(available.x(), available.y() + available.height() * 3 / 8, available.width(),
                         available.height() * 5 / 8);
    QWidget *sieve = w->list->find("TFormSitoSechi");
    ASSERT_NE(sieve, nullptr);
    openFromMenu("Справки", "Сито за сечите");
    ASSERT_TRUE(sieve->isVisible());
    const QRect frame = sieve->frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                           << frame.height();

    // Whole in sight: inside every widget it stands in, up to the window.
    auto whole = [sieve](QWidget *part) {
        for (QWidget *in = part->parentWidget(); in; in = in == sieve ? nullptr : in->parentWidget())
            if (!in->rect().contains(QRect(part->mapTo(in, QPoint(0, 0)), part->size()))) return false;
        return true;
    };
    for (QWidget *part : {static_cast<QWidget *>(sieve->findChild<QStatusBar *>()),
                          static_cast<QWidget *>(sieve->findChild<QTableView *>())}) {
        ASSERT_NE(part, nullptr);
        EXPECT_TRUE(whole(part)) << part->metaObject()->className() << " cut off in a window " << sieve->height()
                                 << " high";
    }
    // Each type list can be brought whole into sight, scrolled to where the window is
    // too low for all nine.
    auto *types = sieve->findChild<QScrollArea *>();
    for (int n = 1; n <= 9; ++n) {
        auto *list = sieve->findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(n));
        ASSERT_NE(list, nullptr);
        if (types) types->ensureWidgetVisible(list);
        EXPECT_TRUE(whole(list)) << "type list " << n << " cut off in a window " << sieve->height() << " high";
        EXPECT_GE(list->height(), list->minimumSizeHint().height()) << "type list " << n << " squeezed";
    }
}
