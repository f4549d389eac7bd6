// A shown list saved as a new dBase table (Save2Dbf): one field per column, named by the
// list's field names, typed by a first pass over the values and filled by a second.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QAbstractItemModel;

namespace dx {

struct DbfSaveProgress {
    std::function<void(const QString &)> stage; // "Анализиране на ...", "Запазване на данните..."
    std::function<void(int)> percent;           // whenever the whole percentage grows
    std::function<void(int)> batch;             // records handed to the file so far, every 512
};

struct DbfSaveResult {
    int records = 0;
    QStringList renamed; // "ЗАГЛАВИЕ -> ИМЕ" for every column whose name had to change
};

// A name a dBase field can hold: letters, digits and "_" (any other character becomes
// "_"), at most 10 characters, not empty, and not one of `taken` (a shortened name that
// clashes ends in a number instead).
QString dbfFieldName(const QString &wanted, const QStringList &taken);

// The file a dBase save writes: the chosen name, with ".dbf" added when it has no
// extension at all (as the table engine names a new table).
QString dbfSavePath(const QString &chosen);

// Writes the model's rows (stored values, edit role) to a new table at `path`, replacing
// an older file only when the new one is complete. A column whose values are all texts
// becomes a character field as wide as the longest value + 1 (1 when all are empty);
// any other starts as an integer field and becomes a floating one for good when a value
// read as an integer differs from it read as a single-precision real. `fieldNames` name
// the columns (missing ones are named by the titles). Throws FileWriteError naming the
// file and the reason.
DbfSaveResult Save2Dbf(const QAbstractItemModel &model, const QStringList &fieldNames, const QString &path,
                       const DbfSaveProgress &progress = {});

} // namespace dx
