#include "model/container.h"
#include "model/workbook.h"
#include "modeltestutil.h"

#include <gtest/gtest.h>

namespace vl {

using namespace modeltest;

namespace {

std::unique_ptr<CContainer> NewContainer(uint16_t id) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = id;
    return c;
}

void AddChart(CContainer& c, int slot, uint8_t type, int points) {
    c.slots[slot].kind = kObjectChart;
    c.slots[slot].id = uint16_t(100 + slot);
    c.slots[slot].chart = NewBlockObject<CChart>(type);
    CChart& chart = *c.slots[slot].chart;
    chart.settings.seriesCount = 2;
    chart.series[0].settings.role = 1;
    CopyTextField(chart.series[0].settings.dataArray, "R1C1:R5C1", kDataArraySize);
    chart.series[1].settings.role = 0; // below the count but not in use
    chart.series[1].settings.symbol = 9;
    uint8_t point[16] = {};
    for (int i = 0; i < points; ++i) ASSERT_TRUE(chart.series[0].points.AppendItem16(point));
    c.settings.objectCount = uint8_t(slot + 1);
}

} // namespace

TEST(Containers, DefaultsWithAndWithoutPlacement) {
    auto c = NewContainer(0);
    EXPECT_EQ(c->settings.anchor.flags, 9);
    EXPECT_EQ(c->settings.left, 10);
    EXPECT_EQ(c->settings.bottom, 260);
    EXPECT_EQ(c->settings.opacity, 100);
    EXPECT_EQ(c->settings.background.fractalColors[2], 0x0000FFu);
    const CellRef anchor{4, 9, kRefRow | kRefColumn};
    const ContainerFrame frame{1, 2, 3, 4};
    InitContainerDefaults(*c, &anchor, &frame);
    EXPECT_EQ(c->settings.anchor.column, 4);
    EXPECT_EQ(c->settings.anchor.row, 9u);
    EXPECT_EQ(c->settings.right, 3);
}

TEST(Containers, LinkAppendsAndUnlinkHandsBack) {
    CWorksheet ws("S", 1);
    for (uint16_t id = 1; id <= 4; ++id) LinkContainer(ws, NewContainer(id));
    uint16_t expect = 1;
    for (CContainer* c = ws.firstContainer; c; c = c->next, ++expect) {
        EXPECT_EQ(c->settings.id, expect);
        if (c->next) {
            EXPECT_EQ(c->next->prev, c);
        }
    }
    EXPECT_EQ(expect, 5);
    std::unique_ptr<CContainer> second = UnlinkContainer(ws, FindContainer(ws, 2));
    EXPECT_EQ(second->prev, nullptr);
    EXPECT_EQ(FindContainer(ws, 2), nullptr);
    EXPECT_EQ(ws.firstContainer->next->settings.id, 3);
    std::unique_ptr<CContainer> first = UnlinkContainer(ws, ws.firstContainer);
    EXPECT_EQ(ws.firstContainer->settings.id, 3);
    EXPECT_EQ(ws.firstContainer->prev, nullptr);
}

TEST(Containers, CopyGivesEqualChartsWithoutTheirData) {
    auto source = NewContainer(5);
    AddChart(*source, 0, kChart2D, 700);
    AddChart(*source, 1, kChartXY, 3);
    source->settings.background.kind = kBackgroundFractal;
    source->selected = 1;
    auto copy = CloneContainer(*source);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->settings.objectCount, 2);
    EXPECT_EQ(copy->selected, 1);
    EXPECT_EQ(copy->settings.background.kind, kBackgroundFractal);
    for (int slot = 0; slot < 2; ++slot) {
        const CChart& from = *source->slots[slot].chart;
        const CChart& to = *copy->slots[slot].chart;
        EXPECT_NE(&from, &to);
        EXPECT_EQ(copy->slots[slot].id, 100 + slot);
        EXPECT_EQ(to.settings.type, from.settings.type);
        EXPECT_EQ(to.settings.seriesCount, 2);
        EXPECT_STREQ(to.series[0].settings.dataArray, "R1C1:R5C1");
        EXPECT_EQ(to.series[0].points.ItemCount(), 0u);
        EXPECT_EQ(to.series[1].settings.symbol, 4); // unused series keep their defaults
    }
    EXPECT_EQ(copy->slots[2].chart, nullptr);
}

TEST(Containers, FailedCopyMarksTheSource) {
    auto source = NewContainer(5);
    AddChart(*source, 0, kChart2D, 1);
    AddChart(*source, 1, kChart2D, 1);
    for (long budget : {0L, 1L, 2L}) {
        source->status = 0;
        AllocFailGuard fail(budget);
        EXPECT_EQ(CloneContainer(*source), nullptr) << budget;
        EXPECT_EQ(source->status, kContainerCopyFailed);
    }
}

TEST(Containers, ClearingItemsFreesTheFractalBitmapOnlyForFractals) {
    for (uint8_t kind : {kBackgroundFractal, kBackgroundImage}) {
        auto c = NewContainer(1);
        AddChart(*c, 0, kChart3D, 10);
        c->settings.background.kind = kind;
        c->fractalCache = std::make_unique<FractalBitmap>();
        const long before = LiveBlockCount();
        ClearContainerItems(*c);
        EXPECT_EQ(c->settings.objectCount, 0);
        EXPECT_EQ(c->selected, -1);
        EXPECT_EQ(c->slots[0].chart, nullptr);
        EXPECT_LT(LiveBlockCount(), before);
        EXPECT_EQ(c->fractalCache == nullptr, kind == kBackgroundFractal);
    }
}

TEST(Containers, WorksheetCloneCopiesASubtree) {
    auto book = CreateWorkbook();
    book->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    CWorksheet& a = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 2));
    book->AppendTreeItem(TREE_TYPE_FOLDER, "G", 2);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "B", 3);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Outside", 1);
    for (uint32_t r = 0; r < 1000; ++r) PutNumber(a.cells, 3, r, r);
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(a.formats, {0, 5, 2, 0}, cursor));
    a.formats.columns[7].width = 99;
    a.view.scale = 150;
    a.pageSetup.copies = 3;
    auto c = NewContainer(8);
    AddChart(*c, 0, kChart2D, 1);
    LinkContainer(a, std::move(c));
    const long before = LiveBlockCount();
    {
        TreeChain chain(CWorksheet::Clone(*book, book->tree.first));
        ASSERT_TRUE(chain);
        std::string names;
        for (CTreeItem* p = chain.get(); p; p = p->next)
            names += std::string(p->name) + std::to_string(p->level);
        EXPECT_EQ(names, "F1A2G2B3");
        const CWorksheet& copy = *AsWorksheet(chain->next);
        EXPECT_EQ(Dump(copy.cells), Dump(a.cells));
        EXPECT_EQ(copy.formats.columns[7].width, 99);
        EXPECT_EQ(copy.view.scale, 150);
        EXPECT_EQ(copy.pageSetup.copies, 3);
        ASSERT_NE(copy.firstContainer, nullptr);
        EXPECT_EQ(copy.firstContainer->settings.id, 8);
        EXPECT_NE(copy.firstContainer->slots[0].chart, nullptr);
    }
    EXPECT_EQ(LiveBlockCount(), before);
    AllocFailGuard fail(0);
    EXPECT_EQ(CWorksheet::Clone(*book, &a), nullptr);
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
}

} // namespace vl
