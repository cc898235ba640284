#pragma once
// The evaluator context a workbook owns. The model holds it as an opaque pointer; this layer
// makes it and gives the workbook the function that releases it.

#include "model/workbook.h"

namespace vl {

// Gives the workbook a fresh evaluator context (replacing any it had); false, with error 8
// and no context, when its memory could not be had.
bool AttachEvalContext(CWorkbook& workbook);
// The workbook's context, or null before one is attached.
inline CEvalContext* WorkbookEvalContext(CWorkbook& workbook) {
    return workbook.evalContext.get();
}

} // namespace vl
