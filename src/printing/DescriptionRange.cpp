// The sub-compartment list of a compartment range.
#include "printing/DescriptionRange.h"

#include "description/DescriptionHeader.h"
#include "engine/sql/Table.h"

namespace dx {

std::optional<QVector<RangeEntry>> resolveRange(AppState &state, int from, int to,
                                                const std::function<void(const UserMessage &)> &report)
{
    Table &t = state.projectTable;
    struct Release {
        Table &t;
        ~Release()
        {
            t.close();
            t.setFiltered(false);
        }
    } release{t};
    auto warn = [&](const QString &text) {
        if (report) report({QStringLiteral("Внимание!"), text, UserMessage::Icon::Warning, {}});
        return std::nullopt;
    };
    if (to < from) return warn(QStringLiteral("Избрания интевал от-до е грешен."));
    auto select = [&](const QString &filter) {
        t.setFilter(filter.toStdString());
        if (!t.filtered()) t.setFiltered(true);
        if (!t.active()) t.open();
        t.first();
        return !t.isEmpty();
    };
    for (int end : {from, to})
        if (!select(QStringLiteral("OTD=%1").arg(end)))
            return warn(QStringLiteral("Избрали сте несъществуващ подотдел (%1).").arg(end));
    if (!select(QStringLiteral("OTD>=%1 and OTD<=%2").arg(from).arg(to)))
        return warn(QStringLiteral("Няма подотдели в интервала %1-%2 ").arg(from).arg(to));
    QVector<RangeEntry> out;
    for (t.first(); !t.eof(); t.next())
        out.push_back({int(recordInt(t, QStringLiteral("OTD"))), recordText(t, QStringLiteral("PODOTD"))});
    return out;
}

} // namespace dx
