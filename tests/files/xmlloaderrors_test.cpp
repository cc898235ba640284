// Documents that fail to load, each with its code and the line it arises at: each limit one
// past it, each word outside its table, each misplaced element; and the same shapes with sound
// values, which load.

#include "xmltestutil.h"

namespace vl::xmltest {
namespace {

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook>\r\n";
const std::string kColumn = "<Column><Font/><FillPattern/></Column>";

std::string Cells(const std::string& cells) {
    return SheetDocument("<Cells>\r\n" + cells + "\r\n</Cells>");
}

std::string Cell(const std::string& rc) {
    return "<Cell rc='" + rc + "'><N>1</N></Cell>";
}

// The cell r1c1 holding `content`.
std::string C1(const std::string& content) {
    return Cells("<Cell rc='r1c1'>" + content + "</Cell>");
}

std::string Fmt(const std::string& inner) {
    return SheetDocument("<Formatting>\r\n" + inner + "\r\n</Formatting>");
}

std::string Lists(const std::string& inner) {
    return kHead + "<DropDownLists>\r\n" + inner;
}

std::string Inspect(const std::string& inner) {
    return kHead + "<InspectCells>\r\n" + inner + "\r\n</InspectCells>";
}

std::string Background(const std::string& inner) {
    return ContainerDoc("<Background>" + inner + "</Background>");
}

std::string Fractal(const std::string& color, int count, const std::string& attributes = "") {
    return Background("<Fractal" + attributes + ">" +
                      Repeat("<Color>" + color + "</Color>", count) + "</Fractal>");
}

std::string Options(const std::string& viewWidth, const std::string& rest = "") {
    return ChartDoc("Chart2D", "",
                    "<Options><ViewWidth>" + viewWidth +
                        "</ViewWidth><ViewHeight>1</ViewHeight><BarSize>1</BarSize>"
                        "<StackBarSize>1</StackBarSize>" +
                        rest + "<PieSplit>0</PieSplit></Options>");
}

std::string Transformation(const std::string& inner, const std::string& light,
                           const std::string& perspective = "1") {
    return ChartDoc("Chart3D", "",
                    "<Transformation>" + inner + "<LightDirectionX>" + light +
                        "</LightDirectionX><LightDirectionY>0</LightDirectionY><Perspective>" +
                        perspective + "</Perspective></Transformation>");
}

std::string C2(const std::string& series, const std::string& body = "",
               const std::string& tail = "") {
    return ChartDoc("Chart2D", series, body, tail);
}

std::string Bar(const std::string& attributes) {
    return C2(Y2D("<Bar " + attributes + "><Font/><FillPattern/></Bar>"));
}

std::string Axis(const std::string& attributes, const std::string& children) {
    return C2(X2D("<Axis" + attributes + "><TitleText/><Font/>" + children + "</Axis>"));
}

std::string UserGrid(const std::string& lines) {
    return C2(Y2D("<Line><Font/><Line/></Line>", "<GridLines>" + lines + "</GridLines>"));
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

TEST(XmlLoadErrors, DocumentTreeCellsFormattingListsAndInspectedCells) {
    const std::string n128(128, 'n');
    ExpectErrors({
        {"<Workbook></Workbook>", kElem, 1},
        {"<?xml version='1.0'?>\r\n<Book>\r\n</Book>", kElem, 2},
        {kHead + "<Folder Name='F'/>\r\n<Folder/>\r\n</Workbook>\r\n", kErrorLastWorksheet, 5},
        {kHead + "</Workbook>", kErrorLastWorksheet, 3},
        {kHead + "<Worksheet/>\r\n", kElem, 4},
        {kHead + "<Window></Window>\r\n<LastModification><User/><Date/></LastModification>", kElem},
        {kHead + "<Worksheet/>\r\n<Folder>\r\n</Folder>\r\n</Workbook>", kElem},
        {kHead + "<Worksheet Selected='yes'/>\r\n</Workbook>", kAttr, 3},
        // Lines end at LF, at CR LF and at a CR alone, each counted once.
        {"<?xml version='1.0'?>\r<Workbook>\r\r<Worksheet Selected='yes'/>\r</Workbook>", kAttr, 4},
        {"<?xml version='1.0'?>\n<Workbook>\n\n<Worksheet Selected='yes'/>\n</Workbook>", kAttr, 4},
        {"<?xml version='1.0'?>\r\n<Workbook>\n\r\r\n<Worksheet Selected='yes'/></Workbook>", kAttr,
         5},
        {"<?xml version='1.0'?>\n\r<Workbook>\r\n\r<Worksheet Selected='yes'/></Workbook>", kAttr,
         5},
        {kHead + "<Worksheet Name='" + n128 + "'/>\r\n</Workbook>", kAttr, 3},
        {kHead + "<Worksheet TreeLevel='0'/>\r\n</Workbook>", kData, 3},
        {kHead + "<LastModification>\r\n<User>" + std::string(128, 'u') +
             "</User><Date/></LastModification>\r\n<Worksheet/></Workbook>",
         kData},
        {kHead + "<Window>\r\n<TreePane Width='65535'/>\r\n</Window>", kData},
        {Cells(Cell("r1c1") + "\r\n<Cell rc='r2c1' Auto=\"yes\"><N>1</N></Cell>"), kAttr, 6},
        {Cells("\r\n<Cell><N>1</N></Cell>"), kMiss, 6},
        {Cells(Cell("r1c3") + Cell("r1c1")), kAttr, 5},
        {Cells(Cell("r1c3") + Cell("rc3")), kAttr, 5},
        {Cells(Cell("r0c1")), kAttr, 5},
        {Cells(Cell("r2097153c1")), kAttr, 5},
        {Cells(Cell("r1c2048")), kAttr, 5},
        {Cells(Cell("r1c0")), kAttr, 5},
        {Cells(Cell("r2097152c1") + Cell("r[1]c1")), kAttr, 5},
        {Cells(Cell("r1")), kAttr, 5},
        {Cells(Cell("r1c1x")), kAttr, 5},
        {Cells("<Cell rc='r1c1'/>"), kElem, 5},
        {C1(""), kElem, 5},
        {C1("<F>1+1</F>"), kElem, 5},
        {C1("\r\n<N>1.5x</N>"), kData, 6},
        {C1("<N>1." + std::string(1023, '0') + "</N>"), kData, 5}, // 1,025 characters
        {C1("<Error>#FOO</Error>"), kData, 5},
        {C1("<F Width='0'>1</F><N>1</N>"), kData, 5},
        {C1("<F Height='2097153'>1</F><N>1</N>"), kData, 5},
        {C1("<T>" + std::string(kMaxCellText + 1, 't') + "</T>"), kData, 5},
        {C1("<F>" + std::string(5000, 'f') + "</F><T>" + std::string(5000, 't') + "</T>"), kData,
         5},
        {Fmt("<Column rc='r1c1'/>"), kAttr, 5},
        {Fmt("<Column Width='3'/>"), kMiss, 5},
        {Fmt("<Column rc='c1' Width='4096'/>"), kData, 5},
        {Fmt("<Column rc='c2048'/>"), kAttr, 5},
        {Fmt("<Column rc='c1' StyleID='600'/>"), kData, 5},
        {Fmt("<Column rc='c1' StyleID='1'/>"), kAttr, 5},
        {Fmt("<Row rc='r1'/>\r\n<Row rc='r1'/>"), kAttr, 6},
        {Fmt("<Row rc='r0'/>"), kAttr, 5},
        {Fmt("<Row rc='r1'><Span rc='c3:c1'/></Row>"), kAttr, 5},
        {Fmt("<Row rc='r1'><Span rc='c0:c4'/></Row>"), kAttr, 5},
        {Fmt("<Row rc='r1'><Span/></Row>"), kMiss, 5},
        {Fmt("<Row rc='r1'><Span rc='c1:c2048'/></Row>"), kAttr, 5},
        {Fmt("<Row rc='r1' Height='4096'/>"), kData, 5},
        {Lists("<List/>\r\n</DropDownLists>"), kMiss},
        {Lists("<List ID='101'/>"), kData},
        {Lists("<List ID='0'/>"), kData},
        {Lists("<List ID='7a'/>"), kData},
        {Lists("<List ID='1'><Name>" + std::string(30, 'n') + "</Name>"), kData},
        {Lists("<List ID='1'><Item>a</Item>\r\n<Name>n</Name></List>"), kElem, 5},
        {Inspect("<Cell rc='rc3'/>"), kAttr},
        {Inspect("<Cell/>"), kMiss},
        {Inspect("<Cell rc='r1c1' Name='" + n128 + "'/>"), kAttr},
        {Inspect("<Row/>"), kElem},
    });
}

TEST(XmlLoadErrors, Containers) {
    ExpectErrors({
        {ContainerDoc("", "Rows='2'"), kMiss},
        {ContainerDoc("", "ID='0'"), kData},
        {ContainerDoc("", "ID='65535'"), kData},
        {ContainerDoc("", "ID='1' Columns='255'"), kData},
        {ContainerDoc("", "ID='1' Columns='0'"), kData},
        {ContainerDoc("", "ID='1' Rows='255'"), kData},
        {ContainerDoc("", "ID='1' Opacity='101'"), kData},
        {ContainerDoc("<Placement rc='r2'/>"), kAttr},
        {ContainerDoc("<Placement rc='r2c3x'/>"), kAttr},
        {ContainerDoc("<Placement rc='r2097153c1'/>"), kAttr},
        {ContainerDoc("<Placement Left='-2147483648'/>"), kData},
        {ContainerDoc("<Border Style='Thick'/>"), kAttr},
        {Fractal("red", 15), kElem},
        {Fractal("red", 17), kElem},
        {Fractal("#12345", 16), kAttr},
        {Fractal("", 0, " MinX='1e999'"), kData},
        {Background("<Image>photo.gif</Image>"), kData},
        {Background("<Image>photo.bm</Image>"), kData},
        {Background("<Image>" + std::string(252, 'p') + ".png</Image>"), kData},
        {Background("<Image View='Tiled'>a.png</Image>"), kAttr},
        {Background("<FillPattern/><Fractal/>"), kElem},
        {ContainerDoc("<Title><Text>t</Text></Title>"), kElem},
        {ContainerDoc("<Title><Font/><Text>" + std::string(128, 't') + "</Text></Title>"), kData},
        {ContainerDoc(Repeat("<Title><Font/><Text/></Title>", 3)), kElem},
        {ObjectsDoc("<Text/>"), kElem},
        {ObjectsDoc(Repeat("<Image ID='1'/>", 256)), kElem},
        {ObjectsDoc("<Image/>"), kMiss},
        {ObjectsDoc("<Image ID='65536'/>"), kData},
    });
}

TEST(XmlLoadErrors, Charts) {
    const std::string rotations =
        "<RotationX>361</RotationX><RotationY>0</RotationY><RotationZ>0</RotationZ>";
    const std::string scatter =
        "<Scatter Symbol='Star'><Font/><Border/><FillPattern/><ConnectingLine/></Scatter>";
    ExpectErrors({
        {Options("0"), kData},
        {Options("101"), kData},
        {Options("1 0"), kData},
        {Options("1", "<LineWidth3D>5</LineWidth3D>"), kElem},
        {C2("", "<Transformation/>"), kElem},
        {Transformation("<Matrix m11='1e39'/>", "0"), kData},
        {Transformation(rotations, "0"), kData},
        {Transformation("<Matrix/>", "181"), kData},
        {Transformation("<Matrix/>", "0", "0"), kData},
        {Transformation("<Matrix/>", "0", "101"), kData},
        {ObjectsDoc("<Chart2D><Options/></Chart2D>"), kElem},
        {ObjectsDoc("<Chart2D><DataSeries/></ChartXY>"), kElem},
        {C2("", "<Legend Position='Middle'><Font/></Legend>"), kAttr},
        {C2("", "<Legend Layout='Diagonal'><Font/></Legend>"), kAttr},
        {C2(Repeat(X2D(), 8) + Repeat(Y2D(), 9)), kElem},
        {C2(X2D() + "<Sigma><Name/><DataArray/></Sigma>"), kElem},
        {ChartDoc("Chart3D", "<Y><Name/><RelatedSigma/><RelatedX/><DataArray/><DataPeriods/>"
                             "<Column><FillPattern/></Column></Y>"),
         kElem},
        {C2("<Sigma><Name>" + std::string(128, 'n') + "</Name><DataArray/></Sigma>"), kData},
        {C2("<Sigma><Name/><DataArray>" + std::string(1025, 'd') + "</DataArray></Sigma>"), kData},
        {C2(X2D("<GridLines><MajorGridLines/><MajorGridLines/></GridLines>")), kElem},
        {UserGrid(Repeat("<UserGridLine>1</UserGridLine>", 17)), kElem},
        {UserGrid("<UserGridLine>x</UserGridLine>"), kData},
        {C2(Y2D("<Pie><Font/>" + Repeat("<FillPattern/>", 17) + "</Pie>")), kElem},
        {C2(Y2D("<Pie><Font/></Pie>")), kElem},
        {ChartDoc("Chart3D", Y3D("<Scatter><FillPattern/></Scatter>")), kElem},
        {C2(Y2D("<Column><FillPattern/></Column>")), kElem},
        {ChartDoc("Chart3D", Y3D("<Line><Line/></Line>")), kElem},
        {ChartDoc("ChartXY", Y2D()), kElem},
        {Bar("Stacked='Yes'"), kAttr},
        {Bar("Labels='Z'"), kAttr},
        {Bar("Visible='yes'"), kAttr},
        {C2(Y2D(scatter)), kAttr},
        {C2("<Sigma Scale='Log3'><Name/><DataArray/></Sigma>"), kAttr},
        {Axis(" Type='Third'", "<Line/>"), kAttr},
        {Axis(" Ticks='off'", "<Line/>"), kAttr},
        {Axis("", ""), kElem},
        {C2(Y2D(kColumn, "", "<DataArray FromValue='1e999'/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray ToValue='1.5x'/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray ToValue='0x'/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray ToValue='0x-10'/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray ToValue='0x10g'/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray FromValue='0x1p99999'/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray FromValue='0x1p1024'/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray FromValue='0x10 '/>")), kData},
        {C2(Y2D(kColumn, "", "<DataArray/>", "Periods='0'")), kData},
        {C2(Y2D(kColumn, "", "<DataArray/>", "Periods='65535'")), kData},
        {C2(X2D("", "Divisor='0'")), kData},
        {C2("", "", "<ChartPlane PlaneXY='on'><FillPattern/><Border/></ChartPlane>"), kAttr},
        {C2("", "", "<ChartPlane><FillPattern/></ChartPlane>"), kElem},
    });
}

TEST(XmlLoadErrors, ViewAndPageSettings) {
    ExpectErrors({
        {Table("Scale='150'"), kData},
        {Table("Scale='5%'"), kData},
        {Table("Scale='1001%'"), kData},
        {Table("Scale='%'"), kData},
        {Table("GridColor='#ABC'"), kAttr},
        {Table("ShowGrid='off'"), kAttr},
        {SheetDocument("<GeneralSettings><Background/></GeneralSettings>"), kElem},
        {Table("", "<TopLeft rc='r[1]c1'/>"), kAttr},
        {Table("", "<TopLeft rc='r1'/>"), kAttr},
        {Table("", "<Selection rc='r2c2'/>"), kAttr},
        {Table("", "<Selection rc='r2c2:r5'/>"), kAttr},
        {Table("", "<Selection rc='r2c2:r5c2048'/>"), kAttr},
        {Table("", "<Freezed rc='r3c2'/>"), kAttr},
        {Table("", "<Freezed rc='r'/>"), kAttr},
        {Table("", "<Selection rc='r1c1:r1c1'/><TopLeft rc='r1c1'/>"), kElem},
        {Page("<Printer><Name/></Printer>"), kElem},
        {Page("<Printer><Name>" + std::string(128, 'p') + "</Name><SheetSize/></Printer>"), kData},
        {Range(""), kElem},
        {Range("<All/>", "0"), kData},
        {Range("<All FirstPageNumber='0'/>"), kData},
        {Range("<Pages Scale='FitToSheetSize'>1</Pages>"), kData},
        {Range("<Pages>" + Repeat("1,", 63) + "12</Pages>"), kData}, // 128 bytes, one too many
        {Range("<All Scale='1001%'/>"), kData},
        {Layout("Rows='255'", ""), kData},
        {Layout("", "HorizontalAlignment='Middle'"), kAttr},
        {Page("<Headers><Margins Top='wide'/><HeaderText/><FooterText/><Font/></Headers>"), kData},
        {Page("<Headers><Margins/><HeaderText/><FooterText/></Headers>"), kElem},
        {Page("<RowHeadings Visible='hidden'/>"), kAttr},
    });
}

// The documents above fail only by what they name: the same shapes with sound values load.
TEST(XmlLoadErrors, SoundNeighboursLoad) {
    for (const std::string& doc :
         {ContainerDoc("", "ID='65534' Columns='254' Rows='254' Opacity='100'"),
          ContainerDoc("<Placement rc='r2097152c2047' Left='-2147483647'/>"), Fractal("red", 16),
          Background("<Image View='Wallpaper'>photo.JPEG</Image>"),
          ObjectsDoc(Repeat("<Image ID='65535'/>", 255)), Options("100"), Options(" 5 "),
          Transformation("<Matrix m11='3.4e38'/>", "180", "100"),
          Transformation("<Matrix/>", "0", "1"), C2(Repeat(X2D(), 7) + Repeat(Y2D(), 9)),
          C2(Y2D("<Pie><Font/>" + Repeat("<FillPattern/>", 16) + "</Pie>")),
          Table("Scale='1000%'", "<Freezed rc='c2047'/>"), Range("<All/>", "65534"),
          Range("<Pages>" + Repeat("1,", 63) + "1</Pages>"),
          Layout("Rows='254' Columns='1'", "HorizontalAlignment='Center'")}) {
        Loaded l = ReadFromMemory(doc);
        EXPECT_TRUE(l.ok) << int(l.error) << " at line " << l.line << " in\n" << doc;
    }
}

TEST(XmlLoadErrors, OutOfMemoryIs55) {
    const std::string doc = Cells(Cell("r1c1"));
    int failures = 0;
    for (long successes = 0; successes < 64; ++successes) {
        auto book = CreateWorkbook();
        CXmlReader reader;
        reader.ResetMemory(doc);
        SetAllocFailAfter(successes);
        const bool ok = ReadXmlWorkbook(*book, reader);
        SetAllocFailAfter(-1);
        if (ok) break;
        ++failures;
        EXPECT_EQ(book->error, kErrorXmlMemory) << successes;
    }
    EXPECT_GT(failures, 0);
}

} // namespace
} // namespace vl::xmltest
