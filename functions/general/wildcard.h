#pragma once
// The one pattern matcher of the built-in functions: '*' any run of characters, '?' one
// character, '~' before '*', '?' or '~' takes it literally; case is ignored.

#include <cstdint>
#include <string_view>

namespace vl {

// Search mode (`full` null): the offset in `text` of the first place the pattern matches,
// -1 when none. Full mode: the same offset, and `*full` set when the match found there runs
// to the end of the text; a whole text matches when the result is 0 and `*full` is set.
// An empty pattern matches nothing.
int32_t MatchWildcard(std::string_view pattern, std::string_view text, uint8_t* full);

// True when the whole text matches the pattern.
bool MatchesWholeText(std::string_view pattern, std::string_view text);

} // namespace vl
