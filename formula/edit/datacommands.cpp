#include "formula/edit/datacommands.h"

#include "core/settings.h"
#include "formula/cellinput.h"
#include "formula/edit/editcommands.h"
#include "formula/token.h"
#include "model/rangeops.h"
#include "model/workbook.h"
#include "platform/core/editerrors.h"
#include "platform/core/errorcode.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vl {

std::string DateTimeInsertText(const IsoDateTime& now, bool date, bool time, DateStep step) {
    IsoDateTime rec;
    if (date) {
        rec.hasDate = 1;
        rec.year = now.year;
        rec.month = now.month;
        rec.day = now.day;
    }
    if (time) {
        rec.hasTime = 1;
        rec.hour = now.hour;
        rec.minute = now.minute;
        rec.second = now.second;
    }
    IsoDuration d;
    const bool back = step == DateStep::kPrevWeek || step == DateStep::kPrevMonth ||
                      step == DateStep::kEndPrevMonth;
    d.negative = back ? 1 : 0;
    const bool monthEnd = step == DateStep::kEndNextMonth || step == DateStep::kEndPrevMonth;
    if (step == DateStep::kNextWeek || step == DateStep::kPrevWeek) d.days = 7;
    if (step == DateStep::kNextMonth || step == DateStep::kPrevMonth || monthEnd) d.months = 1;
    // From the month's first day, so that 31 January reaches February, not March.
    if (monthEnd) rec.day = 1;
    IsoDateTime stepped = rec;
    if (step != DateStep::kNone && !AddToDateTime(rec, d, stepped)) stepped = rec;
    if (monthEnd) stepped.day = DaysInMonth(Year(stepped.year), Month(stepped.month));
    return FormatIsoDateTime(stepped);
}

namespace {

enum class SeriesKind { kNothing, kNumber, kDateTime, kText };

struct SeriesElement {
    SeriesKind kind = SeriesKind::kNothing;
    double number = 0;
    std::string text;
    IsoDateTime date;
};

// A cell by its value: formula results take part as what they show.
SeriesElement ReadElement(CEvalContext& ctx, const uint8_t* cell) {
    SeriesElement e;
    if (!cell || cell::Error(cell)) return e;
    const bool text =
        cell::IsText(cell) || (cell::IsFormula(cell) && (cell::ResultFlags(cell) & kResultText));
    if (!text) {
        e.kind = SeriesKind::kNumber;
        e.number = cell::IsNumber(cell) ? cell::Number(cell) : cell::CachedNumber(cell);
        return e;
    }
    e.text = cell::IsText(cell) ? cell::Text(cell) : cell::CachedText(cell);
    if (ParseIsoDateTime(e.date, e.text)) {
        e.kind = SeriesKind::kDateTime;
        return e;
    }
    // A text that reads as a typed number continues as a number.
    StandardFormat format{};
    CellBuffer read;
    if (ParseCellInput(ctx, e.text, format, cell::Row(cell), cell::Column(cell), read) ==
            CellInput::kStored &&
        cell::IsNumber(read.bytes) && !cell::Error(read.bytes)) {
        e.kind = SeriesKind::kNumber;
        e.number = cell::Number(read.bytes);
        return e;
    }
    e.kind = SeriesKind::kText;
    return e;
}

// The step between two date-times in days, hours, minutes, seconds and milliseconds,
// negative when the second is earlier.
IsoDuration DateStepBetween(const IsoDateTime& base, const IsoDateTime& second) {
    IsoDuration d;
    int64_t diff = (DateTimeToSeconds(second) - DateTimeToSeconds(base)) * 1000 +
                   (second.millisecond - base.millisecond);
    d.negative = diff < 0;
    diff = diff < 0 ? -diff : diff;
    d.days = int32_t(std::min<int64_t>(diff / 86400000, std::numeric_limits<int32_t>::max()));
    d.hours = int32_t(diff % 86400000 / 3600000);
    d.minutes = int32_t(diff % 3600000 / 60000);
    d.seconds = int32_t(diff % 60000 / 1000);
    d.milliseconds = int32_t(diff % 1000);
    return d;
}

// Every field of the step times k; false when a field would overflow.
bool ScaleDuration(const IsoDuration& step, uint64_t k, IsoDuration& out) {
    out = step;
    int32_t* fields[] = {&out.days, &out.hours, &out.minutes, &out.seconds, &out.milliseconds};
    for (int32_t* f : fields) {
        const uint64_t v = uint64_t(*f) * k;
        if (*f != 0 && (v / uint64_t(*f) != k || v > uint64_t(std::numeric_limits<int32_t>::max())))
            return false;
        *f = int32_t(v);
    }
    return true;
}

bool HasRecordIn(const CCellStore& cells, const CellRange& rect) {
    CellCursor cursor{kAdvance, cells.FirstPage(), 0};
    return GetNextCellInRange(cursor, rect) != nullptr;
}

} // namespace

CommandResult FillSeriesCommand(CWorkbook& workbook, CEvalContext& ctx,
                                const GridSelection& selection, bool* noElements) {
    CWorksheet* ws = workbook.tree.active;
    const CellRange& s = selection.range;
    if (noElements) *noElements = false;
    if (!ws || (s.c1 == s.c2 && s.r1 == s.r2)) return CommandResult::kNothing;
    const uint8_t* first = FindCell(ws->cells, s.r1, s.c1);
    const uint8_t* last = first ? nullptr : FindCell(ws->cells, s.r2, s.c2);
    if (!first && !last) {
        if (noElements) *noElements = true;
        return CommandResult::kNothing;
    }
    const bool forward = first != nullptr;
    const bool wide = s.c2 > s.c1;
    const uint8_t* secondCell =
        forward
            ? (wide ? FindCell(ws->cells, s.r1, s.c1 + 1) : FindCell(ws->cells, s.r1 + 1, s.c1))
            : (wide ? FindCell(ws->cells, s.r2, s.c2 - 1) : FindCell(ws->cells, s.r2 - 1, s.c2));
    const SeriesElement base = ReadElement(ctx, forward ? first : last);
    const SeriesElement second = ReadElement(ctx, secondCell);
    if (base.kind == SeriesKind::kNothing) return CommandResult::kNothing;
    double step = forward ? 1.0 : -1.0;
    if (base.kind == SeriesKind::kNumber && second.kind == SeriesKind::kNumber)
        step = second.number - base.number;
    IsoDuration dateStep;
    if (base.kind == SeriesKind::kDateTime) {
        if (second.kind == SeriesKind::kDateTime) {
            dateStep = DateStepBetween(base.date, second.date);
        } else {
            (base.date.hasTime ? dateStep.hours : dateStep.days) = 1;
            dateStep.negative = !forward;
        }
    }
    if (!workbook.RecordUndoRange(s, selection.cursorColumn, selection.cursorRow, true, false)) {
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    // The series is built aside and put in place in one step.
    CCellStore scratch;
    CellCursor cursor;
    CellBuffer record;
    const uint64_t n = uint64_t(s.c2 - s.c1) + 1;
    // Dates are stepped from cell to cell, in the order the cells are written: from the base
    // forward, or from the far end back towards the base.
    IsoDateTime current = base.date;
    IsoDuration unit = dateStep;
    bool valid = true;
    if (base.kind == SeriesKind::kDateTime && !forward) {
        IsoDuration scaled;
        valid = ScaleDuration(dateStep, (uint64_t(s.r2 - s.r1) + 1) * n - 1, scaled) &&
                AddToDateTime(base.date, scaled, current);
        unit.negative = !unit.negative;
    }
    bool ok = true;
    for (uint32_t r = s.r1; ok; ++r) {
        for (uint32_t c = s.c1; c <= s.c2 && ok; ++c) {
            const uint64_t k =
                forward ? uint64_t(r - s.r1) * n + (c - s.c1) : uint64_t(s.r2 - r) * n + (s.c2 - c);
            bool made = false;
            if (base.kind == SeriesKind::kNumber) {
                // A value past the largest number shows #NUM!, as a formula's overflow does;
                // the base keeps its own value whatever the step.
                const double value = k == 0 ? base.number : base.number + double(k) * step;
                made = std::isfinite(value)
                           ? MakeNumberCell(record, uint16_t(c), r, value)
                           : MakeNumberCell(record, uint16_t(c), r, 0, uint8_t(kErrNum >> 4));
            } else if (base.kind == SeriesKind::kText) {
                made = MakeTextCell(record, uint16_t(c), r, base.text);
            } else {
                IsoDuration scaled;
                IsoDateTime value;
                // A date past the calendar's end leaves its cell empty.
                if (valid) {
                    made = MakeTextCell(record, uint16_t(c), r, FormatIsoDateTime(current));
                    valid = AddToDateTime(current, unit, value);
                    current = value;
                } else if (ScaleDuration(dateStep, k, scaled) &&
                           AddToDateTime(base.date, scaled, value)) {
                    made = MakeTextCell(record, uint16_t(c), r, FormatIsoDateTime(value));
                }
            }
            if (made) ok = scratch.PutCell(record.bytes, cursor);
        }
        if (r == s.r2) break;
    }
    ok = ok && CopyBlock(ws->cells, s, s.c1, s.r1, scratch);
    if (!ok) {
        DiscardLastUndo(workbook.undo, true);
        workbook.error = kErrorWorksheetMemory;
    }
    return FinishCommand(workbook, ok);
}

namespace {

std::string ColumnLetters(uint32_t column) {
    std::string out;
    for (uint32_t c = column + 1; c > 0; c = (c - 1) / 26)
        out.insert(out.begin(), char('A' + (c - 1) % 26));
    return out;
}

std::string RelativePart(char axis, int64_t offset) {
    std::string out(1, axis);
    if (offset != 0) out += "[" + std::to_string(offset) + "]";
    return out;
}

// A reference relative to the result cell at (column, row).
std::string Reference(uint16_t column, uint32_t row, uint16_t atColumn, uint32_t atRow, bool a1) {
    if (a1) return ColumnLetters(column) + std::to_string(uint64_t(row) + 1);
    return RelativePart('R', int64_t(row) - atRow) + RelativePart('C', int64_t(column) - atColumn);
}

std::string StatisticsFormula(const char* format, const CellRange& over, uint16_t column,
                              uint32_t row, bool a1) {
    const std::string range = Reference(over.c1, over.r1, column, row, a1) + ":" +
                              Reference(over.c2, over.r2, column, row, a1);
    std::string out(format);
    const size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, range);
    return out;
}

} // namespace

CommandResult QuickStatisticsCommand(CWorkbook& workbook, CEvalContext& ctx,
                                     const GridSelection& selection, const char* format,
                                     bool* singleCell) {
    CWorksheet* ws = workbook.tree.active;
    const CellRange& s = selection.range;
    if (singleCell) *singleCell = s.c1 == s.c2 && s.r1 == s.r2;
    if (!ws || (s.c1 == s.c2 && s.r1 == s.r2)) return CommandResult::kNothing;
    const bool rows = s.c2 > s.c1 && !HasRecordIn(ws->cells, {s.c2, s.r1, s.c2, s.r2});
    const bool columns = s.r2 > s.r1 && !HasRecordIn(ws->cells, {s.c1, s.r2, s.c2, s.r2});
    if (!rows && !columns) return CommandResult::kNothing;
    if (!workbook.RecordUndoRange(s, selection.cursorColumn, selection.cursorRow, true, false)) {
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    const bool a1 = Profile().addressingA1 != 0;
    bool ok = true;
    // Stores one result; false ends the phase.
    auto put = [&](uint16_t column, uint32_t row, const CellRange& over) {
        const std::string text = StatisticsFormula(format, over, column, row, a1);
        StandardFormat numberFormat{};
        CellBuffer record;
        CellCursor cursor;
        if (ParseCellInput(ctx, text, numberFormat, row, column, record) == CellInput::kStored &&
            ws->cells.PutCell(record.bytes, cursor))
            return true;
        ok = false;
        return false;
    };
    if (rows)
        for (uint32_t r = s.r1; r <= s.r2 - (columns ? 1 : 0); ++r)
            if (!put(s.c2, r, {s.c1, r, uint16_t(s.c2 - 1), r})) break;
    if (columns)
        for (uint32_t c = s.c1; c <= uint32_t(s.c2 - (rows ? 1 : 0)); ++c)
            if (!put(uint16_t(c), s.r2, {uint16_t(c), s.r1, uint16_t(c), s.r2 - 1})) break;
    if (rows && columns) put(s.c2, s.r2, {s.c1, s.r1, uint16_t(s.c2 - 1), s.r2 - 1});
    if (!ok) workbook.error = kErrorWorksheetMemory;
    return FinishCommand(workbook, ok);
}

CommandResult StepValueCommand(CWorkbook& workbook, const GridSelection& selection, uint16_t column,
                               uint32_t row, int step) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return CommandResult::kNothing;
    const uint8_t* cell = FindCell(ws->cells, row, column);
    if (!cell) return CommandResult::kNothing;
    // An element belongs to its array's formula: a value stored there would keep the array
    // from spreading.
    if (cell::Flags(cell) & kCellArrayElement)
        return workbook.error = kErrorArrayCut, CommandResult::kFailed;
    if (cell::Error(cell)) return CommandResult::kNothing;
    CellBuffer record;
    if (cell::IsNumber(cell)) {
        if (!MakeNumberCell(record, column, row, cell::Number(cell) + step))
            return CommandResult::kNothing;
    } else if (cell::IsText(cell)) {
        IsoDateTime rec;
        if (!ParseIsoDateTime(rec, cell::Text(cell))) return CommandResult::kNothing;
        const char* duration =
            rec.hasTime ? (step > 0 ? "PT1H" : "-PT1H") : (step > 0 ? "P1D" : "-P1D");
        std::string text;
        if (!AddDurationText(cell::Text(cell), duration, text) ||
            !MakeTextCell(record, column, row, text))
            return CommandResult::kNothing;
    } else {
        return CommandResult::kNothing;
    }
    if (!workbook.RecordUndoCell(*ws, column, row, selection.cursorColumn, selection.cursorRow)) {
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    CellCursor cursor;
    const bool ok = ws->cells.PutCell(record.bytes, cursor);
    if (!ok) {
        DiscardLastUndo(workbook.undo, true);
        workbook.error = kErrorWorksheetMemory;
    }
    return FinishCommand(workbook, ok);
}

} // namespace vl
