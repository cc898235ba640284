// IWorksheet::PrintAll in process through the program's document services onto the built-in
// PDF printer: worksheets of 100 and of 1,000 pages, in pages per second.
#include "automation/workbookobj.h"
#include "model/workbook.h"
#include "print/printerservice.h"
#include "program/documentservices.h"
#include "qtmain.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {

// Rows of default height on an A4 page with the default page setup.
constexpr int kRowsPerPage = 51;

class FolderPrinters : public vl::IPrinterService {
public:
    std::vector<vl::PrinterEntry> SystemPrinters() const override { return {}; }
    std::string DocumentsFolder() const override { return folder.path().toStdString(); }
    QTemporaryDir folder;
};

std::shared_ptr<vl::CWorkbookObj> BookOfPages(int pages) {
    std::shared_ptr<vl::CWorkbookObj> book;
    vl::CWorkbookObj::Create(book);
    book->NewDocument();
    for (int row = 1; row <= pages * kRowsPerPage; ++row) {
        const std::string number = std::to_string(row);
        book->PutValue(vl::CBstr("$A$" + number), vl::CVariant::R8(row));
        book->PutValue(vl::CBstr("$B$" + number), vl::CVariant::R8(row * 0.5));
    }
    return book;
}

void BM_PrintAllToPdf(benchmark::State& state) {
    const int pages = int(state.range(0));
    FolderPrinters printers;
    vl::CScreenDocumentServices services(printers);
    vl::SetDocumentServices(&services);
    auto book = BookOfPages(pages);
    for (auto _ : state) {
        if (book->PrintAll() != vl::S_OK) state.SkipWithError("PrintAll failed");
        state.PauseTiming();
        std::error_code ec;
        for (const auto& f :
             std::filesystem::directory_iterator(printers.folder.path().toStdString()))
            std::filesystem::remove(f.path(), ec);
        state.ResumeTiming();
    }
    vl::SetDocumentServices(nullptr);
    state.SetItemsProcessed(state.iterations() * pages);
    state.counters["pages/s"] =
        benchmark::Counter(double(state.iterations()) * pages, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintAllToPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return vl::bench::RunUnderQt<QGuiApplication>(argc, argv);
}
