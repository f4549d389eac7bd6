// dendrix-cli ogf1, ogf2: the forest fund reports of the current project under an
// ownership choice, each table as the report window's grid shows it; table N: a
// physico-geographic table built into Tables/ and printed as the Lists window shows it.
#include "CliCommon.h"

#include "core/QtText.h"
#include "lists/PhysGeoTables.h"
#include "reports/ForestFund1.h"
#include "reports/ForestFund2.h"

#include <ostream>

namespace dx::cli {
namespace {

const char *const kUsage = "[--ownership KIND] [--purpose general|economic|special]";

// The ownership choice of the arguments; false (with a message) on a usage error.
bool parseChoice(const Context &ctx, const char *command, OwnershipChoice &choice)
{
    const auto &args = ctx.args;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--ownership" && hasValue) {
            choice.byKind = true;
            choice.kind = qs(args[++i]);
            const QString problem = ownershipKindProblem(choice.kind);
            if (!problem.isEmpty()) {
                *ctx.err << "dendrix-cli: \"" << args[i] << "\": " << ss(problem) << '\n';
                return false;
            }
        } else if (args[i] == "--purpose" && hasValue) {
            const auto purpose = purposeFromName(qs(args[++i]));
            if (!purpose) {
                *ctx.err << "dendrix-cli: unknown purpose \"" << args[i] << "\" (general, economic or special)\n";
                return false;
            }
            choice.purpose = *purpose;
        } else {
            *ctx.err << "usage: dendrix-cli [-C DIR] " << command << ' ' << kUsage << '\n';
            return false;
        }
    }
    return true;
}

void writeGrid(const Context &ctx, const QAbstractItemModel &model)
{
    for (int c = 0; c < model.columnCount(); ++c)
        *ctx.out << (c ? "\t" : "") << oneLine(model.headerData(c, Qt::Horizontal).toString());
    *ctx.out << '\n';
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c) *ctx.out << (c ? "\t" : "") << oneLine(gridCellText(model, r, c));
        *ctx.out << '\n';
    }
}

} // namespace

int runOgf1(const Context &ctx)
{
    OwnershipChoice choice;
    if (!parseChoice(ctx, "ogf1", choice)) return 2;
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    const OwnershipFilter filter = buildOwnershipFilter(choice, state.title, state.year);
    const GF1Report report = BuildGF1(state.db, state.projectTablePath, filter);
    if (!report.otherKindsError.isEmpty())
        *ctx.err << "dendrix-cli: the other kinds of land could not be listed: " << oneLine(report.otherKindsError) << '\n';
    auto model = makeGF1Model();
    fillGF1Model(*model, report);
    writeGrid(ctx, *model);
    return 0;
}

int runOgf2(const Context &ctx)
{
    OwnershipChoice choice;
    if (!parseChoice(ctx, "ogf2", choice)) return 2;
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    QStringList errors;
    const auto groups = loadGF2Groups(state.db, state.nomenclaturePath(), &errors);
    const std::vector<GF2Table> tables = BuildGF2(state.db, state.projectTablePath, choice, groups, {kGF2Upper, kGF2Lower});
    const GF2Table &upper = tables[0], &lower = tables[1];
    errors << upper.errors;
    for (const QString &e : errors) *ctx.err << "dendrix-cli: " << oneLine(e) << '\n';
    auto upperModel = makeGF2Model(kGF2Upper), lowerModel = makeGF2Model(kGF2Lower);
    fillGF2Model(*upperModel, upper);
    fillGF2Model(*lowerModel, lower);
    writeGrid(ctx, *upperModel);
    *ctx.out << '\n';
    writeGrid(ctx, *lowerModel);
    return errors.isEmpty() ? 0 : 1;
}

int runTable(const Context &ctx)
{
    Context rest = ctx;
    const int number = ctx.args.empty() ? 0 : physGeoNumberFromName(qs(ctx.args.front()));
    if (!ctx.args.empty()) rest.args.erase(rest.args.begin());
    OwnershipChoice choice;
    if (number == 0) {
        *ctx.err << "usage: dendrix-cli [-C DIR] table 1|1а|2|3|6|7|9|10|12-13 " << kUsage << '\n';
        return 2;
    }
    if (!parseChoice(rest, "table N", choice)) return 2;
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    state.ownership.mode = OwnershipState::Tables;
    state.ownership.choice = choice;
    state.ownership.filter = buildOwnershipFilter(choice, state.title, state.year);
    try {
        const PhysGeoTable table =
            BuildPhysGeoTable(state.db, physGeoSources(state), number, state.ownership.filter);
        DataGridModel model(table.content.columns);
        model.setRows(table.content.rows);
        writeGrid(ctx, model);
    } catch (const PhysGeoError &e) {
        *ctx.err << "dendrix-cli: " << oneLine(e.message().text);
        if (!e.message().detail.isEmpty()) *ctx.err << " (" << oneLine(e.message().detail) << ')';
        *ctx.err << '\n';
        return 1;
    }
    return 0;
}

} // namespace dx::cli
