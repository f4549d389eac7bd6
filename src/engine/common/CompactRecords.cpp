// Compact records: a record is kept as its untrimmed bytes, one length byte for each
// trimmed stretch, then the trimmed stretches' contents; records sit one after another
// in pages of a megabyte or more, so that growing never copies what is held.
#include "engine/common/CompactRecords.h"

#include <algorithm>
#include <cstring>

namespace dx {

CompactRecords::CompactRecords(size_t recordSize, const std::vector<Trimmed> &trimmed) : recordSize_(recordSize)
{
    size_t end = 0;
    for (const Trimmed &t : trimmed) {
        if (t.size == 0 || t.size > 255 || t.offset < end || t.offset + t.size > recordSize) continue;
        trimmed_.push_back(t);
        end = t.offset + t.size;
    }
    size_t from = 0;
    for (const Trimmed &t : trimmed_) {
        if (t.offset > from) {
            fixedFrom_.push_back(uint32_t(from));
            fixedTo_.push_back(uint32_t(t.offset));
        }
        from = t.offset + t.size;
    }
    if (recordSize > from) {
        fixedFrom_.push_back(uint32_t(from));
        fixedTo_.push_back(uint32_t(recordSize));
    }
    for (size_t k = 0; k < fixedFrom_.size(); ++k) fixedBytes_ += fixedTo_[k] - fixedFrom_[k];
    pageSize_ = std::max<size_t>(size_t(1) << 20, 4 * (recordSize + trimmed_.size()));
}

void CompactRecords::append(const unsigned char *record)
{
    const size_t most = fixedBytes_ + trimmed_.size() + (recordSize_ - fixedBytes_);
    if (pages_.empty() || pageSize_ - pageUsed_ < most) {
        pages_.emplace_back(new unsigned char[pageSize_]);
        pageUsed_ = 0;
    }
    unsigned char *out = pages_.back().get() + pageUsed_;
    unsigned char *p = out;
    for (size_t k = 0; k < fixedFrom_.size(); ++k) {
        std::memcpy(p, record + fixedFrom_[k], fixedTo_[k] - fixedFrom_[k]);
        p += fixedTo_[k] - fixedFrom_[k];
    }
    unsigned char *lengths = p;
    p += trimmed_.size();
    for (size_t s = 0; s < trimmed_.size(); ++s) {
        const Trimmed &t = trimmed_[s];
        const unsigned char *field = record + t.offset;
        size_t n = t.size;
        while (n > 0 && field[n - 1] == t.pad) --n;
        lengths[s] = static_cast<unsigned char>(n);
        std::memcpy(p, field, n);
        p += n;
    }
    at_.push_back((uint64_t(pages_.size() - 1) << kPageBits) | pageUsed_);
    pageUsed_ += size_t(p - out);
}

std::string_view CompactRecords::span(size_t i, size_t s) const
{
    const unsigned char *lengths = base(i) + fixedBytes_;
    size_t from = trimmed_.size();
    for (size_t k = 0; k < s; ++k) from += lengths[k];
    return {reinterpret_cast<const char *>(lengths + from), lengths[s]};
}

void CompactRecords::copy(size_t i, unsigned char *out) const
{
    const unsigned char *p = base(i);
    for (size_t k = 0; k < fixedFrom_.size(); ++k) {
        std::memcpy(out + fixedFrom_[k], p, fixedTo_[k] - fixedFrom_[k]);
        p += fixedTo_[k] - fixedFrom_[k];
    }
    const unsigned char *lengths = p;
    p += trimmed_.size();
    for (size_t s = 0; s < trimmed_.size(); ++s) {
        const Trimmed &t = trimmed_[s];
        std::memcpy(out + t.offset, p, lengths[s]);
        std::memset(out + t.offset + lengths[s], t.pad, t.size - lengths[s]);
        p += lengths[s];
    }
}

std::string CompactRecords::record(size_t i) const
{
    std::string out(recordSize_, '\0');
    copy(i, reinterpret_cast<unsigned char *>(out.data()));
    return out;
}

bool CompactRecords::placeOf(size_t offset, size_t size, Place &out) const
{
    out = Place{};
    out.size = size;
    for (size_t s = 0; s < trimmed_.size(); ++s) {
        const Trimmed &t = trimmed_[s];
        if (t.offset == offset && t.size == size) {
            out.trimmed = true;
            out.span = s;
            out.pad = t.pad;
            return true;
        }
        if (offset < t.offset + t.size && t.offset < offset + size) return false; // crosses it
    }
    size_t kept = 0;
    for (size_t k = 0; k < fixedFrom_.size(); ++k) {
        if (offset >= fixedFrom_[k] && offset + size <= fixedTo_[k]) {
            out.fixed = kept + (offset - fixedFrom_[k]);
            return true;
        }
        kept += fixedTo_[k] - fixedFrom_[k];
    }
    return false;
}

const unsigned char *CompactRecords::field(size_t i, const Place &place, unsigned char *scratch) const
{
    if (!place.trimmed) return base(i) + place.fixed;
    const std::string_view text = span(i, place.span);
    std::memcpy(scratch, text.data(), text.size());
    std::memset(scratch + text.size(), place.pad, place.size - text.size());
    return scratch;
}

size_t CompactRecords::bytesHeld() const
{
    return pages_.size() * pageSize_ + at_.capacity() * sizeof(uint64_t);
}

} // namespace dx
