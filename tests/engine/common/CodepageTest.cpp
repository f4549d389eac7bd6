// The code-page converters on text that is not well-formed UTF-8: an overlong form must
// never turn into the character it spells (a line break or a NUL smuggled past the
// checks made before the conversion), and every code page 1251 byte survives a round trip.
#include "engine/common/Codepage.h"

#include <gtest/gtest.h>

#include <string>

using namespace dx;

TEST(Codepage, MalformedUtf8BecomesQuestionMarksNeverTheCharacterItSpells)
{
    struct Case {
        const char *what;
        std::string bytes;
    };
    const Case cases[] = {
        {"overlong line feed (2 bytes)", "a\xC0\x8A" "b"},
        {"overlong NUL", std::string("a\xC0\x80" "b")},
        {"overlong carriage return (3 bytes)", "a\xE0\x80\x8D" "b"},
        {"overlong '=' (4 bytes)", "a\xF0\x80\x80\xBD" "b"},
        {"overlong Cyrillic а (3 bytes)", "a\xE0\x90\xB0" "b"},
        {"UTF-16 surrogate", "a\xED\xA0\x80" "b"},
        {"beyond U+10FFFF", "a\xF4\x90\x80\x80" "b"},
        {"five-byte lead", "a\xF8\x88\x80\x80\x80" "b"},
        {"lone continuation byte", "a\x8A" "b"},
        {"truncated sequence", "ab\xD0"},
    };
    for (const Case &c : cases) {
        bool lossless = true;
        const std::string out = cp::utf8ToCp1251(c.bytes, &lossless);
        EXPECT_FALSE(lossless) << c.what;
        EXPECT_EQ(out.find_first_of(std::string("\r\n\0=", 4)), std::string::npos) << c.what;
        EXPECT_NE(out.find('?'), std::string::npos) << c.what;
        EXPECT_FALSE(cp::isValidUtf8(c.bytes)) << c.what;
        // The general entry point and another code page refuse them the same way.
        EXPECT_EQ(cp::fromUtf8(c.bytes, "CP1251", &lossless), out) << c.what;
        EXPECT_FALSE(lossless) << c.what;
        EXPECT_EQ(cp::fromUtf8(c.bytes, "CP866", &lossless).find_first_of(std::string("\r\n\0", 3)),
                  std::string::npos)
            << c.what;
        EXPECT_FALSE(lossless) << c.what;
    }
}

TEST(Codepage, WellFormedTextAtTheEdgesOfEachLength)
{
    for (const std::string &s : {std::string("\x7F"), std::string("\xC2\x80"), std::string("\xDF\xBF"),
                                 std::string("\xE0\xA0\x80"), std::string("\xED\x9F\xBF"), std::string("\xEE\x80\x80"),
                                 std::string("\xEF\xBF\xBD"), std::string("\xF0\x90\x80\x80"),
                                 std::string("\xF4\x8F\xBF\xBF"), std::string("Дъб №5 „x“")})
        EXPECT_TRUE(cp::isValidUtf8(s)) << s;
    // Characters outside code page 1251 are well-formed, only not encodable.
    bool lossless = true;
    EXPECT_EQ(cp::utf8ToCp1251("\xF0\x90\x80\x80", &lossless), "?");
    EXPECT_FALSE(lossless);
}

TEST(Codepage, EveryDefinedCp1251ByteRoundTrips)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x98) all += char(b); // 0x98 is the one byte the code page leaves undefined
    const std::string utf8 = cp::cp1251ToUtf8(all);
    EXPECT_TRUE(cp::isValidUtf8(utf8));
    bool lossless = false; // fromUtf8 sets it
    EXPECT_EQ(cp::fromUtf8(utf8, "", &lossless), all);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(cp::toUtf8(all, "CP1251"), utf8);
}
