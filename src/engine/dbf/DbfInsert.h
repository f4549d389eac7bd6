// A record put before others in a dBase table: the one change that moves records, so it
// rewrites the file (beside it, flushed, renamed into place) under the writer's lock.
#pragma once

#include "engine/common/TableFile.h"

namespace dx::dbf {

// A new record holding `values` before the row that `seenBefore` describes, through a
// writer that openWriter made; the rows from there on move down by one. Returns the new
// row's number. Throws StaleRecordError when the file no longer holds that record there,
// EngineError when the writer is not a dBase one or the file cannot be replaced.
size_t insertBefore(TableWriter &writer, const RecordRef &seenBefore, const Row &values);

} // namespace dx::dbf
