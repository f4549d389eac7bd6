// The range print window and its list window.
#include "printing/TFormPrintOtDo.h"

#include "core/Quoting.h"
#include "printing/TFormPrintProgress.h"
#include "printing/TFormPrintSet.h"
#include "printing/TwoSidedRun.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/WindowContext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace dx {
namespace {

QPushButton *plainButton(const QString &text)
{
    auto *b = new QPushButton(text);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *numberField()
{
    auto *f = new QLineEdit;
    f->setMaxLength(4);
    f->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), f));
    return f;
}

QString caption() { return QStringLiteral("Поточен печат на описания"); }

} // namespace

// ---- "Списък подотдели" ----

TFormPrintOtDoList::TFormPrintOtDoList(WindowContext &c)
    : TFormWindow(QStringLiteral("Списък подотдели"), c.owner()), context_(c)
{
    auto *box = new QVBoxLayout(this);
    grid_ = new QTableWidget(0, 3);
    grid_->setHorizontalHeaderLabels({QStringLiteral("OTD"), QStringLiteral("SEP"), QStringLiteral("POD")});
    grid_->setColumnWidth(1, 8);
    grid_->setColumnWidth(2, 74);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    box->addWidget(grid_);
    count_ = new QLabel(QStringLiteral("Брой описания: 0"));
    box->addWidget(count_);
    auto *buttons = new QHBoxLayout;
    preview_ = plainButton(QStringLiteral("Изглед"));
    auto *close = plainButton(QStringLiteral("Затвори"));
    buttons->addWidget(preview_);
    buttons->addWidget(close);
    box->addLayout(buttons);
    connect(preview_, &QPushButton::clicked, this, [this] { BitBtnPreviewClick(); });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { BitBtnPreviewClick(); });
    connect(close, &QPushButton::clicked, this, [this] { this->close(); });
}

void TFormPrintOtDoList::setEntries(const QVector<RangeEntry> &entries)
{
    grid_->setRowCount(0);
    grid_->setRowCount(int(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        grid_->setItem(i, 0, new QTableWidgetItem(QString::number(entries[i].otd)));
        grid_->setItem(i, 1, new QTableWidgetItem(QStringLiteral(":")));
        grid_->setItem(i, 2, new QTableWidgetItem(entries[i].podotd));
    }
    count_->setText(QStringLiteral("Брой описания: %1").arg(entries.size()));
    if (!entries.isEmpty()) grid_->selectRow(0);
}

void TFormPrintOtDoList::BitBtnPreviewClick()
{
    const int row = grid_->currentRow();
    if (row < 0) return;
    const std::optional<int> otd = wholeNumber(grid_->item(row, 0)->text());
    if (!otd) return;
    DescriptionComposer composer(context_.state());
    composer.setWithBranches(context_.state().settings.rangePrint.branches);
    if (composer.compose(*otd, grid_->item(row, 2)->text(), [this](const UserMessage &m) { context_.showMessage(m); }))
        ReportPrinter::instance().preview(composer.report(), this);
}

// ---- "Поточен печат на описания" ----

TFormPrintOtDo::TFormPrintOtDo(WindowContext &c) : TFormWindow(caption(), c.owner()), context_(c), composer_(c.state())
{
    auto *grid = new QGridLayout(this);
    from_ = numberField();
    to_ = numberField();
    grid->addWidget(new QLabel(QStringLiteral("Oт отдел")), 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("До")), 0, 2);
    grid->addWidget(to_, 0, 3);
    all_ = new QCheckBox(QStringLiteral("всички описания"));
    sheets_ = new QCheckBox(QStringLiteral("предотделен лист"));
    branches_ = new QCheckBox(QStringLiteral("запас и ползване с клони"));
    grid->addWidget(all_, 1, 0, 1, 4);
    grid->addWidget(sheets_, 2, 0, 1, 4);
    grid->addWidget(branches_, 3, 0, 1, 4);
    twoSided_ = new QGroupBox(QStringLiteral("двустранен печат"));
    twoSided_->setCheckable(true);
    twoSided_->setChecked(false);
    auto *sides = new QVBoxLayout(twoSided_);
    manual_ = new QRadioButton(QStringLiteral("ръчно обръщане на листата"));
    duplex_ = new QRadioButton(QStringLiteral("автоматично (Duplex Printer)"));
    manual_->setChecked(true);
    sides->addWidget(manual_);
    sides->addWidget(duplex_);
    grid->addWidget(twoSided_, 4, 0, 1, 4);
    auto *buttons = new QHBoxLayout;
    list_ = plainButton(QStringLiteral("Списък"));
    print_ = plainButton(QStringLiteral("Печат"));
    settings_ = plainButton(QStringLiteral("Настройки"));
    cancel_ = plainButton(QStringLiteral("Отказ"));
    for (QPushButton *b : {list_, print_, settings_, cancel_}) buttons->addWidget(b);
    grid->addLayout(buttons, 5, 0, 1, 4);

    connect(from_, &QLineEdit::textChanged, this, [this] { fieldsChanged(); });
    connect(to_, &QLineEdit::textChanged, this, [this] { fieldsChanged(); });
    connect(all_, &QCheckBox::clicked, this, [this] { CheckBoxAllClick(); });
    connect(branches_, &QCheckBox::toggled, this, [this](bool on) {
        context_.state().settings.rangePrint.branches = on;
        composer_.setWithBranches(on);
    });
    connect(twoSided_, &QGroupBox::toggled, this, [this] { twoSidedClick(); });
    connect(manual_, &QRadioButton::clicked, this, [this] { RadioManualClick(); });
    connect(duplex_, &QRadioButton::clicked, this, [this] { RadioDuplexClick(); });
    connect(list_, &QPushButton::clicked, this, [this] { BitBtnListClick(); });
    connect(print_, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });
    connect(settings_, &QPushButton::clicked, this, [this] {
        if (auto *w = context_.windows().get<TFormPrintSet>()) w->show();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { close(); });
    confirm_ = [this](const QString &question) {
        return QMessageBox::question(this, QStringLiteral("Печат описания"), question, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    prompt_ = [this](const UserMessage &m) {
        return QMessageBox::information(this, m.caption, m.text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    };
    composer_.setFooterLineWidth(4);
    fieldsChanged();
}

void TFormPrintOtDo::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        // The choices as the settings file left them (or as the window was closed).
        const RangePrintChoices &r = context_.state().settings.rangePrint;
        loading_ = true;
        sheets_->setChecked(r.preSheet);
        branches_->setChecked(r.branches);
        composer_.setWithBranches(r.branches);
        twoSided_->setChecked(r.twoSided);
        (r.manual ? manual_ : duplex_)->setChecked(true);
        composer_.setFooterLineWidth(r.manual ? 4 : 1);
        all_->setChecked(r.all);
        if (r.all) {
            CheckBoxAllClick();
        } else {
            from_->setEnabled(true);
            to_->setEnabled(true);
            from_->setText(r.from);
            to_->setText(r.to);
        }
        loading_ = false;
        fieldsChanged();
    }
    TFormWindow::showEvent(event);
}

void TFormPrintOtDo::choicesToState()
{
    RangePrintChoices &r = context_.state().settings.rangePrint;
    r.all = all_->isChecked();
    r.preSheet = sheets_->isChecked();
    r.branches = branches_->isChecked();
    r.twoSided = twoSided_->isChecked();
    r.manual = manual_->isChecked();
    r.from = from_->text();
    r.to = to_->text();
}

void TFormPrintOtDo::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        choicesToState();
        try {
            writeRangePrintChoices(context_.state().settingsPath(), context_.state().settings.rangePrint);
        } catch (const std::exception &e) {
            context_.showMessage({plainCaption(), QStringLiteral("Настройките не могат да бъдат записани."),
                                  UserMessage::Icon::Error, QString::fromUtf8(e.what())});
        }
    }
    TFormWindow::hideEvent(event);
}

void TFormPrintOtDo::CheckBoxAllClick()
{
    const AppState &s = context_.state();
    if (all_->isChecked()) {
        from_->setText(QString::number(s.firstOtd));
        to_->setText(QString::number(s.lastOtd));
        from_->setEnabled(false);
        to_->setEnabled(false);
    } else {
        from_->clear();
        to_->clear();
        from_->setEnabled(true);
        to_->setEnabled(true);
        from_->setFocus();
    }
}

void TFormPrintOtDo::fieldsChanged()
{
    const bool filled = !from_->text().isEmpty() && !to_->text().isEmpty();
    list_->setEnabled(filled);
    print_->setEnabled(filled);
}

void TFormPrintOtDo::twoSidedClick()
{
    manual_->setEnabled(twoSided_->isChecked());
    duplex_->setEnabled(twoSided_->isChecked());
}

void TFormPrintOtDo::RadioManualClick() { composer_.setFooterLineWidth(4); }

bool TFormPrintOtDo::PrinterSupportsDuplex() { return ReportPrinter::instance().supportsDuplex(); }

void TFormPrintOtDo::RadioDuplexClick()
{
    composer_.setFooterLineWidth(1);
    if (PrinterSupportsDuplex()) return;
    context_.showMessage({caption(),
                          QStringLiteral("Принтера които сте избрали не поддържа автоматично обръщане на листата.\r\n"
                                         "Моля изберете друг принтер или оставете опцията \"ръчно обръщане на листата\"."),
                          UserMessage::Icon::Error,
                          {}});
    manual_->setChecked(true);
    composer_.setFooterLineWidth(4);
}

bool TFormPrintOtDo::resolve()
{
    const std::optional<int> from = wholeNumber(from_->text()), to = wholeNumber(to_->text());
    if (!from || !to) return false;
    std::optional<QVector<RangeEntry>> list =
        resolveRange(context_.state(), *from, *to, [this](const UserMessage &m) { context_.showMessage(m); });
    if (!list) return false;
    entries_ = *list;
    if (auto *w = context_.windows().get<TFormPrintOtDoList>()) w->setEntries(entries_);
    return true;
}

void TFormPrintOtDo::BitBtnListClick()
{
    if (!resolve()) return;
    if (auto *w = context_.windows().get<TFormPrintOtDoList>()) w->show();
}

void TFormPrintOtDo::BitBtnPrintClick()
{
    if (!resolve()) return;
    if (!ReportPrinter::instance().ready()) {
        context_.showMessage(printerFailedMessage());
        return;
    }
    choicesToState();
    composer_.setWithBranches(branches_->isChecked());
    const bool two = twoSided_->isChecked();
    const int compartments = two ? int(listCompartments(entries_).size()) : compartmentRuns(entries_);
    const int total = int(entries_.size()) + (sheets_->isChecked() ? compartments : 0);
    if (!confirm_(printDescriptionsQuestion(total))) return;
    if (!two) PrintOneSided(total);
    else if (manual_->isChecked()) PrintTwoSided(total);
    else PrintTwoSidedDuplex(total);
}

namespace {

// The progress window through a run, and the messages of how the run ended.
struct Progress {
    WindowContext &context;
    TFormPrintProgress *window;
    int total;

    void step(int done, const QString &title)
    {
        if (window) window->step(printProgressLabel(done, total), title, done);
    }
    void end(const PrintRunResult &r)
    {
        if (window) window->finish();
        if (r.failed) context.showMessage(printerFailedMessage());
    }
};

} // namespace

void TFormPrintOtDo::PrintOneSided(int total)
{
    auto *window = context_.windows().get<TFormPrintProgress>();
    Progress p{context_, window, total};
    if (window) window->start(printProgressLabel(0, total), printProgressTitle(0, total), total, &stop_);
    else stop_ = false;
    PrintRunOptions o;
    o.sheets = sheets_->isChecked();
    o.stop = &stop_;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    o.progress = [&](int done) { p.step(done, printProgressTitle(done, total)); };
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    p.end(printDescriptions(context_.state(), composer_, entries_, *sink, o));
}

void TFormPrintOtDo::PrintTwoSided(int total)
{
    auto *window = context_.windows().get<TFormPrintProgress>();
    Progress p{context_, window, total};
    if (window) window->start(printProgressLabel(0, total), printProgressTitle(0, total), total, &stop_);
    else stop_ = false;
    PrintRunOptions o;
    o.sheets = sheets_->isChecked();
    o.stop = &stop_;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    o.progress = [&](int done) { p.step(done, printProgressTitle(done, total)); };
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    p.end(printManualTwoSided(context_.state(), composer_, entries_, *sink, o, prompt_));
}

void TFormPrintOtDo::PrintTwoSidedDuplex(int total)
{
    auto *window = context_.windows().get<TFormPrintProgress>();
    Progress p{context_, window, total};
    if (window)
        window->start(QStringLiteral("Отпечатване на %1 листа").arg(total), QStringLiteral("Подготовка, моля изчакайте..."),
                      total, &stop_);
    else stop_ = false;
    PrintRunOptions o;
    o.sheets = sheets_->isChecked();
    o.stop = &stop_;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    o.printed = [&](int done, const RangeEntry &e) {
        const int percent = total > 0 ? int(std::lround(100.0 * done / total)) : 0;
        const QString where = e.podotd.isEmpty() ? QStringLiteral(" [отдел %1]").arg(e.otd)
                                                 : QStringLiteral(" [подотдел %1:%2]").arg(e.otd).arg(e.podotd);
        p.step(done, QStringLiteral("Отпечатване... %1%").arg(percent) + where);
    };
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    p.end(printDuplex(context_.state(), composer_, entries_, *sink, o));
}

} // namespace dx
