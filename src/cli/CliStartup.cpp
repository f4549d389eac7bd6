// dendrix-cli startup, branchwood, zemname, zemnumber: the loading sequence without a
// window, and the reference lookups it makes possible.
#include "CliCommon.h"

#include "core/Paths.h"
#include "core/ProfileFile.h"
#include "core/Quoting.h"
#include "core/QtText.h"
#include "description/Nomenclature.h"
#include "shell/Startup.h"

#include <ostream>

namespace dx::cli {
namespace {

class PrintingUi : public StartupUi {
public:
    explicit PrintingUi(const Context &ctx) : ctx_(ctx) {}
    void message(const UserMessage &m) override
    {
        *ctx_.out << "message\t" << oneLine(m.caption) << '\t' << oneLine(m.text) << '\n';
        if (!m.detail.isEmpty()) *ctx_.err << "  (" << oneLine(m.detail) << ")\n";
    }
    void captionChanged() override { caption = state->caption(); }
    void countsChanged(const QString &text) override { counts = text; }

    QString caption = QStringLiteral("Dendrix ");
    QString counts;

private:
    const Context &ctx_;
};

// Reads the settings file's project keys into the state; false (with a message) when
// the file is missing or unreadable.
bool readProjectSettings(const Context &ctx, AppState &st)
{
    const QString path = st.settingsPath();
    if (!fileExists(path)) {
        *ctx.err << "dendrix-cli: " << ss(path) << ": the settings file is missing\n";
        return false;
    }
    try {
        st.settings = readStartupSettings(ProfileFile::load(diskPath(path)));
    } catch (const std::exception &e) {
        *ctx.err << "dendrix-cli: " << e.what() << '\n';
        return false;
    }
    st.zemFileName = st.settings.project.zemnom;
    return true;
}

} // namespace

int runStartup(const Context &ctx)
{
    if (!wantArgs(ctx, 0, "startup")) return 2;
    AppState st;
    st.programDir = qs(ctx.programDir);
    PrintingUi ui(ctx);
    StartupOutcome outcome = runLoadingSequence(st, ui);
    const NavigationLists &l = st.lists;
    *ctx.out << "caption\t" << ss(ui.caption) << '\n';
    *ctx.out << "compartments\t" << st.firstOtd << '\t' << st.lastOtd << '\t' << l.compartments.size() << '\n';
    *ctx.out << "subcompartments\t" << ss(l.subCompartments.join(QLatin1Char(','))) << '\n';
    *ctx.out << "status\t" << ss(ui.counts) << '\n';
    if (outcome.endRequested) return 1;
    if (outcome.stopped) return 2;
    // The lists and counts above hold only what a damaged table let us read.
    return outcome.damaged ? 1 : 0;
}

int runBranchWood(const Context &ctx)
{
    if (!wantArgs(ctx, 3, "branchwood SPECIES ORIGIN HEIGHT")) return 2;
    const std::optional<int> origin = wholeNumber(qs(ctx.args[1]));
    const std::optional<int> height = wholeNumber(qs(ctx.args[2]));
    if (!origin || !height) {
        *ctx.err << "dendrix-cli: ORIGIN and HEIGHT must be whole numbers\n";
        return 2;
    }
    AppState st;
    st.programDir = qs(ctx.programDir);
    const QString path = st.path(QStringLiteral("kloni.dbf"));
    st.branchWood.setPath(ss(diskPath(path)));
    try {
        st.branchWood.open();
        st.branchWood.setFiltered(true);
    } catch (const std::exception &e) {
        *ctx.err << "dendrix-cli: " << e.what() << '\n';
        return 1;
    }
    *ctx.out << branchWoodPercent(st.branchWood, qs(ctx.args[0]), *origin, *height) << '\n';
    return 0;
}

int runZemName(const Context &ctx)
{
    if (!wantArgs(ctx, 1, "zemname NUMBER")) return 2;
    const std::optional<int> number = wholeNumber(qs(ctx.args[0]));
    if (!number) {
        *ctx.err << "dendrix-cli: NUMBER must be a whole number\n";
        return 2;
    }
    AppState st;
    st.programDir = qs(ctx.programDir);
    if (!readProjectSettings(ctx, st)) return 1;
    openLandArea(st);
    *ctx.out << ss(landAreaName(st.landArea, *number)) << '\n';
    return 0;
}

int runZemNumber(const Context &ctx)
{
    if (!wantArgs(ctx, 1, "zemnumber NAME")) return 2;
    AppState st;
    st.programDir = qs(ctx.programDir);
    if (!readProjectSettings(ctx, st)) return 1;
    openLandArea(st);
    *ctx.out << landAreaNumber(st.landArea, qs(ctx.args[0])) << '\n';
    return 0;
}

} // namespace dx::cli
