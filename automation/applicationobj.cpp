#include "automation/applicationobj.h"

#include "automation/infoobjects.h"
#include "automation/typelib.h"
#include "automation/workbookobj.h"

#include <new>

namespace vl {

const CoClassInfo& ApplicationClass() {
    return CoClasses()[5];
}

HRESULT CApplicationObj::Create(std::shared_ptr<CApplicationObj>& out) {
    out.reset();
    std::shared_ptr<CApplicationObj> obj(new (std::nothrow) CApplicationObj);
    if (!obj) return E_OUTOFMEMORY;
    out = std::move(obj);
    return S_OK;
}

const CoClassInfo& CApplicationObj::ClassInfo() const {
    return ApplicationClass();
}

HRESULT CApplicationObj::InterfaceSupportsErrorInfo(const Guid& iid) const {
    return iid == IID_IDocuments || iid == IID_IOptions ? S_OK : S_FALSE;
}

HRESULT CApplicationObj::CreateXBaseInfo(std::shared_ptr<IAutomationObject>& info) {
    std::shared_ptr<CXBaseInfoObj> obj;
    if (CXBaseInfoObj::Create(obj) != S_OK) return E_FAIL;
    info = std::move(obj);
    return S_OK;
}

HRESULT CApplicationObj::CreateTextFileInfo(std::shared_ptr<IAutomationObject>& info) {
    std::shared_ptr<CTextFileInfoObj> obj;
    if (CTextFileInfoObj::Create(obj) != S_OK) return E_FAIL;
    info = std::move(obj);
    return S_OK;
}

HRESULT CApplicationObj::New(std::shared_ptr<IAutomationObject>& workbook) {
    std::shared_ptr<CWorkbookObj> obj;
    if (CWorkbookObj::Create(obj) != S_OK) return E_FAIL;
    obj->NewDocument();
    workbook = std::move(obj);
    return S_OK;
}

HRESULT CApplicationObj::OpenAs(const CBstr& path, const CBstr& password, int32_t format,
                                ITextFileInfo* text, IXBaseInfo* xbase,
                                std::shared_ptr<IAutomationObject>& out) {
    std::shared_ptr<CWorkbookObj> obj;
    if (CWorkbookObj::Create(obj) != S_OK) return E_FAIL;
    out = obj;
    // The object stays in `out` when the load fails, with its empty tree.
    return obj->Load(path, password, format, text, xbase);
}

HRESULT CApplicationObj::Open(const CBstr& path, const CBstr& password,
                              std::shared_ptr<IAutomationObject>& workbook) {
    return OpenAs(path, password, 0, nullptr, nullptr, workbook);
}

HRESULT CApplicationObj::OpenTextFile(const CBstr& path, ITextFileInfo* info,
                                      std::shared_ptr<IAutomationObject>& workbook) {
    return OpenAs(path, CBstr(), 1, info, nullptr, workbook);
}

HRESULT CApplicationObj::OpenDatabase(const CBstr& path, IXBaseInfo* info,
                                      std::shared_ptr<IAutomationObject>& workbook) {
    int32_t format = 0;
    if (!info || info->GetXBaseFormat(format) != S_OK) return E_FAIL;
    // Any other number would load the file as another kind.
    if (format < typelib::FILE_FORMAT_DBIII || format > typelib::FILE_FORMAT_CLIPPER)
        return E_INVALIDARG;
    return OpenAs(path, CBstr(), format, nullptr, info, workbook);
}

HRESULT CApplicationObj::OpenExcelFile(const CBstr& path,
                                       std::shared_ptr<IAutomationObject>& workbook) {
    return OpenAs(path, CBstr(), 2, nullptr, nullptr, workbook);
}

HRESULT CApplicationObj::get_Options(std::shared_ptr<IAutomationObject>& options) {
    options = weak_from_this().lock();
    return options ? S_OK : E_FAIL;
}

HRESULT CApplicationObj::put_Options(IOptions*) {
    return S_OK;
}

} // namespace vl
