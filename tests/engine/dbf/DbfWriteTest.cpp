// dBase writing: create -> read round trips, values that do not fit, the writer's
// update / append / remove, and dbfread (an independent reader) reading what we wrote.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFile.h"
#include "engine/dbf/DbfInsert.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

using namespace dx;

namespace {

uint32_t le32(const std::string &b, size_t at)
{
    auto u = [&](size_t i) { return uint32_t(static_cast<unsigned char>(b[at + i])); };
    return u(0) | (u(1) << 8) | (u(2) << 16) | (u(3) << 24);
}
size_t le16(const std::string &b, size_t at)
{
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

void writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}


std::vector<FieldDef> allTypes()
{
    return {makeField("ИМЯ", FieldType::Text, 20),     makeField("NUM", FieldType::Integer, 6),
            makeField("BIG", FieldType::Integer, 18),  makeField("AREA", FieldType::Real, 10, 3),
            makeField("FL", FieldType::Real, 12, 4, 'F'), makeField("OK", FieldType::Logical),
            makeField("DAY", FieldType::Date)};
}

// Our reader's rows in the script's TSV form (see check_dbf_with_dbfread.py).
std::string escape(const std::string &s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::string ourTsv(const std::string &path)
{
    auto t = dbf::read(path);
    std::string out;
    for (size_t f = 0; f < t->fields().size(); ++f) out += (f ? "\t" : "") + t->fields()[f].name;
    out += "\n";
    for (size_t r = 0; r < t->rowCount(); ++r) {
        for (size_t f = 0; f < t->fields().size(); ++f) {
            Value v = t->value(r, f);
            std::string s = v.kind == Value::Bool ? (v.i ? "true" : "false") : escape(v.toText());
            out += (f ? "\t" : "") + s;
        }
        out += "\n";
    }
    return out;
}

// Our reader and dbfread read the same from the file (skipped without dbfread).
#define EXPECT_SAME_AS_DBFREAD(path)                                                        \
    do {                                                                                    \
        const std::string theirs = dxtest::dbfreadTsv(path);                                \
        if (theirs.empty()) GTEST_SKIP() << "python3 with dbfread is not installed";        \
        EXPECT_EQ(theirs, ourTsv(path));                                                    \
    } while (0)

} // namespace

TEST(DbfCreate, RoundTripAllTypesCyrillicAndNulls)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("t.dbf");
    std::vector<Row> rows = {
        {Value::fromText("Сосна обыкновенная"), Value::fromInt(-12345), Value::fromInt(123456789012345678LL),
         Value::fromReal(12.5), Value::fromReal(-0.0625), Value::fromBool(true), Value::fromText("2024-02-29")},
        {Value::null(), Value::null(), Value::null(), Value::null(), Value::null(), Value::null(), Value::null()},
        {Value::fromText("Ёлка ёж №5 «x»"), Value::fromText(" 42 "), Value::fromInt(0), Value::fromText("1.5"),
         Value::fromInt(7), Value::fromBool(false), Value::fromText("19991231")},
        {Value::fromText("")}, // a short row: the rest empty
    };
    dbf::create(path, allTypes(), rows);

    auto t = dbf::read(path);
    ASSERT_EQ(t->fields().size(), 7u);
    EXPECT_EQ(t->fields()[0].name, "ИМЯ");
    EXPECT_EQ(t->fields()[0].type, FieldType::Text);
    EXPECT_EQ(t->fields()[1].type, FieldType::Integer);
    EXPECT_EQ(t->fields()[2].type, FieldType::Integer);
    EXPECT_EQ(t->fields()[3].type, FieldType::Real);
    EXPECT_EQ(t->fields()[3].decimals, 3);
    EXPECT_EQ(t->fields()[4].nativeType, 'F');
    EXPECT_EQ(t->fields()[5].type, FieldType::Logical);
    EXPECT_EQ(t->fields()[6].type, FieldType::Date);
    ASSERT_EQ(t->rowCount(), 4u);

    EXPECT_EQ(t->value(0, 0).s, "Сосна обыкновенная");
    EXPECT_EQ(t->value(0, 1).i, -12345);
    EXPECT_EQ(t->value(0, 2).i, 123456789012345678LL);
    EXPECT_EQ(t->value(0, 3).d, 12.5);
    EXPECT_EQ(t->value(0, 4).d, -0.0625);
    EXPECT_EQ(t->value(0, 5).kind, Value::Bool);
    EXPECT_EQ(t->value(0, 5).i, 1);
    EXPECT_EQ(t->value(0, 6).s, "2024-02-29");

    EXPECT_EQ(t->value(1, 0).s, ""); // blank text reads as empty text
    for (size_t f = 1; f < 7; ++f) EXPECT_TRUE(t->value(1, f).isNull()) << f;

    EXPECT_EQ(t->value(2, 0).s, "Ёлка ёж №5 «x»");
    EXPECT_EQ(t->value(2, 1).i, 42);
    EXPECT_EQ(t->value(2, 2).i, 0);
    EXPECT_EQ(t->value(2, 3).d, 1.5);
    EXPECT_EQ(t->value(2, 4).d, 7);
    EXPECT_EQ(t->value(2, 5).i, 0);
    EXPECT_EQ(t->value(2, 6).s, "1999-12-31");
    for (size_t f = 1; f < 7; ++f) EXPECT_TRUE(t->value(3, f).isNull()) << f;

    EXPECT_SAME_AS_DBFREAD(path);
}

TEST(DbfCreate, FileBytes)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("b.dbf");
    dbf::create(path, {makeField("NAME", FieldType::Text, 5), makeField("V", FieldType::Real, 8, 2)},
                {{Value::fromText("Лес"), Value::fromReal(12.5)}});
    std::string b = io::readFile(path);
    EXPECT_EQ(b[0], '\x03');
    EXPECT_EQ(static_cast<unsigned char>(b[29]), 0xC9);
    EXPECT_EQ(le32(b, 4), 1u);
    EXPECT_EQ(le16(b, 8), 32u + 2 * 32 + 1);
    EXPECT_EQ(le16(b, 10), 1u + 5 + 8);
    EXPECT_EQ(b[32 + 11], 'C');
    EXPECT_EQ(b[64 + 11], 'N');
    EXPECT_EQ(b[64 + 16], 8);
    EXPECT_EQ(b[64 + 17], 2);
    EXPECT_EQ(b[96], '\x0D');
    EXPECT_EQ(b.substr(97), std::string(" \xCB\xE5\xF1  ") + "   12.50" + "\x1A");
    EXPECT_FALSE(io::exists(path + ".tmp~"));
}

TEST(DbfCreate, EmptyTableAndOtherLanguageDriver)
{
    dxtest::TempDir dir;
    dbf::create(dir.file("e.dbf"), {makeField("A", FieldType::Text, 3)});
    auto t = dbf::read(dir.file("e.dbf"));
    EXPECT_EQ(t->rowCount(), 0u);
    EXPECT_EQ(t->fields().size(), 1u);

    // 0x65 = CP866: text is stored in that code page and read back through the driver byte.
    dbf::create(dir.file("d.dbf"), {makeField("A", FieldType::Text, 3)}, {{Value::fromText("Дуб")}}, 0x65);
    std::string b = io::readFile(dir.file("d.dbf"));
    EXPECT_EQ(b.substr(32 + 32 + 1 + 1, 3), "\x84\xE3\xA1");
    EXPECT_EQ(dbf::read(dir.file("d.dbf"))->value(0, 0).s, "Дуб");
}

TEST(DbfCreate, RejectsValuesThatDoNotFit)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("r.dbf");
    dbf::create(path, {makeField("A", FieldType::Text, 1)}, {{Value::fromText("x")}});
    const std::string before = io::readFile(path);
    auto rejects = [&](const std::vector<FieldDef> &fields, const Row &row, const std::string &why) {
        try {
            dbf::create(path, fields, {row});
            ADD_FAILURE() << "accepted: " << why;
        } catch (const EngineError &e) {
            EXPECT_EQ(e.subject(), path);
            EXPECT_FALSE(e.reason().empty());
        }
        EXPECT_EQ(io::readFile(path), before) << "the old file must stay as it was: " << why;
    };
    rejects({makeField("T", FieldType::Text, 10)}, {Value::fromText("Лиственница")}, "11 Cyrillic letters in C(10)");
    rejects({makeField("T", FieldType::Text, 10)}, {Value::fromText("日本")}, "not in CP1251");
    rejects({makeField("N", FieldType::Integer, 4)}, {Value::fromInt(12345)}, "5 digits in N(4,0)");
    rejects({makeField("N", FieldType::Integer, 4)}, {Value::fromInt(-1000)}, "-1000 in N(4,0)");
    rejects({makeField("N", FieldType::Real, 6, 2)}, {Value::fromReal(1234.5)}, "1234.50 in N(6,2)");
    rejects({makeField("N", FieldType::Real, 6, 2)}, {Value::fromText("abc")}, "text in N");
    rejects({makeField("N", FieldType::Real, 6, 2)}, {Value::fromBool(true)}, "logical in N");
    rejects({makeField("N", FieldType::Real, 20, 2)}, {Value::fromReal(1e300)}, "huge");
    rejects({makeField("D", FieldType::Date)}, {Value::fromText("2023-02-29")}, "no such day");
    rejects({makeField("D", FieldType::Date)}, {Value::fromText("NotAYear")}, "not a date");
    rejects({makeField("L", FieldType::Logical)}, {Value::fromText("maybe")}, "not a logical");
    rejects({makeField("T", FieldType::Text, 3)}, {Value::fromText("a"), Value::fromText("b")}, "too many values");
    rejects({makeField("T", FieldType::Text, 0)}, {}, "width 0");
    rejects({makeField("T", FieldType::Text, 255)}, {}, "width 255");
    rejects({makeField("I", FieldType::Integer, 19)}, {}, "integer width 19");
    rejects({makeField("R", FieldType::Real, 5, 4)}, {}, "too many decimals");
    rejects({makeField("M", FieldType::Memo, 10)}, {}, "memo");
    rejects({makeField("TOOLONGNAME", FieldType::Text, 3)}, {}, "name of 11 characters");
    rejects({makeField("", FieldType::Text, 3)}, {}, "empty name");
    rejects({makeField("A", FieldType::Text, 3), makeField("a", FieldType::Text, 3)}, {}, "duplicate names");
}

TEST(DbfCreate, NumbersAreFormattedWithTheFieldsDecimals)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("n.dbf");
    dbf::create(path, {makeField("A", FieldType::Real, 7, 2), makeField("B", FieldType::Integer, 3)},
                {{Value::fromReal(1.005), Value::fromReal(2.6)},
                 {Value::fromInt(-3), Value::fromText("-12")},
                 {Value::fromReal(-0.001), Value::fromReal(999)}});
    std::string b = io::readFile(path);
    const size_t start = 32 + 2 * 32 + 1;
    EXPECT_EQ(b.substr(start + 1, 10), "   1.00  3"); // 1.005 is 1.00499999... in binary
    EXPECT_EQ(b.substr(start + 11 + 1, 10), "  -3.00-12");
    EXPECT_EQ(b.substr(start + 22 + 1, 10), "   0.00999");
}

TEST(DbfWriter, UpdateAppendRemove)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("w.dbf");
    dbf::create(path, allTypes(),
                {{Value::fromText("Берёза"), Value::fromInt(1)},
                 {Value::fromText("Осина"), Value::fromInt(2)},
                 {Value::fromText("Ель"), Value::fromInt(3)}});
    {
        auto w = dbf::openWriter(path);
        EXPECT_EQ(w->rowCount(), 3u);

        const std::string before = io::readFile(path);
        w->update(1, {Value::fromText("Осина дрожащая"), Value::fromInt(20), Value::null(), Value::fromReal(0.125),
                      Value::fromReal(3.25), Value::fromBool(true), Value::fromText("2001-09-11")});
        const std::string after = io::readFile(path);
        ASSERT_EQ(before.size(), after.size());
        const size_t headerLen = le16(before, 8), recLen = le16(before, 10);
        // Only the bytes of record 1 changed.
        EXPECT_EQ(before.substr(0, headerLen + recLen), after.substr(0, headerLen + recLen));
        EXPECT_EQ(before.substr(headerLen + 2 * recLen), after.substr(headerLen + 2 * recLen));

        EXPECT_EQ(w->append({Value::fromText("Кедр"), Value::fromInt(4)}), 3u);
        EXPECT_EQ(w->rowCount(), 4u);
        w->remove(0);
        EXPECT_EQ(w->rowCount(), 3u);
        // Row numbers are live positions: row 0 is now "Осина дрожащая".
        w->update(0, {Value::fromText("Осина"), Value::fromInt(21)});
        w->remove(1); // "Ель"
        EXPECT_EQ(w->append({Value::fromText("Пихта"), Value::fromInt(5), Value::null(), Value::null(),
                             Value::null(), Value::fromBool(false)}),
                  2u);
        EXPECT_THROW(w->update(3, {}), EngineError);
        EXPECT_THROW(w->remove(3), EngineError);
    }
    auto t = dbf::read(path);
    ASSERT_EQ(t->rowCount(), 3u);
    EXPECT_EQ(t->value(0, 0).s, "Осина");
    EXPECT_EQ(t->value(0, 1).i, 21);
    EXPECT_TRUE(t->value(0, 3).isNull()); // update with a short row empties the rest
    EXPECT_EQ(t->value(1, 0).s, "Кедр");
    EXPECT_EQ(t->value(2, 0).s, "Пихта");
    EXPECT_EQ(t->value(2, 5).i, 0);
    EXPECT_EQ(t->value(2, 5).kind, Value::Bool);

    std::string b = io::readFile(path);
    EXPECT_EQ(le32(b, 4), 5u); // five records, two marked deleted
    EXPECT_EQ(b.back(), '\x1A');
    EXPECT_EQ(b.size(), le16(b, 8) + 5 * le16(b, 10) + 1);
    const size_t headerLen = le16(b, 8), recLen = le16(b, 10);
    EXPECT_EQ(b[headerLen], '*');
    EXPECT_EQ(b[headerLen + recLen], ' ');
    EXPECT_EQ(b[headerLen + 2 * recLen], '*');

    EXPECT_SAME_AS_DBFREAD(path);
}

TEST(DbfWriter, RejectsValuesThatDoNotFitAndLeavesTheFile)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("w.dbf");
    dbf::create(path, {makeField("T", FieldType::Text, 5), makeField("N", FieldType::Real, 5, 1)},
                {{Value::fromText("abc"), Value::fromReal(1.5)}});
    const std::string before = io::readFile(path);
    auto w = dbf::openWriter(path);
    EXPECT_THROW(w->update(0, {Value::fromText("Дубрава")}), EngineError);
    EXPECT_THROW(w->update(0, {Value::fromText("ab"), Value::fromReal(1000)}), EngineError);
    EXPECT_THROW(w->append({Value::fromText("toolong")}), EngineError);
    EXPECT_THROW(w->append({Value::fromText("ok"), Value::fromReal(-100)}), EngineError);
    EXPECT_EQ(w->rowCount(), 1u);
    EXPECT_EQ(io::readFile(path), before);
}

TEST(DbfWriter, KeepsDeletedRecordsAndMemoPointers)
{
    dxtest::TempDir dir;
    // people.dbf: three records, the third deleted.
    std::filesystem::copy_file(dxtest::realFixture("olemb-dbfread/people.dbf"), dir.file("people.dbf"));
    std::filesystem::permissions(dir.file("people.dbf"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    {
        auto w = dbf::openWriter(dir.file("people.dbf"));
        ASSERT_EQ(w->rowCount(), 2u);
        w->update(1, {Value::fromText("Robert"), Value::fromText("1980-11-13")});
        EXPECT_EQ(w->append({Value::fromText("Carol"), Value::null()}), 2u);
    }
    auto t = dbf::read(dir.file("people.dbf"));
    ASSERT_EQ(t->rowCount(), 3u);
    EXPECT_EQ(t->value(1, 0).s, "Robert");
    EXPECT_EQ(t->value(1, 1).s, "1980-11-13");
    EXPECT_EQ(t->value(2, 0).s, "Carol");
    EXPECT_TRUE(t->value(2, 1).isNull());
    std::string b = io::readFile(dir.file("people.dbf"));
    EXPECT_EQ(le32(b, 4), 4u);

    // dbase_8b.dbf with its memo file: writing back row 0 as read (memo reads as null)
    // must keep the memo pointer, so dbfread still finds the memo text.
    for (const char *f : {"dbase_8b.dbf", "dbase_8b.dbt"}) {
        std::filesystem::copy_file(dxtest::realFixture(std::string("infused-dbf/") + f), dir.file(f));
        std::filesystem::permissions(dir.file(f), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }
    const std::string memoPath = dir.file("dbase_8b.dbf");
    {
        auto t8 = dbf::read(memoPath);
        Row row = t8->row(0);
        row[0] = Value::fromText("Uno");
        auto w = dbf::openWriter(memoPath);
        w->update(0, row);
        EXPECT_THROW(w->update(1, {Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
                                   Value::fromText("memo text")}),
                     EngineError);
    }
    auto t8 = dbf::read(memoPath);
    EXPECT_EQ(t8->value(0, 0).s, "Uno");
    EXPECT_DOUBLE_EQ(t8->value(0, 4).d, 1.23456789012346);
    std::string tsv = dxtest::dbfreadTsv(memoPath);
    if (tsv.empty()) GTEST_SKIP() << "python3 with dbfread is not installed";
    EXPECT_NE(tsv.find("Uno\t1\t1970-01-01\ttrue\t1.23456789012346\tFirst memo\\r\\n\n"), std::string::npos) << tsv;
    EXPECT_SAME_AS_DBFREAD(dir.file("people.dbf"));
}

TEST(DbfWriter, InsertPutsTheRecordBeforeTheSeenOneAndKeepsTheRest)
{
    // A record put before others: live rows in the new order, a deleted record still
    // deleted where it was among them, the header counting one more, later changes
    // landing in the rewritten file, and dbfread reading the same.
    dxtest::TempDir dir;
    const std::string path = dir.file("z.dbf");
    dbf::create(path, {makeField("NOMER", FieldType::Integer, 5), makeField("ZEMNAME", FieldType::Text, 254)},
                {{Value::fromInt(1), Value::fromText("Банско")},
                 {Value::fromInt(2), Value::fromText("Места")},
                 {Value::fromInt(3), Value::fromText("Кремен")}});
    {
        auto w = dbf::openWriter(path);
        w->remove(0); // "Банско" stays in the file, marked deleted
    }
    auto t = dbf::read(path);
    const RecordRef kremen = t->record(1), mesta = t->record(0);
    {
        auto w = dbf::openWriter(path);
        EXPECT_EQ(dbf::insertBefore(*w, kremen, {Value::fromInt(7), Value::fromText("Ново")}), 1u);
        EXPECT_EQ(dbf::insertBefore(*w, mesta, {}), 0u);
        EXPECT_EQ(w->rowCount(), 4u);
        // The writer goes on with the new file: the rows after the inserts.
        w->update(3, {Value::fromInt(30), Value::fromText("Кремен")});
    }
    t = dbf::read(path);
    ASSERT_EQ(t->rowCount(), 4u);
    EXPECT_TRUE(t->value(0, 0).isNull());
    EXPECT_EQ(t->value(1, 1).s, "Места");
    EXPECT_EQ(t->value(2, 1).s, "Ново");
    EXPECT_EQ(t->value(3, 0).i, 30);
    const std::string b = io::readFile(path);
    const size_t headerLen = le16(b, 8), recLen = le16(b, 10);
    EXPECT_EQ(le32(b, 4), 5u);
    EXPECT_EQ(b.size(), headerLen + 5 * recLen + 1);
    EXPECT_EQ(b[headerLen], '*'); // the deleted record before the first live one
    EXPECT_EQ(b.back(), '\x1A');
    for (const auto &e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << "left beside it: " << e.path();

    // The record given no longer there (changed by another writer): refused, file kept.
    const std::string before = io::readFile(path);
    {
        auto w = dbf::openWriter(path);
        EXPECT_THROW(dbf::insertBefore(*w, kremen, {}), StaleRecordError);
    }
    EXPECT_EQ(io::readFile(path), before);

    // The new file cannot be put in place (its rename fails): the table as it was, and
    // the writer goes on changing it.
    {
        auto w = dbf::openWriter(path);
        platform::faults::arm(platform::faults::Op::Rename, 1, EIO);
        EXPECT_THROW(dbf::insertBefore(*w, dbf::read(path)->record(1), {}), EngineError);
        platform::faults::disarm();
        EXPECT_EQ(io::readFile(path), before);
        w->update(1, {Value::fromInt(2), Value::fromText("Места")});
    }
    t = dbf::read(path);
    ASSERT_EQ(t->rowCount(), 4u);
    EXPECT_EQ(t->value(1, 0).i, 2);
    EXPECT_EQ(t->value(2, 1).s, "Ново");
    EXPECT_SAME_AS_DBFREAD(path);
}

TEST(DbfWriter, ATruncatedTableIsNotWritten)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("t.dbf");
    dbf::create(path, {makeField("A", FieldType::Text, 4)},
                {{Value::fromText("one")}, {Value::fromText("two")}, {Value::fromText("thr")}});
    std::string b = io::readFile(path);
    const size_t headerLen = le16(b, 8), recLen = le16(b, 10);
    // Cut inside the third record; the header still says 3.
    writeBytes(path, b.substr(0, headerLen + 2 * recLen + 2));
    // An append there would make the count agree again and hide that a record was
    // lost, so the writer refuses the damaged table and leaves it as it is.
    const std::string cut = io::readFile(path);
    try {
        dbf::openWriter(path);
        ADD_FAILURE() << "a damaged table was opened for writing";
    } catch (const EngineError &e) {
        EXPECT_NE(e.reason().find("the table is damaged"), std::string::npos) << e.what();
        EXPECT_NE(e.reason().find("it was not changed"), std::string::npos) << e.what();
    }
    EXPECT_EQ(io::readFile(path), cut);
    auto t = dbf::read(path);
    ASSERT_EQ(t->rowCount(), 2u);
    EXPECT_FALSE(t->damage().empty());
}

TEST(DbfWriter, AnAppendInterruptedBeforeTheHeaderLeavesTheOldTable)
{
    // The append writes the record first and the header count last: a file in the state
    // between the two reads exactly as before the append.
    dxtest::TempDir dir;
    const std::string path = dir.file("a.dbf");
    dbf::create(path, {makeField("A", FieldType::Text, 4)}, {{Value::fromText("one")}, {Value::fromText("two")}});
    const std::string oldHeader = io::readFile(path).substr(0, 8);
    dbf::openWriter(path)->append({Value::fromText("new")});
    std::string b = io::readFile(path);
    b.replace(0, 8, oldHeader);
    writeBytes(path, b);
    auto t = dbf::read(path);
    ASSERT_EQ(t->rowCount(), 2u);
    EXPECT_EQ(t->value(0, 0).s, "one");
    EXPECT_EQ(t->value(1, 0).s, "two");
}

TEST(DbfWriter, ForcedCodePage)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("u.dbf");
    std::filesystem::copy_file(dxtest::realFixture("infused-dbf/dbase_03_cyrillic.dbf"), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    OpenOptions o;
    o.codepage = "UTF-8";
    {
        auto w = dbf::openWriter(path, o);
        ASSERT_EQ(w->rowCount(), 2u);
        w->update(1, {Value::fromText("Ліс"), Value::fromReal(12.5)});
    }
    auto t = dbf::read(path, o);
    EXPECT_EQ(t->value(1, 0).s, "Ліс");
    EXPECT_DOUBLE_EQ(t->value(1, 1).d, 12.5);
}

TEST(DbfWriter, OpenFailsWithEngineError)
{
    dxtest::TempDir dir;
    EXPECT_THROW(dbf::openWriter(dir.file("none.dbf")), EngineError);
    writeBytes(dir.file("bad.dbf"), "not a table at all, not even close to one");
    EXPECT_THROW(dbf::openWriter(dir.file("bad.dbf")), EngineError);
}
