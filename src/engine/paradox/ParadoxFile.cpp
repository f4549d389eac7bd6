// Paradox tables: reading (data blocks in chain order, encrypted ones included), creating
// Paradox 7 tables and changing records. See ParadoxFormat.h for the layout.
#include "engine/paradox/ParadoxFile.h"

#include "engine/common/Codepage.h"
#include "engine/common/CompactRecords.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Journal.h"
#include "engine/common/Platform.h"
#include "engine/paradox/ParadoxCrypt.h"
#include "engine/paradox/ParadoxFormat.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <filesystem>

namespace dx::px {

using namespace fmt;

namespace {

// ----------------------------------------------------------------------------------
// The table in memory: the live records in table order, each kept compact (an Alpha
// field without its trailing NULs), and where each one lies in the file.

struct BlockRef {
    uint32_t number = 0; // 1-based block number
    int count = 0;       // records in the block
};

struct Image {
    std::string path;
    CompactRecords records;               // decrypted, in table order
    std::vector<CompactRecords::Place> places; // each field's place in `records`
    int recordSize = 0;
    int headerSize = 0;
    int fileType = 0;
    int blockSize = 0;
    int versionId = 0;
    int keyFields = 0;
    uint32_t encryption = 0;
    std::string codepage; // iconv name used for text
    std::vector<FieldLayout> layout;
    std::vector<FieldDef> defs;
    std::vector<BlockRef> chain;
    std::vector<uint32_t> recordOffsets; // into data, live records in table order
    std::vector<std::string> damage;     // see TableFile::damage

    size_t blockOffset(uint32_t number) const { return size_t(headerSize) + size_t(number - 1) * size_t(blockSize); }
    int recordsPerBlock() const { return (blockSize - int(kBlockHeader)) / recordSize; }
};

[[noreturn]] void bad(const std::string &path, const std::string &why)
{
    throw EngineError(path, "not a readable Paradox table: " + why);
}

FieldType fieldTypeOf(uint8_t code)
{
    switch (code) {
    case Alpha: return FieldType::Text;
    case Date: return FieldType::Date;
    case Short:
    case Long:
    case AutoInc: return FieldType::Integer;
    case Currency:
    case Number:
    case Bcd: return FieldType::Real;
    case Logical: return FieldType::Logical;
    case Time: return FieldType::Time;
    case Timestamp: return FieldType::Timestamp;
    case Bytes: return FieldType::Binary;
    default: return FieldType::Memo;
    }
}

bool knownCode(uint8_t code)
{
    switch (code) {
    case Alpha: case Date: case Short: case Long: case Currency: case Number: case Logical:
    case MemoBlob: case Blob: case FmtMemo: case Ole: case Graphic: case Time: case Timestamp:
    case AutoInc: case Bcd: case Bytes:
        return true;
    default:
        return false;
    }
}

void checkPassword(const Image &img, const OpenOptions &options)
{
    if (img.encryption == 0) return;
    for (const auto &p : options.knownPasswords)
        if (crypt::passwordChecksum(p) == img.encryption) return;
    if (options.onPassword) {
        std::optional<std::string> answer = options.onPassword(img.path);
        if (!answer) throw PasswordError(img.path, "password required");
        if (crypt::passwordChecksum(*answer) == img.encryption) return;
        throw PasswordError(img.path, "wrong password");
    }
    throw PasswordError(img.path, options.knownPasswords.empty() ? "password required" : "wrong password");
}

// Parses the header, checks the password, decrypts and walks the block chain.
// Reads the header (the first headerSize bytes of a file of `fileSize` bytes at `h`):
// layout, fields, code page; checks the password. Throws EngineError naming the file.
void parseHeader(Image &img, const unsigned char *h, size_t fileSize, const OpenOptions &options)
{
    const std::string &path = img.path;
    img.recordSize = getLe16(h + 0x00);
    img.headerSize = getLe16(h + 0x02);
    img.fileType = h[0x04];
    int blockKb = h[0x05];
    img.versionId = h[0x39];
    int numFields = getLe16(h + 0x21);
    img.keyFields = getLe16(h + 0x23);

    if (img.fileType != 0 && img.fileType != 2)
        bad(path, "file type " + std::to_string(img.fileType) + " is not a data table (an index or another file?)");
    if (img.versionId < 3 || img.versionId > 15)
        bad(path, "unknown format version id " + std::to_string(img.versionId));
    if (!(blockKb == 1 || blockKb == 2 || blockKb == 3 || blockKb == 4 || blockKb == 8 || blockKb == 16 || blockKb == 32))
        bad(path, "unknown block size " + std::to_string(blockKb) + " KB");
    img.blockSize = blockKb * 1024;
    if (img.recordSize == 0) bad(path, "record size 0");
    if (img.recordSize > img.blockSize - int(kBlockHeader))
        bad(path, "record size " + std::to_string(img.recordSize) + " does not fit a block");
    if (numFields < 1 || numFields > 1024) bad(path, "field count " + std::to_string(numFields));

    const bool dataHeader = img.versionId >= 5;
    const size_t fieldInfo = dataHeader ? 0x78 : 0x58;
    if (size_t(img.headerSize) < fieldInfo) bad(path, "header size " + std::to_string(img.headerSize) + " is too small");
    if (size_t(img.headerSize) > fileSize)
        bad(path, "the file ends inside its header (" + std::to_string(fileSize) + " of " + std::to_string(img.headerSize) + " bytes)");
    const size_t headerEnd = size_t(img.headerSize);

    img.encryption = getLe32(h + 0x25);
    if (img.encryption == kEncryptionInDataHeader) img.encryption = dataHeader ? getLe32(h + 0x5C) : 0;

    // Field types and sizes.
    size_t pos = fieldInfo;
    if (pos + size_t(numFields) * 2 > headerEnd) bad(path, "the field list runs past the header");
    int offset = 0;
    for (int i = 0; i < numFields; ++i) {
        FieldLayout f;
        f.code = h[pos + 2 * i];
        int sz = h[pos + 2 * i + 1];
        if (!knownCode(f.code))
            bad(path, "field " + std::to_string(i + 1) + " has unknown type 0x" +
                          std::string(1, "0123456789ABCDEF"[f.code >> 4]) + std::string(1, "0123456789ABCDEF"[f.code & 15]));
        if (f.code == Bcd) {
            f.decimals = sz;
            f.size = 17;
        } else {
            f.size = sz;
        }
        if (f.size == 0) bad(path, "field " + std::to_string(i + 1) + " has size 0");
        f.offset = offset;
        offset += f.size;
        img.layout.push_back(f);
    }
    if (offset != img.recordSize)
        bad(path, "the fields take " + std::to_string(offset) + " bytes but a record has " + std::to_string(img.recordSize));
    pos += size_t(numFields) * 2;
    pos += 4;                        // table name pointer
    pos += size_t(numFields) * 4;    // field name pointers
    pos += img.versionId >= 12 ? 261 : 79; // table name
    if (pos > headerEnd) bad(path, "the field names lie past the header");

    // Code page: the caller's, else the header's, else CP1251.
    int cpNumber = dataHeader ? getLe16(h + 0x6A) : 0;
    img.codepage = options.codepage;
    if (img.codepage.empty()) img.codepage = cp::forCodepageNumber(cpNumber);
    if (img.codepage.empty()) img.codepage = "CP1251";

    for (int i = 0; i < numFields; ++i) {
        size_t end = pos;
        while (end < headerEnd && h[end] != 0) ++end;
        if (end >= headerEnd) bad(path, "the name of field " + std::to_string(i + 1) + " runs past the header");
        FieldDef def;
        def.name = cp::toUtf8(std::string_view(reinterpret_cast<const char *>(h) + pos, end - pos), img.codepage);
        const FieldLayout &f = img.layout[i];
        def.type = fieldTypeOf(f.code);
        def.width = f.code == Bcd ? 17 : f.size;
        def.decimals = f.decimals;
        def.nativeType = f.code;
        img.defs.push_back(std::move(def));
        pos = end + 1;
    }

    checkPassword(img, options);
}

// The data blocks as the chain asks for them. A chain mostly runs forward through the
// file, so the block after the last piece read comes with the blocks that follow it
// (a few megabytes at a time); a jump elsewhere reads just its block.
class BlockSource {
public:
    BlockSource(platform::PieceReader &src, size_t fileSize, size_t headerSize, size_t blockSize)
        : src_(src), fileSize_(fileSize), headerSize_(headerSize), blockSize_(blockSize),
          pieceBlocks_(std::max<size_t>(1, (size_t(4) << 20) / blockSize))
    {
    }

    size_t fileSize() const { return fileSize_; }

    // Block `no` (which starts inside the file) and how many of its bytes the file
    // holds; good until the next call.
    const unsigned char *get(uint32_t no, size_t &present)
    {
        if (!(no >= first_ && no < first_ + count_)) {
            const bool onward = count_ == 0 || no == first_ + count_;
            const size_t start = headerSize_ + size_t(no - 1) * blockSize_;
            const size_t want = std::min((onward ? pieceBlocks_ : 1) * blockSize_, fileSize_ - start);
            buf_.resize(std::max(buf_.size(), want));
            const size_t got = src_.readAt(start, buf_.data(), want);
            if (got < want) fileSize_ = start + got; // shrank while we read
            first_ = no;
            count_ = uint32_t((got + blockSize_ - 1) / blockSize_);
            if (count_ == 0) {
                present = 0;
                return buf_.data();
            }
        }
        const size_t start = headerSize_ + size_t(no - 1) * blockSize_;
        present = start < fileSize_ ? std::min(blockSize_, fileSize_ - start) : 0;
        return buf_.data() + size_t(no - first_) * blockSize_;
    }

private:
    platform::PieceReader &src_;
    size_t fileSize_, headerSize_, blockSize_, pieceBlocks_;
    std::vector<unsigned char> buf_;
    uint32_t first_ = 0, count_ = 0; // the blocks in buf_
};

std::shared_ptr<Image> load(const std::string &path, const OpenOptions &options)
{
    auto img = std::make_shared<Image>();
    img->path = path;
    platform::ReadGuard guard(path); // a writer never changes it while we read it
    platform::PieceReader src(path);
    size_t fileSize = src.size();
    if (fileSize > io::kMaxTableFileSize)
        bad(path, "the file is " + std::to_string(fileSize) + " bytes long, more than any Paradox table can be");
    if (fileSize < 0x58) bad(path, "the file is too short for a Paradox header (" + std::to_string(fileSize) + " bytes)");

    // The header (at most 64 KB), then the chain's blocks one at a time: each is
    // decrypted where the chain reaches it and its records are kept compact, so that the
    // file is never held whole.
    std::vector<unsigned char> head(std::min<size_t>(fileSize, 0x10000));
    const size_t gotHead = src.readAt(0, head.data(), head.size());
    if (gotHead < head.size()) fileSize = gotHead;
    if (fileSize < 0x58) bad(path, "the file is too short for a Paradox header (" + std::to_string(fileSize) + " bytes)");
    const unsigned char *h = head.data();

    parseHeader(*img, h, fileSize, options);
    const size_t bs = size_t(img->blockSize);
    const size_t rs = size_t(img->recordSize);
    std::vector<CompactRecords::Trimmed> trimmed;
    for (const FieldLayout &f : img->layout)
        if (f.code == Alpha) trimmed.push_back({size_t(f.offset), size_t(f.size), 0});
    img->records = CompactRecords(rs, trimmed);
    for (const FieldLayout &f : img->layout) {
        CompactRecords::Place place;
        if (!img->records.placeOf(size_t(f.offset), size_t(f.size), place)) place.size = 0; // read from the whole record
        img->places.push_back(place);
    }
    BlockSource blocks(src, fileSize, size_t(img->headerSize), bs);

    // Walk the chain. Every block must start inside the file; the last one may be cut
    // short (the missing part must hold no records).
    uint32_t block = getLe16(h + 0x0E);
    std::vector<bool> seen(65536, false);
    std::vector<unsigned char> b(bs); // the block being read, decrypted, zero-padded
    // Upper bound for the record index: the file cannot hold more.
    const size_t most = std::min<size_t>(getLe32(h + 0x06), fileSize / rs + 1);
    img->recordOffsets.reserve(most);
    img->records.reserve(most);
    while (block != 0) {
        if (seen[block]) bad(path, "the block chain loops back to block " + std::to_string(block));
        seen[block] = true;
        size_t start = img->blockOffset(block);
        if (start >= blocks.fileSize())
            bad(path, "block " + std::to_string(block) + " lies past the end of the file (the file is cut short?)");
        size_t present = 0;
        const unsigned char *stored = blocks.get(block, present);
        if (present == 0)
            bad(path, "block " + std::to_string(block) + " lies past the end of the file (the file is cut short?)");
        std::memcpy(b.data(), stored, present);
        if (present < bs) std::memset(b.data() + present, 0, bs - present); // what a cut file lacks
        size_t usable = present;
        if (img->encryption) {
            // The first chunk holds the block header; the rest is decrypted below.
            crypt::decryptChunks(b.data(), b.data(), 0, 1, img->encryption, block);
            usable = present / 256 * 256; // a cut-off chunk does not decrypt
        }
        if (usable < kBlockHeader) bad(path, "block " + std::to_string(block) + " is cut off");
        uint32_t next = getLe16(b.data());
        int16_t last = static_cast<int16_t>(getLe16(b.data() + 4));
        int count = 0;
        if (last >= 0) {
            if (last % img->recordSize != 0)
                bad(path, "block " + std::to_string(block) + " has a record offset (" + std::to_string(last) +
                              ") that is no multiple of the record size");
            count = last / img->recordSize + 1;
            if (kBlockHeader + size_t(count) * rs > bs)
                bad(path, "block " + std::to_string(block) + " claims more records than fit in it");
            if (kBlockHeader + size_t(count) * rs > usable)
                bad(path, "records of block " + std::to_string(block) + " lie past the end of the file");
        }
        if (img->encryption) {
            // Only the chunks that hold records; the rest of the block is never read.
            const size_t used = kBlockHeader + size_t(count) * rs;
            const size_t need = std::min(bs / 256, (used + 255) / 256);
            if (need > 1) crypt::decryptChunks(b.data(), b.data(), 1, need - 1, img->encryption, block);
        }
        img->chain.push_back({block, count});
        for (int r = 0; r < count; ++r) {
            img->records.append(b.data() + kBlockHeader + size_t(r) * rs);
            img->recordOffsets.push_back(static_cast<uint32_t>(start + kBlockHeader + size_t(r) * rs));
        }
        block = next;
    }
    // The header keeps the record count up to date; a chain that reaches fewer records
    // (a first-block pointer lost, a link cut) has lost the rest of the table.
    const uint32_t counted = getLe32(h + 0x06);
    if (counted != img->recordOffsets.size())
        img->damage.push_back("the header counts " + std::to_string(counted) + " records but the block chain holds " +
                              std::to_string(img->recordOffsets.size()) + " (the chain is broken)");
    return img;
}

// ----------------------------------------------------------------------------------
// Reader

// Records edited since the image was read, by their offset: the image itself is shared
// by every snapshot made from it and never changes.
using Patches = std::map<uint32_t, std::string>;

class ParadoxTable : public TableFile {
public:
    explicit ParadoxTable(std::shared_ptr<Image> img, std::shared_ptr<const Patches> patches = nullptr)
        : img_(std::move(img)), patches_(std::move(patches))
    {
        path_ = img_->path;
        fields_ = img_->defs;
        damage_ = img_->damage;
    }
    size_t rowCount() const override { return img_->recordOffsets.size(); }
    Value value(size_t row, size_t field) const override
    {
        if (row >= img_->recordOffsets.size() || field >= img_->layout.size()) return Value::null();
        const FieldLayout &f = img_->layout[field];
        if (const std::string *edited = patched(row))
            return decodeCell(f, reinterpret_cast<const unsigned char *>(edited->data()) + f.offset, img_->codepage);
        const CompactRecords::Place &place = img_->places[field];
        if (place.size == 0) {
            const std::string whole = img_->records.record(row);
            return decodeCell(f, reinterpret_cast<const unsigned char *>(whole.data()) + f.offset, img_->codepage);
        }
        unsigned char scratch[256];
        return decodeCell(f, img_->records.field(row, place, scratch), img_->codepage);
    }
    RecordRef record(size_t row) const override
    {
        if (row >= img_->recordOffsets.size()) throw EngineError(path_, "row " + std::to_string(row) + " is out of range");
        if (const std::string *edited = patched(row)) return {img_->recordOffsets[row], *edited};
        return {img_->recordOffsets[row], img_->records.record(row)};
    }
    std::shared_ptr<const TableFile> withRecord(size_t row, const RecordRef &now) const override
    {
        if (row >= img_->recordOffsets.size() || now.address != img_->recordOffsets[row] ||
            now.bytes.size() != size_t(img_->recordSize))
            return nullptr;
        auto patches = patches_ ? std::make_shared<Patches>(*patches_) : std::make_shared<Patches>();
        (*patches)[img_->recordOffsets[row]] = now.bytes;
        return std::make_shared<ParadoxTable>(img_, std::move(patches));
    }

private:
    // The record as an edit since the read left it; null when it is as read.
    const std::string *patched(size_t row) const
    {
        if (!patches_) return nullptr;
        auto it = patches_->find(img_->recordOffsets[row]);
        return it != patches_->end() ? &it->second : nullptr;
    }

    std::shared_ptr<Image> img_;
    std::shared_ptr<const Patches> patches_;
};

// ----------------------------------------------------------------------------------
// Record encoding shared by create and the writer.

std::string encodeRecord(const Image &img, const Row &values)
{
    if (values.size() > img.layout.size())
        throw EngineError(img.path, "a row has " + std::to_string(values.size()) + " values but the table has " +
                                        std::to_string(img.layout.size()) + " fields");
    std::string rec(size_t(img.recordSize), '\0');
    auto *p = reinterpret_cast<unsigned char *>(rec.data());
    for (size_t i = 0; i < values.size(); ++i) {
        const FieldLayout &f = img.layout[i];
        encodeCell(f, img.defs[i], values[i], p + f.offset, img.codepage, img.path);
    }
    return rec;
}

// The 0x78-byte Paradox 7 header and the field descriptions, padded to a multiple of 2 KB.
std::string buildHeader(const std::string &path, const std::vector<FieldLayout> &layout,
                        const std::vector<std::string> &names, int recordSize, const CreateOptions &o,
                        uint32_t encryption)
{
    const int n = int(layout.size());
    std::string tableName = std::filesystem::path(path).filename().string();
    bool lossless = true;
    tableName = cp::fromUtf8(tableName, "CP1251", &lossless);
    if (tableName.size() > 260) tableName.resize(260);
    size_t namesLen = 0;
    for (const auto &nm : names) namesLen += nm.size() + 1;
    const size_t tableNameLen = 261;
    size_t used = 0x78 + size_t(n) * 2 + 4 + size_t(n) * 4 + tableNameLen + namesLen + size_t(n) * 2 + 8;
    size_t headerSize = (used / 0x800 + 1) * 0x800;
    if (headerSize > 0xF800) throw EngineError(path, "too many or too long field names for a Paradox header");

    std::string hdr(headerSize, '\0');
    auto *h = reinterpret_cast<unsigned char *>(hdr.data());
    putLe16(h + 0x00, uint32_t(recordSize));
    putLe16(h + 0x02, uint32_t(headerSize));
    h[0x04] = 2; // non-indexed table
    h[0x05] = uint8_t(o.blockSizeKb);
    putLe16(h + 0x21, uint32_t(n));
    putLe32(h + 0x25, kEncryptionInDataHeader);
    h[0x29] = 0x62; // sort order
    h[0x2D] = 2;    // change counts, as Paradox and pxlib write them
    h[0x2E] = 1;
    putLe32(h + 0x30, uint32_t(0x78 + n * 2));
    putLe32(h + 0x34, 0x78);
    h[0x39] = 0x0C; // Paradox 7
    h[0x3E] = 0x1F;
    h[0x3F] = 0x0F;
    putLe16(h + 0x51, uint32_t(0x78 + n * 8 + 4 + tableNameLen + namesLen + 9));
    h[0x56] = 0x20;
    putLe16(h + 0x58, 0x010C);
    putLe16(h + 0x5A, 0x010C);
    putLe32(h + 0x5C, encryption);
    putLe32(h + 0x60, o.stamp ? o.stamp : static_cast<uint32_t>(std::time(nullptr)));
    putLe16(h + 0x64, uint32_t(n + 1));
    putLe16(h + 0x66, uint32_t(0x20 + n * 6 + 4 + tableNameLen + namesLen));
    putLe16(h + 0x6A, uint32_t(o.codepage));
    h[0x6C] = 1;
    h[0x6D] = 1;
    putLe16(h + 0x6E, uint32_t(0x18 + n * 8 + 4 + tableNameLen + namesLen + 8));
    size_t pos = 0x78;
    for (const auto &f : layout) {
        h[pos++] = f.code;
        h[pos++] = uint8_t(f.code == Bcd ? f.decimals : f.size);
    }
    putLe32(h + pos, uint32_t(0x78 + n * 6 + 4));
    pos += 4;
    size_t nameBase = 0x78 + size_t(n) * 6 + 4 + tableNameLen, off = 0;
    for (int i = 0; i < n; ++i) {
        putLe32(h + pos, uint32_t(nameBase + off));
        off += names[i].size() + 1;
        pos += 4;
    }
    std::memcpy(h + pos, tableName.data(), tableName.size());
    pos += tableNameLen;
    for (const auto &nm : names) {
        std::memcpy(h + pos, nm.data(), nm.size());
        pos += nm.size() + 1;
    }
    for (int i = 0; i < n; ++i) {
        putLe16(h + pos, uint32_t(i + 1));
        pos += 2;
    }
    std::memcpy(h + pos, "ANSIINTL", 8);
    return hdr;
}

void writeHeaderCounts(unsigned char *h, uint32_t numRecords, uint32_t fileBlocks, uint32_t first, uint32_t last)
{
    putLe32(h + 0x06, numRecords);
    putLe16(h + 0x0A, fileBlocks); // next block to use
    putLe16(h + 0x0C, fileBlocks);
    putLe16(h + 0x0E, first);
    putLe16(h + 0x10, last);
    putLe16(h + 0x3A, fileBlocks);
}

// ----------------------------------------------------------------------------------
// Writer: reads the header and only the blocks a change touches (decrypting them), and
// writes back just those blocks and the header, in place, through the journal. A row
// named by its number needs the whole chain walked once; a row named by its RecordRef
// and an append need only their own block and its neighbours.

class ParadoxWriter : public TableWriter {
public:
    // The lock comes first: the table is read and changed only while it is held.
    ParadoxWriter(const std::string &path, const OpenOptions &options) : lock_(path), options_(options)
    {
        platform::recoverInterruptedChange(path);
        file_ = std::make_unique<platform::WritableFile>(path);
        img_.path = path;
        readHeader();
    }

    size_t rowCount() const override
    {
        walk();
        return rows_;
    }

    void update(size_t row, const Row &values) override
    {
        auto [no, index] = placeOf(row);
        updateAt(no, index, values);
    }

    void update(const RecordRef &seen, const Row &values) override
    {
        auto [no, index] = locate(seen);
        updateAt(no, index, values);
    }

    size_t append(const Row &values) override
    {
        refuseKeyed("appending to");
        std::string rec = encodeRecord(img_, values);
        uint32_t tail = lastBlock();
        if (tail == 0 || countOf(tail) >= img_.recordsPerBlock()) tail = addBlock(tail);
        unsigned char *b = block(tail);
        const int count = countOf(tail);
        std::memcpy(b + kBlockHeader + size_t(count) * size_t(img_.recordSize), rec.data(), rec.size());
        setCount(tail, count + 1);
        numRecords_ += 1;
        commit();
        walked_ = false;
        return numRecords_ - 1;
    }

    void remove(size_t row) override
    {
        refuseKeyed("removing records from");
        auto [no, index] = placeOf(row);
        removeAt(no, index);
    }

    void remove(const RecordRef &seen) override
    {
        refuseKeyed("removing records from");
        auto [no, index] = locate(seen);
        removeAt(no, index);
    }

protected:
    size_t rowOf(const RecordRef &seen) const override
    {
        auto [no, index] = const_cast<ParadoxWriter *>(this)->locate(seen);
        walk();
        size_t first = 0;
        for (const auto &b : chain_) {
            if (b.number == no) return first + size_t(index);
            first += size_t(b.count);
        }
        throw StaleRecordError(img_.path);
    }

private:
    struct Cached {
        std::string bytes; // decrypted
        size_t usable = 0; // the bytes the file really holds (a cut-off last block has fewer)
    };

    const std::string &path() const { return img_.path; }
    size_t blockSize() const { return size_t(img_.blockSize); }

    [[noreturn]] void damaged(const std::string &why) const
    {
        throw EngineError(path(), "the table is damaged (" + why + "); it was not changed");
    }

    void readHeader()
    {
        fileSize_ = file_->size();
        if (fileSize_ < 0x58)
            bad(path(), "the file is too short for a Paradox header (" + std::to_string(fileSize_) + " bytes)");
        unsigned char start[4];
        file_->readAt(0, reinterpret_cast<char *>(start), sizeof start);
        const size_t wanted = std::max<size_t>(0x58, std::min<size_t>(getLe16(start + 2), fileSize_));
        header_.assign(wanted, '\0');
        file_->readAt(0, header_.data(), wanted);
        img_.layout.clear();
        img_.defs.clear();
        parseHeader(img_, h(), fileSize_, options_);
        onDisk_ = header_;
        numRecords_ = getLe32(h() + 0x06);
        first_ = getLe16(h() + 0x0E);
        last_ = getLe16(h() + 0x10);
        fileBlocks_ = getLe16(h() + 0x0C);
        const size_t physical = fileSize_ > size_t(img_.headerSize)
                                    ? (fileSize_ - size_t(img_.headerSize) + blockSize() - 1) / blockSize()
                                    : 0;
        fileBlocks_ = std::max<uint32_t>(fileBlocks_, uint32_t(std::min<size_t>(physical, 65535)));
    }

    unsigned char *h() { return reinterpret_cast<unsigned char *>(header_.data()); }

    Cached &cached(uint32_t no) const
    {
        auto it = blocks_.find(no);
        if (it != blocks_.end()) return it->second;
        if (no == 0 || no > fileBlocks_) damaged("block " + std::to_string(no) + " does not exist");
        Cached c;
        c.bytes.assign(blockSize(), '\0');
        const size_t start = img_.blockOffset(no);
        if (start < fileSize_) {
            c.usable = std::min(blockSize(), size_t(fileSize_ - start));
            file_->readAt(start, c.bytes.data(), c.usable);
        }
        auto *b = reinterpret_cast<unsigned char *>(c.bytes.data());
        if (img_.encryption) {
            crypt::decryptBlock(b, blockSize(), img_.encryption, no);
            c.usable = c.usable / 256 * 256; // a cut-off chunk does not decrypt
        }
        // What the file lacks reads as zeros (a block cut short keeps no records there).
        std::memset(b + c.usable, 0, blockSize() - c.usable);
        return blocks_.emplace(no, std::move(c)).first->second;
    }

    unsigned char *block(uint32_t no) const { return reinterpret_cast<unsigned char *>(cached(no).bytes.data()); }

    int countOf(uint32_t no) const
    {
        const Cached &c = cached(no);
        const auto *b = reinterpret_cast<const unsigned char *>(c.bytes.data());
        const int16_t lastOffset = static_cast<int16_t>(getLe16(b + 4));
        if (lastOffset < 0) return 0;
        if (lastOffset % img_.recordSize != 0)
            damaged("block " + std::to_string(no) + " has a record offset that is no multiple of the record size");
        const int count = lastOffset / img_.recordSize + 1;
        if (kBlockHeader + size_t(count) * size_t(img_.recordSize) > c.usable)
            damaged("the records of block " + std::to_string(no) + " lie past its end or the file's");
        return count;
    }

    void setCount(uint32_t no, int count)
    {
        putLe16(block(no) + 4, uint32_t((count - 1) * img_.recordSize) & 0xFFFF);
        dirty_.insert(no);
    }

    // The whole chain, as the reader walks it; a table whose chain does not account for
    // the header's record count is refused rather than changed.
    void walk() const
    {
        if (walked_) return;
        chain_.clear();
        rows_ = 0;
        std::vector<bool> seen(65536, false);
        for (uint32_t no = first_; no != 0; no = getLe16(block(no))) {
            if (seen[no]) damaged("the block chain loops back to block " + std::to_string(no));
            seen[no] = true;
            const int count = countOf(no);
            chain_.push_back({no, count});
            rows_ += size_t(count);
        }
        if (rows_ != numRecords_)
            damaged("the header counts " + std::to_string(numRecords_) + " records but the block chain holds " +
                    std::to_string(rows_));
        walked_ = true;
    }

    std::pair<uint32_t, int> placeOf(size_t row) const
    {
        walk();
        size_t first = 0;
        for (const auto &b : chain_) {
            if (row < first + size_t(b.count)) return {b.number, int(row - first)};
            first += size_t(b.count);
        }
        throw EngineError(path(), "row " + std::to_string(row) + " does not exist (the table has " +
                                      std::to_string(rows_) + " rows)");
    }

    // A block is in the chain when its neighbours point back at it (or the header does,
    // at either end). Tables whose back links cannot be trusted are walked instead.
    bool linked(uint32_t no) const
    {
        const unsigned char *b = block(no);
        const uint32_t next = getLe16(b), prev = getLe16(b + 2);
        const bool front = prev == 0 ? first_ == no : prev <= fileBlocks_ && getLe16(block(prev)) == no;
        const bool back = next == 0 ? last_ == no : next <= fileBlocks_ && getLe16(block(next) + 2) == no;
        if (front && back) return true;
        walk();
        return std::any_of(chain_.begin(), chain_.end(), [&](const BlockRef &r) { return r.number == no; });
    }

    // The block and place of the record the caller saw, if the file still holds exactly
    // that record there; otherwise the change is refused.
    std::pair<uint32_t, int> locate(const RecordRef &seen)
    {
        const size_t rs = size_t(img_.recordSize), bs = blockSize();
        if (seen.bytes.size() != rs || seen.address < uint64_t(img_.headerSize)) throw StaleRecordError(path());
        const uint64_t rel = seen.address - uint64_t(img_.headerSize);
        const uint64_t no = rel / bs + 1;
        const size_t within = size_t(rel % bs);
        if (no > fileBlocks_ || within < kBlockHeader || (within - kBlockHeader) % rs != 0)
            throw StaleRecordError(path());
        const int index = int((within - kBlockHeader) / rs);
        if (index >= countOf(uint32_t(no)) || !linked(uint32_t(no))) throw StaleRecordError(path());
        if (std::memcmp(block(uint32_t(no)) + within, seen.bytes.data(), rs) != 0) throw StaleRecordError(path());
        return {uint32_t(no), index};
    }

    void refuseKeyed(const char *what) const
    {
        if (img_.fileType == 0)
            throw EngineError(path(), std::string(what) +
                                          " a keyed table is not supported (its primary index would go stale)");
    }

    void updateAt(uint32_t no, int index, const Row &values)
    {
        std::string rec = encodeRecord(img_, values);
        unsigned char *p = block(no) + kBlockHeader + size_t(index) * size_t(img_.recordSize);
        if (img_.fileType == 0) { // keyed: the key fields decide the order and the index
            for (int k = 0; k < img_.keyFields && k < int(img_.layout.size()); ++k) {
                const FieldLayout &f = img_.layout[k];
                if (std::memcmp(p + f.offset, rec.data() + f.offset, f.size) != 0)
                    throw EngineError(path(), "changing the key field " + img_.defs[k].name +
                                                  " of a keyed table is not supported (its primary index would go stale)");
            }
        }
        std::memcpy(p, rec.data(), rec.size());
        dirty_.insert(no);
        commit();
        written_ = RecordRef{uint64_t(img_.blockOffset(no) + kBlockHeader + size_t(index) * size_t(img_.recordSize)), rec};
    }

public:
    std::optional<RecordRef> written() const override { return written_; }

private:

    void removeAt(uint32_t no, int index)
    {
        const size_t rs = size_t(img_.recordSize);
        const int count = countOf(no);
        unsigned char *recs = block(no) + kBlockHeader;
        std::memmove(recs + size_t(index) * rs, recs + size_t(index + 1) * rs, size_t(count - index - 1) * rs);
        std::memset(recs + size_t(count - 1) * rs, 0, rs);
        setCount(no, count - 1);
        numRecords_ -= 1;
        if (count == 1) unlink(no);
        commit();
        walked_ = false;
    }

    uint32_t lastBlock()
    {
        // The header names the last block; a header that is wrong there is walked past.
        if (last_ != 0 && last_ <= fileBlocks_ && getLe16(block(last_)) == 0 && linked(last_)) return last_;
        if (last_ == 0 && first_ == 0) return 0;
        walk();
        return chain_.empty() ? 0 : chain_.back().number;
    }

    uint32_t addBlock(uint32_t prev)
    {
        if (fileBlocks_ >= 65535) throw EngineError(path(), "the table has reached the Paradox limit of 65535 blocks");
        const uint32_t no = ++fileBlocks_;
        Cached c;
        c.bytes.assign(blockSize(), '\0');
        c.usable = blockSize();
        blocks_[no] = std::move(c);
        unsigned char *b = block(no);
        putLe16(b, 0);
        putLe16(b + 2, prev);
        putLe16(b + 4, uint32_t(-img_.recordSize) & 0xFFFF);
        if (prev) {
            putLe16(block(prev), no);
            dirty_.insert(prev);
        } else {
            first_ = no;
        }
        last_ = no;
        dirty_.insert(no);
        return no;
    }

    // Takes an emptied block out of the chain (it stays in the file, marked empty).
    void unlink(uint32_t no)
    {
        uint32_t prev = getLe16(block(no) + 2), next = getLe16(block(no));
        if (!(prev == 0 ? first_ == no : getLe16(block(prev)) == no)) {
            walk();
            for (size_t i = 0; i < chain_.size(); ++i)
                if (chain_[i].number == no) {
                    prev = i > 0 ? chain_[i - 1].number : 0;
                    next = i + 1 < chain_.size() ? chain_[i + 1].number : 0;
                }
        }
        if (prev) {
            putLe16(block(prev), next);
            dirty_.insert(prev);
        } else {
            first_ = next;
        }
        if (next) {
            putLe16(block(next) + 2, prev);
            dirty_.insert(next);
        } else {
            last_ = prev;
        }
        putLe16(block(no), 0);
        putLe16(block(no) + 2, 0);
        dirty_.insert(no);
    }

    // Writes the touched blocks (encrypted again) and the header if it changed, through
    // the journal. A failure leaves the file as it was; the writer then forgets what it
    // had changed and reads the file again.
    void commit()
    {
        writeHeaderCounts(h(), uint32_t(numRecords_), fileBlocks_, first_, last_);
        platform::InPlaceChange change(*file_, path());
        uint64_t end = fileSize_;
        for (uint32_t no : dirty_) {
            std::string out = cached(no).bytes;
            if (img_.encryption)
                crypt::encryptBlock(reinterpret_cast<unsigned char *>(out.data()), blockSize(), img_.encryption, no);
            const uint64_t at = img_.blockOffset(no);
            end = std::max<uint64_t>(end, at + out.size());
            change.put(at, std::move(out));
        }
        const size_t headerSize = size_t(img_.headerSize);
        if (header_.compare(0, headerSize, onDisk_, 0, headerSize) != 0) change.put(0, header_.substr(0, headerSize));
        try {
            change.commit();
        } catch (const EngineError &) {
            dirty_.clear();
            blocks_.clear();
            walked_ = false;
            try {
                readHeader();
            } catch (const EngineError &) {
            }
            throw;
        }
        dirty_.clear();
        onDisk_ = header_;
        fileSize_ = end;
        for (auto &[no, c] : blocks_)
            if (img_.blockOffset(no) + blockSize() <= end) c.usable = blockSize();
    }

    platform::FileLock lock_;
    OpenOptions options_;
    std::unique_ptr<platform::WritableFile> file_;
    Image img_; // the header's description of the table; its data stays empty
    std::string header_, onDisk_;
    uint64_t fileSize_ = 0;
    size_t numRecords_ = 0;
    uint32_t first_ = 0, last_ = 0, fileBlocks_ = 0;
    mutable std::map<uint32_t, Cached> blocks_;
    std::set<uint32_t> dirty_;
    mutable std::vector<BlockRef> chain_;
    mutable size_t rows_ = 0;
    mutable bool walked_ = false;
    std::optional<RecordRef> written_;
};

} // namespace

TableFilePtr read(const std::string &path, const OpenOptions &options)
{
    return std::make_shared<ParadoxTable>(load(path, options));
}

// A new table is built in memory block by block as its rows come, so that the caller
// never holds all the rows; the file is written once, at finish().
struct Creator::Impl {
    std::unique_ptr<Image> img_ = std::make_unique<Image>();
    std::string out_;
    size_t headerSize_ = 0;
    uint32_t encryption_ = 0;
    size_t rows_ = 0;
    size_t blocks_ = 0;
    bool finished_ = false;

    unsigned char *block(size_t index) { return reinterpret_cast<unsigned char *>(out_.data()) + headerSize_ + index * size_t(img_->blockSize); }
    void seal(size_t index)
    {
        if (encryption_) crypt::encryptBlock(block(index), size_t(img_->blockSize), encryption_, uint32_t(index + 1));
    }
};

Creator::Creator(const std::string &path, const std::vector<FieldDef> &fields, const CreateOptions &options,
                 size_t expectedRows)
    : d_(std::make_unique<Impl>())
{
    Impl &d = *d_;
    const int kb = options.blockSizeKb;
    if (!(kb == 1 || kb == 2 || kb == 3 || kb == 4 || kb == 16 || kb == 32))
        throw EngineError(path, "block size " + std::to_string(kb) + " KB is not one Paradox knows (1, 2, 3, 4, 16, 32)");
    if (fields.empty()) throw EngineError(path, "a table needs at least one field");
    if (fields.size() > 255) throw EngineError(path, "a Paradox table holds at most 255 fields");

    Image &img = *d.img_;
    img.path = path;
    img.codepage = cp::forCodepageNumber(options.codepage);
    if (img.codepage.empty()) img.codepage = "CP" + std::to_string(options.codepage);
    img.blockSize = kb * 1024;
    img.headerSize = 0;
    std::vector<std::string> names;
    int offset = 0;
    for (const auto &def : fields) {
        FieldLayout f;
        switch (def.type) {
        case FieldType::Text:
            if (def.width < 1 || def.width > 255)
                throw EngineError(path, "field " + def.name + ": text width must be 1..255");
            f.code = Alpha;
            f.size = def.width;
            break;
        case FieldType::Integer:
            if (def.nativeType == Short) { f.code = Short; f.size = 2; }
            else if (def.nativeType == AutoInc) { f.code = AutoInc; f.size = 4; }
            else { f.code = Long; f.size = 4; }
            break;
        case FieldType::Real:
            f.code = def.nativeType == Currency ? Currency : Number;
            f.size = 8;
            break;
        case FieldType::Logical: f.code = Logical; f.size = 1; break;
        case FieldType::Date: f.code = Date; f.size = 4; break;
        case FieldType::Time: f.code = Time; f.size = 4; break;
        case FieldType::Timestamp: f.code = Timestamp; f.size = 8; break;
        default:
            throw EngineError(path, "field " + def.name + ": memo and binary fields cannot be created");
        }
        f.offset = offset;
        offset += f.size;
        bool lossless = true;
        std::string nm = cp::fromUtf8(def.name, img.codepage, &lossless);
        if (nm.empty() || !lossless || nm.find('\0') != std::string::npos || nm.size() > 25)
            throw EngineError(path, "field name \"" + def.name + "\" is not a valid Paradox field name");
        names.push_back(nm);
        img.layout.push_back(f);
        FieldDef d = def;
        d.nativeType = f.code;
        img.defs.push_back(d);
    }
    img.recordSize = offset;
    if (img.recordSize > img.blockSize - int(kBlockHeader))
        throw EngineError(path, "records of " + std::to_string(img.recordSize) + " bytes do not fit " + std::to_string(kb) +
                                    " KB blocks; choose a larger block size");

    const uint32_t encryption = crypt::passwordChecksum(options.password);
    d.out_ = buildHeader(path, img.layout, names, img.recordSize, options, encryption);
    d.headerSize_ = d.out_.size();
    d.encryption_ = encryption;

    const size_t perBlock = size_t(img.recordsPerBlock());
    const size_t blocks = (expectedRows + perBlock - 1) / perBlock;
    if (blocks <= 65535) d.out_.reserve(d.headerSize_ + blocks * size_t(img.blockSize));
}

Creator::~Creator() = default;

void Creator::add(const Row &row)
{
    Impl &d = *d_;
    Image &img = *d.img_;
    if (d.finished_) throw EngineError(img.path, "rows added after the table was written");
    if (row.size() > img.layout.size())
        throw EngineError(img.path, "row " + std::to_string(d.rows_) + " has more values than the table has fields");
    const size_t perBlock = size_t(img.recordsPerBlock());
    const size_t bs = size_t(img.blockSize);
    const size_t inBlock = d.rows_ % perBlock;
    if (inBlock == 0) {
        if (d.blocks_ >= 65535) throw EngineError(img.path, "too many rows for one Paradox table with this block size");
        d.out_.resize(d.headerSize_ + (d.blocks_ + 1) * bs, '\0');
        unsigned char *b = d.block(d.blocks_);
        putLe16(b + 2, uint32_t(d.blocks_));
        if (d.blocks_ > 0) {
            putLe16(d.block(d.blocks_ - 1), uint32_t(d.blocks_ + 1)); // the previous block leads here
            d.seal(d.blocks_ - 1);
        }
        ++d.blocks_;
    }
    unsigned char *b = d.block(d.blocks_ - 1);
    putLe16(b + 4, uint32_t(inBlock * size_t(img.recordSize)));
    unsigned char *rec = b + kBlockHeader + inBlock * size_t(img.recordSize);
    for (size_t i = 0; i < row.size(); ++i)
        encodeCell(img.layout[i], img.defs[i], row[i], rec + img.layout[i].offset, img.codepage, img.path);
    ++d.rows_;
}

void Creator::finish()
{
    Impl &d = *d_;
    if (d.finished_) return;
    if (d.blocks_ > 0) d.seal(d.blocks_ - 1);
    auto *base = reinterpret_cast<unsigned char *>(d.out_.data());
    const auto blocks = uint32_t(d.blocks_);
    writeHeaderCounts(base, uint32_t(d.rows_), blocks, blocks ? 1 : 0, blocks);
    platform::FileLock lock(d.img_->path);
    platform::removeFile(platform::journalPathFor(d.img_->path)); // an old change's journal means nothing now
    io::writeFileAtomic(d.img_->path, d.out_);
    d.finished_ = true;
    std::string().swap(d.out_);
}

void create(const std::string &path, const std::vector<FieldDef> &fields, const std::vector<Row> &rows,
            const CreateOptions &options)
{
    Creator c(path, fields, options, rows.size());
    for (const Row &row : rows) c.add(row);
    c.finish();
}

std::unique_ptr<TableWriter> openWriter(const std::string &path, const OpenOptions &options)
{
    return std::make_unique<ParadoxWriter>(path, options);
}

} // namespace dx::px
