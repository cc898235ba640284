#include "formula/workbookcontext.h"

#include "formula/evalcontext.h"

#include <new>

namespace vl {

namespace {

void ReleaseEvalContext(CEvalContext* context) {
    delete context;
}

} // namespace

bool AttachEvalContext(CWorkbook& workbook) {
    workbook.evalContext.reset();
    CEvalContext* context = new (std::nothrow) CEvalContext();
    if (!context) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    workbook.evalContext = EvalContextPtr(context, EvalContextRelease{ReleaseEvalContext});
    return true;
}

} // namespace vl
