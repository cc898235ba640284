// The value operators: comparisons, arithmetic, power, unary minus, percent and
// concatenation, with their dispatch.
#include "formula/operators.h"

#include "formula/approxnumber.h"
#include "formula/operands.h"
#include "platform/core/cp1252.h"

#include <cmath>

namespace vl {

namespace {

bool IsNumberLike(const FormulaToken& t) {
    return (t.type & kNumberLike) != 0;
}
bool IsTextLike(const FormulaToken& t) {
    return (t.type & kTextLike) != 0;
}

// A reference without an error becomes its cell's value; one with an error stays a
// reference, which no operator takes, so the result takes its error.
void Dereference(CEvalContext& ctx, FormulaToken& t) {
    if (t.type == kTokenReference && t.error == 0) ResolveReferenceValue(ctx, t);
}

void Convert(CEvalContext& ctx, FormulaToken& t) {
    Dereference(ctx, t);
    TextToNumberOperand(ctx, t);
}

// Takes the texts of both operands off the pool without a push in between, so that both
// stay readable. The pool holds them in the order they were made: a text that the left
// operand's own preparation pushed is the newest, else the right operand's is.
void TakeTexts(CEvalContext& ctx, const FormulaToken& left, const FormulaToken& right,
               bool leftPushedLast, std::string_view& leftText, std::string_view& rightText) {
    auto take = [&](const FormulaToken& t) {
        return t.type == kTokenText ? ctx.stringPool.PopTempString() : std::string_view();
    };
    if (leftPushedLast) {
        leftText = take(left);
        rightText = take(right);
    } else {
        rightText = take(right);
        leftText = take(left);
    }
}

void SetResult(CEvalContext& ctx, uint16_t slot, uint16_t type, double number, FormulaError error,
               uint16_t drop) {
    FormulaToken& r = ClearOperand(ctx.values[slot]);
    r.type = type;
    r.number = number;
    r.error = error;
    ctx.valueCount = uint16_t(ctx.valueCount - drop);
}

// The range test of every arithmetic result; a zero of either sign is plain 0.
void SetNumber(CEvalContext& ctx, uint16_t slot, double value, FormulaError error, uint16_t drop) {
    if (error == 0 && IsOutOfRange(value)) error = kErrNum;
    SetResult(ctx, slot, kTokenNumber, value == 0 ? 0.0 : value, error, drop);
}

// Operators given a range or an array run once per element.
bool Elementwise(CEvalContext& ctx, uint16_t operands) {
    uint16_t first = uint16_t(ctx.valueCount - operands);
    uint8_t flags[2] = {};
    bool any = false;
    for (uint16_t i = 0; i < operands; ++i) {
        flags[i] = (ctx.values[first + i].type & kAreaOrArray) ? 1 : 0;
        any = any || flags[i];
    }
    if (!any) return false;
    ctx.values[ctx.valueCount].firstArgument = first;
    ApplyElementwise(ctx, flags, first);
    ctx.valueCount = first;
    return true;
}

int CompareTexts(std::string_view a, std::string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(CharUpper1252(a[i]));
        auto cb = static_cast<unsigned char>(CharUpper1252(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool Holds(uint16_t code, int order) {
    switch (code) {
    case kTokenEqual:
        return order == 0;
    case kTokenLess:
        return order < 0;
    case kTokenLessEqual:
        return order <= 0;
    case kTokenGreater:
        return order > 0;
    case kTokenGreaterEqual:
        return order >= 0;
    default:
        return order != 0;
    }
}

void Compare(CEvalContext& ctx, uint16_t code) {
    if (Elementwise(ctx, 2)) return;
    uint16_t n = ctx.valueCount;
    FormulaToken& left = ctx.values[n - 2];
    FormulaToken& right = ctx.values[n - 1];
    Dereference(ctx, right);
    bool leftPushed = left.type == kTokenReference;
    Dereference(ctx, left);
    leftPushed = leftPushed && left.type == kTokenText;
    std::string_view leftText, rightText;
    TakeTexts(ctx, left, right, leftPushed, leftText, rightText);
    FormulaError error = MergeError(left.error, right.error);
    double result = 0;
    if (IsNumberLike(left) && IsNumberLike(right)) {
        double a = left.type == kTokenEmpty ? 0 : left.number;
        double b = right.type == kTokenEmpty ? 0 : right.number;
        // Numbers equal to about 15 significant digits are equal: 0.1+0.2 equals 0.3.
        if (error == 0) result = Holds(code, CompareApprox(a, b)) ? 1 : 0;
    } else if (IsTextLike(left) && IsTextLike(right)) {
        if (error == 0) result = Holds(code, CompareTexts(leftText, rightText)) ? 1 : 0;
    } else if ((IsNumberLike(left) && IsTextLike(right)) ||
               (IsTextLike(left) && IsNumberLike(right))) {
        // A number never equals a text and orders before every text.
        if (error == 0) result = Holds(code, left.type == kTokenNumber ? -1 : 1) ? 1 : 0;
    } else if (error == 0) {
        error = kErrValue;
    }
    SetResult(ctx, n - 2, kTokenNumber, result, error, 2);
}

void Arithmetic(CEvalContext& ctx, uint16_t code) {
    if (Elementwise(ctx, 2)) return;
    uint16_t n = ctx.valueCount;
    FormulaToken& left = ctx.values[n - 2];
    FormulaToken& right = ctx.values[n - 1];
    Convert(ctx, right);
    Convert(ctx, left);
    if (!IsNumberLike(left) || !IsNumberLike(right)) {
        FormulaError error = MergeError(left.error, right.error);
        SetResult(ctx, n - 2, kTokenNumber, 0, error ? error : kErrValue, 2);
        return;
    }
    FormulaError error = MergeError(left.error, right.error);
    double a = left.type == kTokenEmpty ? 0 : left.number;
    double b = right.type == kTokenEmpty ? 0 : right.number;
    double value = 0;
    if (error == 0) {
        switch (code) {
        case kTokenPlus:
            value = ApproxAdd(a, b);
            break;
        case kTokenMinus:
            value = ApproxSub(a, b);
            break;
        case kTokenMultiply:
            value = a * b;
            break;
        case kTokenDivide:
            if (b == 0)
                error = kErrDivZero;
            else
                value = a / b;
            break;
        default: // power; 0 to the power 0 is 1
            value = std::pow(a, b);
            break;
        }
    }
    SetNumber(ctx, n - 2, value, error, 2);
}

void Unary(CEvalContext& ctx, uint16_t code) {
    if (Elementwise(ctx, 1)) return;
    uint16_t n = ctx.valueCount;
    FormulaToken& operand = ctx.values[n - 1];
    Convert(ctx, operand);
    FormulaError error = operand.error;
    double value = 0;
    if (!IsNumberLike(operand)) {
        if (error == 0) error = kErrValue;
    } else if (error == 0) {
        double x = operand.type == kTokenEmpty ? 0 : operand.number;
        value = code == kTokenNegate ? -x : x * 0.01;
    }
    SetNumber(ctx, n - 1, value, error, 1);
}

// A number without an error takes part in "&" as its general text. True when the text
// was pushed here.
bool ToConcatText(CEvalContext& ctx, FormulaToken& t) {
    bool reference = t.type == kTokenReference;
    Dereference(ctx, t);
    if (t.type != kTokenNumber || t.error != 0) return reference && t.type == kTokenText;
    if (ctx.stringPool.PushString(NumberAsText(t.number))) {
        t.type = kTokenText;
        return true;
    }
    t.type = kTokenEmpty;
    t.error = kErrValue;
    return false;
}

void Concatenate(CEvalContext& ctx) {
    if (Elementwise(ctx, 2)) return;
    uint16_t n = ctx.valueCount;
    FormulaToken& left = ctx.values[n - 2];
    FormulaToken& right = ctx.values[n - 1];
    ToConcatText(ctx, right);
    bool leftPushed = ToConcatText(ctx, left);
    std::string_view leftText, rightText;
    TakeTexts(ctx, left, right, leftPushed, leftText, rightText);
    FormulaError error = MergeError(left.error, right.error);
    if (!IsTextLike(left) || !IsTextLike(right) || error) {
        SetResult(ctx, n - 2, kTokenEmpty, 0, error ? error : kErrValue, 2);
        return;
    }
    if (leftText.size() + rightText.size() > kMaxTextValue) {
        SetResult(ctx, n - 2, kTokenEmpty, 0, kErrValue, 2);
        return;
    }
    // Both texts may lie in the pool where the result goes: they are joined aside first.
    std::string& joined = ctx.textBuffer;
    joined.assign(leftText);
    joined.append(rightText);
    bool kept = ctx.stringPool.PushString(joined);
    SetResult(ctx, n - 2, kept ? kTokenText : kTokenEmpty, 0, kept ? 0 : kErrValue, 2);
}

} // namespace

void RunOperator(CEvalContext& ctx, uint16_t code) {
    bool unary = code == kTokenNegate || code == kTokenPercent;
    if (code != kTokenIntersect && ctx.valueCount < (unary ? 2 : 3)) {
        ctx.status = kErrSyntax;
        return;
    }
    switch (code) {
    case kTokenEqual:
    case kTokenLess:
    case kTokenLessEqual:
    case kTokenGreater:
    case kTokenGreaterEqual:
    case kTokenNotEqual:
        Compare(ctx, code);
        break;
    case kTokenPlus:
    case kTokenMinus:
    case kTokenMultiply:
    case kTokenDivide:
    case kTokenPower:
        Arithmetic(ctx, code);
        break;
    case kTokenConcat:
        Concatenate(ctx);
        break;
    case kTokenNegate:
    case kTokenPercent:
        Unary(ctx, code);
        break;
    case kTokenIntersect:
        Intersect(ctx);
        break;
    case kTokenQualifier:
        Qualify(ctx);
        break;
    case kTokenRange:
        MakeRange(ctx);
        break;
    default:
        ctx.status = kErrSyntax;
        break;
    }
}

} // namespace vl
