// Field definitions and cell values shared by every table format and by local SQL.
// Text is always UTF-8 inside the program; files are converted on read and write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dx {

enum class FieldType {
    Text,      // fixed-width character field
    Integer,   // whole number (dBase N with no decimals, Paradox Short/Long/AutoInc)
    Real,      // floating point (dBase N with decimals or F, Paradox Number/Currency/BCD)
    Logical,   // true / false
    Date,      // read as text "YYYY-MM-DD"
    Time,      // read as text "HH:MM:SS"
    Timestamp, // read as text "YYYY-MM-DD HH:MM:SS"
    Memo,      // memo / blob: not supported, always reads as null
    Binary     // raw bytes: not supported, always reads as null
};

struct FieldDef {
    std::string name;                // UTF-8, as stored (matching is case-insensitive)
    FieldType type = FieldType::Text;
    int width = 0;                   // text: characters; numbers: total width (dBase) or byte size
    int decimals = 0;                // numbers with decimals
    int nativeType = 0;              // the format's own type code ('C', 'N', ... or Paradox 0x01 ...)
};

// A field definition for creating tables: `nativeType` picks a format's own type where
// the generic type leaves a choice (dBase 'F', Paradox Short 0x03, ...).
inline FieldDef makeField(std::string name, FieldType type, int width = 0, int decimals = 0, int nativeType = 0)
{
    FieldDef f;
    f.name = std::move(name);
    f.type = type;
    f.width = width;
    f.decimals = decimals;
    f.nativeType = nativeType;
    return f;
}

struct Value {
    enum Kind : uint8_t { Null, Int, Real, Text, Bool };
    Kind kind = Null;
    int64_t i = 0;
    double d = 0;
    std::string s;

    static Value null() { return {}; }
    static Value fromInt(int64_t v) { Value r; r.kind = Int; r.i = v; return r; }
    static Value fromReal(double v) { Value r; r.kind = Real; r.d = v; return r; }
    static Value fromText(std::string v) { Value r; r.kind = Text; r.s = std::move(v); return r; }
    static Value fromBool(bool v) { Value r; r.kind = Bool; r.i = v ? 1 : 0; return r; }

    bool isNull() const { return kind == Null; }
    // The engine's own text form: integers as integers, reals in their shortest
    // round-trip form (12.5 -> "12.5", 12.0 -> "12"), logicals "True"/"False", null "".
    std::string toText() const;
    // Numbers convert directly; text converts when it is a number (after trimming blanks).
    int64_t toInt(bool *ok = nullptr) const;
    double toReal(bool *ok = nullptr) const;
};

using Row = std::vector<Value>;

// Shortest round-trip decimal form of a double ("12.5", "12", "-1.387").
std::string formatReal(double v);

// Case-insensitive comparison of field names (ASCII letters and Cyrillic in UTF-8).
bool sameFieldName(const std::string &a, const std::string &b);

} // namespace dx
