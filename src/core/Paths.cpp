// Path joining and case-insensitive existence tests over the engine's lookup.
#include "core/Paths.h"

#include "core/QtText.h"
#include "engine/common/FileIO.h"

#include <QDir>

namespace dx {

bool isDrivePath(const QString &path)
{
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].unicode() < 0x80 && path[0].isLetter();
}

QString joinPath(const QString &dir, const QString &relative)
{
    if (isDrivePath(relative)) return relative;
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QDir::separator()).replace(QLatin1Char('/'), QDir::separator());
    // A settings file may name a table by its full path: that path stands as written.
    if (dir.isEmpty() || QDir::isAbsolutePath(rel)) return rel;
    if (dir.endsWith(QDir::separator())) return dir + rel;
    return dir + QDir::separator() + rel;
}

QString diskPath(const QString &path)
{
    return qs(io::resolve(".", ss(path)));
}

bool fileExists(const QString &path)
{
    if (isDrivePath(path)) return false;
    std::string p = io::resolve(".", ss(path));
    return io::exists(p) && !io::isDirectory(p);
}

bool pathPresent(const QString &path)
{
    return !isDrivePath(path) && io::exists(io::resolve(".", ss(path)));
}

bool directoryExists(const QString &path)
{
    if (isDrivePath(path)) return false;
    return io::isDirectory(io::resolve(".", ss(path)));
}

} // namespace dx
