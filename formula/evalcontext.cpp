#include "formula/evalcontext.h"

#include "formula/functable.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vl {

namespace {

constexpr char kEmptyText[] = "";

} // namespace

StringPool::StringPool() {
    characters.reset(new (std::nothrow) char[kPoolStartCharacters]);
    if (characters) capacity = kPoolStartCharacters;
    ResetStringStack();
}

// Grows the characters to hold `needed`; a text that lay in the old characters is moved
// along with them.
bool StringPool::Reserve(uint64_t needed, std::string_view& text) {
    if (needed <= capacity) return true;
    uint64_t grown = std::max<uint64_t>(needed, uint64_t(capacity) * 2);
    grown = std::min<uint64_t>(grown, uint64_t(kPoolStrings) * (kMaxTextValue + 1));
    if (grown < needed) return false;
    std::unique_ptr<char[]> more(new (std::nothrow) char[grown]);
    if (!more) return false;
    const char* old = characters.get();
    uint32_t used = count ? offsets[count] : 0;
    uint32_t kept = old ? std::max<uint32_t>(used, uint32_t(capacity)) : 0;
    if (kept) std::memcpy(more.get(), old, kept);
    if (old && text.data() >= old && text.data() < old + capacity)
        text = {more.get() + (text.data() - old), text.size()};
    characters = std::move(more);
    capacity = uint32_t(grown);
    return true;
}

bool StringPool::PushString(std::string_view text) {
    if (count >= kPoolStrings || text.size() > kMaxTextValue) return false;
    uint32_t start = offsets[count];
    if (!Reserve(uint64_t(start) + text.size() + 1, text)) return false;
    char* at = characters.get() + start;
    if (!text.empty() && text.data() != at) std::memmove(at, text.data(), text.size());
    at[text.size()] = '\0';
    offsets[count + 1] = uint32_t(start + text.size() + 1);
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
    return {characters.get() + offsets[count],
            std::size_t(offsets[count + 1] - offsets[count] - 1)};
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
