#include "functions/general/logicalfunctions.h"

#include "functions/general/generalargs.h"

#include <cstdint>
#include <string>

namespace vl {

namespace {

// The truth of one value: its error, and `truth`, which any number but 0 makes true.
FormulaError ReadTruth(CEvalContext& ctx, FormulaToken& slot, bool& truth) {
    double x = 0;
    FormulaError error = GetNumberArg(ctx, slot, x);
    truth = x != 0;
    return error;
}

// AND and OR over values, references, ranges and arrays; empty values take no part.
struct Combination {
    bool isAnd;
    bool any = false;
    bool result;
    FormulaError error = 0;

    explicit Combination(bool and_) : isAnd(and_), result(and_) {}

    void Take(CEvalContext& ctx, FormulaToken& value) {
        bool truth = false;
        FormulaError e = ReadTruth(ctx, value, truth);
        error = MergeError(error, e);
        if (e == 0 && value.type == kTokenEmpty) return;
        if (error) return;
        any = true;
        result = isAnd ? result && truth : result || truth;
    }
};

template <bool IsAnd> void Combine(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    Combination c(IsAnd);
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (!(slot.type & kAreaOrArray)) {
            c.Take(ctx, slot);
            continue;
        }
        CRangeWalk walk(ctx);
        c.error = MergeError(c.error, walk.Take(slot));
        FormulaToken value;
        while (walk.NextValue(value)) c.Take(ctx, value);
    }
    if (c.error) return ReturnError(ctx, c.error);
    if (IsAnd && !c.any) return ReturnError(ctx, kErrNA);
    ReturnNumber(ctx, c.result ? 1 : 0);
}

void Not(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1) || ApplyOverArrays(ctx)) return;
    bool truth = false;
    FormulaError error = ReadTruth(ctx, Argument(ctx, 0), truth);
    ReturnNumber(ctx, truth ? 0 : 1, error);
}

// A branch taken off the pool or the array stack until the choice is made.
struct Branch {
    FormulaToken entry;
    std::string text;
    Page* chain = nullptr;

    void Take(CEvalContext& ctx, const FormulaToken& slot) {
        entry = slot;
        if (slot.type == kTokenText) text = ctx.stringPool.PopTempString();
        if (slot.type == kTokenArray) chain = ctx.scratch.PopPointer();
    }
    void Drop(CEvalContext& ctx) {
        if (chain) ctx.scratch.cells.FreePageChain(chain);
        chain = nullptr;
    }
    // Puts the branch's text or array back where its entry expects it.
    bool Restore(CEvalContext& ctx) {
        if (entry.type == kTokenText) return ctx.stringPool.PushString(text);
        if (entry.type != kTokenArray) return true;
        if (ctx.scratch.PushPointer(chain)) {
            chain = nullptr;
            return true;
        }
        Drop(ctx);
        return false;
    }
};

// Every argument is already evaluated; the chosen one is the result as it is. An array as
// the test chooses element by element, from the elements of branches that are ranges or
// arrays.
void If(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    FormulaToken& test = Argument(ctx, 0);
    if (test.type == kTokenArray) {
        ApplyOverParameters(ctx, {0, 1, 2});
        return;
    }
    Branch no, yes;
    no.Take(ctx, Argument(ctx, 2));
    yes.Take(ctx, Argument(ctx, 1));
    bool truth = false;
    FormulaError testError = ReadTruth(ctx, test, truth);
    const bool chooseYes = truth && testError == 0;
    Branch& chosen = chooseYes ? yes : no;
    (chooseYes ? no : yes).Drop(ctx);
    FormulaError error = MergeError(testError, chosen.entry.error);
    if (error) {
        chosen.Drop(ctx);
        return ReturnError(ctx, error);
    }
    if (chosen.entry.type == kTokenEmpty) return ReturnNumber(ctx, chooseYes ? 1 : 0);
    if (!chosen.Restore(ctx)) return ReturnError(ctx, kErrValue);
    ReturnValue(ctx, chosen.entry);
}

template <int Value> void Constant(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 0, 0)) return;
    ReturnNumber(ctx, Value);
}

} // namespace

void BindLogicalFunctions() {
    BindBuiltinFunction("AND", &Combine<true>);
    BindBuiltinFunction("OR", &Combine<false>);
    BindBuiltinFunction("NOT", &Not);
    BindBuiltinFunction("IF", &If);
    BindBuiltinFunction("TRUE", &Constant<1>);
    BindBuiltinFunction("FALSE", &Constant<0>);
}

} // namespace vl
