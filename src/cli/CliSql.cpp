// `dendrix-cli sql "STATEMENT"`: one local SQL statement, TAB-separated rows on stdout,
// each row written as SQLite steps to it, so that memory stays flat whatever the size
// of the result.
#include "Cli.h"

#include "core/DataPassword.h"
#include "core/NumberFormat.h"
#include "engine/common/EngineError.h"
#include "engine/sql/Database.h"

#include <ostream>

namespace dx::cli {

namespace {

// A cell as the sqlite3 shell shows it: a computed real with at most 15 significant
// digits, trailing zeros dropped; everything else in the engine's own text form.
std::string cellText(const Value &v)
{
    if (v.kind == Value::Real) return computedRealText(v.d).toStdString();
    return v.toText();
}

} // namespace

int runSql(const Context &ctx)
{
    if (ctx.args.size() != 1) {
        *ctx.err << "usage: dendrix-cli [-C DIR] sql \"STATEMENT\"\n";
        return 2;
    }
    Database db(ctx.programDir);
    db.addPassword(dataPassword());
    std::ostream &out = *ctx.out;
    try {
        auto cursor = db.open(ctx.args[0]);
        const auto &columns = cursor->columns();
        std::string line;
        for (size_t i = 0; i < columns.size(); ++i) (line += i ? "\t" : "") += columns[i];
        out << line << '\n';
        for (; !cursor->eof(); cursor->next()) {
            line.clear();
            for (size_t i = 0; i < columns.size(); ++i) (line += i ? "\t" : "") += cellText(cursor->value(i));
            out << line << '\n';
        }
    } catch (const EngineError &e) {
        out.flush();
        *ctx.err << "dendrix-cli: " << e.what() << "\n";
        return 1;
    }
    // Rows from a table read only in part are never passed off as the whole answer.
    const std::vector<std::string> damage = db.damageNotes();
    for (const std::string &note : damage) *ctx.err << "dendrix-cli: damaged table, rows missing: " << note << "\n";
    return damage.empty() ? 0 : 1;
}

} // namespace dx::cli
