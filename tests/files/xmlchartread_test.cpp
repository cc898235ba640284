// What the chart reader fills in: defaults of absent parts, keyword tables, the 3D view and
// the series groups.

#include "model/container.h"
#include "model/viewtransform.h"
#include "xmltestutil.h"

#include <tuple>

namespace vl::xmltest {
namespace {

// The first chart of the first container of a one-sheet document that must load.
struct ChartOf {
    explicit ChartOf(const std::string& document) : l(Read(document)) {}
    const CChart& operator*() const {
        static const CChart empty(0);
        return l.ok ? *SheetOf(l).firstContainer->slots[0].chart : empty;
    }
    const CChart* operator->() const { return &**this; }
    const SeriesSettings& Series(int i) const { return (**this).series[i].settings; }
    Loaded l;
};

TEST(XmlChartRead, SelfClosingChartKeepsConstructionValues) {
    ChartOf chart(ObjectsDoc("<Chart3D/>"));
    const ChartSettings& s = chart->settings;
    EXPECT_EQ(std::tuple(s.type, s.seriesCount, s.viewWidth, s.pieThickness3D, s.pieSplit,
                         s.lightDirectionX),
              std::tuple(kChart3D, 0, 100, 25, 15, 80));
}

TEST(XmlChartRead, LegendCodes) {
    const std::pair<std::string, int> cases[] = {{"", 5},
                                                 {"Position='Bottom' Layout='Horizontal'", 8},
                                                 {"Position='Left'", 1},
                                                 {"Position='Top' Layout='Horizontal'", 4},
                                                 {"Position='None' Layout='Horizontal'", 0}};
    for (const auto& [attributes, code] : cases)
        EXPECT_EQ(ChartOf(ChartDoc("Chart2D", "", "<Legend " + attributes + "><Font/></Legend>"))
                      ->settings.legendCode,
                  code)
            << attributes;
}

std::string Transformation(const std::string& inner) {
    return ChartDoc("Chart3D", "", "<Transformation>" + inner + "</Transformation>");
}

TEST(XmlChartRead, MatrixEntriesStartFromZeroAndRotationsComposeOntoIt) {
    ChartOf chart(Transformation("<Matrix m11='1' m34='-2.5'/><LightDirectionX>0</LightDirectionX>"
                                 "<LightDirectionY>180</LightDirectionY>"
                                 "<Perspective>100</Perspective>"));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(chart->viewMatrix[i], i == 0 ? 1.0f : i == 11 ? -2.5f : 0.0f) << i;
    const ChartSettings& s = chart->settings;
    EXPECT_EQ(std::tuple(s.rotationX, s.lightDirectionY, s.perspective), std::tuple(0, 180, 100));
    ChartOf rotated(
        Transformation("<RotationX>90</RotationX><RotationY>-30</RotationY><RotationZ>0</RotationZ>"
                       "<LightDirectionX>1</LightDirectionX><LightDirectionY>2</LightDirectionY>"
                       "<Perspective>3</Perspective>"));
    float expected[16];
    SetIdentityMatrix(expected);
    ApplyChartTransform(expected, kRotateX, ChartDegreesToRadians(90));
    ApplyChartTransform(expected, kRotateY, ChartDegreesToRadians(-30));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(rotated->viewMatrix[i], expected[i]) << i;
    EXPECT_EQ(std::tuple(rotated->settings.rotationX, rotated->settings.rotationY),
              std::tuple(90, -30));
}

TEST(XmlChartRead, SeriesGroupsGiveRoles) {
    const std::string sigma = "<Sigma><Name/><DataArray/></Sigma>";
    ChartOf chart(ChartDoc("Chart2D", Repeat(sigma, 3) + Repeat(X2D(), 4) + Repeat(Y2D(), 9)));
    ASSERT_EQ(chart->settings.seriesCount, 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(chart.Series(i).role, i < 3 ? 4 : i < 7 ? 3 : 1) << i;
    ChartOf xy(ChartDoc("ChartXY", "<X><Name/><RelatedSigma/><DataArray FromValue=' -2.5'/>"
                                   "<DataPeriods Periods='7' Divisor='x'/></X>"));
    const SeriesSettings& x = xy.Series(0);
    EXPECT_EQ(std::tuple(x.role, x.rangeFlags, x.fromValue, x.periods),
              std::tuple(2, kFromValueGiven, -2.5, 7));
}

// The range values read as the C runtime reads numbers: decimal or hexadecimal.
TEST(XmlChartRead, RangeValuesTakeDecimalAndHexadecimalForms) {
    const std::pair<const char*, double> cases[] = {
        {"0x10", 16},
        {" \t0X1a", 26},
        {"-0x10", -16},
        {"+0x10", 16},
        {"0x1.8p3", 12},
        {"0x.8", 0.5},
        {"1e3", 1000},
        {"-.5", -0.5},
        // The smallest double, and below it zero as the decimal form gives it.
        {"0x1p-1074", 0x1p-1074},
        {"0x1p-1075", 0},
        {"-0x1p-1076", 0},
        {"0x0.0001p-1070", 0},
        {"0x1p-99999", 0},
    };
    for (const auto& [text, value] : cases) {
        ChartOf xy(
            ChartDoc("ChartXY", std::string("<X><Name/><RelatedSigma/><DataArray ToValue='") +
                                    text + "'/><DataPeriods/></X>"));
        const SeriesSettings& x = xy.Series(0);
        EXPECT_EQ(std::tuple(x.rangeFlags, x.toValue), std::tuple(kToValueGiven, value)) << text;
    }
}

TEST(XmlChartRead, PresentationOptions) {
    using Five = std::tuple<int, int, int, int, int>;
    const std::string scatter = "<Font/><Border/><FillPattern/><ConnectingLine/></Scatter>";
    const struct {
        std::string chart, style;
        Five expected; // kind, stacked, relative, visible, symbol
    } cases[] = {
        {"Chart2D", "<Bar Stacked='Relative'><Font/><FillPattern/></Bar>", {2, 1, 1, 1, 5}},
        {"Chart2D",
         "<Area Stacked='Normal' Visible='No'><Font/><FillPattern/></Area>",
         {4, 1, 0, 0, 5}},
        {"Chart2D", "<Scatter>" + scatter, {6, 0, 0, 1, 3}},
        {"ChartXY", "<Scatter Symbol=''>" + scatter, {6, 0, 0, 1, 0}},
        {"ChartXY", "<Scatter Symbol='Cross9'>" + scatter, {6, 0, 0, 1, 15}},
    };
    for (const auto& c : cases) {
        ChartOf chart(ChartDoc(c.chart, Y2D(c.style)));
        const SeriesSettings& s = chart.Series(0);
        EXPECT_EQ(Five(s.kind, s.stacked, s.relative, s.visible, s.symbol), c.expected) << c.style;
    }
    ChartOf line3D(ChartDoc("Chart3D", Y3D("<Line Stacked='Normal'><FillPattern/></Line>")));
    EXPECT_EQ(std::tuple(line3D.Series(0).kind, line3D.Series(0).stacked), std::tuple(9, 0));
}

TEST(XmlChartRead, PieSlicesAndTheirCount) {
    ChartOf chart(
        ChartDoc("Chart2D", Y2D("<Pie><Font/><FillPattern PatternType='Gray50'/>"
                                "<FillPattern/><FillPattern PatternColor='#010203'/></Pie>")));
    const SeriesSettings& s = chart.Series(0);
    EXPECT_EQ(
        std::tuple(s.kind, s.sliceFillCount, s.sliceFills[0].pattern, s.sliceFills[2].patternColor),
        std::tuple(5, 3, FORMAT_PAT_GRAY50, Rgb(1, 2, 3)));
    EXPECT_EQ(s.sliceFills[3].patternColor, ChartPaletteColor(3)); // left as it was
}

TEST(XmlChartRead, AxisFlagsAndGridLines) {
    const std::tuple<std::string, int, int> cases[] = {
        {"", 0x72, 0},
        {"Labels='Vertical'", 0x71, 0},
        {"Labels='None' Title='Horizontal' Type='Dual'", 0x78, 3},
        {"Title='Vertical' Ticks='false' Subticks='No'", 0x46, 0}};
    for (const auto& [attributes, flags, type] : cases) {
        ChartOf chart(ChartDoc("Chart2D", X2D("<Axis " + attributes +
                                              "><TitleText>t</TitleText><Font/><Line/></Axis>")));
        EXPECT_EQ(std::tuple(chart.Series(0).axisFlags, chart.Series(0).axisType),
                  std::tuple(flags, type))
            << attributes;
    }
    ChartOf chart(ChartDoc(
        "Chart2D", Y2D("<Line><Font/><Line/></Line>",
                       "<GridLines><MajorGridLines Style='Dot'/><MajorGridLines Style='Dash'/>"
                       "<UserGridLine Color='#ABCDEF'> -1.5 </UserGridLine></GridLines>")));
    const SeriesSettings& s = chart.Series(0);
    // The last of repeated lines wins.
    EXPECT_EQ(std::tuple(s.majorGrid.style, s.userGridCount, s.userGridValues[0],
                         s.userGridLines[0].color),
              std::tuple(FORMAT_LINE_DASH, 1, -1.5, Rgb(0xAB, 0xCD, 0xEF)));
}

TEST(XmlChartRead, PlaneFlagsByChartType) {
    ChartOf chart(ChartDoc("Chart3D", "", "", "<ChartPlane><FillPattern/><Border/></ChartPlane>"));
    const ChartSettings& s3 = chart->settings;
    EXPECT_EQ(s3.planeXY + s3.planeXZ + s3.planeYZ, 3);
    EXPECT_EQ(ChartOf(ChartDoc("Chart2D", "", "",
                               "<ChartPlane PlaneXY='0' PlaneXZ='maybe'><FillPattern/><Border/>"
                               "</ChartPlane>"))
                  ->settings.planeXY,
              0);
}

TEST(XmlChartRead, PeriodsAndScaleByRole) {
    ChartOf chart(ChartDoc("Chart2D", X2D("", "Periods='junk' Divisor='4294967294'") +
                                          Y2D("<Line><Font/><Line/></Line>", "", "<DataArray/>",
                                              "Periods='65534' Subperiods='0'")));
    EXPECT_EQ(std::tuple(chart.Series(0).divisor, chart.Series(0).periods, chart.Series(1).periods,
                         chart.Series(1).subperiods),
              std::tuple(4294967294u, 1, 65534, 0));
    for (const auto& [word, scale] :
         {std::pair{"Log", 2}, {"LogE", 2}, {"Log10", 3}, {"Linear", 0}})
        EXPECT_EQ(ChartOf(ChartDoc("Chart2D", "<Sigma Scale='" + std::string(word) +
                                                  "'><Name/><DataArray/></Sigma>"))
                      .Series(0)
                      .scale,
                  scale)
            << word;
}

} // namespace
} // namespace vl::xmltest
