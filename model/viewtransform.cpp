#include "model/viewtransform.h"

#include <cmath>
#include <cstring>

namespace vl {

void SetIdentityMatrix(float matrix[16]) {
    for (int i = 0; i < 16; ++i) matrix[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void MultiplyMatrix4(const float a[16], const float b[16], float out[16]) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[4 * r + k] * b[4 * k + c];
            out[4 * r + c] = sum;
        }
    }
}

double ChartDegreesToRadians(double degrees) {
    return degrees * 3.14159265358979 * 0.005555555555555556;
}

// The step matrix of one transform kind; false for kinds that change nothing.
static bool BuildStep(uint8_t kind, double value, float s[16]) {
    SetIdentityMatrix(s);
    const float c = float(std::cos(value));
    const float n = float(std::sin(value));
    const float v = float(value);
    switch (kind) {
    case kRotateX:
        s[5] = c, s[6] = -n, s[9] = n, s[10] = c;
        return true;
    case kRotateY:
        s[0] = c, s[2] = -n, s[8] = n, s[10] = c;
        return true;
    case kRotateZ:
        s[0] = c, s[1] = n, s[4] = -n, s[5] = c;
        return true;
    case kScaleUniform:
        s[0] = s[5] = s[10] = v;
        return true;
    case kScaleX:
        s[0] = v;
        return true;
    case kScaleY:
        s[5] = v;
        return true;
    default:
        return false;
    }
}

void ApplyChartTransform(float matrix[16], uint8_t kind, double value) {
    if (kind == kResetTransform) {
        SetIdentityMatrix(matrix);
        return;
    }
    float step[16];
    if (!BuildStep(kind, value, step)) return;
    float product[16];
    MultiplyMatrix4(step, matrix, product);
    std::memcpy(matrix, product, sizeof product);
}

} // namespace vl
