// Fuzzes the working sieve's clause builder: criteria texts from the input, each line one
// criterion (its first byte chooses which, the rest is the text). No text may change the
// statement's structure: a clause that is built runs on the demo project, and the records
// it selects are exactly those that every one of its criteria selects alone.
#include "FuzzCommon.h"

#include "demo/DemoData.h"
#include "engine/sql/Database.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveCriteria.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Project {
    std::string dir, table;
    dx::Database db;
};

Project &project()
{
    // Made once and kept for the life of the process.
    static Project *p = [] {
        auto *q = new Project;
        q->dir = dxfuzz::scratchPath(".demo");
        std::filesystem::remove_all(q->dir);
        dx::DemoOptions o;
        o.records = 60;
        dx::createDemoInstallation(q->dir, o);
        q->table = q->dir + "/database/elena.dbf";
        q->db.setProgramDir(q->dir);
        return q;
    }();
    return *p;
}

// The records (compartment and sub-compartment) the statement selects, sorted; a
// statement that does not run is a finding.
std::vector<std::string> run(const dx::SieveStatement &s)
{
    std::vector<std::string> keys;
    try {
        const dx::QueryResult r = project().db.execute(s.statement.toStdString());
        for (const dx::Row &row : r.rows) keys.push_back(row.at(0).toText() + "/" + row.at(1).toText());
    } catch (const std::exception &e) {
        dxfuzz::fail("a built statement does not run", s.statement.toStdString() + "\n" + e.what());
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096) return 0;
    const QString columns = QStringLiteral("OTD, PODOTD");
    const QString table = QString::fromStdString(project().table);
    dx::SieveCriteria criteria;
    const std::string in(reinterpret_cast<const char *>(data), size);
    for (size_t pos = 0; pos < in.size();) {
        size_t end = in.find('\n', pos);
        if (end == std::string::npos) end = in.size();
        if (end > pos) {
            const int which = static_cast<unsigned char>(in[pos]) % (dx::kCriterionCount + dx::kCuttingSlots);
            const QString text = QString::fromUtf8(in.data() + pos + 1, qsizetype(end - pos - 1));
            if (which < dx::kCriterionCount) criteria.texts[size_t(which)] = text;
            else criteria.cuttingSlots[size_t(which - dx::kCriterionCount)] = text;
        }
        pos = end + 1;
    }
    const dx::SieveStatement all = dx::composeSieveStatement(criteria, columns, table);
    if (all.status != dx::SieveStatement::Status::Ready) return 0;
    const std::vector<std::string> selected = run(all);

    // Each criterion alone: its records; the whole clause selects their intersection.
    std::vector<std::string> expected;
    bool first = true;
    for (int i = 0; i < dx::kCriterionCount; ++i) {
        dx::SieveCriteria one;
        if (i == int(dx::CriterionId::Cutting)) one.cuttingSlots = criteria.cuttingSlots;
        else one.texts[size_t(i)] = criteria.texts[size_t(i)];
        const dx::SieveStatement alone = dx::composeSieveStatement(one, columns, table);
        if (alone.status == dx::SieveStatement::Status::NoCriterion) continue;
        if (alone.status != dx::SieveStatement::Status::Ready)
            dxfuzz::fail("a criterion valid together is invalid alone", alone.statement.toStdString());
        const std::vector<std::string> rows = run(alone);
        if (first) {
            expected = rows;
            first = false;
        } else {
            std::vector<std::string> both;
            std::set_intersection(expected.begin(), expected.end(), rows.begin(), rows.end(), std::back_inserter(both));
            expected.swap(both);
        }
    }
    if (selected != expected)
        dxfuzz::fail("the clause selects other records than its criteria together", all.statement.toStdString());
    return 0;
}
