#pragma once
// Formatting of cells: one attribute of a style and font over a range, the one way both the
// workbook window and automation format cells, and the window's command around it, which
// records the formats for undo.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "model/styles.h"

#include <cstdint>

namespace vl {

class CWorkbook;
class CWorksheet;

// Attribute `code` of `style` and `font` over `range` of `ws`: whole columns change their
// column styles and every run in them, any other range its cells. False with error 14 when
// the style or font table is full, 8 when memory runs out.
bool ApplyFormatToRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& range, uint8_t code,
                        const StyleRecord& style, const FontRecord& font);

// The borders of `style` around `range` strip by strip: the sides of the outline land on the
// cells at its edges, the cells inside keep theirs. Whole columns take no top or bottom
// side, which would border every cell of them.
bool ApplyOutlineBorders(CWorkbook& workbook, CWorksheet& ws, const CellRange& range,
                         const StyleRecord& style);

// The Format commands on the selection of the active worksheet: record its formats, apply
// attribute `code` (or the outline borders of `style`) and drop the styles nothing uses any
// longer. kFailed with the workbook's error: with `recorded` cleared when the record could
// not be made (nothing changed), set when the change itself failed (the entry stays, so that
// undo puts back what was applied before the failure).
CommandResult FormatCommand(CWorkbook& workbook, const GridSelection& selection, uint8_t code,
                            const StyleRecord& style, const FontRecord& font,
                            bool* recorded = nullptr);
CommandResult OutlineBordersCommand(CWorkbook& workbook, const GridSelection& selection,
                                    const StyleRecord& style, bool* recorded = nullptr);

} // namespace vl
