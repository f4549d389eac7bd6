// The demo installation: a program directory with the reference tables, the settings
// file, a catalogue of a regional office's projects and three project tables (an
// encrypted Paradox, a plain Paradox and a dBase table) of plausible inventory data.
// One seed always gives the same files.
#pragma once

#include <cstdint>
#include <string>

namespace dx {

struct DemoOptions {
    int records = 2000;   // sub-compartments of the first (default) project
    uint32_t seed = 1;
    bool force = false;   // replace what the folder holds (an installation included)
};

// Fewest records a project can hold: compartment 1 and the showcase compartments 2 to 5.
inline constexpr int kMinRecords = 60;
// Most records worth generating at all (about two minutes and 2 GB of tables).
inline constexpr int kMaxRecords = 1000000;

// Most records the default project can hold: its Paradox table has at most 65535 blocks
// of a few records each; never more than kMaxRecords.
int maxDemoRecords();

// Creates the installation in `dir`. The folder must not exist or be empty, unless
// options.force; the installation is built in a new folder beside it and renamed into
// place, so `dir` holds either what it held before or the whole installation. The
// record count is checked before anything is written. Throws std::exception with a
// message naming the file or folder and the reason on failure.
void createDemoInstallation(const std::string &dir, const DemoOptions &options);

} // namespace dx
