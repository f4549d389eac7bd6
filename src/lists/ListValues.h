// Engine values as the list grids hold them: a number stays a number (so that a display
// format applies), a text stays a text and a null an invalid value, shown empty.
#pragma once

#include "core/GridModel.h"
#include "engine/common/Value.h"

#include <QVariant>

namespace dx {

struct QueryResult;

QVariant listValue(const Value &v);
// Every row of a statement's result.
QList<DataGridModel::Row> listRows(const QueryResult &result);

} // namespace dx
