#include "model/workbook.h"

namespace vl {

namespace {

template <class Visit> void ForEachRun(CWorksheet& ws, Visit visit) {
    for (Page* page = ws.formats.runs.FirstPage(); page; page = page->next)
        for (uint32_t offset = 0; offset + kFormatRunSize <= page->used; offset += kFormatRunSize)
            visit(page->payload + offset);
}

template <class Visit> void ForEachInChain(CTreeItem* first, Visit& visit) {
    for (CTreeItem* item = first; item; item = item->next)
        if (CWorksheet* ws = AsWorksheet(item)) visit(*ws);
}

// Every worksheet that carries the workbook's style numbers: those of the tree, and those
// the undo history holds without a style table of their own (a deleted or moved subtree,
// a scratch worksheet of cells), which an undo puts back as they are.
template <class Visit> void ForEachWorksheet(CWorkbook& workbook, Visit visit) {
    ForEachInChain(workbook.tree.first, visit);
    for (UndoEntry& e : workbook.undo.entries) {
        if (e.keptStyles) continue;
        ForEachInChain(e.treeChain.get(), visit);
        if (CWorksheet* scratch = e.Scratch()) visit(*scratch);
    }
}

// Styles and fonts that the runs and column tables reach; style 0 and its font always.
struct StyleUsage {
    bool styles[kMaxStyles] = {};
    bool fonts[kMaxFonts] = {true};

    void Mark(const StyleTables& t, uint16_t style) {
        if (style >= t.styleCount) return;
        styles[style] = true;
        const uint8_t font = t.styles[style].fontRef.fontIndex;
        if (font < t.fontCount) fonts[font] = true;
    }
};

// Moves the used fonts down behind font 0; the new number of each old font.
void CompactFonts(StyleTables& t, const StyleUsage& usage, uint8_t newFont[kMaxFonts]) {
    uint8_t kept = 1;
    for (uint8_t f = 1; f < t.fontCount; ++f) {
        if (!usage.fonts[f]) continue;
        t.fonts[kept] = t.fonts[f];
        newFont[f] = kept++;
    }
    t.fontCount = kept;
}

// Moves the used styles down behind style 0, renumbering the fonts of all that stay.
void CompactStyles(StyleTables& t, const StyleUsage& usage, const uint8_t newFont[kMaxFonts],
                   uint16_t newStyle[kMaxStyles]) {
    auto remapFont = [&](StyleRecord& s) {
        uint8_t& font = s.fontRef.fontIndex;
        font = font < kMaxFonts ? newFont[font] : 0;
    };
    uint16_t kept = 1;
    for (uint16_t s = 1; s < t.styleCount; ++s) {
        if (!usage.styles[s]) continue;
        t.styles[kept] = t.styles[s];
        remapFont(t.styles[kept]);
        newStyle[s] = kept++;
    }
    // Style 0 stays, but its font may have moved down too.
    remapFont(t.styles[0]);
    t.styleCount = kept;
}

void RemapWorksheet(CWorksheet& ws, const uint16_t newStyle[kMaxStyles]) {
    auto mapped = [&](uint16_t style) { return style < kMaxStyles ? newStyle[style] : 0; };
    ForEachRun(ws, [&](uint8_t* p) {
        FormatRun run = LoadFormatRun(p);
        if (run.style == 0) return;
        run.style = mapped(run.style);
        StoreFormatRun(p, run);
    });
    for (ColumnEntry& c : ws.formats.columns) {
        const uint16_t style = c.style & kStyleIndexMask;
        if (style != 0) c.style = uint16_t((c.style & ~kStyleIndexMask) | mapped(style));
    }
}

} // namespace

void CWorkbook::CompactStyleTables() {
    StyleUsage usage;
    usage.Mark(styles, 0);
    ForEachWorksheet(*this, [&](CWorksheet& ws) {
        ForEachRun(ws, [&](uint8_t* p) { usage.Mark(styles, LoadFormatRun(p).style); });
        for (const ColumnEntry& c : ws.formats.columns)
            usage.Mark(styles, c.style & kStyleIndexMask);
    });
    uint8_t newFont[kMaxFonts] = {};
    CompactFonts(styles, usage, newFont);
    uint16_t newStyle[kMaxStyles] = {};
    CompactStyles(styles, usage, newFont, newStyle);
    ForEachWorksheet(*this, [&](CWorksheet& ws) { RemapWorksheet(ws, newStyle); });
}

} // namespace vl
