// The database editor's data and its searches.
#include "maintenance/TableEditor.h"

#include "core/QtText.h"
#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfInsert.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string_view>

namespace dx {
namespace {

using Icon = UserMessage::Icon;
const QString kCaption = QStringLiteral("Редакция база дании");

} // namespace

void TableEditor::open(const std::string &path)
{
    path_ = path;
    snap_ = db_.table(path);
    stamp_ = db_.cachedStamp(path);
}

void TableEditor::reload()
{
    if (path_.empty()) return;
    db_.invalidate(path_);
    snap_ = db_.table(path_);
    stamp_ = db_.cachedStamp(path_);
}

const std::vector<FieldDef> &TableEditor::fields() const
{
    static const std::vector<FieldDef> none;
    return snap_ ? snap_->fields() : none;
}

QString TableEditor::text(size_t row, size_t column) const
{
    if (!snap_ || row >= snap_->rowCount() || column >= snap_->fields().size()) return {};
    return qs(snap_->value(row, column).toText());
}

std::optional<Value> valueForField(const FieldDef &f, const QString &text, QString *why)
{
    const QString t = text.trimmed();
    const QString name = qs(f.name);
    auto refuse = [&](const QString &reason) -> std::optional<Value> {
        if (why) *why = reason;
        return std::nullopt;
    };
    switch (f.type) {
    case FieldType::Text: {
        if (f.width > 0 && text.size() > f.width)
            return refuse(QStringLiteral("Стойността е твърде дълга за поле %1: най-много %2 знака.")
                              .arg(name)
                              .arg(f.width));
        bool lossless = true;
        cp::utf8ToCp1251(ss(text), &lossless);
        if (!lossless) return refuse(QStringLiteral("Поле %1 не може да съдържа някои от въведените знаци.").arg(name));
        return Value::fromText(ss(text));
    }
    case FieldType::Integer: {
        if (t.isEmpty()) return Value::null();
        bool ok = false;
        const qlonglong v = t.toLongLong(&ok);
        if (!ok) return refuse(QStringLiteral("Поле %1 приема само цели числа.").arg(name));
        return Value::fromInt(v);
    }
    case FieldType::Real: {
        if (t.isEmpty()) return Value::null();
        bool ok = false;
        QString dotted = t;
        dotted.replace(QLatin1Char(','), QLatin1Char('.'));
        const double v = dotted.toDouble(&ok);
        if (!ok || !std::isfinite(v)) return refuse(QStringLiteral("Поле %1 приема само числа.").arg(name));
        return Value::fromReal(v);
    }
    case FieldType::Logical: {
        if (t.isEmpty()) return Value::null();
        const QString u = t.toUpper();
        if (u == QStringLiteral("TRUE") || u == QStringLiteral("T") || u == QStringLiteral("1")) return Value::fromBool(true);
        if (u == QStringLiteral("FALSE") || u == QStringLiteral("F") || u == QStringLiteral("0"))
            return Value::fromBool(false);
        return refuse(QStringLiteral("Поле %1 приема само True или False.").arg(name));
    }
    default: break;
    }
    return refuse(QStringLiteral("Поле %1 не може да бъде променяно в редактора.").arg(name));
}

std::optional<UserMessage> TableEditor::write(const std::function<bool(TableWriter &)> &change)
{
    bool kept = false;
    try {
        std::unique_ptr<TableWriter> w = db_.writer(path_);
        kept = change(*w);
    } catch (const StaleRecordError &e) {
        reload();
        return UserMessage{kCaption,
                           QStringLiteral("Записът е променен от друга програма, след като е бил прочетен. "
                                          "Данните са прочетени отново; въведете промяната отново."),
                           Icon::Warning, qs(e.what())};
    } catch (const std::exception &e) {
        return UserMessage{kCaption, QStringLiteral("Промяната не е записана в %1.").arg(qs(path_)), Icon::Error,
                           qs(e.what())};
    }
    if (!kept) reload();
    return std::nullopt;
}

std::optional<UserMessage> TableEditor::setText(size_t row, size_t column, const QString &text)
{
    if (!snap_ || row >= snap_->rowCount() || column >= snap_->fields().size()) return std::nullopt;
    QString why;
    const std::optional<Value> v = valueForField(snap_->fields()[column], text, &why);
    if (!v) return UserMessage{kCaption, why, Icon::Error};
    Row values = snap_->row(row);
    values[column] = *v;
    const RecordRef seen = snap_->record(row);
    return write([&](TableWriter &w) {
        // Nobody changed the file since it was read (checked under the writer's lock,
        // before the change): the snapshot with this one record edited is then the file,
        // and the table need not be read again.
        const std::string file = db_.resolve(path_);
        const bool current = io::stamp(file) == stamp_;
        w.update(seen, values);
        const std::optional<RecordRef> now = w.written();
        if (!current || !now) return false;
        TableFilePtr edited = snap_->withRecord(row, *now);
        if (!edited) return false;
        stamp_ = io::stamp(file);
        db_.keep(path_, edited, stamp_);
        const bool texts = textsOf_.lock() == snap_;
        snap_ = std::move(edited);
        if (texts) refreshColumnTexts(row);
        return true;
    });
}

std::optional<UserMessage> TableEditor::appendRow(size_t *newRow)
{
    if (!snap_) return std::nullopt;
    size_t made = 0;
    auto r = write([&](TableWriter &w) {
        made = w.append(Row(snap_->fields().size()));
        return false;
    });
    if (!r && newRow) *newRow = made;
    return r;
}

std::optional<UserMessage> TableEditor::insertRow(size_t before, size_t *newRow)
{
    if (!snap_) return std::nullopt;
    if (before >= snap_->rowCount()) return appendRow(newRow);
    const RecordRef seen = snap_->record(before);
    size_t made = 0;
    auto r = write([&](TableWriter &w) {
        made = dbf::insertBefore(w, seen, Row(snap_->fields().size()));
        return false;
    });
    if (!r && newRow) *newRow = made;
    return r;
}

std::optional<UserMessage> TableEditor::removeRow(size_t row)
{
    if (!snap_ || row >= snap_->rowCount()) return std::nullopt;
    const RecordRef seen = snap_->record(row);
    return write([&](TableWriter &w) {
        w.remove(seen);
        return false;
    });
}

std::optional<size_t> TableEditor::jump(size_t current, const QString &t, JumpError *error) const
{
    auto fail = [&](JumpError e) -> std::optional<size_t> {
        if (error) *error = e;
        return std::nullopt;
    };
    if (error) *error = JumpError::None;
    const int colon = int(t.indexOf(QLatin1Char(':')));
    const QString otdPart = colon < 0 ? t : t.left(colon);
    bool ok = false;
    const int otd = otdPart.trimmed().toInt(&ok);
    if (!ok) return fail(JumpError::NotANumber);
    if (!snap_) return fail(JumpError::NotFound);
    const int fo = snap_->fieldIndex("OTD"), fp = snap_->fieldIndex("PODOTD");
    if (fo < 0 || fp < 0) return fail(JumpError::NotFound);
    const size_t n = snap_->rowCount();
    if (n == 0) return fail(JumpError::NotFound);
    // From the record after the current one round to the one before it; with nothing
    // current (an empty grid) every record.
    const size_t start = current < n ? current : n - 1;
    for (size_t step = 1; step <= n; ++step) {
        const size_t r = (start + step) % n;
        if (r == current) break;
        const int64_t recOtd = snap_->value(r, size_t(fo)).toInt();
        if (colon < 0) {
            if (recOtd == otd) return r;
        } else {
            const QString key = QStringLiteral("%1:%2").arg(recOtd).arg(qs(snap_->value(r, size_t(fp)).toText()));
            if (key.compare(t, Qt::CaseInsensitive) == 0) return r;
        }
    }
    return fail(JumpError::NotFound);
}

namespace {

// Appends the upper case of a cell's UTF-8 text as QString::toUpper gives it. Latin and
// Cyrillic letters, all that the tables' code page mostly holds, are folded byte by
// byte; a text with any other letter goes through QString.
void appendUpper(std::string_view s, std::string &out)
{
    const size_t base = out.size(), n = s.size();
    out.resize(base + n); // folding never lengthens a text on the fast path
    char *o = out.data() + base;
    for (size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            o[i] = b >= 'a' && b <= 'z' ? char(b - 32) : char(b);
            continue;
        }
        const auto next = i + 1 < n ? static_cast<unsigned char>(s[i + 1]) : 0;
        if (b == 0xD0 && next >= 0x80 && next <= 0xBF) { // U+0400..U+043F
            o[i] = char(0xD0);
            o[i + 1] = char(next >= 0xB0 ? next - 0x20 : next); // а..п -> А..П
            ++i;
        } else if (b == 0xD1 && next >= 0x80 && next <= 0x9F) { // U+0440..U+045F
            o[i] = char(0xD0);
            o[i + 1] = char(next <= 0x8F ? next + 0x20 : next - 0x10); // р..я, ѐ..џ
            ++i;
        } else {
            out.resize(base);
            out += QString::fromUtf8(s.data(), qsizetype(n)).toUpper().toStdString();
            return;
        }
    }
}

// Between two cells of a column's text: never part of UTF-8, so no needle spans cells.
constexpr char kCellEnd = '\xFF';

// Whether a cell of a field of this type can show `folded` at all: numbers, logicals
// and the unsupported kinds have texts of a few characters only, so a needle with any
// other character skips the whole column without reading it.
bool columnCanShow(FieldType type, const std::string &folded)
{
    const char *chars = nullptr;
    switch (type) {
    case FieldType::Integer:
    case FieldType::Real: chars = "0123456789-+.EINFA"; break; // 12.5, -3, 1E+20, INF, NAN
    case FieldType::Logical: chars = "TRUEFALS"; break;
    case FieldType::Memo:
    case FieldType::Binary: chars = ""; break; // always empty
    default: return true;
    }
    return folded.find_first_not_of(chars) == std::string::npos;
}

} // namespace

TableEditor::Needle TableEditor::needle(const QString &text) const
{
    Needle n;
    appendUpper(text.toStdString(), n.folded);
    n.columns.reserve(columnCount());
    for (const FieldDef &f : fields()) n.columns.push_back(columnCanShow(f.type, n.folded));
    return n;
}

const TableEditor::ColumnText &TableEditor::columnText(size_t column) const
{
    if (textsOf_.lock() != snap_) {
        columnTexts_.assign(columnCount(), ColumnText{});
        textsOf_ = snap_;
    }
    ColumnText &t = columnTexts_[column];
    if (t.made) return t;
    const DecodedColumn &d = snap_->column(column);
    const size_t rows = snap_->rowCount();
    t.start.resize(rows + 1);
    t.pool.reserve(d.text.size() + rows);
    for (size_t r = 0; r < rows; ++r) {
        t.start[r] = uint32_t(t.pool.size());
        if (r < d.kind.size() && d.kind[r] == Value::Text) appendUpper(d.textAt(r), t.pool);
        else appendUpper(d.at(r).toText(), t.pool);
        t.pool += kCellEnd;
    }
    t.start[rows] = uint32_t(t.pool.size());
    t.made = true;
    return t;
}

void TableEditor::refreshColumnTexts(size_t row)
{
    for (size_t c = 0; c < columnTexts_.size(); ++c) {
        ColumnText &t = columnTexts_[c];
        if (!t.made || row + 1 >= t.start.size()) continue;
        std::string now;
        appendUpper(snap_->value(row, c).toText(), now);
        const size_t begin = t.start[row], oldLength = t.start[row + 1] - 1 - begin;
        t.pool.replace(begin, oldLength, now);
        const int64_t shift = int64_t(now.size()) - int64_t(oldLength);
        if (shift)
            for (size_t r = row + 1; r < t.start.size(); ++r) t.start[r] = uint32_t(int64_t(t.start[r]) + shift);
    }
    textsOf_ = snap_;
}

std::optional<size_t> TableEditor::firstMatch(size_t column, size_t begin, size_t end, const Needle &n) const
{
    if (!n.columns[column] || begin >= end) return std::nullopt;
    if (n.folded.empty()) return begin; // every cell holds the empty text
    const ColumnText &t = columnText(column);
    const char *first = t.pool.data() + t.start[begin], *last = t.pool.data() + t.start[end];
    size_t at = 0;
    if (n.folded.size() > 1) {
        // Skips ahead by up to the needle's length: a scan for its first byte would stop
        // at every other byte of a Cyrillic text (they all lead with one of two bytes).
        const std::boyer_moore_horspool_searcher searcher(n.folded.cbegin(), n.folded.cend());
        const char *found = std::search(first, last, searcher);
        if (found == last) return std::nullopt;
        at = size_t(found - first);
    } else {
        const void *found = std::memchr(first, n.folded[0], size_t(last - first));
        if (!found) return std::nullopt;
        at = size_t(static_cast<const char *>(found) - first);
    }
    // The row whose text holds that byte.
    const auto it = std::upper_bound(t.start.begin() + long(begin), t.start.begin() + long(end) + 1,
                                     uint32_t(t.start[begin] + at));
    return size_t(it - t.start.begin()) - 1;
}

std::optional<TableEditor::Cell> TableEditor::searchAll(Cell from, const QString &needle) const
{
    const Needle u = this->needle(needle);
    const size_t cols = columnCount(), rows = rowCount();
    size_t c0 = from.column + 1, r0 = from.row;
    if (c0 >= cols) c0 = 0, ++r0;
    if (r0 >= rows) return std::nullopt;
    // Each column's first match from where the walk starts it, no further than the best
    // found so far in record order (row, then column).
    std::optional<Cell> best;
    for (size_t c = 0; c < cols; ++c) {
        const size_t begin = c >= c0 ? r0 : r0 + 1;
        const size_t end = best ? (c < best->column ? best->row + 1 : best->row) : rows;
        if (const auto r = firstMatch(c, begin, end, u)) best = Cell{c, *r};
    }
    return best;
}

std::optional<TableEditor::Cell> TableEditor::searchRow(Cell from, const QString &needle) const
{
    if (from.row >= rowCount()) return std::nullopt;
    const Needle u = this->needle(needle);
    size_t c = from.column + 1 >= columnCount() ? 0 : from.column + 1;
    for (; c < columnCount(); ++c)
        if (firstMatch(c, from.row, from.row + 1, u)) return Cell{c, from.row};
    return std::nullopt;
}

std::optional<TableEditor::Cell> TableEditor::searchColumn(Cell from, const QString &needle, bool wrapped) const
{
    const Needle u = this->needle(needle);
    if (from.column >= columnCount()) return std::nullopt;
    const size_t begin = wrapped ? 0 : from.row + 1;
    const size_t end = wrapped ? std::min(from.row, rowCount()) : rowCount();
    if (const auto r = firstMatch(from.column, begin, end, u)) return Cell{from.column, *r};
    return std::nullopt;
}

} // namespace dx
