#pragma once
// The projection steps of a 3D chart's scene that work on its vertex list: centring the
// model, applying the view matrix, the light vector and the normals of walls, axis bands and
// faces. The chart layout runs them in order after it has built the scene and the page
// indexes of the vertex and face lists.

#include "model/chart.h"

#include <cstdint>
#include <cstring>

namespace vl {

// Items of the vertex and face lists; out of range, loads give default records and stores
// do nothing. Inline: a 3D layout reads and writes each vertex many times.
inline ChartVertex LoadVertex(CChart& chart, uint32_t index) {
    ChartVertex v;
    if (const void* p = chart.vertices.GetItem24(index)) std::memcpy(&v, p, sizeof v);
    return v;
}
inline void StoreVertex(CChart& chart, uint32_t index, const ChartVertex& v) {
    if (void* p = chart.vertices.GetItem24(index)) std::memcpy(p, &v, sizeof v);
}
inline ChartFace LoadFace(CChart& chart, uint32_t index) {
    ChartFace f;
    if (const void* p = chart.faces.GetItem52(index)) std::memcpy(&f, p, sizeof f);
    return f;
}
inline void StoreFace(CChart& chart, uint32_t index, const ChartFace& f) {
    if (void* p = chart.faces.GetItem52(index)) std::memcpy(p, &f, sizeof f);
}

// Shifts the model coordinates (the view ones without `useModel`) of every vertex so that
// the box round the corners of the built walls is centred on the origin. Nothing happens
// while the XY wall is not built.
void CenterChartModel(CChart& chart, bool useModel);
// view = m x model for every vertex (rows 0 to 2, columns 0 to 2 of the row-major matrix).
void ApplyViewMatrix(CChart& chart, const float matrix[16]);
// The unit normal (b - a) x (c - b) over the view coordinates; a degenerate triangle gives
// components that are not finite.
void ComputeTriangleNormal(CChart& chart, uint32_t a, uint32_t b, uint32_t c, float* nx, float* ny,
                           float* nz);
// The light vector from the two lamp angles, then the normals of the built walls, the axis
// bands and (as their lighting normals) the faces, over the view coordinates.
void ComputeLightAndNormals(CChart& chart);
// The same normals again after the perspective: walls, axis bands and the faces' view
// normals.
void ComputeViewNormals(CChart& chart);

} // namespace vl
