// The sub-compartment record of the project table: its 221 fields in their order with
// types and editor labels, the marks for "no value", and the ways a record or a set of
// records is addressed (the sub-compartment filter and the compartment statements).
#pragma once

#include "engine/common/Value.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace dx {

class Table;

inline constexpr int kCompositionSlots = 11; // current stand: one species of one storey each
inline constexpr int kFutureSlots = 5;       // target composition after the measures
inline constexpr int kProjectFieldCount = 221;

// The name of a repeated field: slotField("DV%d", 3) -> "DV3".
QString slotField(const char *pattern, int slot);

enum class ProjectFieldType { Integer, Decimal, Text };

struct ProjectField {
    QString name;  // as the other code names it (VHA1, not the editor's Vha1)
    ProjectFieldType type;
    QString label; // the database editor's column title
};

// Every field of the project table in table order.
const std::vector<ProjectField> &projectRecordFields();
// Position of a field in projectRecordFields(), letter case ignored; -1 when unknown.
int projectFieldIndex(const QString &name);

// The fields of projectRecordFields() that `fields` lacks (letter case ignored), in
// table order; empty when the table has them all.
QStringList missingProjectFields(const std::vector<FieldDef> &fields);

// "OTD=12 and PODOTD='а'": the filter that selects one sub-compartment.
QString subCompartmentFilter(int otd, const QString &podotd);

// The distinct compartments of the project table, ascending.
QString compartmentsStatement(const QString &tablePath);
// The sub-compartments of one compartment, in the table's own record order. The
// compartment text must be a whole number (wholeNumber); anything else throws
// std::invalid_argument, so no typed text ever reaches the statement.
QString subCompartmentsStatement(const QString &tablePath, const QString &otdText);
QString subCompartmentsStatement(const QString &tablePath, int otd);

// Positions the project table on one sub-compartment: sets the filter, switches
// filtering on, opens the table when it is closed and goes to the first record. True
// when exactly one record has the pair. The filter stays in place. Throws EngineError
// when the table cannot be opened or lacks OTD/PODOTD.
bool selectSubCompartment(Table &projectTable, int otd, const QString &podotd);

// Marks for "no value" in text fields. Blanks around the value are ignored; an empty
// text is a value of its own and is shown as it stands.
bool isNoValue(const QString &text);        // "-"
bool isNoValueOrZero(const QString &text);  // "-" or "0"
bool isNoCuttingKind(const QString &text);  // SECH1..SECH9: "-", "0" or empty
bool isEmptySlot(const QString &dv);         // DVj / OBS_DVk holding "-"

} // namespace dx
