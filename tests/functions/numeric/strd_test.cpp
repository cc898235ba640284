// Accuracy on the NIST reference data sets: the means and deviations of the univariate
// sets and the straight line through Norris.
#include "functions/numeric/correlation.h"
#include "functions/numeric/linefit.h"
#include "functions/numeric/moments.h"
#include "strddata.h"

namespace vl::test {

TEST(StrdUnivariate, MeanAndDeviationKeepTheirDigits) {
    struct Case {
        const char* name;
        double digits; // required of the deviations
    } cases[] = {{"Lew.dat", 9},      {"Lottery.dat", 9}, {"Mavro.dat", 9},
                 {"Michelso.dat", 9}, {"NumAcc1.dat", 9}, {"NumAcc2.dat", 9},
                 {"NumAcc3.dat", 9},  {"NumAcc4.dat", 8}, {"PiDigits.dat", 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double certifiedMean = 0, certifiedDeviation = 0;
        std::vector<double> values;
        PlainSum sum;
        ShiftedSums shifted;
        for (const std::string& line : StrdLines(c.name)) {
            std::size_t equals = line.find(" = ");
            if (line.rfind("# mean", 0) == 0)
                certifiedMean = LineNumbers(line.substr(equals + 3))[0];
            if (line.rfind("# standard deviation", 0) == 0)
                certifiedDeviation = LineNumbers(line.substr(equals + 3))[0];
            if (line.empty() || line[0] == '#') continue;
            values.push_back(LineNumbers(line).at(0));
            sum.Add(values.back());
            shifted.Add(values.back());
        }
        ASSERT_GT(values.size(), 2u);
        StatResult mean = Mean(sum);
        ASSERT_EQ(mean.error, 0);
        EXPECT_GE(Digits(mean.value, certifiedMean), 9);

        DeviationSum squares{mean.value, true};
        for (double x : values) squares.Add(x);
        double twoPass = std::sqrt(squares.sum / double(values.size() - 1));
        EXPECT_GE(Digits(twoPass, certifiedDeviation), c.digits) << "DEVSQ";

        StatResult onePass = StandardDeviation(shifted, true);
        ASSERT_EQ(onePass.error, 0);
        EXPECT_GE(Digits(onePass.value, certifiedDeviation), c.digits) << "STDEV";
    }
}

TEST(StrdLinear, NorrisLineAndCorrelation) {
    StrdRegression set = LoadRegression("Norris.dat");
    ASSERT_EQ(set.rows.size(), 36u);
    ASSERT_EQ(set.certified, (std::vector<double>{-0.262323073774029, 1.00211681802045}));
    std::vector<double> x, y;
    PairSums sums;
    for (const auto& row : set.rows) {
        y.push_back(row.at(0));
        x.push_back(row.at(1));
        sums.Add(x.back(), y.back());
    }
    LineFit fit = FitLine(x.data(), y.data(), x.size(), true);
    ASSERT_EQ(fit.error, 0);
    EXPECT_GE(Digits(fit.slope, set.certified[1]), 9);
    EXPECT_GE(Digits(fit.intercept, set.certified[0]), 9);
    // From the centred deviations and the residuals one by one: the certified digits.
    EXPECT_GE(Digits(RSquared(sums).value, 0.999993745883712), 13);
    EXPECT_GE(Digits(Steyx(sums).value, 0.884796396144373), 13);
}

} // namespace vl::test
