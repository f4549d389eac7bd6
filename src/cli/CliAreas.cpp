// dendrix-cli areas: the area lists of the Lists window, titles first, each row's cells
// as the grid shows them; --chart draws the list's chart as the window's view does.
#include "CliCommon.h"

#include "core/GridModel.h"
#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "lists/AreaChart.h"
#include "lists/AreaLists.h"
#ifdef DX_AREA_CHARTS
#include "lists/GuiAreaChart.h"

#include <QApplication>
#endif

#include <cstdlib>
#include <ostream>

namespace dx::cli {
namespace {

const char *const kUsage = "areas compartments|species|attribute N [--chart OUT.png|OUT.svg]";

void writeList(const Context &ctx, const ListContent &content)
{
    DataGridModel model(content.columns);
    model.setRows(content.rows);
    QStringList titles;
    for (const GridColumn &c : content.columns) titles << c.title;
    writeCells(*ctx.out, titles);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) cells << model.displayText(r, c);
        writeCells(*ctx.out, cells);
    }
}

bool drawChart(const Context &ctx, const AreaList &list, const std::string &path)
{
#ifdef DX_AREA_CHARTS
    // The chart is drawn by Qt Charts, which wants an application object; no screen is
    // needed.
    if (!QApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "dendrix-cli";
        static char *argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
    try {
        saveAreaChart(areaChartData(list.content, list.caption, {}), qs(path));
        return true;
    } catch (const FileWriteError &e) {
        *ctx.err << "dendrix-cli: " << oneLine(e.message()) << '\n';
        return false;
    }
#else
    (void)list;
    (void)path;
    *ctx.err << "dendrix-cli: this build draws no charts\n";
    return false;
#endif
}

} // namespace

int runAreas(const Context &ctx)
{
    std::vector<std::string> args;
    std::string chart;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == "--chart" && i + 1 < ctx.args.size()) chart = ctx.args[++i];
        else args.push_back(ctx.args[i]);
    }
    int number = 0;
    const bool attribute = args.size() == 2 && args[0] == "attribute";
    if (attribute) {
        char *end = nullptr;
        const long n = std::strtol(args[1].c_str(), &end, 10);
        if (*end == 0 && n >= 1 && n <= 21) number = int(n);
    }
    const bool plain = args.size() == 1 && (args[0] == "compartments" || args[0] == "species");
    if (!plain && number == 0) {
        *ctx.err << "usage: dendrix-cli [-C DIR] " << kUsage << " (N: 1 to 21)\n";
        return 2;
    }
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    AreaList list;
    try {
        if (attribute) {
            const QString landArea = state.landArea.active() ? qs(state.landArea.path()) : QString();
            list = AreasByAttribute(state.db, state.projectTablePath, number, landArea);
        } else if (args[0] == "compartments") {
            list = AreasByCompartment(state.db, state.projectTablePath);
        } else {
            list = AreasBySpecies(state.db, state.projectTablePath, state.programDir);
        }
    } catch (const FileWriteError &e) {
        *ctx.err << "dendrix-cli: " << oneLine(e.message()) << '\n';
        return 1;
    }
    writeList(ctx, list.content);
    if (!chart.empty() && !drawChart(ctx, list, chart)) return 1;
    return 0;
}

} // namespace dx::cli
