// Filling the navigation lists.
#include "shell/Navigation.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "description/ProjectRecord.h"

#include <set>

namespace dx {

void fillCompartments(AppState &state)
{
    NavigationLists &l = state.lists;
    l.compartments.clear();
    l.compartment = -1;
    l.compartmentText.clear();
    auto cursor = state.db.open(ss(compartmentsStatement(state.projectTablePath)));
    bool first = true;
    for (; !cursor->eof(); cursor->next()) {
        Value v = cursor->value(0);
        int otd = int(v.toInt());
        if (first) state.firstOtd = otd;
        first = false;
        state.lastOtd = otd;
        l.compartments << qs(v.toText());
    }
    if (!l.compartments.isEmpty()) {
        l.compartment = 0;
        l.compartmentText = l.compartments.first();
    }
}

void reloadSubCompartments(AppState &state, const QString &otdText)
{
    NavigationLists &l = state.lists;
    l.subCompartments.clear();
    l.subCompartment = -1;
    l.subCompartmentText.clear();
    l.listedOtd.clear();
    std::optional<int> otd = wholeNumber(otdText);
    if (!otd) return;
    l.listedOtd = QString::number(*otd);
    auto cursor = state.db.open(ss(subCompartmentsStatement(state.projectTablePath, *otd)));
    int podotd = cursor->columnIndex("PODOTD");
    for (; !cursor->eof(); cursor->next()) l.subCompartments << qs(cursor->value(size_t(podotd)).toText());
    if (!l.subCompartments.isEmpty()) {
        l.subCompartment = 0;
        l.subCompartmentText = l.subCompartments.first();
    }
}

ListSelection listSelection(const NavigationLists &lists)
{
    ListSelection s;
    std::optional<int> otd = wholeNumber(lists.compartmentText);
    s.ok = otd.has_value();
    s.otd = otd.value_or(0);
    s.podotd = lists.subCompartmentText;
    return s;
}

namespace {

void selectCompartment(AppState &state, int index)
{
    NavigationLists &l = state.lists;
    l.compartment = index;
    l.compartmentText = index >= 0 && index < l.compartments.size() ? l.compartments[index] : QString();
    reloadSubCompartments(state, l.compartmentText);
}

void selectSub(NavigationLists &l, int index)
{
    l.subCompartment = index;
    l.subCompartmentText = index >= 0 && index < l.subCompartments.size() ? l.subCompartments[index] : QString();
}

} // namespace

void chooseCompartment(AppState &state, int index)
{
    const NavigationLists &l = state.lists;
    if (index < 0 || index >= l.compartments.size() || l.compartments[index].isEmpty()) return;
    selectCompartment(state, index);
}

void chooseSubCompartment(AppState &state, int index)
{
    if (index >= 0 && index < state.lists.subCompartments.size()) selectSub(state.lists, index);
}

void nextSubCompartment(AppState &state)
{
    NavigationLists &l = state.lists;
    if (l.subCompartment + 1 < l.subCompartments.size()) {
        selectSub(l, l.subCompartment + 1);
        return;
    }
    if (l.compartments.isEmpty()) return;
    int next = l.compartment + 1 < l.compartments.size() ? l.compartment + 1 : 0;
    selectCompartment(state, next);
}

void priorSubCompartment(AppState &state)
{
    NavigationLists &l = state.lists;
    if (l.subCompartment > 0) {
        selectSub(l, l.subCompartment - 1);
        return;
    }
    if (l.compartments.isEmpty()) return;
    selectCompartment(state, l.compartment > 0 ? l.compartment - 1 : 0);
    selectSub(l, int(l.subCompartments.size()) - 1);
}

void nextCompartment(AppState &state)
{
    NavigationLists &l = state.lists;
    if (l.compartments.isEmpty()) return;
    selectCompartment(state, l.compartment + 1 < l.compartments.size() ? l.compartment + 1 : 0);
}

void priorCompartment(AppState &state)
{
    NavigationLists &l = state.lists;
    if (l.compartments.isEmpty()) return;
    selectCompartment(state, l.compartment > 0 ? l.compartment - 1 : 0);
}

bool goToSubCompartment(AppState &state, const QString &otdText, const QString &podotdText)
{
    NavigationLists &l = state.lists;
    int otd = int(l.compartments.indexOf(otdText));
    if (otd >= 0) {
        selectCompartment(state, otd);
    } else {
        l.compartment = -1;
        l.compartmentText = otdText;
        reloadSubCompartments(state, otdText);
    }
    int sub = int(l.subCompartments.indexOf(podotdText));
    selectSub(l, sub);
    return sub >= 0;
}

bool selectDescription(AppState &state, int otd, const QString &podotd)
{
    if (!selectSubCompartment(state.projectTable, otd, podotd)) return false;
    state.currentOtd = otd;
    state.currentPodotd = podotd;
    state.hasCurrent = true;
    return true;
}

namespace {

// The list holds the compartments in ascending order: found by halving, in a
// hundred-thousand-record project as fast as in a small one. Anything the halving
// cannot place (a list not in order) is looked for entry by entry.
int compartmentIndex(const NavigationLists &l, int otd)
{
    int lo = 0, hi = int(l.compartments.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const std::optional<int> at = wholeNumber(l.compartments[mid]);
        if (!at) break;
        if (*at == otd) return mid;
        if (*at < otd) lo = mid + 1;
        else hi = mid;
    }
    for (int i = 0; i < l.compartments.size(); ++i)
        if (wholeNumber(l.compartments[i]) == otd) return i;
    return -1;
}

} // namespace

void alignListsToCurrent(AppState &state)
{
    if (!state.hasCurrent) return;
    NavigationLists &l = state.lists;
    const QString otdText = QString::number(state.currentOtd);
    const int index = compartmentIndex(l, state.currentOtd);
    if (l.listedOtd != otdText) reloadSubCompartments(state, otdText);
    l.compartment = index;
    l.compartmentText = index >= 0 ? l.compartments[index] : otdText;
    selectSub(l, int(l.subCompartments.indexOf(state.currentPodotd)));
    l.subCompartmentText = state.currentPodotd;
}

std::optional<ListSelection> listedPair(AppState &state)
{
    NavigationLists &l = state.lists;
    std::optional<int> otd = wholeNumber(l.compartmentText);
    if (!otd) return std::nullopt;
    if (QString::number(*otd) != l.listedOtd) {
        const NavigationLists before = l;
        reloadSubCompartments(state, QString::number(*otd));
        if (l.subCompartments.isEmpty()) {
            l = before;
        } else {
            l.compartment = compartmentIndex(l, *otd);
            l.compartmentText = before.compartmentText;
            // The sub-compartment in the box is kept when the new compartment has it.
            const int same = int(l.subCompartments.indexOf(before.subCompartmentText));
            if (same >= 0) selectSub(l, same);
        }
    }
    return ListSelection{*otd, l.subCompartmentText, true};
}

std::optional<ListSelection> chosenSubCompartment(AppState &state, int index)
{
    NavigationLists &l = state.lists;
    std::optional<int> otd = wholeNumber(l.listedOtd);
    if (!otd || index < 0 || index >= l.subCompartments.size()) return std::nullopt;
    selectSub(l, index);
    // The entry belongs to the listed compartment, whatever was typed above it since.
    const int at = compartmentIndex(l, *otd);
    l.compartment = at;
    l.compartmentText = at >= 0 ? l.compartments[at] : l.listedOtd;
    return ListSelection{*otd, l.subCompartmentText, true};
}

ViewTaxResult showSubCompartment(AppState &state, int otd, const QString &podotd)
{
    ViewTaxResult r = ViewTax(state, otd, podotd);
    if (r.shown) alignListsToCurrent(state);
    return r;
}

ViewTaxResult moveAndShow(AppState &state, void (*step)(AppState &))
{
    alignListsToCurrent(state);
    const NavigationLists &l = state.lists;
    std::set<std::pair<QString, int>> tried;
    for (;;) {
        step(state);
        if (!tried.insert({l.listedOtd, l.subCompartment}).second) break;
        ListSelection sel = listSelection(l);
        if (!sel.ok || l.subCompartment < 0) break;
        ViewTaxResult r = ViewTax(state, sel.otd, sel.podotd);
        if (r.shown) {
            alignListsToCurrent(state);
            return r;
        }
    }
    alignListsToCurrent(state);
    return {};
}

ViewTaxResult goToAndShow(AppState &state, const QString &otdText, const QString &podotdText)
{
    ViewTaxResult r;
    if (goToSubCompartment(state, otdText, podotdText)) {
        ListSelection sel = listSelection(state.lists);
        if (sel.ok) r = ViewTax(state, sel.otd, sel.podotd);
    }
    alignListsToCurrent(state);
    return r;
}

} // namespace dx
