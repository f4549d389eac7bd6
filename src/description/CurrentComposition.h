// The current composition of a sub-compartment (page "Сегашен състав"): one row per
// filled composition slot and a closing totals row, with the stock and the use with
// branches rounded per storey, heights and diameters carried within the first storey
// and repeated ages shown once. Also the rounding rules that printing shares.
#pragma once

#include "core/AppState.h"
#include "core/GridModel.h"
#include "core/UserMessage.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

namespace dx {

// Rounding of stock volumes (whole cubic metres) per storey.
// To fives: up to 5 gives 5, 6 to 10 give 10; above, by the last digit: 1, 2 down to
// the ten, 3, 4, 6, 7 to the five, 8, 9 up to the next ten, 0 and 5 stay.
int roundToFive(int a);
// To tens: the last digit 1 to 4 rounds down, 5 to 9 up. A negative value is rounded
// like its magnitude; a value too large to round up stops at the largest ten.
int roundToTen(int a);
// The same rules over 64-bit volumes.
long long roundToFive(long long a);
long long roundToTen(long long a);

// One grid row; every cell is the text the grid shows ("-" means no value).
struct CompositionRow {
    QString et, dv, povr, u, pr, pyl, a, d, h, b, v1, v, vkloni, polz1, polz2, pkloni;
    bool totals = false; // the row "всичко", drawn bold and right-aligned
};

// The composition of a sub-compartment. Nothing when the pair names no single record
// (the project table then stays filtered on the pair, nothing else changes). Otherwise
// the project table object is closed afterwards. Branch-wood percentages come from
// the state's branch-wood table (closed: no branch wood). Throws EngineError when the
// project table cannot be opened.
std::optional<QVector<CompositionRow>> ViewSS(AppState &state, int otd, const QString &podotd);

// The grid's columns in display order: ET, DV, POVR, U, PR, PYL, A, D, H, B, V1, V,
// VKLONI, POLZ1, POLZ2, PKLONI; two-line titles joined by "|".
QList<GridColumn> compositionColumns();
// The names of those columns ("ET", "DV", ...), in the same order.
QStringList compositionColumnNames();
// A row's cells in the order of compositionColumns().
QStringList compositionCells(const CompositionRow &row);
// Rows for a DataGridModel over compositionColumns().
QList<DataGridModel::Row> compositionGridRows(const QVector<CompositionRow> &rows);

// The company line of the status bar's first panel.
inline constexpr const char kCompanyLine[] = "Тилмара ЕООД";
// The status bar's text after a click on a cell of the grid: a damage code in the
// column "Повр" explained ("повреда: CODE = WORDING"), the company line anywhere else.
// Failing damage lookups are reported as decodeDamage reports them.
QString compositionCellStatus(AppState &state, const QString &columnTitle, const QString &povr,
                              const std::function<void(const UserMessage &)> &report);

} // namespace dx
