#pragma once
// The one drawing surface: a small object over one device context that creates and
// selects the fonts, pens and brushes drawing needs, keeps the context's first objects and
// state and puts them back when it is released. Painting, headings, metrics and export
// each put one on the stack for one drawing operation.

#include "model/stylerecords.h"
#include "platform/core/julia.h"
#include "platform/core/packeddib.h"
#include "platform/gui/devicecontext.h"
#include "values/numfmt_render.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace vl {

class CDcWindow;
class IClock;

// What the &-codes of a header or footer take their texts from; a missing one inserts
// nothing. The page record's words: 0 for &n, 1 for &m, then the pages &p prints up to a 0.
struct HeaderFooterSources {
    const char* fileName = nullptr; // as printed, in the program's code page
    const char* filePath = nullptr; // the file &g and &z examine, as the file system names it
    const char* extra = nullptr;
    const uint32_t* pages = nullptr;
    size_t pageWords = 0;
    const IClock* clock = nullptr; // the system clock when null
};

// Alignment codes shared with the style records.
enum AlignCode : uint32_t {
    kAlignLeft = 1,
    kAlignCenter = 2,
    kAlignRight = 3,
    kAlignTop = 4,
    kAlignMiddle = 5,
    kAlignBaseline = 6,
    kAlignBottom = 7,
};

// Cell flags of a rendered list as the canvas reads them.
constexpr uint32_t kDrawnCells = 0x0018003D;
constexpr uint32_t kWidthOnlyCells = 0x00000080;
constexpr uint32_t kMeasuredCells = 0x001800BD;
constexpr uint32_t kFillCells = 0x00000100;

// The largest rendered list, and the longest plain text drawn in a rectangle.
constexpr uint16_t kMaxRenderedCells = 1025;
constexpr size_t kMaxRectText = 1024;

class CCanvas {
public:
    CCanvas();
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    // A null window is the screen: the canvas then measures text and draws nothing.
    CDeviceContext* AttachWindow(CDcWindow* window);
    void AttachDC(CDeviceContext* dc);
    CDeviceContext* CreateMemoryDC(CDeviceContext* dc);
    void DeleteMemoryDC();
    void Release();
    void RestoreObjects();
    // Attaches this fresh canvas to the other's context with its print flags and alignment
    // codes and saves the context's state; DetachSavedDC ends the pair.
    void AttachSavedDC(const CCanvas& other);
    void DetachSavedDC();

    CDeviceContext* DC() const { return dc_; }
    void SetPrintFlags(bool print, bool preview);
    bool IsPrinting() const { return print_; }

    bool SelectFont(const FontRecord& font, int16_t angle, uint16_t zoom);
    bool SelectFillPattern(uint8_t code, COLORREF patternColor, COLORREF backgroundColor);
    bool SelectFill(const InteriorFill& fill);
    bool CreateBackBuffer(const CCanvas& other, int32_t width, int32_t height);
    bool SetPen(uint8_t line, COLORREF color, uint16_t zoom);
    bool SetBorderPen(const BorderLine& border, uint16_t zoom);
    bool SetTextAlign(uint32_t horizontal, uint32_t vertical);
    bool SetBkMode(uint32_t mode);
    void SetTextColor(COLORREF color);
    uint32_t HorizontalAlign() const { return align_.horizontal; }
    uint32_t VerticalAlign() const { return align_.vertical; }

    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void DrawPolyline(const DcPoint* points, int count);
    void DrawPolygon(const DcPoint* points, int count);
    void DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void SetPixel(int32_t x, int32_t y);
    // Rectangles are inclusive: (0, 0, 9, 9) covers 10 x 10 pixels. Raster operation 0 is PATCOPY.
    bool FillRect(const DcRect& rect, uint32_t rop = 0);
    bool FillRectWithPattern(const DcRect& rect);
    // Right and bottom as given lie outside the clip.
    bool IntersectClip(const DcRect& rect);
    // Inclusive like FillRect: the whole rectangle leaves the clip.
    bool ExcludeClip(const DcRect& rect);

    // Expands the &-codes of a header or footer text into its left, centre and right parts
    // and draws them (headerfooter.cpp); the rectangle's bottom becomes its top plus the
    // tallest part. With `measureOnly` nothing is drawn.
    bool DrawHeaderFooter(DcRect& rect, std::string_view text, bool measureOnly,
                          const HeaderFooterSources& sources = {});

    // Pictures (canvas_image.cpp). Mode 1 stretches over the rectangle, 2 tiles it at
    // natural size, any other draws one copy at the scales; false for a block whose header
    // fails the check.
    bool DrawDib(int32_t left, int32_t top, int32_t right, int32_t bottom, const PackedDib& dib,
                 uint8_t mode, uint16_t scaleAcross, uint16_t scaleDown);
    // Copies the first `lines` scan lines of the back buffer into the block, in the form its
    // 24- or 32-bit header asks for; false without a back buffer or with a bad block.
    bool GetDibBits(PackedDib& dib, uint32_t lines) const;
    // Draws the Julia set over the rectangle: stretched from the cache when there is one,
    // else computed into it band by band, each band drawn as it is finished.
    void DrawFractal(const DcRect& rect, PackedDib& cache, const COLORREF palette[16],
                     const JuliaParams& params, ErrorCode* error);

    // Text in the current font (canvas_text.cpp, canvas_layout.cpp); texts are Windows-1252.
    bool MeasureText(std::string_view text, int32_t& width, int32_t& height);
    bool MeasureTextRun(const RenderedList& list, int32_t& width, int32_t& height, uint16_t first,
                        uint16_t count);
    bool WrapText(RenderedList& list, int32_t width);
    bool EllipsizeText(RenderedList& list, int32_t width);
    bool DrawTextLines(int32_t x, int32_t y, std::string_view text, double angle);
    bool DrawRotatedText(int32_t x, int32_t y, const RenderedList& list, int32_t width,
                         double angle);
    // An empty format code draws the text as plain lines.
    bool DrawTextInRect(int32_t x, int32_t y, std::string_view text, std::string_view formatCode,
                        int32_t width, double angle);

private:
    template <class T> struct Saved {
        bool saved = false;
        T initial{};
        bool created = false;
        T current{};
    };
    struct Alignment {
        bool saved = false;
        uint32_t initial = 0;
        uint32_t horizontal = 0;
        uint32_t vertical = 0;
    };
    struct ModeState {
        bool saved = false;
        int initial = 0;
        bool set = false;
        uint32_t current = 0;
    };

    void Detach();
    bool SelectBrush(const DcBrush& brush);
    bool FillGradient(const DcRect& rect, int32_t extra);
    int PatternScale() const;
    // Draws a run string at the point moved along by the alignment's share of `width`.
    bool PlaceRun(int32_t& x, int32_t& y, std::string_view text, int32_t width, double angle);
    bool CountFillCopies(uint8_t c, int32_t spare, char* run, size_t& copies);

    CDcWindow* window_ = nullptr;
    CDeviceContext* dc_ = nullptr;
    std::unique_ptr<CDeviceContext> ownedDc_; // the screen's or a memory context
    bool ownsDc_ = false;                     // given back to the window or dropped on release
    Saved<COLORREF> textColor_;
    Saved<DcFont> font_;
    FontRecord fontRecord_;
    int16_t fontAngle_ = 0;
    uint16_t fontZoom_ = 0;
    Saved<DcPen> pen_;
    Saved<DcBitmap> bitmap_;
    Saved<DcBrush> brush_;
    uint8_t patternCode_ = 0;
    COLORREF patternColor_ = 0;
    COLORREF backgroundColor_ = 0;
    ModeState bkMode_;
    Alignment align_;
    bool print_ = false;
    bool preview_ = false;
    int32_t pixelsX_ = kScreenDpi;
    int32_t pixelsY_ = kScreenDpi;
};

void InflateRectBy(DcRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Crossed margins collapse a pair of edges to their midpoint.
void DeflateRectBy(DcRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom);

// The 8 rows of the fill pattern's tile (leftmost pixel in the high bit), for codes 2 to 18;
// null for the others.
const uint8_t* FillPatternTile(uint8_t code);

} // namespace vl
