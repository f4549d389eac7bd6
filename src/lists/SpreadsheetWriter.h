// A grid saved as a spreadsheet (.xlsx) another program opens, holding the grid's titles
// and every row as the grid shows it.
#pragma once

#include "core/GridModel.h"

#include <QString>

class QAbstractItemModel;

namespace dx {

// The name a spreadsheet is saved under: ".xlsx" is appended when the chosen name's
// extension is not exactly ".xlsx" ("a.XLSX" -> "a.XLSX.xlsx", "a.xls" -> "a.xls.xlsx").
QString xlsxFileName(const QString &chosen);

// Writes the grid as an .xlsx workbook of one sheet named `sheetTitle` (characters a sheet
// name cannot hold are dropped, at most 31 kept; empty gives the default name). The title
// row is bold; a grid with two-line titles gets two title rows, the upper line merged over
// its columns and a one-line title merged over both rows, as the grid draws them. Then
// one row per grid row: a cell that is a plain number (plainNumber, in the C form or the
// form of the model's locale) is stored as that number with a format that shows the same
// digits, every other cell as its text. Column widths follow the longest text; the title
// rows stay in view and are repeated on printed pages. An existing file is replaced only
// by a complete new one. Throws FileWriteError naming the file and the reason.
void SaveGridXlsx(const QAbstractItemModel &model, const GridColumnList &columns, const QString &path,
                  const QString &sheetTitle = {});

} // namespace dx
