// Cuttings and OBS sieve benchmark on demo installations: the cuttings sieve's nine
// position lists reloaded (as every show of its window does), a cuttings search to a
// filled result grid, and an OBS run to a filled grid. The table is in the engine's
// cache already, as in the program. Targets at 20,000 records: a search or run under
// 50 ms, the nine lists under 100 ms.
//
//   dendrix-bench-sieves [--records N ...] [--dir DIR] [--runs R]
// Without --records it measures 20,000 and 100,000 records.
#include "core/AppState.h"
#include "core/GridModel.h"
#include "demo/DemoData.h"
#include "shell/Startup.h"
#include "sieves/SieveCuttingSieve.h"
#include "sieves/SieveObs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double best(int runs, F &&f)
{
    double out = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        out = std::min(out, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return out;
}

int measure(int records, const std::string &dir, int runs)
{
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

    dx::CuttingSieve sieve;
    sieve.show(state); // reads the table into the engine's cache, as the program's start does
    const double lists = best(runs, [&] { sieve.show(state); });
    // The most common type of position 1: the largest result the window lists.
    const dx::QueryResult common = state.db.execute(
        "select SECH1, count(*) n from \"" + state.projectTablePath.toStdString() +
        "\" where SECH1 <> \"-\" group by SECH1 order by n desc limit 1");
    if (common.rows.empty()) {
        std::fprintf(stderr, "the demo has no cutting in position 1\n");
        return 1;
    }
    sieve.setType(1, QString::fromStdString(common.rows[0][0].toText()));
    dx::DataGridModel grid;
    int rows = 0;
    const double search = best(runs, [&] {
        sieve.search(state);
        dx::fillCuttingSieveModel(grid, sieve.result());
        rows = grid.rowCount();
    });

    dx::ObsCriteria obs;
    obs[dx::ObsCriterionId::Pl] = QStringLiteral("5");
    int obsRows = 0;
    const double obsRun = best(runs, [&] {
        const dx::ObsRunOutcome r = dx::runObsSieve(state, obs, dx::kInitialSieveLabel);
        dx::fillSieveModel(grid, r.result);
        obsRows = grid.rowCount();
    });

    std::printf("%d records: cuttings lists %.1f ms; cuttings search %.1f ms (%d rows); OBS run %.1f ms (%d rows)\n",
                records, lists, search, rows, obsRun, obsRows);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<int> records;
    int runs = 5;
    std::string dir = (std::filesystem::temp_directory_path() / "dendrix-bench-sieves").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--records") records.push_back(std::atoi(argv[i + 1]));
        else if (opt == "--dir") dir = argv[i + 1];
        else if (opt == "--runs") runs = std::atoi(argv[i + 1]);
    }
    if (records.empty()) records = {20000, 100000};
    for (int n : records)
        if (const int rc = measure(n, dir, runs)) return rc;
    std::filesystem::remove_all(dir);
    return 0;
}
