// Table and query objects over the session's cached table snapshots.
#include "engine/sql/Table.h"

#include "engine/common/EngineError.h"

#include <algorithm>

namespace dx {

Table::Table(Database &db) : db_(db) {}
Table::~Table() = default;

void Table::requireActive() const
{
    if (state_ == State::Inactive) throw EngineError(path_, "the table is not open");
}

// A table read only in part is never written: a change would be made to a file whose
// structure we do not trust, and could finish off what is left of it.
void Table::refuseDamaged() const
{
    if (!snapshot_->damage().empty())
        throw EngineError(path_, "the table is damaged (" + snapshot_->damage().front() + "); it was not changed");
}

void Table::load()
{
    snapshot_ = db_.table(path_);
    snapshotStamp_ = db_.cachedStamp(path_);
    columns_.assign(snapshot_->fields().size(), nullptr);
    reads_.assign(snapshot_->fields().size(), 0);
    columnsDecoded_ = 0;
    if (!filterText_.empty()) filter_ = Filter::compile(filterText_, *snapshot_);
    else filter_ = Filter();
    rebuildVisible();
}

void Table::rebuildVisible()
{
    visible_.clear();
    if (filtered_) {
        visible_ = filter_.matchingRows(*snapshot_);
        return;
    }
    const size_t n = snapshot_->rowCount();
    visible_.resize(n);
    for (size_t r = 0; r < n; ++r) visible_[r] = r;
}

void Table::open()
{
    if (active()) return;
    try {
        load();
    } catch (...) {
        snapshot_.reset();
        state_ = State::Inactive;
        throw;
    }
    state_ = State::Browse;
    first();
}

void Table::close()
{
    snapshot_.reset();
    visible_.clear();
    columns_.clear();
    reads_.clear();
    state_ = State::Inactive;
    eof_ = bof_ = true;
    buffer_.clear();
}

void Table::setFilter(const std::string &expression)
{
    if (active()) {
        Filter f = Filter::compile(expression, *snapshot_);
        filter_ = std::move(f);
    }
    filterText_ = expression;
    if (active() && filtered_) {
        rebuildVisible();
        first();
    }
}

void Table::setFiltered(bool on)
{
    filtered_ = on;
    if (active()) {
        rebuildVisible();
        first();
    }
}

void Table::first()
{
    pos_ = 0;
    eof_ = visible_.empty();
    bof_ = true;
}

void Table::next()
{
    if (pos_ + 1 < visible_.size()) {
        ++pos_;
        bof_ = false;
    } else {
        eof_ = true;
    }
}

void Table::prior()
{
    if (pos_ > 0) {
        --pos_;
        eof_ = false;
    } else {
        bof_ = true;
    }
}

void Table::last()
{
    pos_ = visible_.empty() ? 0 : visible_.size() - 1;
    eof_ = true;
    bof_ = visible_.empty();
    if (!visible_.empty()) eof_ = false;
}

size_t Table::currentRow() const
{
    requireActive();
    if (visible_.empty()) throw EngineError(path_, "there is no current record");
    return visible_[pos_];
}

Table::Bookmark Table::bookmark() const
{
    return currentRow();
}

bool Table::gotoBookmark(Bookmark b)
{
    // The visible rows are in ascending order (rebuildVisible keeps them so).
    auto it = std::lower_bound(visible_.begin(), visible_.end(), b);
    if (it == visible_.end() || *it != b) return false;
    pos_ = size_t(it - visible_.begin());
    eof_ = bof_ = false;
    return true;
}

const std::vector<FieldDef> &Table::fields() const
{
    requireActive();
    return snapshot_->fields();
}

int Table::fieldIndex(const std::string &name) const
{
    requireActive();
    return snapshot_->fieldIndex(name);
}

Value Table::value(size_t index) const
{
    requireActive();
    if (index >= snapshot_->fields().size()) throw EngineError(path_, "field number out of range");
    if (state_ == State::Edit || state_ == State::Insert) return buffer_[index];
    const size_t row = currentRow();
    if (const DecodedColumn *c = columnToRead(index)) return c->at(row);
    return snapshot_->value(row, index);
}

const DecodedColumn *Table::columnToRead(size_t field) const
{
    if (field >= columns_.size()) return nullptr;
    if (columns_[field]) return columns_[field];
    if (++reads_[field] > kReadsBeforeDecoding && columnsDecoded_ < kMostColumns) {
        ++columnsDecoded_;
        columns_[field] = &snapshot_->column(field);
    } else {
        columns_[field] = snapshot_->decodedColumn(field);
    }
    return columns_[field];
}

Value Table::value(const std::string &name) const
{
    int i = fieldIndex(name);
    if (i < 0) throw EngineError(path_, "no field " + name);
    return value(static_cast<size_t>(i));
}

void Table::edit()
{
    requireActive();
    if (state_ != State::Browse) return;
    buffer_ = snapshot_->row(currentRow());
    bufferChanged_ = false;
    state_ = State::Edit;
}

void Table::insert()
{
    requireActive();
    if (state_ != State::Browse) post();
    buffer_.assign(snapshot_->fields().size(), Value::null());
    bufferChanged_ = false;
    state_ = State::Insert;
}

void Table::append()
{
    insert();
}

void Table::setValue(const std::string &name, Value v)
{
    requireActive();
    int i = fieldIndex(name);
    if (i < 0) throw EngineError(path_, "no field " + name);
    if (state_ == State::Browse) edit();
    buffer_[i] = std::move(v);
    bufferChanged_ = true;
}

void Table::post()
{
    requireActive();
    if (state_ == State::Browse) return;
    State was = state_;
    Row values = std::move(buffer_);
    bool changed = bufferChanged_;
    buffer_.clear();
    state_ = State::Browse;
    if (!changed) return;
    size_t target = 0;
    bool kept = false;
    refuseDamaged();
    try {
        auto w = db_.writer(path_);
        if (was == State::Edit) {
            target = visible_[pos_];
            // Nobody changed the file since our snapshot was read (checked under the
            // writer's lock): the snapshot with the one record edited is then the file.
            const std::string file = db_.resolve(path_);
            const bool current = io::stamp(file) == snapshotStamp_;
            // The record as this snapshot saw it: if another program changed the file
            // since, the writer finds it by place and bytes or refuses the edit.
            w->update(snapshot_->record(target), values);
            if (auto now = w->written(); current && now) {
                if (auto edited = snapshot_->withRecord(target, *now)) {
                    db_.keep(path_, std::move(edited), io::stamp(file));
                    kept = true;
                }
            }
        } else {
            target = w->append(values);
        }
    } catch (const StaleRecordError &) {
        reloadAfterRefusal();
        throw;
    }
    if (!kept) db_.invalidate(path_);
    load();
    if (!gotoBookmark(target)) first();
}

void Table::reloadAfterRefusal()
{
    // Show the table as it now is; a table that cannot be read any more stays as it was.
    db_.invalidate(path_);
    try {
        load();
        first();
    } catch (const EngineError &) {
    }
}

void Table::cancel()
{
    if (state_ == State::Edit || state_ == State::Insert) state_ = State::Browse;
    buffer_.clear();
}

void Table::remove()
{
    requireActive();
    if (state_ != State::Browse) cancel();
    size_t row = currentRow();
    size_t oldPos = pos_;
    refuseDamaged();
    try {
        auto w = db_.writer(path_);
        w->remove(snapshot_->record(row));
    } catch (const StaleRecordError &) {
        reloadAfterRefusal();
        throw;
    }
    db_.invalidate(path_);
    load();
    if (visible_.empty()) {
        first();
    } else {
        pos_ = std::min(oldPos, visible_.size() - 1);
        eof_ = bof_ = false;
    }
}

// ---- Query ---------------------------------------------------------------------------

void Query::open()
{
    cursor_.reset();
    cursor_ = db_.open(sql_);
}

void Query::first()
{
    if (cursor_) cursor_->rewind();
}

void Query::next()
{
    if (cursor_ && !cursor_->eof()) cursor_->next();
}

const std::vector<std::string> &Query::columns() const
{
    static const std::vector<std::string> none;
    return cursor_ ? cursor_->columns() : none;
}

Value Query::value(size_t column) const
{
    if (!cursor_ || cursor_->eof()) throw EngineError(sql_, "there is no current row");
    if (column >= cursor_->columns().size()) throw EngineError(sql_, "column number out of range");
    return cursor_->value(column);
}

Value Query::value(const std::string &name) const
{
    int i = cursor_ ? cursor_->columnIndex(name) : -1;
    if (i < 0) throw EngineError(sql_, "no column " + name);
    return value(static_cast<size_t>(i));
}

} // namespace dx
