#include "core/settings.h"
#include "formula/celltext.h"
#include "formula/edit/datacommands.h"
#include "formula/edit/editcommands.h"
#include "platform/core/editerrors.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

// S3 (empty) as the active worksheet, cells given as typed-like values by PutValue.
struct DataBook {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    CEvalContext& ctx = *EditContext(b.Book());
    DataBook() { b.Book().tree.active = &ws; }
    std::vector<std::string> Column(uint16_t c, uint32_t r1, uint32_t r2) {
        std::vector<std::string> out;
        for (uint32_t r = r1; r <= r2; ++r) out.push_back(ValueAt(ws.cells, c, r));
        return out;
    }
    std::string UserFormula(uint16_t c, uint32_t r) {
        const uint8_t* rec = FindCell(ws.cells, r, c);
        return rec && cell::IsFormula(rec) ? GetFormulaUserText(ctx, rec) : "<none>";
    }
};

using V = std::vector<std::string>;

} // namespace

TEST(DateTimeInsertText, StepsFromTodayAndMonthEndsLandOnTheLastDay) {
    IsoDateTime now;
    ASSERT_TRUE(ParseIsoDateTime(now, "2024-01-31T23:30:05"));
    IsoDateTime march;
    ASSERT_TRUE(ParseIsoDateTime(march, "2024-03-31T00:00:00"));
    struct Case {
        const IsoDateTime& now;
        bool date, time;
        DateStep step;
        const char* text;
    };
    const Case cases[] = {
        {now, true, false, DateStep::kNone, "2024-01-31"},
        {now, false, true, DateStep::kNone, "23:30:05"},
        {now, true, true, DateStep::kNone, "2024-01-31T23:30:05"},
        {now, true, false, DateStep::kNextWeek, "2024-02-07"},
        {now, true, false, DateStep::kPrevWeek, "2024-01-24"},
        {now, true, false, DateStep::kNextMonth, "2024-02-29"},
        {now, true, false, DateStep::kEndNextMonth, "2024-02-29"},
        {now, true, false, DateStep::kEndPrevMonth, "2023-12-31"},
        {march, true, false, DateStep::kEndPrevMonth, "2024-02-29"},
        {march, true, false, DateStep::kPrevMonth, "2024-02-29"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DateTimeInsertText(c.now, c.date, c.time, c.step), c.text) << c.text;
}

TEST(FillSeriesCommand, NumbersDatesTextsAndDirections) {
    struct Case {
        const char* name;
        CellRange range;
        std::vector<std::pair<CellRange, std::string>> given; // single cells
        uint16_t column;                                      // the column read back
        V expected;
    };
    const Case cases[] = {
        {"1, 3", {0, 0, 0, 4}, {{{0, 0}, "1"}, {{0, 1}, "3"}}, 0, {"1", "3", "5", "7", "9"}},
        {"1 alone", {0, 0, 0, 2}, {{{0, 0}, "1"}}, 0, {"1", "2", "3"}},
        {"10, 12 last",
         {0, 0, 0, 4},
         {{{0, 3}, "10"}, {{0, 4}, "12"}},
         0,
         {"4", "6", "8", "10", "12"}},
        {"12 last alone", {0, 0, 0, 2}, {{{0, 2}, "12"}}, 0, {"10", "11", "12"}},
        {"a day",
         {0, 0, 0, 2},
         {{{0, 0}, "2024-01-31"}},
         0,
         {"2024-01-31", "2024-02-01", "2024-02-02"}},
        {"an hour",
         {0, 0, 0, 2},
         {{{0, 0}, "2024-01-31T23:00:00"}},
         0,
         {"2024-01-31T23:00:00", "2024-02-01T00:00:00", "2024-02-01T01:00:00"}},
        {"two days",
         {0, 0, 0, 3},
         {{{0, 0}, "2024-01-31"}, {{0, 1}, "2024-02-02"}},
         0,
         {"2024-01-31", "2024-02-02", "2024-02-04", "2024-02-06"}},
        {"a day back",
         {0, 0, 0, 2},
         {{{0, 2}, "2024-03-01"}},
         0,
         {"2024-02-28", "2024-02-29", "2024-03-01"}},
        // A step of milliseconds across a second keeps its milliseconds, both ways.
        {"0.75 seconds",
         {0, 0, 0, 3},
         {{{0, 0}, "2024-01-31T23:59:59.500"}, {{0, 1}, "2024-02-01T00:00:00.250"}},
         0,
         {"2024-01-31T23:59:59.500", "2024-02-01T00:00:00.250", "2024-02-01T00:00:01",
          "2024-02-01T00:00:01.750"}},
        {"0.75 seconds, filled upwards",
         {0, 0, 0, 2},
         {{{0, 1}, "2024-01-01T00:00:01.250"}, {{0, 2}, "2024-01-01T00:00:00.500"}},
         0,
         {"2024-01-01T00:00:02", "2024-01-01T00:00:01.250", "2024-01-01T00:00:00.500"}},
        {"item", {0, 0, 0, 2}, {{{0, 0}, "Item"}, {{0, 2}, "9"}}, 0, {"Item", "Item", "Item"}},
        // Past the largest number: #NUM!, never an infinity; a step that is itself too large
        // leaves the base as it was.
        {"past the largest number",
         {0, 0, 0, 3},
         {{{0, 0}, "1e308"}, {{0, 1}, "1.5e308"}},
         0,
         {"1e+308", "1.5e+308", "#NUM!", "#NUM!"}},
        {"an infinite step",
         {0, 0, 0, 2},
         {{{0, 0}, "-1.7e308"}, {{0, 1}, "1.7e308"}},
         0,
         {"-1.7e+308", "#NUM!", "#NUM!"}},
    };
    for (const Case& c : cases) {
        DataBook d;
        for (const auto& [at, value] : c.given) PutValue(d.ws.cells, at.c1, at.r1, value);
        ASSERT_EQ(FillSeriesCommand(d.b.Book(), d.ctx, {c.range, 0, 0}), CommandResult::kDone)
            << c.name;
        EXPECT_EQ(d.Column(c.column, c.range.r1, c.range.r2), c.expected) << c.name;
    }
}

TEST(FillSeriesCommand, RowsContinueAFormulaGivesItsValueAndUndoRestores) {
    DataBook d;
    PutValue(d.ws.cells, 0, 0, "1");
    PutValue(d.ws.cells, 1, 0, "2");
    PutValue(d.ws.cells, 1, 1, "text");
    const WorkbookDump before = d.b.Dump();
    ASSERT_EQ(FillSeriesCommand(d.b.Book(), d.ctx, {{0, 0, 2, 1}, 0, 0}), CommandResult::kDone);
    EXPECT_EQ(ValueAt(d.ws.cells, 2, 0), "3");
    EXPECT_EQ(ValueAt(d.ws.cells, 0, 1), "4");
    EXPECT_EQ(ValueAt(d.ws.cells, 1, 1), "5");
    EXPECT_EQ(ValueAt(d.ws.cells, 2, 1), "6");
    const WorkbookDump after = d.b.Dump();
    ASSERT_EQ(UndoCommand(d.b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(before, d.b.Dump()));
    ASSERT_EQ(RedoCommand(d.b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(after, d.b.Dump()));
    // A formula showing 5 starts 5, 6, 7 and becomes the number 5.
    d.b.Formula(d.ws, 5, 0, "=2+3");
    RecalculateByUpdateMode(d.b.Book());
    ASSERT_EQ(FillSeriesCommand(d.b.Book(), d.ctx, {{5, 0, 5, 2}, 0, 0}), CommandResult::kDone);
    EXPECT_EQ(KindAndValue(d.ws.cells, 5, 0), "n 5");
    EXPECT_EQ(d.Column(5, 0, 2), (V{"5", "6", "7"}));
    // Both ends empty: nothing written, nothing recorded; one cell does nothing.
    const int32_t undo = d.b.Book().undo.current;
    bool none = false;
    EXPECT_EQ(FillSeriesCommand(d.b.Book(), d.ctx, {{7, 0, 7, 5}, 0, 0}, &none),
              CommandResult::kNothing);
    EXPECT_TRUE(none);
    EXPECT_EQ(FillSeriesCommand(d.b.Book(), d.ctx, {{5, 0, 5, 0}, 0, 0}, &none),
              CommandResult::kNothing);
    EXPECT_FALSE(none);
    EXPECT_EQ(d.b.Book().undo.current, undo);
}

TEST(QuickStatisticsCommand, RowsColumnsCornerAndAddressing) {
    struct Case {
        const char* name;
        CellRange range;
        bool a1;
        std::vector<std::tuple<uint16_t, uint32_t, std::string>> formulas;
        std::vector<std::pair<uint16_t, uint32_t>> empty;
    };
    const Case cases[] = {
        {"rows",
         {0, 0, 3, 2},
         true,
         {{3, 0, "=sum(A1:C1)"}, {3, 1, "=sum(A2:C2)"}, {3, 2, "=sum(A3:C3)"}},
         {{0, 3}}},
        {"columns",
         {0, 0, 2, 3},
         true,
         {{0, 3, "=sum(A1:A3)"}, {1, 3, "=sum(B1:B3)"}, {2, 3, "=sum(C1:C3)"}},
         {{3, 0}}},
        {"both",
         {0, 0, 3, 3},
         true,
         {{3, 0, "=sum(A1:C1)"},
          {3, 2, "=sum(A3:C3)"},
          {0, 3, "=sum(A1:A3)"},
          {3, 3, "=sum(A1:C3)"}},
         {}},
        {"r1c1", {0, 0, 3, 2}, false, {{3, 0, "=sum(RC[-3]:RC[-1])"}}, {}},
        {"one column", {0, 0, 0, 2}, true, {}, {{0, 3}}},
    };
    for (const Case& c : cases) {
        DataBook d;
        const uint8_t keep = Profile().addressingA1;
        Profile().addressingA1 = c.a1;
        for (uint16_t col = 0; col < 3; ++col) PutColumn(d.ws.cells, col, 0, {"1", "2", "3"});
        const CommandResult result =
            QuickStatisticsCommand(d.b.Book(), d.ctx, {c.range, 0, 0}, "=sum(%s)");
        EXPECT_EQ(result, c.formulas.empty() ? CommandResult::kNothing : CommandResult::kDone)
            << c.name;
        for (const auto& [col, row, text] : c.formulas)
            EXPECT_EQ(d.UserFormula(col, row), text) << c.name;
        for (const auto& [col, row] : c.empty)
            EXPECT_EQ(ValueAt(d.ws.cells, col, row), "") << c.name;
        Profile().addressingA1 = keep;
    }
    DataBook d;
    bool single = false;
    EXPECT_EQ(QuickStatisticsCommand(d.b.Book(), d.ctx, {{2, 2, 2, 2}, 0, 0}, "=sum(%s)", &single),
              CommandResult::kNothing);
    EXPECT_TRUE(single);
}

TEST(StepValueCommand, NumbersDatesAndTimesStepOthersStay) {
    struct Case {
        std::string given;
        int step;
        std::string expected;
        bool done;
    };
    const Case cases[] = {
        {"2.5", 1, "3.5", true},
        {"0", -1, "-1", true},
        {"2024-02-28", 1, "2024-02-29", true},
        {"2024-03-01", -1, "2024-02-29", true},
        {"2024-01-31T23:30:00", 1, "2024-02-01T00:30:00", true},
        {"2024-01-31x", 1, "2024-01-31x", false},
        {"word", 1, "word", false},
        {"", 1, "", false},
    };
    for (const Case& c : cases) {
        DataBook d;
        PutValue(d.ws.cells, 1, 1, c.given);
        const int32_t undo = d.b.Book().undo.current;
        const WorkbookDump before = d.b.Dump();
        EXPECT_EQ(StepValueCommand(d.b.Book(), {{1, 1, 1, 1}, 0, 0}, 1, 1, c.step),
                  c.done ? CommandResult::kDone : CommandResult::kNothing)
            << c.given;
        EXPECT_EQ(ValueAt(d.ws.cells, 1, 1), c.expected) << c.given;
        if (!c.done) {
            EXPECT_EQ(d.b.Book().undo.current, undo) << c.given;
            continue;
        }
        ASSERT_EQ(UndoCommand(d.b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(before, d.b.Dump())) << c.given;
    }
    // A formula is left alone.
    DataBook d;
    d.b.Formula(d.ws, 0, 0, "=1");
    EXPECT_EQ(StepValueCommand(d.b.Book(), {{0, 0, 0, 0}, 0, 0}, 0, 0, 1), CommandResult::kNothing);
}

// An array's elements are its formula's: a step there is refused with the array message and
// stores nothing, whatever the element holds; the anchor is a formula and is left alone.
TEST(StepValueCommand, AnArraysCellsAreRefused) {
    struct Case {
        const char* name;
        uint16_t column;
        uint32_t row;
        int step;
        CommandResult result;
    };
    const Case cases[] = {
        {"a number element, up", 1, 0, 1, CommandResult::kFailed},
        {"a number element, down", 0, 1, -1, CommandResult::kFailed},
        {"a date element", 1, 1, 1, CommandResult::kFailed},
        {"an error element", 2, 0, 1, CommandResult::kFailed},
        {"the anchor", 0, 0, 1, CommandResult::kNothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataBook d;
        // A1 spreads E1:G2, whose G1 is an error, over A1:C2.
        PutValue(d.ws.cells, 4, 0, "1");
        PutValue(d.ws.cells, 5, 0, "2");
        d.b.Formula(d.ws, 6, 0, "=1/0");
        PutValue(d.ws.cells, 4, 1, "3");
        PutValue(d.ws.cells, 5, 1, "2024-02-28");
        PutValue(d.ws.cells, 6, 1, "5");
        d.b.Formula(d.ws, 0, 0, "=R1C5:R2C7");
        RecalculateByUpdateMode(d.b.Book());
        ASSERT_NE(cell::Error(FindCell(d.ws.cells, 0, 2)), 0);
        ASSERT_EQ(d.Column(1, 0, 1), (V{"2", "2024-02-28"}));
        const int32_t undo = d.b.Book().undo.current;
        const WorkbookDump before = d.b.Dump();
        d.b.Book().error = kErrorNone;
        EXPECT_EQ(StepValueCommand(d.b.Book(),
                                   {{c.column, c.row, c.column, c.row}, c.column, c.row}, c.column,
                                   c.row, c.step),
                  c.result);
        EXPECT_EQ(d.b.Book().error,
                  c.result == CommandResult::kFailed ? kErrorArrayCut : ErrorCode(kErrorNone));
        EXPECT_EQ(d.b.Book().undo.current, undo);
        EXPECT_TRUE(SameWorkbook(before, d.b.Dump()));
        // The array spreads as before: no value of the step blocks it.
        RecalculateByUpdateMode(d.b.Book());
        EXPECT_EQ(d.Column(1, 0, 1), (V{"2", "2024-02-28"}));
        EXPECT_EQ(d.Column(0, 0, 1), (V{"1", "3"}));
    }
}

TEST(SortSelection, ASelectionPastTheUsedCellsSortsNothing) {
    DataBook d;
    PutColumn(d.ws.cells, 0, 0, {"3", "1", "2"});
    PutColumn(d.ws.cells, 1, 0, {"c", "a", "b"});
    const WorkbookDump before = d.b.Dump();
    const uint16_t key = 1;
    const uint8_t up = 1;
    struct Case {
        CellRange range;
        CommandResult result;
    };
    const Case cases[] = {
        {{2, 0, 4, 2}, CommandResult::kNothing},        // right of the used columns
        {{0, 3, 1, kLastRow}, CommandResult::kNothing}, // below the used rows
        {{0, 0, 1, kLastRow}, CommandResult::kDone},    // whole columns: to the last used row
    };
    for (const Case& c : cases) {
        const uint16_t column = c.range.c1 + key - 1 > 1 ? 1 : uint16_t(c.range.c1 + key - 1);
        EXPECT_EQ(SortSelection(d.b.Book(), {c.range, 0, 0}, 1, &column, &up), c.result);
        if (c.result == CommandResult::kNothing) {
            EXPECT_TRUE(SameWorkbook(before, d.b.Dump()));
        }
    }
    EXPECT_EQ(d.Column(0, 0, 3), (V{"1", "2", "3", ""}));
    EXPECT_EQ(d.Column(1, 0, 2), (V{"a", "b", "c"}));
}

} // namespace vl
