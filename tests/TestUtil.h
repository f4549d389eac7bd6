// Helpers shared by the tests: temporary folders and the real fixture files.
#pragma once

#include "engine/common/Platform.h"

#include <cstddef>
#include <string>
#include <vector>

namespace dxtest {

// A fresh empty folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A finished run of dendrix-cli: exit status and what it wrote to stdout (stderr is
// dropped). `args` is a shell fragment; `workDir`, when given, is the working directory.
struct CliRun {
    int status = -1;
    std::string out;
};
CliRun runCli(const std::string &args, const std::string &workDir = {});
// Any shell command, run the same way.
CliRun runShell(const std::string &command);
// Starts `program` with `args` (its output thrown away) and kills it (SIGKILL) after
// `delayMs`; true when it was still running then.
bool startAndKill(const std::string &program, const std::vector<std::string> &args, int delayMs);

// Another process holding a file's lock until the object goes.
class HeldElsewhere {
public:
    HeldElsewhere(const std::string &path, dx::platform::LockKind kind);
    ~HeldElsewhere();
    HeldElsewhere(const HeldElsewhere &) = delete;
    HeldElsewhere &operator=(const HeldElsewhere &) = delete;
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    int done_[2] = {-1, -1};
};

// A short wait for locks (300 ms) while the object lives.
struct ShortLockWait {
    ShortLockWait();
    ~ShortLockWait();
};

// What python3-dbfread reads from a .dbf (tests/scripts/check_dbf_with_dbfread.py):
// a TSV of the field names and the live records, followed by "[exit status N]" when the
// script failed; empty when dbfread is not installed.
std::string dbfreadTsv(const std::string &path);

// Path of a file under the shared real-fixture folder.
std::string realFixture(const std::string &relative);

// One line of the real fixtures' EXPECTED.tsv: the table file (relative to the fixture
// folder), the check ("rows", "columns" or "value:ROW:FIELD", whose row and field are
// also given apart), the expected text with its escapes undone, and who wrote the line.
struct ExpectedLine {
    std::string file, check, expected, source;
    bool isValue = false; // a "value:ROW:FIELD" check
    size_t row = 0;
    std::string field;
};
// The lines about table files whose names end in `extension` (any letter case), in the
// file's order. A line with fewer than four columns fails the running test; a missing
// file gives no lines.
std::vector<ExpectedLine> expectedLines(const std::string &extension);

} // namespace dxtest
