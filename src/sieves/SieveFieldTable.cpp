// The field table of the working sieve's result and the stored choice of its columns.
#include "sieves/SieveFieldTable.h"

#include "core/ProfileFile.h"
#include "core/Settings.h"

#include <algorithm>

namespace dx {

namespace {

// Entry i of one list pairs with entry i of the other.
const char kNames[] =
    "OTD;PODOTD;PL;GSU;ZEML;VID_GORI;VID_PODOTD;STOP_KLAS;NZN1;NZN2;NZN3;NZN4;NZN5;NZN6;NZN7;"
    "OBLAST;PODPOIAS;NADM_VIS;IZLOJENIE;RELEF;NAKLON;MESTORAST;STROEJ;SYSTOIANIE;PRAVOSTYBL;SHEMA;"
    "POCHVA;MEH_SYST;KAMENL;PLYTNOST;DYLBOCHINA;VLAJNOST;ERO_ST;VID_ERO1;VID_ERO2;OSN_SKALA;NELES;"
    "BOGATSTVO;SECH_PER;SECH1;SECH2;SECH3;SECH4;SECH5;SECH6;SECH7;SECH8;SECH9;NAS_ZALES;PP1;PLPP1;"
    "PP2;PLPP2;SMESVANE;SHEMA_ZAL;TSEL;PASHA";
const char kCaptions[] =
    "отдел;подотдел;площ;гсу;землище;вид гори;вид подотдел;стоп.клас;предн1;предн2;предн3;предн4;"
    "предн5;предн6;предн7;област;подпояс;надм.вис;изложение;релеф;наклон;месторастене;строеж;"
    "състояние;правостъбл;схема;почва;мех.състав;каменливост;плътност;дълбочина;влажност;"
    "ерозия степен;ерозия вид1;ерозия вид2;осн.скала;нелесоприг.;богатство;% на сечта;сеч1;сеч2;"
    "сеч3;сеч4;сеч5;сеч6;сеч7;сеч8;сеч9;нас.на залес;почвоподг1;площпп1;почвоподг2;площпп2;"
    "смесване;сх.за залес;цел;паша";

std::vector<SieveField> buildTable()
{
    const QStringList names = QString::fromUtf8(kNames).split(QLatin1Char(';'));
    const QStringList captions = QString::fromUtf8(kCaptions).split(QLatin1Char(';'));
    std::vector<SieveField> table;
    for (qsizetype i = 0; i < names.size() && i < captions.size(); ++i) table.push_back({names[i], captions[i]});
    return table;
}

} // namespace

const std::vector<SieveField> &sieveFieldTable()
{
    static const std::vector<SieveField> table = buildTable();
    return table;
}

QString sieveFieldCaption(const QString &name)
{
    for (const SieveField &f : sieveFieldTable())
        if (f.name == name) return f.caption;
    return {};
}

QList<int> parseSieveFields(const QString &value, QStringList *rejected)
{
    QList<bool> on(kSieveFieldCount, false);
    for (int i = 0; i < kSieveFixedFields; ++i) on[i] = true;
    const QStringList items = value.split(QLatin1Char(','));
    for (const QString &item : items) {
        const QString t = item.trimmed();
        bool digits = !t.isEmpty() && t.size() <= 4;
        for (QChar c : t) digits = digits && c >= u'0' && c <= u'9';
        const int index = digits ? t.toInt() : -1;
        if (index >= 0 && index < kSieveFieldCount) {
            on[index] = true;
        } else if (rejected && !(t.isEmpty() && items.size() == 1)) {
            rejected->append(item);
        }
    }
    QList<int> out;
    for (int i = 0; i < kSieveFieldCount; ++i)
        if (on[i]) out << i;
    return out;
}

QString formatSieveFields(const QList<int> &indices)
{
    QList<int> sorted = indices;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QStringList parts;
    for (int i : sorted) parts << QString::number(i);
    return parts.join(QLatin1Char(','));
}

QString sieveColumnList(const QList<int> &indices)
{
    QStringList names;
    const std::vector<SieveField> &table = sieveFieldTable();
    for (int i = 0; i < kSieveFieldCount; ++i)
        if (indices.contains(i)) names << table[size_t(i)].name;
    return names.join(QLatin1Char(','));
}

// --- the column-choice window's ticks ---------------------------------------------

QStringList SieveColumnChoice::load(const QString &settingsPath)
{
    QString value = kDefaultSieveFields;
    try {
        value = readSieveFields(ProfileFile::load(settingsPath));
    } catch (const ProfileError &) {
        // An unreadable settings file gives the default choice.
    }
    QStringList rejected;
    setChoice(parseSieveFields(value, &rejected));
    return rejected;
}

void SieveColumnChoice::save(const QString &settingsPath) const
{
    writeSieveFields(settingsPath, formatSieveFields(choice()));
}

void SieveColumnChoice::setTicked(int index, bool on)
{
    if (index < 0 || index >= kSieveFieldCount) return;
    ticked_[index] = on || isFixed(index);
}

void SieveColumnChoice::tickAll()
{
    ticked_.fill(true);
}

void SieveColumnChoice::clearAll()
{
    for (int i = 0; i < kSieveFieldCount; ++i) ticked_[i] = isFixed(i);
}

QList<int> SieveColumnChoice::choice() const
{
    QList<int> out;
    for (int i = 0; i < kSieveFieldCount; ++i)
        if (ticked_[i]) out << i;
    return out;
}

void SieveColumnChoice::setChoice(const QList<int> &indices)
{
    clearAll();
    for (int i : indices) setTicked(i, true);
}

int SieveColumnChoice::tickedCount() const
{
    return int(std::count(ticked_.begin(), ticked_.end(), true));
}

QString SieveColumnChoice::totalText() const
{
    return QStringLiteral("Общо: %1").arg(kSieveFieldCount);
}

QString SieveColumnChoice::selectedText() const
{
    return QStringLiteral("Избрани: %1").arg(tickedCount());
}

} // namespace dx
