// dendrix-cli measures: the cutting and afforestation rows of one sub-compartment.
#include "CliCommon.h"

#include "core/Paths.h"
#include "core/QtText.h"
#include "core/Quoting.h"
#include "description/Measures.h"
#include "description/ProjectRecord.h"

#include <ostream>

namespace dx::cli {
namespace {

// One block: the field names (KEY left out), then the rows with that key. A table
// that does not exist yet has no rows; it is not created here.
bool printBlock(const Context &ctx, AppState &st, const MeasureTableDef &def, const QString &key)
{
    QStringList names;
    for (const MeasureColumn &c : def.fields)
        if (c.field != QStringLiteral("KEY")) names << c.field;
    writeCells(*ctx.out, names);
    const QString path = st.path(def.fileName);
    if (!fileExists(path)) return true;
    Table t(st.db);
    try {
        t.setPath(ss(diskPath(path)));
        t.open();
        t.setFilter(ss(QStringLiteral("KEY=") + filterQuoted(key)));
        t.setFiltered(true);
        for (t.first(); !t.eof(); t.next()) {
            QStringList cells;
            for (const QString &n : names) cells << qs(t.value(ss(n)).toText());
            writeCells(*ctx.out, cells);
        }
    } catch (const std::exception &e) {
        *ctx.err << "dendrix-cli: " << e.what() << '\n';
        return false;
    }
    return true;
}

} // namespace

int runMeasures(const Context &ctx)
{
    if (!wantArgs(ctx, 2, "measures OTD PODOTD")) return 2;
    std::optional<int> otd = wholeNumber(qs(ctx.args[0]));
    if (!otd) {
        *ctx.err << "dendrix-cli: the compartment \"" << ctx.args[0] << "\" is not a whole number\n";
        return 2;
    }
    AppState st;
    st.programDir = qs(ctx.programDir);
    st.db.setProgramDir(ctx.programDir);
    const QString key = measureKey(QString::number(*otd), qs(ctx.args[1]));
    bool ok = printBlock(ctx, st, cuttingMeasures(), key);
    ok = printBlock(ctx, st, afforestationMeasures(), key) && ok;
    return ok ? 0 : 1;
}

} // namespace dx::cli
