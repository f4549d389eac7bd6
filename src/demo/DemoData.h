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
};

// Fewest records a project can hold: compartment 1 and the showcase compartments 2 to 5.
inline constexpr int kMinRecords = 60;
inline constexpr int kMaxRecords = 1000000;

// Creates (or overwrites) the installation in `dir`, creating the folder when needed.
// Throws std::exception with a message naming the file and the reason on failure.
void createDemoInstallation(const std::string &dir, const DemoOptions &options);

} // namespace dx
