#pragma once
// The error information of the last failed call, kept per calling thread as the system's
// error object is: a failing method sets it, the caller takes it once.

#include "platform/com/guid.h"

#include <optional>
#include <string>

namespace vl {

struct ErrorInfo {
    Guid iid;                // the interface whose method failed
    std::string source;      // UTF-8
    std::string description; // UTF-8
};

void SetErrorInfo(ErrorInfo info);
// The information set since it was last taken, if any; taking it clears it.
std::optional<ErrorInfo> TakeErrorInfo();
void ClearErrorInfo();

} // namespace vl
