// Building forest fund report 2: the species groups from the nomenclature and the fixed
// coniferous sets, one walk per section and table, rounding per group before the totals.
#include "reports/ForestFund2.h"

#include "core/QtText.h"
#include "engine/sql/Table.h"
#include "lists/NumberTexts.h"
#include "reports/ForestFundProgress.h"

#include <unordered_map>

namespace dx {
namespace {

const char *const kNumerals[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII", "XIII"};

const QString kSectionTotals[] = {QStringLiteral("I. ВСИЧКО ИГЛОЛИСТНИ"), QStringLiteral("II. ВСИЧКО ШИРОКОЛИСТНИ"),
                                  QStringLiteral("III. ВСИЧКО ЗА РЕКОНСТРУКЦИЯ")};
const QString kSectionNames[] = {QStringLiteral("ИГЛОЛИСТНИ"), QStringLiteral("ШИРОКОЛИСТНИ"),
                                 QStringLiteral("РЕКОНСТРУКЦИЯ")};
const QString kBroadleaved[] = {
    QStringLiteral("Бук"),   QStringLiteral("Дъб"),        QStringLiteral("Цер"),        QStringLiteral("Габър"),
    QStringLiteral("Бряст"), QStringLiteral("Ясен"),       QStringLiteral("Липа"),       QStringLiteral("Топола"),
    QStringLiteral("Трепетлика"), QStringLiteral("Явор"),  QStringLiteral("Бреза"),      QStringLiteral("Кестен"),
    QStringLiteral("Орех"),
};

// The PRINT values of the nomenclature's species under `condition`.
QSet<QString> nomenclatureSet(Database &db, const QString &nomenclaturePath, const QString &condition,
                              QStringList *errors)
{
    QSet<QString> out;
    try {
        const QueryResult r =
            db.execute(ss(QStringLiteral("SELECT TYPE,PRINT,N3,N6 FROM \"%1\"").arg(nomenclaturePath) + condition));
        const int print = r.columnIndex("PRINT");
        for (const Row &row : r.rows) out.insert(qs(row.at(size_t(print)).toText()));
    } catch (const std::exception &e) {
        if (errors) *errors << qs(e.what());
    }
    return out;
}

GF2Group fixed(const QString &label, QStringList species)
{
    return {label, label + QStringLiteral("..."), QSet<QString>(species.begin(), species.end())};
}

} // namespace

int GF2AgeClasses::classOf(int age) const
{
    if (age <= 0) return -1;
    const int k = (age - 1) / width;
    if (k < count) return k;
    return openLast ? count : -1;
}

QStringList GF2AgeClasses::numerals() const
{
    QStringList out;
    for (int k = 0; k < columns(); ++k) out << QString::fromLatin1(kNumerals[k]);
    return out;
}

QStringList GF2AgeClasses::ranges() const
{
    QStringList out;
    for (int k = 0; k < count; ++k) out << QStringLiteral("%1-%2").arg(k * width + 1).arg((k + 1) * width);
    if (openLast) out << QStringLiteral("над %1").arg(count * width);
    return out;
}

std::vector<std::vector<GF2Group>> loadGF2Groups(Database &db, const QString &nomenclaturePath, QStringList *errors)
{
    auto set = [&](const QString &condition) { return nomenclatureSet(db, nomenclaturePath, condition, errors); };
    std::vector<std::vector<GF2Group>> sections(3);
    sections[0] = {
        fixed(QStringLiteral("Бял бор"), {QStringLiteral("Бял бор")}),
        fixed(QStringLiteral("Смърч"), {QStringLiteral("Смърч")}),
        fixed(QStringLiteral("Черен бор"), {QStringLiteral("Черен бор")}),
        fixed(QStringLiteral("Ела"), {QStringLiteral("Ела")}),
        fixed(QStringLiteral("Бяла мура"), {QStringLiteral("Бяла мура")}),
        fixed(QStringLiteral("Черна мура"), {QStringLiteral("Черна мура")}),
        fixed(QStringLiteral("Лиственица"), {QStringLiteral("Лиственица")}),
        fixed(QStringLiteral("Дугласка"),
              {QStringLiteral("Дуглазка ела"), QStringLiteral("Зелена дуглазка"), QStringLiteral("Синя дуглазка")}),
    };
    const QString other = QStringLiteral("Други иглолистни");
    sections[0].push_back({other, other + QStringLiteral("..."), set(QStringLiteral(" WHERE TYPE=\"dv\" and N3=1 and N6=0"))});
    for (int g = 1; g <= 13; ++g) {
        const QString &label = kBroadleaved[g - 1];
        sections[1].push_back(
            {label, label + QStringLiteral("..."), set(QStringLiteral(" WHERE TYPE=\"dv\" and N3=2 and N6=%1").arg(g))});
    }
    const QString others = QStringLiteral("Други шроколистни");
    sections[1].push_back({others, others + QStringLiteral("..."), set(QStringLiteral(" WHERE TYPE=\"dv\" and N3=2 and N6=0"))});
    for (int g = 1; g <= 4; ++g) sections[2].push_back(sections[1][size_t(g - 1)]);
    const QString hornbeam = QStringLiteral("Келав габър");
    sections[2].push_back(
        {hornbeam, hornbeam + QStringLiteral("..."), set(QStringLiteral(" WHERE TYPE=\"dv\" and N3=2 and N6=14"))});
    sections[2].push_back({QStringLiteral("Други широколистни"), QStringLiteral("Други широколистни за реконструкция..."),
                           set(QStringLiteral(" WHERE TYPE=\"dv\" and N3=2 and N6<>1 and N6<>2 and N6<>3 and N6<>4 "
                                              "and N6<>14"))});
    return sections;
}

namespace {

using GroupSums = std::vector<std::vector<double>>; // per group: OBSHTO, then the classes

// One table's rows from its sums: each value rounded to a tenth per group, the section
// totals summed from the rounded values, the sections' rows in report order.
GF2Table finishTable(const std::vector<std::vector<GF2Group>> &groups, std::vector<GroupSums> sums, int width)
{
    GF2Table out;
    std::vector<std::vector<double>> totals;
    for (GroupSums &m : sums) {
        std::vector<double> total(size_t(width), 0.0);
        for (auto &row : m)
            for (int c = 0; c < width; ++c) {
                row[size_t(c)] = RoundToTenth(row[size_t(c)]);
                total[size_t(c)] += row[size_t(c)];
            }
        totals.push_back(total);
    }
    auto empty = [&] {
        GF2Row r;
        r.kind = GF2Row::Kind::Empty;
        r.values.assign(size_t(width), 0.0);
        out.rows << r;
    };
    for (size_t s = 0; s < groups.size(); ++s) {
        out.rows << GF2Row{kSectionTotals[s], totals[s], GF2Row::Kind::Total};
        for (size_t g = 0; g < groups[s].size(); ++g)
            out.rows << GF2Row{groups[s][g].label, sums[s][g], GF2Row::Kind::Group};
        empty();
    }
    std::vector<double> broadleaved(static_cast<size_t>(width)), all(static_cast<size_t>(width));
    for (int c = 0; c < width; ++c) {
        broadleaved[size_t(c)] = totals[1][size_t(c)] + totals[2][size_t(c)];
        all[size_t(c)] = totals[0][size_t(c)] + totals[1][size_t(c)] + totals[2][size_t(c)];
    }
    out.rows << GF2Row{QStringLiteral("ВСИЧКО ШИРОКОЛ. ВИСОКОСТЪБЛЕНИ"), broadleaved, GF2Row::Kind::Total};
    empty();
    out.rows << GF2Row{QStringLiteral("ВСИЧКО ВИСОКОСТЪБЛЕНИ ГОРИ"), all, GF2Row::Kind::Total};
    return out;
}

} // namespace

std::vector<GF2Table> BuildGF2(Database &db, const QString &projectTablePath, const OwnershipChoice &choice,
                               const std::vector<std::vector<GF2Group>> &groups,
                               const std::vector<GF2AgeClasses> &tables, ForestFundProgress *progress)
{
    const size_t sections = groups.size();
    // sums[table][section][group][column]
    std::vector<std::vector<GroupSums>> sums(tables.size());
    for (size_t t = 0; t < tables.size(); ++t)
        for (const auto &section : groups)
            sums[t].emplace_back(section.size(), std::vector<double>(size_t(1 + tables[t].columns()), 0.0));
    // Every group, per section, whose set holds a species, in group order.
    std::unordered_map<std::string, std::vector<std::vector<int>>> groupsOf;
    for (size_t s = 0; s < sections; ++s)
        for (size_t g = 0; g < groups[s].size(); ++g)
            for (const QString &species : groups[s][g].species) {
                auto &perSection = groupsOf[ss(species)];
                perSection.resize(sections);
                perSection[s].push_back(int(g));
            }
    if (progress && !tables.empty()) {
        progress->caption(1, QStringLiteral("Класове на възраст през %1 години, ").arg(tables[0].width) +
                                 kSectionNames[0] + QStringLiteral("..."));
        if (!groups.empty() && !groups[0].empty()) progress->caption(0, groups[0][0].progressLabel);
        progress->range(0, 100);
        progress->range(1, 1);
    }

    QStringList errors;
    try {
        Table table(db);
        table.setPath(ss(projectTablePath));
        table.open();
        auto field = [&](const std::string &name) { return size_t(table.fieldIndex(name)); };
        const size_t pl = field("PL"), vidGori = field("VID_GORI"), vidPodotd = field("VID_PODOTD");
        size_t dv[11], et[11], uch[11], pr[11], age[11];
        for (int n = 0; n < 11; ++n) {
            const std::string k = std::to_string(n + 1);
            dv[n] = field("DV" + k);
            et[n] = field("ET" + k);
            uch[n] = field("UCH" + k);
            pr[n] = field("PR" + k);
            age[n] = field("A" + k);
        }
        table.setFilter(ss(ownershipRecordCondition(choice)));
        table.setFiltered(true);
        const size_t count = table.recordCount();
        size_t done = 0;
        for (table.first(); !table.eof(); table.next()) {
            ++done;
            if (progress && count) progress->position(0, int(done * 100 / count));
            // Section I takes every record, II all but those for reconstruction, III those
            // for reconstruction but not "нелесопригодна площ".
            bool in[3] = {true, false, false};
            const std::string kind = table.value(vidGori).toText();
            in[1] = kind != "реконструкция";
            in[2] = !in[1] && table.value(vidPodotd).toText() != "нелесопригодна площ";
            double area = -1;
            for (int n = 0; n < 11; ++n) {
                const auto it = groupsOf.find(table.value(dv[n]).toText());
                if (it == groupsOf.end()) continue;
                // First storey only.
                if (table.value(et[n]).toText() != "1") continue;
                if (area < 0) area = table.value(pl).toReal();
                const double share = area * double(table.value(uch[n]).toInt()) / 10;
                const bool coppice = table.value(pr[n]).toText() == "3";
                const int a = int(table.value(age[n]).toInt());
                for (size_t s = 0; s < sections && s < 3; ++s) {
                    // Coppice is left out of section II.
                    if (!in[s] || (s == 1 && coppice)) continue;
                    for (int g : it->second[s])
                        for (size_t t = 0; t < tables.size(); ++t) {
                            std::vector<double> &row = sums[t][s][size_t(g)];
                            row[0] += share;
                            const int k = tables[t].classOf(a);
                            if (k >= 0) row[size_t(1 + k)] += share;
                        }
                }
            }
        }
    } catch (const std::exception &e) {
        errors << qs(e.what());
    }
    std::vector<GF2Table> out;
    for (size_t t = 0; t < tables.size(); ++t) {
        out.push_back(finishTable(groups, std::move(sums[t]), 1 + tables[t].columns()));
        out.back().errors = errors;
    }
    if (progress) {
        progress->position(1, 1);
        progress->caption(0, QStringLiteral("Ok"));
    }
    return out;
}

GF2Table BuildGF2Table(Database &db, const QString &projectTablePath, const OwnershipChoice &choice,
                       const std::vector<std::vector<GF2Group>> &groups, const GF2AgeClasses &classes,
                       ForestFundProgress *progress)
{
    return BuildGF2(db, projectTablePath, choice, groups, {classes}, progress).front();
}

std::unique_ptr<ForestFundModel> makeGF2Model(const GF2AgeClasses &classes)
{
    const bool upper = !classes.openLast;
    const QString format = upper ? QStringLiteral("0.0") : QString();
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QList<GridColumn> columns = {GridColumn(QStringLiteral("Дървесни видове"), QString(), Qt::AlignLeft | Qt::AlignVCenter, 30),
                                 GridColumn(QStringLiteral("общо"), format, right)};
    const QStringList numerals = classes.numerals(), ranges = classes.ranges();
    for (int k = 0; k < classes.columns(); ++k)
        columns << GridColumn(QStringLiteral("хектари|класове на възраст|") + numerals[k] + QLatin1Char('|') + ranges[k],
                              format, right);
    return std::make_unique<ForestFundModel>(columns);
}

void fillGF2Model(ForestFundModel &model, const GF2Table &table)
{
    QList<DataGridModel::Row> rows;
    for (const GF2Row &r : table.rows) {
        DataGridModel::Row row;
        if (r.kind == GF2Row::Kind::Empty) {
            row.fill(QVariant(), model.columnCount());
        } else {
            row << QVariant(r.label);
            for (double v : r.values) row << (v > 0 ? QVariant(v) : QVariant());
        }
        rows << row;
    }
    model.setRows(rows);
}

QString gf2UpperHeading(const OwnershipFilter &filter)
{
    const QString tabs5(5, QLatin1Char('\t')), tabs4(4, QLatin1Char('\t'));
    return QStringLiteral("ОГФ 2 - Отчет за разпределение на залесената горска площ по дървесни видове и класове на "
                          "възраст\r\r") +
           filter.projectHeading + QLatin1Char('\r') + filter.ownershipLine() + QStringLiteral("\r\r") + tabs5 +
           QStringLiteral("хектари") + tabs4 + QLatin1Char('\r') + tabs5 + QStringLiteral("класове на възраст") + tabs4 +
           QLatin1Char('\r') + QStringLiteral("дървесни видове\tобщо\t") + kGF2Upper.numerals().join(QLatin1Char('\t')) +
           QLatin1Char('\r') + QStringLiteral("\t\t") + kGF2Upper.ranges().join(QLatin1Char('\t')) + QLatin1Char('\r');
}

QString gf2LowerHeading()
{
    const QString tabs7(7, QLatin1Char('\t'));
    return tabs7 + QStringLiteral("хектари\r") + tabs7 + QStringLiteral("класове на възраст\r") +
           QStringLiteral("дървесни видове\tобщо\t") + kGF2Lower.numerals().join(QLatin1Char('\t')) + QLatin1Char('\r') +
           QStringLiteral("\t\t") + kGF2Lower.ranges().join(QLatin1Char('\t')) + QLatin1Char('\r');
}

} // namespace dx
