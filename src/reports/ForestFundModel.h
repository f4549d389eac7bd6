// The grid model of the forest fund reports: a DataGridModel whose cells the user may
// edit (an edited value is shown, copied and printed as edited; nothing is recomputed),
// with total rows drawn in bold that show their empty kind cells as 0.0, and columns
// drawn in bold. The texts it shows are the texts dendrix-cli writes.
#pragma once

#include "core/GridModel.h"

#include <QSet>

#include <functional>

namespace dx {

class ForestFundModel : public DataGridModel {
    Q_OBJECT
public:
    using DataGridModel::DataGridModel;

    // A row whose first cell `isTotal` accepts is bold, and its `zeroColumns` show the
    // value "%.1f", an empty one as 0.0.
    void setTotalRows(std::function<bool(const QString &)> isTotal, QSet<int> zeroColumns);
    void setBoldColumns(QSet<int> columns) { boldColumns_ = std::move(columns); }

    bool isTotalRow(int row) const;
    bool isBold(int row, int column) const { return isTotalRow(row) || boldColumns_.contains(column); }
    // The text the grid shows in a cell, total rows included.
    QString shownText(int row, int column) const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // An edit: a number in the grid's form (or the C form) is stored as a number, an
    // empty text as null, anything else as the text typed.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    std::function<bool(const QString &)> isTotal_;
    QSet<int> zeroColumns_;
    QSet<int> boldColumns_;
};

} // namespace dx
