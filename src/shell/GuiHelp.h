// "Съдържание": the help file DENDRIX.CHM of the working directory when there is one,
// opened with the system's viewer; otherwise the program's own help document.
#pragma once

#include <QString>

class QWidget;

namespace dx {

// The built-in help document (HTML, Bulgarian).
QString helpDocument();

// Opens the help; returns false when neither could be shown.
bool openHelp(const QString &programDir, QWidget *parent);

} // namespace dx
