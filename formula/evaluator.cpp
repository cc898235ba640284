#include "formula/evaluator.h"

#include "formula/folderrange.h"
#include "formula/operands.h"
#include "formula/operators.h"
#include "formula/tokenizer.h"

namespace vl {

namespace {

bool IsValue(uint16_t type) {
    return type == kTokenNumber || type == kTokenReference || type == kTokenText ||
           type == kTokenEmpty || type == kTokenArray;
}

// A value, ")" or "%" ends an operand: what follows is a binary operator, never a value.
bool EndsOperand(uint16_t type) {
    return IsValue(type) || type == kTokenClose || type == kTokenPercent;
}

bool IsOperator(uint16_t type) {
    return type >= kTokenEqual && type <= kLastOperator;
}

class CShuntingYard {
public:
    explicit CShuntingYard(CEvalContext& ctx) : ctx_(ctx) {}

    bool Run(std::string_view text);

private:
    bool Fail() {
        ctx_.status = kErrSyntax;
        return false;
    }
    bool PushValue(const FormulaToken& t) {
        if (ctx_.valueCount + 1 >= kStackSlots) return Fail();
        ctx_.values[++ctx_.valueCount] = t;
        return true;
    }
    bool PushOperator(const FormulaToken& t) {
        if (ctx_.operatorCount + 1 >= kStackSlots) return Fail();
        ctx_.operators[++ctx_.operatorCount] = t;
        return true;
    }
    const FormulaToken* TopOperator() const {
        return ctx_.operatorCount ? &ctx_.operators[ctx_.operatorCount] : nullptr;
    }
    // Moves the top operator or call onto the value stack and executes it.
    bool RunTop() {
        FormulaToken op = ctx_.operators[ctx_.operatorCount--];
        return PushValue(op) && EvalToken(ctx_);
    }
    bool Token(FormulaToken& token, uint16_t& type);
    bool Operand(FormulaToken& token);
    bool Function(const FormulaToken& token);
    bool Operator(FormulaToken& token, uint16_t& type);
    bool ListSeparator();
    bool Close();
    bool End();

    // One more "(" or call open; #SYNTAX! past the deepest nesting.
    bool Open() { return ++depth_ <= kMaxNesting ? true : Fail(); }

    CEvalContext& ctx_;
    uint16_t prev_ = 0;
    int depth_ = 0;
};

// A reference that names only a row or only a column stands for the whole row or column;
// the row or column it named stays in the token for the range operator.
void WidenReference(FormulaToken& t) {
    bool row = t.refFlags & kRefRow;
    bool column = t.refFlags & kRefColumn;
    if (row == column) return;
    t.type = kTokenArea;
    t.firstFlags = t.lastFlags = t.refFlags;
    t.firstColumn = row ? 0 : t.column;
    t.lastColumn = row ? kLastColumn : t.column;
    t.firstRow = row ? t.row : 0;
    t.lastRow = row ? t.row : kLastRow;
}

bool CShuntingYard::Operand(FormulaToken& token) {
    if (EndsOperand(prev_)) return Fail();
    if (token.type == kTokenReference) WidenReference(token);
    return PushValue(token);
}

bool CShuntingYard::Function(const FormulaToken& token) {
    FormulaToken open;
    open.type = kTokenOpen;
    FormulaToken call = token;
    call.firstArgument = uint16_t(ctx_.valueCount + 1);
    return Open() && PushOperator(open) && PushOperator(call);
}

bool CShuntingYard::Operator(FormulaToken& token, uint16_t& type) {
    if (!EndsOperand(prev_) || (prev_ == kTokenPercent && type == kTokenPercent)) {
        if (type != kTokenMinus) return Fail();
        // A sign has no left operand, so nothing before it is due yet ("--A1" too).
        type = token.type = kTokenNegate;
        return PushOperator(token);
    }
    if (type == kTokenQualifier) token.refFlags = prev_ == kTokenText ? kQualifierWritten : 0;
    // Equal precedence runs the older operator first: operators associate to the left.
    while (const FormulaToken* top = TopOperator()) {
        if (!IsOperator(top->type) || ctx_.precedence[top->type] < ctx_.precedence[type]) break;
        if (!RunTop()) return false;
    }
    return PushOperator(token);
}

bool CShuntingYard::ListSeparator() {
    if (prev_ == kTokenList || prev_ == kTokenFunction) {
        FormulaToken omitted;
        omitted.type = kTokenEmpty;
        if (!PushValue(omitted)) return false;
    } else {
        while (TopOperator() && IsOperator(TopOperator()->type))
            if (!RunTop()) return false;
    }
    const FormulaToken* top = TopOperator();
    return top && top->type == kTokenFunction ? true : Fail();
}

bool CShuntingYard::Close() {
    if (IsOperator(prev_) && prev_ != kTokenPercent) return Fail();
    if (prev_ == kTokenList) {
        FormulaToken omitted;
        omitted.type = kTokenEmpty;
        if (!PushValue(omitted)) return false;
    }
    for (;;) {
        const FormulaToken* top = TopOperator();
        if (!top) return Fail();
        if (top->type == kTokenOpen) {
            --ctx_.operatorCount;
            --depth_;
            return true;
        }
        if (top->type == kTokenFunction && ctx_.valueCount + 1 - top->firstArgument > kMaxArguments)
            return Fail();
        if (!IsOperator(top->type) && top->type != kTokenFunction) return Fail();
        if (!RunTop()) return false;
    }
}

bool CShuntingYard::End() {
    while (ctx_.operatorCount)
        if (!RunTop()) return false;
    return ctx_.valueCount == 1 ? true : Fail();
}

bool CShuntingYard::Token(FormulaToken& token, uint16_t& type) {
    switch (type) {
    case kTokenNumber:
    case kTokenReference:
    case kTokenText:
    case kTokenEmpty:
    case kTokenArray:
        return Operand(token);
    case kTokenFunction:
        return Function(token);
    case kTokenOpen:
        return Open() && PushOperator(token);
    case kTokenList:
        return ListSeparator();
    case kTokenClose:
        return Close();
    default:
        return IsOperator(type) ? Operator(token, type) : Fail();
    }
}

bool CShuntingYard::Run(std::string_view text) {
    const TokenSyntax syntax = InternalSyntax();
    std::size_t pos = 1;
    for (;;) {
        FormulaToken token;
        uint16_t type = ReadFormulaToken(ctx_, text, pos, token, syntax);
        if (ctx_.status) return false;
        if (type == kTokenEnd) return End();
        if (!Token(token, type) || ctx_.status) return false;
        prev_ = type;
        // Two slots stay free for the operator or call that may run next.
        if (ctx_.valueCount + ctx_.operatorCount + 2 > kStackSlots) return Fail();
    }
}

bool IsFormulaText(std::string_view text) {
    return !text.empty() && (text[0] == '=' || text[0] == '+');
}

} // namespace

bool EvaluateFormula(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row) {
    ctx.BeginFormula(column, row);
    ctx.pendingCells.Clear();
    if (!IsFormulaText(text)) {
        ctx.status = kErrSyntax;
        return false;
    }
    CShuntingYard loop(ctx);
    return loop.Run(text);
}

uint16_t EvaluateFormulaText(CEvalContext& ctx, std::string_view text, uint16_t column,
                             uint32_t row) {
    if (!IsFormulaText(text)) return 0;
    if (!EvaluateFormula(ctx, text, column, row)) {
        ctx.status = kErrSyntax;
        return 0;
    }
    return FinishFormulaResult(ctx);
}

uint16_t FinishFormulaResult(CEvalContext& ctx) {
    FormulaToken& result = ctx.values[1];
    if (result.type == kTokenArea) FetchRangeValues(ctx, result);
    if (result.type == kTokenReference) ResolveReferenceValue(ctx, result);
    switch (result.type) {
    case kTokenNumber:
    case kTokenEmpty:
        return kTokenNumber;
    case kTokenText:
    case kTokenArray:
        return result.type;
    default:
        return 0;
    }
}

} // namespace vl
