// The models of the sample tests: FTEST's F probability and the t and z statistics of TTEST2,
// ZTEST2 and ZTEST, each sample walked as the tests walk their areas.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <boost/math/distributions/fisher_f.hpp>
#include <cfloat>
#include <cmath>

namespace vl::test::peermodel {

namespace {

// A sample as the tests walk it: the stored cells of an area or the elements of an array,
// numbers and numeric texts taken, other texts passed over, the cells' errors joined in
// `values`. Returns the argument's own error: a reversed range #REF!, an empty intersection
// #NULL!, a value that is no area its error or #VALUE!.
int WalkSample(const Argument& a, std::vector<double>& out, int& values) {
    if (a.text.empty()) return 0;
    const bool array = a.text.front() == '{';
    if (!array && !IsReference(a.text) && a.text.find('!') == std::string::npos) {
        const Answer& v = a.values.front();
        return v.kind == 'e' && ErrorCode(v) ? ErrorCode(v) : 7;
    }
    if (a.reversed) return 6;
    if (a.values.empty()) return 3;
    for (const Answer& v : a.values) {
        double x = 0;
        if (v.kind == 'e')
            values = std::max(values, ErrorCode(v) ? ErrorCode(v) : 5);
        else if (v.kind != 'b' && ReadNumber(v, x))
            out.push_back(x);
    }
    return 0;
}

// Whether the running sum of the deviations from the first value leaves the doubles.
bool SumOverflows(const std::vector<double>& x) {
    double sum = 0;
    for (double v : x)
        if (!std::isfinite(sum += v - x.front())) return true;
    return false;
}

long double Mean(const std::vector<double>& x) {
    long double sum = 0;
    for (double v : x) sum += v;
    return sum / (long double)x.size();
}

long double SampleSpread(const std::vector<double>& x) {
    const long double mean = Mean(x);
    long double sum = 0;
    for (double v : x) sum += (v - mean) * (v - mean);
    return sum / (long double)(x.size() - 1);
}

// A result past the doubles, or below the smallest normal one, is #NUM!.
Answer FiniteAnswer(long double x) {
    const double d = double(x);
    if (!std::isfinite(d) || (d != 0 && std::fabs(d) < DBL_MIN)) return ErrorOfCode(5);
    return Answer{'n', d, ""};
}

// TTEST2's samples pass over their error cells: an argument's own error, a sum past the
// doubles (#NUM!), then a sample of fewer than two numbers (#N/A!); the pooled t statistic.
Answer TStatistic(const ModelCase& m) {
    std::vector<double> x, y;
    int passed = 0;
    const int taken = std::max(WalkSample(m.args[1], y, passed), WalkSample(m.args[0], x, passed));
    if (taken) return ErrorOfCode(taken);
    if (SumOverflows(x) || SumOverflows(y)) return ErrorOfCode(5);
    if (x.size() < 2 || y.size() < 2) return ErrorOfCode(4);
    const long double n1 = (long double)x.size(), n2 = (long double)y.size();
    const long double pooled = ((n1 - 1) * SampleSpread(x) + (n2 - 1) * SampleSpread(y)) /
                               (n1 + n2 - 2) * (n1 + n2) / (n1 * n2);
    return FiniteAnswer((Mean(x) - Mean(y)) / std::sqrt(pooled));
}

// A parameter of ZTEST read as a list number: an empty text or blanks #NUM!.
int ListNumber(const Argument* a, double& x) {
    if (!a || a->values.front().kind == 'b') return 0;
    const Answer& v = a->values.front();
    if (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos) return 5;
    return ScalarNumber(*a, x);
}

// ZTEST2 (ZTEST its upper normal tail): the arguments' own errors first; then the cells'
// errors, a sum past the doubles and a deviation of 0 given (#NUM!), the largest code; then
// a sample of fewer than two numbers (#DIV/0!); the deviation given or the sample's.
Answer ZStatistic(const ModelCase& m, bool tail) {
    std::vector<double> x;
    int values = 0;
    double deviation = NAN, at = 0;
    const Argument* given = m.args.size() > 2 ? &m.args[2] : nullptr;
    const int taken = std::max({ListNumber(given, deviation), ListNumber(&m.args[1], at),
                                WalkSample(m.args[0], x, values)});
    if (taken) return ErrorOfCode(taken);
    if (SumOverflows(x) || deviation == 0) values = std::max(values, 5);
    if (values) return ErrorOfCode(values);
    if (x.size() < 2) return ErrorOfCode(1);
    const long double sigma = std::isnan(deviation) ? std::sqrt(SampleSpread(x)) : deviation;
    const long double z = (Mean(x) - at) / (sigma / std::sqrt((long double)x.size()));
    if (!tail || !std::isfinite(double(z))) return FiniteAnswer(z);
    return FiniteAnswer(std::erfc(z / std::sqrt(2.0L)) / 2);
}

// The t and z statistics of the samples as the tests walk them: a sample of fewer than two
// numbers has no spread, the t statistic #N/A!, the z statistic #DIV/0!.
std::string SmallSamples(const ModelCase& m) {
    const bool z = m.name == "ZTEST2" || m.name == "ZTEST";
    if (m.args.size() < 2 || (z && (m.args[1].values.size() != 1 ||
                                    (m.args.size() > 2 && m.args[2].values.size() != 1))))
        return Expect(false, m, "a sample and scalar parameters");
    const Answer want = z ? ZStatistic(m, m.name == "ZTEST") : TStatistic(m);
    return Expect(Agree(m.ours, want), m, "the statistic of the samples (" + Describe(want) + ")");
}

// FTEST is the cumulative F probability (the lower tail) of the larger sample variance over
// the smaller, the larger's degrees of freedom first. The arguments' own errors come first,
// then the cells' (the largest code), a sum past the doubles (#NUM!), a sample of fewer than
// two numbers (#DIV/0!), a variance past the doubles (#NUM!) or of 0 (#DIV/0!).
Answer FProbability(const ModelCase& m) {
    std::vector<double> x, y;
    int values = 0;
    const int taken = std::max(WalkSample(m.args[1], y, values), WalkSample(m.args[0], x, values));
    if (taken) return ErrorOfCode(taken);
    if (values) return ErrorOfCode(values);
    if (SumOverflows(x) || SumOverflows(y)) return ErrorOfCode(5);
    if (x.size() < 2 || y.size() < 2) return ErrorOfCode(1);
    const double vx = double(SampleSpread(x)), vy = double(SampleSpread(y));
    if (!std::isfinite(vx) || !std::isfinite(vy)) return ErrorOfCode(5);
    if (vx == 0 || vy == 0) return ErrorOfCode(1);
    const bool first = vx >= vy;
    const long double f = first ? (long double)vx / vy : (long double)vy / vx;
    const double d1 = double((first ? x : y).size() - 1), d2 = double((first ? y : x).size() - 1);
    if (std::isinf(double(f))) return Answer{'n', 1, ""};
    return FiniteAnswer(
        boost::math::cdf(boost::math::fisher_f_distribution<long double>(d1, d2), f));
}

std::string FCumulative(const ModelCase& m) {
    if (m.args.size() != 2) return Expect(false, m, "two samples");
    const Answer want = FProbability(m);
    return Expect(Agree(m.ours, want), m,
                  "the lower F tail of the larger variance over the smaller (" + Describe(want) +
                      ")");
}

} // namespace

void AddSampleModels(std::map<std::string, Model>& models) {
    models.insert({
        {"f cumulative", [](TestBook&, const ModelCase& m) { return FCumulative(m); }},
        {"small samples", [](TestBook&, const ModelCase& m) { return SmallSamples(m); }},
    });
}

} // namespace vl::test::peermodel
