// Containers read back: objects of both kinds, lone subtitles, unique ids, placement and the
// background kinds.

#include "files/xmlelements.h"
#include "model/container.h"
#include "xmltestutil.h"

#include <cfloat>
#include <cstring>

namespace vl {
namespace xmltest {
namespace {

const CWorksheet& Sheet(const Loaded& l, int index = 0) {
    const CTreeItem* item = l.book->tree.first;
    for (int i = 0; i < index; ++i) item = item->next;
    return *static_cast<const CWorksheet*>(item);
}

CContainer& AddContainer(CWorksheet& ws, uint16_t id) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = id;
    CContainer& out = *c;
    LinkContainer(ws, std::move(c));
    return out;
}

Loaded SaveAndLoad(CWorkbook& book) {
    Loaded l = ReadFromMemory(WriteToMemory(book));
    EXPECT_TRUE(l.ok) << int(l.error) << " at line " << l.line;
    return l;
}

TEST(XmlContainerRead, ObjectsOfBothKindsReadBack) {
    auto book = CreateWorkbook();
    CContainer& c = AddContainer(AddSheet(*book), 4);
    const uint16_t ids[] = {0, 7, 0, 65535};
    for (int i = 0; i < 4; ++i) {
        c.slots[i].kind = ids[i] ? 2 : kObjectChart;
        c.slots[i].id = ids[i];
        if (!ids[i])
            c.slots[i].chart = NewBlockObject<CChart>(uint8_t(i == 0 ? kChart2D : kChartXY));
    }
    c.settings.objectCount = 4;
    Loaded l = SaveAndLoad(*book);
    ASSERT_TRUE(l.ok);
    const CContainer& back = *Sheet(l).firstContainer;
    ASSERT_EQ(back.settings.objectCount, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(back.slots[i].kind, c.slots[i].kind) << i;
        EXPECT_EQ(back.slots[i].id, ids[i]) << i;
        EXPECT_EQ(back.slots[i].chart != nullptr, ids[i] == 0) << i;
    }
    EXPECT_EQ(back.slots[2].chart->settings.type, kChartXY);
}

TEST(XmlContainerRead, LoneSubtitleKeepsItsSlot) {
    auto book = CreateWorkbook();
    CContainer& c = AddContainer(AddSheet(*book), 1);
    auto chart = NewBlockObject<CChart>(kChart3D);
    for (auto [fonts, texts] : {std::pair{c.settings.titleFont, c.settings.titleText},
                                std::pair{chart->settings.titleFont, chart->settings.titleText}}) {
        CopyTextField(texts[1], "Subtitle", kChartTextSize);
        fonts[0].font.size = 20;
        fonts[1].font.size = 9;
        fonts[1].colorGiven = 1;
        fonts[1].color = Rgb(1, 2, 3);
    }
    c.slots[0].kind = kObjectChart;
    c.slots[0].chart = std::move(chart);
    c.settings.objectCount = 1;
    Loaded l = SaveAndLoad(*book);
    ASSERT_TRUE(l.ok);
    const CContainer& back = *Sheet(l).firstContainer;
    const ChartSettings& s = back.slots[0].chart->settings;
    for (auto [fonts, texts] : {std::pair{back.settings.titleFont, back.settings.titleText},
                                std::pair{s.titleFont, s.titleText}}) {
        EXPECT_STREQ(texts[0], "");
        EXPECT_STREQ(texts[1], "Subtitle");
        EXPECT_EQ(fonts[0].font.size, 20);
        EXPECT_EQ(fonts[1].font.size, 9);
        EXPECT_EQ(fonts[1].color, Rgb(1, 2, 3));
    }
}

TEST(XmlContainerRead, IdsAreMadeUniqueOverTheWorkbook) {
    const std::string sheet1 = "<Worksheet><Container ID='7'></Container><Container/>"
                               "<Container ID='300'></Container></Worksheet>";
    const std::string sheet2 = "<Worksheet><Container ID='7'></Container>"
                               "<Container ID='300'></Container><Container ID='1'></Container>"
                               "</Worksheet>";
    Loaded l = ReadFromMemory(Document(sheet1 + sheet2));
    ASSERT_TRUE(l.ok) << int(l.error);
    std::vector<uint16_t> ids;
    for (int s = 0; s < 2; ++s)
        for (const CContainer* c = Sheet(l, s).firstContainer; c; c = c->next)
            ids.push_back(c->settings.id);
    EXPECT_EQ(ids, (std::vector<uint16_t>{7, 1, 300, 2, 300, 3}));
    // With every small id taken, a container without one is given 256, which reads back.
    std::string full;
    for (int id = 1; id <= 255; ++id)
        full += "<Container ID='" + std::to_string(id) + "'></Container>";
    Loaded all = ReadFromMemory(Document("<Worksheet>" + full + "<Container/></Worksheet>"));
    ASSERT_TRUE(all.ok) << int(all.error);
    const CContainer* last = Sheet(all).firstContainer;
    while (last->next) last = last->next;
    EXPECT_EQ(last->settings.id, 256);
    EXPECT_TRUE(ReadFromMemory(WriteToMemory(*all.book)).ok);
}

TEST(XmlContainerRead, ViewMatrixKeepsEveryFloat) {
    auto book = CreateWorkbook();
    CContainer& c = AddContainer(AddSheet(*book), 1);
    c.slots[0].kind = kObjectChart;
    c.slots[0].chart = NewBlockObject<CChart>(kChart3D);
    float* m = c.slots[0].chart->viewMatrix;
    const float values[] = {FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 1.0f / 3, -0.1f, 16777217.0f};
    std::copy(std::begin(values), std::end(values), m);
    c.settings.objectCount = 1;
    Loaded l = SaveAndLoad(*book);
    ASSERT_TRUE(l.ok);
    const float* back = Sheet(l).firstContainer->slots[0].chart->viewMatrix;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(back[i], m[i]) << i;
}

TEST(XmlContainerRead, LayoutAndPlacement) {
    Loaded l = ReadFromMemory(ContainerDoc("<Placement rc='r2c3' Left='- 5' Bottom='-2147483647'/>",
                                           "ID='9' Columns='254' VertSpacing='1' Opacity='0'"));
    ASSERT_TRUE(l.ok) << int(l.error);
    const ContainerSettings& s = Sheet(l).firstContainer->settings;
    EXPECT_EQ(s.anchor.row, 1u);
    EXPECT_EQ(s.anchor.column, 2);
    EXPECT_EQ(s.anchor.flags, kRefCell);
    EXPECT_EQ(s.left, -5);
    EXPECT_EQ(s.bottom, -2147483647);
    EXPECT_EQ(s.top, 10); // absent: the default placement
    EXPECT_EQ(s.columns, 254);
    EXPECT_EQ(s.rows, 1);
    EXPECT_EQ(s.vertSpacing, 1);
    EXPECT_EQ(s.horzSpacing, 4);
    EXPECT_EQ(s.opacity, 0);
    // A self-closing container reads nothing, not even its attributes.
    Loaded bare = ReadFromMemory(SheetDocument("<Container ID='9' Opacity='5'/>"));
    ASSERT_TRUE(bare.ok);
    EXPECT_EQ(Sheet(bare).firstContainer->settings.opacity, 100);
    EXPECT_EQ(Sheet(bare).firstContainer->settings.id, 1);
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
        {"<FillPattern PatternType='Gray25'/>", kBackgroundPattern, 0, ""},
        {"", kBackgroundPattern, 0, ""},
    };
    for (const auto& c : cases) {
        Loaded l = ReadFromMemory(ContainerDoc("<Background>" + c.inner + "</Background>"));
        ASSERT_TRUE(l.ok) << c.inner;
        const BackgroundRecord& b = Sheet(l).firstContainer->settings.background;
        EXPECT_EQ(b.kind, c.kind) << c.inner;
        EXPECT_EQ(b.imageView, c.view) << c.inner;
        EXPECT_STREQ(b.imagePath, c.path) << c.inner;
    }
    Loaded none = ReadFromMemory(ContainerDoc("<Background/>"));
    EXPECT_EQ(Sheet(none).firstContainer->settings.background.kind, 0);
    Loaded f = ReadFromMemory(ContainerDoc("<Background><Fractal Zi='-0.5'>" +
                                           Repeat("<Color>#0A0B0C</Color>", 15) +
                                           "<Color>navy</Color></Fractal></Background>"));
    ASSERT_TRUE(f.ok);
    const BackgroundRecord& b = Sheet(f).firstContainer->settings.background;
    EXPECT_EQ(b.kind, kBackgroundFractal);
    EXPECT_EQ(b.zr, 0.11); // absent: as initialised
    EXPECT_EQ(b.zi, -0.5);
    EXPECT_EQ(b.maxY, 1.1);
    EXPECT_EQ(b.fractalColors[0], Rgb(10, 11, 12));
    EXPECT_EQ(b.fractalColors[15], Rgb(0, 0, 128));
}

// A frame of style 0 and a background of no kind are written, so that they do not read
// back as a new container's solid frame and fill; a missing anchor writes no placement.
TEST(XmlContainerRead, NoFrameAndNoBackgroundReadBack) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    CContainer& c = AddContainer(ws, 2);
    c.settings.border = BorderLine{FORMAT_LINE_NULL, 0, GetSystemColor(kColorWindowText)};
    c.settings.background.kind = 0;
    c.settings.anchor.flags = 0;
    ws.view.background.kind = 0;
    CXmlWriter w;
    WriteXmlContainer(w, c);
    w.Flush();
    EXPECT_EQ(w.Memory().find("<Placement"), std::string::npos);
    EXPECT_NE(w.Memory().find("\t\t<Border/>\r\n\t\t<Background/>\r\n"), std::string::npos);
    EXPECT_NE(w.Memory().find("\t\t<Objects/>\r\n"), std::string::npos);
    Loaded l = SaveAndLoad(*book);
    ASSERT_TRUE(l.ok);
    const ContainerSettings& s = Sheet(l).firstContainer->settings;
    EXPECT_EQ(s.border.style, FORMAT_LINE_NULL);
    EXPECT_EQ(s.background.kind, 0);
    EXPECT_EQ(s.objectCount, 0);
    EXPECT_EQ(Sheet(l).view.background.kind, 0);
}

} // namespace
} // namespace xmltest
} // namespace vl
