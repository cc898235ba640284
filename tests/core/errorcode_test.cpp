#include "core/errorcode.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

TEST(ErrorCode, MessagesOfCodesAcrossTheTable) {
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {
        {1, "Out of memory while loading an image"},
        {8, "Out of memory while creating/editing worksheet data"},
        {9, "A workbook must contain at least one worksheet"},
        {14, "Too many styles in one document"},
        {42, "Error while allocating a file read/write buffer"},
        {44, "Error while decrypting a file"},
        {55, "Ouf of memory while loading an xml document"},
        {60, "Only the UTF-8 encoding is supported"},
        {61, "Too many database fields - max. record size = 64K"},
        {110, "Can't open the Clipboard"},
    };
    for (const Case& c : cases) EXPECT_STREQ(GetErrorMessage(c.code), c.text) << c.code;
}

TEST(ErrorCode, CodesWithoutTextSayNoError) {
    for (int code : {0, 43, 62, 85, 109, 111, 255, -1, 1000})
        EXPECT_STREQ(GetErrorMessage(code), "No error") << code;
}

TEST(ErrorCode, FileFormatMessageHasTwoParagraphs) {
    const std::string text = GetErrorMessage(21);
    EXPECT_EQ(text.find("Invalid Vorlane file format\n\nPlease choose"), 0u);
    EXPECT_EQ(text.back(), '.');
}

TEST(ErrorCode, EveryCodeOneToSixtyOneButFortyThreeHasItsOwnText) {
    for (int code = 1; code <= 61; ++code) {
        if (code == 43) continue;
        EXPECT_STRNE(GetErrorMessage(code), "No error") << code;
    }
}

} // namespace vl
