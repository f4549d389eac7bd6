// The future composition: the target composition slots of the record as grid rows.
#include "description/FutureComposition.h"

#include "core/QtText.h"
#include "description/DescriptionHeader.h"
#include "description/ProjectRecord.h"
#include "engine/sql/Table.h"

namespace dx {
namespace {

FutureRow slotRow(const Table &t, int k, const QString &dv)
{
    FutureRow r;
    r.dv = dv;
    const QString share = slotField("OBS_UCH%d", k), siteClass = slotField("OBS_B%d", k);
    r.uch = recordReal(t, share) > 0 ? recordText(t, share) : QStringLiteral("-");
    r.b = recordReal(t, siteClass) > 0 ? recordText(t, siteClass) : QStringLiteral("-");
    const double area = recordReal(t, slotField("OBS_ZALES%d", k));
    r.a = area > 0 ? formatFixed(area, 1) : QStringLiteral("-");
    return r;
}

} // namespace

std::optional<QVector<FutureRow>> ViewBS(AppState &state, int otd, const QString &podotd)
{
    Table &t = state.projectTable;
    if (!selectSubCompartment(t, otd, podotd)) return std::nullopt;
    QVector<FutureRow> rows;
    for (int k = 1; k <= kFutureSlots; ++k) {
        const QString dv = recordText(t, slotField("OBS_DV%d", k));
        if (!isEmptySlot(dv)) rows.push_back(slotRow(t, k, dv));
    }
    t.close();
    return rows;
}

QList<GridColumn> futureColumns()
{
    return {GridColumn(QStringLiteral("Дървесен вид")), GridColumn(QStringLiteral("Участие")),
            GridColumn(QStringLiteral("Бонитет")), GridColumn(QStringLiteral("Залесяване|Площ"))};
}

QStringList futureColumnNames()
{
    return {QStringLiteral("DV"), QStringLiteral("UCH"), QStringLiteral("B"), QStringLiteral("A")};
}

QStringList futureCells(const FutureRow &r)
{
    return {r.dv, r.uch, r.b, r.a};
}

QList<DataGridModel::Row> futureGridRows(const QVector<FutureRow> &rows)
{
    return textGridRows(rows, futureCells);
}

} // namespace dx
