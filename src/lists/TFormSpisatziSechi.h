// The window of the list of cuttings and the list of afforestation measures: the choice
// of an attribute and one of its values, the list in a grid with its count and area, and
// the commands on it: copy, save as a spreadsheet or RTF, print preview.
#pragma once

#include "lists/SechiLists.h"
#include "widgets/TFormWindow.h"

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace dx {

class DataGridModel;
class GridPrinter;
class WindowContext;

class TFormSpisatziSechi : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSpisatziSechi(WindowContext &context);

    // The main window's menu items: the attribute choice reset, the caption and the mode
    // of the list (1 cuttings, 2 measures) set. The window is shown by the caller.
    Q_INVOKABLE void openList(int mode);

    SechiMode mode() const { return mode_; }
    QComboBox *attributeCombo() const { return attribute_; }
    QComboBox *valueCombo() const { return value_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *copyButton() const { return copy_; }
    QTableView *grid() const { return grid_; }
    QString statusText() const;
    // The heading the print preview puts at the top of every page.
    const QString &listHeading() const { return heading_; }
    const SechiList &list() const { return list_; }

    // The save dialog's answer: the chosen path and the filter (0 .xlsx, 1 .rtf). Tests
    // answer it through the hook; empty means cancelled.
    struct FileChoice {
        QString path;
        int filter = 0;
    };
    void setFileHook(std::function<std::optional<FileChoice>()> hook) { fileHook_ = std::move(hook); }
    // Receives the grid printer instead of the print preview (tests).
    void setPrintHook(std::function<void(GridPrinter &)> hook) { printHook_ = std::move(hook); }

    void ComboBox1Change();
    void BitBtn1Click();  // "Ok": the list in the current mode
    void N1Click();       // "Копирай"
    void N4Click();       // "Запиши резултата като..."
    void N7Click();       // "Изглед преди печат"

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    SechiLists lists();
    SechiFilter currentFilter() const;
    void showList(SechiList list, const SechiFilter &filter);
    void clearList();
    std::optional<FileChoice> chooseFile();

    WindowContext &context_;
    SechiMode mode_ = SechiMode::Cuttings;
    SechiList list_;
    SechiFilter listFilter_;  // the filter the shown list was built with
    QString heading_;
    QString lastDir_;

    QComboBox *attribute_ = nullptr;
    QComboBox *value_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *copy_ = nullptr;
    QTableView *grid_ = nullptr;
    DataGridModel *model_ = nullptr;
    QLabel *status_ = nullptr;

    std::function<std::optional<FileChoice>()> fileHook_;
    std::function<void(GridPrinter &)> printHook_;
};

} // namespace dx
