// Typed input keeps the form it was written in as a cell style, unless the style table is
// full or automatic formatting is off.

#include "model/rangestyle.h"
#include "model/workbook.h"
#include "wndtest.h"

namespace vl {

namespace {

class TypedStyleTest : public wndtest::WindowTest {};

TEST_F(TypedStyleTest, TypedInputTakesTheFormItWasWrittenIn) {
    ASSERT_NE(NewWindow(), nullptr);
    struct Case {
        bool autoFormatting;
        bool fullTable;
        uint8_t kind; // the cell's number format afterwards
        bool error;
    };
    // A full table first, while no style of the typed form exists yet.
    const Case cases[] = {{true, true, STD_STYLE_DEFAULT, true},
                          {true, false, STD_STYLE_PERCENTAGE, false},
                          {false, false, STD_STYLE_DEFAULT, false}};
    uint16_t column = 0;
    for (const Case& c : cases) {
        Profile().autoFormatting = c.autoFormatting;
        StyleTables& t = Book().styles;
        const uint16_t count = t.styleCount;
        if (c.fullTable)
            while (t.styleCount < kMaxStyles) t.styles[t.styleCount++].numberFormat.kind = 9;
        ui.boxes.clear();
        Enter(column, 0, QStringLiteral("12%"));
        const uint8_t* cell = FindCell(Book().tree.active->cells, 0, column);
        ASSERT_NE(cell, nullptr);
        EXPECT_DOUBLE_EQ(cell::Number(cell), 0.12);
        const uint16_t style = CellStyleIndex(Book().tree.active->formats, 0, column);
        EXPECT_EQ(GetStyleRecord(t, style).numberFormat.kind, c.kind) << column;
        EXPECT_EQ(ui.boxes.size(), c.error ? 1u : 0u) << column;
        t.styleCount = count;
        ++column;
    }
}

} // namespace

} // namespace vl
