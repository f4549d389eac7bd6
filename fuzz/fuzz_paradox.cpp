// Fuzzes the Paradox reader (encrypted tables included, with the password "123"): any
// byte string must either read or throw EngineError, and every cell of a table that
// reads must decode without fault.
#include "FuzzCommon.h"

#include "engine/common/EngineError.h"
#include "engine/paradox/ParadoxFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string path = dxfuzz::writeInput(data, size, ".db");
    dx::OpenOptions options;
    options.knownPasswords = {"123"};
    dxfuzz::decodeAll([&] { return dx::px::read(path, options); });
    return 0;
}
