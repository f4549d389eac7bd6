// The pre-compartment sheet window.
#include "printing/TFormPrintPList.h"

#include "core/Quoting.h"
#include "printing/PrintRun.h"
#include "printing/SheetComposer.h"
#include "printing/TFormPrintProgress.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/WindowContext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>

namespace dx {

TFormPrintPList::TFormPrintPList(WindowContext &c)
    : TFormWindow(QStringLiteral("Печат на предотделен лист"), c.owner()), context_(c)
{
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Отдел")), 0, 0);
    field_ = new QLineEdit;
    field_->setMaxLength(4);
    field_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field_));
    grid->addWidget(field_, 1, 0);
    all_ = new QCheckBox(QStringLiteral("печат на всички"));
    grid->addWidget(all_, 1, 1);
    auto *buttons = new QHBoxLayout;
    auto button = [&](const QString &text) {
        auto *b = new QPushButton(text);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    preview_ = button(QStringLiteral("Изглед"));
    print_ = button(QStringLiteral("Печат"));
    cancel_ = button(QStringLiteral("Отказ"));
    grid->addLayout(buttons, 2, 0, 1, 2);
    connect(field_, &QLineEdit::textChanged, this, [this] { fieldChanged(); });
    connect(all_, &QCheckBox::toggled, this, [this] { CheckBoxClick(); });
    connect(preview_, &QPushButton::clicked, this, [this] { BitBtnPreviewClick(); });
    connect(print_, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { close(); });
    confirm_ = [this](const QString &question) {
        return QMessageBox::question(this, QStringLiteral("Печат описания"), question, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    fieldChanged();
}

void TFormPrintPList::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !all_->isChecked()) {
        const AppState &s = context_.state();
        field_->setText(s.hasCurrent ? QString::number(s.currentOtd) : QString());
    }
    TFormWindow::showEvent(event);
}

void TFormPrintPList::CheckBoxClick()
{
    const AppState &s = context_.state();
    if (all_->isChecked()) {
        field_->setText(QStringLiteral("%1-%2").arg(s.firstOtd).arg(s.lastOtd));
        field_->setEnabled(false);
        preview_->setEnabled(false);
        print_->setEnabled(true);
        print_->setFocus();
    } else {
        field_->clear();
        field_->setEnabled(true);
        field_->setFocus();
        fieldChanged();
    }
}

void TFormPrintPList::fieldChanged()
{
    const bool filled = !field_->text().isEmpty();
    preview_->setEnabled(filled && !all_->isChecked());
    print_->setEnabled(filled);
}

void TFormPrintPList::BitBtnPreviewClick()
{
    std::optional<int> otd = wholeNumber(field_->text());
    if (!otd) return;
    AppState &s = context_.state();
    std::optional<PrintedSheet> sheet = composeSheet(s, *otd, QString(), [this](const UserMessage &m) { context_.showMessage(m); });
    if (sheet) ReportPrinter::instance().preview(sheetReport(*sheet, s.settings.sheet), this);
}

void TFormPrintPList::BitBtnPrintClick()
{
    if (all_->isChecked()) {
        printAll();
        return;
    }
    std::optional<int> otd = wholeNumber(field_->text());
    if (!otd) return;
    ReportPrinter &printer = ReportPrinter::instance();
    auto report = [this](const UserMessage &m) { context_.showMessage(m); };
    if (!printer.ready()) {
        // No printer: the system's print dialog, which offers a PDF file.
        std::optional<PrintedSheet> sheet = composeSheet(context_.state(), *otd, QString(), report);
        if (sheet) printer.printWithDialog(sheetReport(*sheet, context_.state().settings.sheet), this);
        return;
    }
    std::unique_ptr<PageSink> sink = printer.jobSink();
    bool refused = false;
    printSheet(context_.state(), *otd, *sink, report, &refused);
    if (refused) context_.showMessage(printerFailedMessage());
}

void TFormPrintPList::printAll()
{
    if (!ReportPrinter::instance().ready()) {
        context_.showMessage(printerFailedMessage());
        return;
    }
    const QVector<int> compartments = sheetCompartments(context_.state());
    const int total = int(compartments.size());
    if (!confirm_(printAllSheetsQuestion(total))) return;
    auto *progress = context_.windows().get<TFormPrintProgress>();
    if (progress) progress->start(printProgressLabel(0, total), printProgressTitle(0, total), total, &stop_);
    else stop_ = false;
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    int done = 0;
    bool refused = false;
    for (int otd : compartments) {
        if (stop_) break;
        printSheet(context_.state(), otd, *sink, [this](const UserMessage &m) { context_.showMessage(m); }, &refused);
        // A printer that refused a sheet or lost it ends the run there: nothing is sent twice.
        if (refused) break;
        ++done;
        if (progress) progress->step(printProgressLabel(done, total), printProgressTitle(done, total), done);
    }
    if (progress) progress->finish();
    if (refused) context_.showMessage(printerFailedMessage());
}

} // namespace dx
