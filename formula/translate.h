#pragma once
// Rewrites formula text between its internal form (kept in cell records) and the user
// form (typed and shown), token by token, against the cell the formula belongs to, so
// that the same stored text shows as different A1 text in different cells.

#include "core/settings.h"
#include "model/cellrecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CEvalContext;

// The longest formula text either form may have: the longest a cell record holds, with a
// number as its result. Typing, files and automation all keep to it.
constexpr std::size_t kMaxFormulaText = kPagePayload - kFormulaHead;

// The stored form of a typed formula that does not read begins with "=" and this mark, and
// the user's text follows as typed. The mark reads as no token, so the formula is a syntax
// error wherever it is read.
constexpr char kKeptTextMark = '`';

// Whether a stored formula is one kept as typed.
bool IsKeptText(std::string_view formula);

// How the user form is written: the user's separators and the addressing option.
struct UserNotation {
    const SeparatorSet* separators;
    bool addressingA1;
};

UserNotation CurrentUserNotation();

// With `toInternal` clear the text is internal and becomes the user form; with it set
// the text is the user form and becomes internal. Returns false, leaving the text alone,
// when it does not begin with "=" or "+", when the result would pass kMaxFormulaText
// characters, or when an array constant or a text cannot be written. A syntax error is
// no failure: into the user form the text before it is translated and the rest follows
// unchanged; into the internal form the whole text is kept as typed (kKeptTextMark).
bool TranslateFormula(CEvalContext& ctx, std::string& text, uint16_t column, uint32_t row,
                      bool toInternal, const UserNotation& user);
// The same with the result in `out`, which is left alone on failure.
bool TranslateFormula(CEvalContext& ctx, std::string_view text, std::string& out, uint16_t column,
                      uint32_t row, bool toInternal, const UserNotation& user);
bool TranslateFormula(CEvalContext& ctx, std::string& text, uint16_t column, uint32_t row,
                      bool toInternal);

} // namespace vl
