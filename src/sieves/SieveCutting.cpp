// Cutting positions: their condition, their text and the lists of cutting types.
#include "sieves/SieveCutting.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "description/ProjectRecord.h"
#include "engine/common/EngineError.h"
#include "engine/sql/Database.h"

namespace dx {

QString cuttingSlotLabel(int slot)
{
    return QStringLiteral("Сеч %1:").arg(slot);
}

QString cuttingText(const CuttingSlots &positions)
{
    QStringList chosen;
    for (const QString &s : positions)
        if (!s.isEmpty()) chosen << s;
    return chosen.join(QStringLiteral(", "));
}

QString cuttingClause(const CuttingSlots &positions)
{
    QStringList conditions;
    for (int n = 1; n <= kCuttingSlots; ++n) {
        const QString &v = positions[size_t(n - 1)];
        if (!v.isEmpty()) conditions << slotField("SECH%d", n) + QLatin1Char('=') + sqlQuoted(v);
    }
    return conditions.join(QStringLiteral(" and "));
}

QString cuttingTypeStatement(int slot, const QString &tablePath)
{
    const QString field = slotField("SECH%d", slot);
    return QStringLiteral("select distinct %1 from ").arg(field) + sqlQuoted(tablePath) +
           QStringLiteral(" where %1 <> \"-\"").arg(field);
}

CuttingTypeLists LoadComboSech(Database &db, const QString &tablePath)
{
    CuttingTypeLists out;
    for (int n = 1; n <= kCuttingSlots; ++n) {
        try {
            const QueryResult r = db.execute(ss(cuttingTypeStatement(n, tablePath)));
            if (r.rows.empty()) continue;
            QStringList &list = out.lists[size_t(n - 1)];
            for (const Row &row : r.rows) list << (row.empty() ? QString() : qs(row[0].toText()));
            out.enabled[size_t(n - 1)] = true;
        } catch (const EngineError &) {
            // A position the table cannot answer for stays disabled.
        }
    }
    return out;
}

bool CuttingWindow::show(Database &db, const QString &tablePath)
{
    if (loaded_) return false;
    lists_ = LoadComboSech(db, tablePath);
    clear();
    loaded_ = true;
    return true;
}

void CuttingWindow::clear()
{
    for (QString &t : texts_) t.clear();
}

} // namespace dx
