// "Поточен печат на описания": the descriptions of a range of compartments printed
// one-sided, two-sided by hand or on a duplex printer, each compartment's sheet first
// when asked; and "Списък подотдели", the list of the range with a preview of a row.
#pragma once

#include "printing/DescriptionComposer.h"
#include "printing/DescriptionRange.h"
#include "widgets/TFormWindow.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace dx {

class WindowContext;

class TFormPrintOtDoList : public TFormWindow {
public:
    explicit TFormPrintOtDoList(WindowContext &context);
    void setEntries(const QVector<RangeEntry> &entries);
    QTableWidget *grid() const { return grid_; }
    QLabel *countLabel() const { return count_; }
    QPushButton *previewButton() const { return preview_; }

private:
    void BitBtnPreviewClick();

    WindowContext &context_;
    QTableWidget *grid_ = nullptr;
    QLabel *count_ = nullptr;
    QPushButton *preview_ = nullptr;
};

class TFormPrintOtDo : public TFormWindow {
public:
    explicit TFormPrintOtDo(WindowContext &context);

    QLineEdit *fromField() const { return from_; }
    QLineEdit *toField() const { return to_; }
    QCheckBox *allBox() const { return all_; }
    QCheckBox *sheetsBox() const { return sheets_; }
    QCheckBox *branchesBox() const { return branches_; }
    QGroupBox *twoSidedBox() const { return twoSided_; }
    QRadioButton *manualOption() const { return manual_; }
    QRadioButton *duplexOption() const { return duplex_; }
    QPushButton *listButton() const { return list_; }
    QPushButton *printButton() const { return print_; }
    QPushButton *settingsButton() const { return settings_; }
    QPushButton *cancelButton() const { return cancel_; }
    const DescriptionComposer &composer() const { return composer_; }
    // The stop flag of range printing, set by the progress window's "Отказ".
    bool *stopFlag() { return &stop_; }

    // Tests answer the question (Yes/No) and the turning prompts (OK/Cancel) instead of boxes.
    void setConfirm(std::function<bool(const QString &question)> confirm) { confirm_ = std::move(confirm); }
    void setPrompt(std::function<bool(const UserMessage &prompt)> prompt) { prompt_ = std::move(prompt); }

    // The list of the last resolution (also an export's).
    const QVector<RangeEntry> &entries() const { return entries_; }
    // Resolves the fields' range into the list; false (with the message shown) when it fails.
    bool resolve();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void CheckBoxAllClick();
    void fieldsChanged();
    void twoSidedClick();
    void RadioManualClick();
    void RadioDuplexClick();
    void BitBtnListClick();
    void BitBtnPrintClick();
    void PrintOneSided(int total);
    void PrintTwoSided(int total);
    void PrintTwoSidedDuplex(int total);
    bool PrinterSupportsDuplex();
    void choicesToState();

    WindowContext &context_;
    DescriptionComposer composer_;
    QLineEdit *from_ = nullptr;
    QLineEdit *to_ = nullptr;
    QCheckBox *all_ = nullptr;
    QCheckBox *sheets_ = nullptr;
    QCheckBox *branches_ = nullptr;
    QGroupBox *twoSided_ = nullptr;
    QRadioButton *manual_ = nullptr;
    QRadioButton *duplex_ = nullptr;
    QPushButton *list_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *settings_ = nullptr;
    QPushButton *cancel_ = nullptr;
    std::function<bool(const QString &)> confirm_;
    std::function<bool(const UserMessage &)> prompt_;
    QVector<RangeEntry> entries_;
    bool stop_ = false;
    bool loading_ = false;
};

} // namespace dx
