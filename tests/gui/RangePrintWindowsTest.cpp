// The range print window and its list window on the demo installation, driven through
// their controls: range messages, the list with its preview, one-sided printing with
// sheets, manual two-sided prompts and Cancel, the duplex option with and without a
// duplex printer, the stop button, and the choices stored when the window closes.
#include "GuiFixtures.h"

#include "core/ProfileFile.h"
#include "printing/TFormPrintingWindows.h"
#include "printing/RecordingSink.h"
#include "printing/TwoSidedRun.h"
#include "widgets/GuiReportPrinter.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace dx;

namespace {

class RangePrintWindows : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo();
        ReportPrinter::instance().setSinkFactory([this] { return std::make_unique<dxtest::ForwardingSink>(sink); });
        ReportPrinter::instance().setPreviewHook([this](const Report &r) { previews << r.title; });
        ReportPrinter::instance().setDuplexProbe([this] { return duplex; });
        win = w->list->registry.get<TFormPrintOtDo>();
        win->show();
        QApplication::processEvents();
        win->setConfirm([this](const QString &q) {
            asked << q;
            return answer;
        });
        win->setPrompt([this](const UserMessage &m) {
            prompts << m.caption;
            return prompts.size() != cancelPrompt;
        });
    }
    void TearDown() override
    {
        ReportPrinter::instance().setSinkFactory({});
        ReportPrinter::instance().setPreviewHook({});
        ReportPrinter::instance().setDuplexProbe({});
    }
    AppState &state() { return w->main->state(); }
    void range(const char *from, const char *to)
    {
        win->fromField()->clear();
        QTest::keyClicks(win->fromField(), from);
        win->toField()->clear();
        QTest::keyClicks(win->toField(), to);
    }
    // From `from` to `to` on a duplex printer, two-sided by the printer, with or without
    // the sheets.
    void duplexRange(const char *from, const char *to, bool sheets)
    {
        if (win->allBox()->isChecked()) win->allBox()->click();
        range(from, to);
        win->sheetsBox()->setChecked(sheets);
        win->twoSidedBox()->setChecked(true);
        duplex = true;
        QTest::mouseClick(win->duplexOption(), Qt::LeftButton);
    }
    // The jobs a range should give one-sided: a sheet whenever the compartment changes.
    QStringList oneSided(const QVector<RangeEntry> &list, bool sheets)
    {
        QStringList out;
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (sheets && (i == 0 || list[i].otd != list[i - 1].otd)) out << QString::number(list[i].otd);
            out << QStringLiteral("%1:%2").arg(list[i].otd).arg(list[i].podotd);
        }
        return out;
    }
    void print() { QTest::mouseClick(win->printButton(), Qt::LeftButton); }
    QStringList jobs() const { return sink.shape(dxtest::bracketed); }

    TFormPrintOtDo *win = nullptr;
    dxtest::RecordingSink sink;
    QStringList previews, asked, prompts;
    bool answer = true, duplex = false;
    int cancelPrompt = -1;
};

} // namespace

TEST_F(RangePrintWindows, RangeMessagesListAndPreview)
{
    range("", "");
    EXPECT_FALSE(win->printButton()->isEnabled());
    EXPECT_FALSE(win->listButton()->isEnabled());
    QTest::keyClicks(win->fromField(), "3x");
    EXPECT_EQ(win->fromField()->text(), "3");
    EXPECT_FALSE(win->printButton()->isEnabled());
    QTest::keyClicks(win->toField(), "1");
    EXPECT_TRUE(win->listButton()->isEnabled());
    QTest::mouseClick(win->listButton(), Qt::LeftButton);
    print();
    EXPECT_EQ(w->messages, QStringList(2, "Внимание!|Избрания интевал от-до е грешен."));
    EXPECT_TRUE(jobs().isEmpty());
    EXPECT_TRUE(asked.isEmpty());

    w->messages.clear();
    range("2", "9999");
    print();
    EXPECT_EQ(w->messages, QStringList({"Внимание!|Избрали сте несъществуващ подотдел (9999)."}));
    EXPECT_TRUE(jobs().isEmpty());

    w->messages.clear();
    range("2", "3");
    QTest::mouseClick(win->listButton(), Qt::LeftButton);
    auto *list = w->list->registry.get<TFormPrintOtDoList>();
    ASSERT_TRUE(list->isVisible());
    const QVector<RangeEntry> expected = *resolveRange(state(), 2, 3, {});
    EXPECT_EQ(list->countLabel()->text(), QString("Брой описания: %1").arg(expected.size()));
    ASSERT_EQ(list->grid()->rowCount(), expected.size());
    EXPECT_EQ(list->grid()->item(1, 1)->text(), ":");
    EXPECT_EQ(list->grid()->item(1, 2)->text(), expected[1].podotd);
    list->grid()->selectRow(1);
    QTest::mouseClick(list->previewButton(), Qt::LeftButton);
    EXPECT_EQ(previews, QStringList({QString("Dendrix - %1 %2 [%3:%4]").arg(state().title, state().year).arg(expected[1].otd).arg(expected[1].podotd)}));
    EXPECT_TRUE(w->messages.isEmpty());
}

TEST_F(RangePrintWindows, OneSidedWithSheetsAsksForTheTotalAndStops)
{
    if (win->allBox()->isChecked()) win->allBox()->click();
    range("1", "2");
    win->sheetsBox()->setChecked(true);
    if (win->twoSidedBox()->isChecked()) win->twoSidedBox()->setChecked(false);
    const QVector<RangeEntry> list = *resolveRange(state(), 1, 2, {});
    answer = false;
    print();
    EXPECT_EQ(asked, QStringList({printDescriptionsQuestion(int(list.size()) + compartmentRuns(list))}));
    EXPECT_TRUE(jobs().isEmpty());

    answer = true;
    print();
    EXPECT_EQ(jobs(), oneSided(list, true));

    // "Отказ" in the progress window after the third job: nothing more is printed.
    sink.jobs.clear();
    auto *progress = w->list->registry.get<TFormPrintProgress>();
    sink.onPage = [&] {
        if (sink.jobs.size() == 3) progress->cancelButton()->click();
    };
    print();
    EXPECT_EQ(jobs(), oneSided(list, true).mid(0, 3));
    EXPECT_FALSE(progress->isVisible());

    // The printer refuses the fourth page: the run ends there with the printer message.
    sink.jobs.clear();
    sink.onPage = {};
    sink.failAt = 3;
    print();
    EXPECT_EQ(jobs(), oneSided(list, true).mid(0, 3) << QString());
    EXPECT_EQ(w->messages, QStringList({printerFailedMessage().caption + "|" + printerFailedMessage().text}));
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(RangePrintWindows, ManualTwoSidedPromptsAndCancel)
{
    range("1", "1");
    win->sheetsBox()->setChecked(false);
    win->twoSidedBox()->setChecked(true);
    EXPECT_TRUE(win->manualOption()->isEnabled());
    QTest::mouseClick(win->manualOption(), Qt::LeftButton);
    EXPECT_EQ(win->composer().footerLineWidth(), 4);
    const QVector<RangeEntry> list = *resolveRange(state(), 1, 1, {});
    ASSERT_GE(list.size(), 2);
    print();
    QStringList expected;
    for (int parity : {1, 0})
        for (qsizetype i = parity; i < list.size(); i += 2) expected << QString("1:%1").arg(list[i].podotd);
    EXPECT_EQ(jobs(), expected);
    EXPECT_EQ(prompts, QStringList({"Печат описания - двустранно, гръб [отдел 1]", "Печат описания - двустранно, лице [отдел 1]"}));

    // Cancel at the face prompt: the backs stay printed, nothing else follows.
    sink.jobs.clear();
    prompts.clear();
    cancelPrompt = 2;
    print();
    EXPECT_EQ(jobs(), expected.mid(0, list.size() / 2));
    EXPECT_EQ(prompts.size(), 2);
    win->twoSidedBox()->setChecked(false);
    EXPECT_FALSE(win->manualOption()->isEnabled());
}

TEST_F(RangePrintWindows, DuplexOptionNeedsADuplexPrinterAndPrintsPairs)
{
    range("1", "2");
    win->sheetsBox()->setChecked(true);
    win->twoSidedBox()->setChecked(true);
    duplex = false;
    QTest::mouseClick(win->duplexOption(), Qt::LeftButton);
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_EQ(w->messages[0], "Поточен печат на описания|Принтера които сте избрали не поддържа автоматично обръщане на "
                              "листата.\r\nМоля изберете друг принтер или оставете опцията \"ръчно обръщане на листата\".");
    EXPECT_TRUE(win->manualOption()->isChecked());
    EXPECT_EQ(win->composer().footerLineWidth(), 4);

    duplex = true;
    QTest::mouseClick(win->duplexOption(), Qt::LeftButton);
    EXPECT_TRUE(win->duplexOption()->isChecked());
    EXPECT_EQ(win->composer().footerLineWidth(), 1);
    print();
    QStringList expected;
    for (int otd : {1, 2}) {
        expected << QString::number(otd);
        const QVector<RangeEntry> rows = *resolveRange(state(), otd, otd, {});
        for (qsizetype i = 0; i < rows.size(); i += 2)
            expected << "*" + QString("%1:%2").arg(otd).arg(rows[i].podotd) +
                            (i + 1 < rows.size() ? QString("|%1:%2").arg(otd).arg(rows[i + 1].podotd) : QString());
    }
    EXPECT_EQ(jobs(), expected);
    auto *progress = w->list->registry.get<TFormPrintProgress>();
    EXPECT_TRUE(progress->windowTitle().startsWith("Отпечатване... 100%"));
    EXPECT_TRUE(progress->windowTitle().contains("[подотдел 2:")) << progress->windowTitle().toStdString();
}

TEST_F(RangePrintWindows, ChoicesAreStoredWhenTheWindowClosesAndShownAgain)
{
    duplexRange("2", "5", true);
    QTest::mouseClick(win->cancelButton(), Qt::LeftButton);
    ProfileFile f = ProfileFile::load(state().settingsPath());
    EXPECT_EQ(f.readString("поточен печат", "от"), "2");
    EXPECT_EQ(f.readString("поточен печат", "до"), "5");
    EXPECT_EQ(f.readString("поточен печат", "предотделен"), "1");
    EXPECT_EQ(f.readString("поточен печат", "двустранно"), "1");
    EXPECT_EQ(f.readString("поточен печат", "ръчно"), "0");
    EXPECT_EQ(f.readString("поточен печат", "всички"), "0");

    win->show();
    QApplication::processEvents();
    EXPECT_EQ(win->toField()->text(), "5");
    EXPECT_TRUE(win->duplexOption()->isChecked());
    EXPECT_EQ(win->composer().footerLineWidth(), 1);
    win->allBox()->click();
    EXPECT_EQ(win->fromField()->text(), QString::number(state().firstOtd));
    EXPECT_EQ(win->toField()->text(), QString::number(state().lastOtd));
    EXPECT_FALSE(win->fromField()->isEnabled());
    win->allBox()->click();
    EXPECT_TRUE(win->fromField()->text().isEmpty());
    EXPECT_TRUE(win->fromField()->isEnabled());
    EXPECT_FALSE(win->printButton()->isEnabled());
}

TEST_F(RangePrintWindows, LostJobOrOtkazBetweenJobsPrintsNothingTwiceAndKeepsTheSettings)
{
    QFile file(state().settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    duplexRange("1", "2", false);
    const QVector<RangeEntry> list = *resolveRange(state(), 1, 2, {});
    ASSERT_GE(list.size(), 5);

    // The printer vanishes while the second pair is painted: that pair is lost, the run
    // ends with the printer message, and the first pair is not printed again.
    sink.loseJob = 1;
    print();
    EXPECT_EQ(sink.jobs.size(), 2);
    EXPECT_EQ(w->messages, QStringList({printerFailedMessage().caption + "|" + printerFailedMessage().text}));
    auto *progress = w->list->registry.get<TFormPrintProgress>();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(progress->label()->text(), QString("Отпечатване на  2 от %1 листа").arg(list.size()));

    // "Отказ" pressed between the first and the second job of the next run.
    sink.jobs.clear();
    sink.loseJob = -1;
    w->messages.clear();
    win->twoSidedBox()->setChecked(false);
    sink.onPage = [&] {
        if (sink.jobs.size() == 1)
            QTimer::singleShot(0, progress->cancelButton(), [progress] {
                QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
            });
    };
    print();
    EXPECT_EQ(jobs(), oneSided(list, false).mid(0, 1));
    EXPECT_TRUE(w->messages.isEmpty());

    // Neither run wrote the settings file; the window keeps its range.
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(win->fromField()->text(), "1");
    EXPECT_EQ(win->toField()->text(), "2");
}
