// Criteria, pick lists, clause, run and copied texts of the OBS sieve.
#include "sieves/SieveObs.h"

#include "core/AppState.h"
#include "core/QtText.h"
#include "core/Quoting.h"
#include "engine/common/EngineError.h"
#include "engine/sql/Database.h"
#include "sieves/SieveClause.h"

#include <algorithm>

namespace dx {

namespace {

using I = ObsCriterionId;

// NAME1 .. NAMEn (or from `from`).
QStringList numbered(const char *name, int from, int to)
{
    QStringList out;
    for (int n = from; n <= to; ++n) out << QString::fromLatin1(name) + QString::number(n);
    return out;
}

ObsCriterion make(I id, bool future, const char *label, const char *control, QStringList fields, bool text,
                  const char *compare, const char *first, const char *later)
{
    return {id, future, QString::fromUtf8(label), QString::fromLatin1(control), std::move(fields), text,
            QString::fromLatin1(compare), QString::fromUtf8(first), QString::fromUtf8(later)};
}

QString fill(const QString &pattern, const QString &value)
{
    QString out = pattern;
    const qsizetype at = out.indexOf(QLatin1String("%s"));
    if (at >= 0) out.replace(at, 2, value);
    return out;
}

} // namespace

const std::array<ObsCriterion, kObsCriterionCount> &obsCriteria()
{
    static const std::array<ObsCriterion, kObsCriterionCount> all = {
        make(I::ObsDv, true, "дървесен вид", "ComboBoxOBS_DV", numbered("OBS_DV", 1, 5), true, "=",
             "о.б.с. дървесен вид : %s", "о.б.с. дървесен вид : %s"),
        make(I::ObsB, true, "бонитет", "ComboBoxOBS_B", numbered("OBS_B", 1, 5), true, "=", "о.б.с. боните: %s",
             " ,о.б.с. боните: %s"),
        make(I::ObsUch, true, "участие", "ComboBoxOBS_UCH", numbered("OBS_UCH", 1, 5), true, "=",
             "о.б.с. участие: %s", " ,о.б.с. участие: %s"),
        make(I::ObsZales, true, "max. площ залесяване", "EditOBS_ZALES", numbered("OBS_ZALES", 1, 5), false, "<=",
             "площ залесяване: до %s ха", " ,площ залесяване: до %s ха"),
        make(I::VidGori, false, "вид гори", "ComboBoxVID_GORI", {QStringLiteral("VID_GORI")}, true, "=",
             "вид гори: %s", " ,вид гори: %s"),
        make(I::Mestorast, false, "месторастене", "ComboBoxMESTORAST", {QStringLiteral("MESTORAST")}, true, "=",
             "месторастене: %s", " ,месторастене: %s"),
        make(I::Nzn1, false, "водещо предн.", "ComboBoxNZN1", {QStringLiteral("NZN1")}, true, "=",
             "водещо предназначение: %s", " ,водещо предназначение: %s"),
        make(I::VidPodotd, false, "вид подотдел", "ComboBoxVID_PODOTD", {QStringLiteral("VID_PODOTD")}, true, "=",
             "вид подотдел: %s", " ,вид подотдел: %s"),
        make(I::Dv1, false, "преобл. дървесен вид", "ComboBoxDV1", {QStringLiteral("DV1")}, true, "=",
             "преобл. дървесен вид: %s", " ,преобл. дървесен вид: %s"),
        make(I::Bon1, false, "преобл. бонитет", "ComboBoxBON1", {QStringLiteral("B1")}, false, "=",
             "преобл. бонитет: %s", " ,преобл. бонитет: %s"),
        make(I::Puln, false, "пълнота", "ComboBoxPULN", numbered("PYLN", 1, 11), false, "=", "пълнота: %s",
             " ,пълнота: %s"),
        make(I::Age, false, "възраст", "ComboBoxAGE", numbered("A", 1, 11), false, "=", "възраст: %s",
             " ,възраст: %s"),
        make(I::Dv2, false, "дървесен вид", "ComboBoxDV2", numbered("DV", 2, 11), true, "=", "дървесен вид: %s",
             " ,дървесен вид: %s"),
        // The other storeys only: the first storey's site class is criterion Bon1.
        make(I::Bon, false, "бонитет", "ComboBoxBON", numbered("B", 2, 11), false, "=", "бонитет: %s",
             " ,бонитет: %s"),
        make(I::Pl, false, "max. площ (xa)", "EditPL", {QStringLiteral("PL")}, false, "<=", "площ: до %s xa",
             " ,площ: до %s xa"),
        make(I::Zapas, false, "max. запас (м.куб)", "EditZAPAS", numbered("V", 1, 11), false, "<=",
             "запас: до %s м.куб", " ,запас: до %s м.куб"),
    };
    return all;
}

const ObsCriterion &obsCriterion(ObsCriterionId id)
{
    return obsCriteria()[size_t(id)];
}

std::optional<ObsCriterionId> obsCriterionByKey(const QString &key)
{
    const QString k = key.trimmed();
    const QString prefix = QStringLiteral("о.б.с. ");
    const bool future = k.startsWith(prefix, Qt::CaseInsensitive);
    const QString label = future ? k.mid(prefix.size()).trimmed() : k;
    std::optional<ObsCriterionId> found;
    for (const ObsCriterion &c : obsCriteria()) {
        if (label.compare(c.label, Qt::CaseInsensitive) != 0) continue;
        if (future && !c.future) continue;
        found = c.id; // a later (present) criterion of the same label wins the plain key
    }
    return found;
}

ObsClause composeObsClause(const ObsCriteria &criteria)
{
    ObsClause out;
    QString clause;
    for (const ObsCriterion &c : obsCriteria()) {
        if (!criteria.isSet(c.id)) continue;
        const QString v = criteria.text(c.id);
        // A text goes in as a quoted constant; a bare value must be a number, and a NUL
        // would cut the statement short wherever it stood.
        if (v.contains(QChar(0)) || (!c.text && !isSieveNumber(v))) out.invalid << c.label;
        const QString value = c.text ? sqlQuoted(v) : v;
        QStringList terms;
        for (const QString &f : c.fields) terms << f + c.compare + value;
        if (!clause.isEmpty()) clause += QStringLiteral(" and ");
        clause += terms.size() == 1 ? terms.front() : QLatin1Char('(') + terms.join(QStringLiteral(" or ")) + QLatin1Char(')');
    }
    if (out.invalid.isEmpty()) out.clause = clause;
    return out;
}

QString obsCriteriaText(const ObsCriteria &criteria)
{
    QString text;
    bool first = true;
    for (const ObsCriterion &c : obsCriteria()) {
        if (!criteria.isSet(c.id)) continue;
        text += fill(first ? c.firstText : c.laterText, criteria.text(c.id));
        first = false;
    }
    return text;
}

QString obsCopyTitle(const ObsCriteria &criteria, const QString &title, const QString &year)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Работно сито - %1 %2").arg(title, year) + crlf + crlf + QStringLiteral("сито: ") +
           obsCriteriaText(criteria) + crlf + crlf + QStringLiteral("отдел\tподотдел\tплощ") + crlf;
}

QString obsCopyFooter(const QString &resultLabel, const QString &contactLine)
{
    const QString crlf = QStringLiteral("\r\n");
    return crlf + QStringLiteral("ОБЩО: ") + resultLabel + crlf + crlf + contactLine;
}

UserMessage obsInvalidDataMessage()
{
    return {kSieveCaption, QStringLiteral("Зададени са некоректни данни за критерий!"), UserMessage::Icon::Error, {}};
}

namespace {

bool alphabetical(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

QStringList numbers(int from, int to, int step = 1)
{
    QStringList out;
    for (int n = from; n <= to; n += step) out << QString::number(n);
    return out;
}

// `select distinct FIELD from "PATH"`: its values read as text, "-" and "0" left out,
// each one appended when `take` accepts it.
void distinctValues(AppState &state, const QString &field, QStringList &errors,
                    const std::function<void(const QString &)> &take)
{
    const QString statement = QStringLiteral("select distinct %1 from ").arg(field) + sqlQuoted(state.projectTablePath);
    try {
        const QueryResult r = state.db.execute(ss(statement));
        for (const dx::Row &row : r.rows) {
            const QString v = row.empty() ? QString() : qs(row[0].toText());
            if (v != QLatin1String("-") && v != QLatin1String("0")) take(v);
        }
    } catch (const EngineError &e) {
        errors << statement + QStringLiteral(": ") + qs(e.reason());
    }
}

} // namespace

ObsPickLists LoadComboOBS(AppState &state, const ObsProgress &progress)
{
    ObsPickLists out;
    auto step = [&](int n) {
        if (progress) progress(n, kLoadComboObsSteps);
    };
    auto list = [&](I id) -> QStringList & { return out.lists[size_t(id)]; };
    auto appendNew = [](QStringList &l) {
        return [&l](const QString &v) {
            if (!l.contains(v)) l << v;
        };
    };

    for (const QString &f : numbered("OBS_DV", 1, 5)) distinctValues(state, f, out.errors, appendNew(list(I::ObsDv)));
    std::stable_sort(list(I::ObsDv).begin(), list(I::ObsDv).end(), alphabetical);
    step(1);
    list(I::ObsUch) = numbers(1, 10);
    step(2);
    const std::array<I, 4> present = {I::VidGori, I::Mestorast, I::Nzn1, I::VidPodotd};
    for (size_t k = 0; k < present.size(); ++k) {
        QStringList &l = list(present[k]);
        distinctValues(state, obsCriterion(present[k]).fields.front(), out.errors, [&l](const QString &v) { l << v; });
        step(3 + int(k));
    }
    distinctValues(state, QStringLiteral("DV1"), out.errors, [&](const QString &v) {
        list(I::Dv1) << v;
        list(I::Dv2) << v;
    });
    std::stable_sort(list(I::Dv1).begin(), list(I::Dv1).end(), alphabetical);
    step(7);
    for (const QString &f : numbered("DV", 2, 11)) distinctValues(state, f, out.errors, appendNew(list(I::Dv2)));
    std::stable_sort(list(I::Dv2).begin(), list(I::Dv2).end(), alphabetical);
    step(8);
    list(I::Bon) = list(I::Bon1) = list(I::ObsB) = numbers(1, 5);
    step(11);
    step(12); // the typed criteria have no list
    step(13);
    list(I::Puln) = numbers(0, 10);
    step(14);
    list(I::Age) = numbers(5, 200, 5);
    step(15);
    return out;
}

ObsRunOutcome runObsSieve(AppState &state, const ObsCriteria &criteria, const QString &currentLabel)
{
    ObsRunOutcome out;
    out.label = currentLabel;
    const ObsClause clause = composeObsClause(criteria);
    if (clause.isEmpty()) {
        out.message = noCriterionMessage();
        return out;
    }
    out.status = ObsRunOutcome::Status::InvalidData;
    out.message = obsInvalidDataMessage();
    if (clause.clause.isEmpty()) return out;
    out.statement = selectStatement(QStringLiteral("otd,podotd,pl"), state.projectTablePath, clause.clause);
    try {
        out.result = executeSieve(state.db, out.statement);
    } catch (const EngineError &) {
        out.result = SieveResult();
        return out;
    }
    out.message = UserMessage();
    out.status = out.result.rows.isEmpty() ? ObsRunOutcome::Status::NoRows : ObsRunOutcome::Status::Rows;
    out.label = sieveResultLabel(out.result.rowCount(), out.result.area);
    return out;
}

} // namespace dx
