// The cutting criterion of the working sieve: the nine cutting positions (SECH1..SECH9),
// the condition and the text made from them, the lists of cutting types found in the
// project (`LoadComboSech`), and the cutting-type window (TFormSitoRabotnoSechi) as a
// plain object.
#pragma once

#include "sieves/SieveCriteria.h"

#include <QString>
#include <QStringList>

#include <array>

namespace dx {

class Database;

using CuttingSlots = std::array<QString, kCuttingSlots>;

inline const QString kCuttingWindowCaption = QStringLiteral("Видове сечи");
// "Сеч 1:" .. "Сеч 9:" for slot 1..9.
QString cuttingSlotLabel(int slot);

// The chosen types in slot order joined by ", ".
QString cuttingText(const CuttingSlots &positions);
// SECHn="type" for every chosen slot n in order, joined by " and ", no parentheses; the
// type is a quoted constant, so any text in it is matched as it stands.
QString cuttingClause(const CuttingSlots &positions);

// `select distinct SECHn from "PATH" where SECHn <> "-"` for slot n (1..9).
QString cuttingTypeStatement(int slot, const QString &tablePath);

struct CuttingTypeLists {
    std::array<QStringList, kCuttingSlots> lists;
    std::array<bool, kCuttingSlots> enabled{}; // a slot is usable when its statement returned rows
};

// The cutting types of every position in the order the statements return them. A
// position without rows, or whose statement fails, stays disabled with an empty list.
CuttingTypeLists LoadComboSech(Database &db, const QString &tablePath);

// The cutting-type window: nine editable lists, loaded once after each show of the
// working sieve. The texts are what the user has chosen since; "Ок" hands them over.
class CuttingWindow {
public:
    bool isLoaded() const { return loaded_; }
    // The working sieve marks the lists stale each time it is shown.
    void markStale() { loaded_ = false; }
    // Showing: loads the lists when they are stale (the nine texts are emptied then).
    // Returns true when it loaded.
    bool show(Database &db, const QString &tablePath);

    const CuttingTypeLists &lists() const { return lists_; }
    const CuttingSlots &texts() const { return texts_; }
    void setText(int slot, const QString &text) { texts_[size_t(slot - 1)] = text; } // slot 1..9
    // Opening with the criterion's confirmed slots in the lists' texts.
    void setTexts(const CuttingSlots &texts) { texts_ = texts; }

    // "Изчисти": the nine texts emptied; the window stays open.
    void clear();
    // "Ок": the slots the sieve's cutting criterion takes (SieveCriteria::cuttingSlots).
    CuttingSlots ok() const { return texts_; }

private:
    CuttingTypeLists lists_;
    CuttingSlots texts_;
    bool loaded_ = false;
};

} // namespace dx
