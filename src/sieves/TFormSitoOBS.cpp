// The OBS sieve's window: its two criteria groups, the result grid and label, and the
// commands on the result.
#include "sieves/TFormSitoOBS.h"

#include "core/AppState.h"
#include "core/GridModel.h"
#include "printing/PrintRun.h"
#include "sieves/SieveClause.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/TFormSitoRabotnoWait.h"
#include "widgets/WindowContext.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {

TFormSitoOBS::TFormSitoOBS(WindowContext &context)
    : TFormWindow(QStringLiteral("Сито ОБС"), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSitoOBS"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    auto *criteriaBox = new QGroupBox(QStringLiteral("Критерий"));
    auto *groups = new QHBoxLayout(criteriaBox);
    groups->addWidget(buildGroup(true));
    groups->addWidget(buildGroup(false));

    auto *resultBox = new QGroupBox(QStringLiteral("Резултат"));
    auto *resultLayout = new QVBoxLayout(resultBox);
    grid_ = new QTableView;
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    model_ = new DataGridModel(grid_);
    grid_->setModel(model_);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette p = grid_->palette();
    p.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    grid_->setPalette(p);
    connect(grid_, &QTableView::doubleClicked, this, &TFormSitoOBS::DBGrid1DblClick);
    label_ = new QLabel(kInitialSieveLabel);
    resultLayout->addWidget(grid_, 1);
    resultLayout->addWidget(label_);

    auto button = [this](const char *text, void (TFormSitoOBS::*slot)()) {
        auto *b = new QPushButton(QString::fromUtf8(text));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    run_ = button("Ok", &TFormSitoOBS::BitBtn1Click);
    copy_ = button("Копирай", &TFormSitoOBS::BitBtn5Click);
    print_ = button("Печат", &TFormSitoOBS::BitBtn7Click);
    clear_ = button("Изчисти", &TFormSitoOBS::BitBtn4Click);
    close_ = new QPushButton(QStringLiteral("Изход"));
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {run_, copy_, print_, clear_, close_}) buttons->addWidget(b);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(criteriaBox);
    layout->addWidget(resultBox, 1);
    layout->addLayout(buttons);
    enableResult(false);
    resize(560, 640);
    setFixedSize(size());
}

QWidget *TFormSitoOBS::buildGroup(bool future)
{
    auto *box = new QGroupBox(future ? QStringLiteral("Бъдещ състав") : QStringLiteral("Сегашен състав"));
    auto *form = new QFormLayout(box);
    for (const ObsCriterion &c : obsCriteria()) {
        if (c.future != future) continue;
        const size_t i = size_t(c.id);
        QWidget *control = nullptr;
        if (c.control.startsWith(QLatin1String("Edit"))) {
            fields_[i] = new QLineEdit;
            control = fields_[i];
        } else {
            lists_[i] = new QComboBox;
            lists_[i]->setEditable(true);
            lists_[i]->setInsertPolicy(QComboBox::NoInsert);
            control = lists_[i];
        }
        control->setObjectName(c.control);
        form->addRow(c.label, control);
    }
    return box;
}

ObsCriteria TFormSitoOBS::criteria() const
{
    ObsCriteria out;
    for (size_t i = 0; i < size_t(kObsCriterionCount); ++i)
        out.texts[i] = lists_[i] ? lists_[i]->currentText() : fields_[i]->text();
    return out;
}

void TFormSitoOBS::setCriteria(const ObsCriteria &criteria)
{
    for (size_t i = 0; i < size_t(kObsCriterionCount); ++i) {
        if (lists_[i]) lists_[i]->setEditText(criteria.texts[i]);
        else fields_[i]->setText(criteria.texts[i]);
    }
}

void TFormSitoOBS::LoadComboOBS()
{
    TFormSitoRabotnoWait *wait = context_.windows().get<TFormSitoRabotnoWait>();
    if (wait) wait->start(kLoadComboText, kLoadComboObsSteps);
    const ObsPickLists loaded = dx::LoadComboOBS(context_.state(), [wait](int step, int) {
        if (wait) wait->setPosition(step);
    });
    for (size_t i = 0; i < size_t(kObsCriterionCount); ++i) {
        if (lists_[i]) {
            lists_[i]->clear();
            lists_[i]->addItems(loaded.lists[i]);
        }
    }
    setCriteria(ObsCriteria());
    if (wait) wait->hide();
}

void TFormSitoOBS::showEvent(QShowEvent *event)
{
    AppState &state = context_.state();
    if (!event->spontaneous() && !state.obsSieveLoaded) {
        LoadComboOBS();
        state.obsSieveLoaded = true;
    }
    TFormWindow::showEvent(event);
}

void TFormSitoOBS::closeResult()
{
    model_->setColumns({});
    model_->clearRows();
}

void TFormSitoOBS::enableResult(bool on)
{
    copy_->setEnabled(on);
    print_->setEnabled(on);
}

void TFormSitoOBS::BitBtn1Click()
{
    closeResult();
    ObsRunOutcome run = runObsSieve(context_.state(), criteria(), label_->text());
    switch (run.status) {
    case ObsRunOutcome::Status::NoCriterion:
        QApplication::beep();
        context_.showMessage(run.message);
        return;
    case ObsRunOutcome::Status::InvalidData:
        // The label and the buttons stay as they were.
        context_.showMessage(run.message);
        return;
    case ObsRunOutcome::Status::NoRows:
    case ObsRunOutcome::Status::Rows:
        break;
    }
    fillSieveModel(*model_, run.result);
    label_->setText(run.label);
    const bool rows = run.status == ObsRunOutcome::Status::Rows;
    for (int c = 0; c < model_->columnCount(); ++c)
        if (const int w = sieveColumnPixelWidth(c, rows)) grid_->setColumnWidth(c, w);
    enableResult(rows);
}

void TFormSitoOBS::BitBtn5Click()
{
    const AppState &state = context_.state();
    CopyPlainGridToClipboard(grid_, obsCopyTitle(criteria(), state.title, state.year),
                             obsCopyFooter(label_->text(), state.contactLine), false);
    grid_->setFocus();
}

void TFormSitoOBS::BitBtn7Click()
{
    const int rows = model_->rowCount();
    if (rows == 0) return;
    const QString text = rows == 1
                             ? QStringLiteral("Действително ли желаете да отпечатите %1 брой таксационни описания?")
                             : QStringLiteral("Действително ли желаете да отпечатите %1 броя таксационни описания?");
    if (!context_.ask({QStringLiteral("Печат на описания"), text.arg(rows), UserMessage::Icon::None, {}},
                      MessageSink::Buttons::OkCancel))
        return;
    QVector<RangeEntry> entries;
    for (int r = 0; r < rows; ++r) entries.push_back({model_->displayText(r, 0).toInt(), model_->displayText(r, 1)});
    DescriptionComposer composer(context_.state());
    PrintRunOptions o;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    printDescriptions(context_.state(), composer, entries, *sink, o);
}

void TFormSitoOBS::BitBtn4Click()
{
    setCriteria(ObsCriteria());
    label_->setText(kInitialSieveLabel);
    enableResult(false);
    closeResult();
}

void TFormSitoOBS::DBGrid1DblClick()
{
    const QModelIndex current = grid_->currentIndex();
    if (model_->rowCount() == 0 || !current.isValid()) return;
    emit subCompartmentChosen(model_->displayText(current.row(), 0), model_->displayText(current.row(), 1));
    grid_->setFocus();
}

} // namespace dx
