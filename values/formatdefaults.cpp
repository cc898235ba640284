#include "values/formatdefaults.h"

#include "platform/core/bytes.h"

#include <algorithm>
#include <cstring>

namespace vl {

using namespace fmtparam;

void DefaultStandardParams(uint8_t kind, uint8_t params[kStandardFormatParams]) {
    std::memset(params, 0, kStandardFormatParams);
    switch (kind) {
    case STD_STYLE_DEFAULT:
    case STD_STYLE_GENERAL:
    case STD_STYLE_PERCENTAGE:
        params[kDecimals] = 2;
        break;
    case STD_STYLE_CURRENCY:
    case STD_STYLE_ACCOUNTING: {
        const char* symbol = UserSeparators().currency;
        std::memcpy(params + kCurrencySymbol, symbol,
                    std::min<std::size_t>(std::strlen(symbol), kCurrencyDecimals - 1));
        params[kCurrencyDecimals] = 2;
        break;
    }
    case STD_STYLE_DATE:
    case STD_STYLE_DATE_TIME:
        params[kDateOrderFlag] = 1;
        break;
    case STD_STYLE_FRACTION:
        params[kDenominatorDigits] = 1;
        StoreU64(params + kFixedDenominator, 2);
        break;
    case STD_STYLE_SCIENTIFIC:
        params[kDecimals] = 2;
        params[kExponentNumber] = 10;
        break;
    default:
        break;
    }
}

StandardFormat DefaultStandardFormat(uint8_t kind) {
    StandardFormat f;
    f.kind = kind;
    DefaultStandardParams(kind, f.params);
    BuildStandardFormatCode(f);
    return f;
}

bool IsValidStandardFormat(const StandardFormat& format) {
    constexpr uint8_t kDigits = 14, kNegatives = 3, kPositions = 3;
    constexpr uint64_t kLastDenominator = 4294967294u;
    const uint8_t* p = format.params;
    const bool decimals = !p[kFixedDecimals] || p[kDecimals] <= kDigits;
    switch (format.kind) {
    case STD_STYLE_GENERAL:
        return decimals && (!p[kZeroPadded] || p[kIntegerDigits] <= kDigits) &&
               p[kNegativeStyle] <= kNegatives;
    case STD_STYLE_PERCENTAGE:
        return decimals;
    case STD_STYLE_CURRENCY:
        return p[kCurrencyDecimals] <= kDigits && p[kSymbolPosition] <= kPositions &&
               p[kCurrencyNegative] <= kNegatives;
    case STD_STYLE_ACCOUNTING:
        return p[kCurrencyDecimals] <= kDigits;
    case STD_STYLE_TIME:
        return p[kTimeStyle] <= 9;
    case STD_STYLE_DATE:
        return p[kDateStyle] <= 10;
    case STD_STYLE_DATE_TIME:
        return p[kDateStyle] <= 10 && p[kTimeStyle] <= 10;
    case STD_STYLE_FRACTION:
        if (p[kDenominatorMode] != 1)
            return p[kDenominatorDigits] >= 1 && p[kDenominatorDigits] <= kDigits;
        return LoadU64(p + kFixedDenominator) >= 1 &&
               LoadU64(p + kFixedDenominator) <= kLastDenominator;
    case STD_STYLE_SCIENTIFIC:
        return decimals && (!p[kExponentForm] || p[kExponentNumber] <= 99);
    default:
        return true;
    }
}

} // namespace vl
