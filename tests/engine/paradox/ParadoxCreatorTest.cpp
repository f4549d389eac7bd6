// Tables created row by row: the same bytes as one create over all the rows (the
// header's time stamp aside), nothing on disk until finish(), and the block limit.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/paradox/ParadoxFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

using dx::Value;

TEST(ParadoxCreator, RowByRowMatchesOneCreateAndWritesOnlyAtFinish)
{
    dxtest::TempDir dir;
    std::vector<dx::FieldDef> fields = {dx::makeField("T", dx::FieldType::Text, 20),
                                        dx::makeField("I", dx::FieldType::Integer, 4)};
    std::vector<dx::Row> rows;
    for (int i = 0; i < 1000; ++i) rows.push_back({Value::fromText("ред " + std::to_string(i)), Value::fromInt(i)});
    // One file name in two folders: the header holds the table's name.
    std::filesystem::create_directory(dir.file("a"));
    std::filesystem::create_directory(dir.file("b"));
    const std::string all = dir.file("a/t.db"), one = dir.file("b/t.db");
    for (const std::string &pw : {std::string(), std::string("pw")}) {
        SCOPED_TRACE(pw);
        dx::px::CreateOptions o;
        o.password = pw;
        o.blockSizeKb = 1;
        std::filesystem::remove(one);
        dx::px::create(all, fields, rows, o);
        {
            dx::px::Creator c(one, fields, o); // no size given: it grows
            for (const auto &r : rows) c.add(r);
            EXPECT_FALSE(std::filesystem::exists(one));
            c.finish();
        }
        std::string a = dx::io::readFile(all), b = dx::io::readFile(one);
        ASSERT_EQ(a.size(), b.size());
        for (size_t k = 0x60; k < 0x64; ++k) a[k] = b[k] = 0; // time stamp
        size_t firstDiff = 0;
        while (firstDiff < a.size() && a[firstDiff] == b[firstDiff]) ++firstDiff;
        EXPECT_EQ(firstDiff, a.size());
        dx::OpenOptions ro;
        ro.knownPasswords = {"pw"};
        auto t = dx::px::read(one, ro);
        ASSERT_EQ(t->rowCount(), 1000u);
        EXPECT_EQ(t->value(999, 0).s, "ред 999");
        EXPECT_TRUE(t->damage().empty());
    }
    // A creator given up before finish() leaves nothing behind.
    {
        dx::px::Creator c(dir.file("never.db"), fields);
        c.add(rows[0]);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.db")));
}

TEST(ParadoxCreator, MoreRowsThanBlocksCanHoldAreRefused)
{
    dxtest::TempDir dir;
    // 1 KB blocks of one 1000-byte record: the 65536th row needs block 65536.
    std::vector<dx::FieldDef> fields;
    for (int i = 0; i < 4; ++i) fields.push_back(dx::makeField("T" + std::to_string(i), dx::FieldType::Text, 250));
    dx::px::CreateOptions o;
    o.blockSizeKb = 1;
    dx::px::Creator c(dir.file("big.db"), fields, o);
    const dx::Row row = {Value::fromText("x")};
    for (int i = 0; i < 65535; ++i) c.add(row);
    EXPECT_THROW(c.add(row), dx::EngineError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("big.db")));
}
