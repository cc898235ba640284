#include "core/integerlist.h"

#include <gtest/gtest.h>

namespace vl {

TEST(IntegerList, NumberRangesAsTyped) {
    using Pairs = std::vector<std::pair<uint32_t, uint32_t>>;
    struct Case {
        const char* text;
        int count;
        Pairs pairs;
    };
    const Case cases[] = {
        {"1,3-5", 2, {{1, 1}, {3, 5}}},
        {"5-3", 1, {{3, 5}}},
        {" 7", 1, {{7, 7}}},
        {"1 -3", 1, {{1, 3}}},
        {"1-2-3", 2, {{1, 2}, {2, 3}}},
        {"1,", 1, {{1, 1}}},
        {"1, 2", 2, {{1, 1}, {2, 2}}},
        {"2 - 4, 7", 2, {{2, 4}, {7, 7}}},
        {"1 , 5", 2, {{1, 1}, {5, 5}}},
        {"", 0, {}},
        {"100", 1, {{100, 100}}}, // the highest
        {"101", -1, {}},          // one past it
        {"0", -1, {}},            // one below the lowest
        {"1-", -1, {}},
        {"-1", -1, {}},
        {"1;3", -1, {}},
        {"99999999999999999999", -1, {}},
    };
    for (const Case& c : cases) {
        Pairs pairs{{9, 9}};
        EXPECT_EQ(ParseNumberRanges(c.text, &pairs, 1, 100), c.count) << c.text;
        EXPECT_EQ(pairs, c.pairs) << c.text;
        EXPECT_EQ(ParseNumberRanges(c.text, nullptr, 1, 100), c.count) << c.text;
    }
    // The page bound of pagination reaches the top of 31 bits.
    Pairs pairs;
    EXPECT_EQ(ParseNumberRanges("2147483647", &pairs, 1, 2147483647u), 1);
    EXPECT_EQ(ParseNumberRanges("2147483648", &pairs, 1, 2147483647u), -1);
}

} // namespace vl
