// Internal to the dBase code: the file layout (header, field descriptors, record
// geometry) and the conversion of one cell between record bytes and Value. Shared by
// the reader (DbfFile.cpp) and the writers (DbfWriter.cpp).
#pragma once

#include "engine/common/TableFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dx::dbf::detail {

constexpr size_t kFileHeaderSize = 32;
constexpr size_t kFieldDescriptorSize = 32;
constexpr char kHeaderTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr char kDeletedFlag = '*';

struct FieldLayout {
    FieldDef def;         // what the table shows (name decoded, type mapped)
    size_t offset = 0;    // byte offset inside the record (the deletion flag is byte 0)
    bool hidden = false;  // a system column (Visual FoxPro _NullFlags): kept, not shown
};

struct Layout {
    uint8_t version = 0;
    uint8_t languageDriver = 0;
    uint32_t headerCount = 0;   // the record count the header claims
    size_t headerLength = 0;    // records start here
    size_t recordLength = 0;
    size_t records = 0;         // whole records present: min(headerCount, bytes after the header)
    std::string codepage;       // resolved iconv name used for text (never empty)
    std::vector<FieldLayout> fields; // every descriptor, in file order
    std::vector<std::string> damage; // what disagrees with the file size (see TableFile::damage)
};

// Parses the header of a whole file image. Throws EngineError(path, reason) when the
// bytes are not a dBase header or one that cannot be trusted at all (a field of width 0,
// a header or record length that disagrees with the field list); never reads outside
// `data`. A record count that disagrees with the file size is noted in `damage`.
Layout parseLayout(const std::string &path, std::string_view data, const OpenOptions &options);
// The same from the file's first bytes only (`head`: at least its first 64 KB, or the
// whole file when it is shorter), its size and its last byte.
Layout parseLayout(const std::string &path, std::string_view head, size_t fileSize, char lastByte,
                   const OpenOptions &options);

// The code page for a language driver byte, with the CP1251 fallback.
std::string codepageFor(uint8_t languageDriver, const std::string &override);

// Decodes one cell; never throws for bad cell bytes (they read as null).
Value decodeCell(std::string_view cell, const FieldDef &field, const std::string &codepage);

// Encodes `value` into the cell bytes (size = field width). `existing` holds the cell's
// current bytes (or is empty for a new record): fields that cannot be written (memo,
// binary) keep them when the value is null, and so does a raw-text field whose value
// is unchanged. Throws EngineError(path, reason) when the value does not fit.
void encodeCell(const std::string &path, const FieldDef &field, const Value &value,
                const std::string &codepage, std::string_view existing, char *out);

// Little-endian helpers.
inline uint32_t readLe32(const unsigned char *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t readLe16(const unsigned char *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline void writeLe32(char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xFF);
}
inline void writeLe16(char *p, uint16_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

// Writes today's date into header bytes 1..3 (year - 1900, month, day).
void stampDate(char *header3);

} // namespace dx::dbf::detail
