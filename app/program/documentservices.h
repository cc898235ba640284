#pragma once
// The document services of the automation objects over the drawing code: row heights
// measured with a screen canvas, as the window measures them.

#include "automation/documentservices.h"

namespace vl {

class CScreenDocumentServices : public IDocumentServices {
public:
    void AutoFitRows(CWorkbook& workbook, CWorksheet& sheet, uint32_t first,
                     uint32_t last) override;
};

} // namespace vl
