// The two-line grid title row and the read-only grid of the result and list windows.
#include "widgets/GuiGridHeader.h"

#include <QEvent>
#include <QPainter>
#include <QTableView>

#include <algorithm>

namespace dx {
namespace {

QString upperLine(const QString &t)
{
    int bar = int(t.indexOf(QLatin1Char('|')));
    return bar < 0 ? QString() : t.left(bar);
}

QString lowerLine(const QString &t)
{
    int bar = int(t.indexOf(QLatin1Char('|')));
    return bar < 0 ? t : t.mid(bar + 1);
}

} // namespace

TwoLineHeader::TwoLineHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setDefaultAlignment(Qt::AlignCenter);
}

QString TwoLineHeader::title(int logicalIndex) const
{
    return model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
}

bool TwoLineHeader::twoLines() const
{
    if (!model()) return false;
    for (int i = 0; i < count(); ++i)
        if (title(i).contains(QLatin1Char('|'))) return true;
    return false;
}

QSize TwoLineHeader::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    int line = fontMetrics().height() + 6;
    s.setHeight(twoLines() ? 2 * line : line);
    return s;
}

int TwoLineHeader::advance(const QString &line) const
{
    auto it = advances_.constFind(line);
    if (it != advances_.constEnd()) return *it;
    if (advances_.size() > 4096) advances_.clear(); // a bound; a grid has few titles
    const int width = fontMetrics().horizontalAdvance(line);
    advances_.insert(line, width);
    return width;
}

void TwoLineHeader::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) advances_.clear();
    QHeaderView::changeEvent(event);
}

QSize TwoLineHeader::sectionSizeFromContents(int logicalIndex) const
{
    // Only the width counts: the height of the row is sizeHint's. The style's own measure
    // is not asked for, as a grid resizing its columns for every new result would ask it
    // for the same titles again and again.
    QSize s(0, fontMetrics().height() + 6);
    const QString t = title(logicalIndex);
    int width = advance(lowerLine(t)) + 12;
    const QString upper = upperLine(t);
    if (!upper.isEmpty()) {
        // The upper line is shared by the group; each column carries its part of it.
        auto [first, last] = groupOf(visualIndex(logicalIndex), upper);
        width = std::max(width, (advance(upper) + 12) / (last - first + 1));
    }
    s.setWidth(width);
    return s;
}

std::pair<int, int> TwoLineHeader::groupOf(int visual, const QString &upper) const
{
    int first = visual, last = visual;
    while (first > 0) {
        int li = logicalIndex(first - 1);
        if (isSectionHidden(li) || upperLine(title(li)) != upper) break;
        --first;
    }
    while (last + 1 < count()) {
        int li = logicalIndex(last + 1);
        if (isSectionHidden(li) || upperLine(title(li)) != upper) break;
        ++last;
    }
    return {first, last};
}

void TwoLineHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    // A title the model gives a font of its own (a bold one) is drawn in it.
    const QVariant font = model() ? model()->headerData(logicalIndex, orientation(), Qt::FontRole) : QVariant();
    if (font.typeId() == QMetaType::QFont) painter->setFont(font.value<QFont>());
    const QPalette &pal = palette();
    const QColor line = pal.color(QPalette::Mid);
    painter->fillRect(rect, pal.color(QPalette::Button));
    painter->setPen(pal.color(QPalette::ButtonText));
    const QString t = title(logicalIndex);
    const QString upper = upperLine(t);
    if (upper.isEmpty()) {
        painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextWordWrap, lowerLine(t));
        painter->setPen(line);
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->restore();
        return;
    }
    const int half = rect.height() / 2;
    QRect top(rect.left(), rect.top(), rect.width(), half);
    QRect bottom(rect.left(), rect.top() + half, rect.width(), rect.height() - half);
    painter->drawText(bottom.adjusted(2, 0, -2, 0), Qt::AlignCenter, lowerLine(t));

    // The upper line is drawn across the whole group and clipped to this column, so the
    // columns of a group together show it once, centred over all of them.
    auto [first, last] = groupOf(visualIndex(logicalIndex), upper);
    int left = sectionViewportPosition(this->logicalIndex(first));
    int right = sectionViewportPosition(this->logicalIndex(last)) + sectionSize(this->logicalIndex(last));
    QRect group(left, top.top(), right - left, top.height());
    painter->setClipRect(top);
    painter->drawText(group, Qt::AlignCenter, upper);
    painter->setClipping(false);

    painter->setPen(line);
    painter->drawLine(bottom.topLeft(), bottom.topRight());
    painter->drawLine(bottom.topRight(), bottom.bottomRight());
    if (visualIndex(logicalIndex) == last) painter->drawLine(top.topRight(), top.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

QTableView *makeReadOnlyGrid(QAbstractItemModel *model)
{
    auto *grid = new QTableView;
    grid->setHorizontalHeader(new TwoLineHeader(grid));
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    return grid;
}

} // namespace dx
