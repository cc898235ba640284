// Workbooks of many worksheets: an Excel 2003 XML document of worksheets that all bear one name,
// read and written again (each written name must be told apart from every name before it), and
// native workbooks of many empty worksheets opened from their files. Each should grow with the
// worksheets, not with their square or cube.

#include "exchange/excelxml.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "model/treeappend.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace vl {

namespace {

// `count` empty worksheets of the name (null: numbered as new ones are).
std::unique_ptr<CWorkbook> Worksheets(int64_t count, const char* name) {
    auto book = CreateWorkbook();
    CTreeItem* last = nullptr;
    for (int64_t k = 0; k < count; ++k)
        if (!(last = AppendTreeItemAfter(*book, last, TREE_TYPE_WORKSHEET, name, 1))) std::abort();
    book->tree.active = AsWorksheet(book->tree.first);
    return book;
}

std::string Exported(CWorkbook& book) {
    CXmlWriter writer;
    if (!WriteExcelXml(book, writer)) std::abort();
    return writer.Memory();
}

// Worksheets all named "Sheet" in the document, as another program may write them (it keeps
// names apart as it likes): read, then written, as a Load and a Save of the document do.
void BM_ExcelXmlAlikeNamesLoadSave(benchmark::State& state) {
    std::string document = "<?xml version=\"1.0\"?>\r\n<Workbook "
                           "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                           "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">";
    for (int64_t k = 0; k < state.range(0); ++k)
        document += "<Worksheet ss:Name=\"Sheet\"><Table/></Worksheet>";
    document += "</Workbook>";
    for (auto _ : state) {
        auto book = CreateWorkbook();
        CXmlReader reader;
        reader.ResetMemory(document);
        if (!ReadExcelXml(*book, reader, nullptr)) std::abort();
        benchmark::DoNotOptimize(Exported(*book).size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExcelXmlAlikeNamesLoadSave)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Empty worksheets of one name written to Excel 2003 XML.
void BM_ExcelXmlAlikeNamesExport(benchmark::State& state) {
    auto book = Worksheets(state.range(0), "Worksheet");
    for (auto _ : state) benchmark::DoNotOptimize(Exported(*book).size());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExcelXmlAlikeNamesExport)
    ->Arg(1500)
    ->Arg(3000)
    ->Arg(6000)
    ->Arg(12000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// A native workbook of empty worksheets (arg 0) in the form of arg 1, opened from its file.
void BM_OpenEmptyWorksheets(benchmark::State& state) {
    const uint8_t form = uint8_t(state.range(1));
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("vorlane_bench_sheets_" + std::to_string(getpid()) + "_" + std::to_string(form) + ".vln"))
            .string();
    {
        auto book = Worksheets(state.range(0), nullptr);
        if (!SaveWorkbookFile(*book, path.c_str(), form)) std::abort();
    }
    for (auto _ : state) {
        auto book = CreateWorkbook();
        if (!OpenDocumentFile(*book, path.c_str()) || !OpenWorkbookFile(*book, nullptr, nullptr))
            std::abort();
        if (book->tree.worksheetCount != uint32_t(state.range(0))) std::abort();
    }
    std::filesystem::remove(path);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenEmptyWorksheets)
    ->Args({5000, kFileXml})
    ->Args({10000, kFileXml})
    ->Args({20000, kFileXml})
    ->Args({5000, kFileBinary})
    ->Args({10000, kFileBinary})
    ->Args({20000, kFileBinary})
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
