// Range criteria of the working sieve: the range text ("от 20 до 40", "до 40", "над 40",
// "равно на 40"), the condition each range mode builds from it, and the range window
// (TFormSitoRabotnoAge) as a plain object: which choice is ticked, its five number
// fields, what "Ок" and "Изчисти" do. The window only mirrors this state in widgets.
#pragma once

#include "core/UserMessage.h"
#include "sieves/SieveCriteria.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

namespace dx {

enum class RangeKind { Between, UpTo, Over, Equal }; // "от - до", "до", "над", "равно"

// A range as the user set it. `low` holds the one value of UpTo, Over and Equal; a
// Between range keeps low <= high.
struct RangeValue {
    RangeKind kind = RangeKind::Between;
    QString low, high;
    bool operator==(const RangeValue &) const = default;
};

struct RangeModeInfo {
    RangeMode mode;
    QString caption; // the range window's caption in this mode
    QString prefix;  // "A", "PYLN", "B", "V" (eleven storeys) or the one field "B1", "PL"
    bool storeys;    // the condition tests prefix1..prefix11
};
const RangeModeInfo &rangeModeInfo(RangeMode mode); // mode 1..6

// The radio button caption of a kind: "от - до", "до", "над", "равно".
QString rangeKindCaption(RangeKind kind);

// The range text the sieve's field shows.
QString rangeText(const RangeValue &range);
// The condition of a range in a mode: eleven storey terms joined by " or " inside
// parentheses for modes 1 to 4, " (PL<=5) " with a blank at each end for modes 5 and 6.
// The values must be whole numbers (parseRangeText and RangeWindow make sure of it).
QString rangeClause(RangeMode mode, const RangeValue &range);

// A range text read back: one of the four forms with whole numbers (digits only, at most
// nine), words separated by blanks. "от 40 до 20" reads as low 20, high 40. Nothing for
// any other text.
std::optional<RangeValue> parseRangeText(const QString &text);

// The range text in its normal form ("от 40 до 20" -> "от 20 до 40"); the text itself
// when it is not a range.
QString normalisedRangeText(const QString &text);

// --- the range window -------------------------------------------------------------------

inline constexpr int kRangeFieldLength = 3; // characters a number field takes

// The number fields take the digits 0 to 9 and Backspace; any other key is swallowed.
bool rangeKeyAccepted(QChar key);

// Top-left corner of the range window: below the criterion's field (its rectangle within
// the criteria group) by 70 pixels, 5 pixels in from its left edge.
QPoint rangeWindowPosition(const QPoint &sieveTopLeft, const QRect &fieldInGroup);

class RangeWindow {
public:
    enum class Field { From, To, UpTo, Over, Equal };

    // What a button did. The window closes when `closes`; otherwise it beeps and shows
    // `message`. When `fieldText` is set, the sieve's field of the mode gets that text.
    struct Outcome {
        bool closes = false;
        std::optional<UserMessage> message;
        std::optional<QString> fieldText;
    };

    // Opening from a criterion: the mode and caption, then the fields pre-filled from the
    // field's text. An empty text, or one whose first word is none of "от", "до", "над",
    // "равно", leaves the ticked choice as it was and the fields empty. A value that is
    // not a whole number is not taken over (the fields hold digits only).
    void open(RangeMode mode, const QString &fieldText);

    RangeMode mode() const { return mode_; }
    QString caption() const { return rangeModeInfo(mode_).caption; }

    RangeKind ticked() const { return ticked_; }
    void tick(RangeKind kind) { ticked_ = kind; }
    // The field takes input only while its choice is ticked.
    bool isEnabled(Field field) const;
    // The field that gets the focus when its choice is ticked.
    Field focusField() const;

    QString value(Field field) const { return values_[int(field)]; }
    void setValue(Field field, const QString &text) { values_[int(field)] = text; }

    Outcome ok() const;     // "Ок"
    Outcome clear();        // "Изчисти": fields and the criterion emptied, "от - до" ticked
    Outcome cancel() const; // "Отказ"

private:
    RangeMode mode_ = RangeMode::Age;
    RangeKind ticked_ = RangeKind::Between;
    QString values_[5];
};

} // namespace dx
