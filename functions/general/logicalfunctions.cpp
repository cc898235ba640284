#include "functions/general/logicalfunctions.h"

#include "functions/general/generalargs.h"
#include "functions/numeric/valuereader.h"

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

// AND and OR over the values the value reader takes: any number but 0 is true.
template <bool IsAnd> void Combine(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    bool any = false;
    bool result = IsAnd;
    FormulaError error = 0;
    GatherValueList(ctx, [&](const ListValue& v) {
        if (v.fate == ValueFate::Error) error = MergeError(error, v.error);
        if (error) return;
        any = true;
        result = IsAnd ? result && v.number != 0 : result || v.number != 0;
    });
    if (error) return ReturnError(ctx, error);
    if (IsAnd && !any) return ReturnError(ctx, kErrNA);
    ReturnNumber(ctx, result ? 1 : 0);
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
