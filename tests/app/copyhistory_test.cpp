#include "app/copyhistory.h"
#include "platform/core/alloc.h"

#include <gtest/gtest.h>
#include <vector>

namespace vl {

namespace {

// Adds a copy tagged `tag` as Copy does: a claimed slot holding a block of its own.
void AddCopy(CCopyHistory& h, uint32_t tag) {
    UndoEntry* e = ClaimUndoSlot(h.Entries(), h.Entries().current);
    ASSERT_NE(e, nullptr);
    e->kind = kUndoMemoryBlock;
    e->cursorRow = tag;
    e->memoryBlock.reset(static_cast<uint8_t*>(AllocBlock(16)));
}

std::vector<uint32_t> Tags(const CCopyHistory& h) {
    std::vector<uint32_t> out;
    for (int32_t i = 0; i <= h.Entries().current; ++i) {
        const UndoEntry& e = h.Entries().entries[i];
        EXPECT_EQ(e.kind, kUndoMemoryBlock);
        out.push_back(e.cursorRow);
    }
    return out;
}

} // namespace

TEST(CopyHistory, LevelsKeepTheNewestCopiesInOrder) {
    struct Case {
        int copies;
        int level;
        std::vector<uint32_t> tags; // after the level, then one more copy (tag 99)
        uint32_t maximum;
    };
    const Case cases[] = {
        {5, 3, {4, 5, 99}, 2},     {5, 1, {99}, 0},
        {2, 200, {1, 2, 99}, 199}, {3, 0, {3, 99}, 1}, // 0 refused: the capacity stays 2
        {3, 201, {3, 99}, 1},      {4, 4, {2, 3, 4, 99}, 3},
    };
    for (const Case& c : cases) {
        CCopyHistory h;
        h.ApplyCopyLevel(2);
        if (c.level > 2 && c.level <= 200) h.ApplyCopyLevel(c.level);
        for (int i = 1; i <= c.copies; ++i) AddCopy(h, uint32_t(i));
        h.ApplyCopyLevel(c.level);
        AddCopy(h, 99);
        EXPECT_EQ(Tags(h), c.tags) << c.copies << " copies, level " << c.level;
        EXPECT_EQ(h.Entries().maximum, c.maximum) << c.copies << " copies, level " << c.level;
        for (int32_t i = h.Entries().current + 1; i < kUndoSlots; ++i)
            EXPECT_EQ(h.Entries().entries[i].kind, kUndoEmpty) << "slot " << i;
    }
}

// The paste list's sixteen items stand for the newest copies, the oldest of them first.
TEST(CopyHistory, ThePasteListItemsStandForTheNewestCopies) {
    struct Case {
        int copies;
        int32_t first;              // the first copy listed
        std::vector<int32_t> items; // the copies of items -1, 0, 1, 14, 15, 16
    };
    const Case cases[] = {
        {0, 0, {-1, -1, -1, -1, -1, -1}},         {1, 0, {-1, 0, -1, -1, -1, -1}},
        {15, 0, {-1, 0, 1, 14, -1, -1}},          {16, 0, {-1, 0, 1, 14, 15, -1}},
        {17, 1, {-1, 1, 2, 15, 16, -1}},          {18, 2, {-1, 2, 3, 16, 17, -1}},
        {200, 184, {-1, 184, 185, 198, 199, -1}},
    };
    for (const Case& c : cases) {
        CCopyHistory h;
        h.ApplyCopyLevel(200);
        for (int i = 0; i < c.copies; ++i) AddCopy(h, uint32_t(i));
        ASSERT_EQ(h.Entries().current, c.copies - 1);
        EXPECT_EQ(h.FirstListed(), c.first) << c.copies;
        std::vector<int32_t> items;
        for (int item : {-1, 0, 1, 14, 15, 16}) items.push_back(h.ListedEntry(item));
        EXPECT_EQ(items, c.items) << c.copies;
        h.ReleaseAll();
    }
}

TEST(CopyHistory, ReleaseAllEmptiesEverySlot) {
    CCopyHistory h;
    h.ApplyCopyLevel(16);
    for (uint32_t i = 0; i < 20; ++i) AddCopy(h, i);
    ASSERT_EQ(h.Entries().current, 15);
    h.ReleaseAll();
    EXPECT_TRUE(h.Empty());
    for (const UndoEntry& e : h.Entries().entries) {
        EXPECT_EQ(e.kind, kUndoEmpty);
        EXPECT_EQ(e.memoryBlock, nullptr);
    }
    // Level 1: each copy replaces the one before.
    h.ApplyCopyLevel(1);
    AddCopy(h, 7);
    AddCopy(h, 8);
    EXPECT_EQ(Tags(h), std::vector<uint32_t>{8});
}

} // namespace vl
