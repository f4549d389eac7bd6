// The OBS sieve's window on a demo installation, driven through its controls: the lists
// loaded on show, refused runs, a run and a narrower one, copy after a change, clear.
#include "GuiFixtures.h"

#include "core/GridModel.h"
#include "printing/RecordingSink.h"
#include "sieves/TFormSieveWindows.h"
#include "widgets/GuiReportPrinter.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace dx;
using O = ObsCriterionId;

namespace {

class ObsSieveTest : public dxtest::DemoWindowsTest {
protected:
    void SetUp() override
    {
        loadDemo();
        obs = qobject_cast<TFormSitoOBS *>(w->list->find("TFormSitoOBS"));
        ASSERT_TRUE(obs);
        obs->show();
    }
    void click(QPushButton *b) { b->click(); }

    TFormSitoOBS *obs = nullptr;
};

TEST_F(ObsSieveTest, ListsLoadOnShowAndRefusedRunsKeepTheLabel)
{
    EXPECT_EQ(obs->windowTitle(), QStringLiteral("Сито ОБС"));
    EXPECT_EQ(obs->pickList(O::Age)->count(), 40);
    EXPECT_EQ(obs->pickList(O::Age)->itemText(6), QStringLiteral("35"));
    EXPECT_GT(obs->pickList(O::Dv1)->count(), 0);
    EXPECT_TRUE(obs->pickList(O::Dv1)->currentText().isEmpty());
    EXPECT_EQ(obs->pickList(O::ObsB)->count(), 5);
    EXPECT_FALSE(obs->copyButton()->isEnabled());
    EXPECT_FALSE(obs->printButton()->isEnabled());

    click(obs->runButton());
    ASSERT_EQ(w->messages.size(), 1);
    EXPECT_EQ(w->messages[0], QStringLiteral("Работно сито|Няма зададени критерий по които да се извърши търсенето!"));

    obs->typedField(O::Pl)->setText(QStringLiteral("4,5"));
    click(obs->runButton());
    ASSERT_EQ(w->messages.size(), 2);
    EXPECT_EQ(w->messages[1], QStringLiteral("Работно сито|Зададени са некоректни данни за критерий!"));
    EXPECT_EQ(obs->resultLabel()->text(), QStringLiteral("подотдели: 0, площ 0.0 ха"));
    EXPECT_FALSE(obs->copyButton()->isEnabled());
}

TEST_F(ObsSieveTest, RunNarrowsWithAnAreaBoundAndCopyDescribesTheNewCriteria)
{
    QComboBox *dv1 = obs->pickList(O::Dv1);
    dv1->setCurrentIndex(0);
    const QString species = dv1->currentText();
    click(obs->runButton());
    ASSERT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    const int all = obs->model()->rowCount();
    ASSERT_GT(all, 0);
    EXPECT_TRUE(obs->resultLabel()->text().startsWith(QStringLiteral("подотдели: %1, площ: ").arg(all)));
    EXPECT_TRUE(obs->copyButton()->isEnabled());
    EXPECT_TRUE(obs->printButton()->isEnabled());

    // The smallest area found as the bound: that row stays, no larger one does.
    double least = 1e9;
    for (int r = 0; r < all; ++r) least = std::min(least, obs->model()->displayText(r, 2).toDouble());
    const QString bound = QString::number(least);
    obs->typedField(O::Pl)->setText(bound);
    click(obs->runButton());
    const int narrow = obs->model()->rowCount();
    ASSERT_GT(narrow, 0);
    EXPECT_LE(narrow, all);
    for (int r = 0; r < narrow; ++r) EXPECT_LE(obs->model()->displayText(r, 2).toDouble(), least);

    // Changed but not run: the new criteria above the rows of the last run.
    obs->pickList(O::Age)->setEditText(QStringLiteral("35"));
    click(obs->copyButton());
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("сито: преобл. дървесен вид: ") + species + QStringLiteral(" ,възраст: 35 ,площ: до ") +
                              bound + QStringLiteral(" xa\r\n\r\nотдел\tподотдел\tплощ\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(obs->model()->displayText(0, 0) + QLatin1Char('\t') + obs->model()->displayText(0, 1)));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nОБЩО: ") + obs->resultLabel()->text() + QStringLiteral("\r\n\r\n")));

    // Closed and shown again: criteria and result stay.
    obs->hide();
    obs->show();
    EXPECT_EQ(obs->pickList(O::Age)->currentText(), QStringLiteral("35"));
    EXPECT_EQ(obs->model()->rowCount(), narrow);

    click(obs->clearButton());
    EXPECT_TRUE(obs->pickList(O::Age)->currentText().isEmpty());
    EXPECT_TRUE(obs->typedField(O::Pl)->text().isEmpty());
    EXPECT_EQ(obs->resultLabel()->text(), QStringLiteral("подотдели: 0, площ 0.0 ха"));
    EXPECT_EQ(obs->model()->rowCount(), 0);
    EXPECT_FALSE(obs->copyButton()->isEnabled());
    EXPECT_FALSE(obs->printButton()->isEnabled());
}

TEST_F(ObsSieveTest, PrintAsksWithTheRowCountAndPrintsEachListedDescription)
{
    dxtest::RecordingSink sink;
    ReportPrinter::instance().setSinkFactory([&sink] { return std::make_unique<dxtest::ForwardingSink>(sink); });
    QStringList asked;
    bool yes = false;
    w->list->messages.setAskHook([&](const UserMessage &m) {
        asked << m.caption + "|" + m.text;
        return yes;
    });
    obs->pickList(O::Dv1)->setCurrentIndex(0);
    click(obs->runButton());
    const int rows = obs->model()->rowCount();
    ASSERT_GT(rows, 1);
    click(obs->printButton());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("Печат на описания|Действително ли желаете да отпечатите %1 броя таксационни описания?")
                            .arg(rows));
    EXPECT_EQ(sink.pageCount(), 0); // Cancel prints nothing

    // OK: one description of every listed sub-compartment, each a job of its own.
    yes = true;
    click(obs->printButton());
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(sink.pageCount(), rows);
    EXPECT_EQ(int(sink.jobs.size()), rows);
    ReportPrinter::instance().setSinkFactory({});
    w->list->messages.setAskHook({});
}

} // namespace
