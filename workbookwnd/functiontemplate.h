#pragma once
// The text Insert Function puts into a cell or the open editor: the function's name and its
// argument names as a call.

#include "functions/general/catalogue.h"

#include <string>

namespace vl {

// "name(a, b)" in the editor, "=name(a, b)" for a cell: names are added while the text stays
// within 1,020 characters with them, and ")" while it is shorter than 1,024.
std::string FunctionTemplateText(const FunctionInfo& row, bool editorOpen);

// The catalogue Insert Function reads: the built-in one, or another a test installs (an
// empty span restores it).
std::span<const FunctionInfo> InsertFunctionCatalogue();
void SetInsertFunctionCatalogue(std::span<const FunctionInfo> rows);

} // namespace vl
