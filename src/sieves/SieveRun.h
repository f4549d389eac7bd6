// Running the working sieve ("Изпълни справката"): the statement over the project table,
// the rows found with their count and total area, the result label, the column titles
// and layout the grid shows, and the grid model of the result.
#pragma once

#include "core/GridModel.h"
#include "core/UserMessage.h"
#include "sieves/SieveCriteria.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dx {

class Database;

// The label under the grid before any run.
inline const QString kInitialSieveLabel = QStringLiteral("подотдели: 0, площ 0.0 ха");

// "подотдели: 3, площ: 4.05 ха" (the area with two decimals in the current locale's
// form); "подотдели: 0, площ: 0 ха" when nothing matched.
QString sieveResultLabel(int rows, double area);

struct SieveResult {
    QStringList fields;               // column names as the statement returned them
    QStringList titles;               // as the grid shows them (field-table captions)
    QList<DataGridModel::Row> rows;   // in the order the statement returned them
    double area = 0;                  // sum of PL

    int rowCount() const { return int(rows.size()); }
};

// Runs a select statement of the working sieve and sums its PL column. Throws
// EngineError when the statement cannot be run.
SieveResult executeSieve(Database &db, const QString &statement);

// The grid's columns: the titles; when the result has rows, the first two centred and
// the third right-aligned.
QList<GridColumn> sieveGridColumns(const SieveResult &result);
// Width in pixels the window gives a column after a run with rows (OTD 50, PODOTD 50,
// PL 70); 0 leaves the width as the grid has it.
int sieveColumnPixelWidth(int column, bool hasRows);
// Puts the result into the window's grid model.
void fillSieveModel(DataGridModel &model, const SieveResult &result);

struct SieveRunOutcome {
    enum class Status {
        Rows,        // result with rows: result commands enabled
        NoRows,      // empty result: result commands disabled, export as it was
        NoCriterion, // nothing run; the message is shown
        InvalidData  // nothing shown; the message (with the statement) is shown
    };
    Status status = Status::NoCriterion;
    UserMessage message;  // NoCriterion and InvalidData, after a beep
    QString selection;    // the clause to keep as the current selection; empty when none ran
    QString statement;
    SieveResult result;
    QString label;        // the result label after the run (unchanged when it failed)
    QString heading;      // the result heading (GetFilterCyr); empty for NoCriterion
};

// The whole run over the current project: the statement from the criteria and the chosen
// columns (field-table indices), the rows, the label and the heading. `currentLabel` is
// the label before the run, kept when the run fails.
SieveRunOutcome runWorkingSieve(AppState &state, const SieveCriteria &criteria, const QList<int> &columns,
                                const QString &currentLabel);

} // namespace dx
