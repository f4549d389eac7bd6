// The run of the working sieve and the grid of its result.
#include "sieves/SieveRun.h"

#include "core/AppState.h"
#include "core/QtText.h"
#include "engine/sql/Database.h"
#include "engine/common/EngineError.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveFieldTable.h"

namespace dx {

namespace {

QVariant cell(const Value &v)
{
    switch (v.kind) {
    case Value::Null: return QVariant();
    case Value::Int: return QVariant(qlonglong(v.i));
    case Value::Real: return QVariant(v.d);
    case Value::Bool: return QVariant(v.i != 0);
    case Value::Text: return QVariant(qs(v.s));
    }
    return QVariant();
}

} // namespace

QString sieveResultLabel(int rows, double area)
{
    if (rows == 0) return QStringLiteral("подотдели: 0, площ: 0 ха");
    return QStringLiteral("подотдели: %1, площ: %2 ха").arg(rows).arg(formatFixed(area, 2));
}

SieveResult executeSieve(Database &db, const QString &statement)
{
    SieveResult out;
    std::unique_ptr<Cursor> c = db.open(ss(statement));
    const size_t columns = c->columns().size();
    for (const std::string &name : c->columns()) {
        out.fields << qs(name);
        const QString caption = sieveFieldCaption(qs(name));
        out.titles << (caption.isEmpty() ? qs(name) : caption);
    }
    const int pl = c->columnIndex("PL");
    for (; !c->eof(); c->next()) {
        DataGridModel::Row row;
        row.reserve(qsizetype(columns));
        for (size_t i = 0; i < columns; ++i) row << cell(c->value(i));
        if (pl >= 0) out.area += c->value(size_t(pl)).toReal();
        out.rows << std::move(row);
    }
    return out;
}

QList<GridColumn> sieveGridColumns(const SieveResult &result)
{
    QList<GridColumn> columns;
    const bool hasRows = !result.rows.isEmpty();
    for (qsizetype i = 0; i < result.titles.size(); ++i) {
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        if (hasRows && i < 2) align = Qt::AlignHCenter | Qt::AlignVCenter;
        if (hasRows && i == 2) align = Qt::AlignRight | Qt::AlignVCenter;
        columns << GridColumn(result.titles[i], QString(), align);
    }
    return columns;
}

int sieveColumnPixelWidth(int column, bool hasRows)
{
    if (!hasRows) return 0;
    switch (column) {
    case 0: case 1: return 50;
    case 2: return 70;
    default: return 0;
    }
}

void fillSieveModel(DataGridModel &model, const SieveResult &result)
{
    model.setColumns(sieveGridColumns(result));
    model.setRows(result.rows);
}

SieveRunOutcome runWorkingSieve(AppState &state, const SieveCriteria &criteria, const QList<int> &columns,
                                const QString &currentLabel)
{
    SieveRunOutcome out;
    out.label = currentLabel;
    const SieveStatement s = composeSieveStatement(criteria, sieveColumnList(columns), state.projectTablePath,
                                                   landAreaLookup(state.landArea));
    out.statement = s.statement;
    switch (s.status) {
    case SieveStatement::Status::NoCriterion:
        out.status = SieveRunOutcome::Status::NoCriterion;
        out.message = s.message;
        return out;
    case SieveStatement::Status::InvalidData:
        out.status = SieveRunOutcome::Status::InvalidData;
        out.message = s.message;
        break;
    case SieveStatement::Status::Ready:
        out.selection = s.clause;
        try {
            out.result = executeSieve(state.db, s.statement);
            out.status = out.result.rows.isEmpty() ? SieveRunOutcome::Status::NoRows : SieveRunOutcome::Status::Rows;
            out.label = sieveResultLabel(out.result.rowCount(), out.result.area);
        } catch (const EngineError &) {
            out.status = SieveRunOutcome::Status::InvalidData;
            out.message = invalidDataMessage(s.statement);
            out.result = SieveResult();
        }
        break;
    }
    out.heading = GetFilterCyr(criteria, state.title, state.year, out.label);
    return out;
}

} // namespace dx
