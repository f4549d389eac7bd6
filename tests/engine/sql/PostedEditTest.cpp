// A posted edit keeps the table's snapshot with the one record changed instead of
// reading the table again, but only while that snapshot is still the file: a change by
// another program in between is never hidden.
#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace dx;

namespace {

void makeTable(const std::string &path, int rows)
{
    std::vector<FieldDef> fields{makeField("ID", FieldType::Integer, 6), makeField("V", FieldType::Text, 12)};
    std::vector<Row> data;
    for (int i = 1; i <= rows; ++i) data.push_back({Value::fromInt(i), Value::fromText("ред " + std::to_string(i))});
    if (path.back() == 'f') {
        dbf::create(path, fields, data);
        return;
    }
    px::CreateOptions o;
    o.password = "pw";
    px::create(path, fields, data, o);
}

// Every row as the file holds it, read afresh.
std::string fileRows(const std::string &path)
{
    OpenOptions o;
    o.knownPasswords = {"pw"};
    auto t = path.back() == 'f' ? dbf::read(path) : px::read(path, o);
    std::string out;
    for (size_t r = 0; r < t->rowCount(); ++r) out += t->value(r, 0).toText() + "=" + t->value(r, 1).toText() + "\n";
    return out;
}

// Every row as the table object shows it.
std::string shownRows(Table &t)
{
    std::string out;
    for (t.first(); !t.eof(); t.next()) out += t.value("ID").toText() + "=" + t.value("V").toText() + "\n";
    return out;
}

void editRow(Table &t, int id, const std::string &v)
{
    for (t.first(); !t.eof() && t.value("ID").toInt() != id; t.next()) {
    }
    ASSERT_FALSE(t.eof());
    t.edit();
    t.setValue("V", Value::fromText(v));
    t.post();
}

} // namespace

TEST(PostedEdit, TheTableShowsTheFileAfterEveryPost)
{
    for (const char *name : {"t.dbf", "T.DB"}) {
        SCOPED_TRACE(name);
        dxtest::TempDir dir;
        const std::string path = dir.file(name);
        makeTable(path, 30);
        Database db(dir.path());
        db.addPassword("pw");
        Table t(db);
        t.setPath(path);
        t.open();
        const TableFilePtr before = db.table(path);
        editRow(t, 3, "първа");
        editRow(t, 3, "втора"); // the same record twice
        editRow(t, 17, "трета");
        EXPECT_EQ(shownRows(t), fileRows(path));
        EXPECT_NE(fileRows(path).find("3=втора\n"), std::string::npos);
        // What the database hands out now is the edited snapshot; the old one is as it was.
        EXPECT_EQ(db.table(path)->value(16, 1).toText(), "трета");
        EXPECT_EQ(before->value(2, 1).toText(), "ред 3");
        // A filter sees the edited values too.
        t.setFilter("V='трета'");
        t.setFiltered(true);
        EXPECT_EQ(t.recordCount(), 1u);
    }
}

TEST(PostedEdit, AChangeByAnotherProgramInBetweenIsShownNotHidden)
{
    for (const char *name : {"t.dbf", "T.DB"}) {
        SCOPED_TRACE(name);
        dxtest::TempDir dir;
        const std::string path = dir.file(name);
        makeTable(path, 30);
        Database db(dir.path());
        db.addPassword("pw");
        Table t(db);
        t.setPath(path);
        t.open();
        // Another program (its own database) changes row 9 after we read the table; the
        // file's time moves on by more than its clock's step.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        Database other(dir.path());
        other.addPassword("pw");
        Table theirs(other);
        theirs.setPath(path);
        theirs.open();
        editRow(theirs, 9, "тяхна");
        editRow(t, 4, "наша");
        EXPECT_EQ(shownRows(t), fileRows(path));
        EXPECT_NE(shownRows(t).find("9=тяхна\n"), std::string::npos);
        EXPECT_NE(shownRows(t).find("4=наша\n"), std::string::npos);
    }
}
