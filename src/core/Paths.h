// Paths under the program directory. Settings and catalogues write relative paths with
// backslashes (they come from Windows installations); here they become paths of this
// machine, and files are found without regard to letter case.
#pragma once

#include <QString>

namespace dx {

// `dir` and `relative` joined with this system's separator; separators inside
// `relative` (`\` or `/`) become this system's too. An absolute `relative` is returned
// alone.
QString joinPath(const QString &dir, const QString &relative);
// The path as it exists on disk (letter case of each part found), or the path itself.
QString diskPath(const QString &path);
// A regular file (not a folder) exists at the path, in any letter case.
bool fileExists(const QString &path);
bool directoryExists(const QString &path);

} // namespace dx
