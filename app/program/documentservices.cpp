#include "app/program/documentservices.h"

#include "formula/celltext.h"
#include "formula/workbookcontext.h"
#include "model/workbook.h"
#include "render/canvas.h"
#include "render/metrics.h"

namespace vl {

void CScreenDocumentServices::AutoFitRows(CWorkbook& workbook, CWorksheet& sheet, uint32_t first,
                                          uint32_t last) {
    if (!workbook.evalContext && !AttachEvalContext(workbook)) return;
    CCellDisplay display(*workbook.evalContext, workbook.showFormulas != 0);
    CCanvas canvas;
    canvas.AttachWindow(nullptr);
    AutoFitRowHeights(workbook, display, canvas, sheet, first, last);
}

} // namespace vl
