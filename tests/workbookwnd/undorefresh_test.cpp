// Every command that records an undo entry, done, undone and redone through the window: after
// each step the title, the tree control and the grid's scroll ranges show the document as it
// is then, not as it was before the step.

#include "containertest.h"
#include "dialogs/chart/containerdlg.h"
#include "model/container.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/treepane.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <utility>

namespace vl {

namespace {

class UndoRefreshTest : public wndtest::ContainerTest {
protected:
    void SetUp() override {
        ContainerTest::SetUp();
        // A small table, and a cell far out that the ranges reach.
        Enter(0, 0, QStringLiteral("3"));
        Enter(0, 1, QStringLiteral("1"));
        Enter(1, 0, QStringLiteral("b"));
        Enter(1, 1, QStringLiteral("2"));
        Enter(7, 29, QStringLiteral("end"));
    }
    void TearDown() override {
        SetWorkbookKeyState(nullptr);
        ContainerTest::TearDown();
    }
    CTreePane& Tree() const { return *Active()->TreePane(); }
    CTreeItem* Item(const char* name) const {
        for (CTreeItem* p = Book().tree.first; p; p = p->next)
            if (std::string(p->name) == name) return p;
        return nullptr;
    }
    // The list as "name:level", the active worksheet marked with "*".
    std::string ListShape() const {
        std::string out;
        for (CTreeItem* p = Book().tree.first; p; p = p->next)
            out += std::string(p->name) + ":" + std::to_string(p->level) +
                   (p == Book().tree.active ? "* " : " ");
        return out;
    }
    // The control as the user sees it, in the same form: depth under the root as the level,
    // the item with the active image marked.
    std::string ControlShape() const {
        std::string out;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* h, int depth) {
            for (int i = 0; i < h->childCount(); ++i) {
                QTreeWidgetItem* child = h->child(i);
                out += child->text(0).toStdString() + ":" + std::to_string(depth) +
                       (CTreePane::ImageOf(child) == kImageActive ? "* " : " ");
                walk(child, depth + 1);
            }
        };
        walk(Tree().Root(), 1);
        return out;
    }
    // The active worksheet's path as the list gives it: each enclosing folder, outer first.
    std::string ModelPath() const {
        const CTreeItem* sheet = Book().tree.active;
        std::string path = std::string("\\") + sheet->name;
        uint16_t level = sheet->level;
        for (const CTreeItem* p = sheet->prev; p && level > 1; p = p->prev)
            if (p->IsFolder() && p->level < level) {
                path = std::string("\\") + p->name + path;
                level = p->level;
            }
        return path;
    }
    std::string Shown() const { return Active()->windowTitle().toStdString(); }
    std::pair<int, int> Extents() const {
        return {View()->horizontalScrollBar()->maximum(), View()->verticalScrollBar()->maximum()};
    }
    // The last column and row the ranges must reach: the used cells, the selection, at least 1.
    std::pair<int, int> Reach() const {
        uint16_t c2 = 0;
        uint32_t r2 = 0;
        Book().tree.active->cells.GetUsedRange(nullptr, &c2, nullptr, &r2);
        const CellRange& sel = View()->Selection();
        return {std::max({int(c2), int(sel.c2), 1}), std::max({int(r2), int(sel.r2), 1})};
    }
    void EndLabelEdit() {
        Tree().Control()->closePersistentEditor(Tree().Control()->currentItem());
        View()->setFocus();
        Settle();
    }
    void NewItem(int id) {
        Command(id);
        EndLabelEdit();
    }
    void TreeCommand(const char* name, int id) {
        Tree().Control()->setFocus();
        Tree().Select(Item(name));
        Settle();
        Command(id);
    }
    QComboBox* SearchBox(int index) const {
        return frame->Toolbar(kSearchBar)->findChildren<QComboBox*>()[index];
    }
    uint16_t AddContainer() {
        Select(0, 0);
        Command(ID_EMPTY_CONTAINER);
        CContainer* last = Book().tree.active->firstContainer;
        while (last && last->next) last = last->next;
        return last ? last->settings.id : 0;
    }
    CContainer* Container(uint16_t id) const { return View()->FindContainerById(id); }
    QPoint Inside(uint16_t id) {
        View()->InvalidateAll();
        View()->Render();
        DcRect r{};
        EXPECT_TRUE(View()->ContainerRect(*Container(id), r));
        return {r.left + 20, r.top + 15};
    }
    // The gridline between columns A and B in the heading band.
    QPoint ColumnBorder() {
        const int y = View()->HeadingHeight() / 2;
        for (int x = 0; x < View()->viewport()->width(); ++x) {
            uint16_t column = 0;
            int32_t left = 0, right = 0;
            if (View()->HitTestColumnBorder({x, y}, column, left, right) && column == 0)
                return {x, y};
        }
        ADD_FAILURE() << "no border";
        return {};
    }
    std::string Picture() {
        const std::string path = TempPath("small.png");
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
        return path;
    }
};

std::string TitleOf(const std::string& sheetPath) {
    return "New Workbook - " + sheetPath + " *";
}

} // namespace

TEST_F(UndoRefreshTest, EveryUndoableCommandLeavesTitleTreeAndRangesAsTheDocumentIs) {
    struct Case {
        const char* name;
        std::function<void()> prepare; // run and recorded before the command, undone after
        std::function<void()> run;
        const char* pathBefore; // the active worksheet's path in the title
        const char* pathAfter;
    };
    auto none = [] {};
    auto gridFocus = [this] { View()->setFocus(); };
    const char* ws1 = "\\Worksheet1";
    const Case cases[] = {
        {"type a cell", none, [&] { Enter(9, 45, QStringLiteral("far")); }, ws1, ws1},
        {"type, then another worksheet", [&] { NewItem(ID_NEW_WORKSHEET); },
         [&] {
             Tree().Select(Item("Worksheet1"));
             Enter(9, 45, QStringLiteral("far"));
             Tree().Select(Item("Worksheet2"));
         },
         "\\Worksheet2", "\\Worksheet2"},
        {"delete", none, [&] { SelectRange(7, 29, 7, 29), gridFocus(), Command(ID_EDIT_CLEAR); },
         ws1, ws1},
        {"delete formats", [&] { SelectRange(0, 0, 1, 1), Command(ID_BOLD); },
         [&] {
             SelectRange(0, 0, 1, 1);
             SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::ControlModifier); });
             Command(ID_EDIT_CLEAR);
             SetWorkbookKeyState(nullptr);
         },
         ws1, ws1},
        {"cut", none, [&] { SelectRange(7, 29, 7, 29), Command(ID_EDIT_CUT); }, ws1, ws1},
        {"paste a copy", [&] { SelectRange(0, 0, 1, 1), Command(ID_EDIT_COPY); },
         [&] { SelectRange(10, 40, 10, 40), Command(ID_EDIT_PASTE); }, ws1, ws1},
        {"paste text", none,
         [&] {
             QGuiApplication::clipboard()->setText(QStringLiteral("x\ty\r\nz"));
             SelectRange(12, 50, 12, 50);
             Command(ID_EDIT_PASTE);
         },
         ws1, ws1},
        {"drag a range", none,
         [&] {
             Active()->MoveRangeByDrag({0, 0, 1, 1}, {3, 60, 4, 61});
         },
         ws1, ws1},
        {"insert rows", none, [&] { SelectRange(0, 0, 0, 2), Command(ID_INSERT_ROWS); }, ws1, ws1},
        {"remove rows", none, [&] { SelectRange(0, 0, 0, 2), Command(ID_REMOVE_ROWS); }, ws1, ws1},
        {"insert columns", none, [&] { SelectRange(0, 0, 2, 0), Command(ID_INSERT_COLUMNS); }, ws1,
         ws1},
        {"remove columns", none, [&] { SelectRange(0, 0, 2, 0), Command(ID_REMOVE_COLUMNS); }, ws1,
         ws1},
        {"sort", none, [&] { SelectRange(0, 0, 0, 1), Command(ID_SORT_ASCENDING); }, ws1, ws1},
        {"transpose", none, [&] { SelectRange(0, 0, 1, 1), Command(ID_TRANSPOSE); }, ws1, ws1},
        {"convert", none, [&] { SelectRange(1, 0, 1, 0), Command(ID_ALL_UPPERCASE); }, ws1, ws1},
        {"increment", none, [&] { SelectRange(0, 0, 0, 0), Command(ID_INCREMENT_VALUE); }, ws1,
         ws1},
        {"quick statistics", none, [&] { SelectRange(0, 0, 0, 2), Command(ID_STAT_SUM); }, ws1,
         ws1},
        {"data series", none, [&] { SelectRange(0, 0, 0, 70), Command(ID_DATA_SERIES); }, ws1, ws1},
        {"replace all", none,
         [&] {
             SearchBox(0)->setEditText(QStringLiteral("b"));
             SearchBox(1)->setEditText(QStringLiteral("c"));
             Command(ID_SEARCH_REPLACE_ALL);
         },
         ws1, ws1},
        {"insert date", none, [&] { SelectRange(9, 70, 9, 70), Command(ID_INSERT_DATE); }, ws1,
         ws1},
        {"insert function", none,
         [&] {
             SelectRange(9, 80, 9, 80);
             Active()->HandleCommandWith(ID_INSERT_FUNCTION, 0);
             Settle();
         },
         ws1, ws1},
        {"bold", none, [&] { SelectRange(0, 0, 1, 1), Command(ID_BOLD); }, ws1, ws1},
        {"row height", [&] { ui.sizeAnswer = 40; },
         [&] { SelectRange(0, 90, 0, 90), Command(ID_ROW_HEIGHT); }, ws1, ws1},
        {"column width", [&] { ui.sizeAnswer = 20; },
         [&] { SelectRange(30, 0, 30, 0), Command(ID_COLUMN_WIDTH); }, ws1, ws1},
        {"auto column width", none,
         [&] { SelectRange(7, 29, 7, 29), Command(ID_AUTO_COLUMN_WIDTH); }, ws1, ws1},
        {"auto row height", none, [&] { SelectRange(0, 0, 0, 0), Command(ID_AUTO_ROW_HEIGHT); },
         ws1, ws1},
        {"drag a column border", none,
         [&] {
             const QPoint at = ColumnBorder();
             View()->OnLButtonDown(at, Qt::NoModifier);
             View()->OnMouseMove(at + QPoint(40, 0), Qt::LeftButton);
             View()->OnLButtonUp();
             Settle();
         },
         ws1, ws1},
        {"empty container", none, [&] { AddContainer(); }, ws1, ws1},
        {"chart", none, [&] { SelectRange(1, 1, 1, 1), Command(ID_CHART_2D); }, ws1, ws1},
        {"image", [&] { ui.openPath = QString::fromStdString(Picture()); },
         [&] { SelectRange(2, 1, 2, 1), Command(ID_INSERT_IMAGE); }, ws1, ws1},
        {"delete a container", [&] { AddContainer(); },
         [&] {
             // Clicked, the container is the one Delete takes.
             const QPoint inside = Inside(Book().tree.active->firstContainer->settings.id);
             QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, inside);
             gridFocus();
             Command(ID_EDIT_CLEAR);
         },
         ws1, ws1},
        {"drag a container", [&] { AddContainer(); },
         [&] {
             const QPoint inside = Inside(Book().tree.active->firstContainer->settings.id);
             QTest::mousePress(View()->viewport(), Qt::LeftButton, {}, inside);
             View()->OnMouseMove(inside + QPoint(80, 40), Qt::LeftButton);
             QTest::mouseRelease(View()->viewport(), Qt::LeftButton, {}, inside + QPoint(80, 40));
             Settle();
         },
         ws1, ws1},
        {"apply container properties", [&] { AddContainer(); },
         [&] {
             CContainerPropertiesDlg* dlg = Active()->ContainerProperties();
             ASSERT_TRUE(dlg);
             dlg->Working().settings.bottom += 300;
             Active()->ApplyContainerEdits(dlg->Working());
             Settle();
         },
         ws1, ws1},
        {"new worksheet", none, [&] { NewItem(ID_NEW_WORKSHEET); }, ws1, "\\Worksheet3"},
        {"new folder", none, [&] { NewItem(ID_NEW_FOLDER); }, ws1, ws1},
        {"rename", none,
         [&] {
             Tree().FindHandle(Item("Worksheet1"))->setText(0, QStringLiteral("Renamed"));
             Settle();
         },
         ws1, "\\Renamed"},
        {"delete a worksheet", [&] { NewItem(ID_NEW_WORKSHEET); },
         [&] { TreeCommand("Worksheet4", ID_EDIT_CLEAR); }, "\\Worksheet4", ws1},
        {"drop into a folder", [&] { NewItem(ID_NEW_FOLDER); },
         [&] {
             Tree().Drop(Item("Worksheet1"), Tree().FindHandle(Item("Folder2")));
             Settle();
         },
         ws1, "\\Folder2\\Worksheet1"},
        {"paste a worksheet", [&] { TreeCommand("Worksheet1", ID_EDIT_COPY); },
         [&] { TreeCommand("Worksheet1", ID_EDIT_PASTE); }, ws1, ws1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t start = Book().undo.current;
        // A container's properties window may have taken the keyboard: the frame has it.
        frame->activateWindow();
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        c.prepare();
        frame->activateWindow();
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        Settle();
        View()->setFocus();
        EXPECT_EQ(Shown(), TitleOf(c.pathBefore));
        const int32_t before = Book().undo.current;
        c.run();
        Settle();
        ASSERT_GT(Book().undo.current, before) << "nothing recorded";
        EXPECT_EQ(Shown(), TitleOf(c.pathAfter));
        EXPECT_EQ(ControlShape(), ListShape());
        // A command may record more than one entry (a move is a copy and a removal).
        const int32_t recorded = Book().undo.current - before;
        for (int32_t i = 0; i < recorded; ++i) Command(ID_EDIT_UNDO);
        // Undo and redo show the worksheet the history makes active.
        EXPECT_EQ(Shown(), TitleOf(ModelPath())) << "undone";
        EXPECT_EQ(ControlShape(), ListShape()) << "undone";
        EXPECT_EQ(Extents(), Reach()) << "undone";
        for (int32_t i = 0; i < recorded; ++i) Command(ID_EDIT_REDO);
        EXPECT_EQ(Shown(), TitleOf(ModelPath())) << "redone";
        EXPECT_EQ(ControlShape(), ListShape()) << "redone";
        EXPECT_EQ(Extents(), Reach()) << "redone";
        // Back to the table for the next command.
        while (Book().undo.current > start) Command(ID_EDIT_UNDO);
        if (Book().tree.active != Item("Worksheet1")) Tree().Select(Item("Worksheet1"));
        Settle();
    }
}

} // namespace vl
