// The area lists of the Lists window, computed by local SQL over the project table and,
// for the species, by one walk over its records.
#include "lists/AreaLists.h"

#include "core/NumberFormat.h"
#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Database.h"
#include "lists/ListValues.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <stdexcept>

namespace dx {
namespace {

const QString kAreaTitle = QStringLiteral("Площ (ха)");

std::string quotedPath(const QString &path)
{
    // File names go into the statements as the dialect's quoted table names; a name is
    // the program's own path, and a quote in it is doubled all the same.
    std::string out = "\"";
    for (char ch : ss(path)) {
        out += ch;
        if (ch == '"') out += '"';
    }
    return out + '"';
}

// The rounding of areas to tenths: the integer part plus the tenths of the fraction,
// rounded to nearest with ties to even.
double roundAreaToTenth(double x)
{
    const double whole = std::trunc(x);
    return whole + std::nearbyint((x - whole) * 10.0) / 10.0;
}

} // namespace

const QList<AreaAttribute> &areaAttributes()
{
    static const QList<AreaAttribute> list = {
        {QStringLiteral("Вид гори"), QStringLiteral("VID_GORI")},
        {QStringLiteral("Вид подотдел"), QStringLiteral("VID_PODOTD")},
        {QStringLiteral("Стопански клас"), QStringLiteral("STOP_KLAS")},
        {QStringLiteral("Област"), QStringLiteral("OBLAST")},
        {QStringLiteral("Подпояс"), QStringLiteral("PODPOIAS")},
        {QStringLiteral("Надморска височина"), QStringLiteral("NADM_VIS")},
        {QStringLiteral("Изложение"), QStringLiteral("IZLOJENIE")},
        {QStringLiteral("Месторастене"), QStringLiteral("MESTORAST")},
        {QStringLiteral("Строеж"), QStringLiteral("STROEJ")},
        {QStringLiteral("Състояние"), QStringLiteral("SYSTOIANIE")},
        {QStringLiteral("Вид почва"), QStringLiteral("POCHVA")},
        {QStringLiteral("Механичен състав на почвата"), QStringLiteral("MEH_SYST")},
        {QStringLiteral("Каменливост"), QStringLiteral("KAMENL")},
        {QStringLiteral("Плътност на почвата"), QStringLiteral("PLYTNOST")},
        {QStringLiteral("Дъбочина на почвата"), QStringLiteral("DYLBOCHINA")},
        {QStringLiteral("Влажност на почвата"), QStringLiteral("VLAJNOST")},
        {QStringLiteral("Степен на ерозия"), QStringLiteral("ERO_ST")},
        {QStringLiteral("Основна скала"), QStringLiteral("OSN_SKALA")},
        {QStringLiteral("Богатство"), QStringLiteral("BOGATSTVO")},
        {QStringLiteral("Землища"), QStringLiteral("ZEML")},
        {QStringLiteral("ГСУ"), QStringLiteral("GSU")},
    };
    return list;
}

AreaList AreasByCompartment(Database &db, const QString &projectTablePath, const QLocale &locale)
{
    const std::string table = quotedPath(projectTablePath);
    const QueryResult rows = db.execute("SELECT OTD,sum(PL) P from " + table + " group by OTD");
    const QueryResult total = db.execute("SELECT sum(PL) P from " + table);
    AreaList out;
    out.mode = 1;
    out.width = 190;
    out.content.columns = {GridColumn(QStringLiteral("Отдел"), {}, Qt::AlignRight | Qt::AlignVCenter),
                           GridColumn(kAreaTitle, {}, Qt::AlignRight | Qt::AlignVCenter)};
    out.content.rows = listRows(rows);
    out.caption = QStringLiteral("Oтдели - %1 броя").arg(out.content.rows.size());
    const double sum = total.rows.empty() ? 0.0 : total.rows[0][0].toReal();
    out.status = QStringLiteral("Обща площ: %1 ха").arg(formatNumber(sum, QStringLiteral("0.00"), locale));
    return out;
}

AreaList AreasBySpecies(Database &db, const QString &projectTablePath, const QString &programDir,
                        const SpeciesProgress &progress, const QLocale &locale)
{
    auto label = [&](const QString &t) { if (progress.label) progress.label(t); };
    auto gauge = [&](int p) { if (progress.gauge) progress.gauge(p); };
    const QString loading = QStringLiteral("Зареждане на данните...");
    label(loading);
    gauge(0);

    // The species in the order first met, position 0 the placeholder "0".
    QStringList species{QStringLiteral("0")};
    QHash<QString, int> position;
    const std::string table = quotedPath(projectTablePath);
    for (int n = 1; n <= 11; ++n) {
        const QueryResult r = db.execute("select distinct DV" + std::to_string(n) + " from " + table);
        for (const Row &row : r.rows) {
            const QString dv = qs(row[0].toText());
            if (dv == QLatin1String("-") || dv == QLatin1String("0") || position.contains(dv)) continue;
            if (species.size() > kMaxSpecies)
                throw EngineError(ss(projectTablePath),
                                  "more than " + std::to_string(kMaxSpecies) + " tree species in DV1..DV11");
            position.insert(dv, int(species.size()));
            species << dv;
        }
        gauge(int(std::lround(n * 100.0 / 11)));
    }

    // One walk over the records, adding each first-storey element's share.
    const TableFilePtr file = db.table(db.resolve(ss(projectTablePath)));
    auto field = [&](const std::string &name) {
        const int i = file->fieldIndex(name);
        if (i < 0) throw EngineError(file->path(), "the table has no field " + name);
        return size_t(i);
    };
    size_t dvField[12], uchField[12], etField[12];
    for (int n = 1; n <= 11; ++n) {
        dvField[n] = field("DV" + std::to_string(n));
        uchField[n] = field("UCH" + std::to_string(n));
        etField[n] = field("ET" + std::to_string(n));
    }
    const size_t plField = field("PL");
    std::vector<double> area(species.size(), 0.0);
    auto add = [&](const std::string &dv, double value) {
        const auto it = position.constFind(qs(dv));
        if (it != position.constEnd()) area[size_t(*it)] += value;
    };
    const size_t count = file->rowCount();
    int shown = -1;
    for (size_t r = 0; r < count; ++r) {
        const std::string dv1 = file->value(r, dvField[1]).toText();
        if (dv1 != "-") {
            const double pl = file->value(r, plField).toReal();
            if (file->value(r, uchField[1]).toInt() == 10) {
                add(dv1, pl);
            } else {
                int tenths = 0;
                for (int n = 1; n <= 11; ++n) {
                    const std::string dv = file->value(r, dvField[n]).toText();
                    const int64_t uch = file->value(r, uchField[n]).toInt();
                    if (dv != "-" && uch != 0 && file->value(r, etField[n]).toText() == "1") {
                        add(dv, pl * double(uch) / 10.0);
                        tenths += int(uch);
                        if (tenths == 10) break;
                    }
                }
            }
        }
        const int percent = int(std::lround(double(r + 1) * 100.0 / double(count)));
        if (percent != shown) gauge(shown = percent);
    }

    // The species area table, made anew, and the list read back from it.
    const QString tablePath = QDir(programDir).filePath(kSpeciesAreaTable);
    const QFileInfo info(tablePath);
    if (info.isDir())
        throw FileWriteError(tablePath, QStringLiteral("на негово място има папка"));
    if (info.exists() && !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)))
        throw FileWriteError(tablePath, QStringLiteral("файлът е защитен от запис"));
    std::vector<Row> out;
    double total = 0;
    for (qsizetype p = 1; p < species.size(); ++p) {
        label(species[p] + QStringLiteral("..."));
        const double a = roundAreaToTenth(area[size_t(p)]);
        out.push_back({Value::fromText(ss(species[p])), Value::fromReal(a)});
        total += a;
        gauge(int(std::lround(double(p) * 100.0 / double(species.size() - 1))));
    }
    try {
        dbf::create(ss(tablePath), {makeField("TXT", FieldType::Text, 30), makeField("AREA", FieldType::Real, 12, 1)},
                    out);
    } catch (const EngineError &e) {
        throw FileWriteError(tablePath, qs(e.reason()));
    }
    const QueryResult listed = db.execute("SELECT * from " + quotedPath(tablePath) + " ORDER BY AREA DESC");
    label(loading);

    AreaList list;
    list.mode = 2;
    list.width = 300;
    list.content.columns = {GridColumn(QStringLiteral("Дървесен вид")),
                            GridColumn(kAreaTitle, {}, Qt::AlignRight | Qt::AlignVCenter)};
    list.content.rows = listRows(listed);
    list.caption = QStringLiteral("Дървесни видове - %1 броя").arg(list.content.rows.size());
    list.status = QStringLiteral("Общо: %1").arg(formatNumber(total, QStringLiteral("0.0"), locale));
    return list;
}

AreaList AreasByAttribute(Database &db, const QString &projectTablePath, int number, const QString &landAreaPath)
{
    if (number < 1 || number > areaAttributes().size())
        throw std::out_of_range("attribute number " + std::to_string(number) + " is not 1 to 21");
    const AreaAttribute &a = areaAttributes().at(number - 1);
    const std::string table = quotedPath(projectTablePath);
    const bool landAreas = a.field == QLatin1String("ZEML") && !landAreaPath.isEmpty();
    const std::string statement =
        landAreas ? "SELECT t2.ZEMNAME, SUM(t1.PL) AS P from " + table + " t1, " + quotedPath(landAreaPath) +
                        " t2\nwhere (t1.zeml = t2.nomer) GROUP BY T2.ZEMNAME order BY P desc"
                  : "SELECT " + ss(a.field) + ",sum(PL) P from " + table + " group by " + ss(a.field) +
                        " order by P desc";
    const QueryResult r = db.execute(statement);
    AreaList out;
    out.caption = QStringLiteral("Площи по %1").arg(a.label);
    out.content.columns = {GridColumn(landAreas ? QStringLiteral("Землище") : a.label),
                           GridColumn(kAreaTitle, QStringLiteral("#.0"), Qt::AlignRight | Qt::AlignVCenter)};
    out.content.rows = listRows(r);
    out.status = QStringLiteral("записи: %1").arg(out.content.rows.size());
    return out;
}

CompartmentDetailList CompartmentDetail(Database &db, const QString &projectTablePath, int otd, const QLocale &locale)
{
    CompartmentDetailList out;
    out.caption = QStringLiteral("Oтдел No.%1").arg(otd);
    const std::string table = quotedPath(projectTablePath);
    double sum = 0;
    try {
        const QueryResult total = db.execute("SELECT sum(PL) P from " + table + " where OTD=" + std::to_string(otd));
        if (!total.rows.empty()) sum = total.rows[0][0].toReal();
        const QueryResult rows =
            db.execute("SELECT PODOTD,VID_PODOTD,PL from " + table + " where OTD=" + std::to_string(otd));
        out.content.rows = listRows(rows);
    } catch (const EngineError &) {
        out.status = QStringLiteral("Oтдел %1 не е намерен.").arg(otd);
        return out;
    }
    out.found = true;
    out.content.columns = {GridColumn(QStringLiteral("подтдел"), {}, Qt::AlignCenter),
                           GridColumn(QStringLiteral("вид подотдел")),
                           GridColumn(QStringLiteral("площ (ха)"), {}, Qt::AlignRight | Qt::AlignVCenter)};
    out.status = QStringLiteral("обща площ: %1 ха, брой подотдели: %2")
                     .arg(formatNumber(sum, QStringLiteral("0.00"), locale))
                     .arg(out.content.rows.size());
    return out;
}

} // namespace dx

namespace dx {

QString textFileName(const QString &chosen)
{
    const qsizetype n = chosen.size();
    return n >= 4 && chosen.at(n - 4) == QLatin1Char('.') ? chosen : chosen + QStringLiteral(".txt");
}

} // namespace dx
