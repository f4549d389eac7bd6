// Summing the physico-geographic tables: one walk over the project table's records
// (the wood-producing kinds under the ownership filter, or every record for table 12-13)
// into fixed arrays, then the rows as the dBase file will hold them.
#include "lists/PhysGeoTables.h"

#include "core/QtText.h"
#include "engine/sql/Table.h"
#include "lists/NumberTexts.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace dx {
namespace {

constexpr int kMaxRows = 60;
constexpr int kClasses = 5;
// The widths of the label fields of the dBase files: a longer label is shown cut, as kept.
constexpr int kLabelWidth = 30, kSpeciesWidth = 32;

const QString kTotal = QStringLiteral("всичко");
const QString kTablesCaption = QStringLiteral("Таблици");

// A number as the dBase file keeps it: one decimal, rounded as the writer rounds.
double stored(double x)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 1);
    double out = 0;
    std::from_chars(buf, r.ptr, out);
    return out == 0 ? 0.0 : out; // no negative zero
}

QVariant num(double x) { return QVariant(stored(x)); }

// The kinds of sub-compartment of the wood-producing land.
const char *const kWoodKinds[] = {"клек", "голина", "пожарище", "сечище", "семенно насаждение",
                                  "издънково насаждение", "склопена култура", "несклопена култура",
                                  "изредена култура"};

// The records a table walks: the project table under the ownership filter's record
// condition and, unless every record counts, only the wood-producing kinds. The kinds are
// compared here rather than joined into the record filter by "or": the same records, in a
// third of the time.
struct Walk {
    Walk(Database &db, const QString &path, const OwnershipFilter *ownership) : table(db), woodOnly(ownership)
    {
        table.setPath(ss(path));
        table.open();
        if (ownership && !ownership->recordFilter.isEmpty()) {
            table.setFilter(ss(ownership->recordFilter.mid(5))); // without its leading " and "
            table.setFiltered(true);
        }
        if (woodOnly) kind = field("VID_PODOTD");
        for (first(); !table.eof(); next()) ++count;
    }
    ~Walk() { table.close(); }
    size_t field(const char *name) const
    {
        const int i = table.fieldIndex(name);
        if (i < 0)
            throw PhysGeoError({kTablesCaption,
                                QStringLiteral("Таблица %1 няма поле %2.").arg(qs(table.path()), QLatin1String(name)),
                                UserMessage::Icon::Error});
        return size_t(i);
    }
    void first()
    {
        table.first();
        skip();
    }
    void next()
    {
        table.next();
        skip();
    }
    void skip()
    {
        while (woodOnly && !table.eof() && !isWoodKind(table.value(kind).toText())) table.next();
    }
    static bool isWoodKind(const std::string &k)
    {
        for (const char *w : kWoodKinds)
            if (k == w) return true;
        return false;
    }
    Table table;
    bool woodOnly;
    size_t kind = 0;
    size_t count = 0; // the records walked
};

// Reports progress over one walk.
struct Gauge {
    Gauge(const PhysGeoProgress *p, const QString &label, size_t records) : p(p)
    {
        if (p && p->start) p->start(label, int(records));
    }
    ~Gauge()
    {
        if (p && p->finish) p->finish();
    }
    void step()
    {
        ++done;
        if (p && p->position) p->position(done);
    }
    const PhysGeoProgress *p;
    int done = 0;
};

// The first column of a query, as texts, at most `limit` of them.
QStringList queryValues(Database &db, const QString &statement, int limit)
{
    const QueryResult r = db.execute(ss(statement));
    QStringList out;
    for (const Row &row : r.rows) {
        if (out.size() >= limit) break;
        out << qs(row.at(0).toText());
    }
    return out;
}

// The distinct values of each field over the whole project table but the one value each
// leaves out, in the order they first appear (as "select distinct F from ... where F<>X"
// returns them), in one walk for all the fields. At most `limit` values in all, the
// fields' lists taken in turn.
QList<QStringList> distinctValues(Database &db, const QString &path,
                                  const std::vector<std::pair<const char *, const char *>> &fields, int limit)
{
    Walk all(db, path, nullptr);
    std::vector<size_t> index;
    std::vector<std::unordered_set<std::string>> seen(fields.size());
    std::vector<std::vector<std::string>> values(fields.size());
    for (const auto &f : fields) index.push_back(all.field(f.first));
    for (all.first(); !all.table.eof(); all.next()) {
        for (size_t i = 0; i < fields.size(); ++i) {
            const Value v = all.table.value(index[i]);
            if (v.isNull()) continue; // a null compares as neither equal nor unequal
            std::string text = v.toText();
            if (text == fields[i].second || seen[i].count(text)) continue;
            seen[i].insert(text);
            values[i].push_back(std::move(text));
        }
    }
    QList<QStringList> out;
    int room = limit;
    for (const auto &list : values) {
        QStringList l;
        for (const std::string &v : list) {
            if (room <= 0) break;
            l << qs(v);
            --room;
        }
        out << l;
    }
    return out;
}

// The rows of an area table: one per label with its area and percent of `total`, then
// the total row. Percent is rounded to tenths; the total row says 100 (0 with no area).
void appendAreaRows(QList<DataGridModel::Row> &rows, const QStringList &labels, const std::vector<double> &areas,
                    double total)
{
    for (int i = 0; i < labels.size(); ++i) {
        const double area = areas[size_t(i)];
        const double percent = total > 0 ? RoundToTenth(area / total * 100) : 0.0;
        rows << DataGridModel::Row{labels[i].left(kLabelWidth), num(area), num(percent)};
    }
}
void appendTotalRow(QList<DataGridModel::Row> &rows, double total)
{
    rows << DataGridModel::Row{kTotal, num(total), num(total > 0 ? 100.0 : 0.0)};
}

double sum(const std::vector<double> &v)
{
    double s = 0;
    for (double x : v) s += x;
    return s;
}

// Tables 1 and 1а: the area by altitude band of `step` metres.
QList<DataGridModel::Row> altitudeRows(Walk &w, int step, Gauge &gauge)
{
    const size_t pl = w.field("PL"), alt = w.field("NADM_VIS");
    std::vector<double> bands(kMaxRows, 0.0);
    for (w.first(); !w.table.eof(); w.next()) {
        gauge.step();
        const int64_t v = w.table.value(alt).toInt();
        if (v <= 0) continue; // not entered (or below the sea): no band
        const int64_t j = (v + step - 1) / step;
        if (j > kMaxRows) continue;
        bands[size_t(j - 1)] += w.table.value(pl).toReal();
    }
    QStringList labels;
    std::vector<double> areas;
    for (int j = 1; j <= kMaxRows; ++j) {
        if (bands[size_t(j - 1)] <= 0) continue;
        labels << QStringLiteral("%1 - %2 m").arg(step * (j - 1) + 1).arg(step * j);
        areas.push_back(bands[size_t(j - 1)]);
    }
    QList<DataGridModel::Row> rows;
    const double total = sum(areas);
    appendAreaRows(rows, labels, areas, total);
    appendTotalRow(rows, total);
    return rows;
}

// Table 2: five slope classes.
QList<DataGridModel::Row> slopeRows(Walk &w, Gauge &gauge)
{
    const QStringList labels = {QStringLiteral("Равно (0-4°)"), QStringLiteral("Полегато (5-10°)"),
                                QStringLiteral("Наклонено (11-20°)"), QStringLiteral("Стръмно (21-30°)"),
                                QStringLiteral("Много стръмно (над 30°)")};
    const size_t pl = w.field("PL"), slope = w.field("NAKLON");
    std::vector<double> areas(5, 0.0);
    for (w.first(); !w.table.eof(); w.next()) {
        gauge.step();
        const int64_t v = w.table.value(slope).toInt();
        const int row = v < 0 ? -1 : v <= 4 ? 0 : v <= 10 ? 1 : v <= 20 ? 2 : v <= 30 ? 3 : v <= 90 ? 4 : -1;
        if (row >= 0) areas[size_t(row)] += w.table.value(pl).toReal();
    }
    QList<DataGridModel::Row> rows;
    const double total = sum(areas);
    appendAreaRows(rows, labels, areas, total);
    appendTotalRow(rows, total);
    return rows;
}

// Table 3: shaded and sunny exposures by the first letter.
QList<DataGridModel::Row> exposureRows(Walk &w, Gauge &gauge)
{
    const QStringList labels = {QStringLiteral("Сенчести (СЗ,С,СИ,И)"), QStringLiteral("Припечени (ЮИ,Ю,ЮЗ,З)")};
    const size_t pl = w.field("PL"), exposure = w.field("IZLOJENIE");
    std::vector<double> areas(2, 0.0);
    for (w.first(); !w.table.eof(); w.next()) {
        gauge.step();
        const QString v = qs(w.table.value(exposure).toText());
        if (v.isEmpty()) continue;
        const QChar c = v.at(0);
        if (c == QChar(0x0441) || c == QChar(0x0438)) areas[0] += w.table.value(pl).toReal();      // с, и
        else if (c == QChar(0x044E) || c == QChar(0x0437)) areas[1] += w.table.value(pl).toReal(); // ю, з
    }
    QList<DataGridModel::Row> rows;
    const double total = sum(areas);
    appendAreaRows(rows, labels, areas, total);
    appendTotalRow(rows, total);
    return rows;
}

// The row of each text value (the first listed, when one appears twice).
QHash<QString, int> indexOf(const QStringList &values)
{
    QHash<QString, int> index;
    for (int i = 0; i < values.size(); ++i)
        if (!index.contains(values[i])) index.insert(values[i], i);
    return index;
}

// Tables 6 and 7: one row per value of `field` in the whole project table.
QList<DataGridModel::Row> valueRows(Database &db, const QString &projectPath, Walk &w, const char *field,
                                    Gauge &gauge)
{
    const QStringList values = distinctValues(db, projectPath, {{field, "-"}}, kMaxRows).value(0);
    const QHash<QString, int> index = indexOf(values);
    const size_t pl = w.field("PL"), f = w.field(field);
    std::vector<double> areas(size_t(values.size()), 0.0);
    for (w.first(); !w.table.eof(); w.next()) {
        gauge.step();
        const auto it = index.constFind(qs(w.table.value(f).toText()));
        if (it != index.constEnd()) areas[size_t(*it)] += w.table.value(pl).toReal();
    }
    QList<DataGridModel::Row> rows;
    const double total = sum(areas);
    appendAreaRows(rows, values, areas, total);
    appendTotalRow(rows, total);
    return rows;
}

// Table 9: regions, sub-belts and site types, each block followed by an empty row.
QList<DataGridModel::Row> regionRows(Database &db, const QString &projectPath, Walk &w, Gauge &gauge)
{
    const QList<QStringList> lists =
        distinctValues(db, projectPath, {{"OBLAST", "-"}, {"PODPOIAS", "-"}, {"MESTORAST", "0"}}, kMaxRows);
    const QStringList &regions = lists[0], &belts = lists[1], &sites = lists[2];
    const QStringList all = regions + belts + sites;
    const QHash<QString, int> index = indexOf(all);
    const size_t pl = w.field("PL");
    const size_t fields[3] = {w.field("OBLAST"), w.field("PODPOIAS"), w.field("MESTORAST")};
    std::vector<double> areas(size_t(all.size()), 0.0);
    double total = 0;
    for (w.first(); !w.table.eof(); w.next()) {
        gauge.step();
        const double area = w.table.value(pl).toReal();
        for (size_t f : fields) {
            const auto it = index.constFind(qs(w.table.value(f).toText()));
            if (it != index.constEnd()) areas[size_t(*it)] += area;
        }
        total += area;
    }
    QList<DataGridModel::Row> rows;
    const DataGridModel::Row empty{QString(), QVariant(), QVariant()};
    qsizetype first = 0;
    for (const QStringList *block : {&regions, &belts, &sites}) {
        const std::vector<double> part(areas.begin() + first, areas.begin() + first + block->size());
        appendAreaRows(rows, *block, part, total);
        rows << empty;
        first += block->size();
    }
    appendTotalRow(rows, total);
    return rows;
}

// Table 10: area and increment by species and site class, present and future.
QList<DataGridModel::Row> speciesRows(Database &db, const PhysGeoSources &src, Walk &w, Gauge &gauge)
{
    const QStringList species = queryValues(
        db, QStringLiteral("select PRINT from \"%1\" where TYPE=\"dv\" and CODE>0").arg(src.nomenclaturePath),
        std::numeric_limits<int>::max());
    const QHash<QString, int> index = indexOf(species);
    struct Sums {
        std::array<double, kClasses> present{}, afforested{}, wood{};
    };
    std::vector<Sums> sums(size_t(species.size()));

    const size_t pl = w.field("PL"), kind = w.field("VID_PODOTD");
    size_t et[11], dv[11], uch[11], b[11], odv[5], ouch[5], ob[5];
    for (int n = 0; n < 11; ++n) {
        const std::string s = std::to_string(n + 1);
        et[n] = w.field(("ET" + s).c_str());
        dv[n] = w.field(("DV" + s).c_str());
        uch[n] = w.field(("UCH" + s).c_str());
        b[n] = w.field(("B" + s).c_str());
        if (n < 5) {
            odv[n] = w.field(("OBS_DV" + s).c_str());
            ouch[n] = w.field(("OBS_UCH" + s).c_str());
            ob[n] = w.field(("OBS_B" + s).c_str());
        }
    }
    Table &t = w.table;
    for (w.first(); !t.eof(); w.next()) {
        gauge.step();
        const double area = t.value(pl).toReal();
        bool firstStorey[11];
        double s = 0;
        for (int n = 0; n < 11; ++n) {
            firstStorey[n] = t.value(et[n]).toText() == "1";
            if (!firstStorey[n]) continue;
            const auto it = index.constFind(qs(t.value(dv[n]).toText()));
            if (it == index.constEnd()) continue;
            double a = RoundToTenth(area * double(t.value(uch[n]).toInt()) / 10);
            s += a;
            if (s > area) a -= s - area; // the shares never give more than the area
            const int64_t cls = t.value(b[n]).toInt();
            if (cls >= 1 && cls <= kClasses) sums[size_t(*it)].present[size_t(cls - 1)] += a;
        }
        const std::string k = t.value(kind).toText();
        const bool unforested = k == "голина" || k == "пожарище" || k == "сечище";
        s = 0;
        for (int n = 0; n < 5; ++n) {
            if (!firstStorey[n]) continue;
            const auto it = index.constFind(qs(t.value(odv[n]).toText()));
            if (it == index.constEnd()) continue;
            double a = RoundToTenth(area * double(t.value(ouch[n]).toInt()) / 10);
            s += a;
            if (s > area) a -= s - area;
            const int64_t cls = t.value(ob[n]).toInt();
            if (cls < 1 || cls > kClasses) continue;
            sums[size_t(*it)].wood[size_t(cls - 1)] += a;
            if (!unforested) sums[size_t(*it)].afforested[size_t(cls - 1)] += a;
        }
    }

    // The conditional mean mature increment per hectare of each species and class.
    QHash<QString, std::array<double, kClasses>> increment;
    {
        Table bon(db);
        bon.setPath(ss(src.siteClassPath));
        bon.open();
        const int dvField = bon.fieldIndex("DV");
        int cls[kClasses];
        for (int n = 0; n < kClasses; ++n) cls[n] = bon.fieldIndex("B" + std::to_string(n + 1));
        for (bon.first(); dvField >= 0 && !bon.eof(); bon.next()) {
            const QString name = qs(bon.value(size_t(dvField)).toText());
            if (increment.contains(name)) continue; // the first record of a species counts
            std::array<double, kClasses> v{};
            for (int n = 0; n < kClasses; ++n) v[size_t(n)] = cls[n] >= 0 ? bon.value(size_t(cls[n])).toReal() : 0;
            increment.insert(name, v);
        }
        bon.close();
    }

    static const char *const classNames[kClasses] = {"I", "II", "III", "IV", "V"};
    // The integer part of two one-decimal numbers' product, in whole tenths.
    auto product = [](double f1, double area) {
        const int64_t a = std::llround(f1 * 10), b = std::llround(area * 10);
        return double((a * b) / 100);
    };
    QList<DataGridModel::Row> rows;
    for (int i = 0; i < species.size(); ++i) {
        const Sums &s = sums[size_t(i)];
        bool any = false;
        for (double a : s.present) any = any || a > 0;
        if (!any) continue;
        const std::array<double, kClasses> inc = increment.value(species[i]);
        std::array<double, 6> total{};
        for (int n = 0; n < kClasses; ++n) {
            const double f1 = stored(inc[size_t(n)]);
            DataGridModel::Row row{n == 0 ? species[i].left(kSpeciesWidth) : QString(), QLatin1String(classNames[n]), f1};
            const double areas[3] = {s.present[size_t(n)], s.afforested[size_t(n)], s.wood[size_t(n)]};
            for (int c = 0; c < 3; ++c) {
                if (areas[c] > 0) {
                    const double area = stored(areas[c]), inc = product(f1, area);
                    row << area << inc;
                    total[size_t(2 * c)] += area;
                    total[size_t(2 * c + 1)] += inc;
                } else {
                    row << QVariant() << QVariant();
                }
            }
            rows << row;
        }
        DataGridModel::Row row{QString(), kTotal, QVariant()};
        for (double v : total) row << num(v);
        rows << row;
    }
    return rows;
}

// Table 12-13: area by kind of forest, erosion degree and kind, and the measures.
QList<DataGridModel::Row> erosionRows(Walk &w, Gauge &gauge)
{
    static const char *const forests[] = {"иглолистни",  "широкол. високостъбл.", "реконструкция",
                                          "превръщане", "нискостъблени",         "тополови"};
    static const char *const degrees[] = {"ерозия I ст", "ерозия II ст", "ерозия III ст", "ерозия IV ст",
                                          "ерозия V ст"};
    static const char *const kinds[] = {"площна", "струйчеста", "браздова", "ровинна", "дълбочинна"};
    static const char *const terraces[] = {"ръчни тераси", "ръчни тераски", "машинни тераси"};
    auto find = [](const auto &list, const std::string &v) {
        int i = 0;
        for (const char *item : list) {
            if (v == item) return i;
            ++i;
        }
        return -1;
    };
    // Columns 0-4 the degrees, 5-9 the kinds, 10 eroded, 11 to afforest, 12 to terrace.
    std::array<std::array<double, 13>, 7> m{};
    const size_t pl = w.field("PL"), forest = w.field("VID_GORI"), degree = w.field("ERO_ST"),
                 kind = w.field("VID_ERO1"), pp1 = w.field("PP1"), pp2 = w.field("PP2");
    size_t zales[5];
    for (int k = 0; k < 5; ++k) zales[k] = w.field(("OBS_ZALES" + std::to_string(k + 1)).c_str());
    Table &t = w.table;
    for (w.first(); !t.eof(); w.next()) {
        gauge.step();
        const int r = find(forests, t.value(forest).toText());
        if (r < 0) continue;
        auto &row = m[size_t(r)];
        const double area = t.value(pl).toReal();
        const int d = find(degrees, t.value(degree).toText());
        if (d >= 0) row[size_t(d)] += area;
        // The kind without its first character, up to its first space.
        QString k = qs(t.value(kind).toText()).mid(1);
        const qsizetype space = k.indexOf(QLatin1Char(' '));
        if (space >= 0) k.truncate(space);
        const int e = find(kinds, ss(k));
        if (e >= 0) row[size_t(5 + e)] += area;
        double z = 0;
        for (size_t f : zales) z += t.value(f).toReal();
        if (z > 0) {
            row[11] += z;
            if (find(terraces, t.value(pp1).toText()) >= 0 || find(terraces, t.value(pp2).toText()) >= 0)
                row[12] += z;
        }
    }
    for (int r = 0; r < 6; ++r) {
        auto &row = m[size_t(r)];
        row[10] = row[0] + row[1] + row[2] + row[3] + row[4];
        for (int c = 0; c < 13; ++c) m[6][size_t(c)] += row[size_t(c)];
    }
    QList<DataGridModel::Row> rows;
    for (int r = 0; r < 7; ++r) {
        DataGridModel::Row row{r < 6 ? QString::fromUtf8(forests[r]) : kTotal};
        for (double v : m[size_t(r)]) row << num(v);
        rows << row;
    }
    return rows;
}

QString progressLabel(int number)
{
    switch (number) {
    case 15: return QStringLiteral("Таблица 1...");
    case 12: return QStringLiteral("Таблица 12+13...");
    default: return QStringLiteral("Таблица %1...").arg(number);
    }
}

} // namespace

PhysGeoTable ComputePhysGeoTable(Database &db, const PhysGeoSources &src, int number, const OwnershipFilter &filter,
                                 const PhysGeoProgress *progress)
{
    const int n = physGeoBuiltNumber(number);
    if (n == 0)
        throw PhysGeoError({kTablesCaption, QStringLiteral("Няма таблица с номер %1.").arg(number),
                            UserMessage::Icon::Error});
    PhysGeoTable out;
    out.number = n;
    out.caption = physGeoCaption(n);
    out.menuText = physGeoMenuText(n);
    out.windowSize = physGeoWindowSize(n);
    if (n != 12) { // table 12-13 is shown as when it is shown again: the panels stay
        out.statusHeading = src.projectHeading;
        out.statusOwnership = filter.description;
    }
    out.content.heading = physGeoHeading(n, src.projectHeading, filter);
    out.content.columns = physGeoColumns(n);
    try {
        Walk w(db, src.projectTablePath, n == 12 ? nullptr : &filter);
        Gauge gauge(progress, progressLabel(n), w.count);
        switch (n) {
        case 1: out.content.rows = altitudeRows(w, 50, gauge); break;
        case 15: out.content.rows = altitudeRows(w, 100, gauge); break;
        case 2: out.content.rows = slopeRows(w, gauge); break;
        case 3: out.content.rows = exposureRows(w, gauge); break;
        case 6: out.content.rows = valueRows(db, src.projectTablePath, w, "POCHVA", gauge); break;
        case 7: out.content.rows = valueRows(db, src.projectTablePath, w, "DYLBOCHINA", gauge); break;
        case 9: out.content.rows = regionRows(db, src.projectTablePath, w, gauge); break;
        case 10: out.content.rows = speciesRows(db, src, w, gauge); break;
        case 12: out.content.rows = erosionRows(w, gauge); break;
        }
    } catch (const PhysGeoError &) {
        throw;
    } catch (const std::exception &e) {
        throw PhysGeoError({kTablesCaption, qs(e.what()), UserMessage::Icon::Error});
    }
    return out;
}

} // namespace dx
