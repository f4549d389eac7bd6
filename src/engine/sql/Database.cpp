// The engine session: table file cache, passwords, and local SQL over SQLite virtual
// tables that read straight from the cached snapshots.
#include "engine/sql/Database.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "engine/sql/SqlTranslate.h"

#include <sqlite3.h>

#include <bit>
#include <cmath>
#include <cstring>

namespace dx {

struct Database::Cached {
    io::Stamp stamp;
    TableFilePtr table;
};

int QueryResult::columnIndex(const std::string &name) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (sameFieldName(columns[i], name)) return static_cast<int>(i);
    return -1;
}

namespace {

std::string lowerExtension(const std::string &path)
{
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return cp::foldCase(path.substr(dot + 1));
}

TableFilePtr readAny(const std::string &path, const OpenOptions &options)
{
    std::string ext = lowerExtension(path);
    if (ext == "dbf") return dbf::read(path, options);
    if (ext == "db") return px::read(path, options);
    // Unknown extension: tell the formats apart by the first byte (dBase versions).
    std::string head = io::readHead(path, 1);
    if (!head.empty()) {
        unsigned char v = head[0];
        if (v == 0x02 || v == 0x03 || v == 0x30 || v == 0x31 || v == 0x83 || v == 0x8B ||
            v == 0x8E || v == 0xF5 || v == 0xFB || v == 0x43 || v == 0x63 || v == 0xB3 || v == 0xCB)
            return dbf::read(path, options);
    }
    return px::read(path, options);
}

// ---- the virtual table module ------------------------------------------------------

struct VTab : sqlite3_vtab {
    Database *db = nullptr;
    std::string path;
    std::vector<FieldType> types;
};

// A scan of the whole table, or of the rows with one key (`keyed`, from the table's key
// index) when SQLite hands over an equality on a column.
struct VCursor : sqlite3_vtab_cursor {
    TableFilePtr table;
    const std::vector<uint32_t> *keyed = nullptr;
    size_t pos = 0;
    std::vector<const DecodedColumn *> columns; // made on first read of each
    bool columnar = false;                      // else cells are decoded from the records
    // Snapshots this cursor read before a new filter gave it another one: texts handed
    // to SQLite without a copy stay good until the cursor is closed.
    std::vector<TableFilePtr> earlier;
    std::vector<uint32_t> grouped; // the rows in the order of a grouping (see vBestIndex)

    size_t row() const { return keyed ? (*keyed)[pos] : pos; }
    size_t end() const { return keyed ? keyed->size() : table->rowCount(); }
};

const std::vector<uint32_t> kNoRows;

std::string quoteIdent(const std::string &name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += "\"\"";
        else out += c;
    }
    return out + "\"";
}

const char *declaredType(FieldType t)
{
    switch (t) {
    case FieldType::Integer: return "INTEGER";
    case FieldType::Real: return "REAL";
    case FieldType::Logical: return "INTEGER";
    default: return "TEXT";
    }
}

// Column names as SQLite sees them: a repeated name gets a number so that both fields
// stay reachable ("Point_ID", "Point_ID_2").
std::vector<std::string> columnNames(const TableFile &t)
{
    std::vector<std::string> names;
    for (const auto &f : t.fields()) {
        std::string n = f.name.empty() ? "FIELD" : f.name;
        std::string candidate = n;
        for (int k = 2;; ++k) {
            bool clash = false;
            for (const auto &e : names)
                if (sameFieldName(e, candidate)) clash = true;
            if (!clash) break;
            candidate = n + "_" + std::to_string(k);
        }
        names.push_back(candidate);
    }
    return names;
}

std::string signatureOf(const TableFile &t)
{
    std::string s;
    for (const auto &f : t.fields()) s += f.name + ":" + std::to_string(int(f.type)) + ";";
    return s;
}

} // namespace

namespace {

int vConnect(sqlite3 *sdb, void *aux, int argc, const char *const *argv, sqlite3_vtab **out, char **err)
{
    auto *db = static_cast<Database *>(aux);
    if (argc < 3) return SQLITE_ERROR;
    std::string name = argv[2];
    std::string path = db->virtualTablePath(name);
    if (path.empty()) {
        *err = sqlite3_mprintf("unknown table %s", name.c_str());
        return SQLITE_ERROR;
    }
    TableFilePtr t;
    try {
        t = db->table(path);
    } catch (const std::exception &e) {
        *err = sqlite3_mprintf("%s", e.what());
        return SQLITE_ERROR;
    }
    std::string decl = "CREATE TABLE x(";
    auto names = columnNames(*t);
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) decl += ", ";
        decl += quoteIdent(names[i]) + " " + declaredType(t->fields()[i].type);
    }
    if (names.empty()) decl += "\"_none\" TEXT HIDDEN";
    decl += ")";
    int rc = sqlite3_declare_vtab(sdb, decl.c_str());
    if (rc != SQLITE_OK) {
        *err = sqlite3_mprintf("%s", sqlite3_errmsg(sdb));
        return rc;
    }
    auto *v = new VTab();
    v->db = db;
    v->path = path;
    for (const auto &f : t->fields()) v->types.push_back(f.type);
    *out = v;
    return SQLITE_OK;
}

int vDisconnect(sqlite3_vtab *v)
{
    delete static_cast<VTab *>(v);
    return SQLITE_OK;
}

// The plan's number: the looked-up column + 1 in the low bits, kColumnar when cells
// come from the decoded columns.
constexpr int kColumnar = 1 << 16;
constexpr int kColumnarLimit = 32;
// The rows come grouped by the column in the low bits (see vBestIndex).
constexpr int kGrouped = 1 << 17;
constexpr int kDescending = 1 << 18; // the groups in descending order

// An equality on an integer or text column (binary collation) goes through the key
// index; SQLite still checks every row it gets, so the index need only never miss one.
// Rows must still come in table order: only a constant of the statement itself is
// looked up (an IN list, looked up value by value, and a join's values are scanned),
// and a lookup costs more than half a scan, so that an OR of two or more lookups (rows
// term by term) never beats one scan.
int vBestIndex(sqlite3_vtab *tab, sqlite3_index_info *info)
{
    auto *vt = static_cast<VTab *>(tab);
    constexpr double kScan = 1e6;
    info->estimatedCost = kScan;
    // A statement that reads a few columns of many rows (a sieve, a sum) reads them from
    // the decoded columns; one that reads nearly every column ("select *") decodes each
    // row as it goes, so that a walk over a wide table never keeps all its columns.
    const int used = std::popcount(static_cast<uint64_t>(info->colUsed));
    const int flags = used <= kColumnarLimit ? kColumnar : 0;
    info->idxNum = flags;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        if (!c.usable || c.op != SQLITE_INDEX_CONSTRAINT_EQ || c.iColumn < 0 ||
            size_t(c.iColumn) >= vt->types.size())
            continue;
        sqlite3_value *constant = nullptr;
        if (sqlite3_vtab_rhs_value(info, i, &constant) != SQLITE_OK) continue;
        const FieldType type = vt->types[size_t(c.iColumn)];
        if (type != FieldType::Integer && type != FieldType::Text) continue;
        const char *collation = sqlite3_vtab_collation(info, i);
        if (collation && sqlite3_stricmp(collation, "BINARY") != 0) continue;
        info->aConstraintUsage[i].argvIndex = 1;
        info->aConstraintUsage[i].omit = 0;
        info->idxNum = flags | (c.iColumn + 1);
        info->estimatedCost = kScan * 0.6;
        info->estimatedRows = 10;
        break;
    }
    // A GROUP BY of one text column with no lookup ("area by group"): the rows come
    // grouped through the column's key index, the groups in byte order, ascending or
    // descending as SQLite asks (as its sorter puts them under the column's binary
    // collation) and each group's rows in table order (as its sorter, which keeps equal
    // keys in the order they came, leaves them), so SQLite sorts nothing and each
    // group's sums add up in the same order.
    if ((info->idxNum & (kColumnar - 1)) == 0 && info->nOrderBy == 1 && sqlite3_vtab_distinct(info) == 1) {
        const int col = info->aOrderBy[0].iColumn;
        if (col >= 0 && size_t(col) < vt->types.size() && vt->types[size_t(col)] == FieldType::Text) {
            info->idxNum = flags | kGrouped | (info->aOrderBy[0].desc ? kDescending : 0) | (col + 1);
            info->orderByConsumed = 1;
        }
    }
    return SQLITE_OK;
}

// The rows that can hold `rhs` in `field` by its key index; null when it cannot be
// looked up (every row is tried then).
const std::vector<uint32_t> *keyedRows(const TableFile &t, size_t field, sqlite3_value *rhs)
{
    const FieldType type = t.fields()[field].type;
    const int kind = sqlite3_value_type(rhs);
    if (type == FieldType::Text) {
        if (kind != SQLITE_TEXT) return nullptr;
        const char *text = reinterpret_cast<const char *>(sqlite3_value_text(rhs));
        return &t.rowsWithKey(field, std::string(text ? text : "", size_t(sqlite3_value_bytes(rhs))));
    }
    if (type != FieldType::Integer) return nullptr;
    if (kind == SQLITE_NULL) return &kNoRows;
    if (kind == SQLITE_INTEGER) return &t.rowsWithKey(field, std::to_string(sqlite3_value_int64(rhs)));
    if (kind == SQLITE_FLOAT) {
        const double d = sqlite3_value_double(rhs);
        if (!(std::fabs(d) < 1e15)) return nullptr;
        if (d != std::floor(d)) return &kNoRows;
        return &t.rowsWithKey(field, std::to_string(static_cast<long long>(d)));
    }
    return nullptr;
}

int vOpen(sqlite3_vtab *, sqlite3_vtab_cursor **out)
{
    *out = new VCursor();
    return SQLITE_OK;
}

int vClose(sqlite3_vtab_cursor *c)
{
    delete static_cast<VCursor *>(c);
    return SQLITE_OK;
}

int vFilter(sqlite3_vtab_cursor *c, int idxNum, const char *, int argc, sqlite3_value **argv)
{
    auto *cur = static_cast<VCursor *>(c);
    auto *vt = static_cast<VTab *>(c->pVtab);
    try {
        TableFilePtr t = vt->db->table(vt->path);
        if (cur->table && cur->table != t) cur->earlier.push_back(std::move(cur->table));
        cur->table = std::move(t);
    } catch (const std::exception &e) {
        sqlite3_free(vt->zErrMsg);
        vt->zErrMsg = sqlite3_mprintf("%s", e.what());
        return SQLITE_ERROR;
    }
    cur->pos = 0;
    cur->keyed = nullptr;
    cur->columns.assign(cur->table->fields().size(), nullptr);
    cur->columnar = (idxNum & kColumnar) != 0;
    const int keyColumn = (idxNum & (kColumnar - 1)) - 1;
    if ((idxNum & kGrouped) && keyColumn >= 0 && size_t(keyColumn) < cur->table->fields().size()) {
        cur->grouped = cur->table->rowsGroupedBy(size_t(keyColumn), (idxNum & kDescending) != 0);
        cur->keyed = &cur->grouped;
    } else if (keyColumn >= 0 && argc >= 1 && size_t(keyColumn) < cur->table->fields().size()) {
        cur->keyed = keyedRows(*cur->table, size_t(keyColumn), argv[0]);
    }
    return SQLITE_OK;
}

int vNext(sqlite3_vtab_cursor *c)
{
    ++static_cast<VCursor *>(c)->pos;
    return SQLITE_OK;
}

int vEof(sqlite3_vtab_cursor *c)
{
    auto *cur = static_cast<VCursor *>(c);
    return !cur->table || cur->pos >= cur->end();
}

void resultOf(sqlite3_context *ctx, const Value &v, FieldType type)
{
    switch (v.kind) {
    case Value::Null:
        // An empty text field compares equal to "" as the legacy engine's did.
        if (type == FieldType::Text) sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
        else sqlite3_result_null(ctx);
        break;
    case Value::Int:
    case Value::Bool: sqlite3_result_int64(ctx, v.i); break;
    case Value::Real: sqlite3_result_double(ctx, v.d); break;
    case Value::Text: sqlite3_result_text(ctx, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT); break;
    }
}

int vColumn(sqlite3_vtab_cursor *c, sqlite3_context *ctx, int col)
{
    auto *cur = static_cast<VCursor *>(c);
    if (col < 0 || static_cast<size_t>(col) >= cur->table->fields().size()) {
        sqlite3_result_null(ctx);
        return SQLITE_OK;
    }
    if (!cur->columnar) {
        resultOf(ctx, cur->table->value(cur->row(), size_t(col)), cur->table->fields()[col].type);
        return SQLITE_OK;
    }
    // Cells come from the decoded column: the statement decodes no record.
    const DecodedColumn *&column = cur->columns[size_t(col)];
    if (!column) column = &cur->table->column(size_t(col));
    const size_t row = cur->row();
    switch (row < column->kind.size() ? int(column->kind[row]) : int(Value::Null)) {
    case Value::Int:
    case Value::Bool: sqlite3_result_int64(ctx, column->number[row]); break;
    case Value::Real: sqlite3_result_double(ctx, column->realAt(row)); break;
    case Value::Text: {
        // The decoded column lives as long as the snapshot the cursor holds: no copy.
        const std::string_view text = column->textAt(row);
        sqlite3_result_text(ctx, text.empty() ? "" : text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        break;
    }
    default:
        // An empty text field compares equal to "" as the legacy engine's did.
        if (cur->table->fields()[col].type == FieldType::Text) sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
        else sqlite3_result_null(ctx);
    }
    return SQLITE_OK;
}

int vRowid(sqlite3_vtab_cursor *c, sqlite3_int64 *rowid)
{
    *rowid = static_cast<sqlite3_int64>(static_cast<VCursor *>(c)->row() + 1);
    return SQLITE_OK;
}

sqlite3_module g_module = {
    0,           vConnect, vConnect, vBestIndex, vDisconnect, vDisconnect, vOpen, vClose,
    vFilter,     vNext,    vEof,     vColumn,    vRowid,      nullptr,     nullptr, nullptr,
    nullptr,     nullptr,  nullptr,  nullptr,    nullptr,     nullptr,     nullptr, nullptr};

} // namespace

Database::Database(std::string programDir) : programDir_(std::move(programDir))
{
    if (sqlite3_open_v2(":memory:", &sqlite_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throw EngineError("SQLite", "cannot open an in-memory database");
    sqlite3_create_module(sqlite_, "dxtable", &g_module, this);
}

Database::~Database()
{
    sqlite3_close(sqlite_);
}

void Database::setProgramDir(std::string dir)
{
    programDir_ = std::move(dir);
}

std::string Database::resolve(const std::string &path) const
{
    std::string p = io::resolve(programDir_, path);
    if (io::exists(p) || !lowerExtension(path).empty()) return p;
    for (const char *ext : {".db", ".dbf"}) {
        std::string q = io::resolve(programDir_, path + ext);
        if (io::exists(q)) return q;
    }
    return p;
}

void Database::addPassword(const std::string &password)
{
    for (const auto &p : passwords_)
        if (p == password) return;
    passwords_.push_back(password);
}

void Database::setPasswordCallback(PasswordCallback callback)
{
    passwordCallback_ = std::move(callback);
}

OpenOptions Database::openOptions() const
{
    OpenOptions o;
    o.codepage = codepage_;
    o.knownPasswords = passwords_;
    o.onPassword = [this](const std::string &path) -> std::optional<std::string> {
        if (!passwordCallback_) return std::nullopt;
        auto answer = passwordCallback_(path);
        // The handler may have added the password to the known list instead of
        // returning it.
        if (!answer && !passwords_.empty()) return passwords_.back();
        return answer;
    };
    return o;
}

TableFilePtr Database::table(const std::string &path)
{
    std::string resolved = resolve(path);
    io::Stamp st = io::stamp(resolved);
    if (st.size < 0) {
        cache_.erase(resolved);
        const std::string why = io::notARegularFile(resolved);
        throw EngineError(resolved, why.empty() || why == "the file does not exist" ? "the table file does not exist"
                                                                                      : why + " (a table file is expected here)");
    }
    auto it = cache_.find(resolved);
    if (it != cache_.end() && it->second->stamp == st) return it->second->table;
    auto entry = std::make_shared<Cached>();
    entry->stamp = st;
    entry->table = readAny(resolved, openOptions());
    cache_[resolved] = entry;
    return entry->table;
}

std::vector<std::string> Database::damageNotes() const
{
    std::vector<std::string> out;
    for (const auto &[path, entry] : cache_)
        for (const std::string &what : entry->table->damage()) out.push_back(path + ": " + what);
    return out;
}

io::Stamp Database::cachedStamp(const std::string &path) const
{
    auto it = cache_.find(resolve(path));
    return it == cache_.end() ? io::Stamp{} : it->second->stamp;
}

void Database::keep(const std::string &path, TableFilePtr snapshot, const io::Stamp &stamp)
{
    auto entry = std::make_shared<Cached>();
    entry->stamp = stamp;
    entry->table = std::move(snapshot);
    cache_[resolve(path)] = entry;
}

void Database::invalidate(const std::string &path)
{
    cache_.erase(resolve(path));
}

std::unique_ptr<TableWriter> Database::writer(const std::string &path)
{
    std::string resolved = resolve(path);
    invalidate(resolved);
    if (lowerExtension(resolved) == "dbf") return dbf::openWriter(resolved, openOptions());
    return px::openWriter(resolved, openOptions());
}

std::string Database::virtualTablePath(const std::string &name) const
{
    for (const auto &[path, v] : virtualTables_)
        if (v.name == name) return path;
    return {};
}

void Database::exec(const std::string &sql)
{
    char *err = nullptr;
    if (sqlite3_exec(sqlite_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw EngineError(sql, msg);
    }
}

std::string Database::virtualTableFor(const std::string &resolvedPath)
{
    TableFilePtr t = table(resolvedPath); // loads (or reloads) and proves the file opens
    std::string sig = signatureOf(*t);
    auto it = virtualTables_.find(resolvedPath);
    if (it != virtualTables_.end()) {
        if (it->second.signature == sig) return it->second.name;
        exec("DROP TABLE temp." + it->second.name);
        virtualTables_.erase(it);
    }
    std::string name = "dx_t" + std::to_string(nextVirtual_++);
    virtualTables_[resolvedPath] = {name, sig};
    try {
        exec("CREATE VIRTUAL TABLE temp." + name + " USING dxtable");
    } catch (...) {
        virtualTables_.erase(resolvedPath);
        throw;
    }
    return name;
}

std::string Database::translate(const std::string &statement)
{
    return sql::translate(statement, [this](const std::string &file) {
        std::string resolved = resolve(file);
        if (!io::exists(resolved)) throw EngineError(resolved, "the table file does not exist");
        return "temp." + virtualTableFor(resolved);
    });
}

sqlite3_stmt *Database::prepare(const std::string &statement, const std::string &translated)
{
    // SQLite ends a statement at a NUL: whatever followed it would be dropped unseen.
    if (translated.find('\0') != std::string::npos)
        throw EngineError(statement.substr(0, statement.find('\0')), "the statement holds a NUL character");
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(sqlite_, translated.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw EngineError(statement, sqlite3_errmsg(sqlite_));
    }
    return stmt;
}

std::unique_ptr<Cursor> Database::open(const std::string &statement)
{
    std::string text = translate(statement);
    sqlite3_stmt *stmt = prepare(statement, text);
    std::unique_ptr<Cursor> c(new Cursor(*this, stmt, statement, text));
    c->next();
    return c;
}

QueryResult Database::execute(const std::string &statement)
{
    auto cursor = open(statement);
    QueryResult result;
    result.columns = cursor->columns();
    for (; !cursor->eof(); cursor->next()) {
        Row row;
        row.reserve(result.columns.size());
        for (size_t i = 0; i < result.columns.size(); ++i) row.push_back(cursor->value(i));
        result.rows.push_back(std::move(row));
    }
    return result;
}

// ---- Cursor ------------------------------------------------------------------------

Cursor::Cursor(Database &db, sqlite3_stmt *stmt, std::string statement, std::string translated)
    : db_(db), stmt_(stmt), statement_(std::move(statement)), translated_(std::move(translated))
{
    int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
        const char *name = sqlite3_column_name(stmt_, i);
        columns_.push_back(name ? name : "");
    }
}

Cursor::~Cursor()
{
    sqlite3_finalize(stmt_);
}

int Cursor::columnIndex(const std::string &name) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (sameFieldName(columns_[i], name)) return static_cast<int>(i);
    return -1;
}

void Cursor::next()
{
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        eof_ = false;
    } else if (rc == SQLITE_DONE) {
        eof_ = true;
    } else {
        eof_ = true;
        throw EngineError(statement_, sqlite3_errmsg(db_.sqlite_));
    }
}

void Cursor::rewind()
{
    sqlite3_reset(stmt_);
    next();
}

Value Cursor::value(size_t i) const
{
    if (eof_ || i >= columns_.size()) return Value::null();
    int c = static_cast<int>(i);
    switch (sqlite3_column_type(stmt_, c)) {
    case SQLITE_INTEGER: return Value::fromInt(sqlite3_column_int64(stmt_, c));
    case SQLITE_FLOAT: return Value::fromReal(sqlite3_column_double(stmt_, c));
    case SQLITE_NULL: return Value::null();
    default: {
        const unsigned char *s = sqlite3_column_text(stmt_, c);
        int len = sqlite3_column_bytes(stmt_, c);
        return Value::fromText(std::string(reinterpret_cast<const char *>(s), len));
    }
    }
}

size_t Cursor::count()
{
    if (count_ < 0) {
        // Counting reads no column, so the table's cells are never decoded.
        sqlite3_stmt *st = db_.prepare(statement_, "SELECT count(*) FROM (" + translated_ + ")");
        count_ = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
        sqlite3_finalize(st);
    }
    return static_cast<size_t>(count_);
}

} // namespace dx
