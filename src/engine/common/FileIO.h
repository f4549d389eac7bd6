// File access for the engine: whole-file reads, atomic replacement, file stamps and
// case-insensitive path lookup (data comes from Windows installations).
#pragma once

#include <cstdint>
#include <string>

namespace dx::io {

// The file's bytes; throws EngineError naming the file when it cannot be read. A folder,
// a named pipe or a device is refused before it is opened (a pipe would block the read
// until some other program writes into it), and so is a file larger than `maxSize`.
std::string readFile(const std::string &path, uint64_t maxSize = UINT64_MAX);
// The file's first `count` bytes (fewer when it is shorter), refused as readFile refuses.
std::string readHead(const std::string &path, size_t count);

// No dBase or Paradox table can be larger than 2 GiB (their record and block numbers do
// not reach further): a larger file is no table and is refused before it is read.
inline constexpr uint64_t kMaxTableFileSize = uint64_t(1) << 31;

// Why the path cannot be read as a regular file ("the file does not exist", "this is a
// folder, not a file", ...), or empty when it is one.
std::string notARegularFile(const std::string &path);
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
