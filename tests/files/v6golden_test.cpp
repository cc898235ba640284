// The golden version-6 files of tests/data/v6, loaded and compared field by field with
// what their records say, and the malformed files of tests/data/v6/bad.

#include "model/container.h"
#include "platform/core/alloc.h"
#include "v6fixtures.h"
#include "v6load.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace vl {

using namespace v6test;

namespace {

std::string DataPath(const std::string& name) {
    return std::string(VORLANE_TEST_DATA) + "/v6/" + name;
}

class V6Golden : public ::testing::Test {
protected:
    void SetUp() override {
        load_ = LoadV6DataFile(DataPath("book.vlb"));
        ASSERT_TRUE(load_.ok) << int(load_.book->error);
        sheet_ = SheetNamed(*load_.book, "Sheet1");
        ASSERT_NE(sheet_, nullptr);
    }
    CWorkbook& Book() { return *load_.book; }
    CContainer* ContainerAt(int n) {
        CContainer* c = sheet_->firstContainer;
        for (int i = 0; c && i < n; ++i) c = c->next;
        return c;
    }

    NotationScope notation_{'.', ',', true};
    V6Load load_;
    CWorksheet* sheet_ = nullptr;
};

void ExpectFont(const FontRecord& f, const char* face, int size, int weight, int family,
                int charSet) {
    EXPECT_STREQ(f.faceName, face);
    EXPECT_EQ(f.size, size) << face;
    EXPECT_EQ(f.weight, weight) << face;
    EXPECT_EQ(f.family, family) << face;
    EXPECT_EQ(f.charSet, charSet) << face;
}

} // namespace

// The committed files are what the writer gives; with VORLANE_WRITE_V6_FIXTURES set the
// test writes them instead.
TEST(V6Fixtures, WriterGivesTheCommittedFiles) {
    const bool write = std::getenv("VORLANE_WRITE_V6_FIXTURES") != nullptr;
    std::set<std::string> bad;
    for (const V6BadFixture& f : BadFiles()) bad.insert(f.name);
    if (write) std::filesystem::create_directories(DataPath("bad"));
    for (const V6Fixture& f : GoldenFiles()) {
        const Bytes bytes = WriteV6File(f.file).data;
        if (write) tempfiles::WriteBytes(DataPath(f.name), bytes);
        EXPECT_EQ(tempfiles::ReadBytes(DataPath(f.name)), bytes) << f.name;
    }
    for (const V6BadFixture& f : BadFiles()) {
        if (write) tempfiles::WriteBytes(DataPath("bad/" + f.name), f.bytes);
        EXPECT_EQ(tempfiles::ReadBytes(DataPath("bad/" + f.name)), f.bytes) << f.name;
    }
    for (const auto& entry : std::filesystem::directory_iterator(DataPath("bad")))
        EXPECT_TRUE(bad.count(entry.path().filename().string())) << entry.path();
}

TEST_F(V6Golden, ListsKeepTheirEntriesAndEmptyListsTheirNumber) {
    const DropDownListRecord* lists = Book().dropDownLists;
    EXPECT_EQ(lists[0].entries, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_STREQ(lists[0].name, "");
    EXPECT_STREQ(lists[3].name, "List 3.");
    EXPECT_TRUE(lists[3].entries.empty());
    EXPECT_EQ(lists[99].entries, (std::vector<std::string>{"x", "y", "z"}));
    int used = 0;
    for (int i = 0; i < kDropDownLists; ++i) used += DropDownListInUse(lists[i]);
    EXPECT_EQ(used, 3);
}

TEST_F(V6Golden, FontsConvertFromTheOlderRecords) {
    const StyleTables& t = Book().styles;
    ASSERT_EQ(t.fontCount, 3);
    ExpectFont(t.fonts[1], "Arial", 10, 2, 0, 1);
    EXPECT_EQ(t.fonts[1].italic, 1);
    ExpectFont(t.fonts[2], "Times New Roman", 12, 3, 3, 4);
    EXPECT_EQ(t.fonts[2].underline, 1);
    EXPECT_EQ(t.fonts[2].strikeout, 1);
}

TEST_F(V6Golden, StylesConvertFromTheOlderRecords) {
    const StyleRecord* s = Book().styles.styles;
    ASSERT_EQ(Book().styles.styleCount, 20);
    EXPECT_EQ(s[1].fontRef.fontIndex, 2);
    EXPECT_EQ(s[1].fontRef.color, 0x112233u);
    EXPECT_EQ(s[1].fontRef.colorGiven, 1);
    EXPECT_EQ(s[1].numberFormat.kind, STD_STYLE_DEFAULT);
    EXPECT_EQ(s[2].numberFormat.kind, STD_STYLE_CURRENCY);
    EXPECT_STREQ(reinterpret_cast<const char*>(s[2].numberFormat.params), "EUR");
    EXPECT_EQ(s[2].numberFormat.params[fmtparam::kCurrencyDecimals], 2);
    EXPECT_EQ(s[3].numberFormat.params[fmtparam::kCurrencyDecimals], 3);
    EXPECT_EQ(s[4].numberFormat.kind, STD_STYLE_PERCENTAGE);
    EXPECT_EQ(s[4].numberFormat.params[fmtparam::kDecimals], 14);
    EXPECT_EQ(s[5].numberFormat.kind, STD_STYLE_DATE);
    EXPECT_EQ(s[6].numberFormat.kind, STD_STYLE_GENERAL);
    EXPECT_EQ(s[6].numberFormat.params[fmtparam::kDecimals], 4);
    EXPECT_EQ(s[6].numberFormat.params[fmtparam::kThousands], 1);
    EXPECT_EQ(s[7].horizontalAlignment, 1);
    EXPECT_EQ(s[7].verticalAlignment, 4);
    EXPECT_EQ(s[7].wrapText + s[7].isProtected, 2);
    EXPECT_EQ(s[8].horizontalAlignment, 2);
    EXPECT_EQ(s[8].verticalAlignment, 7);
    EXPECT_EQ(s[9].borderSides, 15);
    EXPECT_EQ(s[9].borderLine.style, FORMAT_LINE_DOUBLE);
    EXPECT_EQ(s[10].borderSides, kBorderTop | kBorderLeft);
    EXPECT_EQ(s[10].borderLine.style, FORMAT_LINE_DASH);
    EXPECT_EQ(s[11].borderSides, kBorderRight);
    EXPECT_EQ(s[11].borderLine.style, s[0].borderLine.style);
    EXPECT_EQ(s[12].fill.pattern, FORMAT_PAT_DSTRIPE);
    EXPECT_EQ(s[12].fill.patternColor, Rgb(0, 0, 255));
    EXPECT_EQ(s[12].fill.backgroundColor, Rgb(0, 0, 255));
    EXPECT_EQ(s[13].fill.pattern, FORMAT_PAT_SOLID);
    EXPECT_EQ(s[14].dropDownList, 42);
    EXPECT_EQ(s[15].dropDownList, 0);
    for (int i : {16, 17, 18}) EXPECT_EQ(s[i].fontRef.fontIndex, 0) << i;
    EXPECT_EQ(s[19].horizontalAlignment, 3);
}

TEST_F(V6Golden, TreeItemsKeepNamesLevelsAndFlags) {
    struct Item {
        const char* name;
        uint8_t type;
        uint16_t level;
        uint8_t expanded;
    } expected[] = {{"Charts", TREE_TYPE_FOLDER, 1, 1},
                    {"Sheet1", TREE_TYPE_WORKSHEET, 2, 0},
                    {"Narrow", TREE_TYPE_WORKSHEET, 1, 0},
                    {"Empty", TREE_TYPE_FOLDER, 1, 0},
                    {"Blank", TREE_TYPE_WORKSHEET, 1, 0}};
    const CTreeItem* item = Book().tree.first;
    for (const Item& e : expected) {
        ASSERT_NE(item, nullptr);
        EXPECT_STREQ(item->name, e.name);
        EXPECT_EQ(item->itemType, e.type) << e.name;
        EXPECT_EQ(item->level, e.level) << e.name;
        EXPECT_EQ(item->expanded, e.expanded) << e.name;
        item = item->next;
    }
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(Book().tree.active, sheet_);
    EXPECT_EQ(Book().tree.worksheetCount, 3u);
    EXPECT_EQ(Book().tree.folderCount, 2u);
}

TEST_F(V6Golden, ObjectsBecomeContainersCountingDown) {
    struct Expected {
        uint16_t id;
        int32_t left, top, right, bottom;
        uint8_t background;
        uint8_t objects;
    } expected[] = {{6, 10, 20, 110, 70, 1, 0}, {5, 0, 0, 100, 50, 1, 1}, {4, 0, 0, 100, 50, 3, 0},
                    {3, 0, 0, 100, 50, 2, 0},   {2, 0, 0, 100, 50, 1, 0}, {1, 0, 0, 100, 50, 1, 1}};
    const CContainer* c = sheet_->firstContainer;
    for (const Expected& e : expected) {
        ASSERT_NE(c, nullptr);
        const ContainerSettings& s = c->settings;
        EXPECT_EQ(s.id, e.id);
        EXPECT_EQ(s.left, e.left) << e.id;
        EXPECT_EQ(s.top, e.top) << e.id;
        EXPECT_EQ(s.right, e.right) << e.id;
        EXPECT_EQ(s.bottom, e.bottom) << e.id;
        EXPECT_EQ(s.background.kind, e.background) << e.id;
        EXPECT_EQ(s.objectCount, e.objects) << e.id;
        EXPECT_EQ(s.anchor.flags, kRefCell) << e.id;
        c = c->next;
    }
    EXPECT_EQ(c, nullptr);
}

TEST_F(V6Golden, TextObjectsCarryTitleAndBackground) {
    const ContainerSettings& plain = ContainerAt(0)->settings;
    EXPECT_EQ(plain.anchor.column, 2);
    EXPECT_EQ(plain.anchor.row, 5u);
    EXPECT_STREQ(plain.titleText[0], "Hello");
    ExpectFont(plain.titleFont[0].font, "Arial", 12, 2, 0, 1);
    EXPECT_EQ(plain.titleFont[0].color, 0x0000FFu);
    EXPECT_EQ(plain.titleFont[0].colorGiven, 1);
    EXPECT_EQ(plain.background.pattern.pattern, FORMAT_PAT_SOLID);
    EXPECT_EQ(plain.background.pattern.patternColor, 0x00FF00u);
    EXPECT_EQ(plain.background.pattern.backgroundColor, 0x00FF00u);
    EXPECT_EQ(plain.background.pattern.backgroundColorGiven, 1);
    const ContainerSettings& fractal = ContainerAt(2)->settings;
    EXPECT_EQ(std::string(fractal.titleText[0]), std::string(127, 'x'));
    const BackgroundRecord& f = fractal.background;
    EXPECT_EQ(f.zr, 0.25);
    EXPECT_EQ(f.zi, -0.5);
    EXPECT_EQ(f.minX, -2);
    EXPECT_EQ(f.maxX, 1);
    EXPECT_EQ(f.minY, -1.5);
    EXPECT_EQ(f.maxY, 1.5);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(f.fractalColors[i], 0x010101u * uint32_t(i));
    const BackgroundRecord& named = ContainerAt(3)->settings.background;
    EXPECT_STREQ(named.imagePath, "back.png");
    EXPECT_EQ(named.imageView, 0);
    // Embedded image data is passed over: the background keeps the defaults.
    CContainer defaults;
    InitContainerDefaults(defaults, nullptr, nullptr);
    const BackgroundRecord& embedded = ContainerAt(4)->settings.background;
    EXPECT_EQ(embedded.pattern.patternColor, defaults.settings.background.pattern.patternColor);
    EXPECT_STREQ(embedded.imagePath, "");
}

TEST_F(V6Golden, ChartRecordBecomesSettingsAndSeries) {
    const CContainer& box = *ContainerAt(1);
    EXPECT_EQ(box.settings.background.pattern.patternColor, 0xABCDEFu);
    EXPECT_EQ(box.settings.background.pattern.patternColorGiven, 1);
    ASSERT_EQ(box.slots[0].kind, kObjectChart);
    const CChart& chart = *box.slots[0].chart;
    const ChartSettings& s = chart.settings;
    EXPECT_EQ(s.type, kChart3D);
    EXPECT_EQ(s.legendCode, 8);
    ExpectFont(s.legendFont.font, "Symbol", 6, 3, 5, 6);
    EXPECT_STREQ(s.titleText[0], "Sales");
    ExpectFont(s.titleFont[0].font, "Georgia", 15, 2, 3, 1);
    EXPECT_STREQ(s.titleText[1], "by region");
    EXPECT_EQ(s.titleFont[1].color, 0x00FF00u);
    EXPECT_EQ(s.planeXY, 0);
    EXPECT_EQ(s.planeXZ + s.planeYZ, 2);
    EXPECT_EQ(s.planeFill.patternColor, 0x123456u);
    ASSERT_EQ(s.seriesCount, 4);
    const SeriesSettings& category = chart.series[0].settings;
    EXPECT_STREQ(category.name, "series 1");
    EXPECT_STREQ(category.dataArray, "=r2c0:r4c0");
    EXPECT_EQ(category.role, 3);
    EXPECT_EQ(category.kind, 0);
    EXPECT_EQ(category.fromValue, -1.5);
    EXPECT_EQ(category.toValue, 9.5);
    EXPECT_EQ(category.rangeFlags, kFromValueGiven | kToValueGiven);
    EXPECT_EQ(category.axisFlags & 0x13, 0x11);
    ExpectFont(category.axisFont.font, "Tahoma", 9, 2, 1, 1);
    const char* ranges[] = {"=r2c1:r2c5", "=r3c1:r3c5", "=r4c1:r4c5"};
    for (int i = 1; i < 4; ++i) {
        const SeriesSettings& v = chart.series[i].settings;
        EXPECT_STREQ(v.name, ("series " + std::to_string(i + 1)).c_str());
        EXPECT_STREQ(v.dataArray, ranges[i - 1]);
        EXPECT_EQ(v.kind, 8) << i;
        EXPECT_EQ(v.role, 1) << i;
        EXPECT_EQ(v.fill.patternColor, 0x100000u * uint32_t(i - 1) + 0x33) << i;
        EXPECT_EQ(v.fromValue, -(i - 1)) << i;
        EXPECT_EQ(v.toValue, 100 + i - 1) << i;
        EXPECT_EQ(v.periods, 7) << i;
        EXPECT_EQ(v.axisFlags & 0x13, 0x12) << i;
        ExpectFont(v.axisFont.font, "Verdana", 8, 1, 2, 12);
    }
    for (int i = 0; i < 4; ++i) {
        const SeriesSettings& v = chart.series[i].settings;
        EXPECT_EQ(v.majorGrid.style, FORMAT_LINE_DASH_DOT) << i;
        EXPECT_EQ(v.majorGrid.color, 0x0A0B0Cu) << i;
        EXPECT_EQ(v.minorGrid.style, FORMAT_LINE_DASH_DOTDOT) << i;
    }
    const CContainer& xyBox = *ContainerAt(5);
    EXPECT_EQ(xyBox.settings.anchor.column, 2046);
    EXPECT_EQ(xyBox.settings.anchor.row, 2097151u);
    const CChart& xy = *xyBox.slots[0].chart;
    EXPECT_EQ(xy.settings.type, kChartXY);
    EXPECT_EQ(xy.settings.seriesCount, 1);
    EXPECT_EQ(xy.series[0].settings.role, 2);
    EXPECT_EQ(xy.series[0].settings.periods, 12);
    EXPECT_EQ(xy.settings.legendCode, 0);
}

TEST_F(V6Golden, PageSetupTakesFlagsTextsAndMeasures) {
    const PageSetupRecord& p = sheet_->pageSetup;
    EXPECT_STREQ(p.paperName, "Letter");
    EXPECT_EQ(p.printRangeKind, kPrintPageList);
    EXPECT_STREQ(p.pages, "1-3,5");
    EXPECT_EQ(p.printRange.kind, kRefCell);
    EXPECT_EQ(p.collate + p.backToFront + p.fitToSheetSize + p.onFirstPage, 4);
    EXPECT_EQ(p.rowHeadings + p.columnHeadings, 2);
    EXPECT_EQ(p.alignment, 18);
    EXPECT_EQ(sheet_->view.showGrid, 1);
    ExpectFont(p.headerFont.font, "Courier New", 8, 0, 0, 10);
    EXPECT_EQ(p.headerFont.color, 0x00AA00u);
    EXPECT_STREQ(p.headerText, "Head &p");
    EXPECT_STREQ(p.footerText, "Foot");
    EXPECT_EQ(p.headerDistance, 15);
    EXPECT_EQ(p.footerDistance, 25);
    EXPECT_EQ(p.marginLeft, 10);
    EXPECT_EQ(p.marginTop, 20);
    EXPECT_EQ(p.marginRight, 30);
    EXPECT_EQ(p.marginBottom, 40);
    EXPECT_EQ(p.pagesPerSheetRows, 3);
    EXPECT_EQ(p.pagesPerSheetColumns, 2);
    // Without a page setup every field the record would set is set from zeros.
    const CWorksheet& narrow = *SheetNamed(Book(), "Narrow");
    EXPECT_STREQ(narrow.pageSetup.paperName, "A4");
    EXPECT_EQ(narrow.view.showGrid, 0);
    EXPECT_STREQ(narrow.pageSetup.headerText, "");
    EXPECT_EQ(narrow.pageSetup.marginTop, 0);
    EXPECT_EQ(narrow.pageSetup.onFirstPage, 0);
    EXPECT_EQ(narrow.pageSetup.pagesPerSheetRows, 1);
    // A worksheet of the header alone keeps every default.
    EXPECT_STREQ(SheetNamed(Book(), "Blank")->pageSetup.headerText, "&c Document: &f");
}

TEST_F(V6Golden, TablesSetWidthsHeightsStylesAndRuns) {
    const CFormatStore& f = sheet_->formats;
    const uint16_t widths[] = {0, 0, 0, 200, 200, 0};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(f.columns[c].width, widths[c]) << c;
    const uint16_t styles[] = {0, 2, 0, 0};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(f.columns[c].style, styles[c]) << c;
    CPagedList& heights = const_cast<CPagedList&>(f.rowHeights);
    ASSERT_EQ(heights.ItemCount(), 7u);
    for (uint32_t r = 0; r < 7; ++r) EXPECT_EQ(*heights.GetItem2(r), r >= 5 ? 60 : 0) << r;
    std::vector<std::vector<int>> runs;
    CellCursor cursor{kAdvance, f.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun r = LoadFormatRun(p);
        runs.push_back({int(r.row), r.firstColumn, r.lastColumn, r.style});
    }
    const std::vector<std::vector<int>> expected = {{1, 0, 3, 1}, {1, 5, 6, 2},  {2, 0, 3, 1},
                                                    {2, 5, 6, 2}, {10, 1, 1, 3}, {11, 1, 1, 3},
                                                    {12, 1, 1, 3}};
    EXPECT_EQ(runs, expected);
}

TEST_F(V6Golden, CellsOfEachType) {
    CCellStore& cells = sheet_->cells;
    EXPECT_EQ(cell::Text(FindCell(cells, 0, 0)), "hello");
    EXPECT_EQ(cell::Number(FindCell(cells, 0, 1)), 2.5);
    const uint8_t* sum = FindCell(cells, 2, 0);
    ASSERT_TRUE(sum && cell::IsFormula(sum));
    EXPECT_EQ(cell::Formula(sum), "=SUM(R[-2]C:R[-1]C)");
    EXPECT_EQ(cell::CachedNumber(sum), 4);
    EXPECT_EQ(cell::ResultFlags(sum), kResultNumber);
    EXPECT_EQ(cell::ArrayWidth(sum) + cell::ArrayHeight(sum), 0u);
    EXPECT_EQ(cell::Formula(FindCell(cells, 2, 1)), "=R[-2]C[-1]*2");
    const uint8_t* long_ = FindCell(cells, 2, 2);
    ASSERT_TRUE(long_ && cell::IsText(long_));
    EXPECT_EQ(cell::TextLength(long_), 1202);
    EXPECT_EQ(cell::Text(long_).substr(0, 4), "=1+1");
    EXPECT_EQ(FindCell(cells, 2, 3), nullptr);
    EXPECT_EQ(cell::Text(FindCell(cells, 2, 4)), "high bits");
    EXPECT_EQ(cell::Text(FindCell(cells, 3, 0)), std::string(kMaxCellText, 'y'));
    CWorksheet& narrow = *SheetNamed(Book(), "Narrow");
    EXPECT_EQ(cell::Number(FindCell(narrow.cells, 0, 0)), 7);
    EXPECT_EQ(cell::Text(FindCell(narrow.cells, 65535, 1)), "far");
}

TEST(V6GoldenStyles, SixHundredStylesGiveStyleZeroAnd511) {
    NotationScope notation('.', ',', true);
    V6Load load = LoadV6DataFile(DataPath("styles600.vlb"));
    ASSERT_TRUE(load.ok);
    const StyleTables& t = load.book->styles;
    EXPECT_EQ(t.styleCount, kMaxStyles);
    EXPECT_EQ(t.fontCount, kMaxFonts);
    EXPECT_EQ(t.styles[511].numberFormat.kind, STD_STYLE_GENERAL);
    EXPECT_EQ(t.styles[511].numberFormat.params[fmtparam::kDecimals], 511 % 15);
    EXPECT_EQ(t.styles[511].fontRef.fontIndex, 511 % 3);
    ExpectFont(t.fonts[127], "Face127", 95, 0, 0, 1);
    EXPECT_EQ(load.book->tree.worksheetCount, 1u);
}

// Every malformed file fails with its code and leaves no block behind.
TEST(V6Bad, EachFileFailsWithItsCode) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DataPath("bad"))) {
        const std::string name = entry.path().filename().string();
        const int code = std::atoi(name.c_str() + 1);
        const long blocks = LiveBlockCount();
        {
            V6Load load = LoadV6DataFile(entry.path().string());
            EXPECT_FALSE(load.ok) << name;
            EXPECT_EQ(load.book->error, code) << name;
        }
        EXPECT_EQ(LiveBlockCount(), blocks) << name;
        ++files;
    }
    EXPECT_EQ(files, int(BadFiles().size()));
}

// A golden file cut where a record ends fails with 21, except where an item ends: there the
// file is whole, and loads when a worksheet came before (else 9).
TEST(V6Bad, GoldenFilesCutAtEveryRecordBoundary) {
    NotationScope notation('.', ',', true);
    for (const V6Fixture& f : GoldenFiles()) {
        const V6Bytes bytes = WriteV6File(f.file);
        std::set<size_t> cuts(bytes.boundaries.begin(), bytes.boundaries.end());
        const std::set<size_t> whole(bytes.itemEnds.begin(), bytes.itemEnds.end());
        for (size_t cut : cuts) {
            const long blocks = LiveBlockCount();
            {
                V6Load load =
                    LoadV6Bytes(Bytes(bytes.data.begin(), bytes.data.begin() + long(cut)));
                const bool sheetBefore =
                    !bytes.worksheetEnds.empty() && bytes.worksheetEnds[0] <= cut;
                const int expected = whole.count(cut) ? (sheetBefore ? 0 : 9) : 21;
                EXPECT_EQ(load.book->error, expected) << f.name << " cut at " << cut;
                EXPECT_EQ(load.ok, expected == 0) << f.name << " cut at " << cut;
            }
            ASSERT_EQ(LiveBlockCount(), blocks) << f.name << " cut at " << cut;
        }
    }
}

} // namespace vl
