// The program's shared state, owned by the application (dendrix-cli makes its own) and
// read by every subsystem: where the files are, which project is open, where the user
// stands, and the shared table objects. Windows and core code take it by reference.
#pragma once

#include "core/OwnershipFilter.h"
#include "core/ProjectCatalogue.h"
#include "core/Settings.h"
#include "engine/sql/Table.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace dx {

// The compartment list (every compartment of the project, ascending) and the
// sub-compartment list of the selected compartment (table order), as the main window's
// two lists show them. An index of -1 means nothing is selected.
struct NavigationLists {
    QStringList compartments;
    int compartment = -1;
    QString compartmentText; // the list's editable text
    QString listedOtd;       // the compartment whose sub-compartments are listed
    QStringList subCompartments;
    int subCompartment = -1;
    QString subCompartmentText;
};

struct AppState {
    AppState();
    AppState(const AppState &) = delete;
    AppState &operator=(const AppState &) = delete;

    QString programDir;        // the working directory at start-up, no trailing separator
    QString projectTableName;  // the settings' "database" as read
    QString projectTablePath;  // program directory + project table name
    QString title, year;       // project title ("bgname") and year ("yaer")
    QString zemFileName;       // the settings' "zemnom" as read
    QString version = QStringLiteral("1.8 ");
    QString contactLine;

    // The sub-compartment on screen: the caption, every page, the measures' key and the
    // toolbar moves all go by it. Only a pair that names exactly one record becomes it.
    int currentOtd = 0;
    QString currentPodotd;
    bool hasCurrent = false;
    int cuttingKinds = 0;      // kinds of cutting of the shown record
    int firstOtd = 0, lastOtd = 0;

    // The sieves fill their pick lists again on their next opening after each show of
    // the main window and after a project switch.
    bool workingSieveLoaded = false;
    bool obsSieveLoaded = false;

    // The ownership choice of the forest fund reports and the tables, as last confirmed.
    OwnershipState ownership;
    // The physico-geographic tables whose item is in the Lists window's menu "Таблици"
    // (by table number) since the project was loaded; a project switch clears them.
    QSet<int> builtTables;

    AppSettings settings;
    QVector<ProjectEntry> catalogue;
    bool catalogueLoaded = false;
    NavigationLists lists;

    Database db;
    Table projectTable, nomenclature, branchWood, landArea, siteClass;
    // The measures of every project: cuttings ("mervs.dbf") and afforestation ("merzl.dbf").
    Table cuttings, afforestation;

    // A file under the program directory.
    QString path(const QString &relative) const;
    QString nomenclaturePath() const { return path(QStringLiteral("names.dbf")); }
    QString settingsPath() const { return path(QStringLiteral("Dendrix.ini")); }
    // "Dendrix " + version + " - " + title + " " + year
    QString caption() const;
};

} // namespace dx
