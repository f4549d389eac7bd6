// Paradox cell values: big-endian numbers with the sign bit flipped (so that bytes sort
// like values), all-zero bytes as null, packed BCD, day and millisecond counts.
#include "engine/paradox/ParadoxFormat.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace dx::px::fmt {

namespace {

bool allZero(const unsigned char *p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

uint64_t getBe(const unsigned char *p, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

void putBe(unsigned char *p, int n, uint64_t v)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = uint8_t(v);
        v >>= 8;
    }
}

// Signed integer of n bytes stored with its sign bit flipped.
int64_t getFlipped(const unsigned char *p, int n)
{
    uint64_t raw = getBe(p, n) ^ (uint64_t(1) << (n * 8 - 1));
    if (n == 8) return static_cast<int64_t>(raw);
    uint64_t sign = uint64_t(1) << (n * 8 - 1);
    return static_cast<int64_t>((raw ^ sign)) - static_cast<int64_t>(sign);
}

void putFlipped(unsigned char *p, int n, int64_t v)
{
    uint64_t mask = n == 8 ? ~uint64_t(0) : ((uint64_t(1) << (n * 8)) - 1);
    uint64_t raw = (static_cast<uint64_t>(v) & mask) ^ (uint64_t(1) << (n * 8 - 1));
    putBe(p, n, raw);
}

double getDouble(const unsigned char *p)
{
    unsigned char b[8];
    std::memcpy(b, p, 8);
    if (b[0] & 0x80) b[0] ^= 0x80;
    else
        for (auto &c : b) c = static_cast<unsigned char>(~c);
    uint64_t bits = getBe(b, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void putDouble(unsigned char *p, double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    putBe(p, 8, bits);
    if (p[0] & 0x80)
        for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(~p[i]);
    else
        p[0] |= 0x80;
}

// Days since 1970-01-01 <-> civil date (H. Hinnant's algorithms).
void civilFromDays(int64_t z, int64_t &y, unsigned &m, unsigned &d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += (m <= 2);
}

int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kSerialOf1970 = 719163; // serial day number of 1970-01-01
constexpr int64_t kMaxSerial = 3652059;   // 9999-12-31
constexpr int64_t kMsPerDay = 86400000;

std::string timeText(int64_t ms)
{
    int64_t s = ms / 1000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", int(s / 3600), int(s / 60 % 60), int(s % 60));
    return buf;
}

bool parseUnsigned(const std::string &t, size_t pos, size_t len, int &out)
{
    if (pos + len > t.size()) return false;
    out = 0;
    for (size_t i = pos; i < pos + len; ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
        out = out * 10 + (t[i] - '0');
    }
    return true;
}

bool parseTime(const std::string &t, size_t pos, int64_t &ms)
{
    int h, m, s;
    if (t.size() < pos + 8 || t[pos + 2] != ':' || t[pos + 5] != ':') return false;
    if (!parseUnsigned(t, pos, 2, h) || !parseUnsigned(t, pos + 3, 2, m) || !parseUnsigned(t, pos + 6, 2, s))
        return false;
    if (h > 23 || m > 59 || s > 59) return false;
    int frac = 0;
    size_t end = pos + 8;
    if (end < t.size() && t[end] == '.') { // optional milliseconds
        size_t n = t.size() - end - 1;
        if (n == 0 || n > 3 || !parseUnsigned(t, end + 1, n, frac)) return false;
        for (size_t k = n; k < 3; ++k) frac *= 10;
        end = t.size();
    }
    if (end != t.size()) return false;
    ms = ((h * 60 + m) * 60 + s) * 1000LL + frac;
    return true;
}

std::string trimmed(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Packed BCD (17 bytes): byte 0 holds the sign (bit 7 set = positive) and the precision;
// then 32 digit nibbles, the last `decimals` of them after the decimal point. Negative
// numbers store every nibble complemented. Digits stop at the first nibble that is no
// decimal digit (Paradox leaves such nibbles below the precision it keeps).
Value decodeBcd(const unsigned char *p, int decimals)
{
    bool positive = (p[0] & 0x80) != 0;
    unsigned flip = positive ? 0 : 0xF;
    if (decimals < 0 || decimals > 32) decimals = 0;
    const int intDigits = 32 - decimals;
    std::string text;
    text.reserve(40);
    if (!positive) text += '-';
    bool any = false;
    bool stopped = false;
    for (int i = 0; i < 32; ++i) {
        unsigned char byte = p[1 + i / 2];
        unsigned nib = ((i % 2 == 0) ? (byte >> 4) : (byte & 0xF)) ^ flip;
        if (nib > 9) {
            stopped = true;
            break;
        }
        if (i == intDigits) {
            if (!any) text += '0';
            text += '.';
            any = true;
        }
        if (i < intDigits && !any && nib == 0) continue; // leading zeros
        text += char('0' + nib);
        any = true;
    }
    if (stopped && !any) text += '0';
    if (!any && !stopped) text += '0';
    double v = 0;
    const char *b = text.data();
    auto res = std::from_chars(b, b + text.size(), v);
    if (res.ec != std::errc()) return Value::null();
    if (v == 0) v = 0; // no negative zero
    return Value::fromReal(v);
}

} // namespace

std::string dateText(int64_t serial)
{
    int64_t y;
    unsigned m, d;
    civilFromDays(serial - kSerialOf1970, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", int(y), m, d);
    return buf;
}

bool parseDate(const std::string &t, int64_t &serial)
{
    int y, m, d;
    if (t.size() < 10 || t[4] != '-' || t[7] != '-') return false;
    if (!parseUnsigned(t, 0, 4, y) || !parseUnsigned(t, 5, 2, m) || !parseUnsigned(t, 8, 2, d)) return false;
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    serial = daysFromCivil(y, unsigned(m), unsigned(d)) + kSerialOf1970;
    // Reject days past the end of the month (e.g. 2021-02-30).
    int64_t yy;
    unsigned mm, dd;
    civilFromDays(serial - kSerialOf1970, yy, mm, dd);
    return yy == y && int(mm) == m && int(dd) == d;
}

Value decodeCell(const FieldLayout &f, const unsigned char *p, const std::string &codepage)
{
    if (allZero(p, f.size)) return Value::null();
    switch (f.code) {
    case Alpha: {
        int n = 0;
        while (n < f.size && p[n] != 0) ++n;
        while (n > 0 && p[n - 1] == ' ') --n;
        return Value::fromText(cp::toUtf8(std::string_view(reinterpret_cast<const char *>(p), n), codepage));
    }
    case Short:
    case Long:
    case AutoInc:
        if (f.size != 2 && f.size != 4) return Value::null();
        return Value::fromInt(getFlipped(p, f.size));
    case Currency:
    case Number:
        if (f.size != 8) return Value::null();
        return Value::fromReal(getDouble(p));
    case Logical:
        return Value::fromBool((p[0] & 0x7F) != 0);
    case Date: {
        if (f.size != 4) return Value::null();
        int64_t serial = getFlipped(p, 4);
        if (serial < 1 || serial > kMaxSerial) return Value::null();
        return Value::fromText(dateText(serial));
    }
    case Time: {
        if (f.size != 4) return Value::null();
        int64_t ms = getFlipped(p, 4);
        if (ms < 0 || ms >= kMsPerDay) return Value::null();
        return Value::fromText(timeText(ms));
    }
    case Timestamp: {
        if (f.size != 8) return Value::null();
        double v = getDouble(p);
        if (!std::isfinite(v) || v < kMsPerDay || v >= double(kMaxSerial + 1) * kMsPerDay) return Value::null();
        int64_t ms = static_cast<int64_t>(std::floor(v));
        int64_t serial = ms / kMsPerDay;
        return Value::fromText(dateText(serial) + " " + timeText(ms % kMsPerDay));
    }
    case Bcd:
        if (f.size != 17) return Value::null();
        return decodeBcd(p, f.decimals);
    default: // memo, blob, formatted memo, OLE, graphic, bytes: not supported
        return Value::null();
    }
}

void encodeCell(const FieldLayout &f, const FieldDef &def, const Value &v, unsigned char *p,
                const std::string &codepage, const std::string &subject)
{
    std::memset(p, 0, f.size);
    if (v.isNull()) return;
    auto fail = [&](const std::string &why) {
        throw EngineError(subject, "field " + def.name + ": " + why);
    };
    switch (f.code) {
    case Alpha: {
        std::string text = v.kind == Value::Text ? v.s : v.toText();
        bool lossless = true;
        std::string bytes = cp::fromUtf8(text, codepage, &lossless);
        if (!lossless) fail("the text \"" + text + "\" cannot be written in code page " + (codepage.empty() ? "CP1251" : codepage));
        if (bytes.find('\0') != std::string::npos) fail("text may not contain NUL characters");
        if (bytes.size() > static_cast<size_t>(f.size))
            fail("the text \"" + text + "\" is longer than the field width " + std::to_string(f.size));
        std::memcpy(p, bytes.data(), bytes.size());
        return;
    }
    case Short:
    case Long:
    case AutoInc: {
        bool ok = false;
        int64_t i = v.toInt(&ok);
        if (ok && v.kind == Value::Real && v.d != std::floor(v.d)) ok = false;
        if (!ok) fail("\"" + v.toText() + "\" is not a whole number");
        int64_t lim = f.size == 2 ? 32767 : 2147483647;
        if (i > lim || i < -lim) fail(std::to_string(i) + " is out of range");
        putFlipped(p, f.size, i);
        return;
    }
    case Currency:
    case Number: {
        bool ok = false;
        double d = v.toReal(&ok);
        if (!ok || !std::isfinite(d)) fail("\"" + v.toText() + "\" is not a number");
        putDouble(p, d);
        return;
    }
    case Logical: {
        bool b;
        if (v.kind == Value::Text) {
            std::string t = cp::foldCase(trimmed(v.s));
            if (t == "true" || t == "t" || t == "1" || t == "yes" || t == "y") b = true;
            else if (t == "false" || t == "f" || t == "0" || t == "no" || t == "n") b = false;
            else if (t.empty()) return; // null
            else fail("\"" + v.s + "\" is not a logical value");
        } else {
            bool ok = false;
            b = v.toReal(&ok) != 0;
            if (!ok) fail("not a logical value");
        }
        p[0] = b ? 0x81 : 0x80;
        return;
    }
    case Date: {
        std::string t = trimmed(v.toText());
        if (t.empty()) return;
        int64_t serial;
        if (!parseDate(t, serial) || t.size() != 10) fail("\"" + t + "\" is not a date (YYYY-MM-DD)");
        putFlipped(p, 4, serial);
        return;
    }
    case Time: {
        std::string t = trimmed(v.toText());
        if (t.empty()) return;
        int64_t ms;
        if (!parseTime(t, 0, ms)) fail("\"" + t + "\" is not a time (HH:MM:SS)");
        putFlipped(p, 4, ms);
        if (allZero(p, 4)) p[0] = 0x80; // midnight is 0x80000000, never null
        return;
    }
    case Timestamp: {
        std::string t = trimmed(v.toText());
        if (t.empty()) return;
        int64_t serial, ms;
        if (t.size() < 19 || t[10] != ' ' || !parseDate(t.substr(0, 10), serial) || !parseTime(t, 11, ms))
            fail("\"" + t + "\" is not a timestamp (YYYY-MM-DD HH:MM:SS)");
        putDouble(p, double(serial) * kMsPerDay + double(ms));
        return;
    }
    default:
        fail("values of this field type cannot be written");
    }
}

} // namespace dx::px::fmt
