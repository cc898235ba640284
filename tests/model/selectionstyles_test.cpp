// The common formatting of a selection, one attribute over whole columns, and custom row
// heights and column widths.

#include "model/cellstyle.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/rowcolumnsizes.h"
#include "model/selectionstyles.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vl {

namespace {

std::vector<FormatRun> ColumnRuns(const CFormatStore& store, uint16_t column) {
    std::vector<FormatRun> runs;
    CellCursor cursor{.flags = kAdvance, .page = store.runs.FirstPage()};
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun run = LoadFormatRun(p);
        if (run.firstColumn <= column && run.lastColumn >= column) runs.push_back(run);
    }
    return runs;
}

class SelectionStyleTest : public ::testing::Test {
protected:
    SelectionStyleTest() : tables(std::make_unique<StyleTables>()) {
        InitStyleTables(*tables);
        InitFormatStore(store);
    }
    // A style with its own font changed by `change`.
    template <class Change> uint16_t AddStyle(Change change) {
        StyleRecord style;
        FontRecord font = tables->fonts[0];
        change(style, font);
        uint8_t fontIndex = 0;
        EXPECT_TRUE(FindOrAddFont(*tables, font, &fontIndex));
        style.fontRef.fontIndex = fontIndex;
        tables->styles[tables->styleCount] = style;
        return tables->styleCount++;
    }
    uint16_t Bold() {
        return AddStyle([](StyleRecord&, FontRecord& f) { f.weight = 2; });
    }
    void Put(uint16_t c1, uint16_t c2, uint32_t row, uint16_t style) {
        CellCursor cursor;
        ASSERT_TRUE(PutFormatRun(store, {c1, c2, row, style}, cursor));
    }
    SelectionStyle Compare(uint16_t c1, uint16_t c2, uint32_t r1, uint32_t r2) {
        return CompareSelectionStyles(*tables, c1, c2, r1, r2, store);
    }

    std::unique_ptr<StyleTables> tables;
    CFormatStore store;
};

TEST_F(SelectionStyleTest, ComparesRunsAndTheColumnsOfUnformattedPositions) {
    // Nothing formatted: style 0, every flag 0 or 1.
    SelectionStyle plain = Compare(0, 3, 0, 9);
    for (uint8_t flag : plain.mixed) EXPECT_LE(flag, 1);
    EXPECT_EQ(plain.mixed[kMixFaceName], 1);
    EXPECT_EQ(plain.mixed[kMixWeight], 0);
    EXPECT_EQ(plain.mixed[kMixHorizontal], 0);

    // One bold and one normal cell: weight mixed, the first style met is the merged one.
    const uint16_t bold = Bold();
    Put(0, 0, 0, bold);
    SelectionStyle two = Compare(0, 1, 0, 0);
    EXPECT_EQ(two.mixed[kMixWeight], 2);
    EXPECT_EQ(two.font.weight, 2);
    EXPECT_EQ(two.mixed[kMixFaceName], 1);

    // A run in column 0 and unformatted cells of column 2, whose own style is italic.
    const uint16_t italic = AddStyle([](StyleRecord&, FontRecord& f) { f.italic = 1; });
    store.columns[2].style = italic;
    SelectionStyle columns = Compare(0, 0, 0, 0);
    EXPECT_EQ(columns.mixed[kMixItalic], 0);
    columns = Compare(0, 2, 0, 0);
    EXPECT_EQ(columns.mixed[kMixItalic], 2);
    // Gaps on later rows reach the column too, and a run covering the whole selection not.
    Put(2, 2, 3, bold);
    EXPECT_EQ(Compare(2, 2, 3, 3).mixed[kMixItalic], 0);
    EXPECT_EQ(Compare(2, 2, 3, 4).mixed[kMixItalic], 2);
    EXPECT_EQ(Compare(2, 2, 2, 3).mixed[kMixItalic], 2);
    // A run outside the selection's columns changes nothing.
    EXPECT_EQ(Compare(1, 1, 0, 0).mixed[kMixWeight], 0);
}

// The flags are those of the styles at the selection's positions, each looked up alone: runs
// with gaps between rows reach only the columns of the gaps (A5:B5 and A6:C6 bold over a bold
// column C leave nothing mixed). Random stores and selections, against that lookup.
TEST_F(SelectionStyleTest, RandomSelectionsMatchAPositionByPositionLookup) {
    const uint16_t bold = Bold();
    Put(0, 1, 4, bold);
    Put(0, 2, 5, bold);
    store.columns[2].style = bold;
    EXPECT_EQ(Compare(0, 2, 4, 5).mixed[kMixWeight], 1);
    const uint16_t italic = AddStyle([](StyleRecord&, FontRecord& f) { f.italic = 1; });
    const uint16_t styles[] = {0, bold, italic};
    uint32_t seed = 7;
    const auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 4000; ++round) {
        SCOPED_TRACE(round);
        ReleaseFormatStore(store, true);
        for (uint16_t c = 0; c < 6; ++c) store.columns[c].style = styles[next(3)];
        for (uint32_t row = 0; row < 6; ++row)
            for (uint16_t c = 0; c < 6; c = uint16_t(c + 1 + next(3)))
                if (next(2)) {
                    const uint16_t last = uint16_t(std::min<uint32_t>(5, c + next(3)));
                    Put(c, last, row, styles[next(3)]);
                    c = last;
                }
        const uint16_t c1 = uint16_t(next(6)), c2 = uint16_t(c1 + next(6 - c1));
        const uint32_t r1 = next(6), r2 = r1 + next(6 - r1);
        StyleMixFlags expected{};
        const StyleRecord* first = nullptr;
        for (uint32_t row = r1; row <= r2; ++row)
            for (uint16_t c = c1; c <= c2; ++c) {
                const StyleRecord& at = GetStyleRecord(*tables, CellStyleIndex(store, row, c));
                if (!first) first = &at;
                MergeSelectionStyles(*tables, *first, at, expected);
            }
        ASSERT_EQ(Compare(c1, c2, r1, r2).mixed, expected)
            << c1 << ":" << c2 << " " << r1 << ":" << r2;
    }
}

TEST_F(SelectionStyleTest, AFlagOnceMixedStaysMixed) {
    struct Case {
        const char* name;
        int flag;
        void (*change)(StyleRecord&, FontRecord&);
    };
    const Case cases[] = {
        {"weight", kMixWeight, [](StyleRecord&, FontRecord& f) { f.weight = 2; }},
        {"size", kMixSize, [](StyleRecord&, FontRecord& f) { f.size = 14; }},
        {"wrap", kMixWrap, [](StyleRecord& s, FontRecord&) { s.wrapText = 1; }},
        {"fit", kMixFit, [](StyleRecord& s, FontRecord&) { s.fitToCell = 1; }},
        {"colour", kMixFontColor,
         [](StyleRecord& s, FontRecord&) { s.fontRef.colorGiven = 1, s.fontRef.color = 255; }},
        {"right", kMixHorizontal + 2,
         [](StyleRecord& s, FontRecord&) { s.horizontalAlignment = 3; }},
        {"protected", kMixProtected, [](StyleRecord& s, FontRecord&) { s.isProtected = 1; }},
        {"hidden", kMixHidden, [](StyleRecord& s, FontRecord&) { s.formulaHidden = 1; }},
        {"pattern", kMixPattern, [](StyleRecord& s, FontRecord&) { s.fill.pattern = 3; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InitStyleTables(*tables);
        ReleaseFormatStore(store, true);
        const uint16_t changed = AddStyle(c.change);
        // changed, plain, changed again: the third equals the first and the flag stays 2.
        Put(0, 0, 0, changed);
        Put(2, 2, 0, changed);
        const SelectionStyle s = Compare(0, 2, 0, 0);
        EXPECT_EQ(s.mixed[c.flag], 2);
        // Merging directly: equal styles after a difference keep 2.
        StyleMixFlags flags{};
        const StyleRecord& a = tables->styles[changed];
        MergeSelectionStyles(*tables, a, tables->styles[0], flags);
        MergeSelectionStyles(*tables, a, a, flags);
        EXPECT_EQ(flags[c.flag], 2);
        // And equal styles alone give 1 for a value that is on.
        StyleMixFlags same{};
        MergeSelectionStyles(*tables, a, a, same);
        EXPECT_EQ(same[c.flag], 1);
    }
}

TEST_F(SelectionStyleTest, NumberFormatsAndAlignmentsFlagTheirKinds) {
    const uint16_t percent = AddStyle([](StyleRecord& s, FontRecord&) { s.numberFormat.kind = 4; });
    const uint16_t custom1 = AddStyle([](StyleRecord& s, FontRecord&) {
        s.numberFormat.kind = 10;
        std::strcpy(s.numberFormat.code, "0.0");
    });
    const uint16_t custom2 = AddStyle([](StyleRecord& s, FontRecord&) {
        s.numberFormat.kind = 10;
        std::strcpy(s.numberFormat.code, "0.00");
    });
    StyleMixFlags f{};
    MergeSelectionStyles(*tables, tables->styles[percent], tables->styles[0], f);
    EXPECT_EQ(f[kMixNumberKind + 4], 2);
    EXPECT_EQ(f[kMixNumberKind + tables->styles[0].numberFormat.kind], 2);
    StyleMixFlags g{};
    MergeSelectionStyles(*tables, tables->styles[custom1], tables->styles[custom1], g);
    EXPECT_EQ(g[kMixNumberKind + 10], 1);
    MergeSelectionStyles(*tables, tables->styles[custom1], tables->styles[custom2], g);
    EXPECT_EQ(g[kMixNumberKind + 10], 2);
    // Same alignment with another indent: mixed.
    const uint16_t indented = AddStyle([](StyleRecord& s, FontRecord&) {
        s.horizontalAlignment = 1;
        s.horizontalIndent = 9;
    });
    const uint16_t left = AddStyle([](StyleRecord& s, FontRecord&) { s.horizontalAlignment = 1; });
    StyleMixFlags h{};
    MergeSelectionStyles(*tables, tables->styles[left], tables->styles[left], h);
    EXPECT_EQ(h[kMixHorizontal], 1);
    MergeSelectionStyles(*tables, tables->styles[left], tables->styles[indented], h);
    EXPECT_EQ(h[kMixHorizontal], 2);
}

TEST_F(SelectionStyleTest, BoldOnAWholeColumnChangesItsStyleAndEveryRunInIt) {
    const uint16_t percent = AddStyle([](StyleRecord& s, FontRecord&) { s.numberFormat.kind = 4; });
    Put(0, 3, 5, percent); // crosses column 1
    Put(1, 1, 7, percent);
    StyleRecord style;
    FontRecord bold;
    bold.weight = 2;
    ASSERT_TRUE(ApplyStyleToColumn(*tables, 1, store, kAttrFontWeight, style, bold));
    auto weight = [this](uint16_t index) {
        return GetFontRecord(*tables, tables->styles[index].fontRef.fontIndex).weight;
    };
    EXPECT_EQ(weight(ColumnStyleIndex(store, 1)), 2);
    EXPECT_EQ(weight(ColumnStyleIndex(store, 0)), 0);
    const std::vector<FormatRun> runs = ColumnRuns(store, 1);
    ASSERT_EQ(runs.size(), 2u);
    for (const FormatRun& r : runs) {
        EXPECT_EQ(r.firstColumn, 1);
        EXPECT_EQ(r.lastColumn, 1);
        EXPECT_EQ(weight(r.style), 2);
        EXPECT_EQ(tables->styles[r.style].numberFormat.kind, 4);
    }
    // The run's other columns keep the old style.
    EXPECT_EQ(CellStyleIndex(store, 5, 0), percent);
    EXPECT_EQ(CellStyleIndex(store, 5, 3), percent);
}

TEST_F(SelectionStyleTest, AFullStyleTableLeavesTheColumnAsItWas) {
    const uint16_t percent = AddStyle([](StyleRecord& s, FontRecord&) { s.numberFormat.kind = 4; });
    Put(1, 1, 2, percent);
    store.columns[1].style = uint16_t(0xA000 | percent);
    // Fill the table: the column's new style would be the 513th.
    while (tables->styleCount < kMaxStyles) {
        StyleRecord filler;
        filler.rotation = int8_t(tables->styleCount % 180 - 90);
        filler.numberFormat.params[0] = uint8_t(tables->styleCount / 180);
        tables->styles[tables->styleCount++] = filler;
    }
    StyleRecord style;
    FontRecord bold;
    bold.weight = 2;
    const auto before = ColumnRuns(store, 1);
    EXPECT_FALSE(ApplyStyleToColumn(*tables, 1, store, kAttrFontWeight, style, bold));
    EXPECT_EQ(store.columns[1].style, uint16_t(0xA000 | percent));
    const auto after = ColumnRuns(store, 1);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0].style, percent);
    EXPECT_EQ(tables->styleCount, kMaxStyles);
}

TEST(RowColumnSizes, HeightsAndWidthsKeepTheirHighBits) {
    CFormatStore store;
    InitFormatStore(store);
    ASSERT_TRUE(SetFormatStoreRowEntry(store, 2, 30, false));
    *store.rowHeights.GetItem2(2) |= 0xE000;
    // Rows past the end of the list extend it with zero entries.
    ASSERT_TRUE(SetCustomRowHeights(store, 1, 9000, 0));
    EXPECT_EQ(store.rowHeights.ItemCount(), 9001u);
    EXPECT_EQ(*store.rowHeights.GetItem2(2), 0xE001);
    EXPECT_EQ(*store.rowHeights.GetItem2(9000), 0x0001);
    EXPECT_EQ(*store.rowHeights.GetItem2(0), 0);
    ASSERT_TRUE(SetCustomRowHeights(store, 4094, 4096, kLargestCustomSize));
    EXPECT_EQ(*store.rowHeights.GetItem2(4095), (4095 << 1) | 1);
    EXPECT_FALSE(AutoRowHeightTicked(store, 4090, 4100));
    EXPECT_TRUE(AutoRowHeightTicked(store, 0, 0));
    EXPECT_TRUE(AutoRowHeightTicked(store, 20000, 20001)); // past the list
    ClearCustomRowHeights(store, 1, 30000);
    EXPECT_EQ(*store.rowHeights.GetItem2(2), 0xE000);
    EXPECT_EQ(store.rowHeights.ItemCount(), 9001u);
    EXPECT_TRUE(AutoRowHeightTicked(store, 0, 9000));

    store.columns[5].width = 0xE000;
    SetCustomColumnWidths(store, 4, 6, 77);
    EXPECT_EQ(store.columns[4].width, (77 << 1) | 1);
    EXPECT_EQ(store.columns[5].width, 0xE000 | (77 << 1) | 1);
    EXPECT_EQ(store.columns[7].width, 0);
}

} // namespace

} // namespace vl
