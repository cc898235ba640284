#include "charts/draw/imageexport.h"

#include "charts/draw/containerpainter.h"
#include "files/savetarget.h"
#include "formula/celltext.h"
#include "formula/workbookcontext.h"
#include "platform/core/cp1252.h"
#include "platform/core/imagecodecs.h"
#include "render/canvas.h"
#include "render/imagesource.h"
#include "render/metrics.h"
#include "render/paintsheet.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = CharUpper1252(c);
    return s;
}

// An off-screen canvas with a white back buffer of the size, and the block it is read into.
class OffscreenImage {
public:
    bool Create(int64_t width, int64_t height, bool bottomUp) {
        if (!ImageSizeAllowed(width, height, 24)) return false;
        const size_t stride = size_t(DibStride(width, 24));
        dib_ = PackedDib::Allocate(kDibHeaderSize + stride * size_t(height));
        if (!dib_) return false;
        WriteDibHeader(dib_.Data(), int32_t(width), bottomUp ? int32_t(height) : -int32_t(height),
                       24, uint32_t(stride * size_t(height)));
        screen_.AttachDC(screenDc_.get());
        memory_.CreateMemoryDC(screenDc_.get());
        if (!memory_.CreateBackBuffer(screen_, int32_t(width), int32_t(height))) return false;
        const COLORREF white = Rgb(255, 255, 255);
        memory_.SelectFillPattern(FORMAT_PAT_SOLID, white, white);
        memory_.FillRect({0, 0, int32_t(width) - 1, int32_t(height) - 1});
        height_ = uint32_t(height);
        return true;
    }
    CCanvas& Canvas() { return memory_; }
    PackedDib& Finish() {
        if (!memory_.GetDibBits(dib_, height_)) dib_.Reset();
        memory_.DeleteMemoryDC();
        return dib_;
    }

private:
    std::unique_ptr<CDeviceContext> screenDc_ = CDeviceContext::ForScreen();
    CCanvas screen_;
    CCanvas memory_;
    PackedDib dib_;
    uint32_t height_ = 0;
};

// An unknown format is 6; a codec that fails reports its own code (a bad gamma is 54).
ErrorCode Encode(const PackedDib& dib, uint8_t format, double quality, std::vector<uint8_t>& out) {
    ErrorCode error = kErrorNone;
    bool ok = false;
    switch (format) {
    case kImageFormatJpeg:
        // No number counts as 0, the default quality.
        ok = SaveJpeg(dib, out, uint8_t(std::isnan(quality) ? 0 : std::clamp(quality, 0.0, 255.0)),
                      &error);
        break;
    case kImageFormatPng:
        ok = SavePng(dib, out, quality, &error);
        break;
    case kImageFormatDib:
        out.assign(dib.Data(), dib.Data() + dib.Size());
        return kErrorNone;
    default:
        return kErrorImageFormat;
    }
    return ok ? ErrorCode(kErrorNone) : ErrorOr(error, kErrorImageFormat);
}

bool EncodeAndWrite(CWorkbook& workbook, const PackedDib& dib, uint8_t format, double quality,
                    const char* path) {
    std::vector<uint8_t> bytes;
    if (const ErrorCode error = Encode(dib, format, quality, bytes)) {
        workbook.error = error;
        return false;
    }
    if (bytes.size() > size_t(INT32_MAX)) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    // Held, linked and read-only targets are treated as every save treats them.
    const ErrorCode error = WriteSaveTarget(path, [&bytes](CFileStream& file) {
        return file.Write(bytes.data(), int32_t(bytes.size()));
    });
    if (error) workbook.error = error;
    return error == kErrorNone;
}

} // namespace

CWorksheet* FindWorksheetByPath(CWorkbook& workbook, const char* path) {
    const std::string wanted = Upper(path ? path : "");
    std::string candidate;
    for (CTreeItem* p = workbook.tree.first; p; p = p->next) {
        if (!p->IsWorksheet()) continue;
        if (BuildTreeItemPath(p, candidate, false) && Upper(candidate) == wanted)
            return AsWorksheet(p);
    }
    return nullptr;
}

bool RenderRangeToBitmap(CWorkbook& workbook, const char* sheetPath, const CellRange& range,
                         const char* filePath, uint8_t format, double quality, ZoomPair zoom) {
    CWorksheet* sheet = FindWorksheetByPath(workbook, sheetPath);
    if (!sheet) {
        workbook.error = kErrorPathNotFound;
        return false;
    }
    if ((!workbook.evalContext && !AttachEvalContext(workbook)) || range.c1 > range.c2 ||
        range.r1 > range.r2 || range.c2 >= kMaxColumns || range.r2 >= kMaxRows) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    int64_t height = 0, width = 0;
    {
        auto screenDc = CDeviceContext::ForScreen();
        CCanvas screen;
        screen.AttachDC(screenDc.get());
        height = GetHeadingRowHeight(screen, 100) + 2;
        width = GetNumberWidth(screen, range.r2 + 1, 100) + 2;
    }
    for (uint32_t r = range.r1; r <= range.r2 && height <= kMaxImageSide; ++r)
        height += GetRowHeight(*sheet, r, zoom[1]) + 1;
    for (uint32_t c = range.c1; c <= range.c2 && width <= kMaxImageSide; ++c)
        width += GetColumnWidth(*sheet, uint16_t(c), zoom[0]) + 1;
    OffscreenImage image;
    if (!image.Create(width, height, false)) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    // The range is painted with nothing pinned.
    const CellRef pinned = sheet->view.freezed;
    sheet->view.freezed.flags = 0;
    CCellDisplay display(*workbook.evalContext, workbook.showFormulas != 0);
    PaintSheet(workbook, display, image.Canvas(), {0, 0, int32_t(width) - 3, int32_t(height) - 3},
               *sheet, range.r1, uint16_t(range.c1), zoom, DrawSheetContainers);
    sheet->view.freezed = pinned;
    return EncodeAndWrite(workbook, image.Finish(), format, quality, filePath);
}

bool RenderContainerToBitmap(CWorkbook& workbook, const char* sheetPath, uint16_t containerId,
                             const char* filePath, uint8_t format, double quality, ZoomPair zoom) {
    CWorksheet* sheet = FindWorksheetByPath(workbook, sheetPath);
    if (!sheet) {
        workbook.error = kErrorPathNotFound;
        return false;
    }
    CContainer* c = FindContainer(*sheet, containerId);
    if (!c) {
        workbook.error = kErrorContainerNotFound;
        return false;
    }
    // The size the container has on the sheet at the zoom.
    const auto scaled = [](int32_t v, uint16_t z) { return int64_t(v) * z / 100; };
    const ContainerSettings& s = c->settings;
    const int64_t width = scaled(s.right, zoom[0]) - scaled(s.left, zoom[0]) + 1;
    const int64_t height = scaled(s.bottom, zoom[1]) - scaled(s.top, zoom[1]) + 1;
    OffscreenImage image;
    if (!image.Create(width, height, format == kImageFormatDib)) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    PaintContainer(workbook, *c, image.Canvas(), {0, 0, int32_t(width) - 1, int32_t(height) - 1},
                   zoom[0], zoom[1]);
    return EncodeAndWrite(workbook, image.Finish(), format, quality, filePath);
}

} // namespace vl
