// The OEM table against glibc's converters, which serve only as the test's oracle.
#include "platform/core/cp1252.h"
#include "platform/core/cp850.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace vl {
namespace {

// The code point of one byte in a code page, as iconv reads it; 0xFFFFFFFF when it has none.
char32_t IconvCodePoint(const char* page, unsigned char byte) {
    iconv_t cd = iconv_open("UTF-32LE", page);
    if (cd == iconv_t(-1)) return 0xFFFFFFFF;
    char in[1] = {char(byte)};
    unsigned char out[4] = {};
    char* inp = in;
    char* outp = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = 4;
    const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == size_t(-1)) return 0xFFFFFFFF;
    return char32_t(out[0] | out[1] << 8 | out[2] << 16 | uint32_t(out[3]) << 24);
}

TEST(Cp850, EveryByteMatchesTheOracle) {
    for (int b = 0; b < 256; ++b) {
        const char32_t expected = IconvCodePoint("CP850", uint8_t(b));
        ASSERT_NE(expected, 0xFFFFFFFF) << b;
        EXPECT_EQ(Cp850ToCodePoint(uint8_t(b)), expected) << b;
        EXPECT_EQ(uint8_t(CodePointToCp850(expected)), b) << b;
    }
}

// Between the two pages a character either keeps its code point or becomes '?'.
TEST(Cp850, AnsiAndOemAgreeWithTheOracle) {
    for (int b = 0; b < 256; ++b) {
        const char32_t oem = IconvCodePoint("CP850", uint8_t(b));
        const char ansi = OemToAnsiChar(uint8_t(b));
        if (ansi == '?' && b != '?')
            EXPECT_EQ(CodePointToCp1252(oem), '?') << b;
        else
            EXPECT_EQ(Cp1252ToCodePoint(uint8_t(ansi)), oem) << b;
        const char32_t win = Cp1252ToCodePoint(uint8_t(b));
        const char back = AnsiToOemChar(uint8_t(b));
        if (back == '?' && b != '?')
            EXPECT_EQ(CodePointToCp850(win), '?') << b;
        else
            EXPECT_EQ(Cp850ToCodePoint(uint8_t(back)), win) << b;
    }
    EXPECT_EQ(AnsiToOem("Gr\xFC\xDF"
                        "e"),
              "Gr\x81\xE1"
              "e");
    EXPECT_EQ(OemToAnsi("Gr\x81\xE1"
                        "e"),
              "Gr\xFC\xDF"
              "e");
    EXPECT_EQ(AnsiToOem("\x80"), "?");
    EXPECT_EQ(OemToAnsi("\xB0"), "?");
}

} // namespace
} // namespace vl
