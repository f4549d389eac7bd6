// The OBS sieve: the clause of its sixteen criteria, what a run finds on small tables,
// bad values, the copied texts and the pick lists.
#include "sieves/SieveObs.h"

#include "sieves/SieveFixture.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;
using O = ObsCriterionId;

namespace {

ObsCriteria obs(std::initializer_list<std::pair<O, const char *>> set)
{
    ObsCriteria c;
    for (const auto &[id, text] : set) c[id] = QString::fromUtf8(text);
    return c;
}

// "1а 2б" from the result's OTD and PODOTD.
QString found(const ObsRunOutcome &r)
{
    QStringList out;
    for (const DataGridModel::Row &row : r.result.rows) out << row[0].toString() + row[1].toString();
    return out.join(QLatin1Char(' '));
}

} // namespace

TEST(SieveObs, ClauseJoinsTheSetCriteriaInOrder)
{
    EXPECT_TRUE(composeObsClause(ObsCriteria()).isEmpty());
    const ObsClause c = composeObsClause(obs({{O::Pl, "4.5"}, {O::ObsDv, "бк"}, {O::Bon1, "2"}, {O::VidGori, "x"}}));
    EXPECT_EQ(c.clause, QStringLiteral("(OBS_DV1=\"бк\" or OBS_DV2=\"бк\" or OBS_DV3=\"бк\" or OBS_DV4=\"бк\" or "
                                       "OBS_DV5=\"бк\") and VID_GORI=\"x\" and B1=2 and PL<=4.5"));
    EXPECT_EQ(composeObsClause(obs({{O::Bon, "3"}})).clause,
              QStringLiteral("(B2=3 or B3=3 or B4=3 or B5=3 or B6=3 or B7=3 or B8=3 or B9=3 or B10=3 or B11=3)"));
    // A quote inside a text is doubled, never ends the constant.
    EXPECT_EQ(composeObsClause(obs({{O::Nzn1, "a\"b"}})).clause, QStringLiteral("NZN1=\"a\"\"b\""));
    // A bare criterion must be a number: a decimal comma, a word or an operator is refused.
    for (const char *bad : {"4,5", "x", "1 or 1=1", "2)"}) {
        const ObsClause b = composeObsClause(obs({{O::ObsDv, "бк"}, {O::Pl, bad}}));
        EXPECT_TRUE(b.clause.isEmpty()) << bad;
        EXPECT_EQ(b.invalid, QStringList{QStringLiteral("max. площ (xa)")}) << bad;
        EXPECT_FALSE(b.isEmpty());
    }
}

TEST(SieveObs, RunMatchesAnyStoreyOrOnlyTheFirst)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(1, "а").real("PL", 1.25).num("A1", 35).num("B1", 2).num("B2", 3),
                   ProjectRow(1, "б").real("PL", 2.5).num("A1", 30).num("A3", 35).num("B1", 1).num("B4", 2),
                   ProjectRow(2, "а").real("PL", 0.3).num("A1", 36).num("B1", 2),
                   ProjectRow(3, "а").real("PL", 4.5).num("A1", 350).num("B1", 3)});
    ObsRunOutcome r = runObsSieve(f.state, obs({{O::Age, "35"}}), kInitialSieveLabel);
    ASSERT_EQ(r.status, ObsRunOutcome::Status::Rows);
    EXPECT_EQ(found(r), QStringLiteral("1а 1б"));
    EXPECT_EQ(r.label, QStringLiteral("подотдели: 2, площ: 3.75 ха"));
    EXPECT_EQ(r.statement, QStringLiteral("select otd,podotd,pl from \"") + f.state.projectTablePath +
                               QStringLiteral("\" where (A1=35 or A2=35 or A3=35 or A4=35 or A5=35 or A6=35 or A7=35 or "
                                              "A8=35 or A9=35 or A10=35 or A11=35)"));
    // The later storeys' site class leaves the first storey out; the predominant one is B1 alone.
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::Bon, "2"}}), {})), QStringLiteral("1б"));
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::Bon1, "2"}}), {})), QStringLiteral("1а 2а"));
    // An upper bound includes the bound itself.
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::Pl, "1.25"}}), {})), QStringLiteral("1а 2а"));
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::Pl, "4.5"}, {O::Bon1, "3"}}), {})), QStringLiteral("3а"));

    r = runObsSieve(f.state, obs({{O::Age, "40"}}), QStringLiteral("преди"));
    EXPECT_EQ(r.status, ObsRunOutcome::Status::NoRows);
    EXPECT_EQ(r.label, QStringLiteral("подотдели: 0, площ: 0 ха"));
}

TEST(SieveObs, FutureCompositionAcrossItsFiveSlots)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(1, "а").text("OBS_DV1", "бк").num("OBS_B1", 2).num("OBS_UCH1", 7),
                   ProjectRow(1, "б").text("OBS_DV4", "бк").num("OBS_B4", 3).num("OBS_UCH4", 10),
                   ProjectRow(2, "а").text("OBS_DV5", "чб").num("OBS_B2", 3).num("OBS_UCH1", 1)});
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::ObsDv, "бк"}}), {})), QStringLiteral("1а 1б"));
    // Integer fields compared with the chosen text as a quoted constant still match.
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::ObsB, "3"}}), {})), QStringLiteral("1б 2а"));
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::ObsUch, "10"}}), {})), QStringLiteral("1б"));
    EXPECT_EQ(found(runObsSieve(f.state, obs({{O::ObsUch, "1"}, {O::ObsDv, "чб"}}), {})), QStringLiteral("2а"));
    // A quote in a text finds nothing instead of widening the statement.
    const ObsRunOutcome q = runObsSieve(f.state, obs({{O::ObsDv, "x\" or \"1\"=\"1"}}), {});
    EXPECT_EQ(q.status, ObsRunOutcome::Status::NoRows);
}

TEST(SieveObs, NothingSetOrBadValueStopsTheRunAndKeepsTheLabel)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(1, "а").real("PL", 1)});
    ObsRunOutcome r = runObsSieve(f.state, ObsCriteria(), QStringLiteral("преди"));
    EXPECT_EQ(r.status, ObsRunOutcome::Status::NoCriterion);
    EXPECT_EQ(r.message.text, QStringLiteral("Няма зададени критерий по които да се извърши търсенето!"));
    EXPECT_EQ(r.message.caption, QStringLiteral("Работно сито"));
    EXPECT_EQ(r.label, QStringLiteral("преди"));

    r = runObsSieve(f.state, obs({{O::Pl, "4,5"}}), QStringLiteral("преди"));
    EXPECT_EQ(r.status, ObsRunOutcome::Status::InvalidData);
    EXPECT_EQ(r.message.text, QStringLiteral("Зададени са некоректни данни за критерий!"));
    EXPECT_EQ(r.message.icon, UserMessage::Icon::Error);
    EXPECT_EQ(r.label, QStringLiteral("преди"));
    EXPECT_EQ(r.result.rowCount(), 0);
}

TEST(SieveObs, CopiedTitleDescribesTheCriteriaAndTheFooterTheTotal)
{
    const ObsCriteria c = obs({{O::ObsDv, "бк"}, {O::ObsB, "2"}, {O::Pl, "4.5"}, {O::Zapas, "80"}});
    EXPECT_EQ(obsCriteriaText(c), QStringLiteral("о.б.с. дървесен вид : бк ,о.б.с. боните: 2 ,площ: до 4.5 xa ,запас: до 80 м.куб"));
    // Without the first criterion the next set one takes its first form.
    EXPECT_EQ(obsCriteriaText(obs({{O::ObsZales, "3"}, {O::Age, "35"}})),
              QStringLiteral("площ залесяване: до 3 ха ,възраст: 35"));
    EXPECT_EQ(obsCopyTitle(obs({{O::Nzn1, "з"}}), QStringLiteral("Горско"), QStringLiteral("2020")),
              QStringLiteral("Работно сито - Горско 2020\r\n\r\nсито: водещо предназначение: з\r\n\r\n"
                             "отдел\tподотдел\tплощ\r\n"));
    EXPECT_EQ(obsCopyFooter(QStringLiteral("подотдели: 1, площ: 2.00 ха"), QStringLiteral("контакт")),
              QStringLiteral("\r\nОБЩО: подотдели: 1, площ: 2.00 ха\r\n\r\nконтакт"));
}

TEST(SieveObs, PickListsSkipDashAndZeroAndSortTheSpecies)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(1, "а").text("OBS_DV1", "чб").text("OBS_DV2", "бк").text("VID_GORI", "в").text("DV1", "мд")
                       .text("DV2", "бк").text("DV3", "0"),
                   ProjectRow(1, "б").text("OBS_DV3", "бк").text("OBS_DV4", "ак").text("VID_GORI", "а").text("DV1", "бк")
                       .text("DV5", "яв"),
                   ProjectRow(2, "а").text("VID_GORI", "в").text("DV1", "0")});
    std::vector<int> steps;
    const ObsPickLists l = LoadComboOBS(f.state, [&](int step, int total) {
        EXPECT_EQ(total, 16);
        steps.push_back(step);
    });
    EXPECT_TRUE(l.errors.isEmpty()) << l.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(l[O::ObsDv], (QStringList{"ак", "бк", "чб"}));
    EXPECT_EQ(l[O::VidGori], (QStringList{"в", "а"})); // as the table gives them, unsorted
    EXPECT_EQ(l[O::Dv1], (QStringList{"бк", "мд"}));
    EXPECT_EQ(l[O::Dv2], (QStringList{"бк", "мд", "яв"}));
    EXPECT_TRUE(l[O::Mestorast].isEmpty());
    EXPECT_EQ(l[O::Age].size(), 40);
    EXPECT_EQ(l[O::Age].front(), QStringLiteral("5"));
    EXPECT_EQ(l[O::Age].back(), QStringLiteral("200"));
    EXPECT_EQ(l[O::Puln], (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(l[O::ObsUch].size(), 10);
    EXPECT_EQ(l[O::Bon], l[O::ObsB]);
    EXPECT_TRUE(l[O::Pl].isEmpty());
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15}));
}

TEST(SieveObs, KeysNameCriteriaByLabelTheFutureOnesAlsoAfterTheirPrefix)
{
    EXPECT_EQ(obsCriterionByKey(QStringLiteral("възраст")), O::Age);
    EXPECT_EQ(obsCriterionByKey(QStringLiteral(" MAX. ПЛОЩ (XA) ")), O::Pl);
    // The two labels both groups hold: plain is the present stand, prefixed the future.
    EXPECT_EQ(obsCriterionByKey(QStringLiteral("дървесен вид")), O::Dv2);
    EXPECT_EQ(obsCriterionByKey(QStringLiteral("о.б.с. дървесен вид")), O::ObsDv);
    EXPECT_EQ(obsCriterionByKey(QStringLiteral("бонитет")), O::Bon);
    EXPECT_EQ(obsCriterionByKey(QStringLiteral("о.б.с. бонитет")), O::ObsB);
    EXPECT_EQ(obsCriterionByKey(QStringLiteral("о.б.с. участие")), O::ObsUch);
    EXPECT_FALSE(obsCriterionByKey(QStringLiteral("о.б.с. възраст")));
    EXPECT_FALSE(obsCriterionByKey(QStringLiteral("max. площ (ха)"))); // Cyrillic "ха": the label has Latin letters
}
