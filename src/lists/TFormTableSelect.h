// The table selection window ("Избор на таблици - физико-географска характеристика"):
// the list of the physico-geographic tables, several chosen with Ctrl and the mouse, the
// ownership choice (the ownership window in its tables mode) shown in the status bar,
// and "ОК", which builds the chosen tables in list order and shows the Lists window.
#pragma once

#include "lists/PhysGeoTables.h"
#include "widgets/TFormWindow.h"

#include <functional>

class QPushButton;
class QStatusBar;
class QLabel;
class QTableWidget;

namespace dx {

class WindowContext;

class TFormTableSelect : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormTableSelect(WindowContext &context);

    QTableWidget *list() const { return list_; }
    QPushButton *ownershipButton() const { return ownership_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }
    QLabel *statusPanel() const { return status_; }

    // Fills the table list anew, in its fixed order (the main menu does it on each opening).
    void FillList();
    // Rebuilds the ownership texts from the ownership window's current controls and shows
    // the ownership description in the status bar.
    void RefreshOwnership();
    // "собственост и предназначение" (and a double click on the status bar).
    void ChooseOwnership();
    // "ОК": builds the chosen tables, or says that none is chosen.
    void BitBtn1Click();

    // Builds one table (by its number) under the ownership filter as last built, writes
    // its files and announces it through tableBuilt; a failure is shown in a box.
    bool BuildTable(int number);

    // Reads a built table back from its file under Tables/, as the menu "Таблици" of the
    // Lists window shows it again (an empty list, after a message, when it cannot be read).
    ListContent LoadTable(int number);
    // The same for the Lists window's menu, which shows a thrown error as its message:
    // PhysGeoError, whose what() is the message text and its reason.
    std::function<ListContent()> loader(int number)
    {
        return [this, number] { return loadTable(number); };
    }

    // The last table built (empty before the first).
    const PhysGeoTable &lastBuilt() const { return last_; }

signals:
    // A table has been built and written: the Lists window shows `table`, and when
    // `firstBuild` (its mark was not set since the project was loaded) adds
    // table.menuText to its menu "Таблици" with loader(table.number), ticked.
    void tableBuilt(const dx::PhysGeoTable &table, bool firstBuild);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ListContent loadTable(int number) const;

    WindowContext &context_;
    QTableWidget *list_;
    QPushButton *ownership_, *ok_, *cancel_;
    QStatusBar *statusBar_;
    QLabel *status_;
    PhysGeoTable last_;
};

} // namespace dx
