#pragma once
// A range or array argument held for reading its cells by position or by part: a range
// reads its worksheet's store, an array's pages belong to the object until it goes.

#include "formula/operands.h"
#include "model/cellrange.h"

#include <cstdint>

namespace vl {

class CArgumentArea {
public:
    explicit CArgumentArea(CEvalContext& ctx) : ctx_(ctx) {}
    ~CArgumentArea() { Release(); }
    CArgumentArea(const CArgumentArea&) = delete;
    CArgumentArea& operator=(const CArgumentArea&) = delete;

    // Reads the argument with GetRangeArg (a scalar is #VALUE!) and returns its error.
    FormulaError Take(FormulaToken& slot);
    // Gives an array's pages back to the scratch store.
    void Release();
    // Hands an array's pages over to the caller (null for a range).
    Page* DetachChain() {
        Page* chain = chain_;
        chain_ = nullptr;
        return chain;
    }

    uint16_t Columns() const { return uint16_t(rect_.c2 - rect_.c1 + 1); }
    uint32_t Rows() const { return rect_.r2 - rect_.r1 + 1; }
    const CellRange& Rectangle() const { return rect_; }
    // The worksheet store of a range, null for an array.
    CCellStore* Store() const { return cells_; }
    // The chain of an array, null for a range.
    Page* Chain() const { return chain_; }

    // The stored cell at these offsets from the top-left corner, null when none; offsets
    // past the rectangle reach the cells beside it.
    const uint8_t* CellAt(uint64_t rowOffset, uint64_t columnOffset) const;
    // The cell's value as an operand (a text pushed on the pool); a formula cell not yet
    // calculated becomes the pending precedent.
    void ReadValue(const uint8_t* record, FormulaToken& value) const;

    // Copies the value of one of the area's cells to the builder at the given place: a
    // formula cell as its cached result, the error code kept. False when memory runs out.
    bool CopyCell(const uint8_t* record, uint16_t column, uint32_t row,
                  CArrayBuilder& builder) const;

    // The stored cells of a part of the rectangle (given in offsets) in store order.
    class CPartWalk {
    public:
        CPartWalk(const CArgumentArea& area, const CellRange& offsets);
        // The next stored cell of the part, null at the end.
        const uint8_t* Next();
        uint16_t ColumnOffset() const { return column_; }
        uint32_t RowOffset() const { return row_; }

    private:
        const CArgumentArea& area_;
        CellRange part_;
        CellCursor cursor_;
        uint16_t column_ = 0;
        uint32_t row_ = 0;
    };

private:
    CEvalContext& ctx_;
    CCellStore* cells_ = nullptr;
    Page* chain_ = nullptr;
    CellRange rect_;
};

} // namespace vl
