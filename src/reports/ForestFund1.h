// Forest fund report 1 (ОГФ 1): the area of the project split into rows by kind of land
// and into columns by kind of forest, summed from the project table under the ownership
// filter, and the grid model the report window and dendrix-cli show it in.
#pragma once

#include "core/OwnershipFilter.h"
#include "reports/ForestFundModel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

namespace dx {

class Database;
class ForestFundProgress;

// The six value columns: coniferous, broadleaved high-stem, for reconstruction, for
// conversion, low-stem, all.
constexpr int kGF1Kinds = 5;

struct GF1Row {
    enum class Kind { Plain, Total, Empty };
    QString label;
    std::array<double, kGF1Kinds + 1> values{};
    Kind kind = Kind::Plain;
};

struct GF1Report {
    QList<GF1Row> rows;       // in the order the grid shows them, empty rows included
    QStringList otherKinds;   // the other kinds of sub-compartment (rows 13 onward)
    QString otherKindsError;  // why the other kinds could not be listed; empty when they were
};

// The record filter the report walks: the ownership filter's record text without its
// leading " and "; empty for all kinds and the general purpose.
QString gf1OwnershipCondition(const OwnershipFilter &filter);

// Builds the report from the project table at `projectTablePath` (as the data names it).
// Rows of the kinds of land come from two passes of each kind column: pass 1 sums the
// natural stands ("семенно насаждение" of the coniferous, seed or coppice stands of the
// broadleaved and poplar, every kind but "нелесопригодна площ" for reconstruction, every
// kind for conversion and low-stem) into rows 1 and 4 by the first positive density;
// pass 2 sums each record into the row of its kind of sub-compartment. One walk over the
// records of the ownership filter gives both passes of all columns, since a record's kind
// of forest puts it in at most one column. Throws EngineError when the table cannot be
// read or filtered.
GF1Report BuildGF1(Database &db, const QString &projectTablePath, const OwnershipFilter &filter,
                   ForestFundProgress *progress = nullptr);

// The labels whose rows are drawn in bold and show 0.0 in their empty kind cells.
bool isGF1TotalLabel(const QString &label);

// The grid of the report: "вид на земите" and the six area columns.
std::unique_ptr<ForestFundModel> makeGF1Model();
// Puts the report into the grid: a value above 0 is stored, any other leaves the cell null.
void fillGF1Model(ForestFundModel &model, const GF1Report &report);

// The clipboard heading of the report (before the rows).
QString gf1CopyHeading(const OwnershipFilter &filter);

} // namespace dx
