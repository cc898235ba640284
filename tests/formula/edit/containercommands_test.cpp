#include "formula/edit/containercommands.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

TEST(DeleteContainerCommand, TheNamedOneGoesOthersStayAndUndoRedoRestore) {
    CUndoBook b;
    CWorksheet& ws = b.S1();
    CContainer& second = b.AddContainer(ws, 300, 40);
    const uint16_t first = ws.firstContainer->settings.id;
    const uint16_t kept = second.settings.id;
    const WorkbookDump before = b.Dump();
    const GridSelection sel{{0, 2, 1, 4}, 0, 2};
    // The newest (last) one: its undo links it back at the end, where it was.
    ASSERT_EQ(DeleteContainerCommand(b.Book(), sel, kept), CommandResult::kDone);
    ASSERT_NE(ws.firstContainer, nullptr);
    EXPECT_EQ(ws.firstContainer->settings.id, first);
    EXPECT_EQ(ws.firstContainer->next, nullptr);
    const WorkbookDump after = b.Dump();
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(after, b.Dump()));

    // No container 0, none with an unused id, none on another worksheet: nothing recorded.
    const int32_t undo = b.Book().undo.current;
    const uint16_t unused = uint16_t(kept + 7);
    EXPECT_EQ(DeleteContainerCommand(b.Book(), sel, kept), CommandResult::kNothing); // gone
    EXPECT_EQ(DeleteContainerCommand(b.Book(), sel, 0), CommandResult::kNothing);
    EXPECT_EQ(DeleteContainerCommand(b.Book(), sel, unused), CommandResult::kNothing);
    b.Book().tree.active = &b.S2();
    EXPECT_EQ(DeleteContainerCommand(b.Book(), sel, first), CommandResult::kNothing);
    EXPECT_EQ(b.Book().undo.current, undo);
    EXPECT_TRUE(SameWorkbook(after, b.Dump()));

    // The first of two: it goes, and its undo brings it back (after the other).
    b.Book().tree.active = &ws;
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    ASSERT_EQ(DeleteContainerCommand(b.Book(), sel, first), CommandResult::kDone);
    EXPECT_EQ(ws.firstContainer->settings.id, kept);
    EXPECT_EQ(ws.firstContainer->next, nullptr);
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    ASSERT_NE(FindContainer(ws, first), nullptr);
    ASSERT_NE(FindContainer(ws, kept), nullptr);
}

} // namespace vl
