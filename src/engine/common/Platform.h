// The engine's only operating-system calls: whole-file reads by mapping, large zeroed
// buffers, and files changed in place. POSIX here; a portable standard-library fallback
// on Windows. Every failure throws EngineError naming the file and the reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace dx::platform {

// The local calendar time of `t` (thread-safe, unlike std::localtime).
std::tm localTime(std::time_t t);

// A file's bytes, read-only, for as long as the object lives: mapped (pages read in at
// once) where the system allows, else read into memory.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string &path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    const unsigned char *data() const { return map_ ? map_ : copy_.data(); }
    size_t size() const { return size_; }

private:
    const unsigned char *map_ = nullptr;
    size_t size_ = 0;
    std::vector<unsigned char> copy_;
};

// `size` bytes, all zero. Large blocks come straight from the system with their pages
// already present: faulting in fresh pages one by one costs more than reading a table.
class ZeroedBlock {
public:
    ZeroedBlock() = default;
    explicit ZeroedBlock(size_t size);
    ~ZeroedBlock();
    ZeroedBlock(ZeroedBlock &&other) noexcept;
    ZeroedBlock &operator=(ZeroedBlock &&other) noexcept;

    unsigned char *data() { return ptr_; }
    const unsigned char *data() const { return ptr_; }
    size_t size() const { return size_; }

private:
    void release() noexcept;
    unsigned char *ptr_ = nullptr;
    size_t size_ = 0;
    bool mapped_ = false;
};

// An existing file opened for reading and writing at given offsets.
class WritableFile {
public:
    explicit WritableFile(const std::string &path);
    ~WritableFile();
    WritableFile(const WritableFile &) = delete;
    WritableFile &operator=(const WritableFile &) = delete;

    // Reads exactly `n` bytes at `at`; a shorter file is an error.
    void readAt(uint64_t at, char *dst, size_t n);
    void writeAt(uint64_t at, const char *src, size_t n);
    // Forces written data to the disk, so that later writes cannot overtake it.
    void sync();

private:
    std::string path_;
    struct Handle;
    Handle *h_ = nullptr;
};

} // namespace dx::platform
