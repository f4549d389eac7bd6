// Shared helpers of the fuzz harnesses: a per-process temporary file that holds the
// current input, since the table readers take a path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "engine/common/EngineError.h"
#include "engine/common/TableFile.h"

namespace dxfuzz {

// A scratch file named after this process and the suffix: parallel jobs never share it.
inline std::string scratchPath(const char *suffix)
{
    const char *tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/dx_fuzz_" + std::to_string(static_cast<long>(getpid())) + suffix;
}

// Writes the bytes to the path; aborts (a harness fault, not a finding) when it cannot.
inline void writeBytes(const std::string &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
}

// Reports a broken property with the input's part that shows it, then aborts so that
// libFuzzer keeps the input as a crash file.
[[noreturn]] inline void fail(const char *what, const std::string &detail = {})
{
    std::fprintf(stderr, "PROPERTY BROKEN: %s\n%s\n", what, detail.c_str());
    std::abort();
}

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

// Reads a table through `read` and decodes every cell; a reader may throw EngineError
// on bad input, anything else (or a sanitizer report) is a finding.
template <class Read> void decodeAll(Read read)
{
    try {
        dx::TableFilePtr t = read();
        size_t sink = 0;
        for (size_t r = 0; r < t->rowCount(); ++r)
            for (size_t f = 0; f < t->fields().size(); ++f) sink += t->value(r, f).toText().size();
        (void)sink;
    } catch (const dx::EngineError &) {
    }
}

} // namespace dxfuzz
