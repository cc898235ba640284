#pragma once
// Refusals of the structural edits, beside the codes of errorcode.h; GetErrorMessage gives
// their texts.

#include "platform/core/errorcode.h"

namespace vl {

// An edit would move part of an array formula's area.
inline constexpr ErrorCode kErrorArrayCut = ErrorCode(121);
// A transposition would scatter a range a formula reads.
inline constexpr ErrorCode kErrorRangeScattered = ErrorCode(122);
// A worksheet or folder name would hold a backslash.
inline constexpr ErrorCode kErrorNameBackslash = ErrorCode(123);

} // namespace vl
