// Area lists benchmark: the lists of the Lists window on a demo installation, built as
// the window builds them (the project table already loaded, as after the program's
// start), and the dBase save of the species list. Targets at 20,000 records: areas by
// species under 200 ms, every other list under 100 ms, the species list's .dbf save
// under 50 ms.
//
//   dendrix-bench-area-lists [--records N] [--dir DIR] [--runs R]
#include "BenchDemo.h"
#include "core/AppState.h"
#include "core/GridModel.h"
#include "demo/DemoData.h"
#include "lists/AreaLists.h"
#include "lists/ListDbfSave.h"
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
    const dxbench::Options opt = dxbench::options(argc, argv, "dendrix-bench-area-lists");
    const int records = opt.records, runs = opt.runs;
    const std::string &dir = opt.dir;
    dx::AppState state;
    if (!dxbench::loadDemo(opt, state)) return 1;
    const QString table = state.projectTablePath;
    dx::AreasByCompartment(state.db, table);
    const double compartments = dxbench::best(runs, [&] { dx::AreasByCompartment(state.db, table); });
    const double species = dxbench::best(runs, [&] { dx::AreasBySpecies(state.db, table, state.programDir); });
    double attributeWorst = 0;
    int worstNumber = 0;
    for (int n = 1; n <= 21; ++n) {
        const double t = dxbench::best(runs, [&] { dx::AreasByAttribute(state.db, table, n); });
        if (t > attributeWorst) attributeWorst = t, worstNumber = n;
    }
    const dx::AreaList list = dx::AreasBySpecies(state.db, table, state.programDir);
    dx::DataGridModel model(list.content.columns);
    model.setRows(list.content.rows);
    const QString out = QString::fromStdString(dir + "/species-save.dbf");
    const double save = dxbench::best(runs, [&] { dx::Save2Dbf(model, {"TXT", "AREA"}, out); });
    const dx::AreaList byOtd = dx::AreasByCompartment(state.db, table);
    dx::DataGridModel otdModel(byOtd.content.columns);
    otdModel.setRows(byOtd.content.rows);
    const double saveOtd = dxbench::best(runs, [&] { dx::Save2Dbf(otdModel, {"OTD", "P"}, out); });

    std::printf("records: %d (best of %d runs)\n", records, runs);
    std::printf("areas by compartment:          %8.1f ms  (target < 100)\n", compartments);
    std::printf("areas by species:              %8.1f ms  (target < 200)\n", species);
    std::printf("areas by attribute, slowest:   %8.1f ms  (target < 100, attribute %d)\n", attributeWorst, worstNumber);
    std::printf("species list saved as .dbf:    %8.1f ms  (target < 50, %d rows)\n", save, int(list.content.rows.size()));
    std::printf("compartment list saved as .dbf:%8.1f ms  (%d rows)\n", saveOtd, int(byOtd.content.rows.size()));
    return 0;
}
