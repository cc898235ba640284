#pragma once
// The document services of the automation objects over the drawing code: row heights
// measured with a screen canvas, as the window measures them, and image export as PNG at
// 100 %.

#include "automation/documentservices.h"

namespace vl {

class CScreenDocumentServices : public IDocumentServices {
public:
    void AutoFitRows(CWorkbook& workbook, CWorksheet& sheet, uint32_t first,
                     uint32_t last) override;
    bool SaveRangeAsImage(CWorkbook& workbook, const char* sheetPath, const CellRange& range,
                          const char* file, double gamma) override;
    bool SaveContainerAsImage(CWorkbook& workbook, const char* sheetPath, uint16_t containerId,
                              const char* file, double gamma) override;
};

} // namespace vl
