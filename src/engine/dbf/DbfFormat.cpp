// dBase file layout and cell conversion (see DbfFormat.h).
#include "engine/dbf/DbfFormat.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/Platform.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace dx::dbf::detail {

namespace {

bool knownVersion(uint8_t v)
{
    // dBase II..V (low three bits = level, high bits = memo / SQL flags), FoxBASE+,
    // FoxPro with memo (0xF5), Visual FoxPro (0x30, 0x31, 0x32).
    switch (v) {
    case 0x30: case 0x31: case 0x32: case 0x8E: return true;
    default: break;
    }
    int level = v & 0x07;
    return level >= 2 && level <= 5;
}

std::string_view trimRight(std::string_view s)
{
    size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
    return s.substr(0, n);
}

std::string_view trimBoth(std::string_view s)
{
    s = trimRight(s);
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\0')) ++b;
    return s.substr(b);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool validDate(int y, int m, int d)
{
    if (y < 1 || m < 1 || m > 12 || d < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int max = days[m - 1];
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) max = 29;
    return d <= max;
}

// Parses a dBase number text (already trimmed): optional sign, digits, ',' or '.' as
// decimal separator, exponent. Returns false when it is not a number.
bool parseReal(std::string_view t, double &out)
{
    std::string s(t);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    for (char &c : s)
        if (c == ',') c = '.';
    if (s.empty()) return false;
    // from_chars accepts "inf" and "nan"; a table cell holding them is not a number.
    for (char c : s)
        if (!(isDigit(c) || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+')) return false;
    auto res = std::from_chars(s.data(), s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size() && std::isfinite(out);
}

bool parseInt(std::string_view t, int64_t &out)
{
    if (!t.empty() && t[0] == '+') t.remove_prefix(1);
    if (t.empty()) return false;
    auto res = std::from_chars(t.data(), t.data() + t.size(), out);
    return res.ec == std::errc() && res.ptr == t.data() + t.size();
}

[[noreturn]] void fail(const std::string &path, const FieldDef &f, const std::string &why)
{
    throw EngineError(path, "field " + f.name + ": " + why);
}

std::string fieldKind(const FieldDef &f)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%c(%d,%d)", char(f.nativeType), f.width, f.decimals);
    return buf;
}

// Number text in the field's format: `decimals` digits after the point.
std::string formatNumber(const std::string &path, const FieldDef &f, const Value &v)
{
    int dec = f.decimals;
    std::string text;
    auto fromDouble = [&](double d) {
        if (!std::isfinite(d)) fail(path, f, "the value " + formatReal(d) + " is not a finite number");
        char buf[400];
        if (std::fabs(d) >= 1e300) fail(path, f, "the number " + formatReal(d) + " does not fit " + fieldKind(f));
        std::snprintf(buf, sizeof buf, "%.*f", dec, d);
        std::string s = buf;
        // "-0.00" is zero.
        if (s[0] == '-' && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
        return s;
    };
    auto fromInt = [&](int64_t i) {
        std::string s = std::to_string(i);
        if (dec > 0) s += "." + std::string(static_cast<size_t>(dec), '0');
        return s;
    };
    switch (v.kind) {
    case Value::Int: text = fromInt(v.i); break;
    case Value::Real: text = fromDouble(v.d); break;
    case Value::Text: {
        std::string_view t = trimBoth(v.s);
        int64_t i = 0;
        double d = 0;
        if (parseInt(t, i)) text = fromInt(i);
        else if (parseReal(t, d)) text = fromDouble(d);
        else fail(path, f, "\"" + v.s + "\" is not a number");
        break;
    }
    case Value::Bool: fail(path, f, "a logical value cannot be stored in a number field");
    case Value::Null: break;
    }
    if (text.size() > static_cast<size_t>(f.width))
        fail(path, f, "the number " + text + " does not fit " + fieldKind(f));
    return text;
}

std::string encodeText(const std::string &path, const FieldDef &f, const std::string &utf8,
                       const std::string &codepage)
{
    bool lossless = true;
    std::string bytes = cp::fromUtf8(utf8, codepage, &lossless);
    if (!lossless)
        fail(path, f, "the text \"" + utf8 + "\" has characters that code page " + codepage + " cannot hold");
    if (bytes.size() > static_cast<size_t>(f.width))
        fail(path, f, "the text \"" + utf8 + "\" is " + std::to_string(bytes.size()) +
                          " characters long; the field holds " + std::to_string(f.width));
    return bytes;
}

} // namespace

std::string codepageFor(uint8_t languageDriver, const std::string &override)
{
    if (!override.empty()) return override;
    std::string cp = cp::forDbfDriver(languageDriver);
    return cp.empty() ? std::string("CP1251") : cp;
}

void stampDate(char *p)
{
    const std::tm tm = platform::localTime(std::time(nullptr));
    p[0] = char(tm.tm_year & 0xFF); // years since 1900 (dBase stores it so; 2025 -> 125)
    p[1] = char(tm.tm_mon + 1);
    p[2] = char(tm.tm_mday);
}

Layout parseLayout(const std::string &path, std::string_view data, const OpenOptions &options)
{
    return parseLayout(path, data, data.size(), data.empty() ? '\0' : data.back(), options);
}

Layout parseLayout(const std::string &path, std::string_view data, size_t fileSize, char lastByte,
                   const OpenOptions &options)
{
    const auto *u = reinterpret_cast<const unsigned char *>(data.data());
    const size_t size = fileSize;
    if (size < kFileHeaderSize)
        throw EngineError(path, "the file is too short to be a dBase table (" + std::to_string(size) + " bytes)");

    Layout L;
    L.version = u[0];
    if (!knownVersion(L.version)) {
        char buf[80];
        std::snprintf(buf, sizeof buf, "not a dBase table (version byte 0x%02X)", L.version);
        throw EngineError(path, buf);
    }
    L.headerCount = readLe32(u + 4);
    L.headerLength = readLe16(u + 8);
    L.recordLength = readLe16(u + 10);
    L.languageDriver = u[29];
    L.codepage = codepageFor(L.languageDriver, options.codepage);

    if (L.headerLength < kFileHeaderSize)
        throw EngineError(path, "corrupt dBase header: header length " + std::to_string(L.headerLength));
    if (L.recordLength == 0) throw EngineError(path, "corrupt dBase header: record length 0");

    size_t offset = 1; // byte 0 of a record is the deletion flag
    size_t fieldListEnd = 0; // just past the terminator, when there is one
    for (size_t off = kFileHeaderSize;; off += kFieldDescriptorSize) {
        if (off >= L.headerLength) break; // header ends without a terminator
        if (off >= size) throw EngineError(path, "the file ends inside the field list");
        if (data[off] == kHeaderTerminator) {
            fieldListEnd = off + 1;
            break;
        }
        if (off + kFieldDescriptorSize > L.headerLength)
            throw EngineError(path, "corrupt dBase header: the field list runs past the header length");
        if (off + kFieldDescriptorSize > size) throw EngineError(path, "the file ends inside the field list");

        const unsigned char *d = u + off;
        FieldLayout fl;
        size_t nameLen = 0;
        while (nameLen < 11 && d[nameLen] != 0) ++nameLen;
        std::string_view rawName(reinterpret_cast<const char *>(d), nameLen);
        while (!rawName.empty() && rawName.back() == ' ') rawName.remove_suffix(1);
        fl.def.name = cp::toUtf8(rawName, L.codepage);
        char type = char(d[11]);
        fl.def.nativeType = static_cast<unsigned char>(type);
        fl.def.width = d[16];
        fl.def.decimals = d[17];
        // A field of width 0 takes no bytes, so every later column would read its
        // neighbour's bytes: nothing of the record can be trusted.
        if (fl.def.width == 0)
            throw EngineError(path, "corrupt dBase header: field " + std::to_string(L.fields.size() + 1) + " (" +
                                        fl.def.name + ") has width 0");
        switch (type) {
        case 'C': fl.def.type = FieldType::Text; break;
        case 'N':
        case 'F':
            fl.def.type = (fl.def.decimals == 0 && fl.def.width <= 18) ? FieldType::Integer : FieldType::Real;
            break;
        case 'I': fl.def.type = FieldType::Integer; break;
        case 'L': fl.def.type = FieldType::Logical; break;
        case 'D': fl.def.type = FieldType::Date; break;
        case 'M': fl.def.type = FieldType::Memo; break;
        case 'G':
        case 'B':
        case 'P': fl.def.type = FieldType::Binary; break;
        case '0': // Visual FoxPro _NullFlags: a system column, not data
            fl.def.type = FieldType::Binary;
            fl.hidden = true;
            break;
        default: fl.def.type = FieldType::Text; break; // read as raw text
        }
        fl.offset = offset;
        offset += static_cast<size_t>(fl.def.width);
        L.fields.push_back(std::move(fl));
    }
    if (offset > L.recordLength)
        throw EngineError(path, "corrupt dBase header: fields take " + std::to_string(offset) +
                                    " bytes but a record has " + std::to_string(L.recordLength));
    // Writers make a record exactly as long as its fields and start the records right
    // after the terminator (one byte later in some dBase III files), or after Visual
    // FoxPro's 263-byte backlink area. A header or record length out of step with that
    // is trusted only when the file size agrees with it to the byte.
    const size_t gap = fieldListEnd ? L.headerLength - std::min(L.headerLength, fieldListEnd) : 0;
    const bool usualHeader = fieldListEnd == 0 || (L.headerLength >= fieldListEnd && (gap <= 1 || gap == 263 || gap == 264));
    if (!usualHeader || offset != L.recordLength) {
        const uint64_t expected = uint64_t(L.headerLength) + uint64_t(L.headerCount) * L.recordLength;
        if (size != expected && size != expected + 1) {
            if (offset != L.recordLength)
                throw EngineError(path, "corrupt dBase header: fields take " + std::to_string(offset) +
                                            " bytes but a record has " + std::to_string(L.recordLength));
            throw EngineError(path, "corrupt dBase header: header length " + std::to_string(L.headerLength) +
                                        " but the field list ends at byte " + std::to_string(fieldListEnd));
        }
    }

    const size_t body = size > L.headerLength ? size - L.headerLength : 0;
    const size_t available = body / L.recordLength;
    L.records = std::min<size_t>(available, L.headerCount);
    if (size < L.headerLength) {
        L.damage.push_back("the file ends inside its header (" + std::to_string(size) + " of " +
                           std::to_string(L.headerLength) + " bytes); its " + std::to_string(L.headerCount) +
                           " records are missing");
    } else if (available < L.headerCount) {
        L.damage.push_back("the header counts " + std::to_string(L.headerCount) + " records but the file holds only " +
                           std::to_string(available) + " whole ones (it is cut short)");
    } else {
        // Past the counted records only the end-of-file byte belongs; a whole record more
        // means the count was never brought up to date, and those records are not read.
        size_t extra = body - size_t(L.headerCount) * L.recordLength;
        if (extra > 0 && lastByte == kEndOfFile) --extra;
        if (extra >= L.recordLength)
            L.damage.push_back("the file holds " + std::to_string(extra / L.recordLength) +
                               " more records than the header counts (" + std::to_string(L.headerCount) +
                               "); they are not read");
    }
    return L;
}

Value decodeCell(std::string_view cell, const FieldDef &field, const std::string &codepage)
{
    switch (field.nativeType) {
    case 'C': {
        std::string_view t = trimRight(cell);
        if (t.empty()) return Value::fromText({});
        return Value::fromText(cp::toUtf8(t, codepage));
    }
    case 'N':
    case 'F': {
        std::string_view t = trimBoth(cell);
        // Blank, or shapelib's all-asterisk null.
        if (t.empty() || t.find_first_not_of('*') == std::string_view::npos) return Value::null();
        if (field.type == FieldType::Integer) {
            int64_t i = 0;
            if (parseInt(t, i)) return Value::fromInt(i);
        }
        double d = 0;
        if (parseReal(t, d)) return Value::fromReal(d);
        return Value::null();
    }
    case 'I': {
        if (cell.size() < 4) return Value::null();
        auto v = static_cast<int32_t>(readLe32(reinterpret_cast<const unsigned char *>(cell.data())));
        return Value::fromInt(v);
    }
    case 'L': {
        if (cell.empty()) return Value::null();
        switch (cell[0]) {
        case 'T': case 't': case 'Y': case 'y': return Value::fromBool(true);
        case 'F': case 'f': case 'N': case 'n': return Value::fromBool(false);
        default: return Value::null();
        }
    }
    case 'D': {
        if (cell.size() < 8) return Value::null();
        for (int k = 0; k < 8; ++k)
            if (!isDigit(cell[k])) return Value::null();
        int y = (cell[0] - '0') * 1000 + (cell[1] - '0') * 100 + (cell[2] - '0') * 10 + (cell[3] - '0');
        int m = (cell[4] - '0') * 10 + (cell[5] - '0');
        int d = (cell[6] - '0') * 10 + (cell[7] - '0');
        if (!validDate(y, m, d)) return Value::null();
        std::string s;
        s.reserve(10);
        s.append(cell.substr(0, 4)).append("-").append(cell.substr(4, 2)).append("-").append(cell.substr(6, 2));
        return Value::fromText(std::move(s));
    }
    case 'M': case 'G': case 'B': case 'P': case '0':
        return Value::null();
    default: {
        std::string_view t = trimRight(cell);
        return Value::fromText(cp::toUtf8(t, codepage));
    }
    }
}

void encodeCell(const std::string &path, const FieldDef &f, const Value &v, const std::string &codepage,
                std::string_view existing, char *out)
{
    const size_t width = static_cast<size_t>(f.width);
    auto keepOr = [&](char fill) {
        if (existing.size() == width) std::copy(existing.begin(), existing.end(), out);
        else std::fill(out, out + width, fill);
    };
    auto put = [&](const std::string &bytes, bool rightAlign) {
        std::fill(out, out + width, ' ');
        size_t at = rightAlign ? width - bytes.size() : 0;
        std::copy(bytes.begin(), bytes.end(), out + at);
    };

    switch (f.nativeType) {
    case 'C': {
        if (v.isNull()) return put({}, false);
        return put(encodeText(path, f, v.toText(), codepage), false);
    }
    case 'N':
    case 'F': {
        if (v.isNull() || (v.kind == Value::Text && trimBoth(v.s).empty())) return put({}, false);
        return put(formatNumber(path, f, v), true);
    }
    case 'I': {
        int64_t i = 0;
        if (!v.isNull()) {
            bool ok = false;
            if (v.kind == Value::Real) {
                if (std::isfinite(v.d) && v.d == std::floor(v.d) && std::fabs(v.d) < 3e9) {
                    i = static_cast<int64_t>(v.d);
                    ok = true;
                }
            } else if (v.kind != Value::Bool) {
                i = v.toInt(&ok);
            }
            if (!ok) fail(path, f, "\"" + v.toText() + "\" is not a whole number");
            if (i < INT32_MIN || i > INT32_MAX) fail(path, f, "the number " + std::to_string(i) + " does not fit a 32-bit integer");
        }
        std::fill(out, out + width, '\0');
        if (width >= 4) writeLe32(out, static_cast<uint32_t>(static_cast<int32_t>(i)));
        return;
    }
    case 'L': {
        char c = '?';
        switch (v.kind) {
        case Value::Null: break;
        case Value::Bool:
        case Value::Int:
            if (v.kind == Value::Int && v.i != 0 && v.i != 1) fail(path, f, std::to_string(v.i) + " is not a logical value");
            c = v.i ? 'T' : 'F';
            break;
        case Value::Real: fail(path, f, formatReal(v.d) + " is not a logical value");
        case Value::Text: {
            std::string t = cp::foldCase(trimBoth(v.s));
            if (t.empty() || t == "?") c = '?';
            else if (t == "t" || t == "y" || t == "true" || t == "yes" || t == "1") c = 'T';
            else if (t == "f" || t == "n" || t == "false" || t == "no" || t == "0") c = 'F';
            else fail(path, f, "\"" + v.s + "\" is not a logical value");
            break;
        }
        }
        std::fill(out, out + width, ' ');
        if (width > 0) out[0] = c;
        return;
    }
    case 'D': {
        if (v.isNull()) return put({}, false);
        if (v.kind != Value::Text) fail(path, f, "\"" + v.toText() + "\" is not a date (YYYY-MM-DD)");
        std::string_view t = trimBoth(v.s);
        if (t.empty()) return put({}, false);
        std::string digits;
        if (t.size() == 10 && t[4] == '-' && t[7] == '-')
            digits = std::string(t.substr(0, 4)) + std::string(t.substr(5, 2)) + std::string(t.substr(8, 2));
        else if (t.size() == 8)
            digits = std::string(t);
        bool ok = digits.size() == 8;
        for (char c : digits) ok = ok && isDigit(c);
        if (ok)
            ok = validDate(std::stoi(digits.substr(0, 4)), std::stoi(digits.substr(4, 2)), std::stoi(digits.substr(6, 2)));
        if (!ok) fail(path, f, "\"" + v.s + "\" is not a date (YYYY-MM-DD)");
        if (width < 8) fail(path, f, "the date field is narrower than 8");
        return put(digits, false);
    }
    case 'M': case 'G': case 'B': case 'P': case '0':
        if (!v.isNull()) fail(path, f, "memo and binary fields cannot be written");
        return keepOr(f.nativeType == '0' ? '\0' : ' ');
    default: {
        // Raw text of a type we do not know: unchanged values keep their bytes.
        if (existing.size() == width &&
            (v.isNull() || (v.kind == Value::Text && decodeCell(existing, f, codepage).s == v.s)))
            return keepOr(' ');
        if (v.isNull()) return put({}, false);
        return put(encodeText(path, f, v.toText(), codepage), false);
    }
    }
}

} // namespace dx::dbf::detail
