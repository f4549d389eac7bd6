// dendrix-cli demo DIR [--records N] [--seed S] [--force]: creates the demo installation.
#include "Cli.h"

#include "demo/DemoData.h"

#include <charconv>
#include <ostream>

namespace dx::cli {
namespace {

template <class T>
bool parseNumber(const std::string &text, T &out)
{
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

int usageError(const Context &ctx, const std::string &message)
{
    *ctx.err << "dendrix-cli demo: " << message << "\n"
             << "usage: dendrix-cli demo DIR [--records N] [--seed S] [--force]\n";
    return 2;
}

} // namespace

int runDemo(const Context &ctx)
{
    DemoOptions options;
    std::string dir;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string &a = ctx.args[i];
        if (a == "--records" || a == "--seed") {
            if (i + 1 >= ctx.args.size()) return usageError(ctx, a + " needs a value");
            const std::string &v = ctx.args[++i];
            if (a == "--records") {
                // The most the project table's format holds, checked before anything is written.
                const int most = maxDemoRecords();
                if (!parseNumber(v, options.records) || options.records < kMinRecords || options.records > most)
                    return usageError(ctx, "--records must be a whole number from " + std::to_string(kMinRecords) +
                                               " to " + std::to_string(most) +
                                               " (the Paradox project table holds at most 65535 blocks), not \"" +
                                               v + "\"");
            } else if (!parseNumber(v, options.seed)) {
                return usageError(ctx, "--seed must be a whole number from 0 to 4294967295, not \"" + v + "\"");
            }
        } else if (a == "--force") {
            options.force = true;
        } else if (!a.empty() && a[0] == '-') {
            return usageError(ctx, "unknown option " + a);
        } else if (dir.empty()) {
            dir = a;
        } else {
            return usageError(ctx, "only one directory may be given");
        }
    }
    if (dir.empty()) return usageError(ctx, "the directory is missing");
    try {
        createDemoInstallation(dir, options);
    } catch (const std::exception &e) {
        *ctx.err << "dendrix-cli demo: " << e.what() << "\n";
        return 1;
    }
    *ctx.out << "demo installation created in " << dir << " (" << options.records
             << " sub-compartments in the default project, seed " << options.seed << ")\n";
    return 0;
}

} // namespace dx::cli
