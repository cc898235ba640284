#include "formula/cellref.h"
#include "functiontestutil.h"

#include <string>

namespace vl::test {

namespace {

std::string A1(uint16_t column, uint32_t row) {
    return RefToA1Text(CellRef{column, row, kRefCell | kRefRowRelative | kRefColumnRelative});
}

// The reference or range a formula leaves, before anything reads it: "B3", "B3:C4" (with
// "@other" when it lies on another store than the active worksheet's), or the error.
std::string ReferenceOf(FunctionBook& book, std::string_view formula, std::string_view at) {
    Place p = At(at);
    std::string stored = book.Internal(formula, p);
    CEvalContext& ctx = book.Ctx();
    ctx.worksheetList = book.Book().tree.first;
    ctx.currentCells = &book.Sheet().cells;
    if (!EvaluateFormula(ctx, stored, p.column, p.row)) return "#SYNTAX!";
    const FormulaToken& v = ctx.values[1];
    std::string where = v.cells == &book.Sheet().cells ? "" : "@other";
    if (v.error) return std::string(GetFormulaErrorText(v.error));
    if (v.type == kTokenReference) return A1(v.column, v.row) + where;
    if (v.type == kTokenArea)
        return A1(v.firstColumn, v.firstRow) + ":" + A1(v.lastColumn, v.lastRow) + where;
    return "<no reference>";
}

struct ReferenceCase {
    const char* formula;
    const char* at;
    const char* reference;
};

void CheckReferences(FunctionBook& book, std::initializer_list<ReferenceCase> cases) {
    for (const ReferenceCase& c : cases)
        EXPECT_EQ(ReferenceOf(book, c.formula, c.at), c.reference) << c.formula;
}

// A1 or R1C1 notation for the time of a test.
class Addressing {
public:
    explicit Addressing(uint8_t a1) : saved_(Profile().addressingA1) {
        Profile().addressingA1 = a1;
    }
    ~Addressing() { Profile().addressingA1 = saved_; }

private:
    uint8_t saved_;
};

} // namespace

TEST(ReferenceFunctions, AddressInBothNotations) {
    FunctionBook book;
    book.Check({
        {"=ADDRESS(2,,1,1,)", "$2:$2"},
        {"=ADDRESS(,2,,,)", "$B:$B"},
        {"=ADDRESS(1,2,,,)", "$B$1"},
        {"=ADDRESS(1,2,2,,)", "B$1"},
        {"=ADDRESS(1,2,3,,)", "$B1"},
        {"=ADDRESS(1,2,4,,)", "B1"},
        {"=ADDRESS(1,2047,1,1,)", "$BZS$1"},
        {"=ADDRESS(2097152,27,1,1,)", "$AA$2097152"},
        {"=ADDRESS(1,2048,1,1,)", "#NUM!"},
        {"=ADDRESS(0,1,1,1,)", "#NUM!"},
        {"=ADDRESS(1,1,5,1,)", "#NUM!"},
        {"=ADDRESS(,,,,)", "#VALUE!"},
        {"=ADDRESS(1,2,1,1,\"path\\x_y\")", "path\\x_y!$B$1"},
        {"=ADDRESS(1,2,1,1,\"my sheet\")", "\"my sheet\"!$B$1"},
        {"=ADDRESS(1,2,1,1,\"1a\")", "\"1a\"!$B$1"},
        {"=ADDRESS({1,2},1,1,1,)", "{\"$A$1\", \"$A$2\"}"},
        {"=ADDRESS(1,2,1,1)", "$B$1"},
    });
    // Mode 0, or R1C1 chosen in the settings, writes R1C1 text measured from the formula's
    // cell (D4 here).
    EXPECT_EQ(book.Eval("=ADDRESS(1,2,4,0,)", "D4"), "R[-3]C[-2]");
    EXPECT_EQ(book.Eval("=ADDRESS(4,5,4,0,)", "D4"), "RC[1]");
    EXPECT_EQ(book.Eval("=ADDRESS(1,2,1,0,)", "D4"), "R1C2");
    // The whole address holds 255 characters at most; a longer one is refused, never cut
    // to its range. A quote inside a quoted path is doubled and counts twice.
    EXPECT_EQ(book.Eval("=ADDRESS(1,2,1,1,REPT(\"p\",250))", "D4"),
              std::string(250, 'p') + "!$B$1");
    EXPECT_EQ(book.Eval("=ADDRESS(1,2,1,1,REPT(\"p\",251))", "D4"), "#VALUE!");
    EXPECT_EQ(book.Eval("=ADDRESS(1,2,1,1,\"a\"&CHAR(34)&\"b\")", "D4"), "\"a\"\"b\"!$B$1");
    EXPECT_EQ(book.Eval("=ADDRESS(1,2,1,1,REPT(CHAR(34),124))", "D4"),
              "\"" + std::string(248, '"') + "\"!$B$1");
    EXPECT_EQ(book.Eval("=ADDRESS(1,2,1,1,REPT(CHAR(34),125))", "D4"), "#VALUE!");
    Addressing r1c1(0);
    book.Check({
        {"=ADDRESS(1,2,1,1,)", "R1C2"},
        {"=ADDRESS(,2,,,)", "C2"},
        {"=ADDRESS(20,10,4,1,)", "RC"},
        {"=ADDRESS(1,2,1,1,\"a b\")", "\"a b\"!R1C2"},
    });
}

TEST(ReferenceFunctions, PositionsCountsAndChoices) {
    FunctionBook book;
    book.Number("A1", 1);
    book.Number("A2", 2);
    book.Number("B1", 10);
    book.Number("B2", 20);
    book.Check({
        {"=AREAS(A1:B2,C3)", "2"},
        {"=AREAS(1,\"x\",{1})", "0"},
        {"=AREAS(A1,1/0)", "#DIV/0!"},
        {"=SUM(CHOOSE(2,A1:A2,B1:B2,C1:C2))", "30"},
        {"=CHOOSE(2,\"a\",\"b\",\"c\")", "b"},
        {"=CHOOSE(3,\"a\",{1,2},\"c\")", "c"},
        {"=CHOOSE(2,\"a\",{1,2},\"c\")", "{1, 2}"},
        {"=CHOOSE(\"2\",\"a\",\"b\")", "b"},
        {"=CHOOSE(1,1/0,2)", "#DIV/0!"},
        {"=CHOOSE(2,1/0,2)", "2"},
        {"=CHOOSE(4,1,2,3)", "#NUM!"},
        {"=CHOOSE(0,1)", "#NUM!"},
        {"=CHOOSE(,1)", "#NUM!"},
        {"=CHOOSE(1)", "#SYNTAX!"},
        {"=COLUMN(D2)+ROW(D2)", "6"},
        {"=COLUMN(A1:C5)", "{1, 2, 3}"},
        {"=ROW(A1:C5)", "{1; 2; 3; 4; 5}"},
        {"=COLUMN(B1:B9)", "2"},
        {"=ROW(B7:C7)", "7"},
        {"=COLUMN({1,2})", "{1, 2}"},
        {"=ROW({1,2})", "1"},
        // Anything else is the result as it stands, a text still on the pool.
        {"=COLUMN(\"abc\")", "abc"},
        {"=ROW(\"abc\")&COLUMN(\"d\")", "abcd"},
        {"=COLUMN(5)", "5"},
        {"=COLUMN(1/0)", "#DIV/0!"},
        {"=COLUMN(1,2)", "#SYNTAX!"},
        // A single cell is a range of one column and one row; a value is no range.
        {"=COLUMNS(A1)", "1"},
        {"=ROWS(D7)", "1"},
        {"=ROWS(1,D7)", "1"},
        {"=COLUMNS(5)", "#VALUE!"},
        {"=COLUMNS({1,2,3;4,5,6})", "3"},
        {"=ROWS({1,2,3;4,5,6})", "2"},
        {"=COLUMNS(1,\"x\",A1:D2)", "4"},
        {"=ROWS(A:A)", "2097152"},
        {"=ROWS(A1:A2,1)", "#VALUE!"},
        // An error of an argument before the last wins as well.
        {"=ROWS(1/0,A1:B2)", "#DIV/0!"},
        {"=COLUMNS(A2:A1,B1:B2)", "#REF!"},
        {"=ROWS(B2:B1_A1,A1)", "#NULL!"}, // an intersection with a reversed range
        {"=COLUMNS(1/0,A2:A1)", "#VALUE!"},
    });
    EXPECT_EQ(book.Eval("=COLUMN()*100+ROW()", "C7"), "307");
    CheckReferences(book, {
                              {"=CHOOSE(2,A1:A10,B1:B10,C1:C10)", "J20", "B1:B10"},
                              {"=IF(1,A1:B2,0)", "J20", "A1:B2"},
                          });
}

TEST(ReferenceFunctions, IndexPicksCellsLinesAndVectors) {
    FunctionBook book;
    book.Number("A1", 1);
    book.Number("B1", 2);
    book.Number("A2", 3);
    book.Number("B2", 4);
    book.Check({
        {"=index({1,3,5;2,4,6},2,2)", "4"},
        {"=index({1,3,5;2,4,6},,2)", "{3; 4}"},
        {"=index({1,3,5;2,4,6},2,)", "{2, 4, 6}"},
        {"=index({1,3,5;2,4,6},0,0)", "{1, 3, 5; 2, 4, 6}"},
        {"=index({1,3,5;2,4,6},{2,1},)", "{2, 4, 6; 1, 3, 5}"},
        {"=index({1,3,5;2,4,6},,{3;1})", "{5, 1; 6, 2}"},
        // A number that names no row gives an empty row.
        {"=ROWS(index({1,3;2,4},{2;7;1},))", "3"},
        {"=index(index({1,3;2,4},{2;7;1},),3,2)", "3"},
        {"=index({1,3;2,4},{2,1},{1,2})", "#VALUE!"},
        {"=index({1,3;2,4},{2,1},1)", "#VALUE!"},
        {"=index({1,3;2,4},{\"x\"},)", "#NUM!"},
        {"=index({\"a\",\"b\"},1,2)", "b"},
        {"=index({1,2},1,3)", "#REF!"},
        {"=index({1,2},2,1)", "#REF!"},
        {"=index({1,2},1,-1)", "#NUM!"},
        {"=index(5,1,1)", "#VALUE!"},
        {"=SUM(INDEX(A1:B2,,2))", "6"},
        {"=SUM(INDEX(A1:B2,2,))", "7"},
        {"=INDEX(A1:B2,2,2)*10", "40"},
        {"=INDEX(A1:D4,5,1)", "#REF!"},
        {"=index({2,\"b\";2,\"a\";3,\"d\";3,\"c\";1,\"e\"},{5;2;1;4;3},)",
         "{1, \"e\"; 2, \"a\"; 2, \"b\"; 3, \"c\"; 3, \"d\"}"},
    });
    CheckReferences(book, {
                              {"=index(A1:D4,2,2)", "J20", "B2"},
                              {"=index(A1:D4,2,)", "J20", "A2:D2"},
                              {"=index(A1:D4,,3)", "J20", "C1:C4"},
                              {"=index(A1:D4,,)", "J20", "A1:D4"},
                              {"=index(A1:D4,0,0)", "J20", "A1:D4"},
                              {"=index(A1:A4,3,)", "J20", "A3"},
                          });
}

TEST(ReferenceFunctions, IndirectAndOffset) {
    FunctionBook book;
    book.Number("A1", 5);
    book.Number("A2", 6);
    book.Check({
        {"=INDIRECT(\"A1\",1)+1", "6"},
        {"=SUM(INDIRECT(\"A1:A3\",))", "11"},
        {"=SUM(INDIRECT({\"A1\",\"A2\"},1))", "11"},
        {"=INDIRECT(\"A\",1)", "#REF!"},
        {"=INDIRECT(5,1)", "#REF!"},
        {"=INDIRECT(\"A1\",2)", "#NUM!"},
        {"=INDIRECT(1/0,1)", "#DIV/0!"},
        {"=SUM(OFFSET(A1,1,0,,))", "6"},
        {"=OFFSET(1,0,0,,)", "#VALUE!"},
        {"=OFFSET(\"x\",0,0,,)", "#VALUE!"},
        {"=OFFSET(A1,0,0,1)", "5"},
    });
    EXPECT_EQ(book.Eval("=INDIRECT(\"A1\")", "J20"), "5");
    CheckReferences(book, {
                              {"=indirect(\"A:A\",1)", "J20", "A1:A2097152"},
                              {"=indirect(\"1:3\",1)", "J20", "A1:BZS3"},
                              {"=indirect(\"B2  \",1)", "J20", "B2"},
                              {"=indirect(\"  $C$3\",)", "J20", "C3"},
                              {"=indirect(\"B2:A1\",1)", "J20", "A1:B2"},
                              {"=indirect(\"B2 x\",1)", "J20", "#REF!"},
                              {"=indirect(\"B2x\",1)", "J20", "#REF!"},
                              {"=indirect(\"A1:B\",1)", "J20", "#REF!"},
                              {"=indirect(\"A0\",1)", "J20", "#REF!"},
                              {"=indirect(\"BZT1\",1)", "J20", "#REF!"},
                              {"=indirect(\"R1C1\",1)", "J20", "#REF!"},
                              // R1C1 text, relative parts measured from the formula's cell.
                              {"=indirect(\"R1C1\",0)", "D4", "A1"},
                              {"=indirect(\"R[-1]C\",0)", "D4", "D3"},
                              {"=indirect(\"RC[2]\",0)", "D4", "F4"},
                              {"=indirect(\"R3\",0)", "D4", "A3:BZS3"},
                              {"=indirect(\"C2\",0)", "D4", "B1:B2097152"},
                              {"=indirect(\"R1C1:R2C2\",0)", "D4", "A1:B2"},
                              {"=indirect(\"R1:R[-1]\",0)", "D4", "A1:BZS3"},
                              {"=indirect(\"R1C1:R2\",0)", "D4", "#REF!"},
                              {"=indirect(\"R[-4]C\",0)", "D4", "#REF!"},
                              {"=offset(A1:B5,2,1,2,2)", "J20", "B3:C4"},
                              {"=offset(A1,1,1,,)", "J20", "B2"},
                              {"=offset(A1:B5,0,0,,)", "J20", "A1:B5"},
                              // Width before height.
                              {"=offset(A1:B5,1,0,1,)", "J20", "A2:A6"},
                              {"=offset(B2,0,0,3,1)", "J20", "B2:D2"},
                              // Rows move as far as the worksheet's last row, columns to
                              // its last column.
                              {"=offset(A1,2047,0,,)", "J20", "A2048"},
                              {"=offset(A1,2097151,0,,)", "J20", "A2097152"},
                              {"=offset(A1,2097152,0,,)", "J20", "#NUM!"},
                              {"=offset(A2,2097151,0,,)", "J20", "#REF!"},
                              {"=offset(A1,0,2046,,)", "J20", "BZS1"},
                              {"=offset(A1,0,2047,,)", "J20", "#NUM!"},
                              {"=offset(A1,-1,0,,)", "J20", "#NUM!"},
                              {"=offset(A1,0,0,0,)", "J20", "#NUM!"},
                              {"=offset(BZR1,0,1,2,1)", "J20", "#REF!"},
                              {"=offset(BZR1,0,1,,)", "J20", "BZS1"},
                              {"=offset(A2097151,1,0,,)", "J20", "A2097152"},
                              {"=offset(A2097151,1,0,,2)", "J20", "#REF!"},
                          });
}

} // namespace vl::test
