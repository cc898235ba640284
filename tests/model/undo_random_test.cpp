// Random edits across several worksheets, each recorded in the undo history first, with
// style and store compactions between them; an undo puts back what the newest entry holds.
// The range operations (clear, copy, move, transpose) must leave the cells a plain map of
// cells predicts; finds with and without the row index, the used range and the counts of
// cell kinds must agree with the cells the store holds. After every step the workbook must equal
// the state recorded before the edit now undone (or the state the edit made): the tree's order and,
// per worksheet, its cells byte for byte, the look of every styled cell and the column widths.
// Style numbers are not compared: compaction may renumber them, also in worksheets the history
// holds.

#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

constexpr uint16_t kColumns = 30;
constexpr uint32_t kRows = 50;

void Erase(Cells& cells, const CellRange& r) {
    std::erase_if(cells,
                  [&](const auto& e) { return RangeContains(r, e.first.second, e.first.first); });
}

// The cells that land inside `t` when (sc, sr) is put on t's top-left cell.
Cells Shifted(const Cells& cells, const CellRange& t, int64_t sc, int64_t sr) {
    Cells out;
    for (const auto& [key, bytes] : cells) {
        const int64_t c = key.second - sc + t.c1, r = key.first - sr + t.r1;
        if (c < t.c1 || c > t.c2 || r < t.r1 || r > t.r2) continue;
        out[{uint32_t(r), uint16_t(c)}] = Moved(bytes, uint16_t(c), uint32_t(r));
    }
    return out;
}

CellRange Union(const CellRange& a, const CellRange& b) {
    return {std::min(a.c1, b.c1), std::min(a.r1, b.r1), std::max(a.c2, b.c2), std::max(a.r2, b.r2)};
}

struct SheetState {
    std::string name;
    Cells cells;
    std::map<Key, int> looks; // horizontal alignment of each styled cell
    std::vector<ColumnEntry> columns;
    bool operator==(const SheetState& o) const {
        return name == o.name && cells == o.cells && looks == o.looks &&
               std::equal(
                   columns.begin(), columns.end(), o.columns.begin(), o.columns.end(),
                   [&](const ColumnEntry& a, const ColumnEntry& b) { return a.width == b.width; });
    }
};

std::vector<SheetState> Capture(CWorkbook& book) {
    std::vector<SheetState> out;
    for (CTreeItem* item = book.tree.first; item; item = item->next) {
        CWorksheet& ws = *AsWorksheet(item);
        SheetState s{ws.name, Dump(ws.cells), {}, {}};
        for (const FormatRun& run : RunsInRect(ws.formats, {0, 0, kLastColumn, kLastRow}))
            for (uint32_t c = run.firstColumn; c <= run.lastColumn; ++c)
                s.looks[{run.row, uint16_t(c)}] =
                    GetStyleRecord(book.styles, run.style).horizontalAlignment;
        s.columns.assign(ws.formats.columns, ws.formats.columns + kColumns);
        out.push_back(std::move(s));
    }
    return out;
}

class CRandomBook {
public:
    explicit CRandomBook(uint32_t seed) : rng_(seed), book_(CreateWorkbook()) {
        book_->SetUndoLevel(25);
        for (const char* name : {"A", "B", "C", "D"}) AddSheet(*book_, name);
        expected_ = Capture(*book_);
    }

    void Step() {
        const uint32_t pick = Below(21);
        if (pick < 3) return EditRange();
        if (pick < 6) return RangeOperation();
        if (pick < 10) return EditCell();
        if (pick < 12) return EditWidths();
        if (pick < 14) return RemoveSheet();
        if (pick < 15) return book_->CompactStyleTables();
        if (pick < 16) return AnySheet().cells.Compact(Below(2) == 0);
        Undo();
    }

    void Check(const char* what) {
        ASSERT_EQ(Capture(*book_), expected_) << what;
        for (CTreeItem* item = book_->tree.first; item; item = item->next) {
            CCellStore& store = AsWorksheet(item)->cells;
            ASSERT_TRUE(storetest::Consistent(store));
            ExpectFinds(store, Dump(store));
        }
    }

private:
    uint32_t Below(uint32_t n) { return uint32_t(rng_() % n); }
    void ExpectFinds(CCellStore& store, const Cells& cells) {
        std::vector<Key> keys;
        for (const auto& [key, bytes] : cells) keys.push_back(key);
        for (int n = 0; n < 50; ++n)
            keys.push_back({Below(kRows + 5), uint16_t(Below(kColumns + 20))});
        for (bool indexed : {false, true}) {
            CellCursor cursor{kAdvance, nullptr, 0};
            for (uint32_t block : {0u, kLastRow / kRowBlockRows})
                ASSERT_TRUE(!indexed || store.BuildRowBlockIndex(block, cursor));
            for (const Key& key : keys) {
                const uint8_t* r = FindCell(store, key.first, key.second);
                const auto it = cells.find(key);
                ASSERT_EQ(r ? std::vector<uint8_t>(r, r + cell::Length(r)) : std::vector<uint8_t>(),
                          it == cells.end() ? std::vector<uint8_t>() : it->second);
            }
            store.ClearRowIndex(false);
        }
        uint16_t c1 = 0, c2 = 0, minColumn = UINT16_MAX, maxColumn = 0;
        uint32_t r1 = 0, r2 = 0, counts[6], numbers = 0, texts = 0;
        ASSERT_EQ(store.GetUsedRange(&c1, &c2, &r1, &r2), !cells.empty());
        for (const auto& [key, bytes] : cells) {
            minColumn = std::min(minColumn, key.second);
            maxColumn = std::max(maxColumn, key.second);
            ++(cell::IsText(bytes.data()) ? texts : numbers);
        }
        if (!cells.empty()) {
            EXPECT_EQ(std::tuple(c1, c2, r1, r2),
                      std::tuple(minColumn, maxColumn, cells.begin()->first.first,
                                 cells.rbegin()->first.first));
        }
        store.CountCellKinds(counts, {0, 0, kLastColumn, kLastRow});
        EXPECT_EQ(std::vector(counts, counts + 6),
                  (std::vector<uint32_t>{numbers, texts, 0, 0, 0, 0}));
    }
    CWorksheet& AnySheet() { return Sheet(*book_, int(Below(book_->tree.worksheetCount))); }
    CellRange AnyRect(uint16_t width = 5, uint32_t height = 8) {
        const uint16_t c1 = uint16_t(Below(kColumns - 5));
        const uint32_t r1 = Below(kRows - 8);
        return {c1, r1, uint16_t(c1 + Below(width)), r1 + Below(height)};
    }
    // A style that looks like `alignment`, appended when the table has none.
    uint16_t StyleLooking(uint8_t alignment) {
        StyleTables& t = book_->styles;
        for (uint16_t s = 1; s < t.styleCount; ++s)
            if (t.styles[s].horizontalAlignment == alignment) return s;
        t.styles[t.styleCount] = StyleRecord{};
        t.styles[t.styleCount].horizontalAlignment = alignment;
        return t.styleCount++;
    }
    // Numbers, constant errors and texts, now and then one near a page or filling it.
    void PutValue(CWorksheet& ws, uint16_t c, uint32_t r, CellCursor* cursor = nullptr) {
        CellBuffer b;
        const uint32_t kind = Below(3), pick = Below(100);
        const uint32_t length = pick == 0  ? kMaxCellText - Below(2)
                                : pick < 4 ? 3000 + Below(kMaxCellText - 3000)
                                           : 1 + Below(20);
        if (kind == 0) MakeNumberCell(b, c, r, double(rng_() % 100000) / 8);
        if (kind == 1) MakeTextCell(b, c, r, std::string(length, char('a' + Below(26))));
        if (kind == 2) MakeNumberCell(b, c, r, 0, uint8_t(1 + Below(12)));
        CellCursor own;
        ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor ? *cursor : own));
    }
    bool Snapshot(CWorksheet& ws, const CellRange& rect) {
        RangeDescriptor d;
        MakeRangeDescriptor(rect, &d);
        return SnapshotRangeToUndo(*book_, ws, d, book_->undo, book_->undo.current, true, true);
    }
    void Recorded(int kind, std::vector<SheetState> before) {
        frames_.push_back(std::move(before));
        kinds_.push_back(kind);
        // The history keeps as many entries as its level; the oldest go first.
        if (frames_.size() > book_->undo.maximum + 1) {
            frames_.erase(frames_.begin());
            kinds_.erase(kinds_.begin());
        }
        expected_ = Capture(*book_);
    }

    void EditRange() {
        CWorksheet& ws = AnySheet();
        const CellRange rect = AnyRect();
        auto before = Capture(*book_);
        ASSERT_TRUE(Snapshot(ws, rect));
        ASSERT_TRUE(ClearRange(*book_, ws, rect));
        CellCursor cursor{kAdvance, nullptr, 0}; // puts in order, through one cursor
        for (uint32_t r = rect.r1; r <= rect.r2; ++r) {
            for (uint16_t c = rect.c1; c <= rect.c2; ++c)
                if (Below(2)) PutValue(ws, c, r, &cursor);
            PutRun(ws.formats, {rect.c1, rect.c2, r, StyleLooking(uint8_t(1 + Below(7)))});
        }
        Recorded(0, std::move(before));
    }
    // A copy (from any worksheet), a move or a transpose, against the map of cells.
    void RangeOperation() {
        CWorksheet& ws = AnySheet();
        const CellRange s = AnyRect(15, 25);
        const uint16_t dc = uint16_t(Below(kColumns));
        const uint32_t dr = Below(kRows);
        const CellRange t{dc, dr, uint16_t(dc + s.c2 - s.c1), dr + s.r2 - s.r1};
        auto before = Capture(*book_);
        Cells expected = Dump(ws.cells);
        const uint32_t kind = Below(3);
        if (kind == 0) {
            CWorksheet& from = AnySheet();
            const Cells copied = Shifted(Dump(from.cells), t, s.c1, s.r1);
            ASSERT_TRUE(Snapshot(ws, t));
            ASSERT_TRUE(CopyRange(*book_, ws, t, from, s.c1, s.r1, ViewOf(book_->styles)));
            Erase(expected, t);
            expected.insert(copied.begin(), copied.end());
        } else if (kind == 1) {
            Cells inside = expected;
            std::erase_if(inside, [&](const auto& e) {
                return !RangeContains(s, e.first.second, e.first.first);
            });
            const Cells moved = Shifted(inside, t, s.c1, s.r1);
            ASSERT_TRUE(Snapshot(ws, Union(s, t)));
            ASSERT_TRUE(MoveRange(*book_, ws, ws, s, dc, dr, ViewOf(book_->styles)));
            Erase(expected, s);
            Erase(expected, t);
            expected.insert(moved.begin(), moved.end());
        } else {
            const CellRange turned{s.c1, s.r1, uint16_t(s.c1 + (s.r2 - s.r1)),
                                   s.r1 + (s.c2 - s.c1)};
            Cells inside;
            for (const auto& [key, bytes] : expected) {
                if (!RangeContains(s, key.second, key.first)) continue;
                const uint16_t c = uint16_t(s.c1 + (key.first - s.r1));
                const uint32_t row = s.r1 + (key.second - s.c1);
                inside[{row, c}] = Moved(bytes, c, row);
            }
            ASSERT_TRUE(Snapshot(ws, Union(s, turned)));
            ASSERT_TRUE(TransposeRange(*book_, ws, s));
            Erase(expected, s);
            Erase(expected, turned);
            expected.insert(inside.begin(), inside.end());
        }
        ASSERT_EQ(Dump(ws.cells), expected) << "range operation " << kind;
        Recorded(0, std::move(before));
    }
    void EditCell() {
        CWorksheet& ws = AnySheet();
        const bool edge = Below(50) == 0; // now and then at the sheet's last row and column
        const uint16_t c = uint16_t(edge ? kLastColumn - Below(3) : Below(kColumns));
        const uint32_t r = edge ? kLastRow - Below(3) : Below(kRows);
        auto before = Capture(*book_);
        ASSERT_TRUE(book_->RecordUndoCell(ws, c, r, 0, 0));
        PutValue(ws, c, r);
        Recorded(1, std::move(before));
    }
    void EditWidths() {
        CWorksheet& ws = AnySheet();
        book_->tree.active = &ws;
        const uint16_t c1 = uint16_t(Below(kColumns - 3)), c2 = uint16_t(c1 + Below(3));
        auto before = Capture(*book_);
        ASSERT_TRUE(book_->RecordUndoColumnWidths({c1, 0, c2, 0}, c1, 0, c1, c2));
        for (uint16_t c = c1; c <= c2; ++c) ws.formats.columns[c].width = uint16_t(1 + Below(900));
        Recorded(2, std::move(before));
    }
    void RemoveSheet() {
        if (book_->tree.worksheetCount < 2) return;
        auto before = Capture(*book_);
        ASSERT_TRUE(book_->RecordUndoTreeRemove({}, 0, 0, &AnySheet()));
        Recorded(3, std::move(before));
    }
    void Undo() {
        if (frames_.empty()) return;
        UndoHistory& h = book_->undo;
        UndoEntry& e = h.entries[h.current];
        CWorksheet* ws = AsWorksheet(GetTreeItemAt(e.treePosition, book_->tree.first));
        switch (kinds_.back()) {
        case 0:
        case 2:
            ASSERT_TRUE(RestoreRangeFromUndo(*book_, *ws, h, h.current, true, true));
            break;
        case 1:
            ASSERT_TRUE(
                RestoreCellFromUndo(*book_, *ws, e.selection.c1, e.selection.r1, h, h.current));
            break;
        case 3:
            InsertTreeItem(book_->tree, e.treeChain.release(),
                           GetTreeItemAt(e.treePosition, book_->tree.first));
            break;
        }
        DiscardLastUndo(h, true);
        expected_ = frames_.back();
        frames_.pop_back();
        kinds_.pop_back();
    }

    std::mt19937 rng_;
    std::unique_ptr<CWorkbook> book_;
    std::vector<std::vector<SheetState>> frames_;
    std::vector<int> kinds_;
    std::vector<SheetState> expected_;
};

} // namespace

TEST(UndoRandom, EditsCompactionsAndUndosAcrossWorksheetsMatchTheStatesBefore) {
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        CRandomBook book(seed);
        for (int step = 0; step < 400; ++step) {
            book.Step();
            book.Check(("seed " + std::to_string(seed) + " step " + std::to_string(step)).c_str());
            if (HasFatalFailure()) return;
        }
    }
}

} // namespace vl
