// The damage letters' wordings kept for the length of a run over many descriptions.
#pragma once

#include "description/Nomenclature.h"

#include <QHash>
#include <QString>

namespace dx {

// While one lives on a thread, damageWording answers a letter it has already looked up
// in the same nomenclature from memory: an export of thousands of descriptions then
// reads each letter's wording once, not once a description. A lookup that failed is
// not kept (the next one tries, and reports, again). Memos nest; the innermost answers.
class DamageWordingMemo {
public:
    DamageWordingMemo();
    ~DamageWordingMemo();
    DamageWordingMemo(const DamageWordingMemo &) = delete;
    DamageWordingMemo &operator=(const DamageWordingMemo &) = delete;

    // The memo in force on this thread, or null.
    static DamageWordingMemo *current();
    const DamageWording *find(const QString &namesPath, const QString &letter) const;
    void keep(const QString &namesPath, const QString &letter, const DamageWording &wording);

private:
    DamageWordingMemo *outer_;
    QHash<QString, DamageWording> kept_; // nomenclature path, a NUL, the letter
};

} // namespace dx
