// Table objects: a table file opened by path, positioned on one record at a time, with
// an optional filter, reads by field name, and edits written to the file at once.
#pragma once

#include "engine/sql/Database.h"
#include "engine/sql/Filter.h"

#include <memory>
#include <string>
#include <vector>

namespace dx {

class Table {
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Bookmark = size_t; // the record's position in the unfiltered table

    explicit Table(Database &db);
    ~Table();

    void setPath(const std::string &path) { path_ = path; }
    const std::string &path() const { return path_; }

    // Opens the table (a protected one asks the session for its password) and goes
    // to the first record. Throws EngineError; the table then stays closed.
    void open();
    void close();
    bool active() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    // A new filter applies at once when filtering is on; switching filtering on or off
    // goes to the first record. Throws EngineError for an expression that does not fit.
    void setFilter(const std::string &expression);
    const std::string &filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const { return visible_.empty(); }
    size_t recordCount() const { return visible_.size(); }
    Bookmark bookmark() const;
    bool gotoBookmark(Bookmark b); // false when that record is not visible

    const std::vector<FieldDef> &fields() const;
    int fieldIndex(const std::string &name) const;
    // What is wrong with the open file when it could be read only in part (empty when
    // it is whole or the table is closed); see TableFile::damage.
    std::vector<std::string> damage() const
    {
        return active() && snapshot_ ? snapshot_->damage() : std::vector<std::string>{};
    }
    // The current record's field (the edit buffer while editing). Throws EngineError
    // for an unknown field or when there is no current record.
    Value value(const std::string &name) const;
    Value value(size_t index) const;
    std::string asText(const std::string &name) const { return value(name).toText(); }
    int64_t asInt(const std::string &name) const { return value(name).toInt(); }
    double asReal(const std::string &name) const { return value(name).toReal(); }

    void edit();
    void insert(); // a new empty record (appended at the end on post)
    void append();
    void setValue(const std::string &name, Value v);
    // Writes the edit buffer to the file; nothing to post does nothing. An edit of a
    // record that another program changed, deleted or moved since the table was read
    // is refused with StaleRecordError, and the table is read again.
    void post();
    void cancel();
    void remove(); // deletes the current record from the file; refused like post()

private:
    void load();
    void reloadAfterRefusal();
    void rebuildVisible();
    size_t currentRow() const;
    void requireActive() const;
    void refuseDamaged() const;
    const DecodedColumn *columnToRead(size_t field) const;

    Database &db_;
    std::string path_;
    TableFilePtr snapshot_;
    io::Stamp snapshotStamp_; // the file's stamp when snapshot_ was read
    State state_ = State::Inactive;
    std::string filterText_;
    bool filtered_ = false;
    Filter filter_;
    std::vector<size_t> visible_;
    size_t pos_ = 0;
    bool eof_ = true, bof_ = true;
    Row buffer_;
    bool bufferChanged_ = false;
    // Reads of the current snapshot: a field read often (a walk over many records) is
    // read from its decoded column, decoded once; a few reads decode single cells, so
    // that showing one record never decodes whole columns. At most kMostColumns are
    // decoded for this table object's sake; columns decoded by a filter or a statement
    // are read as they are.
    static constexpr uint32_t kReadsBeforeDecoding = 1024;
    static constexpr size_t kMostColumns = 8;
    mutable std::vector<const DecodedColumn *> columns_;
    mutable std::vector<uint32_t> reads_;
    mutable size_t columnsDecoded_ = 0;
};

// Query objects: a statement of one or two lines, opened, walked row by row, closed.
class Query {
public:
    explicit Query(Database &db) : db_(db) {}
    void setSql(const std::string &statement) { sql_ = statement; }
    const std::string &sql() const { return sql_; }
    void open(); // throws EngineError
    void close() { cursor_.reset(); }
    bool active() const { return cursor_ != nullptr; }
    void first();
    void next();
    bool eof() const { return !cursor_ || cursor_->eof(); }
    size_t recordCount() const { return cursor_ ? cursor_->count() : 0; }
    const std::vector<std::string> &columns() const;
    Value value(const std::string &name) const;
    Value value(size_t column) const;
    std::string asText(const std::string &name) const { return value(name).toText(); }

private:
    Database &db_;
    std::string sql_;
    std::unique_ptr<Cursor> cursor_;
};

} // namespace dx
