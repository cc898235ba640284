#include "v6writer.h"

#include <cstring>
#include <initializer_list>
#include <utility>

namespace vl::v6test {

namespace {

constexpr size_t kLogFontSize = 60;
constexpr size_t kItemHeaderSize = 96;

struct Store {
    static void At(uint8_t* p, uint8_t v) { *p = v; }
    static void At(uint8_t* p, uint16_t v) { StoreU16(p, v); }
    static void At(uint8_t* p, uint32_t v) { StoreU32(p, v); }
    static void At(uint8_t* p, int32_t v) { StoreI32(p, v); }
    static void At(uint8_t* p, double v) { StoreF64(p, v); }
    static void At(uint8_t* p, const V6LogFont& f) { PutLogFont(p, f); }
    template <class T, size_t N> static void At(uint8_t* p, const T (&v)[N]) {
        for (size_t i = 0; i < N; ++i) At(p + i * sizeof(T), v[i]);
    }
};

// Stores each value at the offset before it in a record.
void Fields(uint8_t*) {}
template <class T, class... Rest>
void Fields(uint8_t* p, size_t at, const T& v, const Rest&... rest) {
    Store::At(p + at, v);
    Fields(p, rest...);
}

void PutText(uint8_t* p, const std::string& text, size_t field) {
    std::memcpy(p, text.data(), std::min(text.size(), field));
}

Bytes LogFontBytes(const V6LogFont& f) {
    Bytes b(kLogFontSize);
    PutLogFont(b.data(), f);
    return b;
}

V6Bytes& WriteTextObject(V6Bytes& out, const V6TextObject& t) {
    Bytes b(216);
    Fields(b.data(), 4, t.font, 64, t.textColor, 80, t.backgroundColor, 88, t.backgroundFlags, 96,
           t.zr, 104, t.zi, 112, t.minX, 120, t.minY, 128, t.maxX, 136, t.maxY, 144,
           t.fractalColors);
    out.U32(0).Raw(b).Text32(t.title);
    if ((t.backgroundFlags & 3) == 0) return out;
    out.U8(uint8_t(t.imageName.size())).Raw(t.imageName).U8(t.imageKind);
    return t.imageKind & 1 ? out : out.U32(uint32_t(t.imageData.size())).Raw(t.imageData);
}

void WriteObject(V6Bytes& out, const V6Object& o) {
    o.introduce.empty() ? out.U16(o.tag)
                        : out.U16(0xFFFF).U16(1).U16(uint16_t(o.introduce.size())).Raw(o.introduce);
    for (int32_t v : o.frame) out.U32(uint32_t(v));
    out.U32(o.anchorColumn).U32(o.anchorRow).U32(uint32_t(o.x)).U32(uint32_t(o.y));
    (o.chart ? out.Raw(ChartRecord(o.graph)) : WriteTextObject(out, o.text)).Mark();
}

void WritePageSetup(V6Bytes& out, const V6PageSetup& p) {
    out.U32(0).U32(p.flags).Text32(p.pages);
    for (uint16_t v : {uint16_t(0), p.paper, uint16_t(0), uint16_t(0), p.pagesPerSheet}) out.U16(v);
    for (double m : p.margins) out.F64(m);
    out.Text32(p.header).Text32(p.footer).F64(p.headerDistance).F64(p.footerDistance);
    out.Raw(LogFontBytes(p.headerFont)).U32(p.headerColor).Zeros(kLogFontSize + 4 * 4 + 16 + 16);
    out.Text32(p.trailing[0]).Text32(p.trailing[1]).Mark();
}

void WritePairs(V6Bytes& out, const std::vector<V6Pair>& pairs, bool wideCount) {
    for (const V6Pair& p : pairs) {
        (wideCount ? out.U32(p.count) : out.U16(uint16_t(p.count))).U16(p.value).Mark();
    }
}

void WriteTables(V6Bytes& out, const V6Tables& t) {
    out.U32(t.rows).Mark();
    WritePairs(out, t.widths, false);
    WritePairs(out, t.heights, true);
    WritePairs(out, t.styles, false);
    out.U32(t.runRows).Mark();
    for (const V6RunBlock& b : t.blocks) {
        out.U16(b.rows).U32(b.firstRow).U16(uint16_t(b.runs.size()));
        for (const V6Run& r : b.runs) out.U16(r.first).U16(r.last).U16(r.style);
        out.Mark();
    }
}

void WriteCell(V6Bytes& out, const V6Cell& c, bool wideRows) {
    out.U16(c.column);
    (wideRows ? out.U32(c.row) : out.U16(uint16_t(c.row))).U8(c.type);
    const uint8_t type = c.type & 0x3F;
    if (type == 1 || type == 4 || type == 16 || type == 32)
        out.U16(uint16_t(c.text.size())).Raw(c.text);
    if (type == 2 || type == 4 || type == 16 || type == 32) out.F64(c.number);
    out.Mark();
}

void WriteItem(V6Bytes& out, const V6Item& item) {
    V6Bytes body;
    if (item.type == 1 && !item.emptyBody) body = WriteV6Body(item.sheet);
    out.U32(item.sizeField.value_or(uint32_t(kItemHeaderSize + body.data.size()))).Mark();
    Bytes header(kItemHeaderSize);
    PutText(header.data(), item.name, 52);
    Fields(header.data(), 52, item.type, 56, item.level, 76, item.expanded);
    out.Raw(header).Mark();
    for (size_t b : body.boundaries) out.boundaries.push_back(out.data.size() + b);
    out.Raw(body.data);
    out.itemEnds.push_back(out.data.size());
    if (item.type == 1) out.worksheetEnds.push_back(out.data.size());
}

} // namespace

void PutLogFont(uint8_t* p, const V6LogFont& f) {
    std::memset(p, 0, kLogFontSize);
    Fields(p, 0, f.height, 16, f.weight, 20, f.italic, 21, f.underline, 22, f.strikeOut, 23,
           f.charSet, 27, f.pitchAndFamily);
    PutText(p + 28, f.face, 32);
}

Bytes V6StyleBytes(const V6Style& s) {
    Bytes r(72);
    Fields(r.data(), 0, s.flags, 4, s.font, 8, s.fill, 12, s.fontColor, 16, s.borderColor, 28,
           s.borders, 32, s.decimals, 36, s.list);
    return r;
}

Bytes ChartRecord(const V6Chart& c) {
    Bytes b(2640);
    Fields(b.data(), 0, c.hasValues, 12, c.valueRect, 60, c.noValues, 72, c.categoryRect, 104,
           c.kindCode, 105, c.xy, 107, c.bars, 112, c.categoryScale, 120, c.categoryFrom, 128,
           c.categoryTo, 138, c.categoryLabels, 139, c.categoryVertical, 140, c.categoryFont, 200,
           c.categoryColor, 204, c.valueScales, 208, c.valueFrom, 336, c.valueTo, 466,
           c.valueLabels, 467, c.valueVertical, 468, c.valueFont, 528, c.valueColor, 536,
           c.categoryPeriods, 544, c.valuePeriods, 616, c.majorShown, 618, c.majorStyle, 620,
           c.majorColor, 624, c.minorShown, 626, c.minorStyle, 628, c.minorColor, 640, c.planeXY,
           644, c.planeXYColor, 648, c.planeYZ, 652, c.planeYZColor, 656, c.planeXZ, 660,
           c.planeXZColor, 924, c.titleFont[0], 984, c.titleColor[0], 1248, c.titleFont[1], 1308,
           c.titleColor[1], 2284, c.legendShown, 2288, c.legendFont, 2348, c.legendColor, 2352,
           c.legendPosition, 2353, c.legendHorizontal, 2420, c.windowColorGiven, 2424,
           c.windowColor, 2428, c.seriesColors);
    PutText(b.data() + 664, c.title[0], 260);
    PutText(b.data() + 989, c.title[1], 259);
    return b;
}

V6Bytes WriteV6Body(const V6Sheet& s) {
    V6Bytes out;
    out.U16(uint16_t(s.objects.size())).Mark();
    for (const V6Object& o : s.objects) WriteObject(out, o);
    out.U32(s.afterObjects).Mark().U8(s.presence).Mark();
    if (s.presence == 1) WritePageSetup(out, s.page);
    out.Zeros(40).Mark();
    WriteTables(out, s.tables);
    out.U8(s.rowWidth).Mark();
    for (const V6Cell& c : s.cells) WriteCell(out, c, s.rowWidth != 0);
    return out;
}

V6Bytes WriteV6File(const V6File& f) {
    V6Bytes out;
    out.Raw(f.signature).Mark().U8(f.flags).Mark();
    out.U32(uint32_t(f.skipped.size())).Raw(f.skipped).Mark();
    out.U32(uint32_t(f.lists.size())).Mark();
    for (const V6List& l : f.lists) {
        Bytes header(60);
        Fields(header.data(), 52, l.index);
        out.Raw(header).Text32(l.text).Mark();
    }
    out.Zeros(12).Mark().U16(uint16_t(f.styles.size())).Mark();
    for (const V6Style& s : f.styles) out.Raw(V6StyleBytes(s)).Mark();
    out.U16(uint16_t(f.fonts.size())).Mark();
    for (const V6LogFont& font : f.fonts) out.Raw(LogFontBytes(font)).Mark();
    out.itemEnds.push_back(out.data.size());
    for (const V6Item& item : f.items) WriteItem(out, item);
    return out;
}

} // namespace vl::v6test
