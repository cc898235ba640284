// Formulas that read cells an array spreads over, calculated before the array in the same
// recalculation: one recalculation must leave every one of them showing what the array
// wrote, whether the array spread for the first time, shrank or was spread by another array.
#include "functions/general/randomfunctions.h"
#include "functiontestutil.h"

#include <string>
#include <vector>

namespace vl::test {

namespace {

using Strings = std::vector<std::string>;

Strings ShownAll(FunctionBook& book, std::initializer_list<const char*> places) {
    Strings out;
    for (const char* a1 : places) out.push_back(book.Shown(a1));
    return out;
}

// A new text for a formula record that keeps its head, and so the area it spread over, as
// an edit of the formula's text does.
void Retext(FunctionBook& book, const char* a1, std::string_view formula) {
    const Place p = At(a1);
    const uint8_t* r = FindCell(book.Sheet().cells, p.row, p.column);
    ASSERT_NE(r, nullptr);
    FormulaHead head = ReadFormulaHead(r);
    head.resultFlags = uint8_t(head.resultFlags & ~kResultText);
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, p.column, p.row, head, book.Internal(formula, p)));
    CellCursor cursor;
    ASSERT_TRUE(book.Sheet().cells.PutCell(b.data(), cursor));
}

} // namespace

// A1 and A2 stand before the array in B2 and are calculated first; A2 reads no element
// itself, only A1. C9 comes after the array and reads it fresh anyway.
TEST(SpreadReaders, SumOverAFirstSpreadAndItsReaderAreFreshAfterOneRecalculation) {
    FunctionBook book;
    book.Formula("A1", "=SUM(B3:B5)");
    book.Formula("A2", "=A1*10");
    book.Formula("B2", "={1;2;3;4}");
    book.Formula("C9", "=B5-B3");
    book.Number("D1", 7);
    book.Formula("E1", "=D1+1"); // reads no element: its value stands
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(ShownAll(book, {"B3", "B5", "A1", "A2", "C9", "E1"}),
              (Strings{"2", "4", "9", "90", "2", "8"}));
}

// The array keeps its area with new values, then shrinks from four rows to two: B4 and B5
// are emptied, and the formulas that read them before the array was calculated see that.
TEST(SpreadReaders, NewValuesAndCellsAShrunkArrayLeavesAreReadFresh) {
    FunctionBook book;
    book.Formula("A1", "=SUM(B3:B5)");
    book.Formula("A2", "=B4+B5");
    book.Formula("B2", "={1;2;3;4}");
    ASSERT_TRUE(book.Recalc());
    ASSERT_EQ(ShownAll(book, {"A1", "A2"}), (Strings{"9", "7"}));
    // The same area with other values.
    Retext(book, "B2", "={5;6;7;8}");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(ShownAll(book, {"B5", "A1", "A2"}), (Strings{"8", "21", "15"}));
    Retext(book, "B2", "={10;20}");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(ShownAll(book, {"B3", "B4", "B5", "A1", "A2"}),
              (Strings{"20", "<none>", "<none>", "20", "0"}));
}

// A5 spreads over A5:A7; C1, calculated before it, spreads the tens of A6:A7 over C1:C2;
// A2 reads only C2, an element of the second array, and is calculated after C1 but still
// before A5.
TEST(SpreadReaders, AChainOfTwoSpreadsSettlesInOneRecalculation) {
    FunctionBook book;
    book.Formula("C1", "=A6:A7*10");
    book.Formula("A2", "=C2*2");
    book.Formula("A5", "={1;2;3}");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(ShownAll(book, {"A6", "A7", "C1", "C2", "A2"}),
              (Strings{"2", "3", "20", "30", "60"}));
}

// The reader stands on a worksheet walked before the array's; the one on the array's own
// worksheet builds its reference from text.
TEST(SpreadReaders, ReadersOnOtherWorksheetsAndThroughTextAreFreshToo) {
    FunctionBook book;
    CWorksheet& alpha = book.AddSheet("Alpha");
    CWorksheet& bravo = book.AddSheet("Bravo");
    book.Formula(alpha, "A1", "=SUM(Bravo!B2:B3)");
    book.Formula(bravo, "A1", "=SUM(INDIRECT(\"B2:B3\",1))");
    book.Formula(bravo, "B1", "={1;2;3}");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(alpha, "A1"), "5");
    EXPECT_EQ(book.Shown(bravo, "A1"), "5");
}

// An array that adds its own element B1 reads it as the plain value it is: one turn per
// recalculation, each from what the turn before left, and its readers see that turn.
TEST(SpreadReaders, AnArrayReadingItsOwnElementsTakesOneTurnPerRecalculation) {
    FunctionBook book;
    book.Formula("A1", "={1,2}+SUM(B1)");
    book.Formula("A3", "=A1");
    book.Formula("B3", "=B1+5");
    const Strings expected[] = {{"1", "2", "1", "7"}, {"3", "4", "3", "9"}, {"5", "6", "5", "11"}};
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(ShownAll(book, {"A1", "B1", "A3", "B3"}), expected[pass]) << pass;
    }
}

// Arrays of random numbers change on every turn without reading themselves, whether their
// reference is built from text or named: they keep a result, and so do their readers.
TEST(SpreadReaders, ArraysOfRandomNumbersAreNotCircular) {
    BindRandomMatrixFunctions();
    FunctionBook book;
    book.Number("D1", 1);
    book.Number("D2", 2);
    book.Formula("A1", "=INDIRECT(\"D1:D2\",1)*RAND()");
    // The box around its references, D1:A9, holds its own cells B1:B2 and A1's; no reference
    // of its own does.
    book.Formula("B1", "=D1:D2*RAND()+A9");
    book.Formula("F1", "=SUM(A1:B2)");
    ASSERT_TRUE(book.Recalc());
    for (const char* a1 : {"A1", "A2", "B1", "B2"}) {
        const std::string shown = book.Shown(a1);
        EXPECT_TRUE(!shown.empty() && shown[0] >= '0' && shown[0] <= '9') << a1 << " " << shown;
    }
    const auto value = [&](const char* a1) { return std::stod(book.Shown(a1)); };
    EXPECT_NEAR(value("F1"), value("A1") + value("A2") + value("B1") + value("B2"), 1e-9);
}

} // namespace vl::test
