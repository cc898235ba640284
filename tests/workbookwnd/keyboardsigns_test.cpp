// What has the keyboard shows it, with keys sent through the window system's input queue: the
// worksheet tree reached by F6 draws its item in the highlight colour, and Alt pressed and
// released alone draws the menu bar's first title highlighted; Shift+F10 opens the grid's
// context menu.

#include "resources/commandids.h"
#include "tests/common/popupkeys.h"
#include "tests/common/userkeys.h"
#include "tests/common/waits.h"
#include "wndtest.h"
#include "workbookwnd/inspectpane.h"
#include "workbookwnd/mousewheelwnd.h"

#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTreeWidget>
#include <QWindow>
#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

namespace vl {

namespace {

class KeyboardSignsTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        View()->setFocus();
    }
    // The share of the rectangle's pixels in `colour`, in the widget's picture; the style
    // shades a highlight a little, so each channel may be off by a few steps.
    static double ShareIn(QWidget* widget, const QRect& rect, const QColor& colour) {
        const QImage image = widget->grab(rect).toImage();
        int matching = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                matching += Near(image.pixelColor(x, y), colour);
        return image.isNull() ? 0 : double(matching) / (image.width() * image.height());
    }
    static bool Near(const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) <= 6 && std::abs(a.green() - b.green()) <= 6 &&
               std::abs(a.blue() - b.blue()) <= 6;
    }
    QColor Colour(QPalette::ColorRole role) const {
        return QApplication::palette().color(QPalette::Active, role);
    }
};

// F6 from the grid to the tree and on: the selected worksheet is drawn in the highlight colour
// only while the tree has the keyboard, in the buttons' colour otherwise.
TEST_F(KeyboardSignsTest, TheTreeShowsWhenItHasTheKeyboard) {
    QTreeWidget* tree = Active()->TreeControl();
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->selectedItems().size(), 1);
    QTreeWidgetItem* item = tree->selectedItems().first();
    ASSERT_NE(Colour(QPalette::Highlight).rgb(), Colour(QPalette::Button).rgb());
    const auto shown = [&](QPalette::ColorRole role) {
        QRect rect = tree->visualItemRect(item);
        rect.setLeft(rect.right() - rect.width() / 4); // past the text
        return ShareIn(tree->viewport(), rect, Colour(role));
    };
    EXPECT_GT(shown(QPalette::Button), 0.5) << "the grid has the keys";
    EXPECT_EQ(shown(QPalette::Highlight), 0.0);
    // Through the input queue, as the frame's F6 shortcut comes.
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6));
    ASSERT_EQ(QApplication::focusWidget(), tree);
    EXPECT_GT(shown(QPalette::Highlight), 0.5) << "the tree has the keys";
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6, Qt::ShiftModifier));
    ASSERT_EQ(QApplication::focusWidget(), View());
    EXPECT_GT(shown(QPalette::Button), 0.5) << "the grid has the keys again";
}

// Alt alone puts the keys in the menu bar: its first title is drawn highlighted as when its
// menu is open, and Escape gives the keys back to the grid with the title plain again.
TEST_F(KeyboardSignsTest, AltAloneShowsTheMenuBarHasTheKeyboard) {
    QMenuBar* bar = frame->menuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_FALSE(bar->actions().isEmpty());
    QAction* first = bar->actions().first();
    const QRect title = bar->actionGeometry(first);
    EXPECT_LT(ShareIn(bar, title, Colour(QPalette::Highlight)), 0.1);
    QTest::keyPress(frame->windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(frame->windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    Settle();
    ASSERT_TRUE(bar->hasFocus());
    EXPECT_EQ(bar->activeAction(), first);
    EXPECT_GT(ShareIn(bar, title, Colour(QPalette::Highlight)), 0.3);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_FALSE(bar->hasFocus());
    EXPECT_EQ(QApplication::focusWidget(), View());
    EXPECT_LT(ShareIn(bar, title, Colour(QPalette::Highlight)), 0.1);
}

// Escape out of each menu of the bar opened by Alt and its letter leaves the bar: no menu opens
// again, and the next keys type into the grid and move its cursor.
TEST_F(KeyboardSignsTest, EscapeFromABarMenuGivesTheGridTheKeys) {
    QMenuBar* bar = frame->menuBar();
    uint32_t row = 0;
    for (const Qt::Key letter : {Qt::Key_F, Qt::Key_E, Qt::Key_V, Qt::Key_I}) {
        SCOPED_TRACE(QKeySequence(letter).toString().toStdString());
        ASSERT_TRUE(testwait::PressKey(letter, Qt::AltModifier));
        ASSERT_NE(qobject_cast<QMenu*>(testwait::UntilPopupHasKeys()), nullptr);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
        ASSERT_TRUE(testwait::UntilKeysReach(View())); // no menu open, the grid has the keys
        EXPECT_FALSE(bar->hasFocus());
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Q));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a menu opened again";
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Down));
        EXPECT_EQ(CellText(0, row), "q");
        EXPECT_EQ(View()->Selection().r1, ++row);
    }
}

// The presses and releases that reach a window, in order.
class CKeyLog : public QObject {
public:
    explicit CKeyLog(QWindow* window) : window_(window) { window_->installEventFilter(this); }
    ~CKeyLog() override {
        if (window_) window_->removeEventFilter(this);
    }
    std::vector<std::pair<QEvent::Type, int>> keys;

private:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            keys.emplace_back(event->type(), static_cast<QKeyEvent*>(event)->key());
        return false;
    }
    QPointer<QWindow> window_;
};

// Keys typed at once as a menu closes, as a fast typist types them: on X the server sends the
// menu those typed before it has let go of the keyboard, and the letter among them still
// reaches the cell. Typed all at once from the start, and once the menu has the keyboard (the
// server then sends the menu every one of them): from the bar, Escape out of the menu and out
// of the bar, and from the grid's own menu. Typed once the menu has them, the frame gets each
// key after the one that closed the menu, pressed and released, and not that key's release.
TEST_F(KeyboardSignsTest, KeysTypedAsAMenuClosesReachTheCell) {
    const testkeys::Stroke altE{Qt::Key_E, Qt::AltModifier}, escape{Qt::Key_Escape},
        shiftF10{Qt::Key_F10, Qt::ShiftModifier}, x{Qt::Key_X}, enter{Qt::Key_Return};
    const struct {
        const char* name;
        std::vector<testkeys::Stroke> opening; // typed first, the menu then waited for
        std::vector<testkeys::Stroke> typed;
        std::vector<Qt::Key> reaching; // the keys the frame gets, once the menu had them
    } kCases[] = {
        {"Alt+E and the rest at once", {}, {altE, escape, escape, x, enter}, {}},
        {"Alt+E, the rest once the menu has the keys",
         {altE},
         {escape, escape, x, enter},
         {Qt::Key_Escape, Qt::Key_X, Qt::Key_Return}},
        {"Shift+F10, the rest once the menu has the keys",
         {shiftF10},
         {escape, x, enter},
         {Qt::Key_X, Qt::Key_Return}},
    };
    uint32_t row = 0;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Select(0, ++row);
        ASSERT_TRUE(testwait::UntilKeysReach(View()));
        if (!c.opening.empty()) {
            ASSERT_TRUE(testkeys::Type(c.opening));
            ASSERT_NE(testwait::UntilPopupHasKeys(), nullptr);
        }
        const CKeyLog log(frame->windowHandle());
        ASSERT_TRUE(testkeys::Type(c.typed));
        EXPECT_TRUE(testwait::Until([&] { return CellText(0, row) == "x"; })) << CellText(0, row);
        if (!c.opening.empty()) {
            // Return's release comes after the entry has ended.
            ASSERT_TRUE(testwait::Until([&] { return log.keys.size() >= 2 * c.reaching.size(); }));
            std::vector<std::pair<QEvent::Type, int>> expected;
            for (const Qt::Key key : c.reaching) {
                expected.emplace_back(QEvent::KeyPress, key);
                expected.emplace_back(QEvent::KeyRelease, key);
            }
            EXPECT_EQ(log.keys, expected);
        }
        // Return ended the entry: the grid has the keys, its cursor where it was.
        EXPECT_TRUE(testwait::UntilKeysReach(View()));
        EXPECT_EQ(View()->Selection(), (CellRange{0, row, 0, row}));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

// The middle button's auto-scroll holds the keyboard while it runs; a key ends it, Escape
// alone, any other one then acting in the grid: nothing typed is lost.
TEST_F(KeyboardSignsTest, AKeyEndsTheAutoScrollAndActsInTheGrid) {
    for (const auto& [key, text] : {std::pair(Qt::Key_Escape, ""), std::pair(Qt::Key_W, "w")}) {
        SCOPED_TRACE(text);
        const uint32_t row = View()->Selection().r1;
        View()->OnMButtonDown(View()->mapToGlobal(View()->rect().center()));
        Settle();
        ASSERT_NE(View()->AutoScrollWindow(), nullptr);
        ASSERT_EQ(testwait::UntilPopupHasKeys(), static_cast<QWidget*>(View()->AutoScrollWindow()));
        ASSERT_TRUE(testwait::PressKey(key));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_FALSE(View()->AutoScrollWindow()->isVisible());
        // On X the frame takes the keyboard back from the closed pop-up through the server: a
        // key sent before then would go to the pop-up's hidden window. Offscreen no window
        // takes it back, and the next key reaches the grid as it is.
        if (testkeys::OnX()) {
            ASSERT_TRUE(
                testwait::Until([&] { return testwait::KeyWindow() == frame->windowHandle(); }));
        }
        // The grid, or the cell editor the typed letter opened.
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->window(), frame.get());
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Down));
        EXPECT_EQ(CellText(0, row), text);
        EXPECT_EQ(View()->Selection().r1, row + 1);
    }
}

// Shift+F10 in the grid opens its context menu, as the Menu key does; Escape closes it and
// the grid has the keys again, twice over.
TEST_F(KeyboardSignsTest, ShiftF10OpensTheGridsContextMenu) {
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(QApplication::focusWidget(), View());
        ASSERT_TRUE(testwait::PressKey(Qt::Key_F10, Qt::ShiftModifier));
        auto* menu = qobject_cast<QMenu*>(testwait::UntilPopupHasKeys());
        ASSERT_NE(menu, nullptr);
        EXPECT_FALSE(menu->actions().isEmpty());
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_TRUE(testwait::UntilKeysReach(View()));
    }
}

// From the keyboard (Shift+F10) the grid's context menu opens at the active cell, wherever the
// pointer was left; after Escape the arrows move the cell again.
TEST_F(KeyboardSignsTest, TheKeyboardsContextMenuOpensAtTheActiveCell) {
    const struct {
        int right, down; // the active cell's column and row, from 0
    } cases[] = {{0, 0}, {2, 3}, {5, 9}, {1, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.right) + " right, " + std::to_string(c.down) + " down");
        CellRange cell{};
        cell.c1 = cell.c2 = uint16_t(c.right);
        cell.r1 = cell.r2 = uint32_t(c.down);
        View()->SetSelection(cell);
        Settle();
        ASSERT_EQ(View()->Selection().c1, c.right);
        ASSERT_EQ(View()->Selection().r1, uint32_t(c.down));
        // The pointer far from the cell, near the window's corner.
        QCursor::setPos(frame->mapToGlobal(QPoint(frame->width() - 8, frame->height() - 8)));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_F10, Qt::ShiftModifier));
        auto* menu = qobject_cast<QMenu*>(testwait::UntilPopupHasKeys());
        ASSERT_NE(menu, nullptr);
        uint16_t column = 0;
        uint32_t row = 0;
        const QPoint at = View()->viewport()->mapFromGlobal(menu->geometry().topLeft());
        EXPECT_TRUE(View()->HitTestCell(at, column, row)) << at.x() << "," << at.y();
        EXPECT_EQ(column, c.right);
        EXPECT_EQ(row, uint32_t(c.down));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
        ASSERT_TRUE(testwait::UntilKeysReach(View()));
        // The Shift of Shift+F10 was let go in the menu: the arrows move the cell, one cell
        // selected, and do not extend the selection.
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Right));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Down));
        const CellRange moved = View()->Selection();
        EXPECT_EQ(std::tuple(moved.c1, moved.r1, moved.c2, moved.r2),
                  std::tuple(uint16_t(c.right + 1), uint32_t(c.down + 1), uint16_t(c.right + 1),
                             uint32_t(c.down + 1)));
    }
}

// F6 into the empty Inspect Cells list: a focus frame shows round the list while it has the
// keyboard, and goes when Shift+F6 takes the keys back to the grid.
TEST_F(KeyboardSignsTest, AnEmptyInspectListShowsWhenItHasTheKeyboard) {
    Command(ID_VIEW_INSPECT);
    Settle();
    QListWidget* list = Active()->InspectPane()->List();
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 0);
    ASSERT_EQ(QApplication::focusWidget(), View());
    const QImage plain = list->viewport()->grab().toImage();
    const auto differing = [&](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != plain.pixel(x, y);
        return count;
    };
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6));
    ASSERT_EQ(QApplication::focusWidget(), list);
    Settle();
    // At least a side of the frame, not a stray pixel.
    EXPECT_GT(differing(list->viewport()->grab().toImage()), plain.height() / 2);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F6, Qt::ShiftModifier));
    ASSERT_EQ(QApplication::focusWidget(), View());
    Settle();
    EXPECT_EQ(differing(list->viewport()->grab().toImage()), 0);
}

// Ctrl+Shift+F5 puts the keys into the address box with its text selected, so what is typed
// replaces it; Return goes there and gives the grid the keys, Escape gives them back at once.
TEST_F(KeyboardSignsTest, CtrlShiftF5TakesTheKeysToTheAddressBox) {
    QComboBox* box = frame->AddressBox();
    ASSERT_NE(box, nullptr);
    const auto inBox = [&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == box || box->isAncestorOf(focus));
    };
    box->setEditText(QStringLiteral("Z99"));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier));
    ASSERT_TRUE(inBox());
    EXPECT_EQ(box->lineEdit()->selectedText(), "Z99");
    for (const Qt::Key key : {Qt::Key_C, Qt::Key_4}) ASSERT_TRUE(testwait::PressKey(key));
    EXPECT_EQ(box->currentText(), "c4");
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
    ASSERT_TRUE(testwait::Until([&] { return QApplication::focusWidget() == View(); }));
    EXPECT_EQ(View()->Selection(), (CellRange{2, 3, 2, 3}));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier));
    ASSERT_TRUE(inBox());
    ASSERT_TRUE(testwait::PressKey(Qt::Key_B));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_EQ(QApplication::focusWidget(), View());
    EXPECT_EQ(View()->Selection(), (CellRange{2, 3, 2, 3})) << "Escape goes nowhere";
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace

} // namespace vl
