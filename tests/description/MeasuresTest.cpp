// Measures tables: creation, the rows of one sub-compartment, every edit written
// through with its key, and the checks that refuse what the file cannot hold.
#include "core/QtText.h"
#include "description/Measures.h"
#include "description/MeasuresModel.h"
#include "engine/dbf/DbfFile.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

class MeasuresFixture : public ::testing::Test {
protected:
    void SetUp() override { open(); }
    void open()
    {
        state = std::make_unique<dx::AppState>();
        state->programDir = dx::qs(dir.path());
        state->db.setProgramDir(dir.path());
        dx::InitMer(*state, [this](const dx::UserMessage &m) { messages << m.text + "|" + m.detail; });
        cuttings = std::make_unique<dx::MeasuresModel>(state->cuttings, dx::cuttingMeasures());
        afforestation = std::make_unique<dx::MeasuresModel>(state->afforestation, dx::afforestationMeasures());
        for (auto *m : {cuttings.get(), afforestation.get()}) {
            m->setKeySource([this] { return key; });
            QObject::connect(m, &dx::MeasuresModel::problem, [this](const QString &t) { problems << t; });
        }
        show("12", "а");
    }
    void show(const QString &otd, const QString &pod)
    {
        key = dx::measureKey(otd, pod);
        dx::ViewMer(*state, otd, pod);
        cuttings->refresh();
        afforestation->refresh();
    }
    // Appends a cutting row with a kind and a year.
    void addCutting(const QString &kind, const QString &year)
    {
        int row = cuttings->appendNewRow();
        ASSERT_TRUE(cuttings->setData(cuttings->index(row, 0), kind));
        ASSERT_TRUE(cuttings->setData(cuttings->index(row, 1), year));
    }
    QString cell(dx::MeasuresModel &m, int row, int col) { return m.data(m.index(row, col)).toString(); }
    size_t fileRows(const char *name) { return dx::dbf::read(dir.file(name))->rowCount(); }

    dxtest::TempDir dir;
    std::unique_ptr<dx::AppState> state;
    std::unique_ptr<dx::MeasuresModel> cuttings, afforestation;
    QString key;
    QStringList messages, problems;
};

} // namespace

TEST_F(MeasuresFixture, TablesAreCreatedWithTheirFieldsInOrder)
{
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
    auto mervs = dx::dbf::read(dir.file("mervs.dbf"));
    std::vector<std::string> names;
    for (const auto &f : mervs->fields()) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"VIDSECH", "GODINA", "STOQSHTA", "LEJASHTA", "EDRA", "SREDNA",
                                               "DREBNA", "ESD", "DYRVA", "VYRSHINA", "ZABELEJKA", "KEY"}));
    EXPECT_EQ(mervs->fields()[0].width, 30);
    EXPECT_EQ(mervs->fields()[10].width, 254);
    EXPECT_EQ(mervs->fields()[11].width, 10);
    EXPECT_EQ(mervs->fields()[1].type, dx::FieldType::Integer);
    auto merzl = dx::dbf::read(dir.file("merzl.dbf"));
    EXPECT_EQ(merzl->fields().size(), 11u);
    EXPECT_EQ(merzl->fields()[8].name, "AREA");
    EXPECT_EQ(merzl->fields()[8].type, dx::FieldType::Real);
    EXPECT_EQ(cuttings->rowCount(), 0); // a sub-compartment without measures
    EXPECT_EQ(afforestation->columnCount(), 9); // no KEY, no AREA
    EXPECT_EQ(cuttings->headerData(0, Qt::Horizontal).toString(), "вид сеч:");
}

TEST_F(MeasuresFixture, NewRowsCarryTheKeyAndReachTheFileAtOnce)
{
    addCutting("прореждане", "2024");
    EXPECT_EQ(cuttings->rowCount(), 1);
    EXPECT_FALSE(cuttings->hasNewRow());
    const std::string tsv = dxtest::dbfreadTsv(dir.file("mervs.dbf"));
    if (!tsv.empty()) {
        EXPECT_NE(tsv.find("прореждане\t2024\t\t\t\t\t\t\t\t\t\t12:а"), std::string::npos) << tsv;
    }
    // Another sub-compartment shows none of it; coming back shows it again.
    show("12", "б");
    EXPECT_EQ(cuttings->rowCount(), 0);
    show("12", "а");
    ASSERT_EQ(cuttings->rowCount(), 1);
    EXPECT_EQ(cell(*cuttings, 0, 0), "прореждане");
    EXPECT_EQ(cell(*cuttings, 0, 1), "2024");
}

TEST_F(MeasuresFixture, SaveOfAnEmptyNewRowPostsNothing)
{
    afforestation->appendNewRow();
    EXPECT_FALSE(afforestation->save());
    EXPECT_EQ(fileRows("merzl.dbf"), 0u);
    afforestation->setData(afforestation->index(0, 3), ""); // an empty cell keeps it new
    EXPECT_TRUE(afforestation->hasNewRow());
    EXPECT_EQ(fileRows("merzl.dbf"), 0u);
}

TEST_F(MeasuresFixture, EditsAndDeletesTouchOnlyTheirRow)
{
    addCutting("санитарна", "2023");
    show("7", "в");
    addCutting("гола", "2025");
    show("12", "а");
    ASSERT_TRUE(cuttings->setData(cuttings->index(0, 1), "2026"));
    ASSERT_TRUE(cuttings->removeAt(0));
    EXPECT_EQ(cuttings->rowCount(), 0);
    EXPECT_FALSE(cuttings->removeAt(0)); // nothing left to delete
    show("7", "в");
    ASSERT_EQ(cuttings->rowCount(), 1);
    EXPECT_EQ(cell(*cuttings, 0, 1), "2025");
}

TEST_F(MeasuresFixture, RowsAreSharedByProjectsWithTheSameAddress)
{
    addCutting("прореждане", "2024");
    // Another project's state over the same program directory sees the row.
    open();
    EXPECT_EQ(cuttings->rowCount(), 1);
}

TEST_F(MeasuresFixture, WhatTheFileCannotHoldIsRefusedWithAReason)
{
    int row = cuttings->appendNewRow();
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 1), "двехиляди"));
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 0), QString(31, QChar(0x0430))));
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].contains("година"));
    EXPECT_TRUE(problems[1].contains("30"));
    // A key longer than its field would lose the row: it is not posted at all.
    show("1234567", "абвг");
    row = cuttings->appendNewRow();
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 0), "прореждане"));
    EXPECT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[2].contains("1234567:абвг"));
    EXPECT_EQ(fileRows("mervs.dbf"), 0u);
}

TEST_F(MeasuresFixture, ATableWithOtherFieldsIsReportedAndNotUsed)
{
    dx::dbf::create(dir.file("mervs.dbf"), {dx::makeField("VIDSECH", dx::FieldType::Integer, 4)});
    messages.clear();
    open();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Неможе да се отвори таблица mervs.dbf.|"));
    EXPECT_TRUE(messages[0].contains("VIDSECH"));
    EXPECT_FALSE(cuttings->usable());
    EXPECT_EQ(cuttings->appendNewRow(), -1);
    EXPECT_TRUE(afforestation->usable());
}

TEST_F(MeasuresFixture, AReadOnlyTableRefusesTheWriteWithAMessage)
{
    if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    std::filesystem::permissions(dir.file("mervs.dbf"), std::filesystem::perms::owner_read);
    int row = cuttings->appendNewRow();
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 0), "гола"));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("mervs.dbf"));
}

namespace {

// A cuttings table made by another program: our fields, some of other widths.
void createCuttings(const std::string &path, const std::map<std::string, int> &widths)
{
    std::vector<dx::FieldDef> fields;
    for (const dx::MeasureColumn &c : dx::cuttingMeasures().fields) {
        const std::string name = dx::ss(c.field);
        const int width = widths.count(name) ? widths.at(name) : c.width;
        fields.push_back(dx::makeField(name, c.type, width));
    }
    dx::dbf::create(path, fields);
}

} // namespace

TEST_F(MeasuresFixture, ARowTheFilterWouldNotShowIsTakenOutAgain)
{
    show("7", "в");
    addCutting("гола", "2025");
    // A blank at the end of the address: the file keeps "12:а", the filter asks for "12:а ".
    show("12", "а ");
    const int row = cuttings->appendNewRow();
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 0), "прореждане"));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("12:а ")) << problems[0].toStdString();
    // Only the other sub-compartment's row is in the file; what was typed is kept.
    auto file = dx::dbf::read(dir.file("mervs.dbf"));
    ASSERT_EQ(file->rowCount(), 1u);
    EXPECT_EQ(file->value(0, 11).toText(), "7:в");
    EXPECT_TRUE(cuttings->hasNewRow());
    EXPECT_EQ(cell(*cuttings, row, 0), "прореждане");
    show("7", "в");
    ASSERT_EQ(cuttings->rowCount(), 1);
    EXPECT_EQ(cell(*cuttings, 0, 0), "гола");
}

TEST_F(MeasuresFixture, AWriteTheFileRefusesKeepsWhatWasTyped)
{
    createCuttings(dir.file("mervs.dbf"), {{"KEY", 4}});
    open();
    show("123", "аб"); // six characters for a key of four
    const int row = cuttings->appendNewRow();
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 0), "прочистка"));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("mervs.dbf")) << problems[0].toStdString();
    EXPECT_EQ(fileRows("mervs.dbf"), 0u);
    EXPECT_EQ(state->cuttings.state(), dx::Table::State::Browse);
    EXPECT_TRUE(cuttings->hasNewRow());
    EXPECT_EQ(cell(*cuttings, row, 0), "прочистка");
    // A fitting address posts the kept row.
    show("12", "а");
    EXPECT_EQ(fileRows("mervs.dbf"), 0u);
    addCutting("прочистка", "2024");
    EXPECT_EQ(fileRows("mervs.dbf"), 1u);
}

TEST_F(MeasuresFixture, ColumnsTakeTheWidthsOfTheFilesFields)
{
    createCuttings(dir.file("mervs.dbf"), {{"VIDSECH", 20}, {"GODINA", 4}});
    open();
    EXPECT_EQ(cuttings->column(0).width, 20);
    const int row = cuttings->appendNewRow();
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 0), QString(21, QChar(0x0430))));
    EXPECT_FALSE(cuttings->setData(cuttings->index(row, 1), "-1234"));
    EXPECT_EQ(problems.size(), 2);
    EXPECT_TRUE(cuttings->setData(cuttings->index(row, 1), "9999"));
    EXPECT_EQ(problems.size(), 2);
}
