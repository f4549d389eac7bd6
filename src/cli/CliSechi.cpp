// dendrix-cli cuttings-list, measures-list: the list of cuttings and the list of
// afforestation measures of the current project, as the list window's grid shows them,
// optionally narrowed to one value of one attribute.
#include "CliCommon.h"

#include "core/GridModel.h"
#include "core/QtText.h"
#include "core/Quoting.h"
#include "lists/SechiLists.h"

#include <ostream>

namespace dx::cli {
namespace {

const char *const kUsage = "[--attribute N --value V]";

// The filter of the arguments; false (with the usage) on a usage error.
bool parseFilter(const Context &ctx, const char *command, SechiFilter &filter)
{
    const auto &args = ctx.args;
    bool hasAttribute = false, hasValue = false;
    bool ok = true;
    for (size_t i = 0; ok && i < args.size(); ++i) {
        if (args[i] == "--attribute" && i + 1 < args.size()) {
            const std::optional<int> n = wholeNumber(qs(args[++i]));
            ok = n && *n >= 1 && *n <= sechiAttributes().size();
            if (ok) filter.attribute = *n;
            hasAttribute = true;
        } else if (args[i] == "--value" && i + 1 < args.size()) {
            filter.value = qs(args[++i]);
            hasValue = true;
        } else {
            ok = false;
        }
    }
    if (ok && hasAttribute == hasValue) return true;
    *ctx.err << "usage: dendrix-cli [-C DIR] " << command << ' ' << kUsage << "\n"
             << "  N: the attribute's number, 1 to " << sechiAttributes().size() << ":\n";
    for (qsizetype i = 0; i < sechiAttributes().size(); ++i)
        *ctx.err << "  " << (i + 1) << ' ' << ss(sechiAttributes()[i].label) << '\n';
    return false;
}

int runList(const Context &ctx, const char *command, SechiMode mode)
{
    SechiFilter filter;
    if (!parseFilter(ctx, command, filter)) return 2;
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    SechiLists lists(state.db, state.projectTablePath, state.landArea);
    const SechiList list = lists.build(mode, filter);
    if (!list.built) {
        *ctx.err << "dendrix-cli: the list could not be made";
        if (!list.statement.isEmpty()) *ctx.err << " (" << oneLine(list.statement) << ')';
        *ctx.err << '\n';
        return 1;
    }
    DataGridModel model(list.columns);
    model.setRows(list.rows);
    QStringList titles;
    for (int c = 0; c < model.columnCount(); ++c) titles << model.headerData(c, Qt::Horizontal).toString();
    writeCells(*ctx.out, titles);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) cells << gridCellText(model, r, c);
        writeCells(*ctx.out, cells);
    }
    return 0;
}

} // namespace

int runCuttingsList(const Context &ctx)
{
    return runList(ctx, "cuttings-list", SechiMode::Cuttings);
}

int runMeasuresList(const Context &ctx)
{
    return runList(ctx, "measures-list", SechiMode::Measures);
}

} // namespace dx::cli
