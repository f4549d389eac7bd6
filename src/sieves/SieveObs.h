// The OBS sieve: sub-compartments chosen by their future composition (species, site
// class, share, afforestation area) and a few criteria on the present stand. Its sixteen
// criteria, their pick lists (`LoadComboOBS`), the selection clause, the run over the
// project table and the texts copied with the result. Values reach the statement only
// as quoted constants or, where a criterion stands bare, as checked numbers.
#pragma once

#include "core/UserMessage.h"
#include "sieves/SieveRun.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace dx {

struct AppState;

enum class ObsCriterionId {
    ObsDv, ObsB, ObsUch, ObsZales,                        // future composition
    VidGori, Mestorast, Nzn1, VidPodotd, Dv1, Bon1, Puln, // present composition
    Age, Dv2, Bon, Pl, Zapas
};
inline constexpr int kObsCriterionCount = 16;

struct ObsCriterion {
    ObsCriterionId id;
    bool future;          // in the group "Бъдещ състав", else "Сегашен състав"
    QString label;        // the label beside the control
    QString control;      // the control's object name
    QStringList fields;   // every field the one value is compared with
    bool text;            // compared as a quoted constant; else the value stands bare
    QString compare;      // "=" or "<=" (an upper bound)
    QString firstText;    // the criteria description, first piece
    QString laterText;    // later pieces
};

// The criteria in the order they enter the clause and the description.
const std::array<ObsCriterion, kObsCriterionCount> &obsCriteria();
const ObsCriterion &obsCriterion(ObsCriterionId id);

// The criterion a key names: its label, any case, blanks around it ignored. Two labels
// stand in both groups ("дървесен вид", "бонитет"): the plain label names the present
// composition's criterion, the label after "о.б.с. " the future one (as the criteria
// text calls them); "о.б.с. " before any future criterion's label is accepted too.
std::optional<ObsCriterionId> obsCriterionByKey(const QString &key);

struct ObsCriteria {
    std::array<QString, kObsCriterionCount> texts;

    QString &operator[](ObsCriterionId id) { return texts[size_t(id)]; }
    const QString &text(ObsCriterionId id) const { return texts[size_t(id)]; }
    bool isSet(ObsCriterionId id) const { return !text(id).isEmpty(); }
    void clear() { texts.fill(QString()); }
};

struct ObsClause {
    QString clause;      // empty when nothing is set or a value cannot stand in it
    QStringList invalid; // labels of the criteria whose text is not a number where one must be
    bool isEmpty() const { return clause.isEmpty() && invalid.isEmpty(); }
};

// The condition of every set criterion in order, each after the first behind " and ".
ObsClause composeObsClause(const ObsCriteria &criteria);

// The set criteria in words ("о.б.с. дървесен вид : бк ,възраст: 35").
QString obsCriteriaText(const ObsCriteria &criteria);
// What the clipboard holds before the rows: "Работно сито - TITLE YEAR", the criteria
// and the fixed column line; and after them: the total, the label and the contact line.
QString obsCopyTitle(const ObsCriteria &criteria, const QString &title, const QString &year);
QString obsCopyFooter(const QString &resultLabel, const QString &contactLine);

// "Зададени са некоректни данни за критерий!" (no statement shown).
UserMessage obsInvalidDataMessage();

// --- pick lists (LoadComboOBS) -------------------------------------------------------

inline constexpr int kLoadComboObsSteps = 16;
using ObsProgress = std::function<void(int step, int total)>;

struct ObsPickLists {
    std::array<QStringList, kObsCriterionCount> lists; // empty for the typed criteria
    QStringList errors; // "statement: reason" for each statement that failed
    const QStringList &operator[](ObsCriterionId id) const { return lists[size_t(id)]; }
};

// Every list: the distinct values read from the project table ("-" and "0" left out),
// the species lists each value once and sorted, the fixed number lists. `progress` is
// told the gauge positions the window shows.
ObsPickLists LoadComboOBS(AppState &state, const ObsProgress &progress = {});

// --- the run -------------------------------------------------------------------------

struct ObsRunOutcome {
    enum class Status { Rows, NoRows, NoCriterion, InvalidData };
    Status status = Status::NoCriterion;
    UserMessage message;  // NoCriterion and InvalidData
    QString statement;    // what ran (empty when nothing could)
    SieveResult result;   // otd, podotd, pl
    QString label;        // after the run; the label before it when the run failed
};

ObsRunOutcome runObsSieve(AppState &state, const ObsCriteria &criteria, const QString &currentLabel);

} // namespace dx
