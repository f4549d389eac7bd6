// A grid laid out as plain text: the clipboard texts of the "Копирай" commands, the text
// file export, and the padding of the aligned text tables. Everything here works on a
// model alone; the grid view helpers (GuiGridHelpers) pick the columns a view shows and
// put the text on the clipboard.
#pragma once

#include "core/GridModel.h"

#include <QString>

namespace dx {

// `text` followed by `fill` (width - length) times when it is shorter than `width`;
// a longer text is returned whole, never cut.
QString PadRight(const QString &text, int width, const QString &fill);

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
// line per row, cells joined by `separator`, every line ended by CR LF. An existing file
// is replaced only by a complete new one. Throws FileWriteError naming the file and the
// reason when it cannot be written.
void SaveGridText(const QAbstractItemModel &model, bool titles, const QString &separator,
                  const QString &path, const GridColumnList &columns = std::nullopt);

} // namespace dx
