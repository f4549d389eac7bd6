// Grid copy commands on the views: column choice from the header, repaint suspension,
// the clipboard, and where the grid stands afterwards.
#include "widgets/GuiGridHelpers.h"

#include "lists/GridTextLayout.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>

namespace dx {

namespace {

// Keeps a view from repainting while it lives; the view's former state comes back also
// when the walk is cut short by an error.
class RepaintSuspended {
public:
    explicit RepaintSuspended(QWidget *widget) : widget_(widget)
    {
        if (widget_) {
            wasEnabled_ = widget_->updatesEnabled();
            widget_->setUpdatesEnabled(false);
        }
    }
    ~RepaintSuspended()
    {
        if (widget_)
            widget_->setUpdatesEnabled(wasEnabled_);
    }
    RepaintSuspended(const RepaintSuspended &) = delete;
    RepaintSuspended &operator=(const RepaintSuspended &) = delete;

private:
    QWidget *widget_;
    bool wasEnabled_ = true;
};

const QHeaderView *columnHeader(const QAbstractItemView *grid)
{
    if (auto table = qobject_cast<const QTableView *>(grid))
        return table->horizontalHeader();
    if (auto tree = qobject_cast<const QTreeView *>(grid))
        return tree->header();
    return nullptr;
}

void standOnFirstRow(QAbstractItemView *grid)
{
    QAbstractItemModel *model = grid ? grid->model() : nullptr;
    if (!model || model->rowCount() == 0)
        return;
    int column = grid->currentIndex().isValid() ? grid->currentIndex().column() : -1;
    if (column < 0) {
        const QList<int> shown = visibleGridColumns(grid);
        column = shown.isEmpty() ? 0 : shown.first();
    }
    grid->setCurrentIndex(model->index(0, column));
}

void putOnClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace

// The grid's model with every row fetched (a lazily filled model would otherwise give
// only the rows fetched so far); an empty model for a grid without one.
const QAbstractItemModel &wholeModel(QAbstractItemView *grid, const QAbstractItemModel &empty)
{
    QAbstractItemModel *model = grid ? grid->model() : nullptr;
    if (!model)
        return empty;
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    return *model;
}

QList<int> visibleGridColumns(const QAbstractItemView *grid)
{
    QList<int> columns;
    const QAbstractItemModel *model = grid ? grid->model() : nullptr;
    if (!model)
        return columns;
    const QHeaderView *header = columnHeader(grid);
    if (!header) {
        for (int c = 0; c < model->columnCount(); ++c)
            columns.append(c);
        return columns;
    }
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical >= 0 && !header->isSectionHidden(logical))
            columns.append(logical);
    }
    return columns;
}

void CopyGridToClipboard(QAbstractItemView *grid, bool titles, const QString &heading)
{
    QStandardItemModel empty;
    RepaintSuspended quiet(grid);
    const QAbstractItemModel &model = wholeModel(grid, empty);
    putOnClipboard(CopyGridText(model, titles, heading, visibleGridColumns(grid)));
}

void CopyPlainGridToClipboard(QAbstractItemView *grid, const QString &prefix, const QString &suffix,
                              bool titles)
{
    QStandardItemModel empty;
    {
        RepaintSuspended quiet(grid);
        const QAbstractItemModel &model = wholeModel(grid, empty);
        putOnClipboard(CopyPlainGridText(model, prefix, suffix, titles, visibleGridColumns(grid)));
    }
    standOnFirstRow(grid);
}

void CopyTwoGridsToClipboard(QAbstractItemView *first, QAbstractItemView *second, bool titles,
                             const QString &heading2, const QString &heading1)
{
    QStandardItemModel empty;
    {
        RepaintSuspended quietFirst(first);
        RepaintSuspended quietSecond(second);
        const QAbstractItemModel &firstModel = wholeModel(first, empty);
        const QAbstractItemModel &secondModel = wholeModel(second, empty);
        putOnClipboard(CopyTwoGridsText(firstModel, secondModel, titles, heading2, heading1,
                                        visibleGridColumns(first), visibleGridColumns(second)));
    }
    standOnFirstRow(first);
    standOnFirstRow(second);
}

void SaveGridToTextFile(QAbstractItemView *grid, bool titles, const QString &separator,
                        const QString &path)
{
    QStandardItemModel empty;
    RepaintSuspended quiet(grid);
    const QAbstractItemModel &model = wholeModel(grid, empty);
    SaveGridText(model, titles, separator, path, visibleGridColumns(grid));
}

} // namespace dx
