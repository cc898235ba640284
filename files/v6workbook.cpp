// The older signed binary form: signature, flags, drop-down lists, the document's style and
// font tables, then the worksheet tree item by item to the end of the file. The whole file
// is taken into memory first, so that every count and length can be held against the bytes
// that are really there.

#include "files/v6workbook.h"

#include "files/loadcheck.h"
#include "files/v6records.h"
#include "formula/evalcontext.h"
#include "model/treeappend.h"
#include "model/workbook.h"
#include "platform/core/alloc.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

namespace {

// The signature with its terminating NUL.
constexpr char kV6Signature[] = "Vorlane6000";
constexpr size_t kV6SignatureSize = sizeof kV6Signature;
constexpr uint8_t kV6FlagsPlain = 0x00;
constexpr uint8_t kV6FlagsAccepted = 0x40;
constexpr uint8_t kV6FlagsAny = 0x80;
constexpr size_t kListHeaderSize = 60;
constexpr size_t kListIndexOffset = 52;
constexpr size_t kUnusedDocumentBytes = 12;
// Item header fields.
constexpr size_t kItemNameField = 52;
constexpr size_t kItemTypeOffset = 52;
constexpr size_t kItemLevelOffset = 56;
constexpr size_t kItemExpandedOffset = 76;
constexpr uint32_t kV6Worksheet = 1;
constexpr int32_t kSizingChunk = 1 << 20;

struct Content {
    BlockPtr bytes;
    size_t size = 0;
};

// The length of the content as the stream reads it: a compressed file's is only known
// once it has been read through.
int64_t ContentSize(CFileStream& s) {
    ErrorCode status = kErrorNone;
    if (!s.IsCompressed()) {
        const int32_t size = CFileStream::GetFileSize(s.GetPath().c_str(), &status);
        return status == kErrorNone ? size : -int64_t(status);
    }
    std::vector<uint8_t> chunk(kSizingChunk);
    int64_t total = 0;
    s.Seek(kSeekStart, 0);
    for (int32_t n; (n = s.Read(chunk.data(), kSizingChunk)) > 0;) total += n;
    return s.GetError() == kErrorNone ? total : -int64_t(s.GetError());
}

bool ReadContent(CWorkbook& book, Content& out) {
    CFileStream& s = book.stream;
    const int64_t size = ContentSize(s);
    if (size < 0) return V6Fail(book, ErrorCode(-size));
    out.bytes.reset(static_cast<uint8_t*>(AllocBlock(size_t(size > 0 ? size : 1))));
    if (!out.bytes) return V6NoMemory(book);
    out.size = size_t(size);
    s.Seek(kSeekStart, 0);
    const int32_t read = s.Read(out.bytes.get(), int32_t(size));
    if (s.GetError() != kErrorNone) return V6Fail(book, s.GetError());
    // A file that changed its length meanwhile is not what was measured.
    return read == size || V6Invalid(book);
}

bool ReadHead(CWorkbook& book, CV6Input& in) {
    const uint8_t* signature = in.Bytes(kV6SignatureSize);
    const uint8_t flags = in.U8();
    const bool flagsKnown =
        flags == kV6FlagsPlain || flags == kV6FlagsAccepted || (flags & kV6FlagsAny);
    if (!in.Ok() || std::memcmp(signature, kV6Signature, kV6SignatureSize) != 0 || !flagsKnown)
        return V6Invalid(book);
    in.Skip(in.U32());
    return in.Ok() || V6Invalid(book);
}

// Entries run to the next CR or LF; the line ends after an entry are passed over.
void AddListEntries(DropDownListRecord& list, std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        AddDropDownEntry(list, text.substr(at, end - at));
        at = text.find_first_not_of("\r\n", end);
        if (at == std::string_view::npos) break;
    }
}

bool ReadLists(CWorkbook& book, CV6Input& in) {
    const uint32_t count = in.U32();
    if (!in.Ok() || !in.Holds(count, kListHeaderSize + 4)) return V6Invalid(book);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* header = in.Bytes(kListHeaderSize);
        const std::string_view text = in.Text(in.U32());
        if (!in.Ok()) return V6Invalid(book);
        const uint32_t index = LoadU32(header + kListIndexOffset);
        // Lists beyond the hundred a workbook has are read and dropped.
        if (index >= uint32_t(kDropDownLists)) continue;
        DropDownListRecord& list = book.dropDownLists[index];
        if (text.empty())
            SetDropDownName(list, ("List " + std::to_string(index) + ".").c_str());
        else
            AddListEntries(list, text);
    }
    return true;
}

bool ReadItem(CWorkbook& book, CV6Input& in, CEvalContext& ctx, CTreeItem*& last) {
    const uint32_t size = in.U32();
    if (!in.Ok() || size < kV6ItemHeaderSize || !in.Holds(1, size)) return V6Invalid(book);
    const uint8_t* header = in.Bytes(kV6ItemHeaderSize);
    CV6Input body = in.Take(size - kV6ItemHeaderSize);
    size_t nameLength = 0;
    while (nameLength < kItemNameField && header[nameLength] != 0) ++nameLength;
    const std::string name(reinterpret_cast<const char*>(header), nameLength);
    const uint16_t level = LoadU16(header + kItemLevelOffset);
    if (LoadU32(header + kItemTypeOffset) != kV6Worksheet) {
        // A folder has no body: whatever its size counts beyond the header is passed over.
        CTreeItem* folder = AppendTreeItemAfter(book, last, TREE_TYPE_FOLDER, name.c_str(), level);
        if (!folder) return V6NoMemory(book);
        last = folder;
        folder->expanded = LoadU32(header + kItemExpandedOffset) != 0;
        return true;
    }
    CWorksheet* sheet =
        AsWorksheet(AppendTreeItemAfter(book, last, TREE_TYPE_WORKSHEET, name.c_str(), level));
    if (!sheet) return V6NoMemory(book);
    last = sheet;
    return ReadV6Worksheet(book, body, *sheet, ctx);
}

bool ReadWorkbook(CWorkbook& book) {
    Content content;
    if (!ReadContent(book, content)) return false;
    CV6Input in(content.bytes.get(), content.size);
    if (!ReadHead(book, in) || !ReadLists(book, in)) return false;
    in.Skip(kUnusedDocumentBytes);
    if (!in.Ok()) return V6Invalid(book);
    if (!ReadV6DocumentTables(book, in, nullptr)) return false;
    auto ctx = std::make_unique<CEvalContext>();
    // Items are appended one after the other: the last is kept rather than sought.
    CTreeItem* last = book.tree.first;
    while (last && last->next) last = last->next;
    while (!in.AtEnd())
        if (!ReadItem(book, in, *ctx, last)) return false;
    if (!book.tree.active) return V6Fail(book, kErrorLastWorksheet);
    NormalizeTreeLevels(book.tree.first);
    return CheckLoadedRecords(book) || V6Invalid(book);
}

} // namespace

bool LoadV6Workbook(CWorkbook& workbook) {
    workbook.error = kErrorNone;
    bool ok = false;
    try {
        ok = ReadWorkbook(workbook);
    } catch (const std::bad_alloc&) {
        V6NoMemory(workbook);
    }
    return ok && workbook.error == kErrorNone;
}

} // namespace vl
