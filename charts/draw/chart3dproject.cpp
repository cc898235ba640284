#include "charts/draw/chart3d.h"
#include "charts/draw/chart3dsolid.h"
#include "model/chartprojection.h"
#include "model/viewtransform.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <utility>

namespace vl {

namespace {

bool AllFinite(const float* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

bool HasBarSeries(const CChart& chart) {
    for (uint16_t i = 0; i < chart.settings.seriesCount && i < kChartSeries; ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        if (s.role == 1 && (s.kind == 2 || s.kind == 8)) return true;
    }
    return false;
}

// The stored view, times the quarter turn that makes columns of bars.
void EffectiveMatrix(const CChart& chart, int32_t w, int32_t h, bool stored, float out[16]) {
    float view[16];
    // A file may store a matrix that no view can come from.
    if (stored && AllFinite(chart.viewMatrix, 16))
        std::memcpy(view, chart.viewMatrix, sizeof view);
    else
        SetIdentityMatrix(view);
    // A plot squeezed to nothing has no proportions to keep.
    if (!HasBarSeries(chart) || w <= 0 || h <= 0) {
        std::memcpy(out, view, sizeof view);
        return;
    }
    float bars[16];
    SetIdentityMatrix(bars);
    ApplyChartTransform(bars, kRotateZ, 1.570796326794895);
    ApplyChartTransform(bars, kScaleX, double(w) / double(h));
    ApplyChartTransform(bars, kScaleY, double(h) / double(w));
    MultiplyMatrix4(view, bars, out);
}

bool ViewIsFinite(CChart& chart) {
    const uint32_t count = chart.vertices.ItemCount();
    for (uint32_t i = 0; i < count; ++i) {
        const ChartVertex v = LoadVertex(chart, i);
        if (!std::isfinite(v.viewX) || !std::isfinite(v.viewY) || !std::isfinite(v.viewZ))
            return false;
    }
    return true;
}

// Far vertices shrink towards the centre. The divisor d - z - zmin must stay positive for
// every vertex, or vertices would be thrown to infinity or mirrored: the view then stays
// parallel.
void ApplyPerspective(CChart& chart) {
    const uint16_t p = chart.settings.perspective;
    if (p < 1 || p > 99) return;
    const uint32_t count = chart.vertices.ItemCount();
    double zmax = -FLT_MAX, zmin = FLT_MAX;
    for (uint32_t i = 0; i < count; ++i) {
        const float z = LoadVertex(chart, i).viewZ;
        zmax = std::max<double>(zmax, z), zmin = std::min<double>(zmin, z);
    }
    const double d = (zmax - zmin) * p * 0.1;
    if (!(d > 0) || !(d - zmax - zmin > 0)) return;
    // A divisor barely above zero throws vertices past the float range: parallel then too.
    for (uint32_t i = 0; i < count; ++i) {
        const ChartVertex v = LoadVertex(chart, i);
        const double f = d / (d - v.viewZ - zmin);
        if (!(std::fabs(f * v.viewX) <= FLT_MAX && std::fabs(f * v.viewY) <= FLT_MAX)) return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        ChartVertex v = LoadVertex(chart, i);
        const double f = d / (d - v.viewZ - zmin);
        v.viewX = float(f * v.viewX), v.viewY = float(f * v.viewY);
        StoreVertex(chart, i, v);
    }
}

// A flat face's normal has no direction: it is taken as edge-on.
void SettleFaceNormals(CChart& chart) {
    const uint32_t count = chart.faces.ItemCount();
    for (uint32_t i = 0; i < count; ++i) {
        ChartFace f = LoadFace(chart, i);
        bool changed = false;
        for (float* n : {f.viewNormal, f.lightNormal}) {
            if (AllFinite(n, 3)) continue;
            n[0] = n[1] = n[2] = 0;
            changed = true;
        }
        if (changed) StoreFace(chart, i, f);
    }
}

// A position in the face list that steps one face at a time, the page looked up only when
// a step leaves it: the scans of the sort walk the list in both directions.
class FaceCursor {
public:
    FaceCursor(CPagedList& faces, int64_t index) : faces_(faces) { Seek(index); }
    int64_t Index() const { return index_; }
    float Distance() const {
        float d;
        std::memcpy(&d, item_ + offsetof(ChartFace, distance), sizeof d);
        return d;
    }
    uint32_t Reference() const {
        uint32_t r;
        std::memcpy(&r, item_ + offsetof(ChartFace, reference), sizeof r);
        return r;
    }
    void SetDistance(float d) { std::memcpy(item_ + offsetof(ChartFace, distance), &d, sizeof d); }
    void Next() {
        ++index_;
        if (++slot_ == kPerPage) return Seek(index_);
        item_ += sizeof(ChartFace);
    }
    void Previous() {
        --index_;
        if (slot_-- == 0) return Seek(index_);
        item_ -= sizeof(ChartFace);
    }
    void SwapWith(FaceCursor& other) {
        uint8_t t[sizeof(ChartFace)];
        std::memcpy(t, item_, sizeof t);
        std::memcpy(item_, other.item_, sizeof t);
        std::memcpy(other.item_, t, sizeof t);
    }

private:
    static constexpr int64_t kPerPage = kPagePayload / sizeof(ChartFace);
    void Seek(int64_t index) {
        index_ = index;
        // Before the first face: the scan ends there and reads nothing.
        if (index < 0) {
            item_ = nullptr, slot_ = 0;
            return;
        }
        slot_ = index % kPerPage;
        item_ = static_cast<uint8_t*>(faces_.GetItem52(uint32_t(index)));
    }

    CPagedList& faces_;
    int64_t index_ = 0, slot_ = 0;
    uint8_t* item_ = nullptr;
};

// One partition of [low, high] about the face in the middle: the farther faces to the left,
// the nearer to the right; the parts left are [low, j] and [i, high].
void Partition(CPagedList& faces, uint32_t low, uint32_t high, int64_t& i, int64_t& j) {
    const float pivot = FaceCursor(faces, low + (high - low) / 2).Distance();
    FaceCursor left(faces, low), right(faces, high);
    while (left.Index() <= right.Index()) {
        while (left.Distance() > pivot) left.Next();
        while (right.Distance() < pivot) right.Previous();
        if (left.Index() <= right.Index()) {
            if (left.Index() != right.Index()) left.SwapWith(right);
            left.Next(), right.Previous();
        }
    }
    i = left.Index(), j = right.Index();
}

} // namespace

void ProjectChart3D(CChart& chart, int32_t w, int32_t h) {
    float matrix[16];
    EffectiveMatrix(chart, w, h, true, matrix);
    ApplyViewMatrix(chart, matrix);
    if (!ViewIsFinite(chart)) {
        EffectiveMatrix(chart, w, h, false, matrix);
        ApplyViewMatrix(chart, matrix);
    }
    ComputeLightAndNormals(chart);
    ApplyPerspective(chart);
    ComputeViewNormals(chart);
    SettleFaceNormals(chart);
    DepthSortFaces(chart);
}

void DepthSortFaces(CChart& chart) {
    if (!chart.vertices.IndexValid()) chart.vertices.BuildPageIndex();
    if (!chart.faces.IndexValid()) chart.faces.BuildPageIndex();
    const uint32_t count = chart.faces.ItemCount();
    if (count == 0 || !chart.vertices.IndexValid() || !chart.faces.IndexValid()) return;
    for (FaceCursor face(chart.faces, 0); face.Index() < count; face.Next()) {
        const ChartVertex r = LoadVertex(chart, face.Reference());
        const double x = r.viewX, y = r.viewY, z = double(r.viewZ) - 800;
        const double distance = std::sqrt(x * x + y * y + z * z);
        // Distances past the float range still order: they become infinite.
        face.SetDistance(std::isnan(distance) ? 0.0f : float(distance));
    }
    // Quicksort, farthest first; the larger part waits on the stack and the smaller one is
    // sorted next, so 32 pairs hold any list.
    std::pair<uint32_t, uint32_t> stack[32];
    int top = 0;
    uint32_t low = 0, high = count - 1;
    for (;;) {
        while (low < high) {
            int64_t i = 0, j = 0;
            Partition(chart.faces, low, high, i, j);
            // [low, j] and [i, high] remain.
            const int64_t leftSize = j - int64_t(low), rightSize = int64_t(high) - i;
            if (leftSize < rightSize) {
                if (i < int64_t(high)) stack[top++] = {uint32_t(i), high};
                if (j <= int64_t(low)) break;
                high = uint32_t(j);
            } else {
                if (j > int64_t(low)) stack[top++] = {low, uint32_t(j)};
                if (i >= int64_t(high)) break;
                low = uint32_t(i);
            }
        }
        if (top == 0) return;
        std::tie(low, high) = stack[--top];
    }
}

} // namespace vl
