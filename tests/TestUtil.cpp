#include <thread>
#include <chrono>
#include <unistd.h>
#include <csignal>
#include <fcntl.h>
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

bool startAndKill(const std::string &program, const std::vector<std::string> &args, int delayMs)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status);
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
    const std::string script = std::string(DX_TESTS_DIR) + "/scripts/check_dbf_with_dbfread.py";
    CliRun r = runShell(python + " '" + script + "' '" + path + "' 2>&1");
    if (r.status != 0) r.out += "\n[exit status " + std::to_string(r.status) + "]";
    return r.out;
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

namespace {

std::string unescape(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::string> splitTabs(const std::string &line)
{
    std::vector<std::string> parts(1);
    for (char c : line) {
        if (c == '\t') parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

bool endsWithNoCase(const std::string &s, const std::string &end)
{
    if (s.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - end.size() + i])) !=
            std::tolower(static_cast<unsigned char>(end[i])))
            return false;
    return true;
}

} // namespace

std::vector<ExpectedLine> expectedLines(const std::string &extension)
{
    std::ifstream in(realFixture("EXPECTED.tsv"));
    std::vector<ExpectedLine> out;
    std::string line;
    std::getline(in, line); // the titles
    while (std::getline(in, line)) {
        const std::vector<std::string> cols = splitTabs(line);
        if (cols.size() < 4) {
            ADD_FAILURE() << "EXPECTED.tsv: fewer than four columns in \"" << line << '"';
            continue;
        }
        if (!endsWithNoCase(cols[0], extension)) continue;
        ExpectedLine e;
        e.file = cols[0];
        e.check = cols[1];
        e.expected = unescape(cols[2]);
        e.source = cols[3];
        if (e.check.rfind("value:", 0) == 0) {
            const size_t colon = e.check.find(':', 6);
            e.isValue = true;
            e.row = std::stoul(e.check.substr(6, colon - 6));
            e.field = e.check.substr(colon + 1);
        }
        out.push_back(std::move(e));
    }
    return out;
}

HeldElsewhere::HeldElsewhere(const std::string &path, dx::platform::LockKind kind)
{
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(done_), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
        {
            dx::platform::FileLock lock(path, kind);
            (void)!::write(ready[1], "r", 1);
            char c;
            (void)!::read(done_[0], &c, 1);
        }
        ::_exit(0);
    }
    char c;
    EXPECT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
}

HeldElsewhere::~HeldElsewhere()
{
    (void)!::write(done_[1], "d", 1);
    ::waitpid(pid_, nullptr, 0);
    ::close(done_[0]);
    ::close(done_[1]);
}

ShortLockWait::ShortLockWait() { ::setenv("DENDRIX_LOCK_WAIT_MS", "300", 1); }
ShortLockWait::~ShortLockWait() { ::unsetenv("DENDRIX_LOCK_WAIT_MS"); }

} // namespace dxtest
