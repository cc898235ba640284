// Reading the worksheet part of the binary body.

#include "files/bodycharts.h"
#include "files/bodycheck.h"
#include "files/bodyreader.h"
#include "files/xmlelements.h"
#include "model/formatstore.h"
#include "model/styles.h"
#include "model/workbook.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vl {

namespace {

// Only the bits the column table uses are kept: the XML form writes no others.
ColumnEntry LoadColumnEntry(const uint8_t* p) {
    constexpr uint16_t kWidthBits = 0x1FFF, kSizeBits = 0x0FFF;
    return {uint16_t(LoadU16(p) & kWidthBits), uint16_t(LoadU16(p + 2) & kStyleIndexMask),
            uint16_t(LoadU16(p + 4) & kSizeBits)};
}

// Puts the settled records of a chain into the store one by one, for records whose settled
// form has another length than the stored one.
bool PutSettledCells(CCellStore& store, const Page* chain) {
    CellCursor cursor;
    CellBuffer settled;
    for (const Page* page = chain; page; page = page->next)
        for (uint32_t offset = 0; offset < page->used;) {
            const uint8_t* r = page->payload + offset;
            if (!SettleCellRecord(r, settled) || !store.PutCell(settled.bytes, cursor))
                return false;
            offset += cell::Length(r);
        }
    return true;
}

// Version 1 packs width and style into one word pair of a u32.
ColumnEntry OldColumnEntry(uint32_t value) {
    return {uint16_t(value & 0x1FFF), uint16_t((value >> 16) & 0x0FFF), 0};
}

} // namespace

bool CBodyReader::ReadWorksheet(CWorksheet& sheet) {
    if (!ReadContainers(sheet)) return false;
    const bool columns =
        version_ >= 2 ? ReadColumnTable(sheet.formats) : ReadOldColumnTable(sheet.formats);
    return columns && ReadRowHeights(sheet.formats) && ReadPages(sheet.formats.runs, true) &&
           ReadPages(sheet.cells, false) && ReadSheetSettings(sheet);
}

bool CBodyReader::ReadContainers(CWorksheet& sheet) {
    uint32_t count = 0;
    if (!Need(in_.U32(count))) return false;
    for (uint32_t i = 0; i < count; ++i) {
        switch (ReadContainer(in_, sheet, version_, runningContainerId_)) {
        case ReadResult::kOk:
            break;
        case ReadResult::kNoMemory:
            return NoMemory();
        default:
            return Invalid();
        }
    }
    return true;
}

bool CBodyReader::ReadColumnTable(CFormatStore& formats) {
    const uint16_t styles = book_.styles.styleCount;
    for (uint32_t filled = 0; filled < kMaxColumns;) {
        uint16_t count = 0;
        uint8_t entry[6];
        if (!Need(in_.U16(count) && in_.Bytes(entry, sizeof entry))) return false;
        const ColumnEntry e = LoadColumnEntry(entry);
        if (count == 0 || count > kMaxColumns - filled || e.style >= styles) return Invalid();
        for (uint32_t i = 0; i < count; ++i) formats.columns[filled++] = e;
    }
    return true;
}

bool CBodyReader::ReadOldColumnTable(CFormatStore& formats) {
    const uint16_t styles = book_.styles.styleCount;
    for (uint32_t filled = 0; filled < kMaxColumns;) {
        uint16_t count = 0;
        uint32_t value = 0;
        if (!Need(in_.U16(count) && in_.U32(value))) return false;
        const ColumnEntry e = OldColumnEntry(value);
        if (count == 0 || count > kMaxColumns - filled || e.style >= styles) return Invalid();
        for (uint32_t i = 0; i < count; ++i) formats.columns[filled++] = e;
    }
    return true;
}

// Row heights as the XML form writes them: the height and the fixed bit of a row that is
// fixed or of its own height, 0 for another, and the list ending at the last such row.
bool CBodyReader::ReadRowHeights(CFormatStore& formats) {
    uint32_t rows = 0;
    if (!Need(in_.U32(rows))) return false;
    if (rows > kMaxRows) return Invalid();
    constexpr uint16_t kEntryBits = 0x1FFF;
    const uint16_t reference = XmlReferenceRowHeight(formats);
    std::vector<std::pair<uint32_t, uint16_t>> runs;
    uint32_t written = 0; // rows up to the last one the XML form writes
    for (uint32_t filled = 0; filled < rows;) {
        uint32_t count = 0;
        uint16_t entry = 0;
        if (!Need(in_.U32(count) && in_.U16(entry))) return false;
        if (count == 0 || count > rows - filled) return Invalid();
        entry &= kEntryBits;
        const uint16_t height = entry >> 1;
        if (!(entry & 1) && (height == 0 || height == reference)) entry = 0;
        filled += count;
        if (entry) written = filled;
        if (!runs.empty() && runs.back().second == entry)
            runs.back().first = filled;
        else
            runs.emplace_back(filled, entry);
    }
    for (const auto& [end, entry] : runs)
        if (!formats.rowHeights.GrowTo2(std::min(end, written), entry, false)) return NoMemory();
    return true;
}

// Pages are taken whole into a chain of their own, checked as they come, and handed to the
// store only when all are read.
bool CBodyReader::ReadPages(CCellStore& store, bool runs) {
    uint32_t count = 0;
    if (!Need(in_.U32(count))) return false;
    Page* head = nullptr;
    Page* tail = nullptr;
    PageOrder order;
    bool rebuild = false;
    auto fail = [&](bool result) {
        store.FreePageChain(head);
        return result;
    };
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t used = 0;
        if (!Need(in_.U16(used))) return fail(false);
        if (used > kPagePayload) return fail(Invalid());
        Page* page = store.AllocPage(true);
        if (!page) return fail(NoMemory());
        const bool whole = in_.Bytes(page->payload, used);
        const bool valid = runs ? CheckRunPage(page->payload, used, book_.styles.styleCount, order)
                                : CheckCellPage(page->payload, used, order, rebuild);
        if (!whole || !valid || used == 0) {
            // An empty page carries nothing and is not kept.
            store.FreePageChain(page);
            if (!whole || !valid) return fail(Invalid());
            continue;
        }
        page->used = used;
        page->prev = tail;
        (tail ? tail->next : head) = page;
        tail = page;
    }
    if (rebuild) {
        const bool put = PutSettledCells(store, head);
        store.FreePageChain(head);
        return put || NoMemory();
    }
    store.AdoptPages(head);
    // Touching runs of one style are written as one: they are joined as the XML form reads them.
    if (runs) CompactFormatRuns(store, true);
    return true;
}

bool CBodyReader::ReadSheetSettings(CWorksheet& sheet) {
    uint8_t page[kPageSetupRecordSize];
    uint8_t view[kViewSettingsRecordSize];
    if (!Need(in_.Bytes(page, sizeof page) && in_.Bytes(view, sizeof view))) return false;
    ReadPageSetupRecord(page, sheet.pageSetup);
    ReadViewSettingsRecord(view, sheet.view);
    return (CheckPageSetup(sheet.pageSetup) && CheckViewSettings(sheet.view)) || Invalid();
}

} // namespace vl
