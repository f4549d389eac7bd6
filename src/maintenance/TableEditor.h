// The database editor's data: the whole project table, unfiltered, in table order, and
// the changes the user makes to it, each record posted on its own through the table's
// writer (locked, journalled, refused when another program changed the record since it
// was read). Also the editor's jump box and its three search modes.
#pragma once

#include "core/UserMessage.h"
#include "engine/sql/Database.h"

#include <QString>

#include <functional>
#include <optional>

namespace dx {

class TableEditor {
public:
    explicit TableEditor(Database &db) : db_(db) {}

    // Reads the table (throws EngineError naming the file). A table read only in part
    // is refused by the writer: damage() tells what is wrong.
    void open(const std::string &path);
    void close() { snap_.reset(); }
    bool active() const { return snap_ != nullptr; }
    // Reads the file again (after a refusal, a restore, or "Опресни данните").
    void reload();
    const std::string &path() const { return path_; }
    Database &db() { return db_; }

    size_t rowCount() const { return snap_ ? snap_->rowCount() : 0; }
    size_t columnCount() const { return snap_ ? snap_->fields().size() : 0; }
    const std::vector<FieldDef> &fields() const;
    // A field's column, letter case ignored; -1 when the table has none.
    int fieldIndex(const std::string &name) const { return snap_ ? snap_->fieldIndex(name) : -1; }
    // A cell as the grid shows it (the engine's text form; a null cell empty).
    QString text(size_t row, size_t column) const;

    // Changes one cell of a record and posts the record. A value that does not fit the
    // field, a record another program changed meanwhile (the table is then read again),
    // a locked or read-only file: the message to show, and the file is unchanged.
    std::optional<UserMessage> setText(size_t row, size_t column, const QString &text);
    // Appends an empty record; returns its row or the message.
    std::optional<UserMessage> appendRow(size_t *newRow = nullptr);
    // Inserts an empty record before row `before` (rowCount(): after the last); returns
    // its row or the message. A record another program moved or changed meanwhile is
    // refused as an edit is.
    std::optional<UserMessage> insertRow(size_t before, size_t *newRow = nullptr);
    std::optional<UserMessage> removeRow(size_t row);

    // The jump box: "12:а" goes to that sub-compartment, "12" to the next record of
    // compartment 12, walking on from the record after `current` and round to it.
    enum class JumpError { None, NotANumber, NotFound };
    std::optional<size_t> jump(size_t current, const QString &text, JumpError *error) const;

    // Search position: column and row.
    struct Cell {
        size_t column = 0, row = 0;
    };
    // "Търси във всички данни": from the cell after `from` to the last cell of the last
    // record (the caller asks before it starts again at the first cell).
    std::optional<Cell> searchAll(Cell from, const QString &needle) const;
    // "Търси само в текущия ред": the columns after `from` (after the last: from the first).
    std::optional<Cell> searchRow(Cell from, const QString &needle) const;
    // "Търси само в текущата колона": the records after `from`'s, to the last; with
    // `wrapped`, from the first record up to the one before `from`'s.
    std::optional<Cell> searchColumn(Cell from, const QString &needle, bool wrapped) const;
    bool isLastCell(Cell c) const { return c.row + 1 >= rowCount() && c.column + 1 >= columnCount(); }

private:
    // A searched text in upper case, and which columns can show it at all.
    struct Needle {
        std::string folded;
        std::vector<bool> columns;
    };
    Needle needle(const QString &text) const;
    // Every row's shown text of one column, upper-cased, one after another with a byte
    // between them that UTF-8 never holds; row r lies from start[r] to start[r + 1] - 1.
    // Made on a column's first search and kept with the snapshot it was made from, so a
    // search walks contiguous bytes instead of decoding and folding each cell again.
    struct ColumnText {
        bool made = false;
        std::string pool;
        std::vector<uint32_t> start;
    };
    const ColumnText &columnText(size_t column) const;
    // The first row in [begin, end) whose cell of `column` shows the needle.
    std::optional<size_t> firstMatch(size_t column, size_t begin, size_t end, const Needle &needle) const;
    // After a posted edit kept the snapshot: the edited row's texts in the made columns.
    void refreshColumnTexts(size_t row);
    // Runs `change` under the writer's lock; it returns true when it kept the edited
    // snapshot itself, otherwise the table is read again after the change.
    std::optional<UserMessage> write(const std::function<bool(TableWriter &)> &change);

    Database &db_;
    std::string path_;
    TableFilePtr snap_;
    io::Stamp stamp_; // the file when snap_ was read or last kept
    mutable std::weak_ptr<const TableFile> textsOf_; // the snapshot columnTexts_ were made from
    mutable std::vector<ColumnText> columnTexts_;
};

// The value a typed text becomes in a field; nullopt with `why` set when it does not
// fit (too long, not a number, too wide for the field).
std::optional<Value> valueForField(const FieldDef &field, const QString &text, QString *why);

} // namespace dx
