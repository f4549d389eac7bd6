// Shared helpers of the fuzz harnesses: a per-process temporary file that holds the
// current input, since the table readers take a path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace dxfuzz {

// Writes the input to a file named after this process (parallel jobs never share it)
// and returns its path. The suffix matters to nothing but keeps the file recognisable.
inline std::string writeInput(const uint8_t *data, size_t size, const char *suffix)
{
    static const std::string path = [suffix] {
        const char *tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp") + "/dx_fuzz_" +
               std::to_string(static_cast<long>(getpid())) + suffix;
    }();
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

} // namespace dxfuzz
