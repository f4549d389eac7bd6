// Lookups in the reference tables: the nomenclature (names.dbf: code lists, species,
// damage wording), the branch-wood percentages (kloni.dbf), the site-class values
// (bon.dbf) and the project's land-area names. Lookups on a table object leave the
// filter they set in place; the next lookup on the same object replaces it.
#pragma once

#include <QString>
#include <QStringList>

namespace dx {

class Database;
class Table;

// PRINT of every row of one code list ("vs", "ns", "pcp", "sms", ...) with a code
// above 0, in table order. The table must be open (EngineError otherwise); it goes to
// the first row, and filtering is switched off again afterwards (also on failure),
// the list's filter left set.
QStringList pickList(Table &names, const QString &type);

// The printable species names of the nomenclature file, in the file's order. Throws
// EngineError when the file cannot be read.
QStringList speciesList(Database &db, const QString &namesPath);

struct DamageWording {
    bool failed = false; // the statement could not be run (error says why)
    bool found = false;  // the letter is in the damage list
    QString wording;     // PRINT of its first row
    QString error;
};

// The wording of one damage letter.
DamageWording damageWording(Database &db, const QString &namesPath, const QString &letter);
// The message and caption shown when the damage statement cannot be run.
QString damageLookupFailedText(const QString &namesPath);
inline constexpr const char kDamageLookupFailedCaption[] = "Error opening file - повреди";

// The percentage of branch wood to add to the stem wood of a species of an origin
// (1..4, 0 when unknown) at a mean height in whole metres (clamped to 3..30). A
// species row with an empty PR borrows the rows named by its LINK: a whole number
// names the rows of that COUNT, a text the rows of that SHORT. Of several rows the
// first whose PR holds the origin's digit counts; one row counts whatever the origin.
// 0 when nothing applies, and also when the table is closed or lacks the columns
// asked for.
int branchWoodPercent(Table &kloni, const QString &species, int origin, int height);

// B1..B5 of a species in the site-class table; 0 for a species without a row, a class
// outside 1..5, a closed table or a missing column. Switches filtering on if it is off.
double siteClassValue(Table &bon, const QString &species, int siteClass);

// The name of a land-area number, or the number itself when the table is closed or
// has no row (or no usable columns) for it.
QString landAreaName(Table &zem, int number);
// The number of a land-area name; -1 when the table is closed or has no such name.
int landAreaNumber(Table &zem, const QString &name);

// The area of the project table per land-area name, largest first (columns ZEMNAME, P).
QString areaByLandAreaStatement(const QString &tablePath, const QString &zemPath);

} // namespace dx
