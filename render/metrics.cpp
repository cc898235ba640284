#include "render/metrics.h"

#include "render/canvas.h"

#include <algorithm>

namespace vl {

namespace {

constexpr uint16_t kSizeBits = 0x0FFF;

int32_t Scaled(int32_t size, uint16_t zoom) {
    return zoom == 100 ? size : size * int32_t(zoom) / 100;
}

} // namespace

uint16_t LargestColumnAutoRowHeight(CFormatStore& formats) {
    if (!formats.autoRowHeightKnown) {
        uint16_t largest = 0;
        for (const ColumnEntry& column : formats.columns)
            largest = std::max<uint16_t>(largest, column.autoRowHeight & kSizeBits);
        formats.largestAutoRowHeight = largest;
        formats.autoRowHeightKnown = true;
    }
    return formats.largestAutoRowHeight;
}

int32_t GetRowHeight(CWorksheet& sheet, uint32_t row, uint16_t zoom) {
    CPagedList& rows = sheet.formats.rowHeights;
    int32_t height = 0;
    if (row < rows.ItemCount()) {
        if (!rows.IndexValid()) rows.BuildPageIndex();
        if (const uint16_t* entry = rows.GetItem2(row)) {
            height = (*entry >> 1) & kSizeBits;
            if (*entry & 1) return Scaled(height, zoom);
        }
    }
    height = std::max<int32_t>(height, LargestColumnAutoRowHeight(sheet.formats));
    if (height == 0) height = GetDefaultRowHeight();
    return Scaled(height, zoom);
}

int32_t GetColumnWidth(const CWorksheet& sheet, uint16_t column, uint16_t zoom) {
    const uint16_t word = column < kMaxColumns ? sheet.formats.columns[column].width : 0;
    const int32_t width = (word & 0x1FFF) == 0 ? GetDefaultColumnWidth() : (word >> 1) & kSizeBits;
    return Scaled(width, zoom);
}

int32_t GetNumberWidth(CCanvas& canvas, uint32_t largestRow, uint16_t zoom) {
    canvas.SelectFont(DefaultFontRecord(), 0, 100);
    size_t digits = 7;
    for (uint32_t limit = 100, d = 2; d < 7; limit *= 10, ++d) {
        if (largestRow < limit) {
            digits = d;
            break;
        }
    }
    int32_t width = 0, height = 0;
    canvas.MeasureText(std::string_view("9999999", digits), width, height);
    return (width + 8) * int32_t(zoom) / 100;
}

int32_t GetHeadingRowHeight(CCanvas& canvas, uint16_t zoom) {
    canvas.SelectFont(DefaultFontRecord(), 0, 100);
    int32_t width = 0, height = 0;
    canvas.MeasureText("C", width, height);
    return height * int32_t(zoom) / 100;
}

} // namespace vl
