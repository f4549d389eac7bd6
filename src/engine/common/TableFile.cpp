// Shared parts of every table file snapshot: field lookup, whole rows, and the decoded
// columns and key indexes kept with the snapshot.
#include "engine/common/TableFile.h"

#include "engine/common/Codepage.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace dx {

// Made on first use, under decodedMutex_; a column or index once made never moves
// (each sits in its own allocation), so references to it stay good with the snapshot.
struct TableFile::Decoded {
    std::vector<std::unique_ptr<DecodedColumn>> columns;
    std::vector<std::unique_ptr<std::unordered_map<std::string, std::vector<uint32_t>>>> indexes;
};

Value DecodedColumn::at(size_t row) const
{
    if (row >= kind.size()) return Value::null();
    switch (kind[row]) {
    case Value::Int: return Value::fromInt(number[row]);
    case Value::Bool: return Value::fromBool(number[row] != 0);
    case Value::Real: return Value::fromReal(realAt(row));
    case Value::Text: return Value::fromText(std::string(textAt(row)));
    default: return Value::null();
    }
}

std::string_view DecodedColumn::textAt(size_t row) const
{
    if (row >= kind.size() || kind[row] != Value::Text) return {};
    const uint32_t begin = row ? textEnd[row - 1] : 0;
    return std::string_view(text).substr(begin, textEnd[row] - begin);
}

double DecodedColumn::realAt(size_t row) const
{
    double d = 0;
    if (row < number.size()) std::memcpy(&d, &number[row], sizeof d);
    return d;
}

int TableFile::foldedIndex(const std::string &name) const
{
    auto it = byName_.find(cp::foldCase(name));
    if (it == byName_.end()) return -1;
    // Names match as sameFieldName has them: folded alike and of one byte length (a
    // malformed byte folds to a longer replacement character).
    for (int i : it->second)
        if (fields_[size_t(i)].name.size() == name.size()) return i;
    return -1;
}

int TableFile::fieldIndex(const std::string &name) const
{
    std::call_once(namesOnce_, [this] {
        for (size_t i = 0; i < fields_.size(); ++i) byName_[cp::foldCase(fields_[i].name)].push_back(static_cast<int>(i));
        for (const FieldDef &f : fields_) asStored_.emplace(f.name, foldedIndex(f.name));
    });
    auto stored = asStored_.find(name);
    return stored != asStored_.end() ? stored->second : foldedIndex(name);
}

Row TableFile::row(size_t r) const
{
    Row out;
    out.reserve(fields_.size());
    for (size_t f = 0; f < fields_.size(); ++f) out.push_back(value(r, f));
    return out;
}

TableFile::Decoded &TableFile::decoded() const
{
    if (!decoded_) {
        decoded_ = std::make_shared<Decoded>();
        decoded_->columns.resize(fields_.size());
        decoded_->indexes.resize(fields_.size());
    }
    return *decoded_;
}

namespace {

// Each kind keeps its exact value: the numbers' slots are made when the first number
// comes, the text ends when the first text comes (a column of one kind pays for one).
std::unique_ptr<DecodedColumn> decodeColumn(const TableFile &t, size_t field)
{
    auto c = std::make_unique<DecodedColumn>();
    const size_t n = t.rowCount();
    c->kind.resize(n, Value::Null);
    for (size_t r = 0; r < n; ++r) {
        Value v = t.value(r, field);
        c->kind[r] = v.kind;
        switch (v.kind) {
        case Value::Int:
        case Value::Bool:
            if (c->number.empty()) c->number.resize(n, 0);
            c->number[r] = v.i;
            break;
        case Value::Real:
            if (c->number.empty()) c->number.resize(n, 0);
            std::memcpy(&c->number[r], &v.d, sizeof v.d);
            break;
        case Value::Text:
            if (c->textEnd.empty()) c->textEnd.resize(n, 0);
            c->text += v.s;
            break;
        default: break;
        }
        if (!c->textEnd.empty()) c->textEnd[r] = static_cast<uint32_t>(c->text.size());
    }
    c->text.shrink_to_fit();
    return c;
}

} // namespace

const DecodedColumn &TableFile::column(size_t field) const
{
    std::lock_guard<std::mutex> lock(decodedMutex_);
    Decoded &d = decoded();
    static const DecodedColumn none;
    if (field >= d.columns.size()) return none;
    if (!d.columns[field]) d.columns[field] = decodeColumn(*this, field);
    return *d.columns[field];
}

const DecodedColumn *TableFile::decodedColumn(size_t field) const
{
    std::lock_guard<std::mutex> lock(decodedMutex_);
    if (!decoded_ || field >= decoded_->columns.size()) return nullptr;
    return decoded_->columns[field].get();
}

const std::vector<uint32_t> &TableFile::rowsWithKey(size_t field, const std::string &key) const
{
    static const std::vector<uint32_t> none;
    if (field >= fields_.size()) return none;
    const DecodedColumn &c = column(field);
    std::lock_guard<std::mutex> lock(decodedMutex_);
    auto &index = decoded().indexes[field];
    if (!index) {
        index = std::make_unique<std::unordered_map<std::string, std::vector<uint32_t>>>();
        for (size_t r = 0; r < c.kind.size(); ++r) (*index)[c.at(r).toText()].push_back(static_cast<uint32_t>(r));
    }
    auto it = index->find(key);
    return it == index->end() ? none : it->second;
}

std::vector<uint32_t> TableFile::rowsGroupedBy(size_t field, bool descending) const
{
    std::vector<uint32_t> out;
    if (field >= fields_.size()) return out;
    rowsWithKey(field, std::string()); // makes the index
    std::vector<std::pair<std::string_view, const std::vector<uint32_t> *>> groups;
    {
        std::lock_guard<std::mutex> lock(decodedMutex_);
        for (const auto &[key, rows] : *decoded().indexes[field]) groups.emplace_back(key, &rows);
    }
    std::sort(groups.begin(), groups.end());
    if (descending) std::reverse(groups.begin(), groups.end());
    out.reserve(rowCount());
    for (const auto &g : groups) out.insert(out.end(), g.second->begin(), g.second->end());
    return out;
}

} // namespace dx
