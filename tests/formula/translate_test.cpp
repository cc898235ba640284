#include "evaltestutil.h"
#include "formula/evalcontext.h"
#include "formula/formulanumber.h"
#include "formula/translate.h"
#include "platform/core/number.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace vl {

namespace {

class TranslateTest : public test::FormulaTextTest {
protected:
    // The text translated in the cell (column, row); "!" and the text mark a failure.
    std::string Translate(std::string text, bool toInternal, uint16_t column = 0, uint32_t row = 0,
                          bool a1 = true, const SeparatorSet* set = nullptr) {
        UserNotation user{set ? set : &generic_, a1};
        return TranslateFormula(*ctx_, text, column, row, toInternal, user) ? text : "!" + text;
    }
    std::string ToUser(const std::string& text, uint16_t column = 0, uint32_t row = 0,
                       bool a1 = true, const SeparatorSet* set = nullptr) {
        return Translate(text, false, column, row, a1, set);
    }
    std::string ToInternal(const std::string& text, uint16_t column = 0, uint32_t row = 0,
                           bool a1 = true, const SeparatorSet* set = nullptr) {
        return Translate(text, true, column, row, a1, set);
    }
};

struct Case {
    const char* from;
    const char* to;
    bool toInternal = false;
    uint16_t column = 0;
    uint32_t row = 0;
};

} // namespace

TEST_F(TranslateTest, RewritesReferencesAgainstTheCell) {
    const Case cases[] = {
        {"=R[1]C+1", "=B6+1", false, 1, 4},
        {"=R1C1", "=$A$1", false, 7, 7},
        {"=R[-2]C[3]*R2C[-1]", "=H8*D$2", false, 4, 9},
        {"=H8*D$2", "=R[-2]C[3]*R2C[-1]", true, 4, 9},
        {"=$B$3", "=R3C2", true},
        // whole rows and columns
        {"=R5", "=$5:$5", false, 4, 9},
        {"=R[1]", "=11:11", false, 4, 9},
        {"=C[-1]", "=D:D", false, 4, 9},
        {"=SUM(C2:C[1])", "=SUM($B:F)", false, 4, 9},
        {"=R5_C3", "=$5:$5_$C:$C", false, 4, 9},
        {"=$5:$5", "=R5:R5", true, 4, 9},
        {"=C:E", "=C[-2]:C", true, 4, 9},
        {"=5+C", "=5+\"C\"", true, 4, 9}, // a lone 5 is a number, a lone C a name
        {"=RC+R1", "=\"RC\"+R[-9]C[13]", true, 4, 9},
        // out of range
        {"=A0+1", "=#REF!+1", true},
        {"=BZT1+XFD1048576", "=#REF!+#REF!", true},
        {"=R[-2]C", "=#REF!"},
        {"=C65537", "=#REF!"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Translate(c.from, c.toInternal, c.column, c.row), c.to) << c.from;
    for (const char* r1c1 : {"=R", "=R[-2]", "=R5"}) EXPECT_EQ(ToUser(r1c1, 4, 9, false), r1c1);
    EXPECT_EQ(ToInternal("=R99999999999C1", 0, 0, false), "=#REF!");
}

TEST_F(TranslateTest, RewritesNumbersKeepingTheirValue) {
    const Case cases[] = {
        {"=1.50", "=1.5"},
        {"=0.333333333333333333", "=3.333333333333333e-001"},
        {"=0.33333333333333", "=0.33333333333333"},
        {"=1.5e20", "=1.5e+020"},
        {"=123456789012345678", "=1.2345678901234568e+017"},
        {"=1.23456789E-10*2", "=1.23456789e-010*2", true},
        {"=999999999999999", "=999999999999999", true},
        {"=1e999", "=#NUM!"},
        // Where 15 digits read back as another number, the digits that do not.
        {"=9007199254740991", "=9007199254740991"},
        {"=1.7976931348623157E+308", "=1.7976931348623157e+308"},
        {"=0.9999999999999999", "=9.999999999999999e-001"},
        {"=-1234567890123456", "=-1234567890123456"},
        {"=TRUE+false", "=1+0"},
        {"={TRUE,0.123456789012345}", "={1, 0.123456789012345}", true},
        {"+2", "=2"},
    };
    for (const Case& c : cases) EXPECT_EQ(Translate(c.from, c.toInternal), c.to) << c.from;
    EXPECT_EQ(ToUser("=SUM(1.5,2)", 0, 0, true, &comma_), "=SUM(1,5;2)");
    EXPECT_EQ(ToUser("=1.5e20", 0, 0, true, &comma_), "=1,5e+020");
    EXPECT_EQ(ToInternal("=SUM(1,5;2;1,5e+020)", 0, 0, true, &comma_), "=SUM(1.5,2,1.5e+020)");
}

TEST_F(TranslateTest, WritesTextsNamesErrorsAndArrays) {
    const Case cases[] = {
        {"='abc'", "=\"abc\""},
        {"=\"open", "=\"open\""},
        {"=#n/a!", "=#N/A!"},
        {"={1,2;3,}", "={1, 2; 3, }"},
        {"=A1", "=\"A1\""}, // a name that the A1 form would read as a reference
        // after a syntax error the rest is copied as it stands
        {"=1+`R1C1 x", "=1+`R1C1 x"},
        {"=R1C1+{1 2}+R1C1", "=$A$1+{1 2}+R1C1"},
        // operands that stood side by side are kept apart
        {"=R1C1.5", "=$A$1 0.5"},
        {"=1e", "=1 e"},
        {"=1%+R1C1_R2C2", "=1%+$A$1_$B$2"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToUser(c.from), c.to) << c.from;
    EXPECT_EQ(ToUser("={1.5,2;3,4}", 0, 0, true, &comma_), "={1,5; 2| 3; 4}");
    EXPECT_EQ(ToInternal("=1;,;2", 0, 0, true, &comma_), "=`1;,;2");
    EXPECT_EQ(ToUser("=abc.5", 0, 0, true, &comma_), "=abc 0,5");
    for (const char* text : {"abc", "", "-1"}) EXPECT_EQ(ToInternal(text), "!" + std::string(text));
}

// A typed formula that does not read, for a character no token begins with or for operands
// that would run into one another, is stored as typed behind the mark and shows as typed;
// the mark makes it a syntax error in the internal form, where "1.5" would read.
TEST_F(TranslateTest, ATypedFormulaThatDoesNotReadIsKeptAsTyped) {
    const struct {
        const char* typed;
        bool comma;
    } cases[] = {
        {"=1.5", true},    {"=ROUND(2.567,1)", true}, {"=1,,2", true}, {"=A1+ 1.5", true},
        {"=TRUEX", false}, {"=1+`R1C1 x", false},     {"+1?", false},  {"=`", false},
    };
    for (const auto& c : cases) {
        const SeparatorSet* set = c.comma ? &comma_ : &generic_;
        const std::string stored = ToInternal(c.typed, 2, 3, true, set);
        EXPECT_EQ(stored, "=`" + std::string(c.typed + 1)) << c.typed;
        EXPECT_TRUE(IsKeptText(stored)) << c.typed;
        EXPECT_EQ(ToUser(stored, 7, 9, true, set), "=" + std::string(c.typed + 1)) << c.typed;
        EXPECT_EQ(ToUser(stored, 7, 9, false, set), "=" + std::string(c.typed + 1)) << c.typed;
    }
    // What reads is translated as before, whatever the set.
    EXPECT_EQ(ToInternal("=1,5+B1", 0, 0, true, &comma_), "=1.5+RC[1]");
    EXPECT_EQ(ToInternal("=1.5+B1"), "=1.5+RC[1]");
    EXPECT_FALSE(IsKeptText("=1"));
    EXPECT_FALSE(IsKeptText("`"));
    // The kept text is held to the limit like any other.
    std::string fits = "=" + std::string(kMaxFormulaText - 3, '1') + ".";
    EXPECT_EQ(ToInternal(fits, 0, 0, true, &comma_).size(), kMaxFormulaText);
    std::string over = fits + "5";
    EXPECT_EQ(ToInternal(over, 0, 0, true, &comma_), "!" + over);
}

TEST_F(TranslateTest, FailsAndKeepsTheTextWhenTheResultPassesTheLimit) {
    std::string fits = "=\"" + std::string(kMaxFormulaText - 3, 'x') + "\"";
    EXPECT_EQ(ToUser(fits), fits);
    std::string over = fits;
    over.insert(2, "x");
    EXPECT_EQ(ToUser(over), "!" + over);
    // References of 2 characters grow to 19 each in the internal form of the last cell.
    std::string grows = "=A1";
    while (grows.size() < 1600) grows += "+A1";
    EXPECT_EQ(ToInternal(grows, 2046, 2097151), "!" + grows);
    std::string blanks = "=1+" + std::string(kMaxFormulaText, ' ') + "1";
    EXPECT_EQ(ToUser(blanks), "!" + blanks);
    EXPECT_EQ(ToUser("=SUM({1,2},\"a\",name,{3})"), "=SUM({1, 2},\"a\",name,{3})");
    EXPECT_EQ(ctx_->stringPool.count, 0); // no strings or arrays left behind
    EXPECT_EQ(ctx_->scratch.arrayCount, 0);
}

// Typed constants of every magnitude, in both separator sets and both addressing forms,
// come back from the stored form with their value to 15 significant digits.
TEST_F(TranslateTest, ConstantsKeepTheirValueThroughTheStoredForm) {
    std::mt19937_64 random(1234567);
    auto constant = [&random](char decimal, double& value) {
        uint64_t bits = random();
        value = std::ldexp(double(bits >> 11) / double(1ull << 53) + 0.5, int(bits % 1980) - 990);
        if (bits % 13 == 0) value = double(bits % 1000);
        bool fixed = bits % 3 != 0 && value < 1e15;
        std::string text =
            fixed ? FormatNumberF(value, int(bits % 20)) : FormatNumberE(value, 16 + int(bits % 3));
        EXPECT_TRUE(ParseNumber(text, value)) << text;
        for (char& c : text) c = c == '.' ? decimal : c;
        return text;
    };
    auto fifteen = [](double v) { return FormatNumberE(v, 14); };
    for (const SeparatorSet* set : {&generic_, &comma_}) {
        for (bool a1 : {true, false}) {
            for (int i = 0; i < 300; ++i) {
                std::vector<double> typed(4);
                std::string f = "=" + constant(set->decimal, typed[0]) + "+SUM(" +
                                constant(set->decimal, typed[1]) + set->list + "{" +
                                constant(set->decimal, typed[2]) + set->arrayRow + " " +
                                constant(set->decimal, typed[3]) + "})";
                std::string back = ToUser(ToInternal(f, 3, 3, a1, set), 3, 3, a1, set);
                std::vector<double> read;
                for (std::size_t k = 0; k < back.size();) {
                    FormulaNumber n = ScanFormulaNumber(back.substr(k), set->decimal, false);
                    if (!n.ok) {
                        ++k;
                        continue;
                    }
                    read.push_back(n.value);
                    k += n.length;
                }
                ASSERT_EQ(read.size(), typed.size()) << f << " came back as " << back;
                for (std::size_t k = 0; k < typed.size(); ++k)
                    EXPECT_EQ(fifteen(read[k]), fifteen(typed[k])) << f << " came back as " << back;
            }
        }
    }
}

} // namespace vl
