// A worksheet's view and page settings read from files that leave things out, and the rules
// of the chart writer that no golden document shows.

#include "files/xmlelements.h"
#include "model/container.h"
#include "xmltestutil.h"

#include <tuple>

namespace vl::xmltest {
namespace {

Loaded ReadSheet(const std::string& inner) {
    return Read(SheetDocument(inner));
}

TEST(XmlSheetSettings, AbsentViewAttributes) {
    Loaded l =
        ReadSheet("<GeneralSettings><Table Scale='10%' ShowGrid='false'/></GeneralSettings>");
    const ViewSettingsRecord& v = SheetOf(l).view;
    EXPECT_EQ(std::tuple(v.scale, v.showGrid, v.gridColorGiven, v.gridColor, v.headingsColorGiven,
                         v.headingsColor, v.background.kind),
              std::tuple(10, 0, 0, GetSystemColor(kColorButtonFace), 0,
                         GetSystemColor(kColorButtonFace), kBackgroundPattern));
    Loaded c = ReadSheet("<GeneralSettings><Table HeadingsColor='lime'><TopLeft/>"
                         "<Freezed rc='c2'/></Table></GeneralSettings>");
    const ViewSettingsRecord& w = SheetOf(c).view;
    EXPECT_EQ(std::tuple(w.headingsColorGiven, w.headingsColor, w.freezed.flags, w.freezed.column),
              std::tuple(1, Rgb(0, 255, 0), kRefColumn, 1));
}

TEST(XmlSheetSettings, AbsentPageParts) {
    Loaded l =
        ReadSheet("<PageSettings><PrintRange><All Scale='FitToSheetSize'/><ExcludedRows/>"
                  "<ExcludedColumns/><Copies> 2 </Copies></PrintRange>"
                  "<Headers><Margins/><HeaderText/><FooterText/><Font/></Headers>"
                  "<PageLayout><Margins/><PagesPerSheet/><Alignment HorizontalAlignment='Center' "
                  "VerticalAlignment='Center'/></PageLayout></PageSettings>");
    const PageSetupRecord& p = SheetOf(l).pageSetup;
    EXPECT_EQ(std::tuple(p.fitToSheetSize, p.scale, p.firstPageNumber, p.copies, p.onFirstPage),
              std::tuple(1, 100, 1, 2, 1));
    for (double margin : {p.headerDistance, p.footerDistance, p.marginLeft, p.marginRight,
                          p.marginTop, p.marginBottom})
        EXPECT_EQ(margin, 1.5);
    // A new worksheet's header colour stays.
    EXPECT_EQ(
        std::tuple(p.headerText[0], p.alignment, p.pagesPerSheetRows, p.headerFont.colorGiven),
        std::tuple(0, 2 | 16, 1, 1));
    const std::string written =
        Written([&](CXmlWriter& w) { WriteXmlPageSettings(w, SheetOf(l)); });
    EXPECT_NE(written.find("<All Scale=\"FitToSheetSize\" FirstPageNumber=\"1\"/>"),
              std::string::npos);
    EXPECT_NE(written.find("HorizontalAlignment=\"Center\" VerticalAlignment=\"Center\""),
              std::string::npos);
    // Without "Printer" the worksheet keeps its printer and paper.
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    CopyTextField(ws.pageSetup.printerName, "Kept", kPageTextSize);
    CXmlReader r;
    r.ResetMemory("<PageSettings><RowHeadings Visible='0'/></PageSettings>");
    EXPECT_TRUE(ReadXmlPageSettings(r, ws));
    EXPECT_EQ(std::tuple(std::string(ws.pageSetup.printerName), ws.pageSetup.rowHeadings,
                         ws.pageSetup.columnHeadings),
              std::tuple(std::string("Kept"), 0, 1));
}

// The alignment words the writer gives are those of the bit that counts; the first page
// number it writes is one the reader takes.
TEST(XmlSheetSettings, WrittenAlignmentAndFirstPage) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    const struct {
        uint8_t stored;
        const char* written;
    } cases[] = {
        {0, "<Alignment/>"},
        {3, "<Alignment HorizontalAlignment=\"Left\"/>"},
        {6, "<Alignment HorizontalAlignment=\"Center\"/>"},
        {56, "<Alignment VerticalAlignment=\"Top\"/>"},
        {4 | 48, "<Alignment HorizontalAlignment=\"Right\" VerticalAlignment=\"Center\"/>"},
    };
    for (const auto& c : cases) {
        ws.pageSetup.alignment = c.stored;
        const std::string written = Written([&](CXmlWriter& w) { WriteXmlPageSettings(w, ws); });
        EXPECT_NE(written.find(c.written), std::string::npos) << int(c.stored) << written;
    }
    const struct {
        uint16_t stored;
        const char* written;
    } pages[] = {{1, "FirstPageNumber=\"1\""},
                 {65534, "FirstPageNumber=\"65534\""},
                 {65535, "FirstPageNumber=\"65534\""},
                 {0, "FirstPageNumber=\"1\""}};
    for (const auto& c : pages) {
        ws.pageSetup.firstPageNumber = c.stored;
        const std::string written = Written([&](CXmlWriter& w) { WriteXmlPageSettings(w, ws); });
        EXPECT_NE(written.find(c.written), std::string::npos) << c.stored;
    }
    for (const char* number : {"65534", "65535"}) {
        Loaded l = ReadFromMemory(SheetDocument(
            std::string("<PageSettings><PrintRange><All FirstPageNumber='") + number +
            "'/><ExcludedRows/><ExcludedColumns/><Copies>1</Copies></PrintRange></PageSettings>"));
        EXPECT_EQ(l.ok, std::string(number) == "65534") << number;
        if (l.ok) {
            EXPECT_EQ(SheetOf(l).pageSetup.firstPageNumber, 65534);
        }
    }
}

std::string WrittenChart(const CChart& chart) {
    return Written([&](CXmlWriter& w) { WriteXmlChart(w, chart); });
}

TEST(XmlSheetSettings, ChartWriterRules) {
    CChart chart(kChart3D);
    chart.settings.planeFill.pattern = FORMAT_PAT_GRAY50;
    chart.viewMatrix[1] = 1.0f / 3.0f;
    SeriesSettings& y = chart.series[0].settings;
    y.role = 1;
    y.kind = 11;
    y.sliceFillCount = 3;
    y.scale = 2;
    y.axisFlags = 0x3A;
    chart.settings.seriesCount = 1;
    const std::string doc = WrittenChart(chart);
    for (const char* part :
         {"<LineWidth3D>70</LineWidth3D>", "<PieTickness3D>25</PieTickness3D>",
          "m11=\"1\" m12=\"0.33333334\" m13=\"0\"", "<Y Scale=\"LogE\">",
          "<Pie Labels=\"None\" "
          "Visible=\"1\">\r\n\t\t\t\t\t\t\t<Font/>\r\n\t\t\t\t\t\t\t<FillPattern",
          "Labels=\"Horizontal\" Title=\"Horizontal\" Ticks=\"1\" Subticks=\"1\"",
          "<ChartPlane PlaneXY=\"1\" PlaneXZ=\"1\" PlaneYZ=\"1\">\r\n\t\t\t\t\t<FillPattern "
          "PatternType=\"Solid\"/>"})
        EXPECT_NE(doc.find(part), std::string::npos) << part;
    EXPECT_EQ(doc.find("RelatedSigma"), std::string::npos);
    EXPECT_EQ(doc.find("<Legend"), std::string::npos);
    std::size_t fills = 0;
    for (std::size_t at = doc.find("<Pie");
         (at = doc.find("<FillPattern", at + 1)) != std::string::npos;)
        ++fills;
    EXPECT_EQ(fills, 4u); // three slices and the plane
    // Writing leaves the chart as it was, and writes the same text again.
    EXPECT_EQ(chart.settings.planeFill.pattern, FORMAT_PAT_GRAY50);
    EXPECT_EQ(WrittenChart(chart), doc);

    CChart xy(kChartXY);
    xy.settings.legendCode = 9;
    SeriesSettings& x = xy.series[0].settings;
    x.role = 2;
    x.scale = 0;
    SeriesSettings& scatter = xy.series[1].settings;
    scatter.role = 1;
    scatter.kind = 6;
    scatter.symbol = 0;
    xy.settings.seriesCount = 2;
    const std::string xyDoc = WrittenChart(xy);
    for (const char* part : {"<X>", "<DataPeriods Periods=\"1\" Subperiods=\"1\"/>",
                             "<Scatter Symbol=\"\" Labels=\"None\" Visible=\"1\">",
                             "<Legend Position=\"None\" Layout=\"Vertical\">"})
        EXPECT_NE(xyDoc.find(part), std::string::npos) << part;
    EXPECT_EQ(xyDoc.find("LineWidth3D"), std::string::npos);
    EXPECT_EQ(xyDoc.find("Transformation"), std::string::npos);
}

} // namespace
} // namespace vl::xmltest

namespace vl::xmltest {
namespace {

// A selection resolved at printing keeps its range or container; a bare one stays to resolve.
TEST(XmlSheetSettings, ResolvedSelectionsRoundTrip) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    ws.InitPageSetup();
    PageSetupRecord& p = ws.pageSetup;
    struct Case {
        uint8_t kind;
        const char* attribute;
    };
    p.printRange.c1 = 1;
    p.printRange.r1 = 1;
    p.printRange.c2 = 3;
    p.printRange.r2 = 8;
    p.printedContainer = 65535; // the last one a document names
    const Case cases[] = {{kPrintCellRange, "Range=\"B2:D9\""},
                          {kPrintContainer, "Container=\"65535\""},
                          {kPrintSelection, "<Selection Scale"}};
    for (const Case& c : cases) {
        p.printRangeKind = c.kind;
        const std::string written = Written([&](CXmlWriter& w) { WriteXmlPageSettings(w, ws); });
        EXPECT_NE(written.find(c.attribute), std::string::npos) << written;
        CWorksheet& back = AddSheet(*book);
        CXmlReader r;
        r.ResetMemory(written);
        ASSERT_TRUE(ReadXmlPageSettings(r, back)) << written;
        const PageSetupRecord& q = back.pageSetup;
        EXPECT_EQ(q.printRangeKind, c.kind);
        if (c.kind == kPrintCellRange) {
            EXPECT_EQ(
                std::tuple(q.printRange.c1, q.printRange.r1, q.printRange.c2, q.printRange.r2),
                std::tuple(1, 1u, 3, 8u));
        }
        if (c.kind == kPrintContainer) {
            EXPECT_EQ(q.printedContainer, 65535);
        }
    }
    // Bad attributes are refused with 57.
    const char* bad[] = {"<Selection Range='B2:'/>", "<Selection Range='nowhere'/>",
                         "<Selection Container='0'/>", "<Selection Container='65536'/>",
                         "<Selection Container='7x'/>"};
    for (const char* selection : bad) {
        CWorksheet& back = AddSheet(*book);
        const std::string document = std::string("<PageSettings><PrintRange>") + selection +
                                     "<ExcludedRows/><ExcludedColumns/><Copies>1</Copies>"
                                     "</PrintRange></PageSettings>";
        CXmlReader r;
        r.ResetMemory(document); // the reader reads the text in place
        EXPECT_FALSE(ReadXmlPageSettings(r, back)) << selection;
        EXPECT_EQ(r.Error(), kErrorXmlAttribute) << selection;
    }
}

} // namespace
} // namespace vl::xmltest
