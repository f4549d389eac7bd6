// Physico-geographic tables benchmark: each table built as the selection window builds
// it (the sums, the .dbf and the .txt under Tables/) on a demo installation whose project
// table the program already holds loaded. Targets at 20,000 records: table 10 under
// 200 ms, every other table under 100 ms.
//
//   dendrix-bench-physgeo [--records N] [--dir DIR] [--runs R]
#include "BenchDemo.h"
#include "core/AppState.h"
#include "demo/DemoData.h"
#include "lists/PhysGeoTables.h"
#include "shell/Startup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    const dxbench::Options opt = dxbench::options(argc, argv, "dendrix-bench-physgeo");
    const int records = opt.records, runs = opt.runs;
        dx::AppState state;
    if (!dxbench::loadDemo(opt, state)) return 1;
    const dx::PhysGeoSources sources = dx::physGeoSources(state);
    const dx::OwnershipFilter all = dx::buildOwnershipFilter({}, state.title, state.year);
    dx::OwnershipChoice special;
    special.byKind = true;
    special.kind = QStringLiteral("държавна");
    special.purpose = dx::Purpose::Special;
    const dx::OwnershipFilter one = dx::buildOwnershipFilter(special, state.title, state.year);

    // The first build reads the table into the engine's cache, as the program's start does.
    dx::BuildPhysGeoTable(state.db, sources, 2, all);
    std::printf("records %d (best of %d runs)   all kinds   one kind, special   sums only   shown again\n", records,
                runs);
    for (const auto &[number, name] : std::vector<std::pair<int, const char *>>{
             {1, "1"}, {15, "1а"}, {2, "2"}, {3, "3"}, {6, "6"}, {7, "7"}, {9, "9"}, {10, "10"}, {12, "12-13"}}) {
        try {
            const double a = dxbench::best(runs, [&] { dx::BuildPhysGeoTable(state.db, sources, number, all); });
            const double b = dxbench::best(runs, [&] { dx::BuildPhysGeoTable(state.db, sources, number, one); });
            const double s = dxbench::best(runs, [&] { dx::ComputePhysGeoTable(state.db, sources, number, all); });
            const double c = dxbench::best(runs, [&] { dx::LoadPhysGeoTable(sources, number, all); });
            std::printf("table %-6s %27.1f ms %14.1f ms %8.1f ms %10.1f ms\n", name, a, b, s, c);
        } catch (const dx::PhysGeoError &e) {
            std::fprintf(stderr, "table %s: %s\n", name, e.what());
            return 1;
        }
    }
    return 0;
}
