// The working sieve's print-choice window ("Сито работно - Печат"): the taxation
// descriptions of the result's sub-compartments and/or the pre-compartment sheets of
// their compartments (every sub-compartment of each compartment, or only the matching
// ones), printed with the print progress window. Opened for export instead, it shows
// "Експорт", which hands the result on to the export window.
#pragma once

#include "sieves/SievePrintChoice.h"
#include "widgets/TFormWindow.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace dx {

class WindowContext;

class TFormSitoRabotnoPrint : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSitoRabotnoPrint(WindowContext &context);

    enum class Mode { Print, Export };
    // Shows the window over the result `list` as its opener sets it up: for printing
    // (caption "Сито работно - Печат", "Печат" shown, "Експорт" hidden) or for export.
    void open(const SieveHandOver &list, Mode mode);
    Mode mode() const { return mode_; }
    const SieveHandOver &list() const { return list_; }

    QCheckBox *descriptionsBox() const { return descriptions_; }
    QCheckBox *sheetBox() const { return sheets_; }
    QGroupBox *settingsGroup() const { return settings_; }
    QRadioButton *allButton() const { return all_; }
    QRadioButton *selectedButton() const { return selected_; }
    QPushButton *printButton() const { return print_; }
    QPushButton *cancelButton() const { return cancel_; }
    QPushButton *exportButton() const { return export_; }

    // The print progress window this window's runs drive (the program sets it).
    void setProgress(RunProgressHooks hooks) { progress_ = std::move(hooks); }

    void BitBtnPrintClick();   // "Печат"
    void PrintAllPredotdel();  // every sub-compartment of each compartment
    void PrintSelPredotdel();  // only the sub-compartments the selection matches

signals:
    // "Експорт": the working sieve hands its result to the export window.
    void exportChosen();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void choiceChanged();
    bool printDescriptionList();
    void printSheets(const QString &selection);

    WindowContext &context_;
    SieveHandOver list_;
    Mode mode_ = Mode::Print;
    bool stop_ = false;
    RunProgressHooks progress_;
    QCheckBox *descriptions_ = nullptr, *sheets_ = nullptr;
    QGroupBox *settings_ = nullptr;
    QRadioButton *all_ = nullptr, *selected_ = nullptr;
    QPushButton *print_ = nullptr, *cancel_ = nullptr, *export_ = nullptr;
};

} // namespace dx
