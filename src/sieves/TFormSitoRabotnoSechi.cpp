// The cutting-type window: "Сеч 1:" to "Сеч 9:" with the cutting types each position
// holds in the project, and the buttons that hand the choice to the working sieve.
#include "sieves/TFormSitoRabotnoSechi.h"

#include "widgets/WindowContext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace dx {

TFormSitoRabotnoSechi::TFormSitoRabotnoSechi(WindowContext &context)
    : TFormWindow(kCuttingWindowCaption, context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSitoRabotnoSechi"));
    setWindowModality(Qt::ApplicationModal);

    auto *group = new QGroupBox(QStringLiteral("Критерий"));
    auto *grid = new QGridLayout(group);
    for (int n = 1; n <= kCuttingSlots; ++n) {
        auto *label = new QLabel(cuttingSlotLabel(n));
        auto *list = new QComboBox;
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setMinimumWidth(240);
        list->setEnabled(false);
        label->setEnabled(false);
        label->setBuddy(list);
        grid->addWidget(label, n - 1, 0);
        grid->addWidget(list, n - 1, 1);
        lists_[size_t(n - 1)] = list;
        labels_[size_t(n - 1)] = label;
    }

    ok_ = new QPushButton(QStringLiteral("Ок"));
    cancel_ = new QPushButton(QStringLiteral("Отказ"));
    clear_ = new QPushButton(QStringLiteral("Изчисти"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] {
        for (int n = 1; n <= kCuttingSlots; ++n) cutting_.setText(n, slotList(n)->currentText());
        hide();
        if (apply_) apply_(cutting_.ok());
    });
    connect(cancel_, &QPushButton::clicked, this, &QWidget::hide);
    connect(clear_, &QPushButton::clicked, this, [this] {
        cutting_.clear();
        showTexts();
    });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(clear_);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormSitoRabotnoSechi::openFor(const CuttingSlots &confirmed, Apply apply)
{
    apply_ = std::move(apply);
    AppState &state = context_.state();
    if (cutting_.show(state.db, state.projectTablePath)) showLists();
    cutting_.setTexts(confirmed);
    showTexts();
    show();
    raise();
    activateWindow();
}

// A position is usable when the project holds some cutting type in it.
void TFormSitoRabotnoSechi::showLists()
{
    const CuttingTypeLists &l = cutting_.lists();
    for (size_t i = 0; i < lists_.size(); ++i) {
        lists_[i]->clear();
        lists_[i]->addItems(l.lists[i]);
        lists_[i]->setEnabled(l.enabled[i]);
        labels_[i]->setEnabled(l.enabled[i]);
    }
}

void TFormSitoRabotnoSechi::showTexts()
{
    for (size_t i = 0; i < lists_.size(); ++i) {
        const QString &t = cutting_.texts()[i];
        lists_[i]->setCurrentIndex(lists_[i]->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive));
        lists_[i]->setEditText(t);
    }
}

void TFormSitoRabotnoSechi::showEvent(QShowEvent *event)
{
    TFormWindow::showEvent(event);
    // Centred on the desktop.
    if (QScreen *where = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(where->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace dx
