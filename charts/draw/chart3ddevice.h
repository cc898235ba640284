#pragma once
// Vertices of a laid-out chart onto the device: the view coordinates, already placed on the
// canvas, truncated to whole pixels and kept inside the range a device can take.

#include "model/chart.h"
#include "platform/gui/devicecontext.h"

#include <cstdint>

namespace vl {

// The farthest from the origin a drawn coordinate may lie.
constexpr float kMaxDeviceCoordinate = 1 << 24;

// Truncated toward zero; not-a-number gives 0 and magnitudes past the range its limit.
int32_t DeviceCoordinate(float value);
inline DcPoint DevicePoint(const ChartVertex& v) {
    return {DeviceCoordinate(v.viewX), DeviceCoordinate(v.viewY)};
}
// The line from vertex `first` to the next one.
void DrawSegment(CChart& chart, uint32_t first);

} // namespace vl
