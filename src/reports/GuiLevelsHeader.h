// A grid title row of any number of lines: a title "a|b|c|d" has four levels, and
// neighbouring columns whose titles begin with the same levels share one spanning cell
// for each of them ("хектари" over "класове на възраст" over the classes). A title with
// fewer levels fills the remaining height with its last one.
#pragma once

#include <QHeaderView>

namespace dx {

class LevelsHeader : public QHeaderView {
public:
    explicit LevelsHeader(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    QStringList levels(int logicalIndex) const;
    int levelCount() const;
    int lineHeight() const;
    // The first and last visual index of the columns sharing the first `depth` levels.
    std::pair<int, int> groupOf(int visual, const QStringList &levels, int depth) const;
};

} // namespace dx
