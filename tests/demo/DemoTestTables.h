// Reading the tables of a generated demo installation back for the demo tests.
#pragma once

#include "core/DataPassword.h"
#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"
#include "engine/common/TableFile.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace dxtest {

// One table read back, cells by field name.
struct Loaded {
    dx::TableFilePtr file;
    size_t rows() const { return file->rowCount(); }
    std::string text(size_t r, const std::string &field) const;
    long long num(size_t r, const std::string &field) const;
    double real(size_t r, const std::string &field) const;
};

// Column of a field, by name.
inline size_t column(const Loaded &t, const std::string &field)
{
    int i = t.file->fieldIndex(field);
    if (i < 0) throw std::runtime_error("no field " + field + " in " + t.file->path());
    return size_t(i);
}

inline std::string Loaded::text(size_t r, const std::string &field) const
{
    return file->value(r, column(*this, field)).toText();
}

inline long long Loaded::num(size_t r, const std::string &field) const
{
    return file->value(r, column(*this, field)).toInt();
}

inline double Loaded::real(size_t r, const std::string &field) const
{
    return file->value(r, column(*this, field)).toReal();
}

inline Loaded loadTable(const std::string &path)
{
    std::string lower = dx::cp::foldCase(path);
    if (lower.size() > 3 && lower.compare(lower.size() - 3, 3, ".db") == 0) {
        dx::OpenOptions o;
        o.knownPasswords.push_back(dx::dataPassword());
        return {dx::px::read(path, o)};
    }
    return {dx::dbf::read(path)};
}

inline std::string readFileBytes(const std::string &path) { return dx::io::readFile(path); }

inline std::vector<std::vector<std::string>> readCatalogue(const std::string &dir)
{
    std::string text = dx::cp::cp1251ToUtf8(readFileBytes(dir + "/project.conf"));
    std::vector<std::vector<std::string>> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        std::vector<std::string> fields;
        size_t from = 0;
        for (;;) {
            size_t semi = line.find(';', from);
            fields.push_back(line.substr(from, semi == std::string::npos ? std::string::npos : semi - from));
            if (semi == std::string::npos) break;
            from = semi + 1;
        }
        lines.push_back(fields);
        start = end + 2;
    }
    return lines;
}


} // namespace dxtest
