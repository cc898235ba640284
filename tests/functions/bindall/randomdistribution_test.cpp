// The random functions are judged by their distributions, not by the peer's cached draws:
// each sample stays in its support, and its mean, spread and shape meet the law's within
// bounds that a sound generator misses about once in a hundred thousand runs.
#include "functions/bindall/bindall.h"
#include "tests/formula/evaltestutil.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

namespace {

constexpr int kDraws = 4000;

std::vector<double> Column(const std::string& array) {
    std::vector<double> out;
    std::string inner = array.size() > 2 ? array.substr(1, array.size() - 2) : "";
    std::istringstream in(inner);
    for (std::string item; std::getline(in, item, ';');)
        out.push_back(std::strtod(item.c_str(), nullptr));
    return out;
}

// A column drawn by calls of 100 rows each (the generator continues between them): `call`
// holds %d for the count.
std::vector<double> Columns(TestBook& book, const std::string& call) {
    std::vector<double> out;
    std::string formula = call;
    formula.replace(formula.find("%d"), 2, "100");
    for (int i = 0; i < kDraws / 100; ++i) {
        std::vector<double> part = Column(book.Eval(formula));
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

std::vector<double> Draws(TestBook& book, const std::string& formula) {
    std::vector<double> out;
    for (int i = 0; i < kDraws; ++i)
        out.push_back(std::strtod(book.Eval(formula).c_str(), nullptr));
    return out;
}

double Mean(const std::vector<double>& x) {
    double s = 0;
    for (double v : x) s += v;
    return s / double(x.size());
}

double Variance(const std::vector<double>& x) {
    double m = Mean(x), s = 0;
    for (double v : x) s += (v - m) * (v - m);
    return s / double(x.size() - 1);
}

// The largest distance between the sample's distribution and the law's (Kolmogorov).
double Distance(std::vector<double> x, const std::function<double(double)>& cdf) {
    std::sort(x.begin(), x.end());
    double d = 0, n = double(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        double f = cdf(x[i]);
        d = std::max({d, double(i + 1) / n - f, f - double(i) / n});
    }
    return d;
}

// Beyond 2.2 / sqrt(n) with probability about 1e-4 under the law.
double DistanceBound(std::size_t n) {
    return 2.2 / std::sqrt(double(n));
}

// The mean within 4.5 standard errors.
void ExpectMean(const std::vector<double>& x, double mean, double variance, const char* what) {
    EXPECT_NEAR(Mean(x), mean, 4.5 * std::sqrt(variance / double(x.size()))) << what;
}

} // namespace

TEST(FormulaPeer, RandomFunctionsFollowTheirDistributions) {
    BindAllFunctions();
    TestBook book;
    book.Sheet();
    struct Uniform {
        const char* formula;
        double lo, hi;
    };
    for (const Uniform& u : {Uniform{"=RAND()", 0, 1}}) {
        std::vector<double> x = Draws(book, u.formula);
        EXPECT_GE(*std::min_element(x.begin(), x.end()), u.lo) << u.formula;
        EXPECT_LE(*std::max_element(x.begin(), x.end()), u.hi) << u.formula;
        EXPECT_LT(Distance(x, [&](double v) { return (v - u.lo) / (u.hi - u.lo); }),
                  DistanceBound(x.size()))
            << u.formula;
    }
    // RANDBETWEEN draws whole numbers, every one from the bottom to the top about equally
    // often, its bounds rounded away from zero; a bottom above the top has none.
    struct Whole {
        const char* formula;
        int lo, hi;
    };
    for (const Whole& w :
         {Whole{"=RANDBETWEEN(2,10)", 2, 10}, Whole{"=RANDBETWEEN(-2.5,0.5)", -3, 1}}) {
        std::vector<double> x = Draws(book, w.formula);
        std::vector<int> counts(std::size_t(w.hi - w.lo + 1), 0);
        for (double v : x) {
            ASSERT_TRUE(v == std::floor(v) && v >= w.lo && v <= w.hi) << w.formula << " " << v;
            ++counts[std::size_t(int(v) - w.lo)];
        }
        const double n = double(x.size()), p = 1.0 / double(counts.size());
        for (int c : counts) EXPECT_NEAR(c, n * p, 4.5 * std::sqrt(n * p * (1 - p))) << w.formula;
    }
    EXPECT_EQ(book.Eval("=RANDBETWEEN(3,3)"), "3");
    EXPECT_EQ(book.Eval("=RANDBETWEEN(10,2)"), "#NUM!");
    EXPECT_EQ(book.Eval("=RANDBETWEEN(3.5,3.2)"), "4");
    EXPECT_EQ(book.Eval("=RAND(1)"), "#SYNTAX!");

    std::vector<double> uniform = Columns(book, "=MTXRAND(%d,,)");
    ASSERT_EQ(uniform.size(), 4000u);
    EXPECT_LT(Distance(uniform, [](double v) { return v; }), DistanceBound(uniform.size()));
    EXPECT_GE(*std::min_element(uniform.begin(), uniform.end()), 0);
    EXPECT_LT(*std::max_element(uniform.begin(), uniform.end()), 1);
    // The seeds repeat a column.
    EXPECT_EQ(book.Eval("=MTXRAND(5,17,29)"), book.Eval("=MTXRAND(5,17,29)"));
    EXPECT_NE(book.Eval("=MTXRAND(5,17,29)"), book.Eval("=MTXRAND(5,18,29)"));
    EXPECT_EQ(book.Eval("=MTXRAND2(5,17,29,1,3,2)"), book.Eval("=MTXRAND2(5,17,29,1,3,2)"));

    std::vector<double> normal = Columns(book, "=MTXRAND2(%d,,,1,3,2)");
    ASSERT_EQ(normal.size(), 4000u);
    EXPECT_LT(
        Distance(normal, [](double v) { return 0.5 * std::erfc(-(v - 3) / (2 * std::sqrt(2.0))); }),
        DistanceBound(normal.size()));
    EXPECT_NEAR(Variance(normal), 4, 4 * 4 * std::sqrt(2.0 / 4000));

    std::vector<double> exponential = Columns(book, "=MTXRAND2(%d,,,2,1.5,)");
    ASSERT_EQ(exponential.size(), 4000u);
    EXPECT_LT(Distance(exponential, [](double v) { return v < 0 ? 0 : 1 - std::exp(-v / 1.5); }),
              DistanceBound(exponential.size()));

    // Counts: whole numbers with the law's mean and variance.
    std::vector<double> poisson = Columns(book, "=MTXRAND2(%d,,,3,4,)");
    ASSERT_EQ(poisson.size(), 4000u);
    for (double v : poisson) ASSERT_TRUE(v >= 0 && v == std::floor(v)) << v;
    ExpectMean(poisson, 4, 4, "Poisson");
    EXPECT_NEAR(Variance(poisson), 4, 0.6);

    std::vector<double> bernoulli = Columns(book, "=MTXRAND2(%d,,,4,0.3,)");
    ASSERT_EQ(bernoulli.size(), 4000u);
    for (double v : bernoulli) ASSERT_TRUE(v == 0 || v == 1) << v;
    ExpectMean(bernoulli, 0.3, 0.21, "Bernoulli");
}

} // namespace vl::test
