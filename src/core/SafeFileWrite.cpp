// Whole-file writes through the engine's atomic replacement, with the reason of a
// failure found out in words the user can act on.
#include "core/SafeFileWrite.h"

#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"

#include <QFileInfo>

#include <filesystem>

namespace dx {
namespace {

// Why a write at `path` failed, as far as the file system tells.
QString failureReason(const QString &path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) return QStringLiteral("папката %1 не съществува.").arg(folder.filePath());
    if (QString what = notAFileReason(path); !what.isEmpty()) return what;
    if (!folder.isWritable()) return QStringLiteral("папката %1 е защитена от запис.").arg(folder.filePath());
    return QStringLiteral("записът не успя (пълен диск или файлът е зает).");
}

} // namespace

QString notAFileReason(const QString &path)
{
    std::error_code ec;
    switch (std::filesystem::status(path.toStdString(), ec).type()) {
    case std::filesystem::file_type::directory: return QStringLiteral("на мястото на файла има папка.");
    case std::filesystem::file_type::fifo: return QStringLiteral("на мястото на файла има именуван канал.");
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character: return QStringLiteral("на мястото на файла има устройство.");
    case std::filesystem::file_type::socket: return QStringLiteral("на мястото на файла има гнездо (socket).");
    default: return {};
    }
}

FileWriteError::FileWriteError(const QString &path, const QString &reason)
    : std::runtime_error(QStringLiteral("Файлът %1 не може да бъде записан: %2").arg(path, reason).toStdString()),
      path_(path), reason_(reason)
{
}

void writeFileSafely(const QString &path, const QByteArray &bytes)
{
    try {
        io::writeFileAtomic(path.toStdString(), bytes.toStdString());
    } catch (const EngineError &) {
        throw FileWriteError(path, failureReason(path));
    }
}

UserMessage fileWriteMessage(const FileWriteError &error, const QString &caption)
{
    return {caption, QStringLiteral("Файлът %1 не може да бъде записан.").arg(error.path()), UserMessage::Icon::Error,
            error.reason()};
}

QString savedFileName(const QString &chosen, const QString &extension)
{
    return chosen.endsWith(extension, Qt::CaseSensitive) ? chosen : chosen + extension;
}

} // namespace dx
