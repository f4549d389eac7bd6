// Editing measures rows with every change written through at once.
#include "description/MeasuresModel.h"

#include "core/QtText.h"

#include <algorithm>
#include <stdexcept>

namespace dx {

MeasuresModel::MeasuresModel(Table &table, const MeasureTableDef &def, QObject *parent)
    : QAbstractTableModel(parent), table_(table), def_(def), columns_(def.gridColumns())
{
}

QVector<size_t> MeasuresModel::visibleMarks()
{
    QVector<size_t> marks;
    if (!table_.active()) return marks;
    try {
        for (table_.first(); !table_.eof(); table_.next()) marks.push_back(table_.bookmark());
        table_.first();
    } catch (const std::exception &) {
        // An empty or closed table has no rows to show.
    }
    return marks;
}

void MeasuresModel::takeFieldWidths()
{
    if (!table_.active()) return;
    try {
        const std::vector<FieldDef> &fields = table_.fields();
        for (MeasureColumn &c : columns_) {
            int i = table_.fieldIndex(ss(c.field));
            if (i >= 0) c.width = measureFieldChars(fields[size_t(i)]);
        }
    } catch (const std::exception &) {
        // The widths of our own layout stay.
    }
}

void MeasuresModel::refresh()
{
    beginResetModel();
    newRow_ = -1;
    newCells_.clear();
    takeFieldWidths();
    bookmarks_ = visibleMarks();
    endResetModel();
}

void MeasuresModel::reread()
{
    // What the file holds now; a row still being typed stays where it was.
    beginResetModel();
    bookmarks_ = visibleMarks();
    if (newRow_ > bookmarks_.size()) newRow_ = int(bookmarks_.size());
    endResetModel();
}

int MeasuresModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(bookmarks_.size()) + (newRow_ >= 0 ? 1 : 0);
}

int MeasuresModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QString MeasuresModel::cell(int row, int column) const
{
    if (row == newRow_) return newCells_.value(column);
    int fr = fileRow(row);
    if (fr < 0 || fr >= bookmarks_.size() || !table_.active()) return {};
    auto &t = const_cast<Table &>(table_);
    if (!t.gotoBookmark(bookmarks_[fr])) return {};
    return measureText(t.value(ss(columns_[column].field)));
}

QVariant MeasuresModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    try {
        return cell(index.row(), index.column());
    } catch (const std::exception &) {
        return {};
    }
}

QVariant MeasuresModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columns_.size()) return {};
    return columns_[section].title;
}

Qt::ItemFlags MeasuresModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (usable()) f |= Qt::ItemIsEditable;
    return f;
}

bool MeasuresModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !usable()) return false;
    try {
        const QString text = value.toString();
        const MeasureColumn &c = columns_[index.column()];
        if (QString why = measureValueProblem(c, text); !why.isEmpty()) {
            emit problem(why);
            return false;
        }
        const int row = index.row();
        if (row == newRow_) {
            newCells_.resize(columns_.size());
            newCells_[index.column()] = text;
            bool any = false;
            for (const QString &s : newCells_) any = any || !s.trimmed().isEmpty();
            // A new row goes to the file with its first filled cell.
            if (!any) return true;
            return post(row, newCells_, index.column());
        }
        // Leaving a cell as it was writes nothing.
        if (text == cell(row, index.column())) return true;
        QVector<QString> cells(columns_.size());
        cells[index.column()] = text;
        return post(row, cells, index.column());
    } catch (const std::exception &e) {
        table_.cancel();
        emit problem(QStringLiteral("Редът не може да бъде записан в %1: %2").arg(def_.fileName, qs(e.what())));
        return false;
    }
}

bool MeasuresModel::post(int row, const QVector<QString> &cells, int changedColumn)
{
    const QString key = key_ ? key_() : QString();
    if (QString why = measureKeyProblem(key); !why.isEmpty()) {
        emit problem(why);
        return false;
    }
    // A row under another address would vanish from the grid the moment it is written.
    if (!measureKeyShown(table_, key)) {
        emit problem(QStringLiteral("Редът не е записан в %1: адресът \"%2\" не е на показания подотдел. "
                                    "Изберете подотдела отново и повторете въвеждането.")
                         .arg(def_.fileName, key));
        return false;
    }
    const bool isNew = row == newRow_;
    size_t mark = 0;
    if (!isNew) {
        const int fr = fileRow(row);
        if (fr < 0 || fr >= bookmarks_.size() || !table_.gotoBookmark(bookmarks_[fr])) {
            reread();
            emit problem(QStringLiteral("Редът вече не е в %1; показано е каквото съдържа файлът.").arg(def_.fileName));
            return false;
        }
        mark = bookmarks_[fr];
    }
    return write(isNew, mark, cells, changedColumn, key);
}

bool MeasuresModel::write(bool isNew, size_t mark, const QVector<QString> &cells, int changedColumn,
                          const QString &key)
{
    const QVector<size_t> before = visibleMarks();
    try {
        if (isNew) {
            table_.append();
            for (int c = 0; c < columns_.size(); ++c)
                if (!cells.value(c).isEmpty()) table_.setValue(ss(columns_[c].field), measureValue(columns_[c], cells[c]));
        } else {
            if (!table_.gotoBookmark(mark)) throw std::runtime_error(ss(QStringLiteral("редът вече не е в таблицата")));
            table_.edit();
            const MeasureColumn &c = columns_[changedColumn];
            table_.setValue(ss(c.field), measureValue(c, cells[changedColumn]));
        }
        table_.setValue("KEY", Value::fromText(ss(key)));
        table_.post();
    } catch (const std::exception &e) {
        // Nothing half-done stays: the edit buffer is dropped, the file keeps its rows.
        table_.cancel();
        reread();
        emit problem(QStringLiteral("Редът не може да бъде записан в %1: %2").arg(def_.fileName, qs(e.what())));
        return false;
    }
    // The written row is found among the rows shown now, not by where the table stands.
    const QVector<size_t> now = visibleMarks();
    if (!isNew) {
        if (now.contains(mark) && now == bookmarks_) {
            const int row = int(bookmarks_.indexOf(mark));
            const int shown = newRow_ >= 0 && row >= newRow_ ? row + 1 : row;
            emit dataChanged(index(shown, 0), index(shown, columnCount() - 1));
            return true;
        }
        reread();
        if (now.contains(mark)) return true;
        emit problem(QStringLiteral("Редът е записан в %1 с адрес \"%2\" и не се показва при този подотдел.")
                         .arg(def_.fileName, key));
        return false;
    }
    QVector<size_t> added;
    for (size_t m : now)
        if (!before.contains(m)) added.push_back(m);
    if (added.isEmpty()) {
        // Written, yet the filter does not show it: take it out again, keep what was typed.
        const bool dropped = dropUnshownAppended(key);
        reread();
        emit problem(dropped ? QStringLiteral("Редът с адрес \"%2\" не се показва при този подотдел и не е записан в %1.")
                                   .arg(def_.fileName, key)
                             : QStringLiteral("Редът е записан в %1 с адрес \"%2\", но не се показва при този подотдел.")
                                   .arg(def_.fileName, key));
        return false;
    }
    if (added.size() == 1 && now.size() == bookmarks_.size() + 1 && now.mid(0, bookmarks_.size()) == bookmarks_) {
        placePosted(added.front());
    } else {
        // The file changed under the grid in other ways too: show it as it is.
        beginResetModel();
        newRow_ = -1;
        newCells_.clear();
        bookmarks_ = now;
        endResetModel();
    }
    return true;
}

bool MeasuresModel::dropUnshownAppended(const QString &key)
{
    const bool wasFiltered = table_.filtered();
    bool dropped = false;
    try {
        // An appended row is the file's last one.
        table_.setFiltered(false);
        table_.last();
        QString stored = key;
        while (stored.endsWith(QLatin1Char(' '))) stored.chop(1);
        if (!table_.eof() && measureText(table_.value("KEY")) == stored) {
            table_.remove();
            dropped = true;
        }
    } catch (const std::exception &) {
        dropped = false;
    }
    try {
        table_.setFiltered(wasFiltered);
    } catch (const std::exception &) {
    }
    return dropped;
}

void MeasuresModel::placePosted(size_t mark)
{
    // The posted row takes its place among the file's rows, at the end of the table.
    const int from = newRow_;
    const int end = int(bookmarks_.size());
    const bool moves = from < end;
    if (moves) beginMoveRows(QModelIndex(), from, from, QModelIndex(), end + 1);
    bookmarks_.push_back(mark);
    newRow_ = -1;
    newCells_.clear();
    if (moves) endMoveRows();
    emit dataChanged(index(end, 0), index(end, columnCount() - 1));
}

int MeasuresModel::insertNewRow(int row)
{
    if (!usable()) return -1;
    beginResetModel();
    if (newRow_ >= 0) newCells_.clear();
    int fileRows = int(bookmarks_.size());
    newRow_ = std::clamp(row, 0, fileRows);
    newCells_ = QVector<QString>(columns_.size());
    endResetModel();
    return newRow_;
}

int MeasuresModel::appendNewRow()
{
    return insertNewRow(int(bookmarks_.size()));
}

bool MeasuresModel::save()
{
    if (newRow_ < 0) return false;
    int filled = -1;
    for (int c = 0; c < newCells_.size(); ++c)
        if (!newCells_[c].trimmed().isEmpty()) filled = c;
    if (filled < 0) return false;
    try {
        return post(newRow_, newCells_, filled);
    } catch (const std::exception &e) {
        table_.cancel();
        emit problem(QStringLiteral("Редът не може да бъде записан в %1: %2").arg(def_.fileName, qs(e.what())));
        return false;
    }
}

bool MeasuresModel::removeAt(int row)
{
    if (row < 0 || row >= rowCount()) return false;
    if (row == newRow_) {
        beginResetModel();
        newRow_ = -1;
        newCells_.clear();
        endResetModel();
        return true;
    }
    const int fr = fileRow(row);
    try {
        if (fr >= bookmarks_.size() || !table_.gotoBookmark(bookmarks_[fr]))
            throw std::runtime_error(ss(QStringLiteral("редът вече не е в таблицата")));
        table_.remove();
    } catch (const std::exception &e) {
        table_.cancel();
        reread();
        emit problem(QStringLiteral("Редът не може да бъде изтрит от %1: %2").arg(def_.fileName, qs(e.what())));
        return false;
    }
    reread();
    return true;
}

} // namespace dx
