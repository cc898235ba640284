// Charts of a document loaded through the Workbook object are refreshed from their range
// formulas by the refresh the program installs.

#include "automationtestutil.h"
#include "charts/seriesdata.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "tests/charts/chartcontainer.h"

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

} // namespace
} // namespace vl
