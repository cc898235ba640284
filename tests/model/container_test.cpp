#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

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

TEST(Containers, DefaultsLinkAndUnlink) {
    auto c = NewContainer(0);
    const CellRef anchor{4, 9, kRefRow | kRefColumn};
    const ContainerFrame frame{1, 2, 3, 4};
    InitContainerDefaults(*c, &anchor, &frame);
    const ContainerSettings& s = c->settings;
    EXPECT_EQ(
        std::tuple(s.anchor.column, s.anchor.row, s.anchor.flags, s.left, s.top, s.right, s.bottom),
        std::tuple(uint16_t(4), 9u, uint8_t(kRefRow | kRefColumn), 1, 2, 3, 4));
    // Linking appends (a fourth goes fourth); unlinking hands the container back.
    CWorksheet ws("S", 1);
    for (uint16_t id = 1; id <= 4; ++id) LinkContainer(ws, NewContainer(id));
    uint16_t expect = 1;
    for (CContainer* p = ws.firstContainer; p; p = p->next, ++expect) {
        EXPECT_EQ(p->settings.id, expect);
        EXPECT_TRUE(!p->next || p->next->prev == p);
    }
    EXPECT_EQ(expect, 5);
    std::unique_ptr<CContainer> second = UnlinkContainer(ws, FindContainer(ws, 2));
    EXPECT_EQ(std::tuple(second->prev, FindContainer(ws, 2)), std::tuple(nullptr, nullptr));
    std::unique_ptr<CContainer> first = UnlinkContainer(ws, ws.firstContainer);
    EXPECT_EQ(std::tuple(ws.firstContainer->settings.id, ws.firstContainer->prev),
              std::tuple(uint16_t(3), nullptr));
}

// A copy has equal charts without their data; when a chart cannot be had the copy is
// dropped and the source marked.
TEST(Containers, CopyGivesEqualChartsWithoutTheirDataOrMarksTheSource) {
    auto source = NewContainer(5);
    AddChart(*source, 0, kChart2D, 700);
    AddChart(*source, 1, kChartXY, 3);
    source->settings.background.kind = kBackgroundFractal;
    source->selected = 1;
    auto copy = CloneContainer(*source);
    ASSERT_TRUE(copy);
    EXPECT_EQ(
        std::tuple(copy->settings.objectCount, copy->selected, copy->settings.background.kind),
        std::tuple(uint8_t(2), 1, uint8_t(kBackgroundFractal)));
    for (int slot = 0; slot < 2; ++slot) {
        const CChart& from = *source->slots[slot].chart;
        const CChart& to = *copy->slots[slot].chart;
        // Unused series keep their defaults.
        EXPECT_NE(&from, &to);
        EXPECT_EQ(std::tuple(copy->slots[slot].id, to.settings.type, to.settings.seriesCount,
                             std::string(to.series[0].settings.dataArray),
                             to.series[0].points.ItemCount(), to.series[1].settings.symbol),
                  std::tuple(uint16_t(100 + slot), from.settings.type, uint8_t(2),
                             std::string("R1C1:R5C1"), 0u, uint8_t(4)));
    }
    EXPECT_EQ(copy->slots[2].chart, nullptr);
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
        EXPECT_EQ(std::tuple(c->settings.objectCount, c->selected, c->slots[0].chart.get(),
                             c->fractalCache == nullptr),
                  std::tuple(uint8_t(0), -1, nullptr, kind == kBackgroundFractal));
        EXPECT_LT(LiveBlockCount(), before);
    }
}

// A subtree is copied whole, or, when any item cannot be copied, not at all: error 8,
// nothing returned and nothing left allocated.
TEST(Containers, WorksheetCloneCopiesASubtreeOrNothing) {
    auto book = BookWith({{F, "F", 1}, {W, "A", 2}, {F, "G", 2}, {W, "B", 3}, {W, "Outside", 1}});
    CWorksheet& a = *AsWorksheet(Named(*book, "A"));
    CWorksheet& b = *AsWorksheet(Named(*book, "B"));
    PutGrid(a.cells, {3, 0, 3, 999}, 1);
    PutNumber(b.cells, 0, 0, 1);
    PutRun(a.formats, {0, 5, 2, 0});
    a.formats.columns[7].width = 99;
    a.view.scale = 150;
    a.pageSetup.copies = 3;
    auto c = NewContainer(8);
    AddChart(*c, 0, kChart2D, 1);
    LinkContainer(a, std::move(c));
    // Pages a failed copy had taken go to its source's free-page list.
    const auto live = [&] {
        long n = LiveBlockCount();
        for (CWorksheet* w : {&a, &b})
            n -= w->cells.FreePageCount() + w->formats.runs.FreePageCount();
        return n;
    };
    const long before = live();
    int failures = 0;
    for (long budget = 0;; ++budget) {
        book->error = 0;
        CTreeItem* made;
        {
            AllocFailGuard fail(budget);
            made = CWorksheet::Clone(*book, book->tree.first);
        }
        TreeChain chain(made);
        if (!chain) {
            ++failures;
            EXPECT_EQ(book->error, kErrorWorksheetMemory);
            EXPECT_EQ(live(), before) << budget;
            continue;
        }
        EXPECT_EQ(Names(chain.get()), "F:1 A:2 G:2 B:3 ");
        const CWorksheet& copy = *AsWorksheet(chain->next);
        EXPECT_EQ(Dump(copy.cells), Dump(a.cells));
        EXPECT_EQ(NumberAt(AsWorksheet(chain->next->next->next)->cells, 0, 0), 1);
        EXPECT_EQ(std::tuple(copy.formats.columns[7].width, copy.view.scale, copy.pageSetup.copies),
                  std::tuple(uint16_t(99), uint16_t(150), uint16_t(3)));
        // A container that could not be copied is left out and its source marked.
        if (!copy.firstContainer) {
            EXPECT_EQ(a.firstContainer->status, kContainerCopyFailed);
            a.firstContainer->status = 0;
            continue;
        }
        EXPECT_EQ(copy.firstContainer->settings.id, 8);
        EXPECT_NE(copy.firstContainer->slots[0].chart, nullptr);
        break;
    }
    EXPECT_GT(failures, 2);
}

} // namespace vl
