// What the grid looks like: a pinned row, a selection, and the editor open with its list.

#include "files/workbookopen.h"
#include "model/workbook.h"
#include "tests/common/waits.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"

#include <QApplication>
#include <QTest>

namespace vl {

namespace {

void Put(CWorksheet& sheet, const CellBuffer& b) {
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(b.bytes, cursor));
}

TEST(GoldenTest, GridWithPinnedRowSelectionAndEditorWithList) {
    wndtest::FakeUi ui;
    wndtest::FakeTimeline timers;
    Profile() = SettingsProfile{};
    QApplication::setCursorFlashTime(0);
    CWorkbookWnd window(nullptr, nullptr);
    ASSERT_TRUE(window.OnCreate());
    CWorkbook& book = window.Book();
    ASSERT_TRUE(NewWorkbook(book));
    window.SyncContext();
    book.panes.treeShown = 0;
    CWorksheet& sheet = *book.tree.active;
    const char* titles[] = {"Region", "Fruit", "Crates", "Price"};
    CellBuffer b;
    for (uint16_t c = 0; c < 4; ++c) {
        ASSERT_TRUE(MakeTextCell(b, c, 0, titles[c]));
        Put(sheet, b);
    }
    for (uint32_t r = 1; r < 30; ++r) {
        ASSERT_TRUE(MakeTextCell(b, 0, r, r % 2 ? "North" : "South"));
        Put(sheet, b);
        ASSERT_TRUE(MakeNumberCell(b, 2, r, double(r * 7 % 23)));
        Put(sheet, b);
        ASSERT_TRUE(MakeNumberCell(b, 3, r, r * 1.25));
        Put(sheet, b);
    }
    for (const char* entry : {"Pear", "Banana", "Apple", "Blueberry"})
        AddDropDownEntry(book.dropDownLists[0], entry);
    StyleRecord listed;
    listed.dropDownList = 1;
    listed.sort = listed.autoComplete = listed.autoAppend = 1;
    book.styles.styles[book.styles.styleCount] = listed;
    sheet.formats.columns[1].style = book.styles.styleCount++;
    sheet.view.freezed.flags = kRefRow;
    sheet.view.freezed.row = 0;
    sheet.view.topLeft.row = 6;
    sheet.view.selection[0] = {1, 8, 0};
    sheet.view.selection[1] = {2, 10, 0};
    window.resize(520, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testwait::kWindowWaitMs));
    // The editor draws its caret only in the active window: on X nothing activates it unasked.
    window.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&window));
    CWorksheetView* view = window.View(0);
    view->SetSelection({1, 8, 2, 10});
    view->setFocus();
    QTest::keyClick(view, 'b');
    QCoreApplication::processEvents();
    ASSERT_TRUE(view->Editor()->isVisible());
    ASSERT_TRUE(view->List()->isVisible());
    EXPECT_EQ(view->Editor()->toPlainText(), QStringLiteral("Banana"));
    EXPECT_TRUE(apptest::MatchesGolden(view->grab().toImage(), "workbookwnd/grid_editor_list"));
    window.HandleCommand(57602); // no question: nothing was stored yet
}

} // namespace

} // namespace vl
