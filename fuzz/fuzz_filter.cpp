// Fuzzes filter expressions: compiled against a small in-memory table (text, integer,
// real, logical, date and null cells) and evaluated on every row. An expression must
// either compile or throw EngineError, and a compiled one must evaluate without fault.
#include "engine/common/EngineError.h"
#include "engine/common/TableFile.h"
#include "engine/sql/Filter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

class MemoryTable : public dx::TableFile {
public:
    MemoryTable()
    {
        path_ = "memory";
        fields_ = {{"OTD", dx::FieldType::Integer, 4, 0, 'N'},
                   {"PODOTD", dx::FieldType::Text, 2, 0, 'C'},
                   {"PL", dx::FieldType::Real, 8, 2, 'N'},
                   {"FLAG", dx::FieldType::Logical, 1, 0, 'L'},
                   {"DAT", dx::FieldType::Date, 8, 0, 'D'},
                   {"ИМЯ", dx::FieldType::Text, 10, 0, 'C'}};
        using V = dx::Value;
        rows_ = {{V::fromInt(12), V::fromText("а"), V::fromReal(1.5), V::fromBool(true),
                  V::fromText("2001-02-03"), V::fromText("Дуб")},
                 {V::fromInt(-7), V::fromText("b"), V::fromReal(0), V::fromBool(false),
                  V::null(), V::fromText("7")},
                 {V::null(), V::null(), V::null(), V::null(), V::null(), V::null()},
                 {V::fromInt(0), V::fromText(""), V::fromReal(-1e300), V::fromBool(true),
                  V::fromText("1999-12-31"), V::fromText(" 12 ")}};
    }
    size_t rowCount() const override { return rows_.size(); }
    dx::Value value(size_t row, size_t field) const override { return rows_.at(row).at(field); }
    dx::RecordRef record(size_t row) const override { return {row, {}}; }

private:
    std::vector<dx::Row> rows_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const MemoryTable table;
    std::string expression(reinterpret_cast<const char *>(data), size);
    try {
        dx::Filter f = dx::Filter::compile(expression, table);
        size_t n = 0;
        for (size_t r = 0; r < table.rowCount(); ++r) n += f.matches(table, r) ? 1 : 0;
        (void)n;
    } catch (const dx::EngineError &) {
    }
    return 0;
}
