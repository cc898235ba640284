// FIND and SEARCH, REPLACE and SUBSTITUTE.
#include "functions/general/generalargs.h"
#include "functions/general/textfunctions.h"
#include "functions/general/wildcard.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace vl {

namespace {

constexpr int32_t kMaxCount = INT32_MAX;

// Case and wildcards count; the search starts at a position from 1 inside the text.
void Find(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3) || ApplyOverArrays(ctx)) return;
    int32_t start = 1;
    std::string needle, text;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 2), start, INT32_MIN, INT32_MAX);
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 1), text));
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), needle));
    if (error == 0 && (start < 1 || std::size_t(start) > text.size())) error = kErrValue;
    if (error) return ReturnError(ctx, error);
    std::size_t at = text.find(needle, std::size_t(start - 1));
    if (at == std::string::npos) return ReturnError(ctx, kErrValue);
    ReturnNumber(ctx, double(at + 1));
}

void Search(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3) || ApplyOverArrays(ctx)) return;
    int32_t start = 1;
    std::string pattern, text;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 2), start, 1, int32_t(kMaxTextArgument));
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 1), text));
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), pattern));
    if (error == 0 && std::size_t(start) > text.size()) error = kErrValue;
    if (error) return ReturnError(ctx, error);
    int32_t at =
        MatchWildcard(pattern, std::string_view(text).substr(std::size_t(start - 1)), nullptr);
    if (at < 0) return ReturnError(ctx, kErrValue);
    ReturnNumber(ctx, double(at) + start);
}

// The first position must lie inside the text and n1 must be given; the length tested is
// that of the text built, with only the characters that exist removed.
void Replace(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4) || ApplyOverArrays(ctx)) return;
    int32_t start = 0, count = 0;
    std::string text, insert;
    FormulaError error = GetTextArg(ctx, Argument(ctx, 3), insert);
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 2), count, 0, kMaxCount));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 1), start, 1, kMaxCount));
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), text));
    if (error == 0 && (start == 0 || std::size_t(start) > text.size())) error = kErrValue;
    if (error) return ReturnTextError(ctx, error);
    uint64_t kept = uint64_t(start) - 1;
    uint64_t restFrom = std::min<uint64_t>(kept + uint64_t(count), text.size());
    uint64_t length = kept + insert.size() + (text.size() - restFrom);
    if (length > kMaxTextArgument) return ReturnTextError(ctx, kErrValue);
    std::string out = text.substr(0, kept);
    out += insert;
    out.append(text, restFrom);
    ReturnText(ctx, out);
}

// The old text is found as written, case and all; the scan goes on after each match, and
// the result stays within the working length. An empty old text matches nowhere.
bool SubstituteText(const std::string& text, const std::string& old, const std::string& insert,
                    int32_t which, std::string& out) {
    std::size_t p = 0;
    int32_t seen = 0;
    for (std::size_t at; !old.empty() && (at = text.find(old, p)) != std::string::npos;) {
        ++seen;
        out.append(text, p, at - p);
        if (which == 0 || seen == which)
            out += insert;
        else
            out += old;
        if (out.size() > kMaxTextArgument) return false;
        p = at + old.size();
    }
    out.append(text, p);
    return out.size() <= kMaxTextArgument;
}

void Substitute(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4) || ApplyOverArrays(ctx)) return;
    int32_t which = 0;
    std::string text, pattern, insert;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 3), which, 0, kMaxCount);
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 2), insert));
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 1), pattern));
    error = MergeError(error, GetTextArg(ctx, Argument(ctx, 0), text));
    if (error) return ReturnTextError(ctx, error);
    std::string out;
    if (!SubstituteText(text, pattern, insert, which, out)) return ReturnTextError(ctx, kErrValue);
    ReturnText(ctx, out);
}

} // namespace

void BindTextSearchFunctions() {
    BindBuiltinFunction("FIND", &Find);
    BindBuiltinFunction("SEARCH", &Search);
    BindBuiltinFunction("REPLACE", &Replace);
    BindBuiltinFunction("SUBSTITUTE", &Substitute);
}

} // namespace vl
