#pragma once
// Process-wide settings that the engine reads and never writes: the two separator sets
// and the fields of the settings profile that the data model and formulas consult. The
// settings profile reader fills them; until it runs they hold their defaults.

#include <cstdint>

namespace vl {

// Separators of stored text (the internal set) or of typed and shown text (the user set).
struct SeparatorSet {
    uint8_t localeChoice = 0; // 0 generic, 1 system default, 2 user default, 3..129 a region
    char decimal = '.';
    char thousands = ',';
    char date = '/';
    char time = ':';
    char list = ',';
    char arrayRow = ';';
    uint8_t shortDateOrder = 0; // 0 month-day-year, 1 day-month-year, 2 year-month-day
    uint8_t longDateOrder = 0;
    char currency[14] = "$"; // zero-terminated, at most 13 characters
};

// The set used in everything stored; never changes.
const SeparatorSet& InternalSeparators();
// The set of the chosen locale, used in everything typed and shown.
SeparatorSet& UserSeparators();

// Update modes: 1 recalculate the workbook, 2 the active worksheet, others manual.
constexpr uint8_t kUpdateWorkbook = 1;
constexpr uint8_t kUpdateWorksheet = 2;

struct SettingsProfile {
    uint8_t undoLevel = 20; // entries kept in each workbook's undo history, 1..200
    uint8_t copyLevel = 1;
    uint8_t updateMode = kUpdateWorkbook;
    uint8_t addressingA1 = 1;   // user form of formulas: A1 when set, else R1C1
    uint8_t autoFormatting = 1; // typed input gets a number format from its form
};

SettingsProfile& Profile();

} // namespace vl
