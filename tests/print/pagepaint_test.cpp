#include "model/workbook.h"
#include "print/pagepaint.h"
#include "rendertest.h"

#include <algorithm>
#include <cstring>

namespace vl {

using rendertest::FixedSheetTest;

namespace {

class PagePaintTest : public FixedSheetTest {
protected:
    PagePaintTest() {
        Sheet().InitPageSetup();
        Page().rowHeadings = Page().columnHeadings = 0;
        std::strcpy(Page().headerText, "&c&p");
        Page().footerText[0] = 0;
        metrics_.pageRight = 815;
        metrics_.pageBottom = 1055;
        metrics_.headerY = 5;
        metrics_.footerY = 1050;
    }
    PageSetupRecord& Page() { return Sheet().pageSetup; }
    // Five pages of 55 rows at one to a sheet.
    void FivePages() {
        for (uint32_t row = 0; row < 5 * 55; ++row) PutNumber(0, row, row);
    }
    void Paginate() {
        ZoomPair scale{100, 100};
        ASSERT_TRUE(PaginateSheet(Book(), canvas_, Sheet(), metrics_, scale));
        scale_ = scale;
    }
    // The texts drawn while painting the sheet.
    std::vector<std::string> Texts(uint32_t sheet) {
        dc_.outputs.clear();
        EXPECT_TRUE(
            PaintPrintPage(Book(), Display(), canvas_, sheet, Sheet(), metrics_, scale_, "b.vl"));
        std::vector<std::string> texts;
        for (const auto& o : dc_.outputs) texts.push_back(o.text);
        return texts;
    }
    bool Drew(uint32_t sheet, const std::string& text) {
        const auto texts = Texts(sheet);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    PrintMetrics metrics_;
    ZoomPair scale_{100, 100};
};

} // namespace

TEST_F(PagePaintTest, PagesFallOnSheetsInReadingOrder) {
    FivePages();
    Page().pagesPerSheetRows = Page().pagesPerSheetColumns = 2;
    Paginate();
    EXPECT_EQ(PagesOnSheet(Book(), Page(), 0), (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(PagesOnSheet(Book(), Page(), 1), (std::vector<uint32_t>{5}));
    EXPECT_TRUE(PagesOnSheet(Book(), Page(), 2).empty());
    EXPECT_TRUE(Drew(1, "5"));   // the header's page list
    EXPECT_TRUE(Drew(1, "220")); // the first row of page 5
    EXPECT_FALSE(Drew(1, "219"));
    EXPECT_TRUE(Drew(0, "1, 2, 3, 4"));

    // A page list: each sheet shows its record and the header its position in the list.
    Page().pagesPerSheetRows = Page().pagesPerSheetColumns = 1;
    Page().printRangeKind = kPrintPageList;
    std::strcpy(Page().pages, "2-3");
    Paginate();
    EXPECT_EQ(PagesOnSheet(Book(), Page(), 0), (std::vector<uint32_t>{2}));
    EXPECT_EQ(PagesOnSheet(Book(), Page(), 1), (std::vector<uint32_t>{3}));
    EXPECT_TRUE(Drew(0, "2"));
    EXPECT_TRUE(Drew(0, "55"));
    EXPECT_FALSE(Drew(0, "0"));
    // Past the last sheet only the header and footer remain.
    const auto texts = Texts(5);
    EXPECT_EQ(texts.size(), 0u); // "&p" with no page prints nothing
}

TEST_F(PagePaintTest, ExcludedRowsLeaveNoGap) {
    for (uint32_t row = 0; row < 6; ++row) PutNumber(0, row, row + 100);
    std::strcpy(Page().excludedRows, "2-4");
    Page().headerText[0] = 0;
    Paginate();
    Texts(0);
    std::vector<std::pair<std::string, int32_t>> rows;
    for (const auto& o : dc_.outputs) rows.push_back({o.text, o.y});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].first, "100");
    EXPECT_EQ(rows[1].first, "104");
    EXPECT_EQ(rows[2].first, "105");
    EXPECT_EQ(rows[1].second - rows[0].second, 19); // the next printed row follows directly
}

TEST(PagePlacement, AlignmentInTheCell) {
    const DcRect cell{10, 20, 110, 220}; // 101 x 201 pixels
    struct Case {
        uint8_t alignment;
        DcRect placed;
    };
    const Case cases[] = {
        {0, {10, 20, 59, 59}},
        {2, {35, 20, 84, 59}}, // 51 pixels spare: 25 left, the odd 26th right
        {4, {61, 20, 110, 59}},
        {16, {10, 100, 59, 139}}, // 161 spare: 80 above, 81 below
        {32, {10, 181, 59, 220}},
    };
    for (const Case& c : cases) {
        const DcRect r = PlacePage(cell, 50, 40, c.alignment);
        EXPECT_EQ(r.left, c.placed.left) << int(c.alignment);
        EXPECT_EQ(r.top, c.placed.top) << int(c.alignment);
        EXPECT_EQ(r.right, c.placed.right) << int(c.alignment);
        EXPECT_EQ(r.bottom, c.placed.bottom) << int(c.alignment);
    }
}

TEST(PagePlacement, DocumentPathThroughFolders) {
    auto book = CreateWorkbook();
    book->AppendTreeItem(TREE_TYPE_FOLDER, "Outer", 1);
    book->AppendTreeItem(TREE_TYPE_FOLDER, "Inner", 2);
    CWorksheet* nested = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet", 3));
    CWorksheet* top = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Top", 1));
    ASSERT_TRUE(nested && top);
    EXPECT_EQ(DocumentPathText(*book, *nested), "\\Outer\\Inner\\Sheet");
    EXPECT_EQ(DocumentPathText(*book, *top), "\\Top");
}

} // namespace vl
