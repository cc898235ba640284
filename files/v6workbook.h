#pragma once
// The older signed binary form ("Vorlane6000"), read only: its lists, styles, fonts,
// folders and worksheets become an ordinary workbook, which a save writes in a current form.

namespace vl {

class CWorkbook;

// Reads the file open in the workbook's stream (after its form was detected). False with
// the workbook's error: 21 for a file that breaks the form or ends too soon, 9 for one
// without a worksheet, 8 when memory ran out, or the stream's status.
bool LoadV6Workbook(CWorkbook& workbook);

} // namespace vl
