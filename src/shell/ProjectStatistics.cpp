// The figures of the project information window.
#include "shell/ProjectStatistics.h"

#include "core/QtText.h"
#include "engine/common/Value.h"

#include <stdexcept>

namespace dx {
namespace {

QString quoted(const QString &path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

} // namespace

ProjectStatistics computeStatistics(AppState &st)
{
    Table &t = st.projectTable;
    try {
        if (!t.active()) {
            t.setPath(ss(st.projectTablePath));
            t.open();
        }
        t.setFiltered(false);
    } catch (const std::exception &) {
        throw std::runtime_error(
            ss(QStringLiteral("Неможе да бъде отворена таблица %1!").arg(st.projectTablePath)));
    }
    ProjectStatistics s;
    const QString table = quoted(st.projectTablePath);
    s.compartments = int(st.db.execute(ss(QStringLiteral("select distinct OTD from %1").arg(table))).rows.size());
    s.subCompartments = int(t.recordCount());
    const QueryResult area = st.db.execute(ss(QStringLiteral("select SUM(PL) AREA from %1").arg(table)));
    const double total = area.rows.empty() ? 0.0 : area.rows[0][0].toReal();
    s.areaText = formatFixed(total, 1) + QStringLiteral(" xa");
    const QueryResult kinds =
        st.db.execute(ss(QStringLiteral("select distinct NZN2 from %1 where NZN2<>\"\"").arg(table)));
    for (const Row &row : kinds.rows) {
        const QString sob = qs(row[0].toText());
        const QueryResult sum = st.db.execute(
            ss(QStringLiteral("select SUM(PL) AREA from %1 where NZN2=\"%2\"").arg(table, sob)));
        const double v = sum.rows.empty() ? 0.0 : sum.rows[0][0].toReal();
        // "%.1f" text stored back as a real, as the in-memory table holds it.
        QString tenth = formatFixed(v, 1);
        tenth.replace(QLatin1Char(','), QLatin1Char('.'));
        s.ownership.push_back({sob, tenth.toDouble()});
    }
    return s;
}

QString statisticsText(const AppState &st, const ProjectStatistics &s)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("Статистика - %1 %2г.").arg(st.title, st.year) + crlf + crlf;
    text += QStringLiteral("Отдели:\t%1").arg(s.compartments) + crlf;
    text += QStringLiteral("Подотдели:\t%1").arg(s.subCompartments) + crlf;
    text += QStringLiteral("Площ:\t") + s.areaText + crlf + crlf;
    text += QStringLiteral("Разпределение на общата площ по видове собственост:") + crlf;
    for (const OwnershipArea &o : s.ownership)
        text += o.sob + QLatin1Char('\t') + qs(formatReal(o.area)) + QStringLiteral(" ха") + crlf;
    text += crlf + crlf + st.contactLine;
    return text;
}

} // namespace dx
