// `dendrix-cli sql "STATEMENT"`: one local SQL statement, TAB-separated rows on stdout.
#include "Cli.h"

#include "core/DataPassword.h"
#include "engine/common/EngineError.h"
#include "engine/sql/Database.h"

#include <ostream>

namespace dx::cli {

int runSql(const Context &ctx)
{
    if (ctx.args.size() != 1) {
        *ctx.err << "usage: dendrix-cli [-C DIR] sql \"STATEMENT\"\n";
        return 2;
    }
    Database db(ctx.programDir);
    db.addPassword(dataPassword());
    try {
        QueryResult r = db.execute(ctx.args[0]);
        std::ostream &out = *ctx.out;
        for (size_t i = 0; i < r.columns.size(); ++i) out << (i ? "\t" : "") << r.columns[i];
        out << "\n";
        for (const Row &row : r.rows) {
            for (size_t i = 0; i < row.size(); ++i) out << (i ? "\t" : "") << row[i].toText();
            out << "\n";
        }
    } catch (const EngineError &e) {
        *ctx.err << "dendrix-cli: " << e.what() << "\n";
        return 1;
    }
    // Rows from a table read only in part are never passed off as the whole answer.
    const std::vector<std::string> damage = db.damageNotes();
    for (const std::string &note : damage) *ctx.err << "dendrix-cli: damaged table, rows missing: " << note << "\n";
    return damage.empty() ? 0 : 1;
}

} // namespace dx::cli
