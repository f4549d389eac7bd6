// A grid title row of one or two lines. A title written "first|second" has two lines;
// neighbouring columns whose first lines are equal share one spanning upper cell, as
// the stock and use columns of the composition grid do.
#pragma once

#include <QHash>
#include <QHeaderView>

class QTableView;

namespace dx {

class TwoLineHeader : public QHeaderView {
public:
    explicit TwoLineHeader(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    // A column is as wide as its own (lower) title line needs; the upper line spans.
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void changeEvent(QEvent *event) override;

private:
    QString title(int logicalIndex) const;
    bool twoLines() const;
    // The first and last visual index of the group of columns sharing `upper`.
    std::pair<int, int> groupOf(int visual, const QString &upper) const;
    // The width of a title line in the header's font, kept: a grid resizing its columns
    // for every new result measures the same few titles again and again.
    int advance(const QString &line) const;

    mutable QHash<QString, int> advances_;
};

// A read-only grid of whole-row selection over `model`, with this title row: the form
// of every result and list grid of the program.
QTableView *makeReadOnlyGrid(QAbstractItemModel *model);

} // namespace dx
