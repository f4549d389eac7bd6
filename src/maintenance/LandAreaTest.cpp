// The land-area names test and the making of a missing land-area table.
#include "maintenance/LandAreaTest.h"

#include "core/Paths.h"
#include "core/QtText.h"
#include "core/ProfileFile.h"
#include "core/Settings.h"
#include "engine/dbf/DbfFile.h"

#include <QDir>
#include <QFileInfo>

#include <stdexcept>

namespace dx {
namespace {

using Icon = UserMessage::Icon;

UserMessage cannotOpen(const QString &path)
{
    return {QStringLiteral("Open table"), QStringLiteral("Cannot open table %1").arg(path), Icon::Error};
}

} // namespace

std::optional<LandAreaTestResult> testLandAreaNames(AppState &st, UserMessage *failure)
{
    auto fail = [&](UserMessage m) -> std::optional<LandAreaTestResult> {
        if (failure) *failure = std::move(m);
        return std::nullopt;
    };
    if (st.projectTable.active()) st.projectTable.setFiltered(false);
    const QString table = QLatin1Char('"') + st.projectTablePath + QLatin1Char('"');
    QueryResult used;
    try {
        used = st.db.execute(ss(QStringLiteral("SELECT DISTINCT zeml FROM %1 WHERE zeml<>0").arg(table)));
    } catch (const std::exception &e) {
        UserMessage m = cannotOpen(st.projectTablePath);
        m.detail = qs(e.what());
        return fail(m);
    }
    Table &zem = st.landArea;
    if (!zem.active())
        return fail({plainCaption(),
                     QStringLiteral("Неможе да бъде отворена таблица %1.").arg(st.path(st.zemFileName)), Icon::Error});

    LandAreaTestResult r;
    r.lines << QStringLiteral("Тест - Съответсвие имена на землища") << QString();
    zem.setFiltered(false);
    r.lines << QStringLiteral("брой землища в лес.данни: %1").arg(used.rows.size());
    r.lines << QStringLiteral("брой землища в ном.файл: %1").arg(zem.recordCount()) << QString();
    for (const Row &row : used.rows) {
        const long long n = row[0].toInt();
        zem.setFilter(ss(QStringLiteral("NOMER=%1").arg(n)));
        zem.setFiltered(true);
        if (zem.recordCount() == 0) {
            r.lines << QStringLiteral("липсват данн за землище No.%1").arg(n);
            ++r.problems;
        } else if (zem.recordCount() > 1) {
            r.lines << QStringLiteral("има %1 за землище No.%2").arg(zem.recordCount()).arg(n);
            for (zem.first(); !zem.eof(); zem.next())
                r.lines << QStringLiteral("        [!] %1").arg(qs(zem.asText("ZEMNAME")));
            r.lines << QString();
            ++r.problems;
        }
    }
    zem.setFiltered(false);
    zem.setFilter("");
    zem.first();

    QueryResult empty;
    try {
        empty = st.db.execute(ss(QStringLiteral("SELECT otd,podotd,zeml FROM %1 WHERE zeml=0").arg(table)));
    } catch (const std::exception &e) {
        UserMessage m = cannotOpen(st.projectTablePath);
        m.detail = qs(e.what());
        return fail(m);
    }
    if (!empty.rows.empty()) {
        r.lines << QStringLiteral("Подотдели с невъведени землища");
        for (const Row &row : empty.rows)
            r.lines << QStringLiteral("        [-] %1:%2").arg(row[0].toInt()).arg(qs(row[1].toText()));
        ++r.problems;
    }
    return r;
}

namespace {

// "X.db" -> "X.dbf". A dBase project table's name already ends so and is kept: with
// another "f" the file would be no dBase table the engine knows.
QString landAreaFileName(const AppState &st)
{
    const QString name = QFileInfo(QString(st.projectTablePath).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
    return name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive) ? name : name + QLatin1Char('f');
}

} // namespace

QString newLandAreaPath(const AppState &st)
{
    // An installation's "zemnom" folder in another letter case is the same folder.
    return diskPath(joinPath(st.path(QStringLiteral("Zemnom")), landAreaFileName(st)));
}

QString newLandAreaName(const AppState &st)
{
    return QStringLiteral("Zemnom\\") + landAreaFileName(st);
}

void createLandAreaTable(AppState &st, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<FieldDef> fields = {makeField("NOMER", FieldType::Integer, 3),
                                    makeField("ZEMNAME", FieldType::Text, 254)};
    dbf::create(ss(path), fields, {});
    st.landArea.close();
    st.landArea.setPath(ss(path));
    st.landArea.open();

    const QString name = newLandAreaName(st);
    st.zemFileName = name;
    sortCatalogue(st.catalogue, CatalogueField::Direkcia, true);
    const int i = findEntry(st.catalogue, st.title, st.year);
    if (i >= 0) st.catalogue[i].zemnom = name;
    writeProfileString(st.settingsPath(), ini::kProject, ini::kLandAreas, name);
    st.settings.project.zemnom = name;
    writeProjectCatalogue(st.path(QStringLiteral("project.conf")), st.catalogue);
}

} // namespace dx
