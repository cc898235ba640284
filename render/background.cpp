#include "render/background.h"

#include "render/canvas.h"
#include "render/imagesource.h"

namespace vl {

void PaintSheetBackground(CWorkbook& workbook, CCanvas& canvas, const CWorksheet& sheet,
                          const DcRect& rect) {
    const BackgroundRecord& background = sheet.view.background;
    if (background.kind == kBackgroundImage) {
        if (!background.imagePath[0]) return;
        if (const PackedDib* picture = LoadNamedImage(workbook, background.imagePath))
            canvas.DrawDib(rect.left, rect.top, rect.right, rect.bottom, *picture,
                           background.imageView, 100, 100);
        return;
    }
    if (background.kind != kBackgroundPattern) return;
    canvas.SetPen(FORMAT_LINE_NULL, 0, 100);
    canvas.SelectFill(background.pattern);
    canvas.FillRectWithPattern(rect);
}

} // namespace vl
