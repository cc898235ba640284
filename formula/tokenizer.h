#pragma once
// The formula tokenizer: reads one token of formula text into a FormulaToken. Formula
// text has two forms: the internal form that cell records keep (R1C1 references, the
// internal separators) and the user form that is typed and shown (A1 or R1C1 references
// as the addressing option says, the user's separators).

#include "core/settings.h"
#include "formula/evalcontext.h"
#include "formula/token.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vl {

enum class RefStyle : uint8_t { kR1C1, kA1, kNone };

struct TokenSyntax {
    const SeparatorSet* separators;
    bool internalForm;
    RefStyle references;
};

TokenSyntax InternalSyntax();
// The user form as the user's separators and the addressing option give it.
TokenSyntax UserSyntax();

// Reads the token at `pos` (blanks, carriage returns and line feeds before it are
// skipped), moves `pos` past it and returns its code, which is also the token's type.
// The end of the text, or a NUL, gives kTokenEnd with `pos` on it. A malformed token
// sets the context's status to #SYNTAX! and returns 0 with `pos` on its first character.
// A text or array constant that the string pool or the array stack refuses is read as
// kTokenEmpty carrying the error, as it owns no temporary.
uint16_t ReadFormulaToken(CEvalContext& ctx, std::string_view text, std::size_t& pos,
                          FormulaToken& token, const TokenSyntax& syntax);

uint16_t GetFormulaToken(CEvalContext& ctx, std::string_view text, std::size_t& pos,
                         FormulaToken& token, bool internalForm);

} // namespace vl
