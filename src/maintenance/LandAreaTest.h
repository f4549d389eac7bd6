// The land-area names test: every land-area number the project uses has exactly one
// name, and every sub-compartment has a land area. The findings are the lines the
// status window shows.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"

#include <QStringList>

#include <optional>

namespace dx {

struct LandAreaTestResult {
    QStringList lines; // the status window's text, one line each
    int problems = 0;
};

// Runs the test over the state's project table and land-area table. A failure that
// stops the test (a statement that fails, no land-area table) is the message to show;
// the result is then empty.
std::optional<LandAreaTestResult> testLandAreaNames(AppState &state, UserMessage *failure);

// Where a project without a land-area table gets one: the folder "Zemnom" under the
// program directory, the project table's file name with "f" appended ("X.db" ->
// "X.dbf"; a dBase project table's own name is kept).
QString newLandAreaPath(const AppState &state);
// The catalogue's and the settings' text for it: "Zemnom\" + the file name.
QString newLandAreaName(const AppState &state);

// Creates the empty land-area table (NOMER, ZEMNAME) at `path`, opens the state's
// land-area table on it, records it in the catalogue entry of the open project and in
// the settings file, and rewrites the catalogue. Throws std::runtime_error naming the
// file that could not be made or written.
void createLandAreaTable(AppState &state, const QString &path);

} // namespace dx
