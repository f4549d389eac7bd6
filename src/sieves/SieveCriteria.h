// The 36 criteria of the working sieve as data (label, colour, control, kind, the fields
// each one tests, the text it contributes to the criteria list), the plain object that
// holds what the user set in them, and the loading of their pick lists from the project
// table (`LoadCombo`). A window binds its controls to this; nothing here needs a widget.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace dx {

struct AppState;

// The criteria in the order in which they enter the selection clause and the criteria
// text (the order of the "Критерий" group). The underlying value is the position 0..35.
enum class CriterionId : int {
    StopKlas, Nzn1, Nzn3, Nzn2, VidGori, Mestorast, Gsu, Zeml, VidPodotd,
    Bon, Pl, Zapas, Dv1, Bon1, Puln, Age, Dv2, Cutting,
    Systoianie, Stroej, Neles, NadmVis, Izlojenie, Naklon, Relef, Pochva, OsnSkala,
    Oblast, Bogatstvo, Vlajnost, MehSyst, Dylbochina, Plytnost, Kamenl, Podpoias, Pasha
};
inline constexpr int kCriterionCount = 36;
inline constexpr int kCuttingSlots = 9;
inline int criterionIndex(CriterionId id) { return int(id); }

enum class CriterionKind {
    Text,     // pick list; matched as a text constant
    Number,   // pick list; put into the condition bare, so it must be a number
    LandArea, // pick list of land-area names, matched through the land-area number
    Range,    // read-only field that the range window fills ("от 20 до 40")
    Cutting   // read-only field that the cutting-type window fills
};

// The six modes of the range window; the value is the mode number the user sees.
enum class RangeMode : int { None = 0, Age = 1, Fullness, SiteClass, Stock, PredominantSiteClass, Area };

// Where a pick list comes from.
enum class PickListSource {
    None,               // range and cutting fields have no list
    Distinct,           // the distinct values of the one field
    Purposes,           // NZN3..NZN7 appended one after the other (repeats kept)
    LandAreas,          // the land-area table's names, else the distinct ZEML numbers
    PredominantSpecies, // DV1, sorted; its values also start the species list
    Species             // DV1's values plus DV2..DV11 not yet listed, sorted
};

struct SieveCriterion {
    CriterionId id;
    QString label;           // caption above the control
    QString control;         // the control's name in the window ("ComboBoxSK")
    QColor labelColour;      // green for 1..18, maroon for 19..36
    CriterionKind kind;
    QStringList fields;      // the fields its condition tests
    RangeMode rangeMode;     // range criteria only
    PickListSource listSource;
    int gaugeStep;           // gauge position after its list is loaded (0: no list)
    QString firstText;       // its piece of the criteria text when first ("гсу: %s")
    QString laterText;       // ... when not first (" ,гсу: %s")

    int number() const { return int(id) + 1; } // 1..36 as the group counts them
};

// All 36 in table order; sieveCriterion(id) is sieveCriteria()[int(id)].
const std::array<SieveCriterion, kCriterionCount> &sieveCriteria();
const SieveCriterion &sieveCriterion(CriterionId id);
// The range criterion edited in a range mode (Age -> CriterionId::Age, ...).
CriterionId rangeCriterion(RangeMode mode);

// What the user set in the criteria. A criterion is set when its text is not empty; the
// text is used as it stands (a blank is a value). Range criteria hold their range text;
// the cutting criterion holds the nine slots its window last confirmed, and its text is
// made from them (texts[Cutting] is not used).
struct SieveCriteria {
    std::array<QString, kCriterionCount> texts;
    std::array<QString, kCuttingSlots> cuttingSlots;

    // The control's text: for the cutting criterion, its cutting text.
    QString text(CriterionId id) const;
    QString &operator[](CriterionId id) { return texts[size_t(id)]; }
    bool isSet(CriterionId id) const { return !text(id).isEmpty(); }
    bool anySet() const;
    // "Нов филтър": every criterion emptied, the land area and the cutting slots included.
    void clear();
    // What loading the pick lists empties: every pick-list criterion and the area and
    // stock fields; the other ranges and the cutting criterion keep their texts.
    void clearLoaded();

    bool operator==(const SieveCriteria &) const = default;
};

// --- pick lists (LoadCombo) --------------------------------------------------------

inline constexpr int kLoadComboSteps = 35; // the gauge runs 0..35
inline const QString kLoadComboText = QStringLiteral("Зареждане на данните...");

// Progress of a long load: the gauge position reached and its end.
using SieveProgress = std::function<void(int step, int total)>;

// The statements that load one criterion's list from the project table, in the order
// they run: `select distinct STOP_KLAS from "PATH"`, five for NZN3..NZN7, ten for
// DV2..DV11. The land-area criterion gives its fallback (the distinct ZEML numbers).
// Empty for range and cutting criteria.
QStringList pickListStatements(CriterionId id, const QString &tablePath);

struct SievePickLists {
    std::array<QStringList, kCriterionCount> lists; // empty for range and cutting criteria
    // One line per statement that failed ("statement: reason"); its list stays as far as
    // it got. The window may show them; loading goes on regardless.
    QStringList errors;

    const QStringList &operator[](CriterionId id) const { return lists[size_t(id)]; }
};

// One criterion's pick list from the project table: the distinct values of its field in
// the order returned, "-" and "0" left out; NZN3..NZN7 one after the other, repeats
// kept; the predominant species sorted; the species DV1..DV11 each once, sorted; the
// land areas as the land-area table's names in its order when that table is open (its
// filter switched off; every name kept), else the distinct ZEML numbers. Statements that
// fail are added to `errors`; the list holds what the others gave.
QStringList loadPickList(AppState &state, CriterionId id, QStringList *errors = nullptr);

// Fills every pick list (loadPickList) in table order. `progress` is told each gauge step
// the window shows, ending with (35, 35). The criteria texts are not touched: the window
// empties them with SieveCriteria::clearLoaded().
SievePickLists LoadCombo(AppState &state, const SieveProgress &progress = {});

} // namespace dx
