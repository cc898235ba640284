#include "formula/edit/formulatexts.h"

#include "model/cellmerge.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <cstring>

namespace vl {

bool PrepareFormulaTexts(const CCellStore& store, const std::vector<FormulaText>& rewrites,
                         PreparedTexts& out) {
    out.texts = &rewrites;
    FindFormulaRecords(store, rewrites, out.records);
    // Every buffer sized first: a plan may rewrite every formula of a long worksheet.
    size_t bytes = 0, oldBytes = 0, oldText = 0, moved = 0;
    out.inPlace = 0;
    for (size_t i = 0; i < rewrites.size(); ++i) {
        const uint8_t* r = out.records[i];
        if (!r) continue;
        oldText += cell::FormulaLength(r);
        if (cell::FormulaLength(r) == rewrites[i].text.size()) {
            ++out.inPlace;
            continue;
        }
        bytes += cell::Length(r) + rewrites[i].text.size();
        oldBytes += cell::Length(r);
        ++moved;
    }
    out.staging.clear();
    out.cells.clear();
    out.oldRecords.clear();
    out.oldCells.clear();
    out.oldTexts.clear();
    out.staging.reserve(bytes);
    out.cells.reserve(moved);
    out.oldRecords.reserve(oldBytes);
    out.oldCells.reserve(moved);
    out.oldTexts.reserve(oldText);
    CellBuffer b;
    for (size_t i = 0; i < rewrites.size(); ++i) {
        const FormulaText& w = rewrites[i];
        const uint8_t* r = out.records[i];
        if (!r) continue;
        // What taking them out again puts back: the old texts, and the old records whole
        // where the length changes.
        const std::string_view text = cell::Formula(r);
        out.oldTexts.insert(out.oldTexts.end(), text.begin(), text.end());
        if (text.size() == w.text.size()) continue;
        if (!MakeFormulaCell(b, w.column, w.row, ReadFormulaHead(r), w.text, cell::CachedText(r)))
            return false;
        out.cells.push_back({nullptr, b.size, w.column, w.row});
        out.staging.insert(out.staging.end(), b.bytes, b.bytes + b.size);
        out.oldCells.push_back({nullptr, cell::Length(r), cell::Column(r), cell::Row(r)});
        out.oldRecords.insert(out.oldRecords.end(), r, r + cell::Length(r));
    }
    size_t offset = 0;
    for (PlacedCell& c : out.cells) c.record = out.staging.data() + offset, offset += c.size;
    offset = 0;
    for (PlacedCell& c : out.oldCells) c.record = out.oldRecords.data() + offset, offset += c.size;
    return true;
}

namespace {

// A rebuild that ran out of memory, pages or standard containers, changed nothing.
bool Rebuild(CCellStore& store, const std::vector<PlacedCell>& cells) {
    try {
        CListFeed feed(cells);
        return RebuildCells(store, cells.front().row, cells.back().row, {}, feed);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

bool RevertFormulaTexts(CCellStore& store, PreparedTexts& prepared) {
    const std::vector<FormulaText>& rewrites = *prepared.texts;
    if (!prepared.oldCells.empty() && !Rebuild(store, prepared.oldCells)) return false;
    if (prepared.inPlace == 0) return true;
    FindFormulaRecords(store, rewrites, prepared.records);
    size_t at = 0;
    for (size_t i = 0; i < rewrites.size(); ++i) {
        auto* r = const_cast<uint8_t*>(prepared.records[i]);
        if (!r) continue;
        const size_t length = cell::FormulaLength(r);
        if (length == rewrites[i].text.size() && at + length <= prepared.oldTexts.size())
            std::copy_n(prepared.oldTexts.begin() + ptrdiff_t(at), length, r + kFormulaHead);
        at += length;
    }
    return true;
}

bool CommitFormulaTexts(CCellStore& store, PreparedTexts& prepared) {
    const std::vector<FormulaText>& rewrites = *prepared.texts;
    if (!prepared.cells.empty()) {
        if (!Rebuild(store, prepared.cells)) return false;
        if (prepared.inPlace == 0) return true;
        // The same number of records again: the list keeps its room.
        FindFormulaRecords(store, rewrites, prepared.records);
    }
    for (size_t i = 0; i < rewrites.size(); ++i) {
        // The store's own pages: the walk hands them out read-only.
        auto* r = const_cast<uint8_t*>(prepared.records[i]);
        const FormulaText& w = rewrites[i];
        if (r && cell::FormulaLength(r) == w.text.size())
            std::copy(w.text.begin(), w.text.end(), r + kFormulaHead);
    }
    return true;
}

namespace {

// Writes the rewritten texts (in store order, one per cell): those of another length as new
// records (with the same head and cached result) in one rebuild, which may fail and then
// changes nothing; then the others in place.
bool ApplyFormulaTexts(CCellStore& store, const std::vector<FormulaText>& rewrites) {
    PreparedTexts prepared;
    return PrepareFormulaTexts(store, rewrites, prepared) && CommitFormulaTexts(store, prepared);
}

} // namespace

void FindFormulaRecords(const CCellStore& store, const std::vector<FormulaText>& texts,
                        std::vector<const uint8_t*>& records) {
    records.assign(texts.size(), nullptr);
    CRecordWalk walk(store);
    const uint8_t* r = texts.empty() ? nullptr : walk.Next();
    for (size_t i = 0; i < texts.size() && r; ++i) {
        const FormulaText& t = texts[i];
        while (r && cell::Before(cell::Row(r), cell::Column(r), t.row, t.column)) r = walk.Next();
        if (r && cell::Row(r) == t.row && cell::Column(r) == t.column && cell::IsFormula(r))
            records[i] = r;
    }
}

bool ReplaceFormulaTexts(CCellStore& store, const std::vector<FormulaText>& texts) {
    try {
        // Plans come in store order, one text per cell: nothing to sort then.
        const bool ordered =
            std::adjacent_find(texts.begin(), texts.end(),
                               [](const FormulaText& a, const FormulaText& b) {
                                   return !cell::Before(a.row, a.column, b.row, b.column);
                               }) == texts.end();
        if (ordered) return ApplyFormulaTexts(store, texts);
        std::vector<FormulaText> sorted = texts;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const FormulaText& a, const FormulaText& b) {
                             return cell::Before(a.row, a.column, b.row, b.column);
                         });
        // Of several texts for one cell the last given stays.
        std::vector<FormulaText> unique;
        for (FormulaText& t : sorted) {
            if (!unique.empty() && unique.back().row == t.row && unique.back().column == t.column)
                unique.back() = std::move(t);
            else
                unique.push_back(std::move(t));
        }
        return ApplyFormulaTexts(store, unique);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

BlockPtr PackFormulaTexts(const std::vector<FormulaText>& texts, uint32_t& size) {
    size = 4;
    for (const FormulaText& t : texts) size += 8 + uint32_t(t.text.size());
    BlockPtr block(static_cast<uint8_t*>(AllocBlock(size)));
    if (!block) return block;
    uint8_t* p = block.get();
    StoreU32(p, uint32_t(texts.size()));
    p += 4;
    for (const FormulaText& t : texts) {
        StoreU16(p, t.column);
        StoreU32(p + 2, t.row);
        StoreU16(p + 6, uint16_t(t.text.size()));
        std::memcpy(p + 8, t.text.data(), t.text.size());
        p += 8 + t.text.size();
    }
    return block;
}

bool UnpackFormulaTexts(const uint8_t* block, uint32_t size, std::vector<FormulaText>& texts) {
    if (!block || size < 4) return false;
    const uint8_t* p = block + 4;
    const uint8_t* end = block + size;
    for (uint32_t n = LoadU32(block); n > 0; --n) {
        if (end - p < 8 || uint64_t(end - p) < 8u + LoadU16(p + 6)) return false;
        texts.push_back({LoadU16(p), LoadU32(p + 2),
                         std::string(reinterpret_cast<const char*>(p + 8), LoadU16(p + 6))});
        p += 8 + LoadU16(p + 6);
    }
    return true;
}

} // namespace vl
