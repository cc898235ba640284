#include "platform/core/number.h"

#include "platform/core/cp1252.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace vl {

namespace {

std::size_t SkipDigits(std::string_view t, std::size_t i) {
    while (i < t.size() && IsAsciiDigit(t[i])) ++i;
    return i;
}

// Widens the exponent of printf-style text to at least three digits.
std::string WidenExponent(std::string s) {
    std::size_t e = s.find('e');
    if (e == std::string::npos || e + 1 >= s.size()) return s;
    std::size_t digits = e + 2; // past the sign, which to_chars always writes
    std::size_t count = s.size() - digits;
    if (count < 3) s.insert(digits, 3 - count, '0');
    return s;
}

constexpr int kMaxPrecision = 340;
// The longest text: a sign, the 309 whole digits of the largest double, the point and the
// decimals.
constexpr int kMaxText = 1 + 309 + 1 + kMaxPrecision + 1;

std::string Format(double value, std::chars_format fmt, int precision) {
    if (precision < 0) precision = 0;
    // One more decimal than callers may ask for: the digit that decides an exact half.
    if (precision > kMaxPrecision + 1) precision = kMaxPrecision + 1;
    // A negative zero is written as zero: no number a user sees carries the sign of nothing.
    if (value == 0) value = 0.0;
    char buf[kMaxText];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, fmt, precision);
    if (ec != std::errc()) return "0";
    return WidenExponent(std::string(buf, end));
}

// The number of binary digits after the point of a finite value (0 for whole numbers):
// value × 10^p is an exact half exactly when this is p + 1.
int FractionBits(double value) {
    if (value == 0 || !std::isfinite(value)) return 0;
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(value), &exponent);
    const auto bits = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    const int count = 53 - exponent - std::countr_zero(bits);
    return count > 0 ? count : 0;
}

// Adds one to the last digit of a printed magnitude (a sign, digits and a point), carrying
// to the left; a carry past the first digit puts a new "1" there.
void BumpLastDigit(std::string& s) {
    const std::size_t first = !s.empty() && s[0] == '-' ? 1 : 0;
    for (std::size_t i = s.size(); i > first; --i) {
        char& c = s[i - 1];
        if (c == '.') continue;
        if (c != '9') {
            ++c;
            return;
        }
        c = '0';
    }
    s.insert(first, 1, '1');
}

// The text of an exact half rounded away from zero: the digits one place further, which
// then end in the 5, lose that 5 and round up.
std::string DropHalfAndBump(std::string s) {
    s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    BumpLastDigit(s);
    return s;
}

// Whether the scientific text of `value` with `precision` + 1 decimals ends in a 5 that is
// exact: every further digit of the value's full expansion is 0.
bool ScientificHalf(double value, int precision, std::string_view text) {
    const std::size_t e = text.find('e');
    if (e == std::string_view::npos || e == 0 || text[e - 1] != '5') return false;
    // A double has at most 767 significant digits; 780 decimals show all of them.
    char full[800];
    auto [end, ec] =
        std::to_chars(full, full + sizeof full, value, std::chars_format::scientific, 780);
    if (ec != std::errc()) return false;
    const std::string_view digits(full, std::size_t(end - full));
    const std::size_t point = digits.find('.');
    const std::size_t mark = digits.find('e');
    if (point == std::string_view::npos || mark == std::string_view::npos) return false;
    const std::size_t rest = point + 1 + std::size_t(precision) + 1;
    return digits.substr(rest, mark - rest).find_first_not_of('0') == std::string_view::npos;
}

// The power of ten of the first significant digit of an unsigned number text.
long DecimalMagnitude(std::string_view t) {
    std::size_t ePos = t.find_first_of("eE");
    std::string_view mant = t.substr(0, ePos);
    long exp10 = 0;
    if (ePos != std::string_view::npos) {
        std::size_t k = ePos + 1;
        bool neg = k < t.size() && t[k] == '-';
        if (k < t.size() && (t[k] == '-' || t[k] == '+')) ++k;
        for (; k < t.size() && exp10 < 1000000; ++k) exp10 = exp10 * 10 + (t[k] - '0');
        if (neg) exp10 = -exp10;
    }
    std::size_t dot = mant.find('.');
    if (dot == std::string_view::npos) dot = mant.size();
    for (std::size_t k = 0; k < mant.size(); ++k) {
        if (mant[k] == '.' || mant[k] == '0') continue;
        long power = k < dot ? long(dot - k - 1) : -long(k - dot);
        return power + exp10;
    }
    return -1; // all zeros
}

} // namespace

NumberScan ScanNumber(std::string_view t, double& value, bool allowSign) {
    NumberScan scan;
    std::size_t i = 0;
    if (allowSign && i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t intEnd = SkipDigits(t, i);
    std::size_t end = intEnd;
    bool digits = intEnd > i;
    if (end < t.size() && t[end] == '.') {
        std::size_t fracEnd = SkipDigits(t, end + 1);
        digits = digits || fracEnd > end + 1;
        end = fracEnd;
    }
    if (!digits) return scan;
    if (end < t.size() && (t[end] == 'e' || t[end] == 'E')) {
        std::size_t j = end + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        std::size_t expEnd = SkipDigits(t, j);
        if (expEnd > j) end = expEnd;
    }
    // from_chars reads no leading '+' and no lone '.'-terminated forms differently
    // from strtod, so hand it a normalised copy.
    std::string copy(t.substr(0, end));
    bool negative = !copy.empty() && copy[0] == '-';
    if (!copy.empty() && (copy[0] == '+' || copy[0] == '-')) copy.erase(0, 1);
    double v = 0;
    auto [p, ec] =
        std::from_chars(copy.data(), copy.data() + copy.size(), v, std::chars_format::general);
    (void)p;
    if (ec == std::errc::result_out_of_range) {
        // Out of range either way: too large overflows, too small reads as zero.
        if (DecimalMagnitude(copy) > 0) {
            v = HUGE_VAL;
            scan.overflow = true;
        } else {
            v = 0;
        }
    }
    value = negative ? -v : v;
    scan.length = end;
    return scan;
}

bool ParseNumber(std::string_view text, double& value) {
    double v = 0;
    NumberScan scan = ScanNumber(text, v);
    if (scan.length == 0 || scan.length != text.size() || scan.overflow) return false;
    value = v;
    return true;
}

std::string FormatNumberG(double value, int precision) {
    if (precision == 0) precision = 1;
    return Format(value, std::chars_format::general, precision);
}

// An exact half rounds away from zero, as people round and the classic runtimes print;
// every other value keeps its correctly rounded digits.
std::string FormatNumberE(double value, int precision) {
    precision = std::clamp(precision, 0, kMaxPrecision);
    const std::string longer = Format(value, std::chars_format::scientific, precision + 1);
    if (!ScientificHalf(value, precision, longer))
        return Format(value, std::chars_format::scientific, precision);
    const std::size_t e = longer.find('e');
    std::string mantissa = DropHalfAndBump(longer.substr(0, e));
    const std::size_t sign = longer[e + 1] == '-' ? 1 : 0;
    long exponent = 0;
    std::from_chars(longer.data() + e + 2, longer.data() + longer.size(), exponent);
    if (sign) exponent = -exponent;
    const std::size_t first = mantissa[0] == '-' ? 1 : 0;
    if (mantissa.size() > first + 1 && mantissa[first + 1] != '.') {
        // Every digit was 9: 9.95 became 10.0, which is 1.00 one power of ten up.
        mantissa.resize(first);
        mantissa += precision > 0 ? "1." + std::string(std::size_t(precision), '0') : "1";
        ++exponent;
    }
    const std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    return WidenExponent(mantissa + (exponent < 0 ? "e-" : "e+") + (digits.size() < 2 ? "0" : "") +
                         digits);
}

std::string FormatNumberF(double value, int precision) {
    precision = std::clamp(precision, 0, kMaxPrecision);
    if (FractionBits(value) != precision + 1)
        return Format(value, std::chars_format::fixed, precision);
    return DropHalfAndBump(Format(value, std::chars_format::fixed, precision + 1));
}

} // namespace vl
