// "Поточен печат на описания от списък": the descriptions named in a list file, all of
// them or a stretch of entries, printed one-sided or two-sided by hand with the backs
// found by pairing within each compartment.
#pragma once

#include "printing/DescriptionRange.h"
#include "widgets/TFormWindow.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace dx {

class WindowContext;
class PrintListModel;

class TFormPrintListFromFile : public TFormWindow {
public:
    explicit TFormPrintListFromFile(WindowContext &context);

    QLineEdit *pathField() const { return path_; }
    QPushButton *browseButton() const { return browse_; }
    QLineEdit *separatorField() const { return separator_; }
    QPushButton *helpButton() const { return help_; }
    QRadioButton *stretchOption() const { return stretch_; }
    QRadioButton *allOption() const { return all_; }
    QLineEdit *fromField() const { return from_; }
    QLineEdit *toField() const { return to_; }
    QGroupBox *twoSidedBox() const { return twoSided_; }
    QCheckBox *branchesBox() const { return branches_; }
    QPushButton *printButton() const { return print_; }
    QPushButton *printerButton() const { return printer_; }
    QPushButton *cancelButton() const { return cancel_; }
    QTableView *grid() const { return grid_; }
    QLabel *statusLabel() const { return status_; }
    const QVector<RangeEntry> &entries() const { return entries_; }

    // Tests choose the file and answer the questions (caption, text) instead of dialogs.
    void setChooseFile(std::function<QString()> choose) { choose_ = std::move(choose); }
    void setConfirm(std::function<bool(const QString &caption, const QString &question)> confirm)
    {
        confirm_ = std::move(confirm);
    }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void BrowseClick();
    void loadList(const QString &path);
    void optionsChanged();
    void BitBtnPrintClick();
    void PrintOneSided(const QVector<RangeEntry> &stretch);
    void PrintTwoSidedFromOtdel(const QVector<RangeEntry> &stretch);

    WindowContext &context_;
    QLineEdit *path_ = nullptr;
    QPushButton *browse_ = nullptr;
    QLineEdit *separator_ = nullptr;
    QPushButton *help_ = nullptr;
    QRadioButton *stretch_ = nullptr;
    QRadioButton *all_ = nullptr;
    QLineEdit *from_ = nullptr;
    QLineEdit *to_ = nullptr;
    QGroupBox *twoSided_ = nullptr;
    QRadioButton *fromList_ = nullptr;
    QRadioButton *fromOtdel_ = nullptr;
    QCheckBox *branches_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *printer_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QTableView *grid_ = nullptr;
    PrintListModel *model_ = nullptr;
    QLabel *status_ = nullptr;
    QVector<RangeEntry> entries_;
    std::function<QString()> choose_;
    std::function<bool(const QString &, const QString &)> confirm_;
    bool stop_ = false;
};

} // namespace dx
