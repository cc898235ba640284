// Random edits of every recorded kind, in rounds: each round's edits are undone in reverse
// order, redone, and undone again, and after every step the workbook must be byte for byte
// the one recorded before (or after) that edit. Formulas reach only upward, so that no edit
// makes a cycle: the results of a circular reference depend on the values it had before,
// which no undo can know. Array formulas stand among the cells, so that edits, sorts, undo and
// redo cut through their areas.

#include "formula/edit/editcommands.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "tests/common/shards.h"
#include "undobook.h"

#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace vl {

using namespace edittest;

namespace {

constexpr uint16_t kColumns = 12;
constexpr uint32_t kRows = 40;

class CRandomEdits {
public:
    explicit CRandomEdits(uint32_t seed) : rng_(seed) {
        // The book's own formulas reach downward and across worksheets: numbers instead.
        for (CWorksheet* ws : {&b_.S1(), &b_.S2()})
            for (const auto& [c, r] :
                 {std::pair<uint16_t, uint32_t>{3, 2}, {3, 12}, {8, 6}, {0, 25}, {7, 14}})
                b_.Number(*ws, c, r, c + r);
        // Arrays that row and column edits and sorts cut through, move and carry away. Their
        // columns lie apart, so that no edit brings one over another's area: an array spread
        // over another's elements takes them, and which one ends with them depends on the
        // order of the recalculation.
        for (CWorksheet* ws : {&b_.S1(), &b_.S2()})
            for (const auto& [c, r] : {std::pair<uint16_t, uint32_t>{1, 3}, {5, 20}, {9, 30}})
                b_.Formula(*ws, c, r, "={1,2;3,4;5,6}");
        RecalculateByUpdateMode(Book());
    }

    CWorkbook& Book() { return b_.Book(); }
    WorkbookDump Dump() const { return b_.Dump(); }

    // One random edit; false when it recorded nothing (an edit refused, or nothing to do).
    bool Step() {
        using Edit = void (CRandomEdits::*)();
        static constexpr Edit kEdits[] = {
            &CRandomEdits::EditCells,     &CRandomEdits::EditCells,  &CRandomEdits::EditRange,
            &CRandomEdits::Sort,          &CRandomEdits::Replace,    &CRandomEdits::PasteSheet,
            &CRandomEdits::RowsOrColumns, &CRandomEdits::Widths,     &CRandomEdits::Heights,
            &CRandomEdits::Rename,        &CRandomEdits::RemoveItem, &CRandomEdits::Convert,
            &CRandomEdits::Container,     &CRandomEdits::EditCells};
        const int32_t before = Book().undo.current;
        Book().error = 0;
        last_ = Below(std::size(kEdits));
        const Edit edit = kEdits[last_];
        (this->*edit)();
        RecalculateByUpdateMode(Book());
        // A recorder whose edit was refused leaves an empty entry: it is dropped.
        if (Book().undo.current > before &&
            Book().undo.entries[Book().undo.current].kind == kUndoEmpty)
            Book().DiscardLastUndo(true);
        return Book().undo.current > before;
    }
    uint32_t Last() const { return last_; }

private:
    uint32_t Below(uint32_t n) { return uint32_t(rng_() % n); }
    CWorksheet& Active() {
        // Any worksheet of the tree becomes the active one.
        std::vector<CWorksheet*> sheets;
        for (CTreeItem* p = Book().tree.first; p; p = p->next)
            if (CWorksheet* ws = AsWorksheet(p)) sheets.push_back(ws);
        Book().tree.active = sheets[Below(uint32_t(sheets.size()))];
        return *Book().tree.active;
    }
    CellRange AnyRect() {
        const uint16_t c1 = uint16_t(Below(kColumns - 3));
        const uint32_t r1 = Below(kRows - 6);
        return {c1, r1, uint16_t(c1 + Below(4)), r1 + Below(7)};
    }
    GridSelection AnySelection() {
        const CellRange r = AnyRect();
        return {r, r.c1, r.r1};
    }
    // A formula that reads cells of rows above its own.
    std::string AnyFormula() {
        const auto ref = [&] {
            const int column = int(Below(11)) - 5;
            std::string text = "R[-" + std::to_string(1 + Below(6)) + "]C";
            return column == 0 ? text : text + "[" + std::to_string(column) + "]";
        };
        std::string f = "=" + ref();
        if (Below(2)) f += "+" + ref();
        if (Below(3) == 0) f += "+SUM(" + ref() + ":" + ref() + ")";
        return f;
    }
    // The cell goes first, with the whole area of an array anchored there, as typing does.
    void PutAny(CWorksheet& ws, uint16_t c, uint32_t r) {
        const uint32_t kind = Below(4);
        ClearRect(ws.cells, {c, r, c, r}, nullptr, false);
        if (kind == 0)
            b_.Number(ws, c, r, double(Below(2000)) / 4);
        else if (kind == 1)
            b_.Text(ws, c, r, std::string(1 + Below(5), char('a' + Below(6))));
        else if (kind == 2)
            b_.Formula(ws, c, r, AnyFormula());
    }
    void EditCells() {
        CWorksheet& ws = Active();
        const CellRange r = AnyRect();
        if (!Book().RecordUndoCells(r, r.c1, r.r1)) return;
        for (uint32_t row = r.r1; row <= r.r2; ++row)
            for (uint16_t c = r.c1; c <= r.c2; ++c)
                if (Below(2)) PutAny(ws, c, row);
    }
    void EditRange() {
        CWorksheet& ws = Active();
        const CellRange r = AnyRect();
        if (!Book().RecordUndoRange(r, r.c1, r.r1, true, true)) return;
        ClearRange(Book(), ws, r);
        for (uint32_t row = r.r1; row <= r.r2; ++row) {
            for (uint16_t c = r.c1; c <= r.c2; ++c)
                if (Below(2)) PutAny(ws, c, row);
            CellCursor cursor;
            PutFormatRun(ws.formats, {r.c1, r.c2, row, uint16_t(1 + Below(3))}, cursor);
        }
    }
    void Sort() {
        Active();
        const uint16_t columns[] = {uint16_t(Below(kColumns)), uint16_t(Below(kColumns))};
        const uint8_t ascending[] = {uint8_t(Below(2)), uint8_t(Below(2))};
        SortSelection(Book(), {{0, Below(10), uint16_t(kColumns - 1), 10 + Below(30)}, 0, 0},
                      1 + Below(2), columns, ascending);
    }
    void Replace() {
        Active();
        // Lower-case patterns that match case leave the references of formulas alone.
        const char* patterns[] = {"a", "b*", "?", "c", "d?", "c~*", "aa"};
        const char* replacements[] = {"x", "", "bb", "ee", "=1", "77"};
        SearchOptions options{true, Below(4) == 0};
        ReplaceCommand(Book(), AnySelection(), patterns[Below(7)], replacements[Below(6)], options,
                       Below(3) == 0);
    }
    void PasteSheet() {
        UndoHistory clipboard;
        CTreeItem* source = GetTreeItemAt(int32_t(Below(6)), Book().tree.first);
        if (!source || !SnapshotWorksheetToUndo(Book(), *source, clipboard, clipboard.current))
            return;
        CTreeItem* target = GetTreeItemAt(int32_t(Below(8)), Book().tree.first);
        PasteWorksheetCommand(Book(), {}, target, clipboard, clipboard.current);
    }
    void RowsOrColumns() {
        Active();
        static constexpr CommandResult (*kCommands[])(CWorkbook&, const GridSelection&) = {
            InsertRowsCommand, RemoveRowsCommand, InsertColumnsCommand, RemoveColumnsCommand};
        const GridSelection s = AnySelection();
        kCommands[Below(4)](Book(), s);
    }
    void Widths() {
        CWorksheet& ws = Active();
        const uint16_t c1 = uint16_t(Below(kColumns)), c2 = uint16_t(c1 + Below(3));
        if (!Book().RecordUndoColumnWidths({c1, 0, c2, 0}, c1, 0, c1, c2)) return;
        for (uint16_t c = c1; c <= c2; ++c)
            ws.formats.columns[c] = {uint16_t((10 + Below(200)) << 1 | 1), uint16_t(Below(4)), 0};
    }
    void Heights() {
        CWorksheet& ws = Active();
        const uint32_t r1 = Below(kRows), r2 = r1 + Below(4);
        if (!Book().RecordUndoRowHeights({0, r1, 0, r2}, 0, r1, r1, r2)) return;
        for (uint32_t r = r1; r <= r2; ++r)
            SetFormatStoreRowEntry(ws.formats, r, 5 + Below(60), true);
    }
    void Rename() {
        CTreeItem* item = GetTreeItemAt(int32_t(Below(6)), Book().tree.first);
        if (!item || !Book().RecordUndoRename({}, 0, 0, item)) return;
        item->SetName(("N" + std::to_string(Below(1000))).c_str());
    }
    void RemoveItem() {
        CTreeItem* item = GetTreeItemAt(int32_t(Below(6)), Book().tree.first);
        if (item) Book().RecordUndoTreeRemove({}, 0, 0, item);
    }
    void Convert() {
        Active();
        ConvertContentsCommand(Book(), AnySelection(),
                               uint16_t(Below(2) ? 32785 + Below(3) : 33058 + Below(3)));
    }
    void Container() {
        CWorksheet& ws = Active();
        if (Below(2) || !ws.firstContainer) {
            CContainer& c = b_.AddContainer(ws, int32_t(Below(500)), int32_t(Below(500)));
            Book().RecordUndoContainer({}, 0, 0, c);
            return;
        }
        if (Book().RecordUndoContainerOp({}, 0, 0, *ws.firstContainer))
            ws.firstContainer->settings.opacity = uint8_t(Below(100));
    }

    std::mt19937 rng_;
    CUndoBook b_;
    uint32_t last_ = 0;
};

// One seed a shard.
constexpr int kSeeds = 3;
class UndoRandom : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(UndoRandom, RoundsOfRandomEditsUndoRedoAndUndoToTheSameBytes) {
    int edits = 0;
    {
        const uint32_t seed = uint32_t(GetParam()) + 1;
        CRandomEdits book(seed);
        CWorkbook& wb = book.Book();
        for (int round = 0; round < 8; ++round) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round));
            // Each round starts with an empty history, which its edits do not fill.
            wb.FreeUndoHistoryEntries();
            std::vector<WorkbookDump> states{book.Dump()};
            std::vector<uint32_t> kinds{0};
            for (int step = 0; step < 130; ++step)
                if (book.Step()) states.push_back(book.Dump()), kinds.push_back(book.Last());
            const size_t n = states.size() - 1;
            edits += int(n);
            for (size_t i = n; i > 0; --i) {
                ASSERT_EQ(UndoCommand(wb, nullptr), CommandResult::kDone) << "undo " << i;
                ASSERT_TRUE(SameWorkbook(states[i - 1], book.Dump()))
                    << "undo " << i << " op " << int(wb.undo.entries[wb.undo.current + 1].operation)
                    << " edit " << kinds[i];
            }
            for (size_t i = 1; i <= n; ++i) {
                ASSERT_EQ(RedoCommand(wb, nullptr), CommandResult::kDone);
                ASSERT_TRUE(SameWorkbook(states[i], book.Dump()))
                    << "redo " << i << " edit " << kinds[i];
            }
            for (size_t i = n; i > 0; --i)
                ASSERT_EQ(UndoCommand(wb, nullptr), CommandResult::kDone);
            ASSERT_TRUE(SameWorkbook(states[0], book.Dump()));
            // The next round starts from the redone state.
            for (size_t i = 1; i <= n; ++i) RedoCommand(wb, nullptr);
        }
    }
    EXPECT_GE(edits, 650);
}

VORLANE_SHARDS(UndoRandom, kSeeds);

} // namespace vl
