// The main window: the toolbar of moves, the description header with the compartment
// and sub-compartment lists, the pages of the current and future composition and the
// measures, the main menu and the status bar. It is one window among the others: it is
// handed the window context (the shared state, the message boxes, the other windows)
// and runs the loading sequence on its first show.
#pragma once

#include "core/AppState.h"
#include "description/DescriptionHeader.h"
#include "shell/Startup.h"
#include "widgets/WindowContext.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;
class QToolButton;
class QVBoxLayout;

namespace dx {

class DataGridModel;
class MeasuresPage;

class TFormDendrix : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormDendrix(WindowContext &context);
    ~TFormDendrix() override;

    AppState &state() { return state_; }

    // Message boxes go through this hook when it is set (tests answer them instead).
    using MessageHook = MessageSink::Hook;
    void setMessageHook(MessageHook hook) { context_.messages().setHook(std::move(hook)); }
    void showMessage(const UserMessage &m) { context_.showMessage(m); }
    // How a fatal start-up error ends the program (tests note it instead).
    void setEndHook(std::function<void()> hook) { endHook_ = std::move(hook); }

    int showCount() const { return showCount_; }
    const StartupOutcome &startupOutcome() const { return outcome_; }

    // Shows a sub-compartment: caption, header boxes, the page in front; the other pages
    // are marked stale. Nothing changes when the pair names no single record.
    void ViewTax(int otd, const QString &podotd);
    void ViewSS(int otd, const QString &podotd);
    void ViewBS(int otd, const QString &podotd);
    void ViewMer(int otd, const QString &podotd);

    // Shows the pair named by the two lists (the compartment text must be a number).
    void showListedSubCompartment();
    // The sieves' hand-over: selects the compartment and sub-compartment and shows it.
    void goToSubCompartment(const QString &otd, const QString &podotd);
    // The four toolbar moves.
    void nextSubCompartment();
    void priorSubCompartment();
    void nextCompartment();
    void priorCompartment();

    // Puts the state's lists into the two list controls.
    void showLists();
    // The project counts into the status bar (an empty text on failure).
    void InfoStatus();

    QComboBox *compartmentList() const { return comboOtd_; }
    QComboBox *subCompartmentList() const { return comboPodotd_; }
    QLabel *companyPanel() const { return panel1_; }
    QLabel *countsPanel() const { return panel2_; }
    QAction *projectSelectionAction() const { return actSelectProject_; }
    QTabWidget *pages() const { return pages_; }
    QTableView *compositionGrid() const { return gridSS_; }
    QTableView *futureGrid() const { return gridBS_; }
    MeasuresPage *measuresPage() const { return measures_; }
    // The measures' key of the sub-compartment named by the two lists.
    QString measuresKey() const;
    // A header box by its name ("EditArea", "MemoPol", ...).
    QLineEdit *headerBox(const QString &name) const;
    // Page marks: true when the page shows the current sub-compartment.
    bool pageCurrent(int page) const { return pageCurrent_[page]; }

    // Switches to another project (the selection, the project settings and a restore
    // end here); true when it was switched.
    bool switchToProject(const SwitchRequest &request);

signals:
    void loadingFinished();
    // A project switch begins: menus of tables built for the previous project empty.
    void builtTablesCleared();
    // "Площи по отдели" and "Площи по дървесни видове": the Lists window builds them.
    void areasByCompartmentRequested();
    void areasBySpeciesRequested();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu();
    void buildToolbar();
    void buildHeader(QWidget *parent, QVBoxLayout *layout);
    void buildPages(QVBoxLayout *layout);
    void runLoadingSequence();
    void move(void (*step)(AppState &));
    void pageChanged(int page);
    void copyCurrentSubCompartment();
    void refreshPage(int page, int otd, const QString &podotd);
    void compositionClicked(const QModelIndex &index);
    void showDescription(const ViewTaxResult &r);
    void leaveCompartmentList();
    void syncListTexts();
    void guarded(const std::function<void()> &work);
    // Opens the window of type W (only declared here: the main window knows no other
    // window's header).
    template <class W> void openWindow() { context_.windows().open<W>(); }
    void openDatabaseEditor();
    void openForestFundReport(int mode);
    // "Списък на сечите" (1) and "Списък на мероприятията" (2): the list window in that mode.
    void openCuttingsList(int mode);

    WindowContext &context_;
    AppState &state_;
    std::function<void()> endHook_;
    int showCount_ = 0;
    StartupOutcome outcome_;
    bool filling_ = false;
    bool leaving_ = false;
    bool pageCurrent_[3] = {false, false, false};

    QComboBox *comboOtd_ = nullptr;
    QComboBox *comboPodotd_ = nullptr;
    QToolButton *showButton_ = nullptr;
    QLabel *panel1_ = nullptr;
    QLabel *panel2_ = nullptr;
    QAction *actSelectProject_ = nullptr;
    QTabWidget *pages_ = nullptr;
    QTableView *gridSS_ = nullptr;
    QTableView *gridBS_ = nullptr;
    DataGridModel *modelSS_ = nullptr;
    DataGridModel *modelBS_ = nullptr;
    MeasuresPage *measures_ = nullptr;
    QMap<QString, QLineEdit *> boxes_;
};

} // namespace dx
