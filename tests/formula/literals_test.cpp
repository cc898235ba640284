#include "formula/literals.h"

#include <gtest/gtest.h>

namespace vl {

TEST(FormulaErrorText, MapsTheHighNibbleToTheTwelveTexts) {
    struct Case {
        uint8_t code;
        const char* text;
    } cases[] = {
        {0x10, "#DIV/0!"},  {0x15, "#DIV/0!"}, {0x20, "#NAME?"}, {0x30, "#NULL!"},
        {0x40, "#N/A!"},    {0x50, "#NUM!"},   {0x60, "#REF!"},  {0x70, "#VALUE!"},
        {0x80, "#MEMORY!"}, {0x90, "#FILL!"},  {0xA0, "#CIRC!"}, {0xB0, "#IMPL!"},
        {0xCF, "#SYNTAX!"}, {0x00, ""},        {0x05, ""},       {0xD0, ""},
        {0xFF, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetFormulaErrorText(c.code), c.text) << int(c.code);
}

TEST(ErrorCodeFromText, MatchesWholeTextsInAnyCase) {
    EXPECT_EQ(ErrorCodeFromText("#n/a!"), 0x40);
    EXPECT_EQ(ErrorCodeFromText("#n/a"), 0);
    EXPECT_EQ(ErrorCodeFromText("#N/A!x"), 0);
    EXPECT_EQ(ErrorCodeFromText("#syntax!"), 0xC0);
    EXPECT_EQ(ErrorCodeFromText(""), 0);
    for (int code = 0x10; code <= 0xC0; code += 0x10)
        EXPECT_EQ(ErrorCodeFromText(GetFormulaErrorText(uint8_t(code))), code);
}

TEST(ScanErrorLiteral, ReadsAPrefixAndStopsAfterIt) {
    FormulaError code = 0;
    std::size_t end = 0;
    EXPECT_EQ(ScanErrorLiteral("#NUM!+1", code, end), 0x50);
    EXPECT_EQ(code, 0x50);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(ScanErrorLiteral("#div/0!", code, end), 0x10);
    EXPECT_EQ(end, 7u);
    EXPECT_EQ(ScanErrorLiteral("#NUM", code, end), 0); // a text that ends early
    EXPECT_EQ(code, 0);
    EXPECT_EQ(end, 0u);
    EXPECT_EQ(ScanErrorLiteral("#foo", code, end), 0);
    EXPECT_EQ(ScanErrorLiteral("NUM!", code, end), 0);
    EXPECT_EQ(ScanErrorLiteral("", code, end), 0);
}

TEST(ScanBooleanLiteral, ReadsTheWordsAsPrefixes) {
    double number = 7;
    std::size_t end = 0;
    EXPECT_TRUE(ScanBooleanLiteral("true", number, end));
    EXPECT_EQ(number, 1.0);
    EXPECT_EQ(end, 4u);
    EXPECT_TRUE(ScanBooleanLiteral("FALSE)", number, end));
    EXPECT_EQ(number, 0.0);
    EXPECT_EQ(end, 5u);
    EXPECT_TRUE(ScanBooleanLiteral("TRUEX", number, end));
    EXPECT_EQ(end, 4u);
    EXPECT_FALSE(ScanBooleanLiteral("TRU", number, end));
    EXPECT_EQ(end, 0u);
    EXPECT_EQ(number, 0.0);
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
