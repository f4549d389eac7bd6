// Operating-system calls of the engine, in one place (see Platform.h). The POSIX branch
// maps files and anonymous memory; the _WIN32 branch keeps to the standard library.
#include "engine/common/Platform.h"

#include "engine/common/EngineError.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
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
// MAP_POPULATE is Linux's; elsewhere pages are faulted in on first touch.
#ifdef MAP_POPULATE
constexpr int kPopulate = MAP_POPULATE;
#else
constexpr int kPopulate = 0;
#endif
// Below this a plain zeroed allocation is as fast and wastes less.
constexpr size_t kMapThreshold = size_t(1) << 20;
#endif

} // namespace

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
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw EngineError(path, "the file cannot be opened for reading: " + lastError());
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EngineError(path, "not a regular file");
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

#else

struct WritableFile::Handle {
    int fd = -1;
};

WritableFile::WritableFile(const std::string &path) : path_(path), h_(new Handle)
{
    h_->fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (h_->fd < 0) {
        std::string why = lastError();
        delete h_;
        throw EngineError(path, "cannot open the file for writing: " + why);
    }
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
        ssize_t r = ::pwrite(h_->fd, src + done, n - done, static_cast<off_t>(at + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) throw EngineError(path_, "writing failed: " + lastError());
        done += static_cast<size_t>(r);
    }
}

void WritableFile::sync()
{
    // fdatasync where the system has it (Linux, BSDs); some file systems refuse it.
#if defined(__APPLE__)
    int rc = ::fsync(h_->fd);
#else
    int rc = ::fdatasync(h_->fd);
#endif
    if (rc != 0 && errno != EINVAL && errno != EROFS)
        throw EngineError(path_, "cannot flush the file: " + lastError());
}

#endif

} // namespace dx::platform
