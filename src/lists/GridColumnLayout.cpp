// The title rows and column widths of a grid laid out for a file or a page.
#include "lists/GridColumnLayout.h"

#include <QAbstractItemModel>

#include <algorithm>

namespace dx {

namespace {

// The upper line of a title ("" for a one-line title) and its own line.
std::pair<QString, QString> splitTitle(const QString &title)
{
    const qsizetype bar = title.indexOf(u'|');
    if (bar < 0)
        return {QString(), title};
    return {title.left(bar), title.mid(bar + 1)};
}

int longestLine(const QString &text)
{
    int longest = 0;
    for (const QStringView line : QStringView(text).split(u'\n'))
        longest = std::max(longest, int(line.size()));
    return longest;
}

int longestWord(const QString &text)
{
    int longest = 0, run = 0;
    for (QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

TextWidths textWidths(const QAbstractItemModel &model, const QList<int> &columns, const GridTitleLayout &titles)
{
    TextWidths w{QList<int>(columns.size(), 0), QList<int>(columns.size(), 0)};
    auto take = [&w](int i, const QString &text) {
        w.longest[i] = std::max(w.longest[i], longestLine(text));
        w.longestWord[i] = std::max(w.longestWord[i], longestWord(text));
    };
    for (int i = 0; i < columns.size(); ++i)
        take(i, titles.lower.at(i));
    const int rows = model.rowCount();
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < columns.size(); ++i)
            take(i, gridCellText(model, r, columns.at(i)));
    auto widen = [](QList<int> &widths, const GridTitleLayout::Span &span, int wanted) {
        int together = 0;
        for (int i = span.first; i <= span.last; ++i)
            together += widths[i];
        const int count = span.last - span.first + 1;
        if (wanted > together)
            for (int i = span.first; i <= span.last; ++i)
                widths[i] += (wanted - together + count - 1) / count;
    };
    for (const GridTitleLayout::Span &span : titles.upper) {
        widen(w.longest, span, longestLine(span.text));
        widen(w.longestWord, span, longestWord(span.text));
    }
    return w;
}

GridTitleLayout gridTitleLayout(const QAbstractItemModel &model, const QList<int> &columns)
{
    GridTitleLayout layout;
    for (int i = 0; i < columns.size(); ++i) {
        const auto [upper, lower] =
            splitTitle(model.headerData(columns.at(i), Qt::Horizontal, Qt::DisplayRole).toString());
        layout.lower.append(lower);
        if (!upper.isEmpty())
            layout.twoLines = true;
        if (!upper.isEmpty() && !layout.upper.isEmpty() && layout.upper.last().text == upper)
            layout.upper.last().last = i;
        else
            layout.upper.append({i, i, upper});
    }
    return layout;
}

ColumnFit fitColumnWidths(const QList<double> &natural, const QList<double> &least, double available)
{
    double sumNatural = 0, sumLeast = 0;
    for (int i = 0; i < natural.size(); ++i) {
        sumNatural += natural.at(i);
        sumLeast += least.at(i);
    }
    ColumnFit fit;
    if (sumNatural <= available) {
        fit.widths = natural;
    } else if (sumLeast <= available) {
        auto widthsUnder = [&](double cap) {
            double total = 0;
            for (int i = 0; i < natural.size(); ++i)
                total += std::min(natural.at(i), std::max(least.at(i), cap));
            return total;
        };
        double low = 0, high = *std::max_element(natural.begin(), natural.end());
        for (int step = 0; step < 60; ++step) {
            const double cap = (low + high) / 2;
            (widthsUnder(cap) <= available ? low : high) = cap;
        }
        for (int i = 0; i < natural.size(); ++i)
            fit.widths.append(std::min(natural.at(i), std::max(least.at(i), low)));
    } else {
        fit.widths = least;
        fit.scale = available / sumLeast;
    }
    return fit;
}

} // namespace dx
