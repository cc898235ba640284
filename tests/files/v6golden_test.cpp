// The golden version-6 files of tests/data/v6, loaded and compared field by field with
// what their records say, and the malformed files of tests/data/v6/bad.

#include "model/container.h"
#include "platform/core/alloc.h"
#include "v6fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace vl {

using namespace v6test;

namespace {

// Several texts as one value.
template <class... T> std::vector<std::string> Strs(const T&... v) {
    return {std::string(v)...};
}

// Face, size, weight, family and character set.
std::string FontOf(const FontRecord& f) {
    return std::string(f.faceName) + " " + std::to_string(f.size) + " " + std::to_string(f.weight) +
           " " + std::to_string(f.family) + " " + std::to_string(f.charSet);
}

class V6Golden : public ::testing::Test {
protected:
    void SetUp() override {
        load_ = LoadV6DataFile("book.vlb");
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

} // namespace

// The committed book is what the writer gives; with VORLANE_WRITE_V6_FIXTURES set the test
// writes it instead.
TEST(V6Fixtures, WriterGivesTheCommittedBook) {
    const Bytes bytes = WriteV6File(RichFile()).data;
    if (std::getenv("VORLANE_WRITE_V6_FIXTURES"))
        tempfiles::WriteBytes(V6DataPath("book.vlb"), bytes);
    EXPECT_EQ(tempfiles::ReadBytes(V6DataPath("book.vlb")), bytes);
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

TEST_F(V6Golden, FontsAndStylesConvertFromTheOlderRecords) {
    const StyleTables& t = Book().styles;
    ASSERT_EQ(t.fontCount, 3);
    EXPECT_EQ(FontOf(t.fonts[1]), "Arial 10 2 0 1");
    EXPECT_EQ(FontOf(t.fonts[2]), "Times New Roman 12 3 3 4");
    EXPECT_EQ(Of(t.fonts[1].italic, t.fonts[2].underline, t.fonts[2].strikeout), Of(1, 1, 1));
    const StyleRecord* s = t.styles;
    ASSERT_EQ(t.styleCount, 20);
    auto decimals = [&](int i) { return s[i].numberFormat.params[fmtparam::kDecimals]; };
    auto currency = [&](int i) { return s[i].numberFormat.params[fmtparam::kCurrencyDecimals]; };
    EXPECT_EQ(Of(s[1].fontRef.fontIndex, s[1].fontRef.color, s[1].fontRef.colorGiven),
              Of(2, 0x112233, 1));
    const Ints kinds = {STD_STYLE_DEFAULT,    STD_STYLE_CURRENCY, STD_STYLE_CURRENCY,
                        STD_STYLE_PERCENTAGE, STD_STYLE_DATE,     STD_STYLE_GENERAL};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(s[i].numberFormat.kind, kinds[i - 1]) << i;
    EXPECT_STREQ(reinterpret_cast<const char*>(s[2].numberFormat.params), "EUR");
    EXPECT_EQ(Of(currency(2), currency(3), decimals(4), decimals(6)), Of(2, 3, 14, 4));
    EXPECT_EQ(s[6].numberFormat.params[fmtparam::kThousands], 1);
    EXPECT_EQ(Of(s[7].horizontalAlignment, s[7].verticalAlignment, s[7].wrapText + s[7].isProtected,
                 s[8].horizontalAlignment, s[8].verticalAlignment, s[19].horizontalAlignment),
              Of(1, 4, 2, 2, 7, 3));
    EXPECT_EQ(Of(s[9].borderSides, s[9].borderLine.style, s[10].borderSides, s[10].borderLine.style,
                 s[11].borderSides, s[11].borderLine.style),
              Of(15, FORMAT_LINE_DOUBLE, kBorderTop | kBorderLeft, FORMAT_LINE_DASH, kBorderRight,
                 s[0].borderLine.style));
    EXPECT_EQ(Of(s[12].fill.pattern, s[12].fill.patternColor, s[12].fill.backgroundColor,
                 s[13].fill.pattern),
              Of(FORMAT_PAT_DSTRIPE, Rgb(0, 0, 255), Rgb(0, 0, 255), FORMAT_PAT_SOLID));
    EXPECT_EQ(Of(s[14].dropDownList, s[15].dropDownList), Of(42, 0));
    for (int i : {16, 17, 18}) EXPECT_EQ(s[i].fontRef.fontIndex, 0) << i;
}

TEST_F(V6Golden, TreeItemsKeepNamesLevelsAndFlags) {
    std::vector<std::pair<std::string, Ints>> items;
    for (const CTreeItem* i = Book().tree.first; i; i = i->next)
        items.push_back({i->name, Of(i->itemType, i->level, i->expanded)});
    const std::vector<std::pair<std::string, Ints>> expected = {
        {"Charts", Of(TREE_TYPE_FOLDER, 1, 1)},
        {"Sheet1", Of(TREE_TYPE_WORKSHEET, 2, 0)},
        {"Narrow", Of(TREE_TYPE_WORKSHEET, 1, 0)},
        {"Empty", Of(TREE_TYPE_FOLDER, 1, 0)},
        {"Blank", Of(TREE_TYPE_WORKSHEET, 1, 0)}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(Book().tree.active, sheet_);
    EXPECT_EQ(Of(Book().tree.worksheetCount, Book().tree.folderCount), Of(3, 2));
}

// Id, frame, background kind, object count and anchor kind of each container: the objects
// name their classes by introduction (text, chart) and by number (0x8001, 0x0001, 0x8002).
TEST_F(V6Golden, ObjectsBecomeContainersCountingDown) {
    std::vector<Ints> containers;
    for (const CContainer* c = sheet_->firstContainer; c; c = c->next) {
        const ContainerSettings& s = c->settings;
        containers.push_back(Of(s.id, s.left, s.top, s.right, s.bottom, s.background.kind,
                                s.objectCount, s.anchor.flags));
    }
    const std::vector<Ints> expected = {
        Of(6, 10, 20, 110, 70, 1, 0, kRefCell), Of(5, 0, 0, 100, 50, 1, 1, kRefCell),
        Of(4, 0, 0, 100, 50, 3, 0, kRefCell),   Of(3, 0, 0, 100, 50, 2, 0, kRefCell),
        Of(2, 0, 0, 100, 50, 1, 0, kRefCell),   Of(1, 0, 0, 100, 50, 1, 1, kRefCell)};
    EXPECT_EQ(containers, expected);
}

TEST_F(V6Golden, TextObjectsCarryTitleAndBackground) {
    const ContainerSettings& plain = ContainerAt(0)->settings;
    const ContainerSettings& fractal = ContainerAt(2)->settings;
    const BackgroundRecord& named = ContainerAt(3)->settings.background;
    // Embedded image data is passed over: the background keeps the defaults.
    const BackgroundRecord& embedded = ContainerAt(4)->settings.background;
    EXPECT_EQ(Strs(plain.titleText[0], FontOf(plain.titleFont[0].font), fractal.titleText[0],
                   named.imagePath, embedded.imagePath),
              Strs("Hello", "Arial 12 2 0 1", std::string(127, 'x'), "back.png", ""));
    const InteriorFill& fill = plain.background.pattern;
    EXPECT_EQ(Of(plain.anchor.column, plain.anchor.row, plain.titleFont[0].color,
                 plain.titleFont[0].colorGiven, fill.pattern, fill.patternColor,
                 fill.backgroundColor, fill.backgroundColorGiven),
              Of(2, 5, 0x0000FF, 1, FORMAT_PAT_SOLID, 0x00FF00, 0x00FF00, 1));
    const BackgroundRecord& f = fractal.background;
    EXPECT_EQ(std::vector<double>({f.zr, f.zi, f.minX, f.maxX, f.minY, f.maxY}),
              std::vector<double>({0.25, -0.5, -2, 1, -1.5, 1.5}));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(f.fractalColors[i], 0x010101u * uint32_t(i));
    CContainer defaults;
    InitContainerDefaults(defaults, nullptr, nullptr);
    EXPECT_EQ(Of(named.imageView, embedded.pattern.patternColor),
              Of(0, defaults.settings.background.pattern.patternColor));
}

TEST_F(V6Golden, ChartRecordBecomesSettingsAndSeries) {
    const CContainer& box = *ContainerAt(1);
    const InteriorFill& window = box.settings.background.pattern;
    EXPECT_EQ(Of(window.patternColor, window.patternColorGiven), Of(0xABCDEF, 1));
    ASSERT_EQ(box.slots[0].kind, kObjectChart);
    const CChart& chart = *box.slots[0].chart;
    const ChartSettings& s = chart.settings;
    const SeriesSettings& category = chart.series[0].settings;
    EXPECT_EQ(Strs(FontOf(s.legendFont.font), FontOf(s.titleFont[0].font), s.titleText[0],
                   s.titleText[1], category.name, category.dataArray,
                   FontOf(category.axisFont.font)),
              Strs("Symbol 6 3 5 6", "Georgia 15 2 3 1", "Sales", "by region", "series 1",
                   "=r2c0:r4c0", "Tahoma 9 2 1 1"));
    EXPECT_EQ(Of(s.type, s.legendCode, s.titleFont[1].color, s.planeXY, s.planeXZ + s.planeYZ,
                 s.planeFill.patternColor),
              Of(kChart3D, 8, 0x00FF00, 0, 2, 0x123456));
    ASSERT_EQ(s.seriesCount, 4);
    // A category series is written without a kind: it keeps its 3D chart's default, 7.
    EXPECT_EQ(Of(category.role, category.kind, category.rangeFlags, category.axisFlags & 0x13),
              Of(3, 7, kFromValueGiven | kToValueGiven, 0x11));
    EXPECT_EQ(std::vector<double>({category.fromValue, category.toValue}),
              std::vector<double>({-1.5, 9.5}));
    for (int i = 1; i < 4; ++i) {
        const SeriesSettings& v = chart.series[i].settings;
        EXPECT_EQ(v.name, "series " + std::to_string(i + 1));
        EXPECT_EQ(v.dataArray,
                  "=r" + std::to_string(i + 1) + "c1:r" + std::to_string(i + 1) + "c5");
        EXPECT_EQ(Of(v.kind, v.role, v.fill.patternColor, v.fromValue, v.toValue, v.periods,
                     v.axisFlags & 0x13),
                  Of(8, 1, 0x100000u * uint32_t(i - 1) + 0x33, -(i - 1), 100 + i - 1, 7, 0x12))
            << i;
        EXPECT_EQ(FontOf(v.axisFont.font), "Verdana 8 1 2 12");
    }
    for (int i = 0; i < 4; ++i) {
        const SeriesSettings& v = chart.series[i].settings;
        EXPECT_EQ(Of(v.majorGrid.style, v.majorGrid.color, v.minorGrid.style),
                  Of(FORMAT_LINE_DASH_DOT, 0x0A0B0C, FORMAT_LINE_DASH_DOTDOT))
            << i;
    }
    const CContainer& xyBox = *ContainerAt(5);
    const CChart& xy = *xyBox.slots[0].chart;
    EXPECT_EQ(Of(xyBox.settings.anchor.column, xyBox.settings.anchor.row, xy.settings.type,
                 xy.settings.seriesCount, xy.series[0].settings.role, xy.series[0].settings.periods,
                 xy.settings.legendCode),
              Of(2046, 2097151, kChartXY, 1, 2, 12, 0));
}

TEST_F(V6Golden, PageSetupTakesFlagsTextsAndMeasures) {
    const PageSetupRecord& p = sheet_->pageSetup;
    // Without a page setup every field the record would set is set from zeros; a worksheet of
    // the header alone keeps every default.
    const CWorksheet& narrow = *SheetNamed(Book(), "Narrow");
    EXPECT_EQ(Strs(p.paperName, p.pages, p.headerText, p.footerText, FontOf(p.headerFont.font),
                   narrow.pageSetup.paperName, narrow.pageSetup.headerText,
                   SheetNamed(Book(), "Blank")->pageSetup.headerText),
              Strs("Letter", "1-3,5", "Head &p", "Foot", "Courier New 8 0 0 10", "A4", "",
                   "&c Document: &f"));
    // A page list keeps the cell range and fit the file set, though it prints neither.
    EXPECT_EQ(Of(p.printRangeKind, p.printRange.kind, p.fitToSheetSize,
                 p.collate + p.backToFront + p.onFirstPage, p.rowHeadings + p.columnHeadings,
                 p.alignment, sheet_->view.showGrid, p.headerFont.color, p.pagesPerSheetRows,
                 p.pagesPerSheetColumns),
              Of(kPrintPageList, 9, 1, 3, 2, 18, 1, 0x00AA00, 3, 2));
    EXPECT_EQ(std::vector<double>({p.headerDistance, p.footerDistance, p.marginLeft, p.marginTop,
                                   p.marginRight, p.marginBottom}),
              std::vector<double>({15, 25, 10, 20, 30, 40}));
    EXPECT_EQ(Of(narrow.view.showGrid, narrow.pageSetup.marginTop, narrow.pageSetup.onFirstPage,
                 narrow.pageSetup.pagesPerSheetRows),
              Of(0, 0, 0, 1));
}

TEST_F(V6Golden, TablesSetWidthsHeightsStylesAndRuns) {
    const CFormatStore& f = sheet_->formats;
    Ints widths, styles, heights;
    for (int c = 0; c < 6; ++c) widths.push_back(f.columns[c].width);
    for (int c = 0; c < 4; ++c) styles.push_back(f.columns[c].style);
    EXPECT_EQ(widths, Of(0, 0, 0, 200, 200, 0));
    EXPECT_EQ(styles, Of(0, 2, 0, 0));
    CPagedList& rowHeights = const_cast<CPagedList&>(f.rowHeights);
    for (uint32_t r = 0; r < rowHeights.ItemCount(); ++r)
        heights.push_back(*rowHeights.GetItem2(r));
    EXPECT_EQ(heights, Of(0, 0, 0, 0, 0, 60, 60));
    const std::vector<Ints> expected = {Of(1, 0, 3, 1), Of(1, 5, 6, 2),  Of(2, 0, 3, 1),
                                        Of(2, 5, 6, 2), Of(10, 1, 1, 3), Of(11, 1, 1, 3),
                                        Of(12, 1, 1, 3)};
    EXPECT_EQ(Runs(f), expected);
}

TEST_F(V6Golden, CellsOfEachType) {
    CCellStore& cells = sheet_->cells;
    CWorksheet& narrow = *SheetNamed(Book(), "Narrow");
    const uint8_t* sum = FindCell(cells, 2, 0);
    ASSERT_TRUE(sum && cell::IsFormula(sum));
    EXPECT_EQ(Strs(cell::Text(FindCell(cells, 0, 0)), cell::Formula(sum),
                   cell::Formula(FindCell(cells, 2, 1)), cell::Text(FindCell(cells, 2, 4)),
                   cell::Text(FindCell(narrow.cells, 65535, 1))),
              Strs("hello", "=SUM(R[-2]C:R[-1]C)", "=R[-2]C[-1]*2", "high bits", "far"));
    EXPECT_EQ(std::vector<double>({cell::Number(FindCell(cells, 0, 1)),
                                   cell::Number(FindCell(narrow.cells, 0, 0))}),
              std::vector<double>({2.5, 7}));
    // A formula covers its own cell, as a typed one does.
    EXPECT_EQ(Of(cell::CachedNumber(sum), cell::ResultFlags(sum), cell::ArrayWidth(sum),
                 cell::ArrayHeight(sum)),
              Of(4, kResultNumber, 1, 1));
    // A formula of 1,202 characters is one a record holds.
    const uint8_t* long_ = FindCell(cells, 2, 2);
    ASSERT_TRUE(long_ && cell::IsFormula(long_));
    EXPECT_EQ(cell::Formula(long_).size(), 1202u);
    EXPECT_EQ(cell::Formula(long_).substr(0, 4), "=1+1");
    EXPECT_EQ(FindCell(cells, 2, 3), nullptr);
    EXPECT_EQ(cell::Text(FindCell(cells, 3, 0)), std::string(kMaxCellText, 'y'));
}

TEST(V6GoldenStyles, SixHundredStylesGiveStyleZeroAnd511) {
    NotationScope notation('.', ',', true);
    V6Load load = LoadV6DataFile("styles600.vlb");
    ASSERT_TRUE(load.ok);
    const StyleTables& t = load.book->styles;
    const StyleRecord& last = t.styles[511];
    EXPECT_EQ(Of(t.styleCount, t.fontCount, last.numberFormat.kind,
                 last.numberFormat.params[fmtparam::kDecimals], last.fontRef.fontIndex,
                 load.book->tree.worksheetCount),
              Of(kMaxStyles, kMaxFonts, STD_STYLE_GENERAL, 511 % 15, 511 % 3, 1));
    EXPECT_EQ(FontOf(t.fonts[127]), "Face127 95 0 0 1");
}

// Every malformed file fails with its code and leaves no block behind.
TEST(V6Bad, EachFileFailsWithItsCode) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(V6DataPath("bad"))) {
        const std::string name = entry.path().filename().string();
        const long blocks = LiveBlockCount();
        {
            V6Load load = LoadV6DataFile("bad/" + name);
            EXPECT_FALSE(load.ok) << name;
            EXPECT_EQ(load.book->error, std::atoi(name.c_str() + 1)) << name;
        }
        EXPECT_EQ(LiveBlockCount(), blocks) << name;
        ++files;
    }
    EXPECT_EQ(files, 35); // none went missing
}

// The golden book cut where a record ends fails with 21, except where an item ends: there the
// file is whole, and loads when a worksheet came before (else 9).
TEST(V6Bad, GoldenBookCutAtEveryRecordBoundary) {
    NotationScope notation('.', ',', true);
    const V6Bytes bytes = WriteV6File(RichFile());
    const std::set<size_t> cuts(bytes.boundaries.begin(), bytes.boundaries.end());
    const std::set<size_t> whole(bytes.itemEnds.begin(), bytes.itemEnds.end());
    for (size_t cut : cuts) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const long blocks = LiveBlockCount();
        {
            V6Load load = LoadV6Bytes(Bytes(bytes.data.begin(), bytes.data.begin() + long(cut)));
            const bool sheetBefore = bytes.worksheetEnds[0] <= cut;
            const int expected = whole.count(cut) ? (sheetBefore ? 0 : 9) : 21;
            EXPECT_EQ(load.book->error, expected);
            EXPECT_EQ(load.ok, expected == 0);
        }
        ASSERT_EQ(LiveBlockCount(), blocks);
    }
}

} // namespace vl
