// Reading the workbook-wide parts of the binary body.

#include "files/bodyreader.h"

#include "files/binarybody.h"
#include "files/bodycheck.h"
#include "files/loadcheck.h"
#include "model/inspectedcell.h"
#include "model/memoryguard.h"
#include "model/workbook.h"

#include <string>
#include <vector>

namespace vl {

namespace {

constexpr uint32_t kOldListRecordSize = 34;
constexpr uint32_t kOldListTextSize = 30;
constexpr uint8_t kOldListContinues = 1;
constexpr uint8_t kOldListSkipped = 2;

struct OldListRecord {
    uint16_t list;
    uint8_t flags;
    std::string text;
};

} // namespace

bool CBodyReader::Read() {
    const bool ok =
        ReadDocumentFields() && ReadStyleTables() && ReadInspectedCells() && ReadItems();
    NormalizeTreeLevels(book_.tree.first);
    if (!ok) return false;
    // A tree without a worksheet is no workbook, as in the other forms.
    if (!book_.tree.active) return Fail(kErrorLastWorksheet);
    return CheckLoadedRecords(book_) || Invalid();
}

bool CBodyReader::ReadDocumentFields() {
    uint8_t user[kLastSavedUserSize];
    uint8_t date[kLastSavedDateSize];
    uint16_t pane[4];
    if (!Need(in_.Bytes(user, sizeof user) && in_.Bytes(date, sizeof date))) return false;
    for (uint16_t& v : pane)
        if (!Need(in_.U16(v))) return false;
    ReadTextField(user, book_.lastSavedUser, kLastSavedUserSize);
    ReadTextField(date, book_.lastSavedDate, kLastSavedDateSize);
    book_.panes.treeShown = pane[0] != 0;
    book_.panes.treeWidth = pane[1];
    book_.panes.inspectShown = pane[2] != 0;
    book_.panes.inspectHeight = pane[3];
    return version_ >= 3 ? ReadDropDownLists() : ReadOldDropDownLists();
}

bool CBodyReader::ReadDropDownLists() {
    uint16_t count = 0;
    if (!Need(in_.U16(count))) return false;
    if (count > kDropDownLists) return Invalid();
    for (uint16_t n = 0; n < count; ++n) {
        uint16_t index = 0, nameLength = 0;
        char name[kDropDownNameSize] = {};
        if (!Need(in_.U16(index) && in_.U16(nameLength))) return false;
        if (index >= kDropDownLists || nameLength >= kDropDownNameSize) return Invalid();
        if (!Need(in_.Bytes(name, nameLength))) return false;
        DropDownListRecord& list = book_.dropDownLists[index];
        SetDropDownName(list, name);
        uint32_t entries = 0;
        if (!Need(in_.U32(entries))) return false;
        std::string entry;
        for (uint32_t e = 0; e < entries; ++e) {
            uint16_t length = 0;
            if (!Need(in_.U16(length))) return false;
            if (length > kMaxDropDownEntry) return Invalid();
            entry.resize(length);
            if (!Need(in_.Bytes(entry.data(), length))) return false;
            // No save of ours writes a zero byte into a text; the XML form refuses one.
            if (entry.find('\0') != std::string::npos) return Invalid();
            AddDropDownEntry(list, entry);
        }
    }
    return true;
}

// Older files keep lists as 30-character pieces; pieces chain into entries per list number.
bool CBodyReader::ReadOldDropDownLists() {
    uint32_t count = 0;
    if (!Need(in_.U32(count))) return false;
    std::vector<OldListRecord> records;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t r[kOldListRecordSize];
        if (!Need(in_.Bytes(r, sizeof r))) return false;
        const uint16_t list = LoadU16(r);
        if (list < 1 || list > kDropDownLists || r[3] > kOldListTextSize) return Invalid();
        records.push_back({list, r[2], std::string(reinterpret_cast<const char*>(r + 4), r[3])});
    }
    for (uint16_t number = 1; number <= kDropDownLists; ++number) {
        bool any = false;
        std::string entry;
        for (const OldListRecord& r : records) {
            if (r.list != number) continue;
            any = true;
            if (r.flags & kOldListSkipped) continue;
            if (entry.size() < kMaxDropDownEntry) entry += r.text;
            if (!(r.flags & kOldListContinues)) {
                AddDropDownEntry(book_.dropDownLists[number - 1], entry);
                entry.clear();
            }
        }
        if (any)
            SetDropDownName(book_.dropDownLists[number - 1],
                            ("List " + std::to_string(number) + ".").c_str());
    }
    return true;
}

bool CBodyReader::ReadStyleTables() {
    StyleTables& tables = book_.styles;
    uint8_t fonts = 0;
    if (!Need(in_.U8(fonts))) return false;
    if (fonts == 0 || fonts > kMaxFonts) return Invalid();
    uint8_t font[kFontRecordSize];
    for (uint8_t i = 0; i < fonts; ++i) {
        if (!Need(in_.Bytes(font, sizeof font))) return false;
        ReadFontRecord(font, tables.fonts[i]);
    }
    uint16_t styles = 0;
    if (!Need(in_.U16(styles))) return false;
    if (styles == 0 || styles > kMaxStyles) return Invalid();
    uint8_t style[kStyleRecordSize];
    for (uint16_t i = 0; i < styles; ++i) {
        if (!Need(in_.Bytes(style, sizeof style))) return false;
        ReadStyleRecord(style, tables.styles[i]);
        if (!CheckStyle(tables.styles[i], fonts)) return Invalid();
    }
    tables.fontCount = fonts;
    tables.styleCount = styles;
    return true;
}

bool CBodyReader::ReadInspectedCells() {
    uint32_t count = 0;
    if (!Need(in_.U32(count))) return false;
    uint8_t bytes[kInspectedCellRecordSize];
    for (uint32_t i = 0; i < count; ++i) {
        if (!Need(in_.Bytes(bytes, sizeof bytes))) return false;
        InspectedCellRecord r;
        ReadInspectedCellRecord(bytes, r);
        if (!CheckCellRef(r.cell)) return Invalid();
        if (!AppendInspectedCell(book_.inspectedCells, r)) return NoMemory();
    }
    return true;
}

// Version 1 has no item count: its items run to the end of the body.
bool CBodyReader::ReadItems() {
    uint32_t count = UINT32_MAX;
    if (version_ >= 2 && !Need(in_.U32(count))) return false;
    for (uint32_t i = 0; i < count; ++i) {
        if (version_ < 2 && in_.AtEnd()) break;
        if (!ReadItem()) return false;
    }
    return true;
}

bool CBodyReader::ReadItem() {
    uint8_t nameLength = 0;
    char name[kTreeNameSize] = {};
    if (!Need(in_.U8(nameLength))) return false;
    if (nameLength >= kTreeNameSize) return Invalid();
    uint16_t level = 0;
    uint8_t type = 0, flag = 0;
    if (!Need(in_.Bytes(name, nameLength) && in_.U16(level) && in_.U8(type) && in_.U8(flag)))
        return false;
    if (type != TREE_TYPE_WORKSHEET) {
        auto folder = NewBlockObject<CTreeItem>(name, level, TREE_TYPE_FOLDER, flag ? 1 : 0);
        if (!folder) return NoMemory();
        LinkItem(folder.release(), false);
        return true;
    }
    auto sheet = NewBlockObject<CWorksheet>(name, level);
    if (!sheet) return NoMemory();
    if (!ReadWorksheet(*sheet)) return false;
    LinkItem(sheet.release(), flag != 0);
    return true;
}

void CBodyReader::LinkItem(CTreeItem* item, bool current) {
    TreeHead& tree = book_.tree;
    CTreeItem* last = tail_ ? tail_ : tree.first;
    while (last && last->next) last = last->next;
    tail_ = item;
    item->prev = last;
    item->next = nullptr;
    (last ? last->next : tree.first) = item;
    if (CWorksheet* sheet = AsWorksheet(item)) {
        ++tree.worksheetCount;
        if (current || !tree.active) tree.active = sheet;
    } else {
        ++tree.folderCount;
    }
}

bool ReadBinaryWorkbookBody(CWorkbook& workbook, CFileStream& stream, uint8_t version,
                            CryptoContext* ctx) {
    CBodyReader reader(workbook, stream, version, ctx);
    struct ErrorSlot {
        ErrorCode error = kErrorNone;
    } slot;
    const bool read = GuardWorksheetMemory(slot, [&] { return reader.Read(); });
    if (stream.GetError() != kErrorNone) {
        workbook.error = stream.GetError();
        return false;
    }
    if (!read) {
        workbook.error = slot.error != kErrorNone ? slot.error : reader.Error();
        return false;
    }
    return true;
}

} // namespace vl
