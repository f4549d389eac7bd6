#include "TFormDendrix.h"

#include <QLabel>

namespace dx {

TFormDendrix::TFormDendrix(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Dendrix "));
    resize(1024, 700);
}

} // namespace dx
