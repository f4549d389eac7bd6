// The future composition of a sub-compartment (page "Бъдещ състав"): the target
// species after the planned measures, each with its share, its site class and the
// area to afforest with it.
#pragma once

#include "core/AppState.h"
#include "core/GridModel.h"

#include <QList>
#include <QString>
#include <QVector>

#include <optional>

namespace dx {

// One grid row; "-" means no value.
struct FutureRow {
    QString dv, uch, b, a;
};

// The target composition of a sub-compartment, one row per filled slot in slot order.
// Nothing when the pair names no single record; the project table object then stays
// open and filtered on the pair. Otherwise it is closed afterwards. Throws EngineError
// when the project table cannot be opened.
std::optional<QVector<FutureRow>> ViewBS(AppState &state, int otd, const QString &podotd);

// The grid's columns: DV, UCH, B, A ("Залесяване|Площ").
QList<GridColumn> futureColumns();
QStringList futureColumnNames();
QStringList futureCells(const FutureRow &row);
QList<DataGridModel::Row> futureGridRows(const QVector<FutureRow> &rows);

} // namespace dx
