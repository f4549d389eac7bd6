// Code page conversion: a table for CP1251, iconv (glibc) for the rest.
#include "engine/common/Codepage.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

namespace dx::cp {

namespace {

// Unicode code points of CP1251 bytes 0x80..0xFF (0 = undefined byte 0x98).
const uint16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

void appendUtf8(std::string &out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Next code point of a UTF-8 text; malformed bytes come back as U+FFFD, one byte each.
// Only the shortest form of a code point is one: an overlong form ("\xC0\x8A" for a line
// feed) would smuggle a character past every check made on the text before conversion.
// Surrogates and code points beyond U+10FFFF are malformed too.
uint32_t nextCodePoint(std::string_view s, size_t &i)
{
    unsigned char c = s[i];
    if (c < 0x80) { ++i; return c; }
    int extra = c >= 0xF8 ? -1 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = s[i + k];
        if ((cc & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr uint32_t kShortest[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        ++i;
        return 0xFFFD;
    }
    i += extra + 1;
    return cp;
}

const std::map<uint32_t, unsigned char> &reverse1251()
{
    static const std::map<uint32_t, unsigned char> table = [] {
        std::map<uint32_t, unsigned char> m;
        for (int b = 0; b < 128; ++b)
            if (kCp1251High[b]) m[kCp1251High[b]] = static_cast<unsigned char>(0x80 + b);
        return m;
    }();
    return table;
}

bool is1251(const std::string &codepage)
{
    if (codepage.empty()) return true;
    std::string u;
    for (char c : codepage) u += char(toupper(static_cast<unsigned char>(c)));
    return u == "CP1251" || u == "WINDOWS-1251" || u == "1251";
}

std::string iconvConvert(std::string_view in, const std::string &from, const std::string &to, bool *lossless)
{
    // Conversion handles are opened once per pair of code pages and closed at exit.
    struct Handles : std::map<std::pair<std::string, std::string>, iconv_t> {
        ~Handles()
        {
            for (auto &[key, h] : *this)
                if (h != (iconv_t)-1) iconv_close(h);
        }
    };
    static std::mutex mutex;
    static Handles handles;
    std::lock_guard<std::mutex> lock(mutex);
    auto key = std::make_pair(from, to);
    auto it = handles.find(key);
    if (it == handles.end()) {
        iconv_t h = iconv_open(to.c_str(), from.c_str());
        it = handles.emplace(key, h).first;
    }
    iconv_t h = it->second;
    if (h == (iconv_t)-1) {
        // Unknown code page: keep ASCII, mark the rest.
        std::string out;
        for (char c : in) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
        if (lossless) *lossless = false;
        return out;
    }
    iconv(h, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    std::vector<char> buf(in.size() * 4 + 16);
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char *dst = buf.data();
        size_t dstLeft = buf.size();
        size_t r = iconv(h, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf.data(), dst - buf.data());
        if (r == (size_t)-1) {
            if (errno == E2BIG) continue;
            // Invalid or incomplete sequence: replace one byte and go on.
            out += to == "UTF-8" ? "\xEF\xBF\xBD" : "?";
            if (lossless) *lossless = false;
            ++src;
            --srcLeft;
            iconv(h, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char *dst = buf.data();
    size_t dstLeft = buf.size();
    iconv(h, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf.data(), dst - buf.data());
    return out;
}

} // namespace

std::string cp1251ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        if (c < 0x80) out += char(c);
        else appendUtf8(out, kCp1251High[c - 0x80] ? kCp1251High[c - 0x80] : 0xFFFD);
    }
    return out;
}

std::string utf8ToCp1251(std::string_view utf8, bool *lossless)
{
    std::string out;
    out.reserve(utf8.size());
    const auto &rev = reverse1251();
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = nextCodePoint(utf8, i);
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp >= 0x410 && cp <= 0x44F) {
            out += char(0xC0 + (cp - 0x410));
        } else {
            auto it = rev.find(cp);
            if (it != rev.end()) {
                out += char(it->second);
            } else {
                out += '?';
                if (lossless) *lossless = false;
            }
        }
    }
    return out;
}

std::string toUtf8(std::string_view bytes, const std::string &codepage)
{
    bool ascii = true;
    for (unsigned char c : bytes)
        if (c >= 0x80) { ascii = false; break; }
    if (ascii) return std::string(bytes);
    if (is1251(codepage)) return cp1251ToUtf8(bytes);
    return iconvConvert(bytes, codepage, "UTF-8", nullptr);
}

std::string fromUtf8(std::string_view utf8, const std::string &codepage, bool *lossless)
{
    if (lossless) *lossless = true;
    if (is1251(codepage)) return utf8ToCp1251(utf8, lossless);
    return iconvConvert(utf8, "UTF-8", codepage, lossless);
}

bool isValidUtf8(std::string_view utf8)
{
    for (size_t i = 0; i < utf8.size();) {
        const size_t at = i;
        // U+FFFD itself is three bytes; a malformed byte comes back as U+FFFD in one.
        if (nextCodePoint(utf8, i) == 0xFFFD && i - at != 3) return false;
    }
    return true;
}

size_t utf8Length(std::string_view utf8)
{
    size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string forDbfDriver(uint8_t ldid)
{
    switch (ldid) {
    case 0x01: return "CP437";
    case 0x02: return "CP850";
    case 0x03: return "CP1252";
    case 0x57: return "CP1252";
    case 0x58: return "CP1252";
    case 0x59: return "CP1252";
    case 0x64: return "CP852";
    case 0x65: return "CP866";
    case 0x26: return "CP866";
    case 0x7D: return "CP1255";
    case 0x7E: return "CP1256";
    case 0xC8: return "CP1250";
    case 0xC9: return "CP1251";
    case 0xCA: return "CP1254";
    case 0xCB: return "CP1253";
    default: return {};
    }
}

std::string forCodepageNumber(int number)
{
    switch (number) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 852: return "CP852";
    case 866: return "CP866";
    case 936: return "GBK";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    default: return {};
    }
}

std::string foldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = nextCodePoint(utf8, i);
        if (cp >= 'A' && cp <= 'Z') cp += 32;
        else if (cp >= 0x410 && cp <= 0x42F) cp += 0x20;
        else if (cp >= 0x400 && cp <= 0x40F) cp += 0x50;
        appendUtf8(out, cp);
    }
    return out;
}

} // namespace dx::cp
