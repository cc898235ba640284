#include "formula/values/isoduration.h"

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

TEST(IsoDuration, ReadsComponentsInOrder) {
    struct Case {
        const char* text;
        bool ok;
        IsoDuration d;
    } cases[] = {
        {"-P120D", true, {1, 0, 0, 120, 0, 0, 0, 0}},
        {"PT63H", true, {0, 0, 0, 0, 63, 0, 0, 0}},
        {"P1M", true, {0, 0, 1, 0, 0, 0, 0, 0}},
        {"PT1M", true, {0, 0, 0, 0, 0, 1, 0, 0}},
        {"P1Y2M3DT10H30M50S", true, {0, 1, 2, 3, 10, 30, 50, 0}},
        {"PT50.123S", true, {0, 0, 0, 0, 0, 0, 50, 123}},
        {"PT0.5S", true, {0, 0, 0, 0, 0, 0, 0, 500}},
        {"+P2D", true, {0, 0, 0, 2, 0, 0, 0, 0}},
        {"P", true, {}},
        {"P1D2Y", false, {}},
        {"P1H", false, {}},
        {"PT", false, {}},
        {"P1.5D", false, {}},
        {"P1Y2M3DT10H30M50S.000", false, {}},
        {"P214748354D", false, {}},
        {"P214748353D", true, {0, 0, 0, 214748353, 0, 0, 0, 0}},
        {"PT1H2H", false, {}},
        {"PT1S2M", false, {}},
        {"P1", false, {}},
        {"1D", false, {}},
        {"PT1.5", false, {}},
        {"PT1.", false, {}},
        {"PT1.5X", false, {}},
    };
    for (const Case& c : cases) {
        IsoDuration d;
        ASSERT_EQ(ParseWhole(c.text, d), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(d.negative, c.d.negative) << c.text;
        EXPECT_EQ(d.years, c.d.years) << c.text;
        EXPECT_EQ(d.months, c.d.months) << c.text;
        EXPECT_EQ(d.days, c.d.days) << c.text;
        EXPECT_EQ(d.hours, c.d.hours) << c.text;
        EXPECT_EQ(d.minutes, c.d.minutes) << c.text;
        EXPECT_EQ(d.seconds, c.d.seconds) << c.text;
        EXPECT_EQ(d.milliseconds, c.d.milliseconds) << c.text;
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

TEST(IsoDuration, FormatsWhatItReads) {
    for (const char* text :
         {"-P120D", "PT63H", "P1Y2M3DT10H30M50S", "PT50.123S", "P", "-P", "P1M", "PT1M"}) {
        IsoDuration d;
        ASSERT_TRUE(ParseWhole(text, d)) << text;
        EXPECT_EQ(FormatIsoDuration(d), text);
    }
    IsoDuration d;
    d.hours = 10;
    EXPECT_EQ(FormatIsoDuration(d), "PT10H");
    d = IsoDuration{};
    d.milliseconds = 500;
    EXPECT_EQ(FormatIsoDuration(d), "PT0.500S");
}

} // namespace vl
