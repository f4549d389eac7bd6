// Several programs writing one table or settings file at once, as on a shared folder:
// real child processes (tests/helpers/RaceWriter.cpp) race through the same engine and
// profile code; every change that was reported done must be in the file afterwards,
// and an edit made on an old view of a table is refused instead of landing on another
// row.
#include "core/ProfileFile.h"
#include "engine/common/EngineError.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace dx;
using dxtest::TempDir;

namespace {

struct Finished {
    int status = -1;
    std::string out;
};

// Starts every command at once, each a race_writer process, and waits for all.
std::vector<Finished> runTogether(const TempDir &dir, const std::vector<std::vector<std::string>> &commands)
{
    std::vector<pid_t> pids;
    for (size_t i = 0; i < commands.size(); ++i) {
        std::string out = dir.file("out" + std::to_string(i) + ".txt");
        pid_t pid = ::fork();
        if (pid == 0) {
            int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 1);
            std::vector<char *> argv;
            argv.push_back(const_cast<char *>(DX_RACE_WRITER));
            for (const auto &a : commands[i]) argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(DX_RACE_WRITER, argv.data());
            ::_exit(127);
        }
        pids.push_back(pid);
    }
    std::vector<Finished> done(commands.size());
    for (size_t i = 0; i < pids.size(); ++i) {
        int status = 0;
        ::waitpid(pids[i], &status, 0);
        done[i].status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::ifstream in(dir.file("out" + std::to_string(i) + ".txt"));
        std::stringstream ss;
        ss << in.rdbuf();
        done[i].out = ss.str();
    }
    return done;
}

std::vector<FieldDef> editableFields()
{
    return {makeField("ID", FieldType::Integer, 6), makeField("V", FieldType::Text, 20)};
}

std::vector<Row> numberedRows(int n)
{
    std::vector<Row> rows;
    for (int id = 1; id <= n; ++id) rows.push_back({Value::fromInt(id), Value::fromText("orig-" + std::to_string(id))});
    return rows;
}

// ID -> V of every row.
std::map<int64_t, std::string> valuesById(const TableFile &t)
{
    std::map<int64_t, std::string> out;
    for (size_t r = 0; r < t.rowCount(); ++r) out[t.value(r, 0).toInt()] = t.value(r, 1).toText();
    return out;
}

} // namespace

TEST(ConcurrentWriters, FourProcessesAppendingToOneTableKeepEveryRow)
{
    // The first seed is the full case of four times 200 rows; the second a shorter race
    // in another interleaving (each append is flushed twice, which takes its time).
    for (int seed : {1, 2}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const int each = seed == 1 ? 200 : 50;
        TempDir dir;
        const std::string path = dir.file("mervs.dbf");
        dbf::create(path, {makeField("TAG", FieldType::Text, 4), makeField("I", FieldType::Integer, 5)});
        std::vector<std::vector<std::string>> cmds;
        for (int p = 1; p <= 4; ++p)
            cmds.push_back({"append", path, std::to_string(each), "p" + std::to_string(p), std::to_string(seed * 10 + p)});
        for (const auto &f : runTogether(dir, cmds)) EXPECT_EQ(f.status, 0) << f.out;

        auto t = dbf::read(path);
        ASSERT_EQ(t->rowCount(), size_t(4 * each));
        std::map<std::string, std::set<int64_t>> seen;
        for (size_t r = 0; r < t->rowCount(); ++r) seen[t->value(r, 0).toText()].insert(t->value(r, 1).toInt());
        ASSERT_EQ(seen.size(), 4u);
        for (const auto &[tag, numbers] : seen) {
            EXPECT_EQ(numbers.size(), size_t(each)) << tag;
            EXPECT_EQ(*numbers.begin(), 1) << tag;
            EXPECT_EQ(*numbers.rbegin(), each) << tag;
        }
    }
}

TEST(ConcurrentWriters, TwoProcessesWritingKeysOfOneSettingsFileKeepEveryKey)
{
    for (int seed : {1, 2, 3}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempDir dir;
        const std::string path = dir.file("Dendrix.ini");
        {
            std::ofstream(path, std::ios::binary) << "; settings\r\n[Dendrix]\r\nPath=C:\\DENDRIX\r\nYear=2004\r\n";
        }
        auto done = runTogether(dir, {{"profile", path, "a", "20", std::to_string(seed)},
                                      {"profile", path, "b", "20", std::to_string(seed + 100)}});
        for (const auto &f : done) EXPECT_EQ(f.status, 0) << f.out;

        ProfileFile p = ProfileFile::load(QString::fromStdString(path));
        EXPECT_EQ(p.readString("Dendrix", "Path"), "C:\\DENDRIX");
        EXPECT_EQ(p.readString("Dendrix", "Year"), "2004");
        EXPECT_EQ(p.keys("Race").size(), 40);
        for (int i = 1; i <= 20; ++i) {
            EXPECT_EQ(p.readString("Race", "a" + QString::number(i)), QString::number(i));
            EXPECT_EQ(p.readString("Race", "b" + QString::number(i)), QString::number(i));
        }
    }
}

TEST(ConcurrentWriters, TwoProcessesEditingOneEncryptedParadoxTableKeepEveryEdit)
{
    for (int seed : {1, 2, 3}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempDir dir;
        const std::string path = dir.file("PROJ.DB");
        px::CreateOptions o;
        o.password = "race";
        o.blockSizeKb = 1; // rows of both ranges share blocks
        px::create(path, editableFields(), numberedRows(60), o);
        // Interleaved ranges: both processes rewrite the first block.
        auto done = runTogether(dir, {{"edit", path, "1", "30", "a", std::to_string(seed)},
                                      {"edit", path, "20", "50", "b", std::to_string(seed + 100)}});
        for (const auto &f : done) EXPECT_EQ(f.status, 0) << f.out;

        OpenOptions oo;
        oo.knownPasswords = {"race"};
        auto values = valuesById(*px::read(path, oo));
        ASSERT_EQ(values.size(), 60u);
        for (int id = 1; id <= 60; ++id) {
            const std::string v = values[id];
            if (id < 20) EXPECT_EQ(v, "a-" + std::to_string(id));
            else if (id <= 30) EXPECT_TRUE(v == "a-" + std::to_string(id) || v == "b-" + std::to_string(id)) << id << v;
            else if (id <= 50) EXPECT_EQ(v, "b-" + std::to_string(id));
            else EXPECT_EQ(v, "orig-" + std::to_string(id));
        }
    }
}

// One program holds a row in its edit buffer while another changes the same row: the
// first one's post is refused, the other's change stays, and the first sees it.
TEST(ConcurrentWriters, AnEditOnAStaleViewIsRefusedAndLosesNothing)
{
    for (const char *name : {"proj.dbf", "PROJ.DB"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string path = dir.file(name);
        if (std::string(name).back() == 'f') dbf::create(path, editableFields(), numberedRows(12));
        else px::create(path, editableFields(), numberedRows(12));

        Database db(dir.path());
        Table t(db);
        t.setPath(path);
        t.open();
        t.setFilter("ID=5");
        t.setFiltered(true);
        t.edit();
        t.setValue("V", Value::fromText("mine"));

        auto done = runTogether(dir, {{"edit", path, "5", "5", "other", "1"}});
        ASSERT_EQ(done[0].status, 0) << done[0].out;
        EXPECT_THROW(t.post(), StaleRecordError);
        EXPECT_EQ(t.asText("V"), "other-5"); // read again after the refusal

        // A delete on a view that is stale by now is refused the same way.
        runTogether(dir, {{"edit", path, "5", "5", "third", "2"}});
        EXPECT_THROW(t.remove(), StaleRecordError);

        auto values = valuesById(*db.table(path));
        ASSERT_EQ(values.size(), 12u);
        EXPECT_EQ(values[5], "third-5");
        for (int id = 1; id <= 12; ++id) {
            if (id != 5) {
                EXPECT_EQ(values[id], "orig-" + std::to_string(id));
            }
        }
    }
}

// Another program deletes an earlier row: an edit made on the view from before lands
// on its own record (dBase records never move), not on the row that moved up into its
// place; in a Paradox block the records below a delete move up, so the edit there is
// refused instead.
TEST(ConcurrentWriters, ADeleteByAnotherProgramNeverRedirectsAnEdit)
{
    for (const char *name : {"proj.dbf", "PROJ.DB"}) {
        SCOPED_TRACE(name);
        const bool dbase = std::string(name).back() == 'f';
        TempDir dir;
        const std::string path = dir.file(name);
        if (dbase) dbf::create(path, editableFields(), numberedRows(4));
        else px::create(path, editableFields(), numberedRows(4));

        Database a(dir.path()), b(dir.path());
        Table ta(a), tb(b);
        ta.setPath(path);
        tb.setPath(path);
        ta.open();
        tb.open();
        ta.next();
        ta.next(); // row 3
        ta.edit();
        ta.setValue("V", Value::fromText("edited"));
        tb.remove(); // row 1, by the other program

        if (dbase) {
            ta.post();
            auto values = valuesById(*a.table(path));
            EXPECT_EQ(values, (std::map<int64_t, std::string>{{2, "orig-2"}, {3, "edited"}, {4, "orig-4"}}));
        } else {
            EXPECT_THROW(ta.post(), StaleRecordError);
            auto values = valuesById(*a.table(path));
            EXPECT_EQ(values, (std::map<int64_t, std::string>{{2, "orig-2"}, {3, "orig-3"}, {4, "orig-4"}}));
        }
    }
}


TEST(ConcurrentWriters, AWriterThatCannotGetTheLockNamesTheFileAndTheHolder)
{
    TempDir dir;
    const std::string path = dir.file("Dendrix.ini");
    std::ofstream(path, std::ios::binary) << "[Dendrix]\r\nYear=2004\r\n";
    {
        dxtest::HeldElsewhere holder(path, platform::LockKind::Exclusive);
        dxtest::ShortLockWait shortWait;
        try {
            writeProfileString(QString::fromStdString(path), "Dendrix", "Year", "2005");
            ADD_FAILURE() << "written while another program held the lock";
        } catch (const ProfileError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromStdString(path))) << e.what();
            EXPECT_TRUE(e.message().contains("process " + QString::number(holder.pid()))) << e.what();
        }
    }
    EXPECT_EQ(ProfileFile::load(QString::fromStdString(path)).readString("Dendrix", "Year"), "2004");
}

TEST(ConcurrentWriters, ReadersShareTheLockAndNeverReadWhileATableIsChanged)
{
    TempDir dir;
    const std::string path = dir.file("T.DB");
    px::CreateOptions o;
    o.password = "race";
    px::create(path, {makeField("ID", FieldType::Integer, 6)}, {{Value::fromInt(1)}}, o);
    OpenOptions oo;
    oo.knownPasswords = {"race"};
    dxtest::ShortLockWait shortWait;
    {
        // Another program reading: we read too, but a change waits and then gives up.
        dxtest::HeldElsewhere reader(path, platform::LockKind::Shared);
        EXPECT_EQ(px::read(path, oo)->rowCount(), 1u);
        try {
            px::openWriter(path, oo)->append({Value::fromInt(2)});
            ADD_FAILURE() << "changed while another program was reading it";
        } catch (const LockBusyError &e) {
            EXPECT_EQ(e.holder(), "process " + std::to_string(reader.pid()));
        }
    }
    {
        // Another program changing it: reading waits and then gives up, naming it.
        dxtest::HeldElsewhere writer(path, platform::LockKind::Exclusive);
        EXPECT_THROW(px::read(path, oo), LockBusyError);
        EXPECT_THROW(dbf::read(dir.file("none.dbf")), EngineError);
    }
    px::openWriter(path, oo)->append({Value::fromInt(2)});
    EXPECT_EQ(px::read(path, oo)->rowCount(), 2u);
    // The last reader out removes the lock file: none gathers beside the table.
    for (const auto &e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string(), "T.DB");
}

TEST(ConcurrentWriters, ProgramsStartingTogetherMakeAMissingTableOnceAndKeepEveryRow)
{
    for (int trial = 0; trial < 5; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        TempDir dir;
        const std::string path = dir.file("mervs.dbf");
        const std::vector<FieldDef> fields{makeField("TAG", FieldType::Text, 4)};
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        std::vector<pid_t> children;
        for (int c = 0; c < 6; ++c) {
            pid_t pid = ::fork();
            if (pid == 0) {
                ::close(go[1]);
                char ch;
                (void)!::read(go[0], &ch, 1); // all start at once
                try {
                    dbf::createIfMissing(path, fields);
                    dbf::openWriter(path)->append({Value::fromText("p" + std::to_string(c))});
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            children.push_back(pid);
        }
        ::close(go[0]);
        ::close(go[1]); // end of file: every child goes
        for (pid_t pid : children) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        auto t = dbf::read(path);
        std::set<std::string> tags;
        for (size_t r = 0; r < t->rowCount(); ++r) tags.insert(t->value(r, 0).toText());
        EXPECT_EQ(tags.size(), 6u);
        EXPECT_EQ(t->rowCount(), 6u);
    }
}
