// Appending to a text export file, with the run's appends undone on failure.
#include "export/ExportFile.h"

#include "core/SafeFileWrite.h"
#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Platform.h"

#include <QFileInfo>

#include <cstring>

namespace dx {
namespace {

// Why an append at `path` failed, in words the user can act on.
QString reasonFor(const QString &path, const EngineError &e)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) return QStringLiteral("папката %1 не съществува.").arg(folder.filePath());
    if (QString what = notAFileReason(path); !what.isEmpty()) return what;
    if (target.exists() && !target.isWritable()) return QStringLiteral("файлът е защитен от запис.");
    if (!target.exists() && !folder.isWritable()) return QStringLiteral("папката %1 е защитена от запис.").arg(folder.filePath());
    return QStringLiteral("записът не успя (пълен диск или файлът е зает): %1").arg(QString::fromUtf8(e.what()));
}

// The text and the trailer in code page 1251. ASCII and the Cyrillic letters А..я,
// nearly all a description holds, map straight to their bytes; a text with any other
// character goes through the general conversion.
std::string cp1251Piece(const QString &text)
{
    static const char kTrailer[] = "\r\n\r\n\r\n";
    const qsizetype n = text.size();
    std::string out(size_t(n) + sizeof kTrailer - 1, '\0');
    char *o = out.data();
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) o[i] = char(c);
        else if (c >= 0x0410 && c <= 0x044F) o[i] = char(c - 0x0410 + 0xC0);
        else return cp::utf8ToCp1251((text + QLatin1String(kTrailer)).toStdString());
    }
    std::memcpy(o + n, kTrailer, sizeof kTrailer - 1);
    return out;
}

} // namespace

ExportFile::ExportFile(const QString &path) : path_(path) {}

ExportFile::~ExportFile() = default;

void ExportFile::open()
{
    const std::string p = path_.toStdString();
    try {
        if (!io::exists(p)) {
            platform::writeFileSynced(p, std::string());
            created_ = true;
        }
        file_ = std::make_unique<platform::WritableFile>(p);
        startSize_ = size_ = file_->size();
    } catch (const EngineError &e) {
        file_.reset();
        if (created_) platform::removeFile(p);
        created_ = false;
        throw FileWriteError(path_, reasonFor(path_, e));
    }
}

void ExportFile::append(const QString &text)
{
    if (!file_) open();
    const std::string bytes = cp1251Piece(text);
    try {
        file_->writeAt(size_, bytes.data(), bytes.size());
        size_ += bytes.size();
    } catch (const EngineError &e) {
        const QString reason = reasonFor(path_, e);
        rollback();
        throw FileWriteError(path_, reason);
    }
}

void ExportFile::finish()
{
    if (!file_) return;
    try {
        file_->sync();
    } catch (const EngineError &e) {
        const QString reason = reasonFor(path_, e);
        rollback();
        throw FileWriteError(path_, reason);
    }
    file_.reset();
}

void ExportFile::rollback()
{
    if (!file_) return;
    try {
        file_->truncate(startSize_);
        file_->sync();
    } catch (const EngineError &) {
        // The cut failed too; the file keeps what it has and the caller reports the write.
    }
    file_.reset();
    if (created_) platform::removeFile(path_.toStdString(), true);
    created_ = false;
    size_ = startSize_;
}

} // namespace dx
