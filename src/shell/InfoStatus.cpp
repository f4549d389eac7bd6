// Counting compartments, sub-compartments and area of the project.
#include "shell/InfoStatus.h"

#include "core/QtText.h"
#include "engine/common/EngineError.h"

namespace dx {

QString InfoStatus(Database &db, const QString &tablePath)
{
    const QString table = QLatin1Char('"') + tablePath + QLatin1Char('"');
    try {
        auto compartments = db.open(ss(QStringLiteral("select distinct OTD from ") + table));
        size_t otdCount = compartments->count();
        compartments.reset();
        auto records = db.open(ss(QStringLiteral("select * from ") + table));
        size_t recordCount = records->count();
        records.reset();
        auto area = db.open(ss(QStringLiteral("select SUM(PL) AREA from ") + table));
        int col = area->columnIndex("Area");
        double pl = (col < 0 || area->eof()) ? 0.0 : area->value(size_t(col)).toReal();
        // The unit is written with the Latin letters x and a.
        return QStringLiteral("отдели:%1, подотдели:%2, площ:%3 xa")
            .arg(otdCount)
            .arg(recordCount)
            .arg(formatFixed(pl, 1));
    } catch (const std::exception &) {
        return {};
    }
}

} // namespace dx
