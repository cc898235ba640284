#pragma once
// One formula cell of a pass calculated after every formula cell it reads that is not yet
// calculated. The cells that wait are kept on a work stack of our own, not the thread's,
// so that a chain as long as a worksheet is tall fits.

#include "formula/evalcontext.h"
#include "formula/growarray.h"

#include <cstdint>
#include <string_view>

namespace vl {

class CRecalcChain {
public:
    explicit CRecalcChain(CEvalContext& ctx) : ctx_(ctx) {}

    // Calculates the cell, its uncalculated precedents first; nothing when it is
    // calculated already or is no formula.
    void Calculate(CCellStore& cells, uint32_t row, uint16_t column);

    // A cell to evaluate (again once the items above it are done), or one to enter as a
    // precedent of the item at `waiter`.
    struct Item {
        CCellStore* cells;
        uint32_t row;
        uint16_t column;
        uint8_t step;
        uint8_t state;
        uint32_t waiter;
    };

private:
    void Enter(std::size_t top);
    void Evaluate(std::size_t top);
    bool PushPrecedents(std::size_t waiter);
    void MarkDone(const Item& circular);
    uint32_t SheetIndex(const CCellStore* cells);

    CEvalContext& ctx_;
    CGrowArray<Item> stack_;
    const CCellStore* indexedCells_ = nullptr;
    uint32_t sheetIndex_ = 0;
    char formula_[kPagePayload];
};

} // namespace vl
