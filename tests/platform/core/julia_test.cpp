#include "platform/core/julia.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace vl;

namespace {

// The palette of a new container.
const COLORREF kPalette[16] = {
    0x00FF00, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFFFF00, 0x808080, 0x808000, 0xFF00FF,
    0x008080, 0x800080, 0xFFFFFF, 0x000080, 0x008000, 0x800000, 0xC0C0C0, 0x000000,
};
const JuliaParams kDefaults{0.11, 0.66, -1.1, 1.1, -1.1, 1.1};

} // namespace

TEST(Julia, EntriesOfA4x4PictureAtTheDefaults) {
    const int want[4][4] = {{3, 3, 21, 5}, {3, 5, 25, 15}, {4, 6, 18, 6}, {10, 15, 25, 5}};
    const double d = 2.2 / 4;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(JuliaEntry(-1.1 + x * d, -1.1 + y * d, 0.11, 0.66), want[y][x])
                << x << ", " << y;
    // Meeting |z|^2 = 100 exactly is entry 0.
    EXPECT_EQ(JuliaEntry(0, 0, 10, 0), 0);
    EXPECT_EQ(JuliaEntry(0, 0, 10.001, 0), 1);
}

TEST(Julia, TableEntries) {
    const std::tuple<int, COLORREF> cases[] = {{0, Rgb(0, 131, 0)},    {63, Rgb(124, 255, 124)},
                                               {64, Rgb(131, 131, 0)}, {1023, Rgb(124, 124, 124)},
                                               {31, Rgb(0, 255, 0)},   {32, Rgb(0, 255, 0)}};
    for (const auto& [entry, color] : cases)
        EXPECT_EQ(JuliaTableColor(kPalette, entry), color) << entry;
}

TEST(Julia, RowsShowOnlyWhatIsFinished) {
    PackedDib block;
    uint8_t error = 99;
    ASSERT_TRUE(RenderJuliaRows(block, 0, 1, 4, 4, kPalette, kDefaults, &error));
    std::vector<uint32_t> px;
    int32_t w, h;
    ASSERT_TRUE(DibToPixels32(block, px, w, h));
    EXPECT_EQ(std::tuple(w, h), std::tuple(4, 2));
    EXPECT_EQ(px[0], 0xFF008F00u); // entry 3: (0, 143, 0)
    ASSERT_TRUE(RenderJuliaRows(block, 2, 3, 4, 4, kPalette, kDefaults, &error));
    ASSERT_TRUE(DibToPixels32(block, px, w, h));
    EXPECT_EQ(h, 4);
    const COLORREF c = JuliaTableColor(kPalette, 25); // pixel (2, 3)
    EXPECT_EQ(px[3 * 4 + 2], 0xFF000000u | (RedOf(c) << 16) | (GreenOf(c) << 8) | BlueOf(c));
}

TEST(Julia, SizesOutsideTheLimitsAreRefused) {
    const std::tuple<int32_t, int32_t, uint32_t, bool> cases[] = {
        {1, 1, 0, true},      {0, 1, 0, false}, {32767, 1, 0, true},
        {32768, 1, 0, false}, {4, 4, 3, true},  {4, 4, 4, false}};
    for (const auto& [w, h, last, ok] : cases) {
        PackedDib block;
        uint8_t error = 0;
        EXPECT_EQ(RenderJuliaRows(block, 0, last, w, h, kPalette, kDefaults, &error), ok);
        EXPECT_EQ(error, ok ? 0 : kImageOutOfMemory);
    }
}

TEST(Julia, LargePicturesAreComputedSmallerOfTheSameShape) {
    // 3840 x 2160 is the last size computed whole; one row more is scaled down.
    const std::tuple<int64_t, int64_t, int64_t, int64_t> cases[] = {
        {3840, 2160, 3840, 2160},
        {3840, 2161, 3839, 2160},
        {10000, 10000, 2880, 2880},
        {20000, 5000, 5760, 1440},
        {100000, 10, 32767, 10},
        {1, 40000, 1, 32767},
        {32767, 1, 32767, 1},
        {0, 5, 0, 5},
        {-3, 5, -3, 5},
    };
    for (const auto& [w, h, wantW, wantH] : cases) {
        int64_t width = w, height = h;
        JuliaRenderSize(width, height);
        EXPECT_EQ(std::tuple(width, height), std::tuple(wantW, wantH)) << w << "x" << h;
        if (width > 0 && height > 0) {
            EXPECT_LE(width * height, kMaxJuliaPixels);
        }
    }
}
