// How far a cell's text reaches along its row, the one measurement painting and pagination
// share: each alignment, a neighbour that stops the flow, the row's bounds, the pinned column,
// and a centred text that does not fit on one side.

#include "render/canvas.h"
#include "render/textflow.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace vl {

namespace {

// Uneven columns 0 to 7; a cell's box runs inside its gridlines, one pixel between columns.
const std::vector<int32_t> kWidths{40, 60, 30, 50, 70, 20, 45, 55};

DcRect BoxOf(uint16_t column) {
    int32_t left = 1;
    for (uint16_t c = 0; c < column; ++c) left += kWidths[c] + 1;
    return {left, 1, left + kWidths[column] - 1, 19};
}

struct FlowCase {
    const char* what;
    uint16_t column;
    uint32_t align;
    int32_t textWidth;
    std::set<uint16_t> occupied;
    uint16_t leftBound;
    bool stays;
    // Expected:
    uint16_t first, last;
    uint32_t placedBy;
    int32_t x;
};

} // namespace

TEST(TextFlow, SpansByAlignmentNeighboursAndBounds) {
    constexpr int32_t kIndent = 2;
    const FlowCase cases[] = {
        {"left inside", 2, kAlignLeft, 20, {}, 0, false, 2, 2, kAlignLeft, 105},
        {"left filling its cell", 2, kAlignLeft, 26, {}, 0, false, 2, 2, kAlignLeft, 105},
        {"left a pixel wider", 2, kAlignLeft, 27, {}, 0, false, 2, 3, kAlignLeft, 105},
        {"left over two", 2, kAlignLeft, 100, {}, 0, false, 2, 4, kAlignLeft, 105},
        {"left stopped by a record", 2, kAlignLeft, 100, {4}, 0, false, 2, 3, kAlignLeft, 105},
        {"left beside a record", 2, kAlignLeft, 100, {3}, 0, false, 2, 2, kAlignLeft, 105},
        {"left to the row's end", 6, kAlignLeft, 200, {}, 0, false, 6, 7, kAlignLeft, 279},
        {"a file's unknown code as left", 2, 4, 27, {}, 0, false, 2, 3, kAlignLeft, 105},
        {"right filling its cell", 2, kAlignRight, 26, {}, 0, false, 2, 2, kAlignRight, 130},
        {"right a pixel wider", 2, kAlignRight, 27, {}, 0, false, 1, 2, kAlignRight, 130},
        {"right to column 0", 2, kAlignRight, 100, {}, 0, false, 0, 2, kAlignRight, 130},
        {"right stopped by a record", 2, kAlignRight, 100, {0}, 0, false, 1, 2, kAlignRight, 130},
        {"right stopped by the pinned column",
         2,
         kAlignRight,
         100,
         {},
         1,
         false,
         1,
         2,
         kAlignRight,
         130},
        {"centre inside", 3, kAlignCenter, 40, {}, 0, false, 3, 3, kAlignCenter, 158},
        {"centre both ways", 3, kAlignCenter, 60, {}, 0, false, 2, 4, kAlignCenter, 158},
        {"centre in column 0 flows right as left text",
         0,
         kAlignCenter,
         150,
         {},
         0,
         false,
         0,
         3,
         kAlignLeft,
         3},
        {"centre in column 0 stopped by a record",
         0,
         kAlignCenter,
         150,
         {2},
         0,
         false,
         0,
         1,
         kAlignLeft,
         3},
        {"centre against the row's end",
         6,
         kAlignCenter,
         150,
         {},
         0,
         false,
         4,
         7,
         kAlignCenter,
         299},
        {"centre stopped on the right flows left as right text",
         6,
         kAlignCenter,
         150,
         {7},
         0,
         false,
         3,
         6,
         kAlignRight,
         319},
        {"the pinned column's text stays",
         0,
         kAlignCenter,
         150,
         {},
         0,
         true,
         0,
         0,
         kAlignCenter,
         20},
    };
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(c.what);
        TextRow row;
        row.occupied = [&c](uint16_t column) { return c.occupied.count(column) != 0; };
        row.width = [](uint16_t column) { return kWidths[column]; };
        row.leftBound = c.leftBound;
        row.rightBound = uint16_t(kWidths.size() - 1);
        const DcRect box = BoxOf(c.column);
        const TextSpan span =
            FlowCellText(box, c.column, kIndent, c.textWidth, c.align, c.stays, row);
        EXPECT_EQ(span.first, c.first);
        EXPECT_EQ(span.last, c.last);
        EXPECT_EQ(span.align, c.placedBy);
        EXPECT_EQ(span.x, c.x);
        // The box and the width the text may take are the covered columns'.
        EXPECT_EQ(span.box.left, BoxOf(c.first).left);
        EXPECT_EQ(span.box.right, BoxOf(c.last).right);
        EXPECT_EQ(span.box.top, box.top);
        EXPECT_EQ(span.available, span.box.right - span.box.left + 1 - 2 * kIndent);
    }
}

} // namespace vl
