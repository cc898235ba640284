// What a reader accepts, every writer writes in a form the readers take back, record for
// record: a new workbook through the XML form, and binary bodies whose values lie at the
// edges of what the XML form holds.

#include "bodyreload.h"

#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

// A new worksheet's page alignment (no bit), headings colour (not given) and view positions
// come back from the XML form as they were, and the second save gives the same bytes. The
// view positions' flags are 0 until a reader sets them (cells, 9, after the XML form).
TEST(FormRecords, NewWorkbookKeepsEveryRecordThroughTheXmlForm) {
    auto book = NewBook();
    TempFolder dir;
    EXPECT_EQ(reloadcheck::RecordFault(*book, dir.Path("saved")), "");
    const CWorksheet& s = Sheet(*book);
    EXPECT_EQ(Of(s.pageSetup.alignment, s.view.headingsColorGiven, s.view.topLeft.flags,
                 s.view.selection[0].flags, s.view.selection[1].flags, s.view.freezed.flags),
              Of(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(s.view.headingsColor, s.view.gridColor);
    const auto reloaded = ThroughXml(*book);
    const CWorksheet& x = Sheet(*reloaded);
    EXPECT_EQ(Of(x.view.topLeft.flags, x.view.selection[0].flags, x.view.selection[1].flags,
                 x.view.freezed.flags),
              Of(kRefCell, kRefCell, kRefCell, 0));
}

// Page alignment bytes as the binary form may hold them: the binary form keeps them whole;
// the first bit of each group is what the page uses and what the XML form names.
TEST(FormRecords, PageAlignmentKeepsTheFirstBitOfEachGroup) {
    const uint8_t cases[][2] = {{0, 0},  {1, 1},   {3, 1},      {6, 2},   {7, 1},
                                {8, 8},  {24, 8},  {48, 16},    {18, 18}, {63, 9},
                                {64, 0}, {255, 9}, {4 | 32, 36}};
    for (const auto& [stored, kept] : cases) {
        auto book = NewBook();
        Sheet(*book).pageSetup.alignment = stored;
        bool ok = false;
        auto loaded = ThroughBody(*book, ok);
        ASSERT_TRUE(ok) << int(stored);
        EXPECT_EQ(Sheet(*loaded).pageSetup.alignment, stored) << int(stored);
        EXPECT_EQ(Sheet(*ThroughXml(*loaded)).pageSetup.alignment, kept) << int(stored);
        TempFolder dir;
        EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "") << int(stored);
    }
}

// Pane sizes are kept; the XML form writes 65,535, which it does not read, as 65,534.
TEST(FormRecords, PaneSizesAreCutToWhatTheXmlFormReads) {
    const uint16_t cases[][2] = {{0, 0}, {65533, 65533}, {65534, 65534}, {65535, 65534}};
    for (const auto& [stored, kept] : cases) {
        auto book = NewBook();
        book->panes.treeWidth = stored;
        book->panes.inspectHeight = uint16_t(65535 - stored); // the other edge at once
        bool ok = false;
        auto loaded = ThroughBody(*book, ok);
        ASSERT_TRUE(ok) << stored;
        EXPECT_EQ(Of(loaded->panes.treeWidth, loaded->panes.inspectHeight),
                  Of(stored, 65535 - stored))
            << stored;
        auto xml = ThroughXml(*loaded);
        EXPECT_EQ(Of(xml->panes.treeWidth, xml->panes.inspectHeight),
                  Of(kept, std::min(65535 - stored, 65534)))
            << stored;
        TempFolder dir;
        EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "") << stored;
    }
}

// An array anchor covers at least its own cell: width or height 0 is refused as the XML form
// refuses it, 1 and the sheet's width and height are read and read back.
TEST(FormRecords, ArrayAnchorsOfNoCellsAreRefused) {
    struct Case {
        uint16_t width;
        uint32_t height;
        bool loads;
    };
    const Case cases[] = {{0, 3, false},
                          {2, 0, false},
                          {1, 1, true},
                          {kMaxColumns, kMaxRows, true},
                          {kMaxColumns + 1, 1, false},
                          {1, kMaxRows + 1, false}};
    for (const Case& c : cases) {
        auto book = NewBook();
        FormulaHead head;
        head.arrayWidth = c.width;
        head.arrayHeight = c.height;
        head.resultFlags = kResultArray | kResultNumber;
        CellBuffer cell;
        ASSERT_TRUE(MakeFormulaCell(cell, 1, 2, head, "1+2"));
        PutCell(Sheet(*book), cell);
        const std::string label = std::to_string(c.width) + " x " + std::to_string(c.height);
        bool ok = false;
        auto loaded = ThroughBody(*book, ok);
        ASSERT_EQ(ok, c.loads) << label;
        if (!ok) {
            EXPECT_EQ(loaded->error, kErrorFileFormat) << label;
            continue;
        }
        const uint8_t* r = FindCell(Sheet(*loaded).cells, 2, 1);
        ASSERT_NE(r, nullptr) << label;
        EXPECT_EQ(Of(cell::ArrayWidth(r), cell::ArrayHeight(r)), Of(c.width, c.height)) << label;
        TempFolder dir;
        EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "") << label;
    }
}

} // namespace vl

namespace vl {

using namespace filestest;

// Container placements reach 2^31 - 1 either way in the XML form: -2^31, which the binary
// form can hold, is cut to -(2^31 - 1); the other edges are kept.
TEST(FormRecords, PlacementsAreCutToWhatTheXmlFormReads) {
    auto book = CreateWorkbook();
    ASSERT_TRUE(NewWorkbook(*book));
    CContainer& box = AddContainer(*AsWorksheet(book->tree.active), 3, {});
    box.settings.left = INT32_MIN;
    box.settings.top = INT32_MIN + 1;
    box.settings.right = INT32_MAX;
    box.settings.bottom = 0;
    TempFolder dir;
    WriteBytes(dir.Path("body"), BodyOf(*book));
    auto loaded = CreateWorkbook();
    ASSERT_TRUE(loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize));
    ASSERT_TRUE(
        ReadBinaryWorkbookBody(*loaded, loaded->stream, reloadcheck::kNewestBodyVersion, nullptr))
        << int(loaded->error);
    loaded->stream.Close();
    const ContainerSettings& back = AsWorksheet(loaded->tree.active)->firstContainer->settings;
    EXPECT_EQ(Of(back.left, back.top, back.right, back.bottom),
              Of(-INT32_MAX, -INT32_MAX, INT32_MAX, 0));
    EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "");
}

// The binary form keeps the print range, container, fit and scale of every kind; the XML form
// writes the range and container only for the kind that prints them, the scale only for a
// page not fitted, and never fits a page list. A container kind without a container is
// refused, as the XML form refuses it.
TEST(FormRecords, PrintRangesKeepWhatTheirKindPrints) {
    struct Case {
        uint8_t kind;
        bool fit;
        uint16_t container;
        bool loads;
        Ints kept; // range first column, container, fitted, scale
    };
    const Case cases[] = {
        {kPrintAll, true, 7, true, Of(0, 0, 1, 100)},
        {kPrintCellRange, false, 7, true, Of(2, 0, 0, 55)},
        {kPrintContainer, false, 7, true, Of(0, 7, 0, 55)},
        {kPrintContainer, false, 0, false, {}},
        {kPrintSelection, true, 7, true, Of(0, 0, 1, 100)},
        {kPrintPageList, true, 7, true, Of(0, 0, 0, 55)},
    };
    for (const Case& c : cases) {
        auto book = CreateWorkbook();
        ASSERT_TRUE(NewWorkbook(*book));
        PageSetupRecord& p = AsWorksheet(book->tree.active)->pageSetup;
        p.printRangeKind = c.kind;
        p.printRange = RangeDescriptor{2, 3, kRefCell, 4, 9, kRefCell};
        p.printedContainer = c.container;
        p.fitToSheetSize = c.fit;
        p.scale = 55;
        TempFolder dir;
        WriteBytes(dir.Path("body"), BodyOf(*book));
        auto loaded = CreateWorkbook();
        ASSERT_TRUE(loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize));
        const bool ok = ReadBinaryWorkbookBody(*loaded, loaded->stream,
                                               reloadcheck::kNewestBodyVersion, nullptr);
        loaded->stream.Close();
        ASSERT_EQ(ok, c.loads) << int(c.kind) << " " << c.container;
        if (!ok) {
            EXPECT_EQ(loaded->error, kErrorFileFormat);
            continue;
        }
        const PageSetupRecord& q = AsWorksheet(loaded->tree.active)->pageSetup;
        EXPECT_EQ(Of(q.printRange.c1, q.printedContainer, q.fitToSheetSize, q.scale),
                  Of(2, c.container, c.fit, 55))
            << int(c.kind);
        auto xml = ThroughXml(*loaded);
        const PageSetupRecord& x = AsWorksheet(xml->tree.active)->pageSetup;
        EXPECT_EQ(Of(x.printRange.c1, x.printedContainer, x.fitToSheetSize, x.scale), c.kept)
            << int(c.kind);
        EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "") << int(c.kind);
    }
}

// Border sides without a line, and a line without sides, are written and read back; a
// formula that is no array keeps its stored size in the binary form and is read from the XML
// form as covering its own cell.
TEST(FormRecords, BordersInPartAndPlainFormulasReadBack) {
    auto book = CreateWorkbook();
    ASSERT_TRUE(NewWorkbook(*book));
    const uint16_t sidesOnly = AddStyle(*book, STD_STYLE_GENERAL, 0, "Arial");
    const uint16_t lineOnly = AddStyle(*book, STD_STYLE_GENERAL, 0, "Tahoma");
    book->styles.styles[sidesOnly].borderSides = 8;
    book->styles.styles[sidesOnly].borderLine.style = 0;
    book->styles.styles[lineOnly].borderSides = 0;
    book->styles.styles[lineOnly].borderLine.style = 3;
    FormulaHead head; // no array: width 0, height 1
    CellBuffer cell;
    ASSERT_TRUE(MakeFormulaCell(cell, 0, 0, head, "1+1"));
    CWorksheet& sheet = *AsWorksheet(book->tree.active);
    PutCell(sheet, cell);
    TempFolder dir;
    EXPECT_EQ(reloadcheck::ReloadFault(*book, dir.Path("saved")), "");
    WriteBytes(dir.Path("body"), BodyOf(*book));
    auto loaded = CreateWorkbook();
    ASSERT_TRUE(loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize));
    ASSERT_TRUE(
        ReadBinaryWorkbookBody(*loaded, loaded->stream, reloadcheck::kNewestBodyVersion, nullptr));
    loaded->stream.Close();
    const StyleRecord* styles = loaded->styles.styles;
    EXPECT_EQ(Of(styles[sidesOnly].borderSides, styles[sidesOnly].borderLine.style,
                 styles[lineOnly].borderSides, styles[lineOnly].borderLine.style),
              Of(8, 0, 0, 3));
    const uint8_t* r = FindCell(AsWorksheet(loaded->tree.active)->cells, 0, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Of(cell::ArrayWidth(r), cell::ArrayHeight(r)), Of(0, 1));
    auto xml = ThroughXml(*loaded);
    const uint8_t* x = FindCell(AsWorksheet(xml->tree.active)->cells, 0, 0);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(Of(cell::ArrayWidth(x), cell::ArrayHeight(x)), Of(1, 1));
    EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "");
}

} // namespace vl

namespace vl {

using namespace filestest;

// The binary form keeps a chart's series in their order with every field. The XML form writes
// error-bar series, then X series, then value series, each with only the fields its role
// uses: read back from it, a chart has them in that order with those fields, a series without
// a role is dropped, and an error-bar series keeps its value range.
TEST(FormRecords, SeriesKeepTheOrderAndFieldsOfTheirRoles) {
    auto book = CreateWorkbook();
    ASSERT_TRUE(NewWorkbook(*book));
    CContainer& box = AddContainer(*AsWorksheet(book->tree.active), 3, {5});
    CChart& chart = *box.slots[0].chart;
    ASSERT_EQ(chart.settings.type, kChart2D);
    const uint8_t roles[5] = {1, 4, 0, 3, 1};
    for (int i = 0; i < 5; ++i) {
        SeriesSettings& s = chart.series[i].settings;
        s.role = roles[i];
        CopyTextField(s.name, std::to_string(i).c_str(), kChartTextSize);
        s.userGridCount = 1;
        s.fill.pattern = 2; // an X or error-bar series has no fill
        s.stackLower = 7.5; // worked out from the data, not kept
        CopyTextField(s.relatedX, "x", kChartTextSize);
    }
    chart.series[3].settings.divisor = 9;
    chart.series[0].settings.divisor = 5;
    bool ok = false;
    TempFolder dir;
    WriteBytes(dir.Path("body"), BodyOf(*book));
    auto loaded = CreateWorkbook();
    ASSERT_TRUE(loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize));
    ok = ReadBinaryWorkbookBody(*loaded, loaded->stream, reloadcheck::kNewestBodyVersion, nullptr);
    loaded->stream.Close();
    ASSERT_TRUE(ok) << int(loaded->error);
    CChart& kept = *AsWorksheet(loaded->tree.active)->firstContainer->slots[0].chart;
    ASSERT_EQ(kept.settings.seriesCount, 5);
    for (int i = 0; i < 5; ++i) {
        const SeriesSettings& s = kept.series[i].settings;
        EXPECT_EQ(Of(s.role, s.name[0], s.stackLower, s.fill.pattern, s.relatedX[0]),
                  Of(roles[i], '0' + i, 7.5, 2, 'x'))
            << i;
    }
    auto xml = ThroughXml(*loaded);
    CChart& back = *AsWorksheet(xml->tree.active)->firstContainer->slots[0].chart;
    ASSERT_EQ(back.settings.seriesCount, 4);
    CChart fresh(kChart2D);
    const struct {
        uint8_t role;
        const char* name;
        double from;
        bool ownFill;
        const char* relatedX;
    } want[4] = {{4, "1", -1, false, ""},
                 {3, "3", -3, false, ""},
                 {1, "0", 0, true, "x"},
                 {1, "4", -4, true, "x"}};
    for (int i = 0; i < 4; ++i) {
        const SeriesSettings& s = back.series[i].settings;
        InitSeries(fresh, uint16_t(i));
        const SeriesSettings& f = fresh.series[i].settings;
        EXPECT_EQ(Of(s.role, s.fromValue, s.toValue, s.stackLower, s.fill.pattern == 2),
                  Of(want[i].role, want[i].from, 1000.5 - want[i].from, 0, want[i].ownFill))
            << i;
        EXPECT_STREQ(s.name, want[i].name) << i;
        EXPECT_STREQ(s.relatedX, want[i].relatedX) << i;
        if (!want[i].ownFill) {
            EXPECT_EQ(s.fill.pattern, f.fill.pattern) << i;
        }
    }
    EXPECT_EQ(back.series[1].settings.divisor, 9u);
    EXPECT_EQ(back.series[0].settings.divisor, 1u);
    EXPECT_EQ(back.series[2].settings.divisor, 1u);
    EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "");
}

} // namespace vl

namespace vl {

using namespace filestest;

// The binary form keeps a container background's fields of every kind; the XML form writes
// only the kind it shows: read back from it, the other kinds' fields are as a new container
// has them, the shown kind's as they were.
TEST(FormRecords, BackgroundsKeepOnlyTheKindTheyShow) {
    for (const uint8_t kind : {kBackgroundPattern, kBackgroundImage, kBackgroundFractal}) {
        auto book = CreateWorkbook();
        ASSERT_TRUE(NewWorkbook(*book));
        CContainer& box = AddContainer(*AsWorksheet(book->tree.active), 3, {});
        BackgroundRecord& b = box.settings.background;
        const auto newBox = NewBlockObject<CContainer>();
        InitContainerDefaults(*newBox, nullptr, nullptr);
        const BackgroundRecord fresh = newBox->settings.background;
        b.kind = kind;
        b.pattern = {.pattern = 3, .patternColorGiven = 1, .patternColor = 0x123456};
        CopyTextField(b.imagePath, "back.png", kImagePathSize);
        b.imageView = 2;
        b.zr = 0.5;
        b.maxY = 3.25;
        b.fractalColors[15] = 0x0000ff;
        const BackgroundRecord spoiled = b;
        bool ok = false;
        auto loaded = ThroughBody(*book, ok);
        ASSERT_TRUE(ok) << int(loaded->error);
        const BackgroundRecord& kept =
            AsWorksheet(loaded->tree.active)->firstContainer->settings.background;
        EXPECT_EQ(Of(kept.pattern.pattern, kept.imageView, kept.zr == 0.5, kept.fractalColors[15]),
                  Of(3, 2, true, 0x0000ff))
            << int(kind);
        auto xml = ThroughXml(*loaded);
        const BackgroundRecord& back =
            AsWorksheet(xml->tree.active)->firstContainer->settings.background;
        auto pick = [kind](uint8_t own, const BackgroundRecord& a, const BackgroundRecord& f) {
            return own == kind ? a : f;
        };
        const BackgroundRecord& p = pick(kBackgroundPattern, spoiled, fresh);
        const BackgroundRecord& i = pick(kBackgroundImage, spoiled, fresh);
        const BackgroundRecord& f = pick(kBackgroundFractal, spoiled, fresh);
        EXPECT_EQ(Of(back.kind, back.pattern.pattern, back.pattern.patternColor, back.imageView,
                     back.zr == f.zr, back.maxY == f.maxY, back.fractalColors[15]),
                  Of(kind, p.pattern.pattern, p.pattern.patternColor, i.imageView, true, true,
                     f.fractalColors[15]))
            << int(kind);
        EXPECT_STREQ(back.imagePath, i.imagePath) << int(kind);
        TempFolder dir;
        EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "") << int(kind);
    }
}

} // namespace vl
