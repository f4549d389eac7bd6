// Selection clause, select statement and criteria text of the working sieve.
#include "sieves/SieveClause.h"

#include "core/Quoting.h"
#include "description/Nomenclature.h"
#include "description/ProjectRecord.h"
#include "engine/sql/Table.h"
#include "sieves/SieveCutting.h"
#include "sieves/SieveRange.h"

#include <QRegularExpression>

namespace dx {

namespace {

// A template's "%s" replaced by the value; the value itself is not scanned again.
QString fill(const QString &pattern, const QString &value)
{
    QString out = pattern;
    const qsizetype at = out.indexOf(QLatin1String("%s"));
    if (at >= 0) out.replace(at, 2, value);
    return out;
}

// The text compared with every field of the criterion: F="v" or (F1="v" or F2="v" ...).
QString textCondition(const QStringList &fields, const QString &value)
{
    const QString constant = sqlQuoted(value);
    QStringList terms;
    for (const QString &f : fields) terms << f + QLatin1Char('=') + constant;
    if (terms.size() == 1) return terms.front();
    return QLatin1Char('(') + terms.join(QStringLiteral(" or ")) + QLatin1Char(')');
}

struct Condition {
    QString text;       // what enters the clause
    bool valid = true;  // false: `text` is what was asked for, to show, never to run
};

Condition bare(const QString &field, const QString &value)
{
    return {field + QLatin1Char('=') + value, isSieveNumber(value)};
}

// A NUL would end the statement where it stands: no criterion may hold one.
bool holdsNul(const SieveCriterion &c, const SieveCriteria &criteria)
{
    if (c.kind != CriterionKind::Cutting) return criteria.text(c.id).contains(QChar(0));
    for (const QString &slot : criteria.cuttingSlots)
        if (slot.contains(QChar(0))) return true;
    return false;
}

Condition condition(const SieveCriterion &c, const SieveCriteria &criteria, const LandAreaLookup &landArea)
{
    const QString v = criteria.text(c.id);
    if (holdsNul(c, criteria)) return {c.kind == CriterionKind::Cutting ? cuttingClause(criteria.cuttingSlots) : v, false};
    switch (c.kind) {
    case CriterionKind::Text:
        return {textCondition(c.fields, v)};
    case CriterionKind::Number:
        return bare(c.fields.front(), v);
    case CriterionKind::LandArea:
        if (landArea) {
            if (const std::optional<int> n = landArea(v)) return {QStringLiteral("ZEML=%1").arg(*n)};
        }
        return bare(QStringLiteral("ZEML"), v);
    case CriterionKind::Range:
        if (const std::optional<RangeValue> r = parseRangeText(v)) return {rangeClause(c.rangeMode, *r)};
        return {v, false};
    case CriterionKind::Cutting:
        return {cuttingClause(criteria.cuttingSlots)};
    }
    return {};
}

} // namespace

LandAreaLookup landAreaLookup(Table &landArea)
{
    return [&landArea](const QString &name) -> std::optional<int> {
        if (!landArea.active()) return std::nullopt;
        return landAreaNumber(landArea, name);
    };
}

bool isSieveNumber(const QString &text)
{
    // The value enters the statement as typed, so only the blanks the database itself
    // skips (space, tab, line ends, form feed) may stand around the number.
    static const QRegularExpression number(QStringLiteral("^[ \\t\\r\\n\\f]*[+-]?[0-9]+(\\.[0-9]+)?[ \\t\\r\\n\\f]*$"));
    return number.match(text).hasMatch();
}

SelectionClause composeSelectionClause(const SieveCriteria &criteria, const LandAreaLookup &landArea)
{
    SelectionClause out;
    QString shown;
    for (const SieveCriterion &c : sieveCriteria()) {
        if (!criteria.isSet(c.id)) continue;
        const Condition cond = condition(c, criteria, landArea);
        if (!shown.isEmpty()) shown += QStringLiteral(" and ");
        shown += cond.text;
        if (!cond.valid) out.invalid << c.label;
    }
    if (out.invalid.isEmpty()) out.clause = shown;
    else out.shown = shown;
    if (out.shown.isEmpty()) out.shown = out.clause;
    return out;
}

QString selectStatement(const QString &columns, const QString &tablePath, const QString &clause)
{
    return QStringLiteral("select %1 from ").arg(columns) + sqlQuoted(tablePath) + QStringLiteral(" where ") + clause;
}

UserMessage noCriterionMessage()
{
    return {kSieveCaption, QStringLiteral("Няма зададени критерий по които да се извърши търсенето!"),
            UserMessage::Icon::Error, {}};
}

UserMessage invalidDataMessage(const QString &statement)
{
    return {kSieveCaption, QStringLiteral("Зададени са некоректни данни за критерий! ") + statement,
            UserMessage::Icon::Error, {}};
}

SieveStatement composeSieveStatement(const SieveCriteria &criteria, const QString &columns, const QString &tablePath,
                                     const LandAreaLookup &landArea)
{
    SieveStatement out;
    const SelectionClause clause = composeSelectionClause(criteria, landArea);
    if (clause.isEmpty()) {
        out.status = SieveStatement::Status::NoCriterion;
        out.message = noCriterionMessage();
        return out;
    }
    if (!clause.isValid()) {
        out.status = SieveStatement::Status::InvalidData;
        out.statement = selectStatement(columns, tablePath, clause.shown);
        out.message = invalidDataMessage(out.statement);
        return out;
    }
    out.status = SieveStatement::Status::Ready;
    out.clause = clause.clause;
    out.statement = selectStatement(columns, tablePath, clause.clause);
    return out;
}

QString criteriaText(const SieveCriteria &criteria)
{
    QString text;
    bool first = true;
    for (const SieveCriterion &c : sieveCriteria()) {
        if (!criteria.isSet(c.id)) continue;
        text += fill(first ? c.firstText : c.laterText, criteria.text(c.id));
        first = false;
    }
    return text;
}

QString GetFilterCyr(const SieveCriteria &criteria, const QString &title, const QString &year,
                     const QString &resultLabel)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Работно сито - %1 %2").arg(title, year) + crlf + crlf + QStringLiteral("филтър: ") +
           criteriaText(criteria) + crlf + QStringLiteral("ОБЩО: ") + resultLabel + crlf;
}

} // namespace dx
