// A chart whose data cannot be read, as after the worksheet it names was renamed: the edit
// that refreshes it tells the user once; zooming and repainting keep the failure in the
// chart's and the container's error byte without a message.

#include "charts/seriesdata.h"
#include "dialogs/chart/containeredit.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <cstring>

namespace vl {

namespace {

class ChartFailure : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        InstallChartRefresh();
    }
    void TearDown() override {
        SetChartRefresh(nullptr);
        WindowTest::TearDown();
    }
    // A chart over C2:F8 of one series reading the three cells the formula names.
    CContainer& AddChart(const char* data) {
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = 1;
        c->settings.anchor = {2, 1, 0};
        c->settings.right = 299;
        c->settings.bottom = 149;
        EXPECT_EQ(AddChartObject(*c, kChart2D), 0);
        CChart& chart = *c->slots[0].chart;
        AddChartSeries(chart);
        chart.series[0].settings.role = 1;
        std::strcpy(chart.series[0].settings.dataArray, data);
        CContainer& ref = *c;
        LinkContainer(*Book().tree.active, std::move(c));
        return ref;
    }
    size_t ChartMessages() const {
        const QString text = QString::fromLatin1(GetErrorMessage(kErrorChartArray));
        size_t n = 0;
        for (const auto& box : ui.boxes) n += box.text == text;
        return n;
    }
};

TEST_F(ChartFailure, OnlyAnEditThatRefreshesTheChartTellsItsFailure) {
    for (uint32_t r = 0; r < 3; ++r) Enter(0, r, QString::number(r + 1));
    CContainer& c = AddChart("=\\Renamed!R1C1:R3C1");
    CChart& chart = *c.slots[0].chart;
    Enter(0, 3, QStringLiteral("4")); // an edit refreshes the chart
    ASSERT_EQ(ChartMessages(), 1u);
    EXPECT_EQ(chart.error, kErrorChartArray);
    for (uint16_t zoom : {150, 50, 100}) {
        frame->OnCommand(ID_ZOOM);
        ASSERT_TRUE(ui.zoomApply);
        ui.zoomApply(zoom, false);
        Settle();
        View()->InvalidateAll();
        View()->Render();
        EXPECT_EQ(ChartMessages(), 1u) << zoom;
        EXPECT_EQ(chart.error, kErrorChartArray) << zoom;
        EXPECT_EQ(c.status, kErrorChartArray) << zoom;
    }
    // The next edit refreshes the chart again, and fails again.
    Enter(0, 4, QStringLiteral("5"));
    EXPECT_EQ(ChartMessages(), 2u);
    // Once the name is right again, the chart draws and nothing more is told.
    std::strcpy(chart.series[0].settings.dataArray, "=\\Worksheet1!R1C1:R3C1");
    Enter(0, 5, QStringLiteral("6"));
    EXPECT_EQ(ChartMessages(), 2u);
    EXPECT_EQ(chart.error, kErrorNone);
}

} // namespace

} // namespace vl
