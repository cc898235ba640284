// Random ranges kept in the undo history, damaged and put back: every cell comes back with
// its exact bytes, and nothing outside the range moves.

#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "modeltestutil.h"
#include "storetestutil.h"

#include <gtest/gtest.h>
#include <random>

namespace vl {

using namespace modeltest;

namespace {

Cells Inside(const Cells& cells, const CellRange& r, bool inside) {
    Cells out;
    for (const auto& [key, bytes] : cells)
        if (RangeContains(r, key.second, key.first) == inside) out[key] = bytes;
    return out;
}

} // namespace

TEST(UndoRandom, RestoredRangesComeBackByteForByte) {
    std::mt19937 rng(7);
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    book->SetUndoLevel(30);
    for (uint16_t s = 1; s < 6; ++s) book->styles.styles[s].rotation = int8_t(s);
    book->styles.styleCount = 6;
    auto fill = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const uint16_t c = uint16_t(rng() % 50);
            const uint32_t r = rng() % 300;
            CellBuffer b;
            if (rng() % 2) {
                FormulaHead head;
                head.resultFlags = kResultText | kResultCalculated;
                head.visits = uint8_t(rng());
                head.cachedNumber = rng() % 1000;
                MakeFormulaCell(b, c, r, head, "R1C1*2", std::string(rng() % 12, 'x'));
            } else {
                MakeTextCell(b, c, r, std::string(1 + rng() % 30, char('A' + rng() % 26)));
            }
            CellCursor cursor;
            ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor));
            cursor = {};
            const uint16_t last = uint16_t(std::min<int>(c + rng() % 4, kLastColumn));
            ASSERT_TRUE(ClearFormatRect(ws.formats, {c, r, last, r}, nullptr, true));
            ASSERT_TRUE(PutFormatRun(ws.formats, {c, last, r, uint16_t(rng() % 6)}, cursor));
        }
    };
    fill(2000);
    for (int round = 0; round < 120; ++round) {
        const uint16_t c1 = uint16_t(rng() % 50);
        const uint32_t r1 = rng() % 300;
        const CellRange rect{c1, r1, uint16_t(c1 + rng() % 12), uint32_t(r1 + rng() % 40)};
        const Cells before = Dump(ws.cells);
        const std::vector<FormatRun> runsBefore = RunsInRect(ws.formats, rect);
        RangeDescriptor d;
        MakeRangeDescriptor(rect, &d);
        const int32_t slot = book->MakeUndoRoom();
        ASSERT_TRUE(SnapshotRangeToUndo(*book, ws, d, slot, true, true));
        // Damage: clears, copies and new cells, inside and around the range.
        ASSERT_TRUE(ClearRange(*book, ws, {uint16_t(rect.c1 + 1), rect.r1, rect.c2, rect.r2}));
        ASSERT_TRUE(CopyRange(*book, ws, {c1, r1, uint16_t(c1 + 5), r1 + 9}, ws,
                              uint16_t(rng() % 50), rng() % 300));
        fill(20);
        const Cells damaged = Dump(ws.cells);
        ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, slot, true, true));
        Cells expected = Inside(damaged, rect, false);
        const Cells kept = Inside(before, rect, true);
        expected.insert(kept.begin(), kept.end());
        ASSERT_EQ(Dump(ws.cells), expected) << "round " << round;
        ASSERT_TRUE(storetest::Consistent(ws.cells));
        const std::vector<FormatRun> runsAfter = RunsInRect(ws.formats, rect);
        // Runs may be split differently; compare the style of every cell of the range.
        auto styleAt = [](const std::vector<FormatRun>& runs, uint16_t c, uint32_t r) {
            for (const FormatRun& run : runs)
                if (run.row == r && c >= run.firstColumn && c <= run.lastColumn)
                    return int(run.style);
            return -1;
        };
        for (uint32_t r = rect.r1; r <= rect.r2; ++r)
            for (uint16_t c = rect.c1; c <= rect.c2; ++c)
                ASSERT_EQ(styleAt(runsAfter, c, r), styleAt(runsBefore, c, r)) << c << "," << r;
    }
}

TEST(UndoRandom, KeptCellBuffersRestoreValuesExactly) {
    std::mt19937 rng(11);
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    book->SetUndoLevel(10);
    for (int i = 0; i < 1500; ++i) {
        CellBuffer b;
        const uint16_t c = uint16_t(rng() % 30);
        const uint32_t r = rng() % 200;
        if (rng() % 3 == 0)
            MakeNumberCell(b, c, r, 0, uint8_t(1 + rng() % 12));
        else if (rng() % 2)
            MakeNumberCell(b, c, r, double(int(rng())) / 3);
        else
            MakeTextCell(b, c, r, std::string(rng() % 50, 'q'));
        CellCursor cursor;
        ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor));
    }
    for (int round = 0; round < 100; ++round) {
        const uint16_t c1 = uint16_t(rng() % 30);
        const uint32_t r1 = rng() % 200;
        const CellRange rect{c1, r1, uint16_t(c1 + rng() % 8), uint32_t(r1 + rng() % 30)};
        const Cells before = Dump(ws.cells);
        ASSERT_TRUE(book->RecordUndoCells(rect, c1, r1));
        ASSERT_TRUE(ClearRange(*book, ws, rect));
        PutNumber(ws.cells, c1, r1, -5);
        const Cells damaged = Dump(ws.cells);
        ASSERT_TRUE(RestoreCellFromUndo(*book, ws, c1, r1, book->undo, book->undo.current));
        Cells expected = Inside(damaged, rect, false);
        const Cells kept = Inside(before, rect, true);
        expected.insert(kept.begin(), kept.end());
        ASSERT_EQ(Dump(ws.cells), expected) << "round " << round;
    }
}

} // namespace vl
