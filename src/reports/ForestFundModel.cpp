// The editable report grid model.
#include "reports/ForestFundModel.h"

#include "core/NumberFormat.h"

#include <QFont>

namespace dx {

void ForestFundModel::setTotalRows(std::function<bool(const QString &)> isTotal, QSet<int> zeroColumns)
{
    isTotal_ = std::move(isTotal);
    zeroColumns_ = std::move(zeroColumns);
}

bool ForestFundModel::isTotalRow(int row) const
{
    return isTotal_ && isTotal_(value(row, 0).toString());
}

QString ForestFundModel::shownText(int row, int column) const
{
    if (zeroColumns_.contains(column) && isTotalRow(row)) {
        const QVariant v = value(row, column);
        bool number = false;
        const double d = v.isNull() ? 0.0 : v.toDouble(&number);
        if (v.isNull() || number) return formatNumber(d, QStringLiteral("0.0"), locale());
    }
    return displayText(row, column);
}

QVariant ForestFundModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this) return QVariant();
    // The editor starts from the text shown, as a text: edits are typed as the grid shows them.
    if (role == Qt::DisplayRole || role == Qt::EditRole) return shownText(index.row(), index.column());
    if (role == Qt::FontRole && isBold(index.row(), index.column())) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return DataGridModel::data(index, role);
}

Qt::ItemFlags ForestFundModel::flags(const QModelIndex &index) const
{
    return DataGridModel::flags(index) | Qt::ItemIsEditable;
}

bool ForestFundModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return false;
    const QString text = value.toString().trimmed();
    QVariant stored;
    if (!text.isEmpty()) {
        bool ok = false;
        double d = locale().toDouble(text, &ok);
        if (!ok) d = QLocale::c().toDouble(text, &ok);
        stored = ok && index.column() > 0 ? QVariant(d) : QVariant(value.toString());
    }
    setValue(index.row(), index.column(), stored);
    return true;
}

} // namespace dx
