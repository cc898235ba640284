// Keys in the frame's boxes: the keypad's Enter in the address box goes as Return does, Enter
// in the replacement box leaves the selection where it was, and the find box searches on
// either Enter and keeps each text searched once, a new one at the top; Escape in either box
// gives the keyboard back to the grid.

#include "app/frametoolbars.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>

namespace vl {

namespace {

class SearchKeysTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    QToolBar* SearchBar() const { return frame->Toolbar(kSearchBar); }
    QComboBox* SearchBox(int index) const { return SearchBar()->findChildren<QComboBox*>()[index]; }
    QStringList Items(QComboBox* box) const {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        return items;
    }
    // Types into a box, over what it held, and presses `key` there.
    void TypeAndPress(QComboBox* box, const QString& text, int key,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        box->setFocus();
        Settle();
        box->lineEdit()->selectAll();
        Type(text);
        Key(key, modifiers);
    }
};

TEST_F(SearchKeysTest, KeypadEnterInTheAddressBoxGoesAsReturnDoes) {
    QComboBox* box = frame->AddressBox();
    ASSERT_NE(box, nullptr);
    struct Case {
        const char* typed;
        CellRange selection;
        bool refused;
    };
    const Case cases[] = {
        {"E9", {4, 8, 4, 8}, false}, {"C4:B2", {1, 1, 2, 3}, false}, {"D7:5", {1, 1, 2, 3}, true}};
    for (const Case& c : cases) {
        ui.boxes.clear();
        TypeAndPress(box, QString::fromLatin1(c.typed), Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(View()->Selection(), c.selection) << c.typed;
        EXPECT_EQ(ui.boxes.size(), c.refused ? 1u : 0u) << c.typed;
        EXPECT_EQ(QApplication::focusWidget() == View(), !c.refused) << c.typed;
    }
    // The grid has the keys after a Go: typing lands in the cell gone to.
    TypeAndPress(box, QStringLiteral("D3"), Qt::Key_Enter, Qt::KeypadModifier);
    Type(QStringLiteral("8"));
    Key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(CellText(3, 2), "8");
}

TEST_F(SearchKeysTest, EnterInTheReplacementBoxLeavesTheSelection) {
    Enter(1, 1, QStringLiteral("pear"));
    Enter(2, 5, QStringLiteral("pear"));
    frame->OnCommand(ID_EDIT_FIND);
    Settle();
    ASSERT_TRUE(SearchBar()->isVisible());
    SearchBox(0)->lineEdit()->setText(QStringLiteral("pear"));
    // A single cell (a search would cover the worksheet) and two columns by three rows made
    // from the lower right corner (a search would stay inside them and find nothing).
    const CellRange selections[] = {{0, 0, 0, 0}, {3, 4, 2, 2}};
    for (const CellRange& made : selections) {
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
            SelectRange(made.c1, made.r1, made.c2, made.r2);
            const CellRange before = View()->Selection();
            ui.boxes.clear();
            TypeAndPress(SearchBox(1), QStringLiteral("plum"), key,
                         key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            EXPECT_EQ(View()->Selection(), before) << key << " " << made.c1;
            EXPECT_TRUE(ui.boxes.empty()) << key << " " << made.c1;
            EXPECT_EQ(CellText(1, 1), "pear") << key;
            EXPECT_EQ(CellText(2, 5), "pear") << key;
            EXPECT_NE(Active()->RefPickState(), kRefPickEditing) << key;
            EXPECT_TRUE(SearchBox(1)->isAncestorOf(QApplication::focusWidget())) << key;
        }
    }
    // Shift pressed in the grid afterwards extends from the same corner.
    View()->setFocus();
    Settle();
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(View()->Selection(), (CellRange{2, 2, 3, 3}));
}

TEST_F(SearchKeysTest, ATextSearchedAgainStandsOnceWhereItWasListed) {
    Enter(0, 3, QStringLiteral("pear"));
    Enter(0, 6, QStringLiteral("plum"));
    Enter(0, 8, QStringLiteral("fig"));
    struct Case {
        std::vector<QString> searched;
        QStringList list;
    };
    // A text listed already keeps its place: only a new one goes to the top.
    const Case cases[] = {
        {{"pear", "pear", "pear"}, {"pear"}},
        {{"pear", "plum", "pear"}, {"plum", "pear"}},
        {{"fig", "pear", "plum", "pear", "fig", "fig"}, {"plum", "pear", "fig"}},
        {{"plum", "fig", "pear", "plum"}, {"pear", "fig", "plum"}},
    };
    frame->OnCommand(ID_EDIT_FIND);
    Settle();
    ASSERT_TRUE(SearchBar()->isVisible());
    for (const Case& c : cases) {
        SearchBox(0)->clear();
        bool keypad = false;
        for (const QString& text : c.searched) {
            Select(0, 0);
            // Return and the keypad's Enter in turn.
            keypad = !keypad;
            TypeAndPress(SearchBox(0), text, keypad ? Qt::Key_Enter : Qt::Key_Return,
                         keypad ? Qt::KeypadModifier : Qt::NoModifier);
            // The search found the text: the cursor is on its cell.
            EXPECT_EQ(CellText(View()->Selection().c1, View()->Selection().r1), text.toStdString());
            EXPECT_EQ(SearchBox(0)->currentText(), text);
        }
        EXPECT_EQ(Items(SearchBox(0)), c.list) << c.searched.size();
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SearchKeysTest, EscapeInEitherBoxGivesTheKeyboardBackToTheGrid) {
    Enter(2, 4, QStringLiteral("pear"));
    Key(Qt::Key_F3);
    ASSERT_TRUE(SearchBar()->isVisible());
    for (int index : {0, 1}) {
        Select(0, 0);
        // A search from the find box first puts the cursor on C5; the keys then act there.
        TypeAndPress(SearchBox(0), QStringLiteral("pear"), Qt::Key_Return);
        if (index == 1) TypeAndPress(SearchBox(1), QStringLiteral("plum"), Qt::Key_End);
        ASSERT_TRUE(SearchBox(index)->isAncestorOf(QApplication::focusWidget())) << index;
        Key(Qt::Key_Escape);
        EXPECT_EQ(QApplication::focusWidget(), View()) << index;
        EXPECT_TRUE(SearchBar()->isVisible()) << index;
        Key(Qt::Key_Home);
        EXPECT_EQ(View()->Selection(), (CellRange{0, 4, 0, 4})) << index;
        EXPECT_EQ(SearchBox(index)->currentText(), index ? "plum" : "pear");
    }
}

} // namespace

} // namespace vl
