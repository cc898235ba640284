#pragma once

#include <cstddef>

namespace vl {

// The longest file path every route takes, in the system's bytes: what the system opens
// (PATH_MAX with its terminator) less the room a save needs for its temporary file beside
// the target (".name.~pid.n"), so that every path that loads also saves back. Longer ones
// are refused, never cut: a cut path names another file.
constexpr std::size_t kSystemPathBytes = 4095;
constexpr std::size_t kSaveSiblingRoom = 32;
constexpr std::size_t kMaxPathBytes = kSystemPathBytes - kSaveSiblingRoom;

} // namespace vl
