#include "formula/evalcontext.h"
#include "formula/translate.h"
#include "separatortestutil.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl {

namespace {

class TranslateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx_ = std::make_unique<CEvalContext>();
        comma_ = formulatest::CommaFormulaSeparators();
    }

    // Internal text to the user form of the cell at (column, row); "!" marks a failure.
    std::string ToUser(std::string text, uint16_t column, uint32_t row, bool a1 = true,
                       const SeparatorSet* set = nullptr) {
        UserNotation user{set ? set : &generic_, a1};
        return TranslateFormula(*ctx_, text, column, row, false, user) ? text : "!" + text;
    }
    std::string ToInternal(std::string text, uint16_t column, uint32_t row, bool a1 = true,
                           const SeparatorSet* set = nullptr) {
        UserNotation user{set ? set : &generic_, a1};
        return TranslateFormula(*ctx_, text, column, row, true, user) ? text : "!" + text;
    }

    std::unique_ptr<CEvalContext> ctx_;
    SeparatorSet generic_;
    SeparatorSet comma_;
};

struct Case {
    const char* from;
    const char* to;
};

} // namespace

TEST_F(TranslateTest, WritesRelativeReferencesAgainstTheCell) {
    EXPECT_EQ(ToUser("=R[1]C+1", 0, 0), "=A2+1");
    EXPECT_EQ(ToUser("=R[1]C+1", 1, 4), "=B6+1");
    EXPECT_EQ(ToUser("=R1C1", 7, 7), "=$A$1");
    EXPECT_EQ(ToUser("=SUM(R1C1:R2C1)", 3, 3), "=SUM($A$1:$A$2)");
    EXPECT_EQ(ToUser("=R[-2]C[3]*R2C[-1]", 4, 9), "=H8*D$2");
    EXPECT_EQ(ToInternal("=H8*D$2", 4, 9), "=R[-2]C[3]*R2C[-1]");
    EXPECT_EQ(ToInternal("=A2+1", 1, 4), "=R[-3]C[-1]+1");
    EXPECT_EQ(ToInternal("=$B$3", 0, 0), "=R3C2");
}

TEST_F(TranslateTest, WritesWholeRowsAndColumns) {
    const Case cases[] = {
        {"=R5", "=$5:$5"},          {"=R[1]", "=11:11"},  {"=C3", "=$C:$C"},
        {"=C[-1]", "=D:D"},         {"=R5:R7", "=$5:$7"}, {"=SUM(C2:C[1])", "=SUM($B:F)"},
        {"=R5_C3", "=$5:$5_$C:$C"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToUser(c.from, 4, 9), c.to) << c.from;
    EXPECT_EQ(ToInternal("=$5:$5", 4, 9), "=R5:R5");
    EXPECT_EQ(ToInternal("=C:E", 4, 9), "=C[-2]:C");
    EXPECT_EQ(ToInternal("=5+C", 4, 9), "=5+\"C\""); // a lone 5 is a number, a lone C a name
    EXPECT_EQ(ToUser("=R", 4, 9, false), "=R");
    EXPECT_EQ(ToUser("=R[-2]", 4, 9, false), "=R[-2]");
    EXPECT_EQ(ToUser("=R5", 4, 9, false), "=R5");
}

TEST_F(TranslateTest, RewritesNumbersThroughThePlainNumberText) {
    const Case cases[] = {
        {"=1.50", "=1.5"},
        {"=0.333333333333333333", "=0.33333333333333"},
        {"=1.5e20", "=1.5e+020"},
        {"=1e-15", "=1e-015"},
        {"=123456789012345678", "=1.2345678901235e+017"},
        {"=1e999", "=#NUM!"},
        {"+2", "=2"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToUser(c.from, 0, 0), c.to) << c.from;
    EXPECT_EQ(ToUser("=SUM(1.5,2)", 0, 0, true, &comma_), "=SUM(1,5;2)");
    EXPECT_EQ(ToUser("=1.5e20", 0, 0, true, &comma_), "=1,5e+020");
    EXPECT_EQ(ToInternal("=SUM(1,5;2;1,5e+020)", 0, 0, true, &comma_), "=SUM(1.5,2,1.5e+020)");
}

TEST_F(TranslateTest, WritesTextsNamesBooleansErrorsAndArrays) {
    const Case cases[] = {
        {"='abc'", "=\"abc\""},
        {"='say \"hi\"'&\"it's\"", "='say \"hi\"'&\"it's\""},
        {"=\"open", "=\"open\""},
        {"=TRUE+false", "=TRUE+FALSE"},
        {"=#n/a!", "=#N/A!"},
        {"={1,2;3,}", "={1, 2; 3, }"},
        {"=Sheet1!R1C1", "=Sheet1!$A$1"},
        {"=\\Reports\\2007\\Sales!R1C1", "=\\Reports\\2007\\Sales!$A$1"},
        {"=foo", "=foo"},
        {"=A1", "=\"A1\""}, // a name that the A1 form would read as a reference
        {"= 1 +\r\n2", "= 1 +\r\n2"},
        {"=sum(1)", "=sum(1)"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToUser(c.from, 0, 0), c.to) << c.from;
    EXPECT_EQ(ToInternal("=RC+R1", 4, 9), "=\"RC\"+R[-9]C[13]");
    EXPECT_EQ(ToUser("={1.5,2;3,4}", 0, 0, true, &comma_), "={1,5; 2| 3; 4}");
}

TEST_F(TranslateTest, WritesOutOfRangeReferencesAsRef) {
    EXPECT_EQ(ToInternal("=A0+1", 0, 0), "=#REF!+1");
    EXPECT_EQ(ToInternal("=BZT1+XFD1048576", 0, 0), "=#REF!+#REF!");
    EXPECT_EQ(ToInternal("=A99999999999", 0, 0), "=#REF!");
    EXPECT_EQ(ToUser("=R[-2]C", 0, 0), "=#REF!");
    EXPECT_EQ(ToUser("=C65537", 0, 0), "=#REF!");
    EXPECT_EQ(ToInternal("=R99999999999C1", 0, 0, false), "=#REF!");
}

TEST_F(TranslateTest, CopiesTheRestAfterASyntaxError) {
    EXPECT_EQ(ToUser("=1+`R1C1 x", 0, 0), "=1+`R1C1 x");
    EXPECT_EQ(ToUser("=R1C1+{1 2}+R1C1", 0, 0), "=$A$1+{1 2}+R1C1");
    EXPECT_EQ(ToInternal("=1;,;2", 0, 0, true, &comma_), "=1,,;2");
}

TEST_F(TranslateTest, KeepsOperandsThatStoodSideBySideApart) {
    EXPECT_EQ(ToInternal("=1,,2", 0, 0, true, &comma_), "=1 0.2");
    EXPECT_EQ(ToUser("=R1C1.5", 0, 0), "=$A$1 0.5");
    EXPECT_EQ(ToUser("=abc.5", 0, 0, true, &comma_), "=abc 0,5");
    EXPECT_EQ(ToUser("=1e", 0, 0), "=1 e");
    EXPECT_EQ(ToUser("=1%+R1C1_R2C2", 0, 0), "=1%+$A$1_$B$2");
}

TEST_F(TranslateTest, RefusesTextsThatAreNoFormulas) {
    EXPECT_EQ(ToUser("abc", 0, 0), "!abc");
    EXPECT_EQ(ToUser("", 0, 0), "!");
    EXPECT_EQ(ToInternal("-1", 0, 0), "!-1");
}

TEST_F(TranslateTest, FailsAndKeepsTheTextWhenTheResultPasses1024Characters) {
    std::string fits = "=\"" + std::string(1021, 'x') + "\"";
    ASSERT_EQ(fits.size(), 1024u);
    EXPECT_EQ(ToUser(fits, 0, 0), fits);
    // References of 2 characters grow to 19 each in the internal form of the last cell.
    std::string grows = "=A1";
    while (grows.size() < 200) grows += "+A1";
    EXPECT_EQ(ToInternal(grows, 2046, 2097151), "!" + grows);
    std::string tooLong = "=1+" + std::string(1100, ' ') + "1";
    EXPECT_EQ(ToUser(tooLong, 0, 0), "!" + tooLong);
}

TEST_F(TranslateTest, LeavesNoStringsOrArraysBehind) {
    EXPECT_EQ(ToUser("=SUM({1,2},\"a\",name,{3})", 0, 0), "=SUM({1, 2},\"a\",name,{3})");
    EXPECT_EQ(ctx_->stringPool.count, 0);
    EXPECT_EQ(ctx_->scratch.arrayCount, 0);
}

} // namespace vl
