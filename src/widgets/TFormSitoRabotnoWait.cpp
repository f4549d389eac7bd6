// The progress window: modeless, above the other windows, centred on the screen, with a
// wait cursor; its users drive the label and the gauge and close it when done.
#include "widgets/TFormSitoRabotnoWait.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace dx {

TFormSitoRabotnoWait::TFormSitoRabotnoWait(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormSitoRabotnoWait"));
    setWindowTitle(QStringLiteral("Моля изчакайте..."));
    setModal(false);
    setCursor(Qt::WaitCursor);

    auto *box = new QGroupBox(this);
    label_ = new QLabel(QStringLiteral("Зареждане на данните..."), box);
    label_->setObjectName(QStringLiteral("Label"));
    gauge_ = new QProgressBar(box);
    gauge_->setObjectName(QStringLiteral("Gauge"));
    gauge_->setRange(0, 35);
    gauge_->setValue(0);
    gauge_->setMinimumWidth(280);

    auto *inner = new QVBoxLayout(box);
    inner->addWidget(label_);
    inner->addWidget(gauge_);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(box);
    outer->setSizeConstraint(QLayout::SetFixedSize);   // a dialog border, not resizable
}

void TFormSitoRabotnoWait::start(const QString &text, int maximum)
{
    label_->setText(text);
    gauge_->setRange(0, std::max(maximum, 0));
    gauge_->setValue(0);
    show();
    raise();
    repaint();
}

void TFormSitoRabotnoWait::setText(const QString &text)
{
    label_->setText(text);
    repaint();
}

void TFormSitoRabotnoWait::setRange(int maximum)
{
    // The bar would forget its position when it falls outside the new range: keep it,
    // cut to the new end.
    const int keep = std::clamp(gauge_->value(), 0, std::max(maximum, 0));
    gauge_->setRange(0, std::max(maximum, 0));
    gauge_->setValue(keep);
    repaint();
}

void TFormSitoRabotnoWait::setPosition(int position)
{
    // A caller that counts past the end sees a full gauge rather than a frozen one.
    gauge_->setValue(std::clamp(position, gauge_->minimum(), gauge_->maximum()));
    repaint();
}

void TFormSitoRabotnoWait::step()
{
    setPosition(gauge_->value() + 1);
}

QString TFormSitoRabotnoWait::text() const
{
    return label_->text();
}

int TFormSitoRabotnoWait::maximum() const
{
    return gauge_->maximum();
}

int TFormSitoRabotnoWait::position() const
{
    return gauge_->value();
}

void TFormSitoRabotnoWait::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreOnScreen();
}

void TFormSitoRabotnoWait::centreOnScreen()
{
    QScreen *where = screen();
    if (!where)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(where->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace dx
