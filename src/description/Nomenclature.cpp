// Reference-table lookups: code lists and damage wording from the nomenclature,
// branch-wood percentages, site-class values and land-area names and numbers.
#include "description/Nomenclature.h"

#include "core/Quoting.h"
#include "description/DamageWordingMemo.h"
#include "description/ProjectRecord.h"
#include "engine/common/EngineError.h"
#include "engine/sql/Table.h"

#include <algorithm>

namespace dx {
namespace {

QString text(const Table &t, const char *field)
{
    return QString::fromStdString(t.asText(field)).trimmed();
}

// Sets a lookup filter and makes sure it applies, filtering the table only once.
void applyFilter(Table &t, const QString &expression)
{
    t.setFilter(expression.toStdString());
    if (!t.filtered()) t.setFiltered(true);
    t.first();
}

// A PR text lists the origins a row applies to, one digit each.
bool holdsOrigin(const QString &pr, int origin)
{
    QString digit = QString::number(origin);
    return digit.size() == 1 && pr.contains(digit.at(0));
}

} // namespace

QStringList pickList(Table &names, const QString &type)
{
    if (!names.active()) throw EngineError(names.path(), "the nomenclature table is not open");
    names.first();
    QStringList out;
    try {
        names.setFilter((QStringLiteral("TYPE=") + filterQuoted(type) + QStringLiteral(" and CODE>0")).toStdString());
        names.setFiltered(true);
        for (names.first(); !names.eof(); names.next()) out << QString::fromStdString(names.asText("PRINT"));
    } catch (...) {
        names.setFiltered(false);
        throw;
    }
    names.setFiltered(false);
    return out;
}

QStringList speciesList(Database &db, const QString &namesPath)
{
    Query q(db);
    q.setSql((QStringLiteral("select PRINT from ") + sqlQuoted(namesPath) +
              QStringLiteral(" where TYPE=\"dv\" and CODE>0")).toStdString());
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next()) out << QString::fromStdString(q.asText("PRINT"));
    q.close();
    return out;
}

namespace {
thread_local DamageWordingMemo *memoInForce = nullptr;

QString memoKey(const QString &namesPath, const QString &letter) { return namesPath + QChar(0) + letter; }
} // namespace

DamageWordingMemo::DamageWordingMemo() : outer_(memoInForce) { memoInForce = this; }
DamageWordingMemo::~DamageWordingMemo() { memoInForce = outer_; }
DamageWordingMemo *DamageWordingMemo::current() { return memoInForce; }

const DamageWording *DamageWordingMemo::find(const QString &namesPath, const QString &letter) const
{
    const auto it = kept_.constFind(memoKey(namesPath, letter));
    return it == kept_.constEnd() ? nullptr : &*it;
}

void DamageWordingMemo::keep(const QString &namesPath, const QString &letter, const DamageWording &wording)
{
    if (!wording.failed) kept_.insert(memoKey(namesPath, letter), wording);
}

DamageWording damageWording(Database &db, const QString &namesPath, const QString &letter)
{
    DamageWordingMemo *memo = DamageWordingMemo::current();
    if (memo)
        if (const DamageWording *kept = memo->find(namesPath, letter)) return *kept;
    DamageWording result;
    Query q(db);
    q.setSql((QStringLiteral("SELECT * FROM ") + sqlQuoted(namesPath) + QStringLiteral(" WHERE TYPE=\"pov\" and IN2=") +
              sqlQuoted(letter)).toStdString());
    try {
        q.open();
        q.first();
        if (!q.eof()) {
            result.found = true;
            result.wording = QString::fromStdString(q.asText("PRINT"));
        }
    } catch (const EngineError &e) {
        result.failed = true;
        result.found = false;
        result.wording.clear();
        result.error = QString::fromStdString(e.what());
    }
    q.close();
    if (memo) memo->keep(namesPath, letter, result);
    return result;
}

QString damageLookupFailedText(const QString &namesPath)
{
    return QStringLiteral("Не може да бъде отворен номенклатурен файл %1. рестартирайте компютъра и опитаите отново")
        .arg(namesPath);
}

int branchWoodPercent(Table &kloni, const QString &species, int origin, int height)
{
    if (!kloni.active()) return 0;
    const std::string column = "H" + std::to_string(std::clamp(height, 3, 30));
    try {
        applyFilter(kloni, QStringLiteral("NAME=") + filterQuoted(species));
        if (kloni.isEmpty()) return 0;
        if (text(kloni, "PR").isEmpty()) {
            // A borrowing row: its LINK names the rows whose percentages it takes. An
            // empty LINK names nothing (it must not pick every row with an empty SHORT).
            QString link = text(kloni, "LINK");
            if (link.isEmpty()) return 0;
            bool whole = false;
            int n = link.toInt(&whole, 10);
            applyFilter(kloni, whole ? QStringLiteral("COUNT='%1'").arg(n) : QStringLiteral("SHORT=") + filterQuoted(link));
        }
        if (kloni.recordCount() > 1) {
            for (kloni.first(); !kloni.eof(); kloni.next())
                if (holdsOrigin(text(kloni, "PR"), origin)) return int(kloni.asInt(column));
            return 0;
        }
        if (kloni.recordCount() == 1) return int(kloni.asInt(column));
        return 0;
    } catch (const EngineError &) {
        return 0;
    }
}

double siteClassValue(Table &bon, const QString &species, int siteClass)
{
    if (siteClass < 1 || siteClass > 5 || !bon.active()) return 0;
    try {
        applyFilter(bon, QStringLiteral("DV=") + filterQuoted(species));
        if (bon.isEmpty()) return 0;
        return bon.asReal("B" + std::to_string(siteClass));
    } catch (const EngineError &) {
        return 0;
    }
}

QString landAreaName(Table &zem, int number)
{
    QString asNumber = QString::number(number);
    if (!zem.active()) return asNumber;
    try {
        applyFilter(zem, QStringLiteral("NOMER=%1").arg(number));
        if (zem.isEmpty()) return asNumber;
        return QString::fromStdString(zem.asText("ZEMNAME"));
    } catch (const EngineError &) {
        return asNumber;
    }
}

int landAreaNumber(Table &zem, const QString &name)
{
    if (!zem.active()) return -1;
    try {
        applyFilter(zem, QStringLiteral("ZEMNAME=") + filterQuoted(name));
        if (zem.isEmpty()) return -1;
        return int(zem.asInt("NOMER"));
    } catch (const EngineError &) {
        return -1;
    }
}

QString areaByLandAreaStatement(const QString &tablePath, const QString &zemPath)
{
    return QStringLiteral("SELECT t2.ZEMNAME, SUM(t1.PL) AS P from ") + sqlQuoted(tablePath) + QStringLiteral(" t1, ") +
           sqlQuoted(zemPath) + QStringLiteral(" t2 ") +
           QStringLiteral("where (t1.zeml = t2.nomer) GROUP BY T2.ZEMNAME order BY P desc");
}

} // namespace dx
