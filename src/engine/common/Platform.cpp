// Operating-system calls of the engine, in one place (see Platform.h). The POSIX branch
// maps files and anonymous memory; the _WIN32 branch keeps to the standard library.
#include "engine/common/Platform.h"

#include "engine/common/EngineError.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#include <windows.h>
#else
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dx::platform {

namespace {

[[maybe_unused]] std::string lastError()
{
    return std::strerror(errno);
}

#ifndef _WIN32
// What stands where a file was expected, in the words the user sees in the box.
std::string notAFile(mode_t mode)
{
    if (S_ISDIR(mode)) return "this is a folder, not a file";
    if (S_ISFIFO(mode)) return "this is a named pipe, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "this is a device, not a file";
    return "this is not a regular file";
}

// MAP_POPULATE is Linux's; elsewhere pages are faulted in on first touch.
#ifdef MAP_POPULATE
constexpr int kPopulate = MAP_POPULATE;
#else
constexpr int kPopulate = 0;
#endif
// Below this a plain zeroed allocation is as fast and wastes less.
constexpr size_t kMapThreshold = size_t(1) << 20;
#endif

// ---- fault injection (tests) ----
std::atomic<int> g_faultOp{-1};
std::atomic<int> g_faultCountdown{0};
std::atomic<int> g_faultError{0};

// True when this call of `op` is the one armed to fail; errno is then set to the error.
bool injected(faults::Op op)
{
    if (g_faultOp.load(std::memory_order_relaxed) != int(op)) return false;
    if (g_faultCountdown.fetch_sub(1) != 1) return false;
    g_faultOp = -1;
    if (g_faultError.load() == faults::kCrash) std::_Exit(86);
    errno = g_faultError.load();
    return true;
}

std::atomic<uint64_t> g_syncCalls{0};
std::atomic<uint64_t> g_syncNs{0};

#ifndef _WIN32
// fsync (or fdatasync when `dataOnly`), counted for syncStats(); an armed fault fails it.
int timedSync(int fd, bool dataOnly)
{
    if (injected(faults::Op::Sync)) return -1;
    auto t0 = std::chrono::steady_clock::now();
#if defined(__APPLE__)
    (void)dataOnly;
    int rc = ::fsync(fd);
#else
    int rc = dataOnly ? ::fdatasync(fd) : ::fsync(fd);
#endif
    g_syncNs += uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t0).count());
    ++g_syncCalls;
    return rc;
}
#endif

} // namespace

SyncStats syncStats()
{
    return {g_syncCalls.load(), double(g_syncNs.load()) / 1e6};
}

namespace faults {

void arm(Op op, int nth, int error)
{
    g_faultError = error;
    g_faultCountdown = nth;
    g_faultOp = int(op);
}

void disarm()
{
    g_faultOp = -1;
}

} // namespace faults

std::tm localTime(std::time_t t)
{
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

// ---------------------------------------------------------------------------------
// PieceReader

namespace {
constexpr size_t kPiece = size_t(4) << 20;
}

#ifdef _WIN32

PieceReader::PieceReader(const std::string &path) : path_(path)
{
    auto *in = new std::ifstream(path, std::ios::binary | std::ios::ate);
    if (!*in) {
        delete in;
        throw EngineError(path, "the file cannot be opened for reading");
    }
    std::streamoff n = in->tellg();
    if (n < 0) {
        delete in;
        throw EngineError(path, "the file cannot be read");
    }
    size_ = size_t(n);
    in->seekg(0);
    stream_ = in;
}

PieceReader::~PieceReader()
{
    delete static_cast<std::ifstream *>(stream_);
}

size_t PieceReader::readInto(unsigned char *dst, size_t n)
{
    auto *in = static_cast<std::ifstream *>(stream_);
    size_t got = 0;
    while (got < n && *in) {
        in->read(reinterpret_cast<char *>(dst + got), std::streamsize(std::min(kPiece, n - got)));
        got += size_t(in->gcount());
    }
    return got;
}

size_t PieceReader::readAt(uint64_t offset, unsigned char *dst, size_t n)
{
    auto *in = static_cast<std::ifstream *>(stream_);
    in->clear();
    in->seekg(std::streamoff(offset));
    return readInto(dst, n);
}

#else

PieceReader::PieceReader(const std::string &path) : path_(path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); // a named pipe must not wait for a writer
    if (fd < 0) throw EngineError(path, "the file cannot be opened for reading: " + lastError());
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EngineError(path, notAFile(st.st_mode));
    }
    size_ = static_cast<size_t>(st.st_size);
    handle_ = fd;
}

PieceReader::~PieceReader()
{
    if (handle_ >= 0) ::close(int(handle_));
}

size_t PieceReader::readInto(unsigned char *dst, size_t n)
{
    size_t got = 0;
    while (got < n) {
        ssize_t r = ::read(int(handle_), dst + got, std::min(kPiece, n - got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw EngineError(path_, "the file cannot be read: " + lastError());
        if (r == 0) break; // shrank while we read
        got += size_t(r);
    }
    return got;
}

size_t PieceReader::readAt(uint64_t offset, unsigned char *dst, size_t n)
{
    size_t got = 0;
    while (got < n) {
        ssize_t r = ::pread(int(handle_), dst + got, std::min(kPiece, n - got), off_t(offset + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw EngineError(path_, "the file cannot be read: " + lastError());
        if (r == 0) break; // shrank while we read
        got += size_t(r);
    }
    return got;
}

#endif

// ---------------------------------------------------------------------------------
// ReadOnlyFile

#ifdef _WIN32

ReadOnlyFile::ReadOnlyFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw EngineError(path, "the file cannot be opened for reading");
    std::streamoff n = in.tellg();
    if (n < 0) throw EngineError(path, "the file cannot be read");
    copy_.resize(size_t(n));
    in.seekg(0);
    if (n > 0 && !in.read(reinterpret_cast<char *>(copy_.data()), n))
        throw EngineError(path, "the file cannot be read");
    size_ = copy_.size();
}

ReadOnlyFile::~ReadOnlyFile() = default;

#else

ReadOnlyFile::ReadOnlyFile(const std::string &path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); // a named pipe must not wait for a writer
    if (fd < 0) throw EngineError(path, "the file cannot be opened for reading: " + lastError());
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EngineError(path, notAFile(st.st_mode));
    }
    size_ = static_cast<size_t>(st.st_size);
    void *m = size_ ? mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | kPopulate, fd, 0) : MAP_FAILED;
    if (m != MAP_FAILED) {
        map_ = static_cast<const unsigned char *>(m);
        ::close(fd);
        return;
    }
    copy_.resize(size_);
    size_t got = 0;
    while (got < size_) {
        ssize_t n = ::read(fd, copy_.data() + got, size_ - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            std::string why = lastError();
            ::close(fd);
            throw EngineError(path, "the file cannot be read: " + why);
        }
        if (n == 0) break; // shrank while we read
        got += size_t(n);
    }
    ::close(fd);
    size_ = got;
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (map_) munmap(const_cast<unsigned char *>(map_), size_);
}

#endif

// ---------------------------------------------------------------------------------
// ZeroedBlock

ZeroedBlock::ZeroedBlock(size_t size) : size_(size)
{
#ifndef _WIN32
    if (size >= kMapThreshold) {
        void *m = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | kPopulate, -1, 0);
        if (m != MAP_FAILED) {
            ptr_ = static_cast<unsigned char *>(m);
            mapped_ = true;
            return;
        }
    }
#endif
    ptr_ = new unsigned char[size ? size : 1]();
}

ZeroedBlock::~ZeroedBlock() { release(); }

ZeroedBlock::ZeroedBlock(ZeroedBlock &&other) noexcept
    : ptr_(std::exchange(other.ptr_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false))
{
}

ZeroedBlock &ZeroedBlock::operator=(ZeroedBlock &&other) noexcept
{
    if (this != &other) {
        release();
        ptr_ = std::exchange(other.ptr_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

void ZeroedBlock::release() noexcept
{
    if (!ptr_) return;
#ifndef _WIN32
    if (mapped_) {
        munmap(ptr_, size_);
        ptr_ = nullptr;
        return;
    }
#endif
    delete[] ptr_;
    ptr_ = nullptr;
}

// ---------------------------------------------------------------------------------
// WritableFile

#ifdef _WIN32

struct WritableFile::Handle {
    std::fstream f;
};

WritableFile::WritableFile(const std::string &path) : path_(path), h_(new Handle)
{
    h_->f.open(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!h_->f) {
        delete h_;
        throw EngineError(path, "cannot open the file for writing");
    }
}

WritableFile::~WritableFile() { delete h_; }

void WritableFile::readAt(uint64_t at, char *dst, size_t n)
{
    h_->f.clear();
    h_->f.seekg(std::streamoff(at));
    if (!h_->f.read(dst, std::streamsize(n))) {
        h_->f.clear();
        throw EngineError(path_, "cannot read a record back (file changed?)");
    }
}

void WritableFile::writeAt(uint64_t at, const char *src, size_t n)
{
    h_->f.clear();
    h_->f.seekp(std::streamoff(at));
    if (!h_->f.write(src, std::streamsize(n))) {
        h_->f.clear();
        throw EngineError(path_, "writing failed");
    }
}

void WritableFile::sync()
{
    if (!h_->f.flush()) throw EngineError(path_, "cannot flush the file");
}

uint64_t WritableFile::size()
{
    h_->f.flush();
    std::error_code ec;
    auto n = std::filesystem::file_size(path_, ec);
    if (ec) throw EngineError(path_, "cannot read the file's length: " + ec.message());
    return n;
}

void WritableFile::truncate(uint64_t n)
{
    h_->f.flush();
    std::error_code ec;
    std::filesystem::resize_file(path_, n, ec);
    if (ec) throw EngineError(path_, "cannot cut the file back: " + ec.message());
}

#else

struct WritableFile::Handle {
    int fd = -1;
};

WritableFile::WritableFile(const std::string &path) : path_(path), h_(new Handle)
{
    // Only a regular file is written in place: a write at an offset of a disk device
    // would overwrite the disk, and a pipe or /dev/null would swallow the bytes. A pipe is
    // opened without blocking and a device not at all.
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        delete h_;
        throw EngineError(path, notAFile(st.st_mode));
    }
    h_->fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (h_->fd < 0) {
        std::string why = lastError();
        delete h_;
        throw EngineError(path, "cannot open the file for writing: " + why);
    }
    const bool examined = ::fstat(h_->fd, &st) == 0;
    if (!examined || !S_ISREG(st.st_mode)) {
        const std::string why = examined ? notAFile(st.st_mode) : "cannot examine the file: " + lastError();
        ::close(h_->fd);
        delete h_;
        throw EngineError(path, why);
    }
    const int flags = ::fcntl(h_->fd, F_GETFL);
    if (flags >= 0) ::fcntl(h_->fd, F_SETFL, flags & ~O_NONBLOCK);
}

WritableFile::~WritableFile()
{
    ::close(h_->fd);
    delete h_;
}

void WritableFile::readAt(uint64_t at, char *dst, size_t n)
{
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(h_->fd, dst + done, n - done, static_cast<off_t>(at + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) throw EngineError(path_, "cannot read a record back (file changed?)");
        done += static_cast<size_t>(r);
    }
}

void WritableFile::writeAt(uint64_t at, const char *src, size_t n)
{
    size_t done = 0;
    while (done < n) {
        ssize_t r = injected(faults::Op::Write) ? -1 : ::pwrite(h_->fd, src + done, n - done, static_cast<off_t>(at + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) throw EngineError(path_, "writing failed: " + lastError());
        done += static_cast<size_t>(r);
    }
}

void WritableFile::sync()
{
    // fdatasync where the system has it (Linux, BSDs); some file systems refuse it.
    int rc = timedSync(h_->fd, true);
    if (rc != 0 && errno != EINVAL && errno != EROFS)
        throw EngineError(path_, "cannot flush the file: " + lastError());
}

uint64_t WritableFile::size()
{
    struct stat st;
    if (::fstat(h_->fd, &st) != 0) throw EngineError(path_, "cannot read the file's length: " + lastError());
    return uint64_t(st.st_size);
}

void WritableFile::truncate(uint64_t n)
{
    if (::ftruncate(h_->fd, off_t(n)) != 0) throw EngineError(path_, "cannot cut the file back: " + lastError());
}

#endif

// ---------------------------------------------------------------------------------
// replaceFile, linkTarget

// True when this thread holds the lock of the file (defined with FileLock below).
bool lockHeldHere(const std::string &dataPath);

namespace {

std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

} // namespace

#ifdef _WIN32

std::string linkTarget(const std::string &path)
{
    return path; // the standard library's rename replaces the file a link names anyway
}

void replaceFile(const std::string &path, const std::string &data)
{
    static std::atomic<unsigned> counter{0};
    const std::string target = linkTarget(path);
    std::string tmp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        tmp = target + ".tmp" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(counter++);
        h = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    auto reason = [](DWORD code) { return "system error " + std::to_string(code); };
    if (h == INVALID_HANDLE_VALUE)
        throw EngineError(path, "cannot create a temporary file beside it: " + reason(GetLastError()));
    auto fail = [&](const std::string &what) {
        DWORD code = GetLastError();
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        DeleteFileA(tmp.c_str());
        throw EngineError(path, what + ": " + reason(code));
    };
    size_t done = 0;
    while (done < data.size()) {
        DWORD chunk = DWORD(std::min<size_t>(data.size() - done, 1u << 30)), wrote = 0;
        if (injected(faults::Op::Write) || !WriteFile(h, data.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            fail("writing the temporary file failed");
        done += wrote;
    }
    if (injected(faults::Op::Sync) || !FlushFileBuffers(h)) fail("cannot flush the file to the disk");
    BOOL closed = !injected(faults::Op::Close) && CloseHandle(h);
    h = INVALID_HANDLE_VALUE;
    if (!closed) fail("closing the temporary file failed");
    if (injected(faults::Op::Rename) ||
        !MoveFileExA(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail("cannot replace the file");
}

void writeFileSynced(const std::string &path, const std::string &data)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    auto reason = [](DWORD code) { return "system error " + std::to_string(code); };
    if (h == INVALID_HANDLE_VALUE) throw EngineError(path, "cannot create the file: " + reason(GetLastError()));
    auto fail = [&](const std::string &what) {
        DWORD code = GetLastError();
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        throw EngineError(path, what + ": " + reason(code));
    };
    DWORD wrote = 0;
    if (injected(faults::Op::Write) || !WriteFile(h, data.data(), DWORD(data.size()), &wrote, nullptr) ||
        wrote != data.size())
        fail("writing failed");
    if (injected(faults::Op::Sync) || !FlushFileBuffers(h)) fail("cannot flush the file to the disk");
    BOOL closed = !injected(faults::Op::Close) && CloseHandle(h);
    h = INVALID_HANDLE_VALUE;
    if (!closed) fail("closing the file failed");
}

bool removeFile(const std::string &path, bool)
{
    return DeleteFileA(path.c_str()) != 0;
}

bool exchangePaths(const std::string &, const std::string &)
{
    return false;
}

#else

std::string linkTarget(const std::string &path)
{
    std::string p = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::vector<char> buf(size_t(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size() - 1);
        if (n < 0) throw EngineError(path, "cannot read the symbolic link: " + lastError());
        std::string next(buf.data(), size_t(n));
        if (next.empty() || next[0] != '/') next = folderOf(p) + "/" + next;
        p = next;
    }
    throw EngineError(path, "too many levels of symbolic links");
}

namespace {

mode_t creationMode()
{
    // The process's umask can only be read by setting it; do it once.
    static const mode_t mask = [] {
        mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}

// Temporary files of `target` left by writers that were killed before their rename.
// Called only under the file's lock: every live writer of the file holds it while its
// temporary exists, so any such file found then belongs to a dead one.
void removeStaleTemporaries(const std::string &target)
{
    const std::string folder = folderOf(target);
    const size_t slash = target.find_last_of('/');
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp";
    DIR *d = ::opendir(folder.c_str());
    if (!d) return;
    while (const dirent *e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            ::unlink((folder + "/" + name).c_str());
    }
    ::closedir(d);
}

bool ignorableSyncError(int e)
{
    // Some file systems (and special files) cannot be flushed at all.
    return e == EINVAL || e == EROFS || e == ENOTSUP;
}

// Flushes the folder holding `path`, so that a file made, renamed or removed there stays so.
void syncFolder(const std::string &path)
{
    int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (dir < 0) return;
    const bool failed = timedSync(dir, false) != 0 && !ignorableSyncError(errno);
    const int e = errno;
    ::close(dir);
    if (failed) throw EngineError(path, std::string("its folder cannot be flushed to the disk: ") + std::strerror(e));
}

// close(), with an armed fault failing it; errno tells why. A failed close (a network
// folder's delayed write error) still leaves the descriptor closed.
int closeCounted(int fd)
{
    if (injected(faults::Op::Close)) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    return ::close(fd);
}

} // namespace

void replaceFile(const std::string &path, const std::string &data)
{
    const std::string target = linkTarget(path);
    struct stat st;
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed && !S_ISREG(st.st_mode)) throw EngineError(path, notAFile(st.st_mode));
    if (lockHeldHere(target)) removeStaleTemporaries(target);

    std::string name = target + ".tmpXXXXXX";
    int fd = ::mkstemp(name.data());
    if (fd < 0) throw EngineError(path, "cannot create a temporary file beside it: " + lastError());
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    // Each failure keeps its own errno: the clean-up below must not overwrite it.
    auto fail = [&](const std::string &what) {
        const int e = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(name.c_str());
        throw EngineError(path, what + ": " + std::strerror(e));
    };
    const mode_t mode = existed ? (st.st_mode & 07777) : creationMode();
    if (::fchmod(fd, mode) != 0) fail("cannot give the temporary file the file's permissions");
    if (existed && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        (void)!::fchown(fd, st.st_uid, st.st_gid); // keeps the owner where the system lets us

    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = injected(faults::Op::Write) ? -1 : ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) fail("writing the temporary file failed");
        done += size_t(n);
    }
    if (timedSync(fd, false) != 0 && !ignorableSyncError(errno))
        fail("cannot flush the file to the disk");
    const int closed = closeCounted(fd);
    fd = -1;
    if (closed != 0) fail("closing the temporary file failed");
    if (injected(faults::Op::Rename) || ::rename(name.c_str(), target.c_str()) != 0)
        fail("cannot replace the file");

    // The rename lives in the folder: flush it too, or a power cut may undo it.
    try {
        syncFolder(target);
    } catch (const EngineError &e) {
        throw EngineError(path, "the file was replaced, but " + e.reason());
    }
}

void writeFileSynced(const std::string &path, const std::string &data)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, creationMode());
    if (fd < 0) throw EngineError(path, "cannot create the file: " + lastError());
    auto fail = [&](const std::string &what) {
        const int e = errno;
        if (fd >= 0) ::close(fd);
        throw EngineError(path, what + ": " + std::strerror(e));
    };
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = injected(faults::Op::Write) ? -1 : ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) fail("writing failed");
        done += size_t(n);
    }
    if (timedSync(fd, true) != 0 && !ignorableSyncError(errno)) fail("cannot flush the file to the disk");
    const int closed = closeCounted(fd);
    fd = -1;
    if (closed != 0) fail("closing the file failed");
    syncFolder(path);
}

bool exchangePaths(const std::string &a, const std::string &b)
{
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) {
        syncFolder(b);
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) return false;
    throw EngineError(b, "cannot swap it with " + a + ": " + lastError());
#else
    (void)a;
    (void)b;
    return false;
#endif
}

bool removeFile(const std::string &path, bool sync)
{
    if (::unlink(path.c_str()) != 0) {
        if (errno == ENOENT) return false;
        throw EngineError(path, "cannot remove the file: " + lastError());
    }
    if (sync) syncFolder(path);
    return true;
}

#endif

// ---------------------------------------------------------------------------------
// FileLock

namespace {

// The lock covers one byte far beyond the owner text, so the text stays readable (on
// Windows a locked range cannot even be read by others).
constexpr uint32_t kLockByte = 0x7FFFFFF0;

#ifdef _WIN32
using OsHandle = HANDLE;
const OsHandle kNoHandle = INVALID_HANDLE_VALUE;
#else
using OsHandle = int;
constexpr OsHandle kNoHandle = -1;
#endif

// One held lock file of this process: its handle, how often it is taken, by which thread.
struct HeldLock {
    OsHandle handle = kNoHandle;
    int count = 0;
    std::thread::id owner;
    bool shared = false;
};

std::mutex g_lockMutex;
std::condition_variable g_lockFreed;
std::map<std::string, HeldLock> g_held; // by the lock file's absolute path

// The lock file's path spelt one way whatever way the data path was given, so that one
// process never opens a lock file twice (closing either descriptor would drop the lock).
std::string lockKey(const std::string &lockPath)
{
#ifdef _WIN32
    char buf[MAX_PATH];
    DWORD n = GetFullPathNameA(lockPath.c_str(), MAX_PATH, buf, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : lockPath;
#else
    const std::string folder = folderOf(lockPath);
    char buf[PATH_MAX];
    if (!::realpath(folder.c_str(), buf)) return lockPath;
    size_t slash = lockPath.find_last_of('/');
    return std::string(buf) + "/" + (slash == std::string::npos ? lockPath : lockPath.substr(slash + 1));
#endif
}

std::string processId()
{
#ifdef _WIN32
    return std::to_string(GetCurrentProcessId());
#else
    return std::to_string(::getpid());
#endif
}

#ifdef _WIN32

OsHandle openLockFile(const std::string &path, std::string &why)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) why = "system error " + std::to_string(GetLastError());
    return h;
}

// 1: locked, 0: held by someone else, -1: locking impossible (why says so).
int tryLock(OsHandle h, std::string &why, bool shared)
{
    OVERLAPPED ov{};
    ov.Offset = kLockByte;
    const DWORD flags = (shared ? 0 : LOCKFILE_EXCLUSIVE_LOCK) | LOCKFILE_FAIL_IMMEDIATELY;
    if (LockFileEx(h, flags, 0, 1, 0, &ov)) return 1;
    DWORD code = GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return 0;
    why = "system error " + std::to_string(code);
    return -1;
}

void unlockAndClose(OsHandle h)
{
    OVERLAPPED ov{};
    ov.Offset = kLockByte;
    UnlockFileEx(h, 0, 1, 0, &ov);
    CloseHandle(h);
}

void closeHandle(OsHandle h) { CloseHandle(h); }

// Windows cannot remove a file that others hold open: the lock file stays.
void removeAndUnlock(OsHandle h, const std::string &)
{
    unlockAndClose(h);
}

void releaseShared(OsHandle h, const std::string &)
{
    unlockAndClose(h);
}

bool stillNamed(OsHandle, const std::string &)
{
    return true;
}

void writeOwner(OsHandle h, const std::string &text)
{
    std::string padded = text;
    if (padded.size() < 40) padded.resize(40, ' ');
    DWORD wrote = 0;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    WriteFile(h, padded.data(), DWORD(padded.size()), &wrote, nullptr);
}

std::string holderOf(OsHandle h)
{
    char buf[128];
    DWORD got = 0;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    if (!ReadFile(h, buf, sizeof buf - 1, &got, nullptr)) return {};
    return std::string(buf, got);
}

#else

OsHandle openLockFile(const std::string &path, std::string &why)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = lastError();
        return -1;
    }
    // Every user of a shared folder must be able to take the lock.
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 0666) != 0666) ::fchmod(fd, 0666);
    return fd;
}

struct flock lockRange(short type)
{
    struct flock fl{};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(kLockByte);
    fl.l_len = 1;
    return fl;
}

int tryLock(OsHandle fd, std::string &why, bool shared)
{
    struct flock fl = lockRange(shared ? F_RDLCK : F_WRLCK);
    if (::fcntl(fd, F_SETLK, &fl) == 0) return 1;
    if (errno == EACCES || errno == EAGAIN || errno == EINTR) return 0;
    why = lastError();
    return -1;
}

void unlockAndClose(OsHandle fd)
{
    struct flock fl = lockRange(F_UNLCK);
    ::fcntl(fd, F_SETLK, &fl);
    ::close(fd);
}

void closeHandle(OsHandle fd) { ::close(fd); }

// The lock file goes with the lock, so that no lock files gather beside the tables (a
// folder listing would show them). It is removed while still locked; a program that
// opened it before and gets the lock after finds its file no longer named so
// (stillNamed) and starts again with a new one.
void removeAndUnlock(OsHandle fd, const std::string &path)
{
    ::unlink(path.c_str());
    unlockAndClose(fd);
}

bool stillNamed(OsHandle fd, const std::string &path)
{
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// A reader gives its share back; the last one out (nobody else holds any lock on the
// file, so it can take it whole at once) removes the lock file.
void releaseShared(OsHandle fd, const std::string &path)
{
    struct flock fl = lockRange(F_UNLCK);
    ::fcntl(fd, F_SETLK, &fl);
    struct flock whole = lockRange(F_WRLCK);
    if (::fcntl(fd, F_SETLK, &whole) == 0 && stillNamed(fd, path)) ::unlink(path.c_str());
    unlockAndClose(fd);
}

void writeOwner(OsHandle fd, const std::string &text)
{
    // Written over the old text at a fixed width, never truncated first: ext4 flushes a
    // file truncated to nothing when it is closed, which would cost milliseconds a lock.
    std::string padded = text;
    if (padded.size() < 40) padded.resize(40, ' ');
    (void)!::pwrite(fd, padded.data(), padded.size(), 0);
}

std::string holderOf(OsHandle fd)
{
    struct flock fl = lockRange(F_WRLCK);
    if (::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK && fl.l_pid > 0)
        return "process " + std::to_string(fl.l_pid);
    char buf[128];
    ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
    if (n <= 0) return {};
    std::string text(buf, size_t(n));
    return text.substr(0, text.find('\n'));
}

#endif

std::string trimmed(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

} // namespace

bool lockHeldHere(const std::string &dataPath)
{
    const std::string key = lockKey(FileLock::lockPathFor(dataPath));
    std::lock_guard<std::mutex> guard(g_lockMutex);
    auto it = g_held.find(key);
    return it != g_held.end() && it->second.owner == std::this_thread::get_id() && it->second.handle != kNoHandle;
}

std::string FileLock::lockPathFor(const std::string &dataPath)
{
    return linkTarget(dataPath) + ".lck";
}

std::chrono::milliseconds FileLock::defaultWait()
{
    // DENDRIX_LOCK_WAIT_MS overrides the wait (a slow network folder; the tests).
    if (const char *env = std::getenv("DENDRIX_LOCK_WAIT_MS")) {
        long ms = std::strtol(env, nullptr, 10);
        if (ms > 0) return std::chrono::milliseconds(ms);
    }
    return std::chrono::milliseconds(5000);
}

FileLock::FileLock(const std::string &dataPath, std::chrono::milliseconds wait)
    : FileLock(dataPath, LockKind::Exclusive, wait)
{
}

FileLock::FileLock(const std::string &dataPath, LockKind kind, std::chrono::milliseconds wait)
    : lockPath_(lockKey(lockPathFor(dataPath)))
{
    const bool shared = kind == LockKind::Shared;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    std::unique_lock<std::mutex> guard(g_lockMutex);
    for (;;) {
        auto it = g_held.find(lockPath_);
        if (it == g_held.end()) break;
        if (it->second.owner == std::this_thread::get_id()) {
            // Reading what this thread is changing is fine; changing what it only reads
            // would need the lock made exclusive, which nothing here does.
            if (it->second.shared && !shared)
                throw EngineError(dataPath, "the file is being read; it cannot be changed until the reading is done");
            ++it->second.count;
            held_ = true;
            return;
        }
        if (g_lockFreed.wait_until(guard, deadline) == std::cv_status::timeout && g_held.count(lockPath_))
            throw LockBusyError(dataPath, "the file is being changed by another window of this program; try again",
                                "this program");
    }
    // Claim the entry so that other threads wait while this one polls the system lock.
    HeldLock &entry = g_held[lockPath_];
    entry.owner = std::this_thread::get_id();
    entry.count = 1;
    entry.shared = shared;
    guard.unlock();

    auto giveUp = [&]() {
        std::lock_guard<std::mutex> again(g_lockMutex);
        g_held.erase(lockPath_);
        g_lockFreed.notify_all();
    };
    std::string why;
    OsHandle h = kNoHandle;
    unsigned pause = 1;
    for (;;) {
        if (h == kNoHandle) {
            h = openLockFile(lockPath_, why);
            if (h == kNoHandle) {
                giveUp();
                // A folder we may not write to: there is nothing to guard, the write
                // itself fails with its own reason.
#ifndef _WIN32
                if (::access(folderOf(lockPath_).c_str(), W_OK) != 0) return;
#endif
                throw EngineError(dataPath, "cannot open its lock file " + lockPath_ + ": " + why);
            }
        }
        int got = tryLock(h, why, shared);
        if (got == 1) {
            if (stillNamed(h, lockPath_)) break;
            unlockAndClose(h); // its holder removed it meanwhile: take the new one
            h = kNoHandle;
            continue;
        }
        if (got < 0) {
            closeHandle(h);
            giveUp();
            throw EngineError(dataPath, "cannot lock the file through " + lockPath_ + ": " + why);
        }
        if (Clock::now() >= deadline) {
            std::string holder = trimmed(holderOf(h));
            closeHandle(h);
            giveUp();
            throw LockBusyError(dataPath, "another program is changing the file" +
                                            (holder.empty() ? std::string() : " (" + holder + ")") +
                                            " and did not finish in " + std::to_string(wait.count() / 1000.0).substr(0, 3) +
                                            " s; try again later",
                                holder);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(pause * 2, 20u);
    }
    if (!shared) writeOwner(h, "process " + processId() + "\n");
    std::lock_guard<std::mutex> again(g_lockMutex);
    g_held[lockPath_].handle = h;
    held_ = true;
}

FileLock::~FileLock()
{
    if (!held_) return;
    std::lock_guard<std::mutex> guard(g_lockMutex);
    auto it = g_held.find(lockPath_);
    if (it == g_held.end()) return;
    if (--it->second.count > 0) return;
    if (it->second.shared) releaseShared(it->second.handle, lockPath_);
    else removeAndUnlock(it->second.handle, lockPath_);
    g_held.erase(it);
    g_lockFreed.notify_all();
}

} // namespace dx::platform
