#pragma once
// The number-format part of a cell style and of a chart series: a kind with a parameter
// block, and the format code text built from them (or typed by the user for kind 10).

#include <cstdint>

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

} // namespace vl
