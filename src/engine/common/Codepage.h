// The one place where file bytes become Unicode text and back. Code page 1251 has its own
// fast table (project tables hold millions of cells); other code pages go through iconv.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dx::cp {

// Decode single-byte (or GBK) text to UTF-8. `codepage` is an iconv name; empty means CP1251.
std::string toUtf8(std::string_view bytes, const std::string &codepage = {});
// Encode UTF-8 into the code page. Characters the code page cannot hold, and malformed
// UTF-8 (overlong forms included), become '?' and make `*lossless` false when given.
std::string fromUtf8(std::string_view utf8, const std::string &codepage = {}, bool *lossless = nullptr);

std::string cp1251ToUtf8(std::string_view bytes);
std::string utf8ToCp1251(std::string_view utf8, bool *lossless = nullptr);

// True when the text is well-formed UTF-8: every code point in its shortest form, no
// surrogates, nothing beyond U+10FFFF. The encoders turn anything else into '?'.
bool isValidUtf8(std::string_view utf8);

// Number of characters in a UTF-8 text (for field widths).
size_t utf8Length(std::string_view utf8);

// dBase language driver byte (header offset 29) to an iconv name; empty when the byte
// names no code page we know.
std::string forDbfDriver(uint8_t ldid);
// Windows / DOS code page number (Paradox header) to an iconv name; empty when unknown.
std::string forCodepageNumber(int number);

// Lower-case ASCII and Cyrillic letters of a UTF-8 text (for case-insensitive names).
std::string foldCase(std::string_view utf8);

} // namespace dx::cp
