#include "formula/evalcontext.h"

#include "formula/functable.h"

#include <cstring>

namespace vl {

namespace {

constexpr char kEmptyText[] = "";

} // namespace

bool StringPool::PushString(std::string_view text) {
    if (count >= kPoolStrings) return false;
    uint32_t start = offsets[count];
    if (start + text.size() + 1 >= kPoolCharacters) return false;
    if (!text.empty()) std::memcpy(characters + start, text.data(), text.size());
    characters[start + text.size()] = '\0';
    offsets[count + 1] = uint16_t(start + text.size() + 1);
    ++count;
    return true;
}

void StringPool::ResetStringStack() {
    count = 0;
    offsets[0] = 0;
    emptyText = kEmptyText;
}

std::string_view StringPool::PopTempString() {
    if (count == 0) return emptyText;
    --count;
    return {characters + offsets[count], std::size_t(offsets[count + 1] - offsets[count] - 1)};
}

ScratchStore::~ScratchStore() {
    ReleaseArrays();
}

bool ScratchStore::PushPointer(Page* firstPage) {
    if (arrayCount >= kMaxTempArrays) return false;
    arrays[arrayCount++] = firstPage;
    return true;
}

Page* ScratchStore::PopPointer() {
    if (arrayCount == 0) return nullptr;
    return arrays[--arrayCount];
}

void ScratchStore::ReleaseArrays() {
    while (arrayCount > 0) {
        Page* chain = PopPointer();
        if (chain) cells.FreePageChain(chain);
    }
}

void FreeTempRanges(ScratchStore& store) {
    store.ReleaseArrays();
    store.cells.FreeAll();
}

void InitTempStore(ScratchStore& store) {
    FreeTempRanges(store);
}

CEvalContext::CEvalContext() {
    static constexpr uint8_t kPrecedence[kLastOperator + 1] = {0, 1, 1, 1, 1, 1, 1, 2, 2,
                                                               2, 3, 3, 4, 5, 5, 6, 6, 7};
    std::memcpy(precedence, kPrecedence, sizeof precedence);
    SortFunctionTable();
}

void CEvalContext::BeginFormula(uint16_t column, uint32_t row) {
    baseColumn = column;
    baseRow = row;
    valueCount = 0;
    operatorCount = 0;
    status = 0;
    stringPool.ResetStringStack();
    scratch.ReleaseArrays();
}

void ReleaseTemporaries(CEvalContext& ctx, uint16_t index, uint16_t count) {
    for (uint16_t k = 0; k < count && index - k > 0 && index - k < kStackSlots; ++k) {
        const FormulaToken& entry = ctx.values[index - k];
        if (entry.type == kTokenArray) {
            Page* chain = ctx.scratch.PopPointer();
            if (chain) ctx.scratch.cells.FreePageChain(chain);
        } else if (entry.type == kTokenText) {
            ctx.stringPool.PopTempString();
        }
    }
}

} // namespace vl
