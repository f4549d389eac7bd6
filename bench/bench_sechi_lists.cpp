// Lists of cuttings and of afforestation measures benchmark: each list over the whole
// project and narrowed to one attribute value (the first "Стопански клас", and the first
// land area through the land-area nomenclature), built as the list window builds them
// (the table is already loaded, as in the program). Target at 20,000 records: every list
// under 100 ms.
//
//   dendrix-bench-sechi-lists [--records N] [--dir DIR] [--runs R]
#include "BenchDemo.h"
#include "core/AppState.h"
#include "demo/DemoData.h"
#include "lists/SechiLists.h"
#include "shell/Startup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Best wall time and best processor time of the runs, in ms. On a busy machine the
// processor time says what the list costs when the program has a core to itself.
struct Times {
    double wall, cpu;
};

template <class F>
Times best(int runs, F &&f)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        const std::clock_t c0 = std::clock();
        f();
        cpu.push_back(1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC);
        wall.push_back(msSince(t0));
    }
    return {*std::min_element(wall.begin(), wall.end()), *std::min_element(cpu.begin(), cpu.end())};
}

void show(const char *what, Times t)
{
    std::printf("%-34s %8.1f ms  (processor %6.1f ms)\n", what, t.wall, t.cpu);
}

} // namespace

int main(int argc, char **argv)
{
    const dxbench::Options opt = dxbench::options(argc, argv, "dendrix-bench-sechi-lists");
    const int records = opt.records, runs = opt.runs;
    dx::AppState state;
    if (!dxbench::loadDemo(opt, state)) return 1;
    dx::SechiLists lists(state.db, state.projectTablePath, state.landArea);
    const QStringList classes = lists.attributeValues(3);
    const QStringList landAreas = lists.attributeValues(dx::kSechiLandAreaAttribute);
    const dx::SechiFilter all;
    const dx::SechiFilter byClass{3, classes.value(0)};
    const dx::SechiFilter byLandArea{dx::kSechiLandAreaAttribute, landAreas.value(0)};

    // The first list reads the table into the engine's cache, as the program's start does.
    const dx::SechiList cuttings = lists.SpisakSechi(all);
    const dx::SechiList measures = lists.SpisakMeropr(all);
    const Times c = best(runs, [&] { lists.SpisakSechi(all); });
    const Times cClass = best(runs, [&] { lists.SpisakSechi(byClass); });
    const Times cLand = best(runs, [&] { lists.SpisakSechi(byLandArea); });
    const Times m = best(runs, [&] { lists.SpisakMeropr(all); });
    const Times mClass = best(runs, [&] { lists.SpisakMeropr(byClass); });
    const Times mLand = best(runs, [&] { lists.SpisakMeropr(byLandArea); });
    const Times values = best(runs, [&] { lists.attributeValues(3); });

    std::printf("records %d (best of %d runs); %d cuttings, %d measures\n", records, runs, cuttings.rowCount(),
                measures.rowCount());
    show("list of cuttings, all:", c);
    show("list of cuttings, one class:", cClass);
    show("list of cuttings, one land area:", cLand);
    show("list of measures, all:", m);
    show("list of measures, one class:", mClass);
    show("list of measures, one land area:", mLand);
    show("values of an attribute:", values);
    return 0;
}
