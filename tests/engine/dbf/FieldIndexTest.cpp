// Field lookup by name: the folded-name map of TableFile::fieldIndex must pick the very
// field a scan with sameFieldName picks, for every name a table can hold or a caller ask.
#include "engine/common/Codepage.h"
#include "engine/common/Value.h"
#include "engine/dbf/DbfFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <memory>

using namespace dx;

namespace {

// A table with just the given field names and no rows: the names are taken as they
// stand, blanks, clashes and bad bytes included, as a hand-made file may hold them.
class NamesOnly : public TableFile {
public:
    explicit NamesOnly(const std::vector<std::string> &names)
    {
        for (const std::string &n : names) fields_.push_back(makeField(n, FieldType::Text, 1));
    }
    size_t rowCount() const override { return 0; }
    Value value(size_t, size_t) const override { return Value::null(); }
    RecordRef record(size_t) const override { return {}; }
};

// The first field sameFieldName accepts, -1 if none: what fieldIndex has to answer.
int scanned(const TableFile &t, const std::string &name)
{
    for (size_t i = 0; i < t.fields().size(); ++i)
        if (sameFieldName(t.fields()[i].name, name)) return int(i);
    return -1;
}

const std::vector<std::string> kFields = {
    "PL",        "pl",        "Pl ",     "ПЛОЩ",      "площ",      "Vid_Gori", "ВИД_горИ", "Ёлха", "ЀЂЏ",
    "PYLN1",     "PYLN10",    "Пл",      "РL",        "",          "A\xFF" "B", "A\xEF\xBF\xBD" "B",
    "dv  ",      "DV",        "NZN2",    "nzn2",      "Нзн2",
};

const std::vector<std::string> kAsked = {
    "PL", "pl", "pL", "Pl ", "PL ", "PL  ", " PL", "ПЛОЩ", "Площ", "пЛОщ", "ПЛОЖ", "vid_gori", "VID_GORI", "вид_гори",
    "ВИД_ГОРИ", "ёлха", "ЁЛХА", "елха", "ѐђџ", "ЀЂЏ", "PYLN1", "pyln10", "PYLN", "PYLN100", "пл", "ПЛ", "рl", "PЛ", "",
    " ", "a\xFF" "b", "A\xEF\xBF\xBD" "B", "a\xef\xbf\xbd" "b", "DV  ", "dv", "dv ", "NZN2", "нЗН2", "NZN3", "nosuch",
};

} // namespace

TEST(FieldIndex, AgreesWithSameFieldNameOnTrickyNames)
{
    const NamesOnly t(kFields);
    for (const std::string &name : kAsked) EXPECT_EQ(t.fieldIndex(name), scanned(t, name)) << "asked: \"" << name << '"';
    // The cases that matter most, stated outright as well.
    EXPECT_EQ(t.fieldIndex("pL"), 0);           // names that differ only by case: the first
    EXPECT_EQ(t.fieldIndex("pl "), 2);          // trailing blanks are part of the name
    EXPECT_EQ(t.fieldIndex("PL  "), -1);
    EXPECT_EQ(t.fieldIndex("пЛОщ"), 3);         // Cyrillic folds like Latin
    EXPECT_EQ(t.fieldIndex("вид_гори"), 6);     // mixed case; Cyrillic вид is not Latin Vid
    EXPECT_EQ(t.fieldIndex("VID_GORI"), 5);
    EXPECT_EQ(t.fieldIndex("ёлха"), 7);
    EXPECT_EQ(t.fieldIndex("елха"), -1);
    EXPECT_EQ(t.fieldIndex("ѐђџ"), 8);
    EXPECT_EQ(t.fieldIndex("рl"), 12);          // Cyrillic р is not Latin P
    EXPECT_EQ(t.fieldIndex("dv"), 17);
    EXPECT_EQ(t.fieldIndex("dv  "), 16);
    EXPECT_EQ(t.fieldIndex("nosuch"), -1);
    // A bad byte folds to the replacement character but matches only its own length.
    EXPECT_EQ(t.fieldIndex("a\xef\xbf\xbd" "b"), 15);
    EXPECT_EQ(t.fieldIndex("a\xFF" "b"), 14);
}

TEST(FieldIndex, EveryFieldFindsItselfOrItsFirstTwin)
{
    const NamesOnly t(kFields);
    for (const std::string &name : kFields) {
        EXPECT_EQ(t.fieldIndex(name), scanned(t, name)) << name;
        EXPECT_EQ(t.fieldIndex(cp::foldCase(name)), scanned(t, cp::foldCase(name))) << name;
    }
    const NamesOnly none({});
    EXPECT_EQ(none.fieldIndex("PL"), -1);
    EXPECT_EQ(none.fieldIndex(""), -1);
}

TEST(FieldIndex, CopiedSnapshotAndReadFileAnswerAlike)
{
    const NamesOnly t(kFields);
    EXPECT_EQ(t.fieldIndex("NZN2"), 18); // the original's map is made before the copy
    const NamesOnly copy(t);
    for (const std::string &name : kAsked) EXPECT_EQ(copy.fieldIndex(name), t.fieldIndex(name)) << name;

    // Through a written and re-read dBase file: names stored in code page 1251.
    dxtest::TempDir dir;
    const std::string path = dir.file("names.dbf");
    dbf::create(path,
                {makeField("ПЛОЩ", FieldType::Real, 8, 2), makeField("Vid_Gori", FieldType::Text, 4),
                 makeField("ДвВид", FieldType::Text, 4)},
                {{Value::fromReal(1.5), Value::fromText("x"), Value::fromText("дб")}});
    const TableFilePtr read = dbf::read(path);
    for (const std::string name : {"площ", "ПЛОЩ", "VID_GORI", "вид_gori", "двВИД", "ДВВИД ", "Дв"})
        EXPECT_EQ(read->fieldIndex(name), scanned(*read, name)) << name;
    EXPECT_EQ(read->fieldIndex("двВИД"), 2);
    EXPECT_EQ(read->value(0, size_t(read->fieldIndex("площ"))).d, 1.5);
}
