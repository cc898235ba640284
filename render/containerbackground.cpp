#include "render/containerbackground.h"

#include "render/canvas.h"
#include "render/imagesource.h"

namespace vl {

namespace {

void FillWithBorder(const CContainer& c, CCanvas& canvas, const DcRect& rect,
                    const InteriorFill* fill) {
    canvas.SetBorderPen(c.settings.border, 100);
    if (fill) {
        canvas.SelectFill(*fill);
    } else {
        const COLORREF window = GetSystemColor(kColorWindow);
        canvas.SelectFillPattern(FORMAT_PAT_SOLID, window, window);
    }
    canvas.FillRectWithPattern(rect);
}

void PaintPicture(CWorkbook& workbook, CContainer& c, CCanvas& canvas, const DcRect& rect,
                  uint16_t zoomAcross, uint16_t zoomDown) {
    const BackgroundRecord& b = c.settings.background;
    const PackedDib* picture = b.imagePath[0] ? LoadNamedImage(workbook, b.imagePath) : nullptr;
    if (picture) {
        canvas.DrawDib(rect.left, rect.top, rect.right, rect.bottom, *picture, b.imageView,
                       zoomAcross, zoomDown);
    } else {
        FillWithBorder(c, canvas, rect, nullptr);
        canvas.SelectFont(DefaultFontRecord(), 0, 100);
        canvas.SetTextColor(GetSystemColor(kColorWindowText));
        canvas.SetTextAlign(kAlignLeft, kAlignTop);
        canvas.SetBkMode(1);
        canvas.DrawTextLines(rect.left + c.settings.vertSpacing, rect.top + c.settings.horzSpacing,
                             b.imagePath, 0);
    }
    PaintItemBorders(c, canvas, rect);
}

void PaintFractal(CContainer& c, CCanvas& canvas, const DcRect& rect, uint16_t zoomAcross,
                  uint16_t zoomDown) {
    const BackgroundRecord& b = c.settings.background;
    if (!c.fractalCache) c.fractalCache = std::make_unique<FractalBitmap>();
    PackedDib& cache = c.fractalCache->dib;
    const JuliaParams params{b.zr, b.zi, b.minX, b.maxX, b.minY, b.maxY};
    ErrorCode error = kErrorNone;
    if (!cache && (zoomAcross != 100 || zoomDown != 100)) {
        const auto scaled = [](int32_t v, uint16_t z) { return int64_t(v) * z / 100; };
        int64_t w = scaled(rect.right, zoomAcross) - scaled(rect.left, zoomAcross) + 1;
        int64_t h = scaled(rect.bottom, zoomDown) - scaled(rect.top, zoomDown) + 1;
        JuliaRenderSize(w, h);
        if (w > 0 && h > 0 &&
            !RenderJuliaRows(cache, 0, uint32_t(h - 1), int32_t(w), int32_t(h), b.fractalColors,
                             params, &error))
            return;
    }
    canvas.DrawFractal(rect, cache, b.fractalColors, params, &error);
    PaintItemBorders(c, canvas, rect);
}

} // namespace

void PaintContainerBackground(CWorkbook& workbook, CContainer& c, CCanvas& canvas,
                              const DcRect& rect, uint16_t zoomAcross, uint16_t zoomDown) {
    switch (c.settings.background.kind) {
    case kBackgroundPattern:
        FillWithBorder(c, canvas, rect, &c.settings.background.pattern);
        break;
    case kBackgroundImage:
        PaintPicture(workbook, c, canvas, rect, zoomAcross, zoomDown);
        break;
    case kBackgroundFractal:
        PaintFractal(c, canvas, rect, zoomAcross, zoomDown);
        break;
    default:
        break;
    }
}

void DrawContainerCaptions(const CContainer& c, CCanvas& canvas, DcRect& rect, uint16_t zoomAcross,
                           uint16_t zoomDown, bool measureOnly) {
    const ContainerSettings& s = c.settings;
    if (!s.titleText[0][0] && !s.titleText[1][0]) return;
    const int32_t m = CaptionMargin(zoomAcross), n = CaptionMargin(zoomDown);
    rect.top += n;
    for (int i = 0; i < 2; ++i) {
        if (!s.titleText[i][0]) continue;
        const ColoredFont& font = s.titleFont[i];
        canvas.SelectFont(font.font, 0, zoomDown);
        canvas.SetTextColor(font.colorGiven ? font.color : GetSystemColor(kColorWindowText));
        canvas.SetBkMode(1);
        DcRect line = rect;
        DeflateRectBy(line, m, 0, m, 0);
        canvas.DrawHeaderFooter(line, s.titleText[i], measureOnly);
        rect.top = line.bottom;
    }
    rect.top += n;
}

void PaintItemBorders(const CContainer& c, CCanvas& canvas, const DcRect& r) {
    if (c.settings.border.style == FORMAT_LINE_NULL) return;
    canvas.SetBorderPen(c.settings.border, 100);
    canvas.DrawLine(r.left, r.top, r.right, r.top);
    canvas.DrawLine(r.right, r.top, r.right, r.bottom);
    canvas.DrawLine(r.right, r.bottom, r.left, r.bottom);
    canvas.DrawLine(r.left, r.bottom, r.left, r.top);
}

} // namespace vl
