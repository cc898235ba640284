#include "functions/general/textfunctions.h"

#include "functions/general/generalargs.h"
#include "platform/core/cp1252.h"

#include <cstdint>
#include <string>

namespace vl {

namespace {

constexpr int32_t kMaxCount = INT32_MAX;

using TextEdit = void (*)(std::string& text);
using TextMeasure = double (*)(const std::string& text);

// One text in, one text out.
template <TextEdit F> void TextToText(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1) || ApplyOverArrays(ctx)) return;
    std::string text;
    FormulaError error = GetTextArg(ctx, Argument(ctx, 0), text);
    if (error) return ReturnTextError(ctx, error);
    F(text);
    ReturnText(ctx, text);
}

// One text in, a number out.
template <TextMeasure F> void TextToNumber(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1) || ApplyOverArrays(ctx)) return;
    std::string text;
    FormulaError error = GetTextArg(ctx, Argument(ctx, 0), text);
    if (error) return ReturnError(ctx, error);
    ReturnNumber(ctx, F(text));
}

void Unchanged(std::string&) {}

// Control characters go; bytes from 128 on are letters and signs of the code page.
void Clean(std::string& text) {
    std::erase_if(text, [](char c) { return c >= 1 && c <= 31; });
}

void Lower(std::string& text) {
    for (char& c : text) c = CharLower1252(c);
}

void Upper(std::string& text) {
    UpperInPlace1252(text);
}

// Each run of letters starts upper case and goes on lower case.
void Proper(std::string& text) {
    bool wordStart = true;
    for (char& c : text) {
        if (IsCharAlpha1252(c)) {
            c = wordStart ? CharUpper1252(c) : CharLower1252(c);
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
}

// Spaces at both ends go and inner runs become one; other blanks stay.
void Trim(std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool pending = false;
    for (char c : text) {
        if (c == ' ') {
            pending = !out.empty();
            continue;
        }
        if (pending) out += ' ';
        pending = false;
        out += c;
    }
    text.swap(out);
}

double Length(const std::string& text) {
    return double(text.size());
}

// The first byte as the code page numbers it, so that CHAR gives it back.
double Code(const std::string& text) {
    return text.empty() ? 0 : double(static_cast<unsigned char>(text[0]));
}

void Char(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1) || ApplyOverArrays(ctx)) return;
    int32_t n = 0;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 0), n, 0, 255);
    if (error) return ReturnTextError(ctx, error);
    ReturnText(ctx, n == 0 ? std::string() : std::string(1, char(n)));
}

void Exact(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    std::string a, b;
    FormulaError error = GetTextArg(ctx, Argument(ctx, 1), b);
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), a));
    if (error) return ReturnError(ctx, error);
    ReturnNumber(ctx, a == b ? 1 : 0);
}

// LEFT and RIGHT: a text and a count, 1 when empty.
template <bool FromLeft> void Side(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    int32_t n = 1;
    std::string text;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 1), n, 0, kMaxCount);
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), text));
    if (error) return ReturnTextError(ctx, error);
    std::size_t count = std::min<std::size_t>(std::size_t(n), text.size());
    ReturnText(ctx, FromLeft ? std::string_view(text).substr(0, count)
                             : std::string_view(text).substr(text.size() - count));
}

// Positions are counted in 64 bits: the last position n1 + n2 - 1 may pass 2^31.
void Mid(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3) || ApplyOverArrays(ctx)) return;
    int32_t start = 1, count = 1;
    std::string text;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 2), count, INT32_MIN, INT32_MAX);
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 1), start, INT32_MIN, INT32_MAX));
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), text));
    if (error == 0 && (start < 1 || count < 0)) error = kErrValue;
    if (error) return ReturnTextError(ctx, error);
    int64_t from = int64_t(start) - 1;
    if (from >= int64_t(text.size())) return ReturnText(ctx, std::string_view());
    int64_t end = std::min<int64_t>(from + count, int64_t(text.size()));
    ReturnText(ctx, std::string_view(text).substr(std::size_t(from), std::size_t(end - from)));
}

void Rept(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    int32_t n = 0;
    std::string text;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 1), n, 0, kMaxCount);
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), text));
    if (error == 0 && double(text.size()) * double(n) > double(kMaxTextArgument)) error = kErrValue;
    if (error) return ReturnTextError(ctx, error);
    std::string out;
    out.reserve(text.size() * std::size_t(n));
    for (int32_t i = 0; i < n; ++i) out += text;
    ReturnText(ctx, out);
}

// The texts of a range's or array's stored cells in store order; the largest error met
// among them.
FormulaError CellTexts(CEvalContext& ctx, FormulaToken& slot, std::string& out) {
    CRangeWalk walk(ctx);
    FormulaError error = walk.Take(slot);
    FormulaToken value;
    std::string text;
    while (walk.NextValue(value)) {
        error = MergeError(error, GetStringArg(ctx, value, text));
        if (error == 0 && out.size() + text.size() > kMaxTextArgument) error = kErrValue;
        if (error == 0) out += text;
    }
    return error;
}

// Walks the arguments from the last, each text put before those already taken; the first
// argument that fails ends the walk.
void Concatenate(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    std::string total, piece;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        piece.clear();
        if (slot.type & kAreaOrArray)
            error = CellTexts(ctx, slot, piece);
        else
            error = GetStringArg(ctx, slot, piece);
        if (error == 0 && total.size() + piece.size() > kMaxTextArgument) error = kErrValue;
        if (error) {
            // Only the arguments before this one still hold texts and arrays.
            while (i-- > 0) ReleaseOperand(ctx, Argument(ctx, i));
            break;
        }
        total.insert(0, piece);
    }
    if (error) return ReturnTextError(ctx, error);
    ReturnText(ctx, total);
}

} // namespace

void BindTextFunctions() {
    BindBuiltinFunction("ASC", &TextToText<Unchanged>);
    BindBuiltinFunction("CLEAN", &TextToText<Clean>);
    BindBuiltinFunction("LOWER", &TextToText<Lower>);
    BindBuiltinFunction("UPPER", &TextToText<Upper>);
    BindBuiltinFunction("PROPER", &TextToText<Proper>);
    BindBuiltinFunction("TRIM", &TextToText<Trim>);
    BindBuiltinFunction("LEN", &TextToNumber<Length>);
    BindBuiltinFunction("CODE", &TextToNumber<Code>);
    BindBuiltinFunction("CHAR", &Char);
    BindBuiltinFunction("EXACT", &Exact);
    BindBuiltinFunction("LEFT", &Side<true>);
    BindBuiltinFunction("RIGHT", &Side<false>);
    BindBuiltinFunction("MID", &Mid);
    BindBuiltinFunction("REPT", &Rept);
    BindBuiltinFunction("CONCATENATE", &Concatenate);
    BindTextSearchFunctions();
    BindTextFormatFunctions();
}

} // namespace vl
