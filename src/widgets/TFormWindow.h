// The common base of the secondary windows: a top-level window above the main window,
// created once at start-up and shown and hidden on demand.
#pragma once

#include <QDialog>

namespace dx {

class TFormWindow : public QDialog {
public:
    TFormWindow(const QString &caption, QWidget *parent);
};

} // namespace dx
