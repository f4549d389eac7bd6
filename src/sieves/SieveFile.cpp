// Saving and reading the working sieve's criteria.
#include "sieves/SieveFile.h"

#include "core/ProfileFile.h"
#include "sieves/SieveRange.h"

namespace dx {

namespace {

std::array<SieveFileKey, kSieveFileKeyCount> buildKeys()
{
    using I = CriterionId;
    struct Key {
        const char *key;
        CriterionId criterion;
    };
    const Key before[] = {
        {"стопански клас", I::StopKlas}, {"водещо предн.", I::Nzn1},  {"неводещо предн.", I::Nzn3},
        {"собственост", I::Nzn2},        {"вид гори", I::VidGori},    {"месторастене", I::Mestorast},
        {"гсу", I::Gsu},                 {"землище", I::Gsu},         {"вид подотдел", I::VidPodotd},
        {"бонитет", I::Bon},             {"max. площ (xa)", I::Pl},   {"max. запас", I::Zapas},
        {"преобл. дървесен вид", I::Dv1}, {"преобл. бонитет", I::Bon1}, {"пълнота", I::Puln},
        {"възраст", I::Age},             {"дървесен вид", I::Dv2},
    };
    const Key after[] = {
        {"състояние", I::Systoianie},     {"строеж", I::Stroej},       {"нелесопригодност", I::Neles},
        {"надморска височина", I::NadmVis}, {"изложение", I::Izlojenie}, {"наклон", I::Naklon},
        {"релеф", I::Relef},              {"почва", I::Pochva},        {"основна скала", I::OsnSkala},
        {"област", I::Oblast},            {"богатсво", I::Bogatstvo},  {"влага", I::Vlajnost},
        {"механичен състав", I::MehSyst}, {"дълбочина", I::Dylbochina}, {"плътност", I::Plytnost},
        {"каменливост", I::Kamenl},       {"подпояс", I::Podpoias},    {"паша", I::Pasha},
    };
    std::array<SieveFileKey, kSieveFileKeyCount> keys{};
    size_t i = 0;
    for (const Key &k : before) keys[i++] = {QString::fromUtf8(k.key), k.criterion, 0};
    for (int slot = 1; slot <= kCuttingSlots; ++slot)
        keys[i++] = {QStringLiteral("сеч %1").arg(slot), CriterionId::Cutting, slot};
    for (const Key &k : after) keys[i++] = {QString::fromUtf8(k.key), k.criterion, 0};
    return keys;
}

QString valueOf(const SieveCriteria &criteria, const SieveFileKey &k)
{
    if (k.cuttingSlot > 0) return criteria.cuttingSlots[size_t(k.cuttingSlot - 1)];
    return criteria.texts[size_t(k.criterion)];
}

bool isSieveKey(const QString &key)
{
    for (const SieveFileKey &k : sieveFileKeys())
        if (QString::compare(k.key, key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

} // namespace

const std::array<SieveFileKey, kSieveFileKeyCount> &sieveFileKeys()
{
    static const std::array<SieveFileKey, kSieveFileKeyCount> keys = buildKeys();
    return keys;
}

SaveSitoResult SaveSito(const QString &path, const SieveCriteria &criteria)
{
    SaveSitoResult out;
    try {
        ProfileFile file = ProfileFile::load(path);
        for (const SieveFileKey &k : sieveFileKeys()) file.writeString(kSieveFileSection, k.key, valueOf(criteria, k));
        file.save();
        out.saved = true;
    } catch (const ProfileError &e) {
        out.error = e.message();
    }
    return out;
}

ReadSitoResult ReadSito(const QString &path, SieveCriteria &criteria)
{
    try {
        return ReadSito(ProfileFile::load(path), criteria);
    } catch (const ProfileError &e) {
        ReadSitoResult out;
        out.error = e.message();
        return out;
    }
}

namespace {

// The reading shared by files and pairs: `valueOf` gives a key's value, empty when the
// key is not there.
// `onlyGiven`: a key outside `keys` leaves its criterion alone instead of emptying it.
template <class ValueOf>
ReadSitoResult readCriteria(const QStringList &keys, ValueOf valueOf, SieveCriteria &criteria, bool onlyGiven = false)
{
    ReadSitoResult out;
    out.read = true;
    for (const QString &key : keys)
        if (!isSieveKey(key)) out.unknownKeys << key;

    const QString landArea = criteria.text(CriterionId::Zeml);
    for (const SieveFileKey &k : sieveFileKeys()) {
        if (onlyGiven && !keys.contains(k.key, Qt::CaseInsensitive)) continue;
        const QString v = valueOf(k.key);
        if (k.cuttingSlot > 0) criteria.cuttingSlots[size_t(k.cuttingSlot - 1)] = v;
        else criteria[k.criterion] = v;
    }
    criteria[CriterionId::Zeml] = landArea;

    for (const SieveCriterion &c : sieveCriteria()) {
        if (c.kind != CriterionKind::Range || !criteria.isSet(c.id)) continue;
        QString &text = criteria[c.id];
        if (parseRangeText(text)) text = normalisedRangeText(text);
        else out.badRanges << c.label;
    }
    return out;
}

} // namespace

ReadSitoResult ReadSito(const ProfileFile &file, SieveCriteria &criteria)
{
    ReadSitoResult out = readCriteria(
        file.keys(kSieveFileSection),
        [&file](const QString &key) { return file.readString(kSieveFileSection, key, QString()); }, criteria);
    out.sectionFound = file.hasSection(kSieveFileSection);
    return out;
}

namespace {

ReadSitoResult readPairs(const std::vector<SieveKeyValue> &pairs, SieveCriteria &criteria, bool onlyGiven)
{
    QStringList keys;
    for (const SieveKeyValue &p : pairs)
        if (!keys.contains(p.key, Qt::CaseInsensitive)) keys << p.key;
    ReadSitoResult out = readCriteria(
        keys,
        [&pairs](const QString &key) {
            for (const SieveKeyValue &p : pairs)
                if (QString::compare(p.key, key, Qt::CaseInsensitive) == 0) return p.value;
            return QString();
        },
        criteria, onlyGiven);
    out.sectionFound = true;
    return out;
}

} // namespace

ReadSitoResult ReadSito(const std::vector<SieveKeyValue> &pairs, SieveCriteria &criteria)
{
    return readPairs(pairs, criteria, false);
}

ReadSitoResult applySieveKeys(const std::vector<SieveKeyValue> &pairs, SieveCriteria &criteria)
{
    return readPairs(pairs, criteria, true);
}

} // namespace dx
