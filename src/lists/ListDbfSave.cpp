// Save2Dbf: the type pass and the writing pass over a list's rows.
#include "lists/ListDbfSave.h"

#include "core/NumberFormat.h"
#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"

#include <QAbstractItemModel>
#include <QFileInfo>

#include <cmath>

namespace dx {
namespace {

constexpr int kBatch = 512;
constexpr int kMaxNumberWidth = 20;

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isEmpty(const QVariant &v) { return !v.isValid() || v.isNull(); }

bool dbfLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' ||
           (u >= 0x0410 && u <= 0x044F) || u == 0x0401 || u == 0x0451;
}

// What the first pass settles for one column.
struct ColumnType {
    bool text = false;       // any value that is not a number
    bool floating = false;   // a number that is not whole as a single-precision real
    int width = 1;           // characters of the longest text + 1, or of the longest number
    int decimals = 0;
};

} // namespace

QString dbfFieldName(const QString &wanted, const QStringList &taken)
{
    QString name;
    for (QChar c : wanted.trimmed()) name += dbfLetter(c) ? c : QLatin1Char('_');
    if (name.isEmpty()) name = QStringLiteral("F");
    name = name.left(10);
    auto clashes = [&](const QString &n) {
        for (const QString &t : taken)
            if (t.compare(n, Qt::CaseInsensitive) == 0) return true;
        return false;
    };
    for (int i = 1; clashes(name); ++i) {
        const QString tail = QString::number(i);
        name = name.left(10 - int(tail.size())) + tail;
    }
    return name;
}

QString dbfSavePath(const QString &chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".dbf") : chosen;
}

DbfSaveResult Save2Dbf(const QAbstractItemModel &model, const QStringList &fieldNames, const QString &path,
                       const DbfSaveProgress &progress)
{
    const int rows = model.rowCount(), columns = model.columnCount();
    const int steps = std::max(1, rows);
    int shownPercent = -1;
    auto percent = [&](int done) {
        const int p = int(qint64(done) * 100 / steps);
        if (p > shownPercent && progress.percent) progress.percent(p);
        shownPercent = std::max(shownPercent, p);
    };
    auto stored = [&](int r, int c) { return model.data(model.index(r, c), Qt::EditRole); };

    // A write-protected file or a folder in the table's place is never replaced.
    const QFileInfo target(path);
    if (target.isDir()) throw FileWriteError(path, QStringLiteral("на негово място има папка"));
    if (target.exists() && !(target.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)))
        throw FileWriteError(path, QStringLiteral("файлът е защитен от запис"));

    DbfSaveResult result;
    QStringList names;
    for (int c = 0; c < columns; ++c) {
        const QString wanted = c < fieldNames.size() && !fieldNames[c].isEmpty()
                                   ? fieldNames[c]
                                   : model.headerData(c, Qt::Horizontal).toString().section(QLatin1Char('|'), -1);
        names << dbfFieldName(wanted, names);
        if (names.last() != wanted) result.renamed << wanted + QStringLiteral(" -> ") + names.last();
    }

    // Pass 1: the type and size of every field.
    if (progress.stage) progress.stage(QStringLiteral("Анализиране на типа и размера на полетата..."));
    std::vector<ColumnType> types(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            const QVariant v = stored(r, c);
            if (!isEmpty(v) && !isNumber(v)) types[size_t(c)].text = true;
        }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            ColumnType &t = types[size_t(c)];
            const QVariant v = stored(r, c);
            if (isEmpty(v)) continue;
            if (t.text) {
                t.width = std::max(t.width, int(v.toString().size()) + 1);
                continue;
            }
            const double d = v.toDouble();
            if (!t.floating && double(std::llround(d)) != double(float(d))) t.floating = true;
            const QString digits = computedRealText(d);
            const int point = int(digits.indexOf(QLatin1Char('.')));
            if (point >= 0) t.decimals = std::max(t.decimals, int(digits.size()) - point - 1);
            t.width = std::max(t.width, int(point >= 0 ? point : digits.size()));
        }
        percent(r + 1);
    }
    std::vector<FieldDef> fields;
    for (int c = 0; c < columns; ++c) {
        const ColumnType &t = types[size_t(c)];
        if (t.text) {
            fields.push_back(makeField(ss(names[c]), FieldType::Text, std::min(t.width, 254)));
        } else if (t.floating) {
            const int decimals = std::clamp(t.decimals, 1, 10);
            fields.push_back(makeField(ss(names[c]), FieldType::Real,
                                       std::min(t.width + 2 + decimals, kMaxNumberWidth), decimals));
        } else {
            fields.push_back(makeField(ss(names[c]), FieldType::Integer, std::min(t.width + 1, kMaxNumberWidth)));
        }
    }

    // Pass 2: the records, handed to the new file in batches.
    if (progress.stage) progress.stage(QStringLiteral("Запазване на данните..."));
    shownPercent = -1;
    try {
        dbf::Creator file(ss(path), fields, 0xC9, size_t(rows));
        for (int r = 0; r < rows; ++r) {
            Row row;
            row.reserve(size_t(columns));
            for (int c = 0; c < columns; ++c) {
                const QVariant v = stored(r, c);
                if (isEmpty(v)) row.push_back(Value::null());
                else if (types[size_t(c)].text) row.push_back(Value::fromText(ss(v.toString())));
                else if (types[size_t(c)].floating) row.push_back(Value::fromReal(v.toDouble()));
                else row.push_back(Value::fromInt(std::llround(v.toDouble())));
            }
            file.add(row);
            if ((r + 1) % kBatch == 0 && progress.batch) progress.batch(r + 1);
            percent(r + 1);
        }
        file.finish();
    } catch (const EngineError &e) {
        throw FileWriteError(path, qs(e.reason()));
    }
    if (progress.batch) progress.batch(rows);
    result.records = rows;
    return result;
}

} // namespace dx
