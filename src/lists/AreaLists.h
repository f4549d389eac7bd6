// The area lists of the Lists window: the area of every compartment, of every tree
// species (first storey, by participation) and of every value of one of 21 site and
// stand attributes, and the sub-compartments of one compartment. Each list comes as the
// window shows it: caption, list content, status text, window width and list mode.
#pragma once

#include "lists/ListContent.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <functional>

namespace dx {

class Database;

// One attribute of "Площи по ...": the label the user picks and the field grouped by.
struct AreaAttribute {
    QString label;
    QString field;
};
// The 21 attributes in their order (number = index + 1).
const QList<AreaAttribute> &areaAttributes();

// What the window shows for a list. `mode`: 1 areas by compartment, 2 by species, 0 else.
struct AreaList {
    QString caption;
    ListContent content;
    QString status;   // status panel 1
    int width = 0;    // window width in pixels; 0 leaves it to the columns
    int mode = 0;
};

// Areas by compartment: one row per compartment (ascending) with the sum of PL, the sum
// shown with all its digits; status "Обща площ: ... ха" with two decimals.
// Throws EngineError when the project table cannot be read.
AreaList AreasByCompartment(Database &db, const QString &projectTablePath, const QLocale &locale = QLocale::c());

// Progress of the areas by species: the label text and the gauge in percent.
struct SpeciesProgress {
    std::function<void(const QString &)> label;
    std::function<void(int)> gauge;
};

// Areas by species: the species of DV1..DV11 in first-met order; a record whose DV1 is
// "-" adds nothing, one whose UCH1 is 10 adds its whole PL to DV1, any other adds
// PL x UCHn / 10 to each first-storey element until the running tenths reach exactly 10.
// The rounded areas are written to the species area table `$2tmp.dbf` in `programDir`
// (made anew) and listed from it, largest first. Throws EngineError when the project
// table cannot be read and FileWriteError when the species area table cannot be made.
AreaList AreasBySpecies(Database &db, const QString &projectTablePath, const QString &programDir,
                        const SpeciesProgress &progress = {}, const QLocale &locale = QLocale::c());
// The file name of the species area table.
inline const QString kSpeciesAreaTable = QStringLiteral("$2tmp.dbf");
// The most species the list holds.
inline constexpr int kMaxSpecies = 300;

// Areas by the attribute numbered `number` (1..21), largest first, the area shown "#.0".
// With a land-area table (`landAreaPath` not empty) the attribute "Землища" lists the
// land-area names joined on ZEML = NOMER. Throws EngineError; std::out_of_range for a
// number outside 1..21.
AreaList AreasByAttribute(Database &db, const QString &projectTablePath, int number,
                          const QString &landAreaPath = {});

// The sub-compartments of one compartment for the compartment detail window.
struct CompartmentDetailList {
    QString caption;   // "Oтдел No." + number
    bool found = false;
    ListContent content;
    QString status;
};
CompartmentDetailList CompartmentDetail(Database &db, const QString &projectTablePath, int otd,
                                        const QLocale &locale = QLocale::c());

} // namespace dx

namespace dx {

// The name a list is saved under as text: ".txt" is appended unless the fourth
// character from the end is a dot ("ab" -> "ab.txt", "a.txt" and "a.csv" stay).
QString textFileName(const QString &chosen);

} // namespace dx
