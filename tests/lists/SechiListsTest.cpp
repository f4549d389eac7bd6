// The lists of cuttings and of afforestation measures on small hand-made projects: which
// sub-compartments are listed, the texts of their cells, the count and area, the values
// an attribute offers, the filters (land areas included), and values that try to break
// out of their quotes.
#include "lists/SechiLists.h"

#include "sieves/SieveFixture.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class SechiListsTest : public ::testing::Test, public dxtest::SieveFixture {
protected:
    SechiLists lists() { return SechiLists(state.db, state.projectTablePath, state.landArea); }
    static QStringList texts(const SechiList &list)
    {
        DataGridModel m(list.columns);
        m.setRows(list.rows);
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m.columnCount(); ++c) cells << m.displayText(r, c);
            out << cells.join('|');
        }
        return out;
    }
    static SechiFilter filter(int attribute, const QString &value) { return SechiFilter{attribute, value}; }

    // Four sub-compartments with cuttings (one of them only in SECH2), one without.
    void cuttingsProject()
    {
        makeProject({
            ProjectRow(1, "а").real("PL", 2.5).num("GOD_SECH", 2021).text("SECH1", "ПС").text("SECH2", "-")
                .text("SECH3", "СС").text("SECH4", "0").text("STOP_KLAS", "ИДГ").num("NADM_VIS", 850),
            ProjectRow(1, "б").real("PL", 7).num("GOD_SECH", 2022).text("SECH2", "ГС").text("STOP_KLAS", "ИДГ"),
            ProjectRow(2, "а").real("PL", 1.25).num("GOD_SECH", 0).text("SECH1", "ОС").text("STOP_KLAS", "ВИСОКОСТЪБЛЕН"),
            ProjectRow(3, "в").real("PL", 0.5).num("GOD_SECH", 2030).text("SECH1", "ПС").text("SECH9", "ВС")
                .text("STOP_KLAS", "ИДГ").num("ZEML", 7),
            ProjectRow(4, "г").real("PL", 3).text("STOP_KLAS", "ИДГ"),
        });
    }
    // Afforestation in slot 1, only in slot 3, none, and in slots 1 and 5.
    void measuresProject()
    {
        makeProject({
            ProjectRow(5, "а").real("PL", 4.1).text("SHEMA_ZAL", "2x1").text("OBS_DV1", "Смърч").num("OBS_UCH1", 6)
                .num("OBS_B1", 2).real("OBS_ZALES1", 2.5).num("NADM_VIS", 850).num("ZEML", 7),
            ProjectRow(5, "б").real("PL", 1.2).text("OBS_DV3", "Бук").real("OBS_ZALES3", 0.6).num("NADM_VIS", 900),
            ProjectRow(6, "а").real("PL", 9).num("NADM_VIS", 850),
            ProjectRow(6, "в").real("PL", 0.7).real("OBS_ZALES1", 0.5).real("OBS_ZALES5", 0.25).num("NADM_VIS", 850),
        });
    }
};

TEST_F(SechiListsTest, CuttingsListSkipsNoCuttingAndJoinsOnlyRealKinds)
{
    cuttingsProject();
    const SechiList list = lists().SpisakSechi({});
    ASSERT_TRUE(list.built);
    // 1:б has "-" in SECH1 and is left out though SECH2 holds a cutting; "-" and "0"
    // between kinds are skipped; a year 0 shows "-".
    EXPECT_EQ(texts(list), QStringList({"1:а|2021|ПС, СС", "2:а|-|ОС", "3:в|2030|ПС, ВС"}));
    EXPECT_EQ(list.columns.size(), 3);
    EXPECT_EQ(list.columns[0].title, "подотдел");
    EXPECT_EQ(list.columns[2].title, "вид сеч");
    // 2.5 + 1.25 + 0.5 = 4.25, an exact tie, shown away from zero.
    EXPECT_DOUBLE_EQ(list.area, 4.25);
    EXPECT_EQ(sechiStatusText(list.rowCount(), list.area), QString::fromUtf8("3 подотдел") + "a с площ 4.3 xa");
}

TEST_F(SechiListsTest, FiltersCompareTheFieldWithTheQuotedValue)
{
    cuttingsProject();
    SechiLists l = lists();
    const SechiList idg = l.SpisakSechi(filter(3, "ИДГ"));
    EXPECT_TRUE(idg.statement.endsWith(" where SECH1<>\"-\" and STOP_KLAS=\"ИДГ\"")) << idg.statement.toStdString();
    EXPECT_EQ(texts(idg), QStringList({"1:а|2021|ПС, СС", "3:в|2030|ПС, ВС"}));
    EXPECT_DOUBLE_EQ(idg.area, 3.0);

    measuresProject();
    // A numeric attribute is compared with its value in double quotes, and still matches.
    const SechiList high = lists().SpisakMeropr(filter(19, "850"));
    EXPECT_TRUE(high.statement.endsWith(
        " where (OBS_ZALES1<>0 or OBS_ZALES2<>0 or OBS_ZALES3<>0 or OBS_ZALES4<>0 or OBS_ZALES5<>0 ) and NADM_VIS=\"850\""))
        << high.statement.toStdString();
    ASSERT_TRUE(high.built);
    EXPECT_EQ(high.rowCount(), 2);  // 5:а and 6:в; 6:а has no afforestation
    EXPECT_DOUBLE_EQ(high.area, 4.1 + 0.7);
}

TEST_F(SechiListsTest, MeasuresListShowsTheQueryWithItsTitlesAndShading)
{
    measuresProject();
    const SechiList list = lists().SpisakMeropr({});
    ASSERT_TRUE(list.built);
    EXPECT_EQ(texts(list), QStringList({
        "5|а|4.1|2x1|Смърч|6|2|2.5|-|0|0|-|0|0|-|0|0|-|0|0",
        "5|б|1.2|-|-|0|0|0|-|0|0|Бук|0|0.6|-|0|0|-|0|0",
        "6|в|0.7|-|-|0|0|0.5|-|0|0|-|0|0|-|0|0|-|0|0.25",
    }));
    EXPECT_DOUBLE_EQ(list.area, 4.1 + 1.2 + 0.7);
    EXPECT_EQ(sechiStatusText(list.rowCount(), list.area), QString::fromUtf8("3 подотдел") + "a с площ 6.0 xa");
    QStringList titles;
    for (const GridColumn &c : list.columns) titles << c.title;
    EXPECT_EQ(titles.join('|'), QString::fromUtf8("отдел|подотдел|площ|схема|д.вид 1  |уч|б") + "o" +
                                    QString::fromUtf8("|площ|д.вид 2  |уч|площ|д.вид 3  |уч|площ|д.вид 4  |уч|площ|"
                                                      "д.вид 5  |уч|площ"));
    EXPECT_EQ(list.columns[4].width, 9);  // eight pixels a character in the window
    EXPECT_EQ(list.boldTitles, QList<int>({4, 8, 11, 14, 17}));
    EXPECT_EQ(list.shadedColumns, QList<int>({4, 5, 6, 7, 11, 12, 13, 17, 18, 19}));
}

TEST_F(SechiListsTest, LandAreasFilterOnTheNumberOfTheName)
{
    cuttingsProject();
    // Without the nomenclature: the numbers themselves, 0 left out.
    EXPECT_EQ(lists().attributeValues(20), QStringList({"7"}));
    EXPECT_EQ(texts(lists().SpisakSechi(filter(20, "7"))), QStringList({"3:в|2030|ПС, ВС"}));

    makeLandAreas({{9, "Баня"}, {7, "Добринище"}, {3, "Кремен"}});
    SechiLists l = lists();
    EXPECT_EQ(l.attributeValues(20), QStringList({"Баня", "Добринище", "Кремен"}));
    const SechiList named = l.SpisakSechi(filter(20, "Добринище"));
    EXPECT_TRUE(named.statement.endsWith(" and ZEML=\"7\"")) << named.statement.toStdString();
    EXPECT_EQ(texts(named), QStringList({"3:в|2030|ПС, ВС"}));
    // A name the nomenclature lacks filters on -1: nothing.
    const SechiList unknown = l.SpisakSechi(filter(20, "Разлог"));
    EXPECT_TRUE(unknown.statement.endsWith(" and ZEML=\"-1\"")) << unknown.statement.toStdString();
    EXPECT_TRUE(unknown.built);
    EXPECT_EQ(unknown.rowCount(), 0);
    EXPECT_EQ(sechiStatusText(0, unknown.area), QString::fromUtf8("0 подотдел") + "a с площ 0.0 xa");
}

TEST_F(SechiListsTest, AttributeValuesLeaveOutTheEmptyMarks)
{
    cuttingsProject();
    SechiLists l = lists();
    EXPECT_EQ(l.attributeValues(3), QStringList({"ИДГ", "ВИСОКОСТЪБЛЕН"}));
    EXPECT_EQ(l.attributeValues(19), QStringList({"850"}));
    EXPECT_TRUE(l.attributeValues(1).isEmpty());  // every VID_GORI is "-"
    EXPECT_TRUE(l.attributeValues(0).isEmpty());
    EXPECT_TRUE(l.attributeValues(22).isEmpty());
}

TEST_F(SechiListsTest, ValuesWithQuotesOrStatementsStayOneConstant)
{
    makeProject({
        ProjectRow(1, "а").real("PL", 1).text("SECH1", "ПС").text("STOP_KLAS", "ИДГ"),
        ProjectRow(2, "а").real("PL", 2).text("SECH1", "СС").text("STOP_KLAS", "a\"b"),
    });
    SechiLists l = lists();
    // Each would widen the list to every row if it ended its constant early.
    for (const QString &value : {QStringLiteral("x\" or \"1\"=\"1"), QStringLiteral("x\" or 1=1 --"),
                                 QStringLiteral("x\"; drop table t; select \""), QStringLiteral("' or ''='")}) {
        const SechiList list = l.SpisakSechi(filter(3, value));
        EXPECT_TRUE(list.built) << value.toStdString();
        EXPECT_EQ(list.rowCount(), 0) << value.toStdString();
    }
    // A quote that is really in the data is found by its own value.
    EXPECT_EQ(texts(l.SpisakSechi(filter(3, "a\"b"))), QStringList({"2:а|-|СС"}));
    EXPECT_EQ(l.attributeValues(3), QStringList({"ИДГ", "a\"b"}));
    // A NUL never reaches a statement.
    const SechiList nul = l.SpisakMeropr(filter(3, QStringLiteral("ИДГ") + QChar(0) + "\" or \"1\"=\"1"));
    EXPECT_FALSE(nul.built);
    EXPECT_TRUE(nul.statement.isEmpty());
}

TEST_F(SechiListsTest, AFailingStatementGivesNoList)
{
    // A project table without the cutting and afforestation fields.
    writeProject({makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                  makeField("PL", FieldType::Real, 8, 1)},
                 {{Value::fromInt(1), Value::fromText("а"), Value::fromReal(2)}});
    state.projectTablePath = QString::fromStdString(state.projectTable.path());
    SechiLists l = lists();
    EXPECT_FALSE(l.SpisakSechi({}).built);
    EXPECT_FALSE(l.SpisakMeropr({}).built);
    EXPECT_TRUE(l.attributeValues(3).isEmpty());
}

TEST(SechiTexts, Headings)
{
    EXPECT_EQ(sechiListHeading(SechiMode::Cuttings, "ДГС Банско", "2020", {}),
              "Списък на сечите\r\nДГС Банско 2020\r\n\r\n");
    EXPECT_EQ(sechiListHeading(SechiMode::Measures, "ДГС Банско", "2020", {3, "ИДГ"}),
              "Списък на мероприятията\r\nДГС Банско 2020\r\n\r\nСтопански клас: ИДГ\r\n\r\n");
    EXPECT_EQ(sechiCopyHeading("Списък на сечите", "ДГС Банско", "2020", {}, "2 x"),
              "Списък на сечите - ДГС Банско 2020\r\n\r\nобщо за лесничейството\r\n2 x");
    EXPECT_EQ(sechiCopyHeading("Списък на сечите", "ДГС Банско", "2020", {19, "850"}, "2 x"),
              "Списък на сечите - ДГС Банско 2020\r\n\r\nфилтър: Надморска височина = 850\r\n2 x");
    ASSERT_EQ(sechiAttributes().size(), 21);
    EXPECT_EQ(sechiAttributes()[5].field, "BOGATSTVO");
    EXPECT_EQ(sechiAttributes()[kSechiLandAreaAttribute - 1].field, "ZEML");
}

} // namespace
