// Building forest fund report 1: two passes over the project table per kind column, each
// under its record filter with the ownership filter appended, then the total rows.
#include "reports/ForestFund1.h"

#include "core/QtText.h"
#include "engine/sql/Table.h"
#include "reports/ForestFundProgress.h"

#include <QHash>

namespace dx {
namespace {

// Fixed rows of the matrix (0-based: row n of the form is index n - 1).
enum FixedRow {
    kDense = 0,        // 1 естествен призход 0.4-1.0
    kClosedCult = 1,   // 2 склопени култури
    kOpenCult = 2,     // 3 несклопени култури
    kSparse = 3,       // 4 естествен призход 0.1-0.3
    kThinnedCult = 4,  // 5 изредени култури
    kStands = 5,       // 6 всичко насаждения
    kDwarfPine = 6,    // 7 клек
    kForested = 7,     // 8 всичко залесена площ
    kCut = 8,          // 9 сечище
    kBurnt = 9,        // 10 пожарище
    kBare = 10,        // 11 голина
    kUnforested = 11,  // 12 всичко незал. дървопр.
    kFirstOther = 12   // 13 the first other kind
};

const QString kLabels[] = {
    QStringLiteral("естествен призход 0.4-1.0"), QStringLiteral("склопени култури"),
    QStringLiteral("несклопени култури"),        QStringLiteral("естествен призход 0.1-0.3"),
    QStringLiteral("изредени култури"),          QStringLiteral("всичко насаждения"),
    QStringLiteral("клек"),                      QStringLiteral("всичко залесена площ"),
    QStringLiteral("сечище"),                    QStringLiteral("пожарище"),
    QStringLiteral("голина"),                    QStringLiteral("всичко незал. дървопр."),
};
const QString kNonWoodTotal = QStringLiteral("всичко недървопр. площ");
const QString kManagedTotal = QStringLiteral("всичко устроена площ");
const QString kWoodProducing = QStringLiteral("в тч дървопр.площ");

// The kinds of sub-compartment of the fixed rows that pass 2 sums.
const QHash<QString, int> &passTwoRows()
{
    static const QHash<QString, int> rows = {
        {QStringLiteral("склопена култура"), kClosedCult}, {QStringLiteral("несклопена култура"), kOpenCult},
        {QStringLiteral("изредена култура"), kThinnedCult}, {QStringLiteral("клек"), kDwarfPine},
        {QStringLiteral("сечище"), kCut},                   {QStringLiteral("пожарище"), kBurnt},
        {QStringLiteral("голина"), kBare},
    };
    return rows;
}

// The kind column (0 to 4) of a record's kind of forest; -1 for none. A record belongs to
// its column in pass 2 (other kinds of land) whatever its kind of sub-compartment.
int kindColumn(const std::string &vidGori)
{
    if (vidGori == "иглолистни") return 0;
    if (vidGori == "широкол. високостъбл." || vidGori == "тополови") return 1;
    if (vidGori == "реконструкция") return 2;
    if (vidGori == "превръщане") return 3;
    if (vidGori == "нискостъблени") return 4;
    return -1;
}

// Whether a record of kind column `column` is a natural stand of pass 1.
bool naturalStand(int column, const std::string &vidPodotd)
{
    switch (column) {
    case 0: return vidPodotd == "семенно насаждение";
    case 1: return vidPodotd == "семенно насаждение" || vidPodotd == "издънково насаждение";
    case 2: return vidPodotd != "нелесопригодна площ";
    default: return true;
    }
}

QString otherKindsStatement(const QString &path, const OwnershipFilter &filter)
{
    return QStringLiteral("SELECT DISTINCT VID_PODOTD FROM \"%1\"").arg(path) +
           QStringLiteral(" WHERE VID_PODOTD<>\"голина\" AND VID_PODOTD<>\"пожарище\" AND VID_PODOTD<>\"сечище\" AND "
                          "VID_PODOTD<>\"изредена култура\" AND VID_PODOTD<>\"издънково насаждение\"") +
           QStringLiteral(" AND VID_PODOTD<>\"семенно насаждение\" AND VID_PODOTD<>\"несклопена култура\" AND "
                          "VID_PODOTD<>\"склопена култура\" and VID_PODOTD<>\"клек\"") +
           filter.sqlFilter;
}

} // namespace

QString gf1OwnershipCondition(const OwnershipFilter &filter)
{
    // The record filter text begins with " and ".
    return filter.recordFilter.isEmpty() ? QString() : filter.recordFilter.mid(5);
}

bool isGF1TotalLabel(const QString &label)
{
    return label == kLabels[kStands] || label == kLabels[kForested] || label == kLabels[kUnforested] ||
           label == kNonWoodTotal || label == kManagedTotal || label == kWoodProducing;
}

GF1Report BuildGF1(Database &db, const QString &projectTablePath, const OwnershipFilter &filter,
                   ForestFundProgress *progress)
{
    GF1Report report;
    // Other kinds first, so that the matrix has its rows; the statement may fail.
    try {
        const QueryResult kinds = db.execute(ss(otherKindsStatement(projectTablePath, filter)));
        for (const Row &row : kinds.rows) report.otherKinds << qs(row.at(0).toText());
    } catch (const std::exception &e) {
        report.otherKindsError = qs(e.what());
    }
    const int k = int(report.otherKinds.size());
    const int nonWood = kFirstOther + k, managed = nonWood + 1, woodProducing = nonWood + 2;
    std::vector<std::array<double, kGF1Kinds + 1>> m(size_t(woodProducing + 1));
    for (auto &row : m) row.fill(0.0);

    QHash<QString, int> rowOfKind = passTwoRows();
    for (int i = 0; i < k; ++i) rowOfKind.insert(report.otherKinds[i], kFirstOther + i);

    // One walk over the records of the ownership filter gives the sums of both passes of
    // every kind column: each record belongs to at most one column.
    Table table(db);
    table.setPath(ss(projectTablePath));
    table.open();
    const size_t pl = size_t(table.fieldIndex("PL")), vidGori = size_t(table.fieldIndex("VID_GORI")),
                 vidPodotd = size_t(table.fieldIndex("VID_PODOTD"));
    size_t density[11];
    for (int n = 0; n < 11; ++n) density[n] = size_t(table.fieldIndex("PYLN" + std::to_string(n + 1)));
    table.setFilter(ss(gf1OwnershipCondition(filter)));
    table.setFiltered(true);
    if (progress) {
        progress->caption(0, QStringLiteral("Моля изчакайте, залесена площ..."));
        progress->range(0, int(table.recordCount()));
    }
    int done = 0;
    for (table.first(); !table.eof(); table.next()) {
        if (progress) progress->position(0, ++done);
        const int c = kindColumn(table.value(vidGori).toText());
        if (c < 0) continue;
        const std::string kind = table.value(vidPodotd).toText();
        const double area = table.value(pl).toReal();
        // Pass 1: the first positive density tells the row.
        if (naturalStand(c, kind)) {
            for (size_t slot : density) {
                const double d = table.value(slot).toReal();
                if (d <= 0) continue;
                if (d >= 1 && d <= 3) m[kSparse][size_t(c)] += area;
                else if (d >= 4 && d <= 10) m[kDense][size_t(c)] += area;
                break;
            }
        }
        // Pass 2: the row of the kind of sub-compartment, when it has one.
        const auto row = rowOfKind.constFind(qs(kind));
        if (row != rowOfKind.constEnd()) m[size_t(*row)][size_t(c)] += area;
    }
    if (progress) progress->caption(0, QStringLiteral("Моля изчакайте, недървопроизводителна площ..."));
    table.close();

    for (int c = 0; c < kGF1Kinds; ++c) {
        m[kStands][c] = m[kDense][c] + m[kClosedCult][c] + m[kOpenCult][c] + m[kSparse][c] + m[kThinnedCult][c];
        m[kForested][c] = m[kStands][c] + m[kDwarfPine][c];
        m[kUnforested][c] = m[kCut][c] + m[kBurnt][c] + m[kBare][c];
        double other = 0;
        for (int i = 0; i < k; ++i) other += m[size_t(kFirstOther + i)][c];
        m[size_t(nonWood)][c] = other;
        m[size_t(managed)][c] = m[kForested][c] + m[kUnforested][c] + m[size_t(nonWood)][c];
        m[size_t(woodProducing)][c] = m[size_t(managed)][c] - m[size_t(nonWood)][c];
    }
    for (auto &row : m) {
        row[kGF1Kinds] = 0;
        for (int c = 0; c < kGF1Kinds; ++c) row[kGF1Kinds] += row[c];
    }

    for (int r = 0; r <= woodProducing; ++r) {
        GF1Row row;
        row.label = r < kFirstOther ? kLabels[r]
                    : r < nonWood   ? report.otherKinds[r - kFirstOther]
                    : r == nonWood  ? kNonWoodTotal
                    : r == managed  ? kManagedTotal
                                    : kWoodProducing;
        row.values = m[size_t(r)];
        const bool total = r == kStands || r == kForested || r == kUnforested || r == nonWood || r == managed;
        row.kind = total || r == woodProducing ? GF1Row::Kind::Total : GF1Row::Kind::Plain;
        report.rows << row;
        if (total) {
            GF1Row empty;
            empty.kind = GF1Row::Kind::Empty;
            report.rows << empty;
        }
    }
    return report;
}

std::unique_ptr<ForestFundModel> makeGF1Model()
{
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const QString format = QStringLiteral("0.0");
    auto model = std::make_unique<ForestFundModel>(QList<GridColumn>{
        GridColumn(QStringLiteral("вид на земите"), QString(), Qt::AlignLeft | Qt::AlignVCenter, 40),
        GridColumn(QStringLiteral("хектари|иглолистни"), format, right),
        GridColumn(QStringLiteral("хектари|шир.вис."), format, right),
        GridColumn(QStringLiteral("хектари|реконструкция"), format, right),
        GridColumn(QStringLiteral("хектари|превръщане"), format, right),
        GridColumn(QStringLiteral("хектари|нискостъблени"), format, right),
        GridColumn(QStringLiteral("хектари|всичко"), format, right),
    });
    model->setTotalRows(isGF1TotalLabel, {1, 2, 3, 4, 5});
    model->setBoldColumns({6});
    return model;
}

void fillGF1Model(ForestFundModel &model, const GF1Report &report)
{
    QList<DataGridModel::Row> rows;
    for (const GF1Row &r : report.rows) {
        DataGridModel::Row row;
        if (r.kind == GF1Row::Kind::Empty) {
            row.fill(QVariant(), kGF1Kinds + 2);
        } else {
            row << QVariant(r.label);
            for (double v : r.values) row << (v > 0 ? QVariant(v) : QVariant());
        }
        rows << row;
    }
    model.setRows(rows);
}

QString gf1CopyHeading(const OwnershipFilter &filter)
{
    return QStringLiteral("ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите\r\r") +
           filter.projectHeading + QLatin1Char('\r') + filter.ownershipLine() + QStringLiteral("\r\r") +
           QStringLiteral("вид на земите\tиглолистни\tширок. високост.\tреконструк.\tизд. за превр.\tнискостъблени\t"
                          "всичко\r\tхектари\r");
}

} // namespace dx
