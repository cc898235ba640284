#include "formula/celltext.h"
#include "render/canvas.h"
#include "render/metrics.h"
#include "render/sheetpainter.h"

#include <algorithm>
#include <numbers>

namespace vl {

namespace {

bool ShowsNumber(const uint8_t* cell, bool showFormulas) {
    if (cell::IsNumber(cell)) return true;
    return cell::IsFormula(cell) && !showFormulas &&
           (cell::ResultFlags(cell) & (kResultText | kResultNumber)) == kResultNumber;
}

double Radians(int8_t degrees) {
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

// On a printed page the gridline is one printer pixel, far narrower than the screen's at
// the page's scale: the text keeps the rest of that width clear of the cell's sides, so that
// the texts of neighbouring cells never touch.
int32_t CSheetPainter::TextGap() const {
    return page_ ? std::max(0, int32_t(zoom_[0]) / 100 - 1) : 0;
}

bool CSheetPainter::FlowRight(Span& span, int32_t needRight) {
    while (needRight > span.box.right && span.last < kLastColumn &&
           !scan_.Cell(uint16_t(span.last + 1))) {
        const uint16_t next = uint16_t(span.last + 1);
        flags_[next] &= uint8_t(~kNotFlowedInto);
        flags_[span.last] &= uint8_t(~kLineRight);
        const int32_t w = GetColumnWidth(sheet_, next, zoom_[0]) + 1;
        span.available += w;
        span.box.right += w;
        span.last = next;
    }
    return needRight <= span.box.right;
}

bool CSheetPainter::FlowLeft(Span& span, int32_t needLeft) {
    const uint16_t bound = layout_.pins.column ? layout_.pins.pinnedColumn : 0;
    while (needLeft < span.box.left && span.first > bound &&
           !scan_.Cell(uint16_t(span.first - 1))) {
        const uint16_t previous = uint16_t(span.first - 1);
        flags_[previous] &= uint8_t(~(kNotFlowedInto | kLineRight));
        const int32_t w = GetColumnWidth(sheet_, previous, zoom_[0]) + 1;
        span.available += w;
        span.box.left -= w;
        span.first = previous;
    }
    return needLeft >= span.box.left;
}

// The text's reference point and the cells it flows into; the pinned column's text never flows.
void CSheetPainter::PlaceText(const CellPlace& place, int32_t indent, int32_t textWidth,
                              uint32_t& align, int32_t& x, Span& span) {
    const DcRect& box = place.box;
    if (align == kAlignRight) {
        x = box.right - indent;
        if (!place.pinned) FlowLeft(span, box.right - 2 * indent - textWidth + 1);
    } else if (align == kAlignCenter) {
        x = (box.left + box.right) / 2;
        const bool fitsLeft = place.pinned || FlowLeft(span, x - textWidth / 2 - indent + 1);
        const bool fitsRight = place.pinned || FlowRight(span, x + textWidth / 2 + indent - 1);
        if (!fitsLeft) {
            align = kAlignLeft;
            x = span.box.left + indent;
        } else if (!fitsRight) {
            align = kAlignRight;
            x = span.box.right - indent;
        }
    } else {
        x = box.left + indent;
        if (!place.pinned) FlowRight(span, box.left + 2 * indent + textWidth - 1);
    }
}

void CSheetPainter::PaintCell(const CellPlace& place, const uint8_t* cell,
                              const StyleRecord& style) {
    const FontRecord& font = GetFontRecord(workbook_.styles, style.fontRef.fontIndex);
    canvas_.SelectFont(font, style.rotation, zoom_[1]);
    canvas_.SetTextColor(style.fontRef.colorGiven ? style.fontRef.color
                                                  : GetSystemColor(kColorWindowText));
    uint32_t align = style.horizontalAlignment;
    // Paper aligns by the value, even while the formulas themselves are shown.
    if (!align)
        align = ShowsNumber(cell, !page_ && display_.ShowFormulas()) ? kAlignRight : kAlignLeft;
    const uint32_t vertical =
        style.verticalAlignment ? uint32_t(style.verticalAlignment) : uint32_t(kAlignMiddle);

    RenderedList text;
    display_.GetCellDisplayText(cell, style.numberFormat, text);
    int32_t width = 0, height = 0;
    canvas_.MeasureTextRun(text, width, height, 0, kMaxRenderedCells);
    const int32_t gap = TextGap();
    const int32_t indent = int32_t(style.horizontalIndent) + gap;
    Span span{place.column, place.column, place.box, place.width - 2 * indent};
    if (style.wrapText && width > span.available) {
        canvas_.WrapText(text, span.available);
        canvas_.MeasureTextRun(text, width, height, 0, kMaxRenderedCells);
    } else if (style.fitToCell) {
        FontRecord smaller = font;
        if (smaller.size == 0) smaller.size = DefaultFontRecord().size;
        while (smaller.size > 1 &&
               (width > span.available || height > rowHeight_ - style.verticalIndent)) {
            --smaller.size;
            canvas_.SelectFont(smaller, style.rotation, zoom_[1]);
            canvas_.MeasureTextRun(text, width, height, 0, kMaxRenderedCells);
        }
    }

    int32_t x = 0;
    PlaceText(place, indent, width, align, x, span);
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
    const Span span{place.column, place.column, place.box, 0};
    FillBox(place, style, span);
    if (!page_ && style.dropDownList)
        DrawCornerMark(workbook_, canvas_, place.box, kListMarkColor, 2, zoom_);
}

// A fill covers the gridlines right of and below its cells and, past the first painted
// column and row, those left of and above them.
void CSheetPainter::FillBox(const CellPlace& place, const StyleRecord& style, const Span& span) {
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
