// The grid's keys as a user presses them: Shift released and pressed again between steps keeps
// extending from where the selection was anchored, whichever way it was made; keys held with
// Alt, Ctrl or the logo key never type, on the grid or in the editor, while AltGr still
// composes; and a letter typed with Shift held opens the editor and ends the extending.

#include "wndtest.h"
#include "workbookwnd/celleditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <vector>

namespace vl {

namespace {

class SelectionKeysTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    bool Editing() const { return Active()->RefPickState() == kRefPickEditing; }
    // One key event to the grid as the keyboard reports it.
    void Send(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
              const QString& text = {}) {
        QKeyEvent event(type, key, modifiers, text);
        QApplication::sendEvent(View(), &event);
    }
    // A key pressed and released while Shift (and `more`) stay down.
    void ShiftedKey(int key, Qt::KeyboardModifiers more) {
        Send(QEvent::KeyPress, key, Qt::ShiftModifier | more);
        Send(QEvent::KeyRelease, key, Qt::ShiftModifier | more);
    }
    void ShiftDown() { Send(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier); }
    void ShiftUp() { Send(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier); }
    // From D12 at the top of the sheet, the selection is made by Shift held over `made`.
    void MakeSelection(const std::vector<int>& made) {
        View()->SetScrollPosition(0, 0);
        Select(3, 11);
        View()->setFocus();
        Settle();
        ShiftDown();
        for (int key : made) ShiftedKey(key, Qt::NoModifier);
        ShiftUp();
        Settle();
    }
};

struct Walk {
    const char* name;
    int key;
    Qt::KeyboardModifiers more;
};

struct Start {
    const char* name;
    std::vector<int> made;
    uint16_t anchorColumn;
    uint32_t anchorRow;
    uint16_t movingColumn;
    uint32_t movingRow;
};

// Where the moving corner goes for the keys whose steps do not depend on the window's size;
// -1 for the page keys.
int64_t StepColumn(const Walk& walk, int64_t column) {
    if (walk.key == Qt::Key_Left) return std::max<int64_t>(0, column - 1);
    if (walk.key == Qt::Key_Right) return column + 1;
    if (walk.key == Qt::Key_Home) return 0;
    return column;
}

int64_t StepRow(const Walk& walk, int64_t row) {
    if (walk.more & Qt::ControlModifier && walk.key == Qt::Key_PageUp) return 0;
    if (walk.key == Qt::Key_Up) return std::max<int64_t>(0, row - 1);
    if (walk.key == Qt::Key_Down) return row + 1;
    return row;
}

bool SizeDependent(const Walk& walk) {
    if (walk.more & Qt::ControlModifier)
        return walk.key != Qt::Key_Home && walk.key != Qt::Key_PageUp;
    return walk.key == Qt::Key_PageUp || walk.key == Qt::Key_PageDown || walk.key == Qt::Key_End;
}

TEST_F(SelectionKeysTest, ShiftPressedAgainKeepsTheAnchorOfTheSelectionInEveryDirection) {
    // D12 is (3, 11). Each start leaves the anchor at D12 and the moving corner elsewhere.
    const Start starts[] = {
        {"made upward", {Qt::Key_Up, Qt::Key_Up}, 3, 11, 3, 9},
        {"made leftward", {Qt::Key_Left, Qt::Key_Left}, 3, 11, 1, 11},
        {"bottom-right first", {Qt::Key_Up, Qt::Key_Left}, 3, 11, 2, 10},
        {"top-left first", {Qt::Key_Down, Qt::Key_Right}, 3, 11, 4, 12},
        {"single cell", {}, 3, 11, 3, 11},
    };
    const Walk walks[] = {
        {"Up", Qt::Key_Up, Qt::NoModifier},
        {"Down", Qt::Key_Down, Qt::NoModifier},
        {"Left", Qt::Key_Left, Qt::NoModifier},
        {"Right", Qt::Key_Right, Qt::NoModifier},
        {"Page Up", Qt::Key_PageUp, Qt::NoModifier},
        {"Page Down", Qt::Key_PageDown, Qt::NoModifier},
        {"Home", Qt::Key_Home, Qt::NoModifier},
        {"End", Qt::Key_End, Qt::NoModifier},
        {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier},
        {"Ctrl+Up", Qt::Key_Up, Qt::ControlModifier},
        {"Ctrl+Page Up", Qt::Key_PageUp, Qt::ControlModifier},
        {"Ctrl+Page Down", Qt::Key_PageDown, Qt::ControlModifier},
    };
    for (const Start& start : starts) {
        for (const Walk& walk : walks) {
            const std::string name = std::string(start.name) + ", " + walk.name;
            // Shift held over the three steps: the selection the re-pressed walk must give.
            MakeSelection(start.made);
            std::vector<CellRange> held;
            ShiftDown();
            for (int step = 0; step < 3; ++step) {
                ShiftedKey(walk.key, walk.more);
                Settle();
                held.push_back(View()->Selection());
            }
            ShiftUp();
            MakeSelection(start.made);
            int64_t column = start.movingColumn, row = start.movingRow;
            for (int step = 0; step < 3; ++step) {
                ShiftDown();
                ShiftedKey(walk.key, walk.more);
                ShiftUp();
                Settle();
                EXPECT_FALSE(View()->Extending()) << name;
                const CellRange got = View()->Selection();
                EXPECT_EQ(got, held[size_t(step)]) << name << " step " << step;
                if (SizeDependent(walk)) {
                    // The anchor stays a corner and the selection never shrinks to it alone.
                    EXPECT_TRUE(got.c1 == start.anchorColumn || got.c2 == start.anchorColumn)
                        << name << " step " << step;
                    EXPECT_TRUE(got.r1 == start.anchorRow || got.r2 == start.anchorRow)
                        << name << " step " << step;
                    EXPECT_FALSE(got.c1 == got.c2 && got.r1 == got.r2) << name << " step " << step;
                    continue;
                }
                column = StepColumn(walk, column);
                row = StepRow(walk, row);
                const CellRange expected{uint16_t(std::min<int64_t>(start.anchorColumn, column)),
                                         uint32_t(std::min<int64_t>(start.anchorRow, row)),
                                         uint16_t(std::max<int64_t>(start.anchorColumn, column)),
                                         uint32_t(std::max<int64_t>(start.anchorRow, row))};
                EXPECT_EQ(got, expected) << name << " step " << step;
            }
        }
    }
}

// A Shift+click spans from the active cell (the selection's first cell), not from where the
// keys anchored it, and anchors at the first selected cell: Shift+Up pressed anew then moves
// the bottom edge.
TEST_F(SelectionKeysTest, AShiftClickSpansFromTheActiveCellAndAnchorsAtTheFirst) {
    struct Case {
        uint16_t column;
        uint32_t row;
        CellRange selection;
        CellRange afterShiftUp;
    };
    // From D9:D12 made upward from D12 (active cell D9): below right, above left, the key
    // anchor D12 itself and the active cell.
    const Case cases[] = {{5, 13, {3, 8, 5, 13}, {3, 8, 5, 12}},
                          {1, 4, {1, 4, 3, 8}, {1, 4, 3, 7}},
                          {3, 11, {3, 8, 3, 11}, {3, 8, 3, 10}},
                          {3, 8, {3, 8, 3, 8}, {3, 7, 3, 8}}};
    for (const Case& c : cases) {
        MakeSelection({Qt::Key_Up, Qt::Key_Up, Qt::Key_Up});
        ASSERT_EQ(View()->Selection(), (CellRange{3, 8, 3, 11}));
        const DcRect cell = View()->GetRangeRect({c.column, c.row, c.column, c.row});
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
        Settle();
        EXPECT_EQ(View()->Selection(), c.selection) << c.column << "," << c.row;
        EXPECT_FALSE(View()->Extending()) << c.column << "," << c.row;
        ShiftDown();
        ShiftedKey(Qt::Key_Up, Qt::NoModifier);
        ShiftUp();
        Settle();
        EXPECT_EQ(View()->Selection(), c.afterShiftUp) << c.column << "," << c.row;
    }
    // A plain click anchors at the clicked cell: Shift pressed anew extends from there.
    const DcRect b3 = View()->GetRangeRect({1, 2, 1, 2});
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint((b3.left + b3.right) / 2, (b3.top + b3.bottom) / 2));
    for (int key : {int(Qt::Key_Up), int(Qt::Key_Left)}) {
        ShiftDown();
        ShiftedKey(key, Qt::NoModifier);
        ShiftUp();
    }
    Settle();
    EXPECT_EQ(View()->Selection(), (CellRange{0, 1, 1, 2}));
}

TEST_F(SelectionKeysTest, KeysHeldWithACommandModifierNeverTypeAltGrDoes) {
    struct Case {
        const char* name;
        Qt::KeyboardModifiers modifiers;
        bool types;
    };
    const Case cases[] = {
        {"none", Qt::NoModifier, true},
        {"Shift", Qt::ShiftModifier, true},
        {"Alt", Qt::AltModifier, false},
        {"Ctrl", Qt::ControlModifier, false},
        {"Alt+Shift", Qt::AltModifier | Qt::ShiftModifier, false},
        {"Ctrl+Shift", Qt::ControlModifier | Qt::ShiftModifier, false},
        {"Ctrl+Alt", Qt::ControlModifier | Qt::AltModifier, false},
        {"logo", Qt::MetaModifier, false},
        {"AltGr", Qt::GroupSwitchModifier, true},
        {"AltGr+Shift", Qt::GroupSwitchModifier | Qt::ShiftModifier, true},
        {"AltGr seen with Alt", Qt::GroupSwitchModifier | Qt::AltModifier, true},
    };
    // Keys of letters and a digit, with the text the keyboard gives for them; Ctrl gives the
    // control character, as X does. None of them is a command's key or a menu's letter.
    const struct {
        Qt::Key key;
        char letter;
    } keys[] = {{Qt::Key_G, 'g'}, {Qt::Key_K, 'k'}, {Qt::Key_J, 'j'}, {Qt::Key_2, '2'}};
    uint16_t column = 0;
    for (const Case& c : cases) {
        for (const auto& k : keys) {
            const std::string name = std::string(c.name) + " " + k.letter;
            Enter(column, 2, QStringLiteral("kept"));
            Select(column, 2);
            View()->setFocus();
            Settle();
            QString text = QString(QChar(k.letter));
            if (c.modifiers & Qt::ShiftModifier) text = text.toUpper();
            if (c.modifiers & Qt::GroupSwitchModifier) text = QStringLiteral("@");
            if (c.modifiers & Qt::ControlModifier && k.letter >= 'a')
                text = QString(QChar(k.letter - 'a' + 1));
            QTest::sendKeyEvent(QTest::Press, View(), k.key, text, c.modifiers);
            QTest::sendKeyEvent(QTest::Release, View(), k.key, text, c.modifiers);
            Settle();
            EXPECT_EQ(Editing(), c.types) << name;
            if (c.types) {
                EXPECT_EQ(View()->Editor()->toPlainText(), text) << name;
                Key(Qt::Key_Escape);
            }
            EXPECT_FALSE(View()->Editor()->isVisible() && !c.types) << name;
            EXPECT_EQ(CellText(column, 2), "kept") << name;
            EXPECT_EQ(View()->Selection(), (CellRange{column, 2, column, 2})) << name;
            ++column;
        }
    }
}

TEST_F(SelectionKeysTest, InTheEditorAltAndTheLogoKeyTypeNothingAltGrTypes) {
    StartTyping(1, 1, QStringLiteral("x"));
    ASSERT_TRUE(Editing());
    QWidget* editor = QApplication::focusWidget();
    ASSERT_EQ(editor, static_cast<QWidget*>(View()->Editor()));
    const struct {
        Qt::Key key;
        const char* text;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {Qt::Key_G, "g", Qt::AltModifier},
        {Qt::Key_G, "G", Qt::AltModifier | Qt::ShiftModifier},
        {Qt::Key_K, "k", Qt::MetaModifier},
        {Qt::Key_Q, "@", Qt::GroupSwitchModifier},
        {Qt::Key_Q, "@", Qt::GroupSwitchModifier | Qt::AltModifier},
        {Qt::Key_J, "j", Qt::NoModifier},
    };
    for (const auto& k : keys) {
        QTest::sendKeyEvent(QTest::Press, editor, k.key, QString::fromLatin1(k.text), k.modifiers);
        QTest::sendKeyEvent(QTest::Release, editor, k.key, QString::fromLatin1(k.text),
                            k.modifiers);
        Settle();
    }
    EXPECT_EQ(View()->Editor()->toPlainText(), QStringLiteral("x@@j"));
    Key(Qt::Key_Return);
    EXPECT_EQ(CellText(1, 1), "x@@j");
}

TEST_F(SelectionKeysTest, ALetterTypedWithShiftHeldOpensTheEditAndEndsTheExtending) {
    // Shift held down from C3: one step down, then an upper-case letter and more typing.
    Select(2, 2);
    View()->setFocus();
    Settle();
    ShiftDown();
    ShiftedKey(Qt::Key_Down, Qt::NoModifier);
    ASSERT_TRUE(View()->Extending());
    ASSERT_EQ(View()->Selection(), (CellRange{2, 2, 2, 3}));
    QTest::sendKeyEvent(QTest::Press, View(), Qt::Key_P, QStringLiteral("P"), Qt::ShiftModifier);
    Settle();
    EXPECT_FALSE(View()->Extending());
    EXPECT_TRUE(Editing());
    EXPECT_EQ(View()->Editor()->toPlainText(), QStringLiteral("P"));
    // The keys that follow go to the editor, and Return stores the text in the active cell.
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, View());
    QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_P, QStringLiteral("P"), Qt::ShiftModifier);
    QTest::keyRelease(editor, Qt::Key_Shift);
    QTest::keyClicks(editor, QStringLiteral("ear"));
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    EXPECT_EQ(CellText(2, 2), "Pear");
    EXPECT_EQ(CellText(2, 3), "");
    EXPECT_FALSE(View()->Extending());
    // An arrow now moves the cursor; it does not stretch a selection.
    View()->setFocus();
    Key(Qt::Key_Right);
    EXPECT_EQ(View()->Selection().c1, View()->Selection().c2);
    EXPECT_EQ(View()->Selection().r1, View()->Selection().r2);
}

} // namespace

} // namespace vl
