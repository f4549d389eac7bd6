// The single print window and the direct print of the main window's sub-compartment.
#include "printing/TFormPrintEdin.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/WindowContext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>

namespace dx {
namespace {

QPushButton *plainButton(const QString &text)
{
    auto *b = new QPushButton(text);
    // Enter in the fields has its own meaning; no button takes it.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

void writeBranchesChoice(WindowContext &c)
{
    try {
        writeBranches(c.state().settingsPath(), c.state().settings.rangePrint.branches);
    } catch (const std::exception &e) {
        c.showMessage({plainCaption(), QStringLiteral("Настройките не могат да бъдат записани."), UserMessage::Icon::Error,
                       QString::fromUtf8(e.what())});
    }
}

} // namespace

TFormPrintEdin::TFormPrintEdin(WindowContext &c)
    : TFormWindow(QStringLiteral("Единичен печат на описания"), c.owner()), context_(c), composer_(c.state())
{
    auto *grid = new QGridLayout(this);
    editOtd_ = new QLineEdit;
    editOtd_->setObjectName(QStringLiteral("EditOtd"));
    editOtd_->setMaxLength(4);
    editOtd_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), editOtd_));
    editPod_ = new QLineEdit;
    editPod_->setObjectName(QStringLiteral("EditPod"));
    editPod_->setMaxLength(8);
    grid->addWidget(new QLabel(QStringLiteral("Отдел")), 0, 0);
    grid->addWidget(editOtd_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Подотдел")), 0, 1);
    grid->addWidget(editPod_, 1, 1);
    branches_ = new QCheckBox(QStringLiteral("запас и ползване с клони"));
    grid->addWidget(branches_, 2, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    preview_ = plainButton(QStringLiteral("Изглед"));
    print_ = plainButton(QStringLiteral("Печат"));
    cancel_ = plainButton(QStringLiteral("Отказ"));
    buttons->addWidget(preview_);
    buttons->addWidget(print_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(editOtd_, &QLineEdit::textChanged, this, [this] { fieldsChanged(); });
    connect(editPod_, &QLineEdit::textChanged, this, [this] { fieldsChanged(); });
    connect(editOtd_, &QLineEdit::returnPressed, this, [this] {
        editPod_->setFocus();
        editPod_->selectAll();
    });
    connect(editPod_, &QLineEdit::returnPressed, this, [this] { EditPodEnter(); });
    connect(preview_, &QPushButton::clicked, this, [this] { BitBtnPreviewClick(); });
    connect(print_, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { close(); });
    connect(branches_, &QCheckBox::toggled, this, [this](bool on) {
        context_.state().settings.rangePrint.branches = on;
        composer_.setWithBranches(on);
    });
    fieldsChanged();
}

void TFormPrintEdin::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        AppState &s = context_.state();
        editOtd_->setText(s.hasCurrent ? QString::number(s.currentOtd) : QString());
        editPod_->setText(s.hasCurrent ? s.currentPodotd : QString());
        branches_->setChecked(s.settings.rangePrint.branches);
        editOtd_->setFocus();
    }
    TFormWindow::showEvent(event);
}

void TFormPrintEdin::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) writeBranchesChoice(context_);
    TFormWindow::hideEvent(event);
}

void TFormPrintEdin::fieldsChanged()
{
    const bool both = !editOtd_->text().isEmpty() && !editPod_->text().isEmpty();
    preview_->setEnabled(both);
    print_->setEnabled(both);
}

bool TFormPrintEdin::compose()
{
    std::optional<int> otd = wholeNumber(editOtd_->text());
    if (!otd) return false;
    composer_.setWithBranches(context_.state().settings.rangePrint.branches);
    return composer_.compose(*otd, editPod_->text(), [this](const UserMessage &m) { context_.showMessage(m); });
}

void TFormPrintEdin::BitBtnPreviewClick()
{
    if (compose()) ReportPrinter::instance().preview(composer_.report(), this);
}

void TFormPrintEdin::BitBtnPrintClick()
{
    std::optional<int> otd = wholeNumber(editOtd_->text());
    if (otd) printDescription(context_, composer_, *otd, editPod_->text(), true);
}

void TFormPrintEdin::EditPodEnter()
{
    // Without a compartment number there is nothing to compose: the focus goes back to it.
    std::optional<int> otd = wholeNumber(editOtd_->text());
    if (!otd) {
        editOtd_->setFocus();
        return;
    }
    printDescription(context_, composer_, *otd, editPod_->text(), false);
}

} // namespace dx
