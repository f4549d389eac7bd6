// Write benchmark: one posted edit of a 20,000-record encrypted Paradox table, one
// appended row of a 20,000-record dBase table, and the writers' lock on its own, each
// with the share of the time spent flushing to the disk.
//
//   dendrix-bench-write [--records N] [--dir DIR] [--repeat R]
#include "engine/common/Journal.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace dx;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Timing {
    double medianMs = 0, syncMs = 0;
};

// Median of `repeat` runs and the mean time per run spent in fsync.
Timing measure(int repeat, const std::function<void(int)> &f)
{
    std::vector<double> runs;
    auto before = platform::syncStats();
    for (int i = 0; i < repeat; ++i) {
        auto t0 = Clock::now();
        f(i);
        runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    auto after = platform::syncStats();
    std::sort(runs.begin(), runs.end());
    return {runs[runs.size() / 2], (after.ms - before.ms) / repeat};
}

void report(const char *what, const Timing &t)
{
    std::printf("%-44s %9.2f ms   fsync %7.2f ms (%4.0f%%)\n", what, t.medianMs, t.syncMs,
                t.medianMs > 0 ? 100.0 * t.syncMs / t.medianMs : 0.0);
}

std::vector<FieldDef> fields()
{
    return {makeField("ID", FieldType::Integer, 8), makeField("NAME", FieldType::Text, 40),
            makeField("PL", FieldType::Real, 10, 2), makeField("VID", FieldType::Text, 6)};
}

std::vector<Row> rows(int n)
{
    std::vector<Row> out;
    out.reserve(size_t(n));
    for (int i = 1; i <= n; ++i)
        out.push_back({Value::fromInt(i), Value::fromText("отдел " + std::to_string(i)), Value::fromReal(i % 97 * 0.25),
                       Value::fromText("бк")});
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    int records = 20000, repeat = 15;
    std::string dir = (fs::temp_directory_path() / "dendrix-bench-write").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--records") records = std::atoi(argv[i + 1]);
        else if (a == "--dir") dir = argv[i + 1];
        else if (a == "--repeat") repeat = std::atoi(argv[i + 1]);
    }
    fs::create_directories(dir);
    const std::string px = dir + "/BENCH.DB", dbfPath = dir + "/bench.dbf";
    px::CreateOptions o;
    o.password = "bench";
    px::create(px, fields(), rows(records), o);
    dbf::create(dbfPath, fields(), rows(records));
    std::printf("%d records in %s\n", records, dir.c_str());

    Database db(dir);
    db.addPassword("bench");
    Table t(db);
    t.setPath(px);
    t.open();
    for (int i = 0; i < records / 2; ++i) t.next();
    report("posted edit, encrypted Paradox", measure(repeat, [&](int i) {
               t.edit();
               t.setValue("NAME", Value::fromText("правка " + std::to_string(i)));
               t.post();
           }));

    Table d(db);
    d.setPath(dbfPath);
    d.open();
    for (int i = 0; i < records / 2; ++i) d.next();
    report("posted edit, dBase", measure(repeat, [&](int i) {
               d.edit();
               d.setValue("NAME", Value::fromText("правка " + std::to_string(i)));
               d.post();
           }));
    report("appended row, dBase", measure(repeat, [&](int i) {
               d.append();
               d.setValue("ID", Value::fromInt(records + 1 + i));
               d.post();
           }));
    report("lock taken and given back", measure(repeat * 20, [&](int) { platform::FileLock lock(px); }));
    report("a reader's shared lock", measure(repeat * 20, [&](int) { platform::ReadGuard guard(px); }));

    // A table as wide as a project's (2 KB a record): the write itself touches one
    // block whatever the table's size; the window's post also reads the table again.
    const std::string wide = dir + "/WIDE.DB";
    {
        std::vector<FieldDef> f{makeField("ID", FieldType::Integer, 8)};
        for (int c = 0; c < 40; ++c) f.push_back(makeField("T" + std::to_string(c), FieldType::Text, 50));
        px::Creator creator(wide, f, o, size_t(records));
        for (int i = 1; i <= records; ++i) {
            Row r{Value::fromInt(i)};
            for (int c = 0; c < 40; ++c) r.push_back(Value::fromText("стойност " + std::to_string(i * 40 + c)));
            creator.add(r);
        }
        creator.finish();
    }
    std::printf("wide table: %.0f MB\n", double(fs::file_size(wide)) / 1e6);
    OpenOptions withPassword;
    withPassword.knownPasswords = {"bench"};
    auto snapshot = px::read(wide, withPassword);
    // Each run changes another row of the one snapshot, so no run reads the table.
    report("one edit written, wide encrypted Paradox", measure(repeat, [&](int i) {
               const size_t row = size_t(records / 2 + i);
               Row r = snapshot->row(row);
               r[1] = Value::fromText("правка " + std::to_string(i));
               px::openWriter(wide, withPassword)->update(snapshot->record(row), r);
           }));
    // A window's post: the write, and the table as it now is without reading it again.
    Table w(db);
    w.setPath(wide);
    w.open();
    for (int i = 0; i < records / 3; ++i) w.next();
    report("posted edit, wide encrypted Paradox", measure(repeat, [&](int i) {
               w.edit();
               w.setValue("T0", Value::fromText("правка " + std::to_string(i)));
               w.post();
           }));
    report("the table read whole (what a post no longer does)",
           measure(3, [&](int) { snapshot = px::read(wide, withPassword); }));
    report("appended row, wide encrypted Paradox", measure(repeat, [&](int i) {
               Row r{Value::fromInt(records + 1 + i)};
               px::openWriter(wide, withPassword)->append(r);
           }));
    fs::remove_all(dir);
    return 0;
}
