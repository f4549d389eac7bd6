// The project information: compartments, sub-compartments, total area and the area of
// each ownership kind, and the text the information window copies to the clipboard.
#pragma once

#include "core/AppState.h"

#include <QString>
#include <QVector>

namespace dx {

struct OwnershipArea {
    QString sob;
    double area = 0; // the sum rounded to tenths, stored as a real
};

struct ProjectStatistics {
    int compartments = 0;
    int subCompartments = 0;
    QString areaText; // "%.1f xa"
    QVector<OwnershipArea> ownership;
};

// Computes the figures over the project table. The project table object is opened when
// closed and left unfiltered (the next description view filters it again). Throws
// std::runtime_error with "Неможе да бъде отворена таблица %s!" when the table cannot
// be opened, EngineError when a statement fails.
ProjectStatistics computeStatistics(AppState &state);

// The clipboard text: heading, the three figures, the ownership rows with the stored
// real in the engine's text form, the maker's contact line; lines end with CR LF.
QString statisticsText(const AppState &state, const ProjectStatistics &s);

} // namespace dx
