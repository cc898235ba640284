#include "platform/core/cp1252.h"

#include <gtest/gtest.h>

namespace vl {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int i = 1; i < 256; ++i) all += char(i);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MapsTheHighControlRangeToItsCodePoints) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");     // Y diaeresis
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");     // undefined byte kept as C1
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC 5"), "\x80 5");
}

TEST(Cp1252, CharactersOutsideThePageAndMalformedInputBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");       // a CJK character
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");             // truncated sequence
    EXPECT_EQ(Utf8ToCp1252("\xC0\x80"), "?");           // overlong NUL
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x"); // outside the BMP
}

TEST(Cp1252, CaseMappingCoversTheAccentedLettersOfThePage) {
    EXPECT_EQ(CharUpper1252('a'), 'A');
    EXPECT_EQ(CharUpper1252('\xE9'), '\xC9'); // e acute
    EXPECT_EQ(CharUpper1252('\x9A'), '\x8A'); // s caron
    EXPECT_EQ(CharUpper1252('\xFF'), '\x9F'); // y diaeresis
    EXPECT_EQ(CharUpper1252('\xF7'), '\xF7'); // division sign is no letter
    EXPECT_EQ(CharUpper1252('\xDF'), '\xDF'); // sharp s has no capital here
    EXPECT_EQ(CharLower1252('\xC9'), '\xE9');
    EXPECT_EQ(CharLower1252('\xD7'), '\xD7'); // multiplication sign
    EXPECT_TRUE(IsCharAlpha1252('\xDF'));
    EXPECT_TRUE(IsCharAlpha1252('\x83'));
    EXPECT_FALSE(IsCharAlpha1252('1'));
    EXPECT_FALSE(IsCharAlpha1252('\xF7'));
}

TEST(Cp1252, AsciiClassesIgnoreTheHighHalf) {
    EXPECT_FALSE(IsAsciiAlpha('\xE9'));
    EXPECT_FALSE(IsAsciiDigit('\xB2')); // superscript two
    EXPECT_EQ(AsciiUpper('\xE9'), '\xE9');
    EXPECT_TRUE(IsAsciiSpace('\t'));
    EXPECT_FALSE(IsAsciiSpace('\xA0'));
}

} // namespace vl
