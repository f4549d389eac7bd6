// The area lists against sums worked out by hand on a small project table, the species
// area table and the dBase save of a list.
#include "TestUtil.h"

#include "core/GridModel.h"
#include "core/SafeFileWrite.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/sql/Database.h"
#include "lists/AreaChart.h"
#include "lists/AreaLists.h"
#include "lists/ListDbfSave.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include <sys/stat.h>

namespace {

using namespace dx;

// One sub-compartment: compartment, letter, area, kind of forest and its elements
// (species, tenths, storey); unused elements are "-" with 0 tenths.
struct Sub {
    int otd;
    std::string podotd;
    double pl;
    std::string vidGori;
    std::vector<std::tuple<std::string, int, std::string>> elements;
};

std::string makeProject(const dxtest::TempDir &dir, const std::vector<Sub> &subs)
{
    std::vector<FieldDef> fields = {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 2),
                                    makeField("PL", FieldType::Real, 10, 2), makeField("VID_PODOTD", FieldType::Text, 20),
                                    makeField("VID_GORI", FieldType::Text, 40)};
    for (int n = 1; n <= 11; ++n) {
        fields.push_back(makeField("DV" + std::to_string(n), FieldType::Text, 60));
        fields.push_back(makeField("UCH" + std::to_string(n), FieldType::Integer, 3));
        fields.push_back(makeField("ET" + std::to_string(n), FieldType::Text, 2));
    }
    std::vector<Row> rows;
    for (const Sub &s : subs) {
        Row r = {Value::fromInt(s.otd), Value::fromText(s.podotd), Value::fromReal(s.pl), Value::fromText("гора"),
                 Value::fromText(s.vidGori)};
        for (size_t n = 0; n < 11; ++n) {
            if (n < s.elements.size()) {
                const auto &[dv, uch, et] = s.elements[n];
                r.insert(r.end(), {Value::fromText(dv), Value::fromInt(uch), Value::fromText(et)});
            } else {
                r.insert(r.end(), {Value::fromText("-"), Value::fromInt(0), Value::fromText("-")});
            }
        }
        rows.push_back(r);
    }
    const std::string path = dir.file("project.dbf");
    dbf::create(path, fields, rows);
    return path;
}

QStringList shown(const ListContent &content)
{
    DataGridModel model(content.columns);
    model.setRows(content.rows);
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) cells << model.displayText(r, c);
        out << cells.join('|');
    }
    return out;
}

// The edge cases of the species walk, each in one sub-compartment:
//   1/а  5.00 ha, Бк 10 tenths in the second storey: wholly Бк (UCH1 = 10)      Бк +5
//   1/б 10.00 ha, Смр 6 first storey + Клен 4 second storey                     Смр +6, Клен 0
//   2/а 10.00 ha, Бб 7 + Бк 5 + Ела 3, all first storey: the running sum passes 10
//        without equalling it, so every element counts                          Бб +7, Бк +5, Ела +3
//   2/б  4.00 ha, DV1 "-" (bare land), Бк 10 after it: nothing
//   2/в  1.25 ha, Бб 10: 8.25 in all, the tie of the tenths to even gives 8.2   Бб +1.25
// Totals: Бк 10, Бб 8.25 -> 8.2, Смр 6, Ела 3, Клен 0 (only in a lower storey).
std::vector<Sub> edgeCases()
{
    return {
        {1, "а", 5.0, "иглолистни", {{"Бк", 10, "2"}}},
        {1, "б", 10.0, "иглолистни", {{"Смр", 6, "1"}, {"Клен", 4, "2"}}},
        {2, "а", 10.0, "x\" OR 1=1 --", {{"Бб", 7, "1"}, {"Бк", 5, "1"}, {"Ела", 3, "1"}}},
        {2, "б", 4.0, "DROP TABLE 'a'", {{"-", 0, "-"}, {"Бк", 10, "1"}}},
        {2, "в", 1.25, "иглолистни", {{"Бб", 10, "1"}}},
    };
}

TEST(AreasBySpecies, FirstStoreyShares)
{
    dxtest::TempDir dir;
    const std::string project = makeProject(dir, edgeCases());
    Database db(dir.path());
    QStringList labels;
    QList<int> gauge;
    SpeciesProgress progress{[&](const QString &t) { labels << t; }, [&](int p) { gauge << p; }};
    const AreaList list = AreasBySpecies(db, QString::fromStdString(project), QString::fromStdString(dir.path()), progress);
    EXPECT_EQ(shown(list.content), QStringList({"Бк|10", "Бб|8.2", "Смр|6", "Ела|3", "Клен|0"}));
    EXPECT_EQ(list.caption, "Дървесни видове - 5 броя");
    EXPECT_EQ(list.status, "Общо: 27.2");
    EXPECT_EQ(list.mode, 2);
    EXPECT_EQ(list.width, 300);
    // The species in the order first met (DV1 over the records, then DV2, ...).
    EXPECT_EQ(labels.mid(1, 5), QStringList({"Бк...", "Смр...", "Бб...", "Клен...", "Ела..."}));
    EXPECT_EQ(labels.last(), "Зареждане на данните...");
    EXPECT_EQ(gauge.last(), 100);

    // The species area table holds every species in first-met order.
    const TableFilePtr table = dbf::read(dir.file("$2tmp.dbf"));
    ASSERT_EQ(table->rowCount(), 5u);
    EXPECT_EQ(table->fields()[0].name, "TXT");
    EXPECT_EQ(table->fields()[0].width, 30);
    EXPECT_EQ(table->value(2, 0).toText(), "Бб");
    EXPECT_DOUBLE_EQ(table->value(2, 1).toReal(), 8.2);
    EXPECT_EQ(table->value(3, 0).toText(), "Клен");
    EXPECT_DOUBLE_EQ(table->value(3, 1).toReal(), 0.0);
}

TEST(AreasBySpecies, SpeciesTableThatCannotBeWrittenStopsTheList)
{
    dxtest::TempDir dir;
    const QString project = QString::fromStdString(makeProject(dir, edgeCases()));
    Database db(dir.path());
    const QString tmp = QString::fromStdString(dir.file("$2tmp.dbf"));
    // A folder in its place.
    ASSERT_TRUE(QDir().mkdir(tmp));
    try {
        AreasBySpecies(db, project, QString::fromStdString(dir.path()));
        FAIL() << "a folder was taken for the species area table";
    } catch (const FileWriteError &e) {
        EXPECT_EQ(e.path(), tmp);
        EXPECT_TRUE(e.message().contains("$2tmp.dbf"));
    }
    ASSERT_TRUE(QDir().rmdir(tmp));
    // A write-protected table from an earlier run stays as it was.
    AreasBySpecies(db, project, QString::fromStdString(dir.path()));
    QFile file(tmp);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ::chmod(dir.file("$2tmp.dbf").c_str(), 0444);
    EXPECT_THROW(AreasBySpecies(db, project, QString::fromStdString(dir.path())), FileWriteError);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    ::chmod(dir.file("$2tmp.dbf").c_str(), 0644);
}

// Another program writing the species area table: the list waits for its lock, then
// stops with a message naming the file, and the table stays as that program left it.
TEST(AreasBySpecies, LockedSpeciesTableStopsTheList)
{
    dxtest::TempDir dir;
    const QString project = QString::fromStdString(makeProject(dir, edgeCases()));
    Database db(dir.path());
    AreasBySpecies(db, project, QString::fromStdString(dir.path()));
    const std::string tmp = dir.file("$2tmp.dbf");
    const int before = int(dbf::read(tmp)->rowCount());
    ::setenv("DENDRIX_LOCK_WAIT_MS", "200", 1);
    std::promise<void> locked, done;
    std::thread holder([&] {
        platform::FileLock lock(tmp);
        locked.set_value();
        done.get_future().wait();
    });
    locked.get_future().wait();
    try {
        AreasBySpecies(db, project, QString::fromStdString(dir.path()));
        ADD_FAILURE() << "the species area table was written under another writer's lock";
    } catch (const FileWriteError &e) {
        EXPECT_EQ(e.path().toStdString(), tmp);
    }
    done.set_value();
    holder.join();
    ::unsetenv("DENDRIX_LOCK_WAIT_MS");
    EXPECT_EQ(int(dbf::read(tmp)->rowCount()), before);
}

TEST(AreasByCompartment, SumsAndTotal)
{
    dxtest::TempDir dir;
    const std::string project = makeProject(dir, edgeCases());
    Database db(dir.path());
    const AreaList list = AreasByCompartment(db, QString::fromStdString(project));
    // 1: 5 + 10; 2: 10 + 4 + 1.25, shown with all its digits.
    EXPECT_EQ(shown(list.content), QStringList({"1|15", "2|15.25"}));
    EXPECT_EQ(list.caption, "Oтдели - 2 броя");
    EXPECT_EQ(list.status, "Обща площ: 30.25 ха");
    EXPECT_EQ(list.mode, 1);
    EXPECT_EQ(list.content.columns[0].title, "Отдел");

    const CompartmentDetailList detail = CompartmentDetail(db, QString::fromStdString(project), 2);
    EXPECT_TRUE(detail.found);
    EXPECT_EQ(detail.caption, "Oтдел No.2");
    EXPECT_EQ(shown(detail.content), QStringList({"а|гора|10", "б|гора|4", "в|гора|1.25"}));
    EXPECT_EQ(detail.status, "обща площ: 15.25 ха, брой подотдели: 3");
    const CompartmentDetailList missing = CompartmentDetail(db, dir.file("none.dbf").c_str(), 7);
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(missing.status, "Oтдел 7 не е намерен.");
}

TEST(AreasByAttribute, ValuesWithQuotesAndSqlWordsAreGroupedAsText)
{
    dxtest::TempDir dir;
    const std::string project = makeProject(dir, edgeCases());
    Database db(dir.path());
    const AreaList list = AreasByAttribute(db, QString::fromStdString(project), 1);
    // иглолистни 5 + 10 + 1.25 = 16.25 -> "16.3" ("#.0", a tie away from zero); the
    // quoted and SQL-like values are values like any other.
    EXPECT_EQ(shown(list.content), QStringList({"иглолистни|16.3", "x\" OR 1=1 --|10.0", "DROP TABLE 'a'|4.0"}));
    EXPECT_EQ(list.caption, "Площи по Вид гори");
    EXPECT_EQ(list.status, "записи: 3");
    EXPECT_EQ(list.content.columns[0].title, "Вид гори");
    EXPECT_EQ(list.content.columns[1].format, "#.0");
    EXPECT_THROW(AreasByAttribute(db, QString::fromStdString(project), 22), std::out_of_range);
    EXPECT_EQ(areaAttributes().size(), 21);
    EXPECT_EQ(areaAttributes().at(19).field, "ZEML");
}

TEST(ListSaveNames, TextAndDbfNames)
{
    EXPECT_EQ(textFileName("ab"), "ab.txt");
    EXPECT_EQ(textFileName("a.txt"), "a.txt");
    EXPECT_EQ(textFileName("a.csv"), "a.csv");
    EXPECT_EQ(textFileName("abc"), "abc.txt");
    EXPECT_EQ(dbfSavePath("x"), "x.dbf");
    EXPECT_EQ(dbfSavePath("x.dbf"), "x.dbf");
    EXPECT_EQ(dbfFieldName("Сребролистна липа", {}), "Сребролист");
    EXPECT_EQ(dbfFieldName("Сребролистна липа", {"Сребролист"}), "Сребролис1");
    EXPECT_EQ(dbfFieldName("a b", {}), "a_b");
    EXPECT_EQ(dbfFieldName("", {}), "F");
}

TEST(Save2Dbf, TypesFromTheValuesAndNamesThatFit)
{
    dxtest::TempDir dir;
    DataGridModel model({GridColumn("Вид"), GridColumn("Мешани"), GridColumn("Цели"),
                         GridColumn("Сребролистна липа|Сребролистна липа, ха")});
    model.setRows({{QVariant("Бк"), QVariant(12.0), QVariant(12), QVariant(1.5)},
                   {QVariant("Смърч"), QVariant(12.5), QVariant(13), QVariant()},
                   {QVariant(), QVariant(), QVariant(), QVariant(2.25)}});
    QStringList stages;
    QList<int> percents;
    DbfSaveProgress progress{[&](const QString &s) { stages << s; }, [&](int p) { percents << p; }, {}};
    const std::string path = dir.file("list.dbf");
    const DbfSaveResult r = Save2Dbf(model, {"TXT", "MIXED", "WHOLE"}, QString::fromStdString(path), progress);
    EXPECT_EQ(r.records, 3);
    EXPECT_EQ(stages, QStringList({"Анализиране на типа и размера на полетата...", "Запазване на данните..."}));
    EXPECT_EQ(percents.last(), 100);
    ASSERT_EQ(r.renamed.size(), 1);
    const TableFilePtr t = dbf::read(path);
    ASSERT_EQ(t->fields().size(), 4u);
    EXPECT_EQ(t->fields()[0].type, FieldType::Text);
    EXPECT_EQ(t->fields()[0].width, 6); // "Смърч" + 1
    EXPECT_EQ(t->fields()[1].type, FieldType::Real);   // 12 and 12.5
    EXPECT_EQ(t->fields()[2].type, FieldType::Integer); // 12 and 13
    EXPECT_EQ(t->fields()[3].name, "Сребролист");
    EXPECT_EQ(t->rowCount(), 3u);
    EXPECT_DOUBLE_EQ(t->value(1, 1).toReal(), 12.5);
    EXPECT_EQ(t->value(1, 2).toInt(), 13);
    EXPECT_TRUE(t->value(2, 0).isNull() || t->value(2, 0).toText().empty());
    EXPECT_DOUBLE_EQ(t->value(2, 3).toReal(), 2.25);

    const std::string tsv = dxtest::dbfreadTsv(path);
    if (!tsv.empty()) {
        EXPECT_EQ(tsv, "TXT\tMIXED\tWHOLE\tСребролист\nБк\t12\t12\t1.5\nСмърч\t12.5\t13\t\n\t\t\t2.25\n");
    }
}

TEST(Save2Dbf, AFailedSaveKeepsTheOldFile)
{
    dxtest::TempDir dir;
    DataGridModel model({GridColumn("A")});
    model.setRows({{QVariant(1)}});
    const QString path = QString::fromStdString(dir.file("old.dbf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    ::chmod(dir.file("old.dbf").c_str(), 0444);
    EXPECT_THROW(Save2Dbf(model, {}, path), FileWriteError);
    ::chmod(dir.file("old.dbf").c_str(), 0644);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old contents");
    // A folder where the table should be.
    const QString folder = QString::fromStdString(dir.file("folder.dbf"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_THROW(Save2Dbf(model, {}, folder), FileWriteError);
}

TEST(AreaChart, BarsLargestFirst)
{
    ListContent c;
    c.columns = {GridColumn("Отдел"), GridColumn("Площ (ха)")};
    c.rows = {{1, 15.0}, {2, 15.25}, {3, QVariant()}, {4, 20.5}};
    const AreaChartData d = areaChartData(c, "Oтдели", "собственост: всички");
    EXPECT_EQ(d.labels, QStringList({"4", "2", "1"}));
    EXPECT_EQ(d.valueTexts, QStringList({"20.5", "15.25", "15"}));
    EXPECT_EQ(d.subtitle, "собственост: всички");
}

} // namespace
