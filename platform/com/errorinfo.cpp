#include "platform/com/errorinfo.h"

namespace vl {

namespace {

thread_local std::optional<ErrorInfo> tCurrent;

} // namespace

void SetErrorInfo(ErrorInfo info) {
    tCurrent = std::move(info);
}

std::optional<ErrorInfo> TakeErrorInfo() {
    std::optional<ErrorInfo> info = std::move(tCurrent);
    tCurrent.reset();
    return info;
}

void ClearErrorInfo() {
    tCurrent.reset();
}

} // namespace vl
