// What the benches of the windows' work share: their options (--records N, --dir DIR,
// --runs R), the demo installation made anew and loaded as the program's start loads it,
// and the best wall time of a number of runs.
#pragma once

#include "core/AppState.h"
#include "demo/DemoData.h"
#include "shell/Startup.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace dxbench {

struct Options {
    int records = 20000;
    int runs = 5;
    std::string dir; // the demo installation, made anew
};

// The command line's options; `dir` defaults to a folder named `name` under the
// temporary folder.
inline Options options(int argc, char **argv, const char *name, int runs = 5)
{
    Options o;
    o.runs = runs;
    o.dir = (std::filesystem::temp_directory_path() / name).string();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--records") o.records = std::atoi(argv[i + 1]);
        else if (opt == "--dir") o.dir = argv[i + 1];
        else if (opt == "--runs") o.runs = std::atoi(argv[i + 1]);
    }
    return o;
}

// Makes the demo installation in o.dir and loads it into `state`; false (said on stderr)
// when it cannot be loaded.
inline bool loadDemo(const Options &o, dx::AppState &state)
{
    dx::DemoOptions demo;
    demo.records = o.records;
    std::filesystem::remove_all(o.dir);
    dx::createDemoInstallation(o.dir, demo);
    state.programDir = QString::fromStdString(o.dir);
    const dx::StartupOutcome loaded = dx::loadQuietly(state, nullptr);
    if (loaded.endRequested || loaded.stopped) {
        std::fprintf(stderr, "the demo installation could not be loaded\n");
        return false;
    }
    return true;
}

// The best wall time of `runs` runs of f, in ms.
template <class F>
double best(int runs, F &&f)
{
    double out = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        out = std::min(out, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    return out;
}

} // namespace dxbench
