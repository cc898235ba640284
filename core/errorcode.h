#pragma once
// The one-byte code of a failed document operation and its fixed message text.

#include <cstdint>

namespace vl {

using ErrorCode = uint8_t;

// The codes the data model and the workbook files leave in a workbook. The file stream's
// status codes (34 to 45) are document codes too.
enum : ErrorCode {
    kErrorNone = 0,
    kErrorContainerMemory = 4,
    kErrorTooManyObjects = 7,
    kErrorWorksheetMemory = 8,
    kErrorLastWorksheet = 9,
    kErrorPathNotFound = 10,
    kErrorContainerNotFound = 11,
    kErrorInvalidCacheIndex = 12,
    kErrorNoWorksheet = 13,
    kErrorTooManyStyles = 14,
    kErrorTooManyLists = 15,
    kErrorFileFormat = 21,
    kErrorTooManyContainers = 22,
    kErrorNoEmptyColumns = 23,
    kErrorNoEmptyRows = 24,
    kErrorCryptKey = 25,
    kErrorInvalidPassword = 26,
    kErrorChartMemory = 27,
    kErrorChartArray = 28,
    kErrorChartStack = 29,
    kErrorChartLimits = 30,
    kErrorChartAxes = 31,
    kErrorChartSeries = 32,
    kErrorChartGridlines = 33,
};

// The text of a code; every code without a text of its own gives "No error". The texts are
// constants and are never freed.
const char* GetErrorMessage(int code);

} // namespace vl
