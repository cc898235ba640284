// Accuracy on the NIST reference data sets: the means and deviations of the univariate
// sets and the straight line through Norris.
#include "functions/numeric/correlation.h"
#include "functions/numeric/linefit.h"
#include "functions/numeric/moments.h"
#include "platform/core/number.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {

namespace {

std::string DataPath(const char* name) {
    return std::string(VORLANE_TEST_DATA) + "/strd/" + name;
}

double LeadingNumber(std::string_view text) {
    std::size_t i = text.find_first_not_of(' ');
    double value = 0;
    if (i != std::string_view::npos) ScanNumber(text.substr(i), value);
    return value;
}

struct Univariate {
    double mean = 0, deviation = 0;
    std::vector<double> values;
};

Univariate LoadUnivariate(const char* name) {
    Univariate set;
    std::ifstream in(DataPath(name));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("# mean = ", 0) == 0) set.mean = LeadingNumber(line.substr(9));
        if (line.rfind("# standard deviation", 0) == 0)
            set.deviation = LeadingNumber(line.substr(line.find('=') + 1));
        if (!line.empty() && line[0] != '#') set.values.push_back(LeadingNumber(line));
    }
    return set;
}

// Correct significant digits; an exact result counts as 16.
double Digits(double computed, double certified) {
    double error = std::fabs(computed - certified);
    if (error == 0) return 16;
    return -std::log10(error / std::fabs(certified));
}

} // namespace

TEST(StrdUnivariate, MeanAndDeviationKeepTheirDigits) {
    struct Case {
        const char* name;
        double digits; // required of the deviations
    } cases[] = {{"Lew.dat", 9},      {"Lottery.dat", 9}, {"Mavro.dat", 9},
                 {"Michelso.dat", 9}, {"NumAcc1.dat", 9}, {"NumAcc2.dat", 9},
                 {"NumAcc3.dat", 9},  {"NumAcc4.dat", 8}, {"PiDigits.dat", 9}};
    for (const Case& c : cases) {
        Univariate set = LoadUnivariate(c.name);
        ASSERT_GT(set.values.size(), 2u) << c.name;
        PlainSum sum;
        ShiftedSums shifted;
        for (double x : set.values) {
            sum.Add(x);
            shifted.Add(x);
        }
        StatResult mean = Mean(sum);
        ASSERT_EQ(mean.error, 0) << c.name;
        EXPECT_GE(Digits(mean.value, set.mean), 9) << c.name;

        DeviationSum squares{mean.value, true};
        for (double x : set.values) squares.Add(x);
        double twoPass = std::sqrt(squares.sum / double(set.values.size() - 1));
        EXPECT_GE(Digits(twoPass, set.deviation), c.digits) << c.name << " DEVSQ";

        StatResult onePass = StandardDeviation(shifted, true);
        ASSERT_EQ(onePass.error, 0) << c.name;
        EXPECT_GE(Digits(onePass.value, set.deviation), c.digits) << c.name << " STDEV";
    }
}

TEST(StrdLinear, NorrisLineAndCorrelation) {
    std::ifstream in(DataPath("Norris.dat"));
    std::string line;
    std::vector<double> x, y;
    bool data = false;
    while (std::getline(in, line)) {
        if (data) {
            std::size_t mid = line.find_first_not_of(' ');
            if (mid == std::string::npos) continue;
            std::size_t gap = line.find(' ', mid);
            y.push_back(LeadingNumber(line.substr(0, gap)));
            x.push_back(LeadingNumber(line.substr(gap)));
        }
        // The second "Data:" line heads the columns.
        if (line.rfind("Data:", 0) == 0 && line.find("Response") == std::string::npos) data = true;
    }
    ASSERT_EQ(x.size(), 36u);
    LineFit fit = FitLine(x.data(), y.data(), x.size(), true);
    ASSERT_EQ(fit.error, 0);
    EXPECT_GE(Digits(fit.slope, 1.00211681802045), 9);
    EXPECT_GE(Digits(fit.intercept, -0.262323073774029), 9);
    PairSums sums;
    for (std::size_t i = 0; i < x.size(); ++i) sums.Add(x[i], y[i]);
    EXPECT_GE(Digits(RSquared(sums).value, 0.999993745883712), 9);
    EXPECT_GE(Digits(Steyx(sums).value, 0.884796396144373), 9);
}

} // namespace vl
