#include "functions/general/informationfunctions.h"

#include "functions/general/generalargs.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace vl {

namespace {

// One test: the argument (consumed) to a number and the error the result carries.
using Test = double (*)(CEvalContext& ctx, FormulaToken& slot, FormulaError& error);

// A one-argument test, element by element over ranges and arrays; an empty cell has its
// result too, as an empty value has.
template <Test F> void Information(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1) || ApplyOverArrays(ctx)) return;
    FormulaError error = 0;
    double value = F(ctx, Argument(ctx, 0), error);
    ReturnNumber(ctx, value, error);
}

// The argument's value with a reference read; its text is left on the pool.
FormulaError Dereference(CEvalContext& ctx, FormulaToken& slot) {
    ResolveReferenceValue(ctx, slot);
    return slot.error;
}

template <bool (*Holds)(FormulaError)>
double HasError(CEvalContext& ctx, FormulaToken& slot, FormulaError&) {
    FormulaError code = Dereference(ctx, slot);
    ReleaseOperand(ctx, slot);
    return Holds(code) ? 1 : 0;
}

bool AnyError(FormulaError e) {
    return e != 0;
}
bool ErrorButNA(FormulaError e) {
    return e != 0 && e != kErrNA;
}
bool IsNA(FormulaError e) {
    return e == kErrNA;
}

// An error value is no text: ISTEXT of one is false, ISNONTEXT true.
template <bool Text> double KindIsText(CEvalContext& ctx, FormulaToken& slot, FormulaError&) {
    bool text = Dereference(ctx, slot) == 0 && slot.type == kTokenText;
    ReleaseOperand(ctx, slot);
    return text == Text ? 1 : 0;
}

// The argument rounded half away from zero: every finite number has a parity, and every
// number from 2^53 on is even.
template <bool (*Holds)(double)>
double WholeNumber(CEvalContext& ctx, FormulaToken& slot, FormulaError& error) {
    double x = 0;
    error = GetNumberArg(ctx, slot, x);
    return Holds(std::round(x)) ? 1 : 0;
}

bool Even(double n) {
    return std::fmod(n, 2.0) == 0;
}
bool Odd(double n) {
    return std::fmod(n, 2.0) != 0;
}
bool Logical(double n) {
    return n == 0 || n == 1;
}

// An error value is no truth value.
double IsLogical(CEvalContext& ctx, FormulaToken& slot, FormulaError& error) {
    if (Dereference(ctx, slot)) {
        ReleaseOperand(ctx, slot);
        return 0;
    }
    return WholeNumber<Logical>(ctx, slot, error);
}

// Only a number is one: an error value, an empty cell and a text, numeric or not, are not.
double IsNumber(CEvalContext& ctx, FormulaToken& slot, FormulaError&) {
    const bool number = !Dereference(ctx, slot) && slot.type == kTokenNumber;
    ReleaseOperand(ctx, slot);
    return number ? 1 : 0;
}

double ErrorType(CEvalContext& ctx, FormulaToken& slot, FormulaError&) {
    FormulaError code = Dereference(ctx, slot);
    ReleaseOperand(ctx, slot);
    return double(code >> 4);
}

// A number is itself, a text 0; an error stays.
double N(CEvalContext& ctx, FormulaToken& slot, FormulaError& error) {
    error = Dereference(ctx, slot);
    double x = slot.type == kTokenNumber && !error ? slot.number : 0;
    ReleaseOperand(ctx, slot);
    return x;
}

// Not walked: a reference or range is 1 whatever it holds.
void IsRef(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    FormulaToken& slot = Argument(ctx, 0);
    FormulaError error = slot.error;
    bool reference = (slot.type & (kTokenReference | kTokenArea)) != 0;
    ReleaseOperand(ctx, slot);
    ReturnNumber(ctx, reference ? 1 : 0, error);
}

void Type(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 0, 1)) return;
    if (ArgumentCount(ctx) == 0) return ReturnNumber(ctx, 0);
    FormulaToken& slot = Argument(ctx, 0);
    FormulaError error = Dereference(ctx, slot);
    double type = error                        ? 16
                  : slot.type == kTokenNumber  ? 1
                  : slot.type == kTokenText    ? 2
                  : (slot.type & kAreaOrArray) ? 64
                                               : 0;
    ReleaseOperand(ctx, slot);
    ReturnNumber(ctx, type);
}

void Na(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 0, 0)) return;
    ReturnNumber(ctx, 0, kErrNA);
}

// A record is blank when it holds an empty text or a formula whose result is an empty text.
bool BlankRecord(const uint8_t* record) {
    if (cell::IsText(record)) return cell::TextLength(record) == 0;
    if (cell::IsNumber(record)) return false;
    return (cell::ResultFlags(record) & kResultText) && cell::CachedText(record).empty();
}

// The cells of the rectangle less the stored ones that are not blank; a whole worksheet
// holds more cells than 32 bits count.
double BlankCells(CEvalContext& ctx, FormulaToken& slot, FormulaError& error) {
    uint64_t cells = uint64_t(slot.lastColumn - slot.firstColumn + 1) *
                     (uint64_t(slot.lastRow) - slot.firstRow + 1);
    CRangeWalk walk(ctx);
    if (FormulaError e = walk.Take(slot)) {
        error = MergeError(error, e);
        return 0;
    }
    while (const uint8_t* record = walk.Next())
        if (!BlankRecord(record)) --cells;
    return double(cells);
}

// A single value: an empty text or an empty value counts; only a text's error is kept. An
// empty value that carries an error is no blank.
double BlankValue(CEvalContext& ctx, FormulaToken& slot, FormulaError& error) {
    Dereference(ctx, slot);
    if (slot.type == kTokenText) {
        std::string text;
        error = MergeError(error, GetStringArg(ctx, slot, text));
        return text.empty() ? 1 : 0;
    }
    bool blank = slot.type == kTokenEmpty && slot.error == 0;
    ReleaseOperand(ctx, slot);
    return blank ? 1 : 0;
}

// ISBLANK: only an empty value is blank; an empty text, typed or a formula's result, is a
// text, though COUNTBLANK counts it.
double IsBlank(CEvalContext& ctx, FormulaToken& slot, FormulaError&) {
    Dereference(ctx, slot);
    bool blank = slot.type == kTokenEmpty && slot.error == 0;
    ReleaseOperand(ctx, slot);
    return blank ? 1 : 0;
}

void CountBlank(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    double count = 0;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        count += (slot.type & kAreaOrArray) ? BlankCells(ctx, slot, error)
                                            : BlankValue(ctx, slot, error);
    }
    ReturnNumber(ctx, count, error);
}

} // namespace

void BindInformationFunctions() {
    BindBuiltinFunction("ISBLANK", &Information<IsBlank>);
    BindBuiltinFunction("ISERR", &Information<HasError<ErrorButNA>>);
    BindBuiltinFunction("ISERROR", &Information<HasError<AnyError>>);
    BindBuiltinFunction("ISNA", &Information<HasError<IsNA>>);
    BindBuiltinFunction("ISNONTEXT", &Information<KindIsText<false>>);
    BindBuiltinFunction("ISTEXT", &Information<KindIsText<true>>);
    BindBuiltinFunction("ISEVEN", &Information<WholeNumber<Even>>);
    BindBuiltinFunction("ISODD", &Information<WholeNumber<Odd>>);
    BindBuiltinFunction("ISLOGICAL", &Information<IsLogical>);
    BindBuiltinFunction("ISNUMBER", &Information<IsNumber>);
    BindBuiltinFunction("ERRORTYPE", &Information<ErrorType>);
    BindBuiltinFunction("N", &Information<N>);
    BindBuiltinFunction("ISREF", &IsRef);
    BindBuiltinFunction("TYPE", &Type);
    BindBuiltinFunction("NA", &Na);
    BindBuiltinFunction("COUNTBLANK", &CountBlank);
}

} // namespace vl
