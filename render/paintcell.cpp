#include "formula/celltext.h"
#include "render/canvas.h"
#include "render/metrics.h"
#include "render/sheetpainter.h"
#include "render/textflow.h"

#include <algorithm>
#include <numbers>

namespace vl {

namespace {

double Radians(int8_t degrees) {
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

int32_t CSheetPainter::TextGap() const {
    return page_ ? PrintedTextGap(zoom_[0]) : 0;
}

// The cells a text covers lose their gridlines between them and show no fill of their own.
void CSheetPainter::MarkFlowedInto(const CellPlace& place, const TextSpan& span) {
    for (uint32_t c = span.first; c < place.column; ++c)
        flags_[c] &= uint8_t(~(kNotFlowedInto | kLineRight));
    for (uint32_t c = uint32_t(place.column) + 1; c <= span.last; ++c) {
        flags_[c] &= uint8_t(~kNotFlowedInto);
        flags_[c - 1] &= uint8_t(~kLineRight);
    }
}

void CSheetPainter::PaintCell(const CellPlace& place, const uint8_t* cell,
                              const StyleRecord& style) {
    const FontRecord& font = GetFontRecord(workbook_.styles, style.fontRef.fontIndex);
    canvas_.SetTextColor(style.fontRef.colorGiven ? style.fontRef.color
                                                  : GetSystemColor(kColorWindowText));
    // Paper aligns by the value, even while the formulas themselves are shown.
    uint32_t align = TextAlignment(style, cell, !page_ && display_.ShowFormulas());
    const uint32_t vertical =
        style.verticalAlignment ? uint32_t(style.verticalAlignment) : uint32_t(kAlignMiddle);

    RenderedList text;
    display_.GetCellDisplayText(cell, style.numberFormat, text);
    const int32_t gap = TextGap();
    const int32_t indent = int32_t(style.horizontalIndent) + gap;
    int32_t width = 0, height = 0;
    FitCellText(canvas_, font, style, place.width - 2 * indent, rowHeight_, zoom_[1], text, width,
                height);
    TextRow row;
    row.occupied = [this](uint16_t c) { return scan_.Cell(c) != nullptr; };
    row.width = [this](uint16_t c) { return GetColumnWidth(sheet_, c, zoom_[0]); };
    row.leftBound = layout_.pins.column ? layout_.pins.pinnedColumn : 0;
    row.rightBound = kLastColumn;
    TextSpan span = FlowCellText(place.box, place.column, indent, width, align, place.pinned, row);
    if (!place.pinned) MarkFlowedInto(place, span);
    align = span.align;
    const int32_t x = span.x;
    const DcRect& box = place.box;
    const int32_t y = vertical == kAlignTop      ? box.top + style.verticalIndent
                      : vertical == kAlignMiddle ? (box.top + box.bottom) / 2
                                                 : box.bottom - style.verticalIndent;
    // Text that flows left out of the scrolled part stops at its first pixel, off the pinned
    // column and the headings.
    const int32_t leftmost = (place.pinned ? cellsLeft_ : scrolledLeft_) + 1;
    span.box.left = std::max(span.box.left, leftmost);
    // On paper the page's edge is the end: the text goes on, if at all, on the next page.
    if (page_) span.box.right = std::min(span.box.right, area_.right);
    if (span.box.left >= area_.right || span.box.right <= cellsLeft_) return;
    FillBox(place, style, span);
    if (width > span.available) canvas_.EllipsizeText(text, span.available);

    canvas_.SetTextAlign(align, vertical);
    CCanvas clipped;
    clipped.AttachSavedDC(canvas_);
    clipped.IntersectClip(
        {span.box.left + gap, span.box.top, span.box.right + 1 - gap, span.box.bottom + 1});
    clipped.DrawRotatedText(x, y, text, span.available, Radians(style.rotation));
    // The markers help the one editing the sheet: printed pages go without them.
    if (!page_ && cell::IsFormula(cell))
        DrawCornerMark(workbook_, clipped, box, kFormulaMarkColor, 0, zoom_);
    if (!page_ && style.dropDownList)
        DrawCornerMark(workbook_, clipped, box, kListMarkColor, 2, zoom_);
    clipped.DetachSavedDC();
}

void CSheetPainter::PaintEmptyCell(const CellPlace& place, const StyleRecord& style) {
    TextSpan span;
    span.first = span.last = place.column;
    span.box = place.box;
    FillBox(place, style, span);
    if (!page_ && style.dropDownList)
        DrawCornerMark(workbook_, canvas_, place.box, kListMarkColor, 2, zoom_);
}

// A fill covers the gridlines right of and below its cells and, past the first painted
// column and row, those left of and above them.
void CSheetPainter::FillBox(const CellPlace& place, const StyleRecord& style,
                            const TextSpan& span) {
    if (style.fill.pattern == FORMAT_PAT_NONE) return;
    if (place.pinned) {
        pinnedFlags_ &= uint8_t(~(kLineRight | kLineBelow));
    } else {
        if (span.first != 0) flags_[span.first - 1] &= uint8_t(~(kLineRight | kLineCorner));
        for (uint32_t c = span.first; c <= span.last; ++c)
            flags_[c] &= uint8_t(~(kLineRight | kLineBelow));
    }
    // Never over the headings' frame line.
    const bool growLeft = span.box.left - 1 > cellsLeft_;
    DcRect fill = span.box;
    InflateRectBy(fill, growLeft ? 1 : 0, firstRowSeen_ ? 0 : 1, 1, 1);
    canvas_.SelectFill(style.fill);
    canvas_.FillRect(fill);
}

} // namespace vl
