// The records of a table kept in little memory: each text field without the padding
// that fills it to its width (trailing NULs in Paradox, blanks in dBase), every other
// byte as stored. A record comes back byte for byte as it was put in, so that a record
// shown from a snapshot still matches the file when it is written back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dx {

class CompactRecords {
public:
    // A stretch of the record (a text field) stored without the `pad` bytes that end it.
    struct Trimmed {
        size_t offset = 0;
        size_t size = 0; // 1..255
        unsigned char pad = 0;
    };

    CompactRecords() = default;
    // `trimmed`: the text fields, in record order, inside the record and not overlapping
    // (a stretch that breaks these rules is kept as stored instead).
    CompactRecords(size_t recordSize, const std::vector<Trimmed> &trimmed);

    size_t size() const { return at_.size(); }
    size_t recordSize() const { return recordSize_; }
    void reserve(size_t records) { at_.reserve(records); }
    void append(const unsigned char *record);

    // Record `i` whole, as it was appended.
    void copy(size_t i, unsigned char *out) const;
    std::string record(size_t i) const;

    // Where a field of the record is kept: a field wholly outside the trimmed stretches
    // lies in one piece (`fixed`, its place among the kept bytes); a trimmed one is
    // stretch `span`.
    struct Place {
        bool trimmed = false;
        size_t fixed = 0;
        size_t span = 0;
        size_t size = 0;
        unsigned char pad = 0;
    };
    // The place of the `size` bytes at `offset` of the record; a field that crosses a
    // trimmed stretch is not one this store can hand out (false then).
    bool placeOf(size_t offset, size_t size, Place &out) const;
    // The field's bytes of record `i`, `place.size` of them: straight from the store, or
    // put together in `scratch` (at least place.size bytes) with its padding.
    const unsigned char *field(size_t i, const Place &place, unsigned char *scratch) const;

    // Bytes held (for the bench and tests).
    size_t bytesHeld() const;

private:
    const unsigned char *base(size_t i) const { return pages_[at_[i] >> kPageBits].get() + (at_[i] & kPageMask); }
    std::string_view span(size_t i, size_t s) const;

    static constexpr unsigned kPageBits = 40; // at_: page number above, place in page below
    static constexpr uint64_t kPageMask = (uint64_t(1) << kPageBits) - 1;

    size_t recordSize_ = 0;
    std::vector<Trimmed> trimmed_;
    std::vector<uint32_t> fixedFrom_, fixedTo_; // the kept stretches of the record, in order
    size_t fixedBytes_ = 0;
    size_t pageSize_ = 0;
    std::vector<std::unique_ptr<unsigned char[]>> pages_;
    size_t pageUsed_ = 0;
    std::vector<uint64_t> at_;
};

} // namespace dx
