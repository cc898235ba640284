#include "model/workbook.h"
#include "print/pagepaint.h"
#include "rendertest.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>

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
    std::vector<std::string> Texts(uint32_t sheet, const char* fileName = "b.vl") {
        dc_.outputs.clear();
        EXPECT_TRUE(
            PaintPrintPage(Book(), Display(), canvas_, sheet, Sheet(), metrics_, scale_, fileName));
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

// A workbook never saved has no file: the header's name, change date and change time insert
// nothing, while a named file that cannot be examined still gives the time 0.
TEST_F(PagePaintTest, AWorkbookWithoutAFileStampsNothing) {
    PutNumber(0, 0, 1);
    std::strcpy(Page().headerText, "&l[&g|&z|&f]");
    Paginate();
    QTemporaryDir dir;
    const std::string saved = dir.filePath("saved.vl").toStdString();
    std::ofstream(saved) << "x";
    const std::string missing = dir.filePath("missing.vl").toStdString();
    struct Stamp {
        std::string date, time, name;
    };
    auto stamp = [&](const char* file) {
        const auto texts = Texts(0, file);
        const auto header = std::find_if(texts.begin(), texts.end(),
                                         [](const std::string& t) { return t[0] == '['; });
        EXPECT_NE(header, texts.end());
        if (header == texts.end()) return Stamp{};
        const std::string h = header->substr(1, header->size() - 2);
        const size_t a = h.find('|'), b = h.find('|', a + 1);
        return Stamp{h.substr(0, a), h.substr(a + 1, b - a - 1), h.substr(b + 1)};
    };
    for (const char* none : {static_cast<const char*>(nullptr), ""}) {
        const Stamp s = stamp(none);
        EXPECT_EQ(s.date + s.time + s.name, "") << (none ? "empty" : "null");
    }
    const Stamp gone = stamp(missing.c_str());
    EXPECT_FALSE(gone.date.empty());
    EXPECT_FALSE(gone.time.empty());
    EXPECT_EQ(gone.name, missing);
    const Stamp found = stamp(saved.c_str());
    EXPECT_NE(found.date, gone.date); // written now, not at the time 0
    EXPECT_EQ(found.name, saved);
    // Every route hands the path as the file system names it: a folder and a name with
    // letters outside ASCII are found, and the name prints in the code page.
    const std::string folder = dir.filePath("Ordner \xC3\x9C").toStdString();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    const std::string accented = folder + "/\xC3\x9C"
                                          "berblick.vlx";
    std::ofstream(accented) << "x";
    const Stamp letters = stamp(accented.c_str());
    EXPECT_EQ(letters.date, found.date);
    EXPECT_EQ(letters.name, dir.path().toStdString() + "/Ordner \xDC/\xDC"
                                                       "berblick.vlx");
}

// Paper aligns a formula by its value: a number result stands right even while the
// workbook shows its formulas, which the screen shows at the left.
TEST_F(PagePaintTest, PrintedFormulasAlignByTheirValue) {
    PutFormula(0, 0, "40+2", 42);
    PutText(0, 1, "text");
    PutNumber(0, 2, 7.5);
    Page().headerText[0] = 0;
    Paginate();
    struct Case {
        uint8_t showFormulas;
        bool printed;
        uint32_t formula, text, number; // text alignment of each cell
    } cases[] = {
        {0, true, TA_RIGHT, TA_LEFT, TA_RIGHT},
        {1, true, TA_RIGHT, TA_LEFT, TA_RIGHT},
        {0, false, TA_RIGHT, TA_LEFT, TA_RIGHT},
        {1, false, TA_LEFT, TA_LEFT, TA_RIGHT},
    };
    const std::set<std::string> cellTexts{"42", "=40+2", "40+2", "text", "7.5"};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.showFormulas) + (c.printed ? " printed" : " shown"));
        Book().showFormulas = c.showFormulas;
        dc_.outputs.clear();
        if (c.printed)
            Texts(0);
        else
            PaintOn(canvas_, {0, 0, 400, 200}, 0, 0);
        std::vector<uint32_t> aligns;
        for (const auto& o : dc_.outputs)
            if (cellTexts.count(o.text)) aligns.push_back(o.align & TA_CENTER);
        EXPECT_EQ(aligns, (std::vector<uint32_t>{c.formula, c.text, c.number}));
    }
}

// Text running past a page's last column stops at the page's edge: on paper the margin or
// the neighbouring page lies beyond it, alone or four to a sheet.
TEST_F(PagePaintTest, FlowingTextStaysOnItsPage) {
    Sheet().view.showGrid = 0;
    Page().headerText[0] = 0;
    Page().alignment = 0;
    PutNumber(40, 150, 1); // the pages run on beyond the text
    // Four to a sheet first: its page is narrower, so its text stays left of the next one's.
    for (uint8_t perSheet : {2, 1}) {
        SCOPED_TRACE(int(perSheet));
        Page().pagesPerSheetRows = Page().pagesPerSheetColumns = perSheet;
        QImage image = rendertest::WhiteImage(816, 1056);
        auto dc = CDeviceContext::ForImage(image);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        canvas.SetPrintFlags(true, false);
        ZoomPair scale{100, 100};
        ASSERT_TRUE(PaginateSheet(Book(), canvas, Sheet(), metrics_, scale));
        PageRecord first;
        ASSERT_TRUE(GetPageRecord(Book(), 0, first));
        PutText(first.lastColumn, 0, std::string(200, 'W'));
        ASSERT_TRUE(PaginateSheet(Book(), canvas, Sheet(), metrics_, scale));
        ASSERT_TRUE(GetPageRecord(Book(), 0, first));
        PaintPrintPage(Book(), Display(), canvas, 0, Sheet(), metrics_, scale, "");
        canvas.Release();
        // The page's left edge, then the first column right of it and its frame, and where
        // the cell of the next page on the sheet begins.
        const int left = perSheet == 1 ? 0 : std::max(4, scale[0] * 4 / 100);
        const int beyond = left + int(first.width) + 1;
        const int next = perSheet == 1 ? image.width() : 816 / 2 + left;
        ASSERT_LT(beyond, next);
        int inside = 0, outside = 0;
        for (int y = 0; y < int(first.height); ++y)
            for (int x = 0; x < next; ++x)
                if (qGray(image.pixel(x, y)) < 128) ++(x < beyond ? inside : outside);
        EXPECT_GT(inside, 0);
        EXPECT_EQ(outside, 0);
    }
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
        // The lowest bit set of each group counts.
        {3, {10, 20, 59, 59}},
        {5, {10, 20, 59, 59}},
        {7, {10, 20, 59, 59}},
        {6, {35, 20, 84, 59}},
        {24, {10, 20, 59, 59}},
        {40, {10, 20, 59, 59}},
        {56, {10, 20, 59, 59}},
        {48, {10, 100, 59, 139}},
        {18, {35, 100, 84, 139}},
        {36, {61, 181, 110, 220}},
        {64 | 128, {10, 20, 59, 59}}, // bits outside the groups mean nothing
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
