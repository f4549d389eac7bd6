// Forest fund reports benchmark: ОГФ 1 and ОГФ 2 (both tables) on a demo installation,
// built as the report windows build them (a fresh load of the table per build is not
// counted: the program has it loaded). Targets at 20,000 records: ОГФ 1 under 100 ms,
// ОГФ 2 under 200 ms.
//
//   dendrix-bench-forest-fund [--records N] [--dir DIR] [--runs R]
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

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

template <class F>
double best(int runs, F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        times.push_back(msSince(t0));
    }
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char **argv)
{
    int records = 20000, runs = 5;
    std::string dir = (std::filesystem::temp_directory_path() / "dendrix-bench-forest-fund").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--records") records = std::atoi(argv[i + 1]);
        else if (opt == "--dir") dir = argv[i + 1];
        else if (opt == "--runs") runs = std::atoi(argv[i + 1]);
    }
    dx::DemoOptions o;
    o.records = records;
    std::filesystem::remove_all(dir);
    dx::createDemoInstallation(dir, o);

    dx::AppState state;
    state.programDir = QString::fromStdString(dir);
    const dx::StartupOutcome loaded = dx::loadQuietly(state, nullptr);
    if (loaded.endRequested || loaded.stopped) {
        std::fprintf(stderr, "the demo installation could not be loaded\n");
        return 1;
    }
    const dx::OwnershipChoice all;
    const dx::OwnershipFilter filter = dx::buildOwnershipFilter(all, state.title, state.year);
    dx::OwnershipChoice special;
    special.byKind = true;
    special.kind = QStringLiteral("държавна");
    special.purpose = dx::Purpose::Special;
    const dx::OwnershipFilter specialFilter = dx::buildOwnershipFilter(special, state.title, state.year);

    // The first build reads the table into the engine's cache, as the program's start does.
    dx::BuildGF1(state.db, state.projectTablePath, filter);
    const double gf1 = best(runs, [&] { dx::BuildGF1(state.db, state.projectTablePath, filter); });
    const double gf1Special = best(runs, [&] { dx::BuildGF1(state.db, state.projectTablePath, specialFilter); });
    const double gf2 = best(runs, [&] {
        const auto groups = dx::loadGF2Groups(state.db, state.nomenclaturePath(), nullptr);
        dx::BuildGF2(state.db, state.projectTablePath, all, groups, {dx::kGF2Upper, dx::kGF2Lower});
    });
    const double gf2Special = best(runs, [&] {
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
