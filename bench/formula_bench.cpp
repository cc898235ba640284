// Tokenizing and translating a million typical formulas.
#include "formula/evalcontext.h"
#include "formula/tokenizer.h"
#include "formula/translate.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFormulas = 1000000;

// Stored (internal) texts as worksheets commonly hold them.
const std::vector<std::string>& StoredFormulas() {
    static const std::vector<std::string> formulas = {
        "=SUM(R[-10]C:R[-1]C)",
        "=R[-1]C*1.19",
        "=IF(RC[-1]>0,RC[-2]/RC[-1],\"\")",
        "=VLOOKUP(RC1,Sheet2!R1C1:R500C4,3,FALSE)",
        "=AVERAGE(R2C3:R100C3)+STDEV(R2C3:R100C3)",
        "=ROUND(RC[-3]*0.075,2)",
        "=RC[-2]&\" \"&RC[-1]",
        "=SUM({1,2,3;4,5,6})*R1C1",
        "=IF(AND(RC2>=R1C10,RC2<=R2C10),\"in range\",\"out\")",
        "=(R[-1]C+R[-1]C[1])/2-R5C5^2",
        "=COUNTIF(R2C1:R1000C1,\">100\")",
        "=MAX(R[-5]C:R[-1]C)-MIN(R[-5]C:R[-1]C)",
        "=R[1]C[1]%",
        "=PMT(R1C2/12,R2C2*12,-R3C2)",
        "=INDEX(R1C1:R100C5,MATCH(RC1,R1C1:R100C1,0),3)",
        "=\\Reports\\2007\\Sales!R10C4*1.5e-3",
    };
    return formulas;
}

std::vector<std::string> UserFormulas(vl::CEvalContext& ctx, const vl::UserNotation& user) {
    std::vector<std::string> out;
    for (std::string f : StoredFormulas()) {
        vl::TranslateFormula(ctx, f, 3, 20, false, user);
        out.push_back(f);
    }
    return out;
}

void BM_TokenizeStored(benchmark::State& state) {
    auto ctx = std::make_unique<vl::CEvalContext>();
    const auto& formulas = StoredFormulas();
    std::size_t tokens = 0;
    for (auto _ : state) {
        for (int i = 0; i < kFormulas; ++i) {
            std::string_view text = formulas[i % formulas.size()];
            ctx->BeginFormula(3, 20);
            std::size_t pos = 1;
            vl::FormulaToken token;
            for (;;) {
                uint16_t type = vl::GetFormulaToken(*ctx, text, pos, token, true);
                ++tokens;
                if (type == 0 || type == vl::kTokenEnd) break;
                if (type == vl::kTokenText) ctx->stringPool.PopTempString();
            }
        }
    }
    benchmark::DoNotOptimize(tokens);
    state.SetItemsProcessed(state.iterations() * kFormulas);
    state.counters["tokens"] = double(tokens);
}
BENCHMARK(BM_TokenizeStored)->Iterations(1)->Unit(benchmark::kMillisecond);

void Translate(benchmark::State& state, bool toInternal, vl::UserNotation user) {
    auto ctx = std::make_unique<vl::CEvalContext>();
    const std::vector<std::string> formulas =
        toInternal ? UserFormulas(*ctx, user) : StoredFormulas();
    std::string out;
    std::size_t failed = 0;
    for (auto _ : state) {
        for (int i = 0; i < kFormulas; ++i) {
            const std::string& text = formulas[i % formulas.size()];
            if (!vl::TranslateFormula(*ctx, text, out, 3, 20, toInternal, user)) ++failed;
        }
    }
    if (failed) state.SkipWithError("a formula did not translate");
    state.SetItemsProcessed(state.iterations() * kFormulas);
}

void BM_TranslateToUserA1(benchmark::State& state) {
    Translate(state, false, {&vl::InternalSeparators(), true});
}
BENCHMARK(BM_TranslateToUserA1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TranslateFromUserA1(benchmark::State& state) {
    Translate(state, true, {&vl::InternalSeparators(), true});
}
BENCHMARK(BM_TranslateFromUserA1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TranslateFromUserCommaR1C1(benchmark::State& state) {
    static vl::SeparatorSet comma = [] {
        vl::SeparatorSet s;
        s.decimal = ',';
        s.list = ';';
        s.arrayRow = '|';
        return s;
    }();
    Translate(state, true, {&comma, false});
}
BENCHMARK(BM_TranslateFromUserCommaR1C1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
