#include "platform/core/screen.h"

#include <gtest/gtest.h>

namespace vl {

TEST(Screen, SystemColoursByCodeAndBlackForUnknownCodes) {
    EXPECT_EQ(GetSystemColor(2), Rgb(255, 255, 255));
    EXPECT_EQ(GetSystemColor(3), Rgb(212, 208, 200));
    EXPECT_EQ(GetSystemColor(7), Rgb(10, 36, 106));
    EXPECT_EQ(GetSystemColor(0x0107), Rgb(10, 36, 106)); // only the low byte counts
    EXPECT_EQ(GetSystemColor(8), Rgb(0, 0, 0));
    EXPECT_EQ(Rgb(1, 2, 3), 0x030201u);
}

TEST(Screen, DefaultPaletteAndMetrics) {
    COLORREF p[16];
    GetDefaultPalette16(p);
    EXPECT_EQ(p[0], Rgb(0, 0, 0));
    EXPECT_EQ(p[1], Rgb(128, 0, 0));
    EXPECT_EQ(p[8], Rgb(192, 192, 192));
    EXPECT_EQ(p[9], Rgb(255, 0, 0));
    EXPECT_EQ(p[15], Rgb(255, 255, 255));
    EXPECT_EQ(GetDefaultRowHeight(), 18);
    EXPECT_EQ(GetDefaultColumnWidth(), 72);
}

} // namespace vl
