// The ownership choice window ("Избор на собственост"): all kinds or one kind of
// ownership, the purpose, and "Ok", which rebuilds the ownership filter texts in the
// shared state and runs the job of the window's mode: forest fund report 1 or 2 (with
// the progress groups shown by growing the window), or, for the tables, only the texts.
#pragma once

#include "core/OwnershipFilter.h"
#include "widgets/TFormWindow.h"

class QComboBox;
class QGroupBox;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace dx {

class WindowContext;

class TFormSob : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSob(WindowContext &context);

    // Window heights: no progress group, the first, both.
    static constexpr int kPlainHeight = 290, kOneGroupHeight = 345, kTwoGroupsHeight = 410;

    QRadioButton *allKinds() const { return allKinds_; }
    QRadioButton *oneKind() const { return oneKind_; }
    QComboBox *kinds() const { return kinds_; }
    QRadioButton *purpose(Purpose p) const { return purposes_[int(p)]; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *exitButton() const { return exit_; }
    QGroupBox *waitGroup(int i) const { return waitGroups_[i]; }
    QProgressBar *gauge(int i) const { return gauges_[i]; }

    // The choice the controls hold.
    OwnershipChoice choice() const;
    // Fills the combo with the project's distinct non-empty ownership kinds, sorted.
    void LoadKinds();
    void BitBtn1Click(); // "Ok"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setHeight(int height);

    WindowContext &context_;
    QRadioButton *allKinds_, *oneKind_;
    QComboBox *kinds_;
    QRadioButton *purposes_[3];
    QPushButton *ok_, *exit_;
    QGroupBox *waitGroups_[2];
    QProgressBar *gauges_[2];
};

} // namespace dx
