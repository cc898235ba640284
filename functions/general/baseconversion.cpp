#include "functions/general/baseconversion.h"

#include "functions/general/argreader.h"

#include <algorithm>

namespace vl {

namespace {

constexpr std::size_t kMaxDigits = 10;
constexpr int32_t kDefaultPlaces = 10;

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

struct Range {
    int64_t minimum, maximum;
};
// Values a text of each base can take: 10 digits of two's complement.
constexpr Range kBinaryRange{-512, 511};
constexpr Range kOctalRange{-536870912, 536870911};
constexpr Range kHexRange{-549755813888, 549755813887};

constexpr Range RangeOf(int32_t bits) {
    return bits == 1 ? kBinaryRange : (bits == 3 ? kOctalRange : kHexRange);
}

// Any text to text: reads base `From`, writes base `To` (bits per digit).
template <int32_t From, int32_t To> void Convert(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    int32_t places = kDefaultPlaces;
    std::string text;
    CArgReader args(ctx);
    args.Int(1, places, 0, 10).Text(0, text);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    int64_t value = 0;
    const Range target = RangeOf(To);
    if (!ReadBaseDigits(text, From, value) || value < target.minimum || value > target.maximum)
        return ReturnErrorEntry(ctx, kErrValue);
    ReturnText(ctx, WriteBaseDigits(value, To, places));
}

template <int32_t From> void ToDecimal(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    std::string text;
    CArgReader args(ctx);
    args.Text(0, text);
    if (args.error) return ReturnError(ctx, args.error);
    int64_t value = 0;
    if (!ReadBaseDigits(text, From, value)) return ReturnError(ctx, kErrValue);
    ReturnNumber(ctx, double(value));
}

template <int32_t To> void FromDecimal(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    int32_t places = kDefaultPlaces;
    int64_t value = 0;
    const Range range = RangeOf(To);
    CArgReader args(ctx);
    args.Int(1, places, 0, 10);
    if (To == 4) {
        args.Int64(0, value, range.minimum, range.maximum);
    } else {
        int32_t small = 0;
        args.Int(0, small, int32_t(range.minimum), int32_t(range.maximum));
        value = small;
    }
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    ReturnText(ctx, WriteBaseDigits(value, To, places));
}

} // namespace

bool ReadBaseDigits(std::string_view text, int32_t bitsPerDigit, int64_t& value) {
    if (text.size() > kMaxDigits) return false;
    const int base = 1 << bitsPerDigit;
    // Ten digits whose first carries the top bit of the width are negative.
    const int topDigit = 1 << (bitsPerDigit - 1);
    const bool negative =
        text.size() == kMaxDigits && DigitValue(text[0]) < base && DigitValue(text[0]) >= topDigit;
    int64_t accumulated = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int digit = DigitValue(text[i]);
        if (digit >= base) return false;
        if (negative) {
            // The complement; the first digit gives only its bits below the sign bit.
            digit = base - 1 - digit;
            if (i == 0) digit &= topDigit - 1;
        }
        accumulated = accumulated * base + digit;
    }
    value = negative ? -(accumulated + 1) : accumulated;
    return true;
}

std::string WriteBaseDigits(int64_t value, int32_t bitsPerDigit, int32_t places) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const int64_t mask = (int64_t(1) << bitsPerDigit) - 1;
    std::string out;
    if (value >= 0) {
        for (; value != 0; value >>= bitsPerDigit) out += kDigits[value & mask];
        // 0 has one digit, also where no places are asked for.
        if (out.empty()) out += '0';
        if (out.size() < std::size_t(places)) out.append(std::size_t(places) - out.size(), '0');
    } else {
        for (int64_t c = -value - 1; c != 0; c >>= bitsPerDigit) out += kDigits[~c & mask];
        out.append(kMaxDigits - out.size(), kDigits[mask]);
    }
    std::reverse(out.begin(), out.end());
    return out;
}

void BindBaseConversionFunctions() {
    BindBuiltinFunction("BIN2DEC", &ToDecimal<1>);
    BindBuiltinFunction("OCT2DEC", &ToDecimal<3>);
    BindBuiltinFunction("HEX2DEC", &ToDecimal<4>);
    BindBuiltinFunction("DEC2BIN", &FromDecimal<1>);
    BindBuiltinFunction("DEC2OCT", &FromDecimal<3>);
    BindBuiltinFunction("DEC2HEX", &FromDecimal<4>);
    BindBuiltinFunction("BIN2OCT", &Convert<1, 3>);
    BindBuiltinFunction("BIN2HEX", &Convert<1, 4>);
    BindBuiltinFunction("OCT2BIN", &Convert<3, 1>);
    BindBuiltinFunction("OCT2HEX", &Convert<3, 4>);
    BindBuiltinFunction("HEX2BIN", &Convert<4, 1>);
    BindBuiltinFunction("HEX2OCT", &Convert<4, 3>);
}

} // namespace vl
