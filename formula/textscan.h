#pragma once
// Reading formula text by position. A position at or past the end reads as NUL, the
// character the formula grammar stops at, so scanners never look past the text.

#include <cstddef>
#include <string_view>

namespace vl {

inline char At(std::string_view text, std::size_t i) {
    return i < text.size() ? text[i] : '\0';
}

// Blanks, carriage returns and line feeds stand between tokens.
inline bool IsFormulaBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

inline std::size_t SkipBlanks(std::string_view text, std::size_t i) {
    while (IsFormulaBlank(At(text, i))) ++i;
    return i;
}

// A quoted text runs from the quote at `open` to the same quote character or to the end
// (there is no escape). Gives the end of its characters; `next` is past the closing quote.
inline std::size_t QuotedTextEnd(std::string_view text, std::size_t open, std::size_t& next) {
    char quote = text[open];
    std::size_t close = open + 1;
    while (close < text.size() && text[close] != quote && text[close] != '\0') ++close;
    next = At(text, close) == quote ? close + 1 : close;
    return close;
}

} // namespace vl
