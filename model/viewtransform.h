#pragma once
// The 4 x 4 single-precision view matrix of 3D charts: row-major, points as column vectors.

#include <cstdint>

namespace vl {

enum ChartTransformKind : uint8_t {
    kRotateX = 1,
    kRotateY = 2,
    kRotateZ = 3,
    kScaleUniform = 4,
    kScaleX = 5,
    kScaleY = 6,
    kResetTransform = 7,
};

// matrix = step x matrix, so a new step acts after everything already in the matrix. Angles
// are radians; any other kind leaves the matrix unchanged.
void ApplyChartTransform(float matrix[16], uint8_t kind, double value);
// out = a x b; out must be neither input.
void MultiplyMatrix4(const float a[16], const float b[16], float out[16]);
void SetIdentityMatrix(float matrix[16]);
// Degrees to radians the way every angle of the charts is converted.
double ChartDegreesToRadians(double degrees);

} // namespace vl
