// Containers, charts, view and page settings that fail to load: each limit one past it, each
// word outside its table, each misplaced element.

#include "xmltestutil.h"

namespace vl {
namespace xmltest {
namespace {

struct ErrorCase {
    std::string name;
    std::string document;
    ErrorCode error;
};

std::string Background(const std::string& inner) {
    return ContainerDoc("<Background>" + inner + "</Background>");
}

std::string Options(const std::string& viewWidth, const std::string& rest = "") {
    return ChartDoc("Chart2D", "",
                    "<Options><ViewWidth>" + viewWidth +
                        "</ViewWidth><ViewHeight>1</ViewHeight><BarSize>1</BarSize>"
                        "<StackBarSize>1</StackBarSize>" +
                        rest + "<PieSplit>0</PieSplit></Options>");
}

std::string Transformation(const std::string& inner) {
    return ChartDoc("Chart3D", "", "<Transformation>" + inner + "</Transformation>");
}

std::string Light(const std::string& x, const std::string& perspective = "1") {
    return "<LightDirectionX>" + x +
           "</LightDirectionX><LightDirectionY>0</LightDirectionY>"
           "<Perspective>" +
           perspective + "</Perspective>";
}

std::string Table(const std::string& attributes, const std::string& inner = "") {
    return SheetDocument("<GeneralSettings><Table " + attributes + ">" + inner +
                         "</Table></GeneralSettings>");
}

std::string Page(const std::string& inner) {
    return SheetDocument("<PageSettings>" + inner + "</PageSettings>");
}

std::string Range(const std::string& range, const std::string& copies = "1") {
    return Page("<PrintRange>" + range + "<ExcludedRows/><ExcludedColumns/><Copies>" + copies +
                "</Copies></PrintRange>");
}

std::string Layout(const std::string& pages, const std::string& alignment) {
    return Page("<PageLayout><Margins/><PagesPerSheet " + pages + "/><Alignment " + alignment +
                "/></PageLayout>");
}

std::vector<ErrorCase> ContainerCases() {
    const std::string image = "<Image ID='1'/>";
    return {
        {"ContainerWithoutId", ContainerDoc("", "Rows='2'"), kErrorXmlMissing},
        {"IdZero", ContainerDoc("", "ID='0'"), kErrorXmlData},
        {"IdPastTheLimit", ContainerDoc("", "ID='65535'"), kErrorXmlData},
        {"Columns255", ContainerDoc("", "ID='1' Columns='255'"), kErrorXmlData},
        {"ColumnsZero", ContainerDoc("", "ID='1' Columns='0'"), kErrorXmlData},
        {"Rows255", ContainerDoc("", "ID='1' Rows='255'"), kErrorXmlData},
        {"Opacity101", ContainerDoc("", "ID='1' Opacity='101'"), kErrorXmlData},
        {"PlacementRowOnly", ContainerDoc("<Placement rc='r2'/>"), kErrorXmlAttribute},
        {"PlacementTrailingText", ContainerDoc("<Placement rc='r2c3x'/>"), kErrorXmlAttribute},
        {"PlacementPastTheGrid", ContainerDoc("<Placement rc='r2097153c1'/>"), kErrorXmlAttribute},
        {"PlacementBeforeTheGrid", ContainerDoc("<Placement rc='r[-1]c1'/>"), kErrorXmlAttribute},
        {"LeftPastTheLimit", ContainerDoc("<Placement Left='-2147483648'/>"), kErrorXmlData},
        {"BorderStyle", ContainerDoc("<Border Style='Thick'/>"), kErrorXmlAttribute},
        {"Fractal15Colors",
         Background("<Fractal>" + Repeat("<Color>red</Color>", 15) + "</Fractal>"),
         kErrorXmlElement},
        {"Fractal17Colors",
         Background("<Fractal>" + Repeat("<Color>red</Color>", 17) + "</Fractal>"),
         kErrorXmlElement},
        {"FractalColor",
         Background("<Fractal>" + Repeat("<Color>#12345</Color>", 16) + "</Fractal>"),
         kErrorXmlAttribute},
        {"FractalRegion", Background("<Fractal MinX='1e999'></Fractal>"), kErrorXmlData},
        {"ImageOfOtherType", Background("<Image>photo.gif</Image>"), kErrorXmlData},
        {"ImageExtensionLonger", Background("<Image>photo.bmpx</Image>"), kErrorXmlData},
        {"ImagePathTooLong", Background("<Image>" + std::string(252, 'p') + ".png</Image>"),
         kErrorXmlData},
        {"ImageView", Background("<Image View='Tiled'>a.png</Image>"), kErrorXmlAttribute},
        {"PatternThenFractal", Background("<FillPattern/><Fractal/>"), kErrorXmlElement},
        {"TitleWithoutFont", ContainerDoc("<Title><Text>t</Text></Title>"), kErrorXmlElement},
        {"TitleTooLong",
         ContainerDoc("<Title><Font/><Text>" + std::string(128, 't') + "</Text></Title>"),
         kErrorXmlData},
        {"ThirdTitle", ContainerDoc(Repeat("<Title><Font/><Text/></Title>", 3)), kErrorXmlElement},
        {"OtherObject", ObjectsDoc("<Text/>"), kErrorXmlElement},
        {"Object256", ObjectsDoc(Repeat(image, 256)), kErrorXmlElement},
        {"ImageWithoutId", ObjectsDoc("<Image/>"), kErrorXmlMissing},
        {"ImageIdPastTheLimit", ObjectsDoc("<Image ID='65536'/>"), kErrorXmlData},
    };
}

std::vector<ErrorCase> ChartCases() {
    const std::string y = Y2D();
    return {
        {"ViewWidthZero", Options("0"), kErrorXmlData},
        {"ViewWidth101", Options("101"), kErrorXmlData},
        {"ViewWidthSigned", Options("+5"), kErrorXmlData},
        {"ViewWidthTwoNumbers", Options("1 0"), kErrorXmlData},
        {"ViewWidth255", Options("255"), kErrorXmlData},
        {"LineWidthIn2D", Options("1", "<LineWidth3D>5</LineWidth3D>"), kErrorXmlElement},
        {"TransformationIn2D", ChartDoc("Chart2D", "", "<Transformation/>"), kErrorXmlElement},
        {"MatrixPastFloat", Transformation("<Matrix m11='1e39'/>" + Light("0")), kErrorXmlData},
        {"Rotation361",
         Transformation(
             "<RotationX>361</RotationX><RotationY>0</RotationY><RotationZ>0</RotationZ>" +
             Light("0")),
         kErrorXmlData},
        {"Light181", Transformation("<Matrix/>" + Light("181")), kErrorXmlData},
        {"PerspectiveZero", Transformation("<Matrix/>" + Light("0", "0")), kErrorXmlData},
        {"NoDataSeries", ObjectsDoc("<Chart2D><Options/></Chart2D>"), kErrorXmlElement},
        {"WrongEndTag", ObjectsDoc("<Chart2D><DataSeries/></ChartXY>"), kErrorXmlElement},
        {"LegendPosition", ChartDoc("Chart2D", "", "<Legend Position='Middle'><Font/></Legend>"),
         kErrorXmlAttribute},
        {"LegendLayout", ChartDoc("Chart2D", "", "<Legend Layout='Diagonal'><Font/></Legend>"),
         kErrorXmlAttribute},
        {"Series17", ChartDoc("Chart2D", Repeat(X2D(), 8) + Repeat(y, 9)), kErrorXmlElement},
        {"SigmaAfterX", ChartDoc("Chart2D", X2D() + "<Sigma><Name/><DataArray/></Sigma>"),
         kErrorXmlElement},
        {"RelatedSigmaIn3D",
         ChartDoc("Chart3D", "<Y><Name/><RelatedSigma/><RelatedX/><DataArray/><DataPeriods/>"
                             "<Column><FillPattern/></Column></Y>"),
         kErrorXmlElement},
        {"NameTooLong",
         ChartDoc("Chart2D", "<Sigma><Name>" + std::string(128, 'n') +
                                 "</Name>"
                                 "<DataArray/></Sigma>"),
         kErrorXmlData},
        {"DataArrayTooLong",
         ChartDoc("Chart2D",
                  "<Sigma><Name/><DataArray>" + std::string(1025, 'd') + "</DataArray></Sigma>"),
         kErrorXmlData},
        {"XTwoMajorGridLines",
         ChartDoc("Chart2D", X2D("<GridLines><MajorGridLines/><MajorGridLines/></GridLines>")),
         kErrorXmlElement},
        {"UserGridLine17",
         ChartDoc("Chart2D", Y2D("<Line><Font/><Line/></Line>",
                                 "<GridLines>" + Repeat("<UserGridLine>1</UserGridLine>", 17) +
                                     "</GridLines>")),
         kErrorXmlElement},
        {"UserGridLineValue",
         ChartDoc("Chart2D", Y2D("<Line><Font/><Line/></Line>",
                                 "<GridLines><UserGridLine>x</UserGridLine></GridLines>")),
         kErrorXmlData},
        {"Slices17",
         ChartDoc("Chart2D", Y2D("<Pie><Font/>" + Repeat("<FillPattern/>", 17) + "</Pie>")),
         kErrorXmlElement},
        {"PieWithoutSlice", ChartDoc("Chart2D", Y2D("<Pie><Font/></Pie>")), kErrorXmlElement},
        {"ScatterIn3D", ChartDoc("Chart3D", Y3D("<Scatter><FillPattern/></Scatter>")),
         kErrorXmlElement},
        {"ColumnIn2DWithoutFont", ChartDoc("Chart2D", Y2D("<Column><FillPattern/></Column>")),
         kErrorXmlElement},
        {"LineIn3DWithLine", ChartDoc("Chart3D", Y3D("<Line><Line/></Line>")), kErrorXmlElement},
        {"ColumnInXY", ChartDoc("ChartXY", Y2D()), kErrorXmlElement},
        {"StackedYes", ChartDoc("Chart2D", Y2D("<Bar Stacked='Yes'><Font/><FillPattern/></Bar>")),
         kErrorXmlAttribute},
        {"LabelsWord", ChartDoc("Chart2D", Y2D("<Bar Labels='Z'><Font/><FillPattern/></Bar>")),
         kErrorXmlAttribute},
        {"VisibleWord", ChartDoc("Chart2D", Y2D("<Bar Visible='yes'><Font/><FillPattern/></Bar>")),
         kErrorXmlAttribute},
        {"SymbolWord",
         ChartDoc("Chart2D",
                  Y2D("<Scatter Symbol='Star'><Font/><Border/><FillPattern/><ConnectingLine/>"
                      "</Scatter>")),
         kErrorXmlAttribute},
        {"ScaleWord", ChartDoc("Chart2D", "<Sigma Scale='Log3'><Name/><DataArray/></Sigma>"),
         kErrorXmlAttribute},
        {"AxisType",
         ChartDoc("Chart2D", X2D("<Axis Type='Third'><TitleText/><Font/><Line/></Axis>")),
         kErrorXmlAttribute},
        {"AxisTicks",
         ChartDoc("Chart2D", X2D("<Axis Ticks='off'><TitleText/><Font/><Line/></Axis>")),
         kErrorXmlAttribute},
        {"AxisWithoutLine", ChartDoc("Chart2D", X2D("<Axis><TitleText/><Font/></Axis>")),
         kErrorXmlElement},
        {"FromValueInfinite",
         ChartDoc("Chart2D", Y2D("<Column><Font/><FillPattern/></Column>", "",
                                 "<DataArray FromValue='1e999'/>")),
         kErrorXmlData},
        {"ToValueTrailingText",
         ChartDoc("Chart2D",
                  Y2D("<Column><Font/><FillPattern/></Column>", "", "<DataArray ToValue='1.5x'/>")),
         kErrorXmlData},
        {"PeriodsZero",
         ChartDoc("Chart2D",
                  Y2D("<Column><Font/><FillPattern/></Column>", "", "<DataArray/>", "Periods='0'")),
         kErrorXmlData},
        {"Periods65535",
         ChartDoc("Chart2D", Y2D("<Column><Font/><FillPattern/></Column>", "", "<DataArray/>",
                                 "Periods='65535'")),
         kErrorXmlData},
        {"DivisorZero", ChartDoc("Chart2D", X2D("", "Divisor='0'")), kErrorXmlData},
        {"PlaneBoolean",
         ChartDoc("Chart2D", "", "",
                  "<ChartPlane PlaneXY='on'><FillPattern/><Border/></ChartPlane>"),
         kErrorXmlAttribute},
        {"PlaneWithoutBorder",
         ChartDoc("Chart2D", "", "", "<ChartPlane><FillPattern/></ChartPlane>"), kErrorXmlElement},
    };
}

std::vector<ErrorCase> SheetSettingsCases() {
    return {
        {"ScaleWithoutPercent", Table("Scale='150'"), kErrorXmlData},
        {"Scale5", Table("Scale='5%'"), kErrorXmlData},
        {"Scale1001", Table("Scale='1001%'"), kErrorXmlData},
        {"ScaleOnlyPercent", Table("Scale='%'"), kErrorXmlData},
        {"GridColor", Table("GridColor='#ABC'"), kErrorXmlAttribute},
        {"ShowGridWord", Table("ShowGrid='off'"), kErrorXmlAttribute},
        {"NoTable", SheetDocument("<GeneralSettings><Background/></GeneralSettings>"),
         kErrorXmlElement},
        {"TopLeftRelative", Table("", "<TopLeft rc='r[1]c1'/>"), kErrorXmlAttribute},
        {"TopLeftRowOnly", Table("", "<TopLeft rc='r1'/>"), kErrorXmlAttribute},
        {"SelectionWithoutColon", Table("", "<Selection rc='r2c2'/>"), kErrorXmlAttribute},
        {"SelectionEndWithoutColumn", Table("", "<Selection rc='r2c2:r5'/>"), kErrorXmlAttribute},
        {"SelectionPastTheGrid", Table("", "<Selection rc='r2c2:r5c2048'/>"), kErrorXmlAttribute},
        {"FreezedRowAndColumn", Table("", "<Freezed rc='r3c2'/>"), kErrorXmlAttribute},
        {"FreezedRelative", Table("", "<Freezed rc='r'/>"), kErrorXmlAttribute},
        {"SelectionBeforeTopLeft", Table("", "<Selection rc='r1c1:r1c1'/><TopLeft rc='r1c1'/>"),
         kErrorXmlElement},
        {"PrinterWithoutSheetSize", Page("<Printer><Name/></Printer>"), kErrorXmlElement},
        {"PrinterNameTooLong",
         Page("<Printer><Name>" + std::string(128, 'p') +
              "</Name>"
              "<SheetSize/></Printer>"),
         kErrorXmlData},
        {"NoRangeElement", Range(""), kErrorXmlElement},
        {"CopiesZero", Range("<All/>", "0"), kErrorXmlData},
        {"CopiesWord", Range("<All/>", "two"), kErrorXmlData},
        {"FirstPageZero", Range("<All FirstPageNumber='0'/>"), kErrorXmlData},
        {"PagesFitToSheetSize", Range("<Pages Scale='FitToSheetSize'>1</Pages>"), kErrorXmlData},
        {"AllScale1001", Range("<All Scale='1001%'/>"), kErrorXmlData},
        {"PagesPerSheet255", Layout("Rows='255'", ""), kErrorXmlData},
        {"AlignmentWord", Layout("", "HorizontalAlignment='Middle'"), kErrorXmlAttribute},
        {"MarginWord",
         Page("<Headers><Margins Top='wide'/><HeaderText/><FooterText/><Font/>"
              "</Headers>"),
         kErrorXmlData},
        {"HeadersWithoutFont", Page("<Headers><Margins/><HeaderText/><FooterText/></Headers>"),
         kErrorXmlElement},
        {"HeadingsWord", Page("<RowHeadings Visible='hidden'/>"), kErrorXmlAttribute},
    };
}

void ExpectErrors(const std::vector<ErrorCase>& cases) {
    for (const ErrorCase& c : cases) {
        Loaded l = ReadFromMemory(c.document);
        EXPECT_FALSE(l.ok) << c.name;
        EXPECT_EQ(int(l.error), int(c.error)) << c.name;
        EXPECT_GT(l.line, 0u) << c.name;
    }
}

TEST(XmlChartLoadErrors, Containers) {
    ExpectErrors(ContainerCases());
}

TEST(XmlChartLoadErrors, Charts) {
    ExpectErrors(ChartCases());
}

TEST(XmlChartLoadErrors, ViewAndPageSettings) {
    ExpectErrors(SheetSettingsCases());
}

// The documents above fail only by what they name: the same shapes with sound values load.
TEST(XmlChartLoadErrors, SoundNeighboursLoad) {
    for (const std::string& doc :
         {ContainerDoc("", "ID='65534' Columns='254' Rows='254' Opacity='100'"),
          ContainerDoc("<Placement rc='r2097152c2047' Left='-2147483647'/>"),
          Background("<Fractal>" + Repeat("<Color>red</Color>", 16) + "</Fractal>"),
          Background("<Image View='Wallpaper'>photo.JPEG</Image>"),
          ObjectsDoc(Repeat("<Image ID='65535'/>", 255)), Options("100"), Options(" 5 "),
          Transformation("<Matrix m11='3.4e38'/>" + Light("180", "100")),
          ChartDoc("Chart2D", Repeat(X2D(), 7) + Repeat(Y2D(), 9)),
          ChartDoc("Chart2D", Y2D("<Pie><Font/>" + Repeat("<FillPattern/>", 16) + "</Pie>")),
          Table("Scale='1000%'", "<Freezed rc='c2047'/>"), Range("<All/>", "65534"),
          Layout("Rows='254' Columns='1'", "HorizontalAlignment='Center'")}) {
        Loaded l = ReadFromMemory(doc);
        EXPECT_TRUE(l.ok) << int(l.error) << " at line " << l.line << " in\n" << doc;
    }
}

} // namespace
} // namespace xmltest
} // namespace vl
