// The limits walk through the chart pages: the chart's width and height on the Walls/Size
// page and a value series' tick counts on the Axes page, typed by keys at the last values the
// page takes (the first refused stores nothing), saved in every native form and read back as
// typed.

#include "../dialogtest.h"
#include "dialogs/chart/axespage.h"
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

// The chart of the container saved in `form` and opened again, or null.
std::unique_ptr<CWorkbook> Reloaded(std::unique_ptr<CContainer> container, uint8_t form,
                                    const std::string& path) {
    auto book = CreateWorkbook();
    if (!NewWorkbook(*book)) return nullptr;
    LinkContainer(*book->tree.active, std::move(container));
    if (!SaveWorkbookFile(*book, path.c_str(), form)) return nullptr;
    book->stream.Close();
    auto back = CreateWorkbook();
    if (!OpenDocumentFile(*back, path.c_str()) || !OpenWorkbookFile(*back, nullptr)) return nullptr;
    const CContainer* got = back->tree.active->firstContainer;
    return got && got->slots[0].chart ? std::move(back) : nullptr;
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

TEST(ChartAxesWalk, TickCountsTypedAtTheirLimitsComeBackFromEveryForm) {
    dialogtest::FakeUi ui;
    tempfiles::TempFolder dir;
    struct Counts {
        const char *major, *minor;
    } const typed[] = {{"65533", "0"}, {"0", "65533"}, {"4", "17"}};
    const uint8_t forms[] = {kFileXml, kFileXmlCompressed, kFileBinary, kFileBinaryCompressed};
    int n = 0;
    for (const Counts& c : typed) {
        for (const uint8_t form : forms) {
            SCOPED_TRACE(std::string(c.major) + " " + c.minor + " form " + std::to_string(form));
            auto container = charttest::ChartContainer(1, "$A$1:$A$3");
            CChart& chart = *container->slots[0].chart;
            CChartAxesPage page;
            ASSERT_TRUE(page.Exchange(false, &chart, 0));
            // One past the last count taken, in either field: nothing stored, a beep.
            for (const int id : {205, 257}) {
                TypeInto(page.Item<QLineEdit>(205), "0");
                TypeInto(page.Item<QLineEdit>(257), "0");
                TypeInto(page.Item<QLineEdit>(id), "65534");
                EXPECT_FALSE(page.Exchange(true, &chart, 0));
            }
            TypeInto(page.Item<QLineEdit>(205), c.major);
            TypeInto(page.Item<QLineEdit>(257), c.minor);
            ASSERT_TRUE(page.Exchange(true, &chart, 0));
            auto back =
                Reloaded(std::move(container), form, dir.Path("axes" + std::to_string(n++)));
            ASSERT_TRUE(back);
            const SeriesSettings& got =
                back->tree.active->firstContainer->slots[0].chart->series[0].settings;
            EXPECT_EQ(got.periods, std::atoi(c.major) + 1);
            EXPECT_EQ(got.subperiods, std::atoi(c.minor) + 1);
        }
    }
    EXPECT_EQ(ui.beeps, 24);
}

} // namespace vl
