#include "v6fixtures.h"

namespace vl::v6test {

namespace {

V6LogFont Font(int32_t height, int32_t weight, uint8_t charSet, uint8_t pitch, const char* face) {
    return {height, weight, 0, 0, 0, charSet, pitch, face};
}

// A 3D bar chart whose value rectangle is rows 2 to 4 of columns 1 to 5.
V6Chart BarChart() {
    V6Chart c{.hasValues = 1,
              .valueRect = {1, 2, 5, 4},
              .categoryRect = {0, 2, 0, 4},
              .kindCode = 8,
              .bars = 1,
              .categoryScale = 1,
              .categoryFrom = -1.5,
              .categoryTo = 9.5,
              .categoryLabels = 1,
              .categoryVertical = 1,
              .categoryFont = Font(-12, 700, 0, 32, "Tahoma"),
              .categoryColor = 0x010203,
              .valueScales = 1,
              .valueLabels = 1,
              .valueFont = Font(-10, 100, 2, 48, "Verdana"),
              .valueColor = 0x040506,
              .categoryPeriods = 3,
              .valuePeriods = 7,
              .majorShown = {1, 0},
              .majorStyle = 3,
              .majorColor = 0x0A0B0C,
              .minorShown = {0, 1},
              .minorStyle = 4,
              .minorColor = 0x0D0E0F,
              .planeYZ = 1,
              .planeXZ = 1,
              .planeXYColor = 0x111111,
              .planeYZColor = 0x222222,
              .planeXZColor = 0x123456,
              .title = {"Sales", "by region"},
              .titleFont = {Font(-20, 700, 0, 16, "Georgia"), Font(-9, 0, 0, 0, "Arial")},
              .titleColor = {0x0000FF, 0x00FF00},
              .legendShown = 1,
              .legendFont = Font(-8, 900, 161, 80, "Symbol"),
              .legendColor = 0x445566,
              .legendPosition = 1,
              .legendHorizontal = 1,
              .windowColorGiven = 1,
              .windowColor = 0xABCDEF};
    for (int i = 0; i < 16; ++i) {
        c.valueFrom[i] = -i;
        c.valueTo[i] = 100 + i;
        c.seriesColors[i] = 0x100000u * uint32_t(i) + 0x33;
    }
    return c;
}

std::vector<V6Object> RichObjects() {
    V6Object fractal = Obj({.tag = 0x8001,
                            .text = {.backgroundFlags = 4,
                                     .zr = 0.25,
                                     .zi = -0.5,
                                     .minX = -2,
                                     .minY = -1.5,
                                     .maxX = 1,
                                     .maxY = 1.5,
                                     .title = std::string(200, 'x')}});
    for (int i = 0; i < 16; ++i) fractal.text.fractalColors[i] = 0x010101u * uint32_t(i);
    return {
        Obj({.introduce = "TextObj",
             .anchorColumn = 2,
             .anchorRow = 5,
             .x = 10,
             .y = 20,
             .text = {.font = Font(-16, 700, 0, 34, "Arial"),
                      .textColor = 0x0000FF,
                      .backgroundColor = 0x00FF00,
                      .title = "Hello"}}),
        Obj({.introduce = "GraphObj", .chart = true, .graph = BarChart()}),
        fractal,
        Obj({.tag = 0x0001,
             .text = {.backgroundFlags = 1, .imageName = "back.png", .imageKind = 1}}),
        Obj({.tag = 0x8001,
             .text = {.backgroundFlags = 2,
                      .imageName = "inside.bmp",
                      .imageData = Bytes(10, 0xEE)}}),
        Obj({.tag = 0x8002,
             .anchorColumn = 0x10000 + 2046,
             .anchorRow = 2097151,
             .chart = true,
             .graph = V6Chart{.kindCode = 13, .xy = 1, .categoryPeriods = 12}}),
    };
}

V6Sheet RichSheet() {
    std::string sum = "=1";
    for (int i = 0; i < 600; ++i) sum += "+1";
    return {
        .objects = RichObjects(),
        .presence = 1,
        .page = {.flags = 2 | 4 | 8 | 16 | 32 | 64 | 128 | 256 | 512 | 1024 | 131072,
                 .pages = "1-3,5",
                 .paper = 1,
                 .pagesPerSheet = 6,
                 .margins = {1, 2, 3, 4},
                 .header = "Head &p",
                 .footer = "Foot",
                 .headerDistance = 1.5,
                 .footerDistance = 2.5,
                 .headerFont = Font(-11, 400, 204, 49, "Courier New"),
                 .headerColor = 0x00AA00,
                 .trailing = {"t1", "t2"}},
        .tables = {.rows = 40,
                   .widths = {{3, 80}, {2, 100}, {507, 80}},
                   .heights = {{5, 17}, {2, 30}, {33, 17}},
                   .styles = {{1, 0}, {1, 2}, {1, 999}, {509, 0}},
                   .runRows = 5,
                   .blocks = {{2, 1, {{0, 3, 1}, {5, 6, 2}}}, {3, 10, {{1, 1, 3}}}}},
        .cells = {{0, 0, 1, "hello", 0},
                  {1, 0, 2, "", 2.5},
                  {0, 1, 2, "", 1.5},
                  {0, 2, 4, "SUM(A1:A2)", 4},
                  {1, 2, 16, "=A1*2", 5},
                  {2, 2, 32, sum, 601},
                  {3, 2, 0x48, "", 0},
                  {4, 2, 0x41, "high bits", 0},
                  {0, 3, 1, std::string(9000, 'y'), 0}},
    };
}

std::vector<V6Style> RichStyles() {
    return {
        {},
        {0, 2, 0, 0x112233, 0, 0, 0, 0},
        {1 | 4, 1, 0, 0, 0, 0, 5, 0},
        {1 | 8192, 0, 0, 0, 0, 0, 3, 0},
        {4 | 8192, 0, 0, 0, 0, 0, 20, 0},
        {1u << 18, 0, 0, 0, 0, 0, 0, 0},
        {8192 | 2, 0, 0, 0, 0, 0, 4, 0},
        {8 | 16 | 16384 | 32768 | 2048 | 64, 0, 0, 0, 0, 0, 0, 0},
        {32 | 32768, 0, 0, 0, 0, 0, 0, 0},
        {128, 0, 0, 0, 0x0000FF, 545, 0, 0},
        {128, 0, 0, 0, 0x00FF00, 0x0A | (5 << 8), 0, 0},
        {128, 0, 0, 0, 0, 0x10 | (9 << 8), 0, 0},
        {512, 0, 0x03FF0000, 0, 0, 0, 0, 0},
        {512, 0, 0x07123456, 0, 0, 0, 0, 0},
        {65536, 0, 0, 0, 0, 0, 0, 42},
        {65536, 0, 0, 0, 0, 0, 0, 150},
        {0, 300, 0, 0, 0, 0, 0, 0},
        {0, 0xFFFF, 0, 0, 0, 0, 0, 0},
        {0, 5, 0, 0, 0, 0, 0, 0},
        {16, 0, 0, 0, 0, 0, 0, 0},
    };
}

} // namespace

V6File FileWith(const V6Sheet& sheet) {
    return {.items = {{.name = "S", .sheet = sheet}}};
}

V6Object Obj(V6Object o) {
    o.frame[2] = 99;
    o.frame[3] = 49;
    return o;
}

V6File RichFile() {
    return {.skipped = {1, 2, 3, 4, 5},
            .lists = {{0, "a\r\nb\r\nc\r\n"}, {3, ""}, {150, "gone"}, {99, "x\ny\r\rz"}},
            .styles = RichStyles(),
            .fonts = {V6LogFont{},
                      {-13, 700, 1, 0, 0, 0, 34, "Arial"},
                      {16, 900, 0, 5, 1, 238, 16, "Times New Roman"}},
            .items = {{"Charts", 2, 1, 1},
                      {"Sheet1", 1, 2, 0, RichSheet()},
                      {"Narrow",
                       1,
                       1,
                       0,
                       {.rowWidth = 0, .cells = {{0, 0, 2, "", 7}, {1, 65535, 1, "far", 0}}}},
                      {"Empty", 7},
                      {"Blank", 1, 1, 0, {}, true}}};
}

} // namespace vl::v6test
