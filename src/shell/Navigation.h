// The compartment and sub-compartment lists of the main window, filled from the
// project table by local SQL.
#pragma once

#include "core/AppState.h"
#include "description/DescriptionHeader.h"

#include <optional>

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

// --- The one current sub-compartment and the lists ---------------------------------
// Every trigger of the main window ends in one of the calls below. Whatever is shown
// becomes the current sub-compartment and the lists are put on it; a pair that names no
// single record changes nothing (typed texts stay in the lists for the user to mend).

// Puts the lists on the current sub-compartment: its compartment selected (its
// sub-compartments listed, when another compartment's are) and its entry selected.
// Typed texts are replaced. Nothing happens before anything was shown.
void alignListsToCurrent(AppState &state);

// The pair the lists name, once a typed compartment has been taken in: a compartment
// text naming another compartment than the listed one lists that compartment's
// sub-compartments with the first selected, unless it has none, when the lists stay as
// they were (the typed text included); the sub-compartment in the box stays selected
// when the new compartment has it, otherwise the first is. Nothing when the text is no
// whole number.
std::optional<ListSelection> listedPair(AppState &state);

// An entry chosen in the sub-compartment list: the pair is the listed compartment and
// that entry, whatever was typed into the compartment box since.
std::optional<ListSelection> chosenSubCompartment(AppState &state, int index);

// Shows a pair (ViewTax) and, when it was shown, puts the lists on it.
ViewTaxResult showSubCompartment(AppState &state, int otd, const QString &podotd);

// A toolbar move from the current sub-compartment: `step` moves the list selection and
// the pair it lands on is shown. A pair that cannot be shown (entered twice) is passed
// over; once every position has been tried the current one stays.
ViewTaxResult moveAndShow(AppState &state, void (*step)(AppState &));

// The sieves' hand-over: the pair is selected in the lists and shown; a pair that is not
// in the lists, or names no single record, changes nothing.
ViewTaxResult goToAndShow(AppState &state, const QString &otdText, const QString &podotdText);

} // namespace dx
