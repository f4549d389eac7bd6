#include "widgets/TFormWindow.h"

#include "widgets/WindowContext.h"

namespace dx {

TFormWindow::TFormWindow(const QString &caption, WindowContext &context) : QDialog(context.owner()), context_(context)
{
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

} // namespace dx
