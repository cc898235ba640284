#include "callharness.h"
#include "functions/numeric/distributions.h"
#include "functions/numeric/mathpolicy.h"
#include "numericbook.h"

#include <boost/math/distributions/binomial.hpp>
#include <cfloat>

namespace vl::stattest {

TEST(DistributionBuiltins, GiveTheQuotedValues) {
    CallHarness h;
    RunRows(h, {
                   {"NORMDIST(42, 40, 1.5, 1)", "0.908788780274132"},
                   {"NORMDIST(42, 40, 1.5, 0.5)", "0.908788780274132"},
                   {"NORMDIST(42, 40, 1.5, 0)", "0.109340049783996"},
                   {"NORMINV(0.90878877482188, 40, 1.5)", "41.9999999501349"},
                   {"NORMSINV(0.90878877482188)", "1.33333330008994"},
                   {"NORMSDIST(1.33333333432674)", "0.908788780437061"},
                   {"NORMSDIST(1.96)", "0.975002104851780"},
                   {"HYPGEOMDIST(1, 4, 8, 20)", "0.36326109391125"},
                   {"PERMUT(100, 3)", "970200"},
                   {"POISSON(2, 5, 0)", "0.08422433748857"},
                   {"POISSON(2, 5, 1)", "0.124652019483081"},
                   {"WEIBULL(105, 20, 100, 1)", "0.92958139006928"},
                   {"TDIST(1.96, 60)", "0.972677535131735"},
                   {"TINV(0.97267753526449, 60)", "1.96000000221820"},
                   {"STANDARDIZE(42, 40, 1.5)", "1.33333333333333"},
                   {"BINOMDIST(6, 10, 0.5, 0)", "0.205078125"},
                   {"CHIDIST(18.307, 10)", "0.949999410908602"},
                   {"CHIINV(0.9499994109077, 10)", "18.3069999999417"},
                   {"CONFIDENCE(0.05, 2.5, 50)", "0.692951912174839"},
                   {"CRITBINOM(6, 0.5, 0.75)", "4"},
                   {"CRITBINOM(6, 0.5, 0)", "0"},
                   // The running total reaching alpha exactly stops there: 1/64, then 7/64.
                   {"CRITBINOM(6, 0.5, 0.015625)", "0"},
                   {"CRITBINOM(6, 0.5, 0.109375)", "1"},
                   {"CRITBINOM(6, 0.5, 0.1093750000001)", "2"},
                   {"EXPONDIST(0.2, 10, 1)", "0.86466471676339"},
                   // The numerator's degrees first.
                   {"FDIST(15.20675, 4, 6)", "0.997299885972438"},
                   {"FDIST(15.20675, 6, 4)", "0.989999859431480"},
                   {"FINV(0.99729988597273, 4, 6)", "15.2067500006164"},
                   {"FINV(0.99729988597273, 6, 4)", "30.3091397870953"},
                   {"FINV(1, 6, 4)", "#NUM!"},
                   {"FISHER(0.75)", "0.97295507452766"},
                   {"FISHERINV(0.97295507452766)", "0.75"},
                   {"PROB({0, 1, 2, 3}, {0.2, 0.3, 0.1, 0.4}, 1, 3)", "0.8"},
                   {"PROB({0, 1, 2, 3}, {0.2, 0.3, 0.1, 0.4}, 1,)", "0.3"},
                   {"PROB({0, 1, 2, 3}, {0.2, 0.3, 0.1, 0.4}, 1, \"\")", "#NUM!"},
                   {"PROB({0, 1, 2, 3}, {0.2, 0.3, 0.1, 0.4}, \"\", 1)", "#NUM!"},
               });
}

TEST(DistributionBuiltins, CheckTheirArguments) {
    CallHarness h;
    RunRows(h, {
                   {"NORMDIST(42, 40, 1.5, 2)", "#NUM!"},
                   {"NORMDIST(42, 40, 0, 0)", "#NUM!"},
                   {"NORMDIST(42, 40, -1, 1)", "#NUM!"},
                   {"NORMDIST(\"a\", #DIV/0!, 1, 1)", "#NUM!"},
                   {"NORMDIST(\" 42 \", 40, 1.5, 1)", "0.908788780274132"},
                   // x = 0 is the probability of no event; a mean of 0 is refused.
                   {"POISSON(0, 5, 1)", "0.00673794699908547"},
                   {"POISSON(2, 0, 0)", "#NUM!"},
                   {"POISSON(0, 0, 1)", "#NUM!"},
                   {"POISSON(-1e-300, 5, 1)", "#NUM!"},
                   {"POISSON(0, #REF!, 0)", "#REF!"},
                   // No finite test: a probability below the normal range is shown.
                   {"POISSON(1, 720, 0)", "1.4632061777e-310"},
                   {"POISSON(1, 720, 1)", "1.4652384085e-310"},
                   {"POISSON(1, 800, 0)", "0"},
                   {"POISSON(400, 1e300, 0)", "0"},
                   {"STANDARDIZE(42, 40, 0)", "#NUM!"},
                   {"PERMUT(3, 5)", "#NUM!"},
                   {"PERMUT(0, 5)", "#NUM!"},
                   {"NORMSINV(1.5)", "#NUM!"},
                   {"NORMINV(0, 3, 2)", "#NUM!"},
                   {"TINV(1, 60)", "#NUM!"},
                   {"TINV(0, 60)", "#NUM!"},
                   {"TINV(-0.1, 60)", "#NUM!"},
                   {"TDIST(1.96, 0)", "#NUM!"},
                   {"TDIST(1.96, 60.4)", "0.972677535131735"},
                   {"WEIBULL(1, 0, 1, 1)", "#NUM!"},
                   {"WEIBULL(1, 1, -1, 1)", "#NUM!"},
                   {"BINOMDIST(0, 10, 0.5, 0)", "0.0009765625"},
                   {"BINOMDIST(-1, 10, 0.5, 0)", "#NUM!"},
                   {"BINOMDIST(12, 10, 0.5, 0)", "0"},
                   // No trials: all of the distribution at s = 0, whatever p.
                   {"BINOMDIST(0, 0, 0.5, 0)", "1"},
                   {"BINOMDIST(0, 0, 0.5, 1)", "1"},
                   {"BINOMDIST(0, 0, 0, 0)", "1"},
                   {"BINOMDIST(0, 0, 1, 1)", "1"},
                   {"BINOMDIST(1, 0, 0.5, 0)", "0"},
                   {"BINOMDIST(0, -1, 0.5, 0)", "#NUM!"},
                   {"CRITBINOM(0, 0.5, 0.5)", "0"},
                   {"CRITBINOM(0, 0.5, 1)", "0"},
                   {"CRITBINOM(0, 0, 0.5)", "0"},
                   {"CRITBINOM(-1, 0.5, 0.5)", "#NUM!"},
                   {"FISHER(1)", "#NUM!"},
                   {"FISHER(1.5)", "#NUM!"},
                   {"FISHERINV(400)", "1"},
                   {"FISHERINV(1e6)", "1"},
                   {"EXPONDIST(-1, 10, 1)", "#NUM!"},
                   {"CHIINV(1, 10)", "#NUM!"},
                   {"CHIINV(0, 10)", "0"},
                   {"PROB({0, 1}, {0.5}, 0, 1)", "#N/A!"},
                   {"PROB({0, \"a\"}, {0.5, 1}, 0, 1)", "0.5"},
                   {"PROB({0, \"a\"}, {0.5, \"b\"}, 0, 1)", "0.5"},
                   {"NORMSDIST()", "#SYNTAX!"},
                   {"NORMSDIST(1, 2)", "#SYNTAX!"},
                   {"PROB({0}, {1}, 1)", "#SYNTAX!"},
               });
}

// Mended: the centre of the normal and t distributions, F searches below 0, PERMUT and
// POISSON beyond the double range, and counts whose coefficient products overflowed.
TEST(DistributionBuiltins, MendedFaults) {
    CallHarness h;
    RunRows(h, {
                   {"NORMSDIST(0.001)", "0.500398942"},
                   {"NORMSINV(0.5002)", "0.00050133"},
                   {"TDIST(0.0005, 60)", "0.5001986"},
                   {"PERMUT(1000, 200)", "#NUM!"},
                   {"PERMUT(2147483647, 2147483647)", "#NUM!"},
                   {"POISSON(200, 1000, 1)", "8.04274307925076e-210"},
                   {"POISSON(1e300, 0.5, 1)", "1"},
                   {"HYPGEOMDIST(2e9, 2e9, 2e9, 2e9)", "1"},
                   {"CRITBINOM(2e9, 0.5, 0.9)", "1000028656"},
                   // Sizes whose coefficient products overflowed.
                   {"CRITBINOM(1000, 0.5, 0.5)", "500"},
                   {"CRITBINOM(300, 0.5, 0.5)", "150"},
                   {"CRITBINOM(10, 0.5, 1)", "10"},
                   // alpha near 1 where the lower tail has rounded to 1 before the last count.
                   {"CRITBINOM(100, 0.3, 1)", "100"},
                   {"CRITBINOM(30, 1e-10, 1)", "30"},
                   {"CRITBINOM(30, 1e-10, 0.9999999999999999)", "1"},
                   {"CRITBINOM(6, 0.5, 0.890625)", "4"},
                   {"CRITBINOM(6, 0.5, 0.8906250000001)", "5"},
                   // A fractional x counts its whole events.
                   {"POISSON(2.9, 1.5, 0)", "0.251021430166984"},
                   {"POISSON(0.5, 5, 0)", "0.00673794699908547"},
                   {"POISSON(2.9, 1.5, 1)", "0.808846830538058"},
                   {"CRITBINOM(10, 0, 0.5)", "0"},
                   {"CRITBINOM(10, 1, 0.5)", "10"},
                   {"BINOMDIST(150, 300, 0.5, 1)", "0.523013757209517"},
                   {"BINOMDIST(12, 10, 0.5, 1)", "1"},
                   {"POISSON(200, 180, 1)", "0.934793705543222"},
                   {"HYPGEOMDIST(500, 1000, 5000, 10000)", "0.0265894299612940"},
                   {"HYPGEOMDIST(3, 3, 5, 5)", "1"},
                   {"HYPGEOMDIST(2, 3, 5, 5)", "0"},
                   {"HYPGEOMDIST(1, 3, 6, 5)", "#NUM!"},
                   {"HYPGEOMDIST(1, 6, 3, 5)", "#NUM!"},
                   {"FDIST(1, 1200, 1200)", "0.5"},
                   {"FDISTP(0, 2, 5)", "1"},
                   {"FDISTP(0, 3, 5)", "0"},
                   {"FDISTP(0, 1, 5)", "#NUM!"},
                   // Far tails and the inverses' ends.
                   {"NORMSDIST(-10)", "7.61985302416053e-24"},
                   {"NORMSINV(1e-300)", "-37.0470962993612"},
                   {"CHIDIST(10000, 10000)", "0.501880634033817"},
                   {"CHIINV(0.5, 10000)", "9999.33334123514"},
                   {"TINV(0.5000001, 30)", "2.52760022479297e-7"},
                   {"CONFIDENCE(1e-20, 1, 1)", "9.33604484923406"},
                   {"CONFIDENCE(0, 1, 1)", "#NUM!"},
                   // No successes, no events: the first count of the support.
                   {"BINOMDIST(0, 10, 0.1, 0)", "0.3486784401"},
                   {"BINOMDIST(0, 10, 0.1, 1)", "0.3486784401"},
                   {"POISSON(0, 2, 1)", "0.135335283236613"},
                   {"POISSON(0, 2, 0)", "0.135335283236613"},
                   // A deviation whose square overflows: the density of the standard score.
                   {"NORMDIST(1E200, 0, 1E200, 0)", "2.41970724519143E-201"},
                   {"NORMDIST(1E300, 0, 1E300, 0)", "2.41970724519143E-301"},
                   {"NORMDIST(-1E308, 1E308, 1E308, 0)", "#NUM!"},
                   {"NORMDIST(0, 0, 1E-300, 0)", "3.98942280401433E+299"},
                   // A huge quotient: the lower tail's complement keeps its digits.
                   {"FDIST(1E20, 1, 1)", "0.9999999999363380"},
                   {"FDIST(1E10, 1, 1)", "0.999993633802277"},
                   // tanh reaches 1 long before e^(2y) overflows.
                   {"FISHERINV(1E10)", "1"},
                   {"FISHERINV(-1E10)", "-1"},
                   {"FISHERINV(1.7976931348623157E308)", "1"},
               });
    Outcome o = h.Call("FINV(0.01148, 28, 25)");
    EXPECT_EQ(o.error, 0);
    EXPECT_GT(o.number, 0.1);
}

TEST(DistributionBuiltins, RoundWholeArgumentsHalfAwayFromZero) {
    CallHarness h;
    double at60 = h.Call("TDIST(1.96, 60)").number;
    double at61 = h.Call("TDIST(1.96, 61)").number;
    ASSERT_NE(at60, at61);
    EXPECT_EQ(h.Call("TDIST(1.96, 60.4)").number, at60);
    EXPECT_EQ(h.Call("TDIST(1.96, 60.5)").number, at61);
}

TEST(DistributionBuiltins, ApplyThemselvesOverRanges) {
    CallHarness h;
    h.PutColumn(0, 0, {18.307, Cell{}, std::string("x")});
    Outcome o = h.Call("CHIDIST(A1:A3, 10)");
    ASSERT_TRUE(IsArray(o, 3, {o.cells.at(0), 0.0, ErrorValue{kErrNum}}));
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[0]), "0.949999410908602"));
    // Empty cells are elements too, where every argument is a range.
    o = h.Call("NORMSDIST(B1:B2)");
    EXPECT_TRUE(IsArray(o, 2, {0.5, 0.5}, 0));
    o = h.Call("POISSON(B1:B2, B1:B2, B1:B2)");
    EXPECT_TRUE(IsArray(o, 2, {ErrorValue{kErrNum}, ErrorValue{kErrNum}}));
    o = h.Call("PROB({0, 1, 2, 3}, {0.2, 0.3, 0.1, 0.4}, {0; 1}, {3; 1})");
    EXPECT_TRUE(IsArray(o, 2, {1.0, 0.3}, 1e-12));
}

// A POISSON probability below the normal range is kept in its cell and shown there.
TEST(DistributionBuiltins, SubnormalPoissonStaysInItsCell) {
    test::NumericBook book;
    ASSERT_TRUE(BindStatisticsBuiltins());
    book.Formula("B2", "=POISSON(1, 720, 0)");
    book.Formula("B3", "=POISSON(1, 720, 0)*1e300");
    book.Formula("B4", "=NORMDIST(0, 0, 1e300, 0)/1e9");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("B3"), "1.46320617774547e-010");
    EXPECT_NE(book.Shown("B2"), "#NUM!");
    EXPECT_EQ(book.Shown("B4"), "#NUM!");
}

// CRITBINOM over the extremes random calls reach: the smallest k whose cumulative probability
// reaches alpha, found in a bounded number of steps wherever the quantile misses.
TEST(DistributionBuiltins, CritBinomIsTheSmallestCountReachingAlphaAtEveryExtreme) {
    const int32_t trialCounts[] = {1, 10, 46341, 1000000, 2147483647};
    const double probabilities[] = {1e-310, 1e-9, 0.001, 0.5, 0.999, 1 - 1e-9, 1};
    const double alphas[] = {0, 1e-310, 1e-9, 0.5, 0.999, 1 - 1e-12, 1};
    auto cdf = [](int32_t k, int32_t n, double p) { return BinomDist(k, n, p, 1).value; };
    // Above one half alpha is met by the upper tail, which keeps its digits where the lower
    // one has rounded to 1.
    auto upper = [](int32_t k, int32_t n, double p) {
        if (k >= n) return 0.0;
        using Binomial = boost::math::binomial_distribution<double, MathPolicy>;
        return boost::math::cdf(boost::math::complement(Binomial(n, p), k));
    };
    auto reaches = [&](int32_t k, int32_t n, double p, double alpha) {
        return alpha > 0.5 ? upper(k, n, p) <= 1 - alpha : cdf(k, n, p) >= alpha;
    };
    for (int32_t n : trialCounts) {
        for (double p : probabilities) {
            for (double alpha : alphas) {
                StatResult r = CritBinom(n, p, alpha);
                ASSERT_EQ(r.error, 0) << n << " " << p << " " << alpha;
                auto k = int32_t(r.value);
                ASSERT_EQ(double(k), r.value);
                ASSERT_GE(k, 0);
                ASSERT_LE(k, n);
                // A subnormal alpha is only bounded: the shown tail flushes such values to 0.
                if (alpha != 0 && alpha < DBL_MIN) continue;
                if (k > 0) {
                    EXPECT_FALSE(reaches(k - 1, n, p, alpha)) << n << " " << p << " " << alpha;
                }
                if (k < n) {
                    EXPECT_TRUE(reaches(k, n, p, alpha)) << n << " " << p << " " << alpha;
                }
            }
        }
    }
}

} // namespace vl::stattest
