#include "ui/uiutil.h"
#include "uitestutil.h"

#include <QComboBox>
#include <QWidget>
#include <tuple>

namespace vl {

namespace {

// The number conversions, run once under the C locale and once under a decimal-comma
// locale: the answers must not change.
void CheckNumberTexts() {
    struct Format {
        char sep;
        double value;
        int decimals;
        const char* text;
    };
    const Format formats[] = {
        {',', 12.5, 3, "12,5"},  {'.', 3, 3, "3"},      {'.', 1e20, 2, "100000000000000000000"},
        {'.', -0.26, 1, "-0.3"}, {',', 0.5, -1, "0,5"}, {'.', 1.5e20, -1, "1.5e+020"},
        {',', 1.25, 0, "1"},     {',', 100, 2, "100"},  {'.', 0, 2, "0"},
        {'.', -0.001, 2, "0"},   {',', -0.4, 0, "0"},   {'.', -0.005, 2, "-0.01"},
    };
    for (const Format& f : formats)
        EXPECT_EQ(FormatNumber(f.sep, f.value, f.decimals), f.text) << f.value;
    struct Parse {
        const char* text;
        char sep;
        bool ok;
        double value;
    };
    const Parse parses[] = {{" 3,5 ", ',', true, 3.5},  {"3,5x", ',', false, 0},
                            {"", ',', true, 0},         {"   ", '.', true, 0},
                            {"-2.5e1", '.', true, -25}, {"1,5", '.', false, 0},
                            {"abc", '.', false, 0},     {"1e999", '.', false, 0}};
    for (const Parse& p : parses) {
        double v = -1;
        EXPECT_EQ(ParseNumber(p.text, p.sep, v), p.ok) << p.text;
        if (p.ok) {
            EXPECT_DOUBLE_EQ(v, p.value) << p.text;
        }
    }
}

} // namespace

TEST(UiUtil, NumberTextsAreTheSameUnderADecimalCommaLocale) {
    CheckNumberTexts();
    uitest::CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    CheckNumberTexts();
}

TEST(UiUtil, ColumnLettersBothWays) {
    struct Case {
        uint32_t number;
        const char* letters;
    };
    const Case cases[] = {{0, ""},    {1, "A"},    {26, "Z"},    {27, "AA"},   {52, "AZ"},
                          {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {2047, "BZS"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ColumnNumberToLetters(c.number), c.letters);
        uint32_t n = 99;
        EXPECT_TRUE(ColumnLettersToNumber(std::string(" ") + c.letters + " ", n));
        EXPECT_EQ(n, c.number) << c.letters;
    }
    uint32_t n = 5;
    EXPECT_FALSE(ColumnLettersToNumber("A1", n));
    EXPECT_FALSE(ColumnLettersToNumber("AB C", n));
    EXPECT_FALSE(ColumnLettersToNumber("ZZZZZZZZ", n)); // past 32 bits
    EXPECT_EQ(n, 5u);
}

TEST(UiUtil, IntegerLists) {
    struct Case {
        const char* text;
        int count;
        std::vector<std::pair<int, int>> pairs;
    };
    const Case cases[] = {
        {"1, 3, 5-7", 3, {{0, 0}, {2, 2}, {4, 6}}},
        {"7 - 5", 1, {{4, 6}}},
        {"", 0, {}},
        {",", 0, {}},
        {"10", 1, {{9, 9}}},
        {"5-", -1, {}},
        {"11", -1, {}}, // one past the highest
        {"0", -1, {}},  // one below the lowest
        {"1;2", -1, {}},
        {"1-2-3", -1, {}},
        {"99999999999999999999", -1, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int, int>> pairs;
        EXPECT_EQ(ParseIntegerList(c.text, &pairs, 1, 10), c.count) << c.text;
        if (c.count >= 0) {
            EXPECT_EQ(pairs, c.pairs) << c.text;
        }
        EXPECT_EQ(ParseIntegerList(c.text, nullptr, 1, 10), c.count) << c.text;
    }
}

TEST(UiUtil, OpacityAndGrey) {
    const int percents[][2] = {{3, 10}, {4, 10}, {5, 12}, {50, 127}, {99, 252}, {0, 10}};
    for (const auto& p : percents) EXPECT_EQ(OpacityAlpha(p[0]), p[1]) << p[0];
    EXPECT_EQ(GreyLevel(255, 0, 0), 54);
    EXPECT_EQ(GreyLevel(0, 255, 0), 182);
    EXPECT_EQ(GreyLevel(0, 0, 255), 18);
    EXPECT_EQ(GreyLevel(255, 255, 255), 255);
    QWidget w;
    EXPECT_TRUE(SetWindowOpacity(&w, 3));
    EXPECT_NEAR(w.windowOpacity(), 10 / 255.0, 0.01);
    EXPECT_TRUE(SetWindowOpacity(&w, 100));
    EXPECT_DOUBLE_EQ(w.windowOpacity(), 1.0);
}

TEST(UiUtil, FontsBothWays) {
    using LogFields = std::tuple<int, int, int, int, int, int, int, std::string>;
    auto logOf = [](const FontRecord& font, LogFont& log) {
        StyleFontToLogFont(font, log);
        return LogFields(log.height, log.weight, log.italic, log.underline, log.strikeOut,
                         log.charSet, log.pitchAndFamily, log.faceName);
    };
    auto fields = [](const FontRecord& f) {
        return std::tuple<std::string, int, int, int, int, int, int, int>(
            f.faceName, f.size, f.weight, f.italic, f.underline, f.strikeout, f.charSet, f.family);
    };
    FontRecord font;
    std::strcpy(font.faceName, "Courier New");
    font.size = 12;
    font.weight = 2;
    font.italic = 1;
    font.strikeout = 1;
    font.charSet = 4;
    font.family = 2;
    LogFont log;
    EXPECT_EQ(logOf(font, log), LogFields(-16, 700, 1, 0, 1, 238, 0x30, "Courier New"));
    FontRecord back;
    LogFontToStyleFont(back, log);
    EXPECT_EQ(fields(back), fields(font));
    // An empty record takes the default font's face and size; pitch bits give no family.
    EXPECT_EQ(logOf(FontRecord{}, log), LogFields(-13, 400, 0, 0, 0, 1, 0, "Arial"));
    log.pitchAndFamily = 0x22;
    LogFontToStyleFont(back, log);
    EXPECT_EQ(back.family, 0);
    EXPECT_EQ(back.charSet, 0); // 1 is not in the table read backwards
}

TEST(UiUtil, ComboLines) {
    QComboBox combo;
    EXPECT_TRUE(AddComboLines(&combo, "one\n\ntwo\nthree"));
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(2), QStringLiteral("three"));
    EXPECT_FALSE(AddComboLines(&combo, ""));
    EXPECT_FALSE(AddComboLines(&combo, std::string(1000, 'x')));
    EXPECT_TRUE(AddComboLines(&combo, std::string(999, 'x')));
    EXPECT_EQ(combo.count(), 4);
    QComboBox crlf;
    EXPECT_TRUE(AddComboLines(&crlf, "one\r\n\r\ntwo\r\nthree\r"));
    ASSERT_EQ(crlf.count(), 3);
    EXPECT_EQ(crlf.itemText(0), QStringLiteral("one"));
    EXPECT_EQ(crlf.itemText(1), QStringLiteral("two"));
    EXPECT_EQ(crlf.itemText(2), QStringLiteral("three"));
}

} // namespace vl
