#include "render/headings.h"

#include "core/settings.h"
#include "formula/cellref.h"
#include "render/canvas.h"
#include "render/metrics.h"
#include "values/inttext.h"

namespace vl {

namespace {

// The heading box's frame and inside, then its text centred and clipped to the inside.
void DrawHeadingBox(CCanvas& canvas, const DcRect& box, std::string_view text) {
    const DcPoint frame[5] = {{box.left, box.top},
                              {box.right, box.top},
                              {box.right, box.bottom},
                              {box.left, box.bottom},
                              {box.left, box.top}};
    canvas.DrawPolyline(frame, 5);
    const DcRect inside{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    canvas.FillRect(inside);
    CCanvas clipped;
    clipped.AttachSavedDC(canvas);
    clipped.IntersectClip({inside.left, inside.top, inside.right + 1, inside.bottom + 1});
    clipped.DrawTextInRect((box.left + box.right + 1) / 2, (box.top + box.bottom + 1) / 2, text, {},
                           box.right - box.left - 1, 0);
    clipped.DetachSavedDC();
}

} // namespace

std::string ColumnHeadingText(uint16_t column, bool addressingA1) {
    std::string text;
    if (!addressingA1) return "C" + IntText(int64_t(column) + 1);
    if (column > kLastColumn) return "?";
    AppendColumnLetters(text, column);
    return text;
}

void PaintSheetHeadings(const CWorkbook&, CCanvas& canvas, const DcRect& area, CWorksheet& sheet,
                        uint16_t firstColumn, uint32_t firstRow, uint16_t lastColumn,
                        uint32_t lastRow, int32_t headingWidth, int32_t bandHeight, ZoomPair zoom) {
    const PinnedPanes pins = GetPinnedPanes(sheet);
    const int32_t right = area.left + headingWidth + 1;
    const int32_t bottom = area.top + bandHeight + 1;
    const DcPoint corner[5] = {{area.left, area.top},
                               {right, area.top},
                               {right, bottom},
                               {area.left, bottom},
                               {area.left, area.top}};
    canvas.DrawPolyline(corner, 5);
    canvas.FillRect({area.left + 1, area.top + 1, right - 1, bottom - 1});

    const bool a1 = Profile().addressingA1 != 0;
    int32_t x = right;
    auto column = [&](uint16_t c) {
        const int32_t w = GetColumnWidth(sheet, c, zoom[0]);
        DrawHeadingBox(canvas, {x, area.top, x + w + 1, bottom}, ColumnHeadingText(c, a1));
        x += w + 1;
    };
    if (pins.column) column(pins.pinnedColumn);
    for (uint32_t c = firstColumn; c <= lastColumn; ++c) column(uint16_t(c));

    int32_t y = bottom;
    auto row = [&](uint32_t r) {
        const int32_t h = GetRowHeight(sheet, r, zoom[1]);
        DrawHeadingBox(canvas, {area.left, y, right, y + h + 1}, IntText(int64_t(r) + 1));
        y += h + 1;
    };
    if (pins.row) row(pins.pinnedRow);
    for (uint32_t r = firstRow; r <= lastRow; ++r) row(r);
}

} // namespace vl
