#include "exchange/numbertext.h"

#include "platform/core/cp1252.h"
#include "platform/core/number.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vl {

namespace {

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsAsciiDigit(text[i])) ++i;
    return i;
}

} // namespace

bool ReadFieldNumber(std::string_view field, char decimal, double& value) {
    // The number is rebuilt in the scanner's form ('.', no blanks) in a buffer of its own.
    constexpr std::size_t kLongest = 400;
    if (field.size() >= kLongest) return false;
    char number[kLongest + 2];
    std::size_t n = 0;
    std::size_t i = 0;
    const bool negative = !field.empty() && field[0] == '-';
    if (negative) i = SkipBlanks(field, 1);
    const std::size_t intStart = i;
    i = SkipDigits(field, i);
    std::size_t digits = i - intStart;
    number[n++] = '0';
    field.copy(number + n, i - intStart, intStart);
    n += i - intStart;
    if (i < field.size() && field[i] == decimal) {
        const std::size_t fracStart = ++i;
        i = SkipDigits(field, i);
        number[n++] = '.';
        field.copy(number + n, i - fracStart, fracStart);
        n += i - fracStart;
        digits += i - fracStart;
    }
    if (digits == 0) return false;
    if (number[n - 1] == '.') --n;
    if (i < field.size() && (field[i] == 'E' || field[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < field.size() && (field[j] == '+' || field[j] == '-')) ++j;
        const std::size_t expStart = j;
        j = SkipDigits(field, j);
        if (j == expStart) return false;
        number[n++] = 'e';
        field.copy(number + n, j - i - 1, i + 1);
        n += j - i - 1;
        i = j;
    }
    if (SkipBlanks(field, i) != field.size()) return false;
    double v = 0;
    const std::string_view text(number, n);
    // A number past the double range is no value: the field stays its text, as typed.
    if (ScanNumber(text, v, false).length != n || !std::isfinite(v)) return false;
    value = negative ? -v : v;
    return true;
}

double ReadDecimalField(std::string_view field) {
    double value = 0;
    return ReadDecimalFieldValue(field, value) ? value : 0;
}

bool ReadDecimalFieldValue(std::string_view field, double& out) {
    out = 0;
    std::size_t i = 0;
    while (i < field.size() && IsAsciiSpace(field[i])) ++i;
    double value = 0;
    // A lone point before digits (".5") is read as the C runtime reads it.
    std::string text(field.substr(i));
    std::size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (sign < text.size() && text[sign] == '.') text.insert(sign, "0");
    if (ScanNumber(text, value, true).length == 0) return true;
    if (!std::isfinite(value)) return false;
    out = value;
    return true;
}

uint32_t ReadWholeField(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && IsAsciiSpace(field[i])) ++i;
    if (i < field.size() && field[i] == '+') ++i;
    uint64_t value = 0;
    for (; i < field.size() && IsAsciiDigit(field[i]); ++i) {
        value = value * 10 + uint64_t(field[i] - '0');
        if (value > std::numeric_limits<uint32_t>::max())
            return std::numeric_limits<uint32_t>::max();
    }
    return uint32_t(value);
}

std::string FixedWidthNumber(double value, int width, int decimals) {
    std::string text = std::isfinite(value) ? FormatNumberF(value, decimals) : std::string();
    if (width <= 0) return {};
    const std::size_t field = std::size_t(width);
    // Cut from the right, a number loses only decimals while its whole part fits; a cut
    // into the whole part would read as another number.
    const std::size_t whole = std::min(text.find('.'), text.size());
    if (text.empty() || whole > field) return std::string(field, '*');
    if (text.size() > field) return text.substr(0, field);
    return std::string(field - text.size(), ' ') + text;
}

} // namespace vl
