#pragma once
// A fixture for the window tests of containers: a new window whose chart refreshes are
// counted in `refreshes` instead of drawn.

#include "formula/recalc.h"
#include "wndtest.h"

namespace vl::wndtest {

class ContainerTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        refreshes = 0;
        SetChartRefresh(CountRefresh);
    }
    void TearDown() override {
        SetChartRefresh(nullptr);
        WindowTest::TearDown();
    }

    static inline int refreshes = 0;

private:
    static bool CountRefresh(CWorkbook&, CTreeItem&, CContainer&) {
        ++refreshes;
        return true;
    }
};

} // namespace vl::wndtest
