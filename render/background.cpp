#include "render/background.h"

#include "render/canvas.h"

namespace vl {

void PaintSheetBackground(const CWorkbook&, CCanvas& canvas, const CWorksheet& sheet,
                          const DcRect& rect) {
    const BackgroundRecord& background = sheet.view.background;
    if (background.kind != kBackgroundPattern) return;
    canvas.SetPen(FORMAT_LINE_NULL, 0, 100);
    canvas.SelectFill(background.pattern);
    canvas.FillRectWithPattern(rect);
}

} // namespace vl
