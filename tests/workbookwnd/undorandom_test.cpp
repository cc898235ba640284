// Three hundred random edits through the window (rows, columns, Delete, renaming, typing):
// undone as far as the history reaches they give the workbook as it was that many edits
// back, redone they give the last one.

#include "model/workbook.h"
#include "resources/commandids.h"
#include "tests/formula/edit/workbookdump.h"
#include "wndtest.h"
#include "workbookwnd/treepane.h"

#include <QTreeWidget>
#include <random>

namespace vl {

namespace {

class RandomUndoTest : public wndtest::WindowTest {
protected:
    void Command(int id) {
        View()->setFocus();
        Active()->HandleCommand(id);
        Settle();
    }
    // The workbook with the view at A1: the selection an undo shows is the undone edit's,
    // which is not the state the dump after the edit before it saw.
    edittest::WorkbookDump Dump() {
        const CellRange selection = View()->Selection();
        View()->SetSelection({0, 0, 0, 0});
        View()->SetScrollPosition(0, 0);
        View()->StoreViewPosition();
        edittest::WorkbookDump dump = edittest::DumpWorkbook(Book());
        View()->SetSelection(selection);
        return dump;
    }
    // The names of the sections that differ.
    static std::string Differing(const edittest::WorkbookDump& a, const edittest::WorkbookDump& b) {
        std::string out;
        for (size_t i = 0; i < a.sections.size() || i < b.sections.size(); ++i)
            if (i >= a.sections.size() || i >= b.sections.size() || a.sections[i] != b.sections[i])
                out += (i < a.sections.size() ? a.sections[i].first : b.sections[i].first) + "; ";
        return out;
    }
};

TEST_F(RandomUndoTest, ThreeHundredEditsUndoAndRedoToTheSameBytes) {
    ASSERT_NE(NewWindow(), nullptr);
    Book().SetUndoLevel(200);
    // Numbers and formulas in A1:H12, typed before the edits begin.
    for (uint16_t c = 0; c < 8; ++c)
        for (uint32_t r = 0; r < 12; ++r)
            Enter(c, r,
                  (r + c) % 3 ? QString::number(r * 10 + c) : QStringLiteral("=A1+%1").arg(r));
    std::mt19937 rng(39);
    auto pick = [&rng](uint32_t n) { return uint32_t(rng() % n); };
    std::vector<edittest::WorkbookDump> dumps{Dump()};
    int edits = 0;
    while (edits < 300) {
        const uint16_t column = uint16_t(pick(5));
        const uint32_t row = pick(6);
        View()->SetSelection({column, row, uint16_t(column + pick(2)), row + pick(3)});
        const int before = Book().undo.current;
        const uint32_t what = pick(7);
        switch (what) {
        case 0:
            Command(ID_INSERT_ROWS);
            break;
        case 1:
            Command(ID_REMOVE_ROWS);
            break;
        case 2:
            Command(ID_INSERT_COLUMNS);
            break;
        case 3:
            Command(ID_REMOVE_COLUMNS);
            break;
        case 4:
            Command(ID_EDIT_CLEAR);
            break;
        case 5:
            Active()
                ->TreePane()
                ->FindHandle(Book().tree.first)
                ->setText(0, QStringLiteral("S%1").arg(edits));
            Settle();
            break;
        default:
            Enter(column, row,
                  pick(2) ? QStringLiteral("=A1+%1").arg(edits) : QString::number(edits));
            break;
        }
        // Only recorded edits count. Below the maximum the index tells; at it, a changed
        // workbook does, and an unchanged one is probed: when Undo leaves it as it is, the
        // command recorded an entry of its own.
        edittest::WorkbookDump now = Dump();
        bool recorded = Book().undo.current != before || !(now == dumps.back());
        if (!recorded && before == 199) {
            Command(ID_EDIT_UNDO);
            recorded = Dump() == now;
            Command(ID_EDIT_REDO);
            ASSERT_TRUE(Dump() == now);
        }
        if (!recorded) continue;
        ++edits;
        dumps.push_back(std::move(now));
    }
    const edittest::WorkbookDump last = dumps.back();
    int undone = 0;
    while (Book().undo.current >= 0) {
        Command(ID_EDIT_UNDO);
        ++undone;
    }
    // Level 200 keeps entries 0 to 199.
    ASSERT_EQ(undone, 200);
    EXPECT_EQ(Differing(Dump(), dumps[300 - undone]), "");
    while (Active()->State().nextUndoEntry) Command(ID_EDIT_REDO);
    EXPECT_EQ(Differing(Dump(), last), "");
}

} // namespace

} // namespace vl
