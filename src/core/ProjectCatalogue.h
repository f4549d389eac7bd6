// The project catalogue "project.conf": one inventory project per line, seven fields
// separated by ";" in code page 1251.
#pragma once

#include <QString>
#include <QVector>

namespace dx {

struct ProjectEntry {
    QString activ;    // "1" or "0", kept and written back
    QString direkcia; // regional forest directorate
    QString vid;      // kind of forest unit, placed before the name
    QString bgname;   // the forest unit's name
    QString godina;   // inventory year
    QString tabl;     // project table, relative to the program directory
    QString zemnom;   // land-area table, relative to the program directory, or empty
};

// One catalogue line: the first six fields each up to the next ";" (the whole rest when
// none follows), the seventh everything that remains, stray ";" included. Fields are
// cut to the widths of the project list.
ProjectEntry parseCatalogueLine(const QString &line);

// The whole catalogue in file order. Blank lines are no projects; a last line without a
// line end is a line. Throws std::runtime_error naming the file when it cannot be read.
QVector<ProjectEntry> readProjectCatalogue(const QString &path);

// Sorts by the name, as the selection list first shows the catalogue.
void sortByName(QVector<ProjectEntry> &entries);

} // namespace dx
