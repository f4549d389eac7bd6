// The page "Мероприятия": the cuttings grid above, the afforestation grid below, and
// the buttons "Запис", "Вмъкни", "Добави", "Изтрий" acting on the grid entered last.
#pragma once

#include "description/Measures.h"

#include <QWidget>

#include <functional>

class QPushButton;
class QTableView;

namespace dx {

class MeasuresModel;

class MeasuresPage : public QWidget {
public:
    MeasuresPage(AppState &state, QWidget *parent = nullptr);

    // The key source (the main window's lists) and the message boxes.
    void setKeySource(std::function<QString()> key);
    void setReporter(std::function<void(const UserMessage &)> report) { report_ = std::move(report); }
    // Answers the delete question (tests answer it instead of a box).
    void setConfirm(std::function<bool()> confirm) { confirm_ = std::move(confirm); }

    // Creates/opens the tables and sets titles, widths and pick lists; after a project
    // switch the grids keep what they have.
    void InitMer();
    // Shows the rows of a sub-compartment.
    void ViewMer(const QString &otdText, const QString &podotd);

    void saveRows();
    void insertRow();
    void appendRow();
    void deleteRow();

    int activeGrid() const { return active_; }
    void setActiveGrid(int grid) { active_ = grid; }
    QTableView *cuttingsGrid() const { return grids_[0]; }
    QTableView *afforestationGrid() const { return grids_[1]; }
    MeasuresModel *model(int grid) const { return models_[grid]; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutGrids();
    void setUpGrid(int grid, const MeasureSetup &setup);
    QTableView *activeView() const { return grids_[active_ == 2 ? 1 : 0]; }
    MeasuresModel *activeModel() const { return models_[active_ == 2 ? 1 : 0]; }

    AppState &state_;
    std::function<void(const UserMessage &)> report_;
    std::function<bool()> confirm_;
    QTableView *grids_[2] = {nullptr, nullptr};
    MeasuresModel *models_[2] = {nullptr, nullptr};
    QWidget *buttons_ = nullptr;
    bool initialised_ = false;
    int active_ = 1;
};

} // namespace dx
