// The program's table model: titled columns over rows of values, the model every grid of
// the windows is bound to, and the reading of any model's cells as a grid shows them
// (display role texts, the columns to walk) that the clipboard, the text files, the
// spreadsheets and the printed lists all go through.
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>
#include <QString>
#include <QVariant>

#include <optional>

namespace dx {

// Model columns to walk, in order. No list means every column of the model.
using GridColumnList = std::optional<QList<int>>;

// The columns to walk: the given list, or every column of the model in order.
QList<int> gridColumnsToWalk(const QAbstractItemModel &model, const GridColumnList &columns);

// A cell's text as the grid shows it (display role); an empty or invalid value gives "".
QString gridCellText(const QAbstractItemModel &model, int row, int column);

// How the model aligns a cell horizontally; no flags when it does not say.
Qt::Alignment gridCellAlignment(const QAbstractItemModel &model, int row, int column);

// One column of a DataGridModel.
struct GridColumn {
    GridColumn(QString title = QString(), QString format = QString(),
               Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, int width = 0)
        : title(std::move(title)), format(std::move(format)), alignment(alignment), width(width) {}

    QString title;       // the whole title; levels of a multi-level title separated by "|"
    QString format;      // display pattern for numbers (formatNumber); empty: as stored
    Qt::Alignment alignment;
    int width;           // width hint in characters; 0 leaves it to the view
};

// A grid's data: titled columns over rows of values. The display role gives the text the
// grid shows (numbers through the column's pattern, a null value as ""), the edit role the
// stored value. A row shorter than the column list reads as nulls in the missing cells.
class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Row = QList<QVariant>;

    explicit DataGridModel(QObject *parent = nullptr);
    explicit DataGridModel(QList<GridColumn> columns, QObject *parent = nullptr);

    void setColumns(QList<GridColumn> columns);
    const QList<GridColumn> &columns() const { return columns_; }
    const GridColumn &column(int column) const { return columns_.at(column); }

    void setRows(QList<Row> rows);
    void appendRow(Row row);
    void clearRows();
    const QList<Row> &rows() const { return rows_; }
    // Stores a cell's value (a short row is lengthened with nulls); nothing outside the
    // rows or the columns. Views are told of the change.
    void setValue(int row, int column, const QVariant &value);
    // The stored value of a cell; an invalid QVariant outside the rows or the row's cells.
    QVariant value(int row, int column) const;

    // Decimal point, group separator and minus sign of the number texts ('.' by default).
    void setLocale(const QLocale &locale);
    const QLocale &locale() const { return locale_; }

    // The text the grid shows in a cell.
    QString displayText(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<GridColumn> columns_;
    QList<Row> rows_;
    QLocale locale_ = QLocale::c();
};

// Rows of texts for a DataGridModel: one row per record, its cells the texts `cells`
// gives for it, in column order.
template <class Records, class Cells>
QList<DataGridModel::Row> textGridRows(const Records &records, Cells cells)
{
    QList<DataGridModel::Row> out;
    out.reserve(records.size());
    for (const auto &record : records) {
        DataGridModel::Row row;
        for (const QString &text : cells(record)) row << QVariant(text);
        out << row;
    }
    return out;
}

} // namespace dx
