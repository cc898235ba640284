// Numbers shown as text through number formats (TEXT, DOLLAR, FIXED) and typed text read
// back as a number (VALUE), in the separators of the user's locale.
#include "functions/general/generalargs.h"
#include "functions/general/textfunctions.h"
#include "values/numberinput.h"
#include "values/numfmt_number.h"
#include "values/standardformat.h"

#include <cmath>
#include <cstring>
#include <string>

namespace vl {

namespace {

constexpr int32_t kMaxDecimals = 14;

// Negative decimals round to tens, hundreds, ...: halves go towards positive infinity.
bool RoundToTens(double& x, int32_t& decimals) {
    if (decimals >= 0) return true;
    double scale = std::pow(10.0, -decimals);
    double y = x / scale;
    double whole = std::trunc(y);
    x = (std::floor(y - whole + 0.5) + whole) * scale;
    decimals = 0;
    return x == 0 || !IsOutOfRange(x);
}

// Shows x through a standard format code built with the stored separators.
void ReturnFormatted(CEvalContext& ctx, double x, uint8_t kind, const uint8_t* params) {
    std::string code = BuildStandardFormatCode(kind, params);
    std::string text;
    if (!FormatValueText(x, code, text, &UserSeparators())) return ReturnTextError(ctx, kErrValue);
    ReturnText(ctx, text);
}

void Dollar(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    double x = 0;
    int32_t decimals = 2;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 1), decimals, -kMaxDecimals, kMaxDecimals);
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 0), x));
    if (error == 0 && !RoundToTens(x, decimals)) error = kErrNum;
    if (error) return ReturnTextError(ctx, error);
    uint8_t params[kStandardFormatParams] = {};
    const char* symbol = UserSeparators().currency;
    std::memcpy(params + fmtparam::kCurrencySymbol, symbol, strnlen(symbol, 13));
    params[fmtparam::kCurrencyDecimals] = uint8_t(decimals);
    ReturnFormatted(ctx, x, STD_STYLE_CURRENCY, params);
}

// The third argument is no element-wise argument: a range there is #VALUE!.
void Fixed(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3) || ApplyOverParameters(ctx, {0, 1})) return;
    double x = 0;
    // Thousands separators unless the third argument says otherwise, left out or empty.
    int32_t digits = 2, noSeparators = 0;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 2), noSeparators, 0, 1);
    error =
        MergeError(error, GetIntArg(ctx, Argument(ctx, 1), digits, -kMaxDecimals, kMaxDecimals));
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 0), x));
    if (error == 0 && !RoundToTens(x, digits)) error = kErrNum;
    if (error) return ReturnTextError(ctx, error);
    uint8_t params[kStandardFormatParams] = {};
    params[fmtparam::kFixedDecimals] = 1;
    params[fmtparam::kDecimals] = uint8_t(digits);
    params[fmtparam::kThousands] = noSeparators == 0 ? 1 : 0;
    ReturnFormatted(ctx, x, STD_STYLE_GENERAL, params);
}

void Text(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    double x = 0;
    std::string code;
    FormulaError error = GetTextArg(ctx, Argument(ctx, 1), code);
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 0), x));
    if (error) return ReturnTextError(ctx, error);
    std::string text;
    if (!FormatValueText(x, code, text, &UserSeparators())) return ReturnTextError(ctx, kErrValue);
    ReturnText(ctx, text);
}

void Value(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1) || ApplyOverArrays(ctx)) return;
    std::string text;
    FormulaError error = GetTextArg(ctx, Argument(ctx, 0), text);
    if (error) return ReturnError(ctx, error);
    double value = 0;
    uint8_t kind = 0;
    uint8_t params[kStandardFormatParams] = {};
    if (!ParseNumberText(text, value, kind, params, UserSeparators()))
        return ReturnError(ctx, kErrValue);
    ReturnNumber(ctx, value);
}

} // namespace

void BindTextFormatFunctions() {
    BindBuiltinFunction("DOLLAR", &Dollar);
    BindBuiltinFunction("FIXED", &Fixed);
    BindBuiltinFunction("TEXT", &Text);
    BindBuiltinFunction("VALUE", &Value);
}

} // namespace vl
