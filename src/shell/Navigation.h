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

// Positions the project table on the sub-compartment and makes it the current one when
// the pair names exactly one record; otherwise nothing changes.
bool selectDescription(AppState &state, int otd, const QString &podotd);

} // namespace dx
