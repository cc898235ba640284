// The exact bytes of one container with one chart, of one page setup and of one worksheet's
// view settings, and the same elements read back.

#include "files/xmlelements.h"
#include "model/container.h"
#include "xmltestutil.h"

#include <cstring>
#include <functional>

namespace vl {
namespace xmltest {
namespace {

std::string Written(const std::function<void(CXmlWriter&)>& write) {
    CXmlWriter w;
    write(w);
    w.Flush();
    return w.Memory();
}

// The one worksheet of a document that holds `inner`, read back.
CWorksheet& ReadSheet(Loaded& l, const std::string& inner) {
    l = ReadFromMemory(SheetDocument(inner));
    EXPECT_TRUE(l.ok) << int(l.error) << " at line " << l.line;
    return *static_cast<CWorksheet*>(l.book->tree.first);
}

std::unique_ptr<CContainer> SampleContainer() {
    auto c = NewBlockObject<CContainer>();
    const CellRef anchor{1, 4, kRefCell};
    InitContainerDefaults(*c, &anchor, nullptr);
    c->settings.id = 3;
    CopyTextField(c->settings.titleText[0], "Q1 & Q2", kChartTextSize);
    ColoredFont& font = c->settings.titleFont[0];
    CopyTextField(font.font.faceName, "Arial", kFaceNameSize);
    font.font.size = 12;
    font.colorGiven = 1;
    font.color = Rgb(255, 0, 0);

    auto chart = NewBlockObject<CChart>(kChart2D);
    CopyTextField(chart->settings.titleText[0], "Sales", kChartTextSize);
    chart->settings.legendCode = 6;
    SeriesSettings& x = chart->series[0].settings;
    x.role = 3;
    CopyTextField(x.name, "Month", kChartTextSize);
    CopyTextField(x.dataArray, "R1C1:R12C1", kDataArraySize);
    SeriesSettings& y = chart->series[1].settings;
    y.role = 1;
    CopyTextField(y.name, "Total", kChartTextSize);
    CopyTextField(y.relatedX, "Month", kChartTextSize);
    CopyTextField(y.dataArray, "R1C2:R12C2", kDataArraySize);
    chart->settings.seriesCount = 2;
    c->slots[0].kind = kObjectChart;
    c->slots[0].chart = std::move(chart);
    c->settings.objectCount = 1;
    return c;
}

// The axis and grid lines of a new series, at `tabs` indentation.
std::string NewSeriesAxis(const std::string& tabs) {
    return tabs +
           "<Axis Type=\"None\" Labels=\"Horizontal\" Title=\"None\" Ticks=\"1\" "
           "Subticks=\"1\">\r\n" +
           tabs + "\t<TitleText></TitleText>\r\n" + tabs + "\t<Font/>\r\n" + tabs +
           "\t<Line Style=\"Continuous\"/>\r\n" + tabs + "</Axis>\r\n" + tabs + "<GridLines>\r\n" +
           tabs + "\t<MajorGridLines Style=\"Continuous\"/>\r\n" + tabs +
           "\t<MinorGridLines Style=\"Continuous\"/>\r\n" + tabs + "</GridLines>\r\n";
}

const std::string kSixTabs = "\t\t\t\t\t\t";

const std::string kContainer =
    "\t<Container ID=\"3\" Columns=\"1\" Rows=\"1\" HorzSpacing=\"4\" VertSpacing=\"4\" "
    "Opacity=\"100\">\r\n"
    "\t\t<Placement rc=\"r5c2\" Left=\"10\" Top=\"10\" Right=\"360\" Bottom=\"260\"/>\r\n"
    "\t\t<Border Style=\"Continuous\"/>\r\n"
    "\t\t<Background>\r\n"
    "\t\t\t<FillPattern PatternType=\"Solid\"/>\r\n"
    "\t\t</Background>\r\n"
    "\t\t<Title>\r\n"
    "\t\t\t<Font Name=\"Arial\" Size=\"12\" Color=\"#ff0000\"/>\r\n"
    "\t\t\t<Text>Q1 &amp; Q2</Text>\r\n"
    "\t\t</Title>\r\n"
    "\t\t<Objects>\r\n"
    "\t\t\t<Chart2D>\r\n"
    "\t\t\t\t<Options>\r\n"
    "\t\t\t\t\t<ViewWidth>100</ViewWidth>\r\n"
    "\t\t\t\t\t<ViewHeight>100</ViewHeight>\r\n"
    "\t\t\t\t\t<BarSize>70</BarSize>\r\n"
    "\t\t\t\t\t<StackBarSize>70</StackBarSize>\r\n"
    "\t\t\t\t\t<PieSplit>15</PieSplit>\r\n"
    "\t\t\t\t</Options>\r\n"
    "\t\t\t\t<Title>\r\n"
    "\t\t\t\t\t<Font/>\r\n"
    "\t\t\t\t\t<Text>Sales</Text>\r\n"
    "\t\t\t\t</Title>\r\n"
    "\t\t\t\t<Legend Position=\"Right\" Layout=\"Horizontal\">\r\n"
    "\t\t\t\t\t<Font/>\r\n"
    "\t\t\t\t</Legend>\r\n"
    "\t\t\t\t<DataSeries>\r\n"
    "\t\t\t\t\t<X>\r\n"
    "\t\t\t\t\t\t<Name>Month</Name>\r\n"
    "\t\t\t\t\t\t<RelatedSigma></RelatedSigma>\r\n"
    "\t\t\t\t\t\t<DataArray>R1C1:R12C1</DataArray>\r\n"
    "\t\t\t\t\t\t<DataPeriods Divisor=\"1\"/>\r\n"
    "\t\t\t\t\t\t<NumberFormat>\r\n"
    "\t\t\t\t\t\t\t<Default/>\r\n"
    "\t\t\t\t\t\t</NumberFormat>\r\n" +
    NewSeriesAxis(kSixTabs) +
    "\t\t\t\t\t</X>\r\n"
    "\t\t\t\t\t<Y>\r\n"
    "\t\t\t\t\t\t<Name>Total</Name>\r\n"
    "\t\t\t\t\t\t<RelatedSigma></RelatedSigma>\r\n"
    "\t\t\t\t\t\t<RelatedX>Month</RelatedX>\r\n"
    "\t\t\t\t\t\t<DataArray>R1C2:R12C2</DataArray>\r\n"
    "\t\t\t\t\t\t<DataPeriods Periods=\"1\" Subperiods=\"1\"/>\r\n"
    "\t\t\t\t\t\t<NumberFormat>\r\n"
    "\t\t\t\t\t\t\t<Default/>\r\n"
    "\t\t\t\t\t\t</NumberFormat>\r\n"
    "\t\t\t\t\t\t<Column Stacked=\"No\" Labels=\"None\" Visible=\"1\">\r\n"
    "\t\t\t\t\t\t\t<Font/>\r\n"
    "\t\t\t\t\t\t\t<FillPattern PatternType=\"Solid\" PatternColor=\"#FFFF00\"/>\r\n"
    "\t\t\t\t\t\t</Column>\r\n" +
    NewSeriesAxis(kSixTabs) +
    "\t\t\t\t\t</Y>\r\n"
    "\t\t\t\t</DataSeries>\r\n"
    "\t\t\t\t<ChartPlane PlaneXY=\"1\">\r\n"
    "\t\t\t\t\t<FillPattern PatternType=\"Solid\"/>\r\n"
    "\t\t\t\t\t<Border Style=\"Continuous\"/>\r\n"
    "\t\t\t\t</ChartPlane>\r\n"
    "\t\t\t</Chart2D>\r\n"
    "\t\t</Objects>\r\n"
    "\t</Container>\r\n"
    "\r\n";

TEST(XmlSheetGolden, ContainerWithOneChart) {
    auto c = SampleContainer();
    EXPECT_EQ(Written([&](CXmlWriter& w) { WriteXmlContainer(w, *c); }), kContainer);
    Loaded l;
    CWorksheet& ws = ReadSheet(l, kContainer);
    ASSERT_NE(ws.firstContainer, nullptr);
    EXPECT_EQ(Written([&](CXmlWriter& w) { WriteXmlContainer(w, *ws.firstContainer); }),
              kContainer);
    const CChart& chart = *ws.firstContainer->slots[0].chart;
    EXPECT_EQ(chart.settings.type, kChart2D);
    EXPECT_EQ(chart.series[0].settings.role, 3);
    EXPECT_EQ(chart.series[1].settings.kind, 1);
}

const std::string kPageSettings =
    "\t<PageSettings>\r\n"
    "\t\t<Printer>\r\n"
    "\t\t\t<Name>Laser &amp; Co</Name>\r\n"
    "\t\t\t<SheetSize Landscape=\"1\">A4</SheetSize>\r\n"
    "\t\t</Printer>\r\n"
    "\t\t<PrintRange>\r\n"
    "\t\t\t<Pages Scale=\"80%\" FirstPageNumber=\"2\">1-3,5</Pages>\r\n"
    "\t\t\t<ExcludedRows>1:2</ExcludedRows>\r\n"
    "\t\t\t<ExcludedColumns></ExcludedColumns>\r\n"
    "\t\t\t<Copies Collate=\"1\" BackToFrontOrder=\"0\">3</Copies>\r\n"
    "\t\t</PrintRange>\r\n"
    "\t\t<Headers OnFirstPage=\"0\">\r\n"
    "\t\t\t<Margins Top=\"10\" Bottom=\"15.5\"/>\r\n"
    "\t\t\t<HeaderText>&lt;b&gt;</HeaderText>\r\n"
    "\t\t\t<FooterText>&amp;p</FooterText>\r\n"
    "\t\t\t<Font Name=\"Courier New\" Size=\"9\" Weight=\"Bold\" "
    "Color=\"#0000ff\"/>\r\n"
    "\t\t</Headers>\r\n"
    "\t\t<PageLayout>\r\n"
    "\t\t\t<Margins Left=\"10\" Top=\"12.25\" Right=\"11.5\" "
    "Bottom=\"13.125\"/>\r\n"
    "\t\t\t<PagesPerSheet Columns=\"3\" Rows=\"2\"/>\r\n"
    "\t\t\t<Alignment HorizontalAlignment=\"Right\" "
    "VerticalAlignment=\"Center\"/>\r\n"
    "\t\t</PageLayout>\r\n"
    "\t\t<RowHeadings Visible=\"0\"/>\r\n"
    "\t\t<ColumnHeadings/>\r\n"
    "\t</PageSettings>\r\n"
    "\r\n";

TEST(XmlSheetGolden, PageSetup) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    PageSetupRecord& p = ws.pageSetup;
    CopyTextField(p.printerName, "Laser & Co", kPageTextSize);
    CopyTextField(p.paperName, "A4", kPageTextSize);
    p.landscape = 1;
    p.printRangeKind = kPrintPageList;
    p.fitToSheetSize = 1; // a page list writes its percentage all the same
    p.scale = 80;
    p.firstPageNumber = 2;
    CopyTextField(p.pages, "1-3,5", kPageTextSize);
    CopyTextField(p.excludedRows, "1:2", kPageTextSize);
    p.copies = 3;
    p.collate = 1;
    p.headerDistance = 10;
    p.footerDistance = 15.5;
    CopyTextField(p.headerText, "<b>", kPageTextSize);
    CopyTextField(p.footerText, "&p", kPageTextSize);
    CopyTextField(p.headerFont.font.faceName, "Courier New", kFaceNameSize);
    p.headerFont.font.size = 9;
    p.headerFont.font.weight = 2;
    p.headerFont.color = Rgb(0, 0, 255);
    p.onFirstPage = 0;
    p.marginLeft = 10;
    p.marginRight = 11.5;
    p.marginTop = 12.25;
    p.marginBottom = 13.125;
    p.pagesPerSheetRows = 2;
    p.pagesPerSheetColumns = 3;
    p.alignment = 4 | 16;
    p.rowHeadings = 0;
    EXPECT_EQ(Written([&](CXmlWriter& w) { WriteXmlPageSettings(w, ws); }), kPageSettings);
    Loaded l;
    CWorksheet& back = ReadSheet(l, kPageSettings);
    EXPECT_EQ(Written([&](CXmlWriter& w) { WriteXmlPageSettings(w, back); }), kPageSettings);
    EXPECT_EQ(back.pageSetup.fitToSheetSize, 0);
    EXPECT_EQ(back.pageSetup.alignment, 4 | 16);
}

const std::string kViewSettings =
    "\t<GeneralSettings>\r\n"
    "\t\t<Background>\r\n"
    "\t\t\t<Fractal Zr=\"0.1\" Zi=\"0.043\" MinX=\"-1.1\" MaxX=\"1.1\" "
    "MinY=\"-1.1\" MaxY=\"1.1\">\r\n"
    "\t\t\t\t<Color>#000000</Color>\r\n"
    "\t\t\t\t<Color>#800000</Color>\r\n"
    "\t\t\t\t<Color>#008000</Color>\r\n"
    "\t\t\t\t<Color>#808000</Color>\r\n"
    "\t\t\t\t<Color>#000080</Color>\r\n"
    "\t\t\t\t<Color>#800080</Color>\r\n"
    "\t\t\t\t<Color>#008080</Color>\r\n"
    "\t\t\t\t<Color>#808080</Color>\r\n"
    "\t\t\t\t<Color>#c0c0c0</Color>\r\n"
    "\t\t\t\t<Color>#ff0000</Color>\r\n"
    "\t\t\t\t<Color>#00ff00</Color>\r\n"
    "\t\t\t\t<Color>#ffff00</Color>\r\n"
    "\t\t\t\t<Color>#0000ff</Color>\r\n"
    "\t\t\t\t<Color>#ff00ff</Color>\r\n"
    "\t\t\t\t<Color>#00ffff</Color>\r\n"
    "\t\t\t\t<Color>#ffffff</Color>\r\n"
    "\t\t\t</Fractal>\r\n"
    "\t\t</Background>\r\n"
    "\t\t<Table Scale=\"150%\" ShowGrid=\"0\" GridColor=\"#AB1234\" "
    "HeadingsColor=\"#000080\">\r\n"
    "\t\t\t<TopLeft rc=\"r3c2\"/>\r\n"
    "\t\t\t<Selection rc=\"r2c2:r5c4\"/>\r\n"
    "\t\t\t<Freezed rc=\"r3\"/>\r\n"
    "\t\t</Table>\r\n"
    "\t</GeneralSettings>\r\n"
    "\r\n";

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
    EXPECT_EQ(Written([&](CXmlWriter& w) { WriteXmlGeneralSettings(w, ws); }), kViewSettings);
    Loaded l;
    CWorksheet& back = ReadSheet(l, kViewSettings);
    EXPECT_EQ(Written([&](CXmlWriter& w) { WriteXmlGeneralSettings(w, back); }), kViewSettings);
    EXPECT_EQ(back.view.selection[1].row, 4u);
    EXPECT_EQ(back.view.selection[1].column, 3);
}

} // namespace
} // namespace xmltest
} // namespace vl
