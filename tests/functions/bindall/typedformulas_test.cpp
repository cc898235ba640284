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

} // namespace vl::test
