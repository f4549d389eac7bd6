// The reader takes a table several pieces long a block at a time and keeps its records
// compact: the records must still be byte for byte those of the file decrypted whole
// (chains running forward and jumping back, blocks across piece boundaries), and an edit
// made from such a snapshot must land on its own record.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/paradox/ParadoxCrypt.h"
#include "engine/paradox/ParadoxFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

using dx::FieldDef;
using dx::FieldType;
using dx::Row;
using dx::Value;

namespace {

const char *kPassword = "kolo9";

std::vector<FieldDef> fields()
{
    return {dx::makeField("NAME", FieldType::Text, 40, 0, 0), dx::makeField("N", FieldType::Integer, 0, 0, 0),
            dx::makeField("AREA", FieldType::Real, 0, 0, 0), dx::makeField("NOTE", FieldType::Text, 100, 0, 0),
            dx::makeField("S", FieldType::Integer, 0, 0, 0x03)};
}

// Texts of every length up to the field's width (a full one has no terminating NUL).
Row rowOf(int i)
{
    std::string note(size_t(i % 101), char('a' + i % 26));
    return {Value::fromText(i % 3 ? "Бук " + std::to_string(i) : std::string()), Value::fromInt(i),
            Value::fromReal(i * 0.5), Value::fromText(note), Value::fromInt(i % 7 - 3)};
}

uint16_t le16(const std::string &s, size_t at) { return uint16_t(uint8_t(s[at]) | (uint8_t(s[at + 1]) << 8)); }
void put16(std::string &s, size_t at, uint32_t v)
{
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}
uint32_t le32(const std::string &s, size_t at) { return le16(s, at) | (uint32_t(le16(s, at + 2)) << 16); }

struct Whole {
    std::string image; // every block decrypted
    size_t headerSize = 0, blockSize = 0, recordSize = 0;
    uint32_t key = 0;
};

// The file read whole and every block decrypted, independently of the reader.
Whole decryptWhole(const std::string &path)
{
    Whole w;
    w.image = dx::io::readFile(path);
    w.recordSize = le16(w.image, 0);
    w.headerSize = le16(w.image, 2);
    w.blockSize = size_t(uint8_t(w.image[5])) * 1024;
    w.key = le32(w.image, 0x5C);
    auto *p = reinterpret_cast<unsigned char *>(w.image.data());
    for (size_t at = w.headerSize, no = 1; at + w.blockSize <= w.image.size(); at += w.blockSize, ++no)
        if (w.key) dx::px::crypt::decryptBlock(p + at, w.blockSize, w.key, uint32_t(no));
    return w;
}

// The records the chain reaches, in chain order, from the whole decrypted file.
std::vector<std::pair<uint64_t, std::string>> chainRecords(const Whole &w)
{
    std::vector<std::pair<uint64_t, std::string>> out;
    for (uint32_t no = le16(w.image, 0x0E); no != 0;) {
        const size_t at = w.headerSize + size_t(no - 1) * w.blockSize;
        const int16_t last = int16_t(le16(w.image, at + 4));
        for (int r = 0; last >= 0 && r <= last / int(w.recordSize); ++r) {
            const size_t rec = at + 6 + size_t(r) * w.recordSize;
            out.emplace_back(rec, w.image.substr(rec, w.recordSize));
        }
        no = le16(w.image, at);
    }
    return out;
}

// Reverses the order of blocks 2..N in the file (contents moved, links mended, each
// block encrypted again under its new number), so that the chain runs 1, N, N-1, ..., 2:
// every step after the first jumps back.
void reverseChain(const std::string &path)
{
    Whole w = decryptWhole(path);
    const size_t blocks = (w.image.size() - w.headerSize) / w.blockSize;
    std::string out = w.image;
    auto blockAt = [&](std::string &s, size_t no) { return w.headerSize + (no - 1) * w.blockSize; };
    // Old block k (2..N) moves to place N + 2 - k.
    for (size_t k = 2; k <= blocks; ++k)
        std::memcpy(out.data() + blockAt(out, blocks + 2 - k), w.image.data() + blockAt(w.image, k), w.blockSize);
    // Chain in old numbers: 1, 2, ..., N; in new places: 1, N, N-1, ..., 2.
    auto place = [&](size_t oldNo) { return oldNo == 1 ? size_t(1) : blocks + 2 - oldNo; };
    for (size_t k = 1; k <= blocks; ++k) {
        const size_t at = blockAt(out, place(k));
        put16(out, at, k < blocks ? uint32_t(place(k + 1)) : 0);
        put16(out, at + 2, k > 1 ? uint32_t(place(k - 1)) : 0);
    }
    put16(out, 0x10, uint32_t(place(blocks))); // the last block
    auto *p = reinterpret_cast<unsigned char *>(out.data());
    for (size_t no = 1; no <= blocks; ++no)
        if (w.key) dx::px::crypt::encryptBlock(p + blockAt(out, no), w.blockSize, w.key, uint32_t(no));
    dx::io::writeFileAtomic(path, out);
}

dx::OpenOptions withPassword()
{
    dx::OpenOptions o;
    o.knownPasswords = {kPassword};
    return o;
}

void expectSameAsWhole(const std::string &path, const std::string &what)
{
    auto table = dx::px::read(path, withPassword());
    const auto expected = chainRecords(decryptWhole(path));
    ASSERT_EQ(table->rowCount(), expected.size()) << what;
    size_t bad = 0;
    for (size_t r = 0; r < expected.size(); ++r) {
        const dx::RecordRef ref = table->record(r);
        if ((ref.address != expected[r].first || ref.bytes != expected[r].second) && ++bad < 5)
            ADD_FAILURE() << what << ": record " << r << " differs";
    }
    EXPECT_EQ(bad, 0u) << what;
    // And the cells read from the kept records are those of the rows written.
    for (size_t r = 0; r < expected.size(); r += 997) {
        const int i = table->value(r, 1).i;
        const Row want = rowOf(i);
        for (size_t f = 0; f < want.size(); ++f)
            EXPECT_EQ(table->value(r, f).toText(), want[f].toText()) << what << " row " << r << " field " << f;
    }
}

} // namespace

TEST(ParadoxPieces, ManyPiecesReadAsTheWholeFileDecrypted)
{
    dxtest::TempDir dir;
    // About 18 MB in 16 KB blocks of 99 records: four pieces and a part, blocks lying
    // across the pieces' ends (the header is 2 KB or 4 KB, no multiple of a block).
    const int n = 110000;
    for (const char *password : {"", kPassword}) {
        const std::string path = dir.file(std::string("t") + (*password ? "enc" : "plain") + ".db");
        dx::px::CreateOptions co;
        co.password = password;
        co.blockSizeKb = 16;
        dx::px::Creator c(path, fields(), co, n);
        for (int i = 0; i < n; ++i) c.add(rowOf(i));
        c.finish();
        expectSameAsWhole(path, path + ", chain forward");
        reverseChain(path);
        expectSameAsWhole(path, path + ", chain reversed");
    }
}

TEST(ParadoxPieces, AnEditFromASnapshotLandsOnItsRecordAndAStaleOneIsRefused)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("edit.db");
    dx::px::CreateOptions co;
    co.password = kPassword;
    co.blockSizeKb = 4;
    dx::px::Creator c(path, fields(), co);
    const int n = 30000; // some 7 MB: the rows edited lie in different pieces
    for (int i = 0; i < n; ++i) c.add(rowOf(i));
    c.finish();
    reverseChain(path);

    auto before = dx::px::read(path, withPassword());
    ASSERT_EQ(before->rowCount(), size_t(n));
    const size_t rows[] = {0, 1, 20000, size_t(n - 1)};
    for (size_t r : rows) {
        Row changed = before->row(r);
        changed[3] = Value::fromText("изменено " + std::to_string(r));
        auto w = dx::px::openWriter(path, withPassword());
        w->update(before->record(r), changed);
        // The snapshot patched with what was written reads as a fresh read does.
        auto patched = before->withRecord(r, *w->written());
        ASSERT_TRUE(patched);
        EXPECT_EQ(patched->value(r, 3).toText(), "изменено " + std::to_string(r));
    }
    auto after = dx::px::read(path, withPassword());
    ASSERT_EQ(after->rowCount(), size_t(n));
    for (size_t r = 0; r < size_t(n); ++r) {
        const std::string note = after->value(r, 3).toText();
        const bool edited = r == 0 || r == 1 || r == 20000 || r == size_t(n - 1);
        if (edited) EXPECT_EQ(note, "изменено " + std::to_string(r));
        else if (note != before->value(r, 3).toText()) ADD_FAILURE() << "row " << r << " changed";
        if (!edited && after->record(r).bytes != before->record(r).bytes) ADD_FAILURE() << "record " << r << " changed";
    }
    // The old snapshot's view of an edited row no longer matches the file.
    auto w = dx::px::openWriter(path, withPassword());
    EXPECT_THROW(w->update(before->record(20000), before->row(20000)), dx::StaleRecordError);
    EXPECT_NO_THROW(w->update(before->record(20001), before->row(20001)));
}
