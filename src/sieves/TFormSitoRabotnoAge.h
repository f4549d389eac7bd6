// The range window of the working sieve: one of the six range criteria (age, fullness,
// site class, stock, predominant site class, area) set as "от - до", "до", "над" or
// "равно". The behaviour is RangeWindow's; this class mirrors it in widgets.
#pragma once

#include "widgets/TFormWindow.h"
#include "sieves/SieveRange.h"

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace dx {

class WindowContext;

class TFormSitoRabotnoAge : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSitoRabotnoAge(WindowContext &context);

    // Receives the criterion's new text ("" when cleared) when the window closes with a
    // change.
    using Apply = std::function<void(const QString &text)>;

    // Opens the window (modal, not blocking) for the criterion of `mode` whose field shows
    // `fieldText`, with its top-left corner at `topLeft`.
    void openFor(RangeMode mode, const QString &fieldText, const QPoint &topLeft, Apply apply);

    const RangeWindow &range() const { return range_; }
    QRadioButton *choice(RangeKind kind) const { return radios_[int(kind)]; }
    QLineEdit *field(RangeWindow::Field field) const { return fields_[int(field)]; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }
    QPushButton *clearButton() const { return clear_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tick(RangeKind kind);
    void showState();
    void finish(const RangeWindow::Outcome &outcome);

    WindowContext &context_;
    RangeWindow range_;
    Apply apply_;
    QRadioButton *radios_[4] = {};
    QLineEdit *fields_[5] = {};
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QPushButton *clear_ = nullptr;
};

} // namespace dx
