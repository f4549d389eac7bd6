#include "widgets/TFormWindow.h"

namespace dx {

TFormWindow::TFormWindow(const QString &caption, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

} // namespace dx
