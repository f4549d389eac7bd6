// The print progress window.
#include "printing/TFormPrintProgress.h"

#include "printing/GuiPrintAnimation.h"
#include "widgets/WindowContext.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace dx {

QString printProgressLabel(int done, int total)
{
    return QStringLiteral("Отпечатване на  %1 от %2 листа").arg(done).arg(total);
}

QString printProgressTitle(int done, int total)
{
    const long percent = total > 0 ? std::lround(100.0 * done / total) : 0;
    return QStringLiteral("Отпечатване... %1").arg(percent) + QLatin1Char('%');
}

TFormPrintProgress::TFormPrintProgress(WindowContext &c) : TFormWindow(QStringLiteral("Отпечатване..."), c.owner())
{
    auto *layout = new QVBoxLayout(this);
    animation_ = new GuiPrintAnimation;
    layout->addWidget(animation_, 0, Qt::AlignHCenter);
    label_ = new QLabel(QStringLiteral("Отпечатване на  1 от 100 листа"));
    layout->addWidget(label_);
    cancel_ = new QPushButton(QStringLiteral("Отказ"));
    cancel_->setAutoDefault(false);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (stop_) *stop_ = true;
    });
}

void TFormPrintProgress::start(const QString &label, const QString &title, int /*total*/, bool *stop)
{
    stop_ = stop;
    if (stop_) *stop_ = false;
    label_->setText(label);
    setWindowTitle(title);
    show();
    QApplication::processEvents();
}

void TFormPrintProgress::step(const QString &label, const QString &title, int /*done*/)
{
    animation_->advance();
    label_->setText(label);
    setWindowTitle(title);
    // The run goes on in this thread: the window is repainted and "Отказ" can be pressed.
    QApplication::processEvents();
}

void TFormPrintProgress::finish()
{
    stop_ = nullptr;
    hide();
}

} // namespace dx
