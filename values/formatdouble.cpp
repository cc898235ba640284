#include "values/formatdouble.h"

#include "platform/core/number.h"

#include <cmath>

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

} // namespace

std::string FormatDouble(double value, const SeparatorSet* set) {
    std::string text;
    if (UsesFixedForm(value)) {
        text = FixedForm(value);
    } else {
        text = ExponentForm(value);
        // A value just below 1e-14 can round up to it; the text must read back to a
        // value that is written the same way again.
        double back = 0;
        if (ParseNumber(text, back) && UsesFixedForm(back)) text = FixedForm(back);
    }
    StripFractionZeros(text);
    if (set) {
        std::size_t dot = text.find('.');
        if (dot != std::string::npos && text.find_first_of("eE") == std::string::npos)
            text[dot] = set->decimal;
    }
    return text;
}

} // namespace vl
