#pragma once
// A device context in the manner the drawing code expects of one: a current font, pen,
// brush, text colour, background mode and colour, text alignment, pen position and clip
// region, kept here and saved and restored as a whole, over a QPainter on an image, a
// picture or a PDF writer. A context without a device only measures text.

#include "platform/gui/gdi.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QPaintDevice;

namespace vl {

class CDeviceContext {
public:
    // Draws into the image (which must outlive the context) at 96 dots per inch. The
    // inverting raster operations need an image of Format_RGB32 or Format_ARGB32.
    static std::unique_ptr<CDeviceContext> ForImage(QImage& image);
    // Draws into a picture, a PDF writer or any other device at its own resolution.
    static std::unique_ptr<CDeviceContext> ForDevice(QPaintDevice& device);
    // Measures text at 96 dots per inch and draws nothing.
    static std::unique_ptr<CDeviceContext> ForScreen();

    CDeviceContext(const CDeviceContext&) = delete;
    CDeviceContext& operator=(const CDeviceContext&) = delete;
    virtual ~CDeviceContext();

    // A memory context like this one: it draws once a bitmap is selected into it.
    std::unique_ptr<CDeviceContext> CreateCompatible() const;

    // Selecting returns what was selected before.
    DcFont SelectFont(const DcFont& font);
    DcPen SelectPen(const DcPen& pen);
    DcBrush SelectBrush(const DcBrush& brush);
    // Only a memory context takes a bitmap; elsewhere the current one stays and is returned.
    DcBitmap SelectBitmap(const DcBitmap& bitmap);
    const DcFont& CurrentFont() const { return state_.font; }
    const DcPen& CurrentPen() const { return state_.pen; }
    const DcBrush& CurrentBrush() const { return state_.brush; }
    const DcBitmap& CurrentBitmap() const { return bitmap_; }

    // Each returns the previous value.
    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    int SetBkMode(int mode);
    uint32_t SetTextAlign(uint32_t align);
    COLORREF GetTextColor() const { return state_.textColor; }
    int GetBkMode() const { return state_.bkMode; }
    uint32_t GetTextAlign() const { return state_.textAlign; }

    // The level of the saved state, 0 when it could not be saved.
    int SaveDC();
    // A negative level counts back from the newest saved state.
    bool RestoreDC(int level);
    // Right and bottom are outside the clip.
    bool IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Takes the box out of the clip (right and bottom outside it); without a clip the
    // device's whole surface is the clip it is taken from. False without a device.
    bool ExcludeClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    // The shapes are virtual so that a test context can record them.
    virtual void MoveTo(int32_t x, int32_t y);
    // Draws to the point without its last pixel and moves there.
    virtual bool LineTo(int32_t x, int32_t y);
    virtual bool Polygon(const DcPoint* points, int count);
    // The box excludes right and bottom.
    virtual bool Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    virtual bool SetPixelV(int32_t x, int32_t y, COLORREF color);
    virtual bool PatBlt(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t rop);
    // Copies the image over the box at its size, nearest pixel, whatever it covered before.
    bool StretchImage(int32_t left, int32_t top, int32_t width, int32_t height,
                      const QImage& image);
    // Fills the box from (x1, y1) up to, not including, (x2, y2), from colour `from` to `to`.
    bool GradientFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF from,
                          COLORREF to, bool vertical);

    // Windows-1252 text in the current font: advance width and ascent plus descent.
    virtual bool GetTextExtent(std::string_view text, DcSize& size);
    // Draws a line of Windows-1252 text at the reference point of the text alignment.
    virtual bool TextOut(int32_t x, int32_t y, std::string_view text);

    int LogPixelsX() const { return dpiX_; }
    int LogPixelsY() const { return dpiY_; }
    int BitsPixel() const { return 32; }
    // True when something can be drawn on this context.
    bool CanDraw() const { return painter_ != nullptr; }

protected:
    CDeviceContext(int dpiX, int dpiY, bool memory);

private:
    struct State {
        DcFont font;
        DcPen pen;
        DcBrush brush;
        COLORREF textColor = 0;
        COLORREF bkColor = Rgb(255, 255, 255);
        int bkMode = OPAQUE;
        uint32_t textAlign = TA_LEFT | TA_TOP;
        DcPoint position;
        std::optional<QRegion> clip;
    };

    bool Begin(QPaintDevice& device);
    QGlyphRun GlyphRun(std::string_view text) const;
    void End();
    void ApplyClip();
    void UsePen(const DcPen& pen);
    // False for a null brush, which paints nothing.
    bool UseBrush(const DcBrush& brush);
    bool UseBrushOnPainter(const DcBrush& brush);
    // Draws a small solid polygon straight into the image being painted, where that gives
    // the painter's own pixels; false when the painter has to draw it.
    bool SolidPolygonIntoImage(const DcPoint* points, int count);

    std::unique_ptr<QPainter> painter_;
    // What was last set on the painter, so that an unchanged pen or brush is not set again.
    bool penApplied_ = false;
    DcPen appliedPen_;
    bool brushApplied_ = false;
    bool brushUsable_ = false;
    DcBrush appliedBrush_;
    DcBitmap bitmap_;
    bool memory_ = false;
    int dpiX_;
    int dpiY_;
    State state_;
    std::vector<State> saved_;
};

// The logical font a context starts with.
LogFont StockLogFont();

} // namespace vl
