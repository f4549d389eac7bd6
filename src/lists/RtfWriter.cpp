// A grid saved as an RTF document by our own small writer: one bordered table of the
// texts the grid shows, its title rows as the grid draws them, on a page turned and
// narrowed to fit.
#include "lists/RtfWriter.h"

#include "core/SafeFileWrite.h"
#include "lists/GridColumnLayout.h"

#include <QAbstractItemModel>

#include <algorithm>
#include <cmath>

namespace dx {

namespace {

// Page sizes (A4) and lengths in twips.
constexpr int kPageShort = 11906;
constexpr int kPageLong = 16838;
constexpr int kMargin = 720;
constexpr int kCellGap = 57;          // text to cell border, each side
constexpr int kCharWidth = 120;       // an average letter of the 9-point font, bold or not
constexpr int kMinColumn = 450;

// ASCII text with the RTF specials escaped, every other character as a Unicode escape.
QByteArray rtfText(const QString &text)
{
    QByteArray out;
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (QChar c : plain) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\n') {
            out += "\\line ";
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u < 0x20) {
            continue;
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(int(qint16(u))) + '?';
        }
    }
    return out;
}

QByteArray alignment(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return "\\qr";
    if (a & Qt::AlignHCenter)
        return "\\qc";
    return "\\ql";
}

const QByteArray kBorders = "\\clvertalc\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                            "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";

QByteArray cellDefinition(const QByteArray &merge, int rightEdge, bool shaded)
{
    return merge + kBorders + (shaded ? "\\clcbpat2" : "") + "\\cellx" + QByteArray::number(rightEdge);
}

// `font` is the font size control word, e.g. "\\fs18" for 9 points.
QByteArray cellText(const QByteArray &font, const QByteArray &align, const QString &text, bool bold)
{
    QByteArray out = "\\pard\\intbl\\plain\\f0" + font + align;
    if (bold)
        out += "\\b";
    return out + ' ' + rtfText(text) + "\\cell ";
}

const QByteArray kRowStart = "\\trowd\\trgaph" + QByteArray::number(kCellGap) + "\\trleft-"
                             + QByteArray::number(kCellGap);

// The title rows: one, or two with the upper lines spanning their columns and one-line
// titles merged over both rows.
QByteArray titleRows(const GridTitleLayout &titles, const QList<int> &edges, const QByteArray &font)
{
    QByteArray out;
    if (!titles.twoLines) {
        out += kRowStart + "\\trhdr";
        for (int i = 0; i < edges.size(); ++i)
            out += cellDefinition({}, edges.at(i), true);
        for (const QString &title : titles.lower)
            out += cellText(font, "\\qc", title, true);
        return out + "\\row\n";
    }
    out += kRowStart + "\\trhdr";
    for (const GridTitleLayout::Span &span : titles.upper)
        out += cellDefinition(span.text.isEmpty() ? "\\clvmgf" : "", edges.at(span.last), true);
    for (const GridTitleLayout::Span &span : titles.upper)
        out += cellText(font, "\\qc", span.text.isEmpty() ? titles.lower.at(span.first) : span.text, true);
    out += "\\row\n" + kRowStart + "\\trhdr";
    for (const GridTitleLayout::Span &span : titles.upper)
        for (int i = span.first; i <= span.last; ++i)
            out += cellDefinition(span.text.isEmpty() ? "\\clvmrg" : "", edges.at(i), true);
    for (const GridTitleLayout::Span &span : titles.upper)
        for (int i = span.first; i <= span.last; ++i)
            out += cellText(font, "\\qc", span.text.isEmpty() ? QString() : titles.lower.at(i), true);
    return out + "\\row\n";
}

} // namespace

void SaveGridRtf(const QAbstractItemModel &model, const GridColumnList &columns, const QString &path,
                 const QString &title)
{
    const QList<int> walk = gridColumnsToWalk(model, columns);
    const GridTitleLayout titles = gridTitleLayout(model, walk);

    // Widths from the texts; a table too wide for a portrait page turns it, and one too
    // wide for that has its longest texts wrapped (or, failing that, all columns narrowed).
    const TextWidths chars = textWidths(model, walk, titles);
    QList<double> natural, least;
    double total = 0;
    for (int i = 0; i < walk.size(); ++i) {
        natural.append(std::max(kMinColumn, (chars.longest.at(i) + 1) * kCharWidth + 2 * kCellGap));
        least.append(std::max(kMinColumn, (chars.longestWord.at(i) + 1) * kCharWidth + 2 * kCellGap));
        total += natural.last();
    }
    const bool landscape = total > kPageShort - 2 * kMargin;
    const int pageWidth = landscape ? kPageLong : kPageShort;
    const int pageHeight = landscape ? kPageShort : kPageLong;
    ColumnFit fit = fitColumnWidths(natural, least, pageWidth - 2 * kMargin);
    int halfPoints = 18;
    if (fit.scale < 1) {
        // Even the longest words do not fit: a smaller font, down to 5 points, then wrapping.
        const double smaller = std::max(10.0 / 18, fit.scale);
        halfPoints = int(std::lround(18 * smaller));
        for (int i = 0; i < walk.size(); ++i) {
            natural[i] *= smaller;
            least[i] *= smaller;
        }
        fit = fitColumnWidths(natural, least, pageWidth - 2 * kMargin);
    }
    const QByteArray font = "\\fs" + QByteArray::number(halfPoints);
    QList<int> edges;
    double edge = 0;
    for (double width : fit.widths) {
        edge += width * fit.scale;
        edges.append(int(edge));
    }

    const QByteArray size = QByteArray::number(pageWidth);
    const QByteArray height = QByteArray::number(pageHeight);
    const QByteArray margin = QByteArray::number(kMargin);
    QByteArray doc = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\n"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\n"
                     "{\\colortbl;\\red0\\green0\\blue0;\\red228\\green228\\blue228;}\n";
    if (!title.isEmpty())
        doc += "{\\info{\\title " + rtfText(title) + "}}\n";
    doc += "\\paperw" + size + "\\paperh" + height + "\\margl" + margin + "\\margr" + margin + "\\margt"
           + margin + "\\margb" + margin + (landscape ? "\\landscape" : "") + "\n\\sectd"
           + (landscape ? "\\lndscpsxn" : "") + "\\pgwsxn" + size + "\\pghsxn" + height + "\n";
    if (walk.isEmpty()) {  // a table row needs a cell: no columns, no table
        writeFileSafely(path, doc + "\\pard\\par\n}\n");
        return;
    }
    doc += titleRows(titles, edges, font);

    QByteArray rowDefinition = kRowStart;
    for (int e : edges)
        rowDefinition += cellDefinition({}, e, false);
    const int rows = model.rowCount();
    for (int r = 0; r < rows; ++r) {
        doc += rowDefinition;
        for (int column : walk)
            doc += cellText(font, alignment(gridCellAlignment(model, r, column)), gridCellText(model, r, column), false);
        doc += "\\row\n";
    }
    doc += "\\pard\\plain\\f0\\fs18\\par\n}\n";
    writeFileSafely(path, doc);
}

QString rtfFileName(const QString &chosen)
{
    return savedFileName(chosen, QStringLiteral(".rtf"));
}

} // namespace dx
