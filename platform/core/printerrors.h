#pragma once
// Refusals of printing beside the codes of errorcode.h; GetErrorMessage gives their texts.

#include "platform/core/errorcode.h"

namespace vl {

// A printout would pass the pages one print job may make.
inline constexpr ErrorCode kErrorTooManyPages = ErrorCode(130);

} // namespace vl
