// A grid saved as a file another program opens: a spreadsheet (.xlsx) and a rich-text
// document (.rtf), both holding the grid's titles and every row as the grid shows it.
// Also the title rows of a grid as the grid draws them (a title "upper|lower" has two
// lines, neighbouring columns sharing an upper line share one spanning cell), which the
// files and the grid printer lay out alike.
#pragma once

#include "core/GridModel.h"

#include <QList>
#include <QString>

#include <optional>

class QAbstractItemModel;

namespace dx {

// The title rows of the walked columns.
struct GridTitleLayout {
    // A run of neighbouring columns (positions in the walked list) under one upper line.
    struct Span {
        int first = 0;
        int last = 0;
        QString text;
    };
    bool twoLines = false;  // some title has an upper line
    QStringList lower;      // per walked column: its own line (the whole title when it has one line)
    // Per walked column in order, each column in exactly one span. A column without an upper
    // line is a span of its own with an empty text: its title takes both lines.
    QList<Span> upper;
};
GridTitleLayout gridTitleLayout(const QAbstractItemModel &model, const QList<int> &columns);

// The number a cell text stands for, when the text is a plain number written in the C form
// or in the form of `locale` (digits, at most one decimal point, an optional minus; no
// group separators, no leading zeros but the one before the point, at most 15 digits), so
// that a spreadsheet can show it again exactly as it stands.
struct PlainNumber {
    double value = 0;
    int decimals = 0;         // digits after the point
    bool integerPart = true;  // false for ".5": no digit before the point
};
std::optional<PlainNumber> plainNumber(const QString &text, const QLocale &locale);

// Column widths fitted into `available`. Widths that fit are kept. Otherwise the widest
// columns give way first: every column wider than a common cap is cut to it, never below
// its least width (its longest word), so that short columns keep their texts on one line.
// When even the least widths do not fit, they are kept and `scale` (< 1) brings them in.
struct ColumnFit {
    QList<double> widths;
    double scale = 1;
};
ColumnFit fitColumnWidths(const QList<double> &natural, const QList<double> &least, double available);

// The name a spreadsheet is saved under: ".xlsx" is appended when the chosen name's
// extension is not exactly ".xlsx" ("a.XLSX" -> "a.XLSX.xlsx", "a.xls" -> "a.xls.xlsx").
QString xlsxFileName(const QString &chosen);
// The same rule for rich-text files and ".rtf".
QString rtfFileName(const QString &chosen);

// Writes the grid as an .xlsx workbook of one sheet named `sheetTitle` (characters a sheet
// name cannot hold are dropped, at most 31 kept; empty gives the default name). The title
// row is bold; a grid with two-line titles gets two title rows, the upper line merged over
// its columns and a one-line title merged over both rows, as the grid draws them. Then
// one row per grid row: a cell that is a plain number (plainNumber, in the C form or the
// form of the model's locale) is stored as that number with a format that shows the same
// digits, every other cell as its text. Column widths follow the longest text; the title
// rows stay in view and are repeated on printed pages. An existing file is replaced only
// by a complete new one. Throws EngineError naming the file and the reason.
void SaveGridXlsx(const QAbstractItemModel &model, const GridColumnList &columns, const QString &path,
                  const QString &sheetTitle = {});

// Writes the grid as an RTF document (code page 1251, other characters as Unicode escapes)
// holding one table: the title rows in bold (two-line titles as in the grid), then one row
// per grid row, every cell bordered and aligned as in the grid. Column widths follow the
// texts; a table wider than a portrait page turns the page to landscape, one wider than
// that is narrowed to the page and its texts wrap. `title` becomes the document's title.
// An existing file is replaced only by a complete new one. Throws EngineError naming the
// file and the reason.
void SaveGridRtf(const QAbstractItemModel &model, const GridColumnList &columns, const QString &path,
                 const QString &title = {});

} // namespace dx
