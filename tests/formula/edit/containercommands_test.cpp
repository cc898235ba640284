#include "formula/edit/containercommands.h"
#include "platform/core/alloc.h"
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
    ExpectUndoRedo(b, before, after);

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

TEST(InsertContainerCommand, AnchoredAtTheSelectionAtTheEndAndUndoRedo) {
    for (const uint8_t chartType : {uint8_t(0), uint8_t(2)}) {
        CUndoBook b;
        CWorksheet& ws = b.S1();
        const uint16_t existing = ws.firstContainer->settings.id;
        const WorkbookDump before = b.Dump();
        CContainer* added = nullptr;
        // A 2 x 3 selection made from its bottom-right cell: the anchor is its first cell.
        ASSERT_EQ(InsertContainerCommand(b.Book(), {{3, 5, 4, 7}, 4, 7}, chartType, &added),
                  CommandResult::kDone);
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(ws.firstContainer->next, added);
        EXPECT_EQ(added->settings.anchor.column, 3);
        EXPECT_EQ(added->settings.anchor.row, 5u);
        EXPECT_NE(added->settings.id, existing);
        EXPECT_EQ(added->settings.objectCount, chartType ? 1 : 0);
        EXPECT_EQ(added->slots[0].chart != nullptr, chartType != 0);
        const WorkbookDump after = b.Dump();
        ExpectUndoRedo(b, before, after);
    }
    // Out of memory for the container: nothing linked, nothing recorded.
    CUndoBook b;
    const WorkbookDump before = b.Dump();
    const int32_t undo = b.Book().undo.current;
    SetAllocFailAfter(0);
    const CommandResult refused = InsertContainerCommand(b.Book(), {{0, 0, 0, 0}, 0, 0}, 1);
    SetAllocFailAfter(-1);
    EXPECT_EQ(refused, CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorWorksheetMemory);
    EXPECT_EQ(b.Book().undo.current, undo);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
}

TEST(MoveContainerCommand, EachSideMovesByItsOwnShiftAndUndoRedo) {
    CUndoBook b;
    CWorksheet& ws = b.S1();
    CContainer& c = *ws.firstContainer;
    const ContainerSettings old = c.settings;
    const WorkbookDump before = b.Dump();
    bool unrecorded = true;
    ASSERT_EQ(MoveContainerCommand(b.Book(), {{1, 2, 3, 2}, 1, 2}, c.settings.id, {-3, 5, 17, 40},
                                   &unrecorded),
              CommandResult::kDone);
    EXPECT_FALSE(unrecorded);
    EXPECT_EQ(c.settings.left, old.left - 3);
    EXPECT_EQ(c.settings.top, old.top + 5);
    EXPECT_EQ(c.settings.right, old.right + 17);
    EXPECT_EQ(c.settings.bottom, old.bottom + 40);
    const WorkbookDump after = b.Dump();
    ExpectUndoRedo(b, before, after);
    // Another worksheet's container, or none: nothing moves, nothing is recorded.
    const int32_t undo = b.Book().undo.current;
    b.Book().tree.active = &b.S2();
    EXPECT_EQ(MoveContainerCommand(b.Book(), {}, c.settings.id, {1, 1, 1, 1}),
              CommandResult::kNothing);
    EXPECT_EQ(MoveContainerCommand(b.Book(), {}, 0, {1, 1, 1, 1}), CommandResult::kNothing);
    EXPECT_EQ(b.Book().undo.current, undo);
    EXPECT_TRUE(SameWorkbook(after, b.Dump()));
}

TEST(EditContainerCommand, TheEditedCopyTakesThePlaceAndUndoRedoRestore) {
    CUndoBook b;
    CWorksheet& ws = b.S1();
    CContainer& second = b.AddContainer(ws, 300, 40);
    CContainer& first = *ws.firstContainer;
    CWorksheet* found = nullptr;
    ASSERT_EQ(FindBookContainer(b.Book(), second.settings.id, &found), &second);
    EXPECT_EQ(found, &ws);
    EXPECT_EQ(FindBookContainer(b.Book(), uint16_t(second.settings.id + 5)), nullptr);

    auto edited = NewBlockObject<CContainer>();
    ASSERT_TRUE(CopyContainerTo(first, *edited));
    // Four different sides, so that a swapped field shows.
    edited->settings.left = 11;
    edited->settings.top = 23;
    edited->settings.right = 317;
    edited->settings.bottom = 405;
    const WorkbookDump before = b.Dump();
    const GridSelection sel{{2, 1, 4, 2}, 2, 1};

    // Out of memory for the copy: nothing changes, nothing is recorded.
    const int32_t undo = b.Book().undo.current;
    SetAllocFailAfter(0);
    const CommandResult refused = EditContainerCommand(b.Book(), sel, first, *edited);
    SetAllocFailAfter(-1);
    EXPECT_EQ(refused, CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorContainerMemory);
    EXPECT_EQ(b.Book().undo.current, undo);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));

    bool unrecorded = true;
    ASSERT_EQ(EditContainerCommand(b.Book(), sel, first, *edited, &unrecorded),
              CommandResult::kDone);
    EXPECT_FALSE(unrecorded);
    EXPECT_EQ(ws.firstContainer, &first); // its place in the list kept
    EXPECT_EQ(first.next, &second);
    const ContainerSettings& s = first.settings;
    EXPECT_EQ(s.left, 11);
    EXPECT_EQ(s.top, 23);
    EXPECT_EQ(s.right, 317);
    EXPECT_EQ(s.bottom, 405);
    EXPECT_EQ(b.Book().undo.current, undo + 1);
    const WorkbookDump after = b.Dump();
    ExpectUndoRedo(b, before, after);
}

TEST(OpenContainerCommand, RecordsAndSelectsTheFirstObjectOnlyWhenNoneIs) {
    struct Case {
        uint8_t objects;
        int32_t selectedBefore, selectedAfter;
    };
    const Case cases[] = {
        {0, -1, -1}, // nothing to select
        {2, -1, 0},  // the first of two
        {2, 1, 1},   // the second stays selected
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet& ws = b.S1();
        CContainer& second = b.AddContainer(ws, 300, 40);
        second.settings.objectCount = c.objects;
        second.selected = c.selectedBefore;
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        bool unrecorded = true;
        ASSERT_EQ(
            OpenContainerCommand(b.Book(), {{2, 3, 4, 9}, 4, 9}, second.settings.id, &unrecorded),
            CommandResult::kDone);
        EXPECT_FALSE(unrecorded);
        EXPECT_EQ(second.selected, c.selectedAfter) << int(c.objects);
        EXPECT_EQ(ws.firstContainer->selected, -1); // the other one untouched
        EXPECT_EQ(b.Book().undo.current, undo + 1);
        const UndoEntry& entry = b.Book().undo.entries[undo + 1];
        EXPECT_EQ(entry.cursorColumn, 4);
        EXPECT_EQ(entry.cursorRow, 9u);
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
        // Undo gives back what the container held before the double click.
        UndoPlace place;
        ASSERT_EQ(UndoCommand(b.Book(), &place), CommandResult::kDone);
        CContainer* back = FindContainer(ws, second.settings.id);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->selected, c.selectedBefore);
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
        ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    }
    // Another worksheet's container, id 0, no worksheet: nothing recorded, nothing selected.
    CUndoBook b;
    CContainer& c = *b.S1().firstContainer;
    c.settings.objectCount = 1;
    const int32_t undo = b.Book().undo.current;
    b.Book().tree.active = &b.S2();
    EXPECT_EQ(OpenContainerCommand(b.Book(), {}, c.settings.id), CommandResult::kNothing);
    EXPECT_EQ(OpenContainerCommand(b.Book(), {}, 0), CommandResult::kNothing);
    b.Book().tree.active = nullptr;
    EXPECT_EQ(OpenContainerCommand(b.Book(), {}, c.settings.id), CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorNoWorksheet);
    EXPECT_EQ(c.selected, -1);
    EXPECT_EQ(b.Book().undo.current, undo);
}

} // namespace vl
