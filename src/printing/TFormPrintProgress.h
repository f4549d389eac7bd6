// The print progress window "Отпечатване...": an animation while a long print or export
// run goes on, a label saying how far it has come, and "Отказ", which sets the run's stop
// flag; the run tests it before each item.
#pragma once

#include "widgets/TFormWindow.h"

class QLabel;
class QPushButton;

namespace dx {

class GuiPrintAnimation;
class WindowContext;

class TFormPrintProgress : public TFormWindow {
public:
    explicit TFormPrintProgress(WindowContext &context);

    // Shows the window for a run of `total` items whose stop flag is `stop` (cleared here).
    void start(const QString &label, const QString &title, int total, bool *stop);
    // The label and the title after `done` items; the animation moves on and the window is
    // repainted.
    void step(const QString &label, const QString &title, int done);
    void finish();

    QLabel *label() const { return label_; }
    GuiPrintAnimation *animation() const { return animation_; }
    QPushButton *cancelButton() const { return cancel_; }

private:
    QLabel *label_ = nullptr;
    GuiPrintAnimation *animation_ = nullptr;
    QPushButton *cancel_ = nullptr;
    bool *stop_ = nullptr;
};

// "Отпечатване на  D от T листа" and "Отпечатване... P%" (P rounded).
QString printProgressLabel(int done, int total);
QString printProgressTitle(int done, int total);

} // namespace dx
