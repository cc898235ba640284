#include "core/clock.h"
#include "core/settings.h"
#include "platform/core/bytes.h"
#include "render/canvas.h"
#include "rendertest.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace vl {

using rendertest::Drawn;
using rendertest::FixedCanvasTest;

namespace {

// A 2 x 2 picture, top row red and green, bottom row blue and white.
PackedDib Quad(bool topDown) {
    PackedDib dib = PackedDib::Allocate(40 + 8 * 2);
    WriteDibHeader(dib.Data(), 2, topDown ? -2 : 2, 24, 16);
    const uint8_t top[6] = {0, 0, 255, 0, 255, 0}, bottom[6] = {255, 0, 0, 255, 255, 255};
    std::memcpy(dib.Data() + 40 + (topDown ? 0 : 8), top, 6);
    std::memcpy(dib.Data() + 40 + (topDown ? 8 : 0), bottom, 6);
    return dib;
}

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

const COLORREF kPalette[16] = {
    0x00FF00, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFFFF00, 0x808080, 0x808000, 0xFF00FF,
    0x008080, 0x800080, 0xFFFFFF, 0x000080, 0x008000, 0x800000, 0xC0C0C0, 0x000000,
};
const JuliaParams kDefaults{0.11, 0.66, -1.1, 1.1, -1.1, 1.1};

} // namespace

TEST(DrawDib, ModesPlaceThePicture) {
    // mode, scales, then the pixels (x, y) expected: red, green, blue, white, untouched.
    struct Case {
        uint8_t mode;
        uint16_t across, down;
        std::vector<std::tuple<int, int, QRgb>> pixels;
    };
    const QRgb red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    const Case cases[] = {
        {1, 100, 100, {{2, 2, red}, {5, 2, red}, {6, 2, green}, {9, 9, white}, {2, 6, blue}}},
        {2, 100, 100, {{2, 2, red}, {3, 2, green}, {4, 2, red}, {4, 4, red}, {9, 9, white}}},
        {0, 200, 100, {{2, 2, red}, {3, 2, red}, {4, 2, green}, {6, 2, white}, {2, 3, blue}}},
    };
    for (bool topDown : {true, false}) {
        for (const Case& c : cases) {
            const QImage image = Drawn(12, 12, [&](CCanvas& canvas) {
                EXPECT_TRUE(canvas.DrawDib(2, 2, 9, 9, Quad(topDown), c.mode, c.across, c.down));
            });
            for (const auto& [x, y, rgb] : c.pixels)
                EXPECT_EQ(At(image, x, y), rgb) << int(c.mode) << " at " << x << ", " << y;
            // Nothing outside the rectangle.
            EXPECT_EQ(At(image, 10, 10), 0xFFFFFFu);
            EXPECT_EQ(At(image, 1, 1), 0xFFFFFFu);
        }
    }
}

TEST(DrawDib, ABadBlockDrawsNothing) {
    PackedDib dib = Quad(true);
    StoreU16(dib.Data() + 12, 2); // two planes
    const QImage image = Drawn(
        8, 8, [&](CCanvas& canvas) { EXPECT_FALSE(canvas.DrawDib(0, 0, 7, 7, dib, 1, 100, 100)); });
    EXPECT_EQ(image, rendertest::WhiteImage(8, 8));
}

TEST(GetDibBits, CopiesTheBackBufferEitherWayUp) {
    auto screen = CDeviceContext::ForScreen();
    CCanvas window, memory;
    window.AttachDC(screen.get());
    memory.CreateMemoryDC(screen.get());
    PackedDib dib = PackedDib::Allocate(40 + 8 * 2);
    WriteDibHeader(dib.Data(), 2, -2, 24, 16);
    EXPECT_FALSE(memory.GetDibBits(dib, 2)); // no back buffer yet
    ASSERT_TRUE(memory.CreateBackBuffer(window, 2, 2));
    ASSERT_TRUE(memory.DrawDib(0, 0, 1, 1, Quad(true), 0, 100, 100));
    for (bool topDown : {true, false}) {
        WriteDibHeader(dib.Data(), 2, topDown ? -2 : 2, 24, 16);
        ASSERT_TRUE(memory.GetDibBits(dib, 2));
        const PackedDib want = Quad(topDown);
        EXPECT_EQ(std::memcmp(dib.Data() + 40, want.Data() + 40, 14), 0) << topDown;
    }
    memory.DeleteMemoryDC();
}

TEST(DrawFractal, ComputedAndCachedDrawsAgreeAndNoPixelsDrawNothing) {
    PackedDib cache;
    uint8_t error = 99;
    const QImage computed = Drawn(40, 30, [&](CCanvas& canvas) {
        canvas.DrawFractal({3, 2, 34, 24}, cache, kPalette, kDefaults, &error);
    });
    ASSERT_TRUE(cache);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(LoadI32(cache.Data() + 8), -23); // every row finished
    const QImage cached = Drawn(40, 30, [&](CCanvas& canvas) {
        canvas.DrawFractal({3, 2, 34, 24}, cache, kPalette, kDefaults, &error);
    });
    EXPECT_EQ(computed, cached);
    EXPECT_NE(computed.pixel(3, 2), computed.pixel(0, 0));
    PackedDib none;
    const QImage empty = Drawn(10, 10, [&](CCanvas& canvas) {
        canvas.DrawFractal({5, 2, 4, 8}, none, kPalette, kDefaults, &error);
    });
    EXPECT_FALSE(none);
    EXPECT_EQ(empty, rendertest::WhiteImage(10, 10));
}

TEST(DrawFractal, ARectangleWiderThanAPictureIsComputedSmallerAndStretched) {
    PackedDib cache;
    uint8_t error = 99;
    // 100,000 columns are more than a picture may have: 32,767 of them are computed and
    // stretched over the whole rectangle, the rows below it left alone.
    const QImage drawn = Drawn(40, 30, [&](CCanvas& canvas) {
        canvas.DrawFractal({-50000, 2, 49999, 21}, cache, kPalette, kDefaults, &error);
    });
    ASSERT_TRUE(cache);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(std::tuple(LoadI32(cache.Data() + 4), LoadI32(cache.Data() + 8)),
              std::tuple(32767, -20));
    for (int y : {2, 21}) EXPECT_NE(drawn.pixel(20, y), 0xFFFFFFFFu) << y;
    for (int y : {1, 22}) EXPECT_EQ(drawn.pixel(20, y), 0xFFFFFFFFu) << y;
}

namespace {

class FixedClock : public IClock {
public:
    int64_t NowSeconds() const override { return 86400 * 365 + 3600 * 13 + 60 * 5 + 9; }
};

} // namespace

// Characters 7 wide, lines 14 high; the rectangle is (10, 20, 210, 100).
class HeaderFooter : public FixedCanvasTest {
protected:
    bool Draw(std::string_view text, const HeaderFooterSources& s = {}, bool measure = false) {
        rect_ = {10, 20, 210, 100};
        return canvas_.DrawHeaderFooter(rect_, text, measure, s);
    }
    std::vector<std::tuple<int32_t, int32_t, std::string>> Drawn() const {
        std::vector<std::tuple<int32_t, int32_t, std::string>> out;
        for (const auto& o : dc_.outputs) out.emplace_back(o.x, o.y, o.text);
        return out;
    }
    DcRect rect_;
};

TEST_F(HeaderFooter, CodesTable) {
    const FixedClock clock;
    // text, file name, page record, what is drawn at the centre or left
    const std::tuple<const char*, const char*, std::vector<uint32_t>, std::string> cases[] = {
        {"&c Document: &f", "book.vln", {}, " Document: book.vln"},
        {"&p", nullptr, {7, 9, 3, 4, 0}, "3, 4"},
        {"&p+10", nullptr, {1, 1, 2, 0}, "12"},
        {"&p-3", nullptr, {1, 1, 2, 0}, "-1"},
        {"&p+99999999999999", nullptr, {1, 1, 2, 0}, "2147483649"},
        {"&p+10", nullptr, {}, "+10"},
        {"&n of &m", nullptr, {7, 9, 0}, "7 of 9"},
        {"&x", nullptr, {}, "&x"},
        {"&&f", "a", {}, "&a"},
        {"end&", nullptr, {}, "end&"},
        {"&F&A", nullptr, {}, ""},
        {"&d &t", nullptr, {}, "1/1/1971 13:05:09"},
    };
    for (const auto& [text, file, pages, want] : cases) {
        dc_.outputs.clear();
        HeaderFooterSources s;
        s.fileName = file;
        s.pages = pages.empty() ? nullptr : pages.data();
        s.pageWords = pages.size();
        s.clock = &clock;
        ASSERT_TRUE(Draw(text, s)) << text;
        std::string got;
        for (const auto& o : dc_.outputs) got += o.text;
        EXPECT_EQ(got, want) << text;
    }
}

TEST_F(HeaderFooter, SectionsStackAndMeasureOnlyDrawsNothing) {
    ASSERT_TRUE(Draw("&lA&lB&cC&rD"));
    using T = std::tuple<int32_t, int32_t, std::string>;
    EXPECT_EQ(Drawn(),
              (std::vector<T>{{10, 20, "A"}, {10, 34, "B"}, {110, 20, "C"}, {210, 20, "D"}}));
    EXPECT_EQ(dc_.outputs[2].align, TA_CENTER);
    EXPECT_EQ(dc_.outputs[3].align, TA_RIGHT);
    EXPECT_EQ(rect_.bottom, 20 + 28);
    dc_.outputs.clear();
    ASSERT_TRUE(Draw("&lA&lB&cC&rD", {}, true));
    EXPECT_TRUE(dc_.outputs.empty());
    EXPECT_EQ(rect_.bottom, 20 + 28);
    // Text before the first code is the left part.
    ASSERT_TRUE(Draw("left&c Document: &f"));
    EXPECT_EQ(std::get<0>(Drawn().front()), 10);
}

// 3 February 1971 in each short-date order with its own separator: a day and a month that
// differ show which field went where.
TEST_F(HeaderFooter, DateCodeFollowsTheShortDateOrder) {
    class February3 : public IClock {
    public:
        int64_t NowSeconds() const override { return 86400 * (365 + 31 + 2) + 3600 * 12; }
    } clock;
    const SeparatorSet saved = UserSeparators();
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const std::tuple<uint8_t, char, std::string> cases[] = {
        {1, '.', "3.2.1971"}, // day-month-year
        {0, '/', "2/3/1971"}, // month-day-year
        {2, '-', "1971-2-3"}, // year-month-day
    };
    for (const auto& [order, separator, want] : cases) {
        UserSeparators().shortDateOrder = order;
        UserSeparators().date = separator;
        dc_.outputs.clear();
        HeaderFooterSources s;
        s.clock = &clock;
        ASSERT_TRUE(Draw("&d", s));
        ASSERT_EQ(dc_.outputs.size(), 1u) << int(order);
        EXPECT_EQ(dc_.outputs[0].text, want) << int(order);
    }
    UserSeparators() = saved;
    if (zone)
        setenv("TZ", savedZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST_F(HeaderFooter, FileDateOfAMissingFileIsTimeZero) {
    const char* saved = std::getenv("TZ");
    setenv("TZ", "UTC", 1);
    tzset();
    HeaderFooterSources s;
    s.filePath = "/nonexistent/vorlane/file.vln";
    ASSERT_TRUE(Draw("&g &z", s));
    if (saved)
        setenv("TZ", saved, 1);
    else
        unsetenv("TZ");
    tzset();
    ASSERT_EQ(dc_.outputs.size(), 1u);
    EXPECT_EQ(dc_.outputs[0].text, "1/1/1970 0:00:00");
}

} // namespace vl
