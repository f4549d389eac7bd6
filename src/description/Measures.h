// The measures of a sub-compartment: planned cuttings ("mervs.dbf") and afforestation
// ("merzl.dbf"), two dBase tables of the program directory shared by every project.
// Each row carries its sub-compartment's address in KEY ("12:а").
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"
#include "engine/sql/Table.h"

#include <QString>
#include <QStringList>
#include <QMap>
#include <QVector>

#include <functional>

namespace dx {

struct MeasureColumn {
    QString field;    // the table's field
    QString title;    // the grid's title ("" for fields the grid does not show)
    FieldType type;
    int width;        // characters of a text field
    QString pickList; // nomenclature list offered for it ("vs", "dv", ...), or empty
};

struct MeasureTableDef {
    QString fileName;             // "mervs.dbf"
    QVector<MeasureColumn> fields; // in file order, KEY last
    // The columns the grid shows (all but KEY and, for afforestation, AREA).
    QVector<MeasureColumn> gridColumns() const;
};

const MeasureTableDef &cuttingMeasures();
const MeasureTableDef &afforestationMeasures();

// "%d:%s": the compartment as the list shows it, a colon, the sub-compartment.
QString measureKey(const QString &otdText, const QString &podotd);
inline constexpr int kMeasureKeyWidth = 10;

// What the set-up found: the pick lists per field and whether each table is usable.
struct MeasureSetup {
    bool cuttingsOk = false;
    bool afforestationOk = false;
    QMap<QString, QStringList> pickLists; // by nomenclature list ("vs", "ns", ...)
};

// Creates a missing table in the program directory, opens both tables (filtering on)
// and reads the pick lists. A table that cannot be created or opened, or lacks its
// fields, is reported ("Неможе да се отвори таблица mervs.dbf.", with the reason
// underneath) and left closed.
MeasureSetup InitMer(AppState &state, const std::function<void(const UserMessage &)> &report);

// Filters both tables on the sub-compartment's rows.
void ViewMer(AppState &state, const QString &otdText, const QString &podotd);
// The filter that shows the rows of one key ("KEY='12:а'").
std::string measureFilter(const QString &key);
// Whether a row posted with this key is among the rows the table shows: the table is
// not filtered, or filtered on this very key.
bool measureKeyShown(const Table &table, const QString &key);

// The characters a field holds as typed: a text's width, a number's digits with sign.
int measureFieldChars(const FieldDef &field);

// Why a value cannot be stored in a field ("" when it can): a text longer than the
// field, a non-number in a number field or a number wider than it. A blank value is
// always acceptable (null).
QString measureValueProblem(const MeasureColumn &column, const QString &value);
// The value to store for the text typed into a grid cell.
Value measureValue(const MeasureColumn &column, const QString &text);
// The text a grid cell shows for a stored value.
QString measureText(const Value &value);

// Why a row with this key cannot be posted ("" when it can): a key longer than the
// field would be cut and the row lost from view.
QString measureKeyProblem(const QString &key);

} // namespace dx
