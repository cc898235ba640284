#pragma once
// What the XML form carries of a workbook. The binary form keeps every record as it is; the
// XML form has no words for some fields and bits, and reads those back as a new record has
// them. `KeepXmlCarried` brings every record of a workbook to what an XML save and load gives
// back, so that the tests, the changed-byte benchmark and the fuzz targets can compare records
// across forms. The values the writer itself writes in place of ones the form cannot give
// back are the files library's (files/xmlwritten.h).

#include "model/chart.h"
#include "model/sheetsettings.h"
#include "model/workbook.h"

namespace vl {

// Rewrites every record of `book` to what saving it as XML and loading that gives back:
// - pane sizes as written; font 0 and style 0 the built-in defaults; in other styles a number
//   format's parameters only as its family writes them (the code of a family format built
//   from them), colours not given, fills without a pattern, border lines without sides and
//   list flags without a list as the reader gives them, border sides past the six dropped;
// - yes/no fields 0 or 1, colours given without their top byte, negative zeros 0;
// - page setup: one horizontal and one vertical alignment bit, the print range, container and
//   pages only for the kind that uses them, the scale only when not fitted, the header colour
//   as written;
// - views and backgrounds: cell places with the cell flags, one kind of frozen edge, colours
//   not given as read, the fields of the background kinds not shown as a new one has them;
// - containers and charts: the anchor as written, title slots not written and colours not
//   given as read, the series in the order written (error bars, X, values) with only the
//   fields of their role and colours as written, axis flags as written, stack limits cleared,
//   rotations 0 (the view matrix is written instead), a 2D chart's 3D fields as new;
// - inspected cells named by row and column; column entries, row entries, style runs and cell
//   records as `KeepXmlCarriedFormatsAndCells` gives them.
// False when memory for a rebuilt list or store ran out.
bool KeepXmlCarried(CWorkbook& book);

} // namespace vl
