#pragma once
// The counts the Statistics dialog shows: worksheets, folders, containers, and cells by kind
// over the whole workbook, the folder of the active worksheet, the active worksheet or a
// range of it.

#include "model/cellrange.h"

#include <cstdint>

namespace vl {

class CWorkbook;

enum StatisticsScope : uint32_t {
    kScopeWorkbook = 0,
    kScopeFolder = 1,
    kScopeWorksheet = 2,
    kScopeRange = 3,
};

struct StatisticsCounts {
    uint32_t worksheets = 0;
    uint32_t folders = 0;
    uint32_t containers = 0;
    // As CCellStore::CountCellKinds: numbers, texts, number formulas, text formulas, array
    // formulas, formulas holding an error.
    uint32_t cells[6] = {};
    uint64_t TotalCells() const;
};

// Counts `scope`; Range counts the cells of `selection` on the active worksheet and all
// its containers.
StatisticsCounts CountStatistics(const CWorkbook& workbook, uint32_t scope,
                                 const CellRange& selection);

} // namespace vl
