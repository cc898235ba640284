#pragma once
// 3D charts: the floor and the YZ wall beside the layout's XY wall, the solids of the series
// as triangles in model coordinates, the projection of the scene through the view matrix
// with its light and perspective, the depth order of the faces, and the drawing with flat
// shading from far to near.

#include "model/chart.h"

#include <cstdint>

namespace vl {

// The most faces one scene may hold (52 bytes each).
constexpr uint64_t kMaxChartFaces = uint64_t(1) << 22;

// The walls of a 3D chart beside the XY wall, each with its series-row separators and grid
// lines; false with error 27 when a vertex cannot be had.
bool BuildYZWall(CChart& chart, int32_t w, int32_t h);
bool BuildChartFloor(CChart& chart, int32_t w, int32_t h);

// The data series of the chart in slot order (at most 16); their count.
int CollectDataSeries(CChart& chart, CChartSeries* out[kChartSeries]);

// The faces of the data series, by the kind of the first one; false when a wall is missing
// or a vertex or face cannot be had.
bool Build3DFaces(CChart& chart);
bool Build3DColumnFaces(CChart& chart, CChartSeries* const* series, int count);
bool Build3DStackedColumnFaces(CChart& chart, CChartSeries* const* series, int count);
bool Build3DLineFaces(CChart& chart, CChartSeries* const* series, int count);
bool Build3DAreaFaces(CChart& chart, CChartSeries* const* series, int count);
bool Build3DStackedAreaFaces(CChart& chart, CChartSeries* const* series, int count);
bool Build3DPieFaces(CChart& chart, CChartSeries& series);

// Upper bounds of the faces and vertices the series' solids will take, counted before any
// is built.
struct SceneSize {
    uint64_t faces = 0;
    uint64_t vertices = 0;
};
SceneSize CountSceneSize(CChart& chart);
// Whether a 3D chart's scene stays below the face and vertex ceilings (any other chart does).
bool SceneFits(CChart& chart);

// The 3D part of a layout after the XY wall: the other walls, the axes unless the first data
// series is a 3D pie, then the faces; false with error 27.
bool Build3DScene(CChart& chart, int32_t w, int32_t h);
// Turns the centred model into view coordinates: view matrix (with the quarter turn of bar
// charts), light and normals, perspective, view normals and the depth order.
void ProjectChart3D(CChart& chart, int32_t w, int32_t h);

// The colour lit by the chart's light on a surface of normal (nx, ny, nz).
COLORREF ShadeColour(const CChart& chart, float nx, float ny, float nz, COLORREF colour);
// Orders the faces from the farthest to the nearest to the eye at (0, 0, 800), in place.
void DepthSortFaces(CChart& chart);

// Draws the laid-out scene (view coordinates on the device) on the chart's canvas; with
// `outlineOnly` the faces are drawn as their outlined edges.
void DrawChart3D(CChart& chart, bool outlineOnly);
// One wall with its separator lines and the grid lines of its plane.
void DrawChartWall(CChart& chart, int wall, uint8_t plane, bool outlineOnly);

} // namespace vl
