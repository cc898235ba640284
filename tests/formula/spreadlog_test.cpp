// The log of what formulas read during a recalculation: each formula's references kept once
// however often one evaluation (or a search's trials) reads them again, those that overlap or
// touch kept as their union, and the marks of its evaluations kept in order.
#include "formula/spreadlog.h"
#include "model/cellstore.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace vl {

namespace {

// One read by the formula in row `formula` of cells `a` of the column `column` of `sheet`.
BuiltReference Read(const CCellStore* sheet, uint32_t formula, uint32_t row, uint16_t column = 0) {
    return {sheet, formula, 0, sheet, {column, row, column, row}, 0};
}

BuiltReference Mark(const CCellStore* sheet, uint32_t formula) {
    return {sheet, formula, 0, nullptr, {kMarkCalculated, 0, kMarkCalculated, 0}, 0};
}

// The rows read ("7" or "7-26"), and "m" for a mark, as kept.
std::string Kept(const CSpreadLog& log) {
    std::string out;
    for (std::size_t i = 0; i < log.BuiltSize(); ++i) {
        const BuiltReference& b = log.BuiltAt(i);
        std::string rows = "m";
        if (b.cells) {
            rows = std::to_string(b.area.r1);
            if (b.area.r2 != b.area.r1) rows += "-" + std::to_string(b.area.r2);
        }
        out += std::to_string(b.row) + ":" + rows + " ";
    }
    return out;
}

} // namespace

TEST(SpreadLog, EachFormulaKeepsEachReferenceOnce) {
    CCellStore s1, s2;
    struct Case {
        const char* name;
        std::vector<BuiltReference> noted;
        std::string kept;
    };
    // Rows apart, so that none is merged with another.
    std::vector<BuiltReference> trials;
    for (uint32_t t = 0; t < 200; ++t) trials.push_back(Read(&s1, 1, 7 + 2 * (t % 20)));
    std::string twenty;
    for (uint32_t r = 7; r < 47; r += 2) twenty += "1:" + std::to_string(r) + " ";
    const Case cases[] = {
        {"the same at once", {Read(&s1, 1, 5), Read(&s1, 1, 5)}, "1:5 "},
        {"alternating", {Read(&s1, 1, 5), Read(&s1, 1, 9), Read(&s1, 1, 5)}, "1:5 1:9 "},
        {"trials past the few looked at one by one", trials, twenty},
        {"another worksheet is another reference",
         {Read(&s1, 1, 5), {&s1, 1, 0, &s2, {0, 5, 0, 5}, 0}, Read(&s1, 1, 5)},
         "1:5 1:5 "},
        {"another column is another reference",
         {Read(&s1, 1, 5), Read(&s1, 1, 5, 1), Read(&s1, 1, 5)},
         "1:5 1:5 "},
        {"another formula between starts afresh",
         {Read(&s1, 1, 5), Read(&s1, 2, 5), Read(&s1, 1, 5)},
         "1:5 2:5 1:5 "},
        {"a mark after a read kept already is the same mark",
         {Read(&s1, 1, 5), Mark(&s1, 1), Read(&s1, 1, 5), Mark(&s1, 1)},
         "1:5 1:m "},
        {"a mark after a new read is kept after it",
         {Read(&s1, 1, 5), Mark(&s1, 1), Read(&s1, 1, 9), Mark(&s1, 1)},
         "1:5 1:m 1:9 1:m "},
        {"a mark again at once is one", {Mark(&s1, 1), Mark(&s1, 1)}, "1:m "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSpreadLog log;
        log.Begin();
        for (const BuiltReference& b : c.noted) log.Built(b);
        EXPECT_EQ(Kept(log), c.kept);
        EXPECT_FALSE(log.BuiltLost());
        log.End();
        EXPECT_EQ(log.BuiltSize(), 0u);
    }
}

// A mark carries the changes noted before it, so that a formula evaluated after a change is
// told from one evaluated before it; a mark noted again at once takes the later count.
TEST(SpreadLog, MarksCarryTheChangesNotedBeforeThem) {
    CCellStore s1;
    CSpreadLog log;
    log.Begin();
    log.Built(Mark(&s1, 1));
    log.Changed(s1, 3, 0, {0, 3, 0, 4});
    log.Built(Mark(&s1, 2));
    log.Changed(s1, 3, 0, {0, 3, 0, 4});
    log.Built(Mark(&s1, 2));
    ASSERT_EQ(log.BuiltSize(), 2u);
    EXPECT_EQ((std::vector<uint32_t>{log.BuiltAt(0).clock, log.BuiltAt(1).clock, log[0].clock,
                                     log[1].clock, log.Clock()}),
              (std::vector<uint32_t>{0, 2, 0, 1, 2}));
    log.End();
    log.Begin();
    EXPECT_EQ(log.Clock(), 0u);
    log.End();
}

namespace {

// A read of rows r1..r2 of columns c1..c2, a change noted, or the log's references taken.
struct Step {
    enum Kind { kRead, kChange, kTake } kind;
    const CCellStore* sheet = nullptr;
    uint32_t formula = 0;
    uint32_t r1 = 0, r2 = 0;
    uint16_t c1 = 0, c2 = 0;
};

Step R(const CCellStore* sheet, uint32_t formula, uint32_t r1, uint32_t r2, uint16_t c1 = 0,
       uint16_t c2 = 0) {
    return {Step::kRead, sheet, formula, r1, r2, c1, c2};
}

// The formula's row, the worksheet read, its column and row.
using Cell = std::tuple<uint32_t, const CCellStore*, uint16_t, uint32_t>;

std::set<Cell> CellsOf(const std::vector<BuiltReference>& references) {
    std::set<Cell> cells;
    for (const BuiltReference& b : references)
        if (b.cells)
            for (uint16_t c = b.area.c1; c <= b.area.c2; ++c)
                for (uint32_t r = b.area.r1; r <= b.area.r2; ++r)
                    cells.insert({b.row, b.cells, c, r});
    return cells;
}

std::vector<BuiltReference> All(const CSpreadLog& log) {
    std::vector<BuiltReference> all;
    for (std::size_t i = 0; i < log.BuiltSize(); ++i) all.push_back(log.BuiltAt(i));
    return all;
}

bool Equal(const BuiltReference& a, const BuiltReference& b) {
    return a.from == b.from && a.row == b.row && a.column == b.column && a.cells == b.cells &&
           a.area.c1 == b.area.c1 && a.area.r1 == b.area.r1 && a.area.c2 == b.area.c2 &&
           a.area.r2 == b.area.r2 && a.clock == b.clock;
}

} // namespace

// Reads of one formula that overlap or touch, on the same worksheet and columns and between
// the same changes, are kept as one area: exactly the cells read, never more.
TEST(SpreadLog, ReadsThatOverlapOrTouchAreKeptAsTheirUnion) {
    CCellStore s1, s2;
    const Step change{Step::kChange};
    const Step take{Step::kTake};
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::size_t kept; // references, once all are taken
    };
    const Case cases[] = {
        {"touching cells", {R(&s1, 1, 5, 5), R(&s1, 1, 6, 6), R(&s1, 1, 4, 4)}, 1},
        {"overlapping ranges", {R(&s1, 1, 3, 8), R(&s1, 1, 6, 12)}, 1},
        {"a range within another", {R(&s1, 1, 3, 12), R(&s1, 1, 5, 6)}, 1},
        {"a range touching the end of another", {R(&s1, 1, 3, 8), R(&s1, 1, 9, 9)}, 1},
        {"one row between", {R(&s1, 1, 3, 8), R(&s1, 1, 10, 11)}, 2},
        {"a read joining two", {R(&s1, 1, 5, 5), R(&s1, 1, 7, 9), R(&s1, 1, 6, 6)}, 1},
        {"another worksheet", {R(&s1, 1, 5, 5), R(&s2, 1, 6, 6), R(&s1, 1, 6, 6)}, 2},
        {"another column", {R(&s1, 1, 5, 5), R(&s1, 1, 6, 6, 1, 1), R(&s1, 1, 4, 4)}, 2},
        {"two columns wide", {R(&s1, 1, 1, 2, 0, 1), R(&s1, 1, 3, 4, 0, 1)}, 1},
        {"one of two columns", {R(&s1, 1, 1, 2, 0, 1), R(&s1, 1, 3, 4, 0, 0)}, 2},
        {"a change between", {R(&s1, 1, 5, 5), change, R(&s1, 1, 6, 6), R(&s1, 1, 7, 7)}, 2},
        {"another formula between",
         {R(&s1, 1, 5, 5), R(&s1, 2, 6, 6), R(&s1, 1, 6, 6), R(&s1, 1, 7, 7)},
         3},
        {"reads past those taken", {R(&s1, 1, 5, 5), take, R(&s1, 1, 6, 6), R(&s1, 1, 5, 5)}, 2},
        {"reads within those taken", {R(&s1, 1, 5, 7), take, R(&s1, 1, 6, 6)}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSpreadLog log;
        log.Begin();
        std::vector<BuiltReference> read, taken;
        for (const Step& step : c.steps) {
            if (step.kind == Step::kChange) {
                log.Changed(s2, 0, 0, {0, 0, 0, 0});
            } else if (step.kind == Step::kTake) {
                taken.resize(log.TakeBuilt());
                for (std::size_t i = 0; i < taken.size(); ++i) taken[i] = log.BuiltAt(i);
            } else {
                const BuiltReference b{
                    &s1, step.formula, 0, step.sheet, {step.c1, step.r1, step.c2, step.r2}, 0};
                log.Built(b);
                read.push_back(b);
            }
        }
        EXPECT_EQ(log.TakeBuilt(), c.kept);
        EXPECT_EQ(CellsOf(All(log)), CellsOf(read));
        // What was taken is not changed by what comes after.
        for (std::size_t i = 0; i < taken.size(); ++i)
            EXPECT_TRUE(Equal(log.BuiltAt(i), taken[i])) << i;
        log.End();
    }
}

// A search's trials read cells in no order, thousands of times: what the formula keeps is the
// union of what they read, in as many areas as it has runs of rows, and at no time more than
// twice as many references as those runs (or a few dozen).
TEST(SpreadLog, ManyTrialsKeepTheUnionOfWhatTheyReadInFewReferences) {
    CCellStore s1;
    for (uint32_t rows : {1u, 37u, 3000u}) {
        SCOPED_TRACE(rows);
        CSpreadLog log;
        log.Begin();
        std::vector<BuiltReference> read;
        std::set<std::pair<uint16_t, uint32_t>> seen;
        std::size_t runs = 0, mostRuns = 0, mostKept = 0;
        uint32_t state = 12345;
        for (int t = 0; t < 20000; ++t) {
            state = state * 1103515245u + 12345u;
            const uint32_t row = 1 + (state >> 8) % rows;
            const uint16_t column = (state >> 30) == 0 ? 1 : 0; // a quarter in another column
            const BuiltReference b{&s1, 4, 2, &s1, {column, row, column, row}, 0};
            log.Built(b);
            read.push_back(b);
            if (seen.insert({column, row}).second) {
                runs += 1;
                runs -= seen.count({column, row - 1}) + seen.count({column, row + 1});
            }
            mostRuns = std::max(mostRuns, runs);
            mostKept = std::max(mostKept, log.BuiltSize());
        }
        EXPECT_LE(mostKept, std::max<std::size_t>(64, 2 * mostRuns));
        EXPECT_EQ(log.TakeBuilt(), runs);
        EXPECT_EQ(CellsOf(All(log)), CellsOf(read));
        log.End();
    }
}

// Merging a long run of reads keeps the formula's marks, with their clocks, in their order.
TEST(SpreadLog, MarksKeepTheirOrderAndClocksWhenReadsAreMerged) {
    CCellStore s1;
    CSpreadLog log;
    log.Begin();
    const uint16_t kinds[] = {kMarkCalculated, kMarkReadOnly, kMarkCalculated};
    std::vector<std::pair<uint16_t, uint32_t>> noted;
    for (uint16_t kind : kinds) {
        log.Built({&s1, 1, 0, nullptr, {kind, 0, kind, 0}, 0});
        noted.push_back({kind, log.Clock()});
        for (uint32_t r = 0; r < 150; ++r) log.Built(Read(&s1, 1, (r * 7) % 150));
        log.Changed(s1, 0, 0, {0, 0, 0, 0});
    }
    log.TakeBuilt();
    std::vector<std::pair<uint16_t, uint32_t>> marks;
    std::size_t reads = 0;
    for (std::size_t i = 0; i < log.BuiltSize(); ++i) {
        const BuiltReference& b = log.BuiltAt(i);
        if (b.cells) {
            ++reads;
            EXPECT_EQ(b.area.r2 - b.area.r1, 149u);
        } else {
            marks.push_back({b.area.c1, b.clock});
        }
    }
    EXPECT_EQ(marks, noted);
    EXPECT_EQ(reads, 3u); // one per clock
    log.End();
}

} // namespace vl
