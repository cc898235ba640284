#pragma once
// What the face builders of 3D charts share: the frame the walls span, the base line of a
// series, and solids appended corner by corner and triangle by triangle.

#include "model/chart.h"

#include <cstdint>

namespace vl {

// The box of the walls in model coordinates: categories from x0 to x1, values from y0 up by
// `height`, depth from 0 to `depth`.
struct SceneFrame {
    float x0 = 0, x1 = 0, y0 = 0, height = 0, depth = 0;
};
// False unless all three walls are built.
bool ReadSceneFrame(CChart& chart, SceneFrame& frame);

ChartPoint PointAt(const CChartSeries& series, uint32_t index);
inline bool IsPlotted(const ChartPoint& p) {
    return !(p.flags & (kPointOutside | kPointNoValue));
}
inline bool IsAtOrAboveZero(const ChartPoint& p) {
    return p.flags & (kPointPositive | kPointZero);
}
// The largest point count of the series.
uint32_t CategoryCount(CChartSeries* const* series, int count);
// The axis position of the series' base line; false when it is no usable float.
bool BasePosition(const CChartSeries& series, float& base);
// Whether any data series of the chart is a 3D Bar.
bool HasBars3D(const CChart& chart);

// Appends one solid: a reference vertex first, then corners and faces in one colour.
class SolidBuilder {
public:
    SolidBuilder(CChart& chart, COLORREF color) : chart_(chart), color_(color) {}
    bool Reference(float x, float y, float z);
    // Appends a corner and gives its index.
    bool Corner(float x, float y, float z, uint32_t& index);
    bool Face(uint32_t a, uint32_t b, uint32_t c, uint8_t edges);
    void SetColor(COLORREF color) { color_ = color; }
    uint32_t ReferenceIndex() const { return reference_; }
    void SetReference(uint32_t index) { reference_ = index; }

private:
    CChart& chart_;
    COLORREF color_;
    uint32_t reference_ = 0;
};

// A prism between two ends at x = xa and x = xb: at each end a low and a high height, from
// depth zs at the back to ze at the front. Its corners: 1 to 4 at the front (low a, high a,
// high b, low b), 5 to 8 the same at the back.
struct Prism {
    float xa, xb, lowA, highA, lowB, highB, zs, ze;
};
enum PrismFace : uint8_t {
    kPrismFront = 1,
    kPrismBack = 2,
    kPrismTop = 4,
    kPrismBottom = 8,
    kPrismLeft = 16,
    kPrismRight = 32,
    kPrismSides = kPrismFront | kPrismBack | kPrismLeft | kPrismRight,
    kPrismAll = 63,
};
// Appends the eight corners and the faces asked for (two triangles each); `first` gets the
// index of corner 1.
bool AppendPrism(SolidBuilder& solid, const Prism& prism, uint8_t faces, uint32_t* first = nullptr);
// Faces of a prism whose corners start at `first`.
bool AppendPrismFaces(SolidBuilder& solid, uint32_t first, uint8_t faces);

} // namespace vl
