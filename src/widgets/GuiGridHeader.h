// A grid title row of one or two lines. A title written "first|second" has two lines;
// neighbouring columns whose first lines are equal share one spanning upper cell, as
// the stock and use columns of the composition grid do.
#pragma once

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

private:
    QString title(int logicalIndex) const;
    bool twoLines() const;
    // The first and last visual index of the group of columns sharing `upper`.
    std::pair<int, int> groupOf(int visual, const QString &upper) const;
};

// A read-only grid of whole-row selection over `model`, with this title row: the form
// of every result and list grid of the program.
QTableView *makeReadOnlyGrid(QAbstractItemModel *model);

} // namespace dx
