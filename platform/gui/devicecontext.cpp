#include "platform/gui/devicecontext.h"

#include "platform/gui/cosmeticline.h"
#include "platform/gui/solidpolygon.h"

#include <QLinearGradient>
#include <QPaintDevice>
#include <QPolygon>

namespace vl {

namespace {

// On and off pixels of the dashed one-pixel pens.
QList<qreal> DashPattern(uint32_t style) {
    switch (style) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

} // namespace

LogFont StockLogFont() {
    LogFont log;
    log.height = -13;
    log.weight = FW_BOLD;
    log.faceName = "Liberation Sans";
    return log;
}

CDeviceContext::CDeviceContext(int dpiX, int dpiY, bool memory)
    : memory_(memory), dpiX_(dpiX), dpiY_(dpiY) {
    state_.font = DcFont::Create(StockLogFont());
    state_.brush = DcBrush{DcBrush::kSolid, Rgb(255, 255, 255), nullptr};
}

CDeviceContext::~CDeviceContext() {
    End();
}

std::unique_ptr<CDeviceContext> CDeviceContext::ForImage(QImage& image) {
    std::unique_ptr<CDeviceContext> dc(new CDeviceContext(kScreenDpi, kScreenDpi, false));
    dc->Begin(image);
    return dc;
}

std::unique_ptr<CDeviceContext> CDeviceContext::ForDevice(QPaintDevice& device) {
    std::unique_ptr<CDeviceContext> dc(
        new CDeviceContext(device.logicalDpiX(), device.logicalDpiY(), false));
    dc->Begin(device);
    return dc;
}

std::unique_ptr<CDeviceContext> CDeviceContext::ForScreen() {
    return std::unique_ptr<CDeviceContext>(new CDeviceContext(kScreenDpi, kScreenDpi, false));
}

std::unique_ptr<CDeviceContext> CDeviceContext::CreateCompatible() const {
    return std::unique_ptr<CDeviceContext>(new CDeviceContext(dpiX_, dpiY_, true));
}

bool CDeviceContext::Begin(QPaintDevice& device) {
    End();
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device)) return false;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, false);
    painter->setBrushOrigin(0, 0);
    painter_ = std::move(painter);
    ApplyClip();
    return true;
}

void CDeviceContext::End() {
    if (painter_) painter_->end();
    painter_.reset();
    penApplied_ = brushApplied_ = false;
}

DcFont CDeviceContext::SelectFont(const DcFont& font) {
    DcFont old = state_.font;
    if (font) state_.font = font;
    return old;
}

DcPen CDeviceContext::SelectPen(const DcPen& pen) {
    DcPen old = state_.pen;
    state_.pen = pen;
    return old;
}

DcBrush CDeviceContext::SelectBrush(const DcBrush& brush) {
    DcBrush old = state_.brush;
    state_.brush = brush;
    return old;
}

DcBitmap CDeviceContext::SelectBitmap(const DcBitmap& bitmap) {
    DcBitmap old = bitmap_;
    if (!memory_) return old;
    End();
    bitmap_ = bitmap;
    if (bitmap_ && !bitmap_->isNull()) Begin(*bitmap_);
    return old;
}

COLORREF CDeviceContext::SetTextColor(COLORREF color) {
    COLORREF old = state_.textColor;
    state_.textColor = color;
    return old;
}

COLORREF CDeviceContext::SetBkColor(COLORREF color) {
    COLORREF old = state_.bkColor;
    state_.bkColor = color;
    return old;
}

int CDeviceContext::SetBkMode(int mode) {
    int old = state_.bkMode;
    state_.bkMode = mode == TRANSPARENT ? TRANSPARENT : OPAQUE;
    return old;
}

uint32_t CDeviceContext::SetTextAlign(uint32_t align) {
    uint32_t old = state_.textAlign;
    state_.textAlign = align;
    return old;
}

int CDeviceContext::SaveDC() {
    saved_.push_back(state_);
    return int(saved_.size());
}

bool CDeviceContext::RestoreDC(int level) {
    const int count = int(saved_.size());
    const int target = level < 0 ? count + level + 1 : level;
    if (target < 1 || target > count) return false;
    state_ = saved_[size_t(target - 1)];
    saved_.resize(size_t(target - 1));
    ApplyClip();
    return true;
}

bool CDeviceContext::IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    QRegion rect(QRect(left, top, std::max(0, right - left), std::max(0, bottom - top)));
    state_.clip = state_.clip ? state_.clip->intersected(rect) : rect;
    ApplyClip();
    return true;
}

bool CDeviceContext::ExcludeClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!painter_ || !painter_->device()) return false;
    const QRegion rect(QRect(left, top, std::max(0, right - left), std::max(0, bottom - top)));
    const QPaintDevice* device = painter_->device();
    const QRegion base =
        state_.clip ? *state_.clip : QRegion(0, 0, device->width(), device->height());
    state_.clip = base.subtracted(rect);
    ApplyClip();
    return true;
}

void CDeviceContext::ApplyClip() {
    if (!painter_) return;
    if (state_.clip && state_.clip->isEmpty())
        painter_->setClipRect(QRect(0, 0, 0, 0));
    else if (state_.clip)
        painter_->setClipRegion(*state_.clip);
    else
        painter_->setClipping(false);
}

void CDeviceContext::UsePen(const DcPen& pen) {
    // Shapes drawn one after another mostly share their pen: set it on the painter once.
    if (penApplied_ && appliedPen_.style == pen.style && appliedPen_.width == pen.width &&
        appliedPen_.color == pen.color)
        return;
    penApplied_ = true;
    appliedPen_ = pen;
    if (pen.style == PS_NULL) {
        painter_->setPen(Qt::NoPen);
        return;
    }
    QPen qpen(ToQColor(pen.color));
    if (pen.width <= 1) {
        // One-pixel lines: aliased, cosmetic, without their last pixel.
        qpen.setWidth(0);
        qpen.setCapStyle(Qt::FlatCap);
        QList<qreal> dashes = DashPattern(pen.style);
        if (!dashes.isEmpty()) qpen.setDashPattern(dashes);
    } else {
        qpen.setWidth(pen.width);
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    }
    painter_->setPen(qpen);
}

bool CDeviceContext::UseBrush(const DcBrush& brush) {
    if (brushApplied_ && appliedBrush_.kind == brush.kind && appliedBrush_.color == brush.color &&
        appliedBrush_.pattern == brush.pattern)
        return brushUsable_;
    brushApplied_ = true;
    appliedBrush_ = brush;
    brushUsable_ = UseBrushOnPainter(brush);
    return brushUsable_;
}

bool CDeviceContext::UseBrushOnPainter(const DcBrush& brush) {
    switch (brush.kind) {
    case DcBrush::kSolid:
        painter_->setBrush(ToQColor(brush.color));
        return true;
    case DcBrush::kPattern:
        if (brush.pattern) {
            painter_->setBrush(QBrush(*brush.pattern));
            return true;
        }
        [[fallthrough]];
    default:
        painter_->setBrush(Qt::NoBrush);
        return false;
    }
}

void CDeviceContext::MoveTo(int32_t x, int32_t y) {
    state_.position = {x, y};
}

bool CDeviceContext::LineTo(int32_t x, int32_t y) {
    const DcPoint from = state_.position;
    state_.position = {x, y};
    if (!painter_) return false;
    if (state_.pen.style == PS_NULL || (from.x == x && from.y == y)) return true;
    if (state_.pen.width <= 1) {
        DrawCosmeticLine(*painter_, from, {x, y}, state_.pen);
        return true;
    }
    UsePen(state_.pen);
    painter_->drawLine(from.x, from.y, x, y);
    return true;
}

bool CDeviceContext::Polygon(const DcPoint* points, int count) {
    if (!painter_ || count < 2) return false;
    if (SolidPolygonIntoImage(points, count)) return true;
    QPolygon polygon(count);
    for (int i = 0; i < count; ++i) polygon.setPoint(i, points[i].x, points[i].y);
    UsePen(state_.pen);
    UseBrush(state_.brush);
    painter_->drawPolygon(polygon, Qt::OddEvenFill);
    return true;
}

bool CDeviceContext::SolidPolygonIntoImage(const DcPoint* points, int count) {
    SolidPolygonStyle style;
    const DcPen& pen = state_.pen;
    if (pen.style == PS_SOLID && pen.width <= 1) {
        style.outline = true;
        style.outlineColor = ToQColor(pen.color).rgb();
    } else if (pen.style != PS_NULL) {
        return false;
    }
    const DcBrush& brush = state_.brush;
    if (brush.kind == DcBrush::kSolid) {
        style.fill = true;
        style.fillColor = ToQColor(brush.color).rgb();
    } else if (brush.kind != DcBrush::kNull) {
        return false;
    }
    QPaintDevice* device = painter_->device();
    if (!device || device->devType() != QInternal::Image) return false;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
         format != QImage::Format_ARGB32_Premultiplied) ||
        image->devicePixelRatio() != 1.0)
        return false;
    if (painter_->compositionMode() != QPainter::CompositionMode_SourceOver ||
        painter_->opacity() != 1.0 || painter_->transform().type() != QTransform::TxNone ||
        painter_->testRenderHint(QPainter::Antialiasing))
        return false;
    // The painter writes into the image's memory as it stands: no detaching copy.
    const PixelRows rows{const_cast<uint8_t*>(image->constBits()), image->bytesPerLine(),
                         image->width(), image->height()};
    if (!state_.clip) return DrawSolidPolygon(rows, image->rect(), points, count, style);
    for (const QRect& rect : *state_.clip)
        if (DrawSolidPolygon(rows, rect, points, count, style)) return true;
    return false;
}

bool CDeviceContext::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!painter_) return false;
    UsePen(state_.pen);
    UseBrush(state_.brush);
    painter_->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    return true;
}

bool CDeviceContext::SetPixelV(int32_t x, int32_t y, COLORREF color) {
    if (!painter_) return false;
    painter_->fillRect(QRect(x, y, 1, 1), ToQColor(color));
    return true;
}

bool CDeviceContext::PatBlt(int32_t left, int32_t top, int32_t width, int32_t height,
                            uint32_t rop) {
    if (!painter_) return false;
    if (width <= 0 || height <= 0) return true;
    const QRect rect(left, top, width, height);
    if (rop == DSTINVERT) {
        painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_->fillRect(rect, Qt::black);
    } else {
        painter_->setPen(Qt::NoPen);
        penApplied_ = false;
        if (!UseBrush(state_.brush)) return true;
        painter_->setCompositionMode(rop == PATINVERT ? QPainter::RasterOp_SourceXorDestination
                                                      : QPainter::CompositionMode_SourceOver);
        painter_->fillRect(rect, painter_->brush());
    }
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}

bool CDeviceContext::StretchImage(int32_t left, int32_t top, int32_t width, int32_t height,
                                  const QImage& image) {
    if (!painter_) return false;
    if (width <= 0 || height <= 0 || image.isNull()) return true;
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_->drawImage(QRect(left, top, width, height), image);
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}

bool CDeviceContext::GradientFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF from,
                                      COLORREF to, bool vertical) {
    if (!painter_) return false;
    if (x2 <= x1 || y2 <= y1) return true;
    // Pixel row (column) k of n takes the colour k / n of the way, as the platform's
    // gradient fill does: the gradient runs between pixel centres shifted by half a pixel.
    QLinearGradient gradient = vertical ? QLinearGradient(0, y1 + 0.5, 0, y2 + 0.5)
                                        : QLinearGradient(x1 + 0.5, 0, x2 + 0.5, 0);
    gradient.setColorAt(0, ToQColor(from));
    gradient.setColorAt(1, ToQColor(to));
    painter_->fillRect(QRect(x1, y1, x2 - x1, y2 - y1), QBrush(gradient));
    return true;
}

} // namespace vl
