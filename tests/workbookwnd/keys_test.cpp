// Keys of the workbook window as a user presses them: Cut and Paste by their keys whatever
// modifiers they are held with, Tab in the grid, Enter in the address box and in the search
// bar, the search bar's buttons following whether a workbook is open, and the keys of a
// worksheet's name typed into the tree.

#include "app/copyhistory.h"
#include "app/frametoolbars.h"
#include "charts/seriesdata.h"
#include "copytest.h"
#include "dialogs/chart/containeredit.h"
#include "formula/celltext.h"
#include "model/cellrecord.h"
#include "model/container.h"
#include "model/formatattribute.h"
#include "model/inspectedcell.h"
#include "model/rangedescriptor.h"
#include "model/rangeops.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/treepane.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace vl {

namespace {

class KeysTest : public wndtest::CopyTest {
protected:
    // B2:C4, two columns by three rows, each cell its own value, the left column bold.
    void FillBlock() {
        for (uint32_t row = 1; row <= 3; ++row)
            for (uint16_t column = 1; column <= 2; ++column) {
                Enter(column, row, QString::number(row * 10 + column));
                if (column == 1) Bold(column, row);
            }
    }
    // The block's values and bold left column at (column, row); the cells right of it and
    // below it stay empty.
    void ExpectBlockAt(uint16_t column, uint32_t row, const char* name) {
        for (uint32_t r = 0; r < 3; ++r)
            for (uint16_t c = 0; c < 2; ++c) {
                EXPECT_EQ(CellText(column + c, row + r), std::to_string((r + 1) * 10 + c + 1))
                    << name << " " << c << "," << r;
                EXPECT_EQ(IsBold(column + c, row + r), c == 0) << name << " " << c << "," << r;
            }
        for (uint32_t r = 0; r < 3; ++r) EXPECT_EQ(CellText(column + 2, row + r), "") << name;
        EXPECT_EQ(CellText(column, row + 3), "") << name;
    }
    void FocusGrid() {
        View()->setFocus();
        Settle();
    }
    QToolBar* SearchBar() const { return frame->Toolbar(kSearchBar); }
    // A chart container at F6 of `ws` with one series of this range formula; its series
    // text, null when the chart could not be made.
    static const char* AddChart(CWorksheet& ws, const std::string& formula) {
        auto container = NewBlockObject<CContainer>();
        InitContainerDefaults(*container, nullptr, nullptr);
        container->settings.id = 1;
        container->settings.anchor = {5, 5, 0};
        if (AddChartObject(*container, kChart2D) != 0) return nullptr;
        CChart& chart = *container->slots[0].chart;
        AddChartSeries(chart);
        chart.series[0].settings.role = 1;
        std::strcpy(chart.series[0].settings.dataArray, formula.c_str());
        LinkContainer(ws, std::move(container));
        return chart.series[0].settings.dataArray;
    }
    QComboBox* SearchBox(int index) const { return SearchBar()->findChildren<QComboBox*>()[index]; }
};

TEST_F(KeysTest, CutKeysTakeTheValuesAndLeaveTheFormats) {
    // Each key that cuts, with the keyboard reporting its modifiers still held.
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {{"Ctrl+X", Qt::Key_X, Qt::ControlModifier},
                          {"Shift+Del", Qt::Key_Delete, Qt::ShiftModifier}};
    uint16_t target = 4;
    for (const Case& c : cases) {
        FillBlock();
        View()->SetSelection({1, 1, 2, 3});
        FocusGrid();
        SetWorkbookKeyState([m = c.modifiers] { return m; });
        Key(c.key, c.modifiers);
        SetWorkbookKeyState(nullptr);
        for (uint32_t row = 1; row <= 3; ++row) {
            EXPECT_EQ(CellText(1, row), "") << c.name;
            EXPECT_EQ(CellText(2, row), "") << c.name;
            EXPECT_TRUE(IsBold(1, row)) << c.name << " row " << row;
            EXPECT_FALSE(IsBold(2, row)) << c.name << " row " << row;
        }
        Select(target, 6);
        FocusGrid();
        Key(Qt::Key_V, Qt::ControlModifier);
        ExpectBlockAt(target, 6, c.name);
        target += 3;
    }
}

TEST_F(KeysTest, CutThenPasteMovesTheBlockAndItsReadersInOneStep) {
    // C1 reads A1 and B2 the sum of A1:A2, which move; B3 reads a cell outside the block.
    Enter(0, 0, QStringLiteral("5"));
    Enter(0, 1, QStringLiteral("7"));
    Enter(2, 0, QStringLiteral("=A1*2"));
    Enter(1, 1, QStringLiteral("=SUM(A1:A2)"));
    Enter(1, 2, QStringLiteral("=A7"));
    const auto number = [&](uint16_t column, uint32_t row) {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        return r ? cell::CachedNumber(r) : -1.0;
    };
    const int32_t before = Book().undo.current;
    View()->SetSelection({0, 0, 0, 1});
    FocusGrid();
    SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::ControlModifier); });
    Key(Qt::Key_X, Qt::ControlModifier);
    SetWorkbookKeyState(nullptr);
    EXPECT_EQ(CellText(0, 0), "");
    Select(4, 4);
    FocusGrid();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CellText(4, 4), "5");
    EXPECT_EQ(CellText(4, 5), "7");
    EXPECT_EQ(CellText(0, 0), "");
    EXPECT_EQ(CellText(2, 0), "=E5*2");
    EXPECT_EQ(CellText(1, 1), "=SUM(E5:E6)");
    EXPECT_EQ(CellText(1, 2), "=A7");
    EXPECT_EQ(number(2, 0), 10);
    EXPECT_EQ(number(1, 1), 12);
    EXPECT_EQ(View()->Selection(), (CellRange{4, 4, 4, 5}));
    // The Cut and its Paste are one step, which Ctrl+Z takes back and Ctrl+Y makes again.
    EXPECT_EQ(Book().undo.current, before + 2);
    EXPECT_TRUE(Book().undo.entries[before + 2].joined);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CellText(0, 0), "5");
    EXPECT_EQ(CellText(4, 4), "");
    EXPECT_EQ(CellText(2, 0), "=A1*2");
    EXPECT_EQ(number(2, 0), 10);
    EXPECT_EQ(Book().undo.current, before);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(CellText(4, 4), "5");
    EXPECT_EQ(CellText(2, 0), "=E5*2");
    // A second Paste of the same copy is a copy: the readers stay with the moved cells.
    Select(6, 0);
    FocusGrid();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CellText(6, 0), "5");
    EXPECT_EQ(CellText(4, 4), "5");
    EXPECT_EQ(CellText(2, 0), "=E5*2");
}

TEST_F(KeysTest, CutThenPasteOfPartOfAnArrayIsRefusedAndPutsTheCellsBack) {
    // B1 spreads twice A1:A3 over B1:B3; its last two cells are cut and pasted at E5.
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("2"));
    Enter(0, 2, QStringLiteral("3"));
    Enter(1, 0, QStringLiteral("=$A$1:$A$3*2"));
    Enter(3, 0, QStringLiteral("=B3+1"));
    ASSERT_EQ(CellText(1, 2), "6");
    const int32_t before = Book().undo.current;
    View()->SetSelection({1, 1, 1, 2});
    FocusGrid();
    Key(Qt::Key_X, Qt::ControlModifier);
    Select(4, 4);
    FocusGrid();
    ui.boxes.clear();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_TRUE(
        ui.boxes.back().text.startsWith(QStringLiteral("The range cuts through an array formula.")))
        << ui.boxes.back().text.toStdString();
    EXPECT_EQ(CellText(4, 4), "");
    EXPECT_EQ(CellText(1, 0), "=$A$1:$A$3*2");
    EXPECT_EQ(CellText(1, 1), "4");
    EXPECT_EQ(CellText(1, 2), "6");
    EXPECT_EQ(CellText(3, 0), "=B3+1");
    EXPECT_EQ(cell::CachedNumber(FindCell(Book().tree.active->cells, 0, 3)), 7);
    // A refused Paste changes nothing: the Cut keeps its step.
    EXPECT_EQ(Book().undo.current, before + 1);
}

TEST_F(KeysTest, ACutStaysAMoveUntilItIsUndone) {
    // Edits between the Cut and the Paste leave it a move; an Undo of the Cut, and whatever
    // is typed after it, leave a plain paste that keeps what was typed.
    struct Case {
        const char* name;
        std::vector<int> keys; // Ctrl+ these, before H9 is typed, when `typed`
        bool typed, moves;
    };
    const Case cases[] = {
        {"typed between", {}, true, true},
        {"undone", {Qt::Key_Z}, false, false},
        {"undone, then typed", {Qt::Key_Z}, true, false},
        {"undone and redone", {Qt::Key_Z, Qt::Key_Y}, false, true},
    };
    for (const Case& c : cases) {
        // Each in a workbook of its own.
        if (&c != cases) {
            ASSERT_NE(NewWindow(), nullptr);
        }
        Enter(0, 0, QStringLiteral("5"));
        Enter(2, 0, QStringLiteral("=A1*2"));
        Select(0, 0);
        FocusGrid();
        Key(Qt::Key_X, Qt::ControlModifier);
        for (int key : c.keys) Key(key, Qt::ControlModifier);
        if (c.typed) Enter(7, 8, QStringLiteral("1"));
        Select(4, 4);
        FocusGrid();
        Key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(CellText(4, 4), "5") << c.name;
        EXPECT_EQ(CellText(0, 0), c.moves ? "" : "5") << c.name;
        EXPECT_EQ(CellText(2, 0), c.moves ? "=E5*2" : "=A1*2") << c.name;
        EXPECT_EQ(cell::CachedNumber(FindCell(Book().tree.active->cells, 0, 2)), 10) << c.name;
        EXPECT_EQ(CellText(7, 8), c.typed ? "1" : "") << c.name;
        // The Paste is one step of its own: Ctrl+Z takes the block off again.
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(CellText(4, 4), "") << c.name;
        EXPECT_EQ(CellText(2, 0), "=A1*2") << c.name;
        EXPECT_EQ(CellText(7, 8), c.typed ? "1" : "") << c.name;
    }
}

TEST_F(KeysTest, ACutPastedOnAnotherWorksheetTakesItsReadersAndPlacesThere) {
    // A1 5 and B1 reading it and D1 3 outside the block; C1 reads A1, the print range is
    // A1:B1 and an inspect entry watches B1. The block is cut, a new worksheet made, and the
    // block pasted at its B2 by the keys.
    Enter(0, 0, QStringLiteral("5"));
    Enter(1, 0, QStringLiteral("=A1+D1"));
    Enter(3, 0, QStringLiteral("3"));
    Enter(2, 0, QStringLiteral("=A1*2"));
    CWorksheet* first = Book().tree.active;
    first->pageSetup.printRangeKind = kPrintCellRange;
    MakeRangeDescriptor({0, 0, 1, 0}, &first->pageSetup.printRange);
    std::string firstPath;
    ASSERT_TRUE(BuildTreeItemPath(first, firstPath, false));
    // A chart whose series reads the block.
    const char* series = AddChart(*first, "=" + firstPath + "!R1C1:R1C2");
    ASSERT_NE(series, nullptr);
    InspectedCellRecord watched;
    watched.cell = {1, 0, kRefCell};
    std::strcpy(watched.worksheet, firstPath.c_str());
    ASSERT_TRUE(AppendInspectedCell(Book().inspectedCells, watched));
    View()->SetSelection({0, 0, 1, 0});
    FocusGrid();
    Key(Qt::Key_X, Qt::ControlModifier);
    Active()->HandleCommand(ID_NEW_WORKSHEET);
    Settle();
    CWorksheet* second = Book().tree.active;
    ASSERT_NE(second, first);
    std::string secondPath;
    ASSERT_TRUE(BuildTreeItemPath(second, secondPath, false));
    Select(1, 1);
    FocusGrid();
    Key(Qt::Key_V, Qt::ControlModifier);
    const auto text = [&](CWorksheet* ws, uint16_t column, uint32_t row) {
        return GetCellText(*Active()->EvalContext(), ws->cells, column, row, column, row, false,
                           false);
    };
    EXPECT_EQ(Book().tree.active, second);
    EXPECT_EQ(text(second, 1, 1), "5");
    EXPECT_EQ(text(second, 2, 1), "=B2+" + firstPath + "!D1");
    EXPECT_EQ(cell::CachedNumber(FindCell(second->cells, 1, 2)), 8);
    EXPECT_EQ(text(first, 0, 0), "");
    EXPECT_EQ(text(first, 2, 0), "=" + secondPath + "!B2*2");
    EXPECT_EQ(cell::CachedNumber(FindCell(first->cells, 0, 2)), 10);
    EXPECT_EQ(second->pageSetup.printRangeKind, kPrintCellRange);
    EXPECT_EQ(second->pageSetup.printRange.Range(), (CellRange{1, 1, 2, 1}));
    EXPECT_EQ(first->pageSetup.printRangeKind, kPrintAll);
    InspectedCellRecord now;
    ASSERT_TRUE(GetInspectedCell(Book().inspectedCells, 0, now));
    EXPECT_EQ(std::string(now.worksheet), secondPath);
    EXPECT_EQ(now.cell.column, 2);
    EXPECT_EQ(now.cell.row, 1u);
    EXPECT_EQ(std::string(series), "=" + secondPath + "!R2C2:R2C3");
    // One Ctrl+Z takes the block, its readers and places back to where the Cut left them.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(second, 1, 1), "");
    EXPECT_EQ(text(first, 2, 0), "=A1*2");
    EXPECT_EQ(first->pageSetup.printRangeKind, kPrintCellRange);
    ASSERT_TRUE(GetInspectedCell(Book().inspectedCells, 0, now));
    EXPECT_EQ(std::string(now.worksheet), firstPath);
    EXPECT_EQ(now.cell.column, 1);
    EXPECT_EQ(std::string(series), "=" + firstPath + "!R1C1:R1C2");
}

TEST_F(KeysTest, ACutContainerIsPastedAsAContainerWhateverCutCameBefore) {
    // A chart over A1:A2; a Cut of A1 waits, then the chart's container is cut and pasted at
    // E5 by the keys: the container comes back there with its series, and no cell moves.
    Enter(0, 0, QStringLiteral("5"));
    Enter(0, 1, QStringLiteral("7"));
    Enter(2, 0, QStringLiteral("=A1*2"));
    CWorksheet& ws = *Book().tree.active;
    const std::string series = "=\\Worksheet1!R1C1:R2C1";
    ASSERT_NE(AddChart(ws, series), nullptr);
    Select(0, 0);
    FocusGrid();
    Key(Qt::Key_X, Qt::ControlModifier);
    ASSERT_EQ(CellText(0, 0), "");
    View()->SetCurrentContainer(ws.firstContainer->settings.id);
    FocusGrid();
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(ws.firstContainer, nullptr);
    Select(4, 4);
    FocusGrid();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_NE(ws.firstContainer, nullptr);
    EXPECT_EQ(ws.firstContainer->next, nullptr);
    EXPECT_EQ(ws.firstContainer->settings.anchor.column, 4);
    EXPECT_EQ(ws.firstContainer->settings.anchor.row, 4u);
    ASSERT_NE(ws.firstContainer->slots[0].chart, nullptr);
    EXPECT_EQ(std::string(ws.firstContainer->slots[0].chart->series[0].settings.dataArray), series);
    EXPECT_EQ(CellText(4, 4), "");
    EXPECT_EQ(CellText(0, 0), "");
    EXPECT_EQ(CellText(2, 0), "=A1*2");
    // Its Paste is a step of its own.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ws.firstContainer, nullptr);
}

TEST_F(KeysTest, CutBlockPastedOverItsOwnCellsRewritesItsFormulas) {
    // A1:A3 holds 1, a formula reading the cell below and 3; pasted one row down, over part
    // of itself, the moved formula still reads the cell below it.
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("=A3"));
    Enter(0, 2, QStringLiteral("3"));
    Enter(3, 0, QStringLiteral("=A3"));
    View()->SetSelection({0, 0, 0, 2});
    FocusGrid();
    Key(Qt::Key_X, Qt::ControlModifier);
    Select(0, 1);
    FocusGrid();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(CellText(0, 0), "");
    EXPECT_EQ(CellText(0, 1), "1");
    EXPECT_EQ(CellText(0, 2), "=A4");
    EXPECT_EQ(CellText(0, 3), "3");
    EXPECT_EQ(CellText(3, 0), "=A4");
    EXPECT_EQ(cell::CachedNumber(FindCell(Book().tree.active->cells, 2, 0)), 3);
}

TEST_F(KeysTest, PasteKeysPasteFormatsUnlessShiftIsHeldBesideThem) {
    FillBlock();
    View()->SetSelection({1, 1, 2, 3});
    FocusGrid();
    Key(Qt::Key_C, Qt::ControlModifier);
    // Shift+Ins is Paste itself: its Shift asks for nothing more.
    Select(5, 5);
    FocusGrid();
    SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::ShiftModifier); });
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    ExpectBlockAt(5, 5, "Shift+Ins");
    // Shift held while Paste is chosen otherwise pastes the contents alone.
    Select(8, 5);
    Active()->HandleCommand(ID_EDIT_PASTE);
    Settle();
    SetWorkbookKeyState(nullptr);
    EXPECT_EQ(CellText(8, 5), "11");
    EXPECT_FALSE(IsBold(8, 5));
    // Ctrl held beside Delete deletes the formats; the values stay.
    View()->SetSelection({5, 5, 6, 7});
    FocusGrid();
    SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::ControlModifier); });
    Key(Qt::Key_Delete, Qt::ControlModifier);
    SetWorkbookKeyState(nullptr);
    EXPECT_EQ(CellText(5, 5), "11");
    EXPECT_FALSE(IsBold(5, 5));
}

TEST_F(KeysTest, TabInTheGridKeepsTheFocusAndTypingGoesToTheCell) {
    Select(2, 3);
    FocusGrid();
    for (int key : {int(Qt::Key_Tab), int(Qt::Key_Backtab), int(Qt::Key_Tab)}) {
        Key(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_EQ(QApplication::focusWidget(), View()) << key;
        EXPECT_EQ(View()->Selection(), (CellRange{2, 3, 2, 3})) << key;
        EXPECT_EQ(Active()->RefPickState(), kRefPickNone) << key;
    }
    Type(QStringLiteral("42"));
    Key(Qt::Key_Return);
    EXPECT_EQ(CellText(2, 3), "42");
    // In the editor Tab commits and moves right, Shift+Tab left: a move, not a selection.
    Select(2, 4);
    Type(QStringLiteral("7"));
    Key(Qt::Key_Tab);
    Type(QStringLiteral("8"));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), View());
    EXPECT_EQ(CellText(2, 4), "7");
    EXPECT_EQ(CellText(3, 4), "8");
    EXPECT_EQ(View()->Selection(), (CellRange{2, 4, 2, 4}));
}

TEST_F(KeysTest, EnterInTheAddressBoxGoesAndHandsTheKeysToTheGrid) {
    QComboBox* box = frame->AddressBox();
    ASSERT_NE(box, nullptr);
    struct Case {
        const char* typed;
        CellRange selection; // unchanged for a refused address
        bool refused;
    };
    const Case cases[] = {
        {"D7", {3, 6, 3, 6}, false},
        {"B3:E4", {1, 2, 4, 3}, false},
        {"D7:5", {1, 2, 4, 3}, true},
        {"C:D", {2, 0, 3, kLastRow}, false},
    };
    for (const Case& c : cases) {
        box->setFocus();
        Settle();
        box->lineEdit()->selectAll();
        Type(QString::fromLatin1(c.typed));
        ui.boxes.clear();
        Key(Qt::Key_Return);
        EXPECT_EQ(View()->Selection(), c.selection) << c.typed;
        EXPECT_EQ(ui.boxes.size(), c.refused ? 1u : 0u) << c.typed;
        QWidget* focus = QApplication::focusWidget();
        EXPECT_EQ(focus == box || box->isAncestorOf(focus), c.refused) << c.typed;
        EXPECT_EQ(focus == View(), !c.refused) << c.typed;
    }
    // Typing after a Go lands in the cell gone to.
    Type(QStringLiteral("5"));
    Key(Qt::Key_Return);
    EXPECT_EQ(CellText(2, 0), "5");
    // Choosing an entry of the list goes there too.
    box->addItem(QStringLiteral("R9C2  -  nine"));
    Profile().addressingA1 = 0;
    box->setFocus();
    box->showPopup();
    Settle();
    box->view()->setCurrentIndex(box->model()->index(box->count() - 1, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(View()->Selection(), (CellRange{1, 8, 1, 8}));
    EXPECT_EQ(QApplication::focusWidget(), View());
}

TEST_F(KeysTest, TheSearchBarFollowsTheWorkbookAndEnterFindsTheNextMatch) {
    const int buttons[] = {ID_SEARCH_FIND, ID_SEARCH_REPLACE, ID_SEARCH_REPLACE_ALL,
                           ID_SEARCH_MATCH_CASE, ID_SEARCH_WHOLE_CELLS};
    frame->OnIdle();
    for (int id : buttons) EXPECT_TRUE(frame->ToolAction(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->ToolAction(ID_SEARCH_CLOSE)->isEnabled());
    Enter(1, 1, QStringLiteral("pear"));
    Enter(3, 2, QStringLiteral("Pear tree"));
    Enter(0, 4, QStringLiteral("pear"));
    // F3 shows the bar with the keys in the find box; Enter there finds, again and again.
    Select(0, 0);
    FocusGrid();
    Key(Qt::Key_F3);
    ASSERT_TRUE(SearchBar()->isVisible());
    ASSERT_TRUE(SearchBox(0)->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == SearchBox(0));
    Type(QStringLiteral("pear"));
    std::vector<CellRange> found;
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Return);
        found.push_back(View()->Selection());
    }
    EXPECT_EQ(found, (std::vector<CellRange>{{1, 1, 1, 1}, {3, 2, 3, 2}, {0, 4, 0, 4}}));
    EXPECT_TRUE(ui.boxes.empty());
    // Match case, as the user ticks it, leaves out "Pear tree".
    frame->ToolAction(ID_SEARCH_MATCH_CASE)->trigger();
    Select(0, 0);
    SearchBox(0)->setFocus();
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    EXPECT_EQ(View()->Selection(), (CellRange{0, 4, 0, 4}));
    // Enter in the replacement box replaces nothing; Replace All does.
    SearchBox(1)->setFocus();
    Type(QStringLiteral("plum"));
    Key(Qt::Key_Return);
    EXPECT_EQ(CellText(1, 1), "pear");
    frame->ToolAction(ID_SEARCH_REPLACE_ALL)->trigger();
    Settle();
    EXPECT_EQ(CellText(1, 1), "plum");
    EXPECT_EQ(CellText(0, 4), "plum");
    EXPECT_EQ(CellText(3, 2), "Pear tree");
    // Close gives the keys back to the grid.
    frame->ToolAction(ID_SEARCH_CLOSE)->trigger();
    Settle();
    EXPECT_FALSE(SearchBar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), View());
    // Without a workbook only Close stays.
    Active()->SetModified(false);
    frame->OnCommand(ID_FILE_CLOSE);
    Settle();
    frame->OnIdle();
    for (int id : buttons) EXPECT_FALSE(frame->ToolAction(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->ToolAction(ID_SEARCH_CLOSE)->isEnabled());
}

TEST_F(KeysTest, KeysInTheTreeNameEditorEditTheNameNotTheWorksheet) {
    // The cells and the worksheet the window's own Delete, Cut, Paste and Select All would hit.
    Enter(0, 0, QStringLiteral("keep"));
    Enter(1, 0, QStringLiteral("3"));
    View()->SetSelection({0, 0, 1, 0});
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    Active()->HandleCommand(ID_RENAME);
    Settle();
    auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(Active()->TreePane()->Control()->isAncestorOf(line));
    // Each key with the text it leaves in the name.
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    } steps[] = {{Qt::Key_Home, {}, "Worksheet1"},
                 {Qt::Key_Delete, {}, "orksheet1"},
                 {Qt::Key_End, {}, "orksheet1"},
                 {Qt::Key_Backspace, {}, "orksheet"},
                 {Qt::Key_A, Qt::ControlModifier, "orksheet"},
                 {Qt::Key_X, Qt::ControlModifier, ""},
                 {Qt::Key_V, Qt::ControlModifier, "orksheet"},
                 {Qt::Key_V, Qt::ControlModifier, "orksheetorksheet"},
                 {Qt::Key_A, Qt::ControlModifier, "orksheetorksheet"},
                 {Qt::Key_Delete, {}, ""}};
    for (const auto& step : steps) {
        Key(step.key, step.modifiers);
        ASSERT_EQ(QApplication::focusWidget(), line) << step.key;
        EXPECT_EQ(line->text().toStdString(), step.text) << step.key;
    }
    // Undo and Redo there take back typing, not the workbook's last edit.
    Type(QStringLiteral("Sa"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), line);
    EXPECT_NE(line->text().toStdString(), "Sa");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(line->text().toStdString(), "Sa");
    EXPECT_EQ(CellText(1, 0), "3");
    line->clear();
    Type(QStringLiteral("Sales"));
    Key(Qt::Key_Return);
    ASSERT_NE(Book().tree.first, nullptr);
    EXPECT_EQ(std::string(Book().tree.first->name), "Sales");
    EXPECT_EQ(Book().tree.first->next, nullptr);
    EXPECT_EQ(CellText(0, 0), "keep");
    EXPECT_EQ(CellText(1, 0), "3");
    EXPECT_EQ(View()->Selection(), (CellRange{0, 0, 1, 0}));
}

// A worksheet named by a command gives the keys back to the grid once the name is committed or
// the edit cancelled, a refused name too: what is typed next goes into the active cell, Down
// moves the cell cursor (not the tree's selection, which would change the worksheet) and
// Ctrl+Z takes back that cell. A name edited from the tree's own keys leaves them with the
// tree. Every key goes through the window system's input queue.
TEST_F(KeysTest, NamingAWorksheetGivesTheKeysBackToTheGrid) {
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    QTreeWidget* tree = Active()->TreePane()->Control();
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_TRUE(testwait::PressKey(key, modifiers)) << key;
    };
    const auto names = [&] {
        std::vector<std::string> list;
        for (const CTreeItem* p = Book().tree.first; p; p = p->next) list.push_back(p->name);
        return list;
    };
    struct Case {
        const char* name;
        std::function<void()> start; // opens the name editor
        const char* typed;           // lower case letters and digits
        Qt::Key end;
        bool refused;
        std::vector<std::string> names; // afterwards, the second one active
        bool grid;                      // the keys with the grid afterwards, else the tree
        CellRange cursor;               // of the named worksheet afterwards
        bool pastes = false; // Shift+Ins pastes "roll" after the typed text, Ctrl+Ins copies it
    };
    const CellRange c4{2, 3, 2, 3};
    const Case cases[] = {
        {"Insert > New Worksheet, Return",
         [&] { Command(ID_NEW_WORKSHEET); },
         "sales",
         Qt::Key_Return,
         false,
         {"Worksheet1", "sales"},
         true,
         {0, 0, 0, 0}},
        {"Tools > Rename, Return",
         [&] { Command(ID_RENAME); },
         "costs",
         Qt::Key_Return,
         false,
         {"Worksheet1", "costs"},
         true,
         c4},
        {"Tools > Rename, Escape",
         [&] { Command(ID_RENAME); },
         "nope",
         Qt::Key_Escape,
         false,
         {"Worksheet1", "costs"},
         true,
         c4},
        {"Tools > Rename to a sibling's name, refused",
         [&] { Command(ID_RENAME); },
         "worksheet1",
         Qt::Key_Return,
         true,
         {"Worksheet1", "costs"},
         true,
         c4},
        {"Tools > Rename, Shift+Ins and Ctrl+Ins on the name's text",
         [&] { Command(ID_RENAME); },
         "pay",
         Qt::Key_Return,
         false,
         {"Worksheet1", "payroll"},
         true,
         c4,
         true},
        {"Return in the tree, Return",
         [&] {
             tree->setFocus();
             ASSERT_TRUE(testwait::UntilFocused(tree));
             press(Qt::Key_Return);
         },
         "taxes",
         Qt::Key_Return,
         false,
         {"Worksheet1", "taxes"},
         false,
         c4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The last worksheet active, its cursor on C4, the grid holding the keys.
        Active()->TreePane()->Select(Book().tree.first->next ? Book().tree.first->next
                                                             : Book().tree.first);
        Settle();
        View()->SetSelection({2, 3, 2, 3});
        FocusGrid();
        ASSERT_TRUE(testwait::UntilFocused(View()));
        ui.boxes.clear();
        c.start();
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(line, nullptr);
        ASSERT_TRUE(tree->isAncestorOf(line));
        for (const char* p = c.typed; *p; ++p)
            press(Qt::Key(*p >= 'a' ? Qt::Key_A + (*p - 'a') : Qt::Key_0 + (*p - '0')));
        if (c.pastes) {
            QGuiApplication::clipboard()->setText("roll");
            press(Qt::Key_Insert, Qt::ShiftModifier);
            EXPECT_EQ(line->text(), "payroll");
            press(Qt::Key_A, Qt::ControlModifier);
            QGuiApplication::clipboard()->clear();
            press(Qt::Key_Insert, Qt::ControlModifier);
            EXPECT_EQ(QGuiApplication::clipboard()->text(), "payroll");
        }
        press(c.end);
        EXPECT_EQ(names(), c.names);
        ASSERT_EQ(Book().tree.active, Book().tree.first->next);
        EXPECT_EQ(ui.boxes.size(), c.refused ? 1u : 0u);
        CWorksheet* named = Book().tree.active;
        if (!c.grid) {
            // Up in the tree makes the first worksheet active.
            ASSERT_TRUE(testwait::UntilFocused(tree));
            press(Qt::Key_Up);
            EXPECT_EQ(Book().tree.active, AsWorksheet(Book().tree.first));
            EXPECT_EQ(QApplication::focusWidget(), tree);
            continue;
        }
        ASSERT_TRUE(testwait::UntilFocused(View()));
        const CellRange at = c.cursor;
        EXPECT_EQ(View()->Selection(), at);
        const int32_t undoBefore = Book().undo.current;
        press(Qt::Key_7);
        press(Qt::Key_Down);
        EXPECT_EQ(CellText(at.c1, at.r1), "7");
        EXPECT_EQ(View()->Selection(), (CellRange{at.c1, at.r1 + 1, at.c1, at.r1 + 1}));
        EXPECT_EQ(Book().tree.active, named);
        press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(CellText(at.c1, at.r1), "");
        EXPECT_EQ(Book().undo.current, undoBefore);
        EXPECT_EQ(names(), c.names);
        EXPECT_EQ(Book().tree.active, named);
        EXPECT_EQ(QApplication::focusWidget(), View());
    }
    Active()->SetModified(false);
}

// The window losing activation while a worksheet is being named (another window activated,
// then this one again) leaves the name editor open with the keys: the name typed after it
// names the worksheet, and the keys then go back to the grid.
TEST_F(KeysTest, TheNameEditorStaysOpenWhileTheWindowIsNotActive) {
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    const struct {
        const char* name;
        int command;
        const char* typed;
        std::vector<std::string> names;
    } cases[] = {{"New Worksheet", ID_NEW_WORKSHEET, "budget", {"Worksheet1", "budget"}},
                 {"Rename", ID_RENAME, "costs", {"Worksheet1", "costs"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Command(c.command);
        QPointer<QLineEdit> line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_FALSE(line.isNull());
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(testwait::UntilActive(&other));
        frame->activateWindow();
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        ASSERT_FALSE(line.isNull());
        ASSERT_TRUE(testwait::UntilFocused(line));
        for (const char* p = c.typed; *p; ++p)
            ASSERT_TRUE(testwait::PressKey(Qt::Key(Qt::Key_A + (*p - 'a'))));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
        std::vector<std::string> names;
        for (const CTreeItem* p = Book().tree.first; p; p = p->next) names.push_back(p->name);
        EXPECT_EQ(names, c.names);
        EXPECT_TRUE(testwait::UntilFocused(View()));
    }
    Active()->SetModified(false);
}

// New Worksheet's counter passes over a name the folder has: the new worksheet never shares
// a path with another.
TEST_F(KeysTest, NewWorksheetPassesOverANameTheFolderHas) {
    Book().tree.first->SetName("worksheet2");
    ui.boxes.clear();
    Command(ID_NEW_WORKSHEET);
    EXPECT_TRUE(ui.boxes.empty());
    std::vector<std::string> names;
    for (const CTreeItem* p = Book().tree.first; p; p = p->next) names.push_back(p->name);
    EXPECT_EQ(names, (std::vector<std::string>{"worksheet2", "Worksheet3"}));
}

// Tools > Rename takes a name as formulas read it: a sibling's name with a blank after it is
// refused with its message, and so is a backslash; the paste list names a copy's worksheet by
// its new name.
TEST_F(KeysTest, ToolsRenameRefusesANameFormulasReadAsASiblingsAndThePasteListFollows) {
    const auto rename = [&](const QString& name) {
        Active()->HandleCommand(ID_RENAME);
        Settle();
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(line, nullptr);
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(name);
        Key(Qt::Key_Return);
    };
    Command(ID_NEW_WORKSHEET); // Worksheet2, active
    Enter(0, 0, QStringLiteral("2"));
    Active()->TreePane()->Select(Book().tree.first);
    Settle();
    Enter(0, 0, QStringLiteral("1"));
    Enter(1, 0, QStringLiteral("=\\Worksheet1!A1*10"));
    View()->SetSelection({0, 0, 0, 0});
    FocusGrid();
    Key(Qt::Key_C, Qt::ControlModifier);
    struct Case {
        const char* typed;
        const char* name; // the first worksheet's afterwards
        const char* message;
    };
    const Case cases[] = {
        {"Worksheet2 ", "Worksheet1", "Another worksheet or folder of this folder has this name."},
        {" worksheet2", "Worksheet1", "Another worksheet or folder of this folder has this name."},
        {"A\\B", "Worksheet1", "A worksheet or folder name cannot hold a backslash"},
        {" Sales ", "Sales", nullptr},
    };
    for (const Case& c : cases) {
        ui.boxes.clear();
        Active()->TreePane()->Select(Book().tree.first);
        Settle();
        rename(QString::fromLatin1(c.typed));
        EXPECT_EQ(std::string(Book().tree.first->name), c.name) << c.typed;
        if (c.message) {
            ASSERT_EQ(ui.boxes.size(), 1u) << c.typed;
            EXPECT_TRUE(ui.boxes.back().text.startsWith(QString::fromLatin1(c.message)))
                << ui.boxes.back().text.toStdString();
        } else {
            EXPECT_TRUE(ui.boxes.empty()) << c.typed;
        }
    }
    EXPECT_EQ(CellText(1, 0), "=\\Sales!A1*10");
    EXPECT_EQ(cell::CachedNumber(FindCell(Book().tree.active->cells, 0, 1)), 10);
    frame->OnToolbarDropDown(ID_EDIT_PASTE);
    const QList<QAction*> items = frame->DropDownMenu()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->text(), QStringLiteral("1.\tPaste  \\Sales!A1"));
    frame->DropDownMenu()->close();
    Settle();
}

} // namespace

} // namespace vl
