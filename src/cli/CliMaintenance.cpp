// dendrix-cli info, archive, restore, zemtest: the project information and the archive copy of
// the project table, through the same core code as the windows.
#include "CliCommon.h"

#include "core/QtText.h"
#include "maintenance/Archive.h"
#include "maintenance/LandAreaTest.h"
#include "shell/ProjectStatistics.h"

#include <ostream>

namespace dx::cli {

int runInfo(const Context &ctx)
{
    if (!wantArgs(ctx, 0, "info")) return 2;
    AppState st;
    if (!loadInstallation(ctx, st)) return 1;
    try {
        const ProjectStatistics s = computeStatistics(st);
        QString text = statisticsText(st, s);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        *ctx.out << ss(text) << '\n';
    } catch (const std::exception &e) {
        *ctx.err << "dendrix-cli: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

namespace {

int copyCommand(const Context &ctx, bool restore)
{
    if (!wantArgs(ctx, 0, restore ? "restore" : "archive")) return 2;
    AppState st;
    if (!loadInstallation(ctx, st)) return 1;
    const QString table = st.projectTablePath;
    st.projectTable.close();
    try {
        auto progress = [&](qint64 done, qint64 total) {
            if (done == 0 || done == total) *ctx.err << "blocks\t" << done << '\t' << total << '\n';
        };
        if (restore) restoreTable(table, progress);
        else archiveTable(table, progress);
    } catch (const std::exception &e) {
        *ctx.err << "dendrix-cli: " << e.what() << '\n';
        return 1;
    }
    *ctx.out << (restore ? "restored\t" : "archived\t") << ss(restore ? table : archivePath(table)) << '\n';
    return 0;
}

} // namespace

int runArchive(const Context &ctx) { return copyCommand(ctx, false); }
int runRestore(const Context &ctx) { return copyCommand(ctx, true); }

} // namespace dx::cli

namespace dx::cli {

int runZemTest(const Context &ctx)
{
    if (!wantArgs(ctx, 0, "zemtest")) return 2;
    AppState st;
    if (!loadInstallation(ctx, st)) return 1;
    UserMessage failure;
    const std::optional<LandAreaTestResult> r = testLandAreaNames(st, &failure);
    if (!r) {
        writeMessage(ctx, failure);
        return 1;
    }
    if (r->problems == 0) {
        *ctx.out << ss(QStringLiteral("Данните са коректни!")) << '\n';
        return 0;
    }
    for (const QString &line : r->lines) *ctx.out << ss(line) << '\n';
    return 1;
}

} // namespace dx::cli
