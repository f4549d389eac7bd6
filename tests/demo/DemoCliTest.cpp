// dendrix-cli demo: argument checking and a small run.
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

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

} // namespace
