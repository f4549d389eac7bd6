// The working sieve as the user drives it: the criteria and their lists, the progress
// window while they load, the run and its result commands, and the saved sieves.
#include "WorkingSieveFixture.h"

#include "core/ProfileFile.h"
#include "engine/sql/Table.h"
#include "widgets/TFormSitoRabotnoWait.h"
#include "sieves/SieveFile.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTableView>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

using namespace dx;
using dxtest::WorkingSieveTest;
using I = CriterionId;
using C = TFormSitoRabotno::Command;

namespace {

struct Expected {
    QStringList keys; // "OTD:PODOTD" in table order
    double area = 0;
};

// The sub-compartments of the project table whose text field equals `value`, read
// record by record through a table object (not through the sieve's statement).
Expected scan(AppState &state, const char *field, const QString &value)
{
    Table t(state.db);
    t.setPath(ss(state.projectTablePath));
    t.open();
    Expected e;
    for (t.first(); !t.eof(); t.next()) {
        if (qs(t.asText(field)) != value) continue;
        e.keys << qs(t.asText("OTD")) + ":" + qs(t.asText("PODOTD"));
        e.area += t.asReal("PL");
    }
    return e;
}

// The titles of the columns the column-choice window has ticked.
QString chosenTitles(const TFormSitoRabotnoSetting &setting, const QString &separator)
{
    QStringList titles;
    for (int i : setting.choice()) titles << sieveFieldTable()[size_t(i)].caption;
    return titles.join(separator);
}

// How strongly a picture stands out from a plain background of colour `ground`: the mean
// difference of lightness, 0..255, of the picture laid over it.
double standOut(const QImage &picture, const QColor &ground)
{
    QImage laid(picture.size(), QImage::Format_ARGB32);
    laid.fill(ground);
    QPainter p(&laid);
    p.drawImage(0, 0, picture);
    p.end();
    double sum = 0;
    for (int y = 0; y < laid.height(); ++y)
        for (int x = 0; x < laid.width(); ++x) sum += std::abs(qGray(laid.pixel(x, y)) - qGray(ground.rgb()));
    return sum / (laid.width() * laid.height());
}

QStringList gridKeys(const DataGridModel &m)
{
    QStringList keys;
    for (int r = 0; r < m.rowCount(); ++r) keys << m.displayText(r, 0) + ":" + m.displayText(r, 1);
    return keys;
}

} // namespace

TEST_F(WorkingSieveTest, CriteriaStandInTableOrderWithTheirColours)
{
    EXPECT_EQ(sieve->windowTitle(), "Сито работно");
    // 700 by 500 at least, unless it opened smaller to leave the main window's header in
    // sight on a low screen (the placement tests show both cases).
    EXPECT_EQ(sieve->minimumSize(), QSize(700, 500).boundedTo(sieve->size()));
    for (const SieveCriterion &c : sieveCriteria()) {
        EXPECT_EQ(sieve->criterionLabel(c.id)->text(), c.label);
        EXPECT_EQ(sieve->criterionLabel(c.id)->palette().color(QPalette::WindowText), c.labelColour);
        const bool list = c.kind != CriterionKind::Range && c.kind != CriterionKind::Cutting;
        EXPECT_EQ(sieve->pickList(c.id) != nullptr, list) << c.label.toStdString();
        EXPECT_EQ(sieve->opener(c.id) != nullptr, !list);
    }
    EXPECT_EQ(sieveCriterion(I::StopKlas).labelColour, QColor(0, 128, 0));
    EXPECT_EQ(sieveCriterion(I::Systoianie).labelColour, QColor(128, 0, 0));
    // Nothing to act on before a run.
    for (C c : {C::Copy, C::Print, C::SaveCriteria, C::Export, C::Show}) EXPECT_FALSE(enabled(c));
    for (C c : {C::Run, C::New, C::Preview, C::OpenCriteria}) EXPECT_TRUE(enabled(c));
    QStringList hints;
    for (QAction *a : sieve->toolBar()->actions()) hints << a->toolTip();
    EXPECT_EQ(hints.join("|"), "Изпълни справката|Нов филтър|Копирай списъка|Изглед преди печат|Печат|Запиши филтър|"
                               "Отвори филтъл|Експорт на филтрираните данни|Покажи избрания подотдел");
}

TEST_F(WorkingSieveTest, ListsLoadWithTheProgressWindowAfterEachShowOfTheMainWindow)
{
    EXPECT_TRUE(state().workingSieveLoaded);
    QStringList sk;
    for (int i = 0; i < sieve->pickList(I::StopKlas)->count(); ++i) sk << sieve->pickList(I::StopKlas)->itemText(i);
    EXPECT_FALSE(sk.isEmpty());
    EXPECT_FALSE(sk.contains("-"));
    EXPECT_FALSE(sk.contains("0"));
    EXPECT_TRUE(sieve->pickList(I::StopKlas)->currentText().isEmpty());
    // The land areas are the names of the land-area table.
    ASSERT_TRUE(state().landArea.active());
    EXPECT_EQ(sieve->pickList(I::Zeml)->itemText(0).toStdString(), [&] {
        state().landArea.first();
        return state().landArea.asText("ZEMNAME");
    }());

    // Shown again without a show of the main window: the lists and texts stay.
    set(I::StopKlas, "въведено");
    sieve->hide();
    sieve->show();
    EXPECT_EQ(sieve->pickList(I::StopKlas)->currentText(), "въведено");

    // A show of the main window marks them stale: the next opening loads them again,
    // emptying the texts, with the gauge running 0..35.
    auto *wait = w->list->wait;
    QList<int> steps;
    QObject::connect(wait->findChild<QProgressBar *>(), &QProgressBar::valueChanged, [&](int v) { steps << v; });
    sieve->hide();
    w->main->hide();
    w->main->show();
    EXPECT_FALSE(state().workingSieveLoaded);
    sieve->show();
    EXPECT_TRUE(state().workingSieveLoaded);
    EXPECT_TRUE(sieve->pickList(I::StopKlas)->currentText().isEmpty());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(wait->text(), "Зареждане на данните...");
    EXPECT_EQ(wait->maximum(), 35);
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(steps.last(), 35);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    for (int s : {1, 9, 13, 14, 15, 17, 18, 34}) EXPECT_TRUE(steps.contains(s)) << s;
}

TEST_F(WorkingSieveTest, RunListsTheMatchingSubCompartmentsWithCountAndArea)
{
    const QString klas = sieve->pickList(I::StopKlas)->itemText(0);
    set(I::StopKlas, klas);
    run();
    ASSERT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    const Expected e = scan(state(), "STOP_KLAS", klas);
    ASSERT_FALSE(e.keys.isEmpty());
    const DataGridModel &m = *sieve->model();
    EXPECT_EQ(gridKeys(m), e.keys);
    EXPECT_TRUE(chosenTitles(*setting, "|").startsWith("отдел|подотдел|площ|"));
    EXPECT_EQ(gridTitleLine(m, "|"), chosenTitles(*setting, "|"));
    EXPECT_EQ(sieve->resultLabel()->text(),
              QString("подотдели: %1, площ: %2 ха").arg(e.keys.size()).arg(QString::number(e.area, 'f', 2)));
    EXPECT_EQ(sieve->selection(), "STOP_KLAS=\"" + klas + "\"");
    EXPECT_TRUE(sieve->heading().startsWith("Работно сито - ДГС Банско 2019\r\n\r\nфилтър: стопански клас: " + klas +
                                            "\r\nОБЩО: подотдели: "));
    EXPECT_EQ(sieve->grid()->currentIndex().row(), m.rowCount() - 1);
    EXPECT_EQ(sieve->grid()->columnWidth(0), 50);
    EXPECT_EQ(sieve->grid()->columnWidth(2), 70);
    for (C c : {C::Copy, C::Print, C::SaveCriteria, C::Export, C::Show}) EXPECT_TRUE(enabled(c));

    // Nothing matches: an empty list, the commands on it disabled but export.
    set(I::StopKlas, "няма такъв");
    run();
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(sieve->resultLabel()->text(), "подотдели: 0, площ: 0 ха");
    for (C c : {C::Copy, C::Print, C::SaveCriteria, C::Show}) EXPECT_FALSE(enabled(c));
    EXPECT_TRUE(enabled(C::Export));
    EXPECT_TRUE(enabled(C::Preview));
    EXPECT_TRUE(w->messages.isEmpty());
}

TEST_F(WorkingSieveTest, RunRefusesNoCriterionAndIncorrectData)
{
    run();
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_EQ(w->messages[0], "Работно сито|Няма зададени критерий по които да се извърши търсенето!");
    EXPECT_EQ(sieve->resultLabel()->text(), "подотдели: 0, площ 0.0 ха");

    set(I::Gsu, "1");
    run();
    const QString label = sieve->resultLabel()->text();
    ASSERT_TRUE(label.startsWith("подотдели: ")) << label.toStdString();
    set(I::Gsu, "1 or 1=1");
    run();
    ASSERT_EQ(w->messages.size(), 2);
    EXPECT_EQ(w->messages[1], "Работно сито|Зададени са некоректни данни за критерий! select " +
                                  sieveColumnList(setting->choice()) + " from \"" +
                                  state().projectTablePath + "\" where GSU=1 or 1=1");
    EXPECT_EQ(sieve->resultLabel()->text(), label);
    EXPECT_EQ(sieve->model()->rowCount(), 0);
    EXPECT_FALSE(enabled(C::Copy));

    // A quote in a text criterion is matched as a quote, not run as part of the statement.
    set(I::Gsu, "");
    set(I::StopKlas, "x\" or \"1\"=\"1");
    run();
    EXPECT_EQ(w->messages.size(), 2);
    EXPECT_EQ(sieve->resultLabel()->text(), "подотдели: 0, площ: 0 ха");
}

TEST_F(WorkingSieveTest, GridAndLabelMatchTheCommandLineRunOfTheSameSieve)
{
    const std::string cli = DX_CLI_PATH;
    if (!QFile::exists(QString::fromStdString(cli))) GTEST_SKIP() << "dendrix-cli is not built";
    set(I::Gsu, "2");
    ASSERT_TRUE(sieve->SaveSito(path("s.drf")));
    run();
    const DataGridModel &m = *sieve->model();
    ASSERT_GT(m.rowCount(), 0);
    QString shown = gridTitleLine(m, "\t") + "\n";
    for (int r = 0; r < m.rowCount(); ++r) shown += gridRowText(m, r, "\t") + "\n";
    shown += sieve->resultLabel()->text() + "\n";
    const dxtest::CliRun out = dxtest::runCli("-C '" + dir.path() + "' sieve '" + dir.file("s.drf") + "'");
    ASSERT_EQ(out.status, 0);
    EXPECT_EQ(QString::fromStdString(out.out), shown);
}

TEST_F(WorkingSieveTest, CopyPutsTheHeadingTitlesAndRowsOnTheClipboard)
{
    const QString klas = sieve->pickList(I::StopKlas)->itemText(1);
    set(I::StopKlas, klas);
    run();
    const DataGridModel &m = *sieve->model();
    ASSERT_GT(m.rowCount(), 1);
    sieve->grid()->setCurrentIndex(m.index(0, 0));
    sieve->command(C::Copy)->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    const QStringList lines = text.split('\r');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], "Работно сито - ДГС Банско 2019");
    EXPECT_EQ(lines[1], "\n");
    EXPECT_EQ(lines[2], "\nфилтър: стопански клас: " + klas);
    EXPECT_EQ(lines[3], "\nОБЩО: " + sieve->resultLabel()->text());
    EXPECT_EQ(lines[4], "\n");
    EXPECT_EQ(lines[5], chosenTitles(*setting, "\t"));
    EXPECT_EQ(lines[6], gridRowText(m, 0, "\t"));
    EXPECT_EQ(lines.size(), 6 + m.rowCount() + 1);
    EXPECT_EQ(sieve->grid()->currentIndex().row(), 0);
}

TEST_F(WorkingSieveTest, DoubleClickAndShowButtonShowTheSubCompartmentInTheMainWindow)
{
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    const DataGridModel &m = *sieve->model();
    ASSERT_GT(m.rowCount(), 2);
    const int row = m.rowCount() / 2;
    const QString key = "[" + m.displayText(row, 0) + ":" + m.displayText(row, 1) + "]";
    doubleClickRow(sieve->grid(), row);
    EXPECT_TRUE(w->main->windowTitle().endsWith(key)) << w->main->windowTitle().toStdString();
    EXPECT_EQ(state().lists.subCompartmentText, m.displayText(row, 1));

    sieve->grid()->selectRow(0);
    sieve->command(C::Show)->trigger();
    EXPECT_TRUE(w->main->windowTitle().endsWith("[" + m.displayText(0, 0) + ":" + m.displayText(0, 1) + "]"));

    // An empty result: nothing happens.
    const QString caption = w->main->windowTitle();
    set(I::StopKlas, "няма такъв");
    run();
    doubleClick(sieve->grid()->viewport(), QPoint(20, 10));
    sieve->DBGrid1DblClick();
    EXPECT_EQ(w->main->windowTitle(), caption);
    EXPECT_TRUE(w->messages.isEmpty());
}

TEST_F(WorkingSieveTest, PrintAndPreviewGiveTheGridPrinterTheHeadingAndFooters)
{
    QStringList seen;
    QString pdf = path("list.pdf");
    sieve->setPrintHook([&](GridPrinter &p, bool preview) {
        const GridPrintOptions &o = p.options();
        seen << QString("%1|%2|%3|%4|%5").arg(int(preview)).arg(o.header, o.footerLeft, o.footerRight)
                    .arg(int(o.pageLayout.orientation() == QPageLayout::Landscape));
        if (!preview) p.printToPdf(pdf);
    });
    // Before any run the page header is empty.
    sieve->command(C::Preview)->trigger();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], "1||" + state().contactLine + "|стр. &[Page] от &[Pages]|1");

    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    sieve->command(C::Print)->trigger();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[1], "0|" + sieve->heading() + "|" + state().contactLine + "|стр. &[Page] от &[Pages]|1");
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

TEST_F(WorkingSieveTest, ListIsSavedAsXlsxOrRtfUnderTheNameTheFilterAsks)
{
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    auto head = [](const QString &file, int n) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
    };
    choose(path("list.XLS"), 0);
    sieve->saveList();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].filter, "Microsoft Excel (*.xlsx)|*.xlsx|Rich Text Format (*.rtf)|*.rtf");
    EXPECT_EQ(head(path("list.XLS.xlsx"), 2), "PK");
    EXPECT_FALSE(QFile::exists(path("list.XLS")));

    choose(path("kept.xlsx"), 0);
    sieve->saveList();
    EXPECT_EQ(head(path("kept.xlsx"), 2), "PK");

    choose(path("list"), 1);
    sieve->saveList();
    const QByteArray rtf = head(path("list.rtf"), 1 << 20);
    EXPECT_TRUE(rtf.startsWith("{\\rtf"));
    EXPECT_GT(rtf.size(), 200);

    // Cancelled: nothing written, no message.
    answer.reset();
    sieve->saveList();
    EXPECT_TRUE(w->messages.isEmpty());

    // A folder that does not exist: a message naming the file, nothing else happens.
    choose(path("missing/list.xlsx"), 0);
    sieve->saveList();
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].contains("missing/list.xlsx"));
}

TEST_F(WorkingSieveTest, SavedSieveRoundTripThroughTheWindow)
{
    // Saving criteria is one of the commands on a result.
    EXPECT_FALSE(enabled(C::SaveCriteria));
    set(I::StopKlas, "смърчово");
    run();
    ASSERT_TRUE(enabled(C::SaveCriteria));
    set(I::Gsu, "12");
    set(I::Zeml, sieve->pickList(I::Zeml)->itemText(0));
    sieve->criterionField(I::Age)->setText("от 20 до 40");
    SieveCriteria withCutting = sieve->criteria();
    withCutting.cuttingSlots[2] = "санитарна сеч";
    sieve->setCriteria(withCutting);
    choose(path("saved"));
    sieve->command(C::SaveCriteria)->trigger();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].filter, "*.drf (Dendrix Filter)|*.drf");
    EXPECT_EQ(requests[0].defaultSuffix, "drf");
    const ProfileFile file = ProfileFile::load(path("saved"));
    EXPECT_EQ(file.readString("Dendrix Filter", "землище"), "12");
    EXPECT_EQ(file.readString("Dendrix Filter", "сеч 3"), "санитарна сеч");

    sieve->command(C::New)->trigger();
    EXPECT_EQ(sieve->criteria(), SieveCriteria());
    EXPECT_FALSE(enabled(C::SaveCriteria));
    const QString otherArea = sieve->pickList(I::Zeml)->itemText(1);
    set(I::Zeml, otherArea);

    choose(path("saved"));
    sieve->command(C::OpenCriteria)->trigger();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_FALSE(requests[1].save);
    EXPECT_EQ(requests[1].title, "Зареждане на запазени критерий...");
    EXPECT_EQ(sieve->pickList(I::StopKlas)->currentText(), "смърчово");
    EXPECT_EQ(sieve->pickList(I::Gsu)->currentText(), "12");
    EXPECT_EQ(sieve->pickList(I::Zeml)->currentText(), otherArea);
    EXPECT_EQ(sieve->criterionField(I::Age)->text(), "от 20 до 40");
    EXPECT_EQ(sieve->criterionField(I::Cutting)->text(), "санитарна сеч");
    // The restored range and cutting slot take part in the next run without their windows.
    set(I::Zeml, "");
    set(I::StopKlas, "");
    set(I::Gsu, "");
    run();
    EXPECT_TRUE(sieve->selection().startsWith("((A1>=20 and A1<=40) or (A2>=20 and A2<=40)"));
    EXPECT_TRUE(sieve->selection().endsWith(" and SECH3=\"санитарна сеч\""));

    // A file that does not exist empties every criterion but the land area.
    set(I::Zeml, otherArea);
    choose(path("none.drf"));
    sieve->command(C::OpenCriteria)->trigger();
    SieveCriteria onlyArea;
    onlyArea[I::Zeml] = otherArea;
    EXPECT_EQ(sieve->criteria(), onlyArea);
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
}

TEST_F(WorkingSieveTest, TheHandOverShowsTheExportWindowModallyTheMainMenuModeless)
{
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    QWidget *exportWindow = window<QWidget>("TFormExport");
    auto mainMenuExport = [&] {
        for (QAction *m : w->main->findChild<QMenuBar *>()->actions())
            if (m->text() == "Файл")
                for (QAction *a : m->menu()->actions())
                    if (a->text() == "Експорт") return a->trigger();
        ADD_FAILURE() << "no Експорт in the main menu";
    };

    sieve->command(C::Export)->trigger();
    ASSERT_TRUE(exportWindow->isVisible());
    EXPECT_EQ(exportWindow->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(QApplication::activeModalWidget(), exportWindow);
    exportWindow->close();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // From the main menu it stands beside the main window without blocking it.
    mainMenuExport();
    ASSERT_TRUE(exportWindow->isVisible());
    EXPECT_EQ(exportWindow->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // Handed a result while open that way, it turns modal.
    sieve->command(C::Export)->trigger();
    ASSERT_TRUE(exportWindow->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), exportWindow);
    exportWindow->close();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WorkingSieveTest, HandOverAndPrintChoiceWorkOnTheCurrentResult)
{
    QList<SieveHandOver> exported, printed;
    QObject::connect(sieve, &TFormSitoRabotno::exportRequested, [&](const SieveHandOver &h) { exported << h; });
    QObject::connect(sieve, &TFormSitoRabotno::printChoiceRequested, [&](const SieveHandOver &h) { printed << h; });
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    const DataGridModel &m = *sieve->model();
    sieve->command(C::Export)->trigger();
    ASSERT_EQ(exported.size(), 1);
    EXPECT_EQ(exported[0].selection, sieve->selection());
    ASSERT_EQ(exported[0].subCompartments.size(), m.rowCount());
    EXPECT_EQ(exported[0].subCompartments.last().second, m.displayText(m.rowCount() - 1, 1));
    EXPECT_TRUE(window<QWidget>("TFormExport")->isVisible());

    set(I::StopKlas, "няма такъв");
    run();
    sieve->command(C::Export)->trigger(); // still enabled, does nothing on an empty result
    EXPECT_EQ(exported.size(), 1);
    sieve->openPrintChoice();
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed[0].subCompartments.isEmpty());
    QWidget *choice = window<QWidget>("TFormSitoRabotnoPrint");
    EXPECT_TRUE(choice->isVisible());
    EXPECT_EQ(choice->windowTitle(), "Сито работно - Печат");
}

TEST_F(WorkingSieveTest, ResultColumnsFillTheGridAndKeepTheirContentsWidth)
{
    auto *view = static_cast<QAbstractItemView *>(sieve->grid());
    QHeaderView *header = sieve->grid()->horizontalHeader();
    auto check = [&](const char *when) {
        SCOPED_TRACE(when);
        sieve->layout()->activate();
        QCoreApplication::processEvents();
        const int viewport = sieve->grid()->viewport()->width();
        EXPECT_GE(header->length(), viewport);
        for (int c = 0; c < header->count(); ++c)
            EXPECT_GE(header->sectionSize(c), view->sizeHintForColumn(c)) << "column " << c;
        // Columns narrower than the grid together: the last one takes the rest, no gap.
        int contents = 0;
        for (int c = 0; c < header->count(); ++c) contents += std::max(view->sizeHintForColumn(c), header->sectionSizeHint(c));
        if (contents < viewport) EXPECT_EQ(header->length(), viewport);
        else EXPECT_GT(sieve->grid()->horizontalScrollBar()->maximum(), 0);
        return contents < viewport;
    };
    sieve->resize(1900, 600);
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    ASSERT_GT(sieve->model()->rowCount(), 0);
    EXPECT_TRUE(check("wide window"));
    EXPECT_EQ(sieve->grid()->columnWidth(0), 50);
    EXPECT_EQ(sieve->grid()->columnWidth(2), 70);

    sieve->resize(sieve->minimumWidth(), 600);
    EXPECT_FALSE(check("narrow window"));
    sieve->resize(1900, 600);
    EXPECT_TRUE(check("wide again"));
    // A new run on a wide window fills it too.
    run();
    EXPECT_TRUE(check("second run"));
}

TEST_F(WorkingSieveTest, DisabledCommandsLookDisabled)
{
    for (C c : {C::Run, C::New, C::Copy, C::Preview, C::Print, C::SaveCriteria, C::OpenCriteria, C::Export, C::Show}) {
        const QIcon icon = sieve->command(c)->icon();
        const QImage normal = icon.pixmap(QSize(22, 22), QIcon::Normal).toImage();
        const QImage off = icon.pixmap(QSize(22, 22), QIcon::Disabled).toImage();
        ASSERT_FALSE(normal.isNull());
        SCOPED_TRACE(sieve->command(c)->toolTip().toStdString());
        // Faded into the toolbar: a third as marked as the usable icon at most.
        const QColor ground = sieve->toolBar()->palette().color(QPalette::Button);
        EXPECT_LT(standOut(off, ground), standOut(normal, ground) / 3);
        // Grey throughout.
        bool grey = true;
        for (int y = 0; y < off.height(); ++y)
            for (int x = 0; x < off.width(); ++x) {
                const QColor p = off.pixelColor(x, y);
                grey = grey && (p.alpha() == 0 || p.hsvSaturation() <= 8);
            }
        EXPECT_TRUE(grey);
    }
    // On the toolbar: the copy button before and after a run with rows.
    auto *button = qobject_cast<QToolButton *>(sieve->toolBar()->widgetForAction(sieve->command(C::Copy)));
    ASSERT_NE(button, nullptr);
    ASSERT_FALSE(button->isEnabled());
    const QImage before = button->grab().toImage();
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    ASSERT_TRUE(button->isEnabled());
    const QImage after = button->grab().toImage();
    const QColor ground = button->palette().color(QPalette::Button);
    EXPECT_LT(standOut(before, ground), standOut(after, ground) / 2);
}
