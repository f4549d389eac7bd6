// The window of forest fund report 1 (ОГФ 1): the report's grid, whose cells the user may
// edit, two status panels (the project and the ownership), and the menu "Файл" with the
// preview and the print of the printed form, the copy to the clipboard and the exit.
#pragma once

#include "core/OwnershipFilter.h"
#include "reports/ForestFund1.h"
#include "widgets/TFormWindow.h"

class QAction;
class QLabel;
class QMenuBar;
class QTableView;

namespace dx {

class ForestFundProgress;
class WindowContext;

class TFormGF1 : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormGF1(WindowContext &context);
    // The window opens at 800 by 640 pixels (as near as the screen allows).
    QSize sizeHint() const override { return QSize(800, 640); }

    // Builds the report under the shared state's ownership filter as last confirmed and
    // shows it; the first row becomes current. Engine errors are shown in a box.
    void BuildReport(ForestFundProgress *progress = nullptr);

    enum class Command { Preview, Print, Copy, Exit };
    QAction *command(Command c) const { return commands_[int(c)]; }
    QMenuBar *menus() const { return menuBar_; }
    QTableView *grid() const { return grid_; }
    ForestFundModel *model() const { return model_.get(); }
    QLabel *statusPanel(int i) const { return panels_[i]; }
    const GF1Report &report() const { return report_; }
    const OwnershipFilter &filter() const { return filter_; }

    void copyToClipboard();   // "Копирай в Clipboard"
    void preview();           // "Изглед преди печат"
    void print();             // "Печат"

private:
    WindowContext &context_;
    std::unique_ptr<ForestFundModel> model_;
    GF1Report report_;
    OwnershipFilter filter_;
    QMenuBar *menuBar_;
    QTableView *grid_;
    QLabel *panels_[2];
    QAction *commands_[4];
};

// Sets a status panel's text and gives it 6 pixels per character.
void setReportPanel(QLabel *panel, const QString &text);

} // namespace dx
