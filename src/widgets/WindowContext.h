// What every window is handed instead of the main window: the application state, the
// message boxes, the typed registry of the windows, and the window the secondary windows
// stand above (their parent). With it a window reads and changes the shared state, tells
// the user, and opens the windows it hands work to, without knowing the main window.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"
#include "widgets/WindowRegistry.h"

#include <functional>

class QWidget;

namespace dx {

// The message boxes of the program: every UserMessage a window shows goes through here.
class MessageSink {
public:
    // Answers the messages instead of boxes (tests note them).
    using Hook = std::function<void(const UserMessage &)>;
    void setHook(Hook hook) { hook_ = std::move(hook); }
    // The window the boxes stand above.
    void setParent(QWidget *parent) { parent_ = parent; }
    // A modal box with the message's icon, caption and text, its detail below; it
    // returns when the user has closed it.
    void show(const UserMessage &m) const;

    // A question box: Yes and No, or OK and Cancel; true for Yes or OK. A question hook
    // answers instead (tests); without one, but with a message hook, the message hook
    // notes the question and it is answered No.
    enum class Buttons { YesNo, OkCancel };
    using AskHook = std::function<bool(const UserMessage &)>;
    void setAskHook(AskHook hook) { askHook_ = std::move(hook); }
    bool ask(const UserMessage &m, Buttons buttons) const;

private:
    Hook hook_;
    AskHook askHook_;
    QWidget *parent_ = nullptr;
};

class WindowContext {
public:
    WindowContext(AppState &state, MessageSink &messages, WindowRegistry &windows)
        : state_(state), messages_(messages), windows_(windows) {}

    AppState &state() const { return state_; }
    void showMessage(const UserMessage &m) const { messages_.show(m); }
    bool ask(const UserMessage &m, MessageSink::Buttons b) const { return messages_.ask(m, b); }
    MessageSink &messages() const { return messages_; }
    WindowRegistry &windows() const { return windows_; }
    // The main window, which owns the secondary windows; set once it exists.
    QWidget *owner() const { return owner_; }
    void setOwner(QWidget *owner) { owner_ = owner; }

    // Switches the program to another project with the main window's loading window
    // and lists (set by the main window); true when the project was switched.
    using ProjectSwitcher = std::function<bool(const SwitchRequest &)>;
    void setProjectSwitcher(ProjectSwitcher f) { switcher_ = std::move(f); }
    bool switchProject(const SwitchRequest &r) const { return switcher_ && switcher_(r); }

private:
    AppState &state_;
    MessageSink &messages_;
    WindowRegistry &windows_;
    QWidget *owner_ = nullptr;
    ProjectSwitcher switcher_;
};

} // namespace dx
