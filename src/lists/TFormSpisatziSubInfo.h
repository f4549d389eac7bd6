// The compartment detail window: the sub-compartments of one compartment of the areas
// by compartment, in a plain grid with a one-panel status bar.
#pragma once

#include "widgets/TFormWindow.h"

#include <memory>

class QLabel;
class QTableView;

namespace dx {

class DataGridModel;
class WindowContext;

class TFormSpisatziSubInfo : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSpisatziSubInfo(WindowContext &context);
    ~TFormSpisatziSubInfo() override;

    // Lists compartment `otd`; false when its total could not be read (the status says
    // so and the grid keeps its content).
    bool showCompartment(int otd);
    // Stands beside `lists`: same top and height, left edge at its right edge; shown.
    void placeBeside(const QWidget *lists);

    QTableView *grid() const { return grid_; }
    DataGridModel *model() const { return model_.get(); }
    QLabel *status() const { return status_; }

private:
    WindowContext &context_;
    std::unique_ptr<DataGridModel> model_;
    QTableView *grid_;
    QLabel *status_;
};

} // namespace dx
