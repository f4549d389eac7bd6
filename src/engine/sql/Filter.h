// Filter expressions of table objects: "OTD=12 and PODOTD='а'", "TYPE='vs' and CODE>0",
// with = <> < > <= >=, and, or, not, parentheses, bare numbers and single-quoted text.
// Field names match without regard to case.
#pragma once

#include "engine/common/TableFile.h"

#include <memory>
#include <string>
#include <vector>

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
    // The only rows (ascending) that can match, taken from the table's key index when
    // the expression is a field equal to a constant, or an `and` with such a term
    // ("OTD=12 and PODOTD='а'"); null when every row must be tried. Each candidate
    // still has to pass matches().
    const std::vector<uint32_t> *candidates(const TableFile &table) const;
    // Every row (ascending) that matches: the same rows as candidates() and matches()
    // give, with each field's decoded column taken once for the whole pass instead of
    // once a cell.
    std::vector<size_t> matchingRows(const TableFile &table) const;

    struct Node;

private:
    std::unique_ptr<Node> root_;
};

} // namespace dx
