// The grid printer's page layout and painting. Everything is laid out in tenths of a
// point with fonts sized in those units, so that the page count, the column fit and the
// painted pages agree on every device; painting scales the units to the device.
#include "lists/GridPrintout.h"

#include "core/GridModel.h"
#include "core/SafeFileWrite.h"
#include "lists/GridColumnLayout.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace dx {

namespace {

constexpr double kUnitsPerInch = 720;  // layout units: tenths of a point
constexpr double kUnitsPerPoint = kUnitsPerInch / 72;
constexpr double kPadX = 25;           // text to the cell's side lines
constexpr double kPadY = 10;           // text to the cell's top and bottom lines
constexpr double kGap = 40;            // page header and footer to the grid
constexpr double kSlack = 4;           // what measuring and drawing may differ by
constexpr double kLineWidth = 3;       // thin cell lines
const QColor kTitleFill(0xE4, 0xE4, 0xE4);
const QColor kLineColour(0x70, 0x70, 0x70);

QFont inUnits(QFont font)
{
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 8.0;
    font.setPixelSize(std::max(1, int(std::lround(points * kUnitsPerPoint))));
    return font;
}

QString oneKindOfLineBreak(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

// The lines `text` takes in `width`: its own line breaks, then breaks between words, and
// inside a word that is wider than the whole width.
QStringList wrapText(const QString &text, const QFont &font, const QFontMetricsF &metrics, double width)
{
    QStringList lines;
    for (const QString &paragraph : oneKindOfLineBreak(text).split(u'\n')) {
        if (metrics.horizontalAdvance(paragraph) <= width) {
            lines.append(paragraph);
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1.0, width));
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (part.endsWith(u' '))
                part.chop(1);
            lines.append(part);
        }
        layout.endLayout();
    }
    return lines;
}

double longestLineWidth(const QString &text, const QFontMetricsF &metrics)
{
    double widest = 0;
    for (const QString &line : oneKindOfLineBreak(text).split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

double longestWordWidth(const QString &text, const QFontMetricsF &metrics)
{
    double widest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        if (i > start)
            widest = std::max(widest, metrics.horizontalAdvance(i - start == text.size() ? text : text.mid(start, i - start)));
        start = i + 1;
    }
    return widest;
}

// A text's widest line and widest word, and whether it has line breaks of its own.
struct TextMeasure {
    double line = 0;
    double word = 0;
    bool breaks = false;
};

TextMeasure measure(const QString &text, const QFontMetricsF &metrics)
{
    TextMeasure m;
    m.breaks = text.contains(u'\n') || text.contains(u'\r');
    m.line = m.breaks ? longestLineWidth(text, metrics) : metrics.horizontalAdvance(text);
    const bool oneWord = !m.breaks && std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
    m.word = oneWord ? m.line : longestWordWidth(text, metrics);
    return m;
}

Qt::Alignment cellAlignment(const QAbstractItemModel &model, const QModelIndex &index)
{
    const Qt::Alignment a = gridCellAlignment(model, index.row(), index.column());
    return a ? a : Qt::AlignLeft;
}

// `lines` centred vertically in `rect`, each aligned as asked.
void drawLines(QPainter &painter, const QRectF &rect, const QStringList &lines, Qt::Alignment alignment,
               const QFontMetricsF &metrics)
{
    const double lineHeight = metrics.lineSpacing();
    double y = rect.top() + (rect.height() - lines.size() * lineHeight) / 2;
    for (const QString &line : lines) {
        const double width = metrics.horizontalAdvance(line);
        double x = rect.left() + kPadX;
        if (alignment & Qt::AlignRight)
            x = rect.right() - kPadX - width;
        else if (alignment & Qt::AlignHCenter)
            x = rect.left() + (rect.width() - width) / 2;
        painter.drawText(QPointF(x, y + metrics.ascent()), line);
        y += lineHeight;
    }
}

QColor roleColour(const QVariant &v)
{
    if (v.canConvert<QBrush>() && v.typeId() == QMetaType::QBrush)
        return v.value<QBrush>().color();
    if (v.canConvert<QColor>())
        return v.value<QColor>();
    return QColor();
}

} // namespace

GridPrintOptions::GridPrintOptions()
    : footerRight(QStringLiteral("стр. &[Page] от &[Pages]")),
      pageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter),
      headerFont(QStringLiteral("MS Sans Serif"), 8), gridFont(QStringLiteral("MS Sans Serif"), 8)
{
    headerFont.setStyleHint(QFont::SansSerif);
    gridFont.setStyleHint(QFont::SansSerif);
}

QString pageFooterText(const QString &pattern, int page, int pages)
{
    QString text = pattern;
    text.replace(QStringLiteral("&[Pages]"), QString::number(pages));
    text.replace(QStringLiteral("&[Page]"), QString::number(page));
    return text;
}

// Everything about the pages that does not change from one page to the next.
struct GridPrintout::Layout {
    double pageWidth = 0, pageHeight = 0;
    QFont headerFont, titleFont, gridFont;
    QStringList titleLines, headerLines;
    double titleHeight = 0;
    double headerHeight = 0;   // with the gap under it; 0 without a header
    double footerTop = 0;
    GridTitleLayout titles;
    QList<double> widths;      // grid units (before scaling)
    QList<double> lefts;
    double gridWidth = 0;
    double scale = 1;
    double upperHeight = 0;    // upper title row; 0 with one-line titles
    double lowerHeight = 0;
    QList<double> rowHeights;
    QList<int> pageStarts;     // the first row of each page
    int rowEnd(int page) const
    {
        return page + 1 < pageStarts.size() ? pageStarts.at(page + 1) : int(rowHeights.size());
    }
};

GridPrintout::GridPrintout(const QAbstractItemModel &model, QList<int> columns, GridPrintOptions options)
    : model_(model), columns_(std::move(columns)), options_(std::move(options))
{
}

GridPrintout::Layout GridPrintout::layOut(double pageWidth, double pageHeight) const
{
    Layout l;
    pageWidth = std::max(pageWidth, 1.0);  // a page all margins still gets its pages counted
    pageHeight = std::max(pageHeight, 1.0);
    l.pageWidth = pageWidth;
    l.pageHeight = pageHeight;
    l.headerFont = inUnits(options_.headerFont);
    l.gridFont = inUnits(options_.gridFont);
    const QFontMetricsF headerMetrics(l.headerFont);
    const QFontMetricsF gridMetrics(l.gridFont);
    const double headerLine = headerMetrics.lineSpacing();
    const double gridLine = gridMetrics.lineSpacing();

    // Title and page header together, at most half the page; footer, one line at the
    // bottom.
    l.titleFont = l.headerFont;
    l.titleFont.setBold(true);
    const QFontMetricsF titleMetrics(l.titleFont);
    const double titleLine = titleMetrics.lineSpacing();
    int fits = std::max(1, int(pageHeight / 2 / headerLine));
    if (!options_.title.isEmpty()) {
        l.titleLines = wrapText(options_.title, l.titleFont, titleMetrics, pageWidth - kSlack);
        if (l.titleLines.size() > fits) l.titleLines = l.titleLines.mid(0, fits);
        fits = std::max(0, fits - int(l.titleLines.size()));
        l.titleHeight = l.titleLines.size() * titleLine;
    }
    if (!options_.header.isEmpty() && fits > 0) {
        l.headerLines = wrapText(options_.header, l.headerFont, headerMetrics, pageWidth - kSlack);
        if (l.headerLines.size() > fits)
            l.headerLines = l.headerLines.mid(0, fits);
    }
    if (l.titleHeight > 0 || !l.headerLines.isEmpty())
        l.headerHeight = l.titleHeight + l.headerLines.size() * headerLine + kGap;
    l.footerTop = pageHeight - headerLine;
    const double gridHeight = std::max(gridLine, l.footerTop - kGap - l.headerHeight);

    // Column widths: what the longest text needs, and the least, its longest word.
    l.titles = gridTitleLayout(model_, columns_);
    const int count = int(columns_.size());
    QList<double> natural(count), least(count);
    for (int i = 0; i < count; ++i) {
        const TextMeasure m = measure(l.titles.lower.at(i), gridMetrics);
        natural[i] = m.line;
        least[i] = m.word;
    }
    const int rows = model_.rowCount();
    QList<TextMeasure> cells;  // row by row, kept for the row heights
    cells.reserve(qsizetype(rows) * count);
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < count; ++i) {
            cells.append(measure(gridCellText(model_, r, columns_.at(i)), gridMetrics));
            natural[i] = std::max(natural[i], cells.last().line);
            least[i] = std::max(least[i], cells.last().word);
        }
    for (int i = 0; i < count; ++i) {
        natural[i] += 2 * kPadX + kSlack;
        least[i] += 2 * kPadX + kSlack;
    }
    for (const GridTitleLayout::Span &span : l.titles.upper) {
        if (span.text.isEmpty())
            continue;
        const int n = span.last - span.first + 1;
        double together = 0, togetherLeast = 0;
        for (int i = span.first; i <= span.last; ++i) {
            together += natural[i];
            togetherLeast += least[i];
        }
        const double wanted = longestLineWidth(span.text, gridMetrics) + 2 * kPadX + kSlack;
        const double wantedLeast = longestWordWidth(span.text, gridMetrics) + 2 * kPadX + kSlack;
        for (int i = span.first; i <= span.last; ++i) {
            natural[i] += std::max(0.0, wanted - together) / n;
            least[i] += std::max(0.0, wantedLeast - togetherLeast) / n;
        }
    }

    // Fit to the page: widen a narrow grid, wrap the longest texts of a wide one, and draw
    // it smaller when even its longest words do not fit.
    const ColumnFit fit = fitColumnWidths(natural, least, pageWidth);
    l.widths = fit.widths;
    l.scale = fit.scale;
    double sumNatural = 0;
    for (double w : natural)
        sumNatural += w;
    if (options_.stretchToWidth && sumNatural > 0 && sumNatural < pageWidth)
        for (double &w : l.widths)
            w *= pageWidth / sumNatural;
    double x = 0;
    for (double w : l.widths) {
        l.lefts.append(x);
        x += w;
    }
    l.gridWidth = x;

    // Title rows and rows, as tall as their wrapped texts.
    auto linesIn = [&](const QString &text, double width) {
        return int(wrapText(text, l.gridFont, gridMetrics, width - 2 * kPadX).size());
    };
    int upperLines = 0, lowerLines = 1, bothLines = 0;
    for (const GridTitleLayout::Span &span : l.titles.upper) {
        if (span.text.isEmpty()) {
            bothLines = std::max(bothLines, linesIn(l.titles.lower.at(span.first), l.widths.at(span.first)));
            continue;
        }
        const double width = l.lefts.at(span.last) + l.widths.at(span.last) - l.lefts.at(span.first);
        upperLines = std::max(upperLines, linesIn(span.text, width));
        for (int i = span.first; i <= span.last; ++i)
            lowerLines = std::max(lowerLines, linesIn(l.titles.lower.at(i), l.widths.at(i)));
    }
    l.lowerHeight = lowerLines * gridLine + 2 * kPadY;
    if (l.titles.twoLines)
        l.upperHeight = upperLines * gridLine + 2 * kPadY;
    l.lowerHeight = std::max(l.lowerHeight, bothLines * gridLine + 2 * kPadY - l.upperHeight);

    const double rowsHeight = gridHeight / l.scale - l.upperHeight - l.lowerHeight;
    l.rowHeights.reserve(rows);
    l.pageStarts.append(0);
    double used = 0;
    for (int r = 0; r < rows; ++r) {
        int lines = 1;
        for (int i = 0; i < count; ++i) {
            const TextMeasure &m = cells.at(qsizetype(r) * count + i);
            if (m.breaks || m.line > l.widths.at(i) - 2 * kPadX)
                lines = std::max(lines, linesIn(gridCellText(model_, r, columns_.at(i)), l.widths.at(i)));
        }
        const double height = lines * gridLine + 2 * kPadY;
        if (used > 0 && used + height > rowsHeight) {
            l.pageStarts.append(r);
            used = 0;
        }
        used += height;
        l.rowHeights.append(height);
    }
    return l;
}

GridPrintout::Fit GridPrintout::fit(const QPageLayout &layout) const
{
    const QRectF page = layout.paintRect(QPageLayout::Point);
    const Layout l = layOut(page.width() * kUnitsPerPoint, page.height() * kUnitsPerPoint);
    Fit f;
    for (double w : l.widths)
        f.widths.append(w / kUnitsPerPoint);
    f.scale = l.scale;
    f.pageWidth = page.width();
    return f;
}

int GridPrintout::pageCount(const QPageLayout &layout) const
{
    const QRectF page = layout.paintRect(QPageLayout::Point);
    return int(layOut(page.width() * kUnitsPerPoint, page.height() * kUnitsPerPoint).pageStarts.size());
}

bool GridPrintout::paint(QPagedPaintDevice &device) const
{
    const double unitsX = kUnitsPerInch / device.logicalDpiX();
    const double unitsY = kUnitsPerInch / device.logicalDpiY();
    const Layout l = layOut(device.width() * unitsX, device.height() * unitsY);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QFontMetricsF headerMetrics(l.headerFont);
    const QFontMetricsF gridMetrics(l.gridFont);
    QPen linePen(kLineColour, kLineWidth);
    const int pages = int(l.pageStarts.size());

    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage())
            return false;
        painter.save();
        painter.scale(1 / unitsX, 1 / unitsY);

        painter.setPen(Qt::black);
        if (!l.titleLines.isEmpty()) {
            painter.setFont(l.titleFont);
            drawLines(painter, QRectF(-kPadX, 0, l.pageWidth, l.titleHeight), l.titleLines, Qt::AlignHCenter,
                      QFontMetricsF(l.titleFont));
        }
        painter.setFont(l.headerFont);
        drawLines(painter, QRectF(-kPadX, l.titleHeight, l.pageWidth, l.headerHeight - kGap - l.titleHeight),
                  l.headerLines, Qt::AlignLeft, headerMetrics);

        painter.save();
        painter.translate(0, l.headerHeight);
        painter.scale(l.scale, l.scale);
        painter.setClipRect(QRectF(-kLineWidth, -kLineWidth, l.gridWidth + 2 * kLineWidth,
                                   (l.footerTop - kGap - l.headerHeight) / l.scale + kLineWidth));
        painter.setFont(l.gridFont);

        // Column titles: an upper line spans its columns, a one-line title both rows.
        auto titleCell = [&](const QRectF &rect, const QString &text) {
            painter.fillRect(rect, kTitleFill);
            painter.setPen(linePen);
            painter.drawRect(rect);
            painter.setPen(Qt::black);
            drawLines(painter, rect, wrapText(text, l.gridFont, gridMetrics, rect.width() - 2 * kPadX),
                      Qt::AlignHCenter, gridMetrics);
        };
        for (const GridTitleLayout::Span &span : l.titles.upper) {
            const double left = l.lefts.at(span.first);
            if (span.text.isEmpty()) {
                titleCell(QRectF(left, 0, l.widths.at(span.first), l.upperHeight + l.lowerHeight),
                          l.titles.lower.at(span.first));
                continue;
            }
            titleCell(QRectF(left, 0, l.lefts.at(span.last) + l.widths.at(span.last) - left, l.upperHeight),
                      span.text);
            for (int i = span.first; i <= span.last; ++i)
                titleCell(QRectF(l.lefts.at(i), l.upperHeight, l.widths.at(i), l.lowerHeight), l.titles.lower.at(i));
        }

        double y = l.upperHeight + l.lowerHeight;
        for (int r = l.pageStarts.at(page); r < l.rowEnd(page); ++r) {
            const double height = l.rowHeights.at(r);
            for (int i = 0; i < columns_.size(); ++i) {
                const QModelIndex index = model_.index(r, columns_.at(i));
                const QRectF rect(l.lefts.at(i), y, l.widths.at(i), height);
                const QColor fill = roleColour(model_.data(index, Qt::BackgroundRole));
                if (fill.isValid())
                    painter.fillRect(rect, fill);
                painter.setPen(linePen);
                painter.drawRect(rect);
                const QColor ink = roleColour(model_.data(index, Qt::ForegroundRole));
                painter.setPen(ink.isValid() ? ink : QColor(Qt::black));
                drawLines(painter, rect,
                          wrapText(gridCellText(model_, r, columns_.at(i)), l.gridFont, gridMetrics,
                                   rect.width() - 2 * kPadX),
                          cellAlignment(model_, index), gridMetrics);
            }
            y += height;
        }
        painter.restore();

        // Footer: the page number on the right, the left text shortened to what is left.
        painter.setFont(l.headerFont);
        painter.setPen(Qt::black);
        const QString right = pageFooterText(options_.footerRight, page + 1, pages);
        const double rightWidth = headerMetrics.horizontalAdvance(right);
        const QString left = headerMetrics.elidedText(oneKindOfLineBreak(options_.footerLeft).replace(u'\n', u' '),
                                                      Qt::ElideRight, l.pageWidth - rightWidth - 2 * kGap);
        const double baseline = l.footerTop + headerMetrics.ascent();
        painter.drawText(QPointF(0, baseline), left);
        painter.drawText(QPointF(l.pageWidth - rightWidth, baseline), right);
        painter.restore();
    }
    return painter.end();
}

void GridPrintout::writePdf(const QString &path) const
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setCreator(QStringLiteral("Dendrix"));
        writer.setResolution(1200);
        if (!writer.setPageLayout(options_.pageLayout))
            throw FileWriteError(path, QStringLiteral("размерът на страницата не е подходящ за PDF."));
        if (!paint(writer))
            throw FileWriteError(path, QStringLiteral("страниците не могат да бъдат изрисувани."));
    }
    writeFileSafely(path, pdf.data());
}

} // namespace dx
