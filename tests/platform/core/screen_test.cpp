#include "platform/core/screen.h"

#include <gtest/gtest.h>

namespace vl {

// The colour values themselves are the table; what is checked is how a code is read.
TEST(Screen, SystemColoursByTheCodesLowByteAndBlackForUnknownCodes) {
    EXPECT_EQ(Rgb(1, 2, 3), 0x030201u);
    EXPECT_EQ(GetSystemColor(kColorHighlight), Rgb(10, 36, 106));
    EXPECT_EQ(GetSystemColor(0x0100 | kColorHighlight), Rgb(10, 36, 106));
    EXPECT_EQ(GetSystemColor(kColorHighlightText), Rgb(255, 255, 255));
    EXPECT_EQ(GetSystemColor(9), Rgb(0, 0, 0));
}

} // namespace vl
