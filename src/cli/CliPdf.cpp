// dendrix-cli pdf: descriptions and pre-compartment sheets written to one PDF file with
// the renderer the printer uses, one description per page.
#include "CliCommon.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "core/SafeFileWrite.h"
#include "printing/DescriptionComposer.h"
#include "printing/DescriptionRange.h"
#include "printing/PrintRun.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>

namespace dx::cli {
namespace {

const char kUsage[] = "pdf OUT.pdf [--branches] [--sheets] OTD PODOTD | --from A --to B | --sheet OTD";

// Fonts need an application object; without a display the offscreen platform serves.
std::unique_ptr<QGuiApplication> guiApplication()
{
    if (QGuiApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "dendrix-cli";
    static char *argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

struct PdfArgs {
    QString out;
    bool branches = false, sheets = false;
    std::optional<int> from, to, sheet;
    std::optional<RangeEntry> one;
};

std::optional<int> number(const Context &ctx, const std::string &text)
{
    std::optional<int> n = wholeNumber(qs(text));
    if (!n) *ctx.err << "dendrix-cli: the compartment \"" << text << "\" is not a whole number\n";
    return n;
}

std::optional<PdfArgs> parse(const Context &ctx)
{
    PdfArgs a;
    std::vector<std::string> plain;
    const auto &args = ctx.args;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &s = args[i];
        auto value = [&](std::optional<int> &into) {
            if (i + 1 >= args.size()) return false;
            into = number(ctx, args[++i]);
            return into.has_value();
        };
        if (s == "--branches") a.branches = true;
        else if (s == "--sheets") a.sheets = true;
        else if (s == "--from") { if (!value(a.from)) return std::nullopt; }
        else if (s == "--to") { if (!value(a.to)) return std::nullopt; }
        else if (s == "--sheet") { if (!value(a.sheet)) return std::nullopt; }
        else if (s.size() > 2 && s.rfind("--", 0) == 0) return std::nullopt;
        else plain.push_back(s);
    }
    if (plain.empty()) return std::nullopt;
    a.out = qs(plain[0]);
    plain.erase(plain.begin());
    const bool range = a.from || a.to;
    if (range && (!a.from || !a.to)) return std::nullopt;
    const int modes = int(range) + int(a.sheet.has_value()) + int(!plain.empty());
    if (modes != 1) return std::nullopt;
    if (!plain.empty()) {
        if (plain.size() != 2) return std::nullopt;
        std::optional<int> otd = number(ctx, plain[0]);
        if (!otd) return std::nullopt;
        a.one = RangeEntry{*otd, qs(plain[1])};
    }
    return a;
}

} // namespace

int runPdf(const Context &ctx)
{
    std::optional<PdfArgs> a = parse(ctx);
    if (!a) {
        *ctx.err << "usage: dendrix-cli [-C DIR] " << kUsage << '\n';
        return 2;
    }
    std::unique_ptr<QGuiApplication> app = guiApplication();
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    auto report = [&](const UserMessage &m) { writeMessage(ctx, m); };
    try {
        PdfFileSink sink(a->out);
        if (a->sheet) {
            if (!printSheet(state, *a->sheet, sink, report)) return 1;
        } else {
            QVector<RangeEntry> entries;
            if (a->one) {
                entries = {*a->one};
            } else {
                std::optional<QVector<RangeEntry>> range = resolveRange(state, *a->from, *a->to, report);
                if (!range) return 1;
                entries = *range;
            }
            DescriptionComposer composer(state);
            composer.setWithBranches(a->branches);
            PrintRunOptions options;
            options.sheets = a->sheets;
            options.report = report;
            const PrintRunResult r = printDescriptions(state, composer, entries, sink, options);
            if (r.descriptions == 0) return 1;
            *ctx.out << r.descriptions << " descriptions, " << r.sheets << " sheets, ";
        }
        sink.finish();
        *ctx.out << sink.pagesPainted() << " pages: " << ss(a->out) << '\n';
    } catch (const FileWriteError &e) {
        writeMessage(ctx, fileWriteMessage(e));
        return 1;
    }
    return 0;
}

} // namespace dx::cli
