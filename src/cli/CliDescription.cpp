// dendrix-cli header, composition, future, damage: the description view of one
// sub-compartment as text, box by box and row by row, and the wording of damage codes.
#include "Cli.h"

#include "core/QtText.h"
#include "description/CurrentComposition.h"
#include "description/DamageDecoding.h"
#include "description/DescriptionHeader.h"
#include "description/FutureComposition.h"
#include "description/ProjectRecord.h"
#include "shell/Startup.h"

#include <QDir>

#include <optional>
#include <ostream>

namespace dx::cli {
namespace {

bool wantArgs(const Context &ctx, size_t n, const char *usage)
{
    if (ctx.args.size() == n) return true;
    *ctx.err << "usage: dendrix-cli [-C DIR] " << usage << '\n';
    return false;
}

// A text on one output line: tabs and line breaks inside it become blanks.
std::string field(const QString &text)
{
    QString t = text;
    for (QChar &c : t)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return ss(t);
}

// The program directory as an absolute path: the tables' paths are made from it and the
// engine resolves relative paths against it again, so a relative -C would count twice.
QString programDir(const Context &ctx)
{
    return QDir(qs(ctx.programDir)).absolutePath();
}

void writeMessage(const Context &ctx, const UserMessage &m)
{
    *ctx.err << field(m.caption) << ": " << field(m.text) << '\n';
    if (!m.detail.isEmpty()) *ctx.err << "  (" << field(m.detail) << ")\n";
}

// The sub-compartment named by the arguments OTD PODOTD; nothing (with a message)
// when the compartment is not a whole number.
struct Pair {
    int otd = 0;
    QString podotd;
};
std::optional<Pair> pairArgs(const Context &ctx)
{
    std::optional<int> otd = compartmentNumber(qs(ctx.args[0]));
    if (!otd) {
        *ctx.err << "dendrix-cli: the compartment \"" << ctx.args[0] << "\" is not a whole number\n";
        return std::nullopt;
    }
    return Pair{*otd, qs(ctx.args[1])};
}

// Loads the installation of the program directory without a window; its messages go to
// stderr. False when the loading stopped or the program would end.
bool load(const Context &ctx, AppState &state)
{
    state.programDir = programDir(ctx);
    QVector<UserMessage> messages;
    StartupOutcome outcome = loadQuietly(state, &messages);
    for (const UserMessage &m : messages) writeMessage(ctx, m);
    if (outcome.endRequested || outcome.stopped) {
        *ctx.err << "dendrix-cli: the installation in " << ctx.programDir << " could not be loaded\n";
        return false;
    }
    return true;
}

void writeLine(const Context &ctx, const QStringList &cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) *ctx.out << (i ? "\t" : "") << field(cells[i]);
    *ctx.out << '\n';
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
    if (!load(ctx, state)) return 1;
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
        for (const auto &[name, text] : boxes) *ctx.out << name << '\t' << field(*text) << '\n';
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
    state.programDir = programDir(ctx);
    state.db.setProgramDir(ss(state.programDir));
    bool failed = false;
    const QString text = decodeDamage(state, qs(ctx.args[0]), [&](const UserMessage &m) {
        writeMessage(ctx, m);
        failed = true;
    });
    *ctx.out << field(text) << '\n';
    return failed ? 1 : 0;
}

} // namespace dx::cli
