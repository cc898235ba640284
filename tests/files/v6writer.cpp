#include "v6writer.h"

#include "platform/core/bytes.h"

#include <cstring>

namespace vl::v6test {

namespace {

constexpr size_t kChartRecordSize = 2640;
constexpr size_t kLogFontSize = 60;
constexpr size_t kTextBlockSize = 216;
constexpr size_t kItemHeaderSize = 96;

void PutText(uint8_t* p, const std::string& text, size_t field) {
    std::memcpy(p, text.data(), text.size() < field ? text.size() : field);
}

void LengthText(V6Bytes& out, const std::string& text) {
    out.U32(uint32_t(text.size()));
    out.Raw(text);
}

void WriteLogFont(V6Bytes& out, const V6LogFont& f) {
    uint8_t p[kLogFontSize];
    PutLogFont(p, f);
    out.Raw(p, sizeof p);
}

void WriteTextObject(V6Bytes& out, const V6TextObject& t) {
    out.U32(0);
    uint8_t b[kTextBlockSize] = {};
    PutLogFont(b + 4, t.font);
    StoreU32(b + 64, t.textColor);
    StoreU32(b + 80, t.backgroundColor);
    b[88] = t.backgroundFlags;
    const double fractal[6] = {t.zr, t.zi, t.minX, t.minY, t.maxX, t.maxY};
    for (int i = 0; i < 6; ++i) StoreF64(b + 96 + 8 * i, fractal[i]);
    for (int i = 0; i < 16; ++i) StoreU32(b + 144 + 4 * i, t.fractalColors[i]);
    out.Raw(b, sizeof b);
    LengthText(out, t.title);
    if ((t.backgroundFlags & 3) == 0) return;
    out.U8(uint8_t(t.imageName.size()));
    out.Raw(t.imageName);
    out.U8(t.imageKind);
    if (t.imageKind & 1) return;
    out.U32(uint32_t(t.imageData.size()));
    out.Raw(t.imageData);
}

void WriteObject(V6Bytes& out, const V6Object& o) {
    if (!o.introduce.empty()) {
        out.U16(0xFFFF);
        out.U16(1);
        out.U16(uint16_t(o.introduce.size()));
        out.Raw(o.introduce);
    } else {
        out.U16(o.tag);
    }
    for (int32_t v : o.frame) out.I32(v);
    out.U32(o.anchorColumn);
    out.U32(o.anchorRow);
    out.I32(o.x);
    out.I32(o.y);
    if (o.chart)
        out.Raw(ChartRecord(o.graph));
    else
        WriteTextObject(out, o.text);
    out.Mark();
}

void WritePageSetup(V6Bytes& out, const V6PageSetup& p) {
    out.U32(0);
    out.U32(p.flags);
    LengthText(out, p.pages);
    const uint16_t shorts[5] = {0, p.paper, 0, 0, p.pagesPerSheet};
    for (uint16_t v : shorts) out.U16(v);
    for (double m : p.margins) out.F64(m);
    LengthText(out, p.header);
    LengthText(out, p.footer);
    out.F64(p.headerDistance);
    out.F64(p.footerDistance);
    WriteLogFont(out, p.headerFont);
    out.U32(p.headerColor);
    out.Zeros(kLogFontSize + 4 * 4 + 16 + 16);
    LengthText(out, p.trailing[0]);
    LengthText(out, p.trailing[1]);
    out.Mark();
}

void WritePairs(V6Bytes& out, const std::vector<V6Pair>& pairs, bool wideCount) {
    for (const V6Pair& p : pairs) {
        if (wideCount)
            out.U32(p.count);
        else
            out.U16(uint16_t(p.count));
        out.U16(p.value);
        out.Mark();
    }
}

void WriteTables(V6Bytes& out, const V6Tables& t) {
    out.U32(t.rows);
    out.Mark();
    WritePairs(out, t.widths, false);
    WritePairs(out, t.heights, true);
    WritePairs(out, t.styles, false);
    out.U32(t.runRows);
    out.Mark();
    for (const V6RunBlock& b : t.blocks) {
        out.U16(b.rows);
        out.U32(b.firstRow);
        out.U16(uint16_t(b.runs.size()));
        for (const V6Run& r : b.runs) {
            out.U16(r.first);
            out.U16(r.last);
            out.U16(r.style);
        }
        out.Mark();
    }
}

void WriteCell(V6Bytes& out, const V6Cell& c, bool wideRows) {
    out.U16(c.column);
    if (wideRows)
        out.U32(c.row);
    else
        out.U16(uint16_t(c.row));
    out.U8(c.type);
    const uint8_t type = c.type & 0x3F;
    if (type == 1 || type == 4 || type == 16 || type == 32) {
        out.U16(uint16_t(c.text.size()));
        out.Raw(c.text);
    }
    if (type == 2 || type == 4 || type == 16 || type == 32) out.F64(c.number);
    out.Mark();
}

void WriteItem(V6Bytes& out, const V6Item& item) {
    V6Bytes body;
    if (item.type == 1 && !item.emptyBody) body = WriteV6Body(item.sheet);
    out.U32(item.sizeField ? *item.sizeField : uint32_t(kItemHeaderSize + body.data.size()));
    out.Mark();
    uint8_t header[kItemHeaderSize] = {};
    PutText(header, item.name, 52);
    StoreU32(header + 52, item.type);
    StoreU16(header + 56, item.level);
    StoreU32(header + 76, item.expanded);
    out.Raw(header, sizeof header);
    out.Mark();
    out.Append(body);
    out.itemEnds.push_back(out.data.size());
    if (item.type == 1) out.worksheetEnds.push_back(out.data.size());
}

} // namespace

void V6Bytes::U16(uint16_t v) {
    uint8_t b[2];
    StoreU16(b, v);
    Raw(b, 2);
}

void V6Bytes::U32(uint32_t v) {
    uint8_t b[4];
    StoreU32(b, v);
    Raw(b, 4);
}

void V6Bytes::F64(double v) {
    uint8_t b[8];
    StoreF64(b, v);
    Raw(b, 8);
}

void V6Bytes::Raw(const void* bytes, size_t n) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    data.insert(data.end(), p, p + n);
}

void V6Bytes::Append(const V6Bytes& other) {
    const size_t base = data.size();
    Raw(other.data);
    for (size_t b : other.boundaries) boundaries.push_back(base + b);
}

void PutLogFont(uint8_t* p, const V6LogFont& f) {
    std::memset(p, 0, kLogFontSize);
    StoreI32(p, f.height);
    StoreI32(p + 16, f.weight);
    p[20] = f.italic;
    p[21] = f.underline;
    p[22] = f.strikeOut;
    p[23] = f.charSet;
    p[27] = f.pitchAndFamily;
    PutText(p + 28, f.face, 32);
}

Bytes ChartRecord(const V6Chart& c) {
    Bytes b(kChartRecordSize);
    uint8_t* p = b.data();
    StoreU32(p, c.hasValues);
    for (int i = 0; i < 4; ++i) StoreI32(p + 12 + 4 * i, c.valueRect[i]);
    StoreU32(p + 60, c.noValues);
    for (int i = 0; i < 4; ++i) StoreI32(p + 72 + 4 * i, c.categoryRect[i]);
    p[104] = c.kindCode;
    p[105] = c.xy;
    p[107] = c.bars;
    p[112] = c.categoryScale;
    StoreF64(p + 120, c.categoryFrom);
    StoreF64(p + 128, c.categoryTo);
    p[138] = c.categoryLabels;
    p[139] = c.categoryVertical;
    PutLogFont(p + 140, c.categoryFont);
    StoreU32(p + 200, c.categoryColor);
    p[204] = c.valueScales;
    for (int i = 0; i < 16; ++i) StoreF64(p + 208 + 8 * i, c.valueFrom[i]);
    for (int i = 0; i < 16; ++i) StoreF64(p + 336 + 8 * i, c.valueTo[i]);
    p[466] = c.valueLabels;
    p[467] = c.valueVertical;
    PutLogFont(p + 468, c.valueFont);
    StoreU32(p + 528, c.valueColor);
    StoreU16(p + 536, c.categoryPeriods);
    StoreU16(p + 544, c.valuePeriods);
    p[616] = c.majorShown[0];
    p[617] = c.majorShown[1];
    p[618] = c.majorStyle;
    StoreU32(p + 620, c.majorColor);
    p[624] = c.minorShown[0];
    p[625] = c.minorShown[1];
    p[626] = c.minorStyle;
    StoreU32(p + 628, c.minorColor);
    p[640] = c.planeXY;
    StoreU32(p + 644, c.planeXYColor);
    p[648] = c.planeYZ;
    StoreU32(p + 652, c.planeYZColor);
    p[656] = c.planeXZ;
    StoreU32(p + 660, c.planeXZColor);
    PutText(p + 664, c.title[0], 260);
    PutLogFont(p + 924, c.titleFont[0]);
    StoreU32(p + 984, c.titleColor[0]);
    PutText(p + 989, c.title[1], 259);
    PutLogFont(p + 1248, c.titleFont[1]);
    StoreU32(p + 1308, c.titleColor[1]);
    p[2284] = c.legendShown;
    PutLogFont(p + 2288, c.legendFont);
    StoreU32(p + 2348, c.legendColor);
    p[2352] = c.legendPosition;
    p[2353] = c.legendHorizontal;
    StoreU32(p + 2420, c.windowColorGiven);
    StoreU32(p + 2424, c.windowColor);
    for (int i = 0; i < 16; ++i) StoreU32(p + 2428 + 4 * i, c.seriesColors[i]);
    return b;
}

V6Bytes WriteV6Body(const V6Sheet& s) {
    V6Bytes out;
    out.U16(uint16_t(s.objects.size()));
    out.Mark();
    for (const V6Object& o : s.objects) WriteObject(out, o);
    out.U32(s.afterObjects);
    out.Mark();
    out.U8(s.presence);
    out.Mark();
    if (s.presence == 1) WritePageSetup(out, s.page);
    out.Zeros(40);
    out.Mark();
    WriteTables(out, s.tables);
    out.U8(s.rowWidth);
    out.Mark();
    for (const V6Cell& c : s.cells) WriteCell(out, c, s.rowWidth != 0);
    return out;
}

V6Bytes WriteV6File(const V6File& f) {
    V6Bytes out;
    out.Raw(f.signature);
    out.Mark();
    out.U8(f.flags);
    out.Mark();
    out.U32(uint32_t(f.skipped.size()));
    out.Raw(f.skipped);
    out.Mark();
    out.U32(uint32_t(f.lists.size()));
    out.Mark();
    for (const V6List& l : f.lists) {
        uint8_t header[60] = {};
        StoreU32(header + 52, l.index);
        out.Raw(header, sizeof header);
        LengthText(out, l.text);
        out.Mark();
    }
    out.Zeros(12);
    out.Mark();
    out.U16(uint16_t(f.styles.size()));
    out.Mark();
    for (const V6Style& s : f.styles) {
        uint8_t r[72] = {};
        StoreU32(r, s.flags);
        StoreU32(r + 4, s.font);
        StoreU32(r + 8, s.fill);
        StoreU32(r + 12, s.fontColor);
        StoreU32(r + 16, s.borderColor);
        StoreU32(r + 28, s.borders);
        r[32] = s.decimals;
        StoreU16(r + 36, s.list);
        out.Raw(r, sizeof r);
        out.Mark();
    }
    out.U16(uint16_t(f.fonts.size()));
    out.Mark();
    for (const V6LogFont& font : f.fonts) {
        WriteLogFont(out, font);
        out.Mark();
    }
    out.itemEnds.push_back(out.data.size());
    for (const V6Item& item : f.items) WriteItem(out, item);
    return out;
}

} // namespace vl::v6test
