#pragma once
// Number-format codes compiled into a flat token list: up to four sections separated by
// ";" (chosen at rendering time by sign or by conditions), digit placeholders,
// separators, exponents, fractions, literals, colours, conditions, date and time
// keywords and elapsed-time fields. Codes are stored as text and compiled whenever a
// value is shown.

#include "core/settings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

constexpr int kMaxFormatTokens = 1025;
constexpr int kMaxFormatSections = 4;
constexpr int kMaxBracketItems = 3;
constexpr uint16_t kNoToken = 0xFFFF;

// Token kinds; the same bits are a section's kind flags.
enum FormatTokenKind : uint32_t {
    kFmtLiteral = 1,
    kFmtDigit = 2,
    kFmtThousands = 4,
    kFmtDecimal = 8,
    kFmtExponent = 16,
    kFmtSlash = 32,
    kFmtText = 64, // "@" or "General"
    kFmtSpace = 128,
    kFmtFill = 256,
    kFmtCondition = 512,
    kFmtColorName = 1024,
    kFmtColorHex = 2048,
    kFmtYear = 4096,
    kFmtMonth = 8192,
    kFmtDay = 16384,
    kFmtHour = 32768,
    kFmtMinute = 65536,
    kFmtSecond = 131072,
    kFmtAmPm = 262144,
    kFmtTimeSep = 524288,
    kFmtDateSep = 1048576,
    kFmtElapsed = 0x200000, // added to a date or time kind written in brackets
};

constexpr uint32_t kFmtDateTimeKinds =
    kFmtYear | kFmtMonth | kFmtDay | kFmtHour | kFmtMinute | kFmtSecond | kFmtAmPm;
constexpr uint32_t kFmtBracketKinds = kFmtCondition | kFmtColorName | kFmtColorHex;

// Comparison codes of conditions.
enum FormatComparison : uint32_t {
    kCmpLessEqual = 1,
    kCmpGreaterEqual = 2,
    kCmpEqual = 3,
    kCmpNotEqual = 4,
    kCmpLess = 5,
    kCmpGreater = 6,
};

// Left uninitialised by default: a compiled format holds 1,025 of them and is built for
// every value shown.
struct FormatToken {
    uint32_t kind;
    uint8_t section;
    // The character of a literal, placeholder, separator or exponent letter, the fill or
    // space character, or the letter count of a date or time keyword.
    uint8_t ch;
};

struct BracketItem {
    uint32_t kind = 0;  // kFmtCondition, kFmtColorName or kFmtColorHex
    uint32_t value = 0; // comparison code or colour 0x00BBGGRR
    double number = 0;  // comparison number
};

struct FormatSection {
    uint32_t kinds = 0;
    uint16_t firstToken = 0;
    uint16_t tokenCount = 0;
    uint16_t intDigits = 0;
    uint16_t decimalIndex = kNoToken;
    uint16_t slashIndex = kNoToken;
    uint16_t fracDigits = 0; // after the decimal separator, or denominator digits
    uint8_t exponentSign = 0;
    uint16_t exponentIndex = kNoToken;
    uint16_t exponentDigits = 0;
    uint16_t lastFracIsHash = 0;
    uint16_t scaling = 0;             // each divides the value by 1,000
    uint16_t percentIndex = kNoToken; // the first bare "%": the value is shown times 100
    uint8_t bracketCount = 0;
    uint8_t textAt = 0; // holds "@" itself ("General" shows a text, but is no place for it)
    BracketItem brackets[kMaxBracketItems];

    uint16_t EndToken() const { return uint16_t(firstToken + tokenCount); }
};

struct CompiledFormat {
    FormatToken tokens[kMaxFormatTokens];
    uint16_t tokenCount = 0;
    uint8_t overflow = 0;
    FormatSection sections[kMaxFormatSections];
    uint8_t sectionCount = 0;
    // Sections the code declares, empty ones included: "0;-0;" shows zero as nothing.
    uint8_t declaredSections = 0;
};

// Compiles `code` written with the separators of `set` (the internal set when null);
// tokens always carry the internal characters. An empty code compiles to no sections.
// False for a malformed code; `out` is then incomplete.
bool CompileFormatCode(CompiledFormat& out, std::string_view code,
                       const SeparatorSet* set = nullptr);

// The code text of a compiled format, written with the separators of `set` (the
// internal set when null).
std::string DescribeFormatCode(const CompiledFormat& format, const SeparatorSet* set = nullptr);

// Reads a bracketed item at `pos` (the character after "[" and its blanks): a condition
// or a colour. Returns its kind and moves `pos` past it, or returns 0.
uint32_t ParseFormatBracket(std::string_view text, std::size_t& pos, BracketItem& item);
// "#RRGGBB" or one of the 16 colour names (ignoring case).
bool ParseColor(std::string_view text, uint32_t& color);
std::string FormatColor(uint32_t color, bool namesAllowed);
// A date or time keyword at `pos` (case-sensitive, longest first); moves `pos` past it.
uint32_t ScanDateTimeKeyword(std::string_view text, std::size_t& pos, uint8_t& letters);
bool AddFormatToken(CompiledFormat& format, uint32_t kind, uint8_t section, uint8_t ch);

} // namespace vl
