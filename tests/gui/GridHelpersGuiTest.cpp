// The grid copy commands on real views (hidden and moved columns, the current row, repaint
// suspension, the clipboard) and the progress window.
#include "core/GridModel.h"
#include "core/SafeFileWrite.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/TFormSitoRabotnoWait.h"


#include "QtTestApp.h"
#include "TestUtil.h"

#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTableView>

#include <gtest/gtest.h>

using namespace dx;

namespace {


// A grid model that notes whether its view was repainting while a cell text was read.
class WatchedGrid : public DataGridModel {
public:
    QWidget *view = nullptr;
    mutable int readsWhileRepainting = 0;
    mutable int reads = 0;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole && view) {
            ++reads;
            if (view->updatesEnabled())
                ++readsWhileRepainting;
        }
        return DataGridModel::data(index, role);
    }
};

// Seven rows: number, name, area shown to one decimal.
void fill(DataGridModel &grid)
{
    grid.setColumns({{"No"}, {QStringLiteral("Име")}, {"ha", "0.0"}});
    for (int i = 1; i <= 7; ++i)
        grid.appendRow({i, QStringLiteral("ред %1").arg(i), i * 1.5});
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

// A model that hands out its rows in pieces, as database query models do.
class LazyGrid : public QAbstractTableModel {
public:
    int total = 600;
    int fetched = 256;
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : fetched; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
    }
    bool canFetchMore(const QModelIndex &) const override { return fetched < total; }
    void fetchMore(const QModelIndex &) override
    {
        const int more = std::min(256, total - fetched);
        beginInsertRows({}, fetched, fetched + more - 1);
        fetched += more;
        endInsertRows();
    }
};

} // namespace

TEST(GridHelpersGui, CopyKeepsTheRowAndCopiesTheShownColumnsInTheirOrder)
{
    WatchedGrid grid;
    fill(grid);
    QTableView view;
    view.setModel(&grid);
    grid.view = &view;
    view.setColumnHidden(1, true);
    view.horizontalHeader()->moveSection(2, 0);       // area first, then the number
    view.setCurrentIndex(grid.index(4, 0));

    CopyGridToClipboard(&view, true, QStringLiteral("Списък"));

    EXPECT_EQ(clipboardText(), QStringLiteral("Списък\rha\tNo\r1.5\t1\r3.0\t2\r4.5\t3\r6.0\t4\r"
                                              "7.5\t5\r9.0\t6\r10.5\t7\r"));
    EXPECT_EQ(view.currentIndex().row(), 4);
    EXPECT_TRUE(view.updatesEnabled());
    EXPECT_GT(grid.reads, 0);
    EXPECT_EQ(grid.readsWhileRepainting, 0);
}

TEST(GridHelpersGui, SaveFailureStillRestoresTheView)
{
    DataGridModel grid;
    fill(grid);
    QTableView view;
    view.setModel(&grid);
    view.setCurrentIndex(grid.index(4, 1));
    dxtest::TempDir dir;

    EXPECT_THROW(SaveGridToTextFile(&view, true, ";", QString::fromStdString(dir.file("missing/x.txt"))),
                 FileWriteError);
    EXPECT_TRUE(view.updatesEnabled());
    EXPECT_EQ(view.currentIndex().row(), 4);

    view.setColumnHidden(0, true);
    const std::string path = dir.file("x.txt");
    SaveGridToTextFile(&view, false, ";", QString::fromStdString(path));
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 8);                        // seven lines and the empty rest
    EXPECT_EQ(lines.at(0), QByteArray("\xF0\xE5\xE4 1;1.5\r"));
    EXPECT_EQ(view.currentIndex().row(), 4);
}

TEST(GridHelpersGui, PlainAndTwoGridCopiesEndOnTheFirstRow)
{
    DataGridModel first, second;
    fill(first);
    second.setColumns({{"X"}});
    second.setRows({{"a"}, {"b"}, {"c"}});
    QTableView firstView, secondView;
    firstView.setModel(&first);
    secondView.setModel(&second);
    firstView.setColumnHidden(1, true);
    firstView.setCurrentIndex(first.index(5, 2));
    secondView.setCurrentIndex(second.index(2, 0));

    CopyPlainGridToClipboard(&firstView, "<<", ">>", false);
    EXPECT_TRUE(clipboardText().startsWith("<<1\t1.5\r2\t3.0\r"));
    EXPECT_TRUE(clipboardText().endsWith("7\t10.5\r>>"));
    EXPECT_EQ(firstView.currentIndex().row(), 0);
    EXPECT_EQ(firstView.currentIndex().column(), 2);
    EXPECT_TRUE(firstView.updatesEnabled());

    firstView.setCurrentIndex(first.index(6, 0));
    CopyTwoGridsToClipboard(&secondView, &firstView, true, QStringLiteral("второ"), QStringLiteral("първо"));
    EXPECT_TRUE(clipboardText().startsWith(QStringLiteral("първоX\ra\rb\rc\r\rвтороNo\tha\r1\t1.5\r")));
    EXPECT_EQ(firstView.currentIndex().row(), 0);
    EXPECT_EQ(secondView.currentIndex().row(), 0);
    EXPECT_TRUE(firstView.updatesEnabled());
    EXPECT_TRUE(secondView.updatesEnabled());
}

TEST(GridHelpersGui, EveryRowOfALazilyFilledModelIsCopied)
{
    LazyGrid grid;
    QTableView view;
    view.setModel(&grid);
    CopyGridToClipboard(&view, false, {});
    const QStringList rows = clipboardText().split('\r', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 600);
    EXPECT_EQ(rows.last(), "599");
}

TEST(GridHelpersGui, ProgressWindow)
{
    QWidget owner;                                     // in a corner: the window still centres on the screen
    owner.setGeometry(0, 0, 200, 120);
    owner.show();
    TFormSitoRabotnoWait wait(&owner);
    EXPECT_EQ(wait.windowTitle(), QStringLiteral("Моля изчакайте..."));
    EXPECT_EQ(wait.text(), QStringLiteral("Зареждане на данните..."));
    EXPECT_EQ(wait.maximum(), 35);
    EXPECT_EQ(wait.findChild<QProgressBar *>()->minimum(), 0);
    EXPECT_TRUE(wait.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(wait.cursor().shape(), Qt::WaitCursor);

    wait.start(QStringLiteral("Списък на отделите"), 3);
    EXPECT_TRUE(wait.isVisible());
    EXPECT_FALSE(wait.isModal());
    const QPoint offCentre = wait.frameGeometry().center() - wait.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);
    EXPECT_EQ(wait.findChild<QLabel *>()->text(), QStringLiteral("Списък на отделите"));
    EXPECT_EQ(wait.position(), 0);
    wait.step();
    wait.step();
    EXPECT_EQ(wait.position(), 2);
    wait.step();
    wait.step();                                       // past the end: the gauge stays full
    EXPECT_EQ(wait.position(), 3);
    wait.setRange(10);
    EXPECT_EQ(wait.position(), 3);
    wait.setRange(2);
    EXPECT_EQ(wait.position(), 2);
    wait.setPosition(1);
    EXPECT_EQ(wait.position(), 1);

    // Restarting begins at zero again.
    wait.start(QStringLiteral("Отново"), 5);
    EXPECT_EQ(wait.position(), 0);
    EXPECT_EQ(wait.maximum(), 5);
    wait.close();
}

TEST(GridHelpersGui, TitleWidthsFollowTheTitlesAndTheFont)
{
    DataGridModel model({{QStringLiteral("Запас|на 1 ха")}, {QStringLiteral("Запас|без клони")}, {"No"}});
    model.appendRow({1, 2, 3});
    std::unique_ptr<QTableView> grid(makeReadOnlyGrid(&model));
    QHeaderView *header = grid->horizontalHeader();
    const int first = header->sectionSizeHint(0);
    const int height = header->sizeHint().height();
    EXPECT_EQ(header->sectionSizeHint(0), first); // asked again, answered the same
    EXPECT_GT(header->sectionSizeHint(1), first); // "без клони" is longer

    // A longer title after new columns is measured anew.
    model.setColumns({{QStringLiteral("Запас|на 1 ха, куб.м и още")}, {"No"}});
    EXPECT_GT(header->sectionSizeHint(0), first);

    // A larger font gives larger titles at once.
    model.setColumns({{QStringLiteral("Запас|на 1 ха")}, {"No"}});
    EXPECT_EQ(header->sectionSizeHint(0), first);
    QFont big = header->font();
    big.setPointSizeF(big.pointSizeF() * 3);
    header->setFont(big);
    EXPECT_GT(header->sectionSizeHint(0), first * 2);
    EXPECT_GT(header->sizeHint().height(), height * 2);
}
