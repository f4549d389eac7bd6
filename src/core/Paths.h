// Paths under the program directory. Settings and catalogues write relative paths with
// backslashes (they come from Windows installations); here they become paths of this
// machine, and files are found without regard to letter case.
#pragma once

#include <QString>

namespace dx {

// `dir` and `relative` joined with this system's separator; separators inside
// `relative` (`\` or `/`) become this system's too. An absolute `relative` is returned
// alone, and a Windows drive path ("D:\DATA\X.DB") as written: it names a disk of
// another machine, never a folder under `dir`.
QString joinPath(const QString &dir, const QString &relative);
// "D:\...", "d:/..." or "D:X.DB": a path on a Windows drive, which no file here answers to.
bool isDrivePath(const QString &path);
// The path as it exists on disk (letter case of each part found), or the path itself.
QString diskPath(const QString &path);
// A regular file (not a folder) exists at the path, in any letter case.
bool fileExists(const QString &path);
// Anything stands at the path (a folder, a pipe or a device too), in any letter case: where
// a file is expected such a thing is no missing file, and opening it names what it is.
bool pathPresent(const QString &path);
bool directoryExists(const QString &path);

} // namespace dx
