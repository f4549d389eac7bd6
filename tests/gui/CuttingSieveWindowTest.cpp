// The cuttings sieve's window on a demo installation, driven through its lists and menus:
// the lists reloaded at every show, the search command following the typed texts, a
// search and a narrower one, copy, save as .xlsx and .rtf, list print, the descriptions'
// print, showing a sub-compartment; and the same search through dendrix-cli.
#include "GuiFixtures.h"

#include "core/GridModel.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"
#include "printing/RecordingSink.h"
#include "sieves/TFormSieveWindows.h"
#include "widgets/GuiGridPrinter.h"
#include "widgets/GuiReportPrinter.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>

#include <sstream>

using namespace dx;
using C = TFormSitoSechi::Command;

namespace {

class CuttingSieveWindowTest : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo();
        win = qobject_cast<TFormSitoSechi *>(w->list->find("TFormSitoSechi"));
        ASSERT_TRUE(win);
        win->show();
    }
    bool enabled(C c) const { return win->command(c)->isEnabled(); }
    // Keys typed into a list's line, as the user types them.
    static void type(QComboBox *list, const QString &text)
    {
        list->setFocus();
        for (QChar c : text) {
            QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(list->lineEdit(), &e);
        }
    }
    QStringList gridLines() const
    {
        QStringList out;
        const DataGridModel &m = *win->model();
        for (int r = 0; r < m.rowCount(); ++r) out << m.displayText(r, 0) + "\t" + m.displayText(r, 1) + "\t" + m.displayText(r, 2);
        return out;
    }
    // The first enabled position and its first type.
    std::pair<int, QString> firstType() const
    {
        for (int n = 1; n <= kCuttingSlots; ++n)
            if (win->typeList(n)->isEnabled() && win->typeList(n)->count() > 0) return {n, win->typeList(n)->itemText(0)};
        return {0, QString()};
    }

    TFormSitoSechi *win = nullptr;
};

} // namespace

TEST_F(CuttingSieveWindowTest, ListsMatchTheProjectAndReloadAtEveryShow)
{
    EXPECT_EQ(win->windowTitle(), QStringLiteral("Сито за сечите"));
    Database &db = w->main->state().db;
    const QString table = w->main->state().projectTablePath;
    for (int n = 1; n <= kCuttingSlots; ++n) {
        const QueryResult r = db.execute(QStringLiteral("select count(*) from \"%1\" where SECH%2 <> \"-\"").arg(table).arg(n).toStdString());
        const bool any = r.rows.at(0).at(0).toInt() > 0;
        EXPECT_EQ(win->typeList(n)->isEnabled(), any) << n;
        EXPECT_EQ(win->typeLabel(n)->isEnabled(), any) << n;
        EXPECT_EQ(win->typeLabel(n)->text(), QStringLiteral("Сеч %1:").arg(n));
        EXPECT_TRUE(win->typeList(n)->currentText().isEmpty());
        for (int i = 0; i < win->typeList(n)->count(); ++i) EXPECT_NE(win->typeList(n)->itemText(i), QStringLiteral("-"));
    }
    for (C c : {C::Save, C::Preview, C::Print, C::PrintDescriptions, C::Copy, C::Show}) EXPECT_FALSE(enabled(c));
    EXPECT_TRUE(enabled(C::Search));
    EXPECT_TRUE(enabled(C::Clear));

    // A choice and a result; closed and opened again, both are gone.
    const auto [slot, type0] = firstType();
    ASSERT_GT(slot, 0);
    win->typeList(slot)->setCurrentIndex(0);
    win->command(C::Search)->trigger();
    ASSERT_GT(win->model()->rowCount(), 0);
    EXPECT_TRUE(enabled(C::Copy));
    win->hide();
    // A new type in the project's last position shows on the next opening.
    {
        Table t(db);
        t.setPath(table.toStdString());
        t.open();
        t.first();
        t.edit();
        t.setValue("SECH9", Value::fromText("НОВА"));
        t.post();
        t.close();
    }
    win->show();
    EXPECT_TRUE(win->typeList(slot)->currentText().isEmpty());
    EXPECT_EQ(win->model()->rowCount(), 0);
    EXPECT_FALSE(enabled(C::Copy));
    EXPECT_TRUE(win->statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(win->typeList(9)->isEnabled());
    EXPECT_NE(win->typeList(9)->findText(QStringLiteral("НОВА")), -1);
}

TEST_F(CuttingSieveWindowTest, TypingFollowsTheSearchCommandAndASearchFillsGridStatusAndCopy)
{
    const auto [slot, type0] = firstType();
    ASSERT_GT(slot, 0);
    type(win->typeList(slot), QStringLiteral("x"));
    EXPECT_TRUE(enabled(C::Search));
    win->typeList(slot)->lineEdit()->clear(); // the user empties the only text
    EXPECT_FALSE(enabled(C::Search));
    win->command(C::Search)->trigger(); // disabled: nothing happens
    EXPECT_EQ(win->model()->rowCount(), 0);

    type(win->typeList(slot), type0);
    EXPECT_TRUE(enabled(C::Search));
    win->command(C::Search)->trigger();
    ASSERT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    const int rows = win->model()->rowCount();
    ASSERT_GT(rows, 0);
    EXPECT_EQ(win->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("отдел"));
    EXPECT_EQ(win->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("площ (ха)"));
    EXPECT_GE(win->grid()->columnWidth(1), 60);
    EXPECT_GE(win->grid()->columnWidth(1), win->grid()->horizontalHeader()->sectionSizeHint(1));
    const QString status = win->statusBar()->currentMessage();
    EXPECT_TRUE(status.startsWith(QStringLiteral("подотдели: %1, площ: ").arg(rows))) << status.toStdString();
    for (C c : {C::Save, C::Preview, C::Print, C::PrintDescriptions, C::Copy, C::Show}) EXPECT_TRUE(enabled(c));

    const AppState &s = w->main->state();
    win->command(C::Copy)->trigger();
    const QString heading = QStringLiteral("Сито за сечите - %1 %2\r\n\r\nвид сеч: %3\r\n\r\nотдел\tподотдел\tплощ\r\n\r")
                                .arg(s.title, s.year, type0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              heading + gridLines().join("\r") + "\r\r\nОБЩО: " + status + "\r\n\r\n" + s.contactLine);
    EXPECT_EQ(win->sieve().heading(), QStringLiteral("Сито за сечите - %1 %2\r\n\r\nвид сеч: %3\r\n").arg(s.title, s.year, type0) + status);

    // Clearing empties the lists, the grid and the status; the search command stays.
    win->command(C::Clear)->trigger();
    EXPECT_TRUE(win->typeList(slot)->currentText().isEmpty());
    EXPECT_EQ(win->model()->rowCount(), 0);
    EXPECT_TRUE(win->statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(enabled(C::Search));
    EXPECT_FALSE(enabled(C::Copy));

    // A type nobody has: an empty result, its status, the result commands off.
    type(win->typeList(slot), QStringLiteral("няма \"такава\""));
    win->command(C::Search)->trigger();
    EXPECT_TRUE(w->messages.isEmpty());
    EXPECT_EQ(win->model()->rowCount(), 0);
    EXPECT_EQ(win->statusBar()->currentMessage(), QStringLiteral("подотдели: 0, площ: 0 ха"));
    EXPECT_FALSE(enabled(C::Copy));
}

TEST_F(CuttingSieveWindowTest, SavePrintDescriptionsAndShowWorkOnTheListedRows)
{
    const auto [slot, type0] = firstType();
    win->typeList(slot)->setCurrentIndex(0);
    win->command(C::Search)->trigger();
    const int rows = win->model()->rowCount();
    ASSERT_GT(rows, 0);

    // Saved with either filter, the extension added; cancelled: nothing written.
    std::optional<std::pair<QString, int>> answer;
    win->setSaveDialogHook([&] { return answer; });
    win->command(C::Save)->trigger();
    answer = std::make_pair(QString::fromStdString(dir.file("list")), 0);
    win->command(C::Save)->trigger();
    answer = std::make_pair(QString::fromStdString(dir.file("list")), 1);
    win->command(C::Save)->trigger();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("list"))));
    EXPECT_GT(QFile(QString::fromStdString(dir.file("list.xlsx"))).size(), 0);
    QFile rtf(QString::fromStdString(dir.file("list.rtf")));
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    const QByteArray rtfText = rtf.readAll();
    EXPECT_TRUE(rtfText.startsWith("{\\rtf1"));

    // The list's print: the heading on top, the contact line below, portrait, 2 mm.
    QStringList seen;
    win->setPrintHook([&](GridPrinter &p, bool preview) {
        const GridPrintOptions &o = p.options();
        const QMarginsF m = o.pageLayout.margins(QPageLayout::Millimeter);
        seen << QString("%1|%2|%3|%4|%5").arg(int(preview)).arg(o.header, o.footerLeft)
                    .arg(int(o.pageLayout.orientation() == QPageLayout::Portrait)).arg(m.left());
    });
    win->command(C::Preview)->trigger();
    win->command(C::Print)->trigger();
    const AppState &s = w->main->state();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], QString("1|%1|%2|1|2").arg(win->sieve().heading(), s.contactLine));
    EXPECT_TRUE(seen[1].startsWith("0|"));

    // The descriptions: asked with the row count; Cancel prints nothing, OK every row.
    dxtest::RecordingSink sink;
    ReportPrinter::instance().setSinkFactory([&sink] { return std::make_unique<dxtest::ForwardingSink>(sink); });
    QStringList asked;
    bool ok = false;
    w->list->messages.setAskHook([&](const UserMessage &m) {
        asked << m.caption + "|" + m.text;
        return ok;
    });
    win->command(C::PrintDescriptions)->trigger();
    EXPECT_EQ(sink.pageCount(), 0);
    ok = true;
    win->command(C::PrintDescriptions)->trigger();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1], QStringLiteral("Печат на описания|Действително ли желаете да отпечатите %1 %2 таксационни описания?")
                            .arg(rows).arg(rows == 1 ? "брой" : "броя"));
    EXPECT_EQ(int(sink.jobs.size()), rows);
    ReportPrinter::instance().setSinkFactory({});
    w->list->messages.setAskHook({});

    // The current row shown in the main window.
    const int row = rows - 1;
    win->grid()->selectRow(row);
    win->command(C::Show)->trigger();
    const QString key = "[" + win->model()->displayText(row, 0) + ":" + win->model()->displayText(row, 1) + "]";
    EXPECT_TRUE(w->main->windowTitle().endsWith(key)) << w->main->windowTitle().toStdString();
}

TEST_F(CuttingSieveWindowTest, WindowAndCommandLineShowTheSameList)
{
    // Two positions, where the demo has them, else one.
    QStringList args;
    int chosen = 0;
    for (int n = 1; n <= kCuttingSlots && chosen < 2; ++n) {
        QComboBox *list = win->typeList(n);
        if (!list->isEnabled() || list->count() == 0) continue;
        list->setCurrentIndex(list->count() - 1);
        args << QStringLiteral("'сеч %1=%2'").arg(n).arg(list->currentText());
        ++chosen;
    }
    ASSERT_GT(chosen, 0);
    win->command(C::Search)->trigger();
    const dxtest::CliRun r = dxtest::runCli("-C '" + dir.path() + "' cuttings-sieve " + args.join(' ').toStdString());
    ASSERT_EQ(r.status, 0) << r.out;
    QStringList expected = {QStringLiteral("отдел\tподотдел\tплощ (ха)")};
    expected << gridLines() << win->statusBar()->currentMessage();
    EXPECT_EQ(QString::fromStdString(r.out), expected.join('\n') + '\n');

    // Nothing chosen, or a key that is no position.
    EXPECT_EQ(dxtest::runCli("-C '" + dir.path() + "' cuttings-sieve").status, 1);
    EXPECT_EQ(dxtest::runCli("-C '" + dir.path() + "' cuttings-sieve 'сеч 10=ГС'").status, 2);
}
