// Rows and columns through the window: heights that follow their rows or are measured
// again, and the row searches that compare whole rows.

#include "model/formatstore.h"
#include "model/workbook.h"
#include "render/metrics.h"
#include "resources/commandids.h"
#include "wndtest.h"

namespace vl {

namespace {

class RowsColumnsTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    void Command(int id) {
        View()->setFocus();
        Active()->HandleCommand(id);
        Settle();
    }
    int32_t Height(uint32_t row) const { return GetRowHeight(*Book().tree.active, row, 100); }
};

TEST_F(RowsColumnsTest, ACustomHeightMovesWithItsRow) {
    ASSERT_TRUE(SetFormatStoreRowEntry(Book().tree.active->formats, 2, 40, true));
    Enter(0, 5, QStringLiteral("1"));
    struct Step {
        int id;
        int32_t heights[4]; // rows 1 to 4
    } steps[] = {
        {ID_INSERT_ROWS, {18, 18, 40, 18}},
        {ID_EDIT_UNDO, {18, 40, 18, 18}},
        {ID_EDIT_REDO, {18, 18, 40, 18}},
        {ID_REMOVE_ROWS, {18, 40, 18, 18}},
    };
    for (const Step& s : steps) {
        Select(0, 0);
        Command(s.id);
        for (uint32_t row = 1; row <= 4; ++row)
            EXPECT_EQ(Height(row), s.heights[row - 1]) << s.id << " row " << row;
    }
}

TEST_F(RowsColumnsTest, RemovingColumnsOfWrappedTextRefitsHeights) {
    ASSERT_TRUE(WrapText(0, 0));
    Enter(0, 0, QStringLiteral("one two three four five six seven eight"));
    Enter(1, 0, QStringLiteral("1"));
    const int32_t tall = Height(0);
    ASSERT_GT(tall, 18);
    // Removing column B leaves the wrapped text: the height stays; so does inserting a
    // column before it and removing that again, which moves the text and its style.
    Select(1, 0);
    Command(ID_REMOVE_COLUMNS);
    EXPECT_EQ(Height(0), tall);
    Select(0, 0);
    Command(ID_INSERT_COLUMNS);
    Select(0, 0);
    Command(ID_REMOVE_COLUMNS);
    EXPECT_EQ(Height(0), tall);
    Select(0, 0);
    Command(ID_REMOVE_COLUMNS);
    EXPECT_EQ(Height(0), 18);
    // Undo brings the wrapped text back, Redo takes it again: both measure the rows.
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Height(0), tall);
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Height(0), 18);
}

TEST_F(RowsColumnsTest, IdenticalRowsCompareAllColumnsOfTheSelection) {
    // Row 1 holds A, row 2 B and C, row 3 nothing, rows 4 and 6 the same three values,
    // row 5 other ones.
    Enter(0, 1, QStringLiteral("1"));
    Enter(1, 2, QStringLiteral("1"));
    Enter(2, 2, QStringLiteral("1"));
    for (uint16_t c = 0; c < 3; ++c) {
        Enter(c, 4, QString::number(c));
        Enter(c, 5, QString::number(c + 1));
        Enter(c, 6, QString::number(c));
    }
    struct Case {
        int id;
        uint32_t from, to;
    } cases[] = {
        {ID_NEXT_IDENTICAL, 0, 3}, // from an empty row: the next row empty in all three
        {ID_NEXT_IDENTICAL, 4, 6}, {ID_NEXT_DIFFERENT, 3, 4},
        {ID_NEXT_NONEMPTY, 0, 4}, // rows holding one or two of the three are skipped
        {ID_NEXT_EMPTY, 4, 7},
    };
    for (const Case& c : cases) {
        View()->SetSelection({0, c.from, 2, c.from});
        Command(c.id);
        EXPECT_EQ(View()->Selection(), (CellRange{0, c.to, 2, c.to})) << c.id << " from " << c.from;
    }
    EXPECT_EQ(ui.beeps, 0);
}

TEST_F(RowsColumnsTest, EveryRowSearchForwardAndBackOverBToD) {
    // Columns B to D; A and E hold decoys that the searches must not see.
    //   row 0: x y z   row 1: x . .   row 2: . . .   row 3: x y z   row 4: x y w
    //   row 5: p q r   row 6: . . .   row 7: x y z
    const char* rows[] = {"xyz", "x..", "...", "xyz", "xyw", "pqr", "...", "xyz"};
    for (uint32_t row = 0; row < 8; ++row) {
        for (uint16_t c = 0; c < 3; ++c)
            if (rows[row][c] != '.') Enter(uint16_t(c + 1), row, QString(QChar(rows[row][c])));
        Enter(row % 2 ? 0 : 4, row, QStringLiteral("decoy"));
    }
    struct Case {
        int id;
        uint32_t from, to; // to == from: no row qualifies
    } cases[] = {
        {ID_NEXT_NONEMPTY, 1, 3},  {ID_NEXT_EMPTY, 3, 6},     {ID_NEXT_IDENTICAL, 0, 3},
        {ID_NEXT_DIFFERENT, 3, 5}, {ID_PREV_NONEMPTY, 3, 0},  {ID_PREV_EMPTY, 5, 2},
        {ID_PREV_IDENTICAL, 7, 3}, {ID_PREV_DIFFERENT, 4, 2}, {ID_NEXT_IDENTICAL, 5, 5},
        {ID_PREV_EMPTY, 0, 0},     {ID_PREV_NONEMPTY, 0, 0},  {ID_NEXT_NONEMPTY, 7, 7},
    };
    int beeps = ui.beeps;
    for (const Case& c : cases) {
        View()->SetSelection({1, c.from, 3, c.from});
        Command(c.id);
        EXPECT_EQ(View()->Selection(), (CellRange{1, c.to, 3, c.to})) << c.id << " from " << c.from;
        if (c.to == c.from) ++beeps;
        EXPECT_EQ(ui.beeps, beeps) << c.id << " from " << c.from;
    }
}

} // namespace

} // namespace vl
