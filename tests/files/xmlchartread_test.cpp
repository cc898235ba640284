// What the chart reader fills in: defaults of absent parts, keyword tables, the 3D view and
// the series groups.

#include "model/container.h"
#include "model/viewtransform.h"
#include "xmltestutil.h"

namespace vl {
namespace xmltest {
namespace {

// The first chart of the first container of a loaded one-sheet document.
const CChart& FirstChart(const Loaded& l) {
    static const CChart empty(0);
    if (!l.ok) return empty;
    const CWorksheet& ws = *static_cast<const CWorksheet*>(l.book->tree.first);
    return *ws.firstContainer->slots[0].chart;
}

Loaded Read(const std::string& document) {
    Loaded l = ReadFromMemory(document);
    EXPECT_TRUE(l.ok) << int(l.error) << " at line " << l.line;
    return l;
}

TEST(XmlChartRead, SelfClosingChartKeepsConstructionValues) {
    Loaded l = Read(ObjectsDoc("<Chart3D/>"));
    const ChartSettings& s = FirstChart(l).settings;
    EXPECT_EQ(s.type, kChart3D);
    EXPECT_EQ(s.seriesCount, 0);
    EXPECT_EQ(s.viewWidth, 100);
    EXPECT_EQ(s.pieThickness3D, 25);
    EXPECT_EQ(s.pieSplit, 15);
    EXPECT_EQ(s.lightDirectionX, 80);
}

TEST(XmlChartRead, LegendCodes) {
    const struct {
        std::string attributes;
        uint8_t code;
    } cases[] = {{"", 5},
                 {"Position='Bottom' Layout='Horizontal'", 8},
                 {"Position='Left'", 1},
                 {"Position='Top' Layout='Horizontal'", 4},
                 {"Position='None' Layout='Horizontal'", 0}};
    for (const auto& c : cases) {
        Loaded l = Read(ChartDoc("Chart2D", "", "<Legend " + c.attributes + "><Font/></Legend>"));
        EXPECT_EQ(FirstChart(l).settings.legendCode, c.code) << c.attributes;
    }
}

TEST(XmlChartRead, MatrixEntriesStartFromZero) {
    Loaded l = Read(ChartDoc("Chart3D", "",
                             "<Transformation><Matrix m11='1' m34='-2.5'/><LightDirectionX>0"
                             "</LightDirectionX><LightDirectionY>180</LightDirectionY>"
                             "<Perspective>100</Perspective></Transformation>"));
    const CChart& chart = FirstChart(l);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(chart.viewMatrix[i], i == 0 ? 1.0f : i == 11 ? -2.5f : 0.0f) << i;
    EXPECT_EQ(chart.settings.rotationX, 0);
    EXPECT_EQ(chart.settings.lightDirectionY, 180);
    EXPECT_EQ(chart.settings.perspective, 100);
}

TEST(XmlChartRead, RotationsComposeOntoTheViewMatrix) {
    Loaded l = Read(ChartDoc("Chart3D", "",
                             "<Transformation><RotationX>90</RotationX><RotationY>-30</RotationY>"
                             "<RotationZ>0</RotationZ><LightDirectionX>1</LightDirectionX>"
                             "<LightDirectionY>2</LightDirectionY><Perspective>3</Perspective>"
                             "</Transformation>"));
    float expected[16];
    SetIdentityMatrix(expected);
    ApplyChartTransform(expected, kRotateX, ChartDegreesToRadians(90));
    ApplyChartTransform(expected, kRotateY, ChartDegreesToRadians(-30));
    const CChart& chart = FirstChart(l);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(chart.viewMatrix[i], expected[i]) << i;
    EXPECT_EQ(chart.settings.rotationX, 90);
    EXPECT_EQ(chart.settings.rotationY, -30);
}

TEST(XmlChartRead, SeriesGroupsGiveRoles) {
    const std::string sigma = "<Sigma><Name/><DataArray/></Sigma>";
    Loaded l = Read(ChartDoc("Chart2D", Repeat(sigma, 3) + Repeat(X2D(), 4) + Repeat(Y2D(), 9)));
    const CChart& chart = FirstChart(l);
    ASSERT_EQ(chart.settings.seriesCount, 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(chart.series[i].settings.role, i < 3 ? 4 : i < 7 ? 3 : 1) << i;
    Loaded xy = Read(ChartDoc("ChartXY", "<X><Name/><RelatedSigma/><DataArray FromValue=' -2.5'/>"
                                         "<DataPeriods Periods='7' Divisor='x'/></X>"));
    const SeriesSettings& x = FirstChart(xy).series[0].settings;
    EXPECT_EQ(x.role, 2);
    EXPECT_EQ(x.rangeFlags, kFromValueGiven);
    EXPECT_EQ(x.fromValue, -2.5);
    EXPECT_EQ(x.periods, 7);
}

TEST(XmlChartRead, PresentationOptions) {
    const std::string scatterChildren = "<Font/><Border/><FillPattern/><ConnectingLine/></Scatter>";
    const struct {
        std::string chart, style;
        uint8_t kind, stacked, relative, visible, symbol;
    } cases[] = {
        {"Chart2D", "<Bar Stacked='Relative'><Font/><FillPattern/></Bar>", 2, 1, 1, 1, 5},
        {"Chart2D", "<Area Stacked='Normal' Visible='No'><Font/><FillPattern/></Area>", 4, 1, 0, 0,
         5},
        {"Chart2D", "<Scatter>" + scatterChildren, 6, 0, 0, 1, 3},
        {"ChartXY", "<Scatter Symbol=''>" + scatterChildren, 6, 0, 0, 1, 0},
        {"ChartXY", "<Scatter Symbol='Cross9'>" + scatterChildren, 6, 0, 0, 1, 15},
    };
    for (const auto& c : cases) {
        Loaded l = Read(ChartDoc(c.chart, Y2D(c.style)));
        const SeriesSettings& s = FirstChart(l).series[0].settings;
        EXPECT_EQ(s.kind, c.kind) << c.style;
        EXPECT_EQ(s.stacked, c.stacked) << c.style;
        EXPECT_EQ(s.relative, c.relative) << c.style;
        EXPECT_EQ(s.visible, c.visible) << c.style;
        EXPECT_EQ(s.symbol, c.symbol) << c.style;
    }
    Loaded l3 = Read(ChartDoc("Chart3D", Y3D("<Line Stacked='Normal'><FillPattern/></Line>")));
    EXPECT_EQ(FirstChart(l3).series[0].settings.kind, 9);
    EXPECT_EQ(FirstChart(l3).series[0].settings.stacked, 0);
}

TEST(XmlChartRead, PieSlicesAndTheirCount) {
    Loaded l =
        Read(ChartDoc("Chart2D", Y2D("<Pie><Font/><FillPattern PatternType='Gray50'/><FillPattern/>"
                                     "<FillPattern PatternColor='#010203'/></Pie>")));
    const SeriesSettings& s = FirstChart(l).series[0].settings;
    EXPECT_EQ(s.kind, 5);
    EXPECT_EQ(s.sliceFillCount, 3);
    EXPECT_EQ(s.sliceFills[0].pattern, FORMAT_PAT_GRAY50);
    EXPECT_EQ(s.sliceFills[2].patternColor, Rgb(1, 2, 3));
    EXPECT_EQ(s.sliceFills[3].patternColor, ChartPaletteColor(3)); // left as it was
}

TEST(XmlChartRead, AxisFlagsAndGridLines) {
    const struct {
        std::string attributes;
        uint16_t flags;
        uint8_t type;
    } cases[] = {{"", 0x72, 0},
                 {"Labels='Vertical'", 0x71, 0},
                 {"Labels='None' Title='Horizontal' Type='Dual'", 0x78, 3},
                 {"Title='Vertical' Ticks='false' Subticks='No'", 0x46, 0}};
    for (const auto& c : cases) {
        Loaded l = Read(ChartDoc("Chart2D", X2D("<Axis " + c.attributes +
                                                "><TitleText>t</TitleText><Font/><Line/></Axis>")));
        const SeriesSettings& s = FirstChart(l).series[0].settings;
        EXPECT_EQ(s.axisFlags, c.flags) << c.attributes;
        EXPECT_EQ(s.axisType, c.type) << c.attributes;
    }
    Loaded l = Read(ChartDoc(
        "Chart2D", Y2D("<Line><Font/><Line/></Line>",
                       "<GridLines><MajorGridLines Style='Dot'/><MajorGridLines Style='Dash'/>"
                       "<UserGridLine Color='#ABCDEF'> -1.5 </UserGridLine></GridLines>")));
    const SeriesSettings& s = FirstChart(l).series[0].settings;
    EXPECT_EQ(s.majorGrid.style, FORMAT_LINE_DASH); // the last of repeated lines wins
    ASSERT_EQ(s.userGridCount, 1);
    EXPECT_EQ(s.userGridValues[0], -1.5);
    EXPECT_EQ(s.userGridLines[0].color, Rgb(0xAB, 0xCD, 0xEF));
}

TEST(XmlChartRead, PlaneFlagsByChartType) {
    Loaded l3 =
        Read(ChartDoc("Chart3D", "", "", "<ChartPlane><FillPattern/><Border/></ChartPlane>"));
    const ChartSettings& s3 = FirstChart(l3).settings;
    EXPECT_EQ(s3.planeXY + s3.planeXZ + s3.planeYZ, 3);
    Loaded l2 = Read(ChartDoc("Chart2D", "", "",
                              "<ChartPlane PlaneXY='0' PlaneXZ='maybe'><FillPattern/><Border/>"
                              "</ChartPlane>"));
    EXPECT_EQ(FirstChart(l2).settings.planeXY, 0);
}

TEST(XmlChartRead, PeriodsAndScaleByRole) {
    Loaded l = Read(ChartDoc("Chart2D", X2D("", "Periods='junk' Divisor='4294967294'") +
                                            Y2D("<Line><Font/><Line/></Line>", "", "<DataArray/>",
                                                "Periods='65534' Subperiods='0'")));
    const CChart& chart = FirstChart(l);
    EXPECT_EQ(chart.series[0].settings.divisor, 4294967294u);
    EXPECT_EQ(chart.series[0].settings.periods, 1);
    EXPECT_EQ(chart.series[1].settings.periods, 65534);
    EXPECT_EQ(chart.series[1].settings.subperiods, 0);
    for (const auto& [word, scale] :
         {std::pair{"Log", 2}, {"LogE", 2}, {"Log10", 3}, {"Linear", 0}}) {
        Loaded s = Read(ChartDoc("Chart2D", "<Sigma Scale='" + std::string(word) +
                                                "'><Name/><DataArray/></Sigma>"));
        EXPECT_EQ(FirstChart(s).series[0].settings.scale, scale) << word;
    }
}

} // namespace
} // namespace xmltest
} // namespace vl
