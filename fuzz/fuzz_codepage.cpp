// Fuzzes the code-page converters. Whatever an encoder accepts without loss decodes back
// to the same text; whatever a decoder gives is well-formed UTF-8; the validity test
// agrees with iconv's own UTF-8 decoder; and code page 1251 bytes round-trip.
#include "FuzzCommon.h"

#include "engine/common/Codepage.h"

#include <iconv.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// iconv's answer to "is this well-formed UTF-8": the whole text converts to UTF-32.
bool iconvAcceptsUtf8(const std::string &s)
{
    static iconv_t h = iconv_open("UTF-32LE", "UTF-8");
    if (h == (iconv_t)-1) std::abort();
    iconv(h, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> out(s.size() * 4 + 8);
    char *src = const_cast<char *>(s.data());
    size_t srcLeft = s.size();
    char *dst = out.data();
    size_t dstLeft = out.size();
    return iconv(h, &src, &srcLeft, &dst, &dstLeft) != (size_t)-1 && srcLeft == 0;
}

const char *const kCodepages[] = {"CP866", "CP1252", "CP437", "CP850", "CP852", "CP1250", "CP1253", "GBK"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 16 * 1024) return 0;
    const std::string in(reinterpret_cast<const char *>(data), size);
    using namespace dx::cp;

    // The input as UTF-8 text to be stored in code page 1251.
    const bool valid = isValidUtf8(in);
    if (valid != iconvAcceptsUtf8(in)) dxfuzz::fail(valid ? "accepted what iconv refuses" : "refused what iconv accepts");
    bool lossless = false;
    const std::string stored = fromUtf8(in, "", &lossless);
    if (!valid && lossless) dxfuzz::fail("malformed UTF-8 encoded without loss");
    if (lossless && cp1251ToUtf8(stored) != in) dxfuzz::fail("1251 round trip changed the text");
    if (utf8Length(in) > in.size()) dxfuzz::fail("more characters than bytes");
    const std::string folded = foldCase(in);
    if (!isValidUtf8(folded)) dxfuzz::fail("folding gave malformed UTF-8");

    // The input as code page 1251 bytes read from a file.
    const std::string text = cp1251ToUtf8(in);
    if (!isValidUtf8(text)) dxfuzz::fail("1251 decoding gave malformed UTF-8");
    const std::string back = fromUtf8(text, "CP1251", &lossless);
    const bool undefinedByte = in.find('\x98') != std::string::npos;
    if (!undefinedByte && (!lossless || back != in)) dxfuzz::fail("1251 bytes did not round-trip");
    if (toUtf8(in) != text) dxfuzz::fail("the two 1251 decoders differ");

    // The rest of the input in another code page, chosen by its first byte.
    if (size > 0) {
        const std::string cp = kCodepages[data[0] % (sizeof kCodepages / sizeof kCodepages[0])];
        const std::string rest = in.substr(1);
        const std::string decoded = toUtf8(rest, cp);
        if (!isValidUtf8(decoded)) dxfuzz::fail("decoding gave malformed UTF-8", cp);
        const std::string encoded = fromUtf8(decoded, cp, &lossless);
        if (lossless && toUtf8(encoded, cp) != decoded) dxfuzz::fail("round trip changed the text", cp);
        const std::string direct = fromUtf8(rest, cp, &lossless);
        if (!isValidUtf8(rest) && lossless) dxfuzz::fail("malformed UTF-8 encoded without loss", cp);
        if (lossless && toUtf8(direct, cp) != rest) dxfuzz::fail("UTF-8 round trip changed the text", cp);
    }
    return 0;
}
