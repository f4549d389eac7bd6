// The page "Мероприятия" typed into as a user types: keys into the cell editors, Tab and
// Shift+Tab between cells, the buttons; afterwards the grids and mervs.dbf / merzl.dbf
// (read back through the engine) must agree and hold everything typed that fits.
#include "GuiFixtures.h"

#include "description/GuiMeasuresPage.h"
#include "description/MeasuresModel.h"
#include "engine/dbf/DbfFile.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

using dxtest::Windows;

class MeasuresPage : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo();
        ASSERT_FALSE(HasFatalFailure());
        // Keys go to the focus widget of the active window: the main window, not the
        // wait window shown and hidden while loading.
        w->main->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == w->main.get(); }));
        w->main->pages()->setCurrentIndex(2);
        page = w->main->measuresPage();
        page->setConfirm([] { return true; });
        cuttings = page->cuttingsGrid();
        afforestation = page->afforestationGrid();
    }
    void click(const QString &caption)
    {
        for (QPushButton *b : page->findChildren<QPushButton *>())
            if (b->text() == caption) return QTest::mouseClick(b, Qt::LeftButton);
        FAIL() << "no button " << caption.toStdString();
    }
    // The widget the keys go to: an open cell editor (for a pick list, its combo).
    QWidget *typing() const { return QApplication::focusWidget(); }
    // Keys go through the window, as the window system delivers them, to the focus widget.
    void key(Qt::Key code, const QString &text, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::sendKeyEvent(QTest::Click, w->main->windowHandle(), code, text, mods);
    }
    void type(const QString &text)
    {
        for (QChar ch : text) key(Qt::Key(ch.toUpper().unicode()), QString(ch));
    }
    // Shift+Tab arrives as Backtab, as the window system sends it.
    void tab(bool back = false)
    {
        if (back) key(Qt::Key_Backtab, QString(), Qt::ShiftModifier);
        else key(Qt::Key_Tab, QStringLiteral("\t"));
    }
    // Whether the keys go to an editor inside `grid` (a pick list: its combo's line edit).
    QComboBox *pickListEditor(QTableView *grid) const
    {
        QWidget *f = typing();
        auto *box = qobject_cast<QComboBox *>(f);
        if (!box && f) box = qobject_cast<QComboBox *>(f->parentWidget());
        return box && grid->isAncestorOf(box) ? box : nullptr;
    }
    bool plainEditor(QTableView *grid) const
    {
        QWidget *f = typing();
        return qobject_cast<QLineEdit *>(f) && !pickListEditor(grid) && grid->isAncestorOf(f);
    }
    QString shown(QTableView *grid, int row, int col) const
    {
        return grid->model()->data(grid->model()->index(row, col)).toString();
    }
    // The current cell as "row,column".
    static QString at(QTableView *grid)
    {
        return QStringLiteral("%1,%2").arg(grid->currentIndex().row()).arg(grid->currentIndex().column());
    }
    // The file's rows as the engine reads them: the given fields joined by "|".
    QStringList fileRows(const char *name, const std::vector<std::string> &fields) const
    {
        auto t = dx::dbf::read(dir.file(name));
        QStringList rows;
        for (size_t r = 0; r < t->rowCount(); ++r) {
            QStringList cells;
            for (const std::string &f : fields)
                cells << QString::fromStdString(t->value(r, size_t(t->fieldIndex(f))).toText());
            rows << cells.join("|");
        }
        return rows;
    }
    QStringList cuttingRows() const { return fileRows("mervs.dbf", {"VIDSECH", "GODINA", "STOQSHTA", "KEY"}); }

    dx::MeasuresPage *page = nullptr;
    QTableView *cuttings = nullptr;
    QTableView *afforestation = nullptr;
};

} // namespace

TEST_F(MeasuresPage, TabAndShiftTabMoveThroughPickListAndPlainCells)
{
    click("Добави");
    ASSERT_NE(pickListEditor(cuttings), nullptr);
    type("прореждане");
    tab();
    EXPECT_EQ(at(cuttings), "0,1");
    ASSERT_TRUE(plainEditor(cuttings));
    type("2024");
    tab();
    type("15");
    tab(true); // the amount is committed on the way back
    tab(true);
    EXPECT_EQ(at(cuttings), "0,0");
    ASSERT_NE(pickListEditor(cuttings), nullptr);
    EXPECT_EQ(pickListEditor(cuttings)->currentText(), "прореждане");
    EXPECT_EQ(cuttingRows(), QStringList{"прореждане|2024|15|1:а"});

    // "Вмъкни" before the first row: once posted the row goes to the end of the file and
    // of the grid, and Tab goes on in that row.
    click("Вмъкни");
    EXPECT_EQ(at(cuttings), "0,0");
    type("гола сеч");
    tab();
    EXPECT_EQ(at(cuttings), "1,1");
    ASSERT_TRUE(plainEditor(cuttings));
    type("2030");
    tab();
    EXPECT_EQ(at(cuttings), "1,2");
    EXPECT_EQ(cuttingRows(), (QStringList{"прореждане|2024|15|1:а", "гола сеч|2030||1:а"}));
    EXPECT_EQ(shown(cuttings, 1, 0), "гола сеч");

    // The afforestation grid has a pick list in the middle of the row.
    QTest::mouseClick(afforestation->viewport(), Qt::LeftButton);
    click("Добави");
    type("залесяване");
    tab();
    type("2026");
    tab();
    QComboBox *species = pickListEditor(afforestation); // "дървесен вид"
    ASSERT_NE(species, nullptr);
    type("бк");
    // Keys handed straight to the combo's own line edit (as input methods do) as well.
    QTest::keyClick(species->lineEdit(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(at(afforestation), "0,1");
    tab();
    tab();
    EXPECT_EQ(at(afforestation), "0,3");
    EXPECT_EQ(fileRows("merzl.dbf", {"NASOKI", "GODINA", "DV", "KEY"}), QStringList{"залесяване|2026|бк|1:а"});
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
}

TEST_F(MeasuresPage, PickListsOpenAsWideAsTheirLongestEntry)
{
    for (QTableView *grid : {cuttings, afforestation}) {
        grid->setFocus();
        click("Добави");
        QComboBox *box = pickListEditor(grid);
        ASSERT_NE(box, nullptr);
        int widest = 0;
        for (int i = 0; i < box->count(); ++i)
            widest = std::max(widest, box->view()->fontMetrics().horizontalAdvance(box->itemText(i)));
        EXPECT_LT(box->width(), widest); // the column is narrower than its longest entry
        box->showPopup();
        EXPECT_GE(box->view()->viewport()->width(), widest);
        box->hidePopup();
    }
}

TEST_F(MeasuresPage, ColumnsFitTheirTitleInBold)
{
    for (QTableView *grid : {cuttings, afforestation}) {
        QHeaderView *header = grid->horizontalHeader();
        QFont bold = header->font();
        bold.setBold(true);
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            const QString title = grid->model()->headerData(c, Qt::Horizontal).toString();
            const int least = 9 * int(title.size()) + (title == "забележка" ? 20 : 0);
            EXPECT_GE(header->sectionSize(c), least) << title.toStdString();
            EXPECT_GE(header->sectionSize(c), QFontMetrics(bold).horizontalAdvance(title) + margins)
                << title.toStdString();
        }
    }
}

TEST_F(MeasuresPage, EditorsStopAtTheFieldWidthAndLoseNothing)
{
    click("Добави");
    const QString kind(40, QChar(0x044E)); // longer than the 30 of "вид сеч:"
    type(kind);
    tab();
    type("20x2-4"); // only digits and a sign get in
    tab();
    type("123456789012"); // ten digits fit the field
    tab();
    cuttings->setCurrentIndex(cuttings->model()->index(0, 10)); // the remark, 254 wide
    ASSERT_TRUE(plainEditor(cuttings));
    QString note;
    for (int i = 0; note.size() < 300; ++i) note += QStringLiteral("бележка-%1,").arg(i);
    type(note);
    tab();
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    EXPECT_EQ(cuttingRows(), QStringList{kind.left(30) + "|2024|1234567890|1:а"});
    EXPECT_EQ(fileRows("mervs.dbf", {"ZABELEJKA"}), QStringList{note.left(254)});
    EXPECT_EQ(shown(cuttings, 0, 10), note.left(254));

    // The afforestation scheme: ten characters.
    QTest::mouseClick(afforestation->viewport(), Qt::LeftButton);
    click("Добави");
    afforestation->setCurrentIndex(afforestation->model()->index(0, 4));
    type("2x2,3x3,4x4 м");
    tab();
    EXPECT_EQ(fileRows("merzl.dbf", {"SHEMA", "KEY"}), QStringList{"2x2,3x3,4x|1:а"});
}

TEST_F(MeasuresPage, ARowForAnotherAddressIsRefusedWithoutCrashOrHalfRow)
{
    // The lists name another sub-compartment than the one the grids show.
    page->setKeySource([] { return QStringLiteral("2:в"); });
    click("Добави");
    QComboBox *box = pickListEditor(cuttings);
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(box->findText("санитарна сеч"));
    try {
        tab();
    } catch (const std::exception &e) {
        FAIL() << "escaped: " << e.what();
    }
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].contains("2:в")) << w->messages[0].toStdString();
    EXPECT_TRUE(cuttingRows().isEmpty()) << cuttingRows().join("\n").toStdString();
    // What was picked is kept, to be posted once the address is right.
    ASSERT_EQ(cuttings->model()->rowCount(), 1);
    EXPECT_EQ(shown(cuttings, 0, 0), "санитарна сеч");
    page->setKeySource([this] { return w->main->measuresKey(); });
    click("Запис");
    EXPECT_EQ(cuttingRows(), QStringList{"санитарна сеч|||1:а"});

    // A row of the file is not moved away under the other address either.
    page->setKeySource([] { return QStringLiteral("2:в"); });
    cuttings->setCurrentIndex(cuttings->model()->index(0, 1));
    type("2027");
    tab();
    EXPECT_EQ(w->messages.size(), 2);
    EXPECT_EQ(cuttingRows(), QStringList{"санитарна сеч|||1:а"});
    EXPECT_EQ(shown(cuttings, 0, 1), "");
    click("Изтрий"); // deleting needs no address
    EXPECT_TRUE(cuttingRows().isEmpty());
    EXPECT_EQ(cuttings->model()->rowCount(), 0);
}
