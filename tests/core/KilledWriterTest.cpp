// A writer killed (SIGKILL) at a random moment of its work: appending to a dBase table,
// editing an encrypted Paradox table, saving keys of a settings file. After every kill
// the file must read whole, holding only complete changes: the old state or the new.
#include "core/ProfileFile.h"
#include "engine/common/EngineError.h"
#include "engine/common/Journal.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <random>
#include <thread>

using namespace dx;
using dxtest::TempDir;

namespace {

constexpr int kKills = 60; // a file kind

// Temporary files that killed writers left in the folder (the next writer removes them).
int leftovers(const TempDir &dir)
{
    int n = 0;
    for (const auto &e : std::filesystem::directory_iterator(dir.path()))
        n += e.path().filename().string().find(".tmp") != std::string::npos;
    return n;
}

} // namespace

TEST(KilledWriter, ADbaseTableKeepsWholeAppendsOnly)
{
    TempDir dir;
    const std::string path = dir.file("mervs.dbf");
    dbf::create(path, {makeField("TAG", FieldType::Text, 4), makeField("I", FieldType::Integer, 5)});
    std::mt19937 random(7);
    int killed = 0;
    for (int k = 0; k < kKills; ++k) {
        const std::string tag = "k" + std::to_string(k);
        killed += dxtest::startAndKill(DX_RACE_WRITER, {"append", path, "100000", tag, std::to_string(k)},
                               std::uniform_int_distribution<int>(40, 90)(random));
        auto t = dbf::read(path); // throws on a damaged table
        // Each run's rows are numbered 1, 2, 3, ... with nothing missing or mixed.
        std::map<std::string, int64_t> last;
        for (size_t r = 0; r < t->rowCount(); ++r) {
            const std::string tg = t->value(r, 0).toText();
            ASSERT_EQ(t->value(r, 1).toInt(), last[tg] + 1) << "row " << r << " of " << tg;
            last[tg] = t->value(r, 1).toInt();
        }
    }
    EXPECT_GT(killed, kKills / 2);
    std::printf("%d kills, %zu rows appended, %d temporary files left\n", killed, dbf::read(path)->rowCount(),
                leftovers(dir));
}

TEST(KilledWriter, AnEncryptedParadoxTableIsAlwaysOldOrNew)
{
    TempDir dir;
    const std::string path = dir.file("PROJ.DB");
    std::vector<Row> rows;
    for (int id = 1; id <= 60; ++id) rows.push_back({Value::fromInt(id), Value::fromText("orig-" + std::to_string(id))});
    px::CreateOptions o;
    o.password = "race";
    o.blockSizeKb = 1;
    px::create(path, {makeField("ID", FieldType::Integer, 6), makeField("V", FieldType::Text, 20)}, rows, o);
    OpenOptions oo;
    oo.knownPasswords = {"race"};
    std::mt19937 random(11);
    int killed = 0, journals = 0;
    for (int k = 0; k < kKills; ++k) {
        killed += dxtest::startAndKill(DX_RACE_WRITER, {"edit", path, "1", "60", "k" + std::to_string(k), std::to_string(k)},
                               std::uniform_int_distribution<int>(40, 90)(random));
        journals += std::filesystem::exists(platform::journalPathFor(path));
        auto t = px::read(path, oo); // settles a journal the kill left
        ASSERT_EQ(t->rowCount(), 60u);
        for (size_t r = 0; r < 60; ++r) {
            const std::string id = std::to_string(t->value(r, 0).toInt());
            const std::string v = t->value(r, 1).toText();
            ASSERT_EQ(id, std::to_string(r + 1));
            ASSERT_TRUE(v == "orig-" + id || (v.rfind("k", 0) == 0 && v.size() > id.size() &&
                                              v.compare(v.size() - id.size() - 1, std::string::npos, "-" + id) == 0))
                << v;
        }
    }
    EXPECT_GT(killed, kKills / 2);
    std::printf("%d kills, %d journals settled, %d temporary files left\n", killed, journals, leftovers(dir));
}

TEST(KilledWriter, AParadoxTableWhoseBlocksFillAndEmptyStaysWhole)
{
    // Appends that open new blocks and removes that empty and unlink them, killed at
    // random: the chain and the header must always agree, and every row be whole.
    TempDir dir;
    const std::string path = dir.file("CHURN.DB");
    std::vector<Row> rows;
    for (int id = 1; id <= 100; ++id) rows.push_back({Value::fromInt(id), Value::fromText("orig-" + std::to_string(id))});
    px::CreateOptions o;
    o.password = "race";
    o.blockSizeKb = 1;
    px::create(path, {makeField("ID", FieldType::Integer, 8), makeField("V", FieldType::Text, 20)}, rows, o);
    OpenOptions oo;
    oo.knownPasswords = {"race"};
    std::mt19937 random(17);
    int killed = 0, journals = 0;
    for (int k = 1; k <= kKills / 2; ++k) {
        killed += dxtest::startAndKill(DX_RACE_WRITER, {"churn", path, "100000", "k" + std::to_string(k), std::to_string(k)},
                               std::uniform_int_distribution<int>(40, 120)(random));
        journals += std::filesystem::exists(platform::journalPathFor(path));
        auto t = px::read(path, oo);
        ASSERT_TRUE(t->damage().empty()) << t->damage().front();
        ASSERT_GE(t->rowCount(), 99u);
        std::set<int64_t> ids;
        for (size_t r = 0; r < t->rowCount(); ++r) {
            const int64_t id = t->value(r, 0).toInt();
            const std::string v = t->value(r, 1).toText();
            ASSERT_TRUE(ids.insert(id).second) << "ID " << id << " twice";
            const std::string suffix = "-" + std::to_string(id);
            ASSERT_TRUE(v.size() > suffix.size() && v.compare(v.size() - suffix.size(), suffix.size(), suffix) == 0)
                << "row " << r << ": " << id << " " << v;
        }
    }
    EXPECT_GT(killed, kKills / 4);
    std::printf("%d kills, %d journals settled, %zu rows\n", killed, journals, px::read(path, oo)->rowCount());
}

TEST(KilledWriter, ASettingsFileKeepsEverySavedKey)
{
    TempDir dir;
    const std::string path = dir.file("Dendrix.ini");
    std::ofstream(path, std::ios::binary) << "[Dendrix]\r\nPath=C:\\DENDRIX\r\nYear=2004\r\n";
    std::mt19937 random(13);
    int killed = 0;
    for (int k = 0; k < kKills; ++k) {
        const std::string prefix = "k" + std::to_string(k) + "_";
        killed += dxtest::startAndKill(DX_RACE_WRITER, {"profile", path, prefix, "100000", std::to_string(k)},
                               std::uniform_int_distribution<int>(40, 90)(random));
        ProfileFile p = ProfileFile::load(QString::fromStdString(path));
        ASSERT_EQ(p.readString("Dendrix", "Path"), "C:\\DENDRIX");
        ASSERT_EQ(p.readString("Dendrix", "Year"), "2004");
        // The keys of one run were saved in order: 1..n, each with its own number.
        int n = 0;
        while (p.hasKey("Race", QString::fromStdString(prefix) + QString::number(n + 1))) ++n;
        for (int i = 1; i <= n; ++i)
            ASSERT_EQ(p.readString("Race", QString::fromStdString(prefix) + QString::number(i)), QString::number(i));
        ASSERT_FALSE(p.hasKey("Race", QString::fromStdString(prefix) + QString::number(n + 2)));
    }
    EXPECT_GT(killed, kKills / 2);
    std::printf("%d kills, %lld keys saved, %d temporary files left\n", killed,
                (long long)ProfileFile::load(QString::fromStdString(path)).keys("Race").size(), leftovers(dir));
}
