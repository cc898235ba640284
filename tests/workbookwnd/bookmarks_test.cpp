// The address box's bookmarks and the frame's window flags, over real workbook windows.

#include "app/bookmarks.h"
#include "core/settings.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace vl {

namespace {

class BookmarkTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        Book().tree.first->SetName("Sheet1");
        Select(2, 1); // C2
    }
    QComboBox& Box() const { return *frame->AddressBox(); }
    std::vector<std::string>& Stored() const { return Profile().bookmarks; }
    void Add(const QString& name) {
        ui.bookmarkName = name;
        frame->OnCommand(ID_ADD_BOOKMARK);
    }
};

TEST_F(BookmarkTest, AddStoresR1C1AndShowsTheNotationInUse) {
    Add("Total");
    ASSERT_EQ(Stored().size(), 1u);
    EXPECT_EQ(Stored()[0], "\\Sheet1!R2C3  -  Total");
    ASSERT_EQ(Box().count(), 1);
    EXPECT_EQ(Box().itemText(0), "\\Sheet1!C2  -  Total");
    EXPECT_EQ(Box().currentIndex(), 0);
    // The list follows a switch of notation when it is filled again.
    Profile().addressingA1 = 0;
    frame->FillAddressBox();
    EXPECT_EQ(Box().itemText(0), "\\Sheet1!R2C3  -  Total");
    EXPECT_EQ(Box().currentText(), "");
    // Cancelling the name adds nothing.
    Add("");
    EXPECT_EQ(Stored().size(), 1u);
    EXPECT_EQ(Box().count(), 1);
}

TEST_F(BookmarkTest, AddStopsAtFortyNineItemsAnd255Characters) {
    // "\Sheet1!R2C3  -  " is 17 characters: a name of 238 makes 255.
    struct Case {
        std::size_t before;
        int nameLength;
        bool added;
        const char* message;
    } cases[] = {
        {48, 1, true, nullptr},
        {49, 1, false, "Please enter no more than 49 items."},
        {50, 1, false, "Please enter no more than 49 items."},
        {0, 238, true, nullptr},
        {0, 239, false, "Please enter no more than 255 characters."},
    };
    for (const Case& c : cases) {
        Stored().assign(c.before, "R1C1  -  x");
        frame->FillAddressBox();
        ui.boxes.clear();
        Add(QString(c.nameLength, QLatin1Char('n')));
        EXPECT_EQ(Stored().size(), c.before + (c.added ? 1 : 0)) << c.before << "/" << c.nameLength;
        EXPECT_EQ(Box().count(), int(Stored().size()));
        if (c.message) {
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes[0].text, c.message);
        } else {
            EXPECT_EQ(Stored().back().size(), 17u + c.nameLength);
            EXPECT_TRUE(ui.boxes.empty());
        }
    }
}

TEST_F(BookmarkTest, CurrentAddressWritesTheSelection) {
    struct Case {
        CellRange selection;
        bool r1c1;
        const char* shown;
    } cases[] = {
        {{2, 1, 2, 1}, false, "\\Sheet1!C2"},
        {{1, 0, 3, kLastRow}, false, "\\Sheet1!B:D"},
        {{0, 2, kLastColumn, 4}, true, "\\Sheet1!R3:R5"},
        {{0, 0, 1, 2}, true, "\\Sheet1!R1C1:R3C2"},
    };
    for (const Case& c : cases) {
        Profile().addressingA1 = c.r1c1 ? 0 : 1;
        View()->SetSelection(c.selection);
        frame->OnCommand(ID_CURRENT_ADDRESS);
        EXPECT_EQ(Box().currentText(), c.shown);
    }
    // A workbook with a file quotes its location behind the file's path.
    const std::string path = TempPath("b.vln");
    Active()->SetPath(path);
    Profile().addressingA1 = 1;
    View()->SetSelection({2, 1, 2, 1});
    frame->OnCommand(ID_CURRENT_ADDRESS);
    EXPECT_EQ(Box().currentText().toStdString(), "\"[" + path + "]\\Sheet1\"!C2");
}

// An address written for a worksheet whose name holds a quote reads back: Current Address
// doubles the quote, and Enter in the address box goes there.
TEST_F(BookmarkTest, CurrentAddressOfAQuotedNameReadsBack) {
    Profile().addressingA1 = 1;
    Book().tree.active->SetName("a\"b");
    View()->SetSelection({4, 9, 4, 9});
    frame->OnCommand(ID_CURRENT_ADDRESS);
    const QString shown = Box().currentText();
    EXPECT_EQ(shown.toStdString(), "\"\\a\"\"b\"!E10");
    View()->SetSelection({0, 0, 0, 0});
    ui.boxes.clear();
    Box().setFocus();
    Settle();
    Box().lineEdit()->selectAll();
    Type(shown);
    Key(Qt::Key_Return);
    EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text.toStdString());
    EXPECT_EQ(View()->Selection(), (CellRange{4, 9, 4, 9}));
}

TEST_F(BookmarkTest, RemovalsAskAndKeepProfileAndListInStep) {
    Stored() = {"\\Sheet1!R1C1  -  a", "\\Sheet1!R2C1  -  b", "\\Sheet1!R3C1  -  c"};
    frame->FillAddressBox();
    // Nothing selected: nothing asked.
    frame->OnCommand(ID_REMOVE_ITEM);
    EXPECT_TRUE(ui.boxes.empty());
    Box().setCurrentIndex(1);
    ui.answers = {IDNO};
    frame->OnCommand(ID_REMOVE_ITEM);
    EXPECT_EQ(Stored().size(), 3u);
    EXPECT_EQ(ui.boxes.back().text, "Remove the current address from the list?");
    ui.answers = {IDYES};
    frame->OnCommand(ID_REMOVE_ITEM);
    EXPECT_EQ(Stored(), (std::vector<std::string>{"\\Sheet1!R1C1  -  a", "\\Sheet1!R3C1  -  c"}));
    ASSERT_EQ(Box().count(), 2);
    EXPECT_EQ(Box().itemText(1), "\\Sheet1!A3  -  c");
    EXPECT_EQ(Box().currentText(), "");
    ui.answers = {IDNO};
    frame->OnCommand(ID_REMOVE_ALL_ITEMS);
    EXPECT_EQ(ui.boxes.back().text, "Empty address list?");
    EXPECT_EQ(Stored().size(), 2u);
    ui.answers = {IDYES};
    frame->OnCommand(ID_REMOVE_ALL_ITEMS);
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(Box().count(), 0);
    // An empty list asks nothing.
    const std::size_t asked = ui.boxes.size();
    frame->OnCommand(ID_REMOVE_ALL_ITEMS);
    EXPECT_EQ(ui.boxes.size(), asked);
    // The Remove button's arrow offers both removals; the second runs Remove All Items.
    auto* button = qobject_cast<QToolButton*>(
        frame->Toolbar(kAddressBar)->widgetForAction(frame->ToolAction(ID_REMOVE_ITEM)));
    ASSERT_TRUE(button && button->menu());
    const QList<QAction*> items = button->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "Remove this Item From the List");
    Stored() = {"R1C1  -  a"};
    frame->FillAddressBox();
    ui.answers = {IDYES};
    items[1]->trigger();
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(ui.boxes.back().text, "Empty address list?");
}

TEST(ShownBookmarkTest, RangesAreWrittenAgainAndTheTailKept) {
    struct Case {
        const char* stored;
        bool r1c1;
        const char* shown;
    } cases[] = {
        {"\\Sheet1!R2C3  -  Total", false, "\\Sheet1!C2  -  Total"},
        {"\\Sheet1!C2:C4  -  Cols", false, "\\Sheet1!B:D  -  Cols"},
        {"\\Sheet1!R1:R3", false, "\\Sheet1!1:3"},
        {"\"\\My Sales\"!R1C1  -  q", false, "\"\\My Sales\"!A1  -  q"},
        {"R5C5", true, "R5C5"},
        // Ends of two kinds do not parse: shown as stored.
        {"\\Sheet1!R1C1:R3  -  bad", false, "\\Sheet1!R1C1:R3  -  bad"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShownBookmark(c.stored, c.r1c1), c.shown) << c.stored;
}

class FrameFlagTest : public wndtest::WindowTest {};

TEST_F(FrameFlagTest, ActivationSetsTheFlag) {
    EXPECT_EQ(frame->WindowActivated(), 0);
    ASSERT_NE(NewWindow(), nullptr);
    EXPECT_EQ(frame->WindowActivated(), 1);
}

TEST_F(FrameFlagTest, NewMaximizesItsOnlyWindowAsTheLastOneClosed) {
    for (bool maximized : {true, false, true}) {
        ASSERT_NE(NewWindow(), nullptr);
        QMdiSubWindow* sub = frame->MdiArea()->currentSubWindow();
        if (maximized)
            sub->showMaximized();
        else
            sub->showNormal();
        Settle();
        sub->close();
        Settle();
        ASSERT_EQ(frame->MdiArea()->subWindowList().size(), 0);
        EXPECT_EQ(Profile().maximizeDocWindow, maximized ? 1 : 0);
        ASSERT_NE(NewWindow(), nullptr);
        EXPECT_EQ(frame->MdiArea()->currentSubWindow()->isMaximized(), maximized);
        frame->MdiArea()->currentSubWindow()->close();
        Settle();
    }
}

} // namespace

} // namespace vl
