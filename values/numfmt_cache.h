#pragma once
// Compiled number-format codes for the renderers. Codes are stored as text; compiling
// one costs more than rendering a value through it, so a few recent compilations are
// kept, keyed by the code text and the separators it was read with. The cache changes
// no result: a hit returns exactly what a fresh compile would.

#include "core/settings.h"
#include "values/numfmt_compile.h"

#include <string_view>

namespace vl {

// The compiled form of `code` read with `set` (the internal set when null), or null
// when the code does not compile. The pointer stays valid until the next call.
const CompiledFormat* CompileCachedFormat(std::string_view code, const SeparatorSet* set = nullptr);

// On by default; off, every call compiles afresh (for measurements and tests).
void SetFormatCacheEnabled(bool enabled);

} // namespace vl
