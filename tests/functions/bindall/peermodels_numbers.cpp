// The models of single functions' numbers: the inverse distributions' ends, text lengths,
// remainders, date fields, multiples, flags, fractions and the domains of means and scores.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <boost/math/distributions/fisher_f.hpp>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>

namespace vl::test::peermodel {

namespace {

// MODE of values that each occur once is #N/A!: no value is the most frequent.
std::string ModeOfSingles(const ModelCase& m) {
    std::set<double> seen;
    bool repeats = false;
    for (const Argument& a : m.args)
        for (const Answer& v : a.values)
            if (v.kind == 'n' || (v.kind == 't' && NumericText(v.text)))
                repeats =
                    !seen.insert(v.kind == 'n' ? v.number : std::atof(v.text.c_str())).second ||
                    repeats;
    return Expect(!repeats && IsError(m.ours, "#N/A!"), m, "no value that occurs twice");
}

// SIN, COS and TAN of any finite angle are the library's.
std::string LargeAngles(const ModelCase& m) {
    if (m.args.size() != 1 || m.args[0].values.size() != 1 || m.args[0].values[0].kind != 'n')
        return Expect(false, m, "the angle's sine, cosine or tangent");
    double x = m.args[0].values[0].number;
    double want = m.name == "SIN" ? std::sin(x) : m.name == "COS" ? std::cos(x) : std::tan(x);
    return Expect(Agree(m.ours, Answer{'n', want, ""}), m, "the angle's sine, cosine or tangent");
}

// A cumulative flag is a whole number rounded half away from zero that must be 0 or 1; left
// out it is ADDRESS's and INDIRECT's A1 style (1), else false. A flag that fails adds its code
// (#NUM! for one past 0 and 1 or a text that is no number) to the other arguments' errors,
// the largest winning: those are the call's with the flag an error of the lowest code.
std::string TruthFlags(TestBook& book, const ModelCase& m) {
    // ADDRESS's style flag comes before the worksheet's name, other flags last.
    const std::size_t at = m.name == "ADDRESS" ? 3 : m.args.size() - 1;
    if (m.args.size() <= at || m.args[at].values.size() != 1) return Expect(false, m, "the flag");
    double flag = m.name == "ADDRESS" || m.name == "INDIRECT" ? 1 : 0;
    const int code = ReadWhole(m.args[at].values.front(), flag, 0, 1);
    std::vector<std::string> texts = Texts(m);
    if (code) {
        texts[at] = "1/0";
        const int others = ErrorCode(Substituted(book, m, texts));
        return Expect(Agree(m.ours, ErrorOfCode(std::max(code, others))), m,
                      "a flag that fails beside the other arguments' errors");
    }
    texts[at] = flag ? "1" : "0";
    return Expect(Agree(m.ours, Substituted(book, m, texts)), m, "the flag rounded");
}

// DOLLARFR writes the numerator in as many digits as the whole denominator has, DOLLARDE reads
// them back. The denominator rounds half away from zero to 1 up to 2^31-1 (empty: 1), the
// value lies within the 32-bit integers (empty: 0), else #NUM!, the largest error code winning.
std::string FractionDigits(const ModelCase& m) {
    double x = 0, d = 1;
    if (m.args.size() != 2) return Expect(false, m, "the fraction");
    const int error = std::max(ReadScalar(m.args[0].values.front(), x, -2147483648.0, 2147483647.0),
                               ReadWhole(m.args[1].values.front(), d, 1, 2147483647.0));
    if (error) return Expect(Agree(m.ours, ErrorOfCode(error)), m, "the arguments' error");
    double scale = std::pow(10.0, std::floor(std::log10(d)) + 1);
    double whole = std::trunc(std::fabs(x)), fraction = std::fabs(x) - whole;
    double value = m.name == "DOLLARFR" ? whole + std::floor(fraction * d + 0.5) / scale
                                        : whole + fraction * scale / d;
    const Answer want =
        OutsideDoubles(value) ? Answer{'e', 0, "#NUM!"} : Answer{'n', x < 0 ? -value : value, ""};
    return Expect(Agree(m.ours, want), m, "the fraction's digits");
}

// A text past the 8,173 characters a cell holds is #VALUE!: the peer's answer longer, or a
// REPT in the formula making one.
std::string TextLength(TestBook& book, const ModelCase& m) {
    const std::size_t limit = 8173;
    bool long_ = (m.peer.kind == 't' && m.peer.text.size() > limit) ||
                 (m.name == "LEN" && m.peer.kind == 'n' && m.peer.number > double(limit));
    static const std::regex rept(R"re(REPT\(("(?:[^"]|"")*"|[A-Z]+\d+),(\d+)\))re");
    for (std::sregex_iterator it(m.formula.begin(), m.formula.end(), rept), end; it != end; ++it) {
        Answer length = Evaluate(book, "=LEN(" + (*it)[1].str() + ")", 19, 0);
        if (length.kind == 'n' && length.number * std::atof((*it)[2].str().c_str()) > double(limit))
            long_ = true;
    }
    return Expect(long_ && IsError(m.ours, "#VALUE!"), m, "a text past 8,173 characters");
}

// CEILING, FLOOR and MROUND work on the magnitude: a negative number goes away from zero
// with CEILING and toward it with FLOOR. The arguments' errors come first, the largest code
// winning (a text that is no number, and CEILING's or FLOOR's negative multiple, #NUM!); then
// a multiple of 0 is #DIV/0!, MROUND's of the other sign #NUM!, a result past the doubles
// #NUM!. An empty value is 0, an empty multiple 1.
std::string Multiples(const ModelCase& m) {
    double x = 0, step = 1;
    if (m.args.size() != 2) return Expect(false, m, "the multiple");
    const bool mround = m.name == "MROUND";
    const int error = std::max(ReadScalar(m.args[0].values.front(), x),
                               ReadScalar(m.args[1].values.front(), step, mround ? -DBL_MAX : 0));
    if (error) return Expect(Agree(m.ours, ErrorOfCode(error)), m, "the arguments' error");
    if (step == 0) return Expect(IsError(m.ours, "#DIV/0!"), m, "a multiple of 0");
    if (mround && x != 0 && (x < 0) != (step < 0))
        return Expect(IsError(m.ours, "#NUM!"), m, "a multiple of the other sign");
    double units = std::fabs(x) / std::fabs(step);
    double whole = m.name == "CEILING" ? std::ceil(units)
                   : m.name == "FLOOR" ? std::floor(units)
                                       : RoundHalfAway(units);
    double value = (x < 0 ? -1 : 1) * whole * std::fabs(step);
    if (OutsideDoubles(value) || !std::isfinite(units))
        return Expect(IsError(m.ours, "#NUM!"), m, "a multiple past the doubles");
    return Expect(Agree(m.ours, Answer{'n', value, ""}), m, "the multiple on the magnitude");
}

// MOD takes the divisor's sign; a quotient within 2^-50 of its magnitude of a whole number
// (below 2^44, a decimal's representation error) leaves no remainder; a divisor of 0 is
// #DIV/0!, after the arguments' own errors (the largest code).
std::string RemainderSign(const ModelCase& m) {
    if (m.args.size() != 2 || !SingleValues(m)) return Expect(false, m, "two numbers");
    double x = 0, y = 0;
    const int worst = std::max(ScalarNumber(m.args[1], y), ScalarNumber(m.args[0], x));
    Answer want{'n', 0, ""};
    if (worst) {
        want = ErrorOfCode(worst);
    } else if (y == 0) {
        want = ErrorOfCode(1);
    } else {
        const double q = x / y;
        if (!(std::fabs(q) < 0x1p44 && std::fabs(q - std::round(q)) <= std::fabs(q) * 0x1p-50)) {
            double r = std::fmod(x, y);
            if (r != 0 && (r < 0) != (y < 0)) r += y;
            want.number = r + 0.0;
        }
    }
    return Expect(Agree(m.ours, want), m,
                  "the remainder on the divisor's side (" + Describe(want) + ")");
}

// Days since 0000-03-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, int64_t mo, int64_t d) {
    y -= mo <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400, yoe = y - era * 400;
    const int64_t doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& mo, int64_t& d) {
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097, doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    mo = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (mo <= 2);
}

// DATE takes a year of 1-50000 as written and carries months and days past their bounds into
// the years and months (month 13 is January of the next year, day 0 the month's eve); TIME
// carries seconds and minutes into the hours and goes round the clock, a time before midnight
// being #NUM!. Fields are whole numbers rounded half away from zero, an empty one 0 (an
// empty year #NUM!); a field's own error or a text that is no number gives the largest code.
Answer CarriedFields(const ModelCase& m) {
    const double carried = 1 << 30, any = 2147483647.0;
    const bool date = m.name == "DATE";
    double f[3] = {0, 0, 0};
    const int worst =
        std::max({WholeArgument(&m.args[2], f[2], date ? -carried : -any, date ? carried : any),
                  WholeArgument(&m.args[1], f[1], date ? -carried : -any, date ? carried : any),
                  WholeArgument(&m.args[0], f[0], date ? 1 : -any, date ? 50000 : any)});
    if (worst) return ErrorOfCode(worst);
    char text[48];
    if (date) {
        if (f[0] < 1) return ErrorOfCode(5);
        const int64_t months = int64_t(f[0]) * 12 + int64_t(f[1]) - 1;
        const int64_t first = DaysFromCivil(months >= 0 ? months / 12 : (months - 11) / 12,
                                            ((months % 12) + 12) % 12 + 1, 1);
        int64_t y = 0, mo = 0, d = 0;
        CivilFromDays(first + int64_t(f[2]) - 1, y, mo, d);
        if (y < 1 || y > 50000) return ErrorOfCode(5);
        std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", (long long)y, (long long)mo,
                      (long long)d);
    } else {
        const double total = f[0] * 3600 + f[1] * 60 + f[2];
        if (total < 0) return ErrorOfCode(5);
        const auto clock = int64_t(std::fmod(total, 86400));
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", (long long)(clock / 3600),
                      (long long)(clock / 60 % 60), (long long)(clock % 60));
    }
    return Answer{'t', 0, text};
}

std::string DateFields(const ModelCase& m) {
    if (m.args.size() != 3 || !SingleValues(m)) return Expect(false, m, "three fields");
    const Answer want = CarriedFields(m);
    return Expect(Agree(m.ours, want), m, "the fields carried (" + Describe(want) + ")");
}

double SampleVariance(const std::vector<double>& x) {
    double mean = 0, sum = 0;
    for (double v : x) mean += v / double(x.size());
    for (double v : x) sum += (v - mean) * (v - mean);
    return sum / double(x.size() - 1);
}

// The inverse distributions have no value for a probability outside (0, 1), 0 and 1 too:
// #NUM!, but CHIINV and FINV of 0, their lower end 0.
std::string InverseEnds(TestBook& book, const ModelCase& m) {
    for (const char* name : {"NORMSINV", "NORMINV", "CHIINV", "FINV", "TINV", "CONFIDENCE"}) {
        std::string call = CallText(m.formula, name);
        std::string ignored;
        std::vector<std::string> args;
        if (call.empty() || !SplitCall("=" + call, ignored, args) || args.empty()) continue;
        double p = 0;
        if (!ReadNumber(Evaluate(book, "=" + args[0], 19, 0), p) || (p > 0 && p < 1))
            return Expect(false, m, "a probability outside (0, 1)");
        const std::string n = name;
        // CHIINV and FINV of 0 are their law's lower end, 0; other probabilities outside
        // (0, 1), 0 and 1 too, have no inverse: #NUM!, wherever the call stands.
        const Answer end =
            (n == "CHIINV" || n == "FINV") && p == 0 ? Answer{'n', 0, ""} : ErrorOfCode(5);
        return Expect(Agree(m.ours, WithCallAnswer(book, m.formula, call, end)), m,
                      "the lower end or no inverse");
    }
    return Expect(false, m, "an inverse distribution");
}

// & binds as + and - do, from the left: the formula with each chain of +, - and & written in
// explicit left-nested parentheses gives our answer.
std::string JoinPrecedence(TestBook& book, const ModelCase& m) {
    // Inside a call of one argument (LEN(...)) the chain is its argument.
    std::string name, f = m.formula;
    std::vector<std::string> args;
    if (SplitCall(m.formula, name, args) && args.size() == 1) f = "=" + args[0];
    std::vector<std::string> terms(1);
    std::vector<char> operators;
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 1; i < f.size(); ++i) {
        char c = f[i];
        if (c == '"') quoted = !quoted;
        if (!quoted) depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        // A binary +, - or & at the top: after an operand, not an exponent's sign.
        bool binary =
            !quoted && depth == 0 && (c == '+' || c == '-' || c == '&') && !terms.back().empty() &&
            std::string("0123456789)\"%ABCDEFGHIJKLMNOPQRSTUVWXYZ").find(terms.back().back()) !=
                std::string::npos &&
            !(terms.back().size() >= 2 && terms.back().back() == 'E' &&
              std::isdigit(static_cast<unsigned char>(terms.back()[terms.back().size() - 2])));
        if (binary) {
            operators.push_back(c);
            terms.emplace_back();
        } else {
            terms.back() += c;
        }
    }
    if (operators.empty()) return Expect(false, m, "a chain of +, - and &");
    std::string nested = "(" + terms[0] + ")";
    for (std::size_t k = 0; k < operators.size(); ++k)
        nested = "(" + nested + operators[k] + "(" + terms[k + 1] + "))";
    if (f != m.formula) nested = name + "(" + nested + ")";
    return Expect(Agree(m.ours, Evaluate(book, "=" + nested, 19, 0)), m,
                  "& at the level of + and -");
}

// FREQUENCY reads its data and bins as the statistics do (a text that is no number given alone
// #NUM!, one in an area left out)
// and counts into the bins' rows whatever their order; an empty cell is neither a value nor
// a bin.
std::string FrequencyBins(TestBook& book, const ModelCase& m) {
    if (m.args.size() != 2) return Expect(false, m, "data and bins");
    std::vector<double> data, bins;
    int worst = 0;
    for (int k = 0; k < 2; ++k) {
        const Argument& a = m.args[std::size_t(k)];
        const bool area = a.values.size() > 1 || a.text.find_first_of(":{_") != std::string::npos;
        for (const Answer& v : a.values) {
            double x = 0;
            if (v.kind == 'e')
                worst = std::max(worst, ErrorCode(v) ? ErrorCode(v) : 5);
            else if (ReadNumber(v, x))
                (k ? bins : data).push_back(x);
            else if (v.kind != 'b' && !area)
                worst = std::max(worst, 5);
        }
    }
    if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error code");
    // The first count: the data not above the first bin and above every smaller bin, or all
    // of them with no bin.
    double below = -HUGE_VAL;
    for (double b : bins)
        if (!bins.empty() && b < bins.front()) below = std::max(below, b);
    double first = 0;
    for (double x : data) first += bins.empty() || (x <= bins.front() && x > below);
    (void)book;
    return Expect(Agree(m.ours, Answer{'n', first, ""}), m, "the first bin's count");
}

// GEOMEAN refuses a value of 0 or below (#NUM!); HARMEAN takes negative values, refuses 0
// (#NUM!) and a sum of inverses of 0 (#DIV/0!); STANDARDIZE refuses a deviation of 0 or below;
// ZTEST and ZTEST2 take the deviation as given (0 refused) or the sample's; the largest error
// code wins.
std::string DomainRule(TestBook& book, const ModelCase& m) {
    std::vector<double> x;
    int worst = 0;
    if (m.name == "GEOMEAN" || m.name == "HARMEAN") {
        for (const Argument& a : m.args) ReadSample(a, false, x, worst);
        for (double v : x)
            if (v == 0 || (m.name == "GEOMEAN" && v < 0)) worst = std::max(worst, 5);
        if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error code");
        if (m.name == "GEOMEAN") return Expect(false, m, "a GEOMEAN refused");
        // Neumaier's summation: inverses that cancel (1E+300 and -1E+300) must not take the
        // small ones with them.
        long double inverses = 0, lost = 0;
        for (double v : x) {
            const long double term = 1.0L / v, sum = inverses + term;
            lost += std::fabs(inverses) >= std::fabs(term) ? (inverses - sum) + term
                                                            : (term - sum) + inverses;
            inverses = sum;
        }
        inverses += lost;
        if (inverses == 0) return Expect(IsError(m.ours, "#DIV/0!"), m, "inverses summing to 0");
        return Expect(Agree(m.ours, Answer{'n', double(x.size() / inverses), ""}), m,
                      "the harmonic mean of negative values too");
    }
    if (m.name == "STANDARDIZE" && m.args.size() == 3) {
        double v[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            const Answer& a = m.args[std::size_t(i)].values.front();
            if (a.kind == 'e')
                worst = std::max(worst, ErrorCode(a));
            else if (!ReadNumber(a, v[i]))
                worst = std::max(worst, 5);
        }
        if (v[2] <= 0) worst = std::max(worst, 5);
        if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "a deviation of 0 or below");
        return Expect(Agree(m.ours, Answer{'n', (v[0] - v[1]) / v[2], ""}), m,
                      "the standard score");
    }
    if ((m.name == "ZTEST" || m.name == "ZTEST2") && m.args.size() >= 2) {
        ReadSample(m.args[0], false, x, worst);
        double at = 0, sigma = 0;
        const Answer& point = m.args[1].values.front();
        if (point.kind != 'b' && !ReadNumber(point, at)) worst = std::max(worst, 5);
        bool given = m.args.size() > 2 && !m.args[2].text.empty();
        if (given && !ReadNumber(m.args[2].values.front(), sigma)) worst = std::max(worst, 5);
        // A deviation of 0 given measures nothing.
        if (given && sigma == 0) worst = std::max(worst, 5);
        if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error code");
        if (x.size() < 2) return Expect(IsError(m.ours, "#DIV/0!"), m, "a sample too small");
        double mean = 0;
        for (double v : x) mean += v / double(x.size());
        if (!given) sigma = std::sqrt(SampleVariance(x));
        double z = (mean - at) / (sigma / std::sqrt(double(x.size())));
        if (OutsideDoubles(z))
            return Expect(IsError(m.ours, "#NUM!"), m, "a statistic past the doubles");
        if (m.name == "ZTEST2")
            return Expect(Agree(m.ours, Answer{'n', z, ""}), m, "the z statistic");
        Answer want = Evaluate(book, "=NORMSDIST(" + Number(-z) + ")", 19, 0);
        return Expect(Agree(m.ours, want), m, "the upper normal tail");
    }
    return Expect(false, m, "a domain rule");
}

// A subnormal result is #NUM!; one that underflows past the subnormals is 0.
std::string FiniteResults(TestBook& book, const ModelCase& m) {
    if (m.peer.kind == 'n' && m.peer.number != 0 && std::fabs(m.peer.number) < DBL_MIN)
        return Expect(IsError(m.ours, "#NUM!"), m, "a subnormal result");
    // x^y: its magnitude's logarithm tells an underflow.
    std::string base, power;
    std::string name;
    std::vector<std::string> args;
    if (SplitCall(m.formula, name, args) && name == "POWER" && args.size() == 2) {
        base = args[0];
        power = args[1];
    } else if (m.formula.find('^') != std::string::npos) {
        base = m.formula.substr(1, m.formula.find('^') - 1);
        power = m.formula.substr(m.formula.find('^') + 1);
    }
    double x = 0, y = 0;
    if (!base.empty() && ReadNumber(Evaluate(book, "=" + base, 19, 0), x) &&
        ReadNumber(Evaluate(book, "=" + power, 19, 0), y) && x > 0) {
        long double magnitude = (long double)y * std::log10((long double)x);
        return Expect(magnitude < -324 && Agree(m.ours, Answer{'n', 0, ""}), m,
                      "an underflow to 0");
    }
    if (m.name == "SERIESSUM" && m.args.size() == 4) {
        double at = 1, first = 0;
        ReadNumber(m.args[0].values.front(), at);
        ReadNumber(m.args[1].values.front(), first);
        return Expect(at == 0 && first < 0 && IsError(m.ours, "#NUM!"), m, "0 to a negative power");
    }
    if (m.name == "STDEV") {
        std::vector<double> values;
        int worst = 0;
        for (const Argument& a : m.args) ReadSample(a, false, values, worst);
        double largest = 0;
        for (double v : values) largest = std::max(largest, std::fabs(v));
        return Expect(largest > 1e154 && IsError(m.ours, "#NUM!"), m, "squares past the doubles");
    }
    return Expect(false, m, "a result past the doubles");
}

// A complex number's text is no number, so arithmetic on it is #NUM!; the empty text and an
// empty cell are 0, a numeric text its number; IMARGUMENT of 0 is 0.
std::string ComplexText(TestBook& book, const ModelCase& m) {
    std::string name;
    std::vector<std::string> args;
    if (!SplitCall(m.formula, name, args)) {
        // Between operators: the call's text is no number.
        for (const Argument& a : m.args)
            if (a.text.rfind("IM", 0) == 0 || a.text.rfind("COMPLEX", 0) == 0) {
                const Answer& v = a.values.front();
                // A number (IMABS, IMREAL, ...) takes part in the arithmetic: the call itself
                // is judged.
                if (v.kind == 'n')
                    return ComplexText(book, ReadModelCase(book, "=" + a.text, v, m.peer));
                return Expect(TextNoNumber(v) && IsError(m.ours, "#NUM!"), m,
                              "arithmetic on a complex number's text");
            }
        return Expect(false, m, "a complex function");
    }
    std::vector<std::string> texts = Texts(m);
    bool changed = false;
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        const Answer& v = m.args[i].values.front();
        double x = 0;
        if (m.args[i].values.size() != 1) continue;
        if (v.kind == 'b' ||
            (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos)) {
            texts[i] = name == "COMPLEX" && i == 2 ? "" : "0";
            changed = changed || texts[i] != m.args[i].text;
        } else if (v.kind == 't' && NumericText(v.text) && ReadNumber(v, x)) {
            texts[i] = Number(x);
            changed = true;
        }
    }
    if (name == "COMPLEX" && texts.size() == 3 && texts[2].empty()) texts.pop_back();
    if (!changed) {
        double x = 1;
        bool zero = name == "IMARGUMENT" && m.args.size() == 1 &&
                    ReadNumber(m.args[0].values.front(), x) && x == 0;
        return Expect(zero && Agree(m.ours, Answer{'n', 0, ""}), m, "the argument of 0");
    }
    return Expect(Agree(m.ours, Substituted(book, m, texts)), m, "empty and numeric texts read");
}

// NPV, IRR, MIRR and FVSCHEDULE read numbers and numeric texts, other texts as #NUM! (ranges
// too) and an empty cell named alone as a flow of 0; IRR's last argument of two or more is its
// guess, and its answer is a rate at which the flows' present value is 0, #NUM! where there is
// none; MIRR's one rate both finances and reinvests, a single flow is #DIV/0!; a rate of -1
// or a value past the doubles is #NUM!.
std::string FlowArguments(const ModelCase& m) {
    if (m.args.empty()) return Expect(false, m, "flows");
    std::vector<double> rates, flows;
    int worst = 0;
    // IRR's last argument of two or more is the guess; one range alone is the flows.
    const std::size_t first = m.name == "NPV" || m.name == "FVSCHEDULE" ? 1 : 0;
    const std::size_t last = m.name == "IRR"    ? m.args.size() - (m.args.size() > 1)
                             : m.name == "MIRR" ? 1
                                                : m.args.size();
    // The empty text is a flow (or rate) of 0.
    auto read = [&](const Argument& a, std::vector<double>& out) {
        Argument copy = a;
        for (Answer& v : copy.values)
            if (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos)
                v = Answer{'n', 0, ""};
        // A text that is no number is refused in areas too.
        double x = 0;
        for (const Answer& v : copy.values)
            if (v.kind == 't' && !ReadNumber(v, x)) worst = std::max(worst, 5);
        ReadSample(copy, false, out, worst);
    };
    for (std::size_t i = first; i < last; ++i) read(m.args[i], flows);
    for (std::size_t i = 0; i < m.args.size(); ++i)
        if (i < first || i >= last) read(m.args[i], rates);
    if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error code");
    if (m.name == "FVSCHEDULE") {
        long double value = rates.empty() ? 0 : rates[0];
        for (double r : flows) value *= 1 + (long double)r;
        if (!std::isfinite(double(value)))
            return Expect(IsError(m.ours, "#NUM!"), m, "a value past the doubles");
        return Expect(Agree(m.ours, Answer{'n', double(value), ""}), m, "the principal compounded");
    }
    if (m.name == "NPV") {
        if (rates.size() != 1) return Expect(false, m, "a rate");
        // At -1 the discount divides by 0.
        if (rates[0] == -1) return Expect(IsError(m.ours, "#NUM!"), m, "a rate of -1");
        long double value = 0, factor = 1;
        for (double v : flows) value += v / (factor *= 1 + (long double)rates[0]);
        if (!std::isfinite(double(value)))
            return Expect(IsError(m.ours, "#NUM!"), m, "a value past the doubles");
        return Expect(Agree(m.ours, Answer{'n', double(value), ""}), m, "the flows discounted");
    }
    if (m.name == "IRR") {
        // A rate of no present value exists where the present value changes sign over the
        // rates above -1 (a grid from -0.999 to 1000).
        auto present = [&](long double rate) {
            long double value = 0, factor = 1;
            for (double v : flows) {
                value += v / factor;
                factor *= 1 + rate;
            }
            return value;
        };
        bool root = false;
        long double before = present(-0.999L);
        for (int k = 1; k <= 400 && !root; ++k) {
            long double rate = -0.999L + std::pow(1001.0L, k / 400.0L) - 1;
            long double now = present(rate);
            root = std::isfinite(double(now)) && std::isfinite(double(before)) &&
                   (now < 0) != (before < 0);
            before = now;
        }
        if (m.ours.kind != 'n')
            return Expect(!root && IsError(m.ours, "#NUM!"), m, "no rate of no present value");
        long double value = 0, factor = 1, scale = 0;
        for (double v : flows) {
            value += v / factor;
            scale += std::fabs(v / factor);
            factor *= 1 + (long double)m.ours.number;
        }
        return Expect(std::fabs(double(value)) <= 1e-9 * double(scale), m,
                      "a rate of no present value");
    }
    if (m.name == "MIRR" && rates.size() == 1 && m.args.size() == 2) {
        // One rate finances the outflows and reinvests the inflows over the flows' n periods.
        const long double rate = rates[0], n = (long double)flows.size() - 1;
        long double future = 0, present = 0;
        for (std::size_t i = 0; i < flows.size(); ++i) {
            if (flows[i] >= 0) future += flows[i] * std::pow(1 + rate, n - (long double)i);
            if (flows[i] < 0) present += flows[i] / std::pow(1 + rate, (long double)i);
        }
        if (!std::isfinite(double(future)) || !std::isfinite(double(present)))
            return Expect(IsError(m.ours, "#NUM!"), m, "sums past the doubles");
        if (n < 1) return Expect(IsError(m.ours, "#DIV/0!"), m, "a single flow");
        if (rate == -1) return Expect(IsError(m.ours, "#NUM!"), m, "a rate of -1");
        const double want = double(std::pow(future, 1 / n) / std::pow(-present, 1 / n) - 1);
        if (!std::isfinite(want)) return Expect(IsError(m.ours, "#NUM!"), m, "flows of one sign");
        return Expect(Agree(m.ours, Answer{'n', want, ""}), m, "the modified rate");
    }
    return Expect(false, m, "a cash-flow function");
}

} // namespace

void AddNumberModels(std::map<std::string, Model>& models) {
    models.insert({
        {"flow arguments", [](TestBook&, const ModelCase& m) { return FlowArguments(m); }},
        {"complex text", ComplexText},
        {"domain rule", DomainRule},
        // HARMEAN's negative values are the domain rule's own case.
        {"negative harmonic mean", DomainRule},
        {"finite results", FiniteResults},
        {"join precedence", JoinPrecedence},
        {"frequency bins", FrequencyBins},
        {"inverse ends", InverseEnds},
        {"remainder sign", [](TestBook&, const ModelCase& m) { return RemainderSign(m); }},
        {"date fields", [](TestBook&, const ModelCase& m) { return DateFields(m); }},
        {"multiples", [](TestBook&, const ModelCase& m) { return Multiples(m); }},
        {"truth flags", TruthFlags},
        {"fraction digits", [](TestBook&, const ModelCase& m) { return FractionDigits(m); }},
        {"text length", TextLength},
        {"mode of singles", [](TestBook&, const ModelCase& m) { return ModeOfSingles(m); }},
        {"large angles", [](TestBook&, const ModelCase& m) { return LargeAngles(m); }},
    });
}

} // namespace vl::test::peermodel
