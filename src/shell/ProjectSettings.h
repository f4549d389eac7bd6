// The project settings: the checks of the edited catalogue entry and its saving into the
// catalogue (rewritten in directorate order) and the settings file.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"

#include <QVector>

namespace dx {

struct ProjectSettingsInput {
    QString vid, bgname, godina, direkcia;
    QString tableFile;    // as typed or chosen; relative to the working directory
    QString landAreaFile; // as typed or chosen, or empty
    bool active = true;
};

// The checks in their order: warnings are collected and the checking goes on; the first
// error ends it. ok is false when an error was found.
struct SettingsCheck {
    QVector<UserMessage> messages;
    bool ok = true;
};
SettingsCheck checkProjectSettings(const ProjectSettingsInput &in, const QString &workDir);

// Writes the entry of the open project (found by its title and year before the change)
// with the new values, the settings file's project keys and the whole catalogue sorted
// by directorate; returns the switch to the edited project. When the open project has
// no entry, the catalogue is rewritten unchanged and the switch names no table. Throws
// FileWriteError or ProfileError naming the file that could not be written.
SwitchRequest saveProjectSettings(AppState &state, const ProjectSettingsInput &in);

} // namespace dx
