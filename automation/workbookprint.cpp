// The printing methods of IWorksheet: each stores what to print in the active worksheet's
// page setup and prints it through the document services, without a window or a dialog.
#include "automation/cellreftext.h"
#include "automation/documentservices.h"
#include "automation/workbookobj.h"
#include "model/container.h"
#include "model/workbook.h"

#include <cstring>

namespace vl {

namespace {

constexpr int32_t kLastContainerId = 65535;

} // namespace

HRESULT CWorkbookObj::PrintDocument(CWorksheet& sheet) {
    doc_->error = kErrorNone;
    IDocumentServices* services = GetDocumentServices();
    if (!services) {
        doc_->error = kErrorNoPrinter;
        return S_FALSE;
    }
    const std::string path = doc_->stream.GetPath();
    return services->PrintWorksheet(*doc_, *ctx_, sheet, path.c_str()) ? S_OK : S_FALSE;
}

HRESULT CWorkbookObj::PrintAll() {
    HRESULT hr = S_OK;
    CWorksheet* sheet = ActiveSheet(hr);
    if (!sheet) return hr;
    sheet->pageSetup.printRangeKind = kPrintAll;
    return PrintDocument(*sheet);
}

HRESULT CWorkbookObj::PrintRange(const CBstr& text) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    // A cell range of its own: a selection (kind 3) would be resolved again from the view.
    MakeRangeDescriptor(r, &sheet->pageSetup.printRange);
    sheet->pageSetup.printRangeKind = kPrintCellRange;
    return PrintDocument(*sheet);
}

HRESULT CWorkbookObj::PrintPages(const CBstr& pages) {
    HRESULT hr = S_OK;
    CWorksheet* sheet = ActiveSheet(hr);
    if (!sheet) return hr;
    std::string text;
    // A list cut to fit the record would print other pages than asked.
    if (!pages.ToAnsi(kPageTextSize, text)) {
        doc_->error = kErrorInvalidPageList;
        return S_FALSE;
    }
    PageSetupRecord& setup = sheet->pageSetup;
    std::memset(setup.pages, 0, sizeof setup.pages);
    std::memcpy(setup.pages, text.data(), text.size());
    setup.printRangeKind = kPrintPageList;
    return PrintDocument(*sheet);
}

HRESULT CWorkbookObj::PrintContainer(int32_t containerId) {
    HRESULT hr = S_OK;
    CWorksheet* sheet = ActiveSheet(hr);
    if (!sheet) return hr;
    if (containerId < 1 || containerId > kLastContainerId ||
        !FindContainer(*sheet, uint16_t(containerId))) {
        doc_->error = kErrorContainerNotFound;
        return S_FALSE;
    }
    sheet->pageSetup.printedContainer = uint16_t(containerId);
    sheet->pageSetup.printRangeKind = kPrintContainer;
    return PrintDocument(*sheet);
}

} // namespace vl
