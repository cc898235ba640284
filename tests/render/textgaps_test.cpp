// Numbers in the grid's default font stay readable: every digit stands apart from the next
// by at least one blank column, and the text takes exactly the width measured for it.

#include "render/canvas.h"
#include "rendertest.h"

#include <QPainterPath>
#include <QRawFont>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {

namespace {

// The runs of inked columns from left to right: [first, last] of each.
std::vector<std::pair<int, int>> InkRuns(const QImage& image) {
    std::vector<std::pair<int, int>> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            ink = image.pixel(x, y) != qRgb(255, 255, 255);
        if (ink && !inRun) runs.push_back({x, x});
        if (ink) runs.back().second = x;
        inRun = ink;
    }
    return runs;
}

int InkedCharacters(const std::string& text) {
    int count = 0;
    for (char c : text) count += c != ' ';
    return count;
}

} // namespace

// How far the outline of `digit` starts from its left edge, in pixels, as the font draws it.
double LeftBearing(char digit, uint16_t zoom) {
    double bearing = 0;
    rendertest::Drawn(10, 10, [&](CCanvas& canvas) {
        canvas.SelectFont(DefaultFontRecord(), 0, zoom);
        const QRawFont& raw = canvas.DC()->CurrentFont().Raw();
        const auto glyphs = raw.glyphIndexesForString(QString(QLatin1Char(digit)));
        bearing = raw.pathForGlyph(glyphs.front()).boundingRect().left();
    });
    return bearing;
}

// The grid's zooms from 80 to 400 percent: the default font from 10 to 52 pixels. (Below,
// a digit of 5 or 7 pixels fills its cell of 3 or 4.) Every digit after every digit stands
// apart, unless the font puts the second one's outline less than half a pixel from its edge
// (the foot of a "4" at 13 to 20 pixels); the numbers users see most, as shown.
TEST(TextGaps, DigitsOfTheDefaultFontKeepABlankColumnBetweenThem) {
    std::vector<std::string> texts = {"900 2130", "1000000", "400", "2130", "98 65 13"};
    for (char a = '0'; a <= '9'; ++a)
        for (char b = '0'; b <= '9'; ++b) texts.push_back({a, b});
    int checked = 0;
    for (uint16_t zoom = 80; zoom <= 400; zoom += 20) {
        for (const std::string& text : texts) {
            int32_t width = 0, height = 0;
            const QImage image = rendertest::Drawn(900, 90, [&](CCanvas& canvas) {
                canvas.SelectFont(DefaultFontRecord(), 0, zoom);
                canvas.SetTextColor(Rgb(0, 0, 0));
                canvas.MeasureText(text, width, height);
                canvas.DrawTextLines(10, 10, text, 0);
            });
            const auto runs = InkRuns(image);
            ASSERT_FALSE(runs.empty());
            // Drawn where it was measured: no ink before its start or past its width.
            EXPECT_GE(runs.front().first, 10) << zoom << "% " << text;
            EXPECT_LT(runs.back().second, 10 + width) << zoom << "% " << text;
            if (text.size() == 2 && LeftBearing(text[1], zoom) < 0.5) continue;
            // One run per digit: two glyphs joined make one run, a blank column parts them.
            EXPECT_EQ(int(runs.size()), InkedCharacters(text)) << zoom << "% \"" << text << '"';
            ++checked;
        }
    }
    EXPECT_GT(checked, 17 * 90);
}

} // namespace vl
