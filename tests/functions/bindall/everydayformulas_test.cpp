// Everyday formulas typed into cells as the grid stores typed text, the workbook
// recalculated, and each result as its cell shows it. The answers are those the peer
// spreadsheets give (truth values show as 1 and 0, dates as ISO texts).
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "functions/bindall/bindall.h"
#include "tests/formula/evaltestutil.h"

#include <map>
#include <string>
#include <vector>

namespace vl::test {

namespace {

struct TypedCase {
    const char* formula;
    const char* shown;
};

// The cells every table reads:
//   A1 5 | B1:B3 5, n/a, 7 and B4 ="" | C1:C4 h, 1, 2, 4 | D1:D3 x, y, x | E1:E3 1, 2, 3
//   G1:I1 p, q, p over G2:I4 1..9, with F2:F4 x, y, x beside them | J1:J3 1, =1/0, 3.
const std::vector<std::pair<const char*, const char*>>& Data() {
    static const std::vector<std::pair<const char*, const char*>> data = {
        {"A1", "5"}, {"B1", "5"},    {"B2", "n/a"}, {"B3", "7"}, {"B4", "=\"\""}, {"C1", "h"},
        {"C2", "1"}, {"C3", "2"},    {"C4", "4"},   {"D1", "x"}, {"D2", "y"},     {"D3", "x"},
        {"E1", "1"}, {"E2", "2"},    {"E3", "3"},   {"G1", "p"}, {"H1", "q"},     {"I1", "p"},
        {"F2", "x"}, {"F3", "y"},    {"F4", "x"},   {"G2", "1"}, {"H2", "2"},     {"I2", "3"},
        {"G3", "4"}, {"H3", "5"},    {"I3", "6"},   {"G4", "7"}, {"H4", "8"},     {"I4", "9"},
        {"J1", "1"}, {"J2", "=1/0"}, {"J3", "3"},
    };
    return data;
}

class TypedBook : public TestBook {
public:
    TypedBook() {
        BindAllFunctions();
        Sheet();
    }

    // The text as the grid stores what a user types into the cell.
    void Type(const std::string& a1, const std::string& text) {
        Place p = At(a1);
        StandardFormat format;
        CellBuffer record;
        ASSERT_EQ(ParseCellInput(Ctx(), text, format, p.row, p.column, record), CellInput::kStored)
            << text;
        CellCursor cursor;
        ASSERT_TRUE(Sheet().cells.PutCell(record.data(), cursor));
        formats_[a1] = format;
    }

    // The cell's value through its format, as the grid shows it.
    std::string Shown(const std::string& a1) {
        Place p = At(a1);
        std::string text;
        const uint8_t* record = FindCell(Sheet().cells, p.row, p.column);
        EXPECT_TRUE(record && FormatCellValue(record, formats_[a1], text)) << a1;
        return text;
    }

private:
    std::map<std::string, StandardFormat> formats_;
};

// Each formula typed below the data, in a column of its own, then one recalculation.
void CheckTyped(const std::vector<TypedCase>& cases) {
    TypedBook book;
    for (const auto& [cell, text] : Data()) book.Type(cell, text);
    for (std::size_t k = 0; k < cases.size(); ++k)
        book.Type("K" + std::to_string(k + 1), cases[k].formula);
    ASSERT_TRUE(book.Recalc());
    for (std::size_t k = 0; k < cases.size(); ++k)
        EXPECT_EQ(book.Shown("K" + std::to_string(k + 1)), cases[k].shown) << cases[k].formula;
}

} // namespace

// A number never equals a text and orders before every text; an empty cell is 0 and "".
TEST(EverydayFormulas, NumbersAgainstTexts) {
    CheckTyped({
        {"=IF(A1=\"\",\"empty\",\"full\")", "full"},
        {"=A1<>\"\"", "1"},
        {"=A1<\"a\"", "1"},
        {"=\"a\">A1", "1"},
        {"=A1=\"5\"", "0"},
        {"=A1>\"\"", "0"},
        {"=D1>5", "1"},
        {"=D1<5", "0"},
        {"=Y99=\"\"", "1"},
        {"=Y99=0", "1"},
    });
}

// Any number but 0 is true.
TEST(EverydayFormulas, TruthOfNumbers) {
    CheckTyped({
        {"=IF(0.2,1,0)", "1"},
        {"=NOT(0.2)", "0"},
        {"=IF(-19.99,1,0)", "1"},
        {"=OR(-1)", "1"},
        {"=AND(0.3,-2)", "1"},
        {"=AND(3000000000)", "1"},
        {"=OR(0,0)", "0"},
        {"=NOT(0)", "1"},
    });
}

// Texts in ranges (a header, "n/a", a formula's "") are no values, but 0 to the A forms; a
// text given directly that is no number is an error to the plain forms and 0 to the A forms.
TEST(EverydayFormulas, StatisticsLeaveRangeTextsOut) {
    CheckTyped({
        {"=AVERAGE(B1:B4)", "6"},
        {"=VAR(C1:C4)", "2.33333333333333"},
        {"=STDEV(C1:C4)", "1.52752523165195"},
        {"=PRODUCT(B1:B4)", "35"},
        {"=SUMSQ(B1:B4)", "74"},
        {"=DEVSQ(C1:C4)", "4.66666666666667"},
        {"=ROUND(SKEW(C1:C4),6)", "0.93522"},
        {"=GEOMEAN(C1:C4)", "2"},
        {"=AVEDEV(C1:C4)", "1.11111111111111"},
        {"=KURT(C1:C4,B1:B4)", "-1.11726685133887"},
        {"=HARMEAN(C1:C4)", "1.71428571428571"},
        {"=LARGE(B1:B4,2)", "5"},
        {"=MEDIAN(B1:B4)", "6"},
        {"=AVERAGE(\"n/a\",1)", "#NUM!"},
        {"=AVERAGEA(B1:B4)", "3"},
        {"=AVERAGEA(C1:C4)", "1.75"},
        {"=STDEVA(C1:C4)", "1.70782512765993"},
        {"=STDEVPA(C1:C4)", "1.4790199457749"},
        {"=VARA(C1:C4)", "2.91666666666667"},
        {"=VARPA(C1:C4)", "2.1875"},
        {"=MAXA(D1:D3,-1)", "0"},
        {"=MINA(C1:C4)", "0"},
        {"=MINA(C2:C4)", "1"},
        {"=AVERAGEA(TRUE(),0)", "0.5"},
        {"=AVERAGEA(\"n/a\",1)", "0.5"},
    });
}

// IF over a range gives its elements, signs repeat, and a column against a row makes a
// matrix.
TEST(EverydayFormulas, ArraysInEverydayShapes) {
    CheckTyped({
        {"=SUMPRODUCT(IF(D1:D3=\"x\",E1:E3,0))", "4"},
        {"=--1", "1"},
        {"=---1", "-1"},
        {"=SUMPRODUCT(--(D1:D3=\"x\"))", "2"},
        {"=SUMPRODUCT((F2:F4=\"x\")*(G1:I1=\"p\")*G2:I4)", "20"},
        {"=SUMPRODUCT((F2:F4=\"x\")*(G1:I1=\"p\"))", "4"},
        {"=SUMPRODUCT(E1:E3*E1)", "6"},
        {"=SUMPRODUCT(E1:E3*G2:I2)", "36"},
    });
}

// The old text is found as written: no wildcards, case counts.
TEST(EverydayFormulas, SubstituteLiterally) {
    CheckTyped({
        {"=SUBSTITUTE(\"what?\",\"?\",\"!\")", "what!"},
        {"=SUBSTITUTE(\"Apple\",\"a\",\"Z\")", "Apple"},
        {"=SUBSTITUTE(\"a*b*c\",\"*\",\"+\")", "a+b+c"},
        {"=SUBSTITUTE(\"~a~\",\"~\",\"\")", "a"},
        {"=SUBSTITUTE(\"aAaA\",\"A\",\"b\",2)", "aAab"},
        {"=SUBSTITUTE(\"aaa\",\"aa\",\"b\")", "ba"},
        {"=SUBSTITUTE(\"abc\",\"\",\"x\")", "abc"},
    });
}

// Nothing chosen or multiplied is one way.
TEST(EverydayFormulas, EmptyCountsAreOne) {
    CheckTyped({
        {"=FACT(0)", "1"},
        {"=FACTDOUBLE(0)", "1"},
        {"=FACTDOUBLE(-1)", "#NUM!"},
        {"=COMBIN(5,0)", "1"},
        {"=COMBIN(0,0)", "1"},
        {"=COMBIN(0,1)", "#NUM!"},
        {"=PERMUT(5,0)", "1"},
        {"=PERMUT(0,0)", "1"},
        {"=PERMUT(5,5)", "120"},
        {"=PERMUT(3,5)", "#NUM!"},
        {"=PERMUT(0,1)", "#NUM!"},
        {"=MULTINOMIAL(0,3)", "1"},
        {"=MULTINOMIAL(0,0)", "1"},
    });
}

// A decimal's representation error is no part of a quotient; the remainder has the
// divisor's sign, and a tie to a multiple goes away from zero.
TEST(EverydayFormulas, QuotientsAndRemainders) {
    CheckTyped({
        {"=QUOTIENT(0.3,0.1)", "3"},
        {"=QUOTIENT(0.29*100,1)", "29"},
        {"=QUOTIENT(-7,2)", "-3"},
        {"=MOD(0.3,0.1)", "0"},
        {"=MOD(-0.3,0.1)", "0"},
        {"=MOD(-1,7)", "6"},
        {"=MOD(1,-7)", "-6"},
        {"=MOD(-1,-7)", "-1"},
        {"=MOD(5.5,2)", "1.5"},
        {"=MOD(-5.5,2)", "0.5"},
        {"=MROUND(4.85,0.1)", "4.9"},
        {"=MROUND(-8.25,-0.1)", "-8.3"},
        {"=MROUND(0.24,0.1)", "0.2"},
    });
}

// A failure is an error value, never a number standing in for one.
TEST(EverydayFormulas, FailuresAreErrors) {
    CheckTyped({
        {"=NORMSINV(5)", "#NUM!"},    {"=NORMSINV(0)", "#NUM!"},
        {"=NORMINV(1,0,1)", "#NUM!"}, {"=TINV(6,30)", "#NUM!"},
        {"=CHIINV(-0.1,5)", "#NUM!"}, {"=CHIINV(0,5)", "0"},
        {"=FINV(1,2,3)", "#NUM!"},    {"=CONFIDENCE(1,1,10)", "#NUM!"},
        {"=MODE(1,2,3)", "#N/A!"},    {"=MODE(1,2,2,3)", "2"},
        {"=COUNT(1/0)", "0"},         {"=COUNT(1,\"2\",\"x\")", "2"},
        {"=ISNUMBER(Y99)", "0"},      {"=ISNUMBER(1/0)", "0"},
        {"=N(\"x\")", "0"},           {"=N(7)", "7"},
        {"=N(1/0)", "#DIV/0!"},       {"=ISTEXT(1/0)", "0"},
        {"=ISNONTEXT(1/0)", "1"},     {"=ISLOGICAL(1/0)", "0"},
        {"=ISNUMBER(\"3\")", "0"},    {"=ISNUMBER(C2)", "1"},
        {"=ISNUMBER(D1)", "0"},       {"=ISNUMBER(\"\")", "0"},
        // RANK's order is 0 or 1; a text of digits sought is its number.
        {"=RANK(7,B1:B4,2)", "#NUM!"}, {"=RANK(\"7\",B1:B4,1)", "2"},
    });
}

// Where a test's data and its parameters both fail, the larger error code wins; a variance
// past the number range is #NUM!, none at all #DIV/0! (the peer: #VALUE!). FTEST is the
// cumulative probability, not the peer's two tails.
TEST(EverydayFormulas, TestsOfSamplesFail) {
    CheckTyped({
        {"=ZTEST(E1:E3,2,0)", "#NUM!"},
        {"=ZTEST(J1:J3,2,0)", "#NUM!"},
        {"=ZTEST(J1:J3,2,1)", "#DIV/0!"},
        {"=ZTEST(E1:E3,2,1/0)", "#DIV/0!"},
        {"=ROUND(ZTEST(E1:E3,1,1),6)", "0.041632"},
        {"=FTEST({1E+200,-1E+200,0},E1:E3)", "#NUM!"},
        {"=FTEST(E1:E3,{1E+200,-1E+200,0})", "#NUM!"},
        {"=FTEST(E1:E3,{2,2,2})", "#DIV/0!"},
        {"=FTEST(E1:E3,{5})", "#DIV/0!"},
        {"=ROUND(FTEST({1,3},E1:E3),12)", "0.707106781187"},
    });
}

// Fields past their bounds carry into the next larger one.
TEST(EverydayFormulas, DateAndTimeFieldsCarry) {
    CheckTyped({
        {"=DATE(2024,13,1)", "2025-01-01"},
        {"=DATE(2024,3,0)", "2024-02-29"},
        {"=DATE(2024,0,1)", "2023-12-01"},
        {"=DATE(2024,1,-1)", "2023-12-30"},
        {"=DATE(2024,2,30)", "2024-03-01"},
        {"=DATE(2024,1,400)", "2025-02-03"},
        {"=DATE(1,1,0)", "#NUM!"},
        {"=DATE(50000,12,31)", "50000-12-31"},
        {"=DATE(50000,12,32)", "#NUM!"},
        {"=TIME(10,100,170)", "11:42:50"},
        {"=TIME(25,0,0)", "01:00:00"},
        {"=TIME(1,-1,0)", "00:59:00"},
        {"=TIME(0,0,-1)", "#NUM!"},
        {"=TIME(23,59,60)", "00:00:00"},
    });
}

} // namespace vl::test
