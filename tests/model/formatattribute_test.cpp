#include "model/formatattribute.h"
#include "modeltestutil.h"

namespace vl {

namespace {

// A style and font with a distinct value in every field the codes reach.
void Fill(StyleRecord& s, FontRecord& f, uint8_t base) {
    s.numberFormat.kind = uint8_t(base + 1);
    s.numberFormat.params[3] = uint8_t(base + 2);
    std::snprintf(s.numberFormat.code, sizeof s.numberFormat.code, "code%d", base);
    s.fontRef = {uint8_t(base + 3), 1, COLORREF(base + 4)};
    s.fill = {uint8_t(base + 5), 1, COLORREF(base + 6), 1, COLORREF(base + 7)};
    s.borderSides = uint8_t(base + 8);
    s.borderLine = {uint8_t(base + 9), 1, COLORREF(base + 10)};
    s.verticalAlignment = uint8_t(base + 11);
    s.horizontalAlignment = uint8_t(base + 12);
    s.horizontalIndent = uint8_t(base + 13);
    s.verticalIndent = uint8_t(base + 14);
    s.wrapText = uint8_t(base + 15);
    s.fitToCell = uint8_t(base + 16);
    s.dropDownList = uint16_t(base + 17);
    s.sort = uint8_t(base + 18);
    s.autoAppend = uint8_t(base + 19);
    s.autoComplete = uint8_t(base + 20);
    s.isProtected = uint8_t(base + 21);
    s.rotation = int8_t(base ? -30 : 40);
    std::snprintf(f.faceName, sizeof f.faceName, "Face%d", base);
    f.size = uint8_t(base + 22);
    f.charSet = uint8_t(base + 23);
    f.weight = uint8_t(base + 24);
    f.italic = uint8_t(base + 25);
    f.underline = uint8_t(base + 26);
    f.strikeout = uint8_t(base + 27);
    f.family = uint8_t(base + 28);
}

// Which fields a code carries over, by name.
struct Expect {
    uint8_t code;
    bool fontChanged;
    const char* fields; // letters of the fields copied
};

// n kind+params, N kind+code, s size, f face, c charset, w weight, i italic, u underline,
// k strikeout, F whole font, o font colour, l list, h horizontal, v vertical, r wrap,
// R rotation, b borders, I interior, p protection; alone: H horizontal alignment, J its
// indent, V vertical alignment, W its indent
constexpr Expect kExpected[] = {
    {1, false, "n"},     {2, false, "N"},  {3, true, "s"},     {4, true, "f"},   {5, true, "c"},
    {6, true, "w"},      {7, true, "i"},   {8, true, "u"},     {9, true, "k"},   {10, true, "F"},
    {11, false, "o"},    {12, false, "l"}, {13, false, "hvr"}, {14, false, "h"}, {15, false, "v"},
    {16, false, "r"},    {17, false, "b"}, {18, false, ""},    {19, false, "I"}, {20, false, "p"},
    {21, false, "hvrR"}, {22, false, "H"}, {23, false, "V"},   {24, false, "J"}, {25, false, "W"},
    {26, false, "R"},    {0, false, ""},   {27, false, ""}};

bool Has(const char* fields, char c) {
    return std::strchr(fields, c) != nullptr;
}

TEST(FormatAttributeTest, EachCodeCopiesItsFieldsAndNothingElse) {
    for (const Expect& e : kExpected) {
        StyleRecord target, source;
        FontRecord targetFont, sourceFont;
        Fill(target, targetFont, 0);
        Fill(source, sourceFont, 100);
        EXPECT_EQ(ApplyFormatAttribute(target, targetFont, source, sourceFont, e.code),
                  e.fontChanged)
            << int(e.code);
        auto from = [&](char c, bool copied) { return copied == Has(e.fields, c); };
        const bool kind = Has(e.fields, 'n') || Has(e.fields, 'N');
        EXPECT_EQ(target.numberFormat.kind, kind ? 101 : 1) << int(e.code);
        // Code 1 copies the parameters and clears the text; code 2 the other way round.
        EXPECT_EQ(target.numberFormat.params[3], Has(e.fields, 'n')   ? 102
                                                 : Has(e.fields, 'N') ? 0
                                                                      : 2)
            << int(e.code);
        EXPECT_STREQ(target.numberFormat.code, Has(e.fields, 'N')   ? "code100"
                                               : Has(e.fields, 'n') ? ""
                                                                    : "code0");
        const bool whole = Has(e.fields, 'F');
        EXPECT_TRUE(from('s', targetFont.size == 122) || whole) << int(e.code);
        EXPECT_TRUE(from('f', std::strcmp(targetFont.faceName, "Face100") == 0) || whole);
        EXPECT_TRUE(from('c', targetFont.charSet == 123) || whole);
        EXPECT_TRUE(from('w', targetFont.weight == 124) || whole);
        EXPECT_TRUE(from('i', targetFont.italic == 125) || whole);
        EXPECT_TRUE(from('u', targetFont.underline == 126) || whole);
        EXPECT_TRUE(from('k', targetFont.strikeout == 127) || whole);
        EXPECT_EQ(targetFont.family, whole ? 128 : 28);
        EXPECT_TRUE(from('o', target.fontRef.color == 104)) << int(e.code);
        EXPECT_EQ(target.fontRef.fontIndex, 3); // the font index is the caller's to set
        EXPECT_TRUE(from('l', target.dropDownList == 117 && target.sort == 118 &&
                                  target.autoAppend == 119 && target.autoComplete == 120));
        const bool h = Has(e.fields, 'h'), v = Has(e.fields, 'v');
        EXPECT_EQ(target.horizontalAlignment, h || Has(e.fields, 'H') ? 112 : 12) << int(e.code);
        EXPECT_EQ(target.horizontalIndent, h || Has(e.fields, 'J') ? 113 : 13) << int(e.code);
        EXPECT_EQ(target.verticalAlignment, v || Has(e.fields, 'V') ? 111 : 11) << int(e.code);
        EXPECT_EQ(target.verticalIndent, v || Has(e.fields, 'W') ? 114 : 14) << int(e.code);
        EXPECT_TRUE(from('r', target.wrapText == 115 && target.fitToCell == 116));
        EXPECT_TRUE(from('R', target.rotation == -30)) << int(e.code);
        EXPECT_TRUE(from('b', target.borderSides == 108 && target.borderLine.style == 109 &&
                                  target.borderLine.color == 110));
        EXPECT_TRUE(from('I', target.fill.pattern == 105 && target.fill.patternColor == 106 &&
                                  target.fill.backgroundColor == 107));
        EXPECT_TRUE(from('p', target.isProtected == 121)) << int(e.code);
    }
}

} // namespace

} // namespace vl
