#pragma once
// Reading formula text by position. A position at or past the end reads as NUL, the
// character the formula grammar stops at, so scanners never look past the text.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
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

// A quoted text runs from the quote at `open` to the same quote character or to the end;
// the quote character written twice inside it stands for one. Gives the end of its
// characters; `next` is past the closing quote.
inline std::size_t QuotedTextEnd(std::string_view text, std::size_t open, std::size_t& next) {
    char quote = text[open];
    std::size_t close = open + 1;
    while (close < text.size() && text[close] != '\0') {
        if (text[close] == quote && At(text, close + 1) != quote) break;
        close += text[close] == quote ? 2 : 1;
    }
    next = At(text, close) == quote ? close + 1 : close;
    return close;
}

// The characters of a quoted text (between its quotes) with each doubled quote made one.
inline std::string UnquotedText(std::string_view characters, char quote) {
    std::string out(characters);
    for (std::size_t i = out.find(quote); i != std::string::npos; i = out.find(quote, i + 1))
        out.erase(i, 1);
    return out;
}

// One part of an R1C1 reference ("R", "R5", "R[-2]", and the same for C) whose letter is at
// `i`: `end` is past it; `value` is a distance for a relative part (0 for a bare letter) and
// an index from 0 otherwise. False for an unclosed bracket.
struct R1C1Part {
    std::size_t end = 0;
    std::int64_t value = 0;
    bool relative = false;
};

inline bool ReadR1C1Part(std::string_view ref, std::size_t i, R1C1Part& part) {
    std::size_t end = i + 1;
    std::int64_t value = 0;
    const bool bracket = At(ref, end) == '[';
    if (bracket) {
        const std::size_t close = ref.find(']', end);
        if (close == std::string_view::npos) return false;
        const bool back = At(ref, end + 1) == '-';
        std::from_chars(ref.data() + end + 1 + (back ? 1 : 0), ref.data() + close, value);
        if (back) value = -value;
        end = close + 1;
    } else {
        while (At(ref, end) >= '0' && At(ref, end) <= '9') value = value * 10 + (ref[end++] - '0');
    }
    part.relative = bracket || end == i + 1;
    part.value = part.relative ? value : value - 1;
    part.end = end;
    return true;
}

} // namespace vl
