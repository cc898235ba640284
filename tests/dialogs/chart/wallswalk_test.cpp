// The limits walk through the Walls/Size page: the chart's width and height typed by keys at
// the last values the page takes (the first refused stores nothing), saved in every native
// form and read back as typed.

#include "../dialogtest.h"
#include "dialogs/chart/wallspage.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "model/container.h"
#include "model/workbook.h"
#include "tests/charts/chartcontainer.h"
#include "tests/platform/core/tempfiles.h"

#include <QLineEdit>
#include <QTest>

namespace vl {

namespace {

void TypeInto(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

} // namespace

TEST(ChartWallsWalk, SizesTypedAtTheirLimitsComeBackFromEveryForm) {
    dialogtest::FakeUi ui;
    tempfiles::TempFolder dir;
    struct Sizes {
        const char *width, *height;
    } const typed[] = {{"1", "100"}, {"100", "1"}};
    const uint8_t forms[] = {kFileXml, kFileXmlCompressed, kFileBinary, kFileBinaryCompressed};
    int n = 0;
    for (const Sizes& s : typed) {
        for (const uint8_t form : forms) {
            auto book = CreateWorkbook();
            ASSERT_TRUE(NewWorkbook(*book));
            auto container = charttest::ChartContainer(1);
            CChart& chart = *container->slots[0].chart;
            CChartWallsPage page;
            ASSERT_TRUE(page.Exchange(false, &chart, -1));
            // The first value refused beside the last taken: nothing stored, a beep.
            TypeInto(page.Item<QLineEdit>(205), "0");
            EXPECT_FALSE(page.Exchange(true, &chart, -1));
            TypeInto(page.Item<QLineEdit>(205), s.width);
            TypeInto(page.Item<QLineEdit>(257), s.height);
            ASSERT_TRUE(page.Exchange(true, &chart, -1));
            LinkContainer(*book->tree.active, std::move(container));
            const std::string path = dir.Path("walls" + std::to_string(n++));
            ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), form)) << int(form);
            book->stream.Close();
            auto back = CreateWorkbook();
            ASSERT_TRUE(OpenDocumentFile(*back, path.c_str()));
            ASSERT_TRUE(OpenWorkbookFile(*back, nullptr)) << int(form) << " " << int(back->error);
            const CContainer* got = back->tree.active->firstContainer;
            ASSERT_NE(got, nullptr);
            ASSERT_TRUE(got->slots[0].chart);
            EXPECT_EQ(got->slots[0].chart->settings.viewWidth, std::atoi(s.width)) << int(form);
            EXPECT_EQ(got->slots[0].chart->settings.viewHeight, std::atoi(s.height)) << int(form);
        }
    }
    EXPECT_EQ(ui.beeps, 8);
}

} // namespace vl
