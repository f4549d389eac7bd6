// The compartment and sub-compartment lists of the main window, filled from the
// project table by local SQL.
#pragma once

#include "shell/AppState.h"

namespace dx {

// Every distinct compartment in ascending order; remembers the first and the last and
// selects the first. Throws EngineError when the statement fails.
void fillCompartments(AppState &state);

// The sub-compartments of the compartment written `otdText`, in table order, the first
// selected. A text that is not a whole number gives an empty list (nothing can match it).
// Throws EngineError when the statement fails.
void reloadSubCompartments(AppState &state, const QString &otdText);

// The selected compartment as a number and the selected sub-compartment's text, as the
// description view takes them; ok is false when the compartment text is no number.
struct ListSelection {
    int otd = 0;
    QString podotd;
    bool ok = false;
};
ListSelection listSelection(const NavigationLists &lists);

// Choosing an entry of the compartment list only reloads the sub-compartment list; an
// empty text changes nothing.
void chooseCompartment(AppState &state, int index);
void chooseSubCompartment(AppState &state, int index);

// The four toolbar moves. Each selects list entries (reloading the sub-compartment list
// when the compartment changes); the caller then shows the selected pair.
// Next sub-compartment: after the last one of a compartment comes the first of the
// next compartment, and after the last compartment the first.
void nextSubCompartment(AppState &state);
// Previous sub-compartment: before the first one comes the last of the previous
// compartment; on the first compartment it stays there and takes its last entry.
void priorSubCompartment(AppState &state);
// Next compartment (after the last, the first) with its first sub-compartment.
void nextCompartment(AppState &state);
// Previous compartment (the first stays) with its first sub-compartment.
void priorCompartment(AppState &state);

// Selects the compartment entry equal to `otdText` (reloading its sub-compartments) and
// then the sub-compartment entry equal to `podotdText`; false when the sub-compartment
// is not in the list, which then has no selection.
bool goToSubCompartment(AppState &state, const QString &otdText, const QString &podotdText);

// Positions the project table on the sub-compartment and makes it the current one when
// the pair names exactly one record; otherwise nothing changes.
bool selectDescription(AppState &state, int otd, const QString &podotd);

} // namespace dx
