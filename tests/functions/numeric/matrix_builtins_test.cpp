// The decomposition, solving, construction, regression, time-series and linear, integer
// and quadratic programming built-ins inside formulas.
#include "numericbook.h"

namespace vl::test {

namespace {

class MatrixBuiltins : public ::testing::Test {
protected:
    NumericBook book;
};

#define A "{1, 2; 2, 3; 7, 1}"
#define G "{2, -1, 3; 1, 3, 1; 4, 1, 1}"
#define LP_EXAMPLE "{2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}"
#define LP_UNIQUE "{1, 0; 0, 2; 3, 2}, {1; 1; 1}, {4; 12; 18}, {3; 5}"
#define INT_EXAMPLE "{2.5, 1.5, 1; 1, 1.5, 3}, {1; 0}, {15; 10}, {1; 1; 2}, {1; 0; 1}"
#define KNAPSACK "{1, 1; 5, 9}, {1; 1}, {6; 45}, {5; 8}, {1; 1}"
#define QP_CLASSIC "{1, 2}, {1}, {30}, {15; 30}, {2, -2; -2, 4}"
#define SERIES "{11; 8; 7; 2; 1; 3; 8; 4}"

} // namespace

TEST_F(MatrixBuiltins, SvdResults) {
    CheckNear(
        book,
        {
            {"=MTXSVD(" A ", {1; 2; 3},,1)", {0.37476459510358, 0.38418079096045}, 5e-15},
            {"=MTXSVD(" A ", {1; 2; 3},,3)", {8496.0 / 281961}, 1e-15},
            {"=MTXSVD(" A ",,,2)", {2}, 0},
            // U S V^T gives A back.
            {"=MTXMLT(MTXSVD(" A ",,,5), MTXSVD(" A ",,,6), MTXT(MTXSVD(" A ",,,7)))",
             {1, 2, 2, 3, 7, 1},
             1e-13},
            // The pseudo-inverse applied to B is the least-squares solution, to A
            // the identity.
            {"=MTXMLT(MTXSVD(" A ",,,4), {1; 2; 3})", {0.37476459510358, 0.38418079096045}, 5e-15},
            {"=MTXMLT(MTXSVD(" A ",,,4), " A ")", {1, 0, 0, 1}, 1e-14},
            {"=MTXSVD(" A ",,,6)", {7.68114574786861, 0, 0, 3, 0, 0}, 5e-14},
        });
    EXPECT_EQ(book.rows, 3u);
    CheckShown(book, {
                         {"=MTXSVD({1, 2, 3; 4, 5, 6}, {1; 2},,1)", "#VALUE!"},
                         {"=MTXSVD(" A ", {1; 2},,1)", "#VALUE!"},
                         {"=MTXSVD(" A ", {1; 2},,6)", "{7.68114574786861, 0; 0, 3; 0, 0}"},
                         {"=MTXSVD(" A ", {1; 2; 3}, #N/A!, 1)", "#N/A!"},
                         {"=MTXSVD(" A ", {1; 2; 3},, 8)", "#NUM!"},
                         {"=MTXSVD(" A ", {1; 2; 3},)", "#SYNTAX!"},
                         // A ratio of 1 keeps the largest value, as any value at the threshold.
                         {"=MTXSVD({1, 2; 2, 4},, 1, 2)", "1"},
                         {"=MTXSVD({1, 2; 2, 4}, {1; 2}, 1, 1)", "{0.2; 0.4}"},
                         {"=MTXSVD({1, 2; 2, 4},, 1.0000001, 2)", "0"},
                     });
}

TEST_F(MatrixBuiltins, WeightedAndConstrainedLeastSquares) {
    CheckNear(book,
              {
                  {"=MTXLSW(" A ", {1; 2; 3}, {1, 0, 0; 0, 1, 0; 0, 0, 1},,1)",
                   {0.37476459510358, 0.38418079096045},
                   5e-15},
                  {"=MTXLSC(" A ", {1; 2; 3}, {1, 3}, {2},,1)", {139.0 / 410, 227.0 / 410}, 1e-14},
                  {"=MTXLSC(" A ", {1; 2; 3}, {1, 3}, {2},,2)", {131.0 / 410}, 1e-14},
              });
    // A weight of 4 on a row counts it as the row doubled.
    EXPECT_TRUE(Near(book.Numbers("=MTXLSW(" A ", {1; 2; 3}, {4, 0, 0; 0, 1, 0; 0, 0, 1},,1)"),
                     book.Numbers("=MTXSVD({2, 4; 2, 3; 7, 1}, {2; 2; 3},,1)"), 1e-14));
    CheckShown(book, {
                         {"=MTXLSW(" A ", {1; 2; 3}, {1, 0; 0, 1},,1)", "#VALUE!"},
                         {"=MTXLSC(" A ", {1; 2; 3}, {1, 3; 1, 1}, {2; 1},,1)", "#VALUE!"},
                         {"=MTXLSC(" A ", {1; 2; 3}, {1, 3}, {2},,3)", "#NUM!"},
                         {"=MTXLSW(" A ", {1; 2; 3}, {1, 0, 0; 0, 1, 0; 0, 0, 1},,0)", "#NUM!"},
                     });
}

TEST_F(MatrixBuiltins, GaussianElimination) {
    CheckNear(book,
              {
                  {"=MTXGAUSS(" G ", {6; 8; 2},,,1)", {-0.75, 1.875, 3.125}, 1e-14},
                  {"=MTXGAUSS(" G ", {6; 8; 2}, 3, 0, 1)", {-0.75, 1.875, 3.125}, 1e-14},
                  {"=MTXGAUSS(" G ",,,,6)", {-32}, 1e-13},
                  {"=MTXMLT(MTXGAUSS(" G ",,,,5), " G ")", {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1e-14},
              });
    // L U equals P A.
    EXPECT_TRUE(Near(book.Numbers("=MTXMLT(MTXGAUSS(" G ",,,,2), MTXGAUSS(" G ",,,,3))"),
                     book.Numbers("=MTXMLT(MTXGAUSS(" G ",,,,4), " G ")"), 1e-14));
    CheckShown(book, {
                         {"=MTXGAUSS({1, 2; 2, 4}, {1; 2},,,1)", "#NULL!"},
                         {"=MTXGAUSS({1, 2; 2, 4},,,,5)", "#NULL!"},
                         {"=MTXGAUSS({1, 2; 2, 4},,,,6)", "#NULL!"},
                         {"=MTXGAUSS({1, 2; 3, 4}, {1; 2}, 0,, 1)", "#NUM!"},
                         {"=MTXGAUSS({1, 2, 3}, {1},,, 1)", "#VALUE!"},
                         {"=MTXGAUSS({1, 2; 3, 4}, {1; 2; 3},,, 1)", "#VALUE!"},
                         {"=MTXGAUSS({0, 1, 0; 0, 0, 1; 1, 0, 0},,,,6)", "1"},
                         {"=MTXGAUSS({0, 1; 1, 0},,,,4)", "{0, 1; 1, 0}"},
                     });
}

TEST_F(MatrixBuiltins, CholeskyAndSubstitution) {
    CheckNear(book, {
                        {"=MTXCHL({4, 2; 2, 5}, {8; 9},,1)", {1.375, 1.25}, 1e-14},
                        {"=MTXCHL({4, 2; 2, 5}, {8; 9}, 3,1)", {1.375, 1.25}, 1e-14},
                    });
    CheckShown(book, {
                         {"=MTXCHL({4, 2; 2, 5},,,2)", "{2, 1; 0, 2}"},
                         {"=MTXCHL({4, 2; 2, 5},,,3)", "{2, 0; 1, 2}"},
                         {"=MTXCHL({4, 2; 2, 5},,,5)", "16"},
                         {"=MTXCHL({4, 2; 2, 5},,,4)", "{0.3125, -0.125; -0.125, 0.25}"},
                         // Not positive definite: the magnitudes' roots still give a triangle.
                         {"=MTXCHL({1, 2; 2, 1},,,2)", "{1, 2; 0, 1.73205080756888}"},
                         {"=MTXCHL({4, 2; 2, 5}, {1; 2; 3},,1)", "#VALUE!"},
                         // The element above (below) the diagonal is never read.
                         {"=MTXFWSUBST({2, 9; 1, 4}, {4, 2; 10, 9})", "{2, 1; 2, 2}"},
                         {"=MTXBKSUBST({2, 1; 9, 4}, {4; 8})", "{1; 2}"},
                         {"=MTXFWSUBST({0, 0; 1, 1}, {1; 1})", "{#NUM!; #NUM!}"},
                         {"=MTXFWSUBST({1, 0; 1, 1}, {1, 2})", "#VALUE!"},
                     });
}

TEST_F(MatrixBuiltins, ProductsTransposesAndDiagonals) {
    book.Number("C3", 4);
    book.Text("D3", " -2.5e1 ");
    book.Text("C4", "word");
    book.Formula("D5", "=1/0");
    ASSERT_TRUE(book.Recalc());
    CheckShown(book,
               {
                   {"=MTXMLT({1; 2; 3}, {1, 2, 3}, {2; 2; 2})", "{12; 24; 36}"},
                   {"=MTXMLT({1, 2}, {1, 2})", "#VALUE!"},
                   {"=MTXMLT({1, 2; 3, 4})", "{1, 2; 3, 4}"},
                   {"=MTXMLT({1, 2}, 1/0, SQRT(-1))", "#DIV/0!"},
                   {"=MTXMLT({1, 2}, {1, 2}, 1/0)", "#VALUE!"},
                   {"=MTXT({1, 2, 3; 4, 5, 6})", "{1, 4; 2, 5; 3, 6}"},
                   {"=MTXT({1, 2}, {3})", "#SYNTAX!"},
                   // Empty cells and texts, numeric ones too, are 0; an error cell is the result.
                   {"=MTXT(C3:D4)", "{4, 0; 0, 0}"},
                   {"=MTXT(C3:D5)", "#DIV/0!"},
                   {"=MTXDIAG(3, 1)", "{1, 0, 0; 0, 1, 0; 0, 0, 1}"},
                   {"=MTXDIAG(3, {1, 2, 3})", "{1, 0, 0; 0, 2, 0; 0, 0, 3}"},
                   {"=MTXDIAG(2, {7; 8; 9})", "{7, 0; 0, 8}"},
                   {"=MTXDIAG(4, {7; 8})", "{7, 0, 0, 0; 0, 8, 0, 0; 0, 0, 0, 0; 0, 0, 0, 0}"},
                   {"=MTXDIAG(0, 1)", "#NUM!"},
                   {"=MTXDIAG(2047, 1)", "#REF!"},
                   {"=MTXDIAG(2000000000, 1)", "#REF!"},
                   {"=MTXDIAG(3)", "#SYNTAX!"},
                   // One column of 2,047 rows turned into a row has too many columns.
                   {"=MTXT(A1:A2047)", "#REF!"},
               });
    EXPECT_EQ(book.Numbers("=MTXT(A1:A2046)").size(), 2046u);
}

TEST_F(MatrixBuiltins, RandomColumnsAndSeries) {
    ResetRandomPairs();
    EXPECT_TRUE(Near(book.Numbers("=MTXRAND(4, 10000, 25000)"),
                     {0.71261246808435, 0.28457538373252, 0.42105025462307, 0.93072516522912},
                     5e-15));
    EXPECT_TRUE(Near(book.Numbers("=MTXRAND2(4, 10000, 25000, 0,,)"),
                     {0.71261246808435, 0.28457538373252, 0.42105025462307, 0.93072516522912},
                     5e-15));
    // Pair B's draws leave pair A where it was.
    book.Numbers("=MTXRAND2(5,,, 1, 0, 1)");
    EXPECT_TRUE(Near(book.Numbers("=MTXRAND(1,,)"), {0.340410465344270}, 5e-15));
    std::vector<double> first = book.Numbers("=MTXRAND(3, 5,)");
    std::vector<double> second = book.Numbers("=MTXRAND(3, 5,)");
    EXPECT_NE(first, second);
    CheckShown(
        book,
        {
            {"=MTXRAND(3)", "#SYNTAX!"},
            {"=MTXRAND(0,,)", "#NUM!"},
            {"=MTXRAND(2097153,,)", "#NUM!"},
            {"=MTXRAND2(2,,, 6,,)", "#NUM!"},
            {"=MTXRAND2(3,,, 3, 0,)", "{0; 0; 0}"},
            {"=MTXSERIES(5, 1, 0.1)", "{1; 1.1; 1.2; 1.3; 1.4}"},
            {"=MTXSERIES(3, 1,)", "{1; 2; 3}"},
            {"=MTXSERIES(3,, \"P1D\")", "{1; 2; 3}"},
            {"=MTXSERIES(3, 1, \"P1D\")", "#VALUE!"},
            {"=MTXSERIES(3, \"2005-12-01\",)", "{\"2005-12-01\"; \"2005-12-02\"; \"2005-12-03\"}"},
            {"=MTXSERIES(5, \"2005-12-01\", \"P1D\")",
             "{\"2005-12-01\"; \"2005-12-02\"; \"2005-12-03\"; \"2005-12-04\"; \"2005-12-05\"}"},
            {"=MTXSERIES(2, \"soon\", \"P1D\")", "{\"soon\"; #VALUE!}"},
            {"=MTXSERIES(2, \"2005-12-01\", 1)", "#VALUE!"},
            // An error value is no number beside a text: its own code.
            {"=MTXSERIES(2, \"2005-12-01\", #N/A!)", "#N/A!"},
            {"=MTXSERIES(2, #N/A!, \"P1D\")", "#N/A!"},
        });
    EXPECT_EQ(book.Numbers("=MTXRAND(2097152,,)").size(), 2097152u);
}

// Parameters no distribution has are refused, each at its last accepted and first refused
// value, and a refused call leaves the series where it was, seeds given or not.
TEST_F(MatrixBuiltins, RandomDistributionsRefuseInvalidParameters) {
    CheckShown(book, {
                         {"=MTXRAND2(2,,, 1, 5, -1E-300)", "#NUM!"},
                         {"=MTXRAND2(2,,, 1, 5, 0)", "{5; 5}"},
                         {"=MTXRAND2(2,,, 2, -1E-300,)", "#NUM!"},
                         {"=MTXRAND2(2,,, 2, 0,)", "{0; 0}"},
                         {"=MTXRAND2(2,,, 3, -1E-300,)", "#NUM!"},
                         {"=MTXRAND2(2,,, 4, -1E-300,)", "#NUM!"},
                         {"=MTXRAND2(2,,, 4, 0,)", "{0; 0}"},
                         {"=MTXRAND2(2,,, 4, 1,)", "{1; 1}"},
                         {"=MTXRAND2(2,,, 4, 1.0000000000000002,)", "#NUM!"},
                         {"=MTXRAND2(2,,, 5, -1E-300,)", "#NUM!"},
                         {"=MTXRAND2(2,,, 5, 1,)", "{1; 1}"},
                         {"=MTXRAND2(2,,, 5, 1.0000000000000002,)", "#NUM!"},
                         // The other parameter is not looked at.
                         {"=MTXRAND2(2,,, 4, 1, -5)", "{1; 1}"},
                         // The larger code wins.
                         {"=MTXRAND2(#VALUE!,,, 4, 2,)", "#VALUE!"},
                         {"=MTXRAND2(#N/A!,,, 4, 2,)", "#NUM!"},
                     });
    // The uniform law has no parameters to refuse.
    EXPECT_EQ(book.Numbers("=MTXRAND2(2,,, 0, -5, -5)").size(), 2u);
    ResetRandomPairs();
    const std::vector<double> fresh = book.Numbers("=MTXRAND2(3,,, 0,,)");
    ResetRandomPairs();
    CheckShown(book, {
                         {"=MTXRAND2(3, 10000, 25000, 4, 1.5,)", "#NUM!"},
                         {"=MTXRAND2(3,,, 1, 0, -2)", "#NUM!"},
                     });
    EXPECT_EQ(book.Numbers("=MTXRAND2(3,,, 0,,)"), fresh);
}

TEST_F(MatrixBuiltins, LinearPrograms) {
    CheckShown(
        book,
        {
            {"=LPROG(" LP_EXAMPLE ", 1, , )", "{1; 0; 3}"},
            {"=LPROG(" LP_EXAMPLE ", 0, , )", "2"},
            {"=LPROG(" LP_EXAMPLE ", 2, , )", "{0; 2.5; 2.5}"},
            {"=LPROG(" LP_EXAMPLE ", 3, , )", "#NULL!"},
            {"=LPROG(" LP_UNIQUE ", 1, , )", "{2; 6}"},
            {"=LPROG(" LP_UNIQUE ", 0, , )", "1"},
            {"=LPROG(" LP_UNIQUE ", 2, , )", "#NULL!"},
            // A last <= constraint that is loose at the optimum leaves it as it is.
            {"=LPROG({1, 0; 0, 2; 3, 2; 1, 1}, {1; 1; 1; 1}, {4; 12; 18; 100}, {3; 5}, 1, , )",
             "{2; 6}"},
            {"=LPROG({-1, 1}, {1}, {1}, {1; 0}, 1, , )", "#VALUE!"},
            {"=LPROG({1, 1; 1, 1}, {1; -1}, {1; 3}, {1; 1}, 1, , )", "#NULL!"},
            // Cycles under the largest-cost rule.
            {"=LPROG({0.5, -5.5, -2.5, 9; 0.5, -1.5, -0.5, 1; 1, 0, 0, 0}, {1; 1; 1}, {0; 0; 1}, "
             "{10; -57; -9; -24}, 1, , )",
             "#NUM!"},
            // -x - y <= -2 is x + y >= 2; a type of 2 or -3 counts by its sign.
            {"=LPROG({-1, -1}, {1}, {-2}, {-1; -2}, 1, , )", "{2; 0}"},
            {"=LPROG({1, 1}, {-1}, {2}, {-1; -2}, 1, , )", "{2; 0}"},
            {"=LPROG({1, 1}, {-3}, {2}, {-1; -2}, 1, , )", "{2; 0}"},
            // Relations are the codes 1, 0 and -1; one written as a text is refused, never
            // read as 0 ("="). A numeric text is its number.
            {"=LPROG({1, 1}, {\"<=\"}, {2}, {1; 2}, 1, , )", "#VALUE!"},
            {"=LPROG({1, 1}, {\">=\"}, {2}, {-1; -2}, 1, , )", "#VALUE!"},
            {"=LPROG({1, 1}, {\"=\"}, {2}, {1; 2}, 1, , )", "#VALUE!"},
            {"=LPROG({1, 1; 1, 0}, {1; \"<=\"}, {2; 1}, {1; 2}, 1, , )", "#VALUE!"},
            {"=LPROG({1, 1}, {\"1\"}, {2}, {1; 2}, 1, , )", "{0; 2}"},
            {"=LPROG({1, 1}, {\" -1 \"}, {2}, {-1; -2}, 1, , )", "{2; 0}"},
            {"=LPROG({1, 1}, {1}, {2}, {1; 2}, 1, , )", "{0; 2}"},
            {"=LPROG({1, 1}, {\"<=\"}, {2}, {1; 2}, 1, -1, )", "#NUM!"},
            {"=LPROG({2, 1, 1; 1, 1, 3}, {1}, {5; 10}, {4; 2; 2}, 1, , )", "#VALUE!"},
            {"=LPROG(" LP_EXAMPLE ", -1, , )", "#NUM!"},
            {"=LPROG(" LP_EXAMPLE ", 1, -1, )", "#NUM!"},
            {"=LPROG(" LP_EXAMPLE ", 1, 0, 0)", "{1; 0; 3}"},
            {"=LPROG(" LP_EXAMPLE ", 1, )", "#SYNTAX!"},
            // Wide and sparse: the first pivot row (x8 - x7 <= 2) has three non-zero entries
            // in sixteen columns, and its elimination from x7 + x8 <= 10 decides the second.
            {"=LPROG({1,0,0,0,0,0,0,0; 0,1,0,0,0,0,0,0; 0,0,1,0,0,0,0,0; 0,0,0,1,0,0,0,0; "
             "0,0,0,0,1,0,0,0; 0,0,0,0,0,1,0,0; 0,0,0,0,0,0,-1,1; 0,0,0,0,0,0,1,1}, "
             "{1;1;1;1;1;1;1;1}, {10;10;10;10;10;10;2;10}, {0;0;0;0;0;0;1;3}, 1, , )",
             "{0; 0; 0; 0; 0; 0; 4; 6}"},
        });
}

TEST_F(MatrixBuiltins, IntegerAndQuadraticPrograms) {
    CheckShown(
        book, {
                  {"=LPROGINT(" INT_EXAMPLE ", 1, , )", "{4; 0; 2}"},
                  {"=LPROGINT(" INT_EXAMPLE ", 2, , )", "{4; 2; 1}"},
                  {"=LPROGBIN(" INT_EXAMPLE ", 1, , )", "{1; 4; 1}"},
                  {"=LPROGINT(" KNAPSACK ", 1, , )", "{0; 5}"},
                  {"=LPROGINT(" KNAPSACK ", 0, , )", "1"},
                  // Without a mask every variable is continuous.
                  {"=LPROGINT(" LP_EXAMPLE ", , 1, , )", "{1; 0; 3}"},
                  // 2x + 2y = 3 has no whole solution.
                  {"=LPROGINT({2, 2}, {0}, {3}, {1; 1}, {1; 1}, 1, , )", "#NULL!"},
                  {"=LPROGINT({-1, 1}, {1}, {1}, {1; 0}, {1; 1}, 1, , )", "#VALUE!"},
                  {"=LPROGINT(" LP_EXAMPLE ", {1; 1}, 1, , )", "#VALUE!"},
                  {"=LPROGBIN({1}, {\"<=\"}, {4}, {-1}, {1}, 1, , )", "#VALUE!"},
                  {"=LPROGBIN({1}, {1}, {4}, {-1}, {1}, 1, , )", "{0}"},
                  {"=LPROGINT({2, 2}, {\"=\"}, {3}, {1; 1}, {1; 1}, 1, , )", "#VALUE!"},
                  {"=QPROG({1, 1}, {\"<=\"}, {5}, {-1; 0}, {1, 0; 0, 1}, 1, )", "#VALUE!"},
                  {"=QPROG({1, 2; 1, 1}, {1; 1}, {10; 9}, {10; 25}, {10, 2; 2, 1}, 1, )", "{0; 5}"},
                  {"=QPROG(" QP_CLASSIC ", 1, )", "{12; 9}"},
                  {"=QPROG(" QP_CLASSIC ", 0, )", "1"},
                  // Nothing to gain: the origin.
                  {"=QPROG({1, 1}, {1}, {5}, {-1; 0}, {1, 0; 0, 1}, 1, )", "{0; 0}"},
                  {"=QPROG({1, 1; 1, 1}, {1; -1}, {1; 3}, {1; 1}, {1, 0; 0, 1}, 1, )", "#NULL!"},
                  {"=QPROG({1, 2}, {1}, {30}, {15; 30}, {2, -2}, 1, )", "#VALUE!"},
              });
    // An equality is the pair of a <= and a >= row.
    std::vector<double> x =
        book.Numbers("=QPROG({1, 2}, {0}, {20}, {15; 30}, {2, -2; -2, 4}, 1, )");
    ASSERT_EQ(x.size(), 2u);
    EXPECT_NEAR(x[0] + 2 * x[1], 20, 1e-9);
    EXPECT_TRUE(
        Near(book.Numbers("=QPROG({1, 2; 1, 2}, {1; -1}, {20; 20}, {15; 30}, {2, -2; -2, 4}, 1, )"),
             x, 1e-9));
    // With 25 0/1 variables, 2 x1 + ... + 2 x25 = 25 is found impossible only after
    // exponentially many nodes: the node limit ends the search.
    std::string twos = "{2", costs = "{1", ones = "{1";
    for (int i = 1; i < 25; ++i) twos += ", 2", costs += "; 0", ones += "; 1";
    EXPECT_EQ(book.Eval("=LPROGBIN(" + twos + "}, {0}, {25}, " + costs + "}, " + ones + "}, 1, , )",
                        "J20"),
              "#NUM!");
}

TEST_F(MatrixBuiltins, PolynomialRegressionAndPoints) {
    std::vector<double> x = book.Numbers(
        "=POLYREG({1; 2; 3; 4; 5}, {1.1; 1.2; 1.3; 1.4; 1.5}, {0.2; 0.2; 0.2; 0.2; 0.23}, 4, 1)");
    ASSERT_EQ(x.size(), 4u);
    EXPECT_NEAR(x[0], 14.0638, 5e-5);
    EXPECT_NEAR(x[1], 1.4979, 5e-5);
    EXPECT_NEAR(x[2], 0, 1e-9);
    EXPECT_NEAR(x[3], 0, 1e-9);
    const std::string reg = "{1; 2; 3; 4; 5; 6; 7}, {3.1; 1.2; 1.3; 2.4; 3.5; 6.5; 7.5}, "
                            "{0.2; 1.8; 0.2; 0.2; 1.9; 2.8; 3.8}, 7, ";
    std::string points = "=POLYPOINTS(POLYREG(" + reg + "1), POLYREG(" + reg + "2), POLYREG(" +
                         reg + "3), 7, 5, {1.5; 2.5; 3.5}, 0.85)";
    EXPECT_TRUE(Near(book.Numbers(points), {1.901, 1.176, 1.112, 0.681, 1.754, 0.320}, 5e-4));
    EXPECT_EQ(book.columns, 2u);
    CheckShown(book, {
                         {"=POLYREG({1; 2; 3; 4; 5}, {1.1; 1.2; 1.3; 1.4; 1.5}, {0.2; 0.2; 0.2; "
                          "0.2; 0.23}, 6, 1)",
                          "#VALUE!"},
                         {"=POLYREG({1; 2; 3}, {1; 2; 3}, {1; 1; 1}, 2, 4)", "#NUM!"},
                         {"=POLYREG({1, 2, 3}, {1; 2; 3}, {1; 1; 1}, 1, 1)", "#VALUE!"},
                         {"=POLYPOINTS({1; 2}, {1, 0; 0, 1}, {1; 1}, 7, 3, {1}, 0.85)", "#VALUE!"},
                         {"=POLYPOINTS({1; 2}, {1, 0; 0, 1}, {1; 1}, 7, 2, {1},)", "#NUM!"},
                     });
}

// At the probability 1 no limit is finite: every limit cell is #NUM!, every value a number.
TEST_F(MatrixBuiltins, LimitsAtTheProbabilityOneAreNumErrors) {
    const std::string reg = "{1; 2; 3; 4; 5; 6; 7}, {3.1; 1.2; 1.3; 2.4; 3.5; 6.5; 7.5}, "
                            "{0.2; 1.8; 0.2; 0.2; 1.9; 2.8; 3.8}, 7, ";
    const std::string fit = "POLYREG(" + reg + "1), POLYREG(" + reg + "2), POLYREG(" + reg + "3)";
    const struct {
        std::string formula;
        size_t rows;
    } cases[] = {
        {"=TIMESERIES(" SERIES ", 2, 2, 1)", 12},
        {"=TIMESERIES(" SERIES ", 2, 3, 1)", 14},
        {"=TIMESERIES({1; 4; 9; 16; 25}, 2, 2, 1)", 9}, // an exact fit: zero times the limit
        {"=POLYPOINTS(" + fit + ", 7, 5, {1.5; 2.5; 3.5; 9}, 1)", 4},
        {"=POLYPOINTS(" + fit + ", 7, 7, {1.5; 2.5}, 1)", 2}, // no degree of freedom left
        {"=POLYPOINTS({1; 2}, {0.1, 0; 0, 0.1}, {-0.01; -0.01}, 7, 2, {1; 2}, 1)", 2},
        {"=POLYPOINTS({1; 2}, {0.1, 0; 0, 0.1}, {0; 0}, 7, 2, {1; 2}, 1)", 2}, // the normal law
    };
    for (const auto& c : cases) {
        const std::vector<double> got = book.Numbers(c.formula);
        ASSERT_EQ(got.size(), 2 * c.rows) << c.formula;
        for (size_t i = 0; i < c.rows; ++i) {
            EXPECT_TRUE(std::isfinite(got[2 * i])) << c.formula << " row " << i;
            EXPECT_EQ(book.errors[2 * i + 1], kErrNum) << c.formula << " row " << i;
        }
    }
    // Below 1 the limits stay finite.
    const std::vector<double> below = book.Numbers("=TIMESERIES(" SERIES ", 2, 2, 0.999999)");
    ASSERT_EQ(below.size(), 24u);
    for (size_t i = 1; i < below.size(); i += 2) EXPECT_TRUE(std::isfinite(below[i])) << i;
}

TEST_F(MatrixBuiltins, TimeSeries) {
    std::vector<double> s = book.Numbers("=TIMESERIES(" SERIES ", 2, 3, 0.8)");
    ASSERT_EQ(s.size(), 28u);
    EXPECT_EQ(book.rows, 14u);
    s.erase(s.begin() + 14, s.end() - 2); // the first seven points and the last
    EXPECT_TRUE(Near(s,
                     {35.071, 10.531, 25.929, 7.155, 18.286, 4.447, 12.143, 2.491, 7.5, 1.525,
                      4.357, 1.525, 2.714, 1.648, 18.405, 15.109},
                     5e-4));
    std::vector<double> cubic = book.Numbers("=TIMESERIES(" SERIES ", 3, 2, 0.8)");
    ASSERT_EQ(cubic.size(), 24u);
    EXPECT_TRUE(
        Near({cubic[0], cubic[1], cubic[20], cubic[22]}, {7.8, 71.397, -11.4, -45.4}, 5e-4));
    // l = 2k: the trend (the parabola through three points passes them) with limits that
    // cannot be had.
    std::vector<double> exact = book.Numbers("=TIMESERIES(" SERIES ", 2, 1, 0.8)");
    ASSERT_EQ(exact.size(), 20u);
    for (std::size_t i = 0; i < exact.size(); i += 2) {
        EXPECT_TRUE(std::isfinite(exact[i])) << i;
        EXPECT_TRUE(std::isnan(exact[i + 1])) << i;
    }
    EXPECT_NEAR(exact[6], 7, 1e-9);
    // One window over an exact parabola: the trend continues it on both sides, with zero
    // limits; position 1 stands for point 1 - k.
    std::vector<double> parabola = book.Numbers("=TIMESERIES({1; 4; 9; 16; 25}, 2, 2, 0.9)");
    ASSERT_EQ(parabola.size(), 18u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_NEAR(parabola[2 * i], (i - 1.0) * (i - 1.0), 1e-9) << i;
        EXPECT_NEAR(parabola[2 * i + 1], 0, 1e-6) << i;
    }
    CheckShown(book, {
                         {"=TIMESERIES(" SERIES ", 5, 2, 0.8)", "#VALUE!"},
                         {"=TIMESERIES(" SERIES ", 2, 2,)", "#NUM!"},
                         {"=TIMESERIES(" SERIES ", 2, 4, 0.8)", "#VALUE!"},
                         {"=TIMESERIES({11, 8; 7, 2; 1, 3}, 1, 1, 0.8)", "#VALUE!"},
                         {"=TIMESERIES(" SERIES ", 1, 1, 0)", "#NUM!"},
                         {"=TIMESERIES(" SERIES ", 1, 2000000000, 1)", "#VALUE!"},
                     });
}

} // namespace vl::test
