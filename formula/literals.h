#pragma once
// The literal words of formula text: the twelve error values and the two booleans, and
// the case-insensitive comparison that matches them and the function names.

#include "formula/token.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vl {

// The code of the error whose text equals the whole of `text` (any case), else 0.
FormulaError ErrorCodeFromText(std::string_view text);

// The text of an error code ("#DIV/0!" ... "#SYNTAX!"); empty outside 0x10..0xC0.
std::string_view GetFormulaErrorText(uint8_t code);

// An error literal at the start of `text`: its code (also in `code`), with `end` past
// it; 0 with `end` 0 when the text does not begin with one.
FormulaError ScanErrorLiteral(std::string_view text, FormulaError& code, std::size_t& end);

// "FALSE" or "TRUE" at the start of `text` (any case; letters after the word are not
// looked at): 0.0 or 1.0 in `number`, `end` past the word.
bool ScanBooleanLiteral(std::string_view text, double& number, std::size_t& end);

// Compares the first n characters after upper-casing each, as unsigned bytes; a text
// shorter than n compares as if a NUL followed its end.
int CompareNoCaseN(std::string_view a, std::string_view b, std::size_t n);

} // namespace vl
