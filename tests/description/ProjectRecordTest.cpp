// The project table record: field list, sub-compartment addressing, compartment
// statements and the "no value" marks.
#include "demo/DemoData.h"
#include "description/ProjectRecord.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <QSet>

#include <stdexcept>

using namespace dx;

namespace {

Row rec(int otd, const std::string &pod, double pl)
{
    return {Value::fromInt(otd), Value::fromText(pod), Value::fromReal(pl)};
}

// Compartment 7 comes first; compartment 1 has its sub-compartments out of
// alphabetical order, a duplicated pair ("б" twice) and one with a quote in it.
class SmallProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("proj.dbf");
        dbf::create(path,
                    {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                     makeField("PL", FieldType::Real, 7, 1)},
                    {rec(7, "а", 1.5), rec(1, "в", 2.5), rec(1, "а", 3.5), rec(1, "б", 4.5), rec(1, "б", 5.5),
                     rec(1, "г'д", 6.5)});
    }
    dxtest::TempDir dir;
    std::string path;
    Database db{"."};
};

std::vector<std::string> firstColumn(const QueryResult &r, size_t c = 0)
{
    std::vector<std::string> out;
    for (const auto &row : r.rows) out.push_back(row[c].toText());
    return out;
}

} // namespace

TEST(ProjectFieldList, HasTheFieldsInOrderWithSlotNumbersInNamesAndLabels)
{
    const auto &f = projectRecordFields();
    ASSERT_EQ(f.size(), size_t(kProjectFieldCount));
    ASSERT_EQ(kProjectFieldCount, 221);
    QSet<QString> unique;
    for (const auto &x : f) unique.insert(x.name.toUpper());
    EXPECT_EQ(unique.size(), 221);

    EXPECT_EQ(f[0].name, "OTD");
    EXPECT_EQ(f[0].label, "отдел");
    EXPECT_EQ(f[220].name, "PASHA");
    EXPECT_EQ(f[219].type, ProjectFieldType::Integer); // GOD_SECH

    // Slot 3 of the stand: thirteen fields starting after the 48 leading fields.
    int dv3 = projectFieldIndex("dv3");
    ASSERT_EQ(dv3, 48 + 2 * 13);
    const char *names[] = {"DV3", "ET3", "UCH3", "POVR3", "PR3", "A3", "PYLN3",
                           "H3", "B3", "D3", "VHA3", "V3", "POLZV3"};
    const char *labels[] = {"ДВ3", "ет3", "уч3", "повр3", "пр3", "A3", "пълн3",
                            "H3", "B3", "D3", "Vha3", "V3", "ползв3"};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(f[size_t(dv3 + i)].name, names[i]);
        EXPECT_EQ(f[size_t(dv3 + i)].label, QString::fromUtf8(labels[i]));
    }
    EXPECT_EQ(f[size_t(dv3 + 6)].type, ProjectFieldType::Decimal);
    EXPECT_EQ(f[size_t(projectFieldIndex("OBS_B2"))].label, "обс B2");
    EXPECT_EQ(f[size_t(projectFieldIndex("OBS_ZALES5"))].type, ProjectFieldType::Decimal);
    EXPECT_EQ(f[size_t(projectFieldIndex("SECH9"))].label, "сеч9");
    EXPECT_EQ(f[size_t(projectFieldIndex("NZN5"))].label, "предн5");
    EXPECT_EQ(f[size_t(projectFieldIndex("SECH_PER"))].label, "% на сечта");
    EXPECT_EQ(projectFieldIndex("NAS_ZALES"), 48 + 11 * 13);
    EXPECT_EQ(projectFieldIndex("DV12"), -1);
    EXPECT_EQ(slotField("OBS_ZALES%d", 11), "OBS_ZALES11");
}

TEST(ProjectFieldList, MatchesTheDemoProjectTableAndReportsMissingFields)
{
    dxtest::TempDir dir;
    createDemoInstallation(dir.path(), {kMinRecords, 3});
    auto table = dbf::read(dir.file("database/elena.dbf"));
    std::vector<FieldDef> fields = table->fields();
    ASSERT_EQ(fields.size(), projectRecordFields().size());
    for (size_t i = 0; i < fields.size(); ++i) {
        const ProjectField &mine = projectRecordFields()[i];
        EXPECT_TRUE(sameFieldName(fields[i].name, mine.name.toStdString())) << fields[i].name;
        FieldType want = mine.type == ProjectFieldType::Text      ? FieldType::Text
                         : mine.type == ProjectFieldType::Decimal ? FieldType::Real
                                                                  : FieldType::Integer;
        EXPECT_EQ(int(fields[i].type), int(want)) << fields[i].name;
    }
    EXPECT_TRUE(missingProjectFields(fields).isEmpty());

    // Letter case does not matter; dropped fields are named in table order.
    for (auto &f : fields) f.name = QString::fromStdString(f.name).toLower().toStdString();
    fields.erase(fields.begin() + projectFieldIndex("POLZV11"));
    fields.erase(fields.begin() + projectFieldIndex("PL"));
    EXPECT_EQ(missingProjectFields(fields), (QStringList{"PL", "POLZV11"}));
    EXPECT_EQ(missingProjectFields({}).size(), 221);
}

TEST_F(SmallProject, FilterAndStatementsKeepInputInsideItsConstant)
{
    EXPECT_EQ(subCompartmentFilter(12, "а"), "OTD=12 and PODOTD='а'");
    EXPECT_EQ(subCompartmentFilter(1, "г'д"), "OTD=1 and PODOTD='г''д'");
    EXPECT_EQ(subCompartmentFilter(1, "' or '1'='1"), "OTD=1 and PODOTD=''' or ''1''=''1'");

    QString p = QString::fromStdString(path);
    EXPECT_EQ(compartmentsStatement("database\\X.DB"), "select distinct OTD from \"database\\X.DB\" order by OTD ASC");
    EXPECT_EQ(subCompartmentsStatement("database\\X.DB", " 12 "), "select OTD,PODOTD from \"database\\X.DB\" where OTD=12");
    for (const char *bad : {"12 or 1=1", "", "1.5", "12a", "a", "1;drop"})
        EXPECT_THROW(subCompartmentsStatement(p, bad), std::invalid_argument) << bad;

    // Compartments come from the records, ascending; sub-compartments in table order.
    EXPECT_EQ(firstColumn(db.execute(compartmentsStatement(p).toStdString())), (std::vector<std::string>{"1", "7"}));
    EXPECT_EQ(firstColumn(db.execute(subCompartmentsStatement(p, "1").toStdString()), 1),
              (std::vector<std::string>{"в", "а", "б", "б", "г'д"}));
}

TEST_F(SmallProject, SelectingASubCompartmentNeedsExactlyOneRecord)
{
    Table t(db);
    t.setPath(path);
    ASSERT_FALSE(t.active());
    // A closed table is opened and positioned.
    EXPECT_TRUE(selectSubCompartment(t, 1, "а"));
    EXPECT_TRUE(t.active());
    EXPECT_TRUE(t.filtered());
    EXPECT_DOUBLE_EQ(t.asReal("PL"), 3.5);
    EXPECT_EQ(t.filter(), "OTD=1 and PODOTD='а'");

    // A Latin "a" of the same shape is another letter.
    EXPECT_FALSE(selectSubCompartment(t, 1, "a"));
    EXPECT_EQ(t.recordCount(), 0u);
    // Two records with the same pair select nothing.
    EXPECT_FALSE(selectSubCompartment(t, 1, "б"));
    EXPECT_EQ(t.recordCount(), 2u);
    // A quote inside the sub-compartment neither breaks the filter nor widens it.
    EXPECT_TRUE(selectSubCompartment(t, 1, "г'д"));
    EXPECT_DOUBLE_EQ(t.asReal("PL"), 6.5);
    EXPECT_FALSE(selectSubCompartment(t, 1, "' or '1'='1"));
    // The same letter in another compartment.
    EXPECT_TRUE(selectSubCompartment(t, 7, "а"));
    EXPECT_DOUBLE_EQ(t.asReal("PL"), 1.5);
}

TEST(NoValueMarks, DashZeroAndEmptyAreToldApart)
{
    // An empty text is a value of its own except among the kinds of cutting.
    EXPECT_TRUE(isNoValue(" - "));
    EXPECT_FALSE(isNoValue(""));
    EXPECT_FALSE(isNoValue("0"));
    EXPECT_TRUE(isNoValueOrZero("0"));
    EXPECT_FALSE(isNoValueOrZero(""));
    EXPECT_TRUE(isNoCuttingKind(""));
    EXPECT_FALSE(isEmptySlot(""));
}
