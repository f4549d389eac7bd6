// The attribute choice of "Площи по ...".
#include "lists/TFormSpisatziQuery.h"

#include "lists/AreaLists.h"
#include "lists/TFormSpisatzi.h"
#include "widgets/WindowContext.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace dx {

TFormSpisatziQuery::TFormSpisatziQuery(WindowContext &context)
    : TFormWindow(QStringLiteral("Площи по ..."), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSpisatziQuery"));
    combo_ = new QComboBox;
    combo_->setObjectName(QStringLiteral("ComboBox1"));
    ok_ = new QPushButton(QStringLiteral("Ок"));
    cancel_ = new QPushButton(QStringLiteral("Отказ"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &TFormSpisatziQuery::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFormSpisatziQuery::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Избор на показател:")));
    layout->addWidget(combo_);
    layout->addLayout(buttons);
}

void TFormSpisatziQuery::showEvent(QShowEvent *event)
{
    // Filled anew at every opening, the first attribute chosen.
    combo_->clear();
    for (const AreaAttribute &a : areaAttributes()) combo_->addItem(a.label);
    combo_->setCurrentIndex(0);
    TFormWindow::showEvent(event);
}

void TFormSpisatziQuery::accept()
{
    const int number = combo_->currentIndex() + 1;
    if (number < 1) return;
    auto *lists = context_.windows().get<TFormSpisatzi>();
    if (lists && !lists->ViewAttribute(number)) return;
    TFormWindow::accept();
}

} // namespace dx
