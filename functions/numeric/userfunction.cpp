#include "functions/numeric/userfunction.h"

#include "formula/evaluator.h"
#include "formula/operands.h"

#include <cfloat>
#include <cmath>

namespace vl {

namespace {

bool HasPending(const CEvalContext& ctx) {
    return ctx.pendingPrecedent.refFlags && ctx.pendingPrecedent.cells;
}

// A trial that read an uncalculated formula cell used a stale value: it fails, and the
// caller's recalculation learns of the cell.
void HandOverPending(UserFunction& f) {
    CEvalContext& ctx = *f.ctx;
    if (f.caller) {
        if (!HasPending(*f.caller)) f.caller->pendingPrecedent = ctx.pendingPrecedent;
        PendingCells& to = f.caller->pendingCells;
        const PendingCells& from = ctx.pendingCells;
        for (std::size_t i = 0; i < from.cells.Size(); ++i) to.Add(from.cells[i]);
        if (from.incomplete) to.incomplete = true;
    }
    ClearOperand(ctx.pendingPrecedent);
    ctx.pendingCells.Clear();
}

// The number of a result slot, a text result read whole as a number.
bool ResultNumber(CEvalContext& ctx, uint16_t kind, FormulaToken& slot, double& value) {
    if (kind == kTokenText) {
        if (slot.error) {
            ReleaseOperand(ctx, slot);
            return false;
        }
        TextToNumberOperand(ctx, slot);
        if (slot.type != kTokenNumber) return false;
    } else if (kind != kTokenNumber || slot.error) {
        return false;
    }
    value = slot.type == kTokenNumber ? slot.number : 0;
    if (std::isfinite(value)) return true;
    slot.error = kErrNum;
    return false;
}

} // namespace

bool EvaluateUserFunction(UserFunction& f, double& value) {
    value = 0;
    CEvalContext& ctx = *f.ctx;
    ClearOperand(ctx.pendingPrecedent);
    uint16_t kind = EvaluateFormulaText(ctx, f.text, f.column, f.row);
    FormulaToken& slot = ctx.values[1];
    double number = 0;
    bool ok = false;
    if (HasPending(ctx)) {
        HandOverPending(f);
        f.failure = kErrValue;
    } else if (ResultNumber(ctx, kind, slot, number)) {
        value = number;
        ok = true;
    } else {
        f.failure = slot.error ? slot.error : ctx.status ? ctx.status : kErrValue;
    }
    ctx.stringPool.ResetStringStack();
    ctx.scratch.ReleaseArrays();
    return ok;
}

namespace {

bool SameSign(double a, double b) {
    return std::signbit(a) == std::signbit(b);
}

} // namespace

void FindRoot1D(UserFunction& f, VariableCell variable, double x0, double x1, double epsilon,
                uint8_t& ok) {
    ok = 0;
    double a = x0, b = x1, fa = 0, fb = 0;
    variable.Set(a);
    if (!EvaluateUserFunction(f, fa)) return;
    variable.Set(b);
    if (!EvaluateUserFunction(f, fb)) return;
    // A root at an end brackets nothing.
    if (std::isnan(fa) || std::isnan(fb) || fa == 0 || fb == 0 || SameSign(fa, fb)) return;
    for (int32_t step = 0; step < kMaxRootSteps; ++step) {
        double c = b - (b - a) * (fb / (fb - fa));
        // A secant point outside the bracket (its values too far apart to divide) falls
        // back to the middle.
        if (!std::isfinite(c) || !(std::fmin(a, b) <= c && c <= std::fmax(a, b))) c = a / 2 + b / 2;
        double fc = 0;
        variable.Set(c);
        if (!EvaluateUserFunction(f, fc) || std::isnan(fc)) return;
        if (fc != 0 && SameSign(fc, fb)) {
            fa *= 0.5;
        } else {
            a = b;
            fa = fb;
        }
        b = c;
        fb = fc;
        const double width = std::fabs(c - a);
        if (fc == 0 || width <= epsilon || width <= 4 * DBL_EPSILON * std::fabs(c) || c == a) {
            ok = 1;
            return;
        }
    }
}

} // namespace vl
