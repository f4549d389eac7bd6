#include "TestUtil.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <sys/wait.h>

namespace dxtest {

TempDir::TempDir()
{
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto p = base / ("dxtest-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p.string();
            break;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

CliRun runCli(const std::string &args, const std::string &workDir)
{
    std::string cmd = std::string(DX_CLI_PATH) + " " + args + " 2>/dev/null";
    if (!workDir.empty()) cmd = "cd '" + workDir + "' && " + cmd;
    CliRun r;
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string realFixture(const std::string &relative)
{
    return std::string(DX_FIXTURES_REAL) + "/" + relative;
}

} // namespace dxtest
