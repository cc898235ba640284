#include "functions/general/wildcard.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

TEST(MatchWildcard, SearchAndFullModes) {
    struct Case {
        const char* pattern;
        std::string text;
        int32_t at; // the search's result: the first place matched, -1 for none
        uint8_t full;
    } cases[] = {
        {"?bc?e*", "abc abcd abcde ab", 9, 1},
        {"*bc??", "abcde", 0, 1},
        {"*bc??", "abc", -1, 0},
        {"AbC", "aBc", 0, 1},
        {"abc", "abcd", 0, 0},
        {"*", "", 0, 1},
        {"~*", "*", 0, 1},
        {"~*", "a", -1, 0},
        {"~?", "x?", 1, 1},
        {"~~", "~", 0, 1},
        {"~a", "~a", 0, 1},
        {"a~", "a~", 0, 1},
        {"", "", -1, 0},
        {"", "a", -1, 0},
        {"abcd", "abc", -1, 0},
        {"a*b", "xaxbab", 1, 1},
        {"a*b?", "ab", -1, 0},
        {"\xe4*", "\xc4x", 0, 1}, // case of the code page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        uint8_t full = 9;
        EXPECT_EQ(MatchWildcard(c.pattern, c.text, nullptr), c.at);
        EXPECT_EQ(MatchWildcard(c.pattern, c.text, &full), c.at);
        if (c.at >= 0) {
            EXPECT_EQ(full, c.full);
        }
    }
}

// Each '*' of the first definition tried every rest of the text again, which grows
// exponentially with the stars; these finish at once.
TEST(MatchWildcard, ManyStarsStayPolynomial) {
    std::string pattern;
    for (int i = 0; i < 40; ++i) pattern += "*a";
    pattern += "*b";
    std::string text(2000, 'a');
    uint8_t full = 1;
    EXPECT_EQ(MatchWildcard(pattern, text, &full), -1);
    EXPECT_FALSE(MatchesWholeText(pattern, text));
    EXPECT_EQ(MatchWildcard(pattern, text + "b", &full), 0);
    EXPECT_EQ(full, 1);
    EXPECT_EQ(MatchWildcard(pattern, text, nullptr), -1);
}

} // namespace vl
