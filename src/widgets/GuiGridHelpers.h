// The grid copy commands ("Копирай", "Копирай в Clipboard") and the text export of a grid,
// on the views themselves: they take the columns the user sees, in the order shown, keep
// the view from repainting while its rows are walked and put the text on the clipboard.
// The texts themselves are laid out by GridTextLayout.
#pragma once

#include <QList>
#include <QString>

class QAbstractItemModel;
class QAbstractItemView;

namespace dx {

// The grid's model with every row fetched (a lazily filled model would otherwise give
// only the rows fetched so far); `empty` for a grid without a model.
const QAbstractItemModel &wholeModel(QAbstractItemView *grid, const QAbstractItemModel &empty);

// The model columns a view shows, in the order of its header; columns hidden in the
// header are left out. A view without a header shows every model column.
QList<int> visibleGridColumns(const QAbstractItemView *grid);

// Heading (with a CR unless empty), the title line when wanted and the rows, as the
// clipboard's plain text. The grid stays on its current row.
void CopyGridToClipboard(QAbstractItemView *grid, bool titles, const QString &heading);
// Prefix, the title line when wanted, the rows, suffix. The grid ends on its first row.
void CopyPlainGridToClipboard(QAbstractItemView *grid, const QString &prefix, const QString &suffix,
                              bool titles);
// Both grids in one text: heading1, the first grid, a CR, heading2, the second grid (note
// the argument order). Both grids end on their first row.
void CopyTwoGridsToClipboard(QAbstractItemView *first, QAbstractItemView *second, bool titles,
                             const QString &heading2, const QString &heading1);
// The grid as a code page 1251 text file, cells joined by `separator`, lines ended by
// CR LF. Throws FileWriteError naming the file and the reason when it cannot be written;
// the grid stays on its current row and repaints again either way.
void SaveGridToTextFile(QAbstractItemView *grid, bool titles, const QString &separator,
                        const QString &path);

} // namespace dx
