// The Paradox .db file layout, shared by the reader, the writer and the creator.
// Internal to the Paradox code; other parts of the program use ParadoxFile.h.
//
// Layout (all integers little-endian in the header, big-endian in records):
//   0x00 record size (u16)          0x02 header size (u16)     0x04 file type (0 keyed, 2 plain)
//   0x05 block size in KB (u8)      0x06 record count (u32)    0x0A next block (u16)
//   0x0C file blocks (u16)          0x0E first block (u16)     0x10 last block (u16)
//   0x21 field count (u16)          0x23 key field count (u16) 0x25 encryption (u32)
//   0x39 version id (3 = 3.0, 4 = 3.5, 5..9 = 4.x, 10..11 = 5.x, 12 = 7.x)
//   version id >= 5 only: 0x5C encryption (when 0x25 holds 0xFF00FF00), 0x6A code page (u16)
//   field info (type, size byte pairs) at 0x58 (version id < 5) or 0x78, then a 4-byte table
//   name pointer, one 4-byte pointer per field, the table name (79 bytes, 261 in 7.x) and
//   the NUL-terminated field names.
// Data block N lies at header size + (N - 1) * block size and starts with next block,
// previous block and the offset of its last record (u16, u16, s16; -record size = empty).
#pragma once

#include "engine/common/Value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dx::px::fmt {

enum FieldCode : uint8_t {
    Alpha = 0x01, Date = 0x02, Short = 0x03, Long = 0x04, Currency = 0x05, Number = 0x06,
    Logical = 0x09, MemoBlob = 0x0C, Blob = 0x0D, FmtMemo = 0x0E, Ole = 0x0F, Graphic = 0x10,
    Time = 0x14, Timestamp = 0x15, AutoInc = 0x16, Bcd = 0x17, Bytes = 0x18,
};

constexpr size_t kBlockHeader = 6;
constexpr uint32_t kEncryptionInDataHeader = 0xFF00FF00u;

inline uint16_t getLe16(const unsigned char *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t getLe32(const unsigned char *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void putLe16(unsigned char *p, uint32_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void putLe32(unsigned char *p, uint32_t v)
{
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}

struct FieldLayout {
    uint8_t code = 0;
    int size = 0;   // bytes in the record
    int offset = 0; // within the record
    int decimals = 0; // BCD only
};

// Decodes one cell of a record (`p` points at the field's bytes).
Value decodeCell(const FieldLayout &f, const unsigned char *p, const std::string &codepage);

// Encodes one cell; throws EngineError(subject, reason) when the value does not fit.
void encodeCell(const FieldLayout &f, const FieldDef &def, const Value &v, unsigned char *p,
                const std::string &codepage, const std::string &subject);

// Days since 0001-01-01 (that day = 1) <-> "YYYY-MM-DD".
std::string dateText(int64_t serial);
bool parseDate(const std::string &text, int64_t &serial);

} // namespace dx::px::fmt
