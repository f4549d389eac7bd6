// The title row of many levels.
#include "reports/GuiLevelsHeader.h"

#include <QPainter>

#include <algorithm>

namespace dx {

LevelsHeader::LevelsHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setDefaultAlignment(Qt::AlignCenter);
}

QStringList LevelsHeader::levels(int logicalIndex) const
{
    if (!model()) return {};
    return model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString().split(QLatin1Char('|'));
}

int LevelsHeader::levelCount() const
{
    int n = 1;
    for (int i = 0; i < count(); ++i) n = std::max(n, int(levels(i).size()));
    return n;
}

int LevelsHeader::lineHeight() const
{
    return fontMetrics().height() + 6;
}

QSize LevelsHeader::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(levelCount() * lineHeight());
    return s;
}

QSize LevelsHeader::sectionSizeFromContents(int logicalIndex) const
{
    QSize s = QHeaderView::sectionSizeFromContents(logicalIndex);
    const QStringList parts = levels(logicalIndex);
    int width = parts.isEmpty() ? 20 : fontMetrics().horizontalAdvance(parts.last()) + 12;
    // Each column carries its share of the spanning levels above it.
    for (int depth = 1; depth < parts.size(); ++depth) {
        auto [first, last] = groupOf(visualIndex(logicalIndex), parts, depth);
        width = std::max(width, (fontMetrics().horizontalAdvance(parts[depth - 1]) + 12) / (last - first + 1));
    }
    s.setWidth(width);
    return s;
}

std::pair<int, int> LevelsHeader::groupOf(int visual, const QStringList &parts, int depth) const
{
    const QStringList prefix = parts.mid(0, depth);
    auto same = [&](int v) {
        const int li = logicalIndex(v);
        if (isSectionHidden(li)) return false;
        const QStringList other = levels(li);
        return other.size() > depth && other.mid(0, depth) == prefix;
    };
    int first = visual, last = visual;
    while (first > 0 && same(first - 1)) --first;
    while (last + 1 < count() && same(last + 1)) ++last;
    return {first, last};
}

void LevelsHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    const QPalette &pal = palette();
    painter->fillRect(rect, pal.color(QPalette::Button));
    const QStringList parts = levels(logicalIndex);
    const int n = levelCount(), line = rect.height() / std::max(n, 1);
    for (int i = 0; i < parts.size(); ++i) {
        const bool lastPart = i == parts.size() - 1;
        const int top = rect.top() + i * line;
        const int bottom = lastPart ? rect.bottom() : top + line - 1;
        QRect cell(rect.left(), top, rect.width(), bottom - top + 1);
        QRect text = cell;
        bool groupEnd = true;
        if (!lastPart) {
            // Drawn across the whole group and clipped to this column: once, centred.
            auto [first, last] = groupOf(visualIndex(logicalIndex), parts, i + 1);
            const int left = sectionViewportPosition(this->logicalIndex(first));
            const int right = sectionViewportPosition(this->logicalIndex(last)) + sectionSize(this->logicalIndex(last));
            text = QRect(left, top, right - left, cell.height());
            groupEnd = visualIndex(logicalIndex) == last;
        }
        painter->setClipRect(cell);
        painter->setPen(pal.color(QPalette::ButtonText));
        painter->drawText(text.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextWordWrap, parts[i]);
        painter->setClipping(false);
        painter->setPen(pal.color(QPalette::Mid));
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        if (groupEnd) painter->drawLine(cell.topRight(), cell.bottomRight());
    }
    painter->restore();
}

} // namespace dx
