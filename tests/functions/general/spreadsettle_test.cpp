// The rounds after an array changed the cells it spreads over: which formulas take another
// turn, that the result owes nothing to arrays a formula never reads, and that a recalculation
// of one worksheet leaves the others alone.
#include "functions/general/randomfunctions.h"
#include "functions/numeric/random.h"
#include "functiontestutil.h"

#include <string>
#include <vector>

namespace vl::test {

namespace {

using Strings = std::vector<std::string>;

// The number a cell holds, to the last bit; a cell without one fails the test.
double Value(FunctionBook& book, CWorksheet& sheet, const char* a1) {
    const Place p = At(a1);
    const uint8_t* r = FindCell(sheet.cells, p.row, p.column);
    EXPECT_TRUE(r && !(r[0] & 0xF0) && !cell::IsText(r))
        << a1 << " shows " << book.Shown(sheet, a1);
    if (!r || (r[0] & 0xF0) || cell::IsText(r)) return -1;
    if (cell::IsNumber(r)) return cell::Number(r);
    EXPECT_FALSE(cell::ResultFlags(r) & kResultText) << a1;
    return cell::CachedNumber(r);
}

// Arrays of two constants far from everything else, none of them read.
void AddUnrelatedArrays(FunctionBook& book, int count) {
    for (int i = 0; i < count; ++i) book.Formula("K" + std::to_string(3 * i + 1), "={7;8}");
}

} // namespace

// An array that reads its own element A2 takes one turn per recalculation, however many
// arrays the workbook holds besides it, and is not circular.
TEST(SpreadSettle, AnArrayReadingItsOwnElementTakesOneTurnWhateverElseTheWorkbookHolds) {
    struct Case {
        const char* formula;
        int unrelated;
        Strings afterOne, afterTwo; // A2 after one and after two recalculations
    };
    const Case cases[] = {
        {"={0;0}+INDIRECT(\"A2\",1)+1", 0, {"1"}, {"2"}},
        {"={0;0}+INDIRECT(\"A2\",1)+1", 1, {"1"}, {"2"}},
        {"={0;0}+INDIRECT(\"A2\",1)+1", 5, {"1"}, {"2"}},
        {"={0;0}+INDIRECT(\"A2\",1)+1", 20, {"1"}, {"2"}},
        {"={0;0}+IF(A2<5,A2+1,5)", 0, {"1"}, {"2"}},
        {"={0;0}+IF(A2<5,A2+1,5)", 3, {"1"}, {"2"}},
        {"={0;0}+IF(A2<5,A2+1,5)", 10, {"1"}, {"2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.formula) + " with " + std::to_string(c.unrelated));
        FunctionBook book;
        book.Formula("A1", c.formula);
        book.Formula("B1", "=A2*10"); // a reader that comes before the array's element
        AddUnrelatedArrays(book, c.unrelated);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Strings{book.Shown("A2")}, c.afterOne);
        EXPECT_EQ(book.Shown("B1"), c.afterOne[0] + "0");
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Strings{book.Shown("A2")}, c.afterTwo);
        EXPECT_EQ(book.Shown("A1"), c.afterTwo[0]);
    }
}

// Arrays of random numbers whose references lie on another worksheet at the place of their own
// cells, or start from their own cell through OFFSET, read nothing of their own.
TEST(SpreadSettle, RandomArraysOverOtherWorksheetsOrOffsetsFromThemselvesAreNotCircular) {
    BindRandomMatrixFunctions();
    FunctionBook book;
    CWorksheet& s1 = book.AddSheet("S1");
    CWorksheet& s2 = book.AddSheet("S2");
    book.Number(s2, "B1", 4);
    book.Number(s2, "C1", 5);
    book.Formula(s1, "A1", "='\\S2'!B1:C1*RAND()");
    book.Formula(s1, "A5", "=OFFSET(A5,1,0,2,1)*RAND()"); // reads A6:B6 and spreads A5:B5
    book.Number(s1, "A6", 4);
    book.Number(s1, "B6", 5);
    book.Formula(s1, "E1", "=B1+B5"); // reads both arrays' elements first
    for (int pass = 0; pass < 5; ++pass) {
        SCOPED_TRACE(pass);
        ASSERT_TRUE(book.Recalc());
        const struct {
            const char* a1;
            double bound;
        } cells[] = {{"A1", 4}, {"B1", 5}, {"A5", 4}, {"B5", 5}};
        for (const auto& c : cells) {
            const double v = Value(book, s1, c.a1);
            EXPECT_GE(v, 0) << c.a1;
            EXPECT_LT(v, c.bound) << c.a1;
        }
        EXPECT_NEAR(Value(book, s1, "E1"), Value(book, s1, "B1") + Value(book, s1, "B5"), 1e-9);
    }
}

// S1 is recalculated alone: S2!B1 is neither on S1 nor read by it and keeps its value, while
// S2!A1, which S1 reads, sees the array's new elements.
TEST(SpreadSettle, OneWorksheetRecalculatedLeavesWhatItDoesNotReadElsewhere) {
    FunctionBook book;
    CWorksheet& s1 = book.AddSheet("S1");
    CWorksheet& s2 = book.AddSheet("S2");
    book.Number(s1, "D1", 1);
    book.Formula(s1, "C1", "={1;1;1}*D1");
    book.Formula(s1, "A1", "='\\S2'!A1");
    book.Formula(s2, "A1", "=SUM('\\S1'!C2:C3)");
    book.Number(s2, "Z1", 1);
    book.Formula(s2, "B1", "=Z1*2");
    ASSERT_TRUE(book.Recalc());
    ASSERT_EQ((Strings{book.Shown(s1, "A1"), book.Shown(s2, "A1"), book.Shown(s2, "B1")}),
              (Strings{"2", "2", "2"}));
    book.Number(s2, "Z1", 50);
    book.Number(s1, "D1", 3);
    ASSERT_TRUE(book.Recalc(&s1.cells));
    EXPECT_EQ((Strings{book.Shown(s1, "C3"), book.Shown(s1, "A1"), book.Shown(s2, "A1"),
                       book.Shown(s2, "B1")}),
              (Strings{"3", "6", "6", "2"}));
    // The whole workbook then brings S2!B1 up to date.
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(s2, "B1"), "100");
}

// A random array takes one turn per recalculation: a reader of its elements calculated before
// it, itself an array, shows that turn's values, whatever the random array reads.
TEST(SpreadSettle, ReadersOfARandomArraySeeItsOneTurn) {
    BindRandomMatrixFunctions();
    for (const char* formula : {"='\\S2'!D5:D7*RAND()", "=INDIRECT(\"H5:H7\",1)*RAND()"}) {
        SCOPED_TRACE(formula);
        FunctionBook book;
        CWorksheet& s1 = book.AddSheet("S1");
        CWorksheet& s2 = book.AddSheet("S2");
        for (const char* a1 : {"D5", "D6", "D7"}) book.Number(s2, a1, 1);
        for (const char* a1 : {"H5", "H6", "H7"}) book.Number(s1, a1, 1);
        book.Formula(s1, "C1", formula);
        book.Formula(s1, "A1", "=C2:C3*2");
        book.Formula(s1, "B1", "=C2*2");
        for (int pass = 0; pass < 20; ++pass) {
            ASSERT_TRUE(book.Recalc());
            const double c2 = Value(book, s1, "C2");
            const double c3 = Value(book, s1, "C3");
            EXPECT_EQ(Value(book, s1, "A1"), 2 * c2) << pass;
            EXPECT_EQ(Value(book, s1, "A2"), 2 * c3) << pass;
            EXPECT_EQ(Value(book, s1, "B1"), 2 * c2) << pass;
        }
    }
}

// A random array reading an element of an array that changes after it keeps its one turn:
// it draws once per recalculation (a second turn would show the second number drawn), and
// its reader sees that draw.
TEST(SpreadSettle, ARandomArrayDrawsOncePerRecalculationWhateverItReads) {
    BindRandomMatrixFunctions();
    FunctionBook book;
    book.Formula("A1", "=RAND()*{1;1}+C6*0");
    book.Formula("B1", "=A2*1");
    book.Formula("C5", "={1;1}*D1");
    for (double d : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(d);
        book.Number("D1", d);
        ResetRandomPairs();
        const std::string first = book.Eval("=RAND()");
        ResetRandomPairs();
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("A1"), book.Shown("A2"), book.Shown("B1"), book.Shown("C6")}),
                  (Strings{first, first, first, book.Shown("D1")}));
    }
}

// A reader through INDIRECT stays fresh among more other formulas that build references than
// fit in 16 bits.
TEST(SpreadSettle, ReadersThroughTextStayFreshPastTheReferencesKept) {
    FunctionBook book;
    book.Formula("A1", "=SUM(INDIRECT(\"C2:C3\",1))");
    book.Formula("C1", "={1;1;1}*D1");
    const uint32_t others = (uint32_t(1) << 16) + 1;
    CellBuffer b;
    const std::string text = book.Internal("=INDIRECT(\"Z1\",1)", At("F1"));
    CellCursor cursor; // put in storage order, as the cursor expects
    for (uint32_t row = 0; row < others; ++row) {
        ASSERT_TRUE(MakeFormulaCell(b, 5, row, FormulaHead{}, text));
        ASSERT_TRUE(book.Sheet().cells.PutCell(b.data(), cursor));
    }
    for (double d : {2.0, 5.0}) {
        book.Number("D1", d);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Value(book, book.Sheet(), "A1"), 2 * d);
    }
}

// A reference to a whole row or column reaches every cell of it that an array spreads over,
// however far from the first column or row.
TEST(SpreadSettle, WholeRowsAndColumnsReadEveryElementOfTheArray) {
    struct Case {
        const char* reader;
        double perUnit; // the reader's value for A9 = 1
    };
    const Case cases[] = {{"=SUM(6:6)", 4 + 5 + 6}, {"=SUM(E:E)", 3 + 6}, {"=SUM(5:6)", 21}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reader);
        FunctionBook book;
        book.Formula("A1", c.reader);
        book.Number("A9", 1);
        book.Formula("C5", "={1,2,3;4,5,6}*A9");
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Value(book, book.Sheet(), "A1"), c.perUnit);
        book.Number("A9", 3);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Value(book, book.Sheet(), "A1"), 3 * c.perUnit);
    }
}

// An array that gives fewer rows or columns but the same first values has changed: the cells
// it left are empty for the formulas calculated before it, which read its elements only.
TEST(SpreadSettle, AnArrayShrinkingToItsFirstValuesCountsAsChanged) {
    struct Case {
        const char* array;
        const char* reader;
        Strings wide, narrow; // the reader, then the cell left, with D1 = 1 and with D1 = 2
        const char* left;
    };
    const Case cases[] = {
        {"=IF(D1=1,{1;2;3},{1;2})", "=SUM(B3:B4)", {"5", "3"}, {"2", "<none>"}, "B4"},
        {"=IF(D1=1,{1,2,3},{1,2})", "=SUM(C2:D2)", {"5", "3"}, {"2", "<none>"}, "D2"},
        {"=IF(D1=1,{1;2;3},{1})", "=SUM(B3:B4)", {"5", "3"}, {"0", "<none>"}, "B4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.array);
        FunctionBook book;
        book.Formula("A1", c.reader);
        book.Number("D1", 1);
        book.Formula("B2", c.array);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("A1"), book.Shown(c.left)}), c.wide);
        book.Number("D1", 2);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("A1"), book.Shown(c.left)}), c.narrow);
    }
}

// An array kept from spreading by the area of one before it in the walk's order spreads in the
// recalculation where that area shrinks, and the formulas reading it see its elements at once;
// one still blocked, or blocked only by a value, stays as it was. Typed after the other or
// before it, the one before keeps the cells.
TEST(SpreadSettle, AnArrayBlockedByAShrinkingOneSpreadsInTheSameRecalculation) {
    struct Case {
        const char* blocker; // at B2, spreading over C2 while Z1 is 1
        const char* typed;   // typed at C2 after Z1 becomes 0, when set
        Strings shown;       // D5, C2 and C1 after Z1 becomes 0
    };
    const Case cases[] = {
        {"=IF($Z$1,{1,2},{1})", nullptr, {"11", "6", "5"}},
        {"=IF($Z$1,{1,2;3,4},{1;3})", nullptr, {"14", "6", "5"}},
        {"=IF($Z$1,{1,2},{1,2,3})", nullptr, {"11", "6", "5"}},
        {"=IF($Z$1,{1,2},{1})", "9", {"#FILL!", "9", "#FILL!"}},
    };
    for (const Case& c : cases) {
        for (const bool blockerFirst : {false, true}) {
            SCOPED_TRACE(std::string(c.blocker) + (blockerFirst ? ", typed first" : ""));
            FunctionBook book;
            book.Number("Z1", 1);
            if (blockerFirst) {
                book.Formula("B2", c.blocker);
                ASSERT_TRUE(book.Recalc());
            }
            book.Formula("C1", "={5;6}");
            book.Formula("D5", "=SUM(A3:B3)+SUM(C1:C2)");
            if (!blockerFirst) book.Formula("B2", c.blocker);
            ASSERT_TRUE(book.Recalc());
            // C1 comes before B2 in the walk: it holds C2, and B2 cannot spread.
            ASSERT_EQ((Strings{book.Shown("B2"), book.Shown("C1"), book.Shown("C2")}),
                      (Strings{"#FILL!", "5", "6"}));
            book.Number("Z1", 0);
            if (c.typed) book.Number("C2", std::stod(c.typed));
            ASSERT_TRUE(book.Recalc());
            EXPECT_EQ((Strings{book.Shown("D5"), book.Shown("C2"), book.Shown("C1")}), c.shown);
        }
    }
}

// An array that would spread over cells an array before it in the walk's order holds shows
// #FILL!, as one blocked by a typed value does, and shows none of its elements; the other keeps
// its cells, and takes them from one after it, whichever spread first. The formulas reading
// either follow (a sum over #FILL! is #FILL!). Arrays are typed in the order given, each recalculated,
// then Z1 becomes 0 and, last, 1 again.
TEST(SpreadSettle, AnArrayThatWouldSpreadOverAnothersCellsShowsFill) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> typed; // cell, formula
        std::vector<const char*> read;                          // the cells compared
        Strings withOne, withZero, withOneAgain;
    };
    const Case cases[] = {
        {"growing into the cells of one before it",
         {{"D1", "={5;6}"},
          {"B2", "=IF($Z$1,{1,2},{1,2,3})"},
          {"F1", "=SUM(D1:D2)"},
          {"F2", "=SUM(B2:C2)"}},
         {"B2", "C2", "D2", "F1", "F2"},
         {"1", "2", "6", "11", "3"},
         {"#FILL!", "<none>", "6", "11", "#FILL!"},
         {"1", "2", "6", "11", "3"}},
        {"growing into the cells of one after it, which gives them up",
         {{"A3", "={7,8}"}, {"B1", "=IF($Z$1,{1},{1;2;3})"}, {"D1", "=SUM(B1:B3)"}},
         {"A3", "B1", "B2", "B3", "D1"},
         {"7", "1", "<none>", "8", "9"},
         {"#FILL!", "1", "2", "3", "6"},
         {"7", "1", "<none>", "8", "9"}},
        {"typed over the cells of one after it", // B2 first, then C1 over its C2
         {{"B2", "=IF($Z$1,{1,2},{1,2,3})"}, {"C1", "={5;6}"}, {"D5", "=SUM(C1:C2)"}},
         {"B2", "C1", "C2", "D2", "D5"},
         {"#FILL!", "5", "6", "<none>", "11"},
         {"#FILL!", "5", "6", "<none>", "11"},
         {"#FILL!", "5", "6", "<none>", "11"}},
        {"the one after it in the way shrinks in the same recalculation",
         {{"A2", "=IF($Z$1,{7,8},{7})"}, {"B1", "=IF($Z$1,{1},{1;2;3})"}, {"D1", "=SUM(B1:B3)"}},
         {"A2", "B1", "B2", "B3", "D1"},
         {"7", "1", "8", "<none>", "9"},
         {"7", "1", "2", "3", "6"},
         {"7", "1", "8", "<none>", "9"}},
        {"both turn on an element that changes after them",
         {{"A2", "=IF(D4=1,{7},{7,8})"},
          {"B1", "=IF(D4=1,{1;2;3},{1})"},
          {"D3", "=IF($Z$1,{0},{0;1})"},
          {"F1", "=SUM(B1:B3)+SUM(A2:B2)"}},
         {"A2", "B1", "B2", "B3", "F1"},
         {"7", "1", "8", "<none>", "24"},
         {"7", "1", "2", "3", "15"},
         {"7", "1", "8", "<none>", "24"}},
        {"the one before it in the way shrinks after its turn", // B1 reads A2: A2 goes first
         {{"D3", "=IF($Z$1,{0},{0;1})"},
          {"A2", "=IF(D4=1,{7,8},{7})"},
          {"B1", "=IF(D4=1,{1},{1;2})+0*ISNUMBER(A2)"},
          {"F1", "=SUM(B1:B3)+SUM(A2:B2)"}},
         {"A2", "B1", "B2", "B3", "F1"},
         {"7", "1", "2", "<none>", "12"},
         {"7", "1", "8", "<none>", "24"},
         {"7", "1", "2", "<none>", "12"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FunctionBook book;
        book.Number("Z1", 1);
        for (const auto& [at, formula] : c.typed) {
            book.Formula(at, formula);
            ASSERT_TRUE(book.Recalc());
        }
        const auto shown = [&] {
            Strings out;
            for (const char* a1 : c.read) out.push_back(book.Shown(a1));
            return out;
        };
        EXPECT_EQ(shown(), c.withOne);
        book.Number("Z1", 0);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(shown(), c.withZero);
        book.Number("Z1", 1);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(shown(), c.withOneAgain);
    }
}

// A chain of arrays, each reading an element of the next one down, settles in one
// recalculation; so does a chain of plain formulas whose last reads an element.
TEST(SpreadSettle, ChainsOfArraysAndOfFormulasSettleInOneRecalculation) {
    FunctionBook book;
    constexpr int kLinks = 30;
    for (int k = 1; k < kLinks; ++k)
        book.Formula("B" + std::to_string(2 * k - 1), "={1;1}+B" + std::to_string(2 * k + 2));
    book.Formula("B" + std::to_string(2 * kLinks - 1), "={1;1}*D1");
    for (int k = 1; k < kLinks; ++k)
        book.Formula("F" + std::to_string(k), "=F" + std::to_string(k + 1) + "+1");
    book.Formula("F" + std::to_string(kLinks), "=B2");
    for (double d : {5.0, 9.0}) {
        book.Number("D1", d);
        ASSERT_TRUE(book.Recalc());
        // B(2k) holds d + kLinks - k.
        EXPECT_EQ(Value(book, book.Sheet(), "B2"), d + kLinks - 1);
        EXPECT_EQ(Value(book, book.Sheet(), "F1"), d + kLinks - 1 + kLinks - 1);
    }
}

} // namespace vl::test
