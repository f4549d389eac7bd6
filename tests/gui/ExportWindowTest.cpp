// The export window on the demo installation, driven through its controls: the enabling
// of "Експорт", the file choices with their proposed names and the deletion of a chosen
// file, the format switch renaming the file and asking before deleting, the single, range
// and list exports with their questions, the settings tab's boxes stored under
// "export set", the working sieve's hand-over, and dendrix-cli writing the same file.
#include "GuiFixtures.h"

#include "core/ProfileFile.h"
#include "engine/common/Codepage.h"
#include "export/TFormExportWindows.h"
#include "lists/TFormSpisatziSubInfo.h"
#include "printing/TFormPrintOtDo.h"
#include "sieves/TFormSitoRabotno.h"

#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

using namespace dx;

namespace {

class ExportWindow : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo();
        win = w->list->registry.get<TFormExport>();
        win->setFileChooser([this](const FileDialogRequest &r) {
            requests << r;
            return chosen;
        });
        w->list->messages.setAskHook([this](const UserMessage &m) {
            asked << m.caption + "|" + m.text;
            return answer;
        });
        win->show();
        QApplication::processEvents();
    }
    void TearDown() override { w->list->messages.setAskHook({}); }
    AppState &state() { return w->main->state(); }
    QString file(const char *name) const { return QString::fromStdString(dir.file(name)); }
    static QString text(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<none>");
        return QString::fromStdString(cp::cp1251ToUtf8(f.readAll().toStdString()));
    }
    static int count(const QString &text, const QString &what) { return int(text.count(what)); }
    void type(QLineEdit *field, const char *text)
    {
        field->setFocus();
        field->clear();
        // Letters as a keyboard sends them (Cyrillic ones carry only their text).
        for (const QChar c : QString::fromUtf8(text)) {
            if (c.unicode() < 128) {
                QTest::keyClicks(field, QString(c));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &press);
            QApplication::sendEvent(field, &release);
        }
        QTest::keyClick(field, Qt::Key_Tab);
    }
    void click(QAbstractButton *b)
    {
        QApplication::processEvents(); // a page just brought to the front is laid out
        // Near the left end: a box or option takes clicks on its mark and its text only.
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::min(8, b->width() / 2), b->height() / 2));
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString firstPodotd(int otd) { return resolveRange(state(), otd, otd, {}).value().first().podotd; }

    TFormExport *win = nullptr;
    QString chosen;
    QList<FileDialogRequest> requests;
    QStringList asked;
    bool answer = true;
};

} // namespace

TEST_F(ExportWindow, SingleDescriptionAndSheetFromTheFirstTab)
{
    EXPECT_EQ(win->windowTitle(), QStringLiteral("Експорт на описания"));
    EXPECT_FALSE(win->exportButton()->isEnabled());
    EXPECT_FALSE(win->pdfOption()->isEnabled());
    EXPECT_TRUE(win->textOption()->isChecked());
    const QString pod = firstPodotd(1);
    type(win->otdField(), "1");
    type(win->podotdField(), pod.toUtf8().constData());
    EXPECT_FALSE(win->exportButton()->isEnabled()); // no output file yet
    // "..." proposes "Podotdel"; the chosen file, which holds text, starts afresh.
    chosen = file("single.txt");
    write(chosen, "old text");
    click(win->browseButton(0));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].proposed, QStringLiteral("Podotdel"));
    EXPECT_EQ(requests[0].filter, QStringLiteral("Текстов файл (*.txt)"));
    EXPECT_EQ(requests[0].suffix, QStringLiteral("txt"));
    EXPECT_EQ(win->pathField(0)->text(), chosen);
    EXPECT_FALSE(QFile::exists(chosen));
    ASSERT_TRUE(win->exportButton()->isEnabled());
    click(win->exportButton());
    click(win->exportButton()); // a second export appends
    QString t = text(chosen);
    EXPECT_EQ(count(t, QStringLiteral("подотдел: 1 %1 ").arg(pod)), 2);
    EXPECT_EQ(count(t, QStringLiteral("вид сеч:     година")), 2); // record grids
    EXPECT_FALSE(t.contains(QStringLiteral("old text")));

    // A pair that names no record: the warning, nothing written.
    type(win->podotdField(), "яя");
    click(win->exportButton());
    EXPECT_TRUE(w->messages.last().contains(QStringLiteral("Избрания подотдел 1:яя липсва в базата данни!")));
    EXPECT_EQ(text(chosen), t);

    // "предотделен лист": the other field takes over, and the sheet is appended.
    click(win->sheetOption());
    EXPECT_FALSE(win->otdField()->isEnabled());
    EXPECT_FALSE(win->podotdField()->isEnabled());
    EXPECT_TRUE(win->sheetOtdField()->isEnabled());
    EXPECT_FALSE(win->exportButton()->isEnabled());
    type(win->sheetOtdField(), "2");
    EXPECT_TRUE(win->exportButton()->isEnabled());
    click(win->exportButton());
    EXPECT_TRUE(text(chosen).contains(QStringLiteral(",     отдел 2")));
    win->pathField(0)->clear();
    click(win->browseButton(0));
    EXPECT_EQ(requests.last().proposed, QStringLiteral("PredList"));
}

TEST_F(ExportWindow, FormatSwitchRenamesTheFileAndAsksBeforeDeleting)
{
    type(win->pathField(0), file("doc.txt").toUtf8().constData());
    write(file("doc.docx"), "old");
    answer = false;
    click(win->wordOption());
    EXPECT_EQ(win->pathField(0)->text(), file("doc.docx"));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("Експорт на описания|Файл %1 съществува. Желате ли да го изтриете?").arg(file("doc.docx")));
    EXPECT_TRUE(QFile::exists(file("doc.docx"))); // Cancel keeps it
    // Word's dialog: its filter and extension; a ".txt" ending of the proposal goes.
    chosen.clear();
    type(win->pathField(0), file("again.txt").toUtf8().constData());
    click(win->browseButton(0));
    EXPECT_EQ(requests.last().filter, QStringLiteral("Word Document (*.docx)"));
    EXPECT_EQ(requests.last().suffix, QStringLiteral("docx"));
    EXPECT_EQ(requests.last().proposed, file("again"));
    // Back to text, OK this time: the file named is deleted.
    type(win->pathField(0), file("doc.docx").toUtf8().constData());
    write(file("doc.txt"), "old");
    answer = true;
    click(win->textOption());
    EXPECT_EQ(win->pathField(0)->text(), file("doc.txt"));
    EXPECT_FALSE(QFile::exists(file("doc.txt")));

    // A Word export of one description: a document of one picture.
    click(win->wordOption());
    type(win->otdField(), "1");
    type(win->podotdField(), firstPodotd(1).toUtf8().constData());
    click(win->exportButton());
    QFile doc(win->pathField(0)->text());
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    EXPECT_TRUE(doc.read(2) == "PK");
}

TEST_F(ExportWindow, RangeExportWithSheetsAndTheRangeBoxes)
{
    win->tabs()->setCurrentIndex(TFormExport::Compartments);
    EXPECT_FALSE(win->exportButton()->isEnabled());
    click(win->allBox());
    EXPECT_EQ(win->fromField()->text(), QString::number(state().firstOtd));
    EXPECT_EQ(win->toField()->text(), QString::number(state().lastOtd));
    EXPECT_FALSE(win->fromField()->isEnabled());
    click(win->allBox());
    EXPECT_TRUE(win->fromField()->text().isEmpty());
    EXPECT_TRUE(win->fromField()->isEnabled());
    EXPECT_TRUE(win->fromField()->hasFocus());
    // "само предотделени листове" fills empty fields and holds the other two boxes.
    click(win->sheetsBox());
    click(win->sheetsOnlyBox());
    EXPECT_FALSE(win->sheetsBox()->isChecked());
    EXPECT_FALSE(win->sheetsBox()->isEnabled());
    EXPECT_FALSE(win->allBox()->isEnabled());
    EXPECT_EQ(win->fromField()->text(), QString::number(state().firstOtd));
    chosen = file("sheets.txt");
    click(win->browseButton(1));
    EXPECT_EQ(requests.last().proposed,
              QStringLiteral("PredList-%1-%2").arg(state().firstOtd).arg(state().lastOtd));
    type(win->fromField(), "1");
    type(win->toField(), "3");
    click(win->exportButton());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("Експорт предотделни листове - TXT формат|Сигурни ли сте, че желаете да "
                                       "експортирате 3 броя предотделни листове?"));
    QString t = text(chosen);
    EXPECT_EQ(count(t, QStringLiteral("П Р Е Д О Т Д Е Л Е Н")), 3);
    EXPECT_EQ(count(t, QStringLiteral("подотдел: ")), 0);

    // Descriptions with each compartment's sheet, appended to the same file.
    click(win->sheetsOnlyBox());
    EXPECT_TRUE(win->fromField()->text().isEmpty());
    click(win->sheetsBox());
    type(win->fromField(), "1");
    type(win->toField(), "2");
    win->pathField(1)->setText(chosen);
    const QVector<RangeEntry> list = resolveRange(state(), 1, 2, {}).value();
    click(win->exportButton());
    EXPECT_EQ(asked.last(), QStringLiteral("Експорт описания - TXT|Сигурни ли сте, че желаете да експортирате %1 броя "
                                           "таксационни описания?")
                                .arg(list.size() + 2));
    t = text(chosen);
    EXPECT_EQ(count(t, QStringLiteral("П Р Е Д О Т Д Е Л Е Н")), 5);
    EXPECT_EQ(count(t, QStringLiteral("подотдел: ")), list.size());

    // A swapped range: the message, nothing more written; No to the question writes nothing.
    type(win->fromField(), "3");
    type(win->toField(), "1");
    click(win->exportButton());
    EXPECT_TRUE(w->messages.last().endsWith(QStringLiteral("Избрания интевал от-до е грешен.")));
    type(win->fromField(), "1");
    answer = false;
    click(win->exportButton());
    EXPECT_EQ(text(chosen), t);
}

TEST_F(ExportWindow, SeeAllShowsTheCompartmentDetailAtTheWindowsRightEdge)
{
    // "виж всички подотдели за отдела" lists the compartment of the active field (the
    // sub-compartment's, or the sheet's with that option) in the compartment detail
    // window, which stands at the export window's right edge with its top and height.
    auto *detail = w->list->registry.get<TFormSpisatziSubInfo>();
    ASSERT_TRUE(detail);
    ASSERT_FALSE(detail->isVisible());
    win->tabs()->setCurrentIndex(TFormExport::SubCompartments);
    type(win->otdField(), "2");
    click(win->seeAllButton());
    QApplication::processEvents();
    ASSERT_TRUE(detail->isVisible());
    EXPECT_EQ(detail->windowTitle(), "Oтдел No.2");
    const int inTwo = int(resolveRange(state(), 2, 2, {}).value().size());
    ASSERT_GT(inTwo, 0);
    EXPECT_EQ(detail->grid()->model()->rowCount(), inTwo);
    EXPECT_TRUE(detail->status()->text().endsWith(QStringLiteral("брой подотдели: %1").arg(inTwo)))
        << detail->status()->text().toStdString();
    const QRect frame = win->frameGeometry();
    EXPECT_EQ(detail->frameGeometry().left(), frame.left() + frame.width());
    EXPECT_EQ(detail->frameGeometry().top(), frame.top());
    EXPECT_EQ(detail->frameGeometry().height(), frame.height());

    click(win->sheetOption());
    type(win->sheetOtdField(), "3");
    click(win->seeAllButton());
    EXPECT_EQ(detail->windowTitle(), "Oтдел No.3");
    EXPECT_EQ(detail->grid()->model()->rowCount(), int(resolveRange(state(), 3, 3, {}).value().size()));
    // An empty field asks for nothing: the window keeps what it showed.
    win->sheetOtdField()->clear();
    click(win->seeAllButton());
    EXPECT_EQ(detail->windowTitle(), "Oтдел No.3");
    EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
}

TEST_F(ExportWindow, ARangeResolvedForExportShowsInTheRangeListWindow)
{
    // Printing and export share the range: the list window "Списък подотдели" shows the
    // range an export resolved, even when the export itself is then declined.
    auto *rangeList = w->list->registry.get<TFormPrintOtDoList>();
    ASSERT_TRUE(rangeList);
    win->tabs()->setCurrentIndex(TFormExport::Compartments);
    type(win->fromField(), "2");
    type(win->toField(), "3");
    win->pathField(1)->setText(file("range.txt"));
    answer = false;
    click(win->exportButton());
    const QVector<RangeEntry> list = resolveRange(state(), 2, 3, {}).value();
    ASSERT_EQ(rangeList->grid()->rowCount(), list.size());
    EXPECT_EQ(rangeList->countLabel()->text(), QStringLiteral("Брой описания: %1").arg(list.size()));
    EXPECT_EQ(rangeList->grid()->item(0, 0)->text(), QString::number(list[0].otd));
    EXPECT_EQ(rangeList->grid()->item(int(list.size()) - 1, 2)->text().trimmed(), list.last().podotd);

    // A range that resolves to nothing leaves the list as it was.
    type(win->fromField(), "3");
    type(win->toField(), "1");
    click(win->exportButton());
    EXPECT_EQ(rangeList->grid()->rowCount(), list.size());
}

TEST_F(ExportWindow, ListFileAndTheWorkingSieveHandOver)
{
    win->tabs()->setCurrentIndex(TFormExport::List);
    EXPECT_TRUE(win->textOption()->isChecked());
    EXPECT_FALSE(win->wordOption()->isEnabled());
    const QString pod = firstPodotd(2);
    write(file("list.txt"), QStringLiteral("2   %1\r\n\r\n1 яя\r\n").arg(pod).toUtf8());
    chosen = file("fromlist.txt");
    click(win->browseButton(2)); // the output file first: no list yet, still disabled
    EXPECT_EQ(win->pathField(2)->text(), chosen);
    EXPECT_FALSE(win->exportButton()->isEnabled());
    chosen = file("list.txt");
    QPushButton *listBrowse = nullptr;
    for (QPushButton *b : win->listGroup()->findChildren<QPushButton *>()) listBrowse = b;
    ASSERT_TRUE(listBrowse);
    click(listBrowse);
    EXPECT_FALSE(requests.last().save);
    EXPECT_EQ(win->listGroup()->title(), QStringLiteral("Списък - брой подотдели: 2"));
    ASSERT_EQ(win->listGrid()->rowCount(), 2);
    EXPECT_EQ(win->listGrid()->item(0, 1)->text(), QStringLiteral("2"));
    EXPECT_EQ(win->listGrid()->item(0, 2)->text(), pod);
    EXPECT_EQ(win->listGrid()->columnWidth(0), 35);
    ASSERT_TRUE(win->exportButton()->isEnabled());
    click(win->exportButton());
    EXPECT_EQ(asked.last(), QStringLiteral("Експорт описания - TXT|Сигурни ли сте, че желаете да експортирате 2 броя "
                                           "таксационни описания?"));
    const QString t = text(file("fromlist.txt"));
    EXPECT_TRUE(t.startsWith(QStringLiteral("подотдел: 2 %1 ").arg(pod)));
    EXPECT_TRUE(t.contains(QStringLiteral("подотдел 1:яя липсва в базата данни!")));

    // The working sieve hands its rows over.
    win->tabs()->setCurrentIndex(TFormExport::SubCompartments);
    click(win->wordOption());
    auto *sieve = w->list->registry.get<TFormSitoRabotno>();
    emit sieve->exportRequested(SieveHandOver{QString(), QString(), {{"3", "а"}, {"1", "б"}, {"1", "в"}}});
    EXPECT_EQ(win->tabs()->currentIndex(), int(TFormExport::List));
    EXPECT_EQ(win->listField()->text(), QStringLiteral("Сито работно"));
    EXPECT_TRUE(win->textOption()->isChecked());
    EXPECT_FALSE(win->wordOption()->isEnabled());
    EXPECT_EQ(win->listGroup()->title(), QStringLiteral("Списък - брой подотдели: 3"));
    EXPECT_EQ(win->entries(), QVector<RangeEntry>({{3, "а"}, {1, "б"}, {1, "в"}}));
}

TEST_F(ExportWindow, SettingsTabBoxesAreStoredOnlyWithParts)
{
    win->tabs()->setCurrentIndex(TFormExport::Settings);
    EXPECT_FALSE(win->exportButton()->isEnabled());
    EXPECT_TRUE(win->allPartsOption()->isChecked());
    for (int i = 0; i < 16; ++i) {
        EXPECT_FALSE(win->partBox(i)->isEnabled());
        EXPECT_EQ(win->partBox(i)->checkState(), Qt::PartiallyChecked);
    }
    EXPECT_EQ(win->partBox(14)->text(), QStringLiteral("схема, строеж.."));
    const QString ini = state().settingsPath();
    // Closed with "всичко": nothing written.
    auto iniBytes = [&] {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = iniBytes();
    win->close();
    EXPECT_EQ(iniBytes(), before);
    win->show();
    click(win->somePartsOption());
    // The boxes show what the file holds.
    const std::array<bool, 16> fromFile = readExportChoices(ProfileFile::load(ini));
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(win->partBox(i)->isEnabled());
        EXPECT_EQ(win->partBox(i)->checkState(), fromFile[size_t(i)] ? Qt::Checked : Qt::Unchecked) << i;
        if (win->partBox(i)->isChecked() != (i == 0 || i == 15)) click(win->partBox(i));
    }
    win->close();
    const std::array<bool, 16> stored = readExportChoices(ProfileFile::load(ini));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(stored[size_t(i)], i == 0 || i == 15) << i;
    // Shown again: the stored boxes; a partial range export writes only the ticked parts.
    win->show();
    click(win->somePartsOption());
    EXPECT_EQ(win->partBox(15)->checkState(), Qt::Checked);
    win->tabs()->setCurrentIndex(TFormExport::Compartments);
    type(win->fromField(), "1");
    type(win->toField(), "1");
    type(win->pathField(1), file("parts.txt").toUtf8().constData());
    click(win->exportButton());
    const QString t = text(file("parts.txt"));
    EXPECT_TRUE(t.contains(QStringLiteral("ст.клас:")));
    EXPECT_FALSE(t.contains(QStringLiteral("вид гори:")));
}

TEST_F(ExportWindow, TheCliWritesTheSameFileAsTheWindow)
{
    win->tabs()->setCurrentIndex(TFormExport::Compartments);
    click(win->sheetsBox());
    type(win->fromField(), "1");
    type(win->toField(), "3");
    type(win->pathField(1), file("window.txt").toUtf8().constData());
    click(win->exportButton());
    const dxtest::CliRun r =
        dxtest::runCli("-C '" + dir.path() + "' export '" + dir.file("cli.txt") + "' --from 1 --to 3 --sheets");
    ASSERT_EQ(r.status, 0) << r.out;
    QFile a(file("window.txt")), b(file("cli.txt"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    const QByteArray bytes = a.readAll();
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_EQ(bytes, b.readAll());
}
