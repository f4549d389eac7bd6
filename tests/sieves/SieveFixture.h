// Small project tables and land-area tables for the working-sieve tests, and criteria
// built key by key.
#pragma once

#include "description/DescriptionFixture.h"
#include "sieves/SieveCriteria.h"

#include <utility>
#include <vector>

namespace dxtest {

struct SieveFixture : DescriptionFixture {
    // A project table of these records that the sieve statements read.
    void makeProject(const std::vector<ProjectRow> &rows)
    {
        project(rows);
        state.projectTablePath = QString::fromStdString(state.projectTable.path());
    }
    // The land-area table (NOMER, ZEMNAME) in this order, opened.
    void makeLandAreas(const std::vector<std::pair<int, const char *>> &areas)
    {
        std::vector<dx::Row> rows;
        for (const auto &[n, name] : areas) rows.push_back({dx::Value::fromInt(n), dx::Value::fromText(name)});
        const std::string path = dir.file("zem.dbf");
        dx::dbf::create(path,
                        {dx::makeField("NOMER", dx::FieldType::Integer, 4), dx::makeField("ZEMNAME", dx::FieldType::Text, 40)},
                        rows);
        state.landArea.setPath(path);
        state.landArea.open();
    }
};

inline dx::SieveCriteria criteria(std::initializer_list<std::pair<dx::CriterionId, const char *>> set)
{
    dx::SieveCriteria c;
    for (const auto &[id, text] : set) c[id] = QString::fromUtf8(text);
    return c;
}

} // namespace dxtest
