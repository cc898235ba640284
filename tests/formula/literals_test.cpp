#include "formula/literals.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vl {

TEST(FormulaErrorText, MapsTheHighNibbleAndReadsBackInAnyCase) {
    const std::pair<uint8_t, const char*> texts[] = {
        {0x10, "#DIV/0!"}, {0x15, "#DIV/0!"}, {0x40, "#N/A!"}, {0xCF, "#SYNTAX!"},
        {0x00, ""},        {0x05, ""},        {0xD0, ""},      {0xFF, ""}};
    for (auto [code, text] : texts) EXPECT_EQ(GetFormulaErrorText(code), text) << int(code);
    for (int code = 0x10; code <= 0xC0; code += 0x10)
        EXPECT_EQ(ErrorCodeFromText(GetFormulaErrorText(uint8_t(code))), code);
    const std::pair<const char*, FormulaError> whole[] = {
        {"#n/a!", 0x40}, {"#syntax!", 0xC0}, {"#n/a", 0}, {"#N/A!x", 0}, {"", 0}};
    for (auto [text, code] : whole) EXPECT_EQ(ErrorCodeFromText(text), code) << text;
}

TEST(FormulaLiterals, ErrorsAndBooleansAreReadAsPrefixes) {
    const std::tuple<const char*, FormulaError, std::size_t> errors[] = {
        {"#NUM!+1", 0x50, 5}, {"#div/0!", 0x10, 7}, {"#NUM", 0, 0},
        {"#foo", 0, 0},       {"NUM!", 0, 0},       {"", 0, 0}};
    for (auto [text, expected, length] : errors) {
        FormulaError code = 0xFF;
        std::size_t end = 99;
        EXPECT_EQ(ScanErrorLiteral(text, code, end), expected) << text;
        EXPECT_EQ(std::pair(code, end), std::pair(expected, length)) << text;
    }
    const std::tuple<const char*, bool, double, std::size_t> booleans[] = {
        {"true", true, 1, 4}, {"FALSE)", true, 0, 5}, {"TRUEX", true, 1, 4}, {"TRU", false, 0, 0}};
    for (auto [text, ok, value, length] : booleans) {
        double number = 7;
        std::size_t end = 99;
        EXPECT_EQ(ScanBooleanLiteral(text, number, end), ok) << text;
        EXPECT_EQ(std::pair(end, number), std::pair(length, value)) << text;
    }
}

TEST(CompareNoCaseN, ComparesUpperCasedBytesOverNCharacters) {
    EXPECT_EQ(CompareNoCaseN("sum(", "SUM(", 4), 0);
    EXPECT_EQ(CompareNoCaseN("SUMIF(", "SUM(", 4), 1); // "I" after "("
    EXPECT_EQ(CompareNoCaseN("SU", "SUM(", 4), -1);    // the shorter text ends first
    EXPECT_EQ(CompareNoCaseN("abc", "abd", 0), 0);
    EXPECT_EQ(CompareNoCaseN("\xE9", "\xC9", 1), 0); // e acute in both cases
    EXPECT_EQ(CompareNoCaseN("\xE9", "Z", 1), 1);    // compared unsigned
}

} // namespace vl
