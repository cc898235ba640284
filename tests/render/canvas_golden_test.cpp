#include "render/canvas.h"
#include "rendertest.h"

#include <gtest/gtest.h>
#include <numbers>

namespace vl {

using rendertest::Drawn;
using rendertest::MatchesGolden;

TEST(CanvasGolden, EveryFillPatternFramedByThePen) {
    const QImage image = Drawn(6 * 34 + 4, 4 * 34 + 4, [](CCanvas& canvas) {
        canvas.SetPen(FORMAT_LINE_SOLID, Rgb(0, 0, 0), 100);
        for (int code = 0; code <= 22; ++code) {
            const int x = 4 + (code % 6) * 34, y = 4 + (code / 6) * 34;
            canvas.SelectFillPattern(uint8_t(code), Rgb(30, 60, 160), Rgb(240, 200, 60));
            canvas.FillRectWithPattern({x, y, x + 29, y + 29});
        }
    });
    EXPECT_TRUE(MatchesGolden(image, "patterns"));
}

TEST(CanvasGolden, PensOfEveryLineCodeAtThreeZooms) {
    const uint16_t zooms[] = {50, 100, 200};
    const QImage image = Drawn(3 * 140, 10 * 22 + 10, [&](CCanvas& canvas) {
        for (int z = 0; z < 3; ++z) {
            for (int line = 0; line <= 9; ++line) {
                const int x = 10 + z * 140, y = 12 + line * 22;
                canvas.SetPen(uint8_t(line), Rgb(uint8_t(line * 25), 0, 120), zooms[z]);
                canvas.DrawLine(x, y, x + 60, y);
                canvas.DrawLine(x + 70, y - 6, x + 100, y + 6);
                const DcPoint box[5] = {{x + 106, y - 6},
                                        {x + 118, y - 6},
                                        {x + 118, y + 6},
                                        {x + 106, y + 6},
                                        {x + 106, y - 6}};
                canvas.DrawPolyline(box, 5);
            }
        }
    });
    EXPECT_TRUE(MatchesGolden(image, "pens"));
}

TEST(CanvasGolden, GradientsFilledAndFramed) {
    const QImage image = Drawn(4 * 70 + 10, 2 * 50 + 10, [](CCanvas& canvas) {
        canvas.SetPen(FORMAT_LINE_SOLID, Rgb(0, 0, 0), 100);
        for (int code = 19; code <= 22; ++code) {
            const int x = 10 + (code - 19) * 70;
            canvas.SelectFillPattern(uint8_t(code), Rgb(0, 60, 200), Rgb(255, 255, 255));
            canvas.FillRect({x, 10, x + 59, 49});
            canvas.FillRectWithPattern({x, 60, x + 59, 99});
        }
    });
    EXPECT_TRUE(MatchesGolden(image, "gradients"));
}

TEST(CanvasGolden, FormattedTextAlignedLeftCentreAndRightAtAngles) {
    const QImage image = Drawn(300, 160, [](CCanvas& canvas) {
        canvas.SelectFont(DefaultFontRecord(), 0, 100);
        canvas.SetBkMode(1);
        canvas.SetPen(FORMAT_LINE_DOT, Rgb(200, 0, 0), 100);
        const uint32_t aligns[] = {kAlignLeft, kAlignCenter, kAlignRight};
        for (int i = 0; i < 3; ++i) {
            const int y = 20 + i * 30;
            canvas.DrawLine(150, y - 10, 150, y + 10);
            canvas.SetTextAlign(aligns[i], kAlignMiddle);
            RenderedList list;
            list.AddText("Fill");
            list.Add(kFmtFill, '-');
            list.AddText("ed 12");
            list.Add(kFmtSpace, '0');
            canvas.DrawRotatedText(150, y, list, 120, 0);
        }
        FontRecord font = DefaultFontRecord();
        font.size = 12;
        canvas.SelectFont(font, 30, 100);
        canvas.SetTextAlign(kAlignLeft, kAlignBaseline);
        canvas.DrawTextLines(30, 125, "rotated\nlines", std::numbers::pi / 6);
    });
    EXPECT_TRUE(MatchesGolden(image, "text_alignment"));
}

} // namespace vl
