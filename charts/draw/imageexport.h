#pragma once
// A cell range of a worksheet, or one container, painted into a bitmap off screen and
// written to a file as a packed bitmap, JPEG or PNG. A failed export leaves an existing file
// as it was and the error code in the workbook.

#include "model/cellrange.h"
#include "model/workbook.h"
#include "render/sheetlayout.h"

#include <cstdint>

namespace vl {

enum ImageFormat : uint8_t {
    kImageFormatDib = 1, // the packed bitmap itself, no file header
    kImageFormatJpeg = 2,
    kImageFormatPng = 3,
};

// `quality` is the JPEG quality (0 stands for 75) or the PNG gamma (0 stands for 1/2.2).
bool RenderRangeToBitmap(CWorkbook& workbook, const char* sheetPath, const CellRange& range,
                         const char* filePath, uint8_t format, double quality, ZoomPair zoom);
bool RenderContainerToBitmap(CWorkbook& workbook, const char* sheetPath, uint16_t containerId,
                             const char* filePath, uint8_t format, double quality, ZoomPair zoom);

// The worksheet whose path in the tree equals `path` without regard to case.
CWorksheet* FindWorksheetByPath(CWorkbook& workbook, const char* path);

} // namespace vl
