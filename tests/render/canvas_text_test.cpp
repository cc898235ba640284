#include "render/canvas.h"
#include "rendertest.h"

#include <gtest/gtest.h>
#include <numbers>

namespace vl {

namespace {

// Runs drawn: their text and left end.
using Runs = std::vector<std::pair<std::string, int32_t>>;

class CanvasTextTest : public rendertest::FixedCanvasTest {
protected:
    static RenderedList Literal(const std::string& text) {
        RenderedList list;
        list.AddText(text);
        return list;
    }
    Runs Drawn() const {
        Runs out;
        for (const auto& o : dc_.outputs) out.emplace_back(o.text, o.x);
        return out;
    }
    static std::string Chars(const RenderedList& list) {
        std::string s;
        for (uint16_t k = 0; k < list.count; ++k) s += char(list.items[k].ch);
        return s;
    }
};

} // namespace

TEST_F(CanvasTextTest, MeasureTextCountsEveryLineEmptyOnesAsAnX) {
    struct Case {
        const char* text;
        int32_t width, height;
    } cases[] = {
        {"", 0, 14},          {"ab", 14, 14},     {"ab\n", 14, 28},
        {"a\r\nbcd", 21, 28}, {"a\n\rb", 7, 42},  {"\nab", 14, 28},
        {"ab\n\ncd", 14, 42}, {"a\rb\rc", 7, 42}, {"\r\n\r\n", 0, 42},
    };
    for (const Case& c : cases) {
        int32_t w = -1, h = -1;
        ASSERT_TRUE(canvas_.MeasureText(c.text, w, h));
        EXPECT_EQ(std::pair(w, h), std::pair(c.width, c.height)) << '"' << c.text << '"';
    }
}

TEST_F(CanvasTextTest, MeasureTextRunTakesDrawnAndWidthOnlyCellsOfTheWindow) {
    RenderedList list = Literal("ab");
    list.Add(kFmtSpace, 'x'); // width only: counts
    list.Add(kFmtFill, '*');  // fill: does not
    list.Add(kFmtDigit, '9'); // not a shown kind
    list.Add(kFmtDecimal, '.');
    for (auto [first, last, width] :
         {std::tuple(0, kMaxRenderedCells, 28), {1, 2, 14}, {6, 10, 0}}) {
        int32_t w = -1, h = -1;
        ASSERT_TRUE(canvas_.MeasureTextRun(list, w, h, first, last));
        EXPECT_EQ(std::pair(w, h), std::pair(width, 14)) << first << " to " << last;
    }
}

TEST_F(CanvasTextTest, WrapBreaksAfterTheLastBreakCharacterOrBeforeTheCellThatDoesNotFit) {
    struct Case {
        const char* text;
        int32_t width;
        const char* wrapped;
    } cases[] = {
        {"abc def", 30, "abc \ndef"},   // "abc " is 28, "abc d" 35
        {"abcdefgh", 30, "abcd\nefgh"}, // no break character
        {"ab-cd.ef,gh", 35, "ab-\ncd.\nef,gh"},
        {"abc", 0, "a\nb\nc"}, // a line holds at least one cell
        {"ab cd", 100, "ab cd"},
        {" abc", 14, " a\nbc"}, // the line start itself is no break
    };
    for (const Case& c : cases) {
        RenderedList list = Literal(c.text);
        ASSERT_TRUE(canvas_.WrapText(list, c.width)) << c.text;
        EXPECT_EQ(Chars(list), c.wrapped);
        EXPECT_EQ(list.literalCount, list.count) << c.text;
    }
}

TEST_F(CanvasTextTest, WrapOfAFullListSetsTheOverflowAndKeepsTheBreaksMade) {
    RenderedList list;
    for (int k = 0; k < kMaxRenderedCells - 1; ++k) list.Add(kFmtLiteral, 'a');
    EXPECT_FALSE(canvas_.WrapText(list, 70)); // one break fits, the second does not
    EXPECT_EQ(list.overflow, 1);
    EXPECT_EQ(list.count, kMaxRenderedCells);
    EXPECT_EQ(list.items[10].ch, '\n');
    EXPECT_EQ(list.items[10].kind, uint32_t(kFmtLiteral));
}

TEST_F(CanvasTextTest, EllipsisShortensFromTheMiddleAlternatingEnds) {
    struct Case {
        const char* text;
        int32_t width;
        const char* shortened;
    } cases[] = {
        {"abcdefghij", 91, "abcde...fghij"}, // the first candidate keeps every cell
        {"abcdefghij", 49, "ab...ij"},
        {"abcdefghij", 48, "ab...j"},
        {"abcdefghij", 42, "ab...j"},
        {"abcdefghij", 0, "a..."},
        {"ab", 0, "a..."},
        {"a", 0, "a"}, // shorter than two cells: left alone
    };
    for (const Case& c : cases) {
        RenderedList list = Literal(c.text);
        ASSERT_TRUE(canvas_.EllipsizeText(list, c.width));
        EXPECT_EQ(Chars(list), c.shortened) << c.text << " at " << c.width;
        EXPECT_EQ(list.overflow, 0);
    }
}

// Cells: '*' a fill cell, '_' a width-only blank, others drawn; runs start at 100, 50.
TEST_F(CanvasTextTest, RunsArePlacedByAlignmentFillsBlanksAndAngle) {
    using Placed = std::vector<std::tuple<std::string, int32_t, int32_t>>;
    struct Case {
        const char* cells;
        uint32_t align;
        int32_t width;
        double angle;
        Placed runs;
    } cases[] = {
        // 30 more than the text: four stars, 28 < 30, 35 is not.
        {"ab*c", kAlignLeft, 51, 0, {{"ab", 100, 50}, {"****", 114, 50}, {"c", 144, 50}}},
        // Moved left by D - 1 = 20, then right by the run's 21: right-aligned at 101.
        {"abc", kAlignRight, 10, 0, {{"abc", 101, 50}}},
        // D = 28: the start moves by -13; "a" centred 3 in; the blank 7; "bc" centred 7 in.
        {"a_bc", kAlignCenter, 0, 0, {{"a", 90, 50}, {"bc", 107, 50}}},
        // Across by cos 90 degrees x 14, truncated to 0; up by "ab" and the blank.
        {"ab_c", kAlignLeft, 0, std::numbers::pi / 2, {{"ab", 100, 50}, {"c", 100, 29}}},
    };
    for (const Case& c : cases) {
        RenderedList list;
        for (const char* p = c.cells; *p; ++p) {
            if (*p == '*' || *p == '_')
                list.Add(*p == '*' ? kFmtFill : kFmtSpace, *p == '*' ? '*' : 'x');
            else
                list.AddText(std::string(1, *p));
        }
        dc_.outputs.clear();
        ASSERT_TRUE(canvas_.SetTextAlign(c.align, kAlignTop));
        ASSERT_TRUE(canvas_.DrawRotatedText(100, 50, list, c.width, c.angle));
        Placed runs;
        for (const auto& o : dc_.outputs) runs.emplace_back(o.text, o.x, o.y);
        EXPECT_EQ(runs, c.runs) << c.cells;
    }
}

TEST_F(CanvasTextTest, ListColourIsUsedForTheTextAndPutBackAfter) {
    RenderedList list = Literal("a");
    list.hasColor = 1;
    list.color = Rgb(255, 0, 0);
    dc_.SetTextColor(Rgb(0, 0, 9));
    ASSERT_TRUE(canvas_.DrawRotatedText(0, 0, list, 0, 0));
    ASSERT_EQ(dc_.outputs.size(), 1u);
    EXPECT_EQ(dc_.outputs[0].color, Rgb(255, 0, 0));
    EXPECT_EQ(dc_.GetTextColor(), Rgb(0, 0, 9));
}

TEST_F(CanvasTextTest, LinesStepDownAndCentreOrBottomShiftTheWholeText) {
    struct Case {
        uint32_t vertical;
        const char* text;
        std::vector<int32_t> ys;
    } cases[] = {
        {kAlignTop, "a\nb", {100, 114}},
        {kAlignMiddle, "a\nb", {86, 100}},
        {kAlignBottom, "a\nb", {72, 86}},
        {kAlignTop, "a\n\rb", {100, 114}}, // LF CR is one break when drawing
        {kAlignTop, "a\n\nb", {100, 128}}, // an empty line is as high as "X"
    };
    for (const Case& c : cases) {
        dc_.outputs.clear();
        canvas_.SetTextAlign(kAlignLeft, c.vertical);
        ASSERT_TRUE(canvas_.DrawTextLines(10, 100, c.text, 0));
        ASSERT_EQ(dc_.outputs.size(), c.ys.size()) << c.text;
        for (size_t i = 0; i < c.ys.size(); ++i) EXPECT_EQ(dc_.outputs[i].y, c.ys[i]) << c.text;
    }
}

// A longer text is drawn plain, cut to 1,024 characters.
TEST_F(CanvasTextTest, OnlyTextsUpTo1024CharactersGoThroughTheFormatCode) {
    const std::string longText = "2006-01-31" + std::string(1015, ' ');
    ASSERT_TRUE(canvas_.DrawTextInRect(0, 0, "2006-01-31", "yyyy", 100, 0));
    ASSERT_TRUE(canvas_.DrawTextInRect(0, 0, longText, "yyyy", 100, 0));
    EXPECT_EQ(Drawn(), (Runs{{"2006", 0}, {longText.substr(0, 1024), 0}}));
}

} // namespace vl
