// Filling the navigation lists.
#include "shell/Navigation.h"

#include "core/QtText.h"
#include "description/ProjectRecord.h"

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
    bool isNumber = false;
    otdText.trimmed().toLongLong(&isNumber);
    if (!isNumber) return;
    auto cursor = state.db.open(ss(subCompartmentsStatement(state.projectTablePath, otdText.trimmed())));
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
    s.otd = lists.compartmentText.trimmed().toInt(&s.ok);
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
    return true;
}

} // namespace dx
