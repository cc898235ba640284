#include "values/formatdouble.h"

#include "platform/core/number.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace vl {

namespace {

constexpr double kFixedLimit = 999999999999999.0;
constexpr double kFixedSmallest = 1e-14;

bool UsesFixedForm(double value) {
    return value >= -kFixedLimit && value <= kFixedLimit &&
           (value == 0 || std::fabs(value) >= kFixedSmallest);
}

std::string FixedForm(double value) {
    int n = int(FormatNumberF(value, 0).size()); // the sign counts
    return FormatNumberF(value, (value >= 0 ? 15 : 16) - n);
}

std::string ExponentForm(double value) {
    int n = int(FormatNumberE(value, 0).size());
    return FormatNumberG(value, 20 - n + (value < 0 ? 1 : 0));
}

void StripFractionZeros(std::string& text) {
    if (text.find('.') == std::string::npos) return;
    if (text.find_first_of("eEgG") != std::string::npos) return;
    std::size_t end = text.find_last_not_of('0');
    text.erase(end + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
}

// A finite value rounded to 15 significant digits: the digits without trailing zeros, and
// the power of ten of the first one.
struct Rounded {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// The digits and exponent of a text "-d.ddde+dd".
Rounded ReadScientific(std::string_view e) {
    Rounded r;
    r.negative = e[0] == '-';
    const std::size_t mark = e.find_first_of("eE");
    for (std::size_t i = r.negative ? 1 : 0; i < mark; ++i)
        if (e[i] != '.') r.digits += e[i];
    r.digits.erase(r.digits.find_last_not_of('0') + 1);
    if (r.digits.empty()) r.digits = "0";
    std::size_t digit = mark + 1;
    if (digit < e.size() && e[digit] == '+') ++digit;
    std::from_chars(e.data() + digit, e.data() + e.size(), r.exponent);
    return r;
}

Rounded RoundTo15Digits(double value) {
    // The shortest digits that read back as the value are its 15-digit rounding when there
    // are at most 15 of them: 15-digit decimals lie more than two units of the last binary
    // place apart.
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (error == std::errc()) {
        Rounded r = ReadScientific(std::string_view(buffer, std::size_t(end - buffer)));
        if (r.digits.size() <= 15) return r;
    }
    return ReadScientific(FormatNumberE(value, 14));
}

std::string PlainForm(const Rounded& r) {
    std::string text = r.negative ? "-" : "";
    const int count = int(r.digits.size());
    if (r.exponent < 0)
        return text + "0." + std::string(std::size_t(-r.exponent - 1), '0') + r.digits;
    if (count <= r.exponent + 1)
        return text + r.digits + std::string(std::size_t(r.exponent + 1 - count), '0');
    return text + r.digits.substr(0, std::size_t(r.exponent + 1)) + "." +
           r.digits.substr(std::size_t(r.exponent + 1));
}

// "d.dddE+dd": a capital E and at least two exponent digits.
std::string CapitalExponentForm(const Rounded& r) {
    std::string text = r.negative ? "-" : "";
    text += r.digits[0];
    if (r.digits.size() > 1) text += "." + r.digits.substr(1);
    const int magnitude = std::abs(r.exponent);
    text += r.exponent < 0 ? "E-" : "E+";
    if (magnitude < 10) text += '0';
    return text + std::to_string(magnitude);
}

// "d.ddde+ddd": a small e and at least three exponent digits.
std::string SmallExponentForm(const Rounded& r) {
    std::string text = r.negative ? "-" : "";
    text += r.digits[0];
    if (r.digits.size() > 1) text += "." + r.digits.substr(1);
    const int magnitude = std::abs(r.exponent);
    text += r.exponent < 0 ? "e-" : "e+";
    if (magnitude < 100) text += '0';
    if (magnitude < 10) text += '0';
    return text + std::to_string(magnitude);
}

} // namespace

std::string FormatDouble(double value, const SeparatorSet* set) {
    std::string text;
    if (value == 0 || !std::isfinite(value)) {
        text = value == 0 ? FixedForm(value) : ExponentForm(value);
    } else {
        // 15 significant digits in either form, so that a number shown or written as this
        // text keeps them; written out where that takes at most 15 digits with a fraction's
        // leading zeros or is no longer than the exponent form.
        const Rounded r = RoundTo15Digits(value);
        text = SmallExponentForm(r);
        if (UsesFixedForm(value) && r.exponent < 15) {
            std::string fixed = PlainForm(r);
            const std::size_t width = fixed.size() - (r.negative ? 1 : 0) -
                                      (fixed.find('.') != std::string::npos ? 1 : 0);
            if (width <= 15 || fixed.size() <= text.size()) text = std::move(fixed);
        }
        // A value just below 1e-14 can round up to it; the text must read back to a value
        // that is written the same way again.
        double back = 0;
        if (!UsesFixedForm(value) && ParseNumber(text, back) && UsesFixedForm(back))
            text = PlainForm(RoundTo15Digits(back));
    }
    StripFractionZeros(text);
    if (set) {
        std::size_t dot = text.find('.');
        if (dot != std::string::npos && text.find_first_of("eE") == std::string::npos)
            text[dot] = set->decimal;
    }
    return text;
}

std::string FormatGeneralNumber(double value, const SeparatorSet* set) {
    if (!std::isfinite(value) || value == 0) return FormatDouble(value, set);
    const Rounded r = RoundTo15Digits(value);
    std::string text = CapitalExponentForm(r);
    // A whole part of at most 15 digits is written out; so is a fraction that fits in 15
    // digits with its leading zeros, or is no longer than the exponent form.
    if (r.exponent <= 14) {
        std::string fixed = PlainForm(r);
        const std::size_t width =
            fixed.size() - (r.negative ? 1 : 0) - (fixed.find('.') != std::string::npos ? 1 : 0);
        if (width <= 15 || fixed.size() <= text.size()) text = std::move(fixed);
    }
    if (set) {
        std::size_t dot = text.find('.');
        if (dot != std::string::npos && text.find('E') == std::string::npos)
            text[dot] = set->decimal;
    }
    return text;
}

} // namespace vl
