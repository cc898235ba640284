#pragma once
// The derived records of a chart, kept in its paged lists and tables: series points and
// labels, the vertices and faces of the 3D scene, the walls and the axis bands. They are
// rebuilt from the data and the layout and never stored.

#include "platform/core/screen.h"

#include <cstdint>

namespace vl {

class CChartSeries;

// One value of a series (point lists, 16-byte items).
enum : uint8_t {
    kPointPositive = 1,
    kPointNegative = 2,
    kPointZero = 4,
    kPointOutside = 8, // outside the data range
    kPointNoValue = 16,
};
struct ChartPoint {
    double value = 0;
    float position = 0; // on the value axis: 0 at its bottom, 1 at its top
    uint8_t flags = kPointNoValue;
};
static_assert(sizeof(ChartPoint) == 16);

// One category label of a series (label lists, 44-byte items).
constexpr int kChartLabelSize = 43;
struct ChartLabel {
    char text[kChartLabelSize] = {};
    uint8_t flags = kPointNoValue; // 16: no label
};
static_assert(sizeof(ChartLabel) == 44);

// A point of the layout (vertex list, 24-byte items): model coordinates from the builders,
// view coordinates from the projection.
struct ChartVertex {
    float viewX = 0, modelX = 0;
    float viewY = 0, modelY = 0;
    float viewZ = 0, modelZ = 0;
};
static_assert(sizeof(ChartVertex) == 24);

// One triangle of a 3D scene (face list, 52-byte items); the normal (b - a) x (c - b) points
// out of its solid.
struct ChartFace {
    uint32_t a = 0, b = 0, c = 0;
    uint32_t reference = 0; // the vertex whose distance orders the face
    COLORREF color = 0;
    uint8_t edges = 0; // bits 0-2: edges a-b, b-c, c-a outlined
    float distance = 0;
    float viewNormal[3] = {};
    float lightNormal[3] = {};
};
static_assert(sizeof(ChartFace) == 52);

// The XY wall, the floor and the YZ wall: four corners from `firstVertex` on, then the
// series-row separator lines, two vertices each.
enum ChartWall : uint8_t { kWallXY = 0, kWallFloor = 1, kWallYZ = 2 };
constexpr int kChartWalls = 3;
struct WallRecord {
    uint8_t built = 0;
    uint8_t shown = 0;
    uint32_t firstVertex = 0;
    uint32_t lineCount = 0;
    float normal[3] = {};
};

// The grid lines of one axis on one wall: from `firstVertex` on, two vertices a line, the
// major lines, then the minor ones, then one line per user line whose flag is set.
enum GridPlane : uint8_t { kPlaneXY = 0, kPlaneYZ = 1, kPlaneFloor = 2 };
constexpr int kChartGridLineSets = 33;
struct GridLineSet {
    uint8_t plane = kPlaneXY;
    CChartSeries* series = nullptr; // not owned
    uint32_t firstVertex = 0;
    uint32_t majorCount = 0, minorCount = 0;
    uint8_t userFlags[16] = {};
};

// An axis band: four corners from `firstVertex` on, then the tick segments, two vertices each.
constexpr int kChartAxes = 33;
struct AxisRecord {
    uint8_t side = 0;
    CChartSeries* series = nullptr; // not owned
    uint32_t firstVertex = 0;
    uint32_t majorTicks = 0, minorTicks = 0;
    uint32_t labelWidth = 0, labelHeight = 0;
    uint32_t titleWidth = 0, titleHeight = 0;
    uint32_t extent = 0;
    float normal[3] = {};
};

} // namespace vl
