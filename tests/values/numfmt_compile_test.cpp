#include "values/numfmt_compile.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <tuple>

namespace vl {

namespace {

std::unique_ptr<CompiledFormat> Compile(const char* code, bool* ok = nullptr,
                                        const SeparatorSet* set = nullptr) {
    auto f = std::make_unique<CompiledFormat>();
    bool result = CompileFormatCode(*f, code, set);
    if (ok) *ok = result;
    return f;
}

// The token kinds of section `s` as a compact string, for comparing shapes.
std::string Kinds(const CompiledFormat& f, int s) {
    static const std::pair<uint32_t, const char*> names[] = {
        {kFmtThousands, ","}, {kFmtDecimal, "."},  {kFmtExponent, "E"}, {kFmtSlash, "/"},
        {kFmtText, "@"},      {kFmtSpace, "_"},    {kFmtFill, "*"},     {kFmtCondition, "C"},
        {kFmtColorName, "K"}, {kFmtColorHex, "K"}, {kFmtYear, "y"},     {kFmtMonth, "M"},
        {kFmtDay, "d"},       {kFmtHour, "h"},     {kFmtMinute, "m"},   {kFmtSecond, "s"},
        {kFmtAmPm, "AP"},     {kFmtTimeSep, ":"},  {kFmtDateSep, "-"}};
    std::string out;
    const FormatSection& sec = f.sections[s];
    for (uint16_t k = sec.firstToken; k < sec.EndToken(); ++k) {
        const FormatToken& t = f.tokens[k];
        uint32_t kind = t.kind & ~kFmtElapsed;
        std::string name = kind == kFmtLiteral ? std::string("'") + char(t.ch)
                           : kind == kFmtDigit ? std::string(1, char(t.ch))
                                               : "?";
        for (auto [bit, text] : names)
            if (kind == bit) name = text;
        if (t.kind & kFmtElapsed) name = "[" + name + "]";
        out += (out.empty() ? "" : " ") + name;
    }
    return out;
}

// Every token and every field of the sections in use, as one text.
std::string Dump(const CompiledFormat& f) {
    std::string out;
    auto add = [&out](auto... values) { ((out += std::to_string(values) + " "), ...); };
    for (uint16_t k = 0; k < f.tokenCount; ++k)
        add(f.tokens[k].kind, f.tokens[k].section, f.tokens[k].ch);
    for (int k = 0; k < f.sectionCount; ++k) {
        const FormatSection& s = f.sections[k];
        add(s.kinds, s.firstToken, s.tokenCount, s.intDigits, s.decimalIndex, s.slashIndex,
            s.fracDigits, s.exponentSign, s.exponentIndex, s.exponentDigits, s.lastFracIsHash,
            s.scaling, s.bracketCount);
        for (int j = 0; j < s.bracketCount; ++j)
            add(s.brackets[j].kind, s.brackets[j].value, s.brackets[j].number);
    }
    return out;
}

} // namespace

TEST(FormatCompile, CountsPlaceholdersSeparatorsScalingExponentsAndFractions) {
    struct Case {
        const char* code;
        int intDigits, fracDigits, scaling, expDigits;
        const char* kinds; // null: the code fails
    } cases[] = {
        {"#,##0.00", 4, 2, 0, 0, "# , # # 0 . 0 0"},
        {"#,##0,", 4, 0, 1, 0, "# , # # 0"},
        {"0.0,,", 1, 1, 2, 0, "0 . 0"},
        {"0.00E+00", 1, 2, 0, 2, "0 . 0 0 E 0 0"},
        {"0E5", 1, 0, 0, 0, "0 'E '5"},
        {"0e+\"05\"", 1, 0, 0, 1, "0 E '0 '5"}, // a fixed exponent of literal digits
        {"# ?/?", 2, 1, 0, 0, "# '  ? / ?"},
        {"# ?/8", 2, 1, 0, 0, "# '  ? / '8"},
        {"0.00E+", 0, 0, 0, 0, nullptr},
        {"?/", 0, 0, 0, 0, nullptr},
        {"/?", 0, 0, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        bool ok;
        auto f = Compile(c.code, &ok);
        ASSERT_EQ(ok, c.kinds != nullptr) << c.code;
        if (!ok) continue;
        const FormatSection& s = f->sections[0];
        EXPECT_EQ(
            std::tuple(int(f->sectionCount), int(s.intDigits), int(s.fracDigits), int(s.scaling),
                       int(s.exponentDigits), Kinds(*f, 0)),
            std::tuple(1, c.intDigits, c.fracDigits, c.scaling, c.expDigits, std::string(c.kinds)))
            << c.code;
    }
    EXPECT_EQ(Compile("0.00E+00")->sections[0].exponentSign, '+');
    EXPECT_EQ(Compile("0E5")->sections[0].exponentIndex, kNoToken);
}

TEST(FormatCompile, SectionsBracketsAndColoursUpToTheirLimits) {
    bool ok;
    auto f = Compile("[red]#,##0;[blue](#,##0)", &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(f->sectionCount, 2);
    EXPECT_EQ(f->sections[0].brackets[0].value, 0x0000FFu);
    EXPECT_EQ(f->sections[1].brackets[0].value, 0xFF0000u);
    EXPECT_EQ(Kinds(*f, 1), "K '( # , # # 0 ')");
    f = Compile("[>=100][<0][=5]0", &ok); // three bracket items: the most a section holds
    ASSERT_TRUE(ok);
    const BracketItem* b = f->sections[0].brackets;
    EXPECT_EQ(
        std::tuple(b[0].value, b[0].number, b[1].value, b[2].value),
        std::tuple(uint32_t(kCmpGreaterEqual), 100.0, uint32_t(kCmpLess), uint32_t(kCmpEqual)));
    f = Compile("[#1A2b3C]0", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(f->sections[0].brackets[0].kind, uint32_t(kFmtColorHex));
    EXPECT_EQ(f->sections[0].brackets[0].value, 0x3C2B1Au);
    EXPECT_EQ(Compile("0;0;0;0", &ok)->sectionCount, 4); // four sections: the most
    EXPECT_TRUE(ok);
    for (const char* bad :
         {"[>=100][<0][=5][red]0", "0;0;0;0;0", "[red0", "\"abc", "[$USD", "[$$-409", "0[$"}) {
        Compile(bad, &ok);
        EXPECT_FALSE(ok) << bad;
    }
    for (auto [code, kinds] :
         {std::pair{"General", "@"}, {"general", "@"}, {"\"USD\" 0", "'U 'S 'D '  0"}}) {
        EXPECT_EQ(Kinds(*Compile(code, &ok), 0), kinds);
        EXPECT_TRUE(ok) << code;
    }
    EXPECT_EQ(Compile("", &ok)->sectionCount, 0);
    EXPECT_TRUE(ok);
    // An empty middle section still counts: zeros show nothing in "0;-0;;@".
    EXPECT_EQ(Compile("0;-0;;@", &ok)->sectionCount, 4);
    EXPECT_TRUE(ok);
}

TEST(FormatCompile, DateAndTimeKeywords) {
    struct Case {
        const char* code;
        bool ok;
        const char* kinds;
    } cases[] = {
        {"hh:mm:ss", true, "h : m : s"},
        {"mm:ss", true, "m : s"},
        {"m/d/yy", true, "M - d - y"},
        {"[h]:mm", true, "[h] : m"},
        {"[mm]", true, "[m]"},
        {"[yy]", false, ""},
        {"[mmm]", false, ""},
        {"[ddd]", false, ""},
        {"0[h]", false, ""},
        {"hh:mm:ss.00", true, "h : m : s . 0 0"},
        {"h:mm AM/PM", true, "h : m '  AP"},
        {"dddd, mmmm dd, yyyy", true, "d ', '  M '  d ', '  y"},
        {"[$-409]d", true, "d"},
        {"0 d", false, ""},
        {"d 0", true, "d '  '0"},
        {"yyyy-mm-dd", true, "y '- M '- d"},
    };
    for (const Case& c : cases) {
        bool ok;
        auto f = Compile(c.code, &ok);
        ASSERT_EQ(ok, c.ok) << c.code;
        EXPECT_EQ(ok ? Kinds(*f, 0) : "", c.kinds) << c.code;
    }
    auto f = Compile("[h]:mm");
    EXPECT_EQ(f->tokens[0].kind, uint32_t(kFmtHour | kFmtElapsed));
}

TEST(FormatCompile, ReadsTheSeparatorsOfTheSetAndStoresInternalOnes) {
    SeparatorSet user;
    user.decimal = ',';
    user.thousands = '.';
    bool ok;
    auto f = Compile("#.##0,00", &ok, &user);
    ASSERT_TRUE(ok);
    EXPECT_EQ(Kinds(*f, 0), "# , # # 0 . 0 0");
    EXPECT_EQ(f->tokens[1].ch, ',');
    EXPECT_EQ(f->tokens[5].ch, '.');
    EXPECT_EQ(DescribeFormatCode(*f, &user), "#.##0,00");
    EXPECT_EQ(DescribeFormatCode(*f), "#,##0.00");
}

TEST(FormatCompile, DescribedCodesCompileToTheSameFormat) {
    const char* pieces[] = {"0",    "#",         "?",      ",",   ".",    "/",    "E+",
                            "e-",   "mm",        "m",      "yy",  "yyyy", "d",    "ddd",
                            "h",    "ss",        "AM/PM",  "A/P", "[h]",  "[mm]", "[red]",
                            "[<5]", "[#102030]", "\"ab\"", "\\x", "_)",   "*-",   "@",
                            ";",    " ",         "-",      ":",   "%",    "8",    "General"};
    std::mt19937 random(31012006);
    auto f = std::make_unique<CompiledFormat>();
    auto again = std::make_unique<CompiledFormat>();
    int compiled = 0;
    const char* seeds[] = {"#,##0.00", "#,##0,", "0.0,,", "[>=100]0.0", "dddd\", \"mmmm", "# ?/8",
                           "[#1A2B3C]0", "0;-0;;@", "hh:mm:ss.00", ",[red]mm",
                           // conditions whose numbers take 15 and 17 digits to read back
                           "[>123456789012345]0", "[<0.123456789012345]0", "[>123456789012345678]0",
                           "[<=1.2345678901234567E-20]0"};
    for (int i = 0; i < 30000; ++i) {
        std::string code = i < int(std::size(seeds)) ? seeds[i] : "";
        for (int n = code.empty() ? 1 + int(random() % 8) : 0; n > 0; --n)
            code += pieces[random() % std::size(pieces)];
        if (!CompileFormatCode(*f, code)) continue;
        ++compiled;
        std::string text = DescribeFormatCode(*f);
        ASSERT_TRUE(CompileFormatCode(*again, text)) << code << " -> " << text;
        ASSERT_EQ(Dump(*again), Dump(*f)) << code << " -> " << text;
    }
    EXPECT_GT(compiled, 3000);
}

TEST(FormatCompile, ColoursAndKeywordScanning) {
    // The text, whether it reads and the colour read (BGR).
    for (auto [text, ok, expected] : {std::tuple{"Yellow", true, 0x00FFFFu},
                                      {"#ff0000", true, 0x0000FFu},
                                      {"#ff00001", false, 7u},
                                      {"#ff00", false, 7u},
                                      {"orange", false, 7u}}) {
        uint32_t color = 7;
        EXPECT_EQ(ParseColor(text, color), ok) << text;
        EXPECT_TRUE(!ok || color == expected) << text;
    }
    EXPECT_EQ(FormatColor(0x0000FF, true), "red");
    EXPECT_EQ(FormatColor(0x0000FF, false), "#FF0000");
    EXPECT_EQ(FormatColor(0x123456, true), "#563412");

    // The text, the keyword read, its letters and the position after it.
    for (auto [text, kind, count, end] : {std::tuple{"mmmmmm", uint32_t(kFmtMonth), 5, 5u},
                                          {"y", 0u, -1, 0u},
                                          {"A/P", uint32_t(kFmtAmPm), 3, -1u},
                                          {"am/pm", 0u, -1, 0u}}) {
        std::size_t pos = 0;
        uint8_t letters = 0;
        EXPECT_EQ(ScanDateTimeKeyword(text, pos, letters), kind) << text;
        EXPECT_TRUE(count < 0 || letters == count) << text;
        EXPECT_TRUE(end == -1u || pos == end) << text;
    }
}

TEST(FormatCompile, RefusesTheTokenAfterTheLast) {
    auto f = std::make_unique<CompiledFormat>();
    EXPECT_TRUE(CompileFormatCode(*f, std::string(kMaxFormatTokens, '0')));
    EXPECT_FALSE(CompileFormatCode(*f, std::string(kMaxFormatTokens + 1, '0')));
    EXPECT_EQ(f->overflow, 1);
    EXPECT_FALSE(AddFormatToken(*f, kFmtLiteral, 0, 'x'));
}

} // namespace vl
