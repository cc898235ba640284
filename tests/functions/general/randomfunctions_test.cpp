// RAND, RANDBETWEEN, MDETERM, MINVERSE and MMULT over the shared generator and elimination.
#include "functions/general/randomfunctions.h"
#include "tests/functions/numeric/numericbook.h"

#include <cmath>

namespace vl::test {

namespace {

class RandomMatrixFunctions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BindRandomMatrixFunctions()); }
    NumericBook book;
};

} // namespace

TEST_F(RandomMatrixFunctions, RandContinuesTheSharedSeries) {
    ResetRandomPairs();
    EXPECT_TRUE(Near(book.Numbers("=RAND()"), {0.901819929785418}, 5e-15));
    book.Numbers("=MTXRAND(4, 10000, 25000)");
    EXPECT_TRUE(Near(book.Numbers("=RAND()"), {0.340410465344270}, 5e-15));
    // MTXRAND2 draws from its own pair.
    ResetRandomPairs();
    book.Numbers("=MTXRAND2(50,,, 0,,)");
    EXPECT_TRUE(Near(book.Numbers("=RAND()"), {0.901819929785418}, 5e-15));
    EXPECT_NE(book.Numbers("=RAND()"), book.Numbers("=RAND()"));
    EXPECT_EQ(book.Eval("=RAND(1)"), "#SYNTAX!");
}

TEST_F(RandomMatrixFunctions, RandBetweenDrawsWholeNumbersBetweenTheBounds) {
    for (int i = 0; i < 50; ++i) {
        std::vector<double> v = book.Numbers("=RANDBETWEEN(1, 5)");
        ASSERT_EQ(v.size(), 1u);
        EXPECT_GE(v[0], 1);
        EXPECT_LE(v[0], 5);
        EXPECT_EQ(v[0], std::floor(v[0]));
    }
    EXPECT_EQ(book.Eval("=RANDBETWEEN(5, 1)"), "#NUM!");
    EXPECT_EQ(book.Eval("=RANDBETWEEN(3, 3)"), "3");
    EXPECT_EQ(book.Eval("=RANDBETWEEN(2.1, 2.9)"), "3");
    EXPECT_EQ(book.Eval("=RANDBETWEEN(-2.9, -2.1)"), "-3");
    EXPECT_EQ(book.Eval("=RANDBETWEEN(1, 1/0)"), "#DIV/0!");
    EXPECT_EQ(book.Eval("=RANDBETWEEN(1)"), "#SYNTAX!");
    std::vector<double> column = book.Numbers("=RANDBETWEEN({1; 10; 100}, {2; 20; 200})");
    ASSERT_EQ(column.size(), 3u);
    EXPECT_TRUE(column[0] >= 1 && column[0] <= 2 && column[1] >= 10 && column[1] <= 20 &&
                column[2] >= 100 && column[2] <= 200);
}

TEST_F(RandomMatrixFunctions, DeterminantAndInverse) {
    CheckShown(book, {
                         // Singular: the determinant is 0, the inverse does not exist.
                         {"=MDETERM({1, 2; 2, 4})", "0"},
                         {"=MDETERM({0, 0; 0, 0})", "0"},
                         {"=MDETERM({1, 2; 2, 4}/2)*1", "0"},
                         {"=MDETERM({1, 2, 3})", "#VALUE!"},
                         {"=MDETERM({0, 1, 0; 0, 0, 1; 1, 0, 0})", "1"},
                         {"=MDETERM({0, 1; 1, 0})", "-1"},
                         {"=MDETERM(5)", "#VALUE!"},
                         {"=MINVERSE({1, 2; 2, 4})", "#NULL!"},
                         {"=MINVERSE({0, 0; 0, 0})", "#NULL!"},
                         {"=MINVERSE({2, 0; 0, 4})", "{0.5, 0; 0, 0.25}"},
                         {"=MINVERSE({1, 2; 3, 4; 5, 6})", "#VALUE!"},
                         {"=MMULT({1; 2; 3}, {1, 2, 3}, {2; 2; 2})", "{12; 24; 36}"},
                     });
    const std::string a = "{8, 5, -2; 2, 3, 1; 3, -1, -3}";
    EXPECT_TRUE(Near(book.Numbers("=MDETERM(" + a + ")"), {3}, 1e-13));
    EXPECT_TRUE(Near(book.Numbers("=MINVERSE(" + a + ")"),
                     {-2.66666666666667, 5.66666666666667, 3.66666666666667, 3, -6, -4,
                      -3.66666666666667, 7.66666666666667, 4.66666666666667},
                     1e-13));
    EXPECT_EQ(book.Numbers("=MMULT(" + a + ", MINVERSE(" + a + "))"),
              book.Numbers("=MTXMLT(" + a + ", MINVERSE(" + a + "))"));
    // An empty cell of the range counts as 0.
    book.Number("A1", 2);
    book.Number("B2", 3);
    EXPECT_EQ(book.Eval("=MDETERM(A1:B2)"), "6");
}

} // namespace vl::test
