#include "functions/general/wildcard.h"
#include "platform/core/cp1252.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace vl {

namespace {

// The matcher as first defined, recursion and all: the reference the fast one must agree
// with.
int32_t Reference(std::string_view pattern, std::string_view text, uint8_t* full) {
    auto at = [](std::string_view s, std::size_t i) { return i < s.size() ? s[i] : '\0'; };
    if (pattern.empty()) return -1;
    std::size_t p = 0, t = 0, s = 0;
    bool m = false;
    for (;;) {
        if (at(text, t) == '\0' && at(pattern, p) != '*') return -1;
        char c = at(pattern, p);
        if (c == '*') {
            if (at(pattern, p + 1) != '\0') {
                std::string_view rest = pattern.substr(p + 1);
                if (full) {
                    for (std::size_t k = t; k <= text.size(); ++k)
                        if (Reference(rest, text.substr(k), full) >= 0 && *full) return int32_t(s);
                }
                return Reference(rest, text.substr(t), full) == -1 ? -1 : int32_t(s);
            }
            ++p;
            t = text.size();
            m = true;
        } else if (c == '?') {
            ++p;
            ++t;
            m = true;
        } else {
            char n = at(pattern, p + 1);
            if (c == '~' && (n == '*' || n == '?' || n == '~')) ++p;
            if (CharUpper1252(at(text, t)) == CharUpper1252(at(pattern, p))) {
                ++p;
                ++t;
                m = true;
            } else {
                t = ++s;
                p = 0;
                m = false;
            }
        }
        if (at(pattern, p) == '\0') {
            if (!m) return -1;
            if (full) *full = at(text, t) == '\0';
            return int32_t(s);
        }
    }
}

} // namespace

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

TEST(MatchWildcard, AgreesWithTheRecursiveDefinition) {
    std::mt19937 rng(12345);
    const char patternChars[] = {'a', 'b', '*', '?', '~', 'A'};
    const char textChars[] = {'a', 'b', 'B', '*', '~'};
    for (int i = 0; i < 20000; ++i) {
        std::string pattern, text;
        for (int n = int(rng() % 7); n > 0; --n) pattern += patternChars[rng() % 6];
        for (int n = int(rng() % 8); n > 0; --n) text += textChars[rng() % 5];
        uint8_t fastFull = 0, refFull = 0;
        int32_t fast = MatchWildcard(pattern, text, &fastFull);
        int32_t ref = Reference(pattern, text, &refFull);
        ASSERT_EQ(fast, ref) << pattern << " / " << text;
        if (ref >= 0) {
            ASSERT_EQ(fastFull, refFull) << pattern << " / " << text;
        }
        ASSERT_EQ(MatchWildcard(pattern, text, nullptr), Reference(pattern, text, nullptr))
            << pattern << " / " << text;
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
