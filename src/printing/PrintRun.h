// The print loop shared by the print windows and dendrix-cli: descriptions (and, when
// asked, each compartment's sheet before its first description) composed one by one and
// handed to a page sink, one print job each, until the list ends or the stop flag is set.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"
#include "printing/DescriptionComposer.h"
#include "printing/DescriptionRange.h"
#include "printing/Report.h"

#include <functional>

namespace dx {

struct PrintRunOptions {
    bool sheets = false;                 // the pre-compartment sheet before each compartment
    const bool *stop = nullptr;          // tested before every item
    std::function<void(int done)> progress;  // after every item printed
    // After every item printed, with the entry printed (its sub-compartment empty for a
    // sheet), for progress titles that name it.
    std::function<void(int done, const RangeEntry &entry)> printed;
    std::function<void(const UserMessage &)> report;
};

struct PrintRunResult {
    int descriptions = 0;
    int sheets = 0;
    bool stopped = false;    // the stop flag was set
    bool cancelled = false;  // a prompt or question was answered Cancel or No
    bool failed = false;     // the printer refused a page; the run ended there
};

// Prints the entries through `composer` (its with-branches option and line width hold).
PrintRunResult printDescriptions(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                                 PageSink &sink, const PrintRunOptions &options);

// Composes and prints one compartment's sheet; false when it did not compose. `refused`
// tells whether the printer refused a page.
bool printSheet(AppState &state, int otd, PageSink &sink, const std::function<void(const UserMessage &)> &report,
                bool *refused = nullptr);

} // namespace dx
