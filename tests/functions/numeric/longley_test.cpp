// Accuracy on the NIST Longley regression: seven coefficients of a nearly collinear design
// through MTXSVD with a column of ones.
#include "numericbook.h"
#include "platform/core/number.h"

#include <fstream>

namespace vl::test {

namespace {

// The numbers of a line, separated by blanks.
std::vector<double> LineNumbers(std::string_view line) {
    std::vector<double> out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        double value = 0;
        NumberScan scan = vl::ScanNumber(line.substr(i), value);
        if (scan.length == 0) break;
        out.push_back(value);
        i += scan.length;
    }
    return out;
}

double Digits(double computed, double certified) {
    double error = std::fabs(computed - certified);
    return error == 0 ? 16 : -std::log10(error / std::fabs(certified));
}

} // namespace

TEST(StrdLongley, MtxSvdKeepsNineDigitsOfEveryCoefficient) {
    std::ifstream in(std::string(VORLANE_TEST_DATA) + "/strd/Longley.dat");
    std::string line;
    std::vector<double> certified;
    std::vector<std::vector<double>> rows;
    bool data = false;
    while (std::getline(in, line)) {
        if (line.size() > 2 && line[0] == 'B' && line[1] >= '0' && line[1] <= '6')
            certified.push_back(LineNumbers(line.substr(2)).at(0));
        if (data && !LineNumbers(line).empty()) rows.push_back(LineNumbers(line));
        if (line.rfind("Data:", 0) == 0 && line.find(" y ") != std::string::npos) data = true;
    }
    ASSERT_EQ(certified.size(), 7u);
    ASSERT_EQ(rows.size(), 16u);
    NumericBook book;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::string row = std::to_string(r + 1);
        ASSERT_EQ(rows[r].size(), 7u);
        book.Number("A" + row, 1);
        for (int c = 1; c <= 6; ++c) book.Number(std::string(1, char('A' + c)) + row, rows[r][c]);
        book.Number("H" + row, rows[r][0]);
    }
    std::vector<double> b = book.Numbers("=MTXSVD(A1:G16, H1:H16,,1)");
    ASSERT_EQ(b.size(), 7u) << book.shown;
    for (std::size_t i = 0; i < 7; ++i) EXPECT_GE(Digits(b[i], certified[i]), 9) << "B" << i;
    EXPECT_NEAR(b[6], 1829.15146461355, 1829.15146461355 * 1e-9);
}

} // namespace vl::test
