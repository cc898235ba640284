// Running out of memory in the middle of a numeric or statistics built-in, in the block
// allocator or in operator new: every failure point ends with the full result or #MEMORY!,
// one result on the stack, no temporary left behind and every block given back.
#include "functions/numeric/statbuiltins.h"
#include "numericbook.h"
#include "platform/core/alloc.h"
#include "tests/model/newhook.h"

namespace vl::test {

namespace {

// The result as text, evaluated with the allocator failing after `at` successes.
std::string EvalFailing(NumericBook& book, const std::string& stored, long at, bool operatorNew) {
    book.Ctx().worksheetList = book.Book().tree.first;
    book.Ctx().currentCells = &book.Sheet().cells;
    if (operatorNew)
        modeltest::SetNewFailAfter(at);
    else
        SetAllocFailAfter(at);
    uint16_t kind = EvaluateFormulaText(book.Ctx(), stored, 9, 19);
    modeltest::SetNewFailAfter(-1);
    SetAllocFailAfter(-1);
    const FormulaToken& v = book.Ctx().values[1];
    std::string shown;
    if (kind == 0) return "<none>";
    if (v.error) return std::string(GetFormulaErrorText(v.error));
    if (kind == kTokenArray) {
        Page* chain = book.Ctx().scratch.arrays[book.Ctx().scratch.arrayCount - 1];
        FormatArrayConstant(shown, chain, v.lastColumn, v.lastRow, InternalSeparators());
        return shown;
    }
    return FormatDouble(v.number);
}

} // namespace

TEST(NumericOutOfMemory, EveryFailurePointEndsCleanly) {
    NumericBook book;
    ASSERT_TRUE(BindStatisticsBuiltins());
    for (int i = 0; i < 300; ++i) {
        book.Number("A" + std::to_string(i + 1), double((i * 37) % 101));
        book.Number("B" + std::to_string(i + 1), double((i * 37) % 101 + 1));
    }
    const char* formulas[] = {
        "=MEDIAN(A1:A300, 5)",
        "=MODE(A1:A300)",
        "=SKEW(A1:A300)",
        "=DEVSQ(A1:A300)",
        "=LARGE(A1:A300, {1; 2; 3})",
        "=FREQUENCY(A1:A300, {10, 50})",
        "=SLOPE(A1:A300, B1:B300)",
        "=TREND(A1:A300, B1:B300, {1, 2},)",
        "=LINEST(A1:A300, B1:B300, 1)",
        "=COVAR(A1:A300, B1:B300)",
        "=CHITEST(A1:A300, B1:B300)",
        "=MTXSVD({1, 2; 2, 3; 7, 1}, {1; 2; 3},,1)",
        "=MTXSVD({1, 2; 2, 3; 7, 1},,,6)",
        "=MTXGAUSS({2, -1, 3; 1, 3, 1; 4, 1, 1},,,,5)",
        "=MTXCHL({4, 2; 2, 5}, {8; 9}, 2, 1)",
        "=MTXLSC({1, 2; 2, 3; 7, 1}, {1; 2; 3}, {1, 3}, {2},,1)",
        "=MTXMLT({1; 2; 3}, {1, 2, 3}, {2; 2; 2})",
        "=MTXRAND(3, 1, 2)",
        "=MTXSERIES(3, \"2005-12-01\",)",
        "=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 2, , )",
        "=LPROGINT({2.5, 1.5, 1; 1, 1.5, 3}, {1; 0}, {15; 10}, {1; 1; 2}, {1; 0; 1}, 1, , )",
        "=QPROG({1, 2}, {1}, {30}, {15; 30}, {2, -2; -2, 4}, 1, )",
        "=POLYREG({1; 2; 3; 4}, {1; 3; 2; 5}, {1; 1; 1; 1}, 3, 2)",
        "=TIMESERIES({11; 8; 7; 2; 1; 3; 8; 4}, 2, 3, 0.8)",
    };
    for (const char* formula : formulas) {
        std::string stored = book.Internal(formula, At("J20"));
        std::string full = EvalFailing(book, stored, -1, false);
        ASSERT_EQ(full.find("#MEMORY!"), std::string::npos) << formula << " " << full;
        ASSERT_NE(full[0], '#') << formula << " " << full;
        bool failedSomewhere = false;
        for (bool operatorNew : {false, true}) {
            bool ranThrough = false;
            for (long at = 0; at < 400 && !ranThrough; ++at) {
                book.Ctx().ReleaseScratchArrays();
                long live = LiveBlockCount();
                std::string got = EvalFailing(book, stored, at, operatorNew);
                EXPECT_TRUE(got == full || got.find("#MEMORY!") != std::string::npos)
                    << formula << " at " << at << ": " << got;
                EXPECT_EQ(book.Ctx().stringPool.count, 0) << formula << " at " << at;
                EXPECT_LE(book.Ctx().scratch.arrayCount, 1) << formula << " at " << at;
                book.Ctx().ReleaseScratchArrays();
                EXPECT_EQ(LiveBlockCount(), live) << formula << " at " << at;
                ranThrough = got == full;
                failedSomewhere = failedSomewhere || !ranThrough;
            }
            EXPECT_TRUE(ranThrough) << formula;
        }
        EXPECT_TRUE(failedSomewhere) << formula << " allocated nothing";
    }
}

} // namespace vl::test
