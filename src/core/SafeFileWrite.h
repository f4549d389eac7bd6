// The one way a whole file is written: the bytes go to a temporary file beside the
// target, which replaces it only when complete, so an interruption or a full disk never
// leaves a torn file and an older file stays as it was. A failure is a FileWriteError
// naming the file and the reason, never a database error.
#pragma once

#include "core/UserMessage.h"

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace dx {

// A file that could not be written. The message (UTF-8 in what()) reads
// "Файлът PATH не може да бъде записан: REASON".
class FileWriteError : public std::runtime_error {
public:
    FileWriteError(const QString &path, const QString &reason);
    const QString &path() const { return path_; }
    const QString &reason() const { return reason_; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    QString path_;
    QString reason_;
};

// Writes `bytes` as the whole file at `path` (temporary file beside it, then a rename).
// Throws FileWriteError with the reason in the user's words: the folder is missing, is
// write-protected, a folder stands where the file should, or the write failed.
void writeFileSafely(const QString &path, const QByteArray &bytes);

// What stands at `path` in place of a file ("на мястото на файла има папка." and the
// like for a named pipe or a device), or empty when it is a file or nothing is there.
QString notAFileReason(const QString &path);

// The message box of a file that could not be written: the file in the text, the
// reason below it.
UserMessage fileWriteMessage(const FileWriteError &error, const QString &caption = plainCaption());

// The name a file is saved under: `extension` (".xlsx") is appended when the chosen name
// does not end with exactly it ("a.XLSX" -> "a.XLSX.xlsx", "a.xls" -> "a.xls.xlsx").
QString savedFileName(const QString &chosen, const QString &extension);

} // namespace dx
