// Text crossing between the Qt side of the program (QString) and the table engine
// (UTF-8 std::string), and number texts as the user sees them.
#pragma once

#include <QLocale>
#include <QString>

#include <string>

namespace dx {

inline QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }
inline std::string ss(const QString &text) { return text.toStdString(); }

// A real with a fixed number of decimals in the current locale's form, as the
// "%.1f"-style patterns show it: an exact binary tie rounds away from zero, and no
// group separators are inserted.
QString formatFixed(double value, int decimals);

} // namespace dx
