// Switching the program to another project: the land-area table and the project table
// are reopened, the lists, the first description, the counts and the measures refilled,
// and, when asked, the project remembered in the settings file for the next start. The
// project selection, the project settings and the restore of an archive all end here.
#pragma once

#include "core/AppState.h"
#include "core/ProjectCatalogue.h"
#include "shell/Startup.h"

#include <QString>

namespace dx {


enum class SwitchResult {
    Switched,
    MissingTable,  // the table file is not there; nothing changed
    Failed,        // an error while loading; reported as "Грешка в базата данни!"
    EndRequested,  // the project table did not open: the program ends
};

// Runs the switch, telling the user through `ui` (its message, loading window and
// refresh calls). A settings file that cannot be written is reported and the switch
// still counts as made.
SwitchResult switchProject(AppState &state, StartupUi &ui, const SwitchRequest &request);

// The request that opens a catalogue entry.
SwitchRequest requestFor(const ProjectEntry &entry, std::optional<bool> remember);

} // namespace dx
