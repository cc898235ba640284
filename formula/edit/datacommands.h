#pragma once
// Commands that write values into the selection from what it holds or from the clock: the
// series fill, the quick statistics formulas, the step of a number or date, and the text of
// an inserted date or time.

#include "formula/edit/undoexec.h"
#include "values/isodate.h"

#include <cstdint>
#include <string>

namespace vl {

class CEvalContext;
class CWorkbook;
struct GridSelection;

// Date & Time insertions: the step taken from today.
enum class DateStep : uint8_t {
    kNone,
    kNextWeek,
    kPrevWeek,
    kNextMonth,
    kPrevMonth,
    kEndNextMonth,
    kEndPrevMonth,
};
// The ISO 8601 text of `now` (date, time or both) stepped by `step`; the month ends give
// the last day of the month reached from the first day of today's month.
std::string DateTimeInsertText(const IsoDateTime& now, bool date, bool time, DateStep step);

// Data series: continues the first one or two cells of the selection (or, when the first is
// empty, runs back from the last one or two) over the whole selection, row by row: numbers
// by their difference (1 for one element), ISO date-times by their duration (an hour or a
// day for one element), other texts repeated. kNothing for a single cell, and with
// `noElements` set when both ends are empty (nothing is recorded then).
CommandResult FillSeriesCommand(CWorkbook& workbook, CEvalContext& ctx,
                                const GridSelection& selection, bool* noElements = nullptr);

// Quick statistics: `format` ("=sum(%s)") over each row into the empty last column and over
// each column into the empty last row, and over the block into the corner when both are
// empty. References are relative, in the user's addressing. kNothing for a single cell
// (with `singleCell` set) and when the last column and the last row both hold something.
CommandResult QuickStatisticsCommand(CWorkbook& workbook, CEvalContext& ctx,
                                     const GridSelection& selection, const char* format,
                                     bool* singleCell = nullptr);

// Increment (+1) and Decrement (-1) of the cell at (column, row): a number by 1, an ISO
// date by a day, a date-time or time by an hour. kNothing for any other cell.
CommandResult StepValueCommand(CWorkbook& workbook, const GridSelection& selection, uint16_t column,
                               uint32_t row, int step);

} // namespace vl
