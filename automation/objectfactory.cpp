#include "automation/objectfactory.h"

#include "automation/infoobjects.h"
#include "automation/workbookobj.h"

namespace vl {

namespace {

template <class T> HRESULT Make(std::shared_ptr<IAutomationObject>& out) {
    std::shared_ptr<T> obj;
    const HRESULT hr = T::Create(obj);
    out = std::move(obj);
    return hr;
}

} // namespace

HRESULT CreateAutomationObject(const CoClassInfo& cls, std::shared_ptr<IAutomationObject>& out) {
    out.reset();
    if (&cls == &WorkbookClass()) return Make<CWorkbookObj>(out);
    if (&cls == &TextFileInfoClass()) return Make<CTextFileInfoObj>(out);
    if (&cls == &XBaseInfoClass()) return Make<CXBaseInfoObj>(out);
    return REGDB_E_CLASSNOTREG;
}

std::span<const std::string_view> InterfacesOfClass(std::string_view className) {
    static const std::string_view kWorkbook[] = {"IWorksheet", "ITree"};
    static const std::string_view kTextFileInfo[] = {"ITextFileInfo"};
    static const std::string_view kXBaseInfo[] = {"IXBaseInfo"};
    if (className == WorkbookClass().name) return kWorkbook;
    if (className == TextFileInfoClass().name) return kTextFileInfo;
    if (className == XBaseInfoClass().name) return kXBaseInfo;
    return {};
}

} // namespace vl
