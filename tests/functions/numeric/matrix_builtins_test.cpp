// The decomposition, solving and construction built-ins inside formulas.
#include "numericbook.h"

namespace vl::test {

namespace {

struct ShownCase {
    const char* formula;
    const char* shown;
};

class MatrixBuiltins : public ::testing::Test {
protected:
    void Check(std::initializer_list<ShownCase> cases) {
        for (const ShownCase& c : cases) {
            EXPECT_EQ(book.Eval(c.formula, "J20"), c.shown) << c.formula;
            if (std::string_view(c.shown) == "#SYNTAX!") continue; // the call left the stack alone
            EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula;
            EXPECT_EQ(book.Ctx().scratch.arrayCount, c.shown[0] == '{' ? 1 : 0) << c.formula;
        }
    }
    NumericBook book;
};

constexpr const char* kA = "{1, 2; 2, 3; 7, 1}";

} // namespace

TEST_F(MatrixBuiltins, SvdResults) {
    std::string a = kA;
    EXPECT_TRUE(Near(book.Numbers("=MTXSVD(" + a + ", {1; 2; 3},,1)"),
                     {0.37476459510358, 0.38418079096045}, 5e-15));
    EXPECT_TRUE(Near(book.Numbers("=MTXSVD(" + a + ", {1; 2; 3},,3)"), {8496.0 / 281961}, 1e-15));
    EXPECT_TRUE(
        Near(book.Numbers("=MTXSVD(" + a + ",,,6)"), {7.68114574786861, 0, 0, 3, 0, 0}, 5e-14));
    EXPECT_EQ(book.rows, 3u);
    EXPECT_TRUE(Near(book.Numbers("=MTXSVD(" + a + ",,,2)"), {2}, 0));
    // U S V^T gives A back.
    EXPECT_TRUE(Near(book.Numbers("=MTXMLT(MTXSVD(" + a + ",,,5), MTXSVD(" + a +
                                  ",,,6), MTXT(MTXSVD(" + a + ",,,7)))"),
                     {1, 2, 2, 3, 7, 1}, 1e-13));
    // The pseudo-inverse applied to B is the least-squares solution.
    EXPECT_TRUE(Near(book.Numbers("=MTXMLT(MTXSVD(" + a + ",,,4), {1; 2; 3})"),
                     {0.37476459510358, 0.38418079096045}, 5e-15));
    Check({
        {"=MTXSVD({1, 2, 3; 4, 5, 6}, {1; 2},,1)", "#VALUE!"},
        {"=MTXSVD({1, 2; 2, 3; 7, 1}, {1; 2},,1)", "#VALUE!"},
        {"=MTXSVD({1, 2; 2, 3; 7, 1}, {1; 2},,6)", "{7.68114574786861, 0; 0, 3; 0, 0}"},
        {"=MTXSVD({1, 2; 2, 3; 7, 1}, {1; 2; 3}, #N/A!, 1)", "#N/A!"},
        {"=MTXSVD({1, 2; 2, 3; 7, 1}, {1; 2; 3},, 8)", "#NUM!"},
        {"=MTXSVD({1, 2; 2, 3; 7, 1}, {1; 2; 3},)", "#SYNTAX!"},
    });
}

TEST_F(MatrixBuiltins, WeightedAndConstrainedLeastSquares) {
    std::string a = kA;
    EXPECT_TRUE(Near(book.Numbers("=MTXLSW(" + a + ", {1; 2; 3}, {1, 0, 0; 0, 1, 0; 0, 0, 1},,1)"),
                     {0.37476459510358, 0.38418079096045}, 5e-15));
    // A weight of 4 on a row counts it as the row doubled.
    EXPECT_TRUE(Near(book.Numbers("=MTXLSW(" + a + ", {1; 2; 3}, {4, 0, 0; 0, 1, 0; 0, 0, 1},,1)"),
                     book.Numbers("=MTXSVD({2, 4; 2, 3; 7, 1}, {2; 2; 3},,1)"), 1e-14));
    EXPECT_TRUE(Near(book.Numbers("=MTXLSC(" + a + ", {1; 2; 3}, {1, 3}, {2},,1)"),
                     {139.0 / 410, 227.0 / 410}, 1e-14));
    EXPECT_TRUE(
        Near(book.Numbers("=MTXLSC(" + a + ", {1; 2; 3}, {1, 3}, {2},,2)"), {131.0 / 410}, 1e-14));
    Check({
        {"=MTXLSW({1, 2; 2, 3; 7, 1}, {1; 2; 3}, {1, 0; 0, 1},,1)", "#VALUE!"},
        {"=MTXLSC({1, 2; 2, 3; 7, 1}, {1; 2; 3}, {1, 3; 1, 1}, {2; 1},,1)", "#VALUE!"},
        {"=MTXLSC({1, 2; 2, 3; 7, 1}, {1; 2; 3}, {1, 3}, {2},,3)", "#NUM!"},
        {"=MTXLSW({1, 2; 2, 3; 7, 1}, {1; 2; 3}, {1, 0, 0; 0, 1, 0; 0, 0, 1},,0)", "#NUM!"},
    });
}

TEST_F(MatrixBuiltins, GaussianElimination) {
    const std::string a = "{2, -1, 3; 1, 3, 1; 4, 1, 1}";
    EXPECT_TRUE(
        Near(book.Numbers("=MTXGAUSS(" + a + ", {6; 8; 2},,,1)"), {-0.75, 1.875, 3.125}, 1e-14));
    EXPECT_TRUE(Near(book.Numbers("=MTXGAUSS(" + a + ", {6; 8; 2}, 3, 0, 1)"),
                     {-0.75, 1.875, 3.125}, 1e-14));
    EXPECT_TRUE(Near(book.Numbers("=MTXGAUSS(" + a + ",,,,6)"), {-32}, 1e-13));
    // L U equals P A.
    EXPECT_TRUE(Near(book.Numbers("=MTXMLT(MTXGAUSS(" + a + ",,,,2), MTXGAUSS(" + a + ",,,,3))"),
                     book.Numbers("=MTXMLT(MTXGAUSS(" + a + ",,,,4), " + a + ")"), 1e-14));
    EXPECT_TRUE(Near(book.Numbers("=MTXMLT(MTXGAUSS(" + a + ",,,,5), " + a + ")"),
                     {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1e-14));
    Check({
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
    const std::string a = "{4, 2; 2, 5}";
    EXPECT_TRUE(Near(book.Numbers("=MTXCHL(" + a + ", {8; 9},,1)"), {1.375, 1.25}, 1e-14));
    EXPECT_TRUE(Near(book.Numbers("=MTXCHL(" + a + ", {8; 9}, 3,1)"), {1.375, 1.25}, 1e-14));
    Check({
        {"=MTXCHL({4, 2; 2, 5},,,2)", "{2, 1; 0, 2}"},
        {"=MTXCHL({4, 2; 2, 5},,,3)", "{2, 0; 1, 2}"},
        {"=MTXCHL({4, 2; 2, 5},,,5)", "16"},
        {"=MTXCHL({4, 2; 2, 5},,,4)", "{0.3125, -0.125; -0.125, 0.25}"},
        // Not positive definite: the magnitudes' roots still give a triangle.
        {"=MTXCHL({1, 2; 2, 1},,,2)", "{1, 2; 0, 1.73205080756888}"},
        {"=MTXCHL({4, 2; 2, 5}, {1; 2; 3},,1)", "#VALUE!"},
        {"=MTXFWSUBST({2, 9; 1, 4}, {4, 2; 10, 9})", "{2, 1; 2, 2}"},
        {"=MTXBKSUBST({2, 1; 9, 4}, {4; 8})", "{1; 2}"},
        {"=MTXFWSUBST({0, 0; 1, 1}, {1; 1})", "{#NUM!; #NUM!}"},
        {"=MTXFWSUBST({1, 0; 1, 1}, {1, 2})", "#VALUE!"},
    });
}

TEST_F(MatrixBuiltins, ProductsTransposesAndDiagonals) {
    Check({
        {"=MTXMLT({1; 2; 3}, {1, 2, 3}, {2; 2; 2})", "{12; 24; 36}"},
        {"=MTXMLT({1, 2}, {1, 2})", "#VALUE!"},
        {"=MTXMLT({1, 2; 3, 4})", "{1, 2; 3, 4}"},
        {"=MTXMLT({1, 2}, 1/0, SQRT(-1))", "#DIV/0!"},
        {"=MTXMLT({1, 2}, {1, 2}, 1/0)", "#VALUE!"},
        {"=MTXT({1, 2, 3; 4, 5, 6})", "{1, 4; 2, 5; 3, 6}"},
        {"=MTXT({1, 2}, {3})", "#SYNTAX!"},
        {"=MTXDIAG(3, 1)", "{1, 0, 0; 0, 1, 0; 0, 0, 1}"},
        {"=MTXDIAG(3, {1, 2, 3})", "{1, 0, 0; 0, 2, 0; 0, 0, 3}"},
        {"=MTXDIAG(2, {7; 8; 9})", "{7, 0; 0, 8}"},
        {"=MTXDIAG(4, {7; 8})", "{7, 0, 0, 0; 0, 8, 0, 0; 0, 0, 0, 0; 0, 0, 0, 0}"},
        {"=MTXDIAG(0, 1)", "#NUM!"},
        {"=MTXDIAG(2047, 1)", "#REF!"},
        {"=MTXDIAG(2000000000, 1)", "#REF!"},
        {"=MTXDIAG(3)", "#SYNTAX!"},
    });
    // One column of 2,047 rows turned into a row has too many columns; 2,046 still fit.
    EXPECT_EQ(book.Eval("=MTXT(A1:A2047)"), "#REF!");
    EXPECT_EQ(book.Numbers("=MTXT(A1:A2046)").size(), 2046u);
}

TEST_F(MatrixBuiltins, MatrixArgumentsReadCellsByPosition) {
    book.Number("C3", 4);
    book.Text("D3", " -2.5e1 ");
    book.Text("C4", "word");
    book.Formula("D5", "=1/0");
    // Empty, error and non-numeric cells are 0; a numeric text is its number.
    Check({{"=MTXT(C3:D5)", "{4, 0, 0; -25, 0, 0}"}});
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
    Check({
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
    });
    EXPECT_EQ(book.Numbers("=MTXRAND(2097152,,)").size(), 2097152u);
}

} // namespace vl::test
