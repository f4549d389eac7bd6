// Saved sieves (.drf): the texts of the working sieve's criteria in one section
// "Dendrix Filter" of a profile file, 44 keys in a fixed order (`SaveSito`, `ReadSito`).
// The land area is never stored; its key "землище" carries the management unit a
// second time, as every saved sieve so far holds it.
#pragma once

#include "sieves/SieveCriteria.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace dx {

class ProfileFile;

inline const QString kSieveFileSection = QStringLiteral("Dendrix Filter");
inline const QString kSieveFileExtension = QStringLiteral("drf");
inline const QString kSieveFileFilter = QStringLiteral("*.drf (Dendrix Filter)|*.drf");
inline const QString kOpenSieveTitle = QStringLiteral("Зареждане на запазени критерий...");
inline constexpr int kSieveFileKeyCount = 44;

struct SieveFileKey {
    QString key;
    CriterionId criterion; // whose text the key holds
    int cuttingSlot;       // 1..9 for the keys "сеч 1".."сеч 9", else 0
};
// The keys in the order a new file receives them and a file is read.
const std::array<SieveFileKey, kSieveFileKeyCount> &sieveFileKeys();

struct SaveSitoResult {
    bool saved = false;
    QString error; // names the file and the reason; the file is left as it was
};

// Writes the 44 keys into the file's section; every other section, key and line of an
// existing file stays as it was. A text that code page 1251 cannot hold, or a file that
// cannot be read or written, saves nothing.
SaveSitoResult SaveSito(const QString &path, const SieveCriteria &criteria);

struct ReadSitoResult {
    bool read = false;        // false: the criteria are as they were; `error` says why
    QString error;
    bool sectionFound = false;
    QStringList unknownKeys;  // keys of the section that no criterion has (ignored)
    QStringList badRanges;    // labels of range criteria whose text is not a range
};

// Sets every criterion but the land area from the file: a missing file, section or key
// empties it. The management unit takes the value of "землище" (read after "гсу"); the
// cutting criterion its nine slots; range texts are read back in their normal form
// ("от 40 до 20" -> "от 20 до 40"). A range text of another form is kept as it stands and
// listed in badRanges: the run refuses it as incorrect data. A file that is not a code
// page 1251 text file is not read at all.
ReadSitoResult ReadSito(const QString &path, SieveCriteria &criteria);
ReadSitoResult ReadSito(const ProfileFile &file, SieveCriteria &criteria);

// One key and its value as given outside a file (dendrix-cli's KEY=VALUE arguments),
// both already as a file's reading leaves them (ProfileFile::nameAsRead, valueAsRead).
struct SieveKeyValue {
    QString key, value;
};
// Sets the criteria from the pairs exactly as ReadSito sets them from a file's section
// holding these keys in this order: keys match without regard to case, the first of a
// key wins, a key not given empties its criterion. Keys that no criterion has are
// listed in unknownKeys; sectionFound is true.
ReadSitoResult ReadSito(const std::vector<SieveKeyValue> &pairs, SieveCriteria &criteria);

// Sets only the criteria of the keys given, in the order a saved sieve is read: a key
// that is not given leaves its criterion as it was. Among the given keys the file's
// quirk holds: "землище" is read after "гсу" and both set the management unit, so with
// both given the value of "землище" wins. The first of a repeated key wins; range texts
// are normalised as ReadSito does; unknown keys are listed.
ReadSitoResult applySieveKeys(const std::vector<SieveKeyValue> &pairs, SieveCriteria &criteria);

} // namespace dx
