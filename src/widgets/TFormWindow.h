// The common base of the secondary windows: a top-level window above the main window,
// created once at start-up and shown and hidden on demand. It is handed the window
// context (state, message boxes, the other windows) instead of the main window.
#pragma once

#include <QDialog>

namespace dx {

class WindowContext;

class TFormWindow : public QDialog {
public:
    TFormWindow(const QString &caption, WindowContext &context);

    WindowContext &context() const { return context_; }

private:
    WindowContext &context_;
};

} // namespace dx
