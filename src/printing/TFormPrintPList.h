// "Печат на предотделен лист": one compartment's pre-compartment sheet previewed or
// printed, or the sheets of every compartment printed with the progress window.
#pragma once

#include "widgets/TFormWindow.h"

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace dx {

class WindowContext;

class TFormPrintPList : public TFormWindow {
public:
    explicit TFormPrintPList(WindowContext &context);

    QLineEdit *field() const { return field_; }
    QCheckBox *allBox() const { return all_; }
    QPushButton *previewButton() const { return preview_; }
    QPushButton *printButton() const { return print_; }
    QPushButton *cancelButton() const { return cancel_; }
    // Answers the print-all question (tests answer it instead of a box).
    void setConfirm(std::function<bool(const QString &question)> confirm) { confirm_ = std::move(confirm); }
    // The stop flag of printing all sheets, set by the progress window's "Отказ".
    bool stopFlag() const { return stop_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CheckBoxClick();
    void fieldChanged();
    void BitBtnPreviewClick();
    void BitBtnPrintClick();
    void printAll();

    WindowContext &context_;
    QLineEdit *field_ = nullptr;
    QCheckBox *all_ = nullptr;
    QPushButton *preview_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *cancel_ = nullptr;
    std::function<bool(const QString &)> confirm_;
    bool stop_ = false;
};

} // namespace dx
