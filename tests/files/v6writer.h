#pragma once
// A writer of version-6 workbook files for the tests, the fuzz seeds and the benchmarks:
// every record laid out field by field at the offsets of the form, remembering where each
// record ends so that tests can cut a file at every record boundary.

#include "platform/core/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vl::v6test {

using Bytes = std::vector<uint8_t>;

// Little-endian bytes with the places where records end.
struct V6Bytes {
    Bytes data;
    std::vector<size_t> boundaries;
    // Ends of the document tables and of each item: a file cut there is still whole.
    std::vector<size_t> itemEnds;
    std::vector<size_t> worksheetEnds; // ends of worksheet items

    V6Bytes& U8(uint8_t v) { return Raw(&v, 1); }
    V6Bytes& U16(uint16_t v) { return Number<2>(v, StoreU16); }
    V6Bytes& U32(uint32_t v) { return Number<4>(v, StoreU32); }
    V6Bytes& F64(double v) { return Number<8>(v, StoreF64); }
    V6Bytes& Raw(const void* bytes, size_t n) {
        data.insert(data.end(), static_cast<const uint8_t*>(bytes),
                    static_cast<const uint8_t*>(bytes) + n);
        return *this;
    }
    V6Bytes& Raw(const std::string& text) { return Raw(text.data(), text.size()); }
    V6Bytes& Raw(const Bytes& bytes) { return Raw(bytes.data(), bytes.size()); }
    V6Bytes& Text32(const std::string& text) { return U32(uint32_t(text.size())).Raw(text); }
    V6Bytes& Zeros(size_t n) { return Raw(Bytes(n)); }
    V6Bytes& Mark() {
        boundaries.push_back(data.size());
        return *this;
    }

private:
    template <size_t N, class T> V6Bytes& Number(T v, void (*store)(uint8_t*, T)) {
        uint8_t b[N];
        store(b, v);
        return Raw(b, N);
    }
};

struct V6LogFont {
    int32_t height = 0, weight = 0;
    uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0, pitchAndFamily = 0;
    std::string face{};
};
void PutLogFont(uint8_t* p, const V6LogFont& f); // 60 bytes

struct V6Style {
    uint32_t flags = 0, font = 0, fill = 0, fontColor = 0, borderColor = 0, borders = 0;
    uint8_t decimals = 0;
    uint16_t list = 0;
};
Bytes V6StyleBytes(const V6Style& s); // 72 bytes

struct V6List {
    uint32_t index = 0;
    std::string text{};
};

struct V6Chart {
    uint32_t hasValues = 0;
    int32_t valueRect[4] = {}; // first column, first row, last column, last row
    uint32_t noValues = 0;
    int32_t categoryRect[4] = {};
    uint8_t kindCode = 0, xy = 0, bars = 0, categoryScale = 0;
    double categoryFrom = 0, categoryTo = 0;
    uint8_t categoryLabels = 0, categoryVertical = 0;
    V6LogFont categoryFont{};
    uint32_t categoryColor = 0;
    uint8_t valueScales = 0;
    double valueFrom[16] = {}, valueTo[16] = {};
    uint8_t valueLabels = 0, valueVertical = 0;
    V6LogFont valueFont{};
    uint32_t valueColor = 0;
    uint16_t categoryPeriods = 0, valuePeriods = 0;
    uint8_t majorShown[2] = {}, majorStyle = 0;
    uint32_t majorColor = 0;
    uint8_t minorShown[2] = {}, minorStyle = 0;
    uint32_t minorColor = 0;
    uint8_t planeXY = 0, planeYZ = 0, planeXZ = 0;
    uint32_t planeXYColor = 0, planeYZColor = 0, planeXZColor = 0;
    std::string title[2] = {};
    V6LogFont titleFont[2] = {};
    uint32_t titleColor[2] = {};
    uint8_t legendShown = 0;
    V6LogFont legendFont{};
    uint32_t legendColor = 0;
    uint8_t legendPosition = 0, legendHorizontal = 0;
    uint32_t windowColorGiven = 0, windowColor = 0;
    uint32_t seriesColors[16] = {};
};
Bytes ChartRecord(const V6Chart& c); // 2,640 bytes

struct V6TextObject {
    V6LogFont font{};
    uint32_t textColor = 0, backgroundColor = 0;
    uint8_t backgroundFlags = 0;
    double zr = 0, zi = 0, minX = 0, minY = 0, maxX = 0, maxY = 0;
    uint32_t fractalColors[16] = {};
    std::string title{}, imageName{};
    uint8_t imageKind = 0;
    Bytes imageData{};
};

struct V6Object {
    std::string introduce{}; // a class name to introduce, or empty to use `tag`
    uint16_t tag = 0;
    int32_t frame[4] = {}; // left, top, right, bottom
    uint32_t anchorColumn = 0, anchorRow = 0;
    int32_t x = 0, y = 0;
    bool chart = false;
    V6Chart graph{};
    V6TextObject text{};
};

struct V6PageSetup {
    uint32_t flags = 0;
    std::string pages{};
    uint16_t paper = 0, pagesPerSheet = 0;
    double margins[4] = {}; // left, top, right, bottom
    std::string header{}, footer{};
    double headerDistance = 0, footerDistance = 0;
    V6LogFont headerFont{};
    uint32_t headerColor = 0;
    std::string trailing[2] = {};
};

struct V6Pair {
    uint32_t count = 0;
    uint16_t value = 0;
};
struct V6Run {
    uint16_t first = 0, last = 0, style = 0;
};
struct V6RunBlock {
    uint16_t rows = 0;
    uint32_t firstRow = 0;
    std::vector<V6Run> runs{};
};
struct V6Tables {
    uint32_t rows = 0;
    std::vector<V6Pair> widths = std::vector<V6Pair>(1, V6Pair{512, 80});
    std::vector<V6Pair> heights{};
    std::vector<V6Pair> styles = std::vector<V6Pair>(1, V6Pair{512, 0});
    uint32_t runRows = 0;
    std::vector<V6RunBlock> blocks{};
};

struct V6Cell {
    uint16_t column = 0;
    uint32_t row = 0;
    uint8_t type = 0;
    std::string text{};
    double number = 0;
};

struct V6Sheet {
    std::vector<V6Object> objects{};
    uint32_t afterObjects = 0;
    uint8_t presence = 0; // 1: the page setup follows
    V6PageSetup page{};
    V6Tables tables{};
    uint8_t rowWidth = 1;
    std::vector<V6Cell> cells{};
};

struct V6Item {
    std::string name{};
    uint32_t type = 1; // 1 worksheet, anything else a folder
    uint16_t level = 1;
    uint32_t expanded = 0;
    V6Sheet sheet{};
    bool emptyBody = false;              // a worksheet item of the header alone
    std::optional<uint32_t> sizeField{}; // a size other than the real one
};

struct V6File {
    std::string signature = std::string("Vorlane6000", 12);
    uint8_t flags = 0x40;
    Bytes skipped{};
    std::vector<V6List> lists{};
    std::vector<V6Style> styles{V6Style{}}; // the first one stands for style 0
    std::vector<V6LogFont> fonts{V6LogFont{}};
    std::vector<V6Item> items{};
};

V6Bytes WriteV6Body(const V6Sheet& sheet);
V6Bytes WriteV6File(const V6File& file);

} // namespace vl::v6test
