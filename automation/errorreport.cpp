#include "automation/errorreport.h"

#include "platform/com/bstr.h"
#include "platform/com/errorinfo.h"
#include "resources/strings.h"
#include "values/inttext.h"

namespace vl {

namespace {

// The description buffer of the error object.
constexpr size_t kMaxDescription = 1024;

} // namespace

std::string AutomationErrorMessage(ErrorCode code, uint32_t line) {
    std::string text = GetErrorMessage(code);
    if (code >= kErrorXmlMemory && code <= kErrorXmlData && line != 0) {
        text += "\nLine: ";
        AppendUnsigned(text, line);
    }
    if (text.size() > kMaxDescription) text.resize(kMaxDescription);
    return std::string(CBstr::FromAnsi(text).Utf8());
}

HRESULT ReportAutomationError(ErrorCode code, const Guid& iid, uint32_t line) {
    ErrorInfo info;
    info.iid = iid;
    info.source = std::string(CBstr::FromAnsi(LoadAppString(IDR_MAINFRAME)).Utf8());
    info.description = AutomationErrorMessage(code, line);
    SetErrorInfo(std::move(info));
    return HResultFromErrorCode(code);
}

} // namespace vl
