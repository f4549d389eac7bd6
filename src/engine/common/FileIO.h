// File access for the engine: whole-file reads, atomic replacement, file stamps and
// case-insensitive path lookup (data comes from Windows installations).
#pragma once

#include <cstdint>
#include <string>

namespace dx::io {

// The file's bytes; throws EngineError naming the file when it cannot be read.
std::string readFile(const std::string &path);
// Replaces the file crash-safely (see platform::replaceFile: unique temporary file,
// flushed, renamed, folder flushed; symbolic links followed, permissions kept).
// Throws EngineError with the reason of the step that failed.
void writeFileAtomic(const std::string &path, const std::string &data);

struct Stamp {
    int64_t size = -1;
    int64_t mtimeNs = 0;
    bool operator==(const Stamp &o) const { return size == o.size && mtimeNs == o.mtimeNs; }
};
Stamp stamp(const std::string &path); // size -1 when the file does not exist

bool exists(const std::string &path);
bool isDirectory(const std::string &path);

// Joins `path` (with `\` or `/` separators, any letter case) to `base` unless it is
// absolute, and finds each component without regard to case. When a component is not
// found the rest is appended as given (with `/`), so the result names the file that a
// create would make.
std::string resolve(const std::string &base, const std::string &path);

} // namespace dx::io
