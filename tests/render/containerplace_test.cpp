#include "model/container.h"
#include "render/containerbackground.h"
#include "render/containerplace.h"
#include "rendertest.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vl {

namespace {

// Default sizes: columns 72 and rows 18 pixels at 100 %, each with its gridline.
class Placement : public ::testing::Test, public rendertest::SheetFixture {
protected:
    CContainer& Add(uint16_t column, uint32_t row, int32_t l, int32_t t, int32_t r, int32_t b) {
        auto c = NewBlockObject<CContainer>();
        c->settings.anchor.column = column;
        c->settings.anchor.row = row;
        c->settings.left = l;
        c->settings.top = t;
        c->settings.right = r;
        c->settings.bottom = b;
        CContainer& ref = *c;
        LinkContainer(Sheet(), std::move(c));
        return ref;
    }
    const DcRect origin_{30, 20, 600, 400};
};

} // namespace

TEST_F(Placement, RectanglesTable) {
    // anchor column, row, offsets, first column, row, zoom, visible, rectangle
    struct Case {
        uint16_t column;
        uint32_t row;
        int32_t l, t, r, b;
        uint16_t firstColumn;
        uint32_t firstRow;
        ZoomPair zoom;
        bool visible;
        DcRect rect;
    };
    const Case cases[] = {
        {0, 0, 10, 5, 109, 54, 0, 0, {100, 100}, true, {40, 25, 139, 74}},
        {1, 2, 15, 3, 40, 20, 0, 0, {50, 50}, true, {30 + 37 + 7, 20 + 2 * 10 + 1, 87, 50}},
        // Anchored one column left of the view and reaching into it.
        {0, 0, 50, 0, 149, 9, 1, 0, {100, 100}, true, {30 - 23, 20, 30 + 76, 29}},
        // Wholly left of the view: 73 - 10 passes the 60 pixels it is wide.
        {0, 0, 10, 0, 69, 9, 1, 0, {100, 100}, false, {}},
        // Anchored right of the area.
        {9, 0, 0, 0, 9, 9, 0, 0, {100, 100}, false, {}},
        // Below the area.
        {0, 30, 0, 0, 9, 9, 0, 0, {100, 100}, false, {}},
    };
    for (const Case& c : cases) {
        CContainer& box = Add(c.column, c.row, c.l, c.t, c.r, c.b);
        DcRect rect{-1, -1, -1, -1};
        EXPECT_EQ(GetObjectRect(Sheet(), origin_, c.firstRow, c.firstColumn, box, rect, c.zoom),
                  c.visible)
            << c.column << " " << c.l;
        if (c.visible) {
            EXPECT_EQ(std::tuple(rect.left, rect.top, rect.right, rect.bottom),
                      std::tuple(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom))
                << c.column << " " << c.l;
        }
        UnlinkContainer(Sheet(), &box);
    }
}

TEST_F(Placement, ExcludedColumnsAreLeftOutOfTheWalk) {
    CContainer& box = Add(2, 0, 4, 0, 13, 9);
    ExcludedLines skip;
    skip.column = [](uint16_t c) { return c == 1; };
    DcRect rect;
    ASSERT_TRUE(GetObjectRect(Sheet(), origin_, 0, 0, box, rect, {100, 100}, skip));
    EXPECT_EQ(rect.left, 30 + 73 + 4);
}

TEST_F(Placement, ReanchoringKeepsTheSize) {
    CContainer& box = Add(1, 1, 5, 6, 104, 56);
    // rectangle left, top, zoom, first column and row -> anchor column, row, Left, Top
    const std::tuple<int32_t, int32_t, ZoomPair, uint16_t,
                     std::tuple<uint16_t, uint32_t, int32_t, int32_t>>
        cases[] = {
            {30 + 146 + 3, 20 + 38 + 2, {100, 100}, 0, {2, 2, 3, 2}},
            {30 + 73, 20, {100, 100}, 0, {0, 0, 73, 0}},
            {30 + 37 + 10, 20 + 10 + 4, {50, 50}, 0, {1, 1, 20, 8}},
            {30 - 73 + 5, 20, {100, 100}, 2, {1, 0, 5, 0}},
        };
    for (const auto& [left, top, zoom, first, want] : cases) {
        AnchorContainer(Sheet(), origin_, 0, first, box, {left, top, left + 50, top + 50}, zoom);
        const ContainerSettings& s = box.settings;
        EXPECT_EQ(std::tuple(s.anchor.column, s.anchor.row, s.left, s.top), want) << left;
        EXPECT_EQ(std::tuple(s.right - s.left, s.bottom - s.top), std::tuple(99, 50));
    }
}

TEST(FrameBox, EightHandles) {
    DcRect h[8];
    FrameBoxHandles({10, 20, 61, 91}, h);
    const DcRect want[8] = {{10, 20, 15, 25}, {33, 20, 38, 25}, {56, 20, 61, 25}, {56, 53, 61, 58},
                            {56, 86, 61, 91}, {33, 86, 38, 91}, {10, 86, 15, 91}, {10, 53, 15, 58}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(std::tuple(h[i].left, h[i].top, h[i].right, h[i].bottom),
                  std::tuple(want[i].left, want[i].top, want[i].right, want[i].bottom))
            << i;
}

TEST(Captions, MarginsTable) {
    const std::tuple<uint16_t, int32_t> cases[] = {{10, 1}, {24, 1},  {25, 1},
                                                   {50, 2}, {100, 4}, {200, 8}};
    for (const auto& [zoom, margin] : cases) EXPECT_EQ(CaptionMargin(zoom), margin) << zoom;
}

} // namespace vl
