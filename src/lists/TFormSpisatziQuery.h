// The attribute choice of "Площи по ...": a combo box of the 21 attributes, "Ок" builds
// the areas by the chosen one in the Lists window, "Отказ" closes.
#pragma once

#include "widgets/TFormWindow.h"

class QComboBox;
class QPushButton;

namespace dx {

class WindowContext;

class TFormSpisatziQuery : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSpisatziQuery(WindowContext &context);

    QComboBox *choice() const { return combo_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    WindowContext &context_;
    QComboBox *combo_;
    QPushButton *ok_, *cancel_;
};

} // namespace dx
