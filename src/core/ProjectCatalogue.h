// The project catalogue "project.conf": one inventory project per line, seven fields
// separated by ";" in code page 1251.
#pragma once

#include <QString>
#include <QVector>

#include <optional>

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

// What a project switch is given: the table, title, land-area file and year of the
// project to open.
struct SwitchRequest {
    QString table;    // project table, relative to the program directory ("database\X.DB")
    QString title;    // kind + " " + name
    QString landArea; // land-area table, relative, or empty
    QString year;
    // Remember the project in the settings file; otherwise only "SaveLastOpen" = "0".
    // Unset: the settings file is not touched at all (a restore switches again to the
    // project that is open).
    std::optional<bool> remember;
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

// The list's sortable and searchable fields.
enum class CatalogueField { Direkcia, Vid, Bgname, Godina };
const QString &fieldOf(const ProjectEntry &e, CatalogueField f);
// Stable sort on one field, letter case significant.
void sortCatalogue(QVector<ProjectEntry> &entries, CatalogueField f, bool ascending);
// The next entry after `current` (wrapping past the end, `current` itself last of all
// excluded) whose field begins with `text` in any letter case; -1 when none.
int findNextEntry(const QVector<ProjectEntry> &entries, CatalogueField f, int current, const QString &text);
// The entry of a project by its title (kind + " " + name) and year, both in any
// letter case, walking from the first; -1 when none.
int findEntry(const QVector<ProjectEntry> &entries, const QString &title, const QString &year);
// The project's title as the program shows it: kind, a blank, the name.
inline QString entryTitle(const ProjectEntry &e) { return e.vid + QLatin1Char(' ') + e.bgname; }

// The catalogue's bytes: one line per entry, the seven fields joined by ";", each line
// ended by CR LF, in code page 1251.
QByteArray catalogueBytes(const QVector<ProjectEntry> &entries);
// Rewrites the catalogue file as a whole (temporary file beside it, then a rename),
// under the file's lock. Throws FileWriteError naming the file.
void writeProjectCatalogue(const QString &path, const QVector<ProjectEntry> &entries);

} // namespace dx
