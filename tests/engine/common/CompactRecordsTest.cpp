// Compact records give back every record byte for byte, whatever its text fields hold
// (padding, padding bytes inside the text, a full-width text), across page boundaries.
#include "engine/common/CompactRecords.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using dx::CompactRecords;

namespace {

// A record of 40 bytes: a number [0,4), text A [4,14) NUL-padded, text B [14,22)
// blank-padded, two numbers [22,30), text C [30,40) NUL-padded at the record's end.
std::vector<CompactRecords::Trimmed> layout()
{
    return {{4, 10, 0}, {14, 8, ' '}, {30, 10, 0}};
}

std::string randomRecord(std::mt19937 &rnd)
{
    // Bytes from a small alphabet so that padding bytes turn up inside texts and numbers.
    static const char alphabet[] = {'\0', ' ', 'a', '\xE0', '7', '\xFF'};
    std::string r(40, '\0');
    for (char &c : r) c = alphabet[rnd() % sizeof alphabet];
    auto text = [&](size_t at, size_t width, char pad) {
        const size_t len = rnd() % (width + 1);
        for (size_t i = len; i < width; ++i) r[at + i] = pad;
    };
    text(4, 10, '\0');
    text(14, 8, ' ');
    text(30, 10, '\0');
    return r;
}

const unsigned char *bytes(const std::string &s) { return reinterpret_cast<const unsigned char *>(s.data()); }

} // namespace

TEST(CompactRecords, EveryRecordComesBackAsStoredAcrossPages)
{
    CompactRecords store(40, layout());
    std::mt19937 rnd(7);
    std::vector<std::string> kept;
    // Whole-width texts, texts of padding only, padding inside a text.
    kept.push_back(std::string(40, '\0'));
    kept.push_back(std::string(40, ' '));
    kept.push_back(std::string(40, 'x'));
    std::string inside(40, 'n');
    inside[6] = '\0';
    inside[16] = ' ';
    kept.push_back(inside);
    // Enough records to fill several megabyte pages.
    while (kept.size() < 120000) kept.push_back(randomRecord(rnd));
    for (const std::string &r : kept) store.append(bytes(r));
    ASSERT_EQ(store.size(), kept.size());
    size_t bad = 0;
    for (size_t i = 0; i < kept.size(); ++i)
        if (store.record(i) != kept[i] && ++bad < 5) ADD_FAILURE() << "record " << i << " differs";
    EXPECT_EQ(bad, 0u);
    // A text keeps only what it holds: the store is the records without their padding,
    // a length byte a text and an 8-byte place a record, pages wasting at most a record
    // at their ends and the last page its unused rest.
    size_t compact = 0;
    for (const std::string &r : kept) {
        compact += 12 + 3 + 8;
        for (auto t : layout()) {
            size_t n = t.size;
            while (n > 0 && r[t.offset + n - 1] == char(t.pad)) --n;
            compact += n;
        }
    }
    const size_t page = 1 << 20;
    EXPECT_LE(store.bytesHeld(), compact + (compact / page + 1) * 43 + page);
    EXPECT_LT(compact, kept.size() * (40 + 8));
}

TEST(CompactRecords, FieldsReadAsTheirBytesInTheWholeRecord)
{
    CompactRecords store(40, layout());
    std::mt19937 rnd(11);
    std::vector<std::string> kept;
    for (int i = 0; i < 500; ++i) kept.push_back(randomRecord(rnd));
    for (const std::string &r : kept) store.append(bytes(r));
    // Every field of the layout, trimmed or not, and parts of the untrimmed stretches.
    const std::vector<std::pair<size_t, size_t>> fields = {{0, 4}, {4, 10}, {14, 8}, {22, 4}, {26, 4}, {30, 10}, {1, 2}, {22, 8}};
    for (auto [offset, size] : fields) {
        CompactRecords::Place place;
        ASSERT_TRUE(store.placeOf(offset, size, place)) << offset;
        unsigned char scratch[256];
        for (size_t i = 0; i < kept.size(); ++i) {
            const unsigned char *p = store.field(i, place, scratch);
            ASSERT_EQ(std::string(reinterpret_cast<const char *>(p), size), kept[i].substr(offset, size))
                << "record " << i << " field at " << offset;
        }
    }
    // A stretch that crosses a text field, or only part of one, is refused.
    CompactRecords::Place place;
    EXPECT_FALSE(store.placeOf(2, 4, place));
    EXPECT_FALSE(store.placeOf(4, 5, place));
    EXPECT_FALSE(store.placeOf(20, 4, place));
    EXPECT_FALSE(store.placeOf(38, 4, place));
}

TEST(CompactRecords, StretchesThatBreakTheRulesAreKeptAsStored)
{
    // Overlapping, too wide and past the end: each is kept whole, records still exact.
    CompactRecords store(20, {{0, 8, 0}, {4, 8, 0}, {8, 0, 0}, {10, 12, ' '}});
    std::string a(20, '\0'), b = "abc\0\0\0\0\0        x";
    b.resize(20, ' ');
    store.append(bytes(a));
    store.append(bytes(b));
    EXPECT_EQ(store.record(0), a);
    EXPECT_EQ(store.record(1), b);
    CompactRecords::Place place;
    ASSERT_TRUE(store.placeOf(10, 10, place));
    EXPECT_FALSE(place.trimmed);
}
