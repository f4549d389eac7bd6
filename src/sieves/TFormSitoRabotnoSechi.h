// The cutting-type window of the working sieve: nine editable lists, one per cutting
// position, whose confirmed choice becomes the sieve's cutting criterion. The lists and
// the chosen texts are CuttingWindow's; this class mirrors them in widgets.
#pragma once

#include "widgets/TFormWindow.h"
#include "sieves/SieveCutting.h"

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace dx {

class WindowContext;

class TFormSitoRabotnoSechi : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSitoRabotnoSechi(WindowContext &context);

    // Receives the nine slots confirmed with "Ок".
    using Apply = std::function<void(const CuttingSlots &chosen)>;

    // Opens the window (modal, not blocking) with the criterion's confirmed slots in the
    // lists; the lists are loaded first when they are stale.
    void openFor(const CuttingSlots &confirmed, Apply apply);
    // The working sieve marks the lists stale each time it is shown.
    void markStale() { cutting_.markStale(); }

    const CuttingWindow &cutting() const { return cutting_; }
    QComboBox *slotList(int slot) const { return lists_[size_t(slot - 1)]; } // slot 1..9
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }
    QPushButton *clearButton() const { return clear_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showLists();
    void showTexts();

    WindowContext &context_;
    CuttingWindow cutting_;
    Apply apply_;
    std::array<QComboBox *, kCuttingSlots> lists_{};
    std::array<QLabel *, kCuttingSlots> labels_{};
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QPushButton *clear_ = nullptr;
};

} // namespace dx
