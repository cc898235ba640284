// The statistics built-ins inside whole formulas: typed in A1 notation, evaluated by the
// formula engine, shown as text.
#include "functions/numeric/statbuiltins.h"
#include "tests/formula/evaltestutil.h"

namespace vl::test {

namespace {

class StatFormulas : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BindStatisticsBuiltins());
        const double values[] = {2, 3, 9, 1, 8};
        const double xs[] = {6, 5, 11, 7, 5};
        for (int i = 0; i < 5; ++i) {
            book.Number("B" + std::to_string(i + 1), values[i]);
            book.Number("C" + std::to_string(i + 1), xs[i]);
        }
        book.Text("D1", "12a");
        book.Number("D2", 4);
    }
    TestBook book;
};

} // namespace

TEST_F(StatFormulas, EvaluateInsideFormulas) {
    struct Case {
        const char* formula;
        const char* shown;
    } cases[] = {
        {"=var(1345, 1301, 1368, 1322, 1310, 1370, 1318, 1350, 1303, 1299)", "754.266666666667"},
        {"=SLOPE(B1:B5, C1:C5)*2", "1.33870967741935"},
        {"=MAX(D1:D2)", "4"},
        {"=STDEV(D1:D2)", "#DIV/0!"},
        {"=percentRank({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 4.5, 2)", "0.39"},
        {"=FREQUENCY({79, 85, 78, 85, 83, 81, 95, 88, 97}, {70, 79, 89})", "{0; 2; 5; 2}"},
        {"=AVERAGE(B1:B5)+MEDIAN(B1:B5)", "7.6"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(book.Eval(c.formula), c.shown) << c.formula;
        book.Ctx().ReleaseScratchArrays();
    }
}

TEST_F(StatFormulas, RecalculateCellsThatReadOtherFormulas) {
    book.Formula("E1", "=MAX(B1:B2)");
    book.Formula("E2", "=MEDIAN(E1, E3, 1)");
    book.Formula("E3", "=STDEV(B1:B5)");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("E1"), "3");
    EXPECT_EQ(book.Shown("E3"), "3.64691650576209");
    EXPECT_EQ(book.Shown("E2"), "3");
}

} // namespace vl::test
