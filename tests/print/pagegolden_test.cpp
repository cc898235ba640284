// Printed sheets drawn with real fonts on a small 96-dpi paper and compared with golden
// images: headings, print titles, gridlines on and off, four pages to a sheet, a container.
#include "charts/draw/containerpainter.h"
#include "model/container.h"
#include "print/pagepaint.h"
#include "rendertest.h"

#include <cstring>
#include <string>

namespace vl {

using rendertest::Drawn;
using rendertest::MatchesGolden;

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 300;

class PageGoldenTest : public ::testing::Test, public rendertest::SheetFixture {
protected:
    PageGoldenTest() {
        Sheet().InitPageSetup();
        Sheet().view.showGrid = 1;
        std::strcpy(Settings().headerText, "&lVorlane&rPage &p");
        std::strcpy(Settings().footerText, "&c&f");
        metrics_.pageRight = kWidth - 1;
        metrics_.pageBottom = kHeight - 1;
        metrics_.marginLeft = metrics_.marginRight = 16;
        metrics_.marginTop = metrics_.marginBottom = 28;
        metrics_.headerY = 6;
        metrics_.footerY = kHeight - 6;
        for (uint32_t row = 0; row < 40; ++row) {
            PutText(0, row, "Item " + std::to_string(row + 1));
            for (uint16_t column = 1; column < 8; ++column)
                PutNumber(column, row, row * 10 + column);
        }
    }
    PageSetupRecord& Settings() { return Sheet().pageSetup; }
    // The physical sheet as printed.
    QImage Printed(uint32_t sheetNumber) {
        return Drawn(kWidth, kHeight, [&](CCanvas& canvas) {
            canvas.SetPrintFlags(true, false);
            ZoomPair scale{100, 100};
            ASSERT_TRUE(PaginateSheet(Book(), canvas, Sheet(), metrics_, scale));
            EXPECT_TRUE(PaintPrintPage(Book(), Display(), canvas, sheetNumber, Sheet(), metrics_,
                                       scale, "Budget.vln"));
            FreePageList(Book());
        });
    }

    PrintMetrics metrics_;
};

} // namespace

TEST_F(PageGoldenTest, Headings) {
    EXPECT_TRUE(MatchesGolden(Printed(0), "print_headings"));
}

TEST_F(PageGoldenTest, PrintTitlesOnALaterPage) {
    Sheet().view.freezed = {0, 0, uint8_t(kRefRow | kRefColumn)};
    Settings().rowHeadings = Settings().columnHeadings = 0;
    EXPECT_TRUE(MatchesGolden(Printed(3), "print_titles"));
}

TEST_F(PageGoldenTest, GridlinesOnAndOff) {
    Settings().rowHeadings = Settings().columnHeadings = 0;
    EXPECT_TRUE(MatchesGolden(Printed(0), "print_gridlines_on"));
    Sheet().view.showGrid = 0;
    EXPECT_TRUE(MatchesGolden(Printed(0), "print_gridlines_off"));
}

TEST_F(PageGoldenTest, FourPagesToASheetWithGaps) {
    Settings().pagesPerSheetRows = Settings().pagesPerSheetColumns = 2;
    Settings().alignment = 2 | 16; // centred in each cell
    EXPECT_TRUE(MatchesGolden(Printed(0), "print_2x2"));
}

TEST_F(PageGoldenTest, AContainerPage) {
    auto box = NewBlockObject<CContainer>();
    InitContainerDefaults(*box, nullptr, nullptr);
    box->settings.id = 3;
    box->settings.anchor = {1, 2, 0};
    box->settings.right = 150;
    box->settings.bottom = 90;
    box->settings.background.kind = kBackgroundPattern;
    box->settings.background.pattern = {FORMAT_PAT_SYM_GRAD_VERT, 1, Rgb(40, 90, 200), 1,
                                        Rgb(250, 250, 210)};
    box->settings.border = {FORMAT_LINE_SOLID, 1, Rgb(0, 0, 0)};
    std::strcpy(box->settings.titleText[0], "&cContainer");
    box->settings.titleFont[0].font = rendertest::Font("DejaVu Sans", 9, 2);
    LinkContainer(Sheet(), std::move(box));
    Settings().printRangeKind = kPrintContainer;
    Settings().printedContainer = 3;
    EXPECT_TRUE(MatchesGolden(Printed(0), "print_container"));
}


// At a printer's scale (three printer pixels to a screen pixel) a right-aligned number keeps
// clear of the left-aligned date beside it, a long text flows over the empty cell beside it
// and stops at a filled one, and neither the formula nor the drop-down list is marked.
TEST(PageGolden, NeighboursKeepApartAtAPrintersScale) {
    rendertest::SheetFixture f;
    f.Sheet().InitPageSetup();
    f.Sheet().view.showGrid = 1;
    f.Sheet().pageSetup.headerText[0] = f.Sheet().pageSetup.footerText[0] = 0;
    StyleRecord date;
    date.numberFormat.kind = STD_STYLE_DATE;
    date.horizontalAlignment = kAlignLeft;
    const uint16_t dated = f.AddStyle(date);
    StyleRecord listed;
    listed.dropDownList = 1;
    const uint16_t list = f.AddStyle(listed);
    f.PutNumber(0, 0, 5);
    f.PutText(1, 0, "2024-01-15"); // dates are stored as their ISO text
    f.SetStyle(1, 0, dated);
    f.PutNumber(0, 1, 123456);
    f.PutText(1, 1, "2024-01-16");
    f.SetStyle(1, 1, dated);
    f.PutText(0, 2, "A long text over the empty cell beside it");
    f.PutText(2, 2, "Next");
    f.PutFormula(2, 0, "=A1+1", 6);
    f.SetStyle(2, 1, list);
    PrintMetrics m;
    m.pageRight = 899;
    m.pageBottom = 259;
    m.marginLeft = m.marginRight = m.marginTop = m.marginBottom = 10;
    const QImage printed = Drawn(900, 260, [&](CCanvas& canvas) {
        canvas.SetPrintFlags(true, false);
        ZoomPair scale{300, 300};
        ASSERT_TRUE(PaginateSheet(f.Book(), canvas, f.Sheet(), m, scale));
        EXPECT_TRUE(PaintPrintPage(f.Book(), f.Display(), canvas, 0, f.Sheet(), m, scale));
        FreePageList(f.Book());
    });
    EXPECT_TRUE(MatchesGolden(printed, "print_neighbours"));
}

} // namespace vl
