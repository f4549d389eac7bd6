// The working sieve's field table: the 57 project-table fields a result can show, each
// with its column caption, and the user's choice of them (the settings key "fields" of
// section "сито работно"). The column-choice window (TFormSitoRabotnoSetting) is a view
// of SieveColumnChoice.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace dx {

struct SieveField {
    QString name;    // field of the project table ("OTD")
    QString caption; // column caption ("отдел")
};

inline constexpr int kSieveFieldCount = 57;
inline constexpr int kSieveFixedFields = 3; // OTD, PODOTD, PL: always shown
inline const QString kDefaultSieveFields = QStringLiteral("0,1,2");

// The 57 entries in order.
const std::vector<SieveField> &sieveFieldTable();
// The caption of a field name; exact, case-sensitive match. Empty when there is none.
QString sieveFieldCaption(const QString &name);

// The settings value read as a choice: the listed indices in increasing order, each
// once, the three fixed ones always included. Items that are not whole numbers in
// 0..56 (words, "99", "-1", "") are left out and, when `rejected` is given, added to it
// as written (blanks around an item are ignored).
QList<int> parseSieveFields(const QString &value, QStringList *rejected = nullptr);
// The choice as the settings hold it: indices in increasing order joined by ",".
QString formatSieveFields(const QList<int> &indices);
// The select list of a choice: the field names in table order joined by ",".
QString sieveColumnList(const QList<int> &indices);

// The column-choice window's ticks.
class SieveColumnChoice {
public:
    SieveColumnChoice() { setChoice(parseSieveFields(kDefaultSieveFields)); }

    // Initialise and "Отказ": the ticks become exactly the choice stored in the settings
    // file (the default when the file or key is missing or cannot be read). Items of
    // the stored value that were left out are returned.
    QStringList load(const QString &settingsPath);
    // "Ok": the ticks written to the settings file. Throws ProfileError.
    void save(const QString &settingsPath) const;

    bool isTicked(int index) const { return ticked_.value(index); }
    // The fixed entries stay ticked whatever is asked.
    void setTicked(int index, bool on);
    static bool isFixed(int index) { return index >= 0 && index < kSieveFixedFields; }
    void tickAll();   // "<< Избери всички"
    void clearAll();  // "<< Изчисти всички": only the fixed entries stay ticked

    QList<int> choice() const;
    void setChoice(const QList<int> &indices);
    int tickedCount() const;

    QString totalText() const;    // "Общо: 57"
    QString selectedText() const; // "Избрани: %d"

private:
    QList<bool> ticked_ = QList<bool>(kSieveFieldCount, false);
};

} // namespace dx
