#pragma once
// Helpers of the drawing tests: images to draw into, a device context of fixed text metrics,
// a workbook with one sheet and styles put by hand, and the golden-image comparison.

#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/workbook.h"
#include "platform/gui/devicecontext.h"
#include "render/canvas.h"
#include "render/sheetlayout.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vl::rendertest {

// A white RGB32 image.
QImage WhiteImage(int width, int height);

// Draws into a fresh white image through a canvas and hands the image back once the canvas
// has put its objects back.
template <class Draw> QImage Drawn(int width, int height, Draw draw) {
    QImage image = WhiteImage(width, height);
    {
        auto dc = CDeviceContext::ForImage(image);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        draw(canvas);
    }
    return image;
}

// A canvas on a screen context: it measures and selects, and draws nothing.
struct ScreenCanvas {
    std::unique_ptr<CDeviceContext> dc = CDeviceContext::ForScreen();
    CCanvas canvas;
    ScreenCanvas() { canvas.AttachDC(dc.get()); }
};

// Text of any character is `charWidth` wide per character and `height` high, so that
// layouts come out at exact, known sizes; text output is recorded instead of drawn.
class CFixedMetricsDC : public CDeviceContext {
public:
    struct Output {
        int32_t x, y;
        std::string text;
        uint32_t align;
        COLORREF color;
        int32_t fontHeight;
        int32_t escapement = 0; // tenths of a degree
    };

    CFixedMetricsDC(int32_t charWidth, int32_t height)
        : CDeviceContext(kScreenDpi, kScreenDpi, true), charWidth_(charWidth), height_(height) {}
    void SetMetrics(int32_t charWidth, int32_t height) {
        charWidth_ = charWidth;
        height_ = height;
    }
    bool GetTextExtent(std::string_view text, DcSize& size) override {
        size.cx = int32_t(text.size()) * charWidth_;
        size.cy = height_;
        return true;
    }
    bool TextOut(int32_t x, int32_t y, std::string_view text) override {
        outputs.push_back({x, y, std::string(text), GetTextAlign(), GetTextColor(),
                           CurrentFont().Log().height, CurrentFont().Log().escapement});
        return true;
    }

    // A drawn shape: the points of a line (two), polygon, ellipse box (two), pixel (one) or
    // filled box (two, right and bottom outside), with the pen and brush it was drawn with.
    enum class ShapeKind { kLine, kPolygon, kEllipse, kPixel, kFill };
    struct Shape {
        ShapeKind kind;
        std::vector<DcPoint> points;
        DcPen pen;
        DcBrush brush;
    };

    void MoveTo(int32_t x, int32_t y) override { at_ = {x, y}; }
    bool LineTo(int32_t x, int32_t y) override {
        Record(ShapeKind::kLine, {at_, {x, y}});
        at_ = {x, y};
        return true;
    }
    bool Polygon(const DcPoint* points, int count) override {
        Record(ShapeKind::kPolygon, std::vector<DcPoint>(points, points + count));
        return true;
    }
    bool Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        Record(ShapeKind::kEllipse, {{left, top}, {right, bottom}});
        return true;
    }
    bool SetPixelV(int32_t x, int32_t y, COLORREF color) override {
        Record(ShapeKind::kPixel, {{x, y}});
        shapes.back().pen.color = color;
        return true;
    }
    bool PatBlt(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t) override {
        Record(ShapeKind::kFill, {{left, top}, {left + width, top + height}});
        return true;
    }
    std::vector<const Shape*> ShapesOf(ShapeKind kind) const {
        std::vector<const Shape*> found;
        for (const Shape& s : shapes)
            if (s.kind == kind) found.push_back(&s);
        return found;
    }

    std::vector<Output> outputs;
    std::vector<Shape> shapes;

private:
    void Record(ShapeKind kind, std::vector<DcPoint> points) {
        shapes.push_back({kind, std::move(points), CurrentPen(), CurrentBrush()});
    }

    DcPoint at_;
    int32_t charWidth_;
    int32_t height_;
};

// A workbook with one worksheet and an evaluator to show its cells.
class SheetFixture {
public:
    SheetFixture();
    CWorkbook& Book() { return *book_; }
    CWorksheet& Sheet() { return *sheet_; }
    CCellDisplay& Display() { return display_; }
    CEvalContext& Context() { return ctx_; }

    void PutText(uint16_t column, uint32_t row, const std::string& text);
    void PutNumber(uint16_t column, uint32_t row, double value);
    void PutFormula(uint16_t column, uint32_t row, const char* formula, double result);
    // Appends the style (and its font, when given) and returns its index.
    uint16_t AddStyle(StyleRecord style, const FontRecord* font = nullptr);
    void SetStyle(uint16_t column, uint32_t row, uint16_t style);
    void SetStyle(uint16_t firstColumn, uint16_t lastColumn, uint32_t row, uint16_t style);
    // Paints the sheet from the given first row and column and puts the canvas's objects back.
    void PaintOn(CCanvas& canvas, const DcRect& area, uint32_t firstRow, uint16_t firstColumn,
                 ZoomPair zoom = {100, 100});

private:
    void Put(const CellBuffer& b);

    std::unique_ptr<CWorkbook> book_;
    CWorksheet* sheet_;
    CEvalContext ctx_;
    CCellDisplay display_;
};

// A canvas on a fixed-metrics context: characters 7 wide, lines 14 high.
class FixedCanvasTest : public ::testing::Test {
protected:
    FixedCanvasTest() { canvas_.AttachDC(&dc_); }
    CFixedMetricsDC dc_{7, 14};
    CCanvas canvas_;
};

// The same with a sheet to measure and paint.
class FixedSheetTest : public FixedCanvasTest, public SheetFixture {};

// A sheet painted with real fonts at 100 %: the row heading is 22 wide ("99" and 8), the
// heading band 15 high, columns 73 and rows 19 pixels with their gridlines. These are the
// gridlines left of column c and above row r.
inline int ColumnX(int c) {
    return 23 + 73 * c;
}
inline int RowY(int r) {
    return 16 + 19 * r;
}

FontRecord Font(const char* face, uint8_t size, uint8_t weight = 0);

// The share of 4 x 4 blocks whose mean grey levels differ by more than a quarter of the
// range (1 for images of different sizes): a rasteriser's smoothing and line widths stay
// below it, a moved text does not.
double Differing(const QImage& a, const QImage& b);

// Compares with tests/data/render/<name>.png. With VORLANE_UPDATE_GOLDENS=1 in the
// environment the golden is rewritten instead; on a mismatch the actual image is written
// beside the test executable.
::testing::AssertionResult MatchesGolden(const QImage& image, const std::string& name);

} // namespace vl::rendertest
