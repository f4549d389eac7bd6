// The column-choice window of the working sieve: which of the 57 fields the result
// shows, kept in the settings key "fields". The ticks are SieveColumnChoice's; this
// class mirrors them in a check list.
#pragma once

#include "widgets/TFormWindow.h"
#include "sieves/SieveFieldTable.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace dx {

class WindowContext;

class TFormSitoRabotnoSetting : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSitoRabotnoSetting(WindowContext &context);

    // The ticks read from the settings file; run by the working sieve each time it loads
    // its pick lists. Items of the stored value that are no field index are reported.
    void initialise();
    // The ticked entries the result shows (field-table indices, increasing).
    QList<int> choice() const { return choice_.choice(); }

    QListWidget *checkList() const { return list_; }
    QLabel *totalLabel() const { return total_; }
    QLabel *selectedLabel() const { return selected_; }
    QPushButton *selectAllButton() const { return selectAll_; }
    QPushButton *clearAllButton() const { return clearAll_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }

    // "Отказ" and closing the window.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showChoice();
    void save();

    WindowContext &context_;
    SieveColumnChoice choice_;
    bool filling_ = false;
    QListWidget *list_ = nullptr;
    QLabel *total_ = nullptr;
    QLabel *selected_ = nullptr;
    QPushButton *selectAll_ = nullptr;
    QPushButton *clearAll_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
};

} // namespace dx
