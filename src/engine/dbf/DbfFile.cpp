// dBase reader: the whole file is read once and kept; cells are decoded on demand.
//
// Our own reader rather than shapelib's DBFOpen/DBFRead*: shapelib reads record by
// record through stdio, trusts the header's record count (a truncated file or a lying
// header makes it read past the data) and has no way to override the code page per
// table (dbase_03_cyrillic.dbf holds UTF-8 behind driver byte 0xF0).
#include "engine/dbf/DbfFile.h"

#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Journal.h"
#include "engine/dbf/DbfFormat.h"

#include <map>

namespace dx::dbf {

namespace {

// Records edited since the file was read, by physical record number: the file's bytes
// are shared by every snapshot made from them and never change.
using Patches = std::map<size_t, std::string>;

class DbfTable final : public TableFile {
public:
    DbfTable(const std::string &path, std::string data, const OpenOptions &options)
        : file_(std::make_shared<const std::string>(std::move(data))), data_(*file_)
    {
        path_ = path;
        layout_ = detail::parseLayout(path, data_, options);
        damage_ = layout_.damage;
        for (const auto &f : layout_.fields) {
            if (f.hidden) continue;
            fields_.push_back(f.def);
            offsets_.push_back(f.offset);
        }
        live_.reserve(layout_.records);
        const char *base = data_.data() + layout_.headerLength;
        for (size_t r = 0; r < layout_.records; ++r)
            if (base[r * layout_.recordLength] != detail::kDeletedFlag) live_.push_back(static_cast<uint32_t>(r));
    }

    size_t rowCount() const override { return live_.size(); }

    Value value(size_t row, size_t field) const override
    {
        if (row >= live_.size())
            throw EngineError(path_, "row " + std::to_string(row) + " is out of range (" +
                                         std::to_string(live_.size()) + " rows)");
        if (field >= fields_.size())
            throw EngineError(path_, "field " + std::to_string(field) + " is out of range (" +
                                         std::to_string(fields_.size()) + " fields)");
        std::string_view cell(recordBytes(row) + offsets_[field], static_cast<size_t>(fields_[field].width));
        return detail::decodeCell(cell, fields_[field], layout_.codepage);
    }

    RecordRef record(size_t row) const override
    {
        if (row >= live_.size()) throw EngineError(path_, "row " + std::to_string(row) + " is out of range");
        return {live_[row], std::string(recordBytes(row), layout_.recordLength)};
    }

    std::shared_ptr<const TableFile> withRecord(size_t row, const RecordRef &now) const override
    {
        if (row >= live_.size() || now.address != live_[row] || now.bytes.size() != layout_.recordLength ||
            now.bytes[0] == detail::kDeletedFlag)
            return nullptr;
        auto copy = std::make_shared<DbfTable>(*this);
        auto patches = patches_ ? std::make_shared<Patches>(*patches_) : std::make_shared<Patches>();
        (*patches)[live_[row]] = now.bytes;
        copy->patches_ = std::move(patches);
        return copy;
    }

private:
    const char *recordBytes(size_t row) const
    {
        if (patches_) {
            auto it = patches_->find(live_[row]);
            if (it != patches_->end()) return it->second.data();
        }
        return data_.data() + layout_.headerLength + size_t(live_[row]) * layout_.recordLength;
    }

    std::shared_ptr<const std::string> file_;
    const std::string &data_; // *file_
    std::shared_ptr<const Patches> patches_;
    detail::Layout layout_;
    std::vector<size_t> offsets_;  // per shown field
    std::vector<uint32_t> live_;   // physical record numbers of the live rows
};

} // namespace

TableFilePtr read(const std::string &path, const OpenOptions &options)
{
    std::string data;
    {
        platform::ReadGuard guard(path); // a writer never changes it while we copy it
        data = io::readFile(path, io::kMaxTableFileSize);
    }
    return std::make_shared<DbfTable>(path, std::move(data), options);
}

} // namespace dx::dbf
