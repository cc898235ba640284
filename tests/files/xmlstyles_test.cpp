// Reading the font and style tables: every attribute's table, range and default.

#include "formula/values/standardformat.h"
#include "platform/core/bytes.h"
#include "xmltestutil.h"

#include <cstring>

namespace vl {
namespace xmltest {
namespace {

using namespace fmtparam;

Loaded ReadStyles(const std::string& styles) {
    return ReadFromMemory(Document("<Styles>\r\n" + styles + "\r\n</Styles>\r\n<Worksheet/>"));
}

// A style table of one style holding `children`, after the fonts given.
Loaded ReadStyle(const std::string& children, const std::string& fonts = "") {
    return ReadStyles(fonts + "<Style>" + children + "</Style>");
}

struct Outcome {
    std::string name;
    std::string children;
    ErrorCode error;
};

void ExpectErrors(const std::vector<Outcome>& cases, const std::string& fonts = "") {
    for (const Outcome& c : cases) {
        Loaded l = ReadStyle(c.children, fonts);
        EXPECT_EQ(l.error, c.error) << c.name;
    }
}

TEST(XmlStyles, FontAttributes) {
    Loaded l = ReadStyles("<Font Name='A&amp;B&#65;&#x41;' Family='Decorative' Size='254' "
                          "Weight='Regular' Slant='Roman' Underline='true' Strikeout='No' "
                          "CharSet='Chineese'/><Font ID='2' Size='1' Weight='Heavy' "
                          "Slant='Italic'/>");
    ASSERT_TRUE(l.ok) << int(l.error);
    const StyleTables& t = l.book->styles;
    ASSERT_EQ(t.fontCount, 3);
    EXPECT_STREQ(t.fonts[1].faceName, "A&BAA");
    EXPECT_EQ(t.fonts[1].family, 5);
    EXPECT_EQ(t.fonts[1].size, 254);
    EXPECT_EQ(t.fonts[1].weight, 0);
    EXPECT_EQ(t.fonts[1].italic, 0);
    EXPECT_EQ(t.fonts[1].underline, 1);
    EXPECT_EQ(t.fonts[1].strikeout, 0);
    EXPECT_EQ(t.fonts[1].charSet, 3);
    EXPECT_EQ(t.fonts[2].size, 1);
    EXPECT_EQ(t.fonts[2].weight, 3);
    EXPECT_EQ(t.fonts[2].italic, 1);
    EXPECT_EQ(t.fonts[2].faceName[0], 0);
}

TEST(XmlStyles, FontErrors) {
    const std::pair<std::string, ErrorCode> cases[] = {
        {"Size='0'", kErrorXmlData},
        {"Size='255'", kErrorXmlData},
        {"Size='12pt'", kErrorXmlData},
        {"Weight='bold'", kErrorXmlAttribute},
        {"CharSet='Chinese'", kErrorXmlAttribute},
        {"Underline='TRUE'", kErrorXmlAttribute},
        {"Family=''", kErrorXmlAttribute},
        {"Slant='Oblique'", kErrorXmlAttribute},
        {"Name='" + std::string(128, 'n') + "'", kErrorXmlAttribute},
        {"Name='&#300;'", kErrorXmlData},
        {"Name='&#65'", kErrorXmlData},
        {"ID='2'", kErrorXmlAttribute},
        {"ID='128'", kErrorXmlData},
        {"ID='0'", kErrorXmlData},
    };
    for (const auto& [attributes, error] : cases)
        EXPECT_EQ(ReadStyles("<Font " + attributes + "/>").error, error) << attributes;
    // A name is counted after decoding, so an escaped name of 127 characters fits.
    std::string escaped;
    for (int i = 0; i < 127; ++i) escaped += "&quot;";
    Loaded l = ReadStyles("<Font Name='" + escaped + "'/>");
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(std::string(l.book->styles.fonts[1].faceName), std::string(127, '"'));
}

TEST(XmlStyles, FontAndStyleTablesHaveTheirLimits) {
    std::string fonts, styles;
    for (int i = 1; i < kMaxFonts; ++i) fonts += "<Font Size='" + std::to_string(i) + "'/>";
    for (int i = 1; i < kMaxStyles; ++i) styles += "<Style ID='" + std::to_string(i) + "'/>";
    Loaded full = ReadStyles(fonts + styles);
    ASSERT_TRUE(full.ok) << int(full.error);
    EXPECT_EQ(full.book->styles.fontCount, kMaxFonts);
    EXPECT_EQ(full.book->styles.styleCount, kMaxStyles);
    EXPECT_EQ(full.book->styles.fonts[127].size, 127);
    EXPECT_EQ(ReadStyles(fonts + "<Font/>").error, kErrorXmlElement);
    EXPECT_EQ(ReadStyles(styles + "<Style/>").error, kErrorXmlElement);
    EXPECT_EQ(ReadStyles("<Style ID='2'/>").error, kErrorXmlAttribute);
    EXPECT_EQ(ReadStyles("<Style ID='512'/>").error, kErrorXmlData);
}

TEST(XmlStyles, FontRefNamesAFontAlreadyRead) {
    ExpectErrors({{"EmptyTable", "<FontRef FontID='0'/>", 0},
                  {"PastTheTable", "<FontRef FontID='1'/>", kErrorXmlAttribute},
                  {"PastTheLimit", "<FontRef FontID='128'/>", kErrorXmlData},
                  {"Plus", "<FontRef FontID='+0'/>", kErrorXmlData},
                  {"Colour", "<FontRef Color='#0f0'/>", kErrorXmlAttribute}});
    Loaded l = ReadStyle("<FontRef FontID='1' Color='Lime'/>", "<Font/>");
    ASSERT_TRUE(l.ok);
    const FontRef& ref = l.book->styles.styles[1].fontRef;
    EXPECT_EQ(ref.fontIndex, 1);
    EXPECT_EQ(ref.colorGiven, 1);
    EXPECT_EQ(ref.color, Rgb(0, 255, 0));
}

TEST(XmlStyles, FillsAndBordersTakeTheirDefaults) {
    struct Case {
        std::string children;
        InteriorFill fill;
        uint8_t sides;
        BorderLine line;
    };
    const COLORREF text = GetSystemColor(kColorWindowText), window = GetSystemColor(kColorWindow);
    const Case cases[] = {
        {"<FillPattern/>", {0, 0, window, 0, window}, 0, {}},
        {"<FillPattern PatternType='Solid'/>", {1, 0, window, 0, window}, 0, {}},
        {"<FillPattern PatternType='Gray50'/>", {4, 0, text, 0, window}, 0, {}},
        {"<FillPattern PatternType='HorzSymGradient' PatternColor='#00ff80' "
         "BackgroundColor='navy'/>",
         {22, 1, Rgb(0, 255, 128), 1, Rgb(0, 0, 128)},
         0,
         {}},
        {"<Borders/>", {}, 0, {0, 0, text}},
        {"<Borders Style='Continuous1px'>DiagonalLeft</Borders>", {}, 16, {6, 0, text}},
        {"<Borders Style='Double' Color='#FF0000'>Left Top</Borders>", {}, 5, {9, 1, 0xFF}},
        {"<Borders Style='Dot'>  Right\r\n Bottom DiagonalRight LeftX </Borders>",
         {},
         8 | 2 | 32,
         {2, 0, text}},
    };
    for (const Case& c : cases) {
        Loaded l = ReadStyle(c.children);
        ASSERT_TRUE(l.ok) << c.children << " " << int(l.error);
        const StyleRecord& s = l.book->styles.styles[1];
        uint8_t a[kInteriorFillSize], b[kInteriorFillSize];
        WriteInteriorFill(a, s.fill);
        WriteInteriorFill(b, c.fill);
        EXPECT_EQ(0, std::memcmp(a, b, sizeof a)) << c.children;
        EXPECT_EQ(s.borderSides, c.sides) << c.children;
        EXPECT_EQ(s.borderLine.style, c.line.style) << c.children;
        EXPECT_EQ(s.borderLine.colorGiven, c.line.colorGiven) << c.children;
        EXPECT_EQ(s.borderLine.color, c.line.color) << c.children;
    }
    ExpectErrors({{"LowerCaseStyle", "<Borders Style='continuous'/>", kErrorXmlAttribute},
                  {"UnknownPattern", "<FillPattern PatternType='Grey50'/>", kErrorXmlAttribute},
                  {"BadColour", "<FillPattern PatternColor='#12345'/>", kErrorXmlAttribute}});
}

TEST(XmlStyles, AlignmentListReferenceAndProtection) {
    Loaded l = ReadStyle("<Alignment VerticalAlignment='Bottom' HorizontalAlignment='Center' "
                         "HorizontalIndent='254' VerticalIndent='0' WrapText='1' "
                         "FitToCell='true' Rotation='-90'/><DropDownListRef ListID='100' "
                         "Sort='0' AutoAppend='1' AutoComplete='Yes'/><Protection "
                         "Protect='1' HideFormula='true'/>");
    ASSERT_TRUE(l.ok) << int(l.error);
    const StyleRecord& s = l.book->styles.styles[1];
    EXPECT_EQ(s.verticalAlignment, 7);
    EXPECT_EQ(s.horizontalAlignment, 2);
    EXPECT_EQ(s.horizontalIndent, 254);
    EXPECT_EQ(s.verticalIndent, 0);
    EXPECT_EQ(s.wrapText, 1);
    EXPECT_EQ(s.fitToCell, 1);
    EXPECT_EQ(s.rotation, -90);
    EXPECT_EQ(s.dropDownList, 100);
    EXPECT_EQ(s.autoAppend, 1);
    EXPECT_EQ(s.autoComplete, 1);
    EXPECT_EQ(s.isProtected, 1);
    EXPECT_EQ(s.formulaHidden, 1);
    Loaded written = ReadStyle("<Protection Protected='1' Hidden='0'/>");
    ASSERT_TRUE(written.ok);
    EXPECT_EQ(written.book->styles.styles[1].isProtected, 1);
    EXPECT_EQ(written.book->styles.styles[1].formulaHidden, 0);
    Loaded kept = ReadStyle("<Alignment VerticalAlignment='Default'/>");
    EXPECT_EQ(kept.book->styles.styles[1].verticalAlignment, 0);
    EXPECT_EQ(kept.book->styles.styles[1].horizontalIndent, 4);
    ExpectErrors({{"Rotation91", "<Alignment Rotation='91'/>", kErrorXmlData},
                  {"Indent255", "<Alignment HorizontalIndent='255'/>", kErrorXmlData},
                  {"Middle", "<Alignment VerticalAlignment='Middle'/>", kErrorXmlAttribute},
                  {"List0", "<DropDownListRef ListID='0'/>", kErrorXmlData},
                  {"List101", "<DropDownListRef ListID='101'/>", kErrorXmlData},
                  {"OutOfOrder", "<Alignment/><FillPattern/>", kErrorXmlElement},
                  {"Unknown", "<Shading/>", kErrorXmlElement},
                  {"NotEmpty", "<FontRef></FontRef>", kErrorXmlElement}});
}

StandardFormat FormatOf(const std::string& child) {
    Loaded l = ReadStyle("<NumberFormat>" + child + "</NumberFormat>");
    EXPECT_TRUE(l.ok) << child << " " << int(l.error);
    return l.book->styles.styles[1].numberFormat;
}

TEST(XmlStyles, NumberFormatFamilies) {
    StandardFormat f = FormatOf("<General DecimalDigits='3' LeadingZeroes='2' GroupDigits='1' "
                                "Negative='RedAndBrackets'/>");
    EXPECT_EQ(f.kind, STD_STYLE_GENERAL);
    const uint8_t general[6] = {1, 3, 1, 2, 1, 3};
    EXPECT_EQ(0, std::memcmp(f.params, general, 6));
    EXPECT_EQ(std::string(f.code), BuildStandardFormatCode(f.kind, f.params));
    EXPECT_FALSE(std::string(f.code).empty());

    f = FormatOf("<Currency Symbol='&#x80;' SymbolPosition='$ 1.1' Negative='Brackets'/>");
    EXPECT_EQ(f.kind, STD_STYLE_CURRENCY);
    EXPECT_STREQ(reinterpret_cast<const char*>(f.params + kCurrencySymbol), "\x80");
    EXPECT_EQ(f.params[kCurrencyDecimals], 2);
    EXPECT_EQ(f.params[kSymbolPosition], 1);
    EXPECT_EQ(f.params[kCurrencyNegative], 2);

    f = FormatOf("<Accounting DecimalDigits='0' Symbol='" + std::string(14, 's') + "'/>");
    EXPECT_EQ(f.params[kCurrencyDecimals], 0);
    f = FormatOf("<Date SystemDateOrder='1' Index='10'/>");
    EXPECT_EQ(f.params[kDateStyle], 10);
    EXPECT_EQ(f.params[kDateOrderFlag], 1);
    f = FormatOf("<DateTime DateIndex='2' TimeIndex='10' DateAfterTime='1'/>");
    EXPECT_EQ(f.kind, STD_STYLE_DATE_TIME);
    EXPECT_EQ(f.params[kTimeStyle], 10);
    EXPECT_EQ(f.params[kTimeFirst], 1);
    f = FormatOf("<Percentage/>");
    EXPECT_EQ(f.params[kFixedDecimals], 0);
    f = FormatOf("<Fraction DenominatorDigits='3' Denominator='16'/>");
    EXPECT_EQ(f.params[kDenominatorMode], 0);
    EXPECT_EQ(f.params[kDenominatorDigits], 3);
    f = FormatOf("<Fraction Denominator='4294967294'/>");
    EXPECT_EQ(f.params[kDenominatorMode], 1);
    EXPECT_EQ(f.params[kDenominatorDigits], 2);
    EXPECT_EQ(LoadU64(f.params + kFixedDenominator), 4294967294u);
    f = FormatOf("<Scientific Exponent='- 3'/>");
    EXPECT_EQ(f.params[kExponentForm], 2);
    EXPECT_EQ(f.params[kExponentNumber], 3);
    f = FormatOf("<Scientific Exponent='-0'/>");
    EXPECT_EQ(f.params[kExponentForm], 2);
    EXPECT_EQ(f.params[kExponentNumber], 0);
    f = FormatOf("<UserDefined>0.00 \"kg\"  </UserDefined>");
    EXPECT_EQ(f.kind, STD_STYLE_USER_DEFINED);
    EXPECT_STREQ(f.code, "0.00 \"kg\"  ");
    f = FormatOf("<UserDefined/>");
    EXPECT_EQ(f.kind, STD_STYLE_DEFAULT);
    f = FormatOf("<Default/>");
    EXPECT_EQ(f.kind, STD_STYLE_DEFAULT);
    f = FormatOf("");
    EXPECT_EQ(f.kind, STD_STYLE_DEFAULT);
}

TEST(XmlStyles, NumberFormatErrors) {
    ExpectErrors({
        {"TimeIndex10", "<NumberFormat><Time Index='10'/></NumberFormat>", kErrorXmlData},
        {"CurrencyWithoutSymbol", "<NumberFormat><Currency/></NumberFormat>", kErrorXmlMissing},
        {"Symbol15",
         "<NumberFormat><Currency Symbol='" + std::string(15, 's') + "'/></NumberFormat>",
         kErrorXmlAttribute},
        {"AccountingWithoutSymbol", "<NumberFormat><Accounting/></NumberFormat>", kErrorXmlMissing},
        {"Exponent100", "<NumberFormat><Scientific Exponent='100'/></NumberFormat>", kErrorXmlData},
        {"Denominator0", "<NumberFormat><Fraction Denominator='0'/></NumberFormat>", kErrorXmlData},
        {"Decimals15", "<NumberFormat><General DecimalDigits='15'/></NumberFormat>", kErrorXmlData},
        {"UnknownNegative", "<NumberFormat><General Negative='minus'/></NumberFormat>",
         kErrorXmlAttribute},
        {"GeneralNotEmpty", "<NumberFormat><General></General></NumberFormat>", kErrorXmlElement},
        {"UnknownChild", "<NumberFormat><Money/></NumberFormat>", kErrorXmlElement},
        {"TwoChildren", "<NumberFormat><Default/><Default/></NumberFormat>", kErrorXmlElement},
        {"NoEnd", "<NumberFormat><Default/>", kErrorXmlElement},
    });
}

} // namespace
} // namespace xmltest
} // namespace vl
