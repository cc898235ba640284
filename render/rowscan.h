#pragma once
// Finding the cell records and style indexes that painting and the metrics need: a whole
// row loaded at once for lookups by column (the forward style lookup is the model's).

#include "model/cellstyle.h"
#include "model/formatstore.h"
#include "model/styles.h"
#include "model/worksheet.h"

#include <cstdint>

namespace vl {

// The records and format runs of one row.
class CRowScan {
public:
    explicit CRowScan(const CWorksheet& sheet) : sheet_(sheet) {}
    CRowScan(const CRowScan&) = delete;
    CRowScan& operator=(const CRowScan&) = delete;

    void Load(uint32_t row);
    // The record at the column of the loaded row, or null.
    const uint8_t* Cell(uint16_t column) const;
    // The record of the loaded row nearest left of the column, or null.
    const uint8_t* CellBefore(uint16_t column) const;
    // The record of the loaded row at the column or nearest right of it, or null.
    const uint8_t* CellFrom(uint32_t column) const;
    uint16_t StyleIndex(uint16_t column) const;

private:
    void LoadRuns(uint32_t row);

    const CWorksheet& sheet_;
    uint16_t cellCount_ = 0;
    uint16_t cellColumns_[kMaxColumns];
    const uint8_t* cells_[kMaxColumns];
    uint16_t runCount_ = 0;
    FormatRun runs_[kMaxColumns];
};

} // namespace vl
