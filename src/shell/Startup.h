// The loading sequence run on the main window's first show: reference tables, settings,
// land-area table, project catalogue, project table, the navigation lists, the first
// description, the status counts and the measures. It talks to the user only through
// `StartupUi`, so the desktop program shows boxes and a loading window while
// `dendrix-cli startup` prints the same messages.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"

#include <QString>
#include <QVector>

namespace dx {

class StartupUi {
public:
    virtual ~StartupUi() = default;
    virtual void showLoading() {}
    virtual void status(const QString &text) {}
    virtual void closeLoading() {}
    // A message box; it returns when the user has closed it.
    virtual void message(const UserMessage &m) = 0;
    virtual void disableProjectSelection() {}
    virtual void captionChanged() {}
    // The lists in the state were refilled.
    virtual void listsChanged() {}
    // Show the description of a sub-compartment (the default selects its record).
    virtual void showDescription(int otd, const QString &podotd);
    // The print settings window applies the margins and fonts it received.
    virtual void applyPrintSettings() {}
    virtual void countsChanged(const QString &text) {}
    virtual void setupMeasures() {}
    // A project switch begins: tables built for the previous project leave the menus
    // that list them.
    virtual void clearBuiltTables() {}

    AppState *state = nullptr; // set by the sequence before the first call
};

struct StartupOutcome {
    bool endRequested = false; // the program ends when control returns to the event loop
    bool stopped = false;      // the sequence stopped before its last step
    bool damaged = false;      // a table was read only in part (the user was warned)
};

// Runs the loading sequence with the working directory as the program directory when
// `state.programDir` is empty.
StartupOutcome runLoadingSequence(AppState &state, StartupUi &ui);

// Closes the land-area table and opens the file the state names, when it exists; a
// file that does not open leaves the table closed (land areas then show as numbers).
void openLandArea(AppState &state);

// The parts of the sequence that later commands need without its messages: reference
// tables and land-area table opened, settings read, project table path set. Messages the
// sequence would show are collected in `messages`.
StartupOutcome loadQuietly(AppState &state, QVector<UserMessage> *messages = nullptr);

} // namespace dx
