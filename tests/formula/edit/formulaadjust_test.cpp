#include "edittestutil.h"
#include "formula/edit/editcommands.h"
#include "formula/edit/formulaadjust.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

RangeDescriptor Rows(uint32_t first, uint32_t last) {
    RangeDescriptor d;
    MakeRangeDescriptor({0, first, kLastColumn, last}, &d);
    return d;
}

RangeDescriptor Columns(uint16_t first, uint16_t last) {
    RangeDescriptor d;
    MakeRangeDescriptor({first, 0, last, kLastRow}, &d);
    return d;
}

void PutFormula(CCellStore& store, uint16_t column, uint32_t row, const char* text,
                double cached = 0) {
    CellBuffer b;
    FormulaHead head;
    head.cachedNumber = cached;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, text));
    PutRecord(store, b);
}

// Each text as "column,row text".
std::vector<std::string> Listed(const std::vector<FormulaText>& texts) {
    std::vector<std::string> out;
    for (const FormulaText& t : texts)
        out.push_back(std::to_string(t.column) + "," + std::to_string(t.row) + " " + t.text);
    return out;
}

using Strings = std::vector<std::string>;

} // namespace

// The formula cell stands where the edit left it; the text comes back rewritten.
TEST(AdjustFormulaText, EachRuleOfEachMode) {
    struct Case {
        uint8_t mode;
        RangeDescriptor span;
        uint16_t column;
        uint32_t row;
        const char* in;
        const char* out; // null: the rewrite fails
    };
    const RangeDescriptor rows57 = Rows(5, 7), cols34 = Columns(3, 4);
    const Case cases[] = {
        // Rows 5..7 inserted: a formula moved from 10 to 13 that reached row 3 still does.
        {kAdjustRowsInserted, rows57, 0, 13, "=R[-7]C", "=R[-10]C"},
        {kAdjustRowsInserted, rows57, 0, 2, "=R[3]C", "=R[6]C"},
        {kAdjustRowsInserted, rows57, 0, 2, "=R[2]C", "=R[2]C"},   // the row before the span
        {kAdjustRowsInserted, rows57, 0, 6, "=R[-3]C", "=R[-3]C"}, // put back inside the span
        {kAdjustRowsInserted, rows57, 0, 13, "=R3C1+RC[1]+R[-9]C[2]", "=R3C1+RC[1]+R[-12]C[2]"},
        {kAdjustRowsInserted, rows57, 0, 13, "=SUM(R[-7]C:R[-1]C)", "=SUM(R[-10]C:R[-1]C)"},
        {kAdjustRowsInserted, rows57, 0, 2, "=\"R[3]C\"&R[3]C", "=\"R[3]C\"&R[6]C"},
        {kAdjustRowsInserted, rows57, 0, 2, "=S2!R[3]C+S2!R[3]C:R[4]C+R[3]C",
         "=S2!R[3]C+S2!R[3]C:R[4]C+R[6]C"},
        {kAdjustRowsInserted, rows57, 0, 0, "=R[2097148]C", "=R[2097151]C"}, // to the last row
        {kAdjustRowsInserted, rows57, 0, 0, "=R[2097149]C", nullptr},        // one past it
        // Rows 5..7 removed: the same formula, moved back from 13 to 10.
        {kAdjustRowsRemoved, rows57, 0, 10, "=R[-10]C", "=R[-7]C"},
        {kAdjustRowsRemoved, rows57, 0, 2, "=R[6]C", "=R[3]C"},
        {kAdjustRowsRemoved, rows57, 0, 2, "=R[4]C", "=#REF!"}, // its cell removed
        {kAdjustRowsRemoved, rows57, 0, 2, "=R[1]C", "=R[1]C"},
        {kAdjustRowsRemoved, rows57, 0, 10, "=R[-2]C", "=R[-2]C"},
        // Columns 3..4 inserted and removed.
        {kAdjustColumnsInserted, cols34, 9, 0, "=RC[-6]", "=RC[-8]"},
        {kAdjustColumnsInserted, cols34, 1, 0, "=R[5]C[2]", "=R[5]C[4]"},
        {kAdjustColumnsInserted, cols34, 1, 0, "=RC[2045]", nullptr},
        {kAdjustColumnsRemoved, cols34, 7, 0, "=RC[-7]", "=RC[-5]"},
        {kAdjustColumnsRemoved, cols34, 7, 0, "=RC[-6]", "=#REF!"}, // its cell removed
        {kAdjustColumnsRemoved, cols34, 1, 0, "=R[9]C[6]", "=R[9]C[4]"},
        // Absolute parts move with their cells as relative ones do, keeping their form:
        // above, at and past the span, in formulas that moved and that did not.
        {kAdjustRowsInserted, rows57, 0, 2, "=R5C1+R6C1+R20C[1]", "=R5C1+R9C1+R23C[1]"},
        {kAdjustRowsInserted, rows57, 0, 13, "=R[-7]C+R3C+R10C", "=R[-10]C+R3C+R13C"},
        {kAdjustRowsInserted, rows57, 0, 0, "=R2097149C1", "=R2097152C1"}, // to the last row
        {kAdjustRowsInserted, rows57, 0, 0, "=R2097150C1", nullptr},       // one past it
        {kAdjustRowsRemoved, rows57, 0, 2, "=R4C1+R7C1+R9C1", "=R4C1+#REF!+R6C1"},
        {kAdjustColumnsInserted, cols34, 0, 0, "=RC3+RC4+R1C20", "=RC3+RC6+R1C22"},
        {kAdjustColumnsRemoved, cols34, 0, 0, "=RC3+RC6", "=RC3+RC4"},
        {kAdjustColumnsInserted, cols34, 0, 0, "=RC2045", "=RC2047"},
        {kAdjustColumnsInserted, cols34, 0, 0, "=RC2046", nullptr},
        // Ranges losing rows keep their survivors; wholly removed, #REF!.
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(R5C1:R7C1)", "=SUM(R5C1:R5C1)"},
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(R7C1:R10C1)", "=SUM(R6C1:R7C1)"},
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(R10C1:R7C1)", "=SUM(R7C1:R6C1)"},
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(R6C1:R8C1)", "=SUM(#REF!)"},
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(R6:R9)", "=SUM(R6:R6)"},
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(C3:C3)", "=SUM(C3:C3)"},
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(R[4]C:R[6]C)+R[4]C", "=SUM(R[4]C:R[4]C)+R[4]C"},
        {kAdjustRowsRemoved, rows57, 0, 3, "=SUM(R[3]C:R[6]C)", "=SUM(R[2]C:R[3]C)"},
        {kAdjustColumnsRemoved, cols34, 0, 0, "=SUM(C4:C4)+SUM(C3:C5)", "=SUM(#REF!)+SUM(C3:C3)"},
        {kAdjustColumnsRemoved, cols34, 0, 0, "=SUM(R1C2:R1C6)", "=SUM(R1C2:R1C4)"},
        // An end at the last row (column) stays there; a range's first end does not.
        {kAdjustRowsInserted, rows57, 0, 0, "=SUM(R1C1:R2097152C1)", "=SUM(R1C1:R2097152C1)"},
        {kAdjustRowsInserted, rows57, 0, 0, "=SUM(R9C1:R2097152C1)", "=SUM(R12C1:R2097152C1)"},
        {kAdjustRowsInserted, rows57, 0, 0, "=SUM(R2097152C1:R2097152C1)", nullptr},
        {kAdjustRowsInserted, rows57, 0, 0, "=SUM(R1C1:R2097151C1)", nullptr},
        {kAdjustRowsInserted, rows57, 0, 0, "=R2097152C1", nullptr},
        {kAdjustRowsRemoved, rows57, 0, 0, "=SUM(R9C1:R2097152C1)", "=SUM(R6C1:R2097152C1)"},
        {kAdjustColumnsInserted, cols34, 0, 0, "=SUM(C1:C2047)", "=SUM(C1:C2047)"},
        {kAdjustColumnsRemoved, cols34, 0, 0, "=SUM(C1:C2047)", "=SUM(C1:C2047)"},
    };
    CEvalContext ctx;
    for (const Case& c : cases) {
        std::string out;
        const bool done = AdjustFormulaText(ctx, c.in, c.column, c.row, c.mode, c.span, out);
        EXPECT_EQ(done ? out : "<fails>", c.out ? c.out : "<fails>")
            << c.in << " mode " << int(c.mode);
    }
}

// The plan passes over a formula only when the full rewrite would keep it: its texts, the
// formulas it gives back and its refusals are the full rewrite's, for brackets that hold no
// distance, distances at the edges of the rules and parts of the other dimension.
TEST(PlanFormulasAfterEdit, PassesOverOnlyWhatTheFullRewriteKeeps) {
    const char* const texts[] = {
        "=R[3]C",         "=R[-3]C",   "=RC[3]",
        "=R[2]C[-9]",     "=R[1]C[3]", "=\"R[1]C\"&R[3]C",
        "=\"[x]\"&R[4]C", "=R[+3]C",   "=R[0000000003]C",
        "=R[2097149]C",   "=R[-13]C",  "=S2!R[3]C",
        "=[Book]S!R[3]C", "=1",        "=R[4]C:R[5]C",
        "=R[]C",          "=R[3",      "=R[1234567890]C",
        "=R6C1",          "=R2C[1]",   "=RC4+R4C",
        "=R9C9",          "=R0C1",     "=RC12345",
    };
    struct Edit {
        uint8_t mode;
        RangeDescriptor span;
    };
    const Edit edits[] = {{kAdjustRowsInserted, Rows(5, 7)},
                          {kAdjustRowsRemoved, Rows(5, 7)},
                          {kAdjustColumnsInserted, Columns(3, 4)},
                          {kAdjustColumnsRemoved, Columns(3, 4)}};
    CEvalContext ctx;
    for (const Edit& e : edits) {
        const bool rows = e.mode == kAdjustRowsInserted || e.mode == kAdjustRowsRemoved;
        const bool inserted = e.mode == kAdjustRowsInserted || e.mode == kAdjustColumnsInserted;
        const uint32_t first = rows ? 5 : 3, last = rows ? 7 : 4, count = last - first + 1;
        for (const char* text : texts) {
            for (uint32_t at : {0u, 2u, 4u, 5u, 7u, 8u, 9u, 10u, 13u}) {
                CCellStore store;
                const uint16_t column = rows ? 1 : uint16_t(at);
                const uint32_t row = rows ? at : 1;
                PutFormula(store, column, row, text);
                if (!inserted && at >= first && at <= last) continue; // removed with its row
                const uint32_t moved =
                    inserted ? (at >= first ? at + count : at) : (at > last ? at - count : at);
                const uint16_t newColumn = rows ? column : uint16_t(moved);
                const uint32_t newRow = rows ? moved : row;
                std::string full;
                bool reached = false;
                const bool done = AdjustFormulaText(ctx, text, newColumn, newRow, e.mode, e.span,
                                                    full, &reached, &store);
                Strings wanted, wantedLost;
                if (done && full != text)
                    wanted.push_back(std::to_string(newColumn) + "," + std::to_string(newRow) +
                                     " " + full);
                if (done && reached)
                    wantedLost.push_back(std::to_string(column) + "," + std::to_string(row) + " " +
                                         text);
                std::vector<FormulaText> planned, lost;
                EXPECT_EQ(PlanFormulasAfterEdit(ctx, store, e.mode, e.span, planned, &lost), done)
                    << text << " at " << at << " mode " << int(e.mode);
                if (!done) continue;
                EXPECT_EQ(Listed(planned), wanted)
                    << text << " at " << at << " mode " << int(e.mode);
                EXPECT_EQ(Listed(lost), wantedLost)
                    << text << " at " << at << " mode " << int(e.mode);
            }
        }
    }
}

TEST(AdjustFormulasAfterEdit, RewritesInPlaceOrAnewKeepingResultsAndFailsWhole) {
    CEvalContext ctx;
    CCellStore store;
    PutFormula(store, 0, 2, "=R[3]C", 1);  // same length after
    PutFormula(store, 0, 3, "=R[9]C", 2);  // one digit more
    PutFormula(store, 0, 4, "=R[-1]C", 3); // unchanged
    PutValue(store, 1, 3, "text");
    const Records before = DumpStore(store);
    // Inserting rows 5..14 would push nothing off; the row-3 formula becomes R[19]C.
    ASSERT_TRUE(AdjustFormulasAfterEdit(ctx, store, kAdjustRowsInserted, Rows(5, 14)));
    const Records after = DumpStore(store);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(std::string(cell::Formula(FindCell(store, 2, 0))), "=R[13]C");
    EXPECT_EQ(std::string(cell::Formula(FindCell(store, 3, 0))), "=R[19]C");
    EXPECT_EQ(cell::CachedNumber(FindCell(store, 3, 0)), 2);
    EXPECT_EQ(after.at({4, 0}), before.at({4, 0}));
    EXPECT_EQ(after.at({3, 1}), before.at({3, 1}));
    // A rewrite that fails changes no formula, also none met before it.
    PutFormula(store, 0, 9, "=R[2097140]C", 4);
    const Records kept = DumpStore(store);
    EXPECT_FALSE(AdjustFormulasAfterEdit(ctx, store, kAdjustRowsInserted, Rows(10, 14)));
    EXPECT_EQ(DumpStore(store), kept);
    // Planned before the edit, the same rewrite is refused.
    std::vector<FormulaText> texts;
    EXPECT_FALSE(PlanFormulasAfterEdit(ctx, store, kAdjustRowsInserted, Rows(10, 14), texts));
    texts.clear();
    ASSERT_TRUE(PlanFormulasAfterEdit(ctx, store, kAdjustRowsInserted, Rows(10, 10), texts));
    // Every formula but (0,4) reaches row 10 or past it.
    EXPECT_EQ(Listed(texts), (Strings{"0,2 =R[14]C", "0,3 =R[20]C", "0,9 =R[2097141]C"}));
}

TEST(AdjustFormulasAfterEdit, ARemovalGivesBackTheFormulasThatReachedIntoTheSpan) {
    CEvalContext ctx;
    CCellStore store;
    // After removing rows 5..7: (0,2) reached row 6, (0,9) stood at 12 and reached row 6.
    PutFormula(store, 0, 2, "=R[4]C");
    PutFormula(store, 0, 9, "=R[-6]C");
    PutFormula(store, 0, 10, "=R[-9]C");
    std::vector<FormulaText> lost;
    ASSERT_TRUE(AdjustFormulasAfterEdit(ctx, store, kAdjustRowsRemoved, Rows(5, 7), &lost));
    EXPECT_EQ(Listed(lost), (Strings{"0,2 =R[4]C", "0,12 =R[-6]C"}));
    EXPECT_EQ(std::string(cell::Formula(FindCell(store, 10, 0))), "=R[-6]C");
    uint32_t size = 0;
    BlockPtr block = PackFormulaTexts(lost, size);
    std::vector<FormulaText> back;
    ASSERT_TRUE(UnpackFormulaTexts(block.get(), size, back));
    EXPECT_EQ(Listed(back), Listed(lost));
    back.clear();
    EXPECT_FALSE(UnpackFormulaTexts(block.get(), size - 1, back));
}

// A qualifier that names the edited worksheet (by its name in any case, quoted, or by its
// path from the root) is read as none; one naming another worksheet keeps its text. Undo
// gives back the texts before.
TEST(AdjustFormulasAfterEdit, AQualifierNamingTheEditedWorksheetIsAdjustedLikeNone) {
    CUndoBook b;
    struct Case {
        CWorksheet* ws;
        uint16_t column;
        uint32_t row;
        const char* in;
        const char* out;
    } cases[] = {
        {&b.S1(), 10, 0, "=S1!R[4]C[-10]+R[4]C[-10]", "=S1!R[5]C[-10]+R[5]C[-10]"},
        {&b.S1(), 10, 1, "=SUM(s1!R[-1]C[-10]:R[8]C[-10])", "=SUM(s1!R[-1]C[-10]:R[9]C[-10])"},
        {&b.S1(), 11, 0, "=S3!R[4]C+'S1'!R[4]C", "=S3!R[4]C+'S1'!R[5]C"},
        {&b.S1(), 11, 1, "=S3!R[3]C:S1!R[3]C", "=S3!R[3]C:S1!R[4]C"},
        // S2 stands in folder F: its own name is found from there, and from the root.
        {&b.S2(), 10, 0, "=S2!R[4]C+'\\F\\S2'!R[4]C+S3!R[4]C",
         "=S2!R[5]C+'\\F\\S2'!R[5]C+S3!R[4]C"},
        {&b.S2(), 10, 1, "='\\S2'!R[4]C", "='\\S2'!R[4]C"}, // no such item at the root
    };
    for (const Case& c : cases) b.Formula(*c.ws, c.column, c.row, c.in);
    for (CWorksheet* ws : {&b.S1(), &b.S2()}) {
        b.Book().tree.active = ws;
        ASSERT_EQ(InsertRowsCommand(b.Book(), {{0, 2, 3, 2}, 0, 2}), CommandResult::kDone);
    }
    for (const Case& c : cases) EXPECT_EQ(b.FormulaAt(*c.ws, c.column, c.row), c.out) << c.in;
    for (int i = 0; i < 2; ++i) ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    for (const Case& c : cases) EXPECT_EQ(b.FormulaAt(*c.ws, c.column, c.row), c.in) << c.in;
}

} // namespace vl
