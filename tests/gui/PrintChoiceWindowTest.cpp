// The working sieve's print-choice window, opened from the sieve's menu over a run's
// result and driven through its check boxes and buttons: descriptions with their question
// and progress, sheets of whole compartments or of the matching sub-compartments only,
// the stop button, and the export variant that hands the result on.
#include "WorkingSieveFixture.h"

#include "printing/RecordingSink.h"
#include "printing/TFormPrintProgress.h"
#include "widgets/GuiReportPrinter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

using namespace dx;
using I = CriterionId;

namespace {

class PrintChoiceTest : public dxtest::WorkingSieveTest {
protected:
    void SetUp() override
    {
        dxtest::WorkingSieveTest::SetUp();
        choice = window<TFormSitoRabotnoPrint>("TFormSitoRabotnoPrint");
        progress = w->list->registry.get<TFormPrintProgress>();
        ASSERT_TRUE(choice && progress);
        ReportPrinter::instance().setSinkFactory([this] { return std::make_unique<dxtest::ForwardingSink>(sink); });
        w->list->messages.setAskHook([this](const UserMessage &m) {
            asked << m.caption + "|" + m.text;
            return answer;
        });
    }
    void TearDown() override
    {
        ReportPrinter::instance().setSinkFactory({});
        w->list->messages.setAskHook({});
    }
    // The sieve's "Файл" menu entry of this text.
    QAction *fileEntry(const QString &text) const
    {
        for (QAction *menu : sieve->menus()->actions())
            if (menu->menu())
                for (QAction *a : menu->menu()->actions())
                    if (a->text() == text) return a;
        return nullptr;
    }
    // The compartment of every sheet job, "[3]" from "Dendrix - NAME YEAR [3]".
    QStringList sheetJobs() const
    {
        QStringList out;
        for (const auto &job : sink.jobs)
            for (const QString &t : job.pages)
                if (t.startsWith(QStringLiteral("Dendrix - ")) && !t.contains(':')) out << t.mid(t.lastIndexOf('['));
        return out;
    }

    TFormSitoRabotnoPrint *choice = nullptr;
    TFormPrintProgress *progress = nullptr;
    dxtest::RecordingSink sink;
    QStringList asked;
    bool answer = true;
};

} // namespace

TEST_F(PrintChoiceTest, OpenedFromTheMenuItsChoiceEnablesPrintAndTheSettings)
{
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    ASSERT_GT(sieve->model()->rowCount(), 0);
    QAction *entry = fileEntry(QStringLiteral("Печат на таксационни описания от филтрираните подотдели"));
    ASSERT_TRUE(entry);
    entry->trigger();
    ASSERT_TRUE(choice->isVisible());
    EXPECT_EQ(choice->windowTitle(), QStringLiteral("Сито работно - Печат"));
    EXPECT_FALSE(choice->printButton()->isHidden());
    EXPECT_TRUE(choice->exportButton()->isHidden());
    EXPECT_FALSE(choice->printButton()->isEnabled());
    EXPECT_FALSE(choice->allButton()->isEnabled());
    EXPECT_TRUE(choice->allButton()->isChecked());
    EXPECT_TRUE(choice->settingsGroup()->toolTip().contains(QStringLiteral("\"Предотделен лист\"")));
    EXPECT_EQ(choice->list().subCompartments.size(), sieve->model()->rowCount());

    choice->descriptionsBox()->click();
    EXPECT_TRUE(choice->printButton()->isEnabled());
    choice->sheetBox()->click();
    EXPECT_TRUE(choice->selectedButton()->isEnabled());
    EXPECT_TRUE(choice->settingsGroup()->toolTip().isEmpty());
    choice->descriptionsBox()->click();
    EXPECT_TRUE(choice->printButton()->isEnabled());
    choice->sheetBox()->click();
    EXPECT_FALSE(choice->printButton()->isEnabled());
    EXPECT_FALSE(choice->selectedButton()->isEnabled());

    // Shown again: both boxes unticked.
    choice->sheetBox()->click();
    choice->cancelButton()->click();
    EXPECT_FALSE(choice->isVisible());
    entry->trigger();
    EXPECT_FALSE(choice->sheetBox()->isChecked());
    EXPECT_FALSE(choice->printButton()->isEnabled());
    choice->close();
}

TEST_F(PrintChoiceTest, DescriptionsThenSheetsWithQuestionsAndProgress)
{
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    const int rows = sieve->model()->rowCount();
    ASSERT_GT(rows, 1);
    sieve->openPrintChoice();
    choice->descriptionsBox()->click();
    choice->sheetBox()->click();

    // Cancel to the descriptions' question stops the whole print.
    answer = false;
    choice->printButton()->click();
    EXPECT_FALSE(choice->isVisible());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("Печат на описания|Действително ли желаете да отпечатите %1 броя таксационни описания?").arg(rows));
    EXPECT_EQ(sink.pageCount(), 0);

    answer = true;
    asked.clear();
    sieve->openPrintChoice();
    choice->descriptionsBox()->click();
    choice->sheetBox()->click();
    choice->printButton()->click();
    const QVector<int> compartments = sheetCompartmentsOf(sieve->handOver().subCompartments);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1], QStringLiteral("Печат описания|Сигурни ли сте, че желаете да отпечатите %1 броя предотделни листа?")
                            .arg(compartments.size()));
    EXPECT_EQ(int(sink.jobs.size()), rows + compartments.size());
    QStringList expected;
    for (int otd : compartments) expected << QStringLiteral("[%1]").arg(otd);
    EXPECT_EQ(sheetJobs(), expected);
    // The progress window counted the sheets to the end and closed.
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(progress->label()->text(), QStringLiteral("Отпечатване на  %1 от %1 листа").arg(compartments.size()));
    EXPECT_EQ(progress->windowTitle(), QStringLiteral("Отпечатване... 100%"));
}

TEST_F(PrintChoiceTest, SheetsAreCollectedInResultOrderAndStopOnCancel)
{
    // A result ordered 1а, 1б, 2а, 1в: three sheets, compartment 1 twice.
    SieveHandOver list;
    list.subCompartments = {{"1", "а"}, {"1", "б"}, {"2", "а"}, {"1", "в"}};
    choice->open(list, TFormSitoRabotnoPrint::Mode::Print);
    choice->sheetBox()->click();
    choice->printButton()->click();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].endsWith(QStringLiteral(" 3 броя предотделни листа?")));
    EXPECT_EQ(sheetJobs(), QStringList({"[1]", "[2]", "[1]"}));

    // "Отказ" in the progress window after the first sheet: no further sheet.
    sink.jobs.clear();
    sink.onPage = [this] { progress->cancelButton()->click(); };
    choice->open(list, TFormSitoRabotnoPrint::Mode::Print);
    choice->sheetBox()->click();
    choice->printButton()->click();
    EXPECT_EQ(sheetJobs(), QStringList({"[1]"}));
    sink.onPage = {};

    // An empty result: no description question, 0 sheets asked about, nothing printed.
    sink.jobs.clear();
    asked.clear();
    choice->open(SieveHandOver(), TFormSitoRabotnoPrint::Mode::Print);
    choice->descriptionsBox()->click();
    choice->sheetBox()->click();
    choice->printButton()->click();
    EXPECT_EQ(asked, QStringList({"Печат описания|Сигурни ли сте, че желаете да отпечатите 0 броя предотделни листа?"}));
    EXPECT_EQ(sink.pageCount(), 0);
}

TEST_F(PrintChoiceTest, OnlyTheFilteredSubCompartmentsGoOnTheirSheets)
{
    // One sub-compartment of a compartment that has several.
    Database &db = state().db;
    const QueryResult r = db.execute(QStringLiteral("select OTD, PODOTD from \"%1\" where OTD in (select OTD from \"%1\" "
                                                    "group by OTD having count(*) > 1) order by OTD limit 1")
                                         .arg(state().projectTablePath).toStdString());
    ASSERT_EQ(r.rows.size(), 1u);
    const QString otd = QString::fromStdString(r.rows[0][0].toText());
    const QString pod = QString::fromStdString(r.rows[0][1].toText());
    SieveHandOver list;
    list.selection = QStringLiteral("PODOTD=\"%1\"").arg(pod);
    list.subCompartments = {{otd, pod}};

    QList<int> sheetRows;
    class Rows : public PageSink {
    public:
        explicit Rows(QList<int> &out) : out_(out) {}
        void beginJob(const QString &) override {}
        bool addReport(const Report &r) override
        {
            int n = 0;
            for (const ReportPage &p : r.pages) n += int(p.items.size());
            out_ << n;
            return true;
        }
        bool endJob() override { return true; }
        QList<int> &out_;
    };
    ReportPrinter::instance().setSinkFactory([&] { return std::make_unique<Rows>(sheetRows); });
    for (bool selected : {false, true}) {
        choice->open(list, TFormSitoRabotnoPrint::Mode::Print);
        choice->sheetBox()->click();
        (selected ? choice->selectedButton() : choice->allButton())->click();
        choice->printButton()->click();
    }
    ASSERT_EQ(sheetRows.size(), 2);
    EXPECT_LT(sheetRows[1], sheetRows[0]); // the filtered sheet has fewer rows to draw
}

TEST_F(PrintChoiceTest, ExportEntryOpensTheExportVariantWhichHandsTheResultOn)
{
    set(I::StopKlas, sieve->pickList(I::StopKlas)->itemText(0));
    run();
    ASSERT_GT(sieve->model()->rowCount(), 0);
    QList<SieveHandOver> handed;
    QObject::connect(sieve, &TFormSitoRabotno::exportRequested, sieve, [&](const SieveHandOver &l) { handed << l; });
    QAction *entry = fileEntry(QStringLiteral("Експорт във файл на таксационни описания от филтрираните подотдели"));
    ASSERT_TRUE(entry);
    ASSERT_TRUE(entry->isEnabled());
    entry->trigger();
    ASSERT_TRUE(choice->isVisible());
    EXPECT_FALSE(choice->exportButton()->isHidden());
    EXPECT_TRUE(choice->printButton()->isHidden());
    EXPECT_EQ(choice->exportButton()->toolTip(), QStringLiteral("Експорт на филтрираните подотдели във файл"));
    choice->exportButton()->click();
    EXPECT_FALSE(choice->isVisible());
    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(handed[0].subCompartments, sieve->handOver().subCompartments);
    EXPECT_EQ(handed[0].subCompartments.size(), sieve->model()->rowCount());
    EXPECT_EQ(sink.pageCount(), 0);

    // Opened for printing again, the variant is gone.
    sieve->openPrintChoice();
    EXPECT_TRUE(choice->exportButton()->isHidden());
    EXPECT_FALSE(choice->printButton()->isHidden());
    choice->close();
}
