// The main window: the description of one sub-compartment, the navigation lists, the
// main menu and toolbar. For now it holds its caption and an empty page.
#pragma once

#include <QMainWindow>

namespace dx {

class TFormDendrix : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormDendrix(QWidget *parent = nullptr);
};

} // namespace dx
