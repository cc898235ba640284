#pragma once
// Converting the contents of a range in one of six ways: formulas to the values they show,
// texts read again as typed input, numbers to the texts they show, and three changes of
// letter case.

#include "model/cellrange.h"

#include <cstdint>

namespace vl {

class CWorkbook;
class CWorksheet;

enum ConvertMode : uint8_t {
    kConvertFormulasToValues = 0,
    kConvertLabelsToNumbers = 1,
    kConvertNumbersToLabels = 2,
    kConvertToUppercase = 3,
    kConvertToLowercase = 4,
    kConvertFirstLettersUp = 5,
};

// The mode of a Convert Contents menu command, or -1 for another command.
int ConvertModeOfCommand(uint16_t command);

// Converts the records of the range. A formula becomes the value it shows with the general
// format (an array's element cells in the range become plain values; a result that would read
// as a formula stays text); a number becomes the text it shows through its own style; texts
// change case in place. The range is rebuilt at once: false with the workbook's error at 8
// (and the worksheet as it was) when memory runs out.
bool ConvertContents(CWorkbook& workbook, CWorksheet& ws, const CellRange& range, uint8_t mode);

} // namespace vl
