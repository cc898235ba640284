#pragma once
// The number-format part of a cell style and of a chart series: a kind with a parameter
// block, and the format code text built from them (or typed by the user for kind 10).

#include "core/settings.h"

#include <cstdint>
#include <string>

namespace vl {

enum NUMERIC_TYPES : uint8_t {
    STD_STYLE_DEFAULT = 0,
    STD_STYLE_GENERAL = 1,
    STD_STYLE_CURRENCY = 2,
    STD_STYLE_ACCOUNTING = 3,
    STD_STYLE_DATE = 4,
    STD_STYLE_TIME = 5,
    STD_STYLE_DATE_TIME = 6,
    STD_STYLE_PERCENTAGE = 7,
    STD_STYLE_FRACTION = 8,
    STD_STYLE_SCIENTIFIC = 9,
    STD_STYLE_USER_DEFINED = 10,
};

constexpr int kStandardFormatParams = 24;
constexpr int kMaxFormatCode = 1031;

struct StandardFormat {
    uint8_t kind = STD_STYLE_DEFAULT;
    uint8_t params[kStandardFormatParams] = {};
    char code[kMaxFormatCode + 1] = {}; // zero-terminated
};

// The stored record, read and written field by field: the kind at 0, bytes 1-7 zero, the
// parameter block at 8-31 (its u64 fixed denominator lands on an 8-byte boundary) and
// the code at 32-1063, NUL-terminated inside its field.
constexpr uint32_t kStandardFormatSize = 1064;
void WriteStandardFormat(uint8_t* p, const StandardFormat& r);
void ReadStandardFormat(const uint8_t* p, StandardFormat& r);

// Positions in the parameter block, by kind.
namespace fmtparam {
constexpr int kFixedDecimals = 0;  // general, percentage, scientific
constexpr int kDecimals = 1;       // general, percentage, scientific
constexpr int kZeroPadded = 2;     // general
constexpr int kIntegerDigits = 3;  // general, when zero-padded
constexpr int kThousands = 4;      // general
constexpr int kNegativeStyle = 5;  // general: 0 minus, 1 red, 2 parentheses, 3 red parentheses
constexpr int kCurrencySymbol = 0; // currency, accounting: 15 bytes, zero-terminated
constexpr int kCurrencyDecimals = 15;
constexpr int kSymbolPosition = 16; // 0 before, 1 before + blank, 2 after, 3 blank + after
constexpr int kCurrencyNegative = 17;
constexpr int kDateStyle = 0;       // date, date-time: 0..10
constexpr int kTimeStyle = 1;       // time, date-time: 0..9
constexpr int kDateOrderFlag = 2;   // date, date-time: take the order from the user set
constexpr int kTimeFirst = 3;       // date-time
constexpr int kDenominatorMode = 0; // fraction: 0 up to n digits, 1 fixed
constexpr int kDenominatorDigits = 1;
constexpr int kFixedDenominator = 8; // fraction: u64
constexpr int kExponentForm = 2;     // scientific: 0, 1 or 2
constexpr int kExponentNumber = 3;   // scientific, forms 1 and 2
} // namespace fmtparam

// The format code of a standard kind from its parameters, written with the separators
// and date orders of `set` (the internal set when null). Kind 0 gives the empty code;
// kind 10 keeps no template and gives the empty code too.
std::string BuildStandardFormatCode(uint8_t kind, const uint8_t* params,
                                    const SeparatorSet* set = nullptr);
// Rebuilds `format.code` from its kind and parameters; kind 10 keeps its code.
void BuildStandardFormatCode(StandardFormat& format, const SeparatorSet* set = nullptr);

} // namespace vl
