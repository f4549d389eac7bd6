// The OBS sieve's window ("Сито ОБС"): the future- and present-composition criteria, the
// run that lists the matching sub-compartments with their count and area, the copy of
// that list with the criteria in words, and the printing of the listed descriptions.
// The criteria, lists, clause and run are core code (SieveObs).
#pragma once

#include "sieves/SieveObs.h"
#include "widgets/TFormWindow.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace dx {

class DataGridModel;
class WindowContext;

class TFormSitoOBS : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSitoOBS(WindowContext &context);

    ObsCriteria criteria() const;
    void setCriteria(const ObsCriteria &criteria);
    // The pick list of a listed criterion, the field of a typed one (nullptr otherwise).
    QComboBox *pickList(ObsCriterionId id) const { return lists_[size_t(id)]; }
    QLineEdit *typedField(ObsCriterionId id) const { return fields_[size_t(id)]; }

    void LoadComboOBS();
    void BitBtn1Click();     // "Ok": the run
    void BitBtn5Click();     // "Копирай"
    void BitBtn7Click();     // "Печат": the descriptions of the listed sub-compartments
    void BitBtn4Click();     // "Изчисти"
    void DBGrid1DblClick();  // the current sub-compartment shown in the main window

    QPushButton *runButton() const { return run_; }
    QPushButton *copyButton() const { return copy_; }
    QPushButton *printButton() const { return print_; }
    QPushButton *clearButton() const { return clear_; }
    QTableView *grid() const { return grid_; }
    DataGridModel *model() const { return model_; }
    QLabel *resultLabel() const { return label_; }

signals:
    void subCompartmentChosen(const QString &otd, const QString &podotd);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildGroup(bool future);
    void closeResult();
    void enableResult(bool on);

    WindowContext &context_;
    std::array<QComboBox *, kObsCriterionCount> lists_{};
    std::array<QLineEdit *, kObsCriterionCount> fields_{};
    QTableView *grid_ = nullptr;
    DataGridModel *model_ = nullptr;
    QLabel *label_ = nullptr;
    QPushButton *run_ = nullptr, *copy_ = nullptr, *print_ = nullptr, *clear_ = nullptr, *close_ = nullptr;
};

} // namespace dx
