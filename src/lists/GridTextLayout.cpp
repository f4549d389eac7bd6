// Grid texts for the clipboard and for plain text files, built from the display texts a
// model gives, so that the copied numbers look exactly as they do on the screen.
#include "lists/GridTextLayout.h"

#include "core/SafeFileWrite.h"
#include "engine/common/Codepage.h"

#include <QAbstractItemModel>

namespace dx {

namespace {

const QString kTab = QStringLiteral("\t");
const QString kCr = QStringLiteral("\r");
const QString kCrLf = QStringLiteral("\r\n");

QString titleLine(const QAbstractItemModel &model, const QString &separator, const QList<int> &columns)
{
    QStringList titles;
    titles.reserve(columns.size());
    for (int c : columns)
        titles.append(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    return titles.join(separator);
}

QString rowText(const QAbstractItemModel &model, int row, const QString &separator, const QList<int> &columns)
{
    QStringList cells;
    cells.reserve(columns.size());
    for (int c : columns)
        cells.append(gridCellText(model, row, c));
    return cells.join(separator);
}

// The title line (when wanted) and every row, cells joined by `separator`, each line
// ended by `lineEnd`.
QString gridLines(const QAbstractItemModel &model, bool titles, const QString &separator, const QString &lineEnd,
                  const GridColumnList &columns)
{
    const QList<int> walk = gridColumnsToWalk(model, columns);
    QString text;
    if (titles)
        text += titleLine(model, separator, walk) + lineEnd;
    const int rows = model.rowCount();
    for (int r = 0; r < rows; ++r)
        text += rowText(model, r, separator, walk) + lineEnd;
    return text;
}

} // namespace

QString PadRight(const QString &text, int width, const QString &fill)
{
    if (width <= text.length())
        return text;
    return text + fill.repeated(width - text.length());
}

QString gridTitleLine(const QAbstractItemModel &model, const QString &separator, const GridColumnList &columns)
{
    return titleLine(model, separator, gridColumnsToWalk(model, columns));
}

QString gridRowText(const QAbstractItemModel &model, int row, const QString &separator,
                    const GridColumnList &columns)
{
    return rowText(model, row, separator, gridColumnsToWalk(model, columns));
}

QString gridClipboardBody(const QAbstractItemModel &model, bool titles, const GridColumnList &columns)
{
    return gridLines(model, titles, kTab, kCr, columns);
}

QString CopyGridText(const QAbstractItemModel &model, bool titles, const QString &heading,
                     const GridColumnList &columns)
{
    QString text = heading;
    if (!heading.isEmpty())
        text += kCr;
    return text + gridClipboardBody(model, titles, columns);
}

QString CopyPlainGridText(const QAbstractItemModel &model, const QString &prefix, const QString &suffix,
                          bool titles, const GridColumnList &columns)
{
    return prefix + gridClipboardBody(model, titles, columns) + suffix;
}

QString CopyTwoGridsText(const QAbstractItemModel &first, const QAbstractItemModel &second, bool titles,
                         const QString &heading2, const QString &heading1,
                         const GridColumnList &firstColumns, const GridColumnList &secondColumns)
{
    return heading1 + gridClipboardBody(first, titles, firstColumns) + kCr + heading2
           + gridClipboardBody(second, titles, secondColumns);
}

void SaveGridText(const QAbstractItemModel &model, bool titles, const QString &separator,
                  const QString &path, const GridColumnList &columns)
{
    const QString text = gridLines(model, titles, separator, kCrLf, columns);
    writeFileSafely(path, QByteArray::fromStdString(cp::utf8ToCp1251(text.toStdString())));
}

} // namespace dx
