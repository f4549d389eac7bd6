// The current composition: the rows of the filled slots, the stock and use with
// branches rounded per storey, and the totals row.
#include "description/CurrentComposition.h"

#include "core/QtText.h"
#include "description/DamageDecoding.h"
#include "description/DescriptionHeader.h"
#include "description/Nomenclature.h"
#include "description/ProjectRecord.h"
#include "engine/sql/Table.h"

#include <algorithm>
#include <array>
#include <limits>

namespace dx {
namespace {

using Volume = long long;
constexpr Volume kMaxVolume = std::numeric_limits<Volume>::max();
constexpr Volume kMinVolume = std::numeric_limits<Volume>::min();

template <class T>
T fives(T a)
{
    if (a <= 5) return 5;
    if (a <= 10) return 10;
    const T d = a % 10;
    switch (d) {
    case 1: case 2: return a - d;
    case 3: case 4: case 6: case 7: return a - d + 5;
    case 8: case 9: return a - d + 10; // the largest values end in 7: never beyond the range
    default: return a;
    }
}

template <class T>
T tens(T a)
{
    constexpr T lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
    if (a < 0) {
        const T d = -(a % 10);
        if (d == 0) return a;
        const T up = a + d; // towards zero: a multiple of ten
        if (d < 5) return up;
        return up < lo + 10 ? up : up - 10;
    }
    const T d = a % 10;
    const T down = a - d;
    if (d < 5) return down;
    return down > hi - 10 ? down : down + 10;
}

// Sums of volumes stop at the ends of the range instead of wrapping round.
Volume addVolumes(Volume a, Volume b)
{
    if (b > 0 && a > kMaxVolume - b) return kMaxVolume;
    if (b < 0 && a < kMinVolume - b) return kMinVolume;
    return a + b;
}

Volume multiplyVolume(Volume a, Volume b)
{
    if (a == 0 || b == 0) return 0;
    const bool negative = (a < 0) != (b < 0);
    const unsigned long long ua = a < 0 ? 0ULL - static_cast<unsigned long long>(a) : static_cast<unsigned long long>(a);
    const unsigned long long ub = b < 0 ? 0ULL - static_cast<unsigned long long>(b) : static_cast<unsigned long long>(b);
    if (ua > std::numeric_limits<unsigned long long>::max() / ub) return negative ? kMinVolume : kMaxVolume;
    const unsigned long long product = ua * ub;
    if (!negative) return product > static_cast<unsigned long long>(kMaxVolume) ? kMaxVolume : Volume(product);
    if (product > static_cast<unsigned long long>(kMaxVolume) + 1) return kMinVolume;
    return Volume(0ULL - product);
}

// v plus the integer part of v × p / 100, without the product leaving the range:
// with v = 100q + r, v × p / 100 truncated is q × p + (r × p) / 100 truncated, as
// q × p and r × p have the same sign.
Volume withBranchWood(Volume v, int p)
{
    const Volume q = v / 100, r = v % 100;
    return addVolumes(v, addVolumes(multiplyVolume(q, p), r * p / 100));
}

QString wholeOrNone(Volume v)
{
    return v < 1 ? QStringLiteral("-") : QString::number(v);
}

QString originWord(qint64 pr)
{
    switch (pr) {
    case 1: return QStringLiteral("сем");
    case 2: return QStringLiteral("изк");
    case 3: return QStringLiteral("изд");
    case 4: return QStringLiteral("отр");
    default: return {};
    }
}

bool isLayerWord(const QString &et)
{
    return et == QStringLiteral("надл") || et == QStringLiteral("подл") || et == QStringLiteral("подр");
}

// A storey's stock and use are rounded to fives when small, to tens otherwise; a storey
// whose shares never add up to 10 is rounded to tens.
enum class Mark { Unset, Fives, Tens };

Volume roundWith(Mark mark, Volume v)
{
    return mark == Mark::Fives ? fives(v) : tens(v);
}

// A row as it is built: the cells, its storey, and the volumes with branches before rounding.
struct Building {
    CompositionRow row;
    int storey = 0;
    std::optional<Volume> stock, use;
};

class CompositionBuilder {
public:
    explicit CompositionBuilder(AppState &state) : state_(state), t_(state.projectTable) {}

    QVector<CompositionRow> build()
    {
        cutting_ = recordInt(t_, QStringLiteral("SECH_PER"));
        std::vector<Building> rows;
        for (int j = 1; j <= kCompositionSlots; ++j) {
            const QString dv = text("DV%d", j);
            if (isEmptySlot(dv)) continue;
            rows.push_back(slotRow(j, dv));
            closeStoreyWhenFull();
        }
        QVector<CompositionRow> out;
        Volume stockTotal = 0, useTotal = 0;
        for (Building &b : rows) {
            if (b.stock) {
                const Volume v = roundWith(stockMark_[b.storey], *b.stock);
                b.row.vkloni = QString::number(v);
                stockTotal = addVolumes(stockTotal, v);
            }
            if (b.use) {
                const Volume v = roundWith(useMark_[b.storey], *b.use);
                b.row.pkloni = QString::number(v);
                useTotal = addVolumes(useTotal, v);
            }
            out.push_back(b.row);
        }
        out.push_back(totalsRow(stockTotal, useTotal));
        return out;
    }

private:
    QString text(const char *pattern, int j) const { return recordText(t_, pattern, j); }
    qint64 number(const char *pattern, int j) const { return recordInt(t_, pattern, j); }

    int branchWood(const QString &dv) const
    {
        const int height = int(std::clamp<qint64>(height_, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        return branchWoodPercent(state_.branchWood, dv, origin_, height);
    }

    Building slotRow(int j, const QString &dv)
    {
        Building b;
        b.storey = storey_;
        CompositionRow &r = b.row;
        const QString et = text("ET%d", j).trimmed();
        const bool firstStorey = et == QLatin1String("1");
        r.et = isLayerWord(et) ? et : QString();
        r.dv = dv;

        const qint64 share = number("UCH%d", j);
        r.u = share > 0 ? text("UCH%d", j) : QStringLiteral("-");
        shareSum_ = addVolumes(shareSum_, share);
        // Further species of the first storey without their own measurements show
        // the diameter and height measured before them.
        const bool carried = share > 0 && firstStorey;

        const QString d = text("D%d", j);
        if (d.trimmed() != QLatin1String("0")) {
            r.d = d;
            diameter_ = number("D%d", j);
        } else {
            r.d = carried && diameter_ > 0 ? QString::number(diameter_) : QStringLiteral("-");
        }

        const qint64 pr = number("PR%d", j);
        r.pr = originWord(pr);
        if (r.pr.isEmpty()) r.pr = QStringLiteral("-");
        else origin_ = int(pr);

        const qint64 age = number("A%d", j);
        if (age == age_) {
            r.a = QStringLiteral("-");
        } else {
            r.a = text("A%d", j);
            age_ = age;
        }

        const double density = recordReal(t_, slotField("PYLN%d", j));
        r.pyl = density > 0 ? formatFixed(density / 10, 1) + QLatin1Char(' ') : QStringLiteral("-");

        const qint64 h = number("H%d", j);
        if (h > 0) {
            r.h = text("H%d", j);
            height_ = h;
        } else {
            r.h = carried && height_ > 0 ? QString::number(height_) : QStringLiteral("-");
        }

        r.b = number("B%d", j) > 0 ? text("B%d", j) : QStringLiteral("-");

        const qint64 vha = number("VHA%d", j);
        r.v1 = vha > 0 ? text("VHA%d", j) : QStringLiteral("-");
        if (vha > 0) vhaTotal_ = addVolumes(vhaTotal_, vha);

        const qint64 v = number("V%d", j);
        r.v = v > 0 ? text("V%d", j) : QStringLiteral("-");
        r.vkloni = QStringLiteral("-");
        if (v > 0) {
            vTotal_ = addVolumes(vTotal_, v);
            b.stock = withBranchWood(v, branchWood(dv));
            r.vkloni = QString::number(*b.stock);
            storeyStock_ = addVolumes(storeyStock_, *b.stock);
        }

        const qint64 use = number("POLZV%d", j);
        r.polz2 = use > 0 ? text("POLZV%d", j) : QStringLiteral("-");
        r.polz1 = QStringLiteral("-");
        if (use > 0) useTotalPlain_ = addVolumes(useTotalPlain_, use);
        r.pkloni = QStringLiteral("-");
        // Use given while no cutting is planned stays without branch wood ("-").
        if (use > 0 && cutting_ > 0) {
            b.use = withBranchWood(use, branchWood(dv));
            r.pkloni = QString::number(*b.use);
            storeyUse_ = addVolumes(storeyUse_, *b.use);
        }

        const QString povr = text("POVR%d", j);
        r.povr = isNoValueOrZero(povr) ? QStringLiteral("-") : povr;
        return b;
    }

    void closeStoreyWhenFull()
    {
        if (shareSum_ != 10) return;
        const size_t s = size_t(std::min(storey_, kLastStorey));
        stockMark_[s] = storeyStock_ <= 50 ? Mark::Fives : Mark::Tens;
        useMark_[s] = storeyUse_ <= 50 ? Mark::Fives : Mark::Tens;
        if (storey_ < kLastStorey) ++storey_;
        shareSum_ = storeyStock_ = storeyUse_ = 0;
    }

    CompositionRow totalsRow(Volume stockTotal, Volume useTotal) const
    {
        CompositionRow r;
        r.totals = true;
        r.dv = QStringLiteral("всичко");
        if (vhaTotal_ > 0 || vTotal_ > 0 || useTotalPlain_ > 0) {
            r.v1 = wholeOrNone(vhaTotal_);
            r.v = wholeOrNone(vTotal_);
            r.polz1 = wholeOrNone(cutting_);
            r.polz2 = wholeOrNone(useTotalPlain_);
            r.vkloni = wholeOrNone(stockTotal);
            r.pkloni = wholeOrNone(useTotal);
        } else {
            r.v1 = r.v = r.polz1 = r.polz2 = QStringLiteral("-");
        }
        return r;
    }

    // One storey per slot at most; the slot count bounds the storey numbers.
    static constexpr int kLastStorey = kCompositionSlots + 1;

    AppState &state_;
    Table &t_;
    qint64 cutting_ = 0;
    Volume shareSum_ = 0, storeyStock_ = 0, storeyUse_ = 0;
    qint64 diameter_ = 0, height_ = 0, age_ = 0;
    int origin_ = 0;
    Volume vhaTotal_ = 0, vTotal_ = 0, useTotalPlain_ = 0;
    int storey_ = 1;
    std::array<Mark, kLastStorey + 1> stockMark_{}, useMark_{};
};

} // namespace

int roundToFive(int a) { return fives(a); }
int roundToTen(int a) { return tens(a); }
long long roundToFive(long long a) { return fives(a); }
long long roundToTen(long long a) { return tens(a); }

std::optional<QVector<CompositionRow>> ViewSS(AppState &state, int otd, const QString &podotd)
{
    if (!selectSubCompartment(state.projectTable, otd, podotd)) return std::nullopt;
    QVector<CompositionRow> rows;
    try {
        rows = CompositionBuilder(state).build();
    } catch (...) {
        state.projectTable.close();
        throw;
    }
    state.projectTable.close();
    return rows;
}

QList<GridColumn> compositionColumns()
{
    const QString stock = QStringLiteral("Запас - куб.м|"), use = QStringLiteral("Ползване - куб.м|");
    return {
        GridColumn(QStringLiteral("Дървесен вид|етаж")),
        GridColumn(QStringLiteral("Дървесен вид")),
        GridColumn(QStringLiteral("Повр")),
        GridColumn(QStringLiteral("Уч")),
        GridColumn(QStringLiteral("Произ")),
        GridColumn(QStringLiteral("Пълн")),
        GridColumn(QStringLiteral("Възр")),
        GridColumn(QStringLiteral("D")),
        GridColumn(QStringLiteral("h")),
        GridColumn(QStringLiteral("B")),
        GridColumn(stock + QStringLiteral("на 1 ха")),
        GridColumn(stock + QStringLiteral("без клони")),
        GridColumn(stock + QStringLiteral("с клони")),
        GridColumn(use + QStringLiteral("%")),
        GridColumn(use + QStringLiteral("без клони")),
        GridColumn(use + QStringLiteral("с клони")),
    };
}

QStringList compositionColumnNames()
{
    return {QStringLiteral("ET"), QStringLiteral("DV"),    QStringLiteral("POVR"),   QStringLiteral("U"),
            QStringLiteral("PR"), QStringLiteral("PYL"),   QStringLiteral("A"),      QStringLiteral("D"),
            QStringLiteral("H"),  QStringLiteral("B"),     QStringLiteral("V1"),     QStringLiteral("V"),
            QStringLiteral("VKLONI"), QStringLiteral("POLZ1"), QStringLiteral("POLZ2"), QStringLiteral("PKLONI")};
}

QStringList compositionCells(const CompositionRow &r)
{
    return {r.et, r.dv, r.povr, r.u, r.pr, r.pyl, r.a, r.d, r.h, r.b, r.v1, r.v, r.vkloni, r.polz1, r.polz2, r.pkloni};
}

QList<DataGridModel::Row> compositionGridRows(const QVector<CompositionRow> &rows)
{
    return textGridRows(rows, compositionCells);
}

QString compositionCellStatus(AppState &state, const QString &columnTitle, const QString &povr,
                              const std::function<void(const UserMessage &)> &report)
{
    if (columnTitle != QStringLiteral("Повр") || povr.trimmed().isEmpty() || isNoValue(povr))
        return QString::fromUtf8(kCompanyLine);
    return QStringLiteral("повреда: %1 = %2").arg(povr, decodeDamage(state, povr, report));
}

} // namespace dx
