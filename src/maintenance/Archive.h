// The one-copy archive of a project table and its restore. Both copy the table's main
// file only (no index or memo files) and report their progress in 1024-byte blocks. The
// copy goes to a temporary file beside the target that is flushed and renamed into place
// when complete, so an interrupted copy leaves the old table or archive whole.
#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

namespace dx {

// The archive beside a table file: the path without its last two characters followed
// by "drbackup" ("X.db" -> "X.drbackup").
QString archivePath(const QString &tablePath);

// Called with the number of blocks copied so far and the gauge's end (size / 1024).
using BlockProgress = std::function<void(qint64 done, qint64 total)>;

// A copy that could not be made or a restore that was refused; the message names the
// file and the reason. The target is then as it was.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString message() const { return QString::fromUtf8(what()); }
};

// Copies the table file to its archive, reading the table under its shared lock (a
// change left half done by a killed program is settled first) and writing the archive
// under the archive's lock.
void archiveTable(const QString &tablePath, const BlockProgress &progress = {});

// Copies the archive over the table file under the table's lock. The archive must hold
// a table with the same fields as the table file; otherwise ArchiveError and nothing
// changes. The caller reloads what it holds of the table afterwards.
void restoreTable(const QString &tablePath, const BlockProgress &progress = {});

// The copy itself: `from` read in 1024-byte blocks (a last partial block included),
// then written as the whole of `to`.
void copyInBlocks(const QString &from, const QString &to, const BlockProgress &progress);

} // namespace dx
