// Fuzzes the dBase reader: any byte string must either read or throw EngineError, and
// every cell of a table that reads must decode without fault.
#include "FuzzCommon.h"

#include "engine/common/EngineError.h"
#include "engine/dbf/DbfFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string path = dxfuzz::writeInput(data, size, ".dbf");
    dxfuzz::decodeAll([&] { return dx::dbf::read(path); });
    return 0;
}
