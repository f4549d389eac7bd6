// Crash-safe file replacement and the writers' file lock: links followed, permissions
// kept, every failing step reported with its own reason, the lock exclusive between
// processes and named when it cannot be had.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Platform.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using dx::EngineError;
using dxtest::TempDir;
namespace fs = std::filesystem;
namespace io = dx::io;
namespace faults = dx::platform::faults;

namespace {

std::vector<std::string> namesIn(const std::string &dir)
{
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::string &path)
{
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

} // namespace

TEST(SafeWrite, ReplacesTheFileAndLeavesNoTemporaryBehind)
{
    TempDir dir;
    const std::string f = dir.file("a.ini");
    io::writeFileAtomic(f, "one");
    io::writeFileAtomic(f, "second version");
    EXPECT_EQ(io::readFile(f), "second version");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.ini"});
}

TEST(SafeWrite, FollowsSymbolicLinksAndKeepsTheTargetsMode)
{
    TempDir dir;
    fs::create_directory(dir.file("shared"));
    const std::string target = dir.file("shared/BANSKO.DB");
    io::writeFileAtomic(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    // A relative link, and a link to that link.
    ASSERT_EQ(::symlink("shared/BANSKO.DB", dir.file("link.DB").c_str()), 0);
    ASSERT_EQ(::symlink("link.DB", dir.file("link2.DB").c_str()), 0);

    io::writeFileAtomic(dir.file("link2.DB"), "new through two links");

    EXPECT_TRUE(fs::is_symlink(dir.file("link.DB")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link2.DB")));
    EXPECT_EQ(io::readFile(target), "new through two links");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(namesIn(dir.file("shared")), std::vector<std::string>{"BANSKO.DB"});
}

TEST(SafeWrite, NewFilesFollowTheUmaskAndOldOnesKeepTheirMode)
{
    TempDir dir;
    const mode_t old = ::umask(027);
    io::writeFileAtomic(dir.file("new.txt"), "x");
    ::umask(old);
    // The mask is read once per process; whatever it was, mkstemp's 0600 must not leak.
    EXPECT_NE(modeOf(dir.file("new.txt")), 0600u);
    ASSERT_EQ(::chmod(dir.file("new.txt").c_str(), 0604), 0);
    io::writeFileAtomic(dir.file("new.txt"), "y");
    EXPECT_EQ(modeOf(dir.file("new.txt")), 0604u);
}

TEST(SafeWrite, EveryFailingStepGivesItsOwnReasonAndKeepsTheOldFile)
{
    struct Case {
        faults::Op op;
        int error;
        const char *step;
    };
    const Case cases[] = {
        {faults::Op::Write, ENOSPC, "writing the temporary file failed: No space left on device"},
        {faults::Op::Sync, EIO, "cannot flush the file to the disk: Input/output error"},
        {faults::Op::Close, EDQUOT, "closing the temporary file failed: Disk quota exceeded"},
        {faults::Op::Rename, EXDEV, "cannot replace the file: Invalid cross-device link"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.step);
        TempDir dir;
        const std::string f = dir.file("Dendrix.ini");
        io::writeFileAtomic(f, "before");
        faults::arm(c.op, 1, c.error);
        try {
            io::writeFileAtomic(f, "after");
            ADD_FAILURE() << "no error";
        } catch (const EngineError &e) {
            EXPECT_EQ(e.subject(), f);
            EXPECT_EQ(e.reason(), c.step);
        }
        faults::disarm();
        EXPECT_EQ(io::readFile(f), "before");
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Dendrix.ini"});
    }
}

TEST(SafeWrite, AFolderFlushFailureAfterTheRenameIsReported)
{
    TempDir dir;
    const std::string f = dir.file("t.dbf");
    faults::arm(faults::Op::Sync, 2, EIO); // the file's flush passes, the folder's fails
    try {
        io::writeFileAtomic(f, "data");
        ADD_FAILURE() << "no error";
    } catch (const EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("folder cannot be flushed to the disk: Input/output error"), std::string::npos)
            << e.what();
    }
    faults::disarm();
}

TEST(SafeWrite, RefusesAMissingFolderOrAFolderInPlaceOfTheFile)
{
    TempDir dir;
    try {
        io::writeFileAtomic(dir.file("none/x.ini"), "x");
        ADD_FAILURE() << "no error";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.reason(), "cannot create a temporary file beside it: No such file or directory");
    }
    fs::create_directory(dir.file("Tables"));
    EXPECT_THROW(io::writeFileAtomic(dir.file("Tables"), "x"), EngineError);
    EXPECT_TRUE(fs::is_directory(dir.file("Tables")));
}

// ---- the lock --------------------------------------------------------------------

TEST(FileLock, IsExclusiveBetweenProcessesAndNamesTheHolder)
{
    TempDir dir;
    const std::string f = dir.file("BANSKO.DB");
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        {
            dx::platform::FileLock lock(f);
            (void)!::write(ready[1], "r", 1);
            char c;
            (void)!::read(done[0], &c, 1);
        }
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    try {
        dx::platform::FileLock lock(f, std::chrono::milliseconds(200));
        ADD_FAILURE() << "the lock was had twice";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.subject(), f);
        EXPECT_NE(e.reason().find("another program is changing the file (process " + std::to_string(child) + ")"),
                  std::string::npos)
            << e.reason();
    }
    (void)!::write(done[1], "d", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    // Released with the process: now it is ours at once.
    dx::platform::FileLock lock(f, std::chrono::milliseconds(200));
    EXPECT_TRUE(fs::exists(f + ".lck"));
    for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}

TEST(FileLock, NestsInOneThreadAndMakesOtherThreadsWait)
{
    TempDir dir;
    const std::string f = dir.file("m.dbf");
    std::atomic<int> stage{0};
    std::thread other;
    {
        dx::platform::FileLock outer(f);
        {
            dx::platform::FileLock inner(dir.path() + "/../" + fs::path(dir.path()).filename().string() + "/m.dbf");
        }
        // The inner release must not have dropped the outer lock: a thread still waits.
        other = std::thread([&] {
            dx::platform::FileLock l(f);
            stage = 2;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(stage.load(), 0);
        stage = 1;
    }
    other.join();
    EXPECT_EQ(stage.load(), 2);
    // The last holder removes the lock file: none gathers beside the tables.
    EXPECT_FALSE(fs::exists(f + ".lck"));
}

TEST(FileLock, TheLockFileIsBesideALinksTarget)
{
    TempDir dir;
    io::writeFileAtomic(dir.file("real.dbf"), "x");
    ASSERT_EQ(::symlink("real.dbf", dir.file("alias.dbf").c_str()), 0);
    EXPECT_EQ(dx::platform::FileLock::lockPathFor(dir.file("alias.dbf")), dir.file("real.dbf") + ".lck");
}
