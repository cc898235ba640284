// IWorksheet::format in process over 1,000 rows of 100 cells, each row already holding ten
// styles: the cells formatted per second.
#include "automation/formatinfo.h"
#include "automation/workbookobj.h"
#include "model/formatstore.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>

namespace {

constexpr uint32_t kRows = 1000;
constexpr uint16_t kColumns = 100;

std::shared_ptr<vl::CWorkbookObj> StyledBook() {
    std::shared_ptr<vl::CWorkbookObj> book;
    vl::CWorkbookObj::Create(book);
    book->NewDocument();
    vl::CWorkbook& doc = book->Document();
    for (uint16_t s = 1; s <= 10; ++s)
        doc.styles.styles[doc.styles.styleCount++].numberFormat.kind = uint8_t(s % 10);
    vl::CellCursor cursor;
    for (uint32_t row = 0; row < kRows; ++row)
        for (uint16_t s = 0; s < 10; ++s)
            vl::PutFormatRun(doc.tree.active->formats,
                             {uint16_t(s * 10), uint16_t(s * 10 + 9), row, uint16_t(s + 1)},
                             cursor);
    return book;
}

void BM_FormatInProcess(benchmark::State& state) {
    std::shared_ptr<vl::CFormatInfoObj> info;
    vl::CFormatInfoObj::Create(info);
    int32_t bold = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = StyledBook();
        info->put_boldFont(bold ^= 1);
        state.ResumeTiming();
        if (book->format("$A$1:$CV$1000", 6, info.get()) != vl::S_OK)
            state.SkipWithError("format failed");
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kRows) * kColumns);
}
BENCHMARK(BM_FormatInProcess)->Unit(benchmark::kMillisecond);

} // namespace
