#include "render/canvas.h"

#include "platform/gui/dcwindow.h"

#include <cstring>

namespace vl {

namespace {

int32_t FontWeight(uint8_t code) {
    switch (code) {
    case 1:
        return FW_THIN;
    case 2:
        return FW_BOLD;
    case 3:
        return FW_HEAVY;
    default:
        return FW_NORMAL;
    }
}

uint8_t CharacterSet(uint8_t code) {
    static const uint8_t kSets[17] = {1,   0,   186, 136, 238, 134, 161, 129, 77,
                                      255, 204, 128, 2,   162, 177, 178, 222};
    return code < 17 && code != 0 ? kSets[code] : DEFAULT_CHARSET;
}

uint8_t FontFamily(uint8_t code) {
    static const uint8_t kFamilies[6] = {FF_DONTCARE, FF_SWISS,  FF_MODERN,
                                         FF_ROMAN,    FF_SCRIPT, FF_DECORATIVE};
    return code < 6 ? kFamilies[code] : FF_DONTCARE;
}

// Pen style and width of a line code; false for codes past the table.
bool PenOf(uint8_t line, uint16_t zoom, DcPen& pen) {
    static const uint32_t kStyles[6] = {PS_NULL, PS_SOLID,   PS_DOT,
                                        PS_DASH, PS_DASHDOT, PS_DASHDOTDOT};
    if (line <= FORMAT_LINE_DASH_DOTDOT) {
        pen.style = kStyles[line];
        pen.width = 0;
        return true;
    }
    if (line > FORMAT_LINE_DOUBLE) return false;
    pen.style = PS_SOLID;
    const int32_t factor = line == FORMAT_LINE_SOLID_1 ? 1 : line == FORMAT_LINE_SOLID_2 ? 2 : 3;
    pen.width = int32_t(zoom) * factor / 100;
    return true;
}

} // namespace

void InflateRectBy(DcRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    rect.left -= left;
    rect.top -= top;
    rect.right += right;
    rect.bottom += bottom;
}

void DeflateRectBy(DcRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (rect.left + left <= rect.right - right) {
        rect.left += left;
        rect.right -= right;
    } else {
        rect.left = rect.right = (rect.left + rect.right) / 2;
    }
    if (rect.top + top <= rect.bottom - bottom) {
        rect.top += top;
        rect.bottom -= bottom;
    } else {
        rect.top = rect.bottom = (rect.top + rect.bottom) / 2;
    }
}

CCanvas::CCanvas() {
    pixelsX_ = pixelsY_ = kScreenDpi;
}

CCanvas::~CCanvas() {
    RestoreObjects();
    Release();
}

void CCanvas::Detach() {
    RestoreObjects();
    if (ownsDc_) Release();
}

CDeviceContext* CCanvas::AttachWindow(CDcWindow* window) {
    Detach();
    if (window) {
        dc_ = window->GetDC();
    } else {
        ownedDc_ = CDeviceContext::ForScreen();
        dc_ = ownedDc_.get();
    }
    window_ = window;
    ownsDc_ = dc_ != nullptr;
    print_ = preview_ = false;
    return dc_;
}

void CCanvas::AttachDC(CDeviceContext* dc) {
    Detach();
    window_ = nullptr;
    dc_ = dc;
    ownsDc_ = print_ = preview_ = false;
}

CDeviceContext* CCanvas::CreateMemoryDC(CDeviceContext* dc) {
    Detach();
    ownedDc_ = dc ? dc->CreateCompatible() : CDeviceContext::ForScreen()->CreateCompatible();
    dc_ = ownedDc_.get();
    window_ = nullptr;
    ownsDc_ = print_ = preview_ = false;
    return dc_;
}

void CCanvas::DeleteMemoryDC() {
    RestoreObjects();
    if (dc_ == ownedDc_.get()) ownedDc_.reset();
    dc_ = nullptr;
    window_ = nullptr;
    ownsDc_ = false;
}

void CCanvas::Release() {
    if (ownsDc_ && dc_) {
        if (window_)
            window_->ReleaseDC(dc_);
        else if (dc_ == ownedDc_.get())
            ownedDc_.reset();
        dc_ = nullptr;
    }
    ownsDc_ = false;
    window_ = nullptr;
}

void CCanvas::AttachSavedDC(const CCanvas& other) {
    AttachDC(other.dc_);
    print_ = other.print_;
    preview_ = other.preview_;
    align_.horizontal = other.align_.horizontal;
    align_.vertical = other.align_.vertical;
    if (dc_) dc_->SaveDC();
}

void CCanvas::DetachSavedDC() {
    RestoreObjects();
    if (dc_) dc_->RestoreDC(-1);
    dc_ = nullptr;
}

void CCanvas::SetPrintFlags(bool print, bool preview) {
    print_ = print;
    preview_ = print && preview;
}

void CCanvas::RestoreObjects() {
    if (!dc_) return;
    if (font_.saved) dc_->SelectFont(font_.initial);
    font_ = {};
    if (pen_.saved) dc_->SelectPen(pen_.initial);
    pen_ = {};
    if (brush_.saved) dc_->SelectBrush(brush_.initial);
    brush_ = {};
    if (bitmap_.saved) dc_->SelectBitmap(bitmap_.initial);
    bitmap_ = {};
    if (align_.saved) dc_->SetTextAlign(align_.initial);
    align_.saved = false;
    if (bkMode_.saved) dc_->SetBkMode(bkMode_.initial);
    bkMode_ = {};
    if (textColor_.saved) dc_->SetTextColor(textColor_.initial);
    textColor_ = {};
}

bool CCanvas::SelectFont(const FontRecord& record, int16_t angle, uint16_t zoom) {
    if (!dc_) return false;
    if (font_.created && FontRecordEquals(record, fontRecord_) && angle == fontAngle_ &&
        zoom == fontZoom_)
        return true;
    const FontRecord& fallback = DefaultFontRecord();
    LogFont log;
    const int32_t size = record.size ? record.size : fallback.size;
    log.height = -(MulDiv(size, kScreenDpi, 72) * int32_t(zoom) / 100);
    log.escapement = int32_t(angle) * 10;
    log.weight = FontWeight(record.weight);
    log.italic = record.italic != 0;
    log.underline = record.underline != 0;
    log.strikeOut = record.strikeout != 0;
    log.charSet = CharacterSet(record.charSet);
    log.pitchAndFamily = FontFamily(record.family);
    log.faceName = record.faceName[0] ? record.faceName : fallback.faceName;
    if (font_.created) dc_->SelectFont(font_.initial);
    font_.created = false;
    if (!font_.saved) {
        font_.initial = dc_->CurrentFont();
        font_.saved = true;
    }
    font_.current = DcFont::Create(log);
    dc_->SelectFont(font_.current);
    font_.created = true;
    fontRecord_ = record;
    fontAngle_ = angle;
    fontZoom_ = zoom;
    return true;
}

bool CCanvas::SelectBrush(const DcBrush& brush) {
    dc_->SelectBrush(brush);
    brush_.current = brush;
    brush_.created = true;
    return true;
}

bool CCanvas::SetPen(uint8_t line, COLORREF color, uint16_t zoom) {
    if (!dc_) return false;
    if (pen_.created) dc_->SelectPen(pen_.initial);
    pen_.created = false;
    if (!pen_.saved) {
        pen_.initial = dc_->CurrentPen();
        pen_.saved = true;
    }
    DcPen pen;
    pen.color = color;
    if (!PenOf(line, zoom, pen)) return false;
    dc_->SelectPen(pen);
    pen_.current = pen;
    pen_.created = true;
    return true;
}

bool CCanvas::SetBorderPen(const BorderLine& border, uint16_t zoom) {
    const COLORREF color = border.colorGiven ? border.color : GetSystemColor(kColorWindowText);
    return SetPen(border.style, color, zoom);
}

bool CCanvas::CreateBackBuffer(const CCanvas& other, int32_t width, int32_t height) {
    if (!dc_) return false;
    if (bitmap_.created) dc_->SelectBitmap(bitmap_.initial);
    bitmap_.created = false;
    if (!bitmap_.saved) {
        bitmap_.initial = dc_->CurrentBitmap();
        bitmap_.saved = true;
    }
    if (!other.dc_ || width <= 0 || height <= 0) return false;
    auto image = std::make_shared<QImage>(width, height, QImage::Format_RGB32);
    if (image->isNull()) return false;
    dc_->SelectBitmap(image);
    bitmap_.current = image;
    bitmap_.created = true;
    return true;
}

bool CCanvas::SetTextAlign(uint32_t horizontal, uint32_t vertical) {
    if (!dc_) return false;
    uint32_t align = horizontal == kAlignCenter  ? TA_CENTER
                     : horizontal == kAlignRight ? TA_RIGHT
                                                 : TA_LEFT;
    if (vertical == kAlignBaseline) align |= TA_BASELINE;
    const uint32_t previous = dc_->SetTextAlign(align);
    if (!align_.saved) {
        align_.initial = previous;
        align_.saved = true;
    }
    align_.horizontal = horizontal;
    align_.vertical = vertical;
    return true;
}

bool CCanvas::SetBkMode(uint32_t mode) {
    if (!dc_) return false;
    const int previous = dc_->SetBkMode(mode == 1 ? TRANSPARENT : OPAQUE);
    if (!bkMode_.saved) {
        bkMode_.initial = previous;
        bkMode_.saved = true;
    }
    bkMode_.set = true;
    bkMode_.current = mode;
    return true;
}

void CCanvas::SetTextColor(COLORREF color) {
    if (!dc_) return;
    const COLORREF previous = dc_->SetTextColor(color);
    if (!textColor_.saved) {
        textColor_.initial = previous;
        textColor_.saved = true;
    }
    textColor_.created = true;
    textColor_.current = color;
}

void CCanvas::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!dc_) return;
    dc_->MoveTo(x1, y1);
    dc_->LineTo(x2, y2);
}

void CCanvas::DrawPolyline(const DcPoint* points, int count) {
    if (!dc_ || count < 1) return;
    dc_->MoveTo(points[0].x, points[0].y);
    for (int i = 0; i < count; ++i) dc_->LineTo(points[i].x, points[i].y);
}

void CCanvas::DrawPolygon(const DcPoint* points, int count) {
    if (dc_) dc_->Polygon(points, count);
}

void CCanvas::DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (dc_) dc_->Ellipse(left, top, right, bottom);
}

void CCanvas::SetPixel(int32_t x, int32_t y) {
    if (dc_) dc_->SetPixelV(x, y, dc_->GetTextColor());
}

bool CCanvas::IntersectClip(const DcRect& rect) {
    return dc_ && dc_->IntersectClipRect(rect.left, rect.top, rect.right, rect.bottom);
}

bool CCanvas::ExcludeClip(const DcRect& rect) {
    return dc_ && dc_->ExcludeClipRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
}

} // namespace vl
