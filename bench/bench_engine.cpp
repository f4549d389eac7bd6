// Engine benchmark: a generated project of N sub-compartments as an encrypted Paradox
// table and as a dBase table; times the first open, the start-up statements, a working
// sieve, an area sum by group and a filtered walk of a table object, and the same
// statements through the sqlite3 shell (data already imported, its own statement timer
// against ours in-process) and GDAL's ogrinfo (a whole ogrinfo process against a whole
// dendrix-cli process running the same statement on the same dBase file).
//
//   dendrix-bench [--records N] [--dir DIR] [--repeat R] [--keep]
//
// --keep uses the project (and its dBase copy) already in DIR instead of making it anew.
#include "core/DataPassword.h"
#include "demo/DemoData.h"
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <string>
#include <vector>

using namespace dx;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Best of `repeat` runs, in milliseconds.
double best(int repeat, const std::function<void()> &f)
{
    double b = 1e300;
    for (int i = 0; i < repeat; ++i) {
        auto t0 = Clock::now();
        f();
        b = std::min(b, msSince(t0));
    }
    return b;
}

struct Statement {
    std::string name;
    std::string sql;        // {P} stands for the project table
    bool countOnly = false; // the program only counts the rows of this one
};

std::vector<Statement> statements()
{
    return {
        {"start-up: compartments", "select distinct OTD from \"{P}\" order by OTD ASC"},
        {"start-up: sub-compartments", "select OTD,PODOTD from \"{P}\" where OTD=7"},
        {"status: compartment count", "select distinct OTD from \"{P}\""},
        {"status: all records", "select * from \"{P}\"", true},
        {"status: total area", "select SUM(PL) AREA from \"{P}\""},
        {"sieve: five conditions",
         "select OTD,PODOTD,PL from \"{P}\" where  (GSU=1) and (VID_GORI=\"иглолистни\") and "
         "((A1>=20 and A1<=80) or (A2>=20 and A2<=80) or (A3>=20 and A3<=80) or (A4>=20 and A4<=80) or "
         "(A5>=20 and A5<=80) or (A6>=20 and A6<=80) or (A7>=20 and A7<=80) or (A8>=20 and A8<=80) or "
         "(A9>=20 and A9<=80) or (A10>=20 and A10<=80) or (A11>=20 and A11<=80)) and  (PL<=5)  and "
         "(NADM_VIS>=600)"},
        {"area by group", "SELECT VID_PODOTD,sum(PL) P from \"{P}\" group by VID_PODOTD order by P desc"},
    };
}

std::string fill(const std::string &s, const std::string &table)
{
    return std::regex_replace(s, std::regex("\\{P\\}"), table);
}

// The plain SQLite text of a statement over a table named `name`.
std::string plainSql(const std::string &s, const std::string &name)
{
    std::string t = std::regex_replace(s, std::regex("\"\\{P\\}\""), name);
    return std::regex_replace(t, std::regex("\"([^\"]*)\""), "'$1'");
}

std::string run(const std::string &cmd)
{
    std::string out;
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

bool haveTool(const std::string &tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Copies every row of a table into a real SQLite table `t` of a database file.
void importToSqlite(const TableFile &t, const std::string &file)
{
    fs::remove(file);
    sqlite3 *db = nullptr;
    sqlite3_open(file.c_str(), &db);
    std::string create = "CREATE TABLE t(", insert = "INSERT INTO t VALUES(";
    for (size_t i = 0; i < t.fields().size(); ++i) {
        const auto &f = t.fields()[i];
        const char *type = f.type == FieldType::Integer ? "INTEGER" : f.type == FieldType::Real ? "REAL" : "TEXT";
        create += (i ? ", \"" : "\"") + f.name + "\" " + type;
        insert += i ? ",?" : "?";
    }
    sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &st, nullptr);
    for (size_t r = 0; r < t.rowCount(); ++r) {
        for (size_t c = 0; c < t.fields().size(); ++c) {
            Value v = t.value(r, c);
            int k = static_cast<int>(c) + 1;
            switch (v.kind) {
            case Value::Int: sqlite3_bind_int64(st, k, v.i); break;
            case Value::Real: sqlite3_bind_double(st, k, v.d); break;
            case Value::Text: sqlite3_bind_text(st, k, v.s.c_str(), -1, SQLITE_TRANSIENT); break;
            default:
                if (t.fields()[c].type == FieldType::Text) sqlite3_bind_text(st, k, "", 0, SQLITE_STATIC);
                else sqlite3_bind_null(st, k);
            }
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Times one statement in the sqlite3 shell with its own timer (best of `repeat`).
double sqliteShellMs(const std::string &dbFile, const std::string &sql, int repeat)
{
    std::string script = ".timer on\n.output /dev/null\n";
    for (int i = 0; i < repeat; ++i) script += sql + ";\n";
    std::string scriptFile = dbFile + ".sql";
    std::ofstream(scriptFile) << script;
    std::string out = run("sqlite3 '" + dbFile + "' < '" + scriptFile + "' 2>&1");
    double b = -1;
    std::regex re("Run Time: real ([0-9.]+)");
    for (std::sregex_iterator it(out.begin(), out.end(), re), end; it != end; ++it) {
        double ms = std::stod((*it)[1]) * 1000.0;
        b = b < 0 ? ms : std::min(b, ms);
    }
    return b;
}

std::string shellQuoted(const std::string &text)
{
    std::string quoted;
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return "'" + quoted + "'";
}

// Times ogrinfo on the dBase file, the whole command (best of `repeat`).
double ogrinfoMs(const std::string &dbfFile, const std::string &sql, int repeat)
{
    std::string layer = fs::path(dbfFile).stem().string();
    std::string q = plainSql(sql, "\"" + layer + "\"");
    std::string cmd = "ogrinfo -ro -q -dialect SQLite -sql " + shellQuoted(q) + " '" + dbfFile + "' >/dev/null 2>&1";
    return best(repeat, [&] { std::system(cmd.c_str()); });
}

// The dendrix-cli beside this program's build folder (bench/..), or empty.
std::string cliPath;

// Times a whole dendrix-cli process running the statement, output thrown away (best of
// `repeat`), to set against a whole ogrinfo process.
double cliMs(const std::string &dir, const std::string &sql, int repeat)
{
    std::string cmd = cliPath + " -C '" + dir + "' sql " + shellQuoted(sql) + " >/dev/null 2>&1";
    return best(repeat, [&] { std::system(cmd.c_str()); });
}

// `ogr` and `cli` are whole processes, `ours` and `shell` statements in a running process.
void report(const std::string &what, double ours, double shell, double ogr, double cli = -1)
{
    std::printf("  %-30s %9.2f ms", what.c_str(), ours);
    if (shell >= 0) std::printf("   sqlite3 %8.2f ms (x%5.2f)", shell, shell > 0 ? ours / shell : 0.0);
    if (ogr >= 0 && cli >= 0)
        std::printf("   processes: ogrinfo %8.2f ms, dendrix-cli %8.2f ms (ours %5.1fx faster)", ogr, cli,
                    cli > 0 ? ogr / cli : 0.0);
    std::printf("\n");
}

void benchTable(const std::string &dir, const std::string &relPath, bool isDbf, int repeat)
{
    std::printf("%s\n", relPath.c_str());
    // First open: a fresh session loads the file.
    double firstOpen = best(repeat, [&] {
        Database db(dir);
        db.addPassword(dataPassword());
        Table t(db);
        t.setPath(relPath);
        t.open();
    });
    report("first open of the table", firstOpen, -1, -1);

    Database db(dir);
    db.addPassword(dataPassword());
    TableFilePtr snap = db.table(relPath);
    std::string sqliteFile = dir + "/bench-import.sqlite";
    bool shell = haveTool("sqlite3");
    bool ogr = isDbf && haveTool("ogrinfo") && !cliPath.empty();
    if (shell) importToSqlite(*snap, sqliteFile);
    std::string absPath = db.resolve(relPath);

    for (const auto &s : statements()) {
        std::string stmt = fill(s.sql, relPath);
        size_t rows = 0;
        // As the program does: open a query, then count its rows or walk them all,
        // reading every column.
        double ours = best(repeat, [&] {
            Query q(db);
            q.setSql(stmt);
            q.open();
            if (s.countOnly) {
                rows = q.recordCount();
                return;
            }
            rows = 0;
            for (; !q.eof(); q.next(), ++rows)
                for (size_t c = 0; c < q.columns().size(); ++c) q.value(c);
        });
        // The other tools do what the program does: count, or make every row.
        std::string other = s.countOnly ? "select count(*) from (" + s.sql + ")" : s.sql;
        double sh = shell ? sqliteShellMs(sqliteFile, plainSql(other, "t"), repeat) : -1;
        double og = ogr ? ogrinfoMs(absPath, other, std::min(repeat, 3)) : -1;
        double cli = ogr ? cliMs(dir, fill(other, relPath), std::min(repeat, 3)) : -1;
        report(s.name + " (" + std::to_string(rows) + ")", ours, sh, og, cli);
    }

    // A table object walked from first to last under a filter, reading three fields.
    Table t(db);
    t.setPath(relPath);
    t.open();
    double walk = best(repeat, [&] {
        t.setFilter("VID_GORI='иглолистни' and PL>1");
        t.setFiltered(true);
        double sum = 0;
        for (t.first(); !t.eof(); t.next()) sum += t.asReal("PL") + t.asInt("OTD") + t.asText("PODOTD").size();
        if (sum < 0) std::printf("?");
    });
    report("filtered walk (" + std::to_string(t.recordCount()) + ")", walk, -1, -1);
}

} // namespace

int main(int argc, char **argv)
{
    int records = 20000, repeat = 5;
    bool keep = false;
    std::string dir = (fs::temp_directory_path() / "dendrix-bench").string();
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--keep") keep = true;
        else if (i + 1 >= argc) break;
        else if (a == "--records") records = std::atoi(argv[++i]);
        else if (a == "--dir") dir = argv[++i];
        else if (a == "--repeat") repeat = std::atoi(argv[++i]);
    }
    std::error_code ec;
    const fs::path self = fs::canonical("/proc/self/exe", ec);
    if (!ec && fs::exists(self.parent_path().parent_path() / "dendrix-cli"))
        cliPath = (self.parent_path().parent_path() / "dendrix-cli").string();
    const std::string dbfRel = "database/bench.dbf";
    keep = keep && fs::exists(dir + "/" + dbfRel);
    if (!keep) {
        std::printf("generating %d sub-compartments in %s ...\n", records, dir.c_str());
        auto t0 = Clock::now();
        DemoOptions o;
        o.records = records;
        createDemoInstallation(dir, o);
        std::printf("  generated in %.0f ms\n", msSince(t0));
    }

    // The first project is the encrypted Paradox table of `records` records; write the
    // same rows as a dBase table beside it.
    Database db(dir);
    db.addPassword(dataPassword());
    std::string pxRel;
    for (auto &e : fs::directory_iterator(dir + "/database")) {
        if (e.path().extension() != ".DB" && e.path().extension() != ".db") continue;
        TableFilePtr t;
        try {
            Database probe(dir);
            t = probe.table("database/" + e.path().filename().string());
        } catch (const PasswordError &) {
            pxRel = "database/" + e.path().filename().string();
        } catch (...) {
        }
    }
    if (pxRel.empty()) {
        std::fprintf(stderr, "no protected Paradox project table found\n");
        return 1;
    }
    if (!keep) { // the same rows as a dBase table beside it
        TableFilePtr px = db.table(pxRel);
        std::vector<FieldDef> fields = px->fields();
        for (auto &f : fields) {
            if (f.type == FieldType::Integer) { f.width = 10; f.decimals = 0; }
            if (f.type == FieldType::Real) { f.width = 12; f.decimals = 2; }
            f.nativeType = 0;
        }
        std::vector<Row> rows;
        rows.reserve(px->rowCount());
        for (size_t r = 0; r < px->rowCount(); ++r) rows.push_back(px->row(r));
        dbf::create(dir + "/" + dbfRel, fields, rows);
        rows.clear();
    }

    benchTable(dir, pxRel, false, repeat);
    benchTable(dir, dbfRel, true, repeat);
    return 0;
}
