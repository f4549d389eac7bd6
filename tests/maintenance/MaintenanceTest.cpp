// The database editor's data (posts, refusals, jump box, searches), archive and restore
// with their progress, the land-area names test, and the dendrix-cli commands over them.
#include "core/DataPassword.h"
#include "core/QtText.h"
#include "demo/DemoData.h"
#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"
#include "maintenance/Archive.h"
#include "maintenance/LandAreaTest.h"
#include "maintenance/TableEditor.h"
#include "shell/Startup.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

using namespace dx;

namespace {

// A small project table: OTD, PODOTD, PL, NZN2, ZEML.
std::string smallTable(const dxtest::TempDir &dir, const std::string &name = "p.dbf")
{
    const std::string path = dir.file(name);
    auto rec = [](int otd, const char *pod, double pl, const char *sob, int zeml) {
        return Row{Value::fromInt(otd), Value::fromText(pod), Value::fromReal(pl), Value::fromText(sob),
                   Value::fromInt(zeml)};
    };
    dbf::create(path,
                {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                 makeField("PL", FieldType::Real, 8, 2), makeField("NZN2", FieldType::Text, 10),
                 makeField("ZEML", FieldType::Integer, 3)},
                {rec(1, "а", 1.5, "ДГТ", 1), rec(1, "б", 2, "ДГТ", 2), rec(2, "а", 3, "частна", 0),
                 rec(12, "А", 4, "ДГТ", 7), rec(12, "б", 5, "дгт", 7), rec(2, "в", 6, "", 0)});
    return path;
}

std::string cliDemo(const dxtest::TempDir &dir, int records = 60)
{
    DemoOptions o;
    o.records = records;
    createDemoInstallation(dir.file("d"), o);
    return dir.file("d");
}

} // namespace

TEST(TableEditor, PostsOneCellAndRefusesWhatDoesNotFit)
{
    dxtest::TempDir dir;
    const std::string path = smallTable(dir);
    Database db;
    TableEditor ed(db);
    ed.open(path);
    ASSERT_EQ(ed.rowCount(), 6u);
    const std::string before = io::readFile(path);
    const TableFilePtr orig = dbf::read(path);

    EXPECT_FALSE(ed.setText(1, 3, "частна"));
    EXPECT_EQ(ed.text(1, 3), "частна");
    auto t = dbf::read(path);
    EXPECT_EQ(t->value(1, 3).toText(), "частна");
    for (size_t r : {0u, 2u, 3u, 4u, 5u}) EXPECT_EQ(t->record(r).bytes, orig->record(r).bytes) << r;
    EXPECT_NE(t->record(1).bytes, orig->record(1).bytes);

    // Too long, not a number, a real in an integer field: refused, the file unchanged.
    const std::string edited = io::readFile(path);
    auto m = ed.setText(0, 3, "много дълъг текст");
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->text.contains("NZN2")) << m->text.toStdString();
    EXPECT_TRUE(m->text.contains("10"));
    ASSERT_TRUE(ed.setText(0, 0, "12а"));
    ASSERT_TRUE(ed.setText(0, 2, "abc"));
    ASSERT_TRUE(ed.setText(0, 0, "1.5"));
    EXPECT_EQ(io::readFile(path), edited);
    // A real typed with a decimal comma is a number.
    EXPECT_FALSE(ed.setText(0, 2, "7,25"));
    EXPECT_EQ(ed.text(0, 2), "7.25");
    EXPECT_NE(io::readFile(path), before);
}

TEST(TableEditor, AnEditOfARecordChangedElsewhereIsRefusedAndTheGridReloaded)
{
    dxtest::TempDir dir;
    const std::string path = smallTable(dir);
    Database db1, db2;
    TableEditor mine(db1), theirs(db2);
    mine.open(path);
    theirs.open(path);
    EXPECT_FALSE(theirs.setText(3, 1, "в"));
    auto m = mine.setText(3, 3, "частна");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->icon, UserMessage::Icon::Warning);
    EXPECT_TRUE(m->text.contains("друга програма"));
    // Reloaded: the other program's change shows, ours is not in the file.
    EXPECT_EQ(mine.text(3, 1), "в");
    EXPECT_EQ(mine.text(3, 3), "ДГТ");
    EXPECT_EQ(dbf::read(path)->value(3, 3).toText(), "ДГТ");
    // Now the edit goes through.
    EXPECT_FALSE(mine.setText(3, 3, "частна"));
    EXPECT_EQ(dbf::read(path)->value(3, 3).toText(), "частна");

    // Append and remove.
    size_t row = 0;
    EXPECT_FALSE(mine.appendRow(&row));
    EXPECT_EQ(row, 6u);
    EXPECT_EQ(mine.rowCount(), 7u);
    EXPECT_FALSE(mine.removeRow(0));
    EXPECT_EQ(dbf::read(path)->rowCount(), 6u);
    EXPECT_EQ(mine.text(0, 1), "б");

    // A read-only file: a clear message naming it, nothing changed.
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    if (::access(path.c_str(), W_OK) != 0) {
        auto ro = mine.setText(0, 3, "x");
        ASSERT_TRUE(ro);
        EXPECT_TRUE(ro->text.contains(qs(path)));
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(TableEditor, PostedEditsKeepTheGridUntilAnotherProgramWritesThenReadItAgain)
{
    dxtest::TempDir dir;
    const std::string path = smallTable(dir);
    Database mineDb, theirsDb;
    TableEditor mine(mineDb), theirs(theirsDb);
    mine.open(path);
    theirs.open(path);

    // Two edits in a row: each shows at once with every other cell as it was, and the
    // file holds both.
    EXPECT_FALSE(mine.setText(0, 3, "общинска"));
    EXPECT_FALSE(mine.setText(2, 2, "7,25"));
    EXPECT_EQ(mine.text(0, 3), "общинска");
    EXPECT_EQ(mine.text(2, 2), "7.25");
    EXPECT_EQ(mine.text(1, 3), "ДГТ");
    auto file = dbf::read(path);
    EXPECT_EQ(file->value(0, 3).toText(), "общинска");
    EXPECT_EQ(file->value(2, 2).toReal(), 7.25);

    // Another program changes a record this editor does not touch. The next edit here
    // goes through, and the grid then shows the other program's change too: a grid kept
    // from before it would hide it.
    EXPECT_FALSE(theirs.setText(4, 3, "частна"));
    EXPECT_FALSE(mine.setText(5, 3, "държавна"));
    EXPECT_EQ(mine.text(4, 3), "частна");
    EXPECT_EQ(mine.text(5, 3), "държавна");
    EXPECT_EQ(mine.text(0, 3), "общинска");

    // The main window's reading of the table sees the edits without a new start.
    auto seen = mineDb.table(path);
    EXPECT_EQ(seen->value(5, 3).toText(), "държавна");
    EXPECT_EQ(seen->value(4, 3).toText(), "частна");
}

TEST(TableEditor, ATableLockedByAnotherProgramRefusesTheEditAndTakesItOnceFree)
{
    dxtest::TempDir dir;
    const std::string path = smallTable(dir);
    Database db;
    TableEditor ed(db);
    ed.open(path);
    const std::string before = io::readFile(path);
    {
        dxtest::ShortLockWait shortWait;
        dxtest::HeldElsewhere other(path, platform::LockKind::Exclusive);
        for (int attempt = 0; attempt < 2; ++attempt) { // a second try meets the same lock
            auto m = ed.setText(1, 3, "частна");
            ASSERT_TRUE(m);
            EXPECT_EQ(m->icon, UserMessage::Icon::Error);
            EXPECT_TRUE(m->text.contains(qs(path))) << m->text.toStdString();
            EXPECT_TRUE(m->detail.contains(QString::number(other.pid()))) << m->detail.toStdString();
        }
        EXPECT_TRUE(ed.appendRow());
        EXPECT_TRUE(ed.removeRow(0));
        EXPECT_EQ(io::readFile(path), before);
        EXPECT_EQ(ed.text(1, 3), "ДГТ");
        EXPECT_EQ(ed.rowCount(), 6u);
    }
    // The other program is done: the same edit goes through.
    EXPECT_FALSE(ed.setText(1, 3, "частна"));
    EXPECT_EQ(dbf::read(path)->value(1, 3).toText(), "частна");
}

TEST(TableEditor, SearchFindsWhatTheGridShowsWhateverTheLetterCase)
{
    // Every match the search walks to, in all three modes, is exactly a cell whose shown
    // text holds the needle ignoring case (the grid's own upper-casing as the reference),
    // and none is skipped: numbers, logicals, Latin, Cyrillic and the code page's other
    // letters (µ upper-cases to a Greek letter, Ґ lies outside the common Cyrillic).
    dxtest::TempDir dir;
    const std::string path = dir.file("s.dbf");
    auto rec = [](const char *a, double r, int n, bool l, const char *b) {
        return Row{Value::fromText(a), Value::fromReal(r), Value::fromInt(n), Value::fromBool(l), Value::fromText(b)};
    };
    dbf::create(path,
                {makeField("T1", FieldType::Text, 20), makeField("R", FieldType::Real, 12, 3),
                 makeField("N", FieldType::Integer, 6), makeField("L", FieldType::Logical, 1),
                 makeField("T2", FieldType::Text, 20)},
                {rec("Бук ёла", 12.5, -3, true, "true"), rec("бУК", -0.125, 125, false, "ЁЛА ї"),
                 rec("µ ґ", 1, 0, true, "Ґ µm"), rec("ЯВОР-1", 1.25, 12, false, "явор-1,5"),
                 rec("Її џ Ђ", 0, 1, true, "ђ ї"), rec("", 3.125, 5, false, "x e 12")});
    Database db;
    TableEditor ed(db);
    ed.open(path);
    using Cell = TableEditor::Cell;
    auto holds = [&](size_t r, size_t c, const QString &needle) {
        return ed.text(r, c).toUpper().contains(needle.toUpper());
    };
    const QStringList needles = {"бук", "БУК", "Ёла", "ї", "µ", "ґ", "M", "ЯВОР-1", "1.25", "12", "-", "TRUE",
                                 "fals", "e", "ђ", "ЇЇ", "x E", "1,5", "0.125", "", "няма"};
    for (const QString &needle : needles) {
        SCOPED_TRACE(needle.toStdString());
        std::vector<std::pair<size_t, size_t>> expected, walked;
        for (size_t r = 0; r < ed.rowCount(); ++r)
            for (size_t c = 0; c < ed.columnCount(); ++c)
                if (holds(r, c, needle) && !(r == 0 && c == 0)) expected.push_back({r, c});
        for (auto at = ed.searchAll(Cell{0, 0}, needle); at; at = ed.searchAll(*at, needle))
            walked.push_back({at->row, at->column});
        EXPECT_EQ(walked, expected);

        for (size_t c = 0; c < ed.columnCount(); ++c) {
            std::vector<size_t> inColumn, walkedColumn;
            for (size_t r = 1; r < ed.rowCount(); ++r)
                if (holds(r, c, needle)) inColumn.push_back(r);
            for (auto at = ed.searchColumn(Cell{c, 0}, needle, false); at; at = ed.searchColumn(*at, needle, false))
                walkedColumn.push_back(at->row);
            EXPECT_EQ(walkedColumn, inColumn) << "column " << c;
        }
        for (size_t r = 0; r < ed.rowCount(); ++r) {
            const auto at = ed.searchRow(Cell{0, r}, needle);
            std::optional<size_t> first;
            for (size_t c = 1; c < ed.columnCount() && !first; ++c)
                if (holds(r, c, needle)) first = c;
            EXPECT_EQ(at ? std::optional<size_t>(at->column) : std::nullopt, first) << "row " << r;
        }
    }
    // Beyond the last record nothing is searched.
    EXPECT_FALSE(ed.searchRow(Cell{0, 99}, "бук"));
    EXPECT_FALSE(ed.searchColumn(Cell{99, 0}, "бук", true));
}

TEST(TableEditor, JumpBoxWalksOnFromTheCurrentRecordAndWraps)
{
    dxtest::TempDir dir;
    Database db;
    TableEditor ed(db);
    ed.open(smallTable(dir));
    TableEditor::JumpError e;
    EXPECT_EQ(ed.jump(0, "12:а", &e), 3u); // letter case ignored
    EXPECT_EQ(ed.jump(0, "2", &e), 2u);
    EXPECT_EQ(ed.jump(2, "2", &e), 5u);    // the next record of the compartment
    EXPECT_EQ(ed.jump(5, "2", &e), 2u);    // wrapping
    EXPECT_FALSE(ed.jump(2, "2:а", &e));   // only the current record has it
    EXPECT_EQ(e, TableEditor::JumpError::NotFound);
    EXPECT_FALSE(ed.jump(0, "дванадесет:а", &e));
    EXPECT_EQ(e, TableEditor::JumpError::NotANumber);
    EXPECT_FALSE(ed.jump(0, "99", &e));
    EXPECT_EQ(e, TableEditor::JumpError::NotFound);
}

TEST(TableEditor, SearchModesStartAfterTheCurrentCell)
{
    dxtest::TempDir dir;
    Database db;
    TableEditor ed(db);
    ed.open(smallTable(dir));
    using Cell = TableEditor::Cell;
    // "дгт" upper-cased matches every "ДГТ"; the current cell is never found again.
    auto c = ed.searchAll(Cell{3, 0}, "дгт");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 1u);
    EXPECT_EQ(c->column, 3u);
    c = ed.searchAll(Cell{4, 0}, "ДГТ"); // after the last column: the next record
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 1u);
    EXPECT_FALSE(ed.searchAll(Cell{3, 4}, "ДГТ")); // none after row 4's: the end
    EXPECT_TRUE(ed.isLastCell(Cell{4, 5}));

    EXPECT_FALSE(ed.searchRow(Cell{3, 0}, "ДГТ"));
    c = ed.searchRow(Cell{4, 0}, "а"); // after the last column: from the first
    ASSERT_TRUE(c);
    EXPECT_EQ(c->column, 1u);

    c = ed.searchColumn(Cell{3, 1}, "ДГТ", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 3u);
    EXPECT_FALSE(ed.searchColumn(Cell{3, 4}, "ДГТ", false));
    c = ed.searchColumn(Cell{3, 4}, "ДГТ", true);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 0u);
    EXPECT_FALSE(ed.searchColumn(Cell{3, 0}, "ДГТ", true)); // nothing before the first record
}

TEST(TableEditor, SearchSeesPostedEditsAndOtherProgramsChanges)
{
    // The searched texts are kept between searches: an edit posted here (longer or
    // shorter than the text it replaces, or a number) and a change another program
    // writes are found by the next search, the replaced texts no longer.
    dxtest::TempDir dir;
    const std::string path = smallTable(dir);
    Database db, otherDb;
    TableEditor ed(db), other(otherDb);
    ed.open(path);
    other.open(path);
    using Cell = TableEditor::Cell;
    ASSERT_TRUE(ed.searchAll(Cell{0, 0}, "частна"));
    ASSERT_FALSE(ed.searchAll(Cell{0, 0}, "общинска"));
    ASSERT_FALSE(ed.searchAll(Cell{0, 0}, "7.75"));

    EXPECT_FALSE(ed.setText(2, 3, "Общинска")); // longer than "частна"
    EXPECT_FALSE(ed.setText(0, 3, "X"));             // shorter than "ДГТ"
    EXPECT_FALSE(ed.setText(5, 2, "7,75"));
    EXPECT_FALSE(ed.searchAll(Cell{0, 0}, "частна"));
    auto c = ed.searchAll(Cell{0, 0}, "ОБЩИНСКА");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 2u);
    EXPECT_EQ(c->column, 3u);
    c = ed.searchAll(Cell{0, 0}, "7.75");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 5u);
    EXPECT_EQ(c->column, 2u);
    // The texts after the edited ones still sit where they are: row 3's "ДГТ" is the
    // first after row 0 in its column, row 4's follows.
    c = ed.searchColumn(Cell{3, 0}, "дгт", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 1u);
    c = ed.searchColumn(*c, "дгт", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 3u);
    EXPECT_FALSE(ed.searchRow(Cell{0, 0}, "дгт"));

    // Another program's write shows in the next search once this editor reads again.
    EXPECT_FALSE(other.setText(4, 3, "Смесена"));
    EXPECT_FALSE(ed.setText(1, 1, "г"));
    c = ed.searchAll(Cell{0, 0}, "смесена");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 4u);
    c = ed.searchColumn(Cell{3, 0}, "дгт", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 1u);
    c = ed.searchColumn(*c, "дгт", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 3u);
    EXPECT_FALSE(ed.searchColumn(*c, "дгт", false));
}

TEST(TableEditor, SearchAfterEditsKeptInTheEncryptedTableFindsTheNewTexts)
{
    // A Paradox table keeps its snapshot through a posted edit (nothing is read again):
    // the searched texts follow each edited record, whether its text grew or shrank, and
    // the records after it are still found where they are.
    dxtest::TempDir dir;
    const std::string d = cliDemo(dir);
    Database db;
    db.addPassword(dataPassword());
    TableEditor ed(db);
    ed.open(d + "/database/BANSKO.DB");
    const size_t nzn2 = size_t(ed.fieldIndex("NZN2"));
    using Cell = TableEditor::Cell;
    ASSERT_FALSE(ed.searchAll(Cell{0, 0}, "жжж"));
    const QString later = ed.text(40, nzn2);
    ASSERT_FALSE(ed.setText(5, nzn2, "жжж"));
    ASSERT_FALSE(ed.setText(8, nzn2, "ю"));
    ASSERT_FALSE(ed.setText(20, nzn2, "ЮЮЮЮЮЮЮЮЮЮ"));
    auto c = ed.searchColumn(Cell{nzn2, 0}, "ЖЖЖ", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 5u);
    c = ed.searchAll(Cell{0, 0}, "жжж");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 5u);
    EXPECT_EQ(c->column, nzn2);
    c = ed.searchColumn(Cell{nzn2, 5}, "Ю", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 8u);
    c = ed.searchColumn(*c, "ююююююююю", false);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 20u);
    if (!later.isEmpty()) {
        c = ed.searchColumn(Cell{nzn2, 39}, later, false);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->row, 40u);
    }
}

TEST(Archive, CopiesWholeBlocksAndTheLastPartialOneWithItsProgress)
{
    dxtest::TempDir dir;
    EXPECT_EQ(archivePath("/a/database/X.DB"), "/a/database/X.drbackup");
    EXPECT_EQ(archivePath("x.dbf"), "x.ddrbackup");
    std::string bytes(5 * 1024 + 100, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7);
    io::writeFileAtomic(dir.file("a.bin"), bytes);
    std::vector<qint64> seen;
    qint64 end = -1;
    copyInBlocks(qs(dir.file("a.bin")), qs(dir.file("b.bin")), [&](qint64 done, qint64 total) {
        seen.push_back(done);
        end = total;
    });
    EXPECT_EQ(end, 5);
    EXPECT_EQ(seen, (std::vector<qint64>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(io::readFile(dir.file("b.bin")), bytes);
    EXPECT_THROW(copyInBlocks(qs(dir.file("none")), qs(dir.file("c.bin")), {}), ArchiveError);
    EXPECT_FALSE(io::exists(dir.file("c.bin")));
}

TEST(Archive, RestoreBringsBackTheArchivedTableAndRefusesAnotherLayout)
{
    dxtest::TempDir dir;
    const std::string path = smallTable(dir);
    const QString table = qs(path);
    EXPECT_THROW(restoreTable(table), ArchiveError); // no archive yet
    archiveTable(table);
    const std::string archived = io::readFile(path);
    EXPECT_EQ(io::readFile(ss(archivePath(table))), archived);

    Database db;
    TableEditor ed(db);
    ed.open(path);
    EXPECT_FALSE(ed.setText(0, 3, "частна"));
    EXPECT_NE(io::readFile(path), archived);
    restoreTable(table);
    EXPECT_EQ(io::readFile(path), archived);
    ed.reload();
    EXPECT_EQ(ed.text(0, 3), "ДГТ");

    // An archive of another table's fields: refused with a message, the table kept.
    dbf::create(ss(archivePath(table)), {makeField("OTD", FieldType::Integer, 4)},
                {{Value::fromInt(1)}});
    EXPECT_NO_THROW(ed.setText(0, 3, "частна"));
    const std::string current = io::readFile(path);
    try {
        restoreTable(table);
        FAIL();
    } catch (const ArchiveError &e) {
        EXPECT_TRUE(e.message().contains("други полета")) << e.what();
    }
    EXPECT_EQ(io::readFile(path), current);
}

TEST(LandAreaTest, ReportsMissingDoubledAndEmptyLandAreas)
{
    dxtest::TempDir dir;
    AppState st;
    st.programDir = qs(dir.path());
    st.projectTablePath = qs(smallTable(dir, "p.db.dbf"));
    const std::string zem = dir.file("z.dbf");
    dbf::create(zem, {makeField("NOMER", FieldType::Integer, 3), makeField("ZEMNAME", FieldType::Text, 254)},
                {{Value::fromInt(1), Value::fromText("Баня")},
                 {Value::fromInt(7), Value::fromText("Добринище")},
                 {Value::fromInt(7), Value::fromText("Добринище 2")}});
    UserMessage fail;
    EXPECT_FALSE(testLandAreaNames(st, &fail)); // no land-area table open
    EXPECT_TRUE(fail.text.startsWith("Неможе да бъде отворена таблица"));
    st.landArea.setPath(zem);
    st.landArea.open();
    auto r = testLandAreaNames(st, &fail);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->problems, 3);
    EXPECT_EQ(r->lines.join("\n"), "Тест - Съответсвие имена на землища\n\n"
                                   "брой землища в лес.данни: 3\nброй землища в ном.файл: 3\n\n"
                                   "липсват данн за землище No.2\n"
                                   "има 2 за землище No.7\n        [!] Добринище\n        [!] Добринище 2\n\n"
                                   "Подотдели с невъведени землища\n        [-] 2:а\n        [-] 2:в");
    EXPECT_FALSE(st.landArea.filtered());
    EXPECT_EQ(st.landArea.recordCount(), 3u);
}

TEST(MaintenanceCli, InfoArchiveRestoreAndZemtestOnTheDemo)
{
    dxtest::TempDir dir;
    const std::string d = cliDemo(dir);
    auto info = dxtest::runCli("-C " + d + " info");
    ASSERT_EQ(info.status, 0);
    EXPECT_EQ(info.out.rfind("Статистика - ДГС Банско 2019г.\n\nОтдели:\t", 0), 0u) << info.out;
    auto sql = dxtest::runCli("-C " + d + " sql 'select count(*) N from \"database\\\\BANSKO.DB\"'");
    ASSERT_EQ(sql.status, 0);
    EXPECT_NE(info.out.find("Подотдели:\t" + sql.out.substr(2, sql.out.size() - 3) + "\n"), std::string::npos)
        << info.out << sql.out;

    const std::string table = d + "/database/BANSKO.DB";
    const std::string before = io::readFile(table);
    EXPECT_EQ(dxtest::runCli("-C " + d + " restore").status, 1); // no archive yet
    auto arch = dxtest::runCli("-C " + d + " archive");
    ASSERT_EQ(arch.status, 0);
    EXPECT_EQ(io::readFile(d + "/database/BANSKO.drbackup"), before);

    // An edit, seen by dendrix-cli sql in another process; a restore takes it back.
    Database db;
    db.addPassword(dataPassword());
    TableEditor ed(db);
    ed.open(table);
    const int podotd = ed.fields().size() > 1 ? 1 : 0;
    const QString otd = ed.text(0, 0);
    const int nzn2 = db.table(table)->fieldIndex("NZN2");
    ASSERT_GE(nzn2, 0);
    EXPECT_FALSE(ed.setText(0, size_t(nzn2), "проба"));
    const std::string where = "where OTD=" + ss(otd) + " and PODOTD=\"" + ss(ed.text(0, podotd)) + "\"";
    auto seen = dxtest::runCli("-C " + d + " sql 'select NZN2 from \"database\\\\BANSKO.DB\" " + where + "'");
    EXPECT_EQ(seen.out, "NZN2\nпроба\n");
    ASSERT_EQ(dxtest::runCli("-C " + d + " restore").status, 0);
    EXPECT_EQ(io::readFile(table), before);

    auto zt = dxtest::runCli("-C " + d + " zemtest");
    EXPECT_TRUE(zt.status == 0 || zt.status == 1);
    EXPECT_FALSE(zt.out.empty());
    if (zt.status == 1) EXPECT_EQ(zt.out.rfind("Тест - Съответсвие имена на землища\n", 0), 0u) << zt.out;
    else EXPECT_EQ(zt.out, "Данните са коректни!\n");
}
