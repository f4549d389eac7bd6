// The sub-compartments of a range of compartments, as range printing and the range
// exports walk them: every record of the compartments from..to in the table's own order.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"

#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace dx {

struct RangeEntry {
    int otd = 0;
    QString podotd;
    bool operator==(const RangeEntry &) const = default;
};

// Nothing when to is below from, when either end names no compartment or when no record
// lies between them; the warning goes to `report`. The project table is left closed and
// unfiltered.
std::optional<QVector<RangeEntry>> resolveRange(AppState &state, int from, int to,
                                                const std::function<void(const UserMessage &)> &report);

} // namespace dx
