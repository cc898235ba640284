// Rows and columns through the window: heights that follow their rows or are measured
// again, and the row searches that compare whole rows.

#include "model/formatstore.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "render/metrics.h"
#include "resources/commandids.h"
#include "tests/formula/evaltestutil.h"
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
    // The cell as the grid shows it: its editor text, then its value.
    std::string Shown(uint16_t column, uint32_t row) const {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        return CellText(column, row) + " -> " + (r ? test::ShownRecord(r) : "");
    }
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

TEST_F(RowsColumnsTest, UndoOfInsertedColumnsGivesAWholeRowItsFormatBack) {
    // Row 8 made bold to the last column by keys, then columns inserted and undone by keys.
    const auto bold = [&](uint16_t column) {
        const uint16_t style = CellStyleIndex(Book().tree.active->formats, 7, column);
        return Book().styles.fonts[Book().styles.styles[style].fontRef.fontIndex].weight > 1;
    };
    SelectRange(0, 7, kLastColumn, 7);
    Key(Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(bold(0) && bold(kLastColumn - 1) && bold(kLastColumn));
    Select(2, 3);
    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(bold(2)); // the run grows over the new columns
    EXPECT_TRUE(bold(kLastColumn));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(View()->Selection(), (CellRange{2, 3, 2, 3}));
    EXPECT_TRUE(bold(2));
    EXPECT_TRUE(bold(kLastColumn - 1));
    EXPECT_TRUE(bold(kLastColumn));
    // One Undo took the insertion back whole: the next one takes the bold.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(bold(0));
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

namespace {

struct ShownCell {
    uint16_t column;
    uint32_t row;
    const char* before;
    const char* after;
};

} // namespace

// Removing or inserting rows through the window's commands: a formula whose cell went reads
// #REF!, a range keeps its survivors, a range to the last row keeps reaching it; Undo brings
// every text and value back, Redo takes them again.
TEST_F(RowsColumnsTest, ReadersOfRemovedCellsShowRefAndRangesKeepTheirSurvivors) {
    struct Case {
        const char* name;
        int id;
        uint32_t first, last; // the rows selected
        std::vector<ShownCell> cells;
    };
    const Case cases[] = {
        {"rows 3-4 removed",
         ID_REMOVE_ROWS,
         2,
         3,
         {{1, 0, "=A3*10 -> 30", "=#REF!*10 -> #REF!"},
          {2, 0, "=$A$3 -> 3", "=#REF! -> #REF!"},
          {3, 0, "=SUM(A3:A4) -> 7", "=SUM(#REF!) -> #REF!"},
          {7, 7, "=A3 -> 3", "=#REF! -> #REF!"},
          {4, 0, "=SUM(A3:A6) -> 18", "=SUM(A3:A4) -> 11"},
          {5, 0, "=SUM(A1:A10) -> 55", "=SUM(A1:A8) -> 48"}}},
        {"row 3 removed",
         ID_REMOVE_ROWS,
         2,
         2,
         {{3, 0, "=SUM(A3:A4) -> 7", "=SUM(A3:A3) -> 4"},
          {5, 0, "=SUM(A1:A10) -> 55", "=SUM(A1:A9) -> 52"}}},
        {"rows 5-12 removed",
         ID_REMOVE_ROWS,
         4,
         11,
         {{5, 0, "=SUM(A1:A10) -> 55", "=SUM(A1:A4) -> 10"},
          {6, 0, "=SUM(A3:A12) -> 75", "=SUM(A3:A4) -> 7"}}},
        {"rows 1-4 removed",
         ID_REMOVE_ROWS,
         0,
         3,
         {{6, 12, "=SUM(A3:A12) -> 75", "=SUM(A1:A8) -> 68"}}},
        {"rows 3-4 inserted under a range to the last row",
         ID_INSERT_ROWS,
         2,
         3,
         {{8, 0, "=SUM($A$1:$A$2097152) -> 210", "=SUM($A$1:$A$2097152) -> 210"},
          {1, 0, "=A3*10 -> 30", "=A5*10 -> 30"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(NewWindow(), nullptr);
        for (uint32_t row = 0; row < 20; ++row) Enter(0, row, QString::number(row + 1));
        const char* formulas[] = {
            "=A3*10",       "=$A$3",        "=SUM(A3:A4)",          "=SUM(A3:A6)",
            "=SUM(A1:A10)", "=SUM(A3:A12)", "=SUM($A$1:$A$2097152)"};
        const uint16_t columns[] = {1, 2, 3, 4, 5, 6, 8};
        for (size_t i = 0; i < 7; ++i) Enter(columns[i], 0, QString::fromLatin1(formulas[i]));
        Enter(7, 7, QStringLiteral("=A3"));
        Enter(6, 12, QStringLiteral("=SUM(A3:A12)"));
        SelectRange(0, c.first, 0, c.last);
        Command(c.id);
        const auto place = [&](const ShownCell& s) {
            // Cells below the edit moved with their rows.
            const int64_t shift = c.id == ID_REMOVE_ROWS ? -int64_t(c.last - c.first + 1)
                                                         : int64_t(c.last - c.first + 1);
            return s.row > c.last ? uint32_t(s.row + shift) : s.row;
        };
        for (const ShownCell& s : c.cells)
            EXPECT_EQ(Shown(s.column, place(s)), s.after) << "after, " << s.before;
        Command(ID_EDIT_UNDO);
        for (const ShownCell& s : c.cells) EXPECT_EQ(Shown(s.column, s.row), s.before) << "undone";
        Command(ID_EDIT_REDO);
        for (const ShownCell& s : c.cells)
            EXPECT_EQ(Shown(s.column, place(s)), s.after) << "redone, " << s.before;
    }
}

} // namespace vl
