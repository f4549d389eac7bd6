// The engine's only operating-system calls: whole-file reads by mapping, large zeroed
// buffers, and files changed in place. POSIX here; a portable standard-library fallback
// on Windows. Every failure throws EngineError naming the file and the reason.
#pragma once

#include <chrono>
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

// A regular file read from its start in pieces of a few megabytes straight into the
// caller's memory, so that a large table is never held twice (no mapping beside the
// copy the reader keeps).
class PieceReader {
public:
    explicit PieceReader(const std::string &path);
    ~PieceReader();
    PieceReader(const PieceReader &) = delete;
    PieceReader &operator=(const PieceReader &) = delete;

    size_t size() const { return size_; } // when opened
    // Reads up to `n` bytes from the start into `dst`; returns how many there were
    // (fewer when the file has shrunk since it was opened).
    size_t readInto(unsigned char *dst, size_t n);
    // Reads up to `n` bytes from `offset` into `dst`; returns how many there were.
    size_t readAt(uint64_t offset, unsigned char *dst, size_t n);

private:
    std::string path_;
    size_t size_ = 0;
    intptr_t handle_ = -1;
    void *stream_ = nullptr; // the standard-library fallback's stream
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
    // The file's length now; cuts it to `n` bytes (to undo an append that failed).
    uint64_t size();
    void truncate(uint64_t n);

private:
    std::string path_;
    struct Handle;
    Handle *h_ = nullptr;
};

// Replaces the file at `path` with `data` so that a crash or a power cut leaves either
// the old or the new file: a temporary file with a unique name beside the target, all
// bytes written, flushed to the disk, closed, renamed over the target, and the folder
// flushed so that the rename itself survives. A symbolic link is followed: its target
// is replaced, the link stays, and the target's permissions are kept. Every failure
// throws EngineError with the reason of the step that failed; the target is then as it
// was and no temporary file is left.
void replaceFile(const std::string &path, const std::string &data);

// The file a path finally names after following symbolic links (the path itself when
// it is no link, or when the link points nowhere that exists yet).
std::string linkTarget(const std::string &path);

// An advisory lock that writers of one file take around a whole load-modify-save.
//
// The lock is not taken on the data file itself: a replacement renames a new file
// over it, so a lock on the old file would guard a file nobody opens any more, and
// POSIX record locks vanish when the process closes any descriptor of the file (a
// plain read would drop them). It is a record lock (fcntl on POSIX, LockFileEx on
// Windows; both work on network folders) on a lock file beside the data file, named
// after it with ".lck" appended ("BANSKO.DB.lck"). The holder writes its process
// number into it so that a waiting program can name it where the system cannot tell
// (network folders), and removes it when done (on POSIX; Windows keeps it), so that
// lock files do not gather beside the tables. A program that locked a file its holder
// removed meanwhile sees that it is no longer named so and starts again.
//
// Within one process the locks of one file are counted: a writer may take the lock it
// already holds (a table write inside a larger change), and other threads wait for it.
enum class LockKind {
    Exclusive, // a writer: nobody else reads or writes meanwhile
    Shared,    // a reader: other readers may hold it too, writers wait
};

class FileLock {
public:
    // Waits at most `wait` for the lock; then throws LockBusyError naming the file and,
    // when known, the process that holds it. A folder where no lock file can be made
    // (read-only media) is written without one only if the data file cannot be written
    // either, so the write fails there with its own reason.
    explicit FileLock(const std::string &dataPath, std::chrono::milliseconds wait = defaultWait());
    // Readers take it shared, only while they copy the file: a writer that changes the
    // file in place then never shows them half a change.
    FileLock(const std::string &dataPath, LockKind kind, std::chrono::milliseconds wait = defaultWait());
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    static std::string lockPathFor(const std::string &dataPath);
    // Five seconds, or DENDRIX_LOCK_WAIT_MS from the environment.
    static std::chrono::milliseconds defaultWait();

private:
    std::string lockPath_;
    bool held_ = false;
};

// Writes a small file of its own (a journal) from scratch: created or emptied, written,
// flushed, closed, and its folder flushed so that the name survives a power cut. Every
// failure throws EngineError with its reason; the file may then be left half written.
void writeFileSynced(const std::string &path, const std::string &data);
// Removes the file if it is there; false when it was not. With `syncFolder` the removal
// is flushed to the disk.
bool removeFile(const std::string &path, bool syncFolder = false);

// Swaps two existing paths (files or folders) in one step, so that neither name is ever
// missing; the folder is flushed after. False where the system cannot do it (then the
// caller renames one at a time); other failures throw EngineError.
bool exchangePaths(const std::string &a, const std::string &b);

// Time spent flushing files and folders to the disk since the process started, for the
// benchmarks' fsync share.
struct SyncStats {
    uint64_t calls = 0;
    double ms = 0;
};
SyncStats syncStats();

// Test hook: makes the n-th following call (1 = the next) of one system operation used
// by the writers fail with `error` (an errno value), to prove that every failure is
// reported and leaves the files as they were. disarm() clears it.
namespace faults {
enum class Op { Write, Sync, Rename, Close };
// As the error: the process ends at once instead (exit status 86), as in a crash.
constexpr int kCrash = -1;
void arm(Op op, int nth, int error);
void disarm();
} // namespace faults

} // namespace dx::platform
