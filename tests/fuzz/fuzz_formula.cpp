// Random text through the tokenizer and the translation in both forms and both
// addressing modes: no crash, no hang, no read past the text.
#include "formula/tokenizer.h"
#include "formula/translate.h"
#include "harness.h"

namespace {

using namespace vl;
using fuzz::Require;

SeparatorSet CommaSet() {
    SeparatorSet s;
    s.decimal = ',';
    s.list = ';';
    s.arrayRow = '|';
    return s;
}

// Every token of the text; each must move on or end the reading.
void Tokenize(CEvalContext& ctx, std::string_view text, const TokenSyntax& syntax) {
    ctx.BeginFormula(5, 7);
    std::size_t pos = 0;
    for (std::size_t guard = 0; guard <= text.size() + 1; ++guard) {
        std::size_t before = pos;
        FormulaToken token;
        uint16_t type = ReadFormulaToken(ctx, text, pos, token, syntax);
        if (type == 0 || type == kTokenEnd) return;
        Require(pos > before && pos <= text.size());
        if (type == kTokenText) ctx.stringPool.PopTempString();
        if (type == kTokenArray) {
            Page* chain = ctx.scratch.PopPointer();
            if (chain) ctx.scratch.cells.FreePageChain(chain);
        }
    }
    Require(false); // more tokens than characters: the reader did not advance
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CEvalContext& ctx = *new CEvalContext();
    static const SeparatorSet generic{}, comma = CommaSet();
    const fuzz::ExactCopy bytes(data, size), formula(data, size, "=");
    Tokenize(ctx, bytes.View(), InternalSyntax());
    Tokenize(ctx, bytes.View(), {&generic, false, RefStyle::kA1});
    Tokenize(ctx, bytes.View(), {&comma, false, RefStyle::kR1C1});
    for (const UserNotation& user :
         {UserNotation{&generic, true}, UserNotation{&comma, false}, UserNotation{&comma, true}}) {
        for (bool toInternal : {true, false}) {
            std::string out;
            if (TranslateFormula(ctx, formula.View(), out, 2046, 2097151, toInternal, user))
                Require(out.size() <= kMaxFormulaText);
        }
    }
    return 0;
}
