#include "automation/workbookobj.h"

#include "automation/cellreftext.h"
#include "automation/errorreport.h"
#include "automation/typelib.h"
#include "files/workbookopen.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "model/workbook.h"
#include "platform/com/errorinfo.h"

#include <new>
#include <optional>

namespace vl {

HRESULT CWorkbookObj::Create(std::shared_ptr<CWorkbookObj>& out) {
    out.reset();
    std::shared_ptr<CWorkbookObj> obj(new (std::nothrow) CWorkbookObj);
    if (!obj) return E_OUTOFMEMORY;
    obj->doc_ = CreateWorkbook();
    obj->ctx_.reset(new (std::nothrow) CEvalContext);
    if (!obj->doc_ || !obj->ctx_) return E_OUTOFMEMORY;
    out = std::move(obj);
    return S_OK;
}

CWorkbookObj::~CWorkbookObj() = default;

const CoClassInfo& CWorkbookObj::ClassInfo() const {
    return WorkbookClass();
}

HRESULT CWorkbookObj::InterfaceSupportsErrorInfo(const Guid& iid) const {
    return iid == IID_IWorksheet || iid == IID_ITree ? S_OK : S_FALSE;
}

HRESULT CWorkbookObj::get_WorksheetTree(std::shared_ptr<ITree>& tree) {
    tree = std::shared_ptr<ITree>(weak_from_this().lock(), static_cast<ITree*>(this));
    return tree ? S_OK : E_FAIL;
}

HRESULT CWorkbookObj::put_WorksheetTree(ITree*) {
    return S_OK;
}

HRESULT CWorkbookObj::NewDocument() {
    if (!NewWorkbook(*doc_)) return ReportDocumentError(IID_IWorksheet);
    return S_OK;
}

HRESULT CWorkbookObj::UpdateWorksheet() {
    return Recalculate(IID_IWorksheet);
}

HRESULT CWorkbookObj::UpdateWorkbook() {
    return Recalculate(IID_ITree);
}

HRESULT CWorkbookObj::Recalculate(const Guid& iid) {
    if (RecalculateWorkbook(*doc_, *ctx_)) return S_OK;
    return ReportDocumentError(iid);
}

HRESULT CWorkbookObj::ReportDocumentError(const Guid& iid, uint32_t line) {
    const HRESULT hr = ReportAutomationError(doc_->error, iid, line);
    // A save refused for what it would write otherwise says how many values, and of what kind.
    if (!writtenOtherwise_.empty()) {
        if (std::optional<ErrorInfo> info = TakeErrorInfo()) {
            info->description = writtenOtherwise_;
            SetErrorInfo(std::move(*info));
        }
        writtenOtherwise_.clear();
    }
    return hr;
}

CWorksheet* CWorkbookObj::ActiveSheet(HRESULT& hr) {
    CWorksheet* sheet = doc_->tree.active;
    if (!sheet) {
        doc_->error = kErrorNoWorksheet;
        hr = ReportDocumentError(IID_IWorksheet);
        return nullptr;
    }
    ctx_->worksheetList = doc_->tree.first;
    ctx_->currentCells = &sheet->cells;
    hr = S_OK;
    return sheet;
}

HRESULT CWorkbookObj::PrepareCells(const CBstr& text, CWorksheet*& sheet, CellRange& range) {
    ParsedCellRef ref;
    if (!ParseCellRefBstr(text, ref)) return E_INVALIDARG;
    range = RangeOfRef(ref);
    HRESULT hr = S_OK;
    sheet = ActiveSheet(hr);
    return hr;
}

} // namespace vl
