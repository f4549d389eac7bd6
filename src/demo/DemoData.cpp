// Builds the demo installation: reference tables, settings, catalogue, and for each
// project with data its project table and land-area table.
#include "demo/DemoData.h"

#include "core/DataPassword.h"
#include "demo/DemoNomenclature.h"
#include "demo/DemoSettings.h"
#include "engine/common/Codepage.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"

#include <filesystem>
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
    if (plan.storage == Storage::EncryptedParadox) pxOptions.password = dataPassword();
    int recordSize = 0;
    for (const auto &f : fields) recordSize += byteSize(f);
    if ((4096 - 6) / recordSize < 2) pxOptions.blockSizeKb = 16;

    // One create for the whole table: appending record by record would rewrite or sync
    // the file for every record.
    std::vector<Row> rows;
    rows.reserve(size_t(plan.records));
    generateRecords(plan, seed, [&](Record &&r) {
        rows.push_back(toRow(r));
        checkWidths(fields, rows.back(), r);
    });
    if (format == TableFormat::Dbase) dbf::create(path, fields, rows, 0xC9);
    else px::create(path, fields, rows, pxOptions);
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

void createDemoInstallation(const std::string &dir, const DemoOptions &options)
{
    if (options.records < kMinRecords || options.records > kMaxRecords)
        throw std::invalid_argument("the number of records must be between " + std::to_string(kMinRecords) +
                                    " and " + std::to_string(kMaxRecords));
    namespace fs = std::filesystem;
    try {
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
    } catch (const std::exception &e) {
        throw std::runtime_error("cannot create the demo installation in " + dir + ": " + e.what());
    }
}

} // namespace dx
