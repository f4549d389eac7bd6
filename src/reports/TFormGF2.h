// The window of forest fund report 2 (ОГФ 2): the table of 20-year classes above a
// splitter, the table of 5-year classes below it, two status panels, and the menu "Файл"
// with the copy of both tables to the clipboard and the exit. Cells may be edited; an
// edit is copied as edited and nothing is recomputed.
#pragma once

#include "core/OwnershipFilter.h"
#include "reports/ForestFund2.h"
#include "widgets/TFormWindow.h"

class QAction;
class QLabel;
class QMenuBar;
class QSplitter;
class QTableView;

namespace dx {

class ForestFundProgress;
class WindowContext;

class TFormGF2 : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormGF2(WindowContext &context);
    // The window opens at 800 by 600 pixels (as near as the screen allows).
    QSize sizeHint() const override { return QSize(800, 600); }

    // Builds both tables under the shared state's ownership choice as last confirmed;
    // the engine's messages of statements that failed are shown in one box.
    void BuildReport(ForestFundProgress *progress = nullptr);

    enum class Command { Copy, Exit };
    QAction *command(Command c) const { return commands_[int(c)]; }
    QMenuBar *menus() const { return menuBar_; }
    QTableView *upperGrid() const { return grids_[0]; }
    QTableView *lowerGrid() const { return grids_[1]; }
    ForestFundModel *upperModel() const { return models_[0].get(); }
    ForestFundModel *lowerModel() const { return models_[1].get(); }
    QSplitter *splitter() const { return splitter_; }
    QLabel *statusPanel(int i) const { return panels_[i]; }

    void copyToClipboard(); // "Копирай в Clipboard"

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    WindowContext &context_;
    std::unique_ptr<ForestFundModel> models_[2];
    OwnershipFilter filter_;
    QMenuBar *menuBar_;
    QSplitter *splitter_;
    QTableView *grids_[2];
    QLabel *panels_[2];
    QAction *commands_[2];
};

} // namespace dx
