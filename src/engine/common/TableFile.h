// A table file (dBase or Paradox) read into memory: its fields and its live rows in the
// table's own record order. Values are decoded from the stored record bytes on demand,
// so a snapshot of a large table costs little more than the file itself.
#pragma once

#include "engine/common/Value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dx {

// Asked when a protected table is opened: gets the file path, returns the password to
// try, or nothing to give up (which makes the open fail).
// A row's record as a snapshot saw it: where it lies in the file and its stored bytes.
// A writer changes or deletes a row given this way only while the file still holds
// exactly these bytes at that place, so an edit made on an old snapshot never lands on
// another row.
struct RecordRef {
    uint64_t address = 0; // dBase: the physical record number; Paradox: the record's file offset
    std::string bytes;    // the record as stored (dBase: with its deletion flag; Paradox: decrypted)
};

// One field's cells of every row, decoded once into a compact typed form: a kind byte
// a cell, numbers in one 8-byte slot (a real's bits for Real), text in one pool.
struct DecodedColumn {
    std::vector<uint8_t> kind;     // Value::Kind of each row
    std::vector<int64_t> number;   // Int and Bool: the value; Real: the double's bits
    std::vector<uint32_t> textEnd; // Text: where the row's text ends in `text` (begins at the row before's end)
    std::string text;

    Value at(size_t row) const;
    // A Text cell's bytes (empty for any other kind).
    std::string_view textAt(size_t row) const;
    double realAt(size_t row) const;
};

using PasswordCallback = std::function<std::optional<std::string>(const std::string &path)>;

struct OpenOptions {
    // Code page to decode text with, overriding what the file declares, as an iconv
    // name ("CP1251"). Empty: take it from the file (dBase language driver byte,
    // Paradox header code page), falling back to CP1251.
    std::string codepage;
    // Passwords already known to the session; tried before the callback is asked.
    std::vector<std::string> knownPasswords;
    PasswordCallback onPassword;
};

class TableFile {
public:
    TableFile() = default;
    // A copy (a snapshot with one record changed) decodes its columns afresh.
    TableFile(const TableFile &o) : path_(o.path_), fields_(o.fields_), damage_(o.damage_) {}
    TableFile &operator=(const TableFile &) = delete;
    virtual ~TableFile() = default;

    const std::string &path() const { return path_; }
    const std::vector<FieldDef> &fields() const { return fields_; }
    // Index of the field with this name, matched without regard to case; -1 if none.
    // With two fields of the same name, the first one. Answers from a map of the folded
    // names made on first use: a record read field by field costs no scan of the fields.
    int fieldIndex(const std::string &name) const;

    virtual size_t rowCount() const = 0;
    virtual Value value(size_t row, size_t field) const = 0;

    // Every row's cell of `field`, decoded on first use and kept with this snapshot, so
    // that statements, filters and sieves over a large table never decode a cell twice.
    const DecodedColumn &column(size_t field) const;
    // The field's decoded column if something has decoded it already; null otherwise
    // (nothing is decoded).
    const DecodedColumn *decodedColumn(size_t field) const;
    // The same value as value(), read from the decoded column.
    Value cell(size_t row, size_t field) const { return column(field).at(row); }
    // The rows (ascending) whose cell of `field` has `key` as its engine text form
    // (Value::toText: "7", "а", "" for null); the field's index is made on first use.
    const std::vector<uint32_t> &rowsWithKey(size_t field, const std::string &key) const;
    // Every row, grouped by its cell of `field`: the groups in the byte order of their
    // key (rowsWithKey's text form), last first when `descending`; each group's rows
    // ascending.
    std::vector<uint32_t> rowsGroupedBy(size_t field, bool descending = false) const;
    Row row(size_t r) const;
    // Where row `r`'s record lies and what it holds (see RecordRef).
    virtual RecordRef record(size_t r) const = 0;

    // What is wrong with the file when it was read only in part (a header that promises
    // more records than the file holds, a broken block chain): one sentence each, naming
    // no file (the caller knows it). Empty for a whole table. The rows are then the
    // whole records that could be trusted.
    const std::vector<std::string> &damage() const { return damage_; }

    // This snapshot with row `row` holding `now` instead, where a writer has just put it
    // in place (same address): a posted edit then costs no new read of the table. Null
    // when the table cannot do that; read it again then.
    virtual std::shared_ptr<const TableFile> withRecord(size_t row, const RecordRef &now) const
    {
        (void)row;
        (void)now;
        return nullptr;
    }

protected:
    std::string path_;
    std::vector<FieldDef> fields_;
    std::vector<std::string> damage_;

private:
    // Folded field name -> the fields that fold to it, in field order; and each field's
    // name as stored -> the answer for it, so a name asked as stored is never folded.
    mutable std::once_flag namesOnce_;
    mutable std::unordered_map<std::string, std::vector<int>> byName_;
    mutable std::unordered_map<std::string, int> asStored_;
    int foldedIndex(const std::string &name) const;

    struct Decoded;
    Decoded &decoded() const;
    mutable std::mutex decodedMutex_;
    mutable std::shared_ptr<Decoded> decoded_;
};

using TableFilePtr = std::shared_ptr<const TableFile>;

} // namespace dx

namespace dx {

// Changes to one table file, written to the file at once. The writer holds the table's
// lock (platform::FileLock) from before it reads the table until it is destroyed, so
// that writers of other programs wait rather than overwrite each other's changes; keep
// it only for the change at hand.
//
// Row numbers are positions in the live record order of the table as the writer read
// it; after a remove the following rows move up by one. A row seen in an older snapshot
// is given by its RecordRef instead: the change is refused with StaleRecordError when
// the file no longer holds that record there. Values come in field order; a shorter row
// leaves the remaining fields empty. A value that does not fit its field is an error,
// never silently cut.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    virtual size_t rowCount() const = 0;
    virtual void update(size_t row, const Row &values) = 0;
    virtual size_t append(const Row &values) = 0; // returns the new row's number
    virtual void remove(size_t row) = 0;
    virtual void update(const RecordRef &seen, const Row &values) { update(rowOf(seen), values); }
    virtual void remove(const RecordRef &seen) { remove(rowOf(seen)); }
    // The record the last update left in the file (where and what, as a snapshot would
    // see it); nothing when the writer cannot tell.
    virtual std::optional<RecordRef> written() const { return std::nullopt; }

protected:
    // The row now holding the record `seen` describes; throws StaleRecordError if none.
    virtual size_t rowOf(const RecordRef &seen) const = 0;
};

} // namespace dx
