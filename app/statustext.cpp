#include "app/statustext.h"

#include "model/cellrecord.h"
#include "model/cellwalk.h"
#include "values/formatdouble.h"
#include "values/inttext.h"

#include <limits>

namespace vl {

std::array<int, 6> StatusPaneEdges(int width, int border, int gap, int textWidth) {
    int q = (width - 23 - 5 * gap - 2 * (textWidth + border)) / 3;
    std::array<int, 6> edges{};
    edges[5] = width - border;
    edges[4] = width - border - gap - textWidth;
    edges[3] = width - border - 2 * gap - 2 * textWidth;
    edges[2] = edges[3] - gap - 24;
    edges[1] = edges[2] - gap - q;
    edges[0] = edges[1] - gap - q;
    return edges;
}

SelectionStats ComputeSelectionStats(const CCellStore& cells, const CellRange& range) {
    SelectionStats stats;
    double min = std::numeric_limits<double>::max();
    double max = std::numeric_limits<double>::lowest();
    Page* page = cells.FirstPage();
    uint32_t offset = 0;
    if (page) cellwalk::PositionOnRow(page, offset, range.r1);
    for (; page && cellwalk::StepPage(page, offset);
         offset += cell::Length(page->payload + offset)) {
        const uint8_t* r = page->payload + offset;
        const uint32_t row = cell::Row(r);
        if (row > range.r2) break;
        const uint16_t column = cell::Column(r);
        if (row < range.r1 || column < range.c1 || column > range.c2 || cell::Error(r)) continue;
        double value;
        if (cell::IsNumber(r))
            value = cell::Number(r);
        else if (cell::IsFormula(r) && (cell::ResultFlags(r) & kResultNumber))
            value = cell::CachedNumber(r);
        else {
            ++stats.texts;
            continue;
        }
        stats.sum += value;
        if (value < min) min = value;
        if (value > max) max = value;
        ++stats.numbers;
    }
    stats.min = min;
    stats.max = max;
    return stats;
}

std::string FormatSelectionStats(const SelectionStats& stats, const SeparatorSet& set) {
    std::string text;
    if (stats.numbers) {
        text = "Sum=" + FormatDouble(stats.sum, &set) + "; Min=" + FormatDouble(stats.min, &set) +
               "; Max=" + FormatDouble(stats.max, &set) +
               "; Mean=" + FormatDouble(stats.sum / stats.numbers, &set) +
               "; Numbers=" + IntText(stats.numbers);
        if (stats.texts) text += "; ";
    }
    if (stats.texts) text += "Text=" + IntText(stats.texts);
    return text;
}

std::string SelectionSizeText(const CellRange& range) {
    const uint32_t columns = uint32_t(range.c2) - range.c1 + 1;
    const uint32_t rows = range.r2 - range.r1 + 1;
    if (columns == 1) return "1 column x " + IntText(rows) + " rows";
    if (rows == 1) return IntText(columns) + " columns x 1 row";
    return IntText(columns) + " columns x " + IntText(rows) + " rows";
}

std::string FileFormatText(const DocumentState& doc, uint8_t defaultFormat) {
    static const char* const kNative[] = {"Xml", "Xml, compressed", "Binary", "Binary, compressed"};
    static const char* const kImported[] = {"Text",    "Excel 2003 XML", "dBaseIII",
                                            "dBaseIV", "Foxpro",         "Clipper"};
    const char* name = "";
    if (doc.imported) {
        if (doc.importKind >= 1 && doc.importKind <= 6) name = kImported[doc.importKind - 1];
    } else {
        uint8_t format = doc.fileFormat ? doc.fileFormat : defaultFormat;
        if (format >= 1 && format <= 4) name = kNative[format - 1];
    }
    return std::string("Format: ") + name;
}

std::string EditorStateText(uint8_t editorState) {
    return std::string(" Edit - ") + (editorState == 1 ? "On" : editorState == 2 ? "Param" : "Off");
}

std::string ZoomText(uint16_t zoom) {
    return " " + IntText(zoom) + "%";
}

int LockIconId(uint8_t lockState) {
    return lockState == 0 ? 0 : lockState == 3 ? 285 : 286;
}

} // namespace vl
