#pragma once
// What a cell gives to an xBase field: nothing, a text or a number.

#include <cstdint>
#include <string_view>

namespace vl {

struct XBaseValue {
    enum Kind : uint8_t { kNone, kText, kNumber } kind = kNone;
    bool error = false;
    std::string_view text; // kText: the text, or the error's name
    double number = 0;
};

// A text cell or a formula's text result is text, a number or a formula's number result a
// number, an error value its name with the number 0; a formula with no result gives nothing.
XBaseValue CellXBaseValue(const uint8_t* cell);

} // namespace vl
