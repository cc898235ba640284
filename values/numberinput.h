#pragma once
// Typed numbers in the user's form: "1,234.5", "(12)", "12%", "1 1/2", "$12.50", "1e5".
// The recogniser reports the number and the standard format its form implies.

#include "core/settings.h"
#include "values/standardformat.h"

#include <cstdint>
#include <string_view>

namespace vl {

constexpr int kMaxNumberScanItems = 1025;
constexpr std::size_t kMaxNumberText = 1024;

// Item kinds and features of a number scan.
enum NumberFeature : uint32_t {
    kNumCurrency = 1,
    kNumDigit = 2,
    kNumThousands = 4,
    kNumDecimal = 8,
    kNumExponent = 16, // the letter, and its sign
    kNumSlash = 32,
    kNumPercent = 64,
    kNumOpenParen = 128,
    kNumCloseParen = 256,
    kNumBlankFraction = 512, // the blank between a whole part and a fraction
    kNumSign = 1024,
    kNumCurrencyBefore = 0x100000,
    kNumCurrencyBeforeBlank = 0x200000,
    kNumCurrencyAfter = 0x400000,
    kNumCurrencyAfterBlank = 0x800000,
};

struct NumberScanItem {
    uint32_t kind;
    char ch; // separators are kept as the internal characters
};

struct NumberScanRecord {
    NumberScanItem items[kMaxNumberScanItems];
    uint16_t count = 0;
    uint8_t overflow = 0;
    uint32_t features = 0;
    uint16_t intDigits = 0;
    uint16_t fracDigits = 0; // after the decimal separator or the slash
    uint16_t expDigits = 0;
    int decimalPos = -1;
    int slashPos = -1;
    int exponentPos = -1;
};

// True when the whole text is a well-formed number written with `set`.
bool MatchNumberPattern(NumberScanRecord& scan, std::string_view text, const SeparatorSet& set);

// 1 with the value, the implied kind (0 plain, 1 general, 2 currency, 7 percentage,
// 8 fraction, 9 scientific) and its parameter block when the text is a number; else 0
// with the value 0, the kind 0 and the block untouched. A mantissa with "." before an
// exponent ("1.5e+020", as numbers are shown) is read in every set.
int ParseNumberText(std::string_view text, double& value, uint8_t& kind,
                    uint8_t params[kStandardFormatParams], const SeparatorSet& set);

} // namespace vl
