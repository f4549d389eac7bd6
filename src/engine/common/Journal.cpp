// The journal of an in-place change (see Journal.h). Its layout, all numbers little-endian:
//   "DXJRNL1\n"                      8 bytes
//   old length, new length           8 + 8
//   ranges                           4
//   per range: offset 8, old bytes' count 4, new bytes' count 4, new bytes' checksum 8,
//              the old bytes (the part of the range that lay inside the old file)
//   checksum of everything above     8
#include "engine/common/Journal.h"

#include "engine/common/EngineError.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace dx::platform {

namespace {

constexpr char kMagic[8] = {'D', 'X', 'J', 'R', 'N', 'L', '1', '\n'};

uint64_t checksum(const char *p, size_t n)
{
    uint64_t h = 14695981039346656037ull; // FNV-1a
    for (size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(p[i]);
        h *= 1099511628211ull;
    }
    return h;
}

void put64(std::string &out, uint64_t v)
{
    for (int i = 0; i < 8; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

void put32(std::string &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

// Reads the journal's numbers in order; any read past its end marks it as cut short.
struct Reader {
    const std::string &s;
    size_t pos = 0;
    bool ok = true;

    uint64_t get(int bytes)
    {
        if (pos + size_t(bytes) > s.size()) {
            ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= uint64_t(static_cast<unsigned char>(s[pos + size_t(i)])) << (8 * i);
        pos += size_t(bytes);
        return v;
    }

    std::string take(uint64_t n)
    {
        if (!ok || n > s.size() - pos) {
            ok = false;
            return {};
        }
        std::string out = s.substr(pos, size_t(n));
        pos += size_t(n);
        return out;
    }
};

struct Range {
    uint64_t at = 0;
    std::string old;
    uint64_t newLength = 0;
    uint64_t newSum = 0;
};

struct Journal {
    uint64_t oldLength = 0, newLength = 0;
    std::vector<Range> ranges;
};

// The journal if it is whole; nothing when it was cut short (or is not ours).
bool parse(const std::string &text, Journal &j)
{
    if (text.size() < sizeof kMagic + 8 || std::memcmp(text.data(), kMagic, sizeof kMagic) != 0) return false;
    const size_t body = text.size() - 8;
    Reader tail{text, body};
    if (tail.get(8) != checksum(text.data(), body)) return false;
    Reader r{text, sizeof kMagic};
    j.oldLength = r.get(8);
    j.newLength = r.get(8);
    const uint64_t n = r.get(4);
    for (uint64_t i = 0; i < n && r.ok; ++i) {
        Range range;
        range.at = r.get(8);
        const uint64_t oldCount = r.get(4);
        range.newLength = r.get(4);
        range.newSum = r.get(8);
        range.old = r.take(oldCount);
        j.ranges.push_back(std::move(range));
    }
    return r.ok && r.pos == body;
}

std::string readWhole(const std::string &path, bool &found)
{
    found = false;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    found = true;
    std::string out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) throw EngineError(path, "cannot read the journal of an interrupted change");
    return out;
}

// Puts the old bytes and length back and flushes them.
void rollBack(WritableFile &file, const Journal &j)
{
    for (const Range &r : j.ranges)
        if (!r.old.empty()) file.writeAt(r.at, r.old.data(), r.old.size());
    if (file.size() != j.oldLength) file.truncate(j.oldLength);
    file.sync();
}

bool holdsNewBytes(WritableFile &file, const Journal &j)
{
    if (file.size() != j.newLength) return false;
    std::string buf;
    for (const Range &r : j.ranges) {
        buf.resize(size_t(r.newLength));
        try {
            file.readAt(r.at, buf.data(), buf.size());
        } catch (const EngineError &) {
            return false;
        }
        if (checksum(buf.data(), buf.size()) != r.newSum) return false;
    }
    return true;
}

} // namespace

std::string journalPathFor(const std::string &path)
{
    return linkTarget(path) + ".jnl";
}

InPlaceChange::InPlaceChange(WritableFile &file, const std::string &path) : file_(file), path_(path)
{
}

void InPlaceChange::put(uint64_t at, std::string bytes)
{
    if (!bytes.empty()) changes_.push_back({at, std::move(bytes)});
}

void InPlaceChange::commit()
{
    if (changes_.empty()) return;
    const uint64_t oldLength = file_.size();
    uint64_t newLength = oldLength;
    std::string text(kMagic, sizeof kMagic);
    put64(text, oldLength);
    for (const Change &c : changes_) newLength = std::max<uint64_t>(newLength, c.at + c.bytes.size());
    put64(text, newLength);
    put32(text, uint32_t(changes_.size()));
    Journal undo; // the same, kept to roll back without reading the journal again
    undo.oldLength = oldLength;
    undo.newLength = newLength;
    for (const Change &c : changes_) {
        Range r;
        r.at = c.at;
        if (c.at < oldLength) {
            r.old.resize(size_t(std::min<uint64_t>(c.bytes.size(), oldLength - c.at)));
            file_.readAt(c.at, r.old.data(), r.old.size());
        }
        put64(text, c.at);
        put32(text, uint32_t(r.old.size()));
        put32(text, uint32_t(c.bytes.size()));
        put64(text, checksum(c.bytes.data(), c.bytes.size()));
        text += r.old;
        undo.ranges.push_back(std::move(r));
    }
    put64(text, checksum(text.data(), text.size()));

    const std::string journal = journalPathFor(path_);
    try {
        writeFileSynced(journal, text);
    } catch (const EngineError &e) {
        // The file is untouched; a journal half written is never replayed, but go.
        try {
            removeFile(journal);
        } catch (const EngineError &) {
        }
        throw EngineError(path_, "the change was not made: its journal " + journal + " cannot be written (" + e.reason() + ")");
    }
    try {
        for (const Change &c : changes_) file_.writeAt(c.at, c.bytes.data(), c.bytes.size());
        file_.sync();
    } catch (const EngineError &) {
        try {
            rollBack(file_, undo);
            removeFile(journal);
        } catch (const EngineError &) {
            // The journal stays: the next program to open the file puts it right.
        }
        throw;
    }
    // The change is on the disk. A journal that outlives a power cut from here on finds
    // the new bytes in place and is dropped, so its removal need not be flushed.
    changes_.clear();
    removeFile(journal);
}

Recovery recoverInterruptedChange(const std::string &path)
{
    const std::string journalPath = journalPathFor(path);
    bool found = false;
    const std::string text = readWhole(journalPath, found);
    if (!found) return Recovery::None;
    Journal j;
    if (!parse(text, j)) {
        removeFile(journalPath, true);
        return Recovery::Unstarted;
    }
    Recovery outcome = Recovery::Completed;
    try {
        WritableFile file(path);
        if (!holdsNewBytes(file, j)) {
            rollBack(file, j);
            outcome = Recovery::RolledBack;
        }
    } catch (const EngineError &e) {
        throw EngineError(path, std::string("a change to the file was interrupted and cannot be undone (") + e.reason() +
                                    "); the journal " + journalPath + " is kept");
    }
    removeFile(journalPath, true);
    return outcome;
}

namespace {

const std::string &settled(const std::string &path)
{
    struct stat st;
    if (::stat(journalPathFor(path).c_str(), &st) == 0) {
        FileLock lock(path);
        recoverInterruptedChange(path);
    }
    return path;
}

} // namespace

ReadGuard::ReadGuard(const std::string &path) : lock_(settled(path), LockKind::Shared)
{
}

} // namespace dx::platform
