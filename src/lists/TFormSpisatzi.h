// The Lists window ("Списъци"): one grid that shows the area lists and the built
// physico-geographic tables, a status bar of four panels, the menu "Файл" (copy, save,
// exit), the menu "Таблици" of the tables built since the project was loaded, and the
// "Диаграма" view of the area lists.
#pragma once

#include "lists/AreaChart.h"
#include "lists/AreaLists.h"
#include "widgets/TFormWindow.h"

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QStackedWidget;
class QTableView;
class QChartView;

namespace dx {

class DataGridModel;
class WindowContext;

class TFormSpisatzi : public TFormWindow {
    Q_OBJECT
public:
    explicit TFormSpisatzi(WindowContext &context);
    ~TFormSpisatzi() override;

    // The area lists: each builds its list, shows it and the window. False (after the
    // engine's message) when the list could not be built; the grid keeps its content.
    bool ViewOtd();
    bool ViewSpecies();
    bool ViewAttribute(int number);

    // A built table (or any list) in the grid with its titles; copy and save work on it.
    void showList(const ListContent &content);
    // Adds `text` once to the menu "Таблици"; choosing it shows what load() gives, and a
    // thrown error becomes a message.
    void addTableMenuEntry(const QString &text, std::function<ListContent()> load);
    // Empties the menu "Таблици" (a project switch).
    void clearTableMenu();
    // The table selection's entry whose names head a copy (short name, description).
    void setTableEntry(const QString &shortName, const QString &description);

    void N1Click();                     // "Копирай"
    void N4Click();                     // "Запиши като.."
    // Saves the shown list as the save dialog's filter `filter` (0 .xlsx, 1 .rtf, 2 .txt,
    // 3 .dbf) under the chosen name; false after the message when it failed.
    bool saveAs(const QString &chosen, int filter);
    // Writes the shown list to a new dBase table `fileName` (see Save2Dbf).
    bool Save2Dbf(const QString &fileName);
    void DBGridEH1DblClick();
    // The clipboard heading of the shown list.
    QString copyHeading() const;

    // The "Диаграма" view: the bars of the shown area list.
    bool chartAvailable() const;
    void setChartShown(bool shown);
    bool chartShown() const;
    AreaChartData chartData() const;
    bool saveChart(const QString &path);
    void copyChart();

    enum class Command { Copy, Save, Exit, ShowChart, SaveChart, CopyChart };
    QAction *command(Command c) const;
    QMenuBar *menus() const { return menuBar_; }
    QMenu *tableMenu() const { return tableMenu_; }
    QTableView *grid() const { return grid_; }
    DataGridModel *model() const { return model_.get(); }
    QLabel *statusPanel(int i) const { return panels_[i - 1]; }
    int listMode() const { return mode_; }
    QChartView *chartView() const { return chartView_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void show(const AreaList &list, const QStringList &fieldNames);
    void setContent(const ListContent &content);
    void engineFailed(const std::exception &e);
    void refreshChart();

    WindowContext &context_;
    std::unique_ptr<DataGridModel> model_;
    QString heading_;          // a shown table's own heading; empty for the area lists
    bool ownHeading_ = false;
    QString entryShort_, entryDescription_;
    QStringList fieldNames_;
    int mode_ = 0;
    bool chartable_ = false;
    QMenuBar *menuBar_;
    QMenu *tableMenu_;
    QStackedWidget *pages_;
    QTableView *grid_;
    QChartView *chartView_;
    QLabel *panels_[4];
    QAction *commands_[6];
};

} // namespace dx
