// The pre-compartment sheet: one compartment's sub-compartments with their kind, area
// and growing stock, and the compartment's totals, printed before its descriptions. The
// composer reads the records into the sheet's rows; the sheet report places them on as
// many pages as they need, the title band on the first only.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"
#include "printing/Report.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace dx {

struct SheetRow {
    QString pod, vp, area, zapas;
    bool operator==(const SheetRow &) const = default;
};

struct PrintedSheet {
    QString title;  // "Dendrix - NAME YEAR [OTD]"
    QString dl;     // QRL_DL: project name + ",    отдел " + compartment
    QVector<SheetRow> rows;  // the sub-compartments, an empty row, the totals row
};

// Composes the sheet of a compartment, restricted by `condition` when it is not empty
// (a local-SQL condition whose double quotes are read as single quotes). Nothing when the
// compartment has no records, or when the condition cannot be read; the message goes to
// `report`. The project table is left closed and unfiltered.
std::optional<PrintedSheet> composeSheet(AppState &state, int otd, const QString &condition,
                                         const std::function<void(const UserMessage &)> &report);

Report sheetReport(const PrintedSheet &sheet, const PageSettings &page);

// The compartments of the project table in table order, taken whenever the number
// changes from the record before (so a compartment whose records are apart comes twice).
QVector<int> sheetCompartments(AppState &state);

// "Сигурни ли сте, че желаете да отпечатите N броя предотделни листа?"
QString printAllSheetsQuestion(int count);

} // namespace dx
