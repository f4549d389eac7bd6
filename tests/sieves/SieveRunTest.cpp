// Running the working sieve and loading its lists: the result label, the grid's titles and
// layout, failures of the statement, the pick lists and the cutting-type lists, on small
// tables and on the demo project.
#include "demo/DemoData.h"
#include "engine/sql/Database.h"
#include "lists/GridTextLayout.h"
#include "shell/Startup.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveCutting.h"
#include "sieves/SieveRun.h"

#include "sieves/SieveFixture.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace dx;
using dxtest::criteria;
using dxtest::ProjectRow;
using I = CriterionId;

TEST(SieveRun, LabelCountsAndSumsTheArea)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(1, "а").real("PL", 1.25).text("STOP_KLAS", "x"),
                   ProjectRow(1, "б").real("PL", 2.5).text("STOP_KLAS", "x"),
                   ProjectRow(2, "а").real("PL", 0.3).text("STOP_KLAS", "x"),
                   ProjectRow(3, "а").real("PL", 9).text("STOP_KLAS", "y")});
    SieveRunOutcome r = runWorkingSieve(f.state, criteria({{I::StopKlas, "x"}}), {0, 1, 2}, kInitialSieveLabel);
    ASSERT_EQ(r.status, SieveRunOutcome::Status::Rows);
    EXPECT_EQ(r.label, QStringLiteral("подотдели: 3, площ: 4.05 ха"));
    EXPECT_EQ(r.selection, QStringLiteral("STOP_KLAS=\"x\""));
    EXPECT_TRUE(r.heading.endsWith(QStringLiteral("ОБЩО: подотдели: 3, площ: 4.05 ха\r\n")));

    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    r = runWorkingSieve(f.state, criteria({{I::StopKlas, "x"}}), {0, 1, 2}, kInitialSieveLabel);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(r.label, QStringLiteral("подотдели: 3, площ: 4,05 ха"));

    r = runWorkingSieve(f.state, criteria({{I::StopKlas, "z"}}), {0, 1, 2}, QStringLiteral("old"));
    EXPECT_EQ(r.status, SieveRunOutcome::Status::NoRows);
    EXPECT_EQ(r.label, QStringLiteral("подотдели: 0, площ: 0 ха"));
}

TEST(SieveRun, GridTitlesAndLayout)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(4, "в").real("PL", 2).num("GSU", 12).text("PASHA", "ограничена")});
    // Indices in any order and repeated: the columns follow the field table.
    const SieveRunOutcome r = runWorkingSieve(f.state, criteria({{I::Gsu, "12"}}), {56, 3, 0, 1, 2, 3}, kInitialSieveLabel);
    ASSERT_EQ(r.status, SieveRunOutcome::Status::Rows);
    EXPECT_EQ(r.statement, QStringLiteral("select OTD,PODOTD,PL,GSU,PASHA from \"") + f.state.projectTablePath +
                               QStringLiteral("\" where GSU=12"));
    DataGridModel model;
    fillSieveModel(model, r.result);
    EXPECT_EQ(gridTitleLine(model, QStringLiteral("|")), QStringLiteral("отдел|подотдел|площ|гсу|паша"));
    EXPECT_EQ(gridRowText(model, 0, QStringLiteral("|")), QStringLiteral("4|в|2|12|ограничена"));
    EXPECT_EQ(model.column(0).alignment, Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(model.column(2).alignment, Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.column(3).alignment, Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(sieveColumnPixelWidth(2, true), 70);
    EXPECT_EQ(sieveColumnPixelWidth(2, false), 0);
}

TEST(SieveRun, StatementTheTableRefusesGivesTheMessageAndKeepsTheLabel)
{
    dxtest::SieveFixture f;
    f.writeProject({makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                    makeField("PL", FieldType::Real, 8, 2)},
                   {{Value::fromInt(1), Value::fromText("а"), Value::fromReal(1)}});
    f.state.projectTablePath = QString::fromStdString(f.state.projectTable.path());
    const SieveRunOutcome r = runWorkingSieve(f.state, criteria({{I::StopKlas, "x"}}), {0, 1, 2}, QStringLiteral("преди"));
    EXPECT_EQ(r.status, SieveRunOutcome::Status::InvalidData);
    EXPECT_EQ(r.message.text, QStringLiteral("Зададени са некоректни данни за критерий! select OTD,PODOTD,PL from \"") +
                                  f.state.projectTablePath + QStringLiteral("\" where STOP_KLAS=\"x\""));
    EXPECT_EQ(r.label, QStringLiteral("преди"));
    EXPECT_EQ(r.result.rowCount(), 0);
    EXPECT_TRUE(r.heading.contains(QStringLiteral("ОБЩО: преди")));
}

TEST(SieveRun, PickListsFromTheProjectTable)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(1, "а").text("STOP_KLAS", "бук").text("NZN3", "з").text("NZN5", "з").text("DV1", "Чб")
                       .text("DV2", "бк").text("DV3", "ела").num("ZEML", 8),
                   ProjectRow(1, "б").text("STOP_KLAS", "0").text("DV1", "бк").text("DV4", "Ак").num("ZEML", 3),
                   ProjectRow(2, "а").text("STOP_KLAS", "ела")});
    f.makeLandAreas({{8, "Добринище"}, {3, "Баня"}, {5, "Горно Осеново"}});
    std::vector<int> steps;
    SievePickLists lists = LoadCombo(f.state, [&](int step, int total) {
        EXPECT_EQ(total, 35);
        steps.push_back(step);
    });
    std::vector<int> expectedSteps = {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 14, 15, 16, 17};
    for (int s = 18; s <= 35; ++s) expectedSteps.push_back(s);
    EXPECT_EQ(steps, expectedSteps);
    EXPECT_TRUE(lists.errors.isEmpty());
    EXPECT_EQ(lists[I::StopKlas], QStringList({"бук", "ела"})); // "-" and "0" left out
    EXPECT_EQ(lists[I::Nzn3], QStringList({"з", "з"}));        // once per field that holds it
    EXPECT_EQ(lists[I::Dv1], QStringList({"бк", "Чб"}));
    EXPECT_EQ(lists[I::Dv2], QStringList({"Ак", "бк", "ела", "Чб"}));
    EXPECT_EQ(lists[I::Zeml], QStringList({"Добринище", "Баня", "Горно Осеново"}));
    EXPECT_TRUE(lists[I::Age].isEmpty());

    f.state.landArea.close();
    EXPECT_EQ(LoadCombo(f.state)[I::Zeml], QStringList({"8", "3"}));

    // Loading empties the pick-list texts and the area and stock fields, no other range.
    SieveCriteria c = criteria({{I::StopKlas, "x"}, {I::Zeml, "Баня"}, {I::Pl, "до 5"}, {I::Zapas, "до 9"},
                                {I::Age, "до 40"}});
    c.cuttingSlots[0] = QStringLiteral("ЗС");
    c.clearLoaded();
    SieveCriteria kept = criteria({{I::Age, "до 40"}});
    kept.cuttingSlots[0] = QStringLiteral("ЗС");
    EXPECT_EQ(c, kept);

    // A table without the field: that list stays empty and the failure is told.
    f.writeProject({makeField("OTD", FieldType::Integer, 4), makeField("STOP_KLAS", FieldType::Text, 4)},
                   {{Value::fromInt(1), Value::fromText("бук")}});
    f.state.projectTablePath = QString::fromStdString(f.state.projectTable.path());
    lists = LoadCombo(f.state);
    EXPECT_EQ(lists[I::StopKlas], QStringList({"бук"}));
    EXPECT_TRUE(lists[I::Nzn1].isEmpty());
    EXPECT_FALSE(lists.errors.isEmpty());
}

TEST(SieveRun, CuttingTypeLists)
{
    dxtest::SieveFixture f;
    f.makeProject({ProjectRow(1, "а").text("SECH1", "санитарна").text("SECH3", "ЗС"),
                   ProjectRow(1, "б").text("SECH1", "прореждане")});
    const CuttingTypeLists lists = LoadComboSech(f.state.db, f.state.projectTablePath);
    EXPECT_EQ(lists.lists[0], QStringList({"санитарна", "прореждане"}));
    EXPECT_TRUE(lists.enabled[0]);
    EXPECT_FALSE(lists.enabled[1]);
    EXPECT_TRUE(lists.enabled[2]);
    EXPECT_FALSE(lists.enabled[8]);

    CuttingWindow w;
    w.setText(4, QStringLiteral("стар"));
    EXPECT_TRUE(w.show(f.state.db, f.state.projectTablePath));
    EXPECT_TRUE(w.texts()[3].isEmpty()); // loading empties the texts
    w.setText(3, QStringLiteral("ЗС"));
    EXPECT_FALSE(w.show(f.state.db, f.state.projectTablePath));
    EXPECT_EQ(w.ok()[2], QStringLiteral("ЗС"));
    w.markStale();
    EXPECT_TRUE(w.show(f.state.db, f.state.projectTablePath));
}

// The demo installation as the program loads it: lists without "-" or "0", a run of a
// listed value agreeing with a count of its own, and hostile texts giving empty results.
TEST(SieveRun, DemoProject)
{
    dxtest::TempDir dir;
    createDemoInstallation(dir.path(), DemoOptions{200, 3});
    AppState state;
    state.programDir = QString::fromStdString(dir.path());
    ASSERT_FALSE(loadQuietly(state).stopped);
    const SievePickLists lists = LoadCombo(state);
    EXPECT_TRUE(lists.errors.isEmpty()) << lists.errors.join(QLatin1Char('\n')).toStdString();
    for (const SieveCriterion &c : sieveCriteria()) {
        if (c.listSource == PickListSource::None || c.id == I::Zeml) continue;
        EXPECT_FALSE(lists[c.id].contains(QStringLiteral("-")) || lists[c.id].contains(QStringLiteral("0"))) << c.number();
    }
    ASSERT_FALSE(lists[I::Mestorast].isEmpty());
    const QString value = lists[I::Mestorast].front();
    const SieveRunOutcome r = runWorkingSieve(state, criteria({{I::Mestorast, value.toUtf8().constData()}}), {0, 1, 2},
                                              kInitialSieveLabel);
    ASSERT_EQ(r.status, SieveRunOutcome::Status::Rows);
    const QueryResult count = state.db.execute("select count(*) from \"" + state.projectTablePath.toStdString() +
                                               "\" where MESTORAST='" + value.toStdString() + "'");
    EXPECT_EQ(r.result.rowCount(), count.rows[0][0].toInt());

    for (const char *odd : {"\"", "x\" or \"1\"=\"1", "1\"; drop table t; --", "union select * from t", "'"}) {
        for (I id : {I::StopKlas, I::Dv2, I::Pasha}) {
            const SieveRunOutcome o = runWorkingSieve(state, criteria({{id, odd}}), {0, 1, 2}, kInitialSieveLabel);
            EXPECT_EQ(o.status, SieveRunOutcome::Status::NoRows) << odd << ": " << o.message.text.toStdString();
        }
    }
}
