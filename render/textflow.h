#pragma once
// How far a cell's text reaches along its row: one measurement that painting places and clips
// the text by and pagination counts a page's columns by. The text is measured as it shows
// (wrapped or shrunk to its cell when its style asks), then flows over the neighbours that
// hold no cell record, in the direction of its alignment: a centred text flows both ways, and
// one that still does not fit on one side takes that side's alignment and flows on the other,
// as far as a text of that alignment would.

#include "model/styles.h"
#include "platform/gui/gdi.h"
#include "values/numfmt_render.h"

#include <cstdint>
#include <functional>

namespace vl {

class CCanvas;

// What the flow asks of the cell's row.
struct TextRow {
    std::function<bool(uint16_t)> occupied; // the column holds a cell record
    std::function<int32_t(uint16_t)> width; // a column's width at the zoom
    uint16_t leftBound = 0;                 // the text never flows left of this column
    uint16_t rightBound = 0;                // nor right of this one
};

struct TextSpan {
    uint16_t first = 0, last = 0; // the columns the text covers
    DcRect box;                   // the cell's box widened over them
    int32_t available = 0;        // the width the text may take
    uint32_t align = 0;           // the alignment the text is placed by
    int32_t x = 0;                // its reference point
};

// On paper the gridline is one printer pixel, far narrower than the screen's at the page's
// scale: the text keeps the rest of that width clear of the cell's sides.
inline int32_t PrintedTextGap(uint16_t zoom) {
    return zoom / 100 > 1 ? int32_t(zoom / 100) - 1 : 0;
}

// The alignment a cell's text is placed by: its style's, else a number's (a formula's by its
// result, unless `formulaShown` shows the formula itself) at the right and any other at the
// left.
uint32_t TextAlignment(const StyleRecord& style, const uint8_t* cell, bool formulaShown);

// Wraps the text into `available` or shrinks its font until it fits the cell, as the style
// asks, with the cell's font selected into the canvas at `zoom`; `width` and `height` are then
// the text's size.
void FitCellText(CCanvas& canvas, const FontRecord& font, const StyleRecord& style,
                 int32_t available, int32_t rowHeight, uint16_t zoom, RenderedList& text,
                 int32_t& width, int32_t& height);

// The span of a text `textWidth` wide in the cell at `column` whose box (inside its
// gridlines) is `box`, placed by `align` (left, centre or right; any other code as left) with
// `indent` on each side. A text that `stays` (the pinned column's) never flows.
TextSpan FlowCellText(const DcRect& box, uint16_t column, int32_t indent, int32_t textWidth,
                      uint32_t align, bool stays, const TextRow& row);

} // namespace vl
