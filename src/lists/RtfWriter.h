// A grid saved as a rich-text document (.rtf) another program opens, holding the grid's
// titles and every row as the grid shows it.
#pragma once

#include "core/GridModel.h"

#include <QString>

class QAbstractItemModel;

namespace dx {

// The name a rich-text document is saved under: ".rtf" is appended when the chosen name's
// extension is not exactly ".rtf".
QString rtfFileName(const QString &chosen);

// Writes the grid as an RTF document (code page 1251, other characters as Unicode escapes)
// holding one table: the title rows in bold (two-line titles as in the grid), then one row
// per grid row, every cell bordered and aligned as in the grid. Column widths follow the
// texts; a table wider than a portrait page turns the page to landscape, one wider than
// that is narrowed to the page and its texts wrap. `title` becomes the document's title.
// An existing file is replaced only by a complete new one. Throws FileWriteError naming
// the file and the reason.
void SaveGridRtf(const QAbstractItemModel &model, const GridColumnList &columns, const QString &path,
                 const QString &title = {});

} // namespace dx
