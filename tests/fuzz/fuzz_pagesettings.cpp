// Page-setup records from arbitrary bytes through a PageInfo object into a worksheet: a
// record the worksheet takes must be one printing can use and come back byte for byte, and
// PrintAll must then end, and the workbook must save in every native form and load again
// to the same records. The fuzz build has no Qt, so the printer is a double of the
// document services that checks what it is asked to print; the program's PDF printing of
// such records runs in the normal build's tests.

#include "automation/documentservices.h"
#include "automation/pageinfo.h"
#include "automation/workbookobj.h"
#include "harness.h"
#include "model/workbook.h"
#include "tests/files/reloadcheck.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class TestPrinter : public vl::IDocumentServices {
public:
    void AutoFitRows(vl::CWorkbook&, vl::CWorksheet&, uint32_t, uint32_t) override {}
    bool SaveRangeAsImage(vl::CWorkbook&, const char*, const vl::CellRange&, const char*,
                          double) override {
        return false;
    }
    bool SaveContainerAsImage(vl::CWorkbook&, const char*, uint16_t, const char*, double) override {
        return false;
    }
    bool PrintWorksheet(vl::CWorkbook&, vl::CEvalContext&, vl::CWorksheet& sheet,
                        const char*) override {
        const vl::PageSetupRecord& setup = sheet.pageSetup;
        vl::fuzz::Require(setup.printRangeKind == vl::kPrintAll && vl::IsPrintablePageSetup(setup));
        return true;
    }
};

std::string g_saved;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!vl::fuzz::TempFolder().empty()) g_saved = vl::fuzz::TempFolder() + "/saved.vlb";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vl;
    if (size < kPageSetupRecordSize) return 0;
    static TestPrinter printer;
    static std::shared_ptr<CWorkbookObj> book = [] {
        SetDocumentServices(&printer);
        std::shared_ptr<CWorkbookObj> b;
        CWorkbookObj::Create(b);
        b->NewDocument();
        return b;
    }();
    std::shared_ptr<CPageInfoObj> info;
    CPageInfoObj::Create(info);
    std::shared_ptr<CSafeArray> array = PageRecordArray(data);
    fuzz::Require(array && info->SetData(array.get()) == S_OK);
    uint8_t before[kPageSetupRecordSize];
    WritePageSetupRecord(before, book->Document().tree.active->pageSetup);
    const HRESULT hr = book->SetPageSettings(info.get());
    uint8_t after[kPageSetupRecordSize];
    WritePageSetupRecord(after, book->Document().tree.active->pageSetup);
    if (hr != S_OK) {
        fuzz::Require(std::memcmp(before, after, sizeof after) == 0);
        return 0;
    }
    fuzz::Require(IsPrintablePageSetup(book->Document().tree.active->pageSetup));
    std::shared_ptr<CPageInfoObj> back;
    CPageInfoObj::Create(back);
    fuzz::Require(book->GetPageSettings(back.get()) == S_OK);
    fuzz::Require(std::memcmp(back->Bytes(), after, sizeof after) == 0);
    fuzz::Require(book->PrintAll() == S_OK);
    if (!g_saved.empty()) {
        const std::string fault = reloadcheck::RecordFault(book->Document(), g_saved);
        if (!fault.empty()) std::fprintf(stderr, "%s\n", fault.c_str());
        fuzz::Require(fault.empty());
    }
    return 0;
}
