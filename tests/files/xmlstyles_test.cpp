// Reading the font and style tables: every attribute's table, range and default.

#include "platform/core/bytes.h"
#include "values/standardformat.h"
#include "xmltestutil.h"

#include <tuple>

namespace vl::xmltest {
namespace {

using namespace fmtparam;

// The styles on line 4 of a document.
std::string StylesDoc(const std::string& styles) {
    return Document("<Styles>\r\n" + styles + "\r\n</Styles>\r\n<Worksheet/>");
}

Loaded ReadStyles(const std::string& styles) {
    return ReadFromMemory(StylesDoc(styles));
}

void ExpectStyleErrors(std::vector<ErrorCase> cases) {
    for (ErrorCase& c : cases) c.document = StylesDoc(c.document);
    ExpectErrors(cases);
}

std::string S(const std::string& children) {
    return "<Style>" + children + "</Style>";
}

std::string NF(const std::string& child) {
    return S("<NumberFormat>" + child + "</NumberFormat>");
}

// Style 1 read from `children` after the fonts given.
StyleRecord ReadStyle(const std::string& children, const std::string& fonts = "") {
    Loaded l = ReadStyles(fonts + S(children));
    EXPECT_TRUE(l.ok) << children << " " << int(l.error);
    return l.book->styles.styles[1];
}

std::vector<uint8_t> StyleBytes(const StyleRecord& s) {
    return Bytes(s, WriteStyleRecord, kStyleRecordSize);
}

TEST(XmlStyles, FontsReadWhole) {
    Loaded l = ReadStyles("<Font Name='A&amp;B&#65;&#x41;' Family='Decorative' Size='254' "
                          "Weight='Regular' Slant='Roman' Underline='true' Strikeout='No' "
                          "CharSet='Chineese'/><Font ID='2' Size='1' Weight='Heavy' "
                          "Slant='Italic'/>");
    ASSERT_TRUE(l.ok) << int(l.error);
    ASSERT_EQ(l.book->styles.fontCount, 3);
    const FontRecord expected[] = {{"A&BAA", 5, 254, 0, 0, 1, 0, 3}, {"", 0, 1, 3, 1}};
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Bytes(l.book->styles.fonts[i + 1], WriteFontRecord, kFontRecordSize),
                  Bytes(expected[i], WriteFontRecord, kFontRecordSize))
            << i;
    // A name is counted after decoding, so an escaped name of 127 characters fits.
    Loaded escaped = ReadStyles("<Font Name='" + Repeat("&quot;", 127) + "'/>");
    ASSERT_TRUE(escaped.ok);
    EXPECT_EQ(std::string(escaped.book->styles.fonts[1].faceName), std::string(127, '"'));
}

TEST(XmlStyles, TablesHaveTheirLimits) {
    std::string fonts, styles;
    for (int i = 1; i < kMaxFonts; ++i) fonts += "<Font Size='" + std::to_string(i) + "'/>";
    for (int i = 1; i < kMaxStyles; ++i) styles += "<Style ID='" + std::to_string(i) + "'/>";
    Loaded full = ReadStyles(fonts + styles);
    ASSERT_TRUE(full.ok) << int(full.error);
    EXPECT_EQ(full.book->styles.fontCount, kMaxFonts);
    EXPECT_EQ(full.book->styles.styleCount, kMaxStyles);
    EXPECT_EQ(full.book->styles.fonts[127].size, 127);
    ExpectStyleErrors({{fonts + "<Font/>", kElem}, {styles + "<Style/>", kElem}});
}

TEST(XmlStyles, EachAttributeOutsideItsTableOrRange) {
    const std::string s15(15, 's');
    ExpectStyleErrors({
        {"<Font Size='0'/>", kData},
        {"<Font Size='255'/>", kData},
        {"<Font Weight='bold'/>", kAttr},
        {"<Font CharSet='Chinese'/>", kAttr},
        {"<Font Underline='TRUE'/>", kAttr},
        {"<Font Family=''/>", kAttr},
        {"<Font Slant='Oblique'/>", kAttr},
        {"<Font Name='" + std::string(128, 'n') + "'/>", kAttr},
        // A reference names a Unicode character: one outside the code page is refused as such.
        {"<Font Name='&#300;'/>", kErrorCodePage},
        {"<Font Name='&#x110000;'/>", kData},
        {"<Font ID='2'/>", kAttr},
        {"<Font ID='128'/>", kData},
        {"<Font ID='0'/>", kData},
        {"<Style ID='2'/>", kAttr},
        {"<Style ID='512'/>", kData},
        {S("<FontRef FontID='1'/>"), kAttr},
        {S("<FontRef FontID='128'/>"), kData},
        {S("<FontRef Color='#0f0'/>"), kAttr},
        {S("<Borders Style='continuous'/>"), kAttr},
        {S("<FillPattern PatternType='Grey50'/>"), kAttr},
        {S("<FillPattern PatternColor='#12345'/>"), kAttr},
        {S("<Alignment Rotation='91'/>"), kData},
        {S("<Alignment HorizontalIndent='255'/>"), kData},
        {S("<Alignment VerticalAlignment='Middle'/>"), kAttr},
        {S("<DropDownListRef ListID='0'/>"), kData},
        {S("<DropDownListRef ListID='101'/>"), kData},
        {S("<Alignment/><FillPattern/>"), kElem},
        {S("<Shading/>"), kElem},
        {S("<FontRef></FontRef>"), kElem},
        {NF("<Time Index='10'/>"), kData},
        {NF("<Currency/>"), kMiss},
        {NF("<Currency Symbol='" + s15 + "'/>"), kData},
        {NF("<Accounting Symbol='" + s15 + "'/>"), kData},
        {NF("<Currency Symbol='" + std::string(1025, 's') + "'/>"), kAttr},
        {NF("<Scientific Exponent=' 5'/>"), kData},
        {NF("<Accounting/>"), kMiss},
        {NF("<Scientific Exponent='100'/>"), kData},
        {NF("<Fraction Denominator='0'/>"), kData},
        {NF("<General DecimalDigits='15'/>"), kData},
        {NF("<General Negative='minus'/>"), kAttr},
        {NF("<General></General>"), kElem},
        {NF("<Money/>"), kElem},
        {NF("<Default/><Default/>"), kElem},
        {NF("<UserDefined>" + std::string(1032, '0') + "</UserDefined>"), kData},
        {S("<Alignment Rotation=' 45 '/>"), kData},
        {S("<Alignment Rotation=' -45'/>"), kData}, // blanks come after the sign
        {"<Style><NumberFormat><Default/>", kElem, 5},
    });
}

// Each row's style against the plain style with only the fields the row names changed.
TEST(XmlStyles, StylesReadWhole) {
    const StyleRecord plain = ReadStyle("");
    const COLORREF text = GetSystemColor(kColorWindowText), window = GetSystemColor(kColorWindow);
    auto with = [&](auto change) {
        StyleRecord s = plain;
        change(s);
        return s;
    };
    auto fill = [&](InteriorFill f) { return with([&](StyleRecord& s) { s.fill = f; }); };
    auto border = [&](uint8_t sides, BorderLine line) {
        return with([&](StyleRecord& s) { s.borderSides = sides, s.borderLine = line; });
    };
    const std::pair<std::string, StyleRecord> cases[] = {
        {"<FillPattern/>", fill({0, 0, window, 0, window})},
        {"<FillPattern PatternType='Solid'/>", fill({1, 0, window, 0, window})},
        {"<FillPattern PatternType='Gray50'/>", fill({4, 0, text, 0, window})},
        {"<FillPattern PatternType='HorzSymGradient' PatternColor='#00ff80' "
         "BackgroundColor='navy'/>",
         fill({22, 1, Rgb(0, 255, 128), 1, Rgb(0, 0, 128)})},
        {"<Borders/>", border(0, {0, 0, text})},
        {"<Borders Style='Continuous1px'>DiagonalLeft</Borders>", border(16, {6, 0, text})},
        {"<Borders Style='Double' Color='#FF0000'>Left Top</Borders>", border(5, {9, 1, 0xFF})},
        {"<Borders Style='Dot'>  Right\r\n Bottom DiagonalRight LeftX </Borders>",
         border(8 | 2 | 32, {2, 0, text})},
        {"<FontRef FontID='0'/>", plain},
        {"<Alignment VerticalAlignment='Bottom' HorizontalAlignment='Center' "
         "HorizontalIndent='254' VerticalIndent='0' WrapText='1' FitToCell='true' Rotation='-90'/>"
         "<DropDownListRef ListID='100' Sort='0' AutoAppend='1' AutoComplete='Yes'/>"
         "<Protection Protect='1' HideFormula='true'/>",
         with([](StyleRecord& s) {
             s.verticalAlignment = 7, s.horizontalAlignment = 2, s.horizontalIndent = 254;
             s.verticalIndent = 0, s.wrapText = s.fitToCell = 1, s.rotation = -90;
             s.dropDownList = 100, s.autoAppend = s.autoComplete = 1;
             s.isProtected = s.formulaHidden = 1;
         })},
        {"<Protection Protected='1' Hidden='0'/>", with([](StyleRecord& s) { s.isProtected = 1; })},
        {"<Alignment VerticalAlignment='Default'/>", plain},
        {"<Alignment Rotation=' 45'/>", with([](StyleRecord& s) { s.rotation = 45; })},
    };
    for (const auto& [children, expected] : cases)
        EXPECT_EQ(StyleBytes(ReadStyle(children)), StyleBytes(expected)) << children;
    EXPECT_EQ(std::tuple(plain.verticalAlignment, plain.horizontalIndent), std::tuple(0, 4));
    const FontRef ref = ReadStyle("<FontRef FontID='1' Color='Lime'/>", "<Font/>").fontRef;
    EXPECT_EQ(std::tuple(ref.fontIndex, ref.colorGiven, ref.color),
              std::tuple(1, 1, Rgb(0, 255, 0)));
}

// Each row: the child, then its kind and the parameters read, as index and value pairs.
TEST(XmlStyles, NumberFormatFamilies) {
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"<General DecimalDigits='3' LeadingZeroes='2' GroupDigits='1' Negative='RedAndBrackets'/>",
         {STD_STYLE_GENERAL, 0, 1, 1, 3, 2, 1, 3, 2, 4, 1, 5, 3}},
        {"<Currency Symbol='&#x20AC;' SymbolPosition='$ 1.1' Negative='Brackets'/>",
         {STD_STYLE_CURRENCY, 0, 0x80, 1, 0, kCurrencyDecimals, 2, kSymbolPosition, 1,
          kCurrencyNegative, 2}},
        {"<Accounting DecimalDigits='0' Symbol='" + std::string(14, 's') + "'/>",
         {STD_STYLE_ACCOUNTING, kCurrencyDecimals, 0}},
        {"<Date SystemDateOrder='1' Index='10'/>",
         {STD_STYLE_DATE, kDateStyle, 10, kDateOrderFlag, 1}},
        {"<DateTime DateIndex='2' TimeIndex='10' DateAfterTime='1'/>",
         {STD_STYLE_DATE_TIME, kTimeStyle, 10, kTimeFirst, 1}},
        {"<Percentage/>", {STD_STYLE_PERCENTAGE, kFixedDecimals, 0}},
        {"<Fraction DenominatorDigits='3' Denominator='16'/>", {STD_STYLE_FRACTION, 0, 0, 1, 3}},
        {"<Fraction Denominator='4294967294'/>", {STD_STYLE_FRACTION, 0, 1, 1, 2}},
        {"<Scientific Exponent='- 3'/>",
         {STD_STYLE_SCIENTIFIC, kExponentForm, 2, kExponentNumber, 3}},
        {"<Scientific Exponent='-0'/>",
         {STD_STYLE_SCIENTIFIC, kExponentForm, 2, kExponentNumber, 0}},
        {"<UserDefined>0.00 \"kg\"  </UserDefined>", {STD_STYLE_USER_DEFINED}},
        {"<UserDefined>" + std::string(1031, '0') + "</UserDefined>", {STD_STYLE_USER_DEFINED}},
        {"<UserDefined/>", {STD_STYLE_DEFAULT}},
        {"<Default/>", {STD_STYLE_DEFAULT}},
        {"", {STD_STYLE_DEFAULT}},
    };
    auto format = [](const std::string& child) {
        return ReadStyle("<NumberFormat>" + child + "</NumberFormat>").numberFormat;
    };
    for (const auto& [child, expected] : cases) {
        const StandardFormat f = format(child);
        EXPECT_EQ(f.kind, expected[0]) << child;
        for (std::size_t i = 1; i + 1 < expected.size(); i += 2)
            EXPECT_EQ(f.params[expected[i]], expected[i + 1]) << child << " " << expected[i];
    }
    // The fixed denominator, the code built from the parameters, and the user's code as written.
    EXPECT_EQ(LoadU64(format(cases[7].first).params + kFixedDenominator), 4294967294u);
    const StandardFormat general = format(cases[0].first);
    EXPECT_EQ(std::string(general.code), BuildStandardFormatCode(general.kind, general.params));
    EXPECT_FALSE(std::string(general.code).empty());
    EXPECT_STREQ(format(cases[10].first).code, "0.00 \"kg\"  ");
    EXPECT_EQ(std::string(format(cases[11].first).code), std::string(1031, '0'));
}

} // namespace
} // namespace vl::xmltest
