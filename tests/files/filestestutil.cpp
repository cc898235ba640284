#include "filestestutil.h"

#include "core/settings.h"
#include "model/formatstore.h"
#include "model/viewtransform.h"
#include "values/standardformat.h"

#include <cstring>

namespace vl::filestest {

Bytes BodyOf(CWorkbook& book, uint8_t mode) {
    CVectorSink sink;
    ErrorCode error = kErrorNone;
    EXPECT_TRUE(SerializeWorkbookBody(book, sink, mode, error)) << int(error);
    return sink.data;
}

void PutCell(CWorksheet& sheet, const CellBuffer& cell) {
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(cell.bytes, cursor));
}

void PutNumber(CWorksheet& sheet, uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value));
    PutCell(sheet, b);
}

void PutText(CWorksheet& sheet, uint16_t column, uint32_t row, const std::string& text) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, column, row, text));
    PutCell(sheet, b);
}

void PutFormula(CWorksheet& sheet, uint16_t column, uint32_t row, const std::string& formula,
                double number, const char* text, uint8_t error) {
    FormulaHead head;
    head.arrayWidth = 1; // one cell, as a typed formula
    head.flags = uint8_t(kCellFormula | (error << 4));
    // As every reader loads a formula: a recalculation's marks are not kept in files.
    head.resultFlags = uint8_t(text ? kResultText : kResultNumber);
    head.cachedNumber = number;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, formula, text ? text : ""));
    PutCell(sheet, b);
}

uint16_t AddStyle(CWorkbook& book, uint8_t kind, uint8_t decimals, const char* face) {
    StyleTables& t = book.styles;
    FontRecord font;
    CopyTextField(font.faceName, face, kFaceNameSize);
    font.size = uint8_t(8 + t.styleCount);
    font.weight = 2;
    uint8_t fontIndex = 0;
    EXPECT_TRUE(FindOrAddFont(t, font, &fontIndex));
    StyleRecord& s = t.styles[t.styleCount];
    s = StyleRecord{};
    s.numberFormat.kind = kind;
    s.numberFormat.params[fmtparam::kDecimals] = decimals;
    s.numberFormat.params[fmtparam::kFixedDecimals] = 1;
    BuildStandardFormatCode(s.numberFormat);
    s.fontRef = {fontIndex, 1, Rgb(1, 2, 3)};
    s.fill = {FORMAT_PAT_GRAY50, 1, Rgb(9, 8, 7), 1, Rgb(6, 5, 4)};
    s.borderSides = kBorderTop | kBorderLeft;
    s.borderLine = {FORMAT_LINE_DASH, 1, Rgb(3, 3, 3)};
    s.verticalAlignment = 5;
    s.horizontalAlignment = 3;
    s.horizontalIndent = uint8_t(t.styleCount);
    s.rotation = -90;
    s.dropDownList = 7;
    s.isProtected = 1;
    return t.styleCount++;
}

CContainer& AddContainer(CWorksheet& sheet, uint16_t id, const std::vector<int>& seriesCounts) {
    auto owned = NewBlockObject<CContainer>();
    CContainer& c = *owned;
    const CellRef anchor{uint16_t(id % 2047), 100u + id, kRefCell};
    const ContainerFrame frame{-5, 7, 400 + id, 300};
    InitContainerDefaults(c, &anchor, &frame);
    c.settings.id = id;
    CopyTextField(c.settings.titleText[1], "Container title", kChartTextSize);
    c.settings.background.kind = kBackgroundFractal;
    c.settings.background.zr = 0.25 + id;
    for (size_t i = 0; i < seriesCounts.size(); ++i) {
        ContainerSlot& slot = c.slots[i];
        slot.kind = kObjectChart;
        slot.chart = NewBlockObject<CChart>(uint8_t(1 + i % 3));
        CChart& chart = *slot.chart;
        chart.settings.seriesCount = uint8_t(seriesCounts[i]);
        CopyTextField(chart.settings.titleText[0], "Chart", kChartTextSize);
        // Only a 3D chart has a rotation and a view of its own.
        if (chart.settings.type == kChart3D) {
            chart.settings.rotationX = int16_t(30 * (i + 1));
            chart.settings.rotationZ = -45;
            ApplyChartTransform(chart.viewMatrix, kRotateY, 0.5 + double(i));
        }
        for (int s = 0; s < seriesCounts[i]; ++s) {
            InitSeries(chart, uint16_t(s)); // as a chart of its type makes a series
            SeriesSettings& series = chart.series[s].settings;
            // Error bars, then X series, then values, as every form keeps them.
            const uint8_t x = chart.settings.type == kChartXY ? 2 : 3;
            series.role = s == 0 ? uint8_t(4) : s == 1 ? x : uint8_t(1);
            series.rangeFlags = kFromValueGiven | kToValueGiven;
            series.fromValue = -s;
            series.toValue = 1000.5 + s;
            std::string range = "R1C1:R" + std::to_string(10 + s) + "C2";
            CopyTextField(series.dataArray, range.c_str(), kDataArraySize);
            if (series.role != 4) { // error bars have no number format
                series.numberFormat.kind = STD_STYLE_SCIENTIFIC;
                BuildStandardFormatCode(series.numberFormat, &InternalSeparators());
            }
            series.userGridCount = uint8_t(s % 17);
            if (series.userGridCount) series.userGridValues[series.userGridCount - 1] = 1.5 * s;
        }
    }
    c.settings.objectCount = uint8_t(seriesCounts.size());
    LinkContainer(sheet, std::move(owned));
    return c;
}

namespace {

void FillSheet(CWorkbook& book, CWorksheet& sheet, int n) {
    const uint16_t percent = AddStyle(book, STD_STYLE_PERCENTAGE, 2, "Arial");
    const uint16_t general = AddStyle(book, STD_STYLE_GENERAL, uint8_t(n % 5), "Courier");
    for (uint32_t r = 0; r < 300; ++r) {
        PutNumber(sheet, uint16_t(r % 7), r * 3, r * 1.25 - n);
        PutText(sheet, 8, r * 3 + 1, "text " + std::to_string(r));
        PutFormula(sheet, 9, r * 3, "R[-1]C+1", r + 0.5);
    }
    PutText(sheet, 0, 2000, std::string(kMaxCellText, 'L')); // a page of its own
    PutFormula(sheet, 3, 2001, "\"a\"&\"b\"", 0, "ab");
    PutFormula(sheet, 4, 2001, "1/0", 0, nullptr, 1);
    PutNumber(sheet, kLastColumn, kLastRow, 42);
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(sheet.formats, {0, 5, 3, percent}, cursor));
    ASSERT_TRUE(PutFormatRun(sheet.formats, {2, 9, 40, general}, cursor));
    for (uint16_t c = 100; c < 200; ++c)
        sheet.formats.columns[c] = {uint16_t(2 * c + 1), general, 7};
    sheet.formats.columns[kLastColumn].width = 99;
    ASSERT_TRUE(SetFormatStoreRowEntry(sheet.formats, 10, 30, true));
    ASSERT_TRUE(SetFormatStoreRowEntry(sheet.formats, 5000, 12, false));
    AddContainer(sheet, uint16_t(10 * n + 1), {2, 0, 16});
    AddContainer(sheet, uint16_t(10 * n + 2), {});
    sheet.pageSetup.landscape = 1;
    sheet.pageSetup.printRangeKind = kPrintCellRange;
    sheet.pageSetup.printRange = {1, 2, kRangePlain, 30, 400, kRangePlain};
    CopyTextField(sheet.pageSetup.headerText, "&c Header", kPageTextSize);
    sheet.pageSetup.marginBottom = 33.5;
    sheet.view.showGrid = 0;
    sheet.view.freezed = {4, 0, 8};
    sheet.view.scale = uint16_t(50 + n);
    sheet.view.background.kind = kBackgroundImage;
    CopyTextField(sheet.view.background.imagePath, "/images/back.png", kImagePathSize);
}

} // namespace

std::unique_ptr<CWorkbook> MakeRichWorkbook() {
    auto book = NewBlockObject<CWorkbook>();
    CWorkbook& b = *book;
    CopyTextField(b.lastSavedUser, "tester", kLastSavedUserSize);
    CopyTextField(b.lastSavedDate, "2024-02-29T13:10:55", kLastSavedDateSize);
    b.panes = {0, 321, 1, 77};
    SetDropDownName(b.dropDownLists[0], "Colours");
    AddDropDownEntry(b.dropDownLists[0], "red");
    AddDropDownEntry(b.dropDownLists[0], std::string(kMaxDropDownEntry, 'e'));
    AddDropDownEntry(b.dropDownLists[4], "");
    SetDropDownName(b.dropDownLists[99], "Named only");
    for (uint32_t i = 0; i < 25; ++i) {
        InspectedCellRecord r;
        r.cell = {uint16_t(i), i * 1000, kRefCell};
        std::snprintf(r.worksheet, sizeof r.worksheet, "\\Folder A\\Sheet %u", i);
        std::snprintf(r.name, sizeof r.name, "watch %u", i);
        EXPECT_TRUE(AppendInspectedCell(b.inspectedCells, r));
    }
    b.AppendTreeItem(TREE_TYPE_FOLDER, "Folder A", 1)->expanded = 1;
    CWorksheet* first = AsWorksheet(b.AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet one", 2));
    b.AppendTreeItem(TREE_TYPE_FOLDER, "Folder B", 2);
    CWorksheet* second = AsWorksheet(b.AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet two", 3));
    b.AppendTreeItem(TREE_TYPE_WORKSHEET, "Empty", 1);
    FillSheet(b, *first, 1);
    FillSheet(b, *second, 2);
    b.tree.active = second;
    return book;
}

bool SaveToPath(CWorkbook& book, const std::string& path, bool gzip) {
    if (!book.stream.Open(path.c_str(), "w+b", gzip, kFileBufferSize)) return false;
    const bool ok = SaveBinaryWorkbook(book) && book.stream.Flush();
    return book.stream.Close() && ok;
}

std::unique_ptr<CWorkbook> LoadFromPath(const std::string& path, const char* password, bool& ok) {
    auto book = NewBlockObject<CWorkbook>();
    ok = book->stream.Open(path.c_str(), "rb", true, kFileBufferSize) &&
         LoadBinaryWorkbook(*book, password);
    book->stream.Close();
    return book;
}

namespace {

Bytes PageBytes(const Page* first) {
    Bytes out;
    for (const Page* p = first; p; p = p->next)
        out.insert(out.end(), p->payload, p->payload + p->used);
    return out;
}

// One record of each workbook, as its writer stores it.
template <class Record, class Write>
void ExpectSameRecord(const Record& a, const Record& b, uint32_t size, Write write) {
    EXPECT_EQ(RecordBytes(a, size, write), RecordBytes(b, size, write));
}

void ExpectSameChart(const CChart& a, const CChart& b) {
    ExpectSameRecord(a.settings, b.settings, kChartSettingsRecordSize, WriteChartSettingsRecord);
    EXPECT_EQ(0, std::memcmp(a.viewMatrix, b.viewMatrix, sizeof a.viewMatrix));
    for (int s = 0; s < a.settings.seriesCount; ++s)
        ExpectSameRecord(a.series[s].settings, b.series[s].settings, kSeriesSettingsRecordSize,
                         WriteSeriesSettingsRecord);
}

Ints Columns(const CWorksheet& s) {
    Ints out;
    for (const ColumnEntry& c : s.formats.columns)
        out.insert(out.end(), {c.width, c.style, c.autoRowHeight});
    return out;
}

void ExpectSameSheet(const CWorksheet& a, const CWorksheet& b) {
    const CContainer* cb = b.firstContainer;
    for (const CContainer* ca = a.firstContainer; ca; ca = ca->next, cb = cb->next) {
        ASSERT_NE(cb, nullptr);
        ExpectSameRecord(ca->settings, cb->settings, kContainerSettingsRecordSize,
                         WriteContainerSettingsRecord);
        for (int i = 0; i < ca->settings.objectCount; ++i) {
            ASSERT_EQ(cb->slots[i].kind, kObjectChart);
            ExpectSameChart(*ca->slots[i].chart, *cb->slots[i].chart);
        }
    }
    EXPECT_EQ(cb, nullptr);
    EXPECT_EQ(Columns(a), Columns(b));
    EXPECT_EQ(PageBytes(a.formats.rowHeights.FirstPage()),
              PageBytes(b.formats.rowHeights.FirstPage()));
    EXPECT_EQ(PageBytes(a.formats.runs.FirstPage()), PageBytes(b.formats.runs.FirstPage()));
    EXPECT_EQ(PageBytes(a.cells.FirstPage()), PageBytes(b.cells.FirstPage()));
    EXPECT_EQ(a.cells.PageCount(), b.cells.PageCount());
    ExpectSameRecord(a.pageSetup, b.pageSetup, kPageSetupRecordSize, WritePageSetupRecord);
    ExpectSameRecord(a.view, b.view, kViewSettingsRecordSize, WriteViewSettingsRecord);
}

} // namespace

void ExpectSameWorkbook(const CWorkbook& a, const CWorkbook& b) {
    EXPECT_STREQ(a.lastSavedUser, b.lastSavedUser);
    EXPECT_STREQ(a.lastSavedDate, b.lastSavedDate);
    const auto panes = [](const CWorkbook& w) {
        return Of(w.panes.treeShown, w.panes.treeWidth, w.panes.inspectShown,
                  w.panes.inspectHeight);
    };
    EXPECT_EQ(panes(a), panes(b));
    for (int i = 0; i < kDropDownLists; ++i) {
        EXPECT_STREQ(a.dropDownLists[i].name, b.dropDownLists[i].name) << i;
        EXPECT_EQ(a.dropDownLists[i].entries, b.dropDownLists[i].entries) << i;
    }
    ASSERT_EQ(Of(a.styles.fontCount, a.styles.styleCount),
              Of(b.styles.fontCount, b.styles.styleCount));
    for (int i = 0; i < a.styles.fontCount; ++i)
        ExpectSameRecord(a.styles.fonts[i], b.styles.fonts[i], kFontRecordSize, WriteFontRecord);
    for (int i = 0; i < a.styles.styleCount; ++i)
        ExpectSameRecord(a.styles.styles[i], b.styles.styles[i], kStyleRecordSize,
                         WriteStyleRecord);
    EXPECT_EQ(a.inspectedCells.ItemCount(), b.inspectedCells.ItemCount());
    EXPECT_EQ(PageBytes(a.inspectedCells.FirstPage()), PageBytes(b.inspectedCells.FirstPage()));
    EXPECT_EQ(Of(a.tree.worksheetCount, a.tree.folderCount),
              Of(b.tree.worksheetCount, b.tree.folderCount));
    const CTreeItem* ib = b.tree.first;
    for (const CTreeItem* ia = a.tree.first; ia; ia = ia->next, ib = ib->next) {
        ASSERT_NE(ib, nullptr);
        EXPECT_STREQ(ia->name, ib->name);
        EXPECT_EQ(
            Of(ia->level, ia->itemType, ia == a.tree.active, ia->IsFolder() ? ia->expanded : 0),
            Of(ib->level, ib->itemType, ib == b.tree.active, ib->IsFolder() ? ib->expanded : 0))
            << ia->name;
        if (ia->IsWorksheet()) ExpectSameSheet(*AsWorksheet(ia), *AsWorksheet(ib));
    }
    EXPECT_EQ(ib, nullptr);
}

} // namespace vl::filestest
