#include "TestUtil.h"

#include <cstdio>
#include <cstdlib>
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
    return runShell(cmd);
}

std::string dbfreadTsv(const std::string &path)
{
    // The system's python first: a python of the user's own may lack the Debian module.
    std::string python;
    for (const char *py : {"/usr/bin/python3", "python3"}) {
        if (std::system((std::string(py) + " -c 'import dbfread' >/dev/null 2>&1").c_str()) == 0) {
            python = py;
            break;
        }
    }
    if (python.empty()) return {};
    const std::string script =
        (std::filesystem::path(DX_TESTS_DIR) / "scripts" / "check_dbf_with_dbfread.py").string();
    return runShell(python + " '" + script + "' '" + path + "' 2>&1").out;
}

CliRun runShell(const std::string &cmd)
{
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
