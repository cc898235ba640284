#include "render/paintsheet.h"
#include "render/sheetlayout.h"
#include "rendertest.h"

#include <gtest/gtest.h>

namespace vl {

using rendertest::CFixedMetricsDC;

namespace {

// Painting on a context that measures every character 7 x 14 and records the text it is
// asked to draw instead of drawing it.
class LayoutTest : public rendertest::FixedSheetTest {
protected:
    const CFixedMetricsDC::Output* Find(const std::string& text) const {
        for (const auto& o : dc_.outputs)
            if (o.text == text) return &o;
        return nullptr;
    }

    const DcRect area_{0, 0, 399, 199};
};

} // namespace

TEST_F(LayoutTest, RowHeadingWidensWhenTheLastRowShownReaches100) {
    struct Case {
        uint32_t firstRow;
        uint32_t lastRow;
        int32_t headingWidth;
    } cases[] = {{0, 9, 22}, {89, 98, 22}, {90, 99, 29}}; // the widths themselves: metrics tests
    for (const Case& c : cases) {
        const SheetLayout layout =
            ComputeSheetLayout(canvas_, area_, Sheet(), c.firstRow, 0, {100, 100});
        EXPECT_EQ(std::tuple(layout.lastRow, layout.headingWidth, layout.bandHeight),
                  std::tuple(c.lastRow, c.headingWidth, 14))
            << c.firstRow;
    }
}

TEST_F(LayoutTest, PinnedColumnHeadingComesFirstWhereverTheColumnLies) {
    Sheet().view.freezed = {5, 0, kRefColumn};
    PaintOn(canvas_, area_, 0, 0);
    std::vector<std::string> headings;
    for (const auto& o : dc_.outputs)
        if (o.y < 14) headings.push_back(o.text);
    headings.resize(3);
    EXPECT_EQ(headings, (std::vector<std::string>{"F", "A", "B"}));
    // Its width and gridline are taken from the scrolled part: "A" starts 73 further on.
    const auto* f = Find("F");
    const auto* a = Find("A");
    ASSERT_TRUE(f && a);
    EXPECT_EQ(a->x - f->x, 73);
}

TEST_F(LayoutTest, FitToCellShrinksTheFontToOnePointAndNoFurther) {
    StyleRecord fit;
    fit.fitToCell = 1;
    const FontRecord font = rendertest::Font("Arial", 12);
    SetStyle(1, 1, AddStyle(fit, &font));
    PutText(1, 1, "far too long to fit in any cell at all");
    StyleRecord roomy = fit;
    SetStyle(1, 2, AddStyle(roomy, &font));
    PutText(1, 2, "ok");
    PaintOn(canvas_, area_, 0, 0);
    const auto* shrunk = Find("far too long to fit in any cell at all");
    ASSERT_NE(shrunk, nullptr);
    EXPECT_EQ(shrunk->fontHeight, -1); // 1 point is 1 pixel
    const auto* kept = Find("ok");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->fontHeight, -16); // 12 points, untouched
}

TEST_F(LayoutTest, TextPositionByAlignmentAndIndent) {
    StyleRecord right;
    right.horizontalAlignment = 3;
    right.verticalAlignment = 4;
    right.horizontalIndent = 6;
    right.verticalIndent = 1;
    SetStyle(1, 0, AddStyle(right));
    PutText(1, 0, "r");
    PaintOn(canvas_, area_, 0, 0);
    // Column 1's box runs from 97 to 168, row 0's from 16 to 33 (band 14, heading 22). The
    // default left, middle placement is in every golden image of the sheet.
    const auto* r = Find("r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(std::pair(r->x, r->y), std::pair(168 - 6 + 1, 16 + 1)); // runs x - D + 1 to x
}

} // namespace vl
