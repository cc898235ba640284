// Writing the binary workbook body.

#include "files/binarybody.h"
#include "files/bodycharts.h"
#include "files/bodyio.h"
#include "files/plaincopy.h"
#include "formula/evalcontext.h"
#include "model/container.h"
#include "model/memoryguard.h"
#include "model/workbook.h"

#include <memory>
#include <vector>

namespace vl {

namespace {

void WriteText(CBodyOut& out, const char* text, uint32_t size) {
    uint8_t field[kLastSavedUserSize];
    WriteTextField(field, text, size);
    out.Bytes(field, size);
}

void WriteDropDownLists(CBodyOut& out, const CWorkbook& book) {
    uint16_t used = 0;
    for (const DropDownListRecord& list : book.dropDownLists) used += DropDownListInUse(list);
    out.U16(used);
    for (uint16_t i = 0; i < kDropDownLists; ++i) {
        const DropDownListRecord& list = book.dropDownLists[i];
        if (!DropDownListInUse(list)) continue;
        const uint16_t nameLength = uint16_t(strnlen(list.name, kDropDownNameSize - 1));
        out.U16(i);
        out.U16(nameLength);
        out.Bytes(list.name, nameLength);
        out.U32(uint32_t(list.entries.size()));
        for (const std::string& entry : list.entries) {
            out.U16(uint16_t(entry.size()));
            out.Bytes(entry.data(), uint32_t(entry.size()));
        }
    }
}

void WriteStyleTables(CBodyOut& out, const StyleTables& tables) {
    out.U8(tables.fontCount);
    uint8_t font[kFontRecordSize];
    for (int i = 0; i < tables.fontCount; ++i) {
        WriteFontRecord(font, tables.fonts[i]);
        out.Bytes(font, sizeof font);
    }
    out.U16(tables.styleCount);
    uint8_t style[kStyleRecordSize];
    for (int i = 0; i < tables.styleCount; ++i) {
        WriteStyleRecord(style, tables.styles[i]);
        out.Bytes(style, sizeof style);
    }
}

// The list's items are kept in their stored form.
void WriteInspectedCells(CBodyOut& out, const CPagedList& list) {
    out.U32(list.ItemCount());
    for (const Page* page = list.FirstPage(); page; page = page->next)
        out.Bytes(page->payload, page->used);
}

bool SameColumnEntry(const ColumnEntry& a, const ColumnEntry& b) {
    return a.width == b.width && a.style == b.style && a.autoRowHeight == b.autoRowHeight;
}

void WriteColumnTable(CBodyOut& out, const ColumnEntry (&columns)[kMaxColumns]) {
    for (uint32_t i = 0; i < kMaxColumns;) {
        uint32_t j = i + 1;
        while (j < kMaxColumns && SameColumnEntry(columns[j], columns[i])) ++j;
        out.U16(uint16_t(j - i));
        out.U16(columns[i].width);
        out.U16(columns[i].style);
        out.U16(columns[i].autoRowHeight);
        i = j;
    }
}

void WriteRowHeights(CBodyOut& out, const CPagedList& heights) {
    out.U32(heights.ItemCount());
    uint32_t count = 0;
    uint16_t height = 0;
    for (const Page* page = heights.FirstPage(); page; page = page->next) {
        for (uint32_t offset = 0; offset + 2 <= page->used; offset += 2) {
            const uint16_t h = LoadU16(page->payload + offset);
            if (count && h != height) {
                out.U32(count);
                out.U16(height);
                count = 0;
            }
            height = h;
            ++count;
        }
    }
    if (count) {
        out.U32(count);
        out.U16(height);
    }
}

void WritePages(CBodyOut& out, const Page* first) {
    uint32_t count = 0;
    for (const Page* p = first; p; p = p->next) ++count;
    out.U32(count);
    for (const Page* p = first; p; p = p->next) {
        out.U16(p->used);
        out.Bytes(p->payload, p->used);
    }
}

void WritePlainPages(CBodyOut& out, const std::vector<PlainPage>& pages) {
    out.U32(uint32_t(pages.size()));
    for (const PlainPage& p : pages) {
        out.U16(p.used);
        out.Bytes(p.bytes, p.used);
    }
}

class CBodyWriter {
public:
    CBodyWriter(CWorkbook& book, CBodySink& sink, uint8_t mode)
        : book_(book), out_(std::make_unique<CBodyOut>(sink)), mode_(mode) {}

    void Write() {
        CBodyOut& out = *out_;
        WriteText(out, book_.lastSavedUser, kLastSavedUserSize);
        WriteText(out, book_.lastSavedDate, kLastSavedDateSize);
        out.U16(book_.panes.treeShown ? 1 : 0);
        out.U16(book_.panes.treeWidth);
        out.U16(book_.panes.inspectShown ? 1 : 0);
        out.U16(book_.panes.inspectHeight);
        WriteDropDownLists(out, book_);
        WriteStyleTables(out, book_.styles);
        WriteInspectedCells(out, book_.inspectedCells);
        uint32_t items = 0;
        for (const CTreeItem* p = book_.tree.first; p; p = p->next) ++items;
        out.U32(items);
        for (const CTreeItem* p = book_.tree.first; p; p = p->next) WriteItem(*p);
        out.Flush();
    }

private:
    void WriteItem(const CTreeItem& item) {
        CBodyOut& out = *out_;
        const uint8_t nameLength = uint8_t(strnlen(item.name, kTreeNameSize - 1));
        out.U8(nameLength);
        out.Bytes(item.name, nameLength);
        out.U16(item.level);
        out.U8(item.itemType);
        const CWorksheet* sheet = AsWorksheet(&item);
        out.U8(sheet ? sheet == book_.tree.active : item.expanded != 0);
        if (sheet) WriteWorksheet(*sheet);
    }

    void WriteWorksheet(const CWorksheet& sheet) {
        CBodyOut& out = *out_;
        uint32_t containers = 0;
        for (const CContainer* c = sheet.firstContainer; c; c = c->next) ++containers;
        out.U32(containers);
        for (const CContainer* c = sheet.firstContainer; c; c = c->next) WriteContainer(out, *c);
        WriteColumnTable(out, sheet.formats.columns);
        WriteRowHeights(out, sheet.formats.rowHeights);
        WritePages(out, sheet.formats.runs.FirstPage());
        if (mode_ == kBodyPlainCopy) {
            BuildPlainCopyPages(book_, sheet, PlainContext(sheet), plainPages_);
            WritePlainPages(out, plainPages_);
        } else {
            WritePages(out, sheet.cells.FirstPage());
        }
        uint8_t page[kPageSetupRecordSize];
        WritePageSetupRecord(page, sheet.pageSetup);
        out.Bytes(page, sizeof page);
        uint8_t view[kViewSettingsRecordSize];
        WriteViewSettingsRecord(view, sheet.view);
        out.Bytes(view, sizeof view);
    }

    CEvalContext& PlainContext(const CWorksheet& sheet) {
        if (!ctx_) ctx_ = std::make_unique<CEvalContext>();
        ctx_->worksheetList = book_.tree.first;
        ctx_->currentCells = const_cast<CCellStore*>(&sheet.cells);
        return *ctx_;
    }

    CWorkbook& book_;
    std::unique_ptr<CBodyOut> out_;
    uint8_t mode_;
    std::unique_ptr<CEvalContext> ctx_;
    std::vector<PlainPage> plainPages_;
};

bool WorkbookIsWritable(const CWorkbook& book) {
    for (const CTreeItem* p = book.tree.first; p; p = p->next) {
        const CWorksheet* sheet = AsWorksheet(p);
        if (!sheet) continue;
        for (const CContainer* c = sheet->firstContainer; c; c = c->next)
            if (!ContainerIsWritable(*c)) return false;
    }
    for (const DropDownListRecord& list : book.dropDownLists)
        for (const std::string& entry : list.entries)
            if (entry.size() > kMaxDropDownEntry) return false;
    return true;
}

} // namespace

bool SerializeWorkbookBody(CWorkbook& workbook, CBodySink& sink, uint8_t mode, ErrorCode& error) {
    if (!WorkbookIsWritable(workbook)) {
        error = kStreamWrite; // an object the form cannot carry
        return false;
    }
    struct ErrorSlot {
        ErrorCode error = kErrorNone;
    } slot;
    const bool ok = GuardWorksheetMemory(slot, [&] {
        CBodyWriter(workbook, sink, mode).Write();
        return true;
    });
    if (!ok) error = slot.error;
    return ok;
}

bool WriteBinaryWorkbookBody(CWorkbook& workbook, CFileStream& stream, CryptoContext* ctx,
                             uint8_t mode) {
    CStreamSink sink(stream, ctx);
    ErrorCode error = kErrorNone;
    if (!SerializeWorkbookBody(workbook, sink, mode, error)) {
        workbook.error = error;
        return false;
    }
    if (stream.GetError() != kErrorNone) {
        workbook.error = stream.GetError();
        return false;
    }
    return true;
}

} // namespace vl
