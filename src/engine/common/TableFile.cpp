// Shared parts of every table file snapshot.
#include "engine/common/TableFile.h"

namespace dx {

int TableFile::fieldIndex(const std::string &name) const
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (sameFieldName(fields_[i].name, name)) return static_cast<int>(i);
    return -1;
}

Row TableFile::row(size_t r) const
{
    Row out;
    out.reserve(fields_.size());
    for (size_t f = 0; f < fields_.size(); ++f) out.push_back(value(r, f));
    return out;
}

} // namespace dx
