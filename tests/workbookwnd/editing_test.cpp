// Typing into the grid: the editor opens, ends, moves the cursor and stores what was typed.

#include "formula/evalcontext.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/formatstore.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTextCursor>

namespace vl {

namespace {

class EditingTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    CCellEditor* Editor() const { return View()->Editor(); }
    QString EditorText() const { return Editor()->toPlainText(); }
};

TEST_F(EditingTest, TitleShowsTheWorksheetAndAStarWhileModified) {
    EXPECT_EQ(Active()->Title(), QStringLiteral("New Workbook - \\Worksheet1"));
    Enter(0, 0, QStringLiteral("7"));
    EXPECT_EQ(Active()->Title(), QStringLiteral("New Workbook - \\Worksheet1 *"));
    const std::string path = TempPath("book.vln");
    ui.savePath = QString::fromStdString(path);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Active()->Title(), QString::fromStdString(path) + QStringLiteral(" - \\Worksheet1"));
    EXPECT_FALSE(Active()->IsModified());
    // Folders around the worksheet are named too.
    CWorkbook& book = Book();
    book.AppendTreeItem(TREE_TYPE_FOLDER, "Region", 1);
    book.AppendTreeItem(TREE_TYPE_FOLDER, "North", 2);
    CTreeItem* sheet = book.AppendTreeItem(TREE_TYPE_WORKSHEET, "Sales", 3);
    ASSERT_NE(sheet, nullptr);
    book.tree.active = AsWorksheet(sheet);
    Active()->UpdateTitle();
    EXPECT_EQ(Active()->Title(),
              QString::fromStdString(path) + QStringLiteral(" - \\Region\\North\\Sales"));
}

TEST_F(EditingTest, ShiftArrowsGrowAndShrinkAroundTheAnchor) {
    Select(1, 1);
    View()->setFocus();
    QTest::keyPress(View(), Qt::Key_Shift);
    // Three steps right, then four left, past the anchor.
    const uint16_t firsts[] = {1, 1, 1, 1, 1, 1, 0}, lasts[] = {2, 3, 4, 3, 2, 1, 1};
    for (int i = 0; i < 7; ++i) {
        Key(i < 3 ? Qt::Key_Right : Qt::Key_Left, Qt::ShiftModifier);
        EXPECT_EQ(View()->Selection(), (CellRange{firsts[i], 1, lasts[i], 1})) << i;
    }
    QTest::keyRelease(View(), Qt::Key_Shift);
    EXPECT_FALSE(View()->Extending());
    // Without Shift an arrow collapses the selection onto its first cell and moves it.
    Key(Qt::Key_Down);
    EXPECT_EQ(View()->Selection(), (CellRange{0, 2, 0, 2}));
}

TEST_F(EditingTest, TypingOpensTheEditorWithTheCharacterAlone) {
    Enter(0, 0, QStringLiteral("42"));
    StartTyping(0, 0, QStringLiteral("="));
    EXPECT_EQ(Active()->RefPickState(), kRefPickEditing);
    EXPECT_EQ(EditorText(), QStringLiteral("="));
    EXPECT_EQ(Editor()->textCursor().position(), 1);
    // F2 opens on the cell's own text instead.
    Key(Qt::Key_Escape);
    Key(Qt::Key_F2);
    EXPECT_EQ(EditorText(), QStringLiteral("42"));
    EXPECT_EQ(Editor()->textCursor().position(), 0);
}

// F2 then Enter stores the number the cell held: the editor starts from the digits that read
// back as it, 16 or 17 where 15 would round it to another number.
TEST_F(EditingTest, F2ThenEnterKeepsTheNumber) {
    const char* texts[] = {"1234567890123456", "0.30000000000000004", "1.7976931348623157e+308",
                           "42.5"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        Enter(0, 0, QString::fromLatin1(text));
        const uint8_t* cell = FindCell(Book().tree.active->cells, 0, 0);
        ASSERT_NE(cell, nullptr);
        const double stored = cell::Number(cell);
        Select(0, 0);
        Key(Qt::Key_F2);
        EXPECT_EQ(EditorText().toStdString(), text);
        Key(Qt::Key_Return);
        cell = FindCell(Book().tree.active->cells, 0, 0);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell::Number(cell), stored);
    }
}

// Each way the help gives to pick a reference after F2: the arrow keys to a cell and F2 or
// Enter; Shift and the arrow keys over a range, which goes in when Shift is let go; a click
// or a drag with the mouse, which goes in when the button is let go. The editor comes back
// with the reference, and Enter stores the formula.
TEST_F(EditingTest, EveryWayOfPickingAReferenceInTheHelpPutsItIn) {
    enum Route { kArrowsF2, kArrowsEnter, kShiftArrows, kClick, kDrag };
    struct Case {
        Route route;
        const char* formula;
    } cases[] = {
        {kArrowsF2, "=2+B2"}, {kArrowsEnter, "=2+B2"}, {kShiftArrows, "=2+A2:C2"},
        {kClick, "=2+C3"},    {kDrag, "=2+B3:D3"},
    };
    const auto centre = [this](uint16_t column, uint32_t row) {
        const DcRect r = View()->GetRangeRect({column, row, column, row});
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        StartTyping(0, 0, QStringLiteral("=2+"));
        Key(Qt::Key_F2);
        ASSERT_EQ(Active()->RefPickState(), kRefPickPicking);
        switch (c.route) {
        case kArrowsF2:
        case kArrowsEnter:
            Key(Qt::Key_Down);
            Key(Qt::Key_Right);
            Key(c.route == kArrowsF2 ? Qt::Key_F2 : Qt::Key_Return);
            break;
        case kShiftArrows:
            Key(Qt::Key_Down);
            // Shift stays down over both arrows, as a user holds it.
            QTest::keyPress(View(), Qt::Key_Shift);
            for (int i = 0; i < 2; ++i) {
                QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
                QApplication::sendEvent(View(), &right);
                QKeyEvent up(QEvent::KeyRelease, Qt::Key_Right, Qt::ShiftModifier);
                QApplication::sendEvent(View(), &up);
                Settle();
            }
            EXPECT_EQ(Active()->RefPickState(), kRefPickPicking);
            QTest::keyRelease(View(), Qt::Key_Shift);
            break;
        case kClick:
            QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, centre(2, 2));
            break;
        case kDrag:
            QTest::mousePress(View()->viewport(), Qt::LeftButton, {}, centre(1, 2));
            View()->OnMouseMove(centre(2, 2), Qt::LeftButton);
            View()->OnMouseMove(centre(3, 2), Qt::LeftButton);
            EXPECT_EQ(Active()->RefPickState(), kRefPickPicking);
            QTest::mouseRelease(View()->viewport(), Qt::LeftButton, {}, centre(3, 2));
            break;
        }
        Settle();
        EXPECT_EQ(Active()->RefPickState(), kRefPickEditing);
        EXPECT_EQ(EditorText().toStdString(), c.formula);
        Key(Qt::Key_Return);
        EXPECT_EQ(CellText(0, 0), c.formula);
    }
}

TEST_F(EditingTest, CtrlEnterBreaksTheLineAndEnterCommits) {
    StartTyping(0, 0, QStringLiteral("ab"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    Type(QStringLiteral("cd"));
    EXPECT_EQ(EditorText(), QStringLiteral("ab\ncd"));
    EXPECT_EQ(Active()->RefPickState(), kRefPickEditing);
    Key(Qt::Key_Return);
    EXPECT_EQ(Active()->RefPickState(), kRefPickNone);
    EXPECT_EQ(CellText(0, 0), "ab\r\ncd");
}

TEST_F(EditingTest, EnterMovesAsTheSettingSays) {
    struct Case {
        uint8_t setting;
        bool filledBelow;
        uint32_t row;
        uint16_t column;
    };
    const Case cases[] = {
        {0, false, 3, 2}, {1, false, 4, 2}, {2, false, 3, 2}, {2, true, 9, 2}, {3, false, 3, 3}};
    for (const Case& c : cases) {
        Profile().whenEnterPressed = c.setting;
        if (c.filledBelow) Enter(2, 9, QStringLiteral("x"));
        Enter(2, 3, QStringLiteral("1"));
        EXPECT_EQ(View()->Selection().r1, c.row) << int(c.setting);
        EXPECT_EQ(View()->Selection().c1, c.column) << int(c.setting);
    }
}

TEST_F(EditingTest, EscapeLeavesTheCellAndRecordsNoUndoEntry) {
    Enter(0, 0, QStringLiteral("5"));
    const int32_t undo = Book().undo.current;
    StartTyping(0, 0, QStringLiteral("789"));
    // Delete takes the character after the caret and the edit goes on.
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete);
    EXPECT_EQ(EditorText(), QStringLiteral("89"));
    EXPECT_EQ(Active()->RefPickState(), kRefPickEditing);
    Key(Qt::Key_Escape);
    EXPECT_EQ(Active()->RefPickState(), kRefPickNone);
    EXPECT_FALSE(Editor()->isVisible());
    EXPECT_EQ(Book().undo.current, undo);
    EXPECT_EQ(CellText(0, 0), "5");
}

TEST_F(EditingTest, ShiftAtCommitStoresTheTextAsTyped) {
    StartTyping(1, 0, QStringLiteral("=1+1"));
    QTest::keyPress(Editor(), Qt::Key_Shift);
    QTest::keyClick(Editor(), Qt::Key_Return, Qt::ShiftModifier);
    Settle();
    QTest::keyRelease(View(), Qt::Key_Shift);
    const uint8_t* cell = FindCell(Book().tree.active->cells, 0, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell::IsText(cell));
    EXPECT_EQ(cell::Text(cell), "=1+1");
}

TEST_F(EditingTest, AutoCompleteSelectsWhatWasNotTyped) {
    CWorkbook& book = Book();
    AddDropDownEntry(book.dropDownLists[0], "Banana");
    AddDropDownEntry(book.dropDownLists[0], "Apple");
    StyleRecord listed;
    listed.dropDownList = 1;
    listed.autoComplete = 1;
    listed.autoAppend = 1;
    listed.sort = 1;
    book.styles.styles[book.styles.styleCount] = listed;
    const uint16_t style = book.styles.styleCount++;
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(book.tree.active->formats, {0, 0, 0, style}, cursor));
    StartTyping(0, 0, QStringLiteral("ap"));
    EXPECT_EQ(EditorText(), QStringLiteral("Apple"));
    const QTextCursor c = Editor()->textCursor();
    EXPECT_EQ(c.selectionStart(), 2);
    EXPECT_EQ(c.selectionEnd(), 5);
    EXPECT_EQ(View()->List()->currentItem()->text(), QStringLiteral("Apple"));
    // Backspace takes the completion away and completes nothing new.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(EditorText(), QStringLiteral("Ap"));
    Key(Qt::Key_Return);
    // A new text joins the list; the sorted list shows it in order.
    Enter(0, 0, QStringLiteral("cherry"));
    EXPECT_EQ(book.dropDownLists[0].entries.size(), 4u);
    EXPECT_EQ(book.dropDownLists[0].entries.back(), "cherry");
}

TEST_F(EditingTest, ALongStoredTextOpensAndCommitsWhole) {
    const std::string longText(kMaxCellText, 'q');
    Enter(0, 0, QStringLiteral("x"));
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, 0, 0, longText));
    CellCursor cursor;
    ASSERT_TRUE(Book().tree.active->cells.PutCell(b.bytes, cursor));
    Select(0, 0);
    View()->setFocus();
    Key(Qt::Key_F2);
    EXPECT_EQ(EditorText().size(), int(kMaxCellText));
    // It may not grow by typing, but it goes back whole.
    Key(Qt::Key_End);
    Type(QStringLiteral("z"));
    EXPECT_EQ(ui.beeps, 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(CellText(0, 0), longText);
    // Typing stops at the longest text a cell holds in a fresh edit.
    StartTyping(1, 0, QStringLiteral("a"));
    Editor()->setPlainText(QString(kEditorTextLimit - 1, QLatin1Char('a')));
    Editor()->moveCursor(QTextCursor::End);
    Type(QStringLiteral("bc"));
    EXPECT_EQ(EditorText().size(), kEditorTextLimit);
    EXPECT_EQ(ui.beeps, 2);
}

// A formula nesting calls as deep as formulas may, around a call of the most arguments, is
// typed into the grid, kept as typed and calculated; one level or one argument more is kept
// and shows #SYNTAX!.
TEST_F(EditingTest, FormulasAtTheNestingAndArgumentLimitsAreTypedAndKept) {
    auto formula = [](int depth, int arguments) {
        std::string f = "=";
        for (int i = 1; i < depth; ++i) f += "SUM(";
        f += "SUM(A1";
        for (int i = 1; i < arguments; ++i) f += ",A1";
        return f + std::string(depth, ')');
    };
    struct Case {
        int depth, arguments;
        double number;
        uint8_t error;
    } cases[] = {
        {kMaxNesting, kMaxArguments, 2.0 * kMaxArguments, 0},
        {kMaxNesting + 1, kMaxArguments, 0, kErrSyntax >> 4},
        {kMaxNesting, kMaxArguments + 1, 0, kErrSyntax >> 4},
    };
    Enter(0, 0, QStringLiteral("2"));
    for (const Case& c : cases) {
        const std::string typed = formula(c.depth, c.arguments);
        // All but the last parenthesis set at once, that one typed.
        StartTyping(1, 0, QStringLiteral("="));
        Editor()->setPlainText(QString::fromLatin1(typed.substr(0, typed.size() - 1)));
        Editor()->moveCursor(QTextCursor::End);
        Type(QStringLiteral(")"));
        Key(Qt::Key_Return);
        EXPECT_EQ(CellText(1, 0), typed) << c.depth << " " << c.arguments;
        const uint8_t* cell = FindCell(Book().tree.active->cells, 0, 1);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell::Error(cell), c.error) << c.depth << " " << c.arguments;
        if (c.error == 0) {
            EXPECT_EQ(cell::CachedNumber(cell), c.number);
        }
    }
}

} // namespace

} // namespace vl
