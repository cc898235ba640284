#include "platform/core/number.h"

#include "platform/core/cp1252.h"

#include <charconv>
#include <cmath>

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
constexpr int kMaxText = 1 + 309 + 1 + kMaxPrecision;

std::string Format(double value, std::chars_format fmt, int precision) {
    if (precision < 0) precision = 0;
    if (precision > kMaxPrecision) precision = kMaxPrecision;
    char buf[kMaxText];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, fmt, precision);
    if (ec != std::errc()) return "0";
    return WidenExponent(std::string(buf, end));
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

std::string FormatNumberE(double value, int precision) {
    return Format(value, std::chars_format::scientific, precision);
}

std::string FormatNumberF(double value, int precision) {
    return Format(value, std::chars_format::fixed, precision);
}

} // namespace vl
