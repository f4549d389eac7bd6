// A Paradox block chain that lost blocks (a first-block pointer zeroed, a link cut) reads
// the records it still reaches and says that the header counts more; real files and the
// tables we write and change are never called damaged.
#include "engine/common/FileIO.h"
#include "engine/paradox/ParadoxFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using dx::Value;

namespace {

void put16(std::string &d, size_t at, unsigned v)
{
    d[at] = char(v & 0xFF);
    d[at + 1] = char(v >> 8);
}

std::string makeTable(const dxtest::TempDir &dir, const std::string &password, int n)
{
    std::string path = dir.file(password.empty() ? "plain.db" : "locked.db");
    std::vector<dx::FieldDef> fields = {dx::makeField("T", dx::FieldType::Text, 12),
                                        dx::makeField("I", dx::FieldType::Integer, 4)};
    std::vector<dx::Row> rows;
    for (int i = 0; i < n; ++i) rows.push_back({Value::fromText("row " + std::to_string(i)), Value::fromInt(i)});
    dx::px::CreateOptions co;
    co.password = password;
    co.blockSizeKb = 1;
    dx::px::create(path, fields, rows, co);
    return path;
}

} // namespace

TEST(ParadoxDamage, RealFixturesAndOurOwnTablesAreWhole)
{
    dx::OpenOptions o;
    o.knownPasswords = {"123", "pw"};
    for (const auto &e : dxtest::expectedLines(".db")) {
        if (e.check != "rows") continue;
        SCOPED_TRACE(e.file);
        EXPECT_TRUE(dx::px::read(dxtest::realFixture(e.file), o)->damage().empty());
    }
    dxtest::TempDir dir;
    for (const std::string &pw : {std::string(), std::string("pw")}) {
        const std::string path = makeTable(dir, pw, 300);
        EXPECT_TRUE(dx::px::read(path, o)->damage().empty());
        // Changed through the writer: removes, appends and edits keep the count right.
        auto w = dx::px::openWriter(path, o);
        w->remove(0);
        w->remove(150);
        w->append({Value::fromText("new"), Value::fromInt(-1)});
        w->update(3, {Value::fromText("edited"), Value::fromInt(3)});
        w.reset();
        auto t = dx::px::read(path, o);
        EXPECT_EQ(t->rowCount(), 299u);
        EXPECT_TRUE(t->damage().empty());
    }
}

TEST(ParadoxDamage, BrokenChainIsNotedNotHidden)
{
    dxtest::TempDir dir;
    dx::OpenOptions o;
    o.knownPasswords = {"pw"};
    for (const std::string &pw : {std::string(), std::string("pw")}) {
        SCOPED_TRACE(pw);
        const std::string src = makeTable(dir, pw, 300);
        const std::string data = dx::io::readFile(src);
        const std::string path = dir.file("broken.db");

        // First-block pointer zeroed: today's reader saw an empty table.
        std::string d = data;
        put16(d, 0x0E, 0);
        dx::io::writeFileAtomic(path, d);
        auto t = dx::px::read(path, o);
        EXPECT_EQ(t->rowCount(), 0u);
        ASSERT_EQ(t->damage().size(), 1u);
        EXPECT_EQ(t->damage()[0], "the header counts 300 records but the block chain holds 0 (the chain is broken)");

        // The chain cut after the first block (plain tables only: an encrypted block
        // header cannot be patched in place): the records of block 1 are still read.
        if (!pw.empty()) continue;
        d = data;
        const size_t header = (unsigned char)d[2] | ((unsigned char)d[3] << 8);
        put16(d, header, 0);
        dx::io::writeFileAtomic(path, d);
        t = dx::px::read(path, o);
        const size_t perBlock = (1024 - 6) / 16;
        ASSERT_EQ(t->rowCount(), perBlock);
        EXPECT_EQ(t->value(perBlock - 1, 0).s, "row " + std::to_string(perBlock - 1));
        ASSERT_EQ(t->damage().size(), 1u);
        EXPECT_EQ(t->damage()[0], "the header counts 300 records but the block chain holds " +
                                      std::to_string(perBlock) + " (the chain is broken)");
    }
}
