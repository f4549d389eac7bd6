// A list as the Lists window shows it: the heading above the grid (the first line of a
// copy), the titled columns with their display formats, and the rows. The area lists and
// the built tables both hand the window one of these, and a built table read back from
// its file under Tables/ gives the same.
#pragma once

#include "core/GridModel.h"

#include <QList>
#include <QString>

namespace dx {

struct ListContent {
    QString heading;
    QList<GridColumn> columns;          // a two-level title as "upper|lower"
    QList<DataGridModel::Row> rows;
};

} // namespace dx
