#pragma once
// The values the XML writer writes where a record holds one the form cannot give back, so
// that an XML save reloads and saves to the same bytes.

#include "model/chart.h"
#include "model/sheetsettings.h"

namespace vl {

// The header font of a page as the XML writer writes it: a page read from the XML form starts
// with its header colour given (the text colour), so a colour not given is written as that.
ColoredFont XmlWrittenHeaderFont(const ColoredFont& font);

// A pane size as the XML writer writes it: the form reads sizes up to 65,534.
uint16_t XmlWrittenPaneSize(uint16_t size);

// A container's anchor as the XML writer writes it: always, as a cell. Only its column and row
// place a container, and leaving the element out would lose the frame as well.
CellRef XmlWrittenAnchor(const CellRef& anchor);

// A series as the XML writer writes it, `fresh` being a new series at the place it is written
// to: a fill or line colour not given where the new series has it given cannot be read back
// not given, so it is written given, in the colour it is drawn in (the window colour for
// fills, the text colour for lines).
SeriesSettings XmlWrittenSeries(const SeriesSettings& fresh, const SeriesSettings& series);

} // namespace vl
