// Charts of a document loaded through the Workbook object are refreshed from their range
// formulas by the refresh the program installs.

#include "automationtestutil.h"
#include "charts/seriesdata.h"
#include "core/settings.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "tests/charts/chartcontainer.h"

#include <cstring>
#include <iterator>
#include <tuple>

namespace vl {

namespace {

class ChartFilesTest : public autotest::AutomationTest {};

TEST_F(ChartFilesTest, ALoadedDocumentHasItsChartsRefreshed) {
    NewDocument();
    PutNumber("$A$1", 4);
    PutNumber("$A$2", 9);
    auto c = charttest::ChartContainer(1, "R1C1:R2C1");
    LinkContainer(*Doc().tree.active, std::move(c));
    const std::string path = folder.Path("chart.vln");
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    Doc().stream.Close();
    InstallChartRefresh();
    std::shared_ptr<CWorkbookObj> other;
    ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
    const HRESULT loaded = other->Load(CBstr(path), CBstr(), 0, nullptr, nullptr);
    SetChartRefresh(nullptr);
    ASSERT_EQ(loaded, S_OK);
    CContainer* read = other->Document().tree.active->firstContainer;
    ASSERT_TRUE(read && read->slots[0].chart);
    const CChartSeries& s = read->slots[0].chart->series[0];
    EXPECT_EQ(std::tuple(read->slots[0].chart->flags & kChartScalesValid, s.points.ItemCount(),
                         s.minimum, s.maximum),
              std::tuple(1, 2u, 0.0, 10.0));
}

// The labels a value series shows on its data points come back from every file form, in every
// chart kind that draws them: the flat kinds, the XY chart's, and the 3D pie.
TEST_F(ChartFilesTest, DataPointLabelsComeBackFromEveryForm) {
    struct Kind {
        uint8_t type;
        uint8_t kind;
    } const kinds[] = {{kChart2D, 1}, {kChart2D, 2}, {kChart2D, 3}, {kChart2D, 4},
                       {kChart2D, 5}, {kChart2D, 6}, {kChartXY, 6}, {kChart3D, 11}};
    NewDocument();
    PutNumber("$A$1", 4);
    PutNumber("$A$2", 9);
    auto c = charttest::ChartContainer(int(std::size(kinds)));
    for (std::size_t k = 0; k < std::size(kinds); ++k) {
        c->slots[k].chart = NewBlockObject<CChart>(kinds[k].type);
        CChart& chart = *c->slots[k].chart;
        chart.settings.seriesCount = 1;
        chart.series[0].settings.role = 1;
        std::strcpy(chart.series[0].settings.dataArray, "R1C1:R2C1");
        chart.series[0].settings.kind = kinds[k].kind;
        chart.series[0].settings.visible = 1;
        // Every labels code but "None", so that a form keeping one code only fails.
        chart.series[0].settings.labels = uint8_t(1 + k % 4);
    }
    LinkContainer(*Doc().tree.active, std::move(c));
    for (const uint8_t form :
         {kFormatXml, kFormatXmlCompressed, kFormatBinary, kFormatBinaryCompressed}) {
        const std::string path = folder.Path("labels" + std::to_string(form) + ".vln");
        Doc().fileKind = form;
        ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << int(form);
        ASSERT_EQ(Doc().fileKind, form);
        Doc().stream.Close();
        std::shared_ptr<CWorkbookObj> other;
        ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
        ASSERT_EQ(other->Load(CBstr(path), CBstr(), 0, nullptr, nullptr), S_OK) << int(form);
        const CContainer* read = other->Document().tree.active->firstContainer;
        ASSERT_TRUE(read) << int(form);
        for (std::size_t k = 0; k < std::size(kinds); ++k) {
            const CChart* chart = read->slots[k].chart.get();
            ASSERT_TRUE(chart) << int(form) << " chart " << k;
            EXPECT_EQ(std::tuple(chart->settings.type, chart->series[0].settings.kind,
                                 chart->series[0].settings.labels),
                      std::tuple(kinds[k].type, kinds[k].kind, uint8_t(1 + k % 4)))
                << int(form) << " chart " << k;
        }
    }
}

} // namespace
} // namespace vl
