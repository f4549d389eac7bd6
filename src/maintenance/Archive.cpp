// Archive and restore of a project table file.
#include "maintenance/Archive.h"

#include "core/DataPassword.h"
#include "core/QtText.h"
#include "engine/common/FileIO.h"
#include "engine/common/Journal.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"

#include <QFile>

namespace dx {
namespace {

constexpr qint64 kBlock = 1024;

// The fields of a table file (dBase or Paradox by the table's own extension).
std::vector<FieldDef> fieldsOf(const std::string &path, bool paradox)
{
    OpenOptions o;
    o.knownPasswords = {dataPassword()};
    TableFilePtr t = paradox ? px::read(path, o) : dbf::read(path, o);
    return t->fields();
}

bool sameLayout(const std::vector<FieldDef> &a, const std::vector<FieldDef> &b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameFieldName(a[i].name, b[i].name) || a[i].type != b[i].type || a[i].width != b[i].width ||
            a[i].decimals != b[i].decimals)
            return false;
    return true;
}

} // namespace

QString archivePath(const QString &tablePath)
{
    return tablePath.left(tablePath.size() - 2) + QStringLiteral("drbackup");
}

void copyInBlocks(const QString &from, const QString &to, const BlockProgress &progress)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        throw ArchiveError(ss(QStringLiteral("Файлът %1 не може да бъде прочетен: %2").arg(from, in.errorString())));
    const qint64 total = in.size() / kBlock;
    QByteArray bytes;
    bytes.reserve(in.size());
    qint64 done = 0;
    if (progress) progress(0, total);
    while (!in.atEnd()) {
        const QByteArray block = in.read(kBlock);
        if (block.isEmpty() && in.error() != QFileDevice::NoError)
            throw ArchiveError(
                ss(QStringLiteral("Файлът %1 не може да бъде прочетен: %2").arg(from, in.errorString())));
        bytes += block;
        if (block.size() == kBlock && progress) progress(++done, total);
    }
    try {
        io::writeFileAtomic(ss(to), bytes.toStdString());
    } catch (const std::exception &e) {
        throw ArchiveError(ss(QStringLiteral("Файлът %1 не може да бъде записан: %2").arg(to, qs(e.what()))));
    }
}

void archiveTable(const QString &tablePath, const BlockProgress &progress)
{
    const QString target = archivePath(tablePath);
    try {
        platform::ReadGuard reading(ss(tablePath));
        platform::FileLock writing(ss(target));
        copyInBlocks(tablePath, target, progress);
    } catch (const ArchiveError &) {
        throw;
    } catch (const std::exception &e) {
        throw ArchiveError(ss(QStringLiteral("Архивът %1 не може да бъде направен: %2").arg(target, qs(e.what()))));
    }
}

void restoreTable(const QString &tablePath, const BlockProgress &progress)
{
    const QString source = archivePath(tablePath);
    const bool paradox = !tablePath.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive);
    try {
        platform::FileLock writing(ss(tablePath));
        // A change a killed program left half done belongs to the table being replaced:
        // settle it first, so that its journal cannot later be applied to the restored file.
        platform::recoverInterruptedChange(ss(tablePath));
        platform::FileLock reading(ss(source), platform::LockKind::Shared);
        std::vector<FieldDef> archived;
        try {
            archived = fieldsOf(ss(source), paradox);
        } catch (const std::exception &e) {
            throw ArchiveError(ss(QStringLiteral("Архивът %1 не е таблица на проекта: %2").arg(source, qs(e.what()))));
        }
        std::vector<FieldDef> current;
        bool readable = false;
        try {
            current = fieldsOf(ss(tablePath), paradox);
            readable = true;
        } catch (const std::exception &) {
            // a table that cannot be read any more is just what a restore is for
        }
        if (readable && !sameLayout(archived, current))
            throw ArchiveError(ss(QStringLiteral("Архивът %1 е от таблица с други полета и не може да замени %2.")
                                      .arg(source, tablePath)));
        copyInBlocks(source, tablePath, progress);
    } catch (const ArchiveError &) {
        throw;
    } catch (const std::exception &e) {
        throw ArchiveError(
            ss(QStringLiteral("Базата данни %1 не може да бъде възстановена: %2").arg(tablePath, qs(e.what()))));
    }
}

} // namespace dx
