// The list print window on the demo installation: loading a list file with the chosen
// separator (and with another one), the help text, the stretch with swapping and its
// message, one-sided printing, and two-sided printing with backs paired within the
// compartment, the no-back message and "No" to the backs.
#include "GuiFixtures.h"

#include "printing/PrintList.h"
#include "printing/RecordingSink.h"
#include "printing/TFormPrintingWindows.h"
#include "printing/TwoSidedRun.h"
#include "widgets/GuiReportPrinter.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace dx;

namespace {

class ListPrintWindow : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo();
        ReportPrinter::instance().setSinkFactory([this] { return std::make_unique<dxtest::ForwardingSink>(sink); });
        win = w->list->registry.get<TFormPrintListFromFile>();
        win->show();
        QApplication::processEvents();
        win->setChooseFile([this] { return chosen; });
        win->setConfirm([this](const QString &caption, const QString &q) {
            asked << caption + "|" + q;
            return asked.size() != sayNoAt;
        });
        compartment = *resolveRange(w->main->state(), 1, 1, {});
    }
    void TearDown() override { ReportPrinter::instance().setSinkFactory({}); }
    QString file(const QByteArray &text)
    {
        const QString path = dir.filePath(QString("list%1.txt").arg(++files));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }
    void load(const QString &path)
    {
        chosen = path;
        QTest::mouseClick(win->browseButton(), Qt::LeftButton);
    }
    QStringList jobs() const { return sink.shape(dxtest::bracketed); }
    QString pod(int i) const { return compartment[i].podotd; }
    QByteArray line(int i, const char *sep = ";") const { return ("1" + QString(sep) + pod(i) + "\r\n").toUtf8(); }

    TFormPrintListFromFile *win = nullptr;
    QTemporaryDir dir;
    int files = 0;
    QString chosen;
    dxtest::RecordingSink sink;
    QStringList asked;
    int sayNoAt = -1;
    QVector<RangeEntry> compartment;
};

} // namespace

TEST_F(ListPrintWindow, LoadsWithTheChosenSeparatorAndExplainsIt)
{
    ASSERT_GE(compartment.size(), 3);
    EXPECT_EQ(win->separatorField()->text(), ";");
    QTest::mouseClick(win->helpButton(), Qt::LeftButton);
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_EQ(w->messages[0], separatorHelpMessage().caption + "|" + separatorHelpMessage().text);
    w->messages.clear();

    // Another separator in the file: the first line is no number; nothing is loaded.
    load(file(line(0, " ") + line(1, " ")));
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_TRUE(w->messages[0].contains("is not a valid integer value"));
    EXPECT_EQ(win->statusLabel()->text(), "брой подотдели: 0");
    w->messages.clear();

    win->separatorField()->clear();
    load(file(line(0)));
    EXPECT_EQ(w->messages, QStringList({"Поточен печат на описания от списък|Не е въведен разделител!"}));
    w->messages.clear();

    QTest::keyClicks(win->separatorField(), "#");
    load(file(line(0, "#") + "\r\n" + line(2, "#") + line(1, "#")));
    EXPECT_TRUE(w->messages.isEmpty());
    EXPECT_EQ(win->pathField()->text(), chosen);
    EXPECT_EQ(win->statusLabel()->text(), "брой подотдели: 3");
    EXPECT_EQ(win->grid()->model()->rowCount(), 3);
    EXPECT_EQ(win->grid()->model()->index(1, 2).data().toString(), pod(2));
    EXPECT_EQ(win->grid()->model()->index(1, 0).data().toString(), "2");
}

TEST_F(ListPrintWindow, StretchSwapsAndIsChecked)
{
    QByteArray text;
    for (int i = 0; i < 3; ++i) text += line(i);
    load(file(text));
    EXPECT_FALSE(win->printButton()->isEnabled());
    QTest::keyClicks(win->fromField(), "3");
    QTest::keyClicks(win->toField(), "2");
    ASSERT_TRUE(win->printButton()->isEnabled());
    QTest::mouseClick(win->printButton(), Qt::LeftButton);
    EXPECT_EQ(win->fromField()->text(), "2");
    EXPECT_EQ(win->toField()->text(), "3");
    EXPECT_EQ(asked, QStringList({"Печат описания|" + printDescriptionsQuestion(2)}));
    EXPECT_EQ(jobs(), QStringList({"1:" + pod(1), "1:" + pod(2)}));

    sink.jobs.clear();
    win->toField()->setText("40");
    QTest::mouseClick(win->printButton(), Qt::LeftButton);
    EXPECT_EQ(w->messages, QStringList({"Печат описания от списък|Въвели сте грешен диапазон от-до!"}));
    EXPECT_TRUE(jobs().isEmpty());

    win->allOption()->click();
    EXPECT_FALSE(win->fromField()->isEnabled());
    EXPECT_TRUE(win->printButton()->isEnabled());
    QTest::mouseClick(win->printButton(), Qt::LeftButton);
    EXPECT_EQ(jobs().size(), 3);
}

TEST_F(ListPrintWindow, TwoSidedBacksArePartnersInTheCompartment)
{
    // Every entry of compartment 1 at an even position, then its last one when it is odd.
    QByteArray text;
    QStringList fronts, backs;
    for (int i = 1; i < compartment.size(); i += 2) {
        text += line(i);
        fronts << "1:" + pod(i);
        backs << "1:" + pod(i - 1);
    }
    const bool oddLast = compartment.size() % 2 == 1;
    if (oddLast) {
        text += line(int(compartment.size()) - 1);
        fronts << "1:" + pod(int(compartment.size()) - 1);
    }
    load(file(text));
    win->allOption()->click();
    win->twoSidedBox()->setChecked(true);
    QTest::mouseClick(win->printButton(), Qt::LeftButton);
    const int n = int(fronts.size());
    EXPECT_EQ(asked, QStringList({"Печат описания - лице|" + printDescriptionsQuestion(2 * n),
                                  "Печат описания - гръб|" + printDescriptionsQuestion(n)}));
    EXPECT_EQ(jobs(), fronts + backs);
    if (oddLast) {
        EXPECT_EQ(w->messages, QStringList({"Описание без гръб|" + noBackMessage(1, pod(int(compartment.size()) - 1)).text}));
    }

    // "No" to the backs: the fronts only.
    sink.jobs.clear();
    asked.clear();
    w->messages.clear();
    sayNoAt = 2;
    QTest::mouseClick(win->printButton(), Qt::LeftButton);
    EXPECT_EQ(jobs(), fronts);
    EXPECT_TRUE(w->messages.isEmpty());
}
