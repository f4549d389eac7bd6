// The range window: four choices, five number fields of at most three digits, and the
// buttons that hand the range text back to the working sieve.
#include "sieves/TFormSitoRabotnoAge.h"

#include "widgets/WindowContext.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace dx {

namespace {

using Field = RangeWindow::Field;
constexpr RangeKind kKinds[4] = {RangeKind::Between, RangeKind::UpTo, RangeKind::Over, RangeKind::Equal};
constexpr Field kFields[5] = {Field::From, Field::To, Field::UpTo, Field::Over, Field::Equal};

} // namespace

TFormSitoRabotnoAge::TFormSitoRabotnoAge(WindowContext &context)
    : TFormWindow(rangeModeInfo(RangeMode::Age).caption, context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSitoRabotnoAge"));
    setWindowModality(Qt::ApplicationModal);

    auto *group = new QButtonGroup(this);
    auto *grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        radios_[i] = new QRadioButton(rangeKindCaption(kKinds[i]));
        group->addButton(radios_[i]);
        grid->addWidget(radios_[i], i, 0);
        connect(radios_[i], &QRadioButton::clicked, this, [this, i] { tick(kKinds[i]); });
    }
    // Digits only, also when pasted; the key filter swallows every other typed key.
    auto *digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < 5; ++i) {
        auto *e = new QLineEdit;
        e->setMaxLength(kRangeFieldLength);
        e->setValidator(digits);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [this, i](const QString &t) { range_.setValue(kFields[i], t); });
        fields_[i] = e;
    }
    grid->addWidget(fields_[int(Field::From)], 0, 1);
    grid->addWidget(fields_[int(Field::To)], 0, 2);
    grid->addWidget(fields_[int(Field::UpTo)], 1, 1);
    grid->addWidget(fields_[int(Field::Over)], 2, 1);
    grid->addWidget(fields_[int(Field::Equal)], 3, 1);
    grid->setColumnStretch(3, 1);

    ok_ = new QPushButton(QStringLiteral("Ок"));
    cancel_ = new QPushButton(QStringLiteral("Отказ"));
    clear_ = new QPushButton(QStringLiteral("Изчисти"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { finish(range_.ok()); });
    connect(cancel_, &QPushButton::clicked, this, [this] { finish(range_.cancel()); });
    connect(clear_, &QPushButton::clicked, this, [this] {
        const RangeWindow::Outcome o = range_.clear();
        showState();
        finish(o);
    });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(clear_);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showState();
}

void TFormSitoRabotnoAge::openFor(RangeMode mode, const QString &fieldText, const QPoint &topLeft, Apply apply)
{
    range_.open(mode, fieldText);
    apply_ = std::move(apply);
    setWindowTitle(range_.caption());
    showState();
    adjustSize();
    moveOnScreen(topLeft); // under its field, unless that is off the screen
    show();
    raise();
    activateWindow();
    fields_[int(range_.focusField())]->setFocus();
}

void TFormSitoRabotnoAge::tick(RangeKind kind)
{
    range_.tick(kind);
    showState();
    fields_[int(range_.focusField())]->setFocus();
}

// The controls as the range window's state has them: the ticked choice, its fields
// enabled on the window background, the others greyed out.
void TFormSitoRabotnoAge::showState()
{
    radios_[int(range_.ticked())]->setChecked(true);
    for (int i = 0; i < 5; ++i) {
        QLineEdit *e = fields_[i];
        const bool on = range_.isEnabled(kFields[i]);
        QPalette p = e->palette();
        p.setColor(QPalette::Base, on ? palette().color(QPalette::Base) : palette().color(QPalette::Midlight));
        e->setPalette(p);
        e->setEnabled(on);
        if (e->text() != range_.value(kFields[i])) e->setText(range_.value(kFields[i]));
    }
}

void TFormSitoRabotnoAge::finish(const RangeWindow::Outcome &outcome)
{
    if (outcome.message) {
        QApplication::beep();
        context_.showMessage(*outcome.message);
        return;
    }
    if (!outcome.closes) return;
    hide();
    if (outcome.fieldText && apply_) apply_(*outcome.fieldText);
}

bool TFormSitoRabotnoAge::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        // Typed characters other than digits are swallowed without a sound; keys that type
        // nothing (arrows, Tab, Enter, Delete, shortcuts) work as usual.
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty() && text.front().isPrint() && !rangeKeyAccepted(text.front())) return true;
    }
    return TFormWindow::eventFilter(watched, event);
}

} // namespace dx
