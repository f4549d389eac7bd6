// dendrix-cli demo: argument checking, a small run, and an installation already there
// (refused unless --force, and then replaced whole).
#include "demo/DemoData.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

int runCli(const std::string &args)
{
    std::string cmd = std::string(DX_CLI_PATH) + " demo " + args + " >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DemoCli, BadArgumentsExitWithTwoAndCreateNothing)
{
    dxtest::TempDir d;
    std::string target = d.file("inst");
    EXPECT_EQ(runCli(""), 2);
    EXPECT_EQ(runCli(target + " --records"), 2);
    EXPECT_EQ(runCli(target + " --records abc"), 2);
    EXPECT_EQ(runCli(target + " --records 12x"), 2);
    EXPECT_EQ(runCli(target + " --records 5"), 2);
    EXPECT_EQ(runCli(target + " --seed -1"), 2);
    EXPECT_EQ(runCli(target + " --seed 4294967296"), 2);
    EXPECT_EQ(runCli(target + " --colour blue"), 2);
    EXPECT_EQ(runCli(target + " " + d.file("other")), 2);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(DemoCli, CreatesTheInstallation)
{
    dxtest::TempDir d;
    std::string target = d.file("inst");
    ASSERT_EQ(runCli(target + " --records 80 --seed 4294967295"), 0);
    for (const char *f : {"names.dbf", "kloni.dbf", "bon.dbf", "Dendrix.ini", "project.conf", "database/BANSKO.DB",
                          "database/BELOVO.DB", "database/elena.dbf"})
        EXPECT_TRUE(std::filesystem::is_regular_file(target + "/" + f)) << f;
}

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every name under `dir` (relative), sorted: what a refused run must leave as it was.
std::string listing(const std::string &dir)
{
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::recursive_directory_iterator(dir))
        names.push_back(std::filesystem::relative(e.path(), dir).string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto &n : names) out += n + "\n";
    return out;
}

TEST(DemoCli, RecordsBeyondWhatTheProjectTableHoldsAreRefusedBeforeWriting)
{
    dxtest::TempDir d;
    std::string target = d.file("inst");
    // 65535 blocks of 16 KB, seven records of about 2.2 KB each: the most the Paradox
    // project table holds.
    EXPECT_EQ(dx::maxDemoRecords(), 65535 * 7);
    EXPECT_EQ(runCli(target + " --records 458746"), 2);
    EXPECT_EQ(runCli(target + " --records 1000000"), 2);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(std::filesystem::is_empty(d.path())); // no half-built folder beside it either
    EXPECT_THROW(dx::createDemoInstallation(target, {458746, 1}), std::exception);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(DemoCli, AnInstallationOrOtherFilesAreKeptUnlessForced)
{
    dxtest::TempDir d;
    std::string target = d.file("inst");
    ASSERT_EQ(runCli(target + " --records 60 --seed 1"), 0);
    const std::string ini = slurp(target + "/Dendrix.ini"), table = slurp(target + "/database/BANSKO.DB");
    std::ofstream(target + "/mine.txt") << "the user's own file";
    const std::string before = listing(target);

    EXPECT_EQ(runCli(target + " --records 80 --seed 2"), 1);
    EXPECT_EQ(slurp(target + "/Dendrix.ini"), ini);
    EXPECT_EQ(slurp(target + "/database/BANSKO.DB"), table);
    EXPECT_EQ(listing(target), before);

    // Any one mark of an installation is enough, in any letter case.
    for (const char *mark : {"NAMES.DBF", "dendrix.INI", "Database"}) {
        SCOPED_TRACE(mark);
        dxtest::TempDir other;
        const std::string there = other.file("x");
        std::filesystem::create_directory(there);
        if (std::string(mark) == "Database") std::filesystem::create_directory(there + "/" + mark);
        else std::ofstream(there + "/" + mark) << "keep";
        EXPECT_EQ(runCli(there + " --records 60"), 1);
        EXPECT_EQ(listing(there), std::string(mark) + "\n");
    }
    // A folder with other files is no place for a new installation either.
    dxtest::TempDir busy;
    std::ofstream(busy.file("notes.txt")) << "x";
    EXPECT_EQ(runCli(busy.path() + " --records 60"), 1);
    EXPECT_EQ(listing(busy.path()), "notes.txt\n");

    // --force replaces the folder's contents whole: nothing of the old one stays.
    ASSERT_EQ(runCli(target + " --records 80 --seed 2 --force"), 0);
    EXPECT_FALSE(std::filesystem::exists(target + "/mine.txt"));
    EXPECT_NE(slurp(target + "/database/BANSKO.DB"), table);
    EXPECT_EQ(listing(d.path()), "inst\n" + [&] {
        std::string l;
        std::istringstream in(listing(target));
        for (std::string n; std::getline(in, n);) l += "inst/" + n + "\n";
        return l;
    }()); // and no temporary folder is left beside it
}


// Every file under `dir` with its bytes: two installations are the same when this is.
std::string contents(const std::string &dir)
{
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::recursive_directory_iterator(dir))
        if (e.is_regular_file()) names.push_back(std::filesystem::relative(e.path(), dir).string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto &n : names) out += n + "\n" + slurp(dir + "/" + n) + "\n";
    return out;
}

TEST(DemoCli, AKilledBuildLeavesTheOldInstallationOrTheNewOneWhole)
{
    dxtest::TempDir d;
    const std::string target = d.file("inst"), reference = d.file("ref");
    ASSERT_EQ(runCli(reference + " --records 4000 --seed 2"), 0);
    const std::string fresh = contents(reference);
    std::filesystem::remove_all(reference);
    ASSERT_EQ(runCli(target + " --records 4000 --seed 1"), 0);
    const std::string old = contents(target);
    ASSERT_NE(old, fresh);

    std::mt19937 random(5);
    int killed = 0, replaced = 0;
    for (int k = 0; k < 25; ++k) {
        killed += dxtest::startAndKill(DX_CLI_PATH, {"demo", target, "--records", "4000", "--seed", "2", "--force"},
                               std::uniform_int_distribution<int>(5, 400)(random));
        const std::string now = contents(target);
        ASSERT_TRUE(now == old || now == fresh) << "kill " << k << ", the folder holds:\n" << [&] {
            std::string l;
            for (const auto &e : std::filesystem::recursive_directory_iterator(target))
                l += e.path().string() + " " + (e.is_regular_file() ? std::to_string(e.file_size()) : "dir") + "\n";
            return l;
        }();
        if (now == fresh) {
            ++replaced;
            ASSERT_EQ(runCli(target + " --records 4000 --seed 1 --force"), 0); // the old one back
        }
    }
    // The next run clears what the killed ones left beside the folder.
    ASSERT_EQ(runCli(target + " --records 4000 --seed 1 --force"), 0);
    std::string beside;
    for (const auto &e : std::filesystem::directory_iterator(d.path())) beside += e.path().filename().string() + "\n";
    EXPECT_EQ(beside, "inst\n");
    std::printf("%d kills of a demo build, %d of them after the new installation was in place\n", killed, replaced);
    EXPECT_GT(killed, 10);
}

} // namespace
