// Damaged dBase headers: a file cut short or a count never brought up to date reads the
// whole records it holds and says what is wrong; a header that cannot be trusted at all
// (a field of width 0, a header or record length out of step with the fields) is refused
// naming the file. Real files made by other programs are never called damaged.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace dx;

namespace {

void writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void put16(std::string &d, size_t at, unsigned v)
{
    d[at] = char(v & 0xFF);
    d[at + 1] = char((v >> 8) & 0xFF);
}

// A table of `n` records "row I" / I, as our own writer makes it.
std::string makeTable(const dxtest::TempDir &dir, int n)
{
    const std::string path = dir.file("src.dbf");
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i) rows.push_back({Value::fromText("row " + std::to_string(i)), Value::fromInt(i)});
    dbf::create(path, {makeField("NAME", FieldType::Text, 10), makeField("N", FieldType::Integer, 6)}, rows);
    return io::readFile(path);
}

// The reason of the EngineError reading `path` throws; empty when it reads.
std::string refusal(const std::string &path)
{
    try {
        dbf::read(path);
        return {};
    } catch (const EngineError &e) {
        EXPECT_EQ(e.subject(), path);
        return e.reason();
    }
}

} // namespace

TEST(DbfDamage, RealFixturesAndOurOwnTablesAreWhole)
{
    for (const char *name : {"olemb-dbfread/people.dbf", "olemb-dbfread/invalid_value.dbf", "infused-dbf/cp1251.dbf",
                             "infused-dbf/dbase_03.dbf", "infused-dbf/dbase_03_cyrillic.dbf",
                             "infused-dbf/dbase_83.dbf", "infused-dbf/dbase_8b.dbf", "infused-dbf/polygon.dbf"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(dbf::read(dxtest::realFixture(name))->damage().empty());
    }
    dxtest::TempDir dir;
    for (int n : {0, 1, 400}) {
        writeBytes(dir.file("t.dbf"), makeTable(dir, n));
        EXPECT_TRUE(dbf::read(dir.file("t.dbf"))->damage().empty()) << n;
    }
    // Without the end-of-file byte the table is as whole.
    std::string t = makeTable(dir, 5);
    writeBytes(dir.file("noeof.dbf"), t.substr(0, t.size() - 1));
    EXPECT_TRUE(dbf::read(dir.file("noeof.dbf"))->damage().empty());
}

TEST(DbfDamage, FileCutShortReadsTheWholeRecordsAndSaysSo)
{
    dxtest::TempDir dir;
    const std::string orig = makeTable(dir, 400);
    const std::string path = dir.file("cut.dbf");
    writeBytes(path, orig.substr(0, orig.size() / 2));
    auto t = dbf::read(path);
    const size_t headerLen = 32 + 2 * 32 + 1, recLen = 17;
    const size_t whole = (orig.size() / 2 - headerLen) / recLen;
    ASSERT_EQ(t->rowCount(), whole);
    EXPECT_EQ(t->value(whole - 1, 0).s, "row " + std::to_string(whole - 1)); // no garbage row at the end
    ASSERT_EQ(t->damage().size(), 1u);
    EXPECT_EQ(t->damage()[0], "the header counts 400 records but the file holds only " + std::to_string(whole) +
                                  " whole ones (it is cut short)");

    // Cut inside the header: no rows, and the reason.
    std::string vfp = io::readFile(dxtest::realFixture("infused-dbf/cp1251.dbf")); // 263-byte backlink
    writeBytes(path, vfp.substr(0, 200));
    t = dbf::read(path);
    EXPECT_EQ(t->rowCount(), 0u);
    ASSERT_EQ(t->damage().size(), 1u);
    EXPECT_NE(t->damage()[0].find("ends inside its header"), std::string::npos);
}

TEST(DbfDamage, RecordsBeyondTheCountAreNoted)
{
    dxtest::TempDir dir;
    std::string d = makeTable(dir, 10);
    d[4] = 7; // three appended records never counted
    writeBytes(dir.file("x.dbf"), d);
    auto t = dbf::read(dir.file("x.dbf"));
    EXPECT_EQ(t->rowCount(), 7u);
    ASSERT_EQ(t->damage().size(), 1u);
    EXPECT_EQ(t->damage()[0], "the file holds 3 more records than the header counts (7); they are not read");
}

TEST(DbfDamage, UntrustworthyHeadersAreRefusedNamingTheFile)
{
    dxtest::TempDir dir;
    // Big enough that a header length of 0xFFFF still lies inside the file.
    const std::string orig = makeTable(dir, 5000);
    const std::string path = dir.file("bad.dbf");
    auto variant = [&](auto change) {
        std::string d = orig;
        change(d);
        writeBytes(path, d);
        return refusal(path);
    };
    EXPECT_EQ(variant([](std::string &d) { put16(d, 8, 0xFFFF); }),
              "corrupt dBase header: header length 65535 but the field list ends at byte 97");
    EXPECT_EQ(variant([](std::string &d) { put16(d, 8, 200); }),
              "corrupt dBase header: header length 200 but the field list ends at byte 97");
    EXPECT_EQ(variant([](std::string &d) { put16(d, 10, 0xFFFF); }),
              "corrupt dBase header: fields take 17 bytes but a record has 65535");
    EXPECT_EQ(variant([](std::string &d) { put16(d, 10, 18); }),
              "corrupt dBase header: fields take 17 bytes but a record has 18");
    // The first field's width set to 0 would shift the second one.
    EXPECT_EQ(variant([](std::string &d) { d[32 + 16] = 0; }), "corrupt dBase header: field 1 (NAME) has width 0");
    EXPECT_EQ(variant([](std::string &d) { d[64 + 16] = 0; }), "corrupt dBase header: field 2 (N) has width 0");
}
