// Everyday formulas as a user meets them: the cells typed as the grid stores typed text,
// the workbook recalculated, the result shown as a General cell shows it. The answers are
// those of the peer spreadsheet.
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "functions/bindall/bindall.h"
#include "tests/formula/evaltestutil.h"

#include <string>
#include <utility>
#include <vector>

namespace vl::test {

namespace {

class TypedBook : public TestBook {
public:
    TypedBook() { BindAllFunctions(); }

    // The text typed into the cell of the worksheet.
    void Type(CWorksheet& s, std::string_view a1, std::string_view text) {
        Ctx().worksheetList = Book().tree.first;
        Ctx().currentCells = &s.cells;
        const Place p = At(a1);
        StandardFormat format;
        CellBuffer b;
        ASSERT_EQ(ParseCellInput(Ctx(), text, format, p.row, p.column, b), CellInput::kStored)
            << text;
        CellCursor cursor;
        ASSERT_TRUE(s.cells.PutCell(b.bytes, cursor)) << text;
    }
    void Type(std::string_view a1, std::string_view text) { Type(Sheet(), a1, text); }

    // The cell as a General cell shows it.
    std::string General(CWorksheet& s, std::string_view a1) {
        const Place p = At(a1);
        const uint8_t* r = FindCell(s.cells, p.row, p.column);
        if (!r) return "<none>";
        std::string text;
        FormatCellValue(r, StandardFormat{}, text);
        return text;
    }
};

struct TypedRow {
    std::vector<std::pair<const char*, const char*>> cells; // typed before the formula
    const char* formula;
    const char* shown;
};

// Each row in a workbook of its own: its cells and its formula in J20 typed, recalculated.
void CheckTyped(const std::vector<TypedRow>& rows) {
    for (const TypedRow& row : rows) {
        TypedBook book;
        for (const auto& [a1, text] : row.cells) book.Type(a1, text);
        book.Type("J20", row.formula);
        book.Recalc();
        EXPECT_EQ(book.General(book.Sheet(), "J20"), row.shown) << row.formula;
    }
}

const std::vector<std::pair<const char*, const char*>> kFlows = {
    {"A1", "-1000"}, {"A2", "300"}, {"A3", "300"}, {"A4", "300"}};

// Decimals that a computation leaves a unit of the last binary place off the typed value.
const std::vector<std::pair<const char*, const char*>> kComputed = {
    {"L1", "=0.1*3"},    {"L2", "=0.7+0.1"}, {"L3", "=1-0.9"},   {"K1", "5"},   {"K2", "7"},
    {"M1", "=0.29*100"}, {"M2", "30"},       {"N1", "=0.1+0.2"}, {"N2", "0.3"}, {"N3", "x"},
    {"O1", "=0.1*3"},    {"P1", "=0.1*3"},   {"Q1", "0.1"},      {"Q2", "0.2"}, {"Q3", "0.3"}};

} // namespace

// The peer's answers, but for RATE's last digits, where ours are the exact roots' (LibreOffice
// -0.0169640848788367 and 0.019629979784267), and CUMIPMT, which it refuses at a negative rate:
// there the sum of IPMT's answers.
TEST(TypedFormulas, NegativeRatesAreTakenAndFound) {
    CheckTyped({
        {{}, "=RATE(10,-100,1100)", "-0.016964084878837"},
        {{}, "=RATE(10,-100,1100,0,0,-0.05)", "-0.016964084878837"},
        {{}, "=RATE(10,-100,900)", "0.0196299797842627"},
        {{}, "=PV(-0.01,12,-100)", "1281.7809950197"},
        {{}, "=FV(-0.01,12,-100)", "1136.15128283871"},
        {{}, "=PMT(-0.02,10,1000)", "-89.3331158681539"},
        {{}, "=NPER(-0.01,-100,1000)", "9.4832830657216"},
        {{}, "=IPMT(-0.01,2,12,1000)", "9.11983552269424"},
        // The discounts of a rate near -1 grow past the doubles; the balance does not.
        {{}, "=ROUND(IPMT(-0.99,30,171,1000)*1E+56,10)", "9.9"},
        {{}, "=PPMT(-0.01,2,12,1000)", "-87.1362832532703"},
        {{}, "=CUMIPMT(-0.01,12,1000,1,3)", "27.3683082128558"},
        {{}, "=PV(-1,12,-100)", "#NUM!"},
        // One period: the rate that balances it, however far it lies; none at or below -1.
        {{}, "=RATE(1,-19.99,1E-300,1,,0.5)", "1.899E+301"},
        {{}, "=RATE(1,-110,100)", "0.1"},
        {{}, "=RATE(1,-50,100,-60,1)", "0.2"},
        {{}, "=RATE(1,100,100)", "#NUM!"},
        {{}, "=RATE(1,-50,100,50)", "#NUM!"},
        {{}, "=RATE(1,-100,100,1,1)", "#NUM!"},
        {kFlows, "=IRR(A1:A4)", "-0.0508854413726206"},
        {kFlows, "=IRR(A1:A4,)", "-0.0508854413726206"},
        {kFlows, "=IRR(-1000,300,300,300,)", "-0.0508854413726206"},
    });
}

TEST(TypedFormulas, LookupsAndCriteriaTakeNumbersEqualTo15Digits) {
    CheckTyped({
        {kComputed, "=COUNTIF(L1:L3,0.3)", "1"},
        {kComputed, "=COUNTIF(L1:L3,\"<>0.3\")", "2"},
        {kComputed, "=COUNTIF(L1:L3,\"<0.3\")", "1"},
        {kComputed, "=COUNTIF(L1:L3,\">=0.8\")", "1"},
        {kComputed, "=COUNTIF(L1:L3,1/3)", "0"},
        {kComputed, "=SUMIF(M1:M2,\">=29\",K1:K2)", "12"},
        {kComputed, "=SUMIF(M1:M2,\"<29\",K1:K2)", "0"},
        {kComputed, "=MATCH(0.3,L1:L3,0)", "1"},
        {kComputed, "=MATCH(0.8,L1:L3,0)", "2"},
        {kComputed, "=MATCH(0.1,L1:L3,0)", "3"},
        {kComputed, "=MATCH(0.30000000000001,L1:L3,0)", "#N/A!"},
        {kComputed, "=MATCH(1-0.9,{0.1,0.2},1)", "1"},
        {kComputed, "=MATCH(1-0.9,Q1:Q3,0)", "1"},
        {kComputed, "=MATCH(0.1*3,{0.3,0.2,0.1},-1)", "1"},
        {kComputed, "=MATCH(0.3,P1:P1,1)", "1"},
        {kComputed, "=VLOOKUP(0.3,L1:M3,2,0)", "29"},
        {kComputed, "=VLOOKUP(0.3,P1:Q1,2,1)", "0.1"},
        {kComputed, "=HLOOKUP(0.3,N1:O2,2,0)", "0.3"},
        {kComputed, "=LOOKUP(0.3,P1:P1)", "0.3"},
        {kComputed, "=LOOKUP(0.8,L1:L3,K1:K3)", "7"},
        {kComputed, "=GETSTEP(1-0.9,0.1)", "1"},
        {kComputed, "=GETSTEP(0.1,1-0.9)", "1"},
        {kComputed, "=GETSTEP(0.0999999999999,0.1)", "0"},
        {kComputed, "=ROWS(UNIQUE(N1:N2,1))", "1"},
        {kComputed, "=INDEX(UNIQUE(N1:N2,2),1,2)", "2"},
        {kComputed, "=ROWS(UNIQUE(N1:N3,1))", "2"},
    });
}

TEST(TypedFormulas, LookupVectorFormTakesItsAnswerFromTheResultVector) {
    const std::vector<std::pair<const char*, const char*>> cells = {
        {"A1", "1"}, {"B1", "2"},     {"C1", "3"}, {"D1", "x"},    {"D2", "y"},
        {"D3", "z"}, {"E1", "WRONG"}, {"A5", "1"}, {"A6", "2"},    {"A7", "3"},
        {"B5", "p"}, {"C5", "q"},     {"D5", "r"}, {"B6", "WRONG"}};
    CheckTyped({
        {cells, "=LOOKUP(2,A1:C1,D1:D3)", "y"},
        {cells, "=LOOKUP(3,A1:C1,D1:D3)", "z"},
        {cells, "=LOOKUP(2,A5:A7,B5:D5)", "q"},
        {cells, "=LOOKUP(2,A1:C1,D1:F1)", "WRONG"},
        {cells, "=LOOKUP(4,A1:C1,D1:D3)", "#N/A!"},
    });
}

TEST(TypedFormulas, NumbersBecomeTextsOf15SignificantDigits) {
    CheckTyped({
        {{}, "=1/7*1E-13&\"\"", "1.42857142857143E-14"},
        {{}, "=1/700&\"\"", "0.00142857142857143"},
        {{}, "=1/700", "0.00142857142857143"},
        {{}, "=-1/700", "-0.00142857142857143"},
        {{}, "=1/3", "0.333333333333333"},
        {{}, "=5.444511618E-13", "5.444511618E-13"},
        {{}, "=3E+23", "3E+23"},
        {{}, "=-1.5E+300", "-1.5E+300"},
        {{}, "=1E-300/3", "3.33333333333333E-301"},
        {{}, "=123456789012345678", "1.23456789012346E+17"},
        {{}, "=999999999999999", "999999999999999"},
        {{}, "=1E15", "1E+15"},
        {{}, "=0.0001", "0.0001"},
        {{}, "=1.5E-7", "0.00000015"},
        {{}, "=1E-14", "0.00000000000001"},
        {{}, "=1E-15", "1E-15"},
        {{}, "=0.1+0.2", "0.3"},
        {{}, "=LEN(1/700)", "19"},
        {{}, "=LEFT(2/3,20)", "0.666666666666667"},
    });
}

TEST(TypedFormulas, ADoubledQuoteInsideAStringIsAQuote) {
    CheckTyped({
        {{}, "=LEN(\"a\"\"b\")", "3"},
        {{}, "=\"say \"\"hi\"\"\"", "say \"hi\""},
        {{}, "=\"\"\"\"", "\""},
        {{}, "=LEN(\"\"\"\"\"\")", "2"},
        {{}, "=TEXT(5,\"0 \"\"kg\"\"\")", "5 kg"},
        {{}, "=LEN({\"a\"\"b\"})", "3"},
        {{}, "=\"a\"&\"\"", "a"},
    });
}

// MIN and MAX skip errors but those of a range that is none; COUNT counts no error; the
// averages pass over a reversed range but not a worksheet that is not there.
TEST(TypedFormulas, RemovedReferencesAndEmptyIntersectionsStayErrors) {
    const std::vector<std::pair<const char*, const char*>> cells = {
        {"A1", "1"}, {"B2", "2"}, {"G1", "3"}, {"B1", "4"}, {"B3", "5"}};
    CheckTyped({
        {cells, "=MAX(#REF!)+10", "#REF!"},
        {cells, "=MIN(#REF!)", "#REF!"},
        {cells, "=MAX(1,#REF!,3)", "#REF!"},
        {cells, "=SUM(#REF!)", "#REF!"},
        {cells, "=COUNT(#REF!)", "0"},
        {cells, "=MAX(A1:B2_G1:G12)", "#NULL!"},
        {cells, "=COUNT(C5:A3_B1:B12)", "0"},
        {cells, "=MIN(C5:A3_B1:B12)", "#NULL!"},
        {cells, "=COUNT(1,#NULL!,A1:B3)", "5"},
        {cells, "=MAX(1/0,2)", "#DIV/0!"},
        {cells, "=SUM({1,2}_A1:A3)", "#NULL!"},
        {cells, "=SUM(A1:A3_{1,2})", "#NULL!"},
        {cells, "=SUM(A1:A3_B1:B3)", "#NULL!"},
        {cells, "=SUM(B1:B3_B2)", "2"},
        {cells, "=SUM(A1:B3_B1:B12)", "11"},
        // A worksheet that is not there is an error to the averages as to SUM.
        {cells, "=AVERAGE(Nowhere!A1,4)", "#NAME?"},
        {cells, "=AVERAGE(B1:B3,Nowhere!A1:A3)", "#NAME?"},
        {cells, "=AVERAGEA(Nowhere!A1,4)", "#NAME?"},
        {cells, "=AVEDEV(B1:B3,Nowhere!A1)", "#NAME?"},
        {cells, "=AVERAGE(B3:B1,4)", "4"},
        {cells, "=COUNT(Nowhere!A1,4)", "1"},
    });
}

// Worksheets Q1 and Other beside Sales, where the formulas are typed; Sales!Q1 and Q2 hold
// the text "Other".
struct SheetNamedAsAddress {
    TypedBook book;
    CWorksheet& q1 = book.AddSheet("Q1");
    CWorksheet& other = book.AddSheet("Other");
    CWorksheet& sales = book.AddSheet("Sales");

    SheetNamedAsAddress() {
        book.Book().tree.active = &sales;
        book.Type(q1, "A1", "5");
        book.Type(q1, "A2", "6");
        book.Type(other, "A1", "70");
        book.Type(other, "A2", "80");
        book.Type(sales, "Q1", "Other");
        book.Type(sales, "Q2", "Other");
    }
    // The formula typed into Sales!J20: its value shown and its text as the editor shows it.
    std::pair<std::string, std::string> Typed(const char* formula) {
        book.Type(sales, "J20", formula);
        book.Recalc();
        const Place p = At("J20");
        const uint8_t* r = FindCell(sales.cells, p.row, p.column);
        return {book.General(sales, "J20"), r ? GetFormulaUserText(book.Ctx(), r) : "<none>"};
    }
};

TEST(TypedFormulas, AWorksheetNamedAsAnAddressIsNamedBare) {
    SheetNamedAsAddress f;
    using Shown = std::pair<std::string, std::string>;
    EXPECT_EQ(f.Typed("=Q1!A1"), Shown("5", "=Q1!A1"));
    EXPECT_EQ(f.Typed("=q1!A2"), Shown("6", "=q1!A2"));
    EXPECT_EQ(f.Typed("=SUM(Q1!A1:A2)"), Shown("11", "=SUM(Q1!A1:A2)"));
    EXPECT_EQ(f.Typed("=\"Q1\"!A1+1"), Shown("6", "=\"Q1\"!A1+1"));
    // No worksheet Q2: the cell's text names one. "$" spells a cell, never a name.
    EXPECT_EQ(f.Typed("=Q2!A1"), Shown("70", "=Q2!A1"));
    EXPECT_EQ(f.Typed("=$Q$1!A2"), Shown("80", "=$Q$1!A2"));
    EXPECT_EQ(f.Typed("=Q3!A1"), Shown("#VALUE!", "=Q3!A1"));
    // Without a "!" after it the address is the cell, beside a worksheet of that name too.
    EXPECT_EQ(f.Typed("=Q1&\"\""), Shown("Other", "=Q1&\"\""));
    EXPECT_EQ(f.Typed("=COUNTA(Q1,q1)"), Shown("2", "=COUNTA(Q1,Q1)"));
}

TEST(TypedFormulas, AStoredCellQualifierStillReadsTheCellsText) {
    SheetNamedAsAddress f;
    // Sales!J20 as a file stores "=Q1!A1" written before names were read bare: the
    // qualifier is the cell Q1 of the same worksheet, relative to J20.
    CellBuffer b;
    FormulaHead head;
    const Place p = At("J20");
    ASSERT_TRUE(MakeFormulaCell(b, p.column, p.row, head, "=R[-19]C[7]!R1C1"));
    CellCursor cursor;
    ASSERT_TRUE(f.sales.cells.PutCell(b.bytes, cursor));
    f.book.Recalc();
    EXPECT_EQ(f.book.General(f.sales, "J20"), "70");
}

// A column as people keep one: a header, numbers, a text for a missing number, an empty cell
// (A7), an empty text result and another text; B1:B9 1, 2, 4, ..., 256 beside it. The answers
// are those of both peers.
const std::vector<std::pair<const char*, const char*>> kCriteriaColumn = {
    {"A1", "Qty"},   {"A2", "5"},   {"A3", "n/a"},   {"A4", "20"},  {"A5", "0"},     {"A6", "-3"},
    {"A8", "=\"\""}, {"A9", "abc"}, {"B1", "1"},     {"B2", "2"},   {"B3", "4"},     {"B4", "8"},
    {"B5", "16"},    {"B6", "32"},  {"B7", "64"},    {"B8", "128"}, {"B9", "256"},   {"C1", "0.1"},
    {"C2", "0.05"},  {"C3", "0.2"}, {"D1", "Fruit"}, {"D2", "Veg"}, {"D4", "fruit"}, {"E1", "1"},
    {"E2", "2"},     {"E3", "3"},   {"E4", "4"},     {"E5", "5"}};

TEST(TypedFormulas, CriteriaReadCellsAsBothPeers) {
    CheckTyped({
        // A number criterion never meets a text.
        {kCriteriaColumn, "=COUNTIF(A1:A9,\">0\")", "2"},
        {kCriteriaColumn, "=COUNTIF(A:A,\">0\")", "2"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\">=\"&20)", "1"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\"<5\")", "2"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\">=-3\")", "4"},
        {kCriteriaColumn, "=SUMIF(A1:A9,\">0\",B1:B9)", "10"},
        {kCriteriaColumn, "=SUMIF(A1:A4,\">10\",B1:B4)", "8"},
        // A text criterion orders only texts; the empty text is below every other.
        {kCriteriaColumn, "=COUNTIF(A1:A9,\"<z\")", "4"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\">a\")", "3"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\">\"&A7)", "3"},
        // "" takes the empty cell and the empty text, "=" the empty cell alone, "<>" every
        // other cell.
        {kCriteriaColumn, "=COUNTIF(A1:A9,\"\")", "2"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,A8)", "2"},
        {kCriteriaColumn, "=SUMIF(A1:A9,\"\",B1:B9)", "192"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\"=\")", "1"},
        {kCriteriaColumn, "=SUMIF(A1:A9,\"=\",B1:B9)", "64"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\"<>\")", "8"},
        {kCriteriaColumn, "=SUMIF(A1:A9,\"<>\",B1:B9)", "447"},
        // "<>x" takes the empty cells in SUMIF as in COUNTIF.
        {kCriteriaColumn, "=COUNTIF(A1:A9,\"<>abc\")", "8"},
        {kCriteriaColumn, "=SUMIF(A1:A9,\"<>abc\",B1:B9)", "255"},
        {kCriteriaColumn, "=COUNTIF(A1:A9,\"<>5\")", "8"},
        {kCriteriaColumn, "=SUMIF(A1:A9,\"<>5\",B1:B9)", "509"},
        {kCriteriaColumn, "=SUMIF(D1:D5,\"<>Fruit\",E1:E5)", "10"},
        {kCriteriaColumn, "=COUNTIF(D1:D5,\"<>Fruit\")", "3"},
        // A percentage is its number.
        {kCriteriaColumn, "=COUNTIF(C1:C3,\">=10%\")", "2"},
        {kCriteriaColumn, "=COUNTIF(C1:C3,\"<10%\")", "1"},
        {kCriteriaColumn, "=COUNTIF(C1:C3,\"10%\")", "1"},
        {kCriteriaColumn, "=SUMIF(C1:C3,\">=10 %\",E1:E3)", "4"},
    });
}

const std::vector<std::pair<const char*, const char*>> kQuarters = {
    {"A1", "10"}, {"A2", "20"}, {"A3", "30"}, {"A4", "40"}, {"B1", "0.2"}, {"C1", "=\"\""}};

TEST(TypedFormulas, SingleFunctionsInEverydayShapes) {
    CheckTyped({
        {kQuarters, "=ISBLANK(C1)", "0"},
        {kQuarters, "=ISBLANK(C2)", "1"},
        {kQuarters, "=ISBLANK(\"\")", "0"},
        {kQuarters, "=COUNTBLANK(C1:C2)", "2"},
        {kQuarters, "=INDEX(QUARTILE(A1:A4,{1,2,3}),1,1)", "17.5"},
        {kQuarters, "=INDEX(QUARTILE(A1:A4,{1,2,3}),1,2)", "25"},
        {kQuarters, "=INDEX(QUARTILE(A1:A4,{1,2,3}),1,3)", "32.5"},
        {kQuarters, "=INDEX(PERCENTILE(A1:A4,{0.1;0.5}),1,1)", "13"},
        {kQuarters, "=INDEX(PERCENTILE(A1:A4,{0.1;0.5}),2,1)", "25"},
        {kQuarters, "=QUARTILE(A1:A4,5)", "#NUM!"},
        // The even count at or below n × percent is dropped.
        {{}, "=TRIMMEAN({1,2,3,4,5,6,7,8,9,100},0.15)", "14.5"},
        {{}, "=TRIMMEAN({1,2,3,4,5,6,7,8,9,100},0.2)", "5.5"},
        {{}, "=TRIMMEAN({1,2,3,4,5,6,7,8,9,100},0.39)", "5.5"},
        {{}, "=TRIMMEAN({1,2,3,4,5,6,7,8,9,10},0.3)", "5.5"},
        // Bins in any order count into their own rows.
        {{}, "=INDEX(FREQUENCY({1,2,3},{2,1}),1,1)", "1"},
        {{}, "=INDEX(FREQUENCY({1,2,3},{2,1}),2,1)", "1"},
        {{}, "=INDEX(FREQUENCY({1,2,3},{2,1}),3,1)", "1"},
        {{}, "=INDEX(FREQUENCY({1,2,3},{2,2}),2,1)", "0"},
        {kQuarters, "=TREND({2;4;6},{1;2;3},4)", "8"},
        {kQuarters, "=TREND({2;4;6},{1;2;3},B1)", "0.4"},
        {kQuarters, "=INDEX(TREND({2;4;6},{1;2;3}),1,1)", "2"},
        {kQuarters, "=INDEX(TREND({2;4;6},{5;2;3}),1,1)", "2.57142857142857"},
        {kQuarters, "=INDEX(TREND({2;4;6},{1;2;3}),3,1)", "6"},
        {{}, "=CUMIPMT(0.01,12,1000,1,3,0)", "-27.6266514607819"},
        {{}, "=CUMPRINC(0.01,12,1000,1,3,0)", "-238.919714574243"},
        {{}, "=CUMIPMT(0.01,12,1000,1,3,1)", "-17.45213015919"},
        {{}, "=CUMPRINC(0.01,12,1000,1,3,1)", "-246.455162944795"},
        {{}, "=CUMIPMT(0.01,12,1000,1,1,1)", "0"},
        {{}, "=CUMPRINC(0.01,12,1000,1,1,1)", "-87.9690977013284"},
        {{}, "=CUMIPMT(0.01,12,1000,1,3,2)", "#NUM!"},
        {{}, "=FIXED(1234567.891)", "1,234,567.89"},
        {{}, "=FIXED(1234.5,1)", "1,234.5"},
        {{}, "=FIXED(1234.5,1,TRUE)", "1234.5"},
        {{}, "=FIXED(-1234.5,-2)", "-1,200"},
        {{}, "=ROUND(0.1*3,15)=0.3", "1"},
        {{}, "=ROUNDDOWN(-2/3,15)", "-0.666666666666666"},
        {{}, "=ROUND(2/3,20)=2/3", "1"},
        {{}, "=ROUND(1.5,400)", "1.5"},
        {{}, "=ROUND(123456,-20)", "0"},
        {{}, "=ROUNDUP(5,-400)", "0"},
        {{}, "=LOG(8,0.5)", "-3"},
        {{}, "=LOG(8,1)", "#NUM!"},
        {{}, "=LOG(8,0)", "#NUM!"},
        {{}, "=NETWORKDAYS(\"2005-01-31\",\"2005-01-01\",)", "-21"},
        {{}, "=NETWORKDAYS(\"2005-01-02\",\"2005-01-01\",)", "0"},
        {{}, "=GCD(4294967296,6442450944)", "2147483648"},
        {{}, "=GCD(2^53,2^52)=2^52", "1"},
        {{}, "=LCM(4294967296,3)", "12884901888"},
        {{}, "=LCM(2^40,3^20)", "3.83375999244748E+21"},
        {{}, "=IMPOWER(\"2+3i\",3)", "-46 + 9i"},
        {{}, "=IMPOWER(\"2+3i\",2)", "-5 + 12i"},
        {{}, "=IMPOWER(\"i\",2)", "-1 + 0i"},
        {{}, "=RANDBETWEEN(3,3)", "3"},
        {{}, "=RANDBETWEEN(2,1.5)", "2"},
        {{}, "=RANDBETWEEN(-1.5,-1.2)", "-2"},
        {{}, "=RANDBETWEEN(6,1)", "#NUM!"},
    });
}

// A draw is a whole number between its bounds, each of them drawn in time.
TEST(TypedFormulas, RandbetweenDrawsWholeNumbers) {
    TypedBook book;
    for (int k = 1; k <= 60; ++k) book.Type("A" + std::to_string(k), "=RANDBETWEEN(1,6)");
    book.Type("B1", "=SUMPRODUCT((A1:A60=INT(A1:A60))*(A1:A60>=1)*(A1:A60<=6))");
    book.Type("B2", "=COUNTIF(A1:A60,1)*COUNTIF(A1:A60,6)>0");
    book.Recalc();
    EXPECT_EQ(book.General(book.Sheet(), "B1"), "60");
    EXPECT_EQ(book.General(book.Sheet(), "B2"), "1");
}

// Refinement ends when it no longer gains, whatever count of passes is asked; a guess is
// one value, read in the formula's own row from a range.
TEST(TypedFormulas, NoCountOrRangeMakesAFunctionRunWithoutEnd) {
    const std::vector<std::pair<const char*, const char*>> flows = {
        {"A1", "-1000"}, {"A2", "300"}, {"A3", "300"}, {"A4", "500"}, {"B20", "0.1"}};
    CheckTyped({
        {{},
         "=ROUND(INDEX(MTXGAUSS({3,1,2;1,5,7;2,7,4.1},{0.1;0.2;0.3},2147483647,,1),1,1),15)",
         "0.021691176470588"},
        {{},
         "=ROUND(INDEX(MTXGAUSS({3,1,2;1,5,7;2,7,4.1},{0.1;0.2;0.3},2147483647,0,1),3,1),15)",
         "-0.001225490196078"},
        {{},
         "=ROUND(INDEX(MTXCHL({4,2,0.6;2,5,1;0.6,1,3},{0.1;0.2;0.3},2147483647,1),2,1),15)",
         "0.021255605381166"},
        {flows, "=ROUND(IRR(A1:A4,B:B),12)", "0.044975042616"},
        {flows, "=ROUND(IRR(A1:A4,B19:B21),12)", "0.044975042616"},
        {flows, "=IRR(A1:A4,B1:B2)", "#VALUE!"},
        // The formula's row at the range's last row, and the first range below it.
        {flows, "=ROUND(IRR(A1:A4,B18:B20),12)", "0.044975042616"},
        {flows, "=IRR(A1:A4,B21:B23)", "#VALUE!"},
        {flows, "=ROUND(IRR(A1:A4,B20),12)", "0.044975042616"},
        {flows, "=ROUND(IRR(A1:A4,{0.1,0.2}),12)", "0.044975042616"},
    });
}

// An intersection needs two ranges: an array, from arithmetic or written, shares no cells.
TEST(TypedFormulas, AnIntersectionWithAnArrayIsNull) {
    const std::vector<std::pair<const char*, const char*>> cells = {
        {"A1", "1"}, {"A2", "2"}, {"A3", "3"}, {"A4", "4"}};
    CheckTyped({
        {cells, "=SUM((A1:A4+0)_A1:A2)", "#NULL!"},
        {cells, "=SUM(A1:A2_(A1:A4*2))", "#NULL!"},
        {cells, "=SUM({1,2}_A1:A2)", "#NULL!"},
        {cells, "=SUM(A1:A4_A2:A3)", "5"},
    });
}

} // namespace vl::test
