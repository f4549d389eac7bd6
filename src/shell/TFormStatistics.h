// The project information window "Информация за проекта": compartments,
// sub-compartments, total area and the area per ownership kind, and "Копирай".
#pragma once

#include "shell/ProjectStatistics.h"
#include "widgets/TFormWindow.h"

class QLabel;
class QPushButton;
class QTableView;

namespace dx {

class DataGridModel;
class WindowContext;

class TFormStatistics : public TFormWindow {
public:
    explicit TFormStatistics(WindowContext &context);

    // Fills the labels and the ownership table (on every showing).
    void FillStatistics();
    // "Копирай": the summary text to the clipboard.
    void Copy();

    QLabel *heading() const { return heading_; }
    QLabel *valueLabel(int which) const { return values_[which]; } // 0 compartments, 1 sub-compartments, 2 area
    QTableView *ownershipGrid() const { return grid_; }
    QPushButton *copyButton() const { return copy_; }
    QPushButton *closeButton() const { return close_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    WindowContext &context_;
    QLabel *heading_;
    QLabel *values_[3];
    DataGridModel *model_;
    QTableView *grid_;
    QPushButton *copy_;
    QPushButton *close_;
    ProjectStatistics stats_;
};

} // namespace dx
