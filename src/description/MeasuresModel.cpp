// Editing measures rows with every change written through at once.
#include "description/MeasuresModel.h"

#include "core/QtText.h"

namespace dx {

MeasuresModel::MeasuresModel(Table &table, const MeasureTableDef &def, QObject *parent)
    : QAbstractTableModel(parent), table_(table), def_(def), columns_(def.gridColumns())
{
}

void MeasuresModel::refresh()
{
    beginResetModel();
    bookmarks_.clear();
    newRow_ = -1;
    newCells_.clear();
    if (table_.active()) {
        for (table_.first(); !table_.eof(); table_.next()) bookmarks_.push_back(table_.bookmark());
        table_.first();
    }
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
    int fileRow = newRow_ >= 0 && row > newRow_ ? row - 1 : row;
    if (fileRow < 0 || fileRow >= bookmarks_.size() || !table_.active()) return {};
    auto &t = const_cast<Table &>(table_);
    if (!t.gotoBookmark(bookmarks_[fileRow])) return {};
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
    QVector<QString> cells(columns_.size());
    cells[index.column()] = text;
    return post(row, cells, index.column());
}

bool MeasuresModel::post(int row, const QVector<QString> &cells, int changedColumn)
{
    const QString key = key_ ? key_() : QString();
    if (QString why = measureKeyProblem(key); !why.isEmpty()) {
        emit problem(why);
        return false;
    }
    const bool isNew = row == newRow_;
    try {
        if (isNew) {
            table_.append();
            for (int c = 0; c < columns_.size(); ++c)
                if (!cells.value(c).isEmpty()) table_.setValue(ss(columns_[c].field), measureValue(columns_[c], cells[c]));
        } else {
            int fileRow = newRow_ >= 0 && row > newRow_ ? row - 1 : row;
            if (!table_.gotoBookmark(bookmarks_[fileRow])) return false;
            table_.edit();
            const MeasureColumn &c = columns_[changedColumn];
            table_.setValue(ss(c.field), measureValue(c, cells[changedColumn]));
        }
        table_.setValue("KEY", Value::fromText(ss(key)));
        table_.post();
    } catch (const std::exception &e) {
        if (table_.state() != Table::State::Browse) table_.cancel();
        emit problem(QStringLiteral("Редът не може да бъде записан в %1: %2").arg(def_.fileName, qs(e.what())));
        refresh();
        return false;
    }
    if (isNew) {
        // The posted row takes its place among the file's rows (at the end of the table).
        size_t mark = table_.bookmark();
        beginResetModel();
        bookmarks_.push_back(mark);
        newRow_ = -1;
        newCells_.clear();
        endResetModel();
    } else {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
    return true;
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
    return post(newRow_, newCells_, filled);
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
    int fileRow = newRow_ >= 0 && row > newRow_ ? row - 1 : row;
    try {
        if (!table_.gotoBookmark(bookmarks_[fileRow])) return false;
        table_.remove();
    } catch (const std::exception &e) {
        emit problem(QStringLiteral("Редът не може да бъде изтрит от %1: %2").arg(def_.fileName, qs(e.what())));
        return false;
    }
    refresh();
    return true;
}

} // namespace dx
