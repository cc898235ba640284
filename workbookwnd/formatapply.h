#pragma once
// What the format pages and the Zoom pop-up apply to a workbook window: one attribute over
// the active view's selection (with one undo entry), the worksheet background, the zoom.

#include "model/sheetsettings.h"
#include "model/styles.h"

#include <cstdint>

namespace vl {

class CWorkbookWnd;

// Attribute `code` of `style` and `font` over the selection: whole columns change their
// own styles and every run in them, any other selection its cell positions. Styles nothing
// uses any longer are dropped. Font size and face (and the whole font) and alignment refit
// the selected rows. False when nothing was applied (the failure shown).
bool ApplySelectionFormat(CWorkbookWnd& wnd, uint8_t code, const StyleRecord& style,
                          const FontRecord& font);
// Borders around the selection (code 18) strip by strip, so that the sides of the outline
// land on the cells at the selection's edges and the cells inside keep theirs; other codes,
// borders (17) among them, as above on every cell.
bool ApplyBorderFormat(CWorkbookWnd& wnd, const StyleRecord& style, uint8_t code);
// The background, grid and heading settings of the page onto the active worksheet.
bool ApplyBackgroundFormat(CWorkbookWnd& wnd, const ViewSettingsRecord& view);
// The zoom of the active worksheet, or of every worksheet with `allWorksheets`.
void ApplyZoomToWindow(CWorkbookWnd& wnd, uint16_t zoom, bool allWorksheets);

} // namespace vl
