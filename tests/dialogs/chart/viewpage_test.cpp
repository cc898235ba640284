// The View page: entries by chart type, the entry a series' view selects, what a save
// stores, and the small charts drawn for the entries.

#include "../dialogtest.h"
#include "dialogs/chart/viewpage.h"
#include "model/chart.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QTabWidget>
#include <set>

namespace vl {

namespace {

struct ViewPageTest : ::testing::Test {
    SeriesSettings& Series(CChart& chart, uint8_t role, SeriesView v) {
        InitSeries(chart, 0);
        chart.settings.seriesCount = 1;
        SeriesSettings& s = chart.series[0].settings;
        s.role = role;
        s.kind = v.kind;
        s.stacked = v.stacked;
        s.relative = v.relative;
        return s;
    }
    dialogtest::FakeUi ui;
    CChartViewPage page;
};

} // namespace

TEST_F(ViewPageTest, EveryEntryMapsBackToItselfForItsType) {
    for (uint8_t type : {kChart2D, kChart3D}) {
        ASSERT_EQ(ViewCount(type), 11);
        for (int i = 0; i < 11; ++i)
            EXPECT_EQ(IndexOfView(type, ViewOfIndex(type, i)), i) << int(type) << " " << i;
    }
    EXPECT_EQ(ViewCount(kChartXY), 1);
    EXPECT_EQ(ViewOfIndex(kChartXY, 5).kind, 6);
    EXPECT_EQ(ViewOfIndex(kChart3D, -1).kind, 7);
    EXPECT_EQ(ViewOfIndex(kChart2D, 11).kind, 1);
}

TEST_F(ViewPageTest, AreasAndScatterSelectAndSaveAsTheirTypeAllows) {
    const struct {
        uint8_t type;
        SeriesView stored;
        int row;
        SeriesView saved;
    } cases[] = {
        {kChart3D, {10, 1, 0}, 8, {10, 1, 0}}, {kChart2D, {4, 0, 0}, 7, {4, 1, 0}},
        {kChartXY, {6, 0, 0}, 0, {6, 0, 0}},   {kChartXY, {1, 1, 1}, 0, {6, 0, 0}},
        {kChart2D, {2, 1, 1}, 5, {2, 1, 1}},   {kChart3D, {11, 0, 0}, 10, {11, 0, 0}},
        {kChart2D, {9, 0, 0}, 0, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        CChart chart(c.type);
        SeriesSettings& s = Series(chart, 1, c.stored);
        ASSERT_TRUE(page.Exchange(false, &chart, 0));
        EXPECT_EQ(page.List()->count(), ViewCount(c.type));
        EXPECT_TRUE(page.List()->isEnabled());
        EXPECT_EQ(page.List()->currentRow(), c.row) << int(c.type) << "/" << int(c.stored.kind);
        ASSERT_TRUE(page.Exchange(true, &chart, 0));
        EXPECT_EQ(s.kind, c.saved.kind) << int(c.type) << "/" << int(c.stored.kind);
        EXPECT_EQ(s.stacked, c.saved.stacked) << int(c.stored.kind);
        EXPECT_EQ(s.relative, c.saved.relative) << int(c.stored.kind);
    }
}

TEST_F(ViewPageTest, CategoriesShowTheListOffAndKeepTheirKind) {
    CChart chart(kChart2D);
    SeriesSettings& s = Series(chart, 3, {5, 1, 1});
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_FALSE(page.List()->isEnabled());
    page.List()->setCurrentRow(0);
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(s.kind, 5);
    EXPECT_EQ(s.stacked, 1);
}

// A page first laid out on a hidden tab takes its cells from the list once shown: square
// cells as tall as the list, side by side, the chosen one framed in the highlight.
TEST_F(ViewPageTest, CellsFollowTheListShownAfterAHiddenTab) {
    QTabWidget tabs;
    tabs.addTab(new QWidget, QStringLiteral("First"));
    auto* shown = new CChartViewPage;
    tabs.addTab(shown, QStringLiteral("View"));
    tabs.resize(500, 260);
    tabs.show();
    CChart chart(kChart2D);
    Series(chart, 1, {1, 0, 0});
    ASSERT_TRUE(shown->Exchange(false, &chart, 0));
    tabs.setCurrentIndex(1);
    QCoreApplication::processEvents();
    QListWidget* list = shown->List();
    const int side = list->viewport()->height();
    ASSERT_GT(side, 64);
    EXPECT_EQ(list->gridSize(), QSize(side, side));
    const QRect first = list->visualItemRect(list->item(0));
    const QRect second = list->visualItemRect(list->item(1));
    EXPECT_GE(second.left(), first.right());
    EXPECT_EQ(shown->Preview(0).width(), side - 8);
    const QImage grab = list->viewport()->grab().toImage();
    const QColor highlight = list->palette().color(QPalette::Highlight);
    const int mid = first.center().y();
    EXPECT_EQ(grab.pixelColor(first.left() + 1, mid), highlight);
    EXPECT_EQ(grab.pixelColor(first.right() - 1, mid), highlight);
    EXPECT_NE(grab.pixelColor(second.left() + 1, mid), highlight);
}

TEST(ViewPreview, EachEntryDrawsAChartAndTheEntriesDiffer) {
    for (uint8_t type : {kChart2D, kChart3D, kChartXY}) {
        std::set<qint64> pictures;
        for (int i = 0; i < ViewCount(type); ++i) {
            const QImage image = DrawViewPreview(type, i, 64);
            ASSERT_EQ(image.size(), QSize(64, 64));
            int inked = 0;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) inked += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
            EXPECT_GT(inked, 40) << int(type) << " " << i;
            pictures.insert(image.cacheKey()
                                ? qHash(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                                   int(image.sizeInBytes())))
                                : 0);
        }
        EXPECT_EQ(int(pictures.size()), ViewCount(type)) << int(type);
    }
}

} // namespace vl
