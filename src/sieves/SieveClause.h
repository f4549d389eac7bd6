// The working sieve's criteria turned into text: the selection clause over the project
// table, the select statement that runs it, and the criteria list in words with the
// result heading (`GetFilterCyr`). No value reaches a statement as typed: texts are
// quoted constants, and the criteria put in bare must be numbers.
#pragma once

#include "core/UserMessage.h"
#include "sieves/SieveCriteria.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace dx {

class Table;

inline const QString kSieveCaption = QStringLiteral("Работно сито");

// The land-area number of a name; nothing when no land-area table is open (the
// criterion then must be a number itself). A name the table lacks gives -1.
using LandAreaLookup = std::function<std::optional<int>(const QString &name)>;
// The lookup through the land-area table object (landAreaNumber); nothing while the
// table is closed.
LandAreaLookup landAreaLookup(Table &landArea);

// A number that may stand bare in a condition: optional sign, digits, an optional
// decimal point with digits; blanks around it allowed.
bool isSieveNumber(const QString &text);

struct SelectionClause {
    QString clause;          // empty when no criterion is set or one is invalid
    QStringList invalid;     // labels of the criteria whose text cannot stand in the clause
    QString shown;           // the clause with the invalid texts as typed, for the message

    bool isEmpty() const { return clause.isEmpty() && invalid.isEmpty(); }
    bool isValid() const { return invalid.isEmpty(); }
};

// The condition of every set criterion in table order, the first as it stands and each
// later one after " and ". Range criteria give the clause of their range text, the
// cutting criterion the clause of its slots. Invalid: a number criterion (гсу,
// нелесопригодност, надморска височина, наклон, a land area without the table) whose
// text is not a number, and a range text that is not one of the four range forms.
SelectionClause composeSelectionClause(const SieveCriteria &criteria, const LandAreaLookup &landArea = {});

// `select COLUMNS from "PATH" where ` followed by the clause.
QString selectStatement(const QString &columns, const QString &tablePath, const QString &clause);

struct SieveStatement {
    enum class Status { Ready, NoCriterion, InvalidData };
    Status status = Status::NoCriterion;
    QString clause;    // the selection clause (Ready)
    QString statement; // what runs (Ready), or what the criteria asked for (InvalidData)
    UserMessage message; // NoCriterion and InvalidData: shown after a beep
};

// The clause and the statement, or the message that stops the run.
SieveStatement composeSieveStatement(const SieveCriteria &criteria, const QString &columns,
                                     const QString &tablePath, const LandAreaLookup &landArea = {});

// "Няма зададени критерий по които да се извърши търсенето!"
UserMessage noCriterionMessage();
// "Зададени са некоректни данни за критерий! " followed by the statement.
UserMessage invalidDataMessage(const QString &statement);

// The set criteria in words, in table order ("стопански клас: X ,гсу: 12").
QString criteriaText(const SieveCriteria &criteria);
// The result heading: "Работно сито - TITLE YEAR", the criteria text and the result label,
// with CR LF line ends.
QString GetFilterCyr(const SieveCriteria &criteria, const QString &title, const QString &year,
                     const QString &resultLabel);

} // namespace dx
