// The project selection window "Избор на проект": the catalogue as a sortable list with
// its tinted sort column, a search box over the name, year or directorate, the "?"
// information box, and the switch to the chosen project.
#pragma once

#include "core/ProjectCatalogue.h"
#include "widgets/TFormWindow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace dx {

class WindowContext;
class ProjectListModel;

class TFormSelPrj : public TFormWindow {
public:
    explicit TFormSelPrj(WindowContext &context);

    // Fills the list from the state's catalogue: sorted by name, the name column tinted,
    // the first row current, both sort marks ascending-next, the count label.
    void LoadCatalogue();
    // A title click on a column (0 "РУГ", 1 "вид", 2 "лесничейство", 3 "година").
    void SortColumn(int column);
    // "Търси": the next row whose chosen field begins with the text.
    void Search();
    // "Ok" or a double click: close, switch to the current row's project.
    void Choose();

    int currentRow() const;
    void setCurrentRow(int row);
    int tintedColumn() const { return tinted_; }
    bool searchShown() const;
    QTableView *grid() const { return grid_; }
    QLabel *countLabel() const { return count_; }
    QPushButton *searchToggle() const { return toggle_; }
    QLineEdit *searchText(int which) const { return texts_[which]; } // 0 name, 1 year, 2 directorate
    QRadioButton *searchChoice(int which) const { return choices_[which]; }
    QPushButton *searchButton() const { return find_; }
    QCheckBox *rememberBox() const { return remember_; }
    QPushButton *okButton() const { return ok_; }
    // The information box's text of the current row ("?" in the list).
    QString projectInfo() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSearch(bool on);
    void chooseField(int which);

    WindowContext &context_;
    ProjectListModel *model_;
    QTableView *grid_;
    QLabel *count_;
    QWidget *searchPanel_;
    QPushButton *toggle_;
    QLineEdit *texts_[3];
    QRadioButton *choices_[3];
    QPushButton *find_;
    QCheckBox *remember_;
    QPushButton *ok_;
    int tinted_ = 2;
    bool nameAscendingNext_ = true;
    bool otherAscendingNext_ = true;
    bool loaded_ = false;
};

} // namespace dx
