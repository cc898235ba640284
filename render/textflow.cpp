#include "render/textflow.h"

#include "model/cellrecord.h"
#include "render/canvas.h"

namespace vl {

namespace {

// Widens the span over the empty cells right of it until its right edge reaches `need`;
// whether it got there.
bool FlowRight(TextSpan& span, int32_t need, const TextRow& row) {
    while (need > span.box.right && span.last < row.rightBound &&
           !row.occupied(uint16_t(span.last + 1))) {
        span.last = uint16_t(span.last + 1);
        const int32_t w = row.width(span.last) + 1;
        span.available += w;
        span.box.right += w;
    }
    return need <= span.box.right;
}

bool FlowLeft(TextSpan& span, int32_t need, const TextRow& row) {
    while (need < span.box.left && span.first > row.leftBound &&
           !row.occupied(uint16_t(span.first - 1))) {
        span.first = uint16_t(span.first - 1);
        const int32_t w = row.width(span.first) + 1;
        span.available += w;
        span.box.left -= w;
    }
    return need >= span.box.left;
}

} // namespace

uint32_t TextAlignment(const StyleRecord& style, const uint8_t* cell, bool formulaShown) {
    if (style.horizontalAlignment) return style.horizontalAlignment;
    const bool number =
        cell::IsNumber(cell) ||
        (cell::IsFormula(cell) && !formulaShown &&
         (cell::ResultFlags(cell) & (kResultText | kResultNumber)) == kResultNumber);
    return number ? kAlignRight : kAlignLeft;
}

void FitCellText(CCanvas& canvas, const FontRecord& font, const StyleRecord& style,
                 int32_t available, int32_t rowHeight, uint16_t zoom, RenderedList& text,
                 int32_t& width, int32_t& height) {
    canvas.SelectFont(font, style.rotation, zoom);
    canvas.MeasureTextRun(text, width, height, 0, kMaxRenderedCells);
    if (style.wrapText && width > available) {
        canvas.WrapText(text, available);
        canvas.MeasureTextRun(text, width, height, 0, kMaxRenderedCells);
    } else if (style.fitToCell) {
        FontRecord smaller = font;
        if (smaller.size == 0) smaller.size = DefaultFontRecord().size;
        while (smaller.size > 1 &&
               (width > available || height > rowHeight - style.verticalIndent)) {
            --smaller.size;
            canvas.SelectFont(smaller, style.rotation, zoom);
            canvas.MeasureTextRun(text, width, height, 0, kMaxRenderedCells);
        }
    }
}

TextSpan FlowCellText(const DcRect& box, uint16_t column, int32_t indent, int32_t textWidth,
                      uint32_t align, bool stays, const TextRow& row) {
    TextSpan span{column, column, box, box.right - box.left + 1 - 2 * indent, align, 0};
    // Where the text would end placed by its left or its right edge.
    const auto rightEnd = [&] { return span.box.left + 2 * indent + textWidth - 1; };
    const auto leftEnd = [&] { return span.box.right - 2 * indent - textWidth + 1; };
    if (align == kAlignRight) {
        span.x = box.right - indent;
        if (!stays) FlowLeft(span, leftEnd(), row);
    } else if (align == kAlignCenter) {
        span.x = (box.left + box.right) / 2;
        const bool fitsLeft = stays || FlowLeft(span, span.x - textWidth / 2 - indent + 1, row);
        const bool fitsRight = stays || FlowRight(span, span.x + textWidth / 2 + indent - 1, row);
        if (!fitsLeft) {
            span.align = kAlignLeft;
            span.x = span.box.left + indent;
            FlowRight(span, rightEnd(), row);
        } else if (!fitsRight) {
            span.align = kAlignRight;
            span.x = span.box.right - indent;
            FlowLeft(span, leftEnd(), row);
        }
    } else {
        span.align = kAlignLeft;
        span.x = box.left + indent;
        if (!stays) FlowRight(span, rightEnd(), row);
    }
    return span;
}

} // namespace vl
