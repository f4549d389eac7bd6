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

bool selectDescription(AppState &state, int otd, const QString &podotd)
{
    if (!selectSubCompartment(state.projectTable, otd, podotd)) return false;
    state.currentOtd = otd;
    state.currentPodotd = podotd;
    return true;
}

} // namespace dx
