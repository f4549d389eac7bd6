// The physico-geographic tables: the area of the wood-producing land by altitude band,
// slope, exposure, soil type, soil depth, region / sub-belt / site type, the area and
// increment by species and site class now and in the future composition (table 10), and
// the area by kind and degree of erosion (table 12-13). Each is summed from the project
// table, written under Tables/ as a dBase file and an aligned text file, and read back
// from its dBase file for the Lists window's menu "Таблици". No widgets here: the
// selection window and dendrix-cli both call these.
#pragma once

#include "core/OwnershipFilter.h"
#include "core/UserMessage.h"
#include "lists/ListContent.h"

#include <QList>
#include <QSize>
#include <QString>

#include <functional>
#include <stdexcept>

namespace dx {

struct AppState;
class Database;

// One entry of the selection window's table list (NOM, DESC1, DESC2).
struct PhysGeoEntry {
    int number = 0;
    QString shortName;     // "Таблица 1"
    QString description;   // what the table shows
    bool hasTable = false; // false for the offered rows with no table behind them
};

// The entries in the order the selection window lists them.
const QList<PhysGeoEntry> &physGeoTableList();
// The entry of a table number (12 and 13 both give table 12-13's); nullptr if none.
const PhysGeoEntry *physGeoEntry(int number);
// The table number that builds `number`'s table: 13 gives 12; 0 for a row without a table.
int physGeoBuiltNumber(int number);
// DESC1 + " - " + DESC2: the Lists window's caption of the table.
QString physGeoCaption(int number);
// The item of the Lists window's menu "Таблици".
QString physGeoMenuText(int number);
// The file name without extension under Tables/: "tab1", "tab1a", ..., "tab12-13".
QString physGeoFileBase(int number);
// The table named as the command line names it ("1", "1а" or "1a", "2", ..., "12-13");
// 0 when it names none of the built tables.
int physGeoNumberFromName(const QString &name);
// The columns with their titles and display formats, and the window's size.
QList<GridColumn> physGeoColumns(int number);
QSize physGeoWindowSize(int number);

// Where a build reads and writes.
struct PhysGeoSources {
    QString projectTablePath;
    QString nomenclaturePath; // names.dbf
    QString siteClassPath;    // bon.dbf
    QString tablesDir;        // the folder Tables under the program directory
    QString projectHeading;   // "unit year г."
};
PhysGeoSources physGeoSources(const AppState &state);

// A table that could not be built, written or read back: the message box to show.
class PhysGeoError : public std::runtime_error {
public:
    explicit PhysGeoError(UserMessage message);
    const UserMessage &message() const { return message_; }

private:
    UserMessage message_;
};

// What a build reports while it walks the project table: its label ("Таблица 2...") and
// the gauge's range, then the position after each record.
struct PhysGeoProgress {
    std::function<void(const QString &label, int maximum)> start;
    std::function<void(int position)> position;
    std::function<void()> finish;
};

// A built table: its number (as the menu knows it), the Lists window's caption, menu
// text and size, the status texts, and the content as the grid shows it.
struct PhysGeoTable {
    int number = 0;
    QString caption;
    QString menuText;
    QSize windowSize;
    // Lists window panel 1 (the project heading) and 2 (the ownership description);
    // both empty when the panels stay as they are (table 12-13, a table shown again).
    QString statusHeading;
    QString statusOwnership;
    ListContent content;
};

// Sums the table `number` (1, 15, 2, 3, 6, 7, 9, 10 or 12) from the project table under
// the ownership filter (table 12-13 walks every record). The values are those the dBase
// file will hold (one decimal). Throws PhysGeoError (a failing query, an unreadable table).
PhysGeoTable ComputePhysGeoTable(Database &db, const PhysGeoSources &sources, int number,
                                 const OwnershipFilter &filter, const PhysGeoProgress *progress = nullptr);

// Writes a computed table as Tables/<base>.dbf and Tables/<base>.txt, each through a
// temporary file. A file that is read-only, locked by another program or a folder stops
// the build before anything is written, with the message "Файл ... неможе да бъде
// изтрит...". Throws PhysGeoError.
void WritePhysGeoFiles(const PhysGeoSources &sources, const PhysGeoTable &table, const OwnershipFilter &filter);

// Computes and writes; the table as the Lists window shows it.
PhysGeoTable BuildPhysGeoTable(Database &db, const PhysGeoSources &sources, int number,
                               const OwnershipFilter &filter, const PhysGeoProgress *progress = nullptr);

// Reads a built table back from Tables/<base>.dbf, as the menu "Таблици" shows it again.
// Throws PhysGeoError ("Таблица ... неможе да бъде отворена...").
PhysGeoTable LoadPhysGeoTable(const PhysGeoSources &sources, int number, const OwnershipFilter &filter);

// The heading of a table (DESC1, DESC2, the project heading and the ownership
// description), as its text file and the Lists window's copy begin.
QString physGeoHeading(int number, const QString &projectHeading, const OwnershipFilter &filter);

// The aligned text file of tables 1 to 10 and the tab-separated one of table 12-13, as
// written (before the code page conversion).
QString physGeoText(const PhysGeoTable &table, const QString &projectHeading, const OwnershipFilter &filter);

} // namespace dx
