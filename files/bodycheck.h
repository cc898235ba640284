#pragma once
// What the binary body reader checks before it keeps a record: every count, length, index
// and position lies inside what the record it fills can hold. A file that fails any check is
// not a workbook of ours.

#include "model/cellrecord.h"
#include "model/cellref.h"
#include "model/chart.h"
#include "model/sheetsettings.h"
#include "model/styles.h"

#include <cstdint>

namespace vl {

// The (row, column) of the last record checked, so that order holds across pages.
struct PageOrder {
    bool any = false;
    uint32_t row = 0;
    uint16_t column = 0;
    uint16_t last = 0;        // the last column of the last run
    bool overlapping = false; // runs of a row overlap or stand out of column order
};

// A page of cell records: each whole inside the used bytes, lengths adding up to them, in
// strictly increasing (row, column) order, positions and values within their limits, texts
// and formulas without a zero byte. A number
// or cached number that is infinite or NaN becomes #NUM! in place, a negative zero 0; nothing
// else is changed.
bool CheckCellPage(uint8_t* payload, uint32_t used, PageOrder& order);
// A page of 10-byte format runs: columns in order, rows and styles within their limits,
// rows in increasing order. Runs of a row that overlap or stand out of column order (an older
// save left them so) set `order.overlapping` for the caller to lay them apart.
bool CheckRunPage(const uint8_t* payload, uint32_t used, uint16_t styleCount, PageOrder& order);

bool CheckCellRef(const CellRef& ref);
bool CheckStyle(const StyleRecord& style, uint8_t fontCount);
bool CheckSeries(const SeriesSettings& series);
bool CheckViewSettings(const ViewSettingsRecord& view);
bool CheckPageSetup(const PageSetupRecord& page);

} // namespace vl
