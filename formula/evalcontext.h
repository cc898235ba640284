#pragma once
// The working state of formula evaluation, one per workbook: the value and operator
// stacks, the pool of temporary strings, the scratch store of temporary arrays, the
// status byte, the operator precedences and the base cell of the formula at hand.

#include "formula/growarray.h"
#include "formula/lookupcache.h"
#include "formula/qualifiermemo.h"
#include "formula/spreadlog.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vl {

class CTreeItem;

// A formula may nest parentheses and calls this deep, and a call may take this many
// arguments: what the other spreadsheets take.
constexpr int kMaxNesting = 98;
constexpr int kMaxArguments = 255;
// Slot 0 of each stack is never used. Room for the deepest nesting and the widest call at
// once, with some calls of many arguments pending around them.
constexpr int kStackSlots = 1000;
constexpr uint16_t kPoolStrings = kStackSlots;
constexpr uint16_t kMaxTempArrays = kStackSlots;
// The longest text a value may be: the longest text a cell holds. A text operation whose
// result would be longer gives #VALUE!.
constexpr std::size_t kMaxTextValue = kMaxCellText;
// The pool starts with room for a few such texts and grows when a formula needs more.
constexpr uint32_t kPoolStartCharacters = 4 * (kMaxTextValue + 1);

// Temporary strings of one evaluation, last in first out: text values on the value
// stack and strings here are paired in stack order.
struct StringPool {
    std::unique_ptr<char[]> characters;
    uint32_t capacity = 0;
    uint32_t offsets[kPoolStrings + 1];
    uint16_t count;
    const char* emptyText;

    StringPool();
    // False, changing nothing, when the text is longer than kMaxTextValue, when kPoolStrings
    // strings are held or when there is no memory for it. The text may be a string of the
    // pool that was taken off it.
    bool PushString(std::string_view text);
    void ResetStringStack();
    // Takes the newest string (readable until the next push); the empty text when none.
    std::string_view PopTempString();

private:
    bool Reserve(uint64_t needed, std::string_view& text);
};

// Temporary arrays are built in the store's own chain from position (0, 0), then the
// chain is detached and its head kept on the array stack until the array is consumed.
struct ScratchStore {
    CCellStore cells;
    Page* arrays[kMaxTempArrays] = {};
    uint16_t arrayCount = 0;

    ScratchStore() = default;
    ~ScratchStore();
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    bool PushPointer(Page* firstPage);
    // The newest chain, null when none is held (an empty array's chain is null too).
    Page* PopPointer();
    // Pops every chain and puts its pages on the store's free-page list.
    void ReleaseArrays();
};

// A formula cell that an evaluation read before it was calculated in this pass.
struct PendingCell {
    CCellStore* cells;
    uint32_t row;
    uint16_t column;
};

// Every such cell one evaluation met, in the order met, repeats included but for one met
// twice in a row (a range walk that reads the cell's value meets it so). When memory ran
// out some are missing, and the last one met is still the context's pendingPrecedent.
struct PendingCells {
    CGrowArray<PendingCell> cells;
    bool incomplete = false;

    void Clear() {
        cells.Clear();
        incomplete = false;
    }
    void Add(const PendingCell& cell) {
        const std::size_t n = cells.Size();
        if (n && cells[n - 1].cells == cell.cells && cells[n - 1].row == cell.row &&
            cells[n - 1].column == cell.column)
            return;
        if (!cells.Push(cell)) incomplete = true;
    }
};

// Empties the store and returns every page it holds, on chains and free, to the heap.
void FreeTempRanges(ScratchStore& store);
void InitTempStore(ScratchStore& store);

class CEvalContext {
public:
    CEvalContext();
    CEvalContext(const CEvalContext&) = delete;
    CEvalContext& operator=(const CEvalContext&) = delete;

    // Prepares the evaluation or translation of one formula of the cell at this position.
    void BeginFormula(uint16_t column, uint32_t row);
    void ReleaseScratchArrays() { FreeTempRanges(scratch); }

    CTreeItem* worksheetList = nullptr;
    CCellStore* currentCells = nullptr;
    uint16_t valueCount = 0;
    uint16_t operatorCount = 0;
    FormulaToken pendingPrecedent; // the last formula cell read before it was calculated
    PendingCells pendingCells;     // all of them, emptied when an evaluation begins
    StringPool stringPool;
    // Working text of an operator, kept so that its room is not allocated again.
    std::string textBuffer;
    ScratchStore scratch;
    uint8_t status = 0; // 0 while evaluation may go on; kErrSyntax once the text is malformed
    // Set by the one function result that may be subnormal, for the check after the call.
    bool subnormalResult = false;
    uint8_t precedence[kLastOperator + 1] = {};
    uint16_t baseColumn = 0;
    uint32_t baseRow = 0;
    // The number of the last whole recalculation, unique among all workbooks, so that
    // automation servers that failed to answer are asked again only in the next one.
    uint32_t recalculation = 0;
    // Indexes of searched ranges, kept while a recalculation runs.
    CLookupCache lookups;
    // Array areas changed in the current round of a recalculation.
    CSpreadLog spreads;
    // Worksheets and folders that qualifier names found, kept while a recalculation runs.
    CQualifierMemo qualifiers;
    // Set on a search's own context: what its trial evaluations read, the formula being
    // evaluated in this one reads.
    CEvalContext* readsFor = nullptr;
    // Set while a formula is evaluated only to learn what it reads: nothing draws random
    // numbers, so that its own turn draws what it would have drawn.
    bool readOnly = false;
    // The stacks come last, so that the fields every evaluation reads lie together.
    FormulaToken values[kStackSlots];
    FormulaToken operators[kStackSlots];
};

// Drops the temporaries of `count` value-stack entries from `index` downward: an array
// entry returns its chain's pages to the scratch store, a text entry pops its string.
void ReleaseTemporaries(CEvalContext& ctx, uint16_t index, uint16_t count);

} // namespace vl
