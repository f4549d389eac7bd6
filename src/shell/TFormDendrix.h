// The main window: the navigation lists, the description of one sub-compartment, the
// main menu and the status bar. It owns the program's shared state and runs the loading
// sequence on its first show.
#pragma once

#include "shell/AppState.h"
#include "shell/Startup.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QLabel;

namespace dx {

struct AppWindows;

class TFormDendrix : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormDendrix(QWidget *parent = nullptr);
    ~TFormDendrix() override;

    AppState &state() { return state_; }
    void setWindows(AppWindows *windows) { windows_ = windows; }
    AppWindows *windows() const { return windows_; }

    // Message boxes go through this hook when it is set (tests answer them instead).
    using MessageHook = std::function<void(const UserMessage &)>;
    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
    void showMessage(const UserMessage &m);
    // How a fatal start-up error ends the program (tests note it instead).
    void setEndHook(std::function<void()> hook) { endHook_ = std::move(hook); }

    int showCount() const { return showCount_; }
    const StartupOutcome &startupOutcome() const { return outcome_; }
    bool loaded() const { return loaded_; }

    QComboBox *compartmentList() const { return comboOtd_; }
    QComboBox *subCompartmentList() const { return comboPodotd_; }
    QLabel *companyPanel() const { return panel1_; }
    QLabel *countsPanel() const { return panel2_; }
    QAction *projectSelectionAction() const { return actSelectProject_; }

    // Puts the state's lists into the two list controls.
    void showLists();
    // The project counts into the status bar (an empty text on failure).
    void InfoStatus();

signals:
    void loadingFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildMenu();
    void buildLists();
    void runLoadingSequence();
    void compartmentChosen(int index);
    void subCompartmentChosen(int index);

    AppState state_;
    AppWindows *windows_ = nullptr;
    MessageHook messageHook_;
    std::function<void()> endHook_;
    int showCount_ = 0;
    bool loaded_ = false;
    StartupOutcome outcome_;
    bool filling_ = false;

    QComboBox *comboOtd_ = nullptr;
    QComboBox *comboPodotd_ = nullptr;
    QLabel *panel1_ = nullptr;
    QLabel *panel2_ = nullptr;
    QAction *actSelectProject_ = nullptr;
};

} // namespace dx
