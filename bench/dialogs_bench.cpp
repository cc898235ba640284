// The drawn lists painted item by item, and the composer switching categories. Goals: at
// least 500 complete sets of the four lists per second, 200 category switches per second.
#include "dialogs/combos.h"
#include "dialogs/composer.h"
#include "platform/gui/devicecontext.h"
#include "qtmain.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace vl {

namespace {

template <class Combo> void PaintAll(const Combo& combo, QImage& image) {
    for (int i = 0; i < combo.count(); ++i) {
        auto dc = CDeviceContext::ForImage(image);
        combo.PaintItem(*dc, image.width(), image.height(), i, i == 1);
    }
}

void BM_PaintComboSets(benchmark::State& state) {
    CLineStyleCombo line;
    line.Init(1, true);
    CSymbolCombo symbol;
    symbol.Init(4);
    CPatternCombo pattern;
    pattern.Init(2, true, true);
    CColorCombo color;
    color.Init(Rgb(1, 2, 3), 0, false);
    QImage image(120, GetComboItemHeight(), QImage::Format_RGB32);
    for (auto _ : state) {
        PaintAll(line, image);
        PaintAll(symbol, image);
        PaintAll(pattern, image);
        PaintAll(color, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["sets/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintComboSets)->Unit(benchmark::kMicrosecond);

class NoHost : public IComposerHost {
public:
    bool HasActiveWorkbook() const override { return false; }
    bool GetSelection(Selection&) const override { return false; }
    bool InsertFormula(const std::string&, bool) override { return false; }
};

void BM_ComposerCategorySwitch(benchmark::State& state) {
    NoHost host;
    CFormulaComposer pane(nullptr, host, 0);
    bool all = false;
    for (auto _ : state) {
        pane.ChooseCategory(all ? kCategoryAll : 8);
        all = !all;
    }
    state.counters["switches/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposerCategorySwitch)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace vl

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QApplication>(argc, argv);
}
