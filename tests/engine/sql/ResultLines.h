// A statement's result as lines of text for comparing two results exactly: each value's
// text, its kind and, for a real, every bit of it.
#pragma once

#include "engine/sql/Database.h"

#include <cstdio>
#include <string>
#include <vector>

namespace dxtest {

inline std::vector<std::string> resultLines(const dx::QueryResult &r)
{
    std::vector<std::string> out;
    for (const dx::Row &row : r.rows) {
        std::string line;
        for (const dx::Value &v : row) {
            char exact[40] = "";
            if (v.kind == dx::Value::Real) std::snprintf(exact, sizeof exact, "%.17g", v.d);
            line += v.toText() + "|" + std::to_string(int(v.kind)) + exact + ";";
        }
        out.push_back(line);
    }
    return out;
}

} // namespace dxtest
