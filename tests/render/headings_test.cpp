#include "render/headings.h"

#include <gtest/gtest.h>

namespace vl {

TEST(Headings, ColumnLettersInBijectiveBase26AndR1C1Numbers) {
    struct Case {
        uint16_t column;
        bool a1;
        const char* text;
    } cases[] = {
        {0, true, "A"},      {25, true, "Z"},        {26, true, "AA"},   {51, true, "AZ"},
        {52, true, "BA"},    {701, true, "ZZ"},      {702, true, "AAA"}, {1377, true, "AZZ"},
        {1378, true, "BAA"}, {2046, true, "BZS"},    {2047, true, "?"},  {65535, true, "?"},
        {0, false, "C1"},    {2046, false, "C2047"},
    };
    for (const Case& c : cases) EXPECT_EQ(ColumnHeadingText(c.column, c.a1), c.text) << c.column;
}

} // namespace vl
