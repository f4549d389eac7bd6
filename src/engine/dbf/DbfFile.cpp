// dBase reader: the file is read in pieces and its live records kept compact (text
// fields without their trailing blanks); cells are decoded on demand.
//
// Our own reader rather than shapelib's DBFOpen/DBFRead*: shapelib reads record by
// record through stdio, trusts the header's record count (a truncated file or a lying
// header makes it read past the data) and has no way to override the code page per
// table (dbase_03_cyrillic.dbf holds UTF-8 behind driver byte 0xF0).
#include "engine/dbf/DbfFile.h"

#include "engine/common/CompactRecords.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Journal.h"
#include "engine/common/Platform.h"
#include "engine/dbf/DbfFormat.h"

#include <algorithm>
#include <map>

namespace dx::dbf {

namespace {

// Records edited since the file was read, by physical record number: the records read
// are shared by every snapshot made from them and never change.
using Patches = std::map<size_t, std::string>;

// The live records as read, in table order, and where each field lies among them.
struct Records {
    CompactRecords records;
    std::vector<CompactRecords::Place> places; // per shown field
};

class DbfTable final : public TableFile {
public:
    // Reads the records of `file` (whose header `layout_` describes) in pieces of a few
    // megabytes, keeping the live ones.
    DbfTable(const std::string &path, detail::Layout layout, platform::PieceReader &file)
        : layout_(std::move(layout))
    {
        path_ = path;
        damage_ = layout_.damage;
        auto store = std::make_shared<Records>();
        std::vector<CompactRecords::Trimmed> trimmed;
        for (const auto &f : layout_.fields)
            if (!f.hidden && f.def.nativeType == 'C' && f.def.width <= 255)
                trimmed.push_back({f.offset, size_t(f.def.width), ' '});
        store->records = CompactRecords(layout_.recordLength, trimmed);
        for (const auto &f : layout_.fields) {
            if (f.hidden) continue;
            fields_.push_back(f.def);
            offsets_.push_back(f.offset);
            CompactRecords::Place place;
            if (!store->records.placeOf(f.offset, size_t(f.def.width), place)) place.size = 0;
            store->places.push_back(place);
        }
        const size_t rl = layout_.recordLength;
        const size_t perPiece = std::max<size_t>(1, (size_t(4) << 20) / rl);
        std::vector<unsigned char> piece(std::min(perPiece, std::max<size_t>(layout_.records, 1)) * rl);
        for (size_t first = 0; first < layout_.records; first += perPiece) {
            const size_t n = std::min(perPiece, layout_.records - first);
            const size_t got = file.readAt(layout_.headerLength + first * rl, piece.data(), n * rl) / rl;
            for (size_t r = 0; r < got; ++r) {
                const unsigned char *rec = piece.data() + r * rl;
                if (rec[0] == static_cast<unsigned char>(detail::kDeletedFlag)) continue;
                store->records.append(rec);
                live_.push_back(static_cast<uint32_t>(first + r));
            }
            if (got < n) break; // shrank while we read
        }
        store_ = std::move(store);
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
        const size_t width = static_cast<size_t>(fields_[field].width);
        if (const std::string *edited = patched(row))
            return detail::decodeCell(std::string_view(edited->data() + offsets_[field], width), fields_[field],
                                      layout_.codepage);
        const CompactRecords::Place &place = store_->places[field];
        if (place.size == 0) {
            const std::string whole = store_->records.record(row);
            return detail::decodeCell(std::string_view(whole.data() + offsets_[field], width), fields_[field],
                                      layout_.codepage);
        }
        unsigned char scratch[256];
        const auto *p = reinterpret_cast<const char *>(store_->records.field(row, place, scratch));
        return detail::decodeCell(std::string_view(p, width), fields_[field], layout_.codepage);
    }

    RecordRef record(size_t row) const override
    {
        if (row >= live_.size()) throw EngineError(path_, "row " + std::to_string(row) + " is out of range");
        if (const std::string *edited = patched(row)) return {live_[row], *edited};
        return {live_[row], store_->records.record(row)};
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
    // The record as an edit since the read left it; null when it is as read.
    const std::string *patched(size_t row) const
    {
        if (!patches_) return nullptr;
        auto it = patches_->find(live_[row]);
        return it != patches_->end() ? &it->second : nullptr;
    }

    std::shared_ptr<const Records> store_;
    std::shared_ptr<const Patches> patches_;
    detail::Layout layout_;
    std::vector<size_t> offsets_;  // per shown field
    std::vector<uint32_t> live_;   // physical record numbers of the live rows
};

} // namespace

TableFilePtr read(const std::string &path, const OpenOptions &options)
{
    platform::ReadGuard guard(path); // a writer never changes it while we read it
    if (std::string why = io::notARegularFile(path); !why.empty()) throw EngineError(path, why);
    platform::PieceReader file(path);
    if (file.size() > io::kMaxTableFileSize)
        throw EngineError(path, "the file is " + std::to_string(file.size()) +
                                    " bytes long, more than any dBase table can be");
    // The header lies in the first 64 KB (its length is a 16-bit number).
    std::string head(std::min<size_t>(file.size(), 0x10000), '\0');
    head.resize(file.readAt(0, reinterpret_cast<unsigned char *>(head.data()), head.size()));
    size_t size = file.size();
    if (head.size() < std::min<size_t>(size, 0x10000)) size = head.size(); // shrank while we read
    char last = '\0';
    if (size > 0 && file.readAt(size - 1, reinterpret_cast<unsigned char *>(&last), 1) == 0) last = '\0';
    detail::Layout layout = detail::parseLayout(path, head, size, last, options);
    return std::make_shared<DbfTable>(path, std::move(layout), file);
}

} // namespace dx::dbf
