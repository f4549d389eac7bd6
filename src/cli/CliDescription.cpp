// dendrix-cli header, composition, future, damage: the description view of one
// sub-compartment as text, box by box and row by row, and the wording of damage codes.
#include "CliCommon.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "description/CurrentComposition.h"
#include "description/DamageDecoding.h"
#include "description/DescriptionHeader.h"
#include "description/FutureComposition.h"
#include "description/ProjectRecord.h"
#include "core/UserMessage.h"

#include <optional>
#include <ostream>

namespace dx::cli {
namespace {

// The sub-compartment named by the arguments OTD PODOTD; nothing (with a message)
// when the compartment is not a whole number.
struct Pair {
    int otd = 0;
    QString podotd;
};
std::optional<Pair> pairArgs(const Context &ctx)
{
    std::optional<int> otd = wholeNumber(qs(ctx.args[0]));
    if (!otd) {
        *ctx.err << "dendrix-cli: the compartment \"" << ctx.args[0] << "\" is not a whole number\n";
        return std::nullopt;
    }
    return Pair{*otd, qs(ctx.args[1])};
}

void writeLine(const Context &ctx, const QStringList &cells)
{
    writeCells(*ctx.out, cells);
}

// The steps of every view command: the arguments OTD PODOTD, the installation, the view
// of the pair (nothing when the pair names no single record) and the writing.
template <class View, class Write>
int runView(const Context &ctx, const char *usage, View view, Write write)
{
    if (!wantArgs(ctx, 2, usage)) return 2;
    std::optional<Pair> p = pairArgs(ctx);
    if (!p) return 2;
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    auto result = view(state, p->otd, p->podotd);
    if (!result) {
        *ctx.err << "dendrix-cli: no single record for " << p->otd << ":" << ss(p->podotd) << '\n';
        return 1;
    }
    write(*result);
    return 0;
}

} // namespace

int runHeader(const Context &ctx)
{
    auto view = [](AppState &state, int otd, const QString &podotd) -> std::optional<ViewTaxResult> {
        ViewTaxResult r = ViewTax(state, otd, podotd);
        if (!r.shown) return std::nullopt;
        return r;
    };
    return runView(ctx, "header OTD PODOTD", view, [&](const ViewTaxResult &r) {
        const DescriptionHeader &h = r.header;
        const std::pair<const char *, const QString *> boxes[] = {
            {"caption", &r.caption},   {"EditArea", &h.area},     {"EditGTU", &h.gtu},   {"EditZEM", &h.zem},
            {"EditVP", &h.vp},         {"EditSK", &h.sk},         {"EditSB", &h.sb},     {"EditVG", &h.vg},
            {"EditFUN", &h.fun},       {"MemoPol", &h.pol},       {"MemoSoil", &h.soil}, {"EditMest", &h.mest},
            {"EditSech", &h.sech},     {"EditNasZal", &h.nasZal}, {"EditPP", &h.pp},
        };
        for (const auto &[name, text] : boxes) *ctx.out << name << '\t' << oneLine(*text) << '\n';
    });
}

int runComposition(const Context &ctx)
{
    return runView(ctx, "composition OTD PODOTD", ViewSS, [&](const QVector<CompositionRow> &rows) {
        writeLine(ctx, compositionColumnNames());
        for (const CompositionRow &r : rows) writeLine(ctx, compositionCells(r));
    });
}

int runFuture(const Context &ctx)
{
    return runView(ctx, "future OTD PODOTD", ViewBS, [&](const QVector<FutureRow> &rows) {
        writeLine(ctx, futureColumnNames());
        for (const FutureRow &r : rows) writeLine(ctx, futureCells(r));
    });
}

int runDamage(const Context &ctx)
{
    if (!wantArgs(ctx, 1, "damage CODE")) return 2;
    AppState state;
    state.programDir = qs(ctx.programDir);
    state.db.setProgramDir(ss(state.programDir));
    bool failed = false;
    const QString text = decodeDamage(state, qs(ctx.args[0]), [&](const UserMessage &m) {
        writeMessage(ctx, m);
        failed = true;
    });
    *ctx.out << oneLine(text) << '\n';
    return failed ? 1 : 0;
}

} // namespace dx::cli
