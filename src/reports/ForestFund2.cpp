// Building forest fund report 2: the species groups from the nomenclature and the fixed
// coniferous sets, one walk per section and table, rounding per group before the totals.
#include "reports/ForestFund2.h"

#include "core/QtText.h"
#include "engine/sql/Database.h"
#include "lists/NumberTexts.h"
#include "reports/ForestFundProgress.h"

#include <QHash>

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

QString gf2SectionStatement(int section, const QString &projectTablePath, const OwnershipChoice &choice)
{
    const QString select = QStringLiteral("SELECT * FROM \"%1\"").arg(projectTablePath);
    switch (section) {
    case 0: return select + ownershipWhere(choice);
    case 1: return select + QStringLiteral(" WHERE VID_GORI<>\"реконструкция\"") + ownershipAnd(choice);
    default:
        return select + QStringLiteral(" WHERE VID_GORI=\"реконструкция\" and VID_PODOTD<>\"нелесопригодна площ\"") +
               ownershipAnd(choice);
    }
}

GF2Table BuildGF2Table(Database &db, const QString &projectTablePath, const OwnershipChoice &choice,
                       const std::vector<std::vector<GF2Group>> &groups, const GF2AgeClasses &classes,
                       ForestFundProgress *progress)
{
    GF2Table out;
    const int width = 1 + classes.columns();
    const QString tablePrefix = QStringLiteral("Класове на възраст през %1 години, ").arg(classes.width);
    std::vector<std::vector<double>> totals;
    std::vector<std::vector<std::vector<double>>> sums(groups.size());
    int groupsDone = 0, groupCount = 0;
    for (const auto &g : groups) groupCount += int(g.size());
    if (progress) progress->range(1, groupCount);

    for (size_t s = 0; s < groups.size(); ++s) {
        const std::vector<GF2Group> &section = groups[s];
        std::vector<std::vector<double>> &m = sums[s];
        m.assign(section.size(), std::vector<double>(size_t(width), 0.0));
        // Every group of the section whose set holds a species, in group order.
        QHash<QString, std::vector<int>> groupsOf;
        for (size_t g = 0; g < section.size(); ++g)
            for (const QString &species : section[g].species) groupsOf[species].push_back(int(g));
        if (progress) {
            progress->caption(1, tablePrefix + kSectionNames[s] + QStringLiteral("..."));
            for (const GF2Group &g : section) progress->caption(0, g.progressLabel);
        }
        try {
            std::unique_ptr<Cursor> cursor = db.open(ss(gf2SectionStatement(int(s), projectTablePath, choice)));
            const int pl = cursor->columnIndex("PL");
            int dv[11], et[11], uch[11], pr[11], age[11];
            for (int n = 0; n < 11; ++n) {
                const std::string k = std::to_string(n + 1);
                dv[n] = cursor->columnIndex("DV" + k);
                et[n] = cursor->columnIndex("ET" + k);
                uch[n] = cursor->columnIndex("UCH" + k);
                pr[n] = cursor->columnIndex("PR" + k);
                age[n] = cursor->columnIndex("A" + k);
            }
            const size_t count = progress ? cursor->count() : 0;
            size_t done = 0;
            if (progress) progress->range(0, 100);
            for (; !cursor->eof(); cursor->next()) {
                const double area = cursor->value(size_t(pl)).toReal();
                for (int n = 0; n < 11; ++n) {
                    const Value species = cursor->value(size_t(dv[n]));
                    const auto it = groupsOf.constFind(qs(species.toText()));
                    if (it == groupsOf.constEnd()) continue;
                    if (cursor->value(size_t(et[n])).toText() != "1") continue;
                    if (s == 1 && cursor->value(size_t(pr[n])).toText() == "3") continue;
                    const double share = area * double(cursor->value(size_t(uch[n])).toInt()) / 10;
                    const int k = classes.classOf(int(cursor->value(size_t(age[n])).toInt()));
                    for (int g : *it) {
                        m[size_t(g)][0] += share;
                        if (k >= 0) m[size_t(g)][size_t(1 + k)] += share;
                    }
                }
                ++done;
                if (progress && count) progress->position(0, int(done * 100 / count));
            }
        } catch (const std::exception &e) {
            out.errors << qs(e.what());
        }
        groupsDone += int(section.size());
        if (progress) progress->position(1, groupsDone);
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
    if (progress && classes.openLast) progress->caption(0, QStringLiteral("Ok"));
    return out;
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
