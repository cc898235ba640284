// Formulas calling a function whose result changes on every turn, beside an array that changes:
// each takes one turn per recalculation, in walk order when it reads no array, and one that
// reads the changing array ends with the array's new values.
#include "formula/spreadreach.h"
#include "functions/general/randomfunctions.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/random.h"
#include "functiontestutil.h"

#include <string>
#include <vector>

namespace vl::test {

namespace {

using Strings = std::vector<std::string>;

// A term naming each such function; the numbers it draws, if any, are drawn after RAND()'s.
const char* const kTerms[] = {"0*RAND()",       "0*RANDBETWEEN(1,9)",  "0*SECOND(NOW())",
                              "0*DAY(TODAY())", "0*SUM(MTXRAND(2,,))", "0*SUM(MTXRAND2(2,,,0,,))"};

} // namespace

// Column B: formulas, each a number of column A (1, so that the product is the number drawn)
// times a random number plus the term, before and after D2:D4, an array over F1 that changes
// before most recalculations. Each formula takes the next number drawn in walk order, and
// nothing else draws one: the number after them is the next of the stream.
TEST(SpreadVolatile, FormulasBesideAChangingArrayDrawOnceInWalkOrder) {
    BindRandomMatrixFunctions();
    ASSERT_TRUE(BindNumericMethodBuiltins());
    constexpr int kRows = 5;
    for (const char* term : kTerms) {
        SCOPED_TRACE(term);
        FunctionBook book;
        for (int r = 1; r <= kRows; ++r) {
            const std::string row = std::to_string(r);
            book.Number("A" + row, 1);
            book.Formula("B" + row, "=A" + row + "*RAND()+" + term);
        }
        book.Formula("D2", "={1;2;3}*F1");
        for (double f : {2.0, 2.0, 7.0, 4.0}) {
            SCOPED_TRACE(f);
            book.Number("F1", f);
            ResetRandomPairs();
            Strings draws;
            for (int r = 0; r < kRows; ++r) {
                draws.push_back(book.Eval("=RAND()"));
                book.Eval(std::string("=") + term);
            }
            draws.push_back(book.Eval("=RAND()"));
            ResetRandomPairs();
            ASSERT_TRUE(book.Recalc());
            Strings shown;
            for (int r = 1; r <= kRows; ++r) shown.push_back(book.Shown("B" + std::to_string(r)));
            shown.push_back(book.Eval("=RAND()"));
            EXPECT_EQ(shown, draws);
            EXPECT_EQ(book.Shown("D4"), std::to_string(int(3 * f)));
        }
    }
}

// A formula that reads the changing array, before it or after it in the walk, ends with the
// array's new elements, as it shows them once the array has settled, and draws its numbers
// once: the next number of the stream is the second.
TEST(SpreadVolatile, AFormulaReadingTheChangingArrayEndsFresh) {
    BindRandomMatrixFunctions();
    ASSERT_TRUE(BindNumericMethodBuiltins());
    const struct {
        const char* place;
        const char* formula;
        const char* settled; // what it shows without its term
        const char* term;    // drawing what the formula draws
        bool draws;
    } readers[] = {
        {"B1", "=SUM(D1:D3)+0*RAND()", "=SUM(D1:D3)", "=RAND()", true},
        {"B9", "=SUM(D1:D3)+0*RAND()", "=SUM(D1:D3)", "=RAND()", true},
        {"B1", "=D3+0*SECOND(NOW())", "=D3", "=RAND()", false},
        {"B9", "=D2+D3+0*RANDBETWEEN(1,9)", "=D2+D3", "=RAND()", true},
        {"B1", "=D2-0*DAY(TODAY())", "=D2", "=RAND()", false},
        {"B2", "=D3+0*SUM(MTXRAND(2,,))", "=D3", "=SUM(MTXRAND(2,,))", true},
        {"A1", "=SUM(D2:D3,0*MTXRAND2(2,,,0,,))", "=SUM(D2:D3)", "=SUM(MTXRAND2(2,,,0,,))", true},
    };
    for (const auto& reader : readers) {
        SCOPED_TRACE(std::string(reader.place) + " " + reader.formula);
        FunctionBook book;
        book.Formula(reader.place, reader.formula);
        book.Formula("D1", "=IF(F1>4,{1;2;3},{1;2})*F1");
        for (double f : {1.0, 5.0, 6.0, 2.0, 9.0, 9.0}) {
            book.Number("F1", f);
            ResetRandomPairs();
            const std::string first = book.Eval(reader.term);
            const std::string second = book.Eval(reader.term);
            ResetRandomPairs();
            ASSERT_TRUE(book.Recalc());
            EXPECT_EQ(book.Shown(reader.place), book.Eval(reader.settled)) << f;
            EXPECT_EQ(book.Eval(reader.term), reader.draws ? second : first) << f;
        }
    }
}

// The test at the start of each recalculation finds every name in any case, and no name that
// only ends or starts like one.
TEST(SpreadVolatile, TheTextTestFindsEveryNameInAnyCase) {
    const struct {
        const char* formula;
        bool found;
    } cases[] = {
        {"=RAND()", true},
        {"=1+rand()", true},
        {"=A1*RandBetween(1,9)", true},
        {"=SECOND(now())", true},
        {"=DAY(ToDay())", true},
        {"=SUM(mtxrand(2,,))", true},
        {"=SUM(MtxRand2(2,,,0,,))", true},
        {"=SUM(MTXRAND3(2))", false},
        {"=MYRAND()", false},
        {"=RANDOM(1)", false},
        {"=NOW", false},
        {"=SUM(A1:B2)", false},
        {"=RAND2()", false},
        {"=(RAND())", true},
        {"=XNOW()", false},
        {"=A1*2", false},
        {"=A1RAND()", false},
        {"=_rand()", true},
        {"=1.5*Rand()", true},
        {"=\xE9RAND()", true},
    };
    for (const auto& c : cases) EXPECT_EQ(MayCallVolatile(c.formula), c.found) << c.formula;
}

} // namespace vl::test
