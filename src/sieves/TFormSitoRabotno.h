// The working sieve ("Сито работно"): 36 criteria over the project table, the run that
// lists the matching sub-compartments with their count and area, and what is done with
// that list (copy, print, save, show a sub-compartment in the main window, hand it to
// the printing and export of descriptions), and the saved sieves. The criteria, the
// statement and the run are core code (SieveCriteria, SieveClause, SieveRun, SieveFile);
// this window binds them to its controls.
#pragma once

#include "widgets/TFormWindow.h"
#include "sieves/SieveCutting.h"
#include "sieves/SievePrintChoice.h"
#include "sieves/SieveRun.h"

#include <QPair>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QTableView;
class QToolBar;
class QToolButton;

namespace dx {

class DataGridModel;
class GridPrinter;
class WindowContext;

class TFormSitoRabotno : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSitoRabotno(WindowContext &context);

    // --- criteria ------------------------------------------------------------------
    // What the controls hold; the cutting criterion's slots are those last confirmed in
    // the cutting-type window.
    SieveCriteria criteria() const;
    // Every control shows the criteria's texts (the cutting field its cutting text).
    void setCriteria(const SieveCriteria &criteria);
    // The pick list of a pick-list criterion, the read-only field of a range or cutting
    // criterion (nullptr otherwise), the small button that opens its window, the label.
    QComboBox *pickList(CriterionId id) const { return lists_[size_t(id)]; }
    QLineEdit *criterionField(CriterionId id) const { return fields_[size_t(id)]; }
    QToolButton *opener(CriterionId id) const { return openers_[size_t(id)]; }
    QLabel *criterionLabel(CriterionId id) const { return labels_[size_t(id)]; }

    // Fills every pick list from the project table with the progress window, and empties
    // the pick-list criteria and the area and stock fields.
    void LoadCombo();

    // --- commands -------------------------------------------------------------------
    enum class Command { Run, New, Copy, Preview, Print, SaveCriteria, OpenCriteria, Export, Show };
    QAction *command(Command c) const { return commands_[size_t(c)]; }
    QToolBar *toolBar() const { return toolBar_; }
    QMenuBar *menus() const { return menuBar_; }

    void SpeedItem1Click();          // "Изпълни справката"
    void newFilter();                // "Нов филтър"
    void copyList();                 // "Копирай списъка"
    void DBGrid1DblClick();          // the selected sub-compartment shown in the main window
    void printList(bool preview);    // "Печат" / "Изглед преди печат"
    void saveList();                 // "Запиши резултата като..."
    void saveCriteria();             // "Запиши филтър": the file dialog, then SaveSito
    void openCriteria();             // "Отвори филтъл": the file dialog, then ReadSito
    bool SaveSito(const QString &path);
    bool ReadSito(const QString &path);
    void SpeedItem11Click();         // "Експорт на филтрираните данни"
    void openPrintChoice();          // "Печат на таксационни описания от филтрираните подотдели"
    // "Експорт във файл на таксационни описания от филтрираните подотдели": the print-choice
    // window with its "Експорт", which comes back to SpeedItem11Click.
    void openExportChoice();
    void openRange(RangeMode mode);  // the range window for one of the six range criteria
    void openCutting();              // the cutting-type window
    void openSettings();             // "Настройки": the column-choice window

    // --- the result -------------------------------------------------------------------
    QTableView *grid() const { return grid_; }
    DataGridModel *model() const { return model_; }
    QLabel *resultLabel() const { return label_; }
    const SieveResult &result() const { return result_; }
    bool resultOpen() const { return resultOpen_; }
    QString heading() const { return heading_; }     // GetFilterCyr of the last run
    QString selection() const { return selection_; } // the last run's selection clause
    SieveHandOver handOver() const;
    // The criteria beside a grid wide enough for its columns (before a run: the chosen
    // columns' titles and the values their criteria's pick lists hold).
    QSize sizeHint() const override;

    // --- file dialogs and printing, replaceable in tests ----------------------------
    struct FileRequest {
        bool save = false;
        QString title;          // empty: the dialog's own
        QString filter;         // "description|pattern|description|pattern"
        QString defaultSuffix;  // added by the dialog to a name without one
    };
    struct FileChoice {
        QString path;
        int filter = 0;         // which filter pair was chosen
    };
    using FileDialogHook = std::function<std::optional<FileChoice>(const FileRequest &)>;
    void setFileDialogHook(FileDialogHook hook) { fileHook_ = std::move(hook); }
    // Receives the list's printer set up for printing, instead of the print dialog or the
    // preview.
    using PrintHook = std::function<void(GridPrinter &printer, bool preview)>;
    void setPrintHook(PrintHook hook) { printHook_ = std::move(hook); }

signals:
    // The selected sub-compartment, to be shown in the main window.
    void subCompartmentChosen(const QString &otd, const QString &podotd);
    void exportRequested(const dx::SieveHandOver &list);
    void printChoiceRequested(const dx::SieveHandOver &list);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *buildCriteria();
    QGroupBox *buildResult();
    void buildCommands();
    void buildMenus();
    void showCuttingText();
    void closeResult();
    void enableResultCommands(bool on, bool withExport);
    void fitColumns();
    int resultColumnsWidth() const;
    std::optional<FileChoice> chooseFile(const FileRequest &request);
    void report(const UserMessage &message, bool beep = false);

    WindowContext &context_;
    std::array<QComboBox *, kCriterionCount> lists_{};
    std::array<QLineEdit *, kCriterionCount> fields_{};
    std::array<QToolButton *, kCriterionCount> openers_{};
    std::array<QLabel *, kCriterionCount> labels_{};
    CuttingSlots cutting_;
    QGroupBox *criteriaGroup_ = nullptr;

    std::array<QAction *, 9> commands_{};
    QToolBar *toolBar_ = nullptr;
    QMenuBar *menuBar_ = nullptr;

    QTableView *grid_ = nullptr;
    DataGridModel *model_ = nullptr;
    QLabel *label_ = nullptr;
    SieveResult result_;
    bool resultOpen_ = false;
    QString heading_;
    QString selection_;

    QString lastDir_;
    FileDialogHook fileHook_;
    PrintHook printHook_;
};

} // namespace dx
