#include "model/workbook.h"

namespace vl {

namespace {

template <class Visit> void ForEachRun(CWorksheet& ws, Visit visit) {
    for (Page* page = ws.formats.runs.FirstPage(); page; page = page->next)
        for (uint32_t offset = 0; offset + kFormatRunSize <= page->used; offset += kFormatRunSize)
            visit(page->payload + offset);
}

} // namespace

void CWorkbook::CompactStyleTables() {
    bool styleUsed[kMaxStyles] = {true};
    bool fontUsed[kMaxFonts] = {true};
    auto markStyle = [&](uint16_t style) {
        if (style >= styles.styleCount) return;
        styleUsed[style] = true;
        const uint8_t font = styles.styles[style].fontRef.fontIndex;
        if (font < styles.fontCount) fontUsed[font] = true;
    };
    markStyle(0);
    for (CTreeItem* item = tree.first; item; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        ForEachRun(*ws, [&](uint8_t* p) { markStyle(LoadFormatRun(p).style); });
        for (const ColumnEntry& c : ws->formats.columns) markStyle(c.style & kStyleIndexMask);
    }
    uint8_t newFont[kMaxFonts] = {};
    uint8_t fonts = 1;
    for (uint8_t f = 1; f < styles.fontCount; ++f) {
        if (!fontUsed[f]) continue;
        styles.fonts[fonts] = styles.fonts[f];
        newFont[f] = fonts++;
    }
    styles.fontCount = fonts;
    uint16_t newStyle[kMaxStyles] = {};
    uint16_t kept = 1;
    for (uint16_t s = 1; s < styles.styleCount; ++s) {
        if (!styleUsed[s]) continue;
        styles.styles[kept] = styles.styles[s];
        uint8_t& font = styles.styles[kept].fontRef.fontIndex;
        font = font < kMaxFonts ? newFont[font] : 0;
        newStyle[s] = kept++;
    }
    // Style 0 keeps its font; its index may have moved down too.
    uint8_t& font0 = styles.styles[0].fontRef.fontIndex;
    font0 = font0 < kMaxFonts ? newFont[font0] : 0;
    styles.styleCount = kept;
    for (CTreeItem* item = tree.first; item; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        ForEachRun(*ws, [&](uint8_t* p) {
            FormatRun run = LoadFormatRun(p);
            if (run.style == 0) return;
            run.style = run.style < kMaxStyles ? newStyle[run.style] : 0;
            StoreFormatRun(p, run);
        });
        for (ColumnEntry& c : ws->formats.columns) {
            const uint16_t style = c.style & kStyleIndexMask;
            if (style == 0) continue;
            const uint16_t mapped = style < kMaxStyles ? newStyle[style] : 0;
            c.style = uint16_t((c.style & ~kStyleIndexMask) | mapped);
        }
    }
}

} // namespace vl
