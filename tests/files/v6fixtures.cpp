#include "v6fixtures.h"

#include "platform/core/bytes.h"

#include <climits>
#include <cstring>

namespace vl::v6test {

namespace {

V6LogFont Font(int32_t height, int32_t weight, uint8_t charSet, uint8_t pitch, const char* face) {
    V6LogFont f;
    f.height = height;
    f.weight = weight;
    f.charSet = charSet;
    f.pitchAndFamily = pitch;
    f.face = face;
    return f;
}

V6Object TextObject(const std::string& introduce, uint16_t tag) {
    V6Object o;
    o.introduce = introduce;
    o.tag = tag;
    o.frame[2] = 99;
    o.frame[3] = 49;
    return o;
}

V6Object ChartObject(const std::string& introduce, uint16_t tag) {
    V6Object o = TextObject(introduce, tag);
    o.chart = true;
    return o;
}

// A 3D bar chart whose value rectangle is rows 2 to 4 of columns 1 to 5.
V6Chart BarChart() {
    V6Chart c;
    c.hasValues = 1;
    const int32_t values[4] = {1, 2, 5, 4};
    const int32_t categories[4] = {0, 2, 0, 4};
    std::memcpy(c.valueRect, values, sizeof values);
    std::memcpy(c.categoryRect, categories, sizeof categories);
    c.kindCode = 8;
    c.bars = 1;
    c.categoryScale = 1;
    c.categoryFrom = -1.5;
    c.categoryTo = 9.5;
    c.categoryLabels = 1;
    c.categoryVertical = 1;
    c.categoryFont = Font(-12, 700, 0, 32, "Tahoma");
    c.categoryColor = 0x010203;
    c.valueScales = 1;
    for (int i = 0; i < 16; ++i) {
        c.valueFrom[i] = -i;
        c.valueTo[i] = 100 + i;
        c.seriesColors[i] = 0x100000u * uint32_t(i) + 0x33;
    }
    c.valueLabels = 1;
    c.valueFont = Font(-10, 100, 2, 48, "Verdana");
    c.valueColor = 0x040506;
    c.categoryPeriods = 3;
    c.valuePeriods = 7;
    c.majorShown[0] = 1;
    c.majorStyle = 3;
    c.majorColor = 0x0A0B0C;
    c.minorShown[1] = 1;
    c.minorStyle = 4;
    c.minorColor = 0x0D0E0F;
    c.planeXZ = c.planeYZ = 1;
    c.planeXYColor = 0x111111;
    c.planeXZColor = 0x123456;
    c.planeYZColor = 0x222222;
    c.title[0] = "Sales";
    c.titleFont[0] = Font(-20, 700, 0, 16, "Georgia");
    c.titleColor[0] = 0x0000FF;
    c.title[1] = "by region";
    c.titleFont[1] = Font(-9, 0, 0, 0, "Arial");
    c.titleColor[1] = 0x00FF00;
    c.legendShown = 1;
    c.legendFont = Font(-8, 900, 161, 80, "Symbol");
    c.legendColor = 0x445566;
    c.legendPosition = 1;
    c.legendHorizontal = 1;
    c.windowColorGiven = 1;
    c.windowColor = 0xABCDEF;
    return c;
}

std::vector<V6Object> RichObjects() {
    V6Object plain = TextObject("TextObj", 0);
    plain.x = 10;
    plain.y = 20;
    plain.anchorColumn = 2;
    plain.anchorRow = 5;
    plain.text.title = "Hello";
    plain.text.font = Font(-16, 700, 0, 34, "Arial");
    plain.text.textColor = 0x0000FF;
    plain.text.backgroundColor = 0x00FF00;
    V6Object chart = ChartObject("GraphObj", 0);
    chart.graph = BarChart();
    V6Object fractal = TextObject("", 0x8001);
    fractal.text.backgroundFlags = 4;
    fractal.text.zr = 0.25;
    fractal.text.zi = -0.5;
    fractal.text.minX = -2;
    fractal.text.minY = -1.5;
    fractal.text.maxX = 1;
    fractal.text.maxY = 1.5;
    for (int i = 0; i < 16; ++i) fractal.text.fractalColors[i] = 0x010101u * uint32_t(i);
    fractal.text.title = std::string(200, 'x');
    V6Object named = TextObject("", 0x0001);
    named.text.backgroundFlags = 1;
    named.text.imageName = "back.png";
    named.text.imageKind = 1;
    V6Object embedded = TextObject("", 0x8001);
    embedded.text.backgroundFlags = 2;
    embedded.text.imageName = "inside.bmp";
    embedded.text.imageData = Bytes(10, 0xEE);
    V6Object xy = ChartObject("", 0x8002);
    xy.anchorColumn = 0x10000 + 2046;
    xy.anchorRow = 2097151;
    xy.graph.xy = 1;
    xy.graph.kindCode = 13;
    xy.graph.categoryPeriods = 12;
    return {plain, chart, fractal, named, embedded, xy};
}

V6PageSetup RichPageSetup() {
    V6PageSetup p;
    p.flags = 2 | 4 | 8 | 16 | 32 | 64 | 128 | 256 | 512 | 1024 | 131072;
    p.pages = "1-3,5";
    p.paper = 1;
    p.pagesPerSheet = 6;
    const double margins[4] = {1, 2, 3, 4};
    std::memcpy(p.margins, margins, sizeof margins);
    p.header = "Head &p";
    p.footer = "Foot";
    p.headerDistance = 1.5;
    p.footerDistance = 2.5;
    p.headerFont = Font(-11, 400, 204, 49, "Courier New");
    p.headerColor = 0x00AA00;
    p.trailing[0] = "t1";
    p.trailing[1] = "t2";
    return p;
}

V6Tables RichTables() {
    V6Tables t;
    t.rows = 40;
    t.widths = {{3, 80}, {2, 100}, {507, 80}};
    t.heights = {{5, 17}, {2, 30}, {33, 17}};
    t.styles = {{1, 0}, {1, 2}, {1, 999}, {509, 0}};
    t.runRows = 5;
    t.blocks = {{2, 1, {{0, 3, 1}, {5, 6, 2}}}, {3, 10, {{1, 1, 3}}}};
    return t;
}

V6Sheet RichSheet() {
    V6Sheet s;
    s.objects = RichObjects();
    s.presence = 1;
    s.page = RichPageSetup();
    s.tables = RichTables();
    std::string sum = "=1";
    for (int i = 0; i < 600; ++i) sum += "+1";
    s.cells = {
        {0, 0, 1, "hello", 0},
        {1, 0, 2, "", 2.5},
        {0, 1, 2, "", 1.5},
        {0, 2, 4, "SUM(A1:A2)", 4},
        {1, 2, 16, "=A1*2", 5},
        {2, 2, 32, sum, 601},
        {3, 2, 0x48, "", 0},
        {4, 2, 0x41, "high bits", 0},
        {0, 3, 1, std::string(9000, 'y'), 0},
    };
    return s;
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

void Patch32(Bytes& b, size_t at, uint32_t v) {
    StoreU32(b.data() + at, v);
}

// The position of a marker text in the bytes.
size_t Find(const Bytes& b, const std::string& marker) {
    for (size_t i = 0; i + marker.size() <= b.size(); ++i)
        if (std::memcmp(b.data() + i, marker.data(), marker.size()) == 0) return i;
    return b.size();
}

// The file with the u32 length before a marker text set to `length`.
Bytes WithLength(const V6File& f, const std::string& marker, uint32_t length) {
    Bytes b = WriteV6File(f).data;
    Patch32(b, Find(b, marker) - 4, length);
    return b;
}

V6File WithSheet(const V6Sheet& sheet) {
    V6File f = MinimalFile();
    f.items[0].sheet = sheet;
    return f;
}

V6File WithObject(const V6Object& o) {
    V6Sheet s = MinimalSheet();
    s.objects = {o};
    return WithSheet(s);
}

V6File WithCells(std::vector<V6Cell> cells) {
    V6Sheet s = MinimalSheet();
    s.cells = std::move(cells);
    return WithSheet(s);
}

// Where the first item's body starts in a file without lists or skipped bytes.
size_t FirstBodyStart(const V6File& f) {
    return WriteV6File(f).itemEnds[0] + 4 + 96;
}

void AddBad(std::vector<V6BadFixture>& out, const std::string& name, Bytes bytes, int code) {
    out.push_back({"e" + std::to_string(code) + "-" + name + ".vlb", std::move(bytes), code});
}

void AddBad(std::vector<V6BadFixture>& out, const std::string& name, const V6File& f, int code) {
    AddBad(out, name, WriteV6File(f).data, code);
}

void AddHeadFaults(std::vector<V6BadFixture>& out) {
    V6File f = MinimalFile();
    f.signature = "Vorlane6000X";
    AddBad(out, "signature-without-nul", f, 21);
    for (uint8_t flags : {0x41, 0x01, 0x3F}) {
        f = MinimalFile();
        f.flags = flags;
        const char* hex = "0123456789abcdef";
        AddBad(out, std::string("flags-0x") + hex[flags >> 4] + hex[flags & 15], f, 21);
    }
    Bytes b = WriteV6File(MinimalFile()).data;
    Patch32(b, 13, 0x7FFFFFFF);
    AddBad(out, "skip-past-end", b, 21);
    b = WriteV6File(MinimalFile()).data;
    Patch32(b, 17, 0x10000000);
    AddBad(out, "list-count-past-end", b, 21);
    f = MinimalFile();
    f.lists = {{1, "@@LIST@@"}};
    AddBad(out, "list-length-past-end", WithLength(f, "@@LIST@@", 0xFFFFFF00), 21);
    b = WriteV6File(MinimalFile()).data;
    StoreU16(b.data() + 33, 0xFFFF);
    AddBad(out, "style-count-past-end", b, 21);
    b = WriteV6File(MinimalFile()).data;
    StoreU16(b.data() + 33 + 2 + 72, 0xFFFF);
    AddBad(out, "font-count-past-end", b, 21);
}

void AddItemFaults(std::vector<V6BadFixture>& out) {
    V6File f = MinimalFile();
    f.items[0].sizeField = 95;
    AddBad(out, "item-size-below-header", f, 21);
    f = MinimalFile();
    f.items[0].sizeField = uint32_t(WriteV6File(f).data.size() - FirstBodyStart(f) + 97);
    AddBad(out, "item-size-past-end", f, 21);
    f = MinimalFile();
    f.items = {{"F", 2, 1, 1, {}, false, {}}};
    AddBad(out, "folders-only", f, 9);
    f.items.clear();
    AddBad(out, "no-items", f, 9);
}

void AddObjectFaults(std::vector<V6BadFixture>& out) {
    const V6File minimal = MinimalFile();
    Bytes b = WriteV6File(minimal).data;
    StoreU16(b.data() + FirstBodyStart(minimal), 0xFFFF);
    AddBad(out, "object-count-ffff", b, 21);
    StoreU16(b.data() + FirstBodyStart(minimal), 1000);
    AddBad(out, "object-count-past-end", b, 21);
    AddBad(out, "class-name", WithObject(TextObject("ListObj", 0)), 21);
    AddBad(out, "class-not-introduced", WithObject(TextObject("", 0x8001)), 21);
    V6Sheet s = MinimalSheet();
    s.objects = {TextObject("GraphObj", 0), TextObject("", 0x8000)};
    s.objects[0].chart = true;
    AddBad(out, "class-number-zero", WithSheet(s), 21);
    V6Object chart = ChartObject("GraphObj", 0);
    chart.graph.kindCode = 14;
    AddBad(out, "chart-kind-14", WithObject(chart), 21);
    s = MinimalSheet();
    s.afterObjects = 1;
    AddBad(out, "after-objects-not-zero", WithSheet(s), 21);
    V6Object o = TextObject("TextObj", 0);
    o.anchorColumn = 2047;
    AddBad(out, "anchor-column-off-sheet", WithObject(o), 21);
    o = TextObject("TextObj", 0);
    o.anchorRow = 2097152;
    AddBad(out, "anchor-row-off-sheet", WithObject(o), 21);
    o = TextObject("TextObj", 0);
    o.x = INT32_MAX - 50;
    AddBad(out, "placement-outside-32-bits", WithObject(o), 21);
    o = TextObject("TextObj", 0);
    o.text.title = "@@TITLE@@";
    AddBad(out, "title-past-end", WithLength(WithObject(o), "@@TITLE@@", 5000), 21);
    o.text.title.clear();
    o.text.backgroundFlags = 1;
    o.text.imageName = "@@IMAGE@@";
    o.text.imageKind = 0;
    o.text.imageData = {'@', '@', 'D', 'A', 'T', 'A', '@', '@'};
    AddBad(out, "image-data-past-end", WithLength(WithObject(o), "@@DATA@@", 5000), 21);
    b = WriteV6File(WithObject(o)).data;
    b[Find(b, "@@IMAGE@@") - 1] = 255;
    AddBad(out, "image-name-past-end", b, 21);
}

void AddBodyFaults(std::vector<V6BadFixture>& out) {
    V6Sheet s = MinimalSheet();
    s.presence = 1;
    s.page.header = "@@HEADER@@";
    s.page.trailing[1] = "@@TRAILING@@";
    AddBad(out, "page-text-past-end", WithLength(WithSheet(s), "@@HEADER@@", 70000), 21);
    AddBad(out, "page-trailing-past-end", WithLength(WithSheet(s), "@@TRAILING@@", 300), 21);
    s = MinimalSheet();
    s.tables.widths = {{0, 100}, {0, 100}};
    s.tables.styles.clear();
    AddBad(out, "width-pairs-of-zero", WithSheet(s), 21);
    s = MinimalSheet();
    s.tables.runRows = 1;
    s.tables.blocks = {{1, 0, {{5, 3, 0}}}};
    AddBad(out, "run-reversed", WithSheet(s), 21);
    s.tables.blocks = {{1, 0, {{5, 7, 0}}}};
    Bytes b = WriteV6File(WithSheet(s)).data;
    StoreU16(b.data() + b.size() - 1 - 6 - 2, 2);
    AddBad(out, "run-count-past-end", b, 21);
    AddBad(out, "cell-column-off-sheet", WithCells({{2047, 0, 2, "", 1}}), 21);
    AddBad(out, "cell-row-off-sheet", WithCells({{0, 2097152, 2, "", 1}}), 21);
    b = WriteV6File(WithCells({{0, 0, 1, "@@TEXT@@", 0}})).data;
    StoreU16(b.data() + Find(b, "@@TEXT@@") - 2, 1000);
    AddBad(out, "cell-text-past-end", b, 21);
    V6File f = WithCells({{0, 0, 2, "", 1}});
    const size_t size = WriteV6File(f).data.size() - FirstBodyStart(f) + 96;
    f.items[0].sizeField = uint32_t(size - 4);
    b = WriteV6File(f).data;
    b.resize(b.size() - 4);
    AddBad(out, "cell-number-cut", b, 21);
}

} // namespace

V6Sheet MinimalSheet() {
    return V6Sheet{};
}

V6File MinimalFile() {
    V6File f;
    V6Item sheet;
    sheet.name = "S";
    f.items = {sheet};
    return f;
}

V6File RichFile() {
    V6File f;
    f.flags = 0x40;
    f.skipped = {1, 2, 3, 4, 5};
    f.lists = {{0, "a\r\nb\r\nc\r\n"}, {3, ""}, {150, "gone"}, {99, "x\ny\r\rz"}};
    f.styles = RichStyles();
    f.fonts = {V6LogFont{}, Font(-13, 700, 0, 34, "Arial"),
               Font(16, 900, 238, 16, "Times New Roman")};
    f.fonts[1].italic = 1;
    f.fonts[2].underline = 5;
    f.fonts[2].strikeOut = 1;
    V6Item folder{"Charts", 2, 1, 1, {}, false, {}};
    V6Item sheet{"Sheet1", 1, 2, 0, RichSheet(), false, {}};
    V6Item narrow{"Narrow", 1, 1, 0, MinimalSheet(), false, {}};
    narrow.sheet.rowWidth = 0;
    narrow.sheet.cells = {{0, 0, 2, "", 7}, {1, 65535, 1, "far", 0}};
    V6Item empty{"Empty", 7, 1, 0, {}, false, {}};
    V6Item blank{"Blank", 1, 1, 0, {}, true, {}};
    f.items = {folder, sheet, narrow, empty, blank};
    return f;
}

V6File ManyStylesFile() {
    V6File f = MinimalFile();
    f.flags = 0xC1;
    f.styles.resize(600);
    for (size_t i = 1; i < f.styles.size(); ++i)
        f.styles[i] = {8192, uint32_t(i % 3), 0, uint32_t(i), 0, 0, uint8_t(i % 15), 0};
    f.fonts.resize(130);
    for (size_t i = 1; i < f.fonts.size(); ++i)
        f.fonts[i] = Font(-int32_t(i), 400, 0, 0, ("Face" + std::to_string(i)).c_str());
    return f;
}

std::vector<V6Fixture> GoldenFiles() {
    return {{"book.vlb", RichFile()}, {"styles600.vlb", ManyStylesFile()}};
}

std::vector<V6BadFixture> BadFiles() {
    std::vector<V6BadFixture> out;
    AddHeadFaults(out);
    AddItemFaults(out);
    AddObjectFaults(out);
    AddBodyFaults(out);
    return out;
}

} // namespace vl::v6test
