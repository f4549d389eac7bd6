// dBase writing: create a table atomically, and change an existing one in place.
//
// Own code rather than shapelib (DBFCreateLL / DBFWrite*Attribute / DBFMarkRecordDeleted):
//  - create must go through io::writeFileAtomic from one in-memory image; shapelib
//    writes straight into the target file through its own file handles;
//  - shapelib formats numbers through double (N(18,0) integers beyond 2^53 lose digits),
//    writes null numbers as '*' fill and truncates over-long values (we must refuse
//    them with a reason), so every cell would go through DBFWriteAttributeDirectly
//    with our own formatting anyway;
//  - DBFOpen trusts the header's record count, so appending to a truncated table or
//    one whose header lies writes the record at the wrong place, and it knows nothing
//    of deleted-record-aware row numbers;
//  - it buffers the current record and rewrites the header when the handle is flushed
//    or closed; we need a fixed order (record, then header count) per change.
// What is left after those is seek-and-write, which is what this file does.
#include "engine/dbf/DbfFile.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Journal.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFormat.h"
#include "engine/dbf/DbfInsert.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace dx::dbf {

using namespace detail;

namespace {

FieldDef nativeField(const std::string &path, const FieldDef &in)
{
    FieldDef f = in;
    auto bad = [&](const std::string &why) { throw EngineError(path, "field " + in.name + ": " + why); };
    switch (in.type) {
    case FieldType::Text:
        f.nativeType = 'C';
        f.decimals = 0;
        if (f.width < 1 || f.width > 254) bad("a text field's width must be 1..254, not " + std::to_string(f.width));
        break;
    case FieldType::Integer:
        f.nativeType = 'N';
        f.decimals = 0;
        if (f.width < 1 || f.width > 18) bad("an integer field's width must be 1..18, not " + std::to_string(f.width));
        break;
    case FieldType::Real:
        f.nativeType = in.nativeType == 'F' ? 'F' : 'N';
        if (f.width < 1 || f.width > 20) bad("a number field's width must be 1..20, not " + std::to_string(f.width));
        if (f.decimals < 0 || (f.decimals > 0 && f.decimals > f.width - 2))
            bad("a number field of width " + std::to_string(f.width) + " cannot have " +
                std::to_string(f.decimals) + " decimals");
        break;
    case FieldType::Logical:
        f.nativeType = 'L';
        f.width = 1;
        f.decimals = 0;
        break;
    case FieldType::Date:
        f.nativeType = 'D';
        f.width = 8;
        f.decimals = 0;
        break;
    default: bad("this field type cannot be created in a dBase table");
    }
    return f;
}

void encodeRecord(const std::string &path, const std::vector<FieldLayout> &fields, const Row &values,
                  const std::string &codepage, char *record, bool keepExisting)
{
    size_t shown = 0;
    for (const auto &fl : fields) {
        char *cell = record + fl.offset;
        std::string_view existing;
        if (keepExisting) existing = std::string_view(cell, static_cast<size_t>(fl.def.width));
        std::string copy(existing); // encodeCell writes over the same bytes
        if (fl.hidden) {
            encodeCell(path, fl.def, Value::null(), codepage, copy, cell);
            continue;
        }
        const Value &v = shown < values.size() ? values[shown] : Value();
        ++shown;
        encodeCell(path, fl.def, v, codepage, copy, cell);
    }
    if (values.size() > shown)
        throw EngineError(path, "a row of " + std::to_string(values.size()) + " values for a table of " +
                                    std::to_string(shown) + " fields");
}

class DbfWriter final : public TableWriter {
public:
    // The lock comes first: the table is read and changed only while it is held.
    DbfWriter(const std::string &path, const OpenOptions &options) : lock_(path), path_(path)
    {
        platform::recoverInterruptedChange(path);
        std::string data = io::readFile(path, io::kMaxTableFileSize);
        layout_ = parseLayout(path, data, options);
        if (!layout_.damage.empty())
            throw EngineError(path, "the table is damaged (" + layout_.damage.front() + "); it was not changed");
        const char *base = data.data() + layout_.headerLength;
        for (size_t r = 0; r < layout_.records; ++r)
            if (base[r * layout_.recordLength] != kDeletedFlag) live_.push_back(r);
        file_ = std::make_unique<platform::WritableFile>(path);
    }

    using TableWriter::remove;
    using TableWriter::update;

    size_t rowCount() const override { return live_.size(); }

    void update(size_t row, const Row &values) override
    {
        checkRow(row);
        size_t at = recordOffset(live_[row]);
        std::string record = readAt(at, layout_.recordLength);
        encodeRecord(path_, layout_.fields, values, layout_.codepage, record.data(), true);
        writeInPlace(at, record);
        written_ = RecordRef{live_[row], record};
    }

    std::optional<RecordRef> written() const override { return written_; }

    size_t append(const Row &values) override
    {
        if (layout_.records >= UINT32_MAX) throw EngineError(path_, "the table is full");
        std::string record(layout_.recordLength, ' ');
        encodeRecord(path_, layout_.fields, values, layout_.codepage, record.data(), false);
        record += kEndOfFile;
        size_t physical = layout_.records;
        // The record with the end-of-file byte, and the header's date and count, as one
        // change through the journal.
        char header[7];
        stampDate(header);
        writeLe32(header + 3, static_cast<uint32_t>(physical + 1));
        platform::InPlaceChange change(*file_, path_);
        change.put(recordOffset(physical), record);
        change.put(1, std::string(header, sizeof header));
        change.commit();
        layout_.records = physical + 1;
        layout_.headerCount = static_cast<uint32_t>(physical + 1);
        live_.push_back(physical);
        return live_.size() - 1;
    }

    // A dBase file keeps its records in file order, so a row before others means
    // moving them: the whole file is rewritten beside itself and renamed into place
    // (under the lock already held), the records' bytes, deleted ones and the header's
    // fields as they were.
    size_t insert(size_t row, const Row &values)
    {
        if (row >= live_.size()) return append(values);
        if (layout_.records >= UINT32_MAX) throw EngineError(path_, "the table is full");
        std::string record(layout_.recordLength, ' ');
        encodeRecord(path_, layout_.fields, values, layout_.codepage, record.data(), false);
        const size_t before = live_[row];
        const std::string data = io::readFile(path_);
        const size_t at = recordOffset(before), end = recordOffset(layout_.records);
        if (data.size() < end) throw EngineError(path_, "the table is shorter than its records");
        std::string image;
        image.reserve(data.size() + record.size() + 1);
        image.append(data, 0, at).append(record).append(data, at, std::string::npos);
        if (data.size() == end) image += kEndOfFile;
        stampDate(image.data() + 1);
        writeLe32(image.data() + 4, static_cast<uint32_t>(layout_.records + 1));
        file_.reset(); // the old file goes; changes after this one go to the new one
        try {
            io::writeFileAtomic(path_, image);
        } catch (...) {
            file_ = std::make_unique<platform::WritableFile>(path_); // the table as it was
            throw;
        }
        file_ = std::make_unique<platform::WritableFile>(path_);
        layout_.records += 1;
        layout_.headerCount = static_cast<uint32_t>(layout_.records);
        for (size_t &physical : live_)
            if (physical >= before) ++physical;
        live_.insert(live_.begin() + static_cast<ptrdiff_t>(row), before);
        return row;
    }

    void remove(size_t row) override
    {
        checkRow(row);
        const size_t at = recordOffset(live_[row]);
        writeInPlace(at, std::string(1, kDeletedFlag));
        live_.erase(live_.begin() + static_cast<ptrdiff_t>(row));
    }

    size_t insert(const RecordRef &seenBefore, const Row &values) { return insert(rowOf(seenBefore), values); }

protected:
    size_t rowOf(const RecordRef &seen) const override
    {
        // Records never move in a dBase file (a delete only marks them), so the record
        // number still names the row unless the file was rewritten or the row deleted.
        auto it = std::lower_bound(live_.begin(), live_.end(), size_t(seen.address));
        if (it == live_.end() || *it != seen.address || seen.bytes.size() != layout_.recordLength)
            throw StaleRecordError(path_);
        if (readAt(recordOffset(*it), layout_.recordLength) != seen.bytes) throw StaleRecordError(path_);
        return size_t(it - live_.begin());
    }

private:
    void checkRow(size_t row) const
    {
        if (row >= live_.size())
            throw EngineError(path_, "row " + std::to_string(row) + " is out of range (" +
                                         std::to_string(live_.size()) + " rows)");
    }

    size_t recordOffset(size_t physical) const { return layout_.headerLength + physical * layout_.recordLength; }

    std::string readAt(size_t at, size_t n) const
    {
        std::string buf(n, '\0');
        file_->readAt(at, buf.data(), n);
        return buf;
    }

    // Writes `bytes` at `at` through the journal: on the disk before the change is
    // reported done, and the file as it was after any failure or crash.
    void writeInPlace(size_t at, const std::string &bytes)
    {
        platform::InPlaceChange change(*file_, path_);
        change.put(at, bytes);
        change.commit();
    }

    platform::FileLock lock_;
    std::string path_;
    Layout layout_;
    std::vector<size_t> live_;
    std::unique_ptr<platform::WritableFile> file_;
    std::optional<RecordRef> written_;
};

} // namespace

// A new table is built in memory record by record as its rows come, so that the
// caller never holds all the rows; the file is written once, at finish().
struct Creator::Impl {
    std::string path, codepage;
    std::vector<FieldLayout> layout;
    size_t recordLength = 1, headerLength = 0, rows = 0;
    std::string out;
    bool finished = false;
};

Creator::Creator(const std::string &path, const std::vector<FieldDef> &fields, uint8_t languageDriver,
                 size_t expectedRows)
    : d_(std::make_unique<Impl>())
{
    Impl &d = *d_;
    d.path = path;
    d.codepage = codepageFor(languageDriver, {});
    d.recordLength = 1;
    for (const auto &in : fields) {
        FieldLayout fl;
        fl.def = nativeField(d.path, in);
        if (fl.def.name.empty()) throw EngineError(d.path, "a field has no name");
        for (const auto &other : d.layout)
            if (sameFieldName(other.def.name, fl.def.name))
                throw EngineError(d.path, "two fields are named " + fl.def.name);
        fl.offset = d.recordLength;
        d.recordLength += static_cast<size_t>(fl.def.width);
        d.layout.push_back(std::move(fl));
    }
    d.headerLength = kFileHeaderSize + kFieldDescriptorSize * fields.size() + 1;
    if (d.headerLength > 0xFFFF) throw EngineError(d.path, "too many fields for a dBase table");
    if (d.recordLength > 0xFFFF) throw EngineError(d.path, "the record is longer than 65535 bytes");
    d.out.assign(d.headerLength, '\0');
    d.out.reserve(d.headerLength + d.recordLength * expectedRows + 1);
    char *h = d.out.data();
    h[0] = 0x03;
    stampDate(h + 1);
    writeLe16(h + 8, static_cast<uint16_t>(d.headerLength));
    writeLe16(h + 10, static_cast<uint16_t>(d.recordLength));
    h[29] = char(languageDriver);
    for (size_t i = 0; i < d.layout.size(); ++i) {
        const FieldDef &f = d.layout[i].def;
        char *desc = h + kFileHeaderSize + kFieldDescriptorSize * i;
        bool lossless = true;
        std::string name = cp::fromUtf8(f.name, d.codepage, &lossless);
        if (!lossless) throw EngineError(d.path, "field name " + f.name + " cannot be written in code page " + d.codepage);
        if (name.size() > 10) throw EngineError(d.path, "field name " + f.name + " is longer than 10 characters");
        if (name.find('\0') != std::string::npos) throw EngineError(d.path, "field name " + f.name + " holds a NUL");
        std::memcpy(desc, name.data(), name.size());
        desc[11] = char(f.nativeType);
        desc[16] = char(f.width);
        desc[17] = char(f.decimals);
    }
    h[d.headerLength - 1] = kHeaderTerminator;
}

Creator::~Creator() = default;

void Creator::add(const Row &row)
{
    Impl &d = *d_;
    if (d.finished) throw EngineError(d.path, "rows added after the table was written");
    if (d.rows + 1 >= UINT32_MAX) throw EngineError(d.path, "too many rows for a dBase table");
    const size_t at = d.out.size();
    d.out.resize(at + d.recordLength, '\0');
    char *rec = d.out.data() + at;
    rec[0] = ' ';
    encodeRecord(d.path, d.layout, row, d.codepage, rec, false);
    ++d.rows;
}

void Creator::finish()
{
    Impl &d = *d_;
    if (d.finished) return;
    writeLe32(d.out.data() + 4, static_cast<uint32_t>(d.rows));
    d.out.push_back(kEndOfFile);
    platform::FileLock lock(d.path);
    platform::removeFile(platform::journalPathFor(d.path)); // an old change's journal means nothing now
    io::writeFileAtomic(d.path, d.out);
    d.finished = true;
    std::string().swap(d.out);
}

void create(const std::string &path, const std::vector<FieldDef> &fields, const std::vector<Row> &rows,
            uint8_t languageDriver)
{
    Creator c(path, fields, languageDriver, rows.size());
    for (const Row &row : rows) c.add(row);
    c.finish();
}

bool createIfMissing(const std::string &path, const std::vector<FieldDef> &fields, uint8_t languageDriver)
{
    platform::FileLock lock(path);
    if (io::exists(path)) return false;
    create(path, fields, {}, languageDriver);
    return true;
}

std::unique_ptr<TableWriter> openWriter(const std::string &path, const OpenOptions &options)
{
    return std::make_unique<DbfWriter>(path, options);
}

size_t insertBefore(TableWriter &writer, const RecordRef &seenBefore, const Row &values)
{
    auto *dbf = dynamic_cast<DbfWriter *>(&writer);
    if (!dbf) throw EngineError({}, "a row can be put before others only in a dBase table");
    return dbf->insert(seenBefore, values);
}

} // namespace dx::dbf
