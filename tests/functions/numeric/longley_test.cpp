// Accuracy on the NIST Longley regression: seven coefficients of a nearly collinear design
// through MTXSVD with a column of ones.
#include "numericbook.h"
#include "strddata.h"

namespace vl::test {

TEST(StrdLongley, MtxSvdKeepsNineDigitsOfEveryCoefficient) {
    StrdRegression set = LoadRegression("Longley.dat");
    ASSERT_EQ(set.certified.size(), 7u);
    ASSERT_EQ(set.rows.size(), 16u);
    NumericBook book;
    for (std::size_t r = 0; r < set.rows.size(); ++r) {
        std::string row = std::to_string(r + 1);
        ASSERT_EQ(set.rows[r].size(), 7u);
        book.Number("A" + row, 1);
        for (int c = 1; c <= 6; ++c)
            book.Number(std::string(1, char('A' + c)) + row, set.rows[r][c]);
        book.Number("H" + row, set.rows[r][0]);
    }
    std::vector<double> b = book.Numbers("=MTXSVD(A1:G16, H1:H16,,1)");
    ASSERT_EQ(b.size(), 7u) << book.shown;
    for (std::size_t i = 0; i < 7; ++i) EXPECT_GE(Digits(b[i], set.certified[i]), 9) << "B" << i;
    EXPECT_NEAR(b[6], 1829.15146461355, 1829.15146461355 * 1e-9);
}

} // namespace vl::test
