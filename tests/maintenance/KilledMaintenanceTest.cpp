// A program killed (SIGKILL) in the middle of the database editor's post, of an archive
// and of a restore, at many points: afterwards the table and the archive are each
// either wholly old or wholly new, and the installation starts.
#include "core/DataPassword.h"
#include "core/QtText.h"
#include "demo/DemoData.h"
#include "engine/common/FileIO.h"
#include "engine/common/Journal.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "maintenance/Archive.h"
#include "shell/Startup.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>
#include <thread>

using namespace dx;

namespace {

constexpr int kKills = 15;

TableFilePtr readTable(const std::string &path)
{
    OpenOptions o;
    o.knownPasswords = {dataPassword()};
    const bool paradox = path.size() > 3 && (path.substr(path.size() - 3) == ".DB" || path.substr(path.size() - 3) == ".db");
    return paradox ? px::read(path, o) : dbf::read(path, o);
}

std::vector<std::string> rowTexts(const TableFilePtr &t)
{
    std::vector<std::string> out;
    for (size_t r = 0; r < t->rowCount(); ++r) {
        std::string line;
        for (const Value &v : t->row(r)) line += v.toText() + '\t';
        out.push_back(line);
    }
    return out;
}

std::string demo(const dxtest::TempDir &dir, int records)
{
    DemoOptions o;
    o.records = records;
    createDemoInstallation(dir.file("d"), o);
    return dir.file("d");
}

void startsWhole(const std::string &programDir)
{
    AppState st;
    st.programDir = qs(programDir);
    const StartupOutcome out = loadQuietly(st);
    EXPECT_FALSE(out.endRequested);
    EXPECT_FALSE(out.stopped);
    EXPECT_FALSE(out.damaged);
}

} // namespace

TEST(KilledMaintenance, AnEditorPostIsWhollyInTheTableOrNotAtAll)
{
    dxtest::TempDir dir;
    const std::string d = demo(dir, 300);
    std::mt19937 random(11);
    for (const char *name : {"/database/BANSKO.DB", "/database/elena.dbf"}) {
        const std::string path = d + name;
        const TableFilePtr first = readTable(path);
        const size_t field = size_t(first->fieldIndex("NZN2"));
        const size_t row = 5;
        const std::vector<std::string> before = rowTexts(first);
        std::set<std::string> allowed = {first->value(row, field).toText()};
        for (int i = 0; i < 10; ++i) allowed.insert("e" + std::to_string(i));
        for (int k = 0; k < kKills; ++k) {
            dxtest::startAndKill(DX_RACE_WRITER, {"editor", path, std::to_string(row), std::to_string(field), "100000"},
                         std::uniform_int_distribution<int>(20, 120)(random));
            platform::recoverInterruptedChange(path); // what the next program to open it does
            const TableFilePtr t = readTable(path);
            ASSERT_TRUE(t->damage().empty()) << name;
            const std::vector<std::string> now = rowTexts(t);
            ASSERT_EQ(now.size(), before.size()) << name;
            for (size_t r = 0; r < now.size(); ++r)
                if (r != row) {
                    ASSERT_EQ(now[r], before[r]) << name << " row " << r;
                }
            EXPECT_TRUE(allowed.count(t->value(row, field).toText())) << t->value(row, field).toText();
        }
    }
    startsWhole(d);
}

TEST(KilledMaintenance, ArchiveAndRestoreLeaveEachFileWhollyOldOrWhollyNew)
{
    dxtest::TempDir dir;
    const std::string d = demo(dir, 2000);
    const std::string table = d + "/database/BANSKO.DB";
    const std::string archive = ss(archivePath(qs(table)));
    const std::string tableBytes = io::readFile(table);
    // An older archive: the table with one byte of its last block changed.
    std::string older = tableBytes;
    older[older.size() - 1] = char(older.back() ^ 0x55);
    std::mt19937 random(5);
    for (int k = 0; k < kKills; ++k) {
        io::writeFileAtomic(archive, older);
        dxtest::startAndKill(DX_RACE_WRITER, {"archive", table, "1000"}, std::uniform_int_distribution<int>(1, 60)(random));
        const std::string now = io::readFile(archive);
        ASSERT_TRUE(now == older || now == tableBytes) << "kill " << k;
        ASSERT_EQ(io::readFile(table), tableBytes);
    }
    // Restore: the archive holds the table, the table an edited state.
    io::writeFileAtomic(archive, tableBytes);
    for (int k = 0; k < kKills; ++k) {
        io::writeFileAtomic(table, older);
        dxtest::startAndKill(DX_RACE_WRITER, {"restore", table, "1000"}, std::uniform_int_distribution<int>(1, 60)(random));
        const std::string now = io::readFile(table);
        ASSERT_TRUE(now == older || now == tableBytes) << "kill " << k;
        ASSERT_EQ(io::readFile(archive), tableBytes);
    }
    io::writeFileAtomic(table, tableBytes);
    startsWhole(d);
}
