#include "formula/tokenizer.h"

#include "formula/arrayconst.h"
#include "formula/cellref.h"
#include "formula/formulanumber.h"
#include "formula/functable.h"
#include "formula/literals.h"
#include "formula/textscan.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

bool IsNameCharacter(char c) {
    return IsCharAlpha1252(c) || IsAsciiDigit(c) || c == '_' || c == '\\';
}

uint16_t Fail(CEvalContext& ctx, FormulaToken& token) {
    ctx.status = kErrSyntax;
    token.type = 0;
    return 0;
}

uint16_t Give(FormulaToken& token, uint16_t type) {
    token.type = type;
    return type;
}

// A text or array whose storage is full is an error value of no type that owns a
// temporary, so that consuming it pops no string or array of another operand.
uint16_t Refused(FormulaToken& token, FormulaError error) {
    token.error = error;
    return Give(token, kTokenEmpty);
}

uint16_t ReadNumber(CEvalContext& ctx, std::string_view text, std::size_t& pos, FormulaToken& token,
                    const TokenSyntax& syntax) {
    FormulaNumber n =
        ScanFormulaNumber(text.substr(pos), syntax.separators->decimal, syntax.internalForm);
    if (!n.ok) return Fail(ctx, token);
    pos += n.length;
    token.number = n.value;
    if (IsOutOfRange(n.value)) token.error = kErrNum;
    return Give(token, kTokenNumber);
}

uint16_t ReadString(CEvalContext& ctx, std::string_view text, std::size_t& pos,
                    FormulaToken& token) {
    std::size_t next = 0;
    std::size_t close = QuotedTextEnd(text, pos, next);
    const std::string_view characters = text.substr(pos + 1, close - pos - 1);
    bool kept = characters.find(text[pos]) == std::string_view::npos
                    ? ctx.stringPool.PushString(characters)
                    : ctx.stringPool.PushString(UnquotedText(characters, text[pos]));
    pos = next;
    return kept ? Give(token, kTokenText) : Refused(token, kErrName);
}

uint16_t ReadArray(CEvalContext& ctx, std::string_view text, std::size_t& pos, FormulaToken& token,
                   const TokenSyntax& syntax) {
    CCellStore& cells = ctx.scratch.cells;
    cells.ReleaseAllPages(false);
    token.firstFlags = kRefCell;
    token.lastFlags = kRefCell;
    std::size_t end = 0;
    FormulaError error = 0;
    if (!ParseArrayConstant(ctx, text.substr(pos), end, cells, token.lastColumn, token.lastRow,
                            error, *syntax.separators, syntax.internalForm))
        return Fail(ctx, token);
    pos += end;
    Page* chain = cells.DetachPages(true);
    if (!ctx.scratch.PushPointer(chain)) {
        // No array value without its chain on the stack: consumers pop one per array.
        if (chain) cells.FreePageChain(chain);
        return Refused(token, kErrMemory);
    }
    token.error = error;
    return Give(token, kTokenArray);
}

uint16_t ReadOperator(std::string_view text, std::size_t& pos) {
    char c = At(text, pos);
    char next = At(text, pos + 1);
    uint16_t code = 0;
    std::size_t length = 1;
    switch (c) {
    case '=':
        code = kTokenEqual;
        break;
    case '<':
        code = next == '=' ? kTokenLessEqual : next == '>' ? kTokenNotEqual : kTokenLess;
        length = code == kTokenLess ? 1 : 2;
        break;
    case '>':
        code = next == '=' ? kTokenGreaterEqual : kTokenGreater;
        length = code == kTokenGreater ? 1 : 2;
        break;
    case '+':
        code = kTokenPlus;
        break;
    case '-':
        code = kTokenMinus;
        break;
    case '&':
        code = kTokenConcat;
        break;
    case '*':
        code = kTokenMultiply;
        break;
    case '/':
        code = kTokenDivide;
        break;
    case '^':
        code = kTokenPower;
        break;
    case '%':
        code = kTokenPercent;
        break;
    case '_':
        code = kTokenIntersect;
        break;
    case '!':
        code = kTokenQualifier;
        break;
    case ':':
        code = kTokenRange;
        break;
    case '(':
        code = kTokenOpen;
        break;
    case ')':
        code = kTokenClose;
        break;
    default:
        return 0;
    }
    pos += length;
    return code;
}

uint16_t ReadPunctuation(CEvalContext& ctx, std::string_view text, std::size_t& pos,
                         FormulaToken& token, const TokenSyntax& syntax) {
    char c = text[pos];
    if (c == '"' || c == '\'') return ReadString(ctx, text, pos, token);
    if (c == '{') return ReadArray(ctx, text, pos, token, syntax);
    if (c == syntax.separators->list) {
        ++pos;
        return Give(token, kTokenList);
    }
    uint16_t code = ReadOperator(text, pos);
    if (code == 0) return Fail(ctx, token);
    return Give(token, code);
}

bool ReadReference(const CEvalContext& ctx, std::string_view rest, std::size_t& length,
                   FormulaToken& token, RefStyle style) {
    CellRef ref;
    uint8_t flags = 0;
    if (style == RefStyle::kA1)
        flags = ParseA1Ref(rest, ref, length);
    else if (style == RefStyle::kR1C1)
        flags = ParseR1C1Ref(ctx, rest, ref, length);
    if (flags == 0) return false;
    token.column = ref.column;
    token.row = ref.row;
    token.refFlags = ref.flags;
    if (flags & kRefOutOfRange) token.error = kErrRef;
    return true;
}

// A word: a reference, a function name with its "(", a boolean, an error literal, or
// else a name. A name takes at least its first character, so reading always advances.
uint16_t ReadWord(CEvalContext& ctx, std::string_view text, std::size_t& pos, FormulaToken& token,
                  const TokenSyntax& syntax) {
    std::string_view rest = text.substr(pos);
    std::size_t length = 0;
    token.cells = ctx.currentCells;
    if (ReadReference(ctx, rest, length, token, syntax.references)) {
        pos += length;
        return Give(token, kTokenReference);
    }
    if (FindBuiltinFunction(rest, token.functionIndex, length)) {
        pos += length;
        return Give(token, kTokenFunction);
    }
    if (ScanBooleanLiteral(rest, token.number, length)) {
        pos += length;
        return Give(token, kTokenNumber);
    }
    FormulaError code = 0;
    if (ScanErrorLiteral(rest, code, length)) {
        token.error = code;
        pos += length;
        return Give(token, kTokenNumber);
    }
    length = 1;
    while (IsNameCharacter(At(rest, length))) ++length;
    bool kept = ctx.stringPool.PushString(rest.substr(0, length));
    pos += length;
    if (!kept) return Refused(token, kErrValue);
    token.error = kErrName;
    return Give(token, kTokenText);
}

} // namespace

TokenSyntax InternalSyntax() {
    return {&InternalSeparators(), true, RefStyle::kR1C1};
}

TokenSyntax UserSyntax() {
    return {&UserSeparators(), false, Profile().addressingA1 ? RefStyle::kA1 : RefStyle::kR1C1};
}

uint16_t ReadFormulaToken(CEvalContext& ctx, std::string_view text, std::size_t& pos,
                          FormulaToken& token, const TokenSyntax& syntax) {
    ClearOperand(token);
    while (IsFormulaBlank(At(text, pos))) ++pos;
    char c = At(text, pos);
    if (c == '\0') return Give(token, kTokenEnd);
    if (IsAsciiDigit(c) || c == syntax.separators->decimal)
        return ReadNumber(ctx, text, pos, token, syntax);
    if (!IsCharAlpha1252(c) && c != '$' && c != '#' && c != '\\')
        return ReadPunctuation(ctx, text, pos, token, syntax);
    return ReadWord(ctx, text, pos, token, syntax);
}

uint16_t GetFormulaToken(CEvalContext& ctx, std::string_view text, std::size_t& pos,
                         FormulaToken& token, bool internalForm) {
    return ReadFormulaToken(ctx, text, pos, token, internalForm ? InternalSyntax() : UserSyntax());
}

} // namespace vl
