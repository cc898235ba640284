#include "model/viewtransform.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

namespace {

void ExpectMatrixNear(const float* actual, const float* expected, float tolerance = 1e-6f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

} // namespace

TEST(ViewTransform, ResetGivesIdentityAndUnknownKindsChangeNothing) {
    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = float(i + 1);
    float before[16];
    std::copy(m, m + 16, before);
    for (uint8_t kind : {0, 8, 200}) {
        ApplyChartTransform(m, kind, 1.0);
        ExpectMatrixNear(m, before, 0);
    }
    ApplyChartTransform(m, kResetTransform, 5.0);
    ExpectMatrixNear(m, kIdentity, 0);
}

TEST(ViewTransform, RotationStepsMatchTheirTables) {
    const double a = ChartDegreesToRadians(90);
    struct Case {
        uint8_t kind;
        float expected[16];
    };
    const Case cases[] = {
        {kRotateX, {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1}},
        {kRotateY, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
        {kRotateZ, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        float m[16];
        SetIdentityMatrix(m);
        ApplyChartTransform(m, c.kind, a);
        ExpectMatrixNear(m, c.expected);
    }
}

TEST(ViewTransform, OppositeRotationsCancel) {
    float m[16];
    SetIdentityMatrix(m);
    ApplyChartTransform(m, kRotateY, 0.3);
    ApplyChartTransform(m, kScaleX, 2.0);
    float before[16];
    std::copy(m, m + 16, before);
    ApplyChartTransform(m, kRotateX, 0.7);
    ApplyChartTransform(m, kRotateX, -0.7);
    ExpectMatrixNear(m, before);
}

TEST(ViewTransform, NewStepStandsOnTheLeft) {
    // Scale x by 2, then rotate a quarter turn about z: the scaled x axis ends up on y.
    float m[16];
    SetIdentityMatrix(m);
    ApplyChartTransform(m, kScaleX, 2.0);
    ApplyChartTransform(m, kRotateZ, ChartDegreesToRadians(90));
    // Column 0 is the image of the model x axis: (0, -2, 0).
    EXPECT_NEAR(m[0], 0, 1e-6);
    EXPECT_NEAR(m[4], -2, 1e-6);
    EXPECT_NEAR(m[8], 0, 1e-6);
    // Scales of kinds 4 and 6.
    SetIdentityMatrix(m);
    ApplyChartTransform(m, kScaleUniform, 3.0);
    ApplyChartTransform(m, kScaleY, 0.5);
    EXPECT_FLOAT_EQ(m[0], 3);
    EXPECT_FLOAT_EQ(m[5], 1.5);
    EXPECT_FLOAT_EQ(m[10], 3);
    EXPECT_FLOAT_EQ(m[15], 1);
}

TEST(ViewTransform, MatrixProductIsRowByColumn) {
    // A shear of x by y and a shear of y by x: the two orders give different products.
    const float a[16] = {1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float b[16] = {1, 0, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float ab[16] = {7, 2, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float ba[16] = {1, 2, 0, 0, 3, 7, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float out[16];
    MultiplyMatrix4(a, b, out);
    ExpectMatrixNear(out, ab, 0);
    MultiplyMatrix4(b, a, out);
    ExpectMatrixNear(out, ba, 0);
    MultiplyMatrix4(kIdentity, a, out);
    ExpectMatrixNear(out, a, 0);
}

TEST(ViewTransform, DegreesConvertThroughTheFixedConstants) {
    EXPECT_DOUBLE_EQ(ChartDegreesToRadians(180), 180 * 3.14159265358979 * 0.005555555555555556);
    EXPECT_NEAR(ChartDegreesToRadians(90), M_PI / 2, 1e-12);
}

} // namespace vl
