// Saving a grid for another program: the spreadsheet through libxlsxwriter, the rich-text
// document by our own small writer. Both take the texts the grid shows, so that what the
// user opens looks like what was on the screen.
#include "GridExport.h"

#include "engine/EngineError.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <map>

namespace dx {

namespace {

// Longest text a spreadsheet cell holds.
constexpr int kMaxCellText = 32767;

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw EngineError(path.toStdString(), reason.toStdString());
}

// Writes `bytes` beside `path` and renames the result into place: an older file stays as
// it was until the new one is complete.
void replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(path, reason);
    }
    if (!file.commit())
        fail(path, file.errorString());
}

QString withExtension(const QString &chosen, const QString &extension)
{
    return chosen.endsWith(extension, Qt::CaseSensitive) ? chosen : chosen + extension;
}

// The upper line of a title ("" for a one-line title) and its own line.
std::pair<QString, QString> splitTitle(const QString &title)
{
    const qsizetype bar = title.indexOf(u'|');
    if (bar < 0)
        return {QString(), title};
    return {title.left(bar), title.mid(bar + 1)};
}

// The locale the model writes its numbers in.
QLocale numberLocale(const QAbstractItemModel &model)
{
    if (auto grid = qobject_cast<const DataGridModel *>(&model))
        return grid->locale();
    return QLocale::system();
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

// Each walked column's width in characters: its longest cell text or title line, and its
// longest word. An upper line wider than its columns together widens them evenly.
struct TextWidths {
    QList<int> longest, longestWord;
};

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

} // namespace

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

std::optional<PlainNumber> plainNumber(const QString &text, const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    // The C form's point, unless the locale groups thousands with it.
    const bool cPoint = locale.groupSeparator() != QStringLiteral(".");

    qsizetype at = 0;
    bool negative = false;
    if (text.startsWith(u'-')) {
        negative = true;
        at = 1;
    } else if (!minus.isEmpty() && text.startsWith(minus)) {
        negative = true;
        at = minus.size();
    }
    QString digits;   // the number in the C form
    int whole = 0, fraction = 0;
    bool seenPoint = false;
    while (at < text.size()) {
        const QChar c = text.at(at);
        if (c >= u'0' && c <= u'9') {
            digits += c;
            ++(seenPoint ? fraction : whole);
            ++at;
        } else if (!seenPoint && ((cPoint && c == u'.') || QStringView(text).mid(at).startsWith(point))) {
            seenPoint = true;
            digits += u'.';
            at += c == u'.' ? 1 : point.size();
        } else {
            return std::nullopt;
        }
    }
    if (whole + fraction == 0 || whole + fraction > 15 || (seenPoint && fraction == 0))
        return std::nullopt;
    if (whole > 1 && digits.startsWith(u'0'))  // a code such as "007"
        return std::nullopt;
    PlainNumber number;
    number.value = digits.toDouble();
    if (negative && number.value == 0)  // "-0" would come back as "0"
        return std::nullopt;
    if (negative)
        number.value = -number.value;
    number.decimals = fraction;
    number.integerPart = whole > 0;
    return number;
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

QString xlsxFileName(const QString &chosen)
{
    return withExtension(chosen, QStringLiteral(".xlsx"));
}

QString rtfFileName(const QString &chosen)
{
    return withExtension(chosen, QStringLiteral(".rtf"));
}

// --- the spreadsheet ----------------------------------------------------------------

namespace {

QByteArray utf8(const QString &text)
{
    return text.left(kMaxCellText).toUtf8();
}

// What a sheet name may hold: no []:*?/\, no quote at either end, at most 31 characters.
QString sheetName(const QString &title)
{
    QString name;
    for (QChar c : title)
        if (!QStringLiteral("[]:*?/\\").contains(c) && c >= u' ')
            name += c;
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    name = name.left(31);
    while (name.endsWith(u'\''))
        name.chop(1);
    return name.trimmed();
}

// The workbook being built; closed (and its memory freed) also when building fails.
class Workbook {
public:
    Workbook(const QString &path, const QString &scratch)
        : path_(path), book_(workbook_new(QFile::encodeName(scratch).constData()))
    {
        if (!book_)
            fail(path_, QStringLiteral("cannot start the workbook"));
    }
    ~Workbook()
    {
        if (book_)
            workbook_close(book_);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_workbook *get() const { return book_; }
    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            fail(path_, QString::fromUtf8(lxw_strerror(error)));
    }
    void close()
    {
        lxw_workbook *book = std::exchange(book_, nullptr);
        check(workbook_close(book));
    }

    // The format of a cell aligned `alignment` showing `numberFormat` (empty: a text).
    lxw_format *cellFormat(Qt::Alignment alignment, const QString &numberFormat)
    {
        const auto key = std::make_pair(int(alignment), numberFormat);
        auto found = formats_.find(key);
        if (found != formats_.end())
            return found->second;
        lxw_format *format = nullptr;
        if (alignment || !numberFormat.isEmpty()) {
            format = workbook_add_format(book_);
            if (alignment & Qt::AlignRight)
                format_set_align(format, LXW_ALIGN_RIGHT);
            else if (alignment & Qt::AlignHCenter)
                format_set_align(format, LXW_ALIGN_CENTER);
            else if (alignment & Qt::AlignLeft)
                format_set_align(format, LXW_ALIGN_LEFT);
            if (!numberFormat.isEmpty())
                format_set_num_format(format, numberFormat.toUtf8().constData());
        }
        formats_.emplace(key, format);
        return format;
    }

private:
    QString path_;
    lxw_workbook *book_;
    std::map<std::pair<int, QString>, lxw_format *> formats_;
};

QString numberFormat(const PlainNumber &number)
{
    QString format = number.integerPart ? QStringLiteral("0") : QStringLiteral("#");
    if (number.decimals > 0)
        format += u'.' + QString(number.decimals, u'0');
    return format;
}

void writeTitles(Workbook &book, lxw_worksheet *sheet, const GridTitleLayout &titles)
{
    lxw_format *bold = workbook_add_format(book.get());
    format_set_bold(bold);
    format_set_align(bold, LXW_ALIGN_CENTER);
    format_set_align(bold, LXW_ALIGN_VERTICAL_CENTER);
    format_set_border(bold, LXW_BORDER_THIN);
    format_set_bg_color(bold, 0xE4E4E4);
    if (!titles.twoLines) {
        for (int i = 0; i < titles.lower.size(); ++i)
            book.check(worksheet_write_string(sheet, 0, lxw_col_t(i), utf8(titles.lower.at(i)).constData(), bold));
        return;
    }
    for (const GridTitleLayout::Span &span : titles.upper) {
        if (span.text.isEmpty()) {  // a one-line title takes both rows
            book.check(worksheet_merge_range(sheet, 0, lxw_col_t(span.first), 1, lxw_col_t(span.first),
                                             utf8(titles.lower.at(span.first)).constData(), bold));
            continue;
        }
        if (span.first == span.last)
            book.check(worksheet_write_string(sheet, 0, lxw_col_t(span.first), utf8(span.text).constData(), bold));
        else
            book.check(worksheet_merge_range(sheet, 0, lxw_col_t(span.first), 0, lxw_col_t(span.last),
                                             utf8(span.text).constData(), bold));
        for (int i = span.first; i <= span.last; ++i)
            book.check(worksheet_write_string(sheet, 1, lxw_col_t(i), utf8(titles.lower.at(i)).constData(), bold));
    }
}

} // namespace

void SaveGridXlsx(const QAbstractItemModel &model, const GridColumnList &columns, const QString &path,
                  const QString &sheetTitle)
{
    const QList<int> walk = gridColumnsToWalk(model, columns);
    const GridTitleLayout titles = gridTitleLayout(model, walk);
    const int titleRows = titles.twoLines ? 2 : 1;
    const int rows = model.rowCount();
    if (walk.size() > LXW_COL_MAX)
        fail(path, QStringLiteral("a spreadsheet holds at most %1 columns").arg(LXW_COL_MAX));
    if (qint64(rows) + titleRows > LXW_ROW_MAX)
        fail(path, QStringLiteral("a spreadsheet holds at most %1 rows").arg(LXW_ROW_MAX));

    // The workbook is assembled in a scratch folder and copied into place when complete.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        fail(path, QStringLiteral("no temporary folder: ") + scratch.errorString());
    const QString scratchFile = scratch.filePath(QStringLiteral("grid.xlsx"));
    {
        Workbook book(path, scratchFile);
        const QByteArray name = utf8(sheetName(sheetTitle));
        lxw_worksheet *sheet = workbook_add_worksheet(book.get(), name.isEmpty() ? nullptr : name.constData());
        if (!sheet)
            sheet = workbook_add_worksheet(book.get(), nullptr);
        if (!sheet)
            fail(path, QStringLiteral("cannot add a worksheet"));
        const QByteArray docTitle = utf8(sheetTitle);
        lxw_doc_properties properties = {};
        properties.title = const_cast<char *>(docTitle.constData());
        if (!sheetTitle.isEmpty())
            book.check(workbook_set_properties(book.get(), &properties));

        writeTitles(book, sheet, titles);
        const QLocale locale = numberLocale(model);
        for (int r = 0; r < rows; ++r) {
            const lxw_row_t at = lxw_row_t(r + titleRows);
            for (int i = 0; i < walk.size(); ++i) {
                const QString text = gridCellText(model, r, walk.at(i));
                if (text.isEmpty())
                    continue;
                const Qt::Alignment alignment = gridCellAlignment(model, r, walk.at(i));
                if (const auto number = plainNumber(text, locale)) {
                    book.check(worksheet_write_number(sheet, at, lxw_col_t(i), number->value,
                                                      book.cellFormat(alignment, numberFormat(*number))));
                } else {
                    book.check(worksheet_write_string(sheet, at, lxw_col_t(i), utf8(text).constData(),
                                                      book.cellFormat(alignment, QString())));
                }
            }
        }

        const QList<int> widths = textWidths(model, walk, titles).longest;
        double total = 0;
        for (int i = 0; i < widths.size(); ++i) {
            // Cyrillic letters are a little wider than the digit a column width counts.
            const double width = std::clamp(widths.at(i) * 1.1 + 2.0, 4.0, 80.0);
            total += width;
            book.check(worksheet_set_column(sheet, lxw_col_t(i), lxw_col_t(i), width, nullptr));
        }
        worksheet_freeze_panes(sheet, lxw_row_t(titleRows), 0);
        book.check(worksheet_repeat_rows(sheet, 0, lxw_row_t(titleRows - 1)));
        worksheet_set_paper(sheet, 9);  // A4
        if (total > 95)
            worksheet_set_landscape(sheet);
        worksheet_fit_to_pages(sheet, 1, 0);
        book.close();
    }
    QFile built(scratchFile);
    if (!built.open(QIODevice::ReadOnly))
        fail(path, built.errorString());
    replaceFile(path, built.readAll());
}

// --- the rich-text document ---------------------------------------------------------

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
        replaceFile(path, doc + "\\pard\\par\n}\n");
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
    replaceFile(path, doc);
}

} // namespace dx
