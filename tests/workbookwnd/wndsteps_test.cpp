// Window steps reached through the frame: Go to an address in another workbook file, the
// split each worksheet keeps, and Insert Function from the frame's function menu.

#include "functions/general/catalogue.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/functiontemplate.h"
#include "workbookwnd/treepane.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTextCursor>
#include <string>

namespace vl {

namespace {

class WndSteps : public wndtest::WindowTest {
protected:
    // A saved workbook with a value in A1, left open.
    CWorkbookWnd* Saved(const std::string& name) {
        CWorkbookWnd* w = NewWindow();
        Enter(0, 0, QString::fromStdString(name));
        ui.savePath = QString::fromStdString(TempPath(name));
        w->HandleCommand(ID_FILE_SAVE_AS);
        Settle();
        return w;
    }
    void Go(const std::string& text) {
        frame->AddressBox()->setEditText(QString::fromStdString(text));
        frame->OnCommand(ID_GO_TO_ADDRESS);
        Settle();
    }
    int Windows() const { return OpenDocumentCount(); }
};

} // namespace

TEST_F(WndSteps, GoWithAFilePartActivatesOrOpensThatWorkbookAndSelectsThere) {
    CWorkbookWnd* first = Saved("first.vln");
    CWorkbookWnd* second = Saved("second.vln");
    ASSERT_EQ(Active(), second);
    const CellRange kept = second->View(0)->Selection();
    // Open: its window comes forward and takes the range.
    Go("[" + TempPath("first.vln") + "]\\Worksheet1!B3:D4");
    EXPECT_EQ(Active(), first);
    EXPECT_EQ(first->View(0)->Selection(), (CellRange{1, 2, 3, 3}));
    EXPECT_EQ(second->View(0)->Selection(), kept) << "left as it was";
    EXPECT_EQ(Windows(), 2);
    // Closed: it is opened from its file, then the range is selected.
    Go("[" + TempPath("second.vln") + "]\\Worksheet1!A1");
    ASSERT_EQ(Active(), second);
    frame->MdiArea()->closeActiveSubWindow();
    Settle();
    ASSERT_EQ(Windows(), 1);
    Go("[" + TempPath("second.vln") + "]\\Worksheet1!C2");
    ASSERT_EQ(Windows(), 2);
    ASSERT_NE(Active(), first);
    EXPECT_EQ(Active()->FilePath(), QString::fromStdString(TempPath("second.vln")));
    EXPECT_EQ(View()->Selection(), (CellRange{2, 1, 2, 1}));
    EXPECT_EQ(CellText(0, 0), "second.vln");
    EXPECT_TRUE(ui.boxes.empty());
    // A file that cannot be opened leaves every window and selection as it was.
    CWorkbookWnd* before = Active();
    Go("[" + TempPath("missing.vln") + "]\\Worksheet1!E5");
    EXPECT_EQ(Windows(), 2);
    EXPECT_EQ(Active(), before);
    EXPECT_EQ(View()->Selection(), (CellRange{2, 1, 2, 1}));
    EXPECT_FALSE(ui.boxes.empty());
}

TEST_F(WndSteps, EachWorksheetKeepsItsSplitAndSplitNoneClearsIt) {
    ASSERT_NE(NewWindow(), nullptr);
    CWorkbook& book = Book();
    CWorksheet* sheets[3] = {book.tree.active};
    for (int i = 1; i < 3; ++i) {
        Active()->HandleCommand(ID_NEW_WORKSHEET);
        Settle();
        sheets[i] = book.tree.active;
    }
    ASSERT_NE(sheets[1], sheets[2]);
    auto show = [&](int i) {
        Active()->TreePane()->Select(sheets[i]);
        Settle();
    };
    // Sheet 0 split one above the other, sheet 1 side by side, sheet 2 not split.
    show(0);
    Active()->HandleCommand(ID_SPLIT_HORIZONTAL);
    show(1);
    EXPECT_FALSE(Active()->SplitHorizontally()) << "the split belongs to its worksheet";
    Active()->HandleCommand(ID_SPLIT_VERTICAL);
    show(2);
    struct Case {
        int sheet;
        bool horizontal, vertical;
    };
    const Case cases[] = {{0, true, false}, {2, false, false}, {1, false, true}, {0, true, false}};
    for (const Case& c : cases) {
        show(c.sheet);
        EXPECT_EQ(Active()->SplitHorizontally(), c.horizontal) << c.sheet;
        EXPECT_EQ(Active()->SplitVertically(), c.vertical) << c.sheet;
        EXPECT_EQ(sheets[c.sheet]->split[0], c.horizontal) << c.sheet;
        EXPECT_EQ(sheets[c.sheet]->split[1], c.vertical) << c.sheet;
    }
    // Split None on sheet 0 clears its flags only; the scrolling modes stay.
    sheets[0]->flags[0] = 1;
    Active()->HandleCommand(ID_SPLIT_NONE);
    EXPECT_EQ(sheets[0]->split[0] + sheets[0]->split[1], 0);
    EXPECT_EQ(sheets[0]->flags[0], 1);
    show(1);
    EXPECT_TRUE(Active()->SplitVertically());
    show(0);
    EXPECT_FALSE(Active()->SplitHorizontally() || Active()->SplitVertically());
}

TEST_F(WndSteps, TheFunctionMenuInsertsTheChosenRowIntoTheCellOrTheEditor) {
    ASSERT_NE(NewWindow(), nullptr);
    const auto rows = FunctionCatalogue();
    auto choose = [&](const char* name) {
        frame->OnCommand(ID_INSERT_FUNCTION);
        Settle();
        QMenu* menu = frame->DropDownMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), QStringLiteral("functionMenu"));
        // Every category but "all" is a submenu, in the catalogue's order.
        ASSERT_EQ(menu->actions().size(), int(kCategoryAll));
        for (QAction* category : menu->actions())
            for (QAction* a : category->menu()->actions())
                if (a->text() == QString::fromLatin1(name)) {
                    const int row = a->data().toInt() - 0xFF00;
                    EXPECT_STREQ(rows[row].name, name);
                    a->trigger();
                    Settle();
                    return;
                }
        ADD_FAILURE() << name;
    };
    // Without the editor the cell takes the template as its formula.
    Select(1, 2);
    View()->setFocus();
    choose("vLookUp");
    EXPECT_EQ(CellText(1, 2), "=vLookUp(v, array, n, [type])");
    // With the editor open the template goes in at the caret.
    StartTyping(2, 4, QStringLiteral("=1+"));
    ASSERT_TRUE(View()->EditorOpen());
    choose("abs");
    EXPECT_EQ(View()->Editor()->toPlainText(), QStringLiteral("=1+abs(x)"));
    Key(Qt::Key_Return);
    EXPECT_EQ(CellText(2, 4), "=1+abs(x)");
    // The recent-formula list keeps its own ids for the composer: the window has no command
    // for them.
    EXPECT_FALSE(Active()->HandleCommand(0xFF00));
}

} // namespace vl
