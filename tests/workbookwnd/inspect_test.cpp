// The inspect pane: its layout, adding entries in bulk, what a row shows, Remove, Remove All
// and Go To.

#include "core/settings.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "wndtest.h"
#include "workbookwnd/inspectpane.h"
#include "workbookwnd/treepane.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace vl {

namespace {

class InspectTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        // A1 1, A2 =A1+1, A3 =1/0, B1 a text, B3 3.
        Enter(0, 0, "1");
        Enter(0, 1, "=A1+1");
        Enter(0, 2, "=1/0");
        Enter(1, 0, "x");
        Enter(1, 2, "3");
    }
    CInspectPane& Pane() const { return *Active()->InspectPane(); }
    uint32_t Count() const { return Book().inspectedCells.ItemCount(); }
    // "column,row name" of every entry.
    std::string Entries() const {
        std::string out;
        for (uint32_t i = 0; i < Count(); ++i) {
            InspectedCellRecord r;
            GetInspectedCell(Book().inspectedCells, i, r);
            out += std::to_string(r.cell.column) + "," + std::to_string(r.cell.row) + " " +
                   r.worksheet + " " + r.name + "|";
        }
        return out;
    }
};

TEST(InspectLayoutTest, ColumnsButtonsAndEditFollowTheSize) {
    struct Case {
        int width, height, column;
        bool buttons, edit;
    } cases[] = {
        {399, 100, 100, true, true},                               // W / 4 below 100
        {404, 100, 101, true, true},  {404, 41, 101, true, true},  // H - h just above h
        {404, 40, 101, false, false}, {203, 100, 100, true, true}, // the edit box 1 pixel wide
        {202, 100, 100, true, false},
    };
    for (const Case& c : cases) {
        const InspectLayout l = ComputeInspectLayout(c.width, c.height, 20, 50);
        EXPECT_EQ(l.columnWidth, c.column) << c.width;
        EXPECT_EQ(l.buttonsShown, c.buttons) << c.width << "x" << c.height;
        EXPECT_EQ(l.editShown, c.edit) << c.width << "x" << c.height;
        EXPECT_EQ(l.list, QRect(0, 19, c.width, c.height - 40));
        EXPECT_EQ(l.buttons[0], QRect(c.width - 201, c.height - 20, 50, 20));
        EXPECT_EQ(l.buttons[3], QRect(c.width - 51, c.height - 20, 50, 20));
        EXPECT_EQ(l.edit, QRect(1, c.height - 20, c.width - 202, 19));
    }
}

TEST_F(InspectTest, ThePaneLaysItsControlsOut) {
    CInspectPane pane(*Active());
    pane.resize(800, 200);
    pane.show();
    Settle();
    EXPECT_EQ(pane.Header()->sectionSize(3), 200);
    EXPECT_EQ(pane.List()->geometry(), QRect(0, kMenuBarHeight - 1, 800, 200 - 2 * kMenuBarHeight));
    EXPECT_TRUE(pane.ButtonAt(CInspectPane::kGoTo)->isVisible());
    EXPECT_TRUE(pane.NameEdit()->isVisible());
    pane.resize(800, 2 * kMenuBarHeight);
    Settle();
    EXPECT_FALSE(pane.ButtonAt(CInspectPane::kGoTo)->isVisible());
    EXPECT_FALSE(pane.NameEdit()->isVisible());
}

TEST_F(InspectTest, AddTakesFormulasErrorsOrSelectedCells) {
    struct Case {
        int id;
        CellRange selection;
        const char* entries;
    } cases[] = {
        {ID_INSPECT_ALL_FORMULAS, {0, 0, 0, 0}, "0,1 \\Worksheet1 n|0,2 \\Worksheet1 n|"},
        {ID_INSPECT_ERROR_FORMULAS, {0, 0, 0, 0}, "0,2 \\Worksheet1 n|"},
        // Only cells that hold a record.
        {ID_INSPECT_SELECTED,
         {0, 0, 1, 1},
         "0,0 \\Worksheet1 n|1,0 \\Worksheet1 n|0,1 \\Worksheet1 n|"},
    };
    Pane().NameEdit()->setText("n");
    for (const Case& c : cases) {
        Pane().RemoveAll();
        View()->SetSelection(c.selection);
        Pane().AddEntries(c.id);
        EXPECT_EQ(Entries(), c.entries) << c.id;
        EXPECT_EQ(Pane().List()->count(), int(Count()));
        EXPECT_EQ(Pane().List()->currentRow(), int(Count()) - 1);
    }
}

TEST_F(InspectTest, RowsShowNameAddressFormulaAndValue) {
    Pane().NameEdit()->setText("Sum");
    Pane().AddEntries(ID_INSPECT_ALL_FORMULAS);
    EXPECT_EQ(Pane().EntryText(0, CInspectPane::kName), "Sum");
    EXPECT_EQ(Pane().EntryText(0, CInspectPane::kAddress), "\\Worksheet1!A2");
    EXPECT_EQ(Pane().EntryText(0, CInspectPane::kFormula), "=A1+1");
    EXPECT_EQ(Pane().EntryText(0, CInspectPane::kValue), "2");
    EXPECT_EQ(Pane().EntryText(1, CInspectPane::kValue), "#DIV/0!");
    EXPECT_FALSE(Pane().EntryUnresolved(0));
    Profile().addressingA1 = 0;
    EXPECT_EQ(Pane().EntryText(0, CInspectPane::kAddress), "\\Worksheet1!R2C1");
    EXPECT_EQ(Pane().EntryText(0, CInspectPane::kFormula), "=R[-1]C+1");
    // A watched cell that lost its record is drawn in red, with no formula or value.
    Profile().addressingA1 = 1;
    View()->SetSelection({0, 1, 0, 1});
    Active()->HandleCommand(ID_EDIT_CLEAR);
    Settle();
    EXPECT_TRUE(Pane().EntryUnresolved(0));
    EXPECT_EQ(Pane().EntryText(0, CInspectPane::kValue), "");
}

TEST_F(InspectTest, RemoveSelectsTheNextRowAndRemoveAllEmptiesTheList) {
    Pane().AddEntries(ID_INSPECT_ALL_FORMULAS);
    View()->SetSelection({1, 2, 1, 2});
    Pane().AddEntries(ID_INSPECT_SELECTED);
    ASSERT_EQ(Count(), 3u);
    Pane().List()->setCurrentRow(0);
    Pane().RemoveSelected();
    EXPECT_EQ(Entries(), "0,2 \\Worksheet1 |1,2 \\Worksheet1 |");
    EXPECT_EQ(Pane().List()->currentRow(), 0);
    // Remove on the last row selects the new last one.
    Pane().List()->setCurrentRow(1);
    Pane().RemoveSelected();
    EXPECT_EQ(Entries(), "0,2 \\Worksheet1 |");
    EXPECT_EQ(Pane().List()->currentRow(), 0);
    Pane().RemoveAll();
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(Pane().List()->count(), 0);
    // Nothing to remove or go to.
    Pane().RemoveSelected();
    Pane().GoToSelected();
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(InspectTest, GoToFindsTheWorksheetOrShowsString143) {
    Pane().AddEntries(ID_INSPECT_ERROR_FORMULAS);
    Active()->HandleCommand(ID_NEW_WORKSHEET);
    Settle();
    View()->setFocus();
    CWorksheet* first = static_cast<CWorksheet*>(Book().tree.first);
    ASSERT_NE(Book().tree.active, first);
    Pane().GoToSelected();
    EXPECT_EQ(Book().tree.active, first);
    EXPECT_EQ(View()->Selection(), (CellRange{0, 2, 0, 2}));
    EXPECT_TRUE(ui.boxes.empty());
    // After the worksheet is renamed the entry no longer resolves: red, and Go To refuses.
    first->SetName("Renamed");
    View()->SetSelection({3, 3, 3, 3});
    Pane().GoToSelected();
    EXPECT_TRUE(Pane().EntryUnresolved(0));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Invalid worksheet path and/or cell address.");
    EXPECT_EQ(View()->Selection(), (CellRange{3, 3, 3, 3}));
}

} // namespace

} // namespace vl
