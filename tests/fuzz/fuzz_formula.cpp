// Random text through the tokenizer and the translation in both forms and both
// addressing modes: no crash, no hang, no read past the text.
#include "formula/evalcontext.h"
#include "formula/tokenizer.h"
#include "formula/translate.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

vl::CEvalContext& Context() {
    static auto* ctx = new vl::CEvalContext();
    return *ctx;
}

const vl::SeparatorSet& CommaSet() {
    static vl::SeparatorSet set = [] {
        vl::SeparatorSet s;
        s.decimal = ',';
        s.list = ';';
        s.arrayRow = '|';
        return s;
    }();
    return set;
}

// Every token of the text; each must move on or end the reading.
void Tokenize(vl::CEvalContext& ctx, std::string_view text, const vl::TokenSyntax& syntax) {
    ctx.BeginFormula(5, 7);
    std::size_t pos = 0;
    for (std::size_t guard = 0; guard <= text.size() + 1; ++guard) {
        std::size_t before = pos;
        vl::FormulaToken token;
        uint16_t type = vl::ReadFormulaToken(ctx, text, pos, token, syntax);
        if (type == 0 || type == vl::kTokenEnd) return;
        if (pos <= before || pos > text.size()) __builtin_trap();
        if (type == vl::kTokenText) ctx.stringPool.PopTempString();
        if (type == vl::kTokenArray) {
            vl::Page* chain = ctx.scratch.PopPointer();
            if (chain) ctx.scratch.cells.FreePageChain(chain);
        }
    }
    __builtin_trap(); // more tokens than characters: the reader did not advance
}

void Translate(vl::CEvalContext& ctx, std::string_view text, bool toInternal,
               const vl::UserNotation& user) {
    std::string out;
    if (vl::TranslateFormula(ctx, text, out, 2046, 2097151, toInternal, user) &&
        out.size() > vl::kMaxFormulaText)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size heap copy, so that any read past the text is caught.
    std::unique_ptr<char[]> bytes(new char[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), data, size);
    std::string_view view(bytes.get(), size);
    vl::CEvalContext& ctx = Context();
    vl::SeparatorSet generic;
    const vl::SeparatorSet& comma = CommaSet();

    Tokenize(ctx, view, vl::InternalSyntax());
    Tokenize(ctx, view, {&generic, false, vl::RefStyle::kA1});
    Tokenize(ctx, view, {&comma, false, vl::RefStyle::kR1C1});

    std::unique_ptr<char[]> formula(new char[size + 1]);
    formula[0] = '=';
    if (size) std::memcpy(formula.get() + 1, data, size);
    std::string_view text(formula.get(), size + 1);
    for (const vl::UserNotation& user :
         {vl::UserNotation{&generic, true}, vl::UserNotation{&comma, false},
          vl::UserNotation{&comma, true}}) {
        Translate(ctx, text, true, user);
        Translate(ctx, text, false, user);
    }
    return 0;
}
