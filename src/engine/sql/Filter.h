// Filter expressions of table objects: "OTD=12 and PODOTD='а'", "TYPE='vs' and CODE>0",
// with = <> < > <= >=, and, or, not, parentheses, bare numbers and single-quoted text.
// Field names match without regard to case.
#pragma once

#include "engine/common/TableFile.h"

#include <memory>
#include <string>

namespace dx {

class Filter {
public:
    Filter();
    ~Filter();
    Filter(Filter &&) noexcept;
    Filter &operator=(Filter &&) noexcept;

    // Parses the expression and binds its field names to `table`'s fields. Throws
    // EngineError on a syntax error or an unknown field. An empty expression matches
    // every row.
    static Filter compile(const std::string &expression, const TableFile &table);

    bool matches(const TableFile &table, size_t row) const;

    struct Node;

private:
    std::unique_ptr<Node> root_;
};

} // namespace dx
