#include "automation/objectfactory.h"

#include "automation/applicationobj.h"
#include "automation/formatinfo.h"
#include "automation/infoobjects.h"
#include "automation/pageinfo.h"
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
    if (&cls == &FormatInfoClass()) return Make<CFormatInfoObj>(out);
    if (&cls == &PageInfoClass()) return Make<CPageInfoObj>(out);
    if (&cls == &ApplicationClass()) return Make<CApplicationObj>(out);
    return REGDB_E_CLASSNOTREG;
}

std::span<const std::string_view> InterfacesOfClass(std::string_view className) {
    static const std::string_view kWorkbook[] = {"IWorksheet", "ITree"};
    static const std::string_view kTextFileInfo[] = {"ITextFileInfo"};
    static const std::string_view kXBaseInfo[] = {"IXBaseInfo"};
    static const std::string_view kFormatInfo[] = {"IFormatInfo"};
    static const std::string_view kPageInfo[] = {"IPageInfo"};
    static const std::string_view kApplication[] = {"IDocuments", "IOptions"};
    if (className == WorkbookClass().name) return kWorkbook;
    if (className == TextFileInfoClass().name) return kTextFileInfo;
    if (className == XBaseInfoClass().name) return kXBaseInfo;
    if (className == FormatInfoClass().name) return kFormatInfo;
    if (className == PageInfoClass().name) return kPageInfo;
    if (className == ApplicationClass().name) return kApplication;
    return {};
}

} // namespace vl
