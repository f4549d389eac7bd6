// The cuttings sieve's window ("Сито за сечите"): nine lists of the cutting types found
// in the project's nine cutting positions, the search that lists the matching
// sub-compartments with their count and area, and the commands on the list: copy, save
// as a spreadsheet or RTF file, print and preview, print the listed descriptions, show a
// sub-compartment in the main window. The lists, search and texts are core code
// (CuttingSieve).
#pragma once

#include "sieves/SieveCuttingSieve.h"
#include "widgets/TFormWindow.h"

#include <array>
#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QStatusBar;
class QTableView;

namespace dx {

class DataGridModel;
class GridPrinter;
class WindowContext;

class TFormSitoSechi : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSitoSechi(WindowContext &context);

    QComboBox *typeList(int slot) const { return lists_[size_t(slot - 1)]; } // slot 1..9
    QLabel *typeLabel(int slot) const { return labels_[size_t(slot - 1)]; }
    QTableView *grid() const { return grid_; }
    DataGridModel *model() const { return model_; }
    QStatusBar *statusBar() const { return status_; }
    QMenuBar *menus() const { return menuBar_; }
    const CuttingSieve &sieve() const { return sieve_; }

    enum class Command { Save, Preview, Print, PrintDescriptions, Copy, Show, Search, Clear };
    QAction *command(Command c) const { return commands_[size_t(c)]; }

    void LoadComboSech();
    void search();              // "Търсене"
    void clearCriteria();       // "Изчисти критериите"
    void copyList();            // "Копирай"
    void saveList();            // "Запиши резултата като"
    void printList(bool preview);
    void printDescriptions();   // "Печат на таксационни описания"
    void showSubCompartment();  // "Зареди избрания подотдел", double click

    // The save dialog's answer (path, 0 for .xlsx or 1 for .rtf), replaceable in tests.
    using SaveDialogHook = std::function<std::optional<std::pair<QString, int>>()>;
    void setSaveDialogHook(SaveDialogHook hook) { saveHook_ = std::move(hook); }
    // Receives the list's printer set up, instead of the print dialog or the preview.
    using PrintHook = std::function<void(GridPrinter &printer, bool preview)>;
    void setPrintHook(PrintHook hook) { printHook_ = std::move(hook); }

signals:
    void subCompartmentChosen(const QString &otd, const QString &podotd);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void typeEdited(int slot, const QString &text);
    void showResult();
    void enableResultCommands(bool on);
    std::optional<std::pair<QString, int>> chooseSaveFile();

    WindowContext &context_;
    CuttingSieve sieve_;
    std::array<QComboBox *, kCuttingSlots> lists_{};
    std::array<QLabel *, kCuttingSlots> labels_{};
    std::array<QAction *, 8> commands_{};
    QMenuBar *menuBar_ = nullptr;
    QTableView *grid_ = nullptr;
    DataGridModel *model_ = nullptr;
    QStatusBar *status_ = nullptr;
    QString lastDir_;
    SaveDialogHook saveHook_;
    PrintHook printHook_;
};

} // namespace dx
