#include "CliCommon.h"

#include "core/QtText.h"

#include <ostream>

namespace dx::cli {

bool wantArgs(const Context &ctx, size_t n, const char *usage)
{
    if (ctx.args.size() == n) return true;
    *ctx.err << "usage: dendrix-cli [-C DIR] " << usage << '\n';
    return false;
}

std::string oneLine(const QString &text)
{
    QString t = text;
    for (QChar &c : t)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return ss(t);
}

void writeCells(std::ostream &out, const QStringList &cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) out << (i ? "\t" : "") << oneLine(cells[i]);
    out << '\n';
}

void writeMessage(const Context &ctx, const UserMessage &m)
{
    *ctx.err << oneLine(m.caption) << ": " << oneLine(m.text) << '\n';
    if (!m.detail.isEmpty()) *ctx.err << "  (" << oneLine(m.detail) << ")\n";
}

bool loadInstallation(const Context &ctx, AppState &state)
{
    state.programDir = qs(ctx.programDir);
    QVector<UserMessage> messages;
    const StartupOutcome outcome = loadQuietly(state, &messages);
    for (const UserMessage &m : messages) writeMessage(ctx, m);
    if (outcome.endRequested || outcome.stopped) {
        *ctx.err << "dendrix-cli: the installation in " << ctx.programDir << " could not be loaded\n";
        return false;
    }
    return true;
}

} // namespace dx::cli
