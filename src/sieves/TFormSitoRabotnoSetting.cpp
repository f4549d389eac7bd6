// The column-choice window: a check list of the field table's captions, the counts,
// "select all" and "clear all", and "Ok" that stores the choice in the settings file.
#include "sieves/TFormSitoRabotnoSetting.h"

#include "core/ProfileFile.h"
#include "widgets/WindowContext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dx {

TFormSitoRabotnoSetting::TFormSitoRabotnoSetting(WindowContext &context)
    : TFormWindow(QStringLiteral("Настройки - Сито работно"), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSitoRabotnoSetting"));
    setWindowModality(Qt::ApplicationModal);

    list_ = new QListWidget;
    for (const SieveField &f : sieveFieldTable()) {
        auto *item = new QListWidgetItem(f.caption, list_);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    list_->setMinimumSize(220, 320);
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (filling_) return;
        choice_.setTicked(list_->row(item), item->checkState() == Qt::Checked);
        showChoice();
    });

    total_ = new QLabel;
    selected_ = new QLabel;
    selectAll_ = new QPushButton(QStringLiteral("<< Избери всички"));
    clearAll_ = new QPushButton(QStringLiteral("<< Изчисти всички"));
    for (QPushButton *b : {selectAll_, clearAll_}) b->setFlat(true);
    connect(selectAll_, &QPushButton::clicked, this, [this] {
        choice_.tickAll();
        showChoice();
    });
    connect(clearAll_, &QPushButton::clicked, this, [this] {
        choice_.clearAll();
        showChoice();
    });

    auto *page = new QWidget;
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->addWidget(list_, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(total_);
    side->addWidget(selected_);
    side->addSpacing(12);
    side->addWidget(selectAll_);
    side->addWidget(clearAll_);
    side->addStretch(1);
    pageLayout->addLayout(side);
    auto *tabs = new QTabWidget;
    tabs->addTab(page, QStringLiteral("Избор на показатели"));

    ok_ = new QPushButton(QStringLiteral("Ok"));
    cancel_ = new QPushButton(QStringLiteral("Отказ"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &TFormSitoRabotnoSetting::save);
    connect(cancel_, &QPushButton::clicked, this, &TFormSitoRabotnoSetting::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);
    showChoice();
}

void TFormSitoRabotnoSetting::initialise()
{
    const QStringList rejected = choice_.load(context_.state().settingsPath());
    showChoice();
    list_->setCurrentRow(0);
    if (!rejected.isEmpty())
        context_.showMessage({windowTitle(),
                              QStringLiteral("В настройките на колоните (\"fields\") има стойности, които не са номера "
                                             "на показатели от 0 до %1 и не се вземат предвид: %2")
                                  .arg(kSieveFieldCount - 1)
                                  .arg(rejected.join(QStringLiteral(", "))),
                              UserMessage::Icon::Warning, {}});
}

// The check list, the counts and the fixed entries as the choice has them.
void TFormSitoRabotnoSetting::showChoice()
{
    filling_ = true;
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem *item = list_->item(i);
        item->setCheckState(choice_.isTicked(i) ? Qt::Checked : Qt::Unchecked);
        if (SieveColumnChoice::isFixed(i)) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
    filling_ = false;
    total_->setText(choice_.totalText());
    selected_->setText(choice_.selectedText());
}

void TFormSitoRabotnoSetting::save()
{
    try {
        choice_.save(context_.state().settingsPath());
    } catch (const ProfileError &e) {
        context_.showMessage({windowTitle(), QStringLiteral("Изборът на колони не е записан."),
                              UserMessage::Icon::Error, e.message()});
        return;
    }
    hide();
}

// "Отказ" (and closing the window): the choice stored in the settings file comes back.
void TFormSitoRabotnoSetting::reject()
{
    choice_.load(context_.state().settingsPath());
    showChoice();
    TFormWindow::reject();
}

void TFormSitoRabotnoSetting::showEvent(QShowEvent *event)
{
    TFormWindow::showEvent(event);
    // Centred on the main window.
    QRect frame = frameGeometry();
    frame.moveCenter(context_.owner()->frameGeometry().center());
    move(frame.topLeft());
}

} // namespace dx
