#include "files/xmlconvert.h"
#include "files/xmltext.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace vl {
namespace {

struct DecodeCase {
    std::string raw;
    bool utf8;
    std::string decoded; // when error is 0
    ErrorCode error;
};

TEST(XmlText, DecodesReferencesAndUtf8) {
    const DecodeCase cases[] = {
        {"&quot;&apos;&lt;&gt;&amp;", true, "\"'<>&", 0},
        {"&#65;&#x41;&#x4a;&#1;", true, "AAJ\x01", 0},
        // Characters no XML has, even as references (a zero would end the text early), and a
        // zero byte: each at the edge of the characters taken.
        {"&#65;&#0;", true, "", kErrorXmlData},
        {"&#x00;", false, "", kErrorXmlData},
        {std::string("a\0b", 3), true, "", kErrorXmlData},
        {std::string("a\0b", 3), false, "", kErrorXmlData},
        {"&#xD7FF;&#xE000;&#xFFFD;&#x10000;", true, "????", 0},
        {"&#xD800;", true, "", kErrorXmlData},
        {"&#xdbff;", true, "", kErrorXmlData},
        {"&#56320;", true, "", kErrorXmlData},
        {"&#xDFFF;", true, "", kErrorXmlData},
        {"&#xFFFE;", true, "", kErrorXmlData},
        {"&#xFFFF;", true, "", kErrorXmlData},
        {"&#255;&#xff;", true, "\xff\xff", 0},
        // A reference names a Unicode character, whatever the document's encoding: the euro
        // sign is U+20AC, while 128 is a control character the code page has not.
        {"&#8364;&#x20ac;&#x20AC;", true, "\x80\x80\x80", 0},
        {"&#8364;", false, "\x80", 0},
        {"&#128;&#x9F;&#256;", true, "???", 0},
        {"&#x81;", true, "\x81", 0},
        {"&#0065;&#x041;&#x0000041;", true, "AAA", 0},
        {"&#1114111;", true, "?", 0},
        {"&#1114112;", true, "", kErrorXmlData},
        {"&#x110000;", true, "", kErrorXmlData},
        {"&#65", true, "", kErrorXmlData},
        {"&#65x;", true, "", kErrorXmlData},
        {"a&#", true, "", kErrorXmlData},
        {"&#x41g;", true, "", kErrorXmlData},
        {"&#;", true, "", kErrorXmlData},
        {"&#x;", true, "", kErrorXmlData},
        // An "&" that starts no reference is text, wherever it stands.
        {"&", true, "&", 0},
        {"&foo;&&lt;", true, "&foo;&<", 0},
        {"caf\xc3\xa9 \xe2\x82\xac", true, "caf\xe9 \x80", 0},
        {"caf\xc3\xa9", false, "caf\xc3\xa9", 0},
        // Outside the code page: a question mark.
        {"\xe4\xb8\xad", true, "?", 0},
        // A character outside the page is one "?"; a byte that starts no well-formed
        // sequence is one "?" and the text goes on after it.
        {"ab\xf0\x9f\x98\x80 cd", true, "ab? cd", 0},
        {"ab\xc3", true, "ab?", 0},
        {"ab\x80z", true, "ab?z", 0},
        // References after it are read as ever.
        {"\xff&#300;", true, "??", 0},
        {"\xff&#x110000;", true, "", kErrorXmlData},
        {"\xff&#65;", true, "?A", 0},
    };
    for (const DecodeCase& c : cases) {
        std::string out;
        EXPECT_EQ(DecodeXmlText(c.raw, c.utf8, 100, out), c.error) << c.raw;
        if (c.error == 0) {
            EXPECT_EQ(out, c.decoded) << c.raw;
        }
    }
    // Each character outside the code page is counted, a "?" of the document is not.
    std::string out;
    uint32_t lost = 0;
    ASSERT_EQ(DecodeXmlText("&#128;&#63;?&#x20AC;&#256;\xe4\xb8\xad", true, 100, out, &lost), 0);
    EXPECT_EQ(out, "???\x80??");
    EXPECT_EQ(lost, 3u);
}

// The decoded length at its limit and one past it, and a long text, are the element text rows
// of the reader tests.

// UTF-16 in either byte order: surrogate pairs joined, a unit or pair cut at the end of a block
// left for the next one, and at the end of the document (or alone) made U+FFFD.
TEST(XmlText, Utf16BecomesUtf8) {
    const struct {
        std::string bytes;
        bool bigEndian, last;
        std::string utf8;
        std::size_t taken;
    } cases[] = {
        {std::string("A\0\xE9\0\xAC\x20", 6), false, false, "A\xC3\xA9\xE2\x82\xAC", 6},
        {std::string("\0A\0\xE9\x20\xAC", 6), true, false, "A\xC3\xA9\xE2\x82\xAC", 6},
        {std::string("\x3D\xD8\x00\xDE", 4), false, false, "\xF0\x9F\x98\x80", 4},
        {std::string("\xD8\x3D\xDE\x00", 4), true, true, "\xF0\x9F\x98\x80", 4},
        {"\xDB\xFF\xDF\xFF", true, true, "\xF4\x8F\xBF\xBF", 4},
        // Cut: an odd byte, a high surrogate without its low one yet.
        {std::string("A\0B", 3), false, false, "A", 2},
        {std::string("A\0\x3D\xD8", 4), false, false, "A", 2},
        {std::string("A\0\x3D\xD8\x00", 5), false, false, "A", 2},
        // At the end, or followed by no low surrogate, or a low one alone: U+FFFD.
        {std::string("A\0B", 3), false, true, "A\xEF\xBF\xBD", 3},
        {std::string("\x3D\xD8", 2), false, true, "\xEF\xBF\xBD", 2},
        {std::string("\x3D\xD8\x41\0", 4), false, false, "\xEF\xBF\xBD\x41", 4},
        {std::string("\x00\xDE\x41\0", 4), false, false, "\xEF\xBF\xBD\x41", 4},
        {"", false, true, "", 0},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        EXPECT_EQ(AppendUtf16AsUtf8(c.bytes, c.bigEndian, c.last, out), c.taken) << c.utf8;
        EXPECT_EQ(out, "x" + c.utf8);
    }
}

TEST(XmlText, EscapesForElementsAndAttributes) {
    std::string out;
    AppendXmlEscaped(out, "a&b\"c\t<>'\r\n\x1f", true);
    EXPECT_EQ(out, "a&amp;b&quot;c&#09;&lt;&gt;&apos;&#13;&#10;&#31;");
    out.clear();
    AppendXmlEscaped(out, "caf\xe9 \x80", true);
    EXPECT_EQ(out, "caf\xc3\xa9 \xe2\x82\xac");
    out.clear();
    AppendXmlEscaped(out, "caf\xe9", false);
    EXPECT_EQ(out, "caf\xe9");
}

TEST(XmlText, EveryByteRoundTripsThroughEscapeAndDecode) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    std::string escaped, back;
    AppendXmlEscaped(escaped, all, true);
    ASSERT_EQ(DecodeXmlText(escaped, true, all.size(), back), 0);
    EXPECT_EQ(back, all);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

struct UnsignedCase {
    const char* text;
    uint64_t cap, min, max;
    ErrorCode error;
    uint64_t value;
};

TEST(XmlConvert, UnsignedNumbersAtTheirLimits) {
    const UnsignedCase cases[] = {
        {"254", kXmlCapU8, 0, 254, 0, 254},
        {"255", kXmlCapU8, 0, 255, kErrorXmlData, 0},
        {"007", kXmlCapU8, 1, 100, 0, 7},
        {"", kXmlCapU8, 0, 10, 0, 0},
        {"0", kXmlCapU8, 1, 10, kErrorXmlData, 0},
        {"65534", kXmlCapU16, 0, 65534, 0, 65534},
        {"65535", kXmlCapU16, 0, 65535, kErrorXmlData, 0},
        {"4294967294", kXmlCapU32, 1, kXmlCapU32, 0, 4294967294u},
        {"4294967295", kXmlCapU32, 1, 4294967295u, kErrorXmlData, 0},
        {"5a", kXmlCapU8, 0, 10, kErrorXmlData, 0},
        {"99999999999999999999999", kXmlCapU32, 0, kXmlCapU32, kErrorXmlData, 0},
    };
    for (const UnsignedCase& c : cases) {
        uint64_t v = 12345;
        EXPECT_EQ(ParseXmlUnsigned(c.text, c.cap, c.min, c.max, v), c.error) << c.text;
        EXPECT_EQ(v, c.error ? 12345 : c.value) << c.text;
    }
}

struct SignedCase {
    const char* text;
    uint64_t cap;
    int64_t min, max;
    ErrorCode error;
    int64_t value;
};

TEST(XmlConvert, SignedNumbersAtTheirLimits) {
    const SignedCase cases[] = {
        {"-90", 128, -90, 90, 0, -90},
        {"-91", 128, -90, 90, kErrorXmlData, 0},
        {"90", 128, -90, 90, 0, 90},
        {"91", 128, -90, 90, kErrorXmlData, 0},
        {"- \t\r\n5", 128, -90, 90, 0, -5},
        {" 45", 128, -90, 90, 0, 45},
        {" \t\r\n90", 128, -90, 90, 0, 90},
        {" 91", 128, -90, 90, kErrorXmlData, 0},
        {" -5", 128, -90, 90, kErrorXmlData, 0},
        {"45 ", 128, -90, 90, kErrorXmlData, 0},
        {" 32767", 32768, -32768, 32767, 0, 32767},
        {"-", 128, -90, 90, 0, 0},
        {"", 128, -90, 90, 0, 0},
        {"+5", 128, -90, 90, kErrorXmlData, 0},
        {"32768", 32768, -32768, 32767, kErrorXmlData, 0},
        {"-2147483648", 2147483648u, INT32_MIN, INT32_MAX, 0, INT32_MIN},
        {"-2147483649", 2147483648u, INT32_MIN, INT32_MAX, kErrorXmlData, 0},
    };
    for (const SignedCase& c : cases) {
        int64_t v = 777;
        EXPECT_EQ(ParseXmlSigned(c.text, c.cap, c.min, c.max, v), c.error) << c.text;
        EXPECT_EQ(v, c.error ? 777 : c.value) << c.text;
    }
}

// Each row: the text, whether it is read and, when read, the value it gives.
TEST(XmlConvert, BooleansDoublesAndColours) {
    const std::tuple<const char*, bool, bool> bools[] = {
        {"true", true, true}, {"Yes", true, true}, {"1", true, true},    {"false", true, false},
        {"No", true, false},  {"0", true, false},  {"yes", false, false}};
    for (const auto& [text, ok, value] : bools) {
        bool b = !value;
        EXPECT_EQ(ParseXmlBool(text, b), ok ? 0 : kErrorXmlAttribute) << text;
        EXPECT_EQ(b, ok ? value : !value) << text;
    }
    const std::tuple<const char*, double, double, double> doubles[] = {
        {"1e+020", -1e300, 1e300, 1e20},
        {"-0.1", -1, 1, -0.1},
        {"1.5x", -1e300, 1e300, 9},
        {"inf", -1e300, 1e300, 9},
        {"1e999", -1e300, 1e300, 9},
        {"2", 0, 1, 9},
        // Blanks before the number are taken, as the runtime takes them; after it, or
        // between the sign and the digits, not.
        {" 1.5", -1, 2, 1.5},
        {"\t\r\n -0.5", -1, 1, -0.5},
        {"1.5 ", -1, 2, 9},
        {"- 0.5", -1, 1, 9},
        {" ", -1, 1, 9},
        {"", -1, 1, 9}};
    for (const auto& [text, min, max, value] : doubles) {
        double d = 9;
        EXPECT_EQ(ParseXmlDouble(text, min, max, d), value == 9 ? kErrorXmlData : 0) << text;
        EXPECT_EQ(d, value) << text;
    }
    const std::pair<const char*, COLORREF> colours[] = {{"#00ff80", Rgb(0, 255, 128)},
                                                        {"Teal", Rgb(0, 128, 128)},
                                                        {"#0f8", 9},
                                                        {"#00ff80a", 9},
                                                        {"redish", 9},
                                                        {"", 9}};
    for (const auto& [text, value] : colours) {
        COLORREF c = 9;
        EXPECT_EQ(ParseXmlColor(text, c), value == 9 ? kErrorXmlAttribute : 0) << text;
        EXPECT_EQ(c, value) << text;
    }
}

} // namespace
} // namespace vl
