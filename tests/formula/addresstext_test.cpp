// Address texts: the one writer and the readers of located addresses and ranges.

#include "formula/addresstext.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

RangeDescriptor Desc(const CellRange& r) {
    RangeDescriptor d;
    MakeRangeDescriptor(r, &d);
    return d;
}

TEST(AddressText, WritesEachKindInBothNotations) {
    struct Case {
        CellRange range;
        const char* location;
        const char* a1;
        const char* r1c1;
    };
    const Case cases[] = {
        {{2, 1, 2, 1}, "\\Sheet1", "\\Sheet1!C2", "\\Sheet1!R2C3"},
        {{1, 0, 3, kLastRow}, "", "B:D", "C2:C4"},
        {{0, 2, kLastColumn, 4}, "", "3:5", "R3:R5"},
        {{0, 0, 1, 2}, "Sales", "Sales!A1:B3", "Sales!R1C1:R3C2"},
        {{1, 2, 1, 2}, "My Sales", "\"My Sales\"!B3", "\"My Sales\"!R3C2"},
        {{1, 2, 1, 2}, "2024", "\"2024\"!B3", "\"2024\"!R3C2"},
        {{kLastColumn, kLastRow - 1, kLastColumn, kLastRow - 1}, "", "BZS2097151", "R2097151C2047"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatCellAddress({}, c.location, Desc(c.range), false), c.a1);
        EXPECT_EQ(FormatCellAddress({}, c.location, Desc(c.range), true), c.r1c1);
    }
    // A file part always quotes; a location that would not fit is left out.
    EXPECT_EQ(FormatCellAddress("/d/a.vln", "\\S", Desc({0, 0, 0, 0}), true),
              "\"[/d/a.vln]\\S\"!R1C1");
    const std::string fits(255 - 3 - 4, 'a'), over(255 - 3 - 3, 'a');
    EXPECT_EQ(FormatCellAddress({}, fits, Desc({0, 0, 0, 0}), true), fits + "!R1C1");
    EXPECT_EQ(FormatCellAddress({}, over, Desc({0, 0, 0, 0}), true), "R1C1");
    EXPECT_EQ(FormatCellAddress({}, over, Desc({0, 0, 0, 0}), true, SIZE_MAX), over + "!R1C1");
    // A quote inside a quoted location is doubled, and each doubled one counts.
    EXPECT_EQ(FormatCellAddress({}, "\\a\"b", Desc({4, 9, 4, 9}), false), "\"\\a\"\"b\"!E10");
    const std::string quoted = "\"" + std::string(255 - 5 - 4, 'q');
    EXPECT_EQ(FormatCellAddress({}, quoted, Desc({0, 0, 0, 0}), true).size(), 255u);
    EXPECT_EQ(FormatCellAddress({}, quoted + "a", Desc({0, 0, 0, 0}), true), "R1C1");
}

// Every located address written reads back as the parts it was written from.
TEST(AddressText, WrittenAddressesReadBack) {
    struct Case {
        const char* file;
        const char* location;
    };
    const Case cases[] = {
        {"", "\\a\"b"},
        {"", "\"\""},
        {"", "\\F\\it's"},
        {"/d/x]y.vln", "\\S"},
        {"/d/a]\\b.vln", "\\F\\S"},
        {"/d/q\"z.vln", "\\S\"1"},
    };
    for (const Case& c : cases) {
        const std::string text = FormatCellAddress(c.file, c.location, Desc({4, 9, 5, 11}), false);
        AddressParts parts;
        ASSERT_TRUE(SplitAddressText(text, parts)) << text;
        EXPECT_EQ(parts.file, c.file) << text;
        EXPECT_EQ(parts.location, c.location) << text;
        EXPECT_EQ(parts.rest, "E10:F12") << text;
    }
}

TEST(AddressText, SplitsLocatedTexts) {
    struct Case {
        const char* text;
        bool ok;
        const char* file;
        const char* location;
        bool hasLocation;
        const char* rest;
    };
    const Case cases[] = {
        {"\\Sheet1!R2C3  -  Total", true, "", "\\Sheet1", true, "R2C3  -  Total"},
        {"\"My Sales\"!B3", true, "", "My Sales", true, "B3"},
        {"'[/d/a b.vln  ]\\S'!R1C1", true, "/d/a b.vln", "\\S", true, "R1C1"},
        {"[/d/a.vln]S!A1", true, "/d/a.vln", "S", true, "A1"},
        {"B3", true, "", "", false, "B3"},
        {"\"open!B3", false, "", "", false, ""},
        {"\"S\"B3", false, "", "", false, ""},
        {"[unended!A1", false, "", "", false, ""},
        {"\"\\a\"\"b\"!E10", true, "", "\\a\"b", true, "E10"},
        {"\"\\a\"\"!E10", false, "", "", false, ""},
        {"\"[/d/x]y.vln]\\S\"!A1", true, "/d/x]y.vln", "\\S", true, "A1"},
        {"\"[/d/x.vln]S\"!A1", true, "/d/x.vln", "S", true, "A1"},
        {"\"[/d/x]y.vln]\"!A1", true, "/d/x]y.vln", "", true, "A1"},
        {"", true, "", "", false, ""},
    };
    for (const Case& c : cases) {
        AddressParts parts;
        ASSERT_EQ(SplitAddressText(c.text, parts), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(parts.file, c.file) << c.text;
        EXPECT_EQ(parts.location, c.location) << c.text;
        EXPECT_EQ(parts.hasLocation, c.hasLocation) << c.text;
        EXPECT_EQ(parts.rest, c.rest) << c.text;
    }
}

TEST(AddressText, ParsesRangesOfOneKind) {
    struct Case {
        const char* text;
        bool r1c1;
        bool ok;
        CellRange range;
    };
    const Case cases[] = {
        {"B:D", false, true, {1, 0, 3, kLastRow}},
        {"3:5", false, true, {0, 2, kLastColumn, 4}},
        {"B", false, false, {}},
        {"A1:5", false, false, {}},
        {" C2 ", false, true, {2, 1, 2, 1}},
        {"C4:A2", false, true, {0, 1, 2, 3}},
        {"C2:C4", true, true, {1, 0, 3, kLastRow}},
        {"R1C1:R3", true, false, {}},
        {"R2097152C1", true, true, {0, kLastRow, 0, kLastRow}},
        {"R2097153C1", true, false, {}},
        {"R1C2047", true, true, {kLastColumn, 0, kLastColumn, 0}},
        {"R1C2048", true, false, {}},
        {"A1x", false, false, {}},
    };
    for (const Case& c : cases) {
        RangeDescriptor d;
        ASSERT_EQ(ParseGoRange(c.text, c.r1c1, 0, 0, d), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(d.c1, c.range.c1) << c.text;
        EXPECT_EQ(d.r1, c.range.r1) << c.text;
        EXPECT_EQ(d.c2, c.range.c2) << c.text;
        EXPECT_EQ(d.r2, c.range.r2) << c.text;
    }
    // A bookmark's range leaves its tail.
    RangeDescriptor d;
    std::size_t end = 0;
    ASSERT_TRUE(ParseAddressRange("R2C3  -  Total", 0, 0, d, &end));
    EXPECT_EQ(end, 4u);
    // A column reference joined to a cell fails.
    EXPECT_FALSE(ParseAddressRange("C2:R1C1", 0, 0, d));
}

} // namespace

} // namespace vl
