// The dBase reader takes a table several pieces long and keeps its live records compact:
// they must still be byte for byte the file's records, deleted ones left out wherever
// they fall, and an edit made from such a snapshot must land on its own record.
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

using dx::FieldType;
using dx::Row;
using dx::Value;

namespace {

std::vector<dx::FieldDef> fields()
{
    return {dx::makeField("NAME", FieldType::Text, 60), dx::makeField("N", FieldType::Integer, 9),
            dx::makeField("AREA", FieldType::Real, 10, 2), dx::makeField("NOTE", FieldType::Text, 254)};
}

// Texts of every length up to the field's width, blanks inside some.
Row rowOf(int i)
{
    std::string note(size_t(i % 255), char('a' + i % 26));
    if (note.size() > 3) note[1] = ' ';
    return {Value::fromText(i % 3 ? "Бук " + std::to_string(i) : std::string()), Value::fromInt(i),
            Value::fromReal(i * 0.25), Value::fromText(note)};
}

} // namespace

TEST(DbfPieces, ManyPiecesReadAsTheWholeFileAndEditsLand)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("t.dbf");
    const int n = 40000; // about 13 MB: four pieces and a part
    {
        dx::dbf::Creator c(path, fields(), 0xC9, n);
        for (int i = 0; i < n; ++i) c.add(rowOf(i));
        c.finish();
    }
    // Deleted records here and there, at a piece's end among them.
    std::string file = dx::io::readFile(path);
    const size_t header = uint8_t(file[8]) | (uint8_t(file[9]) << 8);
    const size_t rl = uint8_t(file[10]) | (uint8_t(file[11]) << 8);
    const size_t perPiece = (size_t(4) << 20) / rl;
    std::vector<size_t> deleted = {0, 5, perPiece - 1, perPiece, 2 * perPiece + 1, size_t(n - 1)};
    for (size_t r : deleted) file[header + r * rl] = '*';
    dx::io::writeFileAtomic(path, file);

    auto table = dx::dbf::read(path);
    ASSERT_EQ(table->rowCount(), size_t(n) - deleted.size());
    size_t row = 0, bad = 0;
    for (size_t r = 0; r < size_t(n); ++r) {
        if (std::find(deleted.begin(), deleted.end(), r) != deleted.end()) continue;
        const dx::RecordRef ref = table->record(row);
        if ((ref.address != r || ref.bytes != file.substr(header + r * rl, rl)) && ++bad < 5)
            ADD_FAILURE() << "record " << r << " differs";
        if (r % 331 == 0) {
            const Row want = rowOf(int(r));
            for (size_t f = 0; f < want.size(); ++f)
                EXPECT_EQ(table->value(row, f).toText(), want[f].toText()) << "record " << r << " field " << f;
        }
        ++row;
    }
    EXPECT_EQ(bad, 0u);

    // An edit from the snapshot lands on its record; the old view of it is then stale.
    const size_t target = perPiece + 3; // the row of record perPiece + 7 (four deleted before it)
    Row changed = table->row(target);
    changed[3] = Value::fromText("изменено");
    {
        auto w = dx::dbf::openWriter(path);
        w->update(table->record(target), changed);
        auto patched = table->withRecord(target, *w->written());
        ASSERT_TRUE(patched);
        EXPECT_EQ(patched->value(target, 3).toText(), "изменено");
        EXPECT_EQ(patched->value(target + 1, 3).toText(), table->value(target + 1, 3).toText());
    }
    auto after = dx::dbf::read(path);
    EXPECT_EQ(after->value(target, 1).i, int64_t(perPiece + 7));
    EXPECT_EQ(after->value(target, 3).toText(), "изменено");
    EXPECT_EQ(after->record(target + 1).bytes, table->record(target + 1).bytes);
    auto w = dx::dbf::openWriter(path);
    EXPECT_THROW(w->update(table->record(target), changed), dx::StaleRecordError);
}
