// Engine values made into grid values.
#include "lists/ListValues.h"

#include "core/QtText.h"
#include "engine/sql/Database.h"

namespace dx {

QVariant listValue(const Value &v)
{
    switch (v.kind) {
    case Value::Int: return QVariant(qlonglong(v.i));
    case Value::Real: return QVariant(v.d);
    case Value::Text: return QVariant(qs(v.s));
    case Value::Bool: return QVariant(v.i != 0);
    case Value::Null: break;
    }
    return QVariant();
}

QList<DataGridModel::Row> listRows(const QueryResult &result)
{
    QList<DataGridModel::Row> rows;
    rows.reserve(qsizetype(result.rows.size()));
    for (const Row &r : result.rows) {
        DataGridModel::Row row;
        row.reserve(qsizetype(r.size()));
        for (const Value &v : r) row << listValue(v);
        rows << row;
    }
    return rows;
}

} // namespace dx
