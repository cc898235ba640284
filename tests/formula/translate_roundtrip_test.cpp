// Formulas of every kind go from the user form to the internal form and back unchanged,
// in A1 and in R1C1, with the generic separators and with a comma decimal separator.
#include "evaltestutil.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vl {

namespace {

// Formula templates mark the separators that differ between notations:
// L the list separator, R the array row separator, D the decimal separator.
constexpr char L = '\x01';
constexpr char R = '\x02';
constexpr char D = '\x03';

std::string Render(const std::string& pattern, const SeparatorSet& set) {
    std::string out;
    for (char c : pattern)
        out += c == L ? set.list : c == R ? set.arrayRow : c == D ? set.decimal : c;
    return out;
}

std::string S(const char* text) {
    std::string s(text);
    for (char& c : s) c = c == '`' ? L : c == '|' ? R : c == '~' ? D : c;
    return s;
}

// Operands that read the same in both addressing forms.
std::vector<std::string> CommonOperands() {
    std::vector<std::string> v;
    for (const char* n : {"0", "1", "0~5", "12~25", "1~5e+020", "1e-015", "0~33333333333333",
                          "1~2345678901235e+017", "999999999999999", "0~00000000000001",
                          "1~7976931348623e+308", "1e-300"})
        v.push_back(S(n));
    for (const char* e : {"#DIV/0!", "#NAME?", "#NULL!", "#N/A!", "#NUM!", "#REF!", "#VALUE!",
                          "#MEMORY!", "#FILL!", "#CIRC!", "#IMPL!", "#SYNTAX!"})
        v.push_back(e);
    for (const char* t : {"\"it's\"", "'say \"hi\"'", "\"\"", "\"a,b;c|d.e\"", "\"{1,2}\"",
                          "\"=1+2\"", "\"  blanks  \"", "\"Ums\xE4tze\""})
        v.push_back(t);
    for (const char* a : {"{1` 2| 3` }", "{\"a\"` -2~5| #N/A!` 0~25}", "{\"x\"` 'q\"'` #DIV/0!}",
                          "{-1~5e+020}", "{}", "{` | ` }", "{1| 2| 3}"})
        v.push_back(S(a));
    for (const char* w : {"foo", "Sales_2007", "\\Reports\\2007\\Sales"}) v.push_back(w);
    return v;
}

std::vector<std::string> A1References() {
    const char* cells[] = {"A1", "B3", "Z10", "AA100", "ZZ65536", "AAA1048576", "BZS2097152"};
    std::vector<std::string> v;
    for (std::string cell : cells) {
        std::size_t digits = cell.find_first_of("0123456789");
        std::string column = cell.substr(0, digits), row = cell.substr(digits);
        v.push_back(column + row);
        v.push_back("$" + column + row);
        v.push_back(column + "$" + row);
        v.push_back("$" + column + "$" + row);
    }
    return v;
}

std::vector<std::string> R1C1References() {
    std::vector<std::string> v;
    for (const char* row : {"R", "R1", "R[1]", "R[-1]", "R2097152", "R[-1000]", "R[5000]"})
        for (const char* column : {"C", "C1", "C[1]", "C[-100]", "C2047", "C[900]"})
            v.push_back(std::string(row) + column);
    return v;
}

// Formulas built from the operands, the references and the areas of one addressing form.
std::vector<std::string> Formulas(const std::vector<std::string>& refs,
                                  const std::vector<std::string>& areas) {
    std::vector<std::string> operands = CommonOperands();
    operands.insert(operands.end(), refs.begin(), refs.end());
    std::vector<std::string> f;
    for (const std::string& o : operands) f.push_back("=" + o);
    for (const std::string& a : areas) f.push_back("=SUM(" + a + ")");
    const char* binary[] = {"=", "<", "<=", ">", ">=", "<>", "+", "-", "&", "*", "/", "^"};
    std::size_t k = 0;
    for (const char* op : binary)
        for (int i = 0; i < 12; ++i, ++k)
            f.push_back("=" + operands[k % operands.size()] + op +
                        operands[(k * 7 + 3) % operands.size()]);
    for (std::size_t i = 0; i < refs.size(); ++i) {
        const std::string& r = refs[i];
        const std::string& a = areas[i % areas.size()];
        f.push_back("=-" + r + "%");
        f.push_back("=" + a + "_" + areas[(i + 3) % areas.size()]);
        f.push_back("=Sheet1!" + r);
        f.push_back("=\\Reports\\2007\\Sales!" + a);
        f.push_back("=\"My Sheet\"!" + r + "+\"Q1 '07\"!" + a);
        f.push_back("=\"[C:\\data\\book.vln]Sheet1\"!" + r);
        f.push_back("=\"[/home/u/b.vln]\\Reports\\Q1\"!" + a + "*2");
        f.push_back(S("=SUM(") + r + S("` MAX(") + a + S("` 4~5)` IF(") + r +
                    S(">0` \"yes\"` "
                      "\"no\"))"));
        f.push_back("=(" + r + "+" + operands[i % operands.size()] + ")*(" + r + "-1)^2");
        f.push_back(S("=IF(AND(") + r + S(">=1` ") + r + S("<>\"\")` ROUND(") + r +
                    S("` 2)` #N/A!)"));
    }
    for (const char* t :
         {"=sum(1` 2)", "=Log10(100)+LOG(8` 2)+ATAN2(1` 1)", "= SUM( 1 ` 2 )", "=--1", "=1%%",
          "=()", "=SUM(` ` )", "=TRUE()+FALSE()", "=IF(1` {1` 2| 3` 4}` \"x\")",
          "=WEEKDAY(1)&ISBLANK(2)&DSUM(3)", "=CONCATENATE(\"a\"` \"b\"` 'c\"')", "=50%*2",
          "=1\r\n+\r\n2", "=\"\"&\"\"", "=MTXRAND2(1` 2)+DAY360(1` 2)"})
        f.push_back(S(t));
    return f;
}

class RoundTripTest : public test::FormulaTextTest {
protected:
    // Checks one formula pattern in one cell with both separator sets; returns the count
    // of checks made.
    void Check(const std::string& pattern, bool a1, uint16_t column, uint32_t row) {
        std::string internalFrom[2];
        const SeparatorSet* sets[2] = {&generic_, &comma_};
        for (int s = 0; s < 2; ++s) {
            UserNotation user{sets[s], a1};
            std::string typed = Render(pattern, *sets[s]);
            std::string text = typed;
            ASSERT_TRUE(TranslateFormula(*ctx_, text, column, row, true, user)) << typed;
            internalFrom[s] = text;
            ASSERT_TRUE(TranslateFormula(*ctx_, text, column, row, false, user)) << typed;
            EXPECT_EQ(text, typed) << "via " << internalFrom[s];
            // The internal text is a fixed point of the round trip the other way too.
            ASSERT_TRUE(TranslateFormula(*ctx_, text, column, row, true, user));
            EXPECT_EQ(text, internalFrom[s]) << typed;
            ++checked_;
        }
        EXPECT_EQ(internalFrom[0], internalFrom[1]) << Render(pattern, generic_);
        EXPECT_EQ(ctx_->stringPool.count, 0);
        EXPECT_EQ(ctx_->scratch.arrayCount, 0);
    }

    int checked_ = 0;
};

} // namespace

TEST_F(RoundTripTest, A1FormulasComeBackUnchanged) {
    std::vector<std::string> formulas =
        Formulas(A1References(),
                 {"A1:B2", "$A$1:$C$3", "B$2:$D4", "A1:BZS2097152", "5:5", "$5:$5", "$1:$2097152",
                  "3:$7", "C:C", "$B:$D", "A:$BZS", "AA:ZZ", "10:10", "A1:A1"});
    ASSERT_GE(formulas.size(), 300u);
    for (const std::string& f : formulas)
        for (auto [column, row] :
             {std::pair<uint16_t, uint32_t>{0, 0}, {100, 1000}, {2046, 2097151}})
            Check(f, true, column, row);
    EXPECT_EQ(checked_, int(formulas.size() * 6));
}

TEST_F(RoundTripTest, R1C1FormulasComeBackUnchanged) {
    std::vector<std::string> formulas = Formulas(
        R1C1References(), {"R1C1:R2C2", "RC:R[1]C[1]", "R5", "R[1]:R[3]", "R1:R2097152", "C2",
                           "C[-1]:C[1]", "C1:C2047", "R[-1]", "C", "R", "RC[-100]:R[5000]C"});
    ASSERT_GE(formulas.size(), 300u);
    for (const std::string& f : formulas)
        for (auto [column, row] : {std::pair<uint16_t, uint32_t>{100, 1000}, {1000, 100000}})
            Check(f, false, column, row);
    EXPECT_EQ(checked_, int(formulas.size() * 4));
}

// The same stored formula shows as different A1 text in different cells, and every one
// of those texts is stored as the same internal text again.
TEST_F(RoundTripTest, StoredTextIsTheSameFromEveryCell) {
    // A lone whole row or column comes back as its range (C[3] as C[3]:C[3]) after the
    // first trip; from then on the stored text stays.
    const char* stored[] = {"=R[1]C[-1]+RC[2]*R1C1", "=SUM(R[-1]:R[1])+C[3]", "=R5C[0]"};
    for (const char* s : stored) {
        std::string canonical = s;
        ASSERT_TRUE(TranslateFormula(*ctx_, canonical, 1, 1, false, {&generic_, true}));
        ASSERT_TRUE(TranslateFormula(*ctx_, canonical, 1, 1, true, {&generic_, true}));
        for (auto [column, row] :
             {std::pair<uint16_t, uint32_t>{1, 1}, {50, 70}, {2000, 2000000}}) {
            std::string text = canonical;
            ASSERT_TRUE(TranslateFormula(*ctx_, text, column, row, false, {&generic_, true}));
            ASSERT_TRUE(TranslateFormula(*ctx_, text, column, row, true, {&generic_, true}));
            EXPECT_EQ(text, canonical) << s << " in " << column << "," << row;
        }
    }
}

} // namespace vl
