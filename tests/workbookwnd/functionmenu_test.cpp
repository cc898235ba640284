// Insert > Function: every category and function reads as its name, and the list opens
// where the user works: under the active cell when chosen by keys, at the pointer when
// clicked.

#include "functions/general/catalogue.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <string>

namespace vl {

namespace {

// The text a menu item shows: "&&" shows one "&", another "&" marks the next letter.
QString Shown(const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

class FunctionMenuTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    QMenu* Popup() const { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    // The active cell's lower-left corner on the screen.
    QPoint UnderCell(uint16_t column, uint32_t row) {
        const DcRect cell = View()->GetRangeRect({column, row, column, row});
        return View()->viewport()->mapToGlobal(QPoint(cell.left, cell.bottom + 1));
    }
};

} // namespace

TEST_F(FunctionMenuTest, EveryCategoryAndFunctionShowsItsNameUnchanged) {
    frame->OnCommand(ID_INSERT_FUNCTION);
    Settle();
    QMenu* menu = frame->DropDownMenu();
    ASSERT_NE(menu, nullptr);
    const auto rows = FunctionCatalogue();
    ASSERT_EQ(menu->actions().size(), int(kCategoryAll));
    for (uint8_t category = 0; category < kCategoryAll; ++category) {
        QAction* item = menu->actions()[category];
        EXPECT_EQ(Shown(item->text()).toStdString(), FunctionCategoryName(category));
        ASSERT_TRUE(item->menu());
        for (QAction* function : item->menu()->actions()) {
            const int row = function->data().toInt() - 0xFF00;
            ASSERT_GE(row, 0);
            EXPECT_EQ(Shown(function->text()).toStdString(), rows[row].name);
        }
    }
    menu->close();
}

TEST_F(FunctionMenuTest, ChosenByKeysItOpensUnderTheActiveCell) {
    Select(2, 2);
    View()->setFocus();
    QCursor::setPos(QPoint(700, 500)); // the pointer far from the cell
    // Alt+I drops the Insert menu down, U chooses Function.
    QTest::keyClick(View()->viewport(), Qt::Key_I, Qt::AltModifier);
    Settle();
    QMenu* insert = Popup();
    ASSERT_NE(insert, nullptr);
    QTest::keyClick(insert, Qt::Key_U);
    Settle();
    QMenu* functions = frame->DropDownMenu();
    ASSERT_NE(functions, nullptr);
    ASSERT_TRUE(functions->isVisible());
    EXPECT_EQ(functions->pos(), UnderCell(2, 2));
    // The first category's first function, by keys, lands in the cell as its formula.
    QTest::keyClick(functions, Qt::Key_Down);
    QTest::keyClick(functions, Qt::Key_Right);
    Settle();
    ASSERT_TRUE(Popup());
    QTest::keyClick(Popup(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(CellText(2, 2), "=abs(x)");

    // Moved on, the cell takes the menu with it.
    Select(4, 6);
    View()->setFocus();
    QTest::keyClick(View()->viewport(), Qt::Key_I, Qt::AltModifier);
    Settle();
    ASSERT_NE(Popup(), nullptr);
    QTest::keyClick(Popup(), Qt::Key_U);
    Settle();
    ASSERT_NE(frame->DropDownMenu(), nullptr);
    EXPECT_EQ(frame->DropDownMenu()->pos(), UnderCell(4, 6));
    frame->DropDownMenu()->close();
}

TEST_F(FunctionMenuTest, ClickedItOpensAtThePointer) {
    Select(2, 2);
    View()->setFocus();
    QAction* insert = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == QStringLiteral("&Insert")) insert = a;
    ASSERT_NE(insert, nullptr);
    const QRect title = frame->menuBar()->actionGeometry(insert);
    QTest::mouseClick(frame->menuBar(), Qt::LeftButton, {}, title.center());
    Settle();
    QMenu* menu = Popup();
    ASSERT_NE(menu, nullptr);
    QAction* function = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == QStringLiteral("F&unction...")) function = a;
    ASSERT_NE(function, nullptr);
    const QPoint at = menu->actionGeometry(function).center();
    QCursor::setPos(menu->mapToGlobal(at));
    QTest::mouseClick(menu, Qt::LeftButton, {}, at);
    Settle();
    ASSERT_NE(frame->DropDownMenu(), nullptr);
    EXPECT_EQ(frame->DropDownMenu()->pos(), QCursor::pos());
    EXPECT_NE(frame->DropDownMenu()->pos(), UnderCell(2, 2));
    frame->DropDownMenu()->close();
}

} // namespace vl
