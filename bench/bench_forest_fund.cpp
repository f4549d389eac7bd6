// Forest fund reports benchmark: ОГФ 1 and ОГФ 2 (both tables) on a demo installation,
// built as the report windows build them (a fresh load of the table per build is not
// counted: the program has it loaded). Targets at 20,000 records: ОГФ 1 under 100 ms,
// ОГФ 2 under 200 ms.
//
//   dendrix-bench-forest-fund [--records N] [--dir DIR] [--runs R]
#include "BenchDemo.h"
#include "core/AppState.h"
#include "demo/DemoData.h"
#include "reports/ForestFund1.h"
#include "reports/ForestFund2.h"
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
    const dxbench::Options opt = dxbench::options(argc, argv, "dendrix-bench-forest-fund");
    const int records = opt.records, runs = opt.runs;
        dx::AppState state;
    if (!dxbench::loadDemo(opt, state)) return 1;
    const dx::OwnershipChoice all;
    const dx::OwnershipFilter filter = dx::buildOwnershipFilter(all, state.title, state.year);
    dx::OwnershipChoice special;
    special.byKind = true;
    special.kind = QStringLiteral("държавна");
    special.purpose = dx::Purpose::Special;
    const dx::OwnershipFilter specialFilter = dx::buildOwnershipFilter(special, state.title, state.year);

    // The first build reads the table into the engine's cache, as the program's start does.
    dx::BuildGF1(state.db, state.projectTablePath, filter);
    const double gf1 = dxbench::best(runs, [&] { dx::BuildGF1(state.db, state.projectTablePath, filter); });
    const double gf1Special = dxbench::best(runs, [&] { dx::BuildGF1(state.db, state.projectTablePath, specialFilter); });
    const double gf2 = dxbench::best(runs, [&] {
        const auto groups = dx::loadGF2Groups(state.db, state.nomenclaturePath(), nullptr);
        dx::BuildGF2(state.db, state.projectTablePath, all, groups, {dx::kGF2Upper, dx::kGF2Lower});
    });
    const double gf2Special = dxbench::best(runs, [&] {
        const auto groups = dx::loadGF2Groups(state.db, state.nomenclaturePath(), nullptr);
        dx::BuildGF2(state.db, state.projectTablePath, special, groups, {dx::kGF2Upper, dx::kGF2Lower});
    });
    std::printf("records %d (best of %d runs)\n", records, runs);
    std::printf("ОГФ 1, all kinds:                 %8.1f ms\n", gf1);
    std::printf("ОГФ 1, one kind, special purpose: %8.1f ms\n", gf1Special);
    std::printf("ОГФ 2, both tables, all kinds:    %8.1f ms\n", gf2);
    std::printf("ОГФ 2, both tables, one kind:     %8.1f ms\n", gf2Special);
    return 0;
}
