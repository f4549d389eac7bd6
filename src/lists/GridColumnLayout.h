// A grid's columns laid out for a file or a printed page: the title rows as the grid
// draws them (a title "upper|lower" has two lines, neighbouring columns sharing an upper
// line share one spanning cell), the widths the texts need, and the fitting of widths
// into a page. The spreadsheet, the RTF document and the grid printer lay out alike.
#pragma once

#include "core/GridModel.h"

#include <QList>
#include <QString>
#include <QStringList>

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

// Each walked column's width in characters: its longest cell text or title line, and its
// longest word. An upper line wider than its columns together widens them evenly.
struct TextWidths {
    QList<int> longest, longestWord;
};
TextWidths textWidths(const QAbstractItemModel &model, const QList<int> &columns, const GridTitleLayout &titles);

// Column widths fitted into `available`. Widths that fit are kept. Otherwise the widest
// columns give way first: every column wider than a common cap is cut to it, never below
// its least width (its longest word), so that short columns keep their texts on one line.
// When even the least widths do not fit, they are kept and `scale` (< 1) brings them in.
struct ColumnFit {
    QList<double> widths;
    double scale = 1;
};
ColumnFit fitColumnWidths(const QList<double> &natural, const QList<double> &least, double available);

} // namespace dx
