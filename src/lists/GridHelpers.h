// What a grid shows, turned into text: the clipboard texts of the "Копирай" commands, the
// plain text export, and the two small number/string helpers of the aligned text tables.
// Everything here works on a model alone; the widget layer (GuiGridHelpers) picks the
// columns a view shows and puts the text on the clipboard. DataGridModel is the program's
// table model over rows of values, the model the windows' grids are bound to.
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

// `text` followed by `fill` (width - length) times when it is shorter than `width`;
// a longer text is returned whole, never cut.
QString PadRight(const QString &text, int width, const QString &fill);

// The integer part of x plus the fraction's tenths rounded to the nearest, ties to even.
// The fraction is that of the stored double: 12.25 -> 12.2, 12.75 -> 12.8, 12.35 -> 12.3.
double RoundToTenth(double x);

// A cell's text as the grid shows it (display role); an empty or invalid value gives "".
QString gridCellText(const QAbstractItemModel &model, int row, int column);
// The column titles joined by `separator`, without a line end.
QString gridTitleLine(const QAbstractItemModel &model, const QString &separator,
                      const GridColumnList &columns = std::nullopt);
// One row's cells joined by `separator`, without a line end.
QString gridRowText(const QAbstractItemModel &model, int row, const QString &separator,
                    const GridColumnList &columns = std::nullopt);
// Clipboard body of one grid: the title line (when wanted) and every row, cells separated
// by TAB, each line ended by a single CR.
QString gridClipboardBody(const QAbstractItemModel &model, bool titles,
                          const GridColumnList &columns = std::nullopt);

// The complete clipboard texts of the copy commands.
// Heading (and a CR after it unless it is empty), then the grid.
QString CopyGridText(const QAbstractItemModel &model, bool titles, const QString &heading,
                     const GridColumnList &columns = std::nullopt);
// Prefix, the grid, suffix; nothing is inserted after the prefix.
QString CopyPlainGridText(const QAbstractItemModel &model, const QString &prefix,
                          const QString &suffix, bool titles,
                          const GridColumnList &columns = std::nullopt);
// Heading of the first grid (no CR added), the first grid, one CR, heading of the second
// grid, the second grid. Note the order: the second grid's heading comes first.
QString CopyTwoGridsText(const QAbstractItemModel &first, const QAbstractItemModel &second,
                         bool titles, const QString &heading2, const QString &heading1,
                         const GridColumnList &firstColumns = std::nullopt,
                         const GridColumnList &secondColumns = std::nullopt);

// Write the grid to a text file in code page 1251: the title line (when wanted) and one
// line per row, cells joined by `separator`, every line ended by CR LF and flushed as it
// is written. An existing file is overwritten. Throws dx::EngineError naming the file and
// the system's reason when the file cannot be created or written.
void SaveGridText(const QAbstractItemModel &model, bool titles, const QString &separator,
                  const QString &path, const GridColumnList &columns = std::nullopt);

// A number written by a display pattern of the grids: '0' a digit always written, '#' a
// digit written when significant, '.' the decimal point, ',' anywhere before the point
// groups thousands; other characters (or text in quotes) before and after the digits are
// copied. "0.0": 12 -> "12.0"; "#.0": 0.5 -> ".5"; "#,##0.0": 1234.56 -> "1,234.6".
// The stored value is rounded, an exact tie away from zero. The locale gives the decimal
// point, the group separator and the minus sign.
QString formatNumber(double value, const QString &pattern, const QLocale &locale = QLocale::c());

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

} // namespace dx
