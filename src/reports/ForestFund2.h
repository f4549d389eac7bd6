// Forest fund report 2 (ОГФ 2): the first-storey area of the high-stem forests by species
// group and age class, in 20-year classes (upper table) and 5-year classes (lower table).
// Each table walks each section's records once; a slot adds its share of the area to
// every group of the section whose species set holds it, which gives the sums of one
// walk per group.
#pragma once

#include "core/OwnershipFilter.h"
#include "reports/ForestFundModel.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace dx {

class Database;
class ForestFundProgress;

// The age classes of a table: `count` classes `width` years wide from 1 year on, and
// with `openLast` one more class for every age above them.
struct GF2AgeClasses {
    int width = 20;
    int count = 8;
    bool openLast = false;

    int columns() const { return count + (openLast ? 1 : 0); }
    // The 0-based class of an age; -1 when it has none.
    int classOf(int age) const;
    // "I" .. and the ages of each class ("1-20", ..., "над 60").
    QStringList numerals() const;
    QStringList ranges() const;
};
inline constexpr GF2AgeClasses kGF2Upper{20, 8, false};
inline constexpr GF2AgeClasses kGF2Lower{5, 12, true};

// One species group: its label and the printable species names it holds.
struct GF2Group {
    QString label;
    QString progressLabel;  // the first progress caption while the group is summed
    QSet<QString> species;
};

// The groups of the three sections read from the nomenclature at `nomenclaturePath`.
// A statement that fails leaves its group empty and adds the engine's message to `errors`.
std::vector<std::vector<GF2Group>> loadGF2Groups(Database &db, const QString &nomenclaturePath, QStringList *errors);

struct GF2Row {
    enum class Kind { Group, Total, Empty };
    QString label;
    std::vector<double> values;  // OBSHTO, then the classes
    Kind kind = Kind::Group;
};

struct GF2Table {
    QList<GF2Row> rows;
    QStringList errors;  // the engine's messages of statements that failed
};

// Builds the tables of the given age classes over the given groups (see loadGF2Groups)
// in one walk over the records of the ownership choice. Section I takes every record,
// section II all but those for reconstruction, section III those for reconstruction but
// not "нелесопригодна площ"; a first-storey slot adds PL x UCH / 10 to every group of a
// section whose set holds its species (coppice left out of section II), to OBSHTO and to
// its age class. Values are rounded to tenths per group before the totals. A table that
// cannot be read leaves every table empty and its message in each table's errors.
std::vector<GF2Table> BuildGF2(Database &db, const QString &projectTablePath, const OwnershipChoice &choice,
                               const std::vector<std::vector<GF2Group>> &groups,
                               const std::vector<GF2AgeClasses> &tables, ForestFundProgress *progress = nullptr);
// One table alone.
GF2Table BuildGF2Table(Database &db, const QString &projectTablePath, const OwnershipChoice &choice,
                       const std::vector<std::vector<GF2Group>> &groups, const GF2AgeClasses &classes,
                       ForestFundProgress *progress = nullptr);

// The grid of a table: "Дървесни видове", "общо" and the classes; the upper table's
// number cells shown "0.0", the lower table's as the numbers are.
std::unique_ptr<ForestFundModel> makeGF2Model(const GF2AgeClasses &classes);
void fillGF2Model(ForestFundModel &model, const GF2Table &table);

// The clipboard headings of the upper and the lower table.
QString gf2UpperHeading(const OwnershipFilter &filter);
QString gf2LowerHeading();

} // namespace dx
