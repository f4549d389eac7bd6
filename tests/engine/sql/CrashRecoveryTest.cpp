// A program that dies in the middle of a change (at each write and flush in turn): the
// next program to open the table finds the journal, puts the table right and goes on,
// and the table then holds exactly its old rows or exactly its new ones.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Journal.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

using namespace dx;
namespace faults = dx::platform::faults;

namespace {

OpenOptions withPassword()
{
    OpenOptions o;
    o.knownPasswords = {"pw"};
    return o;
}

// 1 KB Paradox blocks with 16-byte records hold 63 rows each.
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
    o.blockSizeKb = 1;
    px::create(path, fields, data, o);
}

TableFilePtr readTable(const std::string &path)
{
    return path.back() == 'f' ? dbf::read(path) : px::read(path, withPassword());
}

std::string dump(const std::string &path)
{
    auto t = readTable(path);
    EXPECT_TRUE(t->damage().empty()) << path << ": " << (t->damage().empty() ? "" : t->damage().front());
    std::string out;
    for (size_t r = 0; r < t->rowCount(); ++r) out += t->value(r, 0).toText() + "=" + t->value(r, 1).toText() + "\n";
    return out;
}

std::unique_ptr<TableWriter> writer(const std::string &path)
{
    return path.back() == 'f' ? dbf::openWriter(path) : px::openWriter(path, withPassword());
}

struct Case {
    const char *name;
    int rows;
    std::function<void(TableWriter &)> change;
};

const std::vector<Case> &cases()
{
    static const std::vector<Case> all{
        {"edit", 20, [](TableWriter &w) { w.update(7, {Value::fromInt(8), Value::fromText("правка")}); }},
        // The last block is full: the new row needs a new block linked behind it.
        {"append into a new block", 63, [](TableWriter &w) { w.append({Value::fromInt(64), Value::fromText("нов")}); }},
        // The second block holds one row: it is emptied and taken out of the chain.
        {"remove emptying a block", 64, [](TableWriter &w) { w.remove(63); }},
        {"remove from the middle", 64, [](TableWriter &w) { w.remove(3); }},
    };
    return all;
}

// Runs the change in a child process that dies at the n-th call of `op`; true when it
// died there (false: the change made fewer such calls and finished).
bool crashAt(const std::string &path, const Case &c, faults::Op op, int nth)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        faults::arm(op, nth, faults::kCrash);
        try {
            auto w = writer(path);
            c.change(*w);
        } catch (...) {
            std::_Exit(3);
        }
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 3) << "the change failed instead of dying";
    return WEXITSTATUS(status) == 86;
}

} // namespace

TEST(CrashRecovery, ADeathAtAnyWriteOrFlushLeavesTheOldOrTheNewTable)
{
    std::map<std::string, int> outcomes; // "old" / "new", over every case and point
    int deaths = 0, journalsLeft = 0;
    for (const char *name : {"t.dbf", "T.DB"}) {
        for (const Case &c : cases()) {
            // Before and after, from a change that is allowed to finish.
            dxtest::TempDir reference;
            const std::string ref = reference.file(name);
            makeTable(ref, c.rows);
            const std::string before = dump(ref);
            c.change(*writer(ref));
            const std::string after = dump(ref);
            ASSERT_NE(before, after) << c.name;

            for (auto op : {faults::Op::Write, faults::Op::Sync}) {
                for (int nth = 1; nth <= 6; ++nth) {
                    SCOPED_TRACE(std::string(name) + ", " + c.name + ", dies at " +
                                 (op == faults::Op::Write ? "write #" : "flush #") + std::to_string(nth));
                    dxtest::TempDir dir;
                    const std::string path = dir.file(name);
                    makeTable(path, c.rows);
                    if (!crashAt(path, c, op, nth)) continue;
                    ++deaths;
                    const bool journal = io::exists(platform::journalPathFor(path));
                    journalsLeft += journal;
                    const std::string now = dump(path); // settles the journal
                    EXPECT_FALSE(io::exists(platform::journalPathFor(path)));
                    ASSERT_TRUE(now == before || now == after) << now;
                    ++outcomes[now == before ? "old" : "new"];
                    // The table takes changes again.
                    writer(path)->update(0, {Value::fromInt(1), Value::fromText("потом")});
                    EXPECT_NE(dump(path).find("1=потом\n"), std::string::npos);
                }
            }
        }
    }
    std::printf("%d deaths, %d journals settled, %d old, %d new\n", deaths, journalsLeft, outcomes["old"],
                outcomes["new"]);
    EXPECT_GT(outcomes["old"], 0);
    EXPECT_GT(outcomes["new"], 0);
    EXPECT_GT(journalsLeft, deaths / 2);
}

TEST(CrashRecovery, AJournalCutShortIsDroppedAndAForeignOneIsNeverReplayed)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("t.dbf");
    makeTable(path, 5);
    const std::string before = io::readFile(path);
    const std::string journal = platform::journalPathFor(path);

    // Half a journal: the change never began, so the table is left alone.
    io::writeFileAtomic(journal, std::string("DXJRNL1\n\x10\x00\x00", 11));
    EXPECT_EQ(platform::recoverInterruptedChange(path), platform::Recovery::Unstarted);
    EXPECT_FALSE(io::exists(journal));
    EXPECT_EQ(io::readFile(path), before);

    // Garbage of the right length: its checksum does not match.
    io::writeFileAtomic(journal, std::string(200, 'x'));
    EXPECT_EQ(platform::recoverInterruptedChange(path), platform::Recovery::Unstarted);
    EXPECT_EQ(io::readFile(path), before);
    EXPECT_EQ(platform::recoverInterruptedChange(path), platform::Recovery::None);

    // A failed flush of the table puts its old bytes back and removes the journal.
    {
        platform::WritableFile f(path);
        platform::InPlaceChange c(f, path);
        c.put(40, "zz");
        faults::arm(faults::Op::Sync, 3, EIO);
        EXPECT_THROW(c.commit(), EngineError);
        faults::disarm();
    }
    EXPECT_EQ(io::readFile(path), before);
    EXPECT_FALSE(io::exists(journal));

    // A table created anew drops the journal of a change to the old one, which would
    // otherwise be "undone" into the new file.
    makeTable(path, 20);
    ASSERT_TRUE(crashAt(path, cases()[0], faults::Op::Write, 2));
    ASSERT_TRUE(io::exists(journal));
    makeTable(path, 3);
    EXPECT_FALSE(io::exists(journal));
    EXPECT_EQ(dump(path), "1=ред 1\n2=ред 2\n3=ред 3\n");
}
