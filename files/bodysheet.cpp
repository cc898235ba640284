// Reading the worksheet part of the binary body.

#include "files/bodycharts.h"
#include "files/bodycheck.h"
#include "files/bodyreader.h"
#include "model/formatstore.h"
#include "model/runoverlap.h"
#include "model/styles.h"
#include "model/workbook.h"

namespace vl {

namespace {

// The three words of a column entry, kept as stored.
ColumnEntry LoadColumnEntry(const uint8_t* p) {
    return {LoadU16(p), LoadU16(p + 2), LoadU16(p + 4)};
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
    return columns && ReadRowHeights(sheet.formats) && ReadFormatRuns(sheet.formats) &&
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
        if (count == 0 || count > kMaxColumns - filled || (e.style & kStyleIndexMask) >= styles)
            return Invalid();
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

// Row entries as stored, all 16 bits: runs of equal entries are appended as they come.
bool CBodyReader::ReadRowHeights(CFormatStore& formats) {
    uint32_t rows = 0;
    if (!Need(in_.U32(rows))) return false;
    if (rows > kMaxRows) return Invalid();
    for (uint32_t filled = 0; filled < rows;) {
        uint32_t count = 0;
        uint16_t entry = 0;
        if (!Need(in_.U32(count) && in_.U16(entry))) return false;
        if (count == 0 || count > rows - filled) return Invalid();
        filled += count;
        if (!formats.rowHeights.GrowTo2(filled, entry, false)) return NoMemory();
    }
    return true;
}

bool CBodyReader::ReadFormatRuns(CFormatStore& formats) {
    bool overlapping = false;
    if (!ReadPages(formats.runs, true, &overlapping)) return false;
    return !overlapping || SeparateFormatRuns(formats) || NoMemory();
}

// Pages are taken whole into a chain of their own, checked as they come, and handed to the
// store only when all are read.
bool CBodyReader::ReadPages(CCellStore& store, bool runs, bool* overlapping) {
    uint32_t count = 0;
    if (!Need(in_.U32(count))) return false;
    Page* head = nullptr;
    Page* tail = nullptr;
    PageOrder order;
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
                                : CheckCellPage(page->payload, used, order);
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
    store.AdoptPages(head);
    if (overlapping) *overlapping = order.overlapping;
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
