#pragma once
// A workbook for the undo tests: three worksheets and a folder, cells of every kind with
// formulas that reach across rows and columns, styles, widths, heights and a container.

#include "edittestutil.h"
#include "formula/edit/undoexec.h"
#include "model/container.h"
#include "model/containerpaste.h"
#include "model/workbook.h"
#include "workbookdump.h"

#include <memory>
#include <string>

namespace vl::edittest {

class CUndoBook {
public:
    CUndoBook() : book_(CreateWorkbook()) {
        book_->SetUndoLevel(200);
        s1_ = AddSheet("S1", 1);
        book_->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
        s2_ = AddSheet("S2", 2);
        s3_ = AddSheet("S3", 1);
        book_->tree.active = s1_;
        Fill(*s1_);
        Fill(*s2_);
        StyleTables& t = book_->styles;
        for (uint8_t align = 1; align <= 3; ++align) {
            t.styles[t.styleCount] = StyleRecord{};
            t.styles[t.styleCount++].horizontalAlignment = align;
        }
        CellCursor cursor;
        PutFormatRun(s1_->formats, {1, 6, 3, 1}, cursor);
        PutFormatRun(s1_->formats, {0, 9, 12, 2}, cursor);
        s1_->formats.columns[2] = {uint16_t(90 << 1 | 1), 3, 0};
        SetFormatStoreRowEntry(s1_->formats, 4, 30, true);
        AddContainer(*s1_, 10, 20);
        RecalculateByUpdateMode(*book_);
    }

    CWorkbook& Book() { return *book_; }
    CWorksheet& S1() { return *s1_; }
    CWorksheet& S2() { return *s2_; }
    CWorksheet& S3() { return *s3_; }
    WorkbookDump Dump() const { return DumpWorkbook(*book_); }

    void Number(CWorksheet& ws, uint16_t c, uint32_t r, double v) {
        CellBuffer b;
        ASSERT_TRUE(MakeNumberCell(b, c, r, v));
        PutRecord(ws.cells, b);
    }
    void Text(CWorksheet& ws, uint16_t c, uint32_t r, const std::string& v) {
        CellBuffer b;
        ASSERT_TRUE(MakeTextCell(b, c, r, v));
        PutRecord(ws.cells, b);
    }
    // A formula in the stored (R1C1) form.
    void Formula(CWorksheet& ws, uint16_t c, uint32_t r, const std::string& f) {
        CellBuffer b;
        FormulaHead head;
        ASSERT_TRUE(MakeFormulaCell(b, c, r, head, f));
        PutRecord(ws.cells, b);
    }
    std::string FormulaAt(CWorksheet& ws, uint16_t c, uint32_t r) {
        const uint8_t* rec = FindCell(ws.cells, r, c);
        return rec && cell::IsFormula(rec) ? std::string(cell::Formula(rec)) : "<none>";
    }
    // Takes every free slot of the style table with a style some cell of `ws` uses, so that
    // none can be dropped to make room.
    void FillStyleTable(CWorksheet& ws) {
        StyleTables& t = book_->styles;
        CellCursor cursor;
        for (uint16_t i = t.styleCount; i < kMaxStyles; ++i) {
            t.styles[i] = StyleRecord{};
            t.styles[i].fill = {1, 1, i, 0, 0};
            PutFormatRun(ws.formats, {uint16_t(i % 200), uint16_t(i % 200), 100u + i / 200, i},
                         cursor);
        }
        t.styleCount = kMaxStyles;
    }
    CContainer& AddContainer(CWorksheet& ws, int32_t left, int32_t top) {
        auto c = NewBlockObject<CContainer>();
        const ContainerFrame frame{left, top, left + 200, top + 100};
        InitContainerDefaults(*c, nullptr, &frame);
        c->settings.id = CContainerIds(*book_).Take();
        CContainer& kept = *c;
        LinkContainer(ws, std::move(c));
        return kept;
    }

private:
    CWorksheet* AddSheet(const char* name, uint16_t level) {
        return AsWorksheet(book_->AppendTreeItem(TREE_TYPE_WORKSHEET, name, level));
    }
    void Fill(CWorksheet& ws) {
        for (uint32_t r = 0; r < 20; ++r) {
            Number(ws, 0, r, r * 1.5);
            Text(ws, 1, r, "t" + std::to_string(r % 7));
        }
        Number(ws, 5, 1, 7);
        Text(ws, 6, 15, "far");
        // Formulas reaching up, down, left and right across rows 5..8 and columns 2..4.
        Formula(ws, 3, 2, "=R[8]C[-3]+R[-1]C[2]");
        Formula(ws, 3, 12, "=R[-10]C[-3]*2+R[3]C[3]");
        Formula(ws, 8, 6, "=SUM(R[-6]C[-8]:R[4]C[-8])+RC[-2]");
        Formula(ws, 0, 25, "=R1C1+R[-20]C[5]");
        Formula(ws, 7, 14, "=\"R[2]C\"&S3!R[1]C[1]");
    }

    std::unique_ptr<CWorkbook> book_;
    CWorksheet* s1_;
    CWorksheet* s2_;
    CWorksheet* s3_;
};

// Undo walks back `steps` entries to `before`; redo walks forward again to `after`.
inline void ExpectUndoRedo(CUndoBook& b, int steps, const WorkbookDump& before,
                           const WorkbookDump& after) {
    for (int i = 0; i < steps; ++i) ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    for (int i = 0; i < steps; ++i) ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(after, b.Dump()));
}
inline void ExpectUndoRedo(CUndoBook& b, const WorkbookDump& before, const WorkbookDump& after) {
    ExpectUndoRedo(b, 1, before, after);
}

} // namespace vl::edittest
