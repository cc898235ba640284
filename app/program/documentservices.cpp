#include "app/program/documentservices.h"

#include "charts/draw/imageexport.h"
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

bool CScreenDocumentServices::SaveRangeAsImage(CWorkbook& workbook, const char* sheetPath,
                                               const CellRange& range, const char* file,
                                               double gamma) {
    return RenderRangeToBitmap(workbook, sheetPath, range, file, kImageFormatPng, gamma,
                               {100, 100});
}

bool CScreenDocumentServices::SaveContainerAsImage(CWorkbook& workbook, const char* sheetPath,
                                                   uint16_t containerId, const char* file,
                                                   double gamma) {
    return RenderContainerToBitmap(workbook, sheetPath, containerId, file, kImageFormatPng, gamma,
                                   {100, 100});
}

} // namespace vl
