// The program's table model and the reading of a model's cells as a grid shows them.
#include "core/GridModel.h"

#include "core/NumberFormat.h"
#include "engine/common/Value.h"

namespace dx {

namespace {

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
    case QMetaType::ULongLong: case QMetaType::Double: case QMetaType::Float:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isInteger(const QVariant &value)
{
    return isNumber(value) && value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float;
}

} // namespace

QList<int> gridColumnsToWalk(const QAbstractItemModel &model, const GridColumnList &columns)
{
    if (columns)
        return *columns;
    QList<int> all;
    const int count = model.columnCount();
    all.reserve(count);
    for (int c = 0; c < count; ++c)
        all.append(c);
    return all;
}

QString gridCellText(const QAbstractItemModel &model, int row, int column)
{
    const QVariant value = model.data(model.index(row, column), Qt::DisplayRole);
    if (!value.isValid() || value.isNull())
        return QString();
    return value.toString();
}

Qt::Alignment gridCellAlignment(const QAbstractItemModel &model, int row, int column)
{
    const QVariant v = model.data(model.index(row, column), Qt::TextAlignmentRole);
    if (!v.isValid())
        return {};
    return Qt::Alignment(v.toInt()) & Qt::AlignHorizontal_Mask;
}

DataGridModel::DataGridModel(QObject *parent) : QAbstractTableModel(parent) {}

DataGridModel::DataGridModel(QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), columns_(std::move(columns))
{
}

void DataGridModel::setColumns(QList<GridColumn> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

void DataGridModel::setRows(QList<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void DataGridModel::appendRow(Row row)
{
    const int at = int(rows_.size());
    beginInsertRows(QModelIndex(), at, at);
    rows_.append(std::move(row));
    endInsertRows();
}

void DataGridModel::setValue(int row, int column, const QVariant &value)
{
    if (row < 0 || row >= rows_.size() || column < 0 || column >= columns_.size()) return;
    Row &r = rows_[row];
    while (r.size() <= column) r.append(QVariant());
    r[column] = value;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at);
}

void DataGridModel::clearRows()
{
    setRows({});
}

QVariant DataGridModel::value(int row, int column) const
{
    if (row < 0 || row >= rows_.size() || column < 0)
        return QVariant();
    const Row &cells = rows_.at(row);
    return column < cells.size() ? cells.at(column) : QVariant();
}

void DataGridModel::setLocale(const QLocale &locale)
{
    locale_ = locale;
    if (!rows_.isEmpty() && !columns_.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

QString DataGridModel::displayText(int row, int column) const
{
    const QVariant v = value(row, column);
    if (!v.isValid() || v.isNull())
        return QString();
    const QString format = column < columns_.size() ? columns_.at(column).format : QString();
    if (isNumber(v)) {
        if (!format.isEmpty())
            return formatNumber(v.toDouble(), format, locale_);
        if (isInteger(v))
            return localisedNumber(v.toString(), locale_);
        return localisedNumber(computedRealText(v.toDouble()), locale_);
    }
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

int DataGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int DataGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole:
        return value(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return columns_.at(index.column()).alignment.toInt();
    default:
        return QVariant();
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < columns_.size()) {
        if (role == Qt::DisplayRole)
            return columns_.at(section).title;
        if (role == Qt::TextAlignmentRole)
            return columns_.at(section).alignment.toInt();
        return QVariant();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace dx
