// The window's Insert, Tools, value and search commands, driven as the user drives them.

#include "app/frametoolbars.h"
#include "app/helpviewer.h"
#include "core/settings.h"
#include "dialogs/chart/containerdlg.h"
#include "formula/celltext.h"
#include "model/container.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "tests/formula/edit/workbookdump.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/functiontemplate.h"
#include "workbookwnd/treepane.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QToolBar>

namespace vl {

namespace {

// A Sort dialog that answers OK with the settings it is given.
class SortUi : public apptest::FakeUi {
public:
    int SortDialog(SortSettings& s) override {
        seen = s;
        s = answer;
        return IDOK;
    }
    bool HasSortDialog() const override { return true; }
    SortSettings answer, seen;
};

class DataTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    void TearDown() override {
        SetInsertFunctionCatalogue({});
        SetUiServices(&ui);
        WindowTest::TearDown();
    }
    QString LastBox() const { return ui.boxes.empty() ? QString() : ui.boxes.back().text; }
    // Transpose chosen by its letter in the grid's menu, opened by the keyboard.
    void TransposeByKeys() {
        View()->setFocus();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(30, 30),
                              View()->viewport()->mapToGlobal(QPoint(30, 30)));
        QApplication::sendEvent(View()->viewport(), &key);
        Settle();
        QMenu* grid = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(grid, nullptr);
        QTest::keyClick(grid, Qt::Key_A);
        Settle();
    }
    std::vector<uint16_t> ContainerIds(const CWorksheet& ws) const {
        std::vector<uint16_t> ids;
        for (CContainer* c = ws.firstContainer; c; c = c->next) ids.push_back(c->settings.id);
        return ids;
    }
    CWorksheet* Sheet(int n) const {
        int i = 0;
        for (CTreeItem* p = Book().tree.first; p; p = p->next)
            if (p->IsWorksheet() && i++ == n) return static_cast<CWorksheet*>(p);
        return nullptr;
    }
    void SetClock(int year, int month, int day, int hour) {
        clock.now = QDateTime(QDate(year, month, day), QTime(hour, 0)).toSecsSinceEpoch();
    }
    QComboBox* SearchBox(int index) const {
        return frame->Toolbar(kSearchBar)->findChildren<QComboBox*>()[index];
    }
    // The item of the window's menus with this text, in whichever menu it stands.
    QAction* MenuItem(const QString& text) const {
        std::vector<QMenu*> menus;
        for (QAction* top : Active()->MenuBarActions())
            if (top->menu()) menus.push_back(top->menu());
        while (!menus.empty()) {
            QMenu* menu = menus.back();
            menus.pop_back();
            for (QAction* a : menu->actions()) {
                if (a->menu()) menus.push_back(a->menu());
                if (a->text() == text) return a;
            }
        }
        return nullptr;
    }
    std::string Kind(uint16_t column, uint32_t row) const {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        return !r ? "" : cell::IsNumber(r) ? "n" : cell::IsText(r) ? "t" : "f";
    }
};

} // namespace

TEST_F(DataTest, ContainerIdsAreTheSmallestFreeAcrossWorksheets) {
    Command(ID_EMPTY_CONTAINER);
    Command(ID_NEW_WORKSHEET);
    View()->setFocus();
    Command(ID_CHART_2D);
    Active()->TreePane()->Select(Sheet(0));
    Settle();
    Command(ID_CHART_XY);
    EXPECT_EQ(ContainerIds(*Sheet(0)), (std::vector<uint16_t>{1, 3}));
    EXPECT_EQ(ContainerIds(*Sheet(1)), (std::vector<uint16_t>{2}));
    ASSERT_NE(Sheet(1)->firstContainer->slots[0].chart, nullptr);
    Command(ID_EMPTY_CONTAINER);
    EXPECT_EQ(ContainerIds(*Sheet(0)), (std::vector<uint16_t>{1, 3, 4}));
    // Deleting container 2 frees its id; the properties window that came with the inserted
    // containers is closed first, so that Delete goes to the grid.
    ASSERT_NE(Active()->ContainerProperties(), nullptr);
    Active()->ContainerProperties()->hide();
    Active()->window()->activateWindow();
    // On X the window is active, and the grid has the keyboard, only once the server says so.
    ASSERT_TRUE(testwait::UntilActive(Active()->window()));
    Active()->TreePane()->Select(Sheet(1));
    Settle();
    View()->SetCurrentContainer(2);
    View()->setFocus();
    ASSERT_TRUE(testwait::UntilFocused(View()));
    Command(ID_EDIT_CLEAR);
    EXPECT_TRUE(ContainerIds(*Sheet(1)).empty());
    Command(ID_EMPTY_CONTAINER);
    EXPECT_EQ(ContainerIds(*Sheet(1)), (std::vector<uint16_t>{2}));
    // An image: the dialog's path names the container's background; Cancel inserts nothing.
    ui.openPath = QString::fromStdString(TempPath("picture.png"));
    Command(ID_INSERT_IMAGE);
    ASSERT_EQ(ContainerIds(*Sheet(1)).size(), 2u);
    EXPECT_EQ(Sheet(1)->firstContainer->next->settings.background.kind, kBackgroundImage);
    EXPECT_EQ(Book().images.size(), 1u);
    ui.openPath.clear();
    Command(ID_INSERT_IMAGE);
    EXPECT_EQ(ContainerIds(*Sheet(1)).size(), 2u);
}

TEST_F(DataTest, DatesAndTimesComeFromTheClock) {
    SetClock(2024, 1, 31, 8);
    struct Case {
        int id;
        const char* text;
        const char* kind;
    };
    const Case cases[] = {
        {ID_INSERT_DATE, "2024-01-31", "t"},
        {ID_INSERT_TIME, "08:00:00", "t"},
        {ID_INSERT_DATE_AND_TIME, "2024-01-31T08:00:00", "t"},
        {ID_END_NEXT_MONTH, "2024-02-29", "t"},
        {ID_END_PREV_MONTH, "2023-12-31", "t"},
        {ID_NEXT_WEEK, "2024-02-07", "t"},
    };
    for (const Case& c : cases) {
        SelectRange(0, 0, 1, 1);
        Command(c.id);
        for (uint16_t col = 0; col < 2; ++col)
            for (uint32_t row = 0; row < 2; ++row) {
                const uint8_t* r = FindCell(Book().tree.active->cells, row, col);
                ASSERT_NE(r, nullptr) << c.text;
                EXPECT_EQ(cell::Text(r), c.text);
            }
        EXPECT_EQ(CellText(2, 0), "") << c.text;
    }
}

// F5 over a block selected by keys fills it as one edit: one Ctrl+Z gives every cell back
// and leaves the edit before it alone; Ctrl+Y fills the block again.
TEST_F(DataTest, ADateOverABlockIsOneEdit) {
    SetClock(2024, 1, 31, 8);
    Enter(0, 0, QStringLiteral("keep"));
    Enter(1, 1, QStringLiteral("=1+1"));
    Enter(2, 2, QStringLiteral("7"));
    const int undo = Book().undo.current;
    const std::string before[] = {CellText(0, 0), CellText(1, 1), CellText(2, 2)};
    Select(0, 0);
    View()->setFocus();
    ASSERT_TRUE(testwait::UntilFocused(View()));
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down})
        ASSERT_TRUE(testwait::PressKey(key, Qt::ShiftModifier));
    ASSERT_EQ(View()->Selection(), (CellRange{0, 0, 2, 2}));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F5));
    ASSERT_TRUE(testwait::Until([&] { return Book().undo.current == undo + 1; }));
    auto filled = [&] {
        for (uint32_t row = 0; row < 4; ++row)
            for (uint16_t col = 0; col < 4; ++col)
                EXPECT_EQ(CellText(col, row), row < 3 && col < 3 ? "2024-01-31" : "")
                    << col << "," << row;
    };
    filled();
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Z, Qt::ControlModifier));
    ASSERT_TRUE(testwait::Until([&] { return Book().undo.current == undo; }));
    EXPECT_EQ(CellText(0, 0), before[0]);
    EXPECT_EQ(CellText(1, 1), before[1]);
    EXPECT_EQ(CellText(2, 2), before[2]);
    EXPECT_EQ(CellText(1, 0), "");
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Y, Qt::ControlModifier));
    ASSERT_TRUE(testwait::Until([&] { return Book().undo.current == undo + 1; }));
    filled();
}

TEST_F(DataTest, EveryDateCommandOnTheFifteenthOfAMonth) {
    // 15 March 2023, 14:05:09: a month's steps cannot land on a month's end unseen, and the
    // weeks cross no month.
    clock.now = QDateTime(QDate(2023, 3, 15), QTime(14, 5, 9)).toSecsSinceEpoch();
    struct Case {
        int id;
        const char* text;
    };
    const Case cases[] = {
        {ID_INSERT_DATE, "2023-03-15"},
        {ID_INSERT_TIME, "14:05:09"},
        {ID_INSERT_DATE_AND_TIME, "2023-03-15T14:05:09"},
        {ID_NEXT_WEEK, "2023-03-22"},
        {ID_PREV_WEEK, "2023-03-08"},
        {ID_NEXT_MONTH, "2023-04-15"},
        {ID_PREV_MONTH, "2023-02-15"},
        {ID_END_NEXT_MONTH, "2023-04-30"},
        {ID_END_PREV_MONTH, "2023-02-28"},
    };
    uint32_t top = 0;
    for (const Case& c : cases) {
        // Two columns by three rows, at a place of its own for each command.
        SelectRange(1, top, 2, top + 2);
        Command(c.id);
        for (uint32_t row = top; row <= top + 2; ++row)
            for (uint16_t col = 1; col <= 2; ++col) {
                const uint8_t* r = FindCell(Book().tree.active->cells, row, col);
                ASSERT_NE(r, nullptr) << c.text;
                EXPECT_EQ(cell::Text(r), c.text) << col << "," << row;
            }
        EXPECT_EQ(CellText(0, top), "") << c.text;
        EXPECT_EQ(CellText(3, top + 2), "") << c.text;
        EXPECT_EQ(CellText(1, top + 3), "") << c.text;
        top += 4;
    }
}

TEST_F(DataTest, InsertFunctionFillsTheEditorOrTheCell) {
    static const FunctionInfo kRows[] = {{0x100, "abs", "x", "0", ""},
                                         {0x200, "max", "a\0b", "00", ""}};
    SetInsertFunctionCatalogue(kRows);
    StartTyping(0, 0, QStringLiteral("=1+"));
    // Insert Function carries the row of the function list.
    EXPECT_TRUE(Active()->HandleCommandWith(ID_INSERT_FUNCTION, 0));
    EXPECT_EQ(View()->Editor()->toPlainText().toStdString(), "=1+abs(x)");
    View()->CancelCellEdit();
    Select(1, 1);
    EXPECT_TRUE(Active()->HandleCommandWith(ID_INSERT_FUNCTION, 1));
    Settle();
    EXPECT_EQ(CellText(1, 1), "=max(a, b)");
    // A name is added while the text stays within 1,020 characters.
    for (const size_t length : {size_t(1018), size_t(1019)}) {
        const std::string name(length, 'n');
        const FunctionInfo row{0x100, "f", name.c_str(), "0", ""};
        EXPECT_EQ(FunctionTemplateText(row, true), length == 1018 ? "f(" + name + ")" : "f()");
    }
}

TEST_F(DataTest, F8FillsSeriesAndEmptyEndsAsk) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("3"));
    SelectRange(0, 0, 0, 9);
    Key(Qt::Key_F8);
    Settle();
    EXPECT_EQ(CellText(0, 9), "19");
    ui.boxes.clear();
    SelectRange(3, 0, 3, 5);
    Key(Qt::Key_F8);
    Settle();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(LastBox().startsWith(QStringLiteral("Please enter either 1-2 initial")));
    // A series past the largest number: #NUM! from there on.
    Enter(5, 0, QStringLiteral("1e308"));
    Enter(5, 1, QStringLiteral("1.7e308"));
    SelectRange(5, 0, 5, 3);
    Key(Qt::Key_F8);
    Settle();
    EXPECT_EQ(CellText(5, 1), "1.7e+308");
    EXPECT_EQ(CellText(5, 2), "#NUM!");
    EXPECT_EQ(CellText(5, 3), "#NUM!");
}

TEST_F(DataTest, QuickStatisticsWriteSumsOrAskForARange) {
    for (uint16_t c = 0; c < 3; ++c)
        for (uint32_t r = 0; r < 3; ++r) Enter(c, r, QString::number(c + r));
    SelectRange(0, 0, 3, 3);
    Command(ID_STAT_SUM);
    EXPECT_EQ(CellText(3, 0), "=sum(A1:C1)");
    EXPECT_EQ(CellText(0, 3), "=sum(A1:A3)");
    EXPECT_EQ(CellText(3, 3), "=sum(A1:C3)");
    ui.boxes.clear();
    ui.answers = {IDOK};
    SelectRange(5, 5, 5, 5);
    Command(ID_STAT_MAXIMUM);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(LastBox(), QStringLiteral("No cell range selected.\nFor help, press OK."));
    EXPECT_EQ(CellText(5, 5), "");
    // OK opens the help at entering formulas.
    const CHelpViewer* help = frame->findChild<CHelpViewer*>();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentHeading().toStdString(), "Entering data and formulas");
}

TEST_F(DataTest, SortByTheDialogsKeysMovesStylesAndLeavesOtherColumns) {
    // B2:D10 with column C descending from 9 and a bold cell in the row of C's 5.
    for (uint32_t r = 1; r <= 9; ++r) {
        Enter(1, r, QString::number(r));
        Enter(2, r, QString::number(10 - r));
        Enter(4, r, QString::number(r * 100));
    }
    FontRecord font = DefaultFontRecord();
    font.weight = 2;
    ASSERT_TRUE(ApplyStyleToRange(Book().styles, 1, 1, 5, 5, Book().tree.active->formats,
                                  kAttrFontWeight, StyleRecord{}, font));
    const uint16_t boldStyle = CellStyleIndex(Book().tree.active->formats, 5, 1);
    EXPECT_FALSE(Active()->CommandAvailable(ID_TOOLS_SORT)); // no dialog yet
    SortUi sortUi;
    SetUiServices(&sortUi);
    EXPECT_TRUE(Active()->CommandAvailable(ID_TOOLS_SORT));
    sortUi.answer.keys[0] = {1, 2, 0};
    SelectRange(1, 1, 3, 9);
    Command(ID_TOOLS_SORT);
    for (uint32_t r = 1; r <= 9; ++r) {
        EXPECT_EQ(CellText(2, r), std::to_string(r));
        EXPECT_EQ(CellText(1, r), std::to_string(10 - r));
        EXPECT_EQ(CellText(4, r), std::to_string(r * 100)); // right of the range
    }
    EXPECT_EQ(CellStyleIndex(Book().tree.active->formats, 5, 1), boldStyle);
    // The dialog opens with the settings of its last use.
    sortUi.answer.keys[0] = {1, 1, 1};
    Command(ID_TOOLS_SORT);
    EXPECT_EQ(sortUi.seen.keys[0].position, 2u);
    EXPECT_EQ(CellText(1, 1), "9");
}

TEST_F(DataTest, SortAscendingOnWholeColumnsStopsAtTheLastUsedRow) {
    Enter(0, 0, QStringLiteral("3"));
    Enter(0, 1, QStringLiteral("1"));
    Enter(0, 2, QStringLiteral("2"));
    SelectRange(0, 0, 0, kLastRow);
    const int32_t undo = Book().undo.current;
    Command(ID_SORT_ASCENDING);
    EXPECT_EQ(CellText(0, 0), "1");
    EXPECT_EQ(CellText(0, 2), "3");
    Command(ID_SORT_DESCENDING);
    EXPECT_EQ(CellText(0, 0), "3");
    EXPECT_EQ(Book().undo.current, undo + 2);
    SelectRange(0, 5, 0, kLastRow);
    Command(ID_SORT_ASCENDING);
    EXPECT_EQ(Book().undo.current, undo + 2);
}

// Numbers and texts that spell numbers by value, a number before the text of its value,
// other texts after them and empty cells last; descending reverses the numbers but keeps
// them before the texts. Each row's marker in column B moves with it.
TEST_F(DataTest, SortAscendingAndDescendingOrderMixedValuesOneWay) {
    const char* values[] = {"banana", "1", "=\"-5\"", "-1", "=\" 1\"", "", "2", "Apple"};
    for (uint32_t r = 0; r < 8; ++r) {
        if (*values[r]) Enter(0, r, QString::fromUtf8(values[r]));
        Enter(1, r, QString(QChar('a' + r)));
    }
    ASSERT_EQ(Kind(0, 2) + Kind(0, 1), "fn");
    SelectRange(1, 7, 0, 0);
    Command(ID_SORT_ASCENDING);
    std::string markers;
    for (uint32_t r = 0; r < 8; ++r) markers += CellText(1, r);
    EXPECT_EQ(markers, "cdbeghaf");
    EXPECT_EQ(CellText(0, 0), "=\"-5\"");
    Command(ID_SORT_DESCENDING);
    markers.clear();
    for (uint32_t r = 0; r < 8; ++r) markers += CellText(1, r);
    EXPECT_EQ(markers, "gebdcahf");
}

TEST_F(DataTest, TransposeTurnsTheRangeOrRefusesPastTheEdge) {
    Enter(0, 0, QStringLiteral("a"));
    Enter(1, 0, QStringLiteral("b"));
    Enter(2, 0, QStringLiteral("c"));
    Enter(0, 1, QStringLiteral("d"));
    SelectRange(0, 0, 2, 1);
    Command(ID_TRANSPOSE);
    EXPECT_EQ(CellText(0, 2), "c");
    EXPECT_EQ(CellText(1, 0), "d");
    EXPECT_EQ(CellText(2, 0), "");
    EXPECT_EQ(View()->Selection(), (CellRange{0, 0, 1, 2}));
    // One Ctrl+Z takes the whole edit back.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CellText(2, 0), "c");
    EXPECT_EQ(CellText(0, 1), "d");
    EXPECT_EQ(CellText(0, 2), "");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(CellText(0, 2), "c");
    EXPECT_EQ(CellText(2, 0), "");
    // The last column accepted and the first refused.
    struct Case {
        uint16_t c1;
        bool refused;
    };
    for (const Case c : {Case{kLastColumn - 1, false}, Case{kLastColumn, true}}) {
        ui.boxes.clear();
        const int32_t undo = Book().undo.current;
        SelectRange(c.c1, 10, c.c1, 11);
        Command(ID_TRANSPOSE);
        EXPECT_EQ(ui.boxes.size(), c.refused ? 1u : 0u) << c.c1;
        EXPECT_EQ(Book().undo.current, c.refused ? undo : undo + 2) << c.c1;
    }
    EXPECT_TRUE(LastBox().startsWith(QStringLiteral("The selected range can't be transposed.")));
}

TEST_F(DataTest, TransposedFormulasReadTheCellsTheirNeighboursWentTo) {
    // A row of a number, a formula reading its left neighbour and one reading two to its
    // right, turned into a column from the Tools menu.
    Enter(0, 0, QStringLiteral("4"));
    Enter(1, 0, QStringLiteral("=A1*2"));
    Enter(2, 0, QStringLiteral("=D1+E1"));
    Enter(3, 0, QStringLiteral("5"));
    Enter(4, 0, QStringLiteral("=$A$1"));
    SelectRange(0, 0, 4, 0);
    QAction* transpose = MenuItem(QStringLiteral("&Transpose"));
    ASSERT_TRUE(transpose && transpose->isEnabled());
    transpose->trigger();
    Settle();
    EXPECT_EQ(CellText(0, 1), "=A1*2");
    EXPECT_EQ(CellText(0, 2), "=A4+A5");
    EXPECT_EQ(CellText(0, 4), "=$A$1");
    const CCellStore& cells = Book().tree.active->cells;
    EXPECT_EQ(cell::CachedNumber(FindCell(cells, 1, 0)), 8);
    EXPECT_EQ(cell::CachedNumber(FindCell(cells, 2, 0)), 9);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(CellText(1, 0), "=A1*2");
    EXPECT_EQ(CellText(2, 0), "=D1+E1");
    EXPECT_EQ(CellText(0, 1), "");
}

TEST_F(DataTest, TransposeTakesTheReadersOfTheTurnedCellsAlong) {
    // A1 1, B1 reading it, C1 reading it absolutely; E1 sums the row, E2 reads B1, E3 the
    // turned range on its right, and the second worksheet's A1 reads C1.
    std::string first;
    ASSERT_TRUE(BuildTreeItemPath(Sheet(0), first, false));
    Command(ID_NEW_WORKSHEET);
    CWorksheet* other = Book().tree.active;
    Enter(0, 0, QString::fromStdString("=" + first + "!C1"));
    Active()->TreePane()->Select(Sheet(0));
    Settle();
    Enter(0, 0, QStringLiteral("1"));
    Enter(1, 0, QStringLiteral("=A1*2"));
    Enter(2, 0, QStringLiteral("=$A$1+1"));
    Enter(4, 0, QStringLiteral("=SUM(A1:C1)"));
    Enter(4, 1, QStringLiteral("=B1"));
    Enter(4, 2, QStringLiteral("=SUM(B1:C1)+$B$1"));
    Enter(4, 3, QStringLiteral("=SUM(A1:F9)"));
    const auto number = [&](uint16_t column, uint32_t row) {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        return r ? cell::CachedNumber(r) : -1.0;
    };
    EXPECT_EQ(number(4, 0), 5);
    SelectRange(0, 0, 2, 0);
    TransposeByKeys();
    EXPECT_EQ(CellText(0, 1), "=A1*2");
    EXPECT_EQ(CellText(4, 0), "=SUM(A1:A3)");
    EXPECT_EQ(CellText(4, 1), "=A2");
    EXPECT_EQ(CellText(4, 2), "=SUM(A2:A3)+$A$2");
    EXPECT_EQ(CellText(4, 3), "=SUM(A1:F9)");
    EXPECT_EQ(number(4, 0), 5);
    EXPECT_EQ(number(4, 1), 2);
    EXPECT_EQ(number(4, 2), 6);
    const uint8_t* far = FindCell(other->cells, 0, 0);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(cell::CachedNumber(far), 2) << cell::Formula(far);
    // One Undo takes the readers back with the cells.
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(CellText(4, 0), "=SUM(A1:C1)");
    EXPECT_EQ(CellText(4, 1), "=B1");
    EXPECT_EQ(number(4, 1), 2);
    Command(ID_EDIT_REDO);
    EXPECT_EQ(CellText(4, 1), "=A2");
}

TEST_F(DataTest, TransposedFormulasTurnOnlyTheirReferencesIntoTheBlock) {
    // A row of formulas reading cells above and to the left, another worksheet, whole rows
    // and a neighbour in the row, turned into a column by the keys: only the neighbour
    // follows its cell; the rest keep reading what they read.
    std::string first;
    ASSERT_TRUE(BuildTreeItemPath(Sheet(0), first, false));
    Command(ID_NEW_WORKSHEET);
    std::string second;
    ASSERT_TRUE(BuildTreeItemPath(Book().tree.active, second, false));
    Enter(0, 0, QStringLiteral("2"));
    Active()->TreePane()->Select(Sheet(0));
    Settle();
    Enter(0, 2, QStringLiteral("7"));
    Enter(2, 0, QStringLiteral("100"));
    const std::string far = "=SUM(" + second + "!A$1:$I15)+A1";
    struct Case {
        uint16_t column; // in row 5, turned into column E
        std::string text, turned;
        double value;
    };
    const Case cases[] = {
        {4, "1", "1", 1},
        {5, "=A3*1", "=A3*1", 7},
        {6, far, far, 2},
        {7, "=SUM(2:3)+F5", "=SUM(2:3)+E6", 14},
    };
    for (const Case& c : cases) Enter(c.column, 4, QString::fromStdString(c.text));
    SelectRange(4, 4, 7, 4);
    TransposeByKeys();
    ASSERT_EQ(View()->Selection(), (CellRange{4, 4, 4, 7}));
    for (const Case& c : cases) {
        const uint32_t row = 4 + (c.column - 4);
        EXPECT_EQ(CellText(4, row), c.turned) << c.text;
        const uint8_t* r = FindCell(Book().tree.active->cells, row, 4);
        ASSERT_NE(r, nullptr) << c.text;
        EXPECT_EQ(cell::IsFormula(r) ? cell::CachedNumber(r) : cell::Number(r), c.value) << c.text;
    }
    Key(Qt::Key_Z, Qt::ControlModifier);
    for (const Case& c : cases) EXPECT_EQ(CellText(c.column, 4), c.text);
    EXPECT_EQ(CellText(4, 5), "");
}

// A formula in the cells the block turns onto gives them up: its range reaching into the
// selection stops nothing, for the formula goes.
TEST_F(DataTest, TransposeTakesThePlaceOfAFormulaReadingTheBlock) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(1, 0, QStringLiteral("2"));
    Enter(2, 0, QStringLiteral("3"));
    Enter(0, 1, QStringLiteral("=SUM(B1:D1)"));
    ui.boxes.clear();
    const int32_t undo = Book().undo.current;
    SelectRange(0, 0, 2, 0);
    TransposeByKeys();
    EXPECT_TRUE(ui.boxes.empty()) << LastBox().toStdString();
    EXPECT_EQ(Book().undo.current, undo + 2);
    EXPECT_EQ(View()->Selection(), (CellRange{0, 0, 0, 2}));
    for (uint32_t row = 0; row < 3; ++row) EXPECT_EQ(CellText(0, row), std::to_string(row + 1));
    EXPECT_EQ(CellText(1, 0), "");
    EXPECT_EQ(CellText(2, 0), "");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CellText(0, 1), "=SUM(B1:D1)");
    EXPECT_EQ(CellText(2, 0), "3");
}

TEST_F(DataTest, TransposeRefusesToCutAnArrayOrScatterARange) {
    // A1:A3 1, 2, 3; B1 spreads them over B1:D1; G1 sums A5:B5.
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("2"));
    Enter(0, 2, QStringLiteral("3"));
    Enter(1, 0, QStringLiteral("=MTXT($A$1:$A$3)"));
    Enter(6, 0, QStringLiteral("=SUM(A5:B5)"));
    struct Case {
        CellRange range;
        const char* message;
    };
    const char* cut = "The range cuts through an array formula.";
    const char* scattered = "A formula reads a range that reaches into the selection";
    const Case cases[] = {
        {{1, 0, 2, 0}, cut},       // the array's first two cells
        {{0, 0, 0, 2}, cut},       // turned onto A1:C1, over part of the array
        {{0, 4, 0, 5}, scattered}, // A5:A6 turns onto A5:B5, half of what G1 reads
        {{0, 2, 0, 3}, scattered}, // A3:A4 turns onto A3:B3, part of what B1 reads
    };
    for (const Case& c : cases) {
        ui.boxes.clear();
        const int32_t undo = Book().undo.current;
        SelectRange(c.range.c1, c.range.r1, c.range.c2, c.range.r2);
        TransposeByKeys();
        EXPECT_TRUE(LastBox().startsWith(QString::fromLatin1(c.message)))
            << LastBox().toStdString();
        EXPECT_EQ(Book().undo.current, undo) << c.message;
        EXPECT_EQ(CellText(1, 0), "=MTXT($A$1:$A$3)");
        EXPECT_EQ(CellText(0, 1), "2");
        EXPECT_EQ(CellText(6, 0), "=SUM(A5:B5)");
    }
    // A range apart from the array and the ranges read turns.
    ui.boxes.clear();
    SelectRange(4, 6, 4, 7);
    TransposeByKeys();
    EXPECT_TRUE(ui.boxes.empty()) << LastBox().toStdString();
    EXPECT_EQ(View()->Selection(), (CellRange{4, 6, 5, 6}));
    // The whole array turns: B1:D1 becomes B1:B3, and G1's range, which holds the block and
    // where it goes, is left as it is.
    Enter(6, 0, QStringLiteral("=SUM(A1:D3)"));
    ui.boxes.clear();
    const int32_t undo = Book().undo.current;
    SelectRange(1, 0, 3, 0);
    TransposeByKeys();
    EXPECT_TRUE(ui.boxes.empty()) << LastBox().toStdString();
    EXPECT_EQ(Book().undo.current, undo + 2);
    EXPECT_EQ(CellText(1, 0), "=MTXT($A$1:$A$3)");
    EXPECT_EQ(CellText(6, 0), "=SUM(A1:D3)");
}

TEST_F(DataTest, F9RecalculatesInAManualMode) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("=A1*2"));
    Command(ID_UPDATE_AUTO_ALL + 2); // manual, all worksheets
    Enter(0, 0, QStringLiteral("5"));
    const uint8_t* f = FindCell(Book().tree.active->cells, 1, 0);
    EXPECT_EQ(cell::CachedNumber(f), 2);
    Select(0, 1);
    Key(Qt::Key_F9);
    Settle();
    f = FindCell(Book().tree.active->cells, 1, 0);
    EXPECT_EQ(cell::CachedNumber(f), 10);
}

TEST_F(DataTest, ValuesStepByKeys) {
    Enter(0, 0, QStringLiteral("2.5"));
    Enter(0, 1, QStringLiteral("0"));
    Enter(0, 2, QStringLiteral("hello"));
    Select(0, 0);
    Key(Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier);
    Settle();
    EXPECT_EQ(CellText(0, 0), "3.5");
    Select(0, 1);
    Key(Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier);
    Settle();
    EXPECT_EQ(CellText(0, 1), "-1");
    const int32_t undo = Book().undo.current;
    Select(0, 2);
    Command(ID_INCREMENT_VALUE);
    EXPECT_EQ(CellText(0, 2), "hello");
    EXPECT_EQ(Book().undo.current, undo);
}

TEST_F(DataTest, FindWalksMatchesAndReplaceKeepsToItsRange) {
    Enter(2, 0, QStringLiteral("xb"));
    Enter(0, 2, QStringLiteral("b1"));
    Enter(3, 2, QStringLiteral("b2"));
    Enter(1, 5, QStringLiteral("b3"));
    SearchBox(0)->setEditText(QStringLiteral("b"));
    // F3 searches once the search bar is shown (the first F3 would show it).
    frame->Toolbar(kSearchBar)->show();
    Select(0, 0);
    std::vector<std::pair<uint16_t, uint32_t>> found;
    ui.boxes.clear();
    for (int i = 0; i < 6 && ui.boxes.empty(); ++i) {
        Key(Qt::Key_F3);
        Settle();
        if (ui.boxes.empty()) found.emplace_back(View()->Selection().c1, View()->Selection().r1);
    }
    EXPECT_EQ(found, (std::vector<std::pair<uint16_t, uint32_t>>{{2, 0}, {0, 2}, {3, 2}, {1, 5}}));
    EXPECT_EQ(LastBox(), QStringLiteral("No more cells found."));
    EXPECT_EQ(SearchBox(0)->itemText(0), QStringLiteral("b"));
    // A range keeps the search inside it: (0, 2) lies before its start, (3, 2) right of it.
    SelectRange(0, 2, 2, 9);
    Command(ID_SEARCH_FIND);
    EXPECT_EQ(View()->Selection(), (CellRange{1, 5, 1, 5}));
    // Replace with: the selection only; Replace All: the sheet.
    SearchBox(1)->setEditText(QStringLiteral("Q"));
    SelectRange(0, 0, 1, 9);
    Command(ID_SEARCH_REPLACE);
    EXPECT_EQ(CellText(0, 2), "Q1");
    EXPECT_EQ(CellText(3, 2), "b2");
    Command(ID_SEARCH_REPLACE_ALL);
    EXPECT_EQ(CellText(3, 2), "Q2");
    EXPECT_EQ(CellText(2, 0), "xQ");
}

// Digits a blank separates are never joined into one number, typed or replaced: "0 5" and
// "1 000" are texts, 0.5 with its point replaced by a blank is the text "0 5"; a whole part
// before a fraction and blanks around a number still read as the number.
TEST_F(DataTest, DigitsABlankSeparatesStayATextTypedOrReplaced) {
    const struct {
        const char* typed;
        const char* kind;
    } cases[] = {{"0 5", "t"}, {"1 000", "t"}, {"-1 2", "t"}, {"1 1/2", "n"}, {" 12 ", "n"}};
    for (uint32_t row = 0; row < std::size(cases); ++row) {
        Enter(0, row, QString::fromLatin1(cases[row].typed));
        EXPECT_EQ(Kind(0, row), cases[row].kind) << cases[row].typed;
    }
    Enter(1, 0, QStringLiteral("0.5"));
    Enter(1, 1, QStringLiteral("12.25"));
    SearchBox(0)->setEditText(QStringLiteral("."));
    SearchBox(1)->setEditText(QStringLiteral(" "));
    Command(ID_SEARCH_REPLACE_ALL);
    EXPECT_EQ(Kind(1, 0) + Kind(1, 1), "tt");
    EXPECT_EQ(CellText(1, 0), "0 5");
    EXPECT_EQ(CellText(1, 1), "12 25");
}

// A year of two digits is one rule on every route that reads typed text: 00-29 this century,
// 30-99 the last, typed by keys, made by Replace All or pasted; one digit, or three, is the year
// as written.
TEST_F(DataTest, ATwoDigitYearIsReadAlikeTypedReplacedOrPasted) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {{"12/31/99", "1999-12-31"}, {"1/1/30", "1930-01-01"}, {"12/31/29", "2029-12-31"},
                 {"1/1/00", "2000-01-01"},   {"3/4/5", "0005-03-04"},  {"3/4/099", "0099-03-04"}};
    const auto stored = [&](uint16_t column, uint32_t row) {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        return r && cell::IsText(r) ? std::string(cell::Text(r)) : std::string("<no date>");
    };
    for (uint32_t row = 0; row < std::size(cases); ++row) {
        const QString typed = QString::fromLatin1(cases[row].typed);
        Enter(0, row, typed);
        Enter(1, row, typed + QStringLiteral("x"));
        QGuiApplication::clipboard()->setText(typed);
        Select(2, row);
        Key(Qt::Key_V, Qt::ControlModifier);
    }
    SearchBox(0)->setEditText(QStringLiteral("x"));
    SearchBox(1)->setEditText(QString());
    Select(0, 0);
    Command(ID_SEARCH_REPLACE_ALL);
    for (uint32_t row = 0; row < std::size(cases); ++row) {
        for (uint16_t column = 0; column < 3; ++column)
            EXPECT_EQ(stored(column, row), cases[row].stored)
                << cases[row].typed << " in column " << column;
    }
}

TEST_F(DataTest, FormulasToValuesKeepTheCalculatedValues) {
    const QString typed[] = {QStringLiteral("=1/3"),      QStringLiteral("=\"00123\""),
                             QStringLiteral("=\"1/2\""),  QStringLiteral("=10/7"),
                             QStringLiteral("=\"TRUE\""), QStringLiteral("=1/0")};
    for (uint32_t row = 0; row < 6; ++row) Enter(0, row, typed[row]);
    SelectRange(0, 0, 0, 5);
    // Tools, Convert, Formulas To Values: the menu item the user picks.
    QAction* convert = MenuItem(QStringLiteral("&Formulas To Values"));
    ASSERT_NE(convert, nullptr);
    ASSERT_TRUE(convert->isEnabled());
    convert->trigger();
    Settle();
    // Every digit of a number, and a text as the text it was, not read again as typed.
    const CCellStore& cells = Book().tree.active->cells;
    const uint8_t* third = FindCell(cells, 0, 0);
    const uint8_t* sevenths = FindCell(cells, 3, 0);
    ASSERT_TRUE(third && sevenths);
    EXPECT_EQ(Kind(0, 0) + Kind(0, 1) + Kind(0, 2) + Kind(0, 3) + Kind(0, 4) + Kind(0, 5),
              "nttntn");
    EXPECT_EQ(cell::Number(third), 1.0 / 3);
    EXPECT_EQ(cell::Number(sevenths), 10.0 / 7);
    EXPECT_EQ(CellText(0, 1), "00123");
    EXPECT_EQ(CellText(0, 2), "1/2");
    EXPECT_EQ(CellText(0, 4), "TRUE");
    EXPECT_EQ(CellText(0, 5), "#DIV/0!");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(CellText(0, 1), "=\"00123\"");
    EXPECT_EQ(Kind(0, 0), "f");
}

TEST_F(DataTest, ReplaceAllTellsWhyCellsKeptTheirTexts) {
    // "1" grows to 1,019 characters: eight times that (8,160 characters) passes the 8,147 a
    // formula's stored form holds but not the 8,173 of a cell's text, seven times fits; a
    // text cell takes the text.
    const QString grown = QStringLiteral("1+").repeated(509) + QStringLiteral("1");
    struct Case {
        int ones;
        bool refused;
    };
    const Case cases[] = {{7, false}, {8, true}};
    for (const Case& c : cases) {
        QStringList ones, grownOnes;
        for (int i = 0; i < c.ones; ++i) {
            ones << QStringLiteral("1");
            grownOnes << grown;
        }
        const QString formula = "=" + ones.join('+');
        Enter(0, 0, formula);
        Enter(1, 0, QStringLiteral("a1"));
        SearchBox(0)->setEditText(QStringLiteral("1"));
        SearchBox(1)->setEditText(grown);
        frame->Toolbar(kSearchBar)->show();
        ui.boxes.clear();
        // The Replace All button, as the idle pass has enabled it.
        frame->OnIdle();
        QAction* all = frame->ToolAction(ID_SEARCH_REPLACE_ALL);
        ASSERT_TRUE(all && all->isEnabled());
        QWidget* button = frame->Toolbar(kSearchBar)->widgetForAction(all);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
        EXPECT_EQ(CellText(1, 0), "a" + grown.toStdString()) << c.refused;
        if (c.refused) {
            EXPECT_EQ(CellText(0, 0), formula.toStdString());
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes.back().text,
                      QStringLiteral("The formula is too long: its stored form must fit in 8,147 "
                                     "characters"));
        } else {
            EXPECT_EQ(CellText(0, 0), ("=" + grownOnes.join('+')).toStdString());
            EXPECT_TRUE(ui.boxes.empty());
        }
    }
}

TEST_F(DataTest, EachCommandUndoesAndRedoesToTheSameBytes) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("3"));
    Enter(1, 0, QStringLiteral("2.5"));
    Enter(2, 0, QStringLiteral("b"));
    SetClock(2024, 1, 31, 8);
    SearchBox(0)->setEditText(QStringLiteral("b"));
    SearchBox(1)->setEditText(QStringLiteral("c"));
    struct Step {
        const char* name;
        CellRange selection;
        int id;
    };
    const Step steps[] = {
        {"series", {0, 0, 0, 5}, ID_DATA_SERIES},
        {"statistics", {0, 0, 3, 1}, ID_STAT_SUM},
        {"sort", {0, 0, 0, 1}, ID_SORT_DESCENDING},
        {"increment", {1, 0, 1, 0}, ID_INCREMENT_VALUE},
        {"date", {4, 4, 4, 4}, ID_INSERT_DATE},
        {"container", {4, 4, 4, 4}, ID_EMPTY_CONTAINER},
        {"convert", {0, 0, 2, 2}, ID_NUMBERS_TO_LABELS},
        {"replace", {0, 0, 2, 2}, ID_SEARCH_REPLACE_ALL},
        {"dates over filled cells", {0, 0, 2, 3}, ID_INSERT_DATE},
    };
    for (const Step& step : steps) {
        SelectRange(step.selection.c1, step.selection.r1, step.selection.c2, step.selection.r2);
        View()->SetScrollPosition(0, 0);
        View()->StoreViewPosition();
        const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
        Command(step.id);
        const edittest::WorkbookDump after = edittest::DumpWorkbook(Book());
        EXPECT_FALSE(after == before) << step.name;
        Command(ID_EDIT_UNDO);
        View()->StoreViewPosition();
        edittest::WorkbookDump undone = edittest::DumpWorkbook(Book());
        for (size_t i = 0; i < before.sections.size() && i < undone.sections.size(); ++i) {
            // Typed dates take a date style, which stays in the table after the undo.
            if (step.id == ID_INSERT_DATE && before.sections[i].first == "styles")
                undone.sections[i] = before.sections[i];
            EXPECT_EQ(before.sections[i], undone.sections[i]) << step.name;
        }
        EXPECT_TRUE(undone == before) << step.name;
        Command(ID_EDIT_REDO);
        View()->StoreViewPosition();
        EXPECT_TRUE(edittest::DumpWorkbook(Book()) == after) << step.name;
    }
}

} // namespace vl
