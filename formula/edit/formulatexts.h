#pragma once
// Formula texts put into a store's cells by position, each record keeping its head and cached
// result: made ready first, so that putting them in (and taking them out again) takes nothing
// but the store's pages; and packed into one heap block as undo entries keep them.

#include "model/cellmerge.h"
#include "model/cellstore.h"
#include "model/undoentry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vl {

// The records of a store in order, read straight from its pages: the rewrites pass over
// every record at each structural edit.
class CRecordWalk {
public:
    explicit CRecordWalk(const CCellStore& store) : page_(store.FirstPage()) {}
    const uint8_t* Next() {
        while (page_ && offset_ >= page_->used) {
            page_ = page_->next;
            offset_ = 0;
        }
        if (!page_) return nullptr;
        const uint8_t* r = page_->payload + offset_;
        offset_ += cell::Length(r);
        return r;
    }

private:
    const Page* page_;
    uint32_t offset_ = 0;
};

// A formula text and the cell it belongs to.
struct FormulaText {
    uint16_t column;
    uint32_t row;
    std::string text;
};

// Puts formula texts into their cells, each record keeping its head and cached result; all or
// nothing (false when a record could not be had). A later text for the same cell wins.
bool ReplaceFormulaTexts(CCellStore& store, const std::vector<FormulaText>& texts);

// Texts made ready to go into a store: the records of changed length built aside, so that
// putting them in takes nothing but the store's own pages. `texts` (in store order, one per
// cell) must outlive it.
struct PreparedTexts {
    const std::vector<FormulaText>* texts = nullptr;
    std::vector<uint8_t> staging;
    std::vector<PlacedCell> cells;
    std::vector<const uint8_t*> records;
    size_t inPlace = 0; // texts of unchanged length, written over the old ones
    // For RevertFormulaTexts: the replaced records of changed length, the replaced texts.
    std::vector<uint8_t> oldRecords;
    std::vector<PlacedCell> oldCells;
    std::vector<char> oldTexts;
};
// May throw std::bad_alloc; false when a record cannot be built. Changes nothing.
bool PrepareFormulaTexts(const CCellStore& store, const std::vector<FormulaText>& texts,
                         PreparedTexts& out);
// All or nothing: false, the store as it was, when its pages run out.
bool CommitFormulaTexts(CCellStore& store, PreparedTexts& prepared);
// Takes committed texts out again, putting back the records they replaced; needs nothing
// but the pages the commit gave back.
bool RevertFormulaTexts(CCellStore& store, PreparedTexts& prepared);

// The formula record of each text's cell (null when the cell holds none), for texts in
// store order (by row, then column), found in one walk.
void FindFormulaRecords(const CCellStore& store, const std::vector<FormulaText>& texts,
                        std::vector<const uint8_t*>& records);

// Formula texts in one heap block (u32 count; per text u16 column, u32 row, u16 length and
// the text), as an undo entry keeps them; null when it cannot be had. Unpacking reads
// within the size and gives false for a block that overruns it.
BlockPtr PackFormulaTexts(const std::vector<FormulaText>& texts, uint32_t& size);
bool UnpackFormulaTexts(const uint8_t* block, uint32_t size, std::vector<FormulaText>& texts);

} // namespace vl
