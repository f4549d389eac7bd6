// Every table writer run with one system call failing: the n-th write, flush, rename or
// close. Each failure must come back as an error naming the file and the system's
// reason, and the file must hold exactly its old bytes.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

using namespace dx;
namespace faults = dx::platform::faults;

namespace {

std::vector<FieldDef> fields()
{
    return {makeField("ID", FieldType::Integer, 6), makeField("V", FieldType::Text, 12)};
}

std::vector<Row> rows(int n)
{
    std::vector<Row> out;
    for (int i = 1; i <= n; ++i) out.push_back({Value::fromInt(i), Value::fromText("ред " + std::to_string(i))});
    return out;
}

struct Action {
    const char *name;
    std::function<void(const std::string &path)> run;
};

std::vector<Action> actions()
{
    auto edit = [](const std::string &path) {
        Database db(".");
        db.addPassword("pw");
        Table t(db);
        t.setPath(path);
        t.open();
        t.next();
        t.edit();
        t.setValue("V", Value::fromText("правка"));
        t.post();
    };
    auto append = [](const std::string &path) {
        Database db(".");
        db.addPassword("pw");
        Table t(db);
        t.setPath(path);
        t.open();
        t.append();
        t.setValue("ID", Value::fromInt(99));
        t.post();
    };
    auto remove = [](const std::string &path) {
        Database db(".");
        db.addPassword("pw");
        Table t(db);
        t.setPath(path);
        t.open();
        t.remove();
    };
    auto recreate = [](const std::string &path) {
        if (path.back() == 'f') {
            dbf::create(path, fields(), rows(3));
        } else {
            px::CreateOptions o;
            o.password = "pw";
            px::create(path, fields(), rows(3), o);
        }
    };
    return {{"edit", edit}, {"append", append}, {"remove", remove}, {"create over", recreate}};
}

} // namespace

TEST(WriterFaults, EveryFailedCallIsReportedAndLeavesTheFileAsItWas)
{
    const std::pair<faults::Op, const char *> ops[] = {{faults::Op::Write, "write"},
                                                       {faults::Op::Sync, "flush"},
                                                       {faults::Op::Rename, "rename"},
                                                       {faults::Op::Close, "close"}};
    int injected = 0;
    for (const char *name : {"t.dbf", "T.DB"}) {
        for (const Action &action : actions()) {
            for (const auto &[op, opName] : ops) {
                for (int nth = 1; nth <= 3; ++nth) {
                    SCOPED_TRACE(std::string(name) + " " + action.name + ", " + opName + " #" + std::to_string(nth));
                    dxtest::TempDir dir;
                    const std::string path = dir.file(name);
                    px::CreateOptions o;
                    o.password = "pw";
                    if (path.back() == 'f') dbf::create(path, fields(), rows(5));
                    else px::create(path, fields(), rows(5), o);
                    const std::string before = io::readFile(path);

                    faults::arm(op, nth, EIO);
                    bool failed = false;
                    std::string reason;
                    try {
                        action.run(path);
                    } catch (const EngineError &e) {
                        failed = true;
                        reason = e.reason();
                        EXPECT_EQ(e.subject(), path);
                        EXPECT_NE(e.reason().find("Input/output error"), std::string::npos) << e.what();
                    }
                    faults::disarm();
                    if (!failed) continue; // the action made fewer such calls
                    ++injected;
                    // A failed flush of the folder after the rename is the one failure
                    // that comes after the new file is in place, and it says so.
                    if (io::readFile(path) != before) {
                        EXPECT_NE(reason.find("the file was replaced, but its folder cannot be flushed"), std::string::npos)
                            << reason;
                    }
                    // No temporary file is left behind; the lock file stays.
                    for (const auto &e : std::filesystem::directory_iterator(dir.path())) {
                        const std::string n = e.path().filename().string();
                        EXPECT_TRUE(n == name || n == std::string(name) + ".lck") << n;
                    }
                }
            }
        }
    }
    std::printf("faults injected: %d\n", injected);
    EXPECT_GE(injected, 30);
}
