// Paradox reader against the real fixture files and EXPECTED.tsv.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/paradox/ParadoxFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <map>

using dxtest::realFixture;

namespace {

// Paradox lines of EXPECTED.tsv. Where the source test and pxlib disagree (same file and
// check twice), the source test's line is kept and pxlib's dropped (SOURCES.md,
// "Disagreements": the stored bytes side with the test).
std::vector<dxtest::ExpectedLine> paradoxExpectations()
{
    const std::vector<dxtest::ExpectedLine> all = dxtest::expectedLines(".db");
    std::map<std::pair<std::string, std::string>, int> count;
    for (const auto &e : all) ++count[{e.file, e.check}];
    std::vector<dxtest::ExpectedLine> kept;
    for (const auto &e : all)
        if (count[{e.file, e.check}] == 1 || e.source != "reader:pxlib") kept.push_back(e);
    return kept;
}

dx::OpenOptions optionsFor(const std::string &file)
{
    dx::OpenOptions o;
    // Two files declare a wrong code page (SOURCES.md, "Surprises").
    if (file.find("NOTE1251.DB") != std::string::npos) o.codepage = "CP1251";
    if (file.find("ROMAN8.db") != std::string::npos) o.codepage = "HP-ROMAN8";
    // The real encrypted fixtures: their header checksum 0x0a25e09a is that of "123".
    o.knownPasswords = {"123"};
    return o;
}

bool parseNumber(const std::string &s, double &v)
{
    if (s.empty()) return false;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

} // namespace

TEST(ParadoxRead, ExpectedTsv)
{
    auto expectations = paradoxExpectations();
    ASSERT_GT(expectations.size(), 150u);
    std::map<std::string, dx::TableFilePtr> tables;
    int checked = 0, skipped = 0;
    for (const auto &e : expectations) {
        SCOPED_TRACE(e.file + " " + e.check + " (" + e.source + ")");
        auto &t = tables[e.file];
        if (!t) {
            try {
                t = dx::px::read(realFixture(e.file), optionsFor(e.file));
            } catch (const std::exception &ex) {
                ADD_FAILURE() << ex.what();
                continue;
            }
        }
        if (e.check == "rows") {
            EXPECT_EQ(std::to_string(t->rowCount()), e.expected);
        } else if (e.check == "columns") {
            std::string names;
            for (const auto &f : t->fields()) names += (names.empty() ? "" : ",") + f.name;
            EXPECT_EQ(names, e.expected);
        } else if (e.isValue) {
            const size_t row = e.row;
            int field = t->fieldIndex(e.field);
            ASSERT_GE(field, 0) << e.field;
            // Memo cells are out of scope: the reader never opens the .MB file and reads
            // every memo/blob cell as null, so their expected texts cannot be compared.
            if (t->fields()[field].type == dx::FieldType::Memo) {
                EXPECT_TRUE(t->value(row, field).isNull());
                ++skipped;
                continue;
            }
            ASSERT_LT(row, t->rowCount());
            dx::Value v = t->value(row, field);
            double want, got;
            if (v.kind == dx::Value::Bool) {
                EXPECT_EQ(v.i ? "true" : "false", e.expected);
            } else if ((v.kind == dx::Value::Int || v.kind == dx::Value::Real) && parseNumber(e.expected, want)) {
                got = v.toReal();
                // bcd.db column C: the source test compares with a delta of 0.001.
                double tol = e.file.find("bcd.db") != std::string::npos ? 0.001 : 1e-9 * std::max(1.0, std::fabs(want));
                EXPECT_NEAR(got, want, tol);
            } else {
                EXPECT_EQ(v.toText(), e.expected);
            }
        } else {
            ADD_FAILURE() << "unknown check";
        }
        ++checked;
    }
    EXPECT_GT(checked, 200);
    EXPECT_EQ(skipped, 3); // NOTE1251.DB rows 0 and 1 Note, memo.db row 1 MEMO
}

TEST(ParadoxRead, FieldTypesOfFixtures)
{
    auto t = dx::px::read(realFixture("leonhad-paradoxdriver/fields/bcd.db"));
    ASSERT_EQ(t->fields().size(), 3u);
    EXPECT_EQ(t->fields()[2].type, dx::FieldType::Real);
    EXPECT_EQ(t->fields()[2].decimals, 32);
    EXPECT_NEAR(t->value(0, 2).toReal(), 0.123, 1e-12);
    EXPECT_NEAR(t->value(1, 2).toReal(), -0.123, 1e-12);
    EXPECT_NEAR(t->value(2, 2).toReal(), 0.9999, 1e-12);
    EXPECT_TRUE(t->value(2, 1).isNull());

    auto d = dx::px::read(realFixture("leonhad-paradoxdriver/fields/date7.db"));
    EXPECT_TRUE(d->value(3, 0).isNull());
    EXPECT_TRUE(d->value(4, 1).isNull());
    EXPECT_EQ(d->value(0, 0).toText(), "2018-01-01");

    auto l = dx::px::read(realFixture("leonhad-paradoxdriver/fields/long.db"));
    EXPECT_TRUE(l->value(2, 1).isNull());
    EXPECT_EQ(l->value(0, 1).kind, dx::Value::Int);
}

TEST(ParadoxRead, CodePageComesFromHeaderUnlessOverridden)
{
    // NOTE1251.DB declares 936 (GBK) in its header; read as declared, its ASCII names
    // still read; forced to CP1251 the file reads as its authors meant.
    auto t = dx::px::read(realFixture("leonhad-paradoxdriver/db/NOTE1251.DB"));
    EXPECT_EQ(t->rowCount(), 2u);
    auto r = dx::px::read(realFixture("leonhad-paradoxdriver/db/ROMAN8.db"));
    // Header code page 0: CP1251 by default, so the HP Roman-8 bytes read as Cyrillic.
    EXPECT_EQ(r->value(0, 0).toText(), "\xD0\xBB\xD1\x88\xD1\x95\xD1\x84"); // "лшѕф"
}

TEST(ParadoxRead, ZipcodesTruncatedFileReadsAllRecords)
{
    std::string path = realFixture("leonhad-paradoxdriver/areas/ZIPCODES.DB");
    auto t = dx::px::read(path);
    EXPECT_EQ(t->rowCount(), 43185u);
}

TEST(ParadoxRead, EncryptedFixturesNeedTheirPassword)
{
    std::string path = realFixture("leonhad-paradoxdriver/encrypt/encrypted.db");
    EXPECT_THROW(dx::px::read(path), dx::PasswordError);
    try {
        dx::px::read(path);
    } catch (const dx::PasswordError &e) {
        EXPECT_EQ(e.reason(), "password required");
        EXPECT_EQ(e.subject(), path);
    }
    dx::OpenOptions wrong;
    wrong.knownPasswords = {"secret"};
    try {
        dx::px::read(path, wrong);
        ADD_FAILURE() << "no error";
    } catch (const dx::PasswordError &e) {
        EXPECT_EQ(e.reason(), "wrong password");
    }
    // The callback is asked after the known passwords.
    dx::OpenOptions ask;
    ask.knownPasswords = {"nope"};
    int asked = 0;
    ask.onPassword = [&](const std::string &p) -> std::optional<std::string> {
        ++asked;
        EXPECT_EQ(p, path);
        return std::string("123");
    };
    auto t = dx::px::read(path, ask);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(t->rowCount(), 4u);
    EXPECT_EQ(t->value(3, 1).toText(), "Last one");

    dx::OpenOptions giveUp;
    giveUp.onPassword = [](const std::string &) -> std::optional<std::string> { return std::nullopt; };
    EXPECT_THROW(dx::px::read(path, giveUp), dx::PasswordError);
    dx::OpenOptions wrongAnswer;
    wrongAnswer.onPassword = [](const std::string &) -> std::optional<std::string> { return std::string("12"); };
    try {
        dx::px::read(path, wrongAnswer);
        ADD_FAILURE() << "no error";
    } catch (const dx::PasswordError &e) {
        EXPECT_EQ(e.reason(), "wrong password");
    }
}

TEST(ParadoxRead, NotATableThrows)
{
    dxtest::TempDir dir;
    std::string p = dir.file("x.db");
    dx::io::writeFileAtomic(p, "this is not a paradox table at all, just some text that is long enough to pass the size check");
    try {
        dx::px::read(p);
        ADD_FAILURE() << "no error";
    } catch (const dx::EngineError &e) {
        EXPECT_EQ(e.subject(), p);
        EXPECT_FALSE(e.reason().empty());
    }
    dx::io::writeFileAtomic(p, "");
    EXPECT_THROW(dx::px::read(p), dx::EngineError);
    EXPECT_THROW(dx::px::read(dir.file("missing.db")), dx::EngineError);
    // A dBase file is not a Paradox table either.
    EXPECT_THROW(dx::px::read(realFixture("infused-dbf/dbase_03.dbf")), dx::EngineError);
}
