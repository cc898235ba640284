// The exact bytes of one container with one chart, of one page setup and of one worksheet's
// view settings, and the same elements read back to the same bytes.

#include "files/xmlelements.h"
#include "model/container.h"
#include "xmltestutil.h"

namespace vl::xmltest {
namespace {

using ElementWriter = void (*)(CXmlWriter&, const CWorksheet&);

// Writes `ws` with `write`, compares with the data file, reads the file back and writes it
// again; gives the worksheet read back.
CWorksheet& ExpectGolden(const std::string& file, ElementWriter write, const CWorksheet& ws,
                         Loaded& back) {
    const std::string golden = DataFile(file);
    EXPECT_EQ(Written([&](CXmlWriter& w) { write(w, ws); }), golden);
    back = Read(SheetDocument(golden));
    CWorksheet& read = SheetOf(back);
    EXPECT_EQ(Written([&](CXmlWriter& w) { write(w, read); }), golden);
    return read;
}

void WriteFirstContainer(CXmlWriter& w, const CWorksheet& ws) {
    if (ws.firstContainer) WriteXmlContainer(w, *ws.firstContainer);
}

void SetSeries(SeriesSettings& s, uint8_t role, const char* name, const char* data) {
    s.role = role;
    CopyTextField(s.name, name, kChartTextSize);
    CopyTextField(s.dataArray, data, kDataArraySize);
}

TEST(XmlSheetGolden, ContainerWithOneChart) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    auto c = NewBlockObject<CContainer>();
    const CellRef anchor{1, 4, kRefCell};
    InitContainerDefaults(*c, &anchor, nullptr);
    c->settings.id = 3;
    CopyTextField(c->settings.titleText[0], "Q1 & Q2", kChartTextSize);
    c->settings.titleFont[0] = ColoredFont{FontRecord{"Arial", 0, 12}, 1, Rgb(255, 0, 0)};
    auto chart = NewBlockObject<CChart>(kChart2D);
    CopyTextField(chart->settings.titleText[0], "Sales", kChartTextSize);
    chart->settings.legendCode = 6;
    SetSeries(chart->series[0].settings, 3, "Month", "R1C1:R12C1");
    SetSeries(chart->series[1].settings, 1, "Total", "R1C2:R12C2");
    CopyTextField(chart->series[1].settings.relatedX, "Month", kChartTextSize);
    chart->settings.seriesCount = 2;
    c->slots[0].kind = kObjectChart;
    c->slots[0].chart = std::move(chart);
    c->settings.objectCount = 1;
    LinkContainer(ws, std::move(c));
    Loaded l;
    ExpectGolden("container.xml", WriteFirstContainer, ws, l);
}

TEST(XmlSheetGolden, PageSetup) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    PageSetupRecord& p = ws.pageSetup;
    CopyTextField(p.printerName, "Laser & Co", kPageTextSize);
    CopyTextField(p.paperName, "A4", kPageTextSize);
    CopyTextField(p.pages, "1-3,5", kPageTextSize);
    CopyTextField(p.excludedRows, "1:2", kPageTextSize);
    CopyTextField(p.headerText, "<b>", kPageTextSize);
    CopyTextField(p.footerText, "&p", kPageTextSize);
    p.headerFont.font = FontRecord{"Courier New", 0, 9, 2};
    p.headerFont.color = Rgb(0, 0, 255);
    p.landscape = p.collate = 1;
    p.printRangeKind = kPrintPageList;
    p.fitToSheetSize = 1; // a page list writes its percentage all the same
    p.scale = 80;
    p.firstPageNumber = 2;
    p.copies = 3;
    p.headerDistance = 10;
    p.footerDistance = 15.5;
    p.onFirstPage = p.rowHeadings = 0;
    p.marginLeft = 10;
    p.marginRight = 11.5;
    p.marginTop = 12.25;
    p.marginBottom = 13.125;
    p.pagesPerSheetRows = 2;
    p.pagesPerSheetColumns = 3;
    p.alignment = 4 | 16;
    Loaded l;
    CWorksheet& back = ExpectGolden("pagesettings.xml", WriteXmlPageSettings, ws, l);
    EXPECT_EQ(back.pageSetup.fitToSheetSize, 0);
}

TEST(XmlSheetGolden, ViewSettings) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    ViewSettingsRecord& v = ws.view;
    v.background.kind = kBackgroundFractal;
    v.scale = 150;
    v.showGrid = 0;
    v.gridColorGiven = v.headingsColorGiven = 1;
    v.gridColor = Rgb(0xAB, 0x12, 0x34);
    v.headingsColor = Rgb(0, 0, 0x80);
    v.topLeft = CellRef{1, 2, kRefCell};
    v.selection[0] = CellRef{1, 1, kRefCell};
    v.selection[1] = CellRef{3, 4, kRefCell};
    v.freezed = CellRef{0, 2, kRefRow};
    Loaded l;
    ExpectGolden("viewsettings.xml", WriteXmlGeneralSettings, ws, l);
}

} // namespace
} // namespace vl::xmltest
