// Damaged Paradox files: cut short, bytes flipped, lying counts, looping chains. The
// reader must throw EngineError or read; never crash or read out of bounds (run under
// AddressSanitizer to check the latter).
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/paradox/ParadoxFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <random>

using dx::Value;

namespace {

// Reads every cell; returns false when the reader threw EngineError.
bool readAll(const std::string &path, const dx::OpenOptions &o = {})
{
    try {
        auto t = dx::px::read(path, o);
        for (size_t r = 0; r < t->rowCount(); ++r)
            for (size_t f = 0; f < t->fields().size(); ++f) (void)t->value(r, f).toText();
        return true;
    } catch (const dx::EngineError &e) {
        EXPECT_EQ(e.subject(), path);
        return false;
    }
}

std::string makeTable(const dxtest::TempDir &dir, const std::string &password)
{
    std::string path = dir.file("src.db");
    std::vector<dx::FieldDef> fields(4);
    fields[0].name = "T";
    fields[0].type = dx::FieldType::Text;
    fields[0].width = 12;
    fields[1].name = "I";
    fields[1].type = dx::FieldType::Integer;
    fields[2].name = "R";
    fields[2].type = dx::FieldType::Real;
    fields[3].name = "D";
    fields[3].type = dx::FieldType::Date;
    std::vector<dx::Row> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back({Value::fromText("row " + std::to_string(i)), Value::fromInt(i), Value::fromReal(i / 3.0),
                        Value::fromText("2020-01-01")});
    dx::px::CreateOptions co;
    co.password = password;
    co.blockSizeKb = 1;
    dx::px::create(path, fields, rows, co);
    return path;
}

void put16(std::string &d, size_t at, unsigned v)
{
    d[at] = char(v & 0xFF);
    d[at + 1] = char(v >> 8);
}

} // namespace

TEST(ParadoxRobustness, CutAtManyLengths)
{
    dxtest::TempDir dir;
    std::vector<std::string> sources = {dxtest::realFixture("leonhad-paradoxdriver/geog/tblsttes.DB"),
                                        dxtest::realFixture("leonhad-paradoxdriver/areas/AREACODE.DB"),
                                        dxtest::realFixture("leonhad-paradoxdriver/encrypt/encrypted35.db"),
                                        makeTable(dir, ""), makeTable(dir, "pw")};
    dx::OpenOptions o;
    o.knownPasswords = {"123", "pw"};
    std::string cut = dir.file("cut.db");
    for (const auto &src : sources) {
        std::string data = dx::io::readFile(src);
        size_t step = std::max<size_t>(1, data.size() / 300);
        int ok = 0, failed = 0;
        for (size_t len = 0; len < data.size(); len += (len < 0x200 ? 7 : step)) {
            dx::io::writeFileAtomic(cut, data.substr(0, len));
            (readAll(cut, o) ? ok : failed)++;
        }
        EXPECT_GT(failed, 0) << src;
    }
}

TEST(ParadoxRobustness, FlippedBytes)
{
    dxtest::TempDir dir;
    std::vector<std::string> sources = {dxtest::realFixture("leonhad-paradoxdriver/fields/bcd.db"),
                                        dxtest::realFixture("leonhad-paradoxdriver/db/AREACODES.DB"),
                                        dxtest::realFixture("leonhad-paradoxdriver/encrypt/encrypted.db"),
                                        makeTable(dir, "pw")};
    dx::OpenOptions o;
    o.knownPasswords = {"123", "pw"};
    std::mt19937 rng(12345);
    std::string bad = dir.file("bad.db");
    for (const auto &src : sources) {
        std::string data = dx::io::readFile(src);
        for (int round = 0; round < 300; ++round) {
            std::string d = data;
            int flips = 1 + int(rng() % 4);
            for (int k = 0; k < flips; ++k) {
                // Mostly the header and the first block headers, where damage matters most.
                size_t limit = (round % 2) ? d.size() : std::min<size_t>(d.size(), 0x900);
                size_t at = rng() % limit;
                d[at] = char(d[at] ^ (1 << (rng() % 8)));
            }
            dx::io::writeFileAtomic(bad, d);
            readAll(bad, o);
        }
    }
}

TEST(ParadoxRobustness, LyingCountsLoopsAndOffsets)
{
    dxtest::TempDir dir;
    std::string src = makeTable(dir, "");
    std::string data = dx::io::readFile(src);
    const size_t header = (unsigned char)data[2] | ((unsigned char)data[3] << 8);
    std::string p = dir.file("x.db");
    auto variant = [&](auto change) {
        std::string d = data;
        change(d);
        dx::io::writeFileAtomic(p, d);
        return readAll(p);
    };
    EXPECT_TRUE(readAll(src));
    // The header's record count is not trusted: the blocks decide.
    EXPECT_TRUE(variant([](std::string &d) { d[6] = d[7] = d[8] = d[9] = char(0xFF); }));
    EXPECT_EQ(dx::px::read(p)->rowCount(), 200u);
    // More fields than the record holds, fewer, zero, absurd.
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 0x21, 5); }));
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 0x21, 3); }));
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 0x21, 0); }));
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 0x21, 0xFFFF); }));
    // Record size lies.
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 0, 1); }));
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 0, 0); }));
    // Header size past the end of the file, or inside the fixed part.
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 2, 0xFFFF); }));
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 2, 0x40); }));
    // First block past the end of the file.
    EXPECT_FALSE(variant([](std::string &d) { put16(d, 0x0E, 0xFFFF); }));
    // A chain that loops: block 2 points back to block 1.
    EXPECT_FALSE(variant([&](std::string &d) { put16(d, header + 1024, 1); }));
    // A block that loops to itself.
    EXPECT_FALSE(variant([&](std::string &d) { put16(d, header, 1); }));
    // A block claiming more records than fit, and an offset that is no record boundary.
    EXPECT_FALSE(variant([&](std::string &d) { put16(d, header + 4, 0x7000); }));
    EXPECT_FALSE(variant([&](std::string &d) { put16(d, header + 4, 3); }));
    // An empty block (offset -record size) in the chain holds no records.
    EXPECT_TRUE(variant([&](std::string &d) {
        unsigned rs = (unsigned char)d[0] | ((unsigned char)d[1] << 8);
        put16(d, header + 4, (0x10000 - rs) & 0xFFFF);
    }));
    EXPECT_EQ(dx::px::read(p)->rowCount(), 200u - (1024u - 6u) / 28u); // 28-byte records, 1 KB blocks
    // Unknown field type; unknown file type (an index); unknown block size.
    EXPECT_FALSE(variant([](std::string &d) { d[0x78] = char(0x55); }));
    EXPECT_FALSE(variant([](std::string &d) { d[4] = 1; }));
    EXPECT_FALSE(variant([](std::string &d) { d[5] = 5; }));
    // Out-of-range rows and fields read as null, not as garbage.
    auto t = dx::px::read(src);
    EXPECT_TRUE(t->value(200, 0).isNull());
    EXPECT_TRUE(t->value(0, 4).isNull());
}
