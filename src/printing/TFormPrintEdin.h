// "Единичен печат на описания": the description of one sub-compartment previewed or
// printed; the with-branches option shared with the other print windows through the
// state and stored under "клони" when the window closes.
#pragma once

#include "printing/DescriptionComposer.h"
#include "widgets/TFormWindow.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace dx {

class WindowContext;

class TFormPrintEdin : public TFormWindow {
public:
    explicit TFormPrintEdin(WindowContext &context);

    QLineEdit *editOtd() const { return editOtd_; }
    QLineEdit *editPod() const { return editPod_; }
    QPushButton *previewButton() const { return preview_; }
    QPushButton *printButton() const { return print_; }
    QPushButton *cancelButton() const { return cancel_; }
    QCheckBox *branchesBox() const { return branches_; }
    const DescriptionComposer &composer() const { return composer_; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fieldsChanged();
    bool compose();
    void BitBtnPreviewClick();
    void BitBtnPrintClick();
    void EditPodEnter();
    void printComposed();

    WindowContext &context_;
    DescriptionComposer composer_;
    QLineEdit *editOtd_ = nullptr;
    QLineEdit *editPod_ = nullptr;
    QPushButton *preview_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QCheckBox *branches_ = nullptr;
};

} // namespace dx
