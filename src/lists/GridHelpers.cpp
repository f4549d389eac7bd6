// Grid texts for the clipboard and for plain text files, built from the display texts a
// model gives, so that the copied numbers look exactly as they do on the screen.
#include "GridHelpers.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/Value.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace dx {

namespace {

const QString kTab = QStringLiteral("\t");
const QString kCr = QStringLiteral("\r");

QList<int> columnsToWalk(const QAbstractItemModel &model, const GridColumnList &columns)
{
    if (columns)
        return *columns;
    QList<int> all;
    const int count = model.columnCount();
    all.reserve(count);
    for (int c = 0; c < count; ++c)
        all.append(c);
    return all;
}

QString titleLine(const QAbstractItemModel &model, const QString &separator, const QList<int> &columns)
{
    QStringList titles;
    titles.reserve(columns.size());
    for (int c : columns)
        titles.append(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    return titles.join(separator);
}

QString rowText(const QAbstractItemModel &model, int row, const QString &separator, const QList<int> &columns)
{
    QStringList cells;
    cells.reserve(columns.size());
    for (int c : columns)
        cells.append(gridCellText(model, row, c));
    return cells.join(separator);
}

[[noreturn]] void throwFileError(const QString &path, const QFileDevice &file)
{
    throw EngineError(path.toStdString(), file.errorString().toStdString());
}

void writeLine(QSaveFile &file, const QString &path, const QString &line)
{
    const std::string bytes = cp::utf8ToCp1251((line + QStringLiteral("\r\n")).toStdString());
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.flush())
        throwFileError(path, file);
}

} // namespace

QString PadRight(const QString &text, int width, const QString &fill)
{
    if (width <= text.length())
        return text;
    return text + fill.repeated(width - text.length());
}

double RoundToTenth(double x)
{
    const double whole = std::trunc(x);
    const double tenths = (x - whole) * 10.0;
    double rounded = std::floor(tenths);
    const double rest = tenths - rounded;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return whole + rounded / 10.0;
}

QString gridCellText(const QAbstractItemModel &model, int row, int column)
{
    const QVariant value = model.data(model.index(row, column), Qt::DisplayRole);
    if (!value.isValid() || value.isNull())
        return QString();
    return value.toString();
}

QString gridTitleLine(const QAbstractItemModel &model, const QString &separator, const GridColumnList &columns)
{
    return titleLine(model, separator, columnsToWalk(model, columns));
}

QString gridRowText(const QAbstractItemModel &model, int row, const QString &separator,
                    const GridColumnList &columns)
{
    return rowText(model, row, separator, columnsToWalk(model, columns));
}

QString gridClipboardBody(const QAbstractItemModel &model, bool titles, const GridColumnList &columns)
{
    const QList<int> walk = columnsToWalk(model, columns);
    QString text;
    if (titles)
        text += titleLine(model, kTab, walk) + kCr;
    const int rows = model.rowCount();
    for (int r = 0; r < rows; ++r)
        text += rowText(model, r, kTab, walk) + kCr;
    return text;
}

QString CopyGridText(const QAbstractItemModel &model, bool titles, const QString &heading,
                     const GridColumnList &columns)
{
    QString text = heading;
    if (!heading.isEmpty())
        text += kCr;
    return text + gridClipboardBody(model, titles, columns);
}

QString CopyPlainGridText(const QAbstractItemModel &model, const QString &prefix, const QString &suffix,
                          bool titles, const GridColumnList &columns)
{
    return prefix + gridClipboardBody(model, titles, columns) + suffix;
}

QString CopyTwoGridsText(const QAbstractItemModel &first, const QAbstractItemModel &second, bool titles,
                         const QString &heading2, const QString &heading1,
                         const GridColumnList &firstColumns, const GridColumnList &secondColumns)
{
    return heading1 + gridClipboardBody(first, titles, firstColumns) + kCr + heading2
           + gridClipboardBody(second, titles, secondColumns);
}

void SaveGridText(const QAbstractItemModel &model, bool titles, const QString &separator,
                  const QString &path, const GridColumnList &columns)
{
    // Lines go to a file beside the target, which replaces it only when all are written:
    // a failure half-way leaves an older file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throwFileError(path, file);
    const QList<int> walk = columnsToWalk(model, columns);
    if (titles)
        writeLine(file, path, titleLine(model, separator, walk));
    const int rows = model.rowCount();
    for (int r = 0; r < rows; ++r)
        writeLine(file, path, rowText(model, r, separator, walk));
    if (!file.commit())
        throwFileError(path, file);
}

// --- number patterns --------------------------------------------------------------

namespace {

bool isPatternDigit(QChar c)
{
    return c == u'0' || c == u'#' || c == u'.' || c == u',';
}

// A pattern cut into the literal text before the digits, the digit part and the text after.
struct NumberPattern {
    QString before, digits, after;
};

NumberPattern splitPattern(const QString &pattern)
{
    NumberPattern parts;
    enum { Before, Digits, After } state = Before;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {               // inside quotes everything is literal
            if (c == quote)
                quote = QChar();
            else
                (state == Before ? parts.before : parts.after) += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            if (state == Digits)
                state = After;
            quote = c;
            continue;
        }
        if (isPatternDigit(c) && state != After) {
            state = Digits;
            parts.digits += c;
            continue;
        }
        if (state == Digits)
            state = After;
        (state == Before ? parts.before : parts.after) += c;
    }
    return parts;
}

QString groupThousands(const QString &digits, const QString &separator)
{
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits.at(i);
    }
    return out;
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
    case QMetaType::ULongLong: case QMetaType::Double: case QMetaType::Float:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isInteger(const QVariant &value)
{
    return isNumber(value) && value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float;
}

// Plain digits written with the locale's decimal point and minus sign.
QString localised(QString text, const QLocale &locale)
{
    text.replace(u'.', locale.decimalPoint());
    if (text.startsWith(u'-'))
        text.replace(0, 1, locale.negativeSign());
    return text;
}

} // namespace

QString formatNumber(double value, const QString &pattern, const QLocale &locale)
{
    if (!std::isfinite(value))
        return localised(QString::fromStdString(formatReal(value)), locale);
    const NumberPattern parts = splitPattern(pattern);
    if (parts.digits.isEmpty())
        return parts.before + parts.after;

    const int point = parts.digits.indexOf(u'.');
    const QString intPattern = point < 0 ? parts.digits : parts.digits.left(point);
    QString fracPattern = point < 0 ? QString() : parts.digits.mid(point + 1);
    fracPattern.remove(u'.').remove(u',');
    const int minIntDigits = int(intPattern.count(u'0'));
    const int maxFracDigits = int(fracPattern.size());
    const int minFracDigits = int(fracPattern.lastIndexOf(u'0')) + 1;

    const QString fixed = QString::number(std::fabs(value), 'f', maxFracDigits);
    const qsizetype dot = fixed.indexOf(u'.');
    QString intDigits = dot < 0 ? fixed : fixed.left(dot);
    QString fracDigits = dot < 0 ? QString() : fixed.mid(dot + 1);
    while (fracDigits.size() > minFracDigits && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    if (intDigits == u"0" && minIntDigits == 0)
        intDigits.clear();
    if (intDigits.size() < minIntDigits)
        intDigits.prepend(QString(minIntDigits - intDigits.size(), u'0'));
    if (intPattern.contains(u','))
        intDigits = groupThousands(intDigits, locale.groupSeparator());

    const bool nonZero = std::any_of(fixed.begin(), fixed.end(), [](QChar c) { return c > u'0' && c <= u'9'; });
    QString text = parts.before;
    if (value < 0 && nonZero)
        text += locale.negativeSign();
    text += intDigits;
    if (!fracDigits.isEmpty())
        text += locale.decimalPoint() + fracDigits;
    return text + parts.after;
}

// --- the grid model -------------------------------------------------------------------

DataGridModel::DataGridModel(QObject *parent) : QAbstractTableModel(parent) {}

DataGridModel::DataGridModel(QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), columns_(std::move(columns))
{
}

void DataGridModel::setColumns(QList<GridColumn> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

void DataGridModel::setRows(QList<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void DataGridModel::appendRow(Row row)
{
    const int at = int(rows_.size());
    beginInsertRows(QModelIndex(), at, at);
    rows_.append(std::move(row));
    endInsertRows();
}

void DataGridModel::clearRows()
{
    setRows({});
}

QVariant DataGridModel::value(int row, int column) const
{
    if (row < 0 || row >= rows_.size() || column < 0)
        return QVariant();
    const Row &cells = rows_.at(row);
    return column < cells.size() ? cells.at(column) : QVariant();
}

void DataGridModel::setLocale(const QLocale &locale)
{
    locale_ = locale;
    if (!rows_.isEmpty() && !columns_.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

QString DataGridModel::displayText(int row, int column) const
{
    const QVariant v = value(row, column);
    if (!v.isValid() || v.isNull())
        return QString();
    const QString format = column < columns_.size() ? columns_.at(column).format : QString();
    if (isNumber(v)) {
        if (!format.isEmpty())
            return formatNumber(v.toDouble(), format, locale_);
        if (isInteger(v))
            return localised(v.toString(), locale_);
        return localised(QString::fromStdString(formatReal(v.toDouble())), locale_);
    }
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

int DataGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int DataGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole:
        return value(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return columns_.at(index.column()).alignment.toInt();
    default:
        return QVariant();
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < columns_.size()) {
        if (role == Qt::DisplayRole)
            return columns_.at(section).title;
        if (role == Qt::TextAlignmentRole)
            return columns_.at(section).alignment.toInt();
        return QVariant();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace dx
