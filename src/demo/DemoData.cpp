// Builds the demo installation: reference tables, settings, catalogue, and for each
// project with data its project table and land-area table.
#include "demo/DemoData.h"

#include "core/DataPassword.h"
#include "demo/DemoNomenclature.h"
#include "demo/DemoSettings.h"
#include "engine/common/Codepage.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace dx::demo {
namespace {

int byteSize(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::Text: return f.width;
    case FieldType::Integer: return f.nativeType == 0x03 ? 2 : 4;
    default: return 8;
    }
}

// The Paradox block size the project table gets: 4 KB, or 16 KB when a 4 KB block
// would not hold two records.
int projectBlockSizeKb(int recordSize) { return (4096 - 6) / recordSize < 2 ? 16 : 4; }

void checkWidths(const std::vector<FieldDef> &fields, const Row &row, const Record &r)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].type != FieldType::Text) continue;
        if (int(cp::utf8Length(row[i].s)) > fields[i].width)
            throw std::logic_error("demo: value \"" + row[i].s + "\" of " + fields[i].name + " in " +
                                   std::to_string(r.otd) + ":" + r.podotd + " is longer than " +
                                   std::to_string(fields[i].width) + " characters");
    }
}

void writeProjectTable(const std::string &path, const ProjectSpec &plan, uint64_t seed)
{
    TableFormat format = plan.storage == Storage::Dbase ? TableFormat::Dbase : TableFormat::Paradox;
    std::vector<FieldDef> fields = projectFields(format);
    px::CreateOptions pxOptions;
    // A fixed stamp (1 January 2019, the demo projects' year): the same seed gives the
    // same files, whenever they are made.
    pxOptions.stamp = 1546300800u;
    if (plan.storage == Storage::EncryptedParadox) pxOptions.password = dataPassword();
    int recordSize = 0;
    for (const auto &f : fields) recordSize += byteSize(f);
    pxOptions.blockSizeKb = projectBlockSizeKb(recordSize);

    // One create for the whole table (appending record by record would rewrite or sync
    // the file for every record), fed record by record: a large project is never held
    // whole as rows.
    auto fill = [&](auto &creator) {
        generateRecords(plan, seed, [&](Record &&r) {
            Row row = toRow(r);
            checkWidths(fields, row, r);
            creator.add(row);
        });
        creator.finish();
    };
    if (format == TableFormat::Dbase) {
        dbf::Creator creator(path, fields, 0xC9, size_t(plan.records));
        fill(creator);
    } else {
        px::Creator creator(path, fields, pxOptions, size_t(plan.records));
        fill(creator);
    }
}

void writeLandAreas(const std::string &path, const ProjectSpec &plan)
{
    FieldDef nomer, name;
    nomer.name = "NOMER";
    nomer.type = FieldType::Integer;
    nomer.width = 6;
    name.name = "ZEMNAME";
    name.type = FieldType::Text;
    name.width = 40;
    std::vector<Row> rows;
    for (const auto &a : plan.landAreas) rows.push_back({Value::fromInt(a.nomer), Value::fromText(a.name)});
    dbf::create(path, {nomer, name}, rows, 0xC9);
}

} // namespace

void writeProject(const std::string &dir, const ProjectSpec &plan, uint64_t seed)
{
    writeProjectTable(dir + "/" + plan.tableOnDisk, plan, seed);
    if (!plan.zemnomOnDisk.empty()) writeLandAreas(dir + "/" + plan.zemnomOnDisk, plan);
}

} // namespace dx::demo

namespace dx {

namespace fs = std::filesystem;

namespace {

int projectRecordSize()
{
    int size = 0;
    for (const auto &f : demo::projectFields(demo::TableFormat::Paradox)) size += demo::byteSize(f);
    return size;
}

bool sameName(const std::string &a, const char *b) { return cp::foldCase(a) == cp::foldCase(b); }

// What `dir` holds that the demo would replace: "" when it is missing or empty.
std::string occupied(const fs::path &dir)
{
    std::error_code ec;
    if (!fs::exists(dir, ec)) return {};
    if (!fs::is_directory(dir, ec)) return "it is not a folder";
    bool any = false;
    for (const auto &entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (sameName(name, "Dendrix.ini") || sameName(name, "names.dbf") || sameName(name, "database"))
            return "it already holds an installation (" + name + ")";
        any = true;
    }
    return any ? "it is not empty" : "";
}

// A new folder beside `dir` that no other run uses.
fs::path freshSibling(const fs::path &dir, const std::string &kind)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = dir.parent_path() / ("." + dir.filename().string() + "." + kind + "-" + std::to_string(rd() % 1000000));
        if (fs::create_directory(p)) return p;
    }
    throw std::runtime_error("cannot make a temporary folder beside " + dir.string());
}

// Folders that earlier runs killed on the way left beside `dir` (".NAME.demo-N" being
// built, ".NAME.old-N" being removed). Called under the folder's lock, so no live run
// owns them.
void removeLeftovers(const fs::path &dir)
{
    std::error_code ec;
    const std::string prefix = "." + dir.filename().string() + ".";
    for (const auto &entry : fs::directory_iterator(dir.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        if (rest.rfind("demo-", 0) == 0 || rest.rfind("old-", 0) == 0) fs::remove_all(entry.path(), ec);
    }
}

void buildInstallation(const std::string &dir, const DemoOptions &options)
{
    fs::create_directories(fs::path(dir) / "database");
    fs::create_directories(fs::path(dir) / "zemnom");
    using namespace demo;
    writeNomenclature(dir + "/names.dbf");
    writeBranchWood(dir + "/kloni.dbf");
    writeSiteClasses(dir + "/bon.dbf");
    std::vector<ProjectSpec> projects = demoProjects(options.records);
    for (const ProjectSpec &p : projects) writeProject(dir, p, options.seed);
    writeSettings(dir + "/Dendrix.ini", projects.front());
    writeCatalogue(dir + "/project.conf", catalogue(projects));
}

} // namespace

int maxDemoRecords()
{
    const int recordSize = projectRecordSize();
    const long long perBlock = (demo::projectBlockSizeKb(recordSize) * 1024 - 6) / recordSize;
    return int(std::min<long long>(kMaxRecords, 65535 * perBlock));
}

void createDemoInstallation(const std::string &dir, const DemoOptions &options)
{
    const int most = maxDemoRecords();
    if (options.records < kMinRecords || options.records > most)
        throw std::invalid_argument("the number of records must be between " + std::to_string(kMinRecords) +
                                    " and " + std::to_string(most) +
                                    " (the Paradox project table holds at most 65535 blocks)");
    // Made absolute, so that the folder beside it is where the user thinks.
    const fs::path target = fs::absolute(fs::path(dir)).lexically_normal();
    const fs::path where = target.has_filename() ? target : target.parent_path();
    fs::path built;
    try {
        const std::string inUse = occupied(where);
        if (!inUse.empty() && !options.force)
            throw std::runtime_error(inUse + "; give --force to replace it");
        fs::create_directories(where.parent_path());
        // One run at a time builds into a folder; what dead runs left goes first.
        platform::FileLock lock(where.string());
        removeLeftovers(where);
        built = freshSibling(where, "demo");
        buildInstallation(built.string(), options);

        std::error_code ec;
        if (!fs::exists(where, ec)) {
            fs::rename(built, where);
        } else if (inUse.empty()) {
            fs::remove(where);       // empty: nothing to keep
            fs::rename(built, where);
        } else if (platform::exchangePaths(built.string(), where.string())) {
            // The new installation took the old one's place in one step; the old one
            // now lies where the new one was built.
            fs::remove_all(built, ec);
        } else {
            // Put the old folder aside first, so that a failed rename can bring it back.
            fs::path old = freshSibling(where, "old");
            fs::remove(old);
            fs::rename(where, old);
            try {
                fs::rename(built, where);
            } catch (...) {
                fs::rename(old, where, ec);
                throw;
            }
            fs::remove_all(old, ec);
        }
    } catch (const std::exception &e) {
        std::error_code ec;
        if (!built.empty()) fs::remove_all(built, ec);
        throw std::runtime_error("cannot create the demo installation in " + dir + ": " + e.what());
    }
}

} // namespace dx
