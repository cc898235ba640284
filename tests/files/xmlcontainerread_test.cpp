// Containers read back: objects of both kinds, lone subtitles, extreme floats, no frame and no
// background, unique ids, placement and the background kinds.

#include "files/xmlelements.h"
#include "model/container.h"
#include "xmlrandomdraw.h"
#include "xmltestutil.h"

#include <cfloat>
#include <tuple>

namespace vl::xmltest {
namespace {

CContainer& AddContainer(CWorksheet& ws, uint16_t id) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = id;
    CContainer& out = *c;
    LinkContainer(ws, std::move(c));
    return out;
}

CChart& AddChart(CContainer& c, uint8_t type) {
    ContainerSlot& slot = c.slots[c.settings.objectCount++];
    slot.kind = kObjectChart;
    slot.chart = NewBlockObject<CChart>(type);
    return *slot.chart;
}

void SetLoneSubtitle(ColoredFont fonts[2], char texts[2][kChartTextSize]) {
    CopyTextField(texts[1], "Subtitle", kChartTextSize);
    fonts[0].font.size = 20;
    fonts[1].font.size = 9;
    fonts[1].colorGiven = 1;
    fonts[1].color = Rgb(1, 2, 3);
}

// Compared whole after a save and a load.
TEST(XmlContainerRead, EdgeValuesReadBackWhole) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    // Objects of both kinds, with the largest id.
    CContainer& objects = AddContainer(ws, 4);
    AddChart(objects, kChart2D);
    objects.slots[1] = ContainerSlot{2, nullptr, 7};
    objects.settings.objectCount = 2;
    AddChart(objects, kChartXY);
    objects.slots[3] = ContainerSlot{2, nullptr, 65535};
    objects.settings.objectCount = 4;
    // A subtitle without a title keeps its slot, in a container and in a chart; the view matrix
    // keeps the extreme floats.
    CContainer& titled = AddContainer(ws, 1);
    SetLoneSubtitle(titled.settings.titleFont, titled.settings.titleText);
    CChart& chart = AddChart(titled, kChart3D);
    SetLoneSubtitle(chart.settings.titleFont, chart.settings.titleText);
    // 0.0100000175f needs all nine significant digits to come back.
    const float values[] = {FLT_MAX,  -FLT_MAX, FLT_MIN,      FLT_TRUE_MIN,
                            1.0f / 3, -0.1f,    0.0100000175f};
    std::copy(std::begin(values), std::end(values), chart.viewMatrix);
    // A frame of style 0 and a background of no kind are written, so that they do not read back
    // as a new container's solid frame and fill; an anchor without its cell flags is written as
    // a cell, so that the frame is written too.
    CWorksheet& other = AddSheet(*book);
    CContainer& bare = AddContainer(other, 2);
    bare.settings.border = BorderLine{FORMAT_LINE_NULL, 0, GetSystemColor(kColorWindowText)};
    bare.settings.background.kind = 0;
    bare.settings.anchor.flags = 0;
    other.view.background.kind = 0;
    const std::string written = Written([&](CXmlWriter& w) { WriteXmlContainer(w, bare); });
    EXPECT_NE(written.find("<Placement rc=\"r1c1\" Left=\"10\""), std::string::npos) << written;
    EXPECT_NE(written.find("\t\t<Border/>\r\n\t\t<Background/>\r\n"), std::string::npos);
    EXPECT_NE(written.find("\t\t<Objects/>\r\n"), std::string::npos);

    Loaded l = Read(WriteToMemory(*book));
    ASSERT_TRUE(l.ok);
    ExpectSameContainers(ws, SheetOf(l));
    EXPECT_EQ(SheetOf(l).firstContainer->slots[2].chart->settings.type, kChartXY);
    const ContainerSettings& s = SheetOf(l, 1).firstContainer->settings;
    EXPECT_EQ(std::tuple(s.border.style, s.background.kind, s.objectCount),
              std::tuple(FORMAT_LINE_NULL, 0, 0));
    EXPECT_EQ(SheetOf(l, 1).view.background.kind, 0);
}

TEST(XmlContainerRead, IdsAreMadeUniqueOverTheWorkbook) {
    const std::string sheet1 = "<Worksheet><Container ID='7'></Container><Container/>"
                               "<Container ID='300'></Container></Worksheet>";
    const std::string sheet2 = "<Worksheet><Container ID='7'></Container>"
                               "<Container ID='300'></Container><Container ID='1'></Container>"
                               "</Worksheet>";
    Loaded l = Read(Document(sheet1 + sheet2));
    std::vector<uint16_t> ids;
    for (int s = 0; s < 2; ++s)
        for (const CContainer* c = SheetOf(l, s).firstContainer; c; c = c->next)
            ids.push_back(c->settings.id);
    EXPECT_EQ(ids, (std::vector<uint16_t>{7, 1, 300, 2, 300, 3}));
    // With every small id taken, a container without one is given 256, which reads back.
    std::string full;
    for (int id = 1; id <= 255; ++id)
        full += "<Container ID='" + std::to_string(id) + "'></Container>";
    Loaded all = Read(Document("<Worksheet>" + full + "<Container/></Worksheet>"));
    const CContainer* last = SheetOf(all).firstContainer;
    while (last->next) last = last->next;
    EXPECT_EQ(last->settings.id, 256);
    EXPECT_TRUE(ReadFromMemory(WriteToMemory(*all.book)).ok);
    // With 1 to 254 taken the last small id is still free: a repeated id and a missing one
    // take 255 and then 256.
    std::string most;
    for (int id = 1; id <= 254; ++id)
        most += "<Container ID='" + std::to_string(id) + "'></Container>";
    Loaded some = Read(Document("<Worksheet>" + most +
                                "<Container ID='3'></Container><Container/>" + "</Worksheet>"));
    std::vector<uint16_t> tail;
    for (const CContainer* c = SheetOf(some).firstContainer; c; c = c->next)
        if (c->settings.id >= 254) tail.push_back(c->settings.id);
    EXPECT_EQ(tail, (std::vector<uint16_t>{254, 255, 256}));
}

TEST(XmlContainerRead, LayoutAndPlacement) {
    Loaded l = Read(ContainerDoc("<Placement rc='r2c3' Left='- 5' Bottom='-2147483647'/>",
                                 "ID='9' Columns='254' VertSpacing='1' Opacity='0'"));
    const ContainerSettings& s = SheetOf(l).firstContainer->settings;
    // Top, rows and the horizontal spacing are absent: the defaults.
    EXPECT_EQ(std::tuple(s.anchor.row, s.anchor.column, s.anchor.flags, s.left, s.bottom, s.top),
              std::tuple(1u, 2, kRefCell, -5, -2147483647, 10));
    EXPECT_EQ(std::tuple(s.columns, s.rows, s.vertSpacing, s.horzSpacing, s.opacity),
              std::tuple(254, 1, 1, 4, 0));
    // A self-closing container reads nothing, not even its attributes.
    Loaded bare = Read(SheetDocument("<Container ID='9' Opacity='5'/>"));
    EXPECT_EQ(SheetOf(bare).firstContainer->settings.opacity, 100);
    EXPECT_EQ(SheetOf(bare).firstContainer->settings.id, 1);
}

TEST(XmlContainerRead, BackgroundKinds) {
    const struct {
        std::string inner;
        uint8_t kind, view;
        const char* path;
    } cases[] = {
        {"<Image>chart.Png</Image>", kBackgroundImage, 0, "chart.Png"},
        {"<Image View='FitToWindowSize'/>", kBackgroundImage, 1, ""},
        {"<Image View='Wallpaper'>a b.jpg</Image>", kBackgroundImage, 2, "a b.jpg"},
        {"<Image>photo.bmpx</Image>", kBackgroundImage, 0, "photo.bmpx"},
        {"<Image>c.pngold</Image>", kBackgroundImage, 0, "c.pngold"},
        {"<FillPattern PatternType='Gray25'/>", kBackgroundPattern, 0, ""},
        {"", kBackgroundPattern, 0, ""},
    };
    for (const auto& c : cases) {
        Loaded l = Read(ContainerDoc("<Background>" + c.inner + "</Background>"));
        const BackgroundRecord& b = SheetOf(l).firstContainer->settings.background;
        EXPECT_EQ(std::tuple(b.kind, b.imageView, std::string(b.imagePath)),
                  std::tuple(c.kind, c.view, std::string(c.path)))
            << c.inner;
    }
    Loaded none = Read(ContainerDoc("<Background/>"));
    EXPECT_EQ(SheetOf(none).firstContainer->settings.background.kind, 0);
    Loaded f =
        Read(ContainerDoc("<Background><Fractal Zi='-0.5'>" + Repeat("<Color>#0A0B0C</Color>", 15) +
                          "<Color>navy</Color></Fractal></Background>"));
    const BackgroundRecord& b = SheetOf(f).firstContainer->settings.background;
    // Zr and MaxY are absent: as initialised.
    EXPECT_EQ(std::tuple(b.kind, b.zr, b.zi, b.maxY, b.fractalColors[0], b.fractalColors[15]),
              std::tuple(kBackgroundFractal, 0.11, -0.5, 1.1, Rgb(10, 11, 12), Rgb(0, 0, 128)));
}

// Only as many characters as the known extension has are compared, from the last dot.
TEST(XmlContainerRead, ImageKindsByTheirExtension) {
    const struct {
        const char* path;
        uint8_t kind;
    } cases[] = {
        {"a.bmp", 1},     {"a.bmpx", 1}, {"A.BMP", 1},   {"a.bm", 0},  {"a.jpg", 2},
        {"a.JpGold", 2},  {"a.jpeg", 2}, {"a.jpegs", 2}, {"a.jpe", 0}, {"c.png", 3},
        {"c.pngold", 3},  {"c.PnG", 3},  {"c.pn", 0},    {"bmp", 0},   {"x.png.gif", 0},
        {"dir.png/b", 3}, {"a.gif", 0},  {"", 0},        {".bmp", 1},  {"a. bmp", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetImageKindFromPath(c.path), c.kind) << c.path;
}

} // namespace
} // namespace vl::xmltest
