#include "values/isoduration.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace vl {

namespace {

bool ParseWhole(const char* text, IsoDuration& d) {
    d = IsoDuration{};
    std::size_t end = 0;
    return ParseIsoDuration(d, text, end) && end == std::strlen(text);
}

} // namespace

// Durations read whole and written back; the written form keeps every field as read.
TEST(IsoDuration, ReadsComponentsInOrderAndWritesThemBack) {
    struct Case {
        const char* text;
        const char* back; // null: not read; empty: the text itself
    } cases[] = {
        {"-P120D", ""},
        {"PT63H", ""},
        {"P1M", ""},
        {"PT1M", ""},
        {"P1Y2M3DT10H30M50S", ""},
        {"PT50.123S", ""},
        {"PT0.5S", "PT0.500S"},
        {"+P2D", "P2D"},
        {"P", ""},
        {"-P", ""},
        {"P1D2Y", nullptr},
        {"P1H", nullptr},
        {"PT", nullptr},
        {"P1.5D", nullptr},
        {"PT1H2H", nullptr},
        {"P1Y2M3DT10H30M50S.000", nullptr},
        {"P214748353D", ""}, // the largest count
        {"P214748354D", nullptr},
        {"PT1S2M", nullptr},
        {"P1", nullptr},
        {"1D", nullptr},
        {"PT1.5", nullptr},
        {"PT1.", nullptr},
        {"PT1.5X", nullptr},
    };
    for (const Case& c : cases) {
        IsoDuration d;
        ASSERT_EQ(ParseWhole(c.text, d), c.back != nullptr) << c.text;
        if (!c.back) continue;
        EXPECT_EQ(FormatIsoDuration(d), *c.back ? c.back : c.text);
    }
}

TEST(IsoDuration, NeverReadsPastTheEndOfItsText) {
    // Exact-size heap copies: a read past the end shows under the address sanitizer.
    for (const char* text : {"PT1.", "PT1.5", "PT1.55", "PT1.555", "P", "PT", "-", "P1"}) {
        std::size_t n = std::strlen(text);
        std::unique_ptr<char[]> copy(new char[n]);
        std::memcpy(copy.get(), text, n);
        IsoDuration d;
        std::size_t end = 0;
        bool ok = ParseIsoDuration(d, std::string_view(copy.get(), n), end);
        EXPECT_EQ(ok, std::strcmp(text, "P") == 0) << text;
    }
}

} // namespace vl
