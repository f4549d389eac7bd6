// Fuzzes the dBase reader: any byte string must either read or throw EngineError, and
// every cell of a table that reads must decode without fault.
#include "FuzzCommon.h"

#include "engine/DbfFile.h"
#include "engine/EngineError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string path = dxfuzz::writeInput(data, size, ".dbf");
    try {
        dx::TableFilePtr t = dx::dbf::read(path);
        size_t sink = 0;
        for (size_t r = 0; r < t->rowCount(); ++r)
            for (size_t f = 0; f < t->fields().size(); ++f) sink += t->value(r, f).toText().size();
        (void)sink;
    } catch (const dx::EngineError &) {
    }
    return 0;
}
