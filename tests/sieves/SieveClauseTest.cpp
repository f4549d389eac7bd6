// The selection clause, the select statement and the criteria text of the working sieve:
// every template at once, the order of the clause, the first-position forms, the land
// area, and the criteria that must be numbers.
#include "sieves/SieveClause.h"
#include "sieves/SieveCutting.h"
#include "sieves/SieveRun.h"

#include "sieves/SieveFixture.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::criteria;
using I = CriterionId;

namespace {

// "(P1>=L and P1<=H) or ..." style storeys terms, i = 1..11, written from a pattern with %d.
QString storeys(const char *pattern)
{
    QStringList t;
    for (int i = 1; i <= 11; ++i) t << QString::fromUtf8(pattern).replace(QLatin1String("%d"), QString::number(i));
    return QLatin1Char('(') + t.join(QStringLiteral(" or ")) + QLatin1Char(')');
}

SieveCriteria everyCriterion(const char *landArea)
{
    SieveCriteria c;
    for (const SieveCriterion &k : sieveCriteria())
        c[k.id] = k.kind == CriterionKind::Number ? QStringLiteral("1") : QStringLiteral("v");
    c[I::Zeml] = QString::fromUtf8(landArea);
    c[I::Bon] = QStringLiteral("от 1 до 2");
    c[I::Pl] = QStringLiteral("до 5");
    c[I::Zapas] = QStringLiteral("над 100");
    c[I::Bon1] = QStringLiteral("равно на 2");
    c[I::Puln] = QStringLiteral("от 3 до 4");
    c[I::Age] = QStringLiteral("до 40");
    c.cuttingSlots[0] = QStringLiteral("A");
    c.cuttingSlots[1] = QStringLiteral("B");
    return c;
}

} // namespace

TEST(SieveClause, EveryCriterionInTableOrder)
{
    const QString expected =
        QStringLiteral("STOP_KLAS=\"v\" and NZN1=\"v\" and (NZN3=\"v\" or NZN4=\"v\" or NZN5=\"v\" or NZN6=\"v\" or "
                       "NZN7=\"v\") and NZN2=\"v\" and VID_GORI=\"v\" and MESTORAST=\"v\" and GSU=1 and ZEML=7 and "
                       "VID_PODOTD=\"v\" and ") +
        storeys("(B%d>=1 and B%d<=2)") + QStringLiteral(" and  (PL<=5)  and ") + storeys("(V%d>=100)") +
        QStringLiteral(" and DV1=\"v\" and  (B1=2)  and ") + storeys("(PYLN%d>=3 and PYLN%d<=4)") +
        QStringLiteral(" and ") + storeys("(A%d<=40)") +
        QStringLiteral(" and (DV2=\"v\" or DV3=\"v\" or DV4=\"v\" or DV5=\"v\" or DV6=\"v\" or DV7=\"v\" or DV8=\"v\" or "
                       "DV9=\"v\" or DV10=\"v\" or DV11=\"v\") and SECH1=\"A\" and SECH2=\"B\" and SYSTOIANIE=\"v\" and "
                       "STROEJ=\"v\" and NELES=1 and NADM_VIS=1 and IZLOJENIE=\"v\" and NAKLON=1 and RELEF=\"v\" and "
                       "POCHVA=\"v\" and OSN_SKALA=\"v\" and OBLAST=\"v\" and BOGATSTVO=\"v\" and VLAJNOST=\"v\" and "
                       "MEH_SYST=\"v\" and DYLBOCHINA=\"v\" and PLYTNOST=\"v\" and KAMENL=\"v\" and PODPOIAS=\"v\" and "
                       "PASHA=\"v\"");
    const SelectionClause c = composeSelectionClause(everyCriterion("7"));
    ASSERT_TRUE(c.isValid());
    EXPECT_EQ(c.clause, expected);

    // The whole statement runs over a table of the full record.
    dxtest::SieveFixture f;
    f.makeProject({dxtest::ProjectRow(1, "а")});
    const SieveRunOutcome run = runWorkingSieve(f.state, everyCriterion("7"), {0, 1, 2}, kInitialSieveLabel);
    EXPECT_EQ(run.status, SieveRunOutcome::Status::NoRows) << run.message.text.toStdString();
}

TEST(SieveClause, CriteriaTextUsesEveryTemplateWithItsQuirks)
{
    EXPECT_EQ(criteriaText(everyCriterion("Баня")),
              QStringLiteral("стопански клас: v ,водещо предназначение: v ,неводещо предназначение: v) ,собственост: v "
                             ",вид гори: v ,месторастене: v ,гсу: 1 ,землище: Баня ,вид подотдел: v ,бонитет: от 1 до "
                             "2) ,max.площ: до 5 ,max.запас: над 100) ,преобл. дърв. вид: v ,преобл. бонитет: равно на "
                             "2 ,пълнота: от 3 до 4 ,възраст: до 40 ,непреобл. дърв. вид: v) ,вид сеч: A, B ,състояние: "
                             "v ,строеж: v ,нелесопригодност: 1 ,надморска височина: 1 ,изложение: v ,наклон: 1 ,релеф: "
                             "v ,почва: v ,основна скала: v ,област: v ,богатство: v ,влажност: v ,механичен състав: v "
                             ",дълбочина: v ,плътност: v ,каменливост: v ,подпояс: v ,паша: v"));
    // First positions: the closing quote of "богатство", the separator of the cutting text.
    EXPECT_EQ(criteriaText(criteria({{I::Bogatstvo, "б"}, {I::Pasha, "п"}})), QStringLiteral("богатство: б\" ,паша: п"));
    SieveCriteria cut;
    cut.cuttingSlots[8] = QStringLiteral("ЗС");
    EXPECT_EQ(criteriaText(cut), QStringLiteral(" ,вид сеч: ЗС"));
    EXPECT_EQ(GetFilterCyr(criteria({{I::StopKlas, "X"}}), QStringLiteral("ДГС Банско"), QStringLiteral("2019"),
                           QStringLiteral("подотдели: 0, площ: 0 ха")),
              QStringLiteral("Работно сито - ДГС Банско 2019\r\n\r\nфилтър: стопански клас: X\r\nОБЩО: подотдели: 0, "
                             "площ: 0 ха\r\n"));
}

TEST(SieveClause, OrderFirstFormsAndBlanks)
{
    EXPECT_EQ(composeSelectionClause(criteria({{I::Gsu, "12"}})).clause, QStringLiteral("GSU=12"));
    // Entered management unit first, then the management class: the table decides.
    SieveCriteria c = criteria({{I::Gsu, "12"}});
    c[I::StopKlas] = QStringLiteral("X");
    EXPECT_EQ(composeSelectionClause(c).clause, QStringLiteral("STOP_KLAS=\"X\" and GSU=12"));
    // A range set first begins the clause with its own clause, blanks of modes 5 and 6 kept.
    EXPECT_EQ(composeSelectionClause(criteria({{I::Pl, "до 5"}, {I::Pasha, "x"}})).clause,
              QStringLiteral(" (PL<=5)  and PASHA=\"x\""));
    EXPECT_TRUE(composeSelectionClause(criteria({{I::Age, "над 7"}})).clause.startsWith(QStringLiteral("((A1>=7) or ")));
    // A blank is a value; an empty text is not set.
    EXPECT_EQ(composeSelectionClause(criteria({{I::Relef, " "}, {I::Pochva, ""}})).clause, QStringLiteral("RELEF=\" \""));
    EXPECT_EQ(composeSelectionClause(criteria({{I::Nzn3, "з"}})).clause,
              QStringLiteral("(NZN3=\"з\" or NZN4=\"з\" or NZN5=\"з\" or NZN6=\"з\" or NZN7=\"з\")"));
    // Only the cutting criterion: its slots, no parentheses; the text joins with ", ".
    SieveCriteria cut;
    cut.cuttingSlots[2] = QStringLiteral("санитарна");
    cut.cuttingSlots[5] = QStringLiteral("ЗС");
    EXPECT_EQ(composeSelectionClause(cut).clause, QStringLiteral("SECH3=\"санитарна\" and SECH6=\"ЗС\""));
    EXPECT_EQ(cut.text(I::Cutting), QStringLiteral("санитарна, ЗС"));
}

TEST(SieveClause, NoCriterionGivesItsMessage)
{
    const SieveStatement s = composeSieveStatement(SieveCriteria(), QStringLiteral("OTD,PODOTD,PL"), QStringLiteral("p.db"));
    EXPECT_EQ(s.status, SieveStatement::Status::NoCriterion);
    EXPECT_EQ(s.message.caption, QStringLiteral("Работно сито"));
    EXPECT_EQ(s.message.text, QStringLiteral("Няма зададени критерий по които да се извърши търсенето!"));
    EXPECT_EQ(s.message.icon, UserMessage::Icon::Error);
}

TEST(SieveClause, NumberCriteriaAcceptOnlyNumbers)
{
    for (I id : {I::Gsu, I::Neles, I::NadmVis, I::Naklon, I::Zeml}) {
        for (const char *good : {"12", "-3", "0", "12.5", " 7 ", "\t8\t"}) {
            const SelectionClause c = composeSelectionClause(criteria({{id, good}}));
            EXPECT_TRUE(c.isValid()) << good;
            EXPECT_TRUE(c.clause.endsWith(QStringLiteral("=") + QString::fromUtf8(good))) << c.clause.toStdString();
        }
        // Around the number stand only the blanks the database skips itself: a vertical tab
        // or a no-break space after it would make a statement that cannot run.
        for (const char *bad : {"12a", " ", "1;delete", "1 or 1=1", "1,5", "\"1\"", "1e3", ".", "12\v", "12\u00a0",
                                "\u00a012", "\u200312"}) {
            const SieveStatement s = composeSieveStatement(criteria({{I::StopKlas, "X"}, {id, bad}}),
                                                           QStringLiteral("OTD,PODOTD,PL"), QStringLiteral("p.db"));
            EXPECT_EQ(s.status, SieveStatement::Status::InvalidData) << bad;
            EXPECT_TRUE(s.clause.isEmpty());
            EXPECT_EQ(s.message.text, QStringLiteral("Зададени са некоректни данни за критерий! select OTD,PODOTD,PL from "
                                                     "\"p.db\" where STOP_KLAS=\"X\" and ") +
                                          sieveCriterion(id).fields.front() + QLatin1Char('=') + QString::fromUtf8(bad));
        }
    }
}

TEST(SieveClause, LandAreaGoesThroughTheLandAreaTable)
{
    dxtest::SieveFixture f;
    f.makeLandAreas({{3, "Баня"}, {8, "Добринище"}});
    const LandAreaLookup lookup = landAreaLookup(f.state.landArea);
    EXPECT_EQ(composeSelectionClause(criteria({{I::Zeml, "Добринище"}}), lookup).clause, QStringLiteral("ZEML=8"));
    // A name the table lacks matches nothing, without a message; a quote cannot break the lookup.
    EXPECT_EQ(composeSelectionClause(criteria({{I::Zeml, "Разлог"}}), lookup).clause, QStringLiteral("ZEML=-1"));
    EXPECT_EQ(composeSelectionClause(criteria({{I::Zeml, "Ба'ня"}}), lookup).clause, QStringLiteral("ZEML=-1"));
    // With the table closed the text stands bare and must be a number.
    f.state.landArea.close();
    EXPECT_EQ(composeSelectionClause(criteria({{I::Zeml, "8"}}), lookup).clause, QStringLiteral("ZEML=8"));
    EXPECT_FALSE(composeSelectionClause(criteria({{I::Zeml, "Баня"}}), lookup).isValid());
}

// Quotes, semicolons, SQL words and very long texts are matched as they stand: over the
// project they find exactly the record that holds them, and nothing else.
TEST(SieveClause, TextsAreMatchedAsTheyStand)
{
    const QString longText = QString(4000, QChar(u'я')) + QStringLiteral("\"'; drop table x; --");
    const char *odd[] = {"a\"b", "x\" or \"1\"=\"1", "'; delete from t; --", "select * from", "\"\"", "\\"};
    dxtest::SieveFixture f;
    std::vector<dxtest::ProjectRow> rows;
    int otd = 1;
    for (const char *v : odd) rows.push_back(dxtest::ProjectRow(otd++, "а").text("STOP_KLAS", v).text("DV5", v));
    rows.push_back(dxtest::ProjectRow(otd++, "а").text("STOP_KLAS", "x").real("PL", 1.5));
    f.makeProject(rows);
    for (int i = 0; i < int(std::size(odd)); ++i) {
        for (I id : {I::StopKlas, I::Dv2}) {
            const SieveRunOutcome r =
                runWorkingSieve(f.state, criteria({{id, odd[i]}}), {0, 1, 2, 7}, kInitialSieveLabel);
            ASSERT_EQ(r.status, SieveRunOutcome::Status::Rows) << odd[i] << ": " << r.message.text.toStdString();
            ASSERT_EQ(r.result.rowCount(), 1) << odd[i];
            EXPECT_EQ(r.result.rows[0][0].toInt(), i + 1);
            EXPECT_EQ(r.result.rows[0][3].toString(), QString::fromUtf8(odd[i]));
        }
    }
    SieveCriteria c;
    c[I::Podpoias] = longText;
    c.cuttingSlots[0] = longText;
    EXPECT_EQ(runWorkingSieve(f.state, c, {0, 1, 2}, kInitialSieveLabel).status, SieveRunOutcome::Status::NoRows);
}

TEST(SieveClause, NulInAnyCriterionIsIncorrectDataNeverAShortenedStatement)
{
    const QString nul = QStringLiteral("x") + QChar(0) + QStringLiteral("\" or \"1\"=\"1");
    for (I id : {I::StopKlas, I::Dv2, I::Pasha}) {
        const SelectionClause c = composeSelectionClause(criteria({{id, "a"}, {I::Gsu, "1"}}));
        ASSERT_TRUE(c.isValid());
        SieveCriteria withNul = criteria({{I::Gsu, "1"}});
        withNul[id] = nul;
        const SieveStatement s = composeSieveStatement(withNul, QStringLiteral("OTD"), QStringLiteral("p.db"));
        EXPECT_EQ(s.status, SieveStatement::Status::InvalidData) << s.statement.toStdString();
        EXPECT_EQ(s.clause, QString());
    }
    SieveCriteria cutting;
    cutting.cuttingSlots[4] = nul;
    EXPECT_EQ(composeSieveStatement(cutting, QStringLiteral("OTD"), QStringLiteral("p.db")).status,
              SieveStatement::Status::InvalidData);
}
