#include "automation/objectfactory.h"

#include "automation/workbookobj.h"

namespace vl {

HRESULT CreateAutomationObject(const CoClassInfo& cls, std::shared_ptr<IAutomationObject>& out) {
    out.reset();
    if (&cls != &WorkbookClass()) return REGDB_E_CLASSNOTREG;
    std::shared_ptr<CWorkbookObj> obj;
    const HRESULT hr = CWorkbookObj::Create(obj);
    out = std::move(obj);
    return hr;
}

std::span<const std::string_view> InterfacesOfClass(std::string_view className) {
    static const std::string_view kWorkbook[] = {"IWorksheet", "ITree"};
    if (className == WorkbookClass().name) return kWorkbook;
    return {};
}

} // namespace vl
