// A grid saved as a spreadsheet through libxlsxwriter. It takes the texts the grid
// shows, so that what the user opens looks like what was on the screen; a cell that
// shows a plain number is stored as that number.
#include "lists/SpreadsheetWriter.h"

#include "core/SafeFileWrite.h"
#include "lists/GridColumnLayout.h"
#include "lists/NumberTexts.h"

#include <QAbstractItemModel>
#include <QFile>
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
    throw FileWriteError(path, reason);
}

// The locale the model writes its numbers in.
QLocale numberLocale(const QAbstractItemModel &model)
{
    if (auto grid = qobject_cast<const DataGridModel *>(&model))
        return grid->locale();
    return QLocale::system();
}

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
            fail(path_, QStringLiteral("работната книга не може да бъде създадена."));
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
        fail(path, QStringLiteral("една таблица побира най-много %1 колони.").arg(LXW_COL_MAX));
    if (qint64(rows) + titleRows > LXW_ROW_MAX)
        fail(path, QStringLiteral("една таблица побира най-много %1 реда.").arg(LXW_ROW_MAX));

    // The workbook is assembled in a scratch folder and copied into place when complete.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        fail(path, QStringLiteral("няма временна папка: ") + scratch.errorString());
    const QString scratchFile = scratch.filePath(QStringLiteral("grid.xlsx"));
    {
        Workbook book(path, scratchFile);
        const QByteArray name = utf8(sheetName(sheetTitle));
        lxw_worksheet *sheet = workbook_add_worksheet(book.get(), name.isEmpty() ? nullptr : name.constData());
        if (!sheet)
            sheet = workbook_add_worksheet(book.get(), nullptr);
        if (!sheet)
            fail(path, QStringLiteral("листът не може да бъде добавен."));
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
    writeFileSafely(path, built.readAll());
}

QString xlsxFileName(const QString &chosen)
{
    return savedFileName(chosen, QStringLiteral(".xlsx"));
}

} // namespace dx
