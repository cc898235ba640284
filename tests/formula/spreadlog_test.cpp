// The log of what formulas read during a recalculation: each formula's references kept once
// however often one evaluation (or a search's trials) reads them again, and the marks of its
// evaluations kept in order.
#include "formula/spreadlog.h"
#include "model/cellstore.h"

#include <gtest/gtest.h>
#include <string>
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

// The rows read, and "m" for a mark, as kept.
std::string Kept(const CSpreadLog& log) {
    std::string out;
    for (std::size_t i = 0; i < log.BuiltSize(); ++i) {
        const BuiltReference& b = log.BuiltAt(i);
        out += std::to_string(b.row) + ":" + (b.cells ? std::to_string(b.area.r1) : "m") + " ";
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
    std::vector<BuiltReference> trials;
    for (uint32_t t = 0; t < 200; ++t) trials.push_back(Read(&s1, 1, 7 + t % 20));
    std::string twenty;
    for (uint32_t r = 7; r < 27; ++r) twenty += "1:" + std::to_string(r) + " ";
    const Case cases[] = {
        {"the same at once", {Read(&s1, 1, 5), Read(&s1, 1, 5)}, "1:5 "},
        {"alternating", {Read(&s1, 1, 5), Read(&s1, 1, 6), Read(&s1, 1, 5)}, "1:5 1:6 "},
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
         {Read(&s1, 1, 5), Mark(&s1, 1), Read(&s1, 1, 6), Mark(&s1, 1)},
         "1:5 1:m 1:6 1:m "},
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

} // namespace vl
