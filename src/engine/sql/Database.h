// The session of the table engine: the program directory that relative paths resolve
// against, the known passwords, the cache of loaded table files, and local SQL.
//
// Local SQL statements are written in the legacy dialect: a table is its file path in
// double quotes, text constants are in double quotes. They are translated to SQLite,
// where each table file is a virtual table over the cached snapshot of that file, so
// rows of a statement without ORDER BY come in the table's own record order.
#pragma once

#include "engine/common/FileIO.h"
#include "engine/common/TableFile.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace dx {

struct QueryResult {
    std::vector<std::string> columns;
    std::vector<Row> rows;
    int columnIndex(const std::string &name) const; // case-insensitive, -1 if none
};

class Database;

// A statement being walked row by row: rows are made as they are read, so a statement
// over a large table costs only what the caller reads. The row count is asked of
// SQLite separately, without making the rows.
class Cursor {
public:
    ~Cursor();
    Cursor(const Cursor &) = delete;
    Cursor &operator=(const Cursor &) = delete;

    const std::vector<std::string> &columns() const { return columns_; }
    int columnIndex(const std::string &name) const; // case-insensitive, -1 if none
    bool eof() const { return eof_; }
    void next();   // throws EngineError
    void rewind(); // back to the first row
    Value value(size_t column) const;
    size_t count(); // rows of the whole statement

private:
    friend class Database;
    Cursor(Database &db, sqlite3_stmt *stmt, std::string statement, std::string translated);
    Database &db_;
    sqlite3_stmt *stmt_;
    std::string statement_, translated_;
    std::vector<std::string> columns_;
    bool eof_ = true;
    long long count_ = -1;
};

class Database {
public:
    explicit Database(std::string programDir = ".");
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const std::string &programDir() const { return programDir_; }
    void setProgramDir(std::string dir);

    // A path as the data writes it (relative to the program directory, `\` or `/`,
    // any letter case) made into the path of the file on this machine. A name without
    // extension that names no file finds NAME.db or NAME.dbf.
    std::string resolve(const std::string &path) const;

    void addPassword(const std::string &password);
    void setPasswordCallback(PasswordCallback callback);
    // Code page for reading every table (empty: each file's own, falling back to CP1251).
    void setCodepage(std::string codepage) { codepage_ = std::move(codepage); }

    // The current snapshot of a table file, loaded on first use and again whenever the
    // file's size or modification time changes. Throws EngineError.
    TableFilePtr table(const std::string &path);
    // What is wrong with the tables read so far that were read only in part: one line
    // each, "FILE: what" (see TableFile::damage). Empty when every table was whole.
    std::vector<std::string> damageNotes() const;
    // The file's stamp when its cached snapshot was read (size -1 when none is cached).
    io::Stamp cachedStamp(const std::string &path) const;
    // Keeps `snapshot` as the table's current one, the file being at `stamp` (after an
    // edit written in place, so that the table need not be read again).
    void keep(const std::string &path, TableFilePtr snapshot, const io::Stamp &stamp);
    // Forget a cached snapshot (after a write through a TableWriter).
    void invalidate(const std::string &path);
    // Opens the table for changes; later reads see the changes.
    std::unique_ptr<TableWriter> writer(const std::string &path);

    // Runs one statement and collects every row. Throws EngineError with the statement
    // and the reason.
    QueryResult execute(const std::string &statement);
    // Opens a statement for walking; the cursor is on its first row.
    std::unique_ptr<Cursor> open(const std::string &statement);
    // The SQLite text a statement becomes (table files registered as a side effect).
    std::string translate(const std::string &statement);

    OpenOptions openOptions() const;
    // The file behind a virtual table name of translated statements; empty if none.
    std::string virtualTablePath(const std::string &name) const;

private:
    struct Cached;
    struct VirtualName {
        std::string name;
        std::string signature;
    };
    std::string virtualTableFor(const std::string &resolvedPath);
    void exec(const std::string &sql);
    sqlite3_stmt *prepare(const std::string &statement, const std::string &translated);
    friend class Cursor;

    std::string programDir_;
    std::string codepage_;
    std::vector<std::string> passwords_;
    PasswordCallback passwordCallback_;
    std::map<std::string, std::shared_ptr<Cached>> cache_;
    std::map<std::string, VirtualName> virtualTables_;
    int nextVirtual_ = 1;
    sqlite3 *sqlite_ = nullptr;
};

} // namespace dx
